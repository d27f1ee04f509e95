#pragma once
// How record values are shown in lists, made to sort correctly as text.

#include <QString>
#include <string>
#include <string_view>

// A reading below 10 gets one leading blank (" 7"), so readings sort as text.
QString FormatReading(int value);

// The location number: characters 4 to 7 of the grid reference and its last
// four ("AB 1234 5678" gives "12345678", the absent value "________").
std::string GridRefToLocation(std::string_view gridRef);
// Back from a location number; the letter pair is always "AA".
std::string LocationToGridRef(std::string_view location);
// A location number stored into a record that already has a grid reference:
// only the digits come from the location, so the letters (and anything else
// the location number does not show) stay as they were. A reference that is
// absent gets "AA"; an unchanged location gives the reference back whole.
std::string LocationIntoGridRef(std::string_view location, std::string_view stored);
