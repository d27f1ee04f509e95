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
