#pragma once
// British National Grid references as a logger's grid reference holds them,
// "SP 8419 3803": the 100 km square's letters, then the easting and northing
// of a 10 m square inside it; and repeatable ones scattered over an area, for
// sample databases of a real district.

#include <QPointF>
#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

// The reference of the 10 m square holding a point in grid metres
// (EPSG:27700); empty outside the grid's 700 by 1300 km.
std::string NationalGridRef(QPointF metres);

struct AreaGridRefs
{
    std::vector<std::string> refs;
    QString error; // why there are none: the area cannot be used
};

// count references of 10 m squares whose centres lie inside the polygons of
// the vector file at path (any file GDAL reads, its lines and points
// ignored), at pseudo-random places: the same file, count and seed give the
// same references. The area must lie in Great Britain.
AreaGridRefs GridRefsInArea(const QString& path, int count, quint32 seed);
