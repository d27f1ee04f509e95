#include "LangText.h"

#include "Ansi.h"
#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <algorithm>
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
    // The first line that holds the digits holds their first occurrence in
    // the file (no line end is a digit): one search over the whole file,
    // instead of a search in each line, reaches the end of a long file in
    // the time it takes to read it.
    const std::string digits = std::to_string(number);
    const size_t at = text.find(digits);
    if (at == std::string_view::npos)
        return false;
    // Lines end with CR LF; a bare CR or LF (a file edited elsewhere) ends one too.
    const size_t before = text.find_last_of("\r\n", at);
    const size_t begin = before == std::string_view::npos ? 0 : before + 1;
    const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    const std::string_view line = text.substr(begin, end - begin);
    if (line.size() < 4)
        return false;
    out.assign(line.substr(4));
    return true;
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
