#pragma once
// The plane the map is drawn in: Web Mercator (EPSG:3857), through PROJ.
// Only for drawing; distances are measured on the ellipsoid (Geodesy).

#include <QPointF>

#include <memory>

class WebMercator
{
public:
    WebMercator();
    ~WebMercator();
    WebMercator(const WebMercator&) = delete;
    WebMercator& operator=(const WebMercator&) = delete;

    // Metres east and north of a point given in degrees; latitudes beyond
    // the projection's square world are held at its edge.
    QPointF forward(double lat, double lon) const;
    // The (lon, lat) in degrees of a point of the plane.
    QPointF inverse(QPointF metres) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
