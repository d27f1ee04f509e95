#include "LangText.h"

#include "Ansi.h"
#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

LangFailureHandler& failureHandler()
{
    static LangFailureHandler handler;
    return handler;
}

void reportFailure()
{
    const QString text = QString::fromLatin1(kLanguageFileMissingText);
    if (failureHandler())
        failureHandler()(text);
    else
        std::fprintf(stderr, "%s\n", kLanguageFileMissingText);
}

bool lookUp(int number, std::string& out)
{
    const QString path = LanguageFilePath();
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray all = file.readAll();
    file.close();
    return LangLineText(std::string_view(all.constData(), static_cast<size_t>(all.size())), number,
                        out);
}

} // namespace

bool LangLineText(std::string_view text, int number, std::string& out)
{
    const std::string digits = std::to_string(number);
    size_t pos = 0;
    while (pos < text.size()) {
        // Lines end with CR LF; a bare CR or LF (a file edited elsewhere) ends one too.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (line.find(digits) != std::string_view::npos) {
            if (line.size() < 4)
                return false;
            out.assign(line.substr(4));
            return true;
        }
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return false;
}

QString LanguageFilePath()
{
    const QDir dir(ProgramFolder());
    const QStringList names =
        dir.entryList({QStringLiteral("lang_*.txt")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    return names.isEmpty() ? QString() : dir.filePath(names.first());
}

std::string LangTextAnsi(int number)
{
    std::string out;
    if (!lookUp(number, out)) {
        reportFailure();
        return {};
    }
    return out;
}

QString LangText(int number)
{
    return Ansi::toQString(LangTextAnsi(number));
}

void SetLangFailureHandler(LangFailureHandler handler)
{
    failureHandler() = std::move(handler);
}
