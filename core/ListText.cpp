#include "ListText.h"

#include "LoggerRecord.h"

#include <algorithm>

QString FormatReading(int value)
{
    return value < 10 ? QLatin1Char(' ') + QString::number(value) : QString::number(value);
}

namespace {
std::string_view middle(std::string_view s, size_t from, size_t count)
{
    return from < s.size() ? s.substr(from, count) : std::string_view();
}
std::string_view lastChars(std::string_view s, size_t count)
{
    return s.substr(s.size() - std::min(count, s.size()));
}
} // namespace

std::string GridRefToLocation(std::string_view g)
{
    std::string out(middle(g, 3, 4));
    out.append(lastChars(g, 4));
    return out;
}

std::string LocationToGridRef(std::string_view t)
{
    std::string out = "AA ";
    out.append(t.substr(0, std::min<size_t>(4, t.size())));
    out.push_back(' ');
    out.append(lastChars(t, 4));
    return out;
}

std::string LocationIntoGridRef(std::string_view location, std::string_view stored)
{
    if (stored.size() == 12 && GridRefToLocation(stored) == location)
        return std::string(stored);
    if (stored.size() != 12 || stored == kAbsentGridRef)
        return LocationToGridRef(location);
    std::string out(stored.substr(0, 3));
    out.append(location.substr(0, std::min<size_t>(4, location.size())));
    out.push_back(stored[7]);
    out.append(lastChars(location, 4));
    return out;
}
