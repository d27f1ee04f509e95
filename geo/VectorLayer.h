#pragma once
// A background layer for the map: every feature of an OGR vector file
// (GeoPackage, Shapefile, GeoJSON, KML, ...) reprojected once to WGS84 (or
// another system) when it is read, kept as flat arrays so that a view can
// project it cheaply.

#include <QPointF>
#include <QString>
#include <vector>

class VectorLayer
{
public:
    // Past this many vertices and points a layer is refused: it would take
    // seconds to read and hundreds of megabytes, and a district's mains need
    // far fewer.
    static constexpr size_t kMaxPoints = 5'000'000;

    // Reads the file into the system of the EPSG code; false, with the
    // reason in error(), when it cannot be read, holds a layer with no
    // coordinate system, cannot be reprojected, or has more than maxPoints
    // vertices and points. A layer that failed holds nothing.
    bool load(const QString& path, int epsg = 4326, size_t maxPoints = kMaxPoints);

    QString path() const { return m_path; }
    QString error() const { return m_error; }

    // Longitude (x) and latitude (y), WGS84 degrees, or easting and northing
    // of the system the file was read into. The vertices of every
    // line and polygon ring follow one another; part k runs from
    // partStart(k) to partStart(k + 1).
    const std::vector<QPointF>& vertices() const { return m_vertices; }
    int partCount() const { return static_cast<int>(m_partStarts.size()) - 1; }
    int partStart(int k) const { return m_partStarts[static_cast<size_t>(k)]; }
    bool partClosed(int k) const { return m_closed[static_cast<size_t>(k)]; }
    const std::vector<QPointF>& points() const { return m_points; }

    // Whether a point lies inside the closed parts, by the even-odd rule: a
    // polygon's holes are outside it.
    bool contains(QPointF p) const;

private:
    QString m_path;
    QString m_error;
    std::vector<QPointF> m_vertices;
    std::vector<int> m_partStarts{0};
    std::vector<bool> m_closed;
    std::vector<QPointF> m_points;

    friend struct VectorLayerReader;
};
