#pragma once
// The one place where the 8-bit Windows-1252 text of files and language
// strings meets Qt's Unicode strings. Records keep their texts as raw bytes,
// so a byte read from a file goes back out unchanged.

#include <QString>
#include <string>
#include <string_view>

namespace Ansi {

QString toQString(std::string_view bytes);
// Characters that Windows-1252 cannot hold become '?'.
std::string fromQString(const QString& text);

// Trim blanks (spaces only, as the files' rules mean them).
std::string_view trimmed(std::string_view text);
// Upper-case as the Windows-1252 code page does (accented letters included).
void toUpperInPlace(char* text, size_t size);
inline void toUpperInPlace(std::string& text)
{
    toUpperInPlace(text.data(), text.size());
}
char toUpper(char c);

} // namespace Ansi
