#include "GisExport.h"
#include "LoggerList.h"
#include "VectorLayer.h"

#include <QTemporaryDir>
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
    void reading_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error"); // empty: it reads
        QTest::addColumn<int>("maxPoints");
        QTest::newRow("UTM lines, ring, points") << "a.geojson" << kUtmLayer << "" << 8;
        QTest::newRow("too big") << "a.geojson" << kUtmLayer << "more than 7 vertices" << 7;
        QTest::newRow("no coordinate system")
            << "b.csv" << QByteArray("WKT,name\r\n\"LINESTRING (1 2,3 4)\",x\r\n")
            << "no coordinate system" << 8;
        QTest::newRow("not a vector file")
            << "c.geojson" << QByteArray("{ not json") << "GDAL" << 8;
        QTest::newRow("missing") << "" << QByteArray() << "GDAL" << 8;
    }
    void reading()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(int, maxPoints);
        QTemporaryDir dir;
        const QString path = dir.filePath(name.isEmpty() ? QStringLiteral("none.gpkg") : name);
        if (!name.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
        VectorLayer layer;
        QCOMPARE(layer.load(path, 4326, size_t(maxPoints)), error.isEmpty());
        QCOMPARE(layer.path(), path);
        if (!error.isEmpty()) {
            QVERIFY2(layer.error().contains(error), qPrintable(layer.error()));
            QCOMPARE(layer.partCount(), 0);
            QVERIFY(layer.points().empty());
            return;
        }
        QCOMPARE(layer.partCount(), 2);
        QCOMPARE(layer.partStart(1), 2);
        QCOMPARE(layer.partStart(2), 6);
        QCOMPARE(layer.partClosed(0), false);
        QCOMPARE(layer.partClosed(1), true);
        QCOMPARE(int(layer.points().size()), 2);
        const QPointF origin = layer.vertices()[0];
        QVERIFY(qAbs(origin.x() - 3) < 1e-9 && qAbs(origin.y()) < 1e-9); // longitude first
        QVERIFY(qAbs(layer.vertices()[1].x() - 3) < 1e-9);
        QVERIFY(layer.vertices()[1].y() > 8.9 && layer.vertices()[1].y() < 9.1);
        QCOMPARE(layer.points()[0], origin);
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
