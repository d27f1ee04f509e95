#pragma once
// The checks that decide whether a record is sound, and the status conversions.

#include "LoggerRecord.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

// The decimal number a text starts with: optional sign, digits, optionally a
// point and more digits, blanks anywhere ignored; 0 when there is none.
double NumericValue(std::string_view text);
// NumericValue rounded half to even and clamped into [lo, hi].
qint64 WholeNumberValue(std::string_view text, qint64 lo, qint64 hi);
// The number a text holds when it is nothing but 1 to maxDigits (at most 18)
// decimal digits: no blank, sign, point or exponent. For values that are
// checked and then used, so that what is checked is what is used.
std::optional<qint64> PlainNumber(std::string_view text, int maxDigits);

// Eight digits with leading zeros, the form in which serials are shown and compared.
std::string FormatSerial(qint64 serial);

bool IsValidSerial(qint64 serial);
bool IsValidReading(std::string_view text);
// YYYY/MM/DD from 1970 on, months 1 to 12, days 1 to 31 (not checked
// against the month), or empty. Inline: a file has 350,000 dates.
inline bool IsValidDate(std::string_view t);
bool IsValidTime(std::string_view text);
bool IsValidStatus(std::string_view text);
// A sound serial, a 12-character grid reference, every reading sound and
// Received a time or a date (the other texts play no part).
bool IsValidRecord(const LoggerRecord& rec);
// The parts of IsValidRecord, for a reader that checks fields as it goes.
inline bool IsValidHistoryEntry(std::string_view date, qint16 level, qint16 spread);
inline bool IsValidReceived(std::string_view received)
{
    return IsValidTime(received) || IsValidDate(received);
}

// The three status texts of the user's language, looked up once by callers
// that convert many letters.
struct StatusTexts
{
    std::string Warning; // W
    std::string Leak;    // L
    std::string NoLeak;  // N
    static StatusTexts fromLanguageFile();
};

// The status, trimmed and in capitals, equals the text (given in capitals).
bool StatusIs(std::string_view status, const std::string& text);
std::string StatusFromLetter(std::string_view text);
std::string StatusFromLetter(std::string_view text, const StatusTexts& texts);
// "L" when level minus spread is 16 or more, otherwise "N"; the status itself
// is not consulted.
std::string StatusLetterFor(std::string_view status, qint16 level, qint16 spread);

namespace Detail {
// Year, month and day read as numbers, for dates that are not all digits.
bool IsValidDateByValue(std::string_view t);
} // namespace Detail

inline bool IsValidDate(std::string_view t)
{
    if (t.empty())
        return true;
    if (t.size() != 10 || t[4] != '/' || t[7] != '/')
        return false;
    // The eight digit places side by side, tested all at once.
    unsigned char d[8];
    std::memcpy(d, t.data(), 4);
    std::memcpy(d + 4, t.data() + 5, 2);
    std::memcpy(d + 6, t.data() + 8, 2);
    quint64 w;
    std::memcpy(&w, d, 8);
    const bool allDigits =
        ((w & 0xF0F0F0F0F0F0F0F0ull) |
         (((w + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4)) == 0x3333333333333333ull;
    if (allDigits) { // digits compare as their numbers do
        const quint32 year = quint32(d[0]) << 24 | quint32(d[1]) << 16 | quint32(d[2]) << 8 | d[3];
        const unsigned month = unsigned(d[4]) << 8 | d[5], day = unsigned(d[6]) << 8 | d[7];
        constexpr quint32 k1970 = quint32('1') << 24 | quint32('9') << 16 | quint32('7') << 8 | '0';
        return year >= k1970 && month >= ('0' << 8 | '1') && month <= ('1' << 8 | '2') &&
               day >= ('0' << 8 | '1') && day <= ('3' << 8 | '1');
    }
    return Detail::IsValidDateByValue(t);
}

// Levels and spreads are numbers, so their text check comes down to 0..99
// (a negative number fails on its minus sign).
inline bool IsValidHistoryEntry(std::string_view date, qint16 level, qint16 spread)
{
    return level >= 0 && level <= 99 && spread >= 0 && spread <= 99 && IsValidDate(date);
}
