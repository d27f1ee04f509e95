#include "RichText.h"

#include "Ansi.h"
#include "FileResult.h"
#include "Utilities.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <limits>
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

} // namespace

std::optional<QString> RtfToText(const QByteArray& rtf, const TextLimits& limits)
{
    // Groups whose text is not document text.
    static const QStringList kSkipped = {"fonttbl",   "colortbl",         "stylesheet", "info",
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
    // Counts a character of text, with the line break it may be.
    auto counted = [&](char16_t c) {
        if (c == u'\n' || c == u'\r' || c == u'\u2029')
            tooMuch = tooMuch || ++lines > limits.lines;
        tooMuch = tooMuch || ++chars > limits.chars;
        return !tooMuch;
    };
    int depth = 0;
    int skipDepth = -1;    // inside a skipped group below this depth
    QList<int> ucOf = {1}; // per open group: fallback characters after a \uN
    int ucSkip = 0;        // fallback characters still to drop
    const int n = static_cast<int>(rtf.size());
    for (int i = 0; i < n && !tooMuch; ++i) {
        const char c = rtf[i];
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
        const bool skipping = skipDepth >= 0 && depth >= skipDepth;
        auto text = [&](char ansi) {
            if (skipping)
                return;
            if (ucSkip > 0)
                --ucSkip;
            else if (counted(static_cast<unsigned char>(ansi))) // no line break beyond CR and LF
                bytes += ansi;
        };
        if (c == '\\' && i + 1 < n) {
            const char d = rtf[i + 1];
            if (d == '\\' || d == '{' || d == '}') {
                text(d);
                ++i;
            } else if (d == '\'' && i + 3 < n) {
                bool ok = false;
                const int value = rtf.mid(i + 2, 2).toInt(&ok, 16);
                if (ok)
                    text(static_cast<char>(value));
                i += 3;
            } else if (d == '*') {
                if (!skipping) // the outermost skipped group decides where skipping ends
                    skipDepth = depth;
                ++i;
            } else if (d == '~' || d == '_') {
                text(d == '~' ? '\xa0' : '-'); // non-breaking space and hyphen
                ++i;
            } else if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
                int j = i + 1;
                while (j < n &&
                       ((rtf[j] >= 'a' && rtf[j] <= 'z') || (rtf[j] >= 'A' && rtf[j] <= 'Z')))
                    ++j;
                const QByteArray word = rtf.mid(i + 1, std::min(j - i - 1, kMaxWordLength));
                int k = j;
                const bool negative = k < n && rtf[k] == '-';
                if (negative)
                    ++k;
                // A parameter beyond an int's range counts as 0, as an unreadable one does.
                qint64 magnitude = 0;
                bool fits = true;
                for (; k < n && rtf[k] >= '0' && rtf[k] <= '9'; ++k) {
                    magnitude = fits ? magnitude * 10 + (rtf[k] - '0') : 0;
                    fits = fits && magnitude <= qint64(INT_MAX) + 1;
                }
                const bool hasParam = k > j;
                const qint64 signedParam = negative ? -magnitude : magnitude;
                const int param =
                    fits && signedParam >= INT_MIN && signedParam <= INT_MAX ? int(signedParam) : 0;
                if (k < n && rtf[k] == ' ')
                    ++k; // the delimiter belongs to the control word
                i = k - 1;
                if (word == "bin" && hasParam && param > 0) {
                    i += std::min(param, n - 1 - i); // raw bytes, never text
                } else if (kSkipped.contains(QString::fromLatin1(word))) {
                    if (!skipping)
                        skipDepth = depth;
                } else if (word == "uc" && hasParam) {
                    ucOf.last() = std::max(param, 0);
                } else if (skipping) {
                    // nothing of a skipped group is text
                } else if (word == "u") {
                    const char16_t wide = static_cast<char16_t>(static_cast<short>(param));
                    if (counted(wide)) {
                        flush();
                        out += QChar(wide);
                    }
                    ucSkip = ucOf.last();
                } else if (const char ansi = characterWord(word)) {
                    text(ansi);
                }
            } else {
                ++i; // a control symbol that is not text (\- is an optional hyphen)
            }
            continue;
        }
        if (c == '\r' || c == '\n')
            continue;
        text(c);
    }
    if (tooMuch)
        return std::nullopt;
    flush();
    return out;
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
    // Read no more than could be shown: plain text is a character a byte.
    const bool rich = file.peek(5) == "{\\rtf";
    const qint64 most = rich ? kViewerMaxRtfBytes : qint64(kViewerLimits.chars);
    const QByteArray bytes = file.read(most + 1);
    if (file.error() != QFileDevice::NoError)
        return FileResult::Unreadable;
    if (bytes.size() > most)
        return FileResult::TooMuchText;
    if (rich) {
        std::optional<QString> shown = RtfToText(bytes, kViewerLimits);
        if (!shown)
            return FileResult::TooMuchText;
        text = std::move(*shown);
        return FileResult::Ok;
    }
    if (lineBreaks(bytes) > kViewerLimits.lines)
        return FileResult::TooMuchText;
    text = Ansi::toQString(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return FileResult::Ok;
}
