#pragma once
// Every text the user sees is a numbered line of a language file
// ("lang_*.txt" in the program folder): three digits, one separator character,
// then the text. Each lookup reads the file afresh and takes the first line
// that contains the number anywhere, so a text must not hold the digits of a
// later line's number.
//
// Call sites name the number literally (LangText(171), not LangText(n)), next
// to what the text is for; a test checks every such number against the file.

#include <QString>
#include <functional>
#include <string>
#include <string_view>

inline constexpr const char* kLanguageFileMissingText = "Error: Could not open Language File...";

QString LangText(int number);
// The same text as the file's raw Windows-1252 bytes, for texts that go into records.
std::string LangTextAnsi(int number);

// The text of a number in a language file's bytes: what follows the number
// and its separator on the first line holding the number's digits. False
// when no line holds them, or that line is too short to hold a text.
bool LangLineText(std::string_view file, int number, std::string& out);

// The first "lang_*.txt" of the program folder in name order, or empty.
QString LanguageFilePath();

// A failed lookup reports kLanguageFileMissingText through this handler (the
// program connects its message box; without a handler it goes to stderr).
using LangFailureHandler = std::function<void(const QString&)>;
void SetLangFailureHandler(LangFailureHandler handler);
