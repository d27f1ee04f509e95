// Feeds whole files to the text viewer's rich-text reader. Each character of
// text takes at least one byte of the file, so the text is never longer than
// the file; and any text the viewer saves reads back as it was (less its
// CRs), whether it came as Windows-1252 bytes or as UTF-16. Within limits
// (chosen by the first two bytes) the reader gives the same text, or nothing
// exactly when that text is over them.

#include "FuzzSupport.h"

#include "Ansi.h"
#include "RichText.h"

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    return 0;
}

namespace {
void roundTrips(const QString& text)
{
    QString expected = text;
    expected.remove(QLatin1Char('\r'));
    require(RtfToText(TextToRtf(text)) == expected);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray rtf = Fuzz::bytes(data, size);
    const QString text = RtfToText(rtf);
    require(text.size() <= rtf.size());
    if (size >= 2) {
        const TextLimits limits{data[0] % 64, data[1] % 8};
        const std::optional<QString> within = RtfToText(rtf, limits);
        const qsizetype breaks = text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r')) +
                                 text.count(QChar(0x2029));
        require(within ? *within == text : text.size() > limits.chars || breaks > limits.lines);
    }

    roundTrips(Ansi::toQString(std::string_view(rtf.constData(), size_t(rtf.size()))));
    roundTrips(QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2)));
    return 0;
}
