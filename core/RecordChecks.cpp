#include "RecordChecks.h"

#include "Ansi.h"
#include "LangText.h"
#include "RecordStore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

double NumericValue(std::string_view text)
{
    // Plain digits are by far the most common case in a file.
    if (!text.empty() && text.size() <= 9) {
        int v = 0;
        size_t k = 0;
        for (; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k)
            v = v * 10 + (text[k] - '0');
        if (k == text.size())
            return v;
    }
    size_t i = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && text[i] == ' ')
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0;
    for (;; ++i) {
        skipBlanks();
        if (i >= n || text[i] < '0' || text[i] > '9')
            break;
        value = value * 10 + (text[i] - '0');
    }
    if (i < n && text[i] == '.') {
        ++i;
        double scale = 0.1;
        for (;; ++i) {
            skipBlanks();
            if (i >= n || text[i] < '0' || text[i] > '9')
                break;
            value += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    return negative ? -value : value;
}

qint64 WholeNumberValue(std::string_view text, qint64 lo, qint64 hi)
{
    const double v = std::nearbyint(NumericValue(text)); // ties go to the even neighbour
    if (!(v >= static_cast<double>(lo)))
        return lo;
    if (!(v <= static_cast<double>(hi)))
        return hi;
    return static_cast<qint64>(v);
}

std::optional<qint64> PlainNumber(std::string_view text, int maxDigits)
{
    if (text.empty() || text.size() > static_cast<size_t>(std::min(maxDigits, 18)))
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string FormatSerial(qint64 serial)
{
    char buf[32];
    if (serial < 0)
        std::snprintf(buf, sizeof buf, "-%08lld", -static_cast<long long>(serial));
    else
        std::snprintf(buf, sizeof buf, "%08lld", static_cast<long long>(serial));
    return buf;
}

bool IsValidSerial(qint64 serial)
{
    if (serial < 0 || serial > 0xFFFFFF)
        return false;
    const qint64 firstTwo = serial / 1000000; // of the eight-digit form
    return firstTwo >= 1 && firstTwo <= 12;
}

bool IsValidReading(std::string_view text)
{
    for (char c : text)
        if (c != ' ' && (c < '0' || c > '9'))
            return false;
    const double v = NumericValue(text);
    return v >= 0 && v <= 99;
}

namespace Detail {
bool IsValidDateByValue(std::string_view t)
{
    const double year = NumericValue(t.substr(0, 4));
    const double month = NumericValue(t.substr(5, 2));
    const double day = NumericValue(t.substr(8, 2));
    return year >= 1970 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}
} // namespace Detail

bool IsValidTime(std::string_view t)
{
    if (t.empty())
        return true;
    if (t.size() != 8 || t[2] != ':' || t[5] != ':')
        return false;
    const double h = NumericValue(t.substr(0, 2));
    const double m = NumericValue(t.substr(3, 2));
    const double s = NumericValue(t.substr(6, 2));
    return h >= 0 && h <= 24 && m >= 0 && m <= 59 && s >= 0 && s <= 59;
}

bool IsValidStatus(std::string_view)
{
    return true;
}

bool IsValidRecord(const LoggerRecord& rec)
{
    if (!IsValidSerial(rec.Serial) || rec.GridRef.size() != 12)
        return false;
    for (int i = 1; i <= kMaxHistories; ++i)
        if (!IsValidHistoryEntry(rec.Date[i], rec.Level[i], rec.Spread[i]))
            return false;
    return IsValidReceived(rec.Received);
}

StatusTexts StatusTexts::fromLanguageFile()
{
    return {LangTextAnsi(184), LangTextAnsi(185), LangTextAnsi(186)};
}

// The language string of a status letter (W, L or N after trimming, any
// case, first character only), or 0.
static int statusStringFor(std::string_view text)
{
    const std::string_view t = Ansi::trimmed(text);
    if (t.empty())
        return 0;
    switch (Ansi::toUpper(t.front())) {
    case 'W':
        return 184;
    case 'L':
        return 185;
    case 'N':
        return 186;
    default:
        return 0;
    }
}

std::string StatusFromLetter(std::string_view text, const StatusTexts& texts)
{
    switch (statusStringFor(text)) {
    case 184:
        return texts.Warning;
    case 185:
        return texts.Leak;
    case 186:
        return texts.NoLeak;
    default:
        return {};
    }
}

std::string StatusFromLetter(std::string_view text)
{
    const int n = statusStringFor(text);
    return n ? LangTextAnsi(n) : std::string();
}

bool StatusIs(std::string_view status, const std::string& text)
{
    const std::string_view s = Ansi::trimmed(status);
    if (s.size() != text.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (Ansi::toUpper(s[i]) != text[i])
            return false;
    return true;
}

std::string StatusLetterFor(std::string_view, qint16 level, qint16 spread)
{
    return (int(level) - int(spread) >= 16) ? "L" : "N";
}
