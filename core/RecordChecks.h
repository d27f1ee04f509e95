#pragma once
// The checks that decide whether a record is sound, and the status conversions.

#include "LoggerRecord.h"

#include <string>
#include <string_view>

// The decimal number a text starts with: optional sign, digits, optionally a
// point and more digits, blanks anywhere ignored; 0 when there is none.
double NumericValue(std::string_view text);
// NumericValue rounded half to even and clamped into [lo, hi].
qint64 WholeNumberValue(std::string_view text, qint64 lo, qint64 hi);

// Eight digits with leading zeros, the form in which serials are shown and compared.
std::string FormatSerial(qint64 serial);

bool IsValidSerial(qint64 serial);
bool IsValidReading(std::string_view text);
bool IsValidDate(std::string_view text);
bool IsValidTime(std::string_view text);
bool IsValidStatus(std::string_view text);
bool IsValidRecord(const LoggerRecord& rec);

// The three status texts of the user's language, looked up once by callers
// that convert many letters.
struct StatusTexts
{
    std::string Warning; // W
    std::string Leak;    // L
    std::string NoLeak;  // N
    static StatusTexts fromLanguageFile();
};

std::string StatusFromLetter(std::string_view text);
std::string StatusFromLetter(std::string_view text, const StatusTexts& texts);
// "L" when level minus spread is 16 or more, otherwise "N"; the status itself
// is not consulted.
std::string StatusLetterFor(std::string_view status, qint16 level, qint16 spread);
