// Feeds "xfer.err" files, as the transfer program might leave them, to the
// reading the program does after a transfer. The number always fits 16 bits,
// and the text shown is one trimmed line of the file.

#include "FuzzSupport.h"

#include "Ansi.h"
#include "TransferError.h"

#include <QRegularExpression>

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file = Fuzz::bytes(data, size);
    const TransferError e = ParseTransferError(file);
    require(e.number >= -32768 && e.number <= 32767);
    require(!e.text.contains(QLatin1Char('\r')) && !e.text.contains(QLatin1Char('\n')));
    require(e.text == e.text.trimmed() && e.text.size() <= file.size());
    // A second line with something on it is what is shown.
    const QString all = Ansi::toQString(std::string_view(file.constData(), size_t(file.size())));
    const qsizetype firstEnd = all.indexOf(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    require(all.contains(e.text));
    if (firstEnd < 0)
        require(e.text == all.trimmed());
    return 0;
}
