#include "TransferError.h"

#include "Ansi.h"
#include "RecordChecks.h"

#include <QRegularExpression>
#include <QStringList>
#include <string_view>

TransferError ParseTransferError(const QByteArray& bytes)
{
    const QStringList lines =
        Ansi::toQString(std::string_view(bytes.constData(), size_t(bytes.size())))
            .split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    // With one line it is all there is to show.
    const QString number = lines.value(0).trimmed();
    TransferError e;
    e.text = lines.size() >= 2 && !lines[1].trimmed().isEmpty() ? lines[1].trimmed() : number;
    e.number = static_cast<int>(WholeNumberValue(Ansi::fromQString(number), INT16_MIN, INT16_MAX));
    return e;
}
