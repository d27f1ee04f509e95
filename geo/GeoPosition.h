#pragma once
// Where a logger is on the earth, or why that cannot be said.

#include <QString>

enum class PositionSource { None, Comment2, GridRef };

struct GeoPosition
{
    bool valid = false;
    double lat = 0; // WGS84 degrees, north positive
    double lon = 0; // WGS84 degrees, east positive
    PositionSource source = PositionSource::None;
    QString reason; // a short sentence for the user when there is no position
};
