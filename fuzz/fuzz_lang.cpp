// Feeds language files to the lookup every text of the program goes
// through. The first two bytes choose a number to look up besides a few the
// program always needs; whatever is found is what follows the number and its
// separator on the first line that holds the number's digits.

#include "FuzzSupport.h"

#include "LangText.h"

#include <QRegularExpression>
#include <QStringList>

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    return 0;
}

namespace {
void looksUp(const QByteArray& file, const QStringList& lines, int number)
{
    std::string text;
    const bool found =
        LangLineText(std::string_view(file.constData(), size_t(file.size())), number, text);
    const QString digits = QString::number(number);
    QString expected;
    bool holds = false;
    for (const QString& line : lines) {
        if (line.contains(digits)) {
            holds = line.size() >= 4;
            expected = line.mid(4);
            break;
        }
    }
    require(found == holds);
    if (found)
        require(QString::fromLatin1(text.data(), qsizetype(text.size())) == expected);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int chosen = (data[0] << 8 | data[1]) % 1000;
    const QByteArray file = Fuzz::bytes(data + 2, size - 2);
    const QStringList lines =
        QString::fromLatin1(file).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const int number : {chosen, 1, 100, 155, 169, 184, 185, 186, 910, 999})
        looksUp(file, lines, number);
    return 0;
}
