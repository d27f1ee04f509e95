#include "RichText.h"

#include "Ansi.h"

#include <QStringList>
#include <algorithm>
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

QString RtfToText(const QByteArray& rtf)
{
    // Groups whose text is not document text.
    static const QStringList kSkipped = {"fonttbl",   "colortbl",         "stylesheet", "info",
                                         "pict",      "header",           "footer",     "object",
                                         "listtable", "listoverridetable"};
    QString out;
    std::string bytes; // Windows-1252 bytes waiting to be decoded
    auto flush = [&] {
        out += Ansi::toQString(bytes);
        bytes.clear();
    };
    int depth = 0;
    int skipDepth = -1;    // inside a skipped group below this depth
    QList<int> ucOf = {1}; // per open group: fallback characters after a \uN
    int ucSkip = 0;        // fallback characters still to drop
    const int n = static_cast<int>(rtf.size());
    for (int i = 0; i < n; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            ++depth;
            ucOf.append(ucOf.last());
            continue;
        }
        if (c == '}') {
            if (depth == skipDepth)
                skipDepth = -1;
            --depth;
            if (ucOf.size() > 1)
                ucOf.removeLast();
            ucSkip = 0;
            continue;
        }
        const bool skipping = skipDepth >= 0 && depth >= skipDepth;
        auto text = [&](char ansi) {
            if (skipping)
                return;
            if (ucSkip > 0)
                --ucSkip;
            else
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
                const QByteArray word = rtf.mid(i + 1, j - i - 1);
                int k = j;
                if (k < n && (rtf[k] == '-' || (rtf[k] >= '0' && rtf[k] <= '9')))
                    ++k;
                while (k < n && rtf[k] >= '0' && rtf[k] <= '9')
                    ++k;
                const bool hasParam = k > j;
                const int param = rtf.mid(j, k - j).toInt();
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
                    flush();
                    out += QChar(static_cast<char16_t>(static_cast<short>(param)));
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
    flush();
    return out;
}
