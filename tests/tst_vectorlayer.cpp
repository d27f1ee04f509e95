#include "GisExport.h"
#include "LoggerList.h"
#include "TestSupport.h"
#include "VectorLayer.h"

#include <QtTest>

namespace {

// UTM zone 31N (WGS 84): easting 500000 is the 3°E meridian, northing 0 the equator.
const QByteArray kUtmLayer = R"({"type": "FeatureCollection",
  "crs": {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::32631"}},
  "features": [
    {"type": "Feature", "properties": {}, "geometry": {"type": "LineString",
      "coordinates": [[500000, 0], [500000, 1000000]]}},
    {"type": "Feature", "properties": {}, "geometry": {"type": "Polygon",
      "coordinates": [[[500000, 0], [600000, 0], [600000, 100000], [500000, 0]]]}},
    {"type": "Feature", "properties": {}, "geometry": {"type": "MultiPoint",
      "coordinates": [[500000, 0], [500000, 0]]}},
    {"type": "Feature", "properties": {}, "geometry": null}
  ]})";

} // namespace

class TestVectorLayer : public QObject
{
    Q_OBJECT

private slots:
    // Read into WGS 84 (longitude first) as parts, closed or not, and points;
    // a layer that cannot be shown is refused with nothing kept.
    void reading()
    {
        const std::tuple<const char*, QByteArray, int, const char*> rows[] = {
            // the file (none: missing), its bytes, the vertex limit, the error (none: it reads)
            {"a.geojson", kUtmLayer, 8, ""},
            {"a.geojson", kUtmLayer, 7, "more than 7 vertices"},
            {"b.csv", "WKT,name\r\n\"LINESTRING (1 2,3 4)\",x\r\n", 8, "no coordinate system"},
            {"c.geojson", "{ not json", 8, "GDAL"},
            {"", "", 8, "GDAL"}};
        for (const auto& [name, bytes, maxPoints, error] : rows) {
            QTemporaryDir dir;
            const QString path = dir.filePath(*name ? name : "none.gpkg");
            QVERIFY(!*name || writeBytes(path, bytes));
            VectorLayer layer;
            QCOMPARE(layer.load(path, 4326, size_t(maxPoints)), !*error);
            QCOMPARE(layer.path(), path); // a layer that fails keeps its place in the map's list
            if (*error) {
                QVERIFY2(layer.error().contains(error), qPrintable(layer.error()));
                QVERIFY(layer.partCount() == 0 && layer.points().empty());
                continue;
            }
            QCOMPARE(QList<int>({layer.partCount(), layer.partStart(1), layer.partStart(2),
                                 int(layer.points().size())}),
                     QList<int>({2, 2, 6, 2}));
            QVERIFY(!layer.partClosed(0) && layer.partClosed(1));
            const QPointF origin = layer.vertices()[0];
            QVERIFY(qAbs(origin.x() - 3) < 1e-9 && qAbs(origin.y()) < 1e-9);
            QVERIFY(qAbs(layer.vertices()[1].x() - 3) < 1e-9);
            QVERIFY(layer.vertices()[1].y() > 8.9 && layer.vertices()[1].y() < 9.1);
            QCOMPARE(layer.points()[0], origin);
        }
    }

    // A Shapefile cut short opens, and OGR reads on past the features it
    // cannot: the layer is refused, not shown in part.
    void damaged()
    {
        QTemporaryDir dir;
        const QString shp = dir.filePath("loggers.shp");
        LoggerList list;
        for (int i = 0; i < 50; ++i) {
            LoggerRecord r;
            r.Serial = 1000 + i;
            r.GridRef = "SE 2224 3381";
            list.Insert(r);
        }
        QCOMPARE(ExportLoggers(list, "0", shp).written, 50);
        VectorLayer layer;
        QVERIFY2(layer.load(shp), qPrintable(layer.error()));
        QCOMPARE(int(layer.points().size()), 50);
        QFile cut(shp);
        QVERIFY(cut.resize(cut.size() / 2));
        QVERIFY(!layer.load(shp));
        QVERIFY2(layer.error().startsWith("It is damaged"), qPrintable(layer.error()));
        QVERIFY(layer.points().empty());
    }
};

QTEST_GUILESS_MAIN(TestVectorLayer)
#include "tst_vectorlayer.moc"
