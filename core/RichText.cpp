#include "RichText.h"

#include "Ansi.h"
#include "FileResult.h"
#include "Utilities.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

QByteArray TextToRtf(const QString& text)
{
    QByteArray out =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 ";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r'))
            continue;
        if (c == QLatin1Char('\n')) {
            out += "\\par\n";
        } else if (c == QLatin1Char('\t')) {
            out += "\\tab ";
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += '\\';
            out += char(c.unicode());
        } else if (c.unicode() < 0x80) {
            out += char(c.unicode());
        } else {
            const std::string ansi = Ansi::fromQString(QString(c));
            if (ansi != "?") {
                out += "\\'" + QByteArray::number(static_cast<unsigned char>(ansi[0]), 16)
                                   .rightJustified(2, '0');
            } else {
                // \uN takes a signed 16-bit number; the '?' is for readers without Unicode.
                out += "\\u" + QByteArray::number(static_cast<short>(c.unicode())) + '?';
            }
        }
    }
    out += "}";
    return out;
}

namespace {

// Control words that stand for one character of text.
char characterWord(const QByteArray& word)
{
    static const struct
    {
        const char* word;
        char ansi; // Windows-1252
    } kWords[] = {{"par", '\n'},         {"line", '\n'},        {"row", '\n'},
                  {"tab", '\t'},         {"cell", '\t'},        {"emdash", '\x97'},
                  {"endash", '\x96'},    {"lquote", '\x91'},    {"rquote", '\x92'},
                  {"ldblquote", '\x93'}, {"rdblquote", '\x94'}, {"bullet", '\x95'},
                  {"emspace", ' '},      {"enspace", ' '}};
    for (const auto& w : kWords)
        if (word == w.word)
            return w.ansi;
    return 0;
}

// What ends a run of plain bytes: a group, a control word or symbol, a line
// end (which is no text in rich text).
bool isSpecial(int c)
{
    static const auto kTable = [] {
        std::array<bool, 256> t{};
        for (unsigned char special : {'{', '}', '\\', '\r', '\n'})
            t[special] = true;
        return t;
    }();
    return kTable[static_cast<unsigned char>(c)];
}

bool isLetter(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

// A device read in pieces, for a reader that looks at most two bytes ahead:
// memory stays the same whatever the size of the file.
class ByteStream
{
public:
    explicit ByteStream(QIODevice& device) : m_device(device) {}

    // The next byte (0..255), or -1 at the end.
    int peek(size_t ahead = 0) { return have(ahead + 1) ? uchar(m_buf[m_pos + ahead]) : -1; }
    int get()
    {
        const int c = peek();
        if (c >= 0)
            ++m_pos;
        return c;
    }
    // The plain bytes from here on that the buffer holds (none at the end).
    std::string_view run()
    {
        have(1);
        const size_t from = m_pos;
        while (m_pos < m_end && !isSpecial(m_buf[m_pos]))
            ++m_pos;
        return std::string_view(m_buf.get() + from, m_pos - from);
    }
    void skip(qint64 count)
    {
        while (count > 0 && have(1)) {
            const size_t n = size_t(std::min<qint64>(count, qint64(m_end - m_pos)));
            m_pos += n;
            count -= qint64(n);
        }
    }
    bool failed() const { return m_failed; }

private:
    static constexpr size_t kPiece = 256 * 1024;

    // Whether count bytes are there to look at, reading more when not.
    bool have(size_t count)
    {
        if (m_end - m_pos >= count)
            return true;
        if (m_done)
            return false;
        std::memmove(m_buf.get(), m_buf.get() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
        while (m_end < count && !m_done) {
            const qint64 got = m_device.read(m_buf.get() + m_end, qint64(kPiece - m_end));
            m_failed = got < 0;
            m_done = got <= 0;
            m_end += size_t(std::max<qint64>(got, 0));
        }
        return m_end >= count;
    }

    QIODevice& m_device;
    std::unique_ptr<char[]> m_buf{new char[kPiece]};
    size_t m_pos = 0, m_end = 0;
    bool m_done = false, m_failed = false;
};

// The text of rich text, within the limits; nothing when it holds more.
std::optional<QString> richText(ByteStream& in, const TextLimits& limits)
{
    // Groups whose text is not document text.
    static const char* const kSkipped[] = {"fonttbl",   "colortbl",         "stylesheet", "info",
                                           "pict",      "header",           "footer",     "object",
                                           "listtable", "listoverridetable"};
    // No control word is longer (the rest of a longer run of letters is
    // passed over), and groups nested deeper share the fallback count of the
    // group at this depth: neither may cost memory in proportion to the file.
    constexpr int kMaxWordLength = 32;
    constexpr int kMaxTrackedDepth = 1000;
    QString out;
    std::string bytes; // Windows-1252 bytes waiting to be decoded
    auto flush = [&] {
        out += Ansi::toQString(bytes);
        bytes.clear();
    };
    qsizetype chars = 0, lines = 0;
    bool tooMuch = false;
    // Counts characters of text: so many that are no line break, or one
    // that may be.
    auto counted = [&](qsizetype plain) {
        chars += plain;
        tooMuch = tooMuch || chars > limits.chars;
        return !tooMuch;
    };
    auto countedOne = [&](char16_t c) {
        if (c == u'\n' || c == u'\r' || c == u'\u2029')
            tooMuch = tooMuch || ++lines > limits.lines;
        return counted(1);
    };
    int depth = 0;
    int skipDepth = -1;    // inside a skipped group below this depth
    QList<int> ucOf = {1}; // per open group: fallback characters after a \uN
    int ucSkip = 0;        // fallback characters still to drop
    while (!tooMuch) {
        const int c = in.peek();
        if (c < 0)
            break;
        const bool skipping = skipDepth >= 0 && depth >= skipDepth;
        // A run of plain bytes (of text, or of a skipped group such as a
        // picture) is taken whole, not a byte at a time.
        if (!isSpecial(c) && (skipping || ucSkip == 0)) {
            const std::string_view run = in.run();
            if (!skipping && counted(qsizetype(run.size())))
                bytes += run;
            continue;
        }
        in.get();
        if (c == '{') {
            ++depth;
            if (depth <= kMaxTrackedDepth)
                ucOf.append(ucOf.last());
            continue;
        }
        if (c == '}') {
            if (depth == skipDepth)
                skipDepth = -1;
            if (depth <= kMaxTrackedDepth && ucOf.size() > 1)
                ucOf.removeLast();
            --depth;
            ucSkip = 0;
            continue;
        }
        auto text = [&](char ansi) {
            if (skipping)
                return;
            if (ucSkip > 0)
                --ucSkip;
            else if (countedOne(static_cast<unsigned char>(ansi))) // no line break past CR and LF
                bytes += ansi;
        };
        const int d = c == '\\' ? in.peek() : -1;
        if (d < 0) { // a backslash at the very end is text
            if (c != '\r' && c != '\n')
                text(char(c));
            continue;
        }
        if (d == '\\' || d == '{' || d == '}') {
            text(char(in.get()));
        } else if (d == '\'' && in.peek(2) >= 0) {
            in.get();
            const char hex[2] = {char(in.get()), char(in.get())};
            bool ok = false;
            const int value = QByteArray(hex, 2).toInt(&ok, 16);
            if (ok)
                text(static_cast<char>(value));
        } else if (d == '*') {
            in.get();
            if (!skipping) // the outermost skipped group decides where skipping ends
                skipDepth = depth;
        } else if (d == '~' || d == '_') {
            in.get();
            text(d == '~' ? '\xa0' : '-'); // non-breaking space and hyphen
        } else if (isLetter(d)) {
            QByteArray word;
            while (isLetter(in.peek())) {
                const char letter = char(in.get());
                if (word.size() < kMaxWordLength)
                    word += letter;
            }
            const bool negative = in.peek() == '-';
            if (negative)
                in.get();
            // A parameter beyond an int's range counts as 0, as an unreadable one does.
            qint64 magnitude = 0;
            bool fits = true, digits = false;
            while (isDigit(in.peek())) {
                const int digit = in.get() - '0';
                magnitude = fits ? magnitude * 10 + digit : 0;
                fits = fits && magnitude <= qint64(INT_MAX) + 1;
                digits = true;
            }
            const bool hasParam = negative || digits;
            const qint64 signedParam = negative ? -magnitude : magnitude;
            const int param =
                fits && signedParam >= INT_MIN && signedParam <= INT_MAX ? int(signedParam) : 0;
            if (in.peek() == ' ')
                in.get(); // the delimiter belongs to the control word
            if (word == "bin" && hasParam && param > 0) {
                in.skip(param); // raw bytes, never text
            } else if (std::any_of(std::begin(kSkipped), std::end(kSkipped),
                                   [&word](const char* skipped) { return word == skipped; })) {
                if (!skipping)
                    skipDepth = depth;
            } else if (word == "uc" && hasParam) {
                ucOf.last() = std::max(param, 0);
            } else if (skipping) {
                // nothing of a skipped group is text
            } else if (word == "u") {
                const char16_t wide = static_cast<char16_t>(static_cast<short>(param));
                if (countedOne(wide)) {
                    flush();
                    out += QChar(wide);
                }
                ucSkip = ucOf.last();
            } else if (const char ansi = characterWord(word)) {
                text(ansi);
            }
        } else {
            in.get(); // a control symbol that is not text (\- is an optional hyphen)
        }
    }
    if (tooMuch)
        return std::nullopt;
    flush();
    return out;
}

} // namespace

std::optional<QString> RtfToText(const QByteArray& rtf, const TextLimits& limits)
{
    QBuffer buffer;
    buffer.setData(rtf);
    buffer.open(QIODevice::ReadOnly);
    ByteStream in(buffer);
    return richText(in, limits);
}

QString RtfToText(const QByteArray& rtf)
{
    constexpr qsizetype kAll = std::numeric_limits<qsizetype>::max();
    return *RtfToText(rtf, TextLimits{kAll, kAll});
}

namespace {

// Line breaks as the viewer's box takes them: CR LF, a lone CR, a lone LF.
qsizetype lineBreaks(const QByteArray& bytes)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++n;
    return n;
}

} // namespace

int ReadViewerText(const QString& path, QString& text)
{
    if (!FileExists(path))
        return FileResult::NoSuchFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::Unreadable;
    if (file.peek(5) == "{\\rtf") {
        // Read in pieces: most of a large one is often a picture, passed over.
        ByteStream in(file);
        std::optional<QString> shown = richText(in, kViewerLimits);
        if (in.failed())
            return FileResult::Unreadable;
        if (!shown)
            return FileResult::TooMuchText;
        text = std::move(*shown);
        return FileResult::Ok;
    }
    // Read no more than could be shown: plain text is a character a byte.
    const qint64 most = kViewerLimits.chars;
    const QByteArray bytes = file.size() > most ? QByteArray() : file.read(most + 1);
    if (file.error() != QFileDevice::NoError)
        return FileResult::Unreadable;
    if (file.size() > most || bytes.size() > most || lineBreaks(bytes) > kViewerLimits.lines)
        return FileResult::TooMuchText;
    text = Ansi::toQString(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return FileResult::Ok;
}
