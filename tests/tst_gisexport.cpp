#include "GisExport.h"
#include "LoggerList.h"
#include "PositionFinder.h"
#include "TestSupport.h"
#include "Utilities.h"
#include "WriteFaults.h"

#include <QtTest>
#include <gdal_priv.h>
#include <memory>
#include <ogrsf_frmts.h>

namespace {

using Dataset = std::unique_ptr<GDALDataset, void (*)(GDALDataset*)>;

Dataset openVector(const QString& path)
{
    return Dataset(GDALDataset::FromHandle(GDALOpenEx(QFile::encodeName(path).constData(),
                                                      GDAL_OF_VECTOR, nullptr, nullptr, nullptr)),
                   [](GDALDataset* ds) { GDALClose(ds); });
}

// Three loggers: one placed from comment 2 (BNG) with a "é" and a "£" in
// Windows-1252 and three readings, two of them leaks; one without a position
// ("AA" reference, free text) with a reading; one placed from its grid
// reference with no reading at all.
void fill(LoggerList& list, int copies = 1)
{
    for (int c = 0; c < copies; ++c) {
        LoggerRecord placed, lost, quiet;
        placed.Serial = 1234567 + c * 10;
        placed.GridRef = "SE 2224 3381";
        placed.Comment1 = "Caf\xE9 \2435"; // octal 243: the pound sign
        placed.Comment2 = "TQ-30624-78388";
        placed.Deployed = "2024/01/02";
        placed.Received = "12:30";
        placed.UserComments = "valve";
        placed.setHistory(1, {AnsiText("2024/05/01"), AnsiText("L"), 40, 10});
        placed.setHistory(2, {AnsiText("2024/04/01"), AnsiText("N"), 20, 5});
        placed.setHistory(3, {AnsiText("2024/03/01"), AnsiText(" l"), 30, 5});
        lost.Serial = 2345678 + c * 10;
        lost.GridRef = "AA 1234 5678";
        lost.Comment2 = "Main Street";
        lost.setHistory(1, {AnsiText("2024/05/01"), AnsiText("N"), 12, 3});
        quiet.Serial = 3456789 + c * 10;
        quiet.GridRef = "TQ 3000 8000";
        for (const LoggerRecord& r : {placed, lost, quiet})
            list.Insert(r);
    }
}

} // namespace

class TestGisExport : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { GDALAllRegister(); }

    void formats_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"out.gpkg", "out.geojson", "OUT.JSON", "out.kml", "out.shp", "out.csv"})
            QTest::newRow(name) << QString(name);
    }

    // Written, read back with OGR: the fields, the UTF-8 texts, the positions,
    // the readings table of a GeoPackage and the loggers left out.
    void formats()
    {
        QFETCH(QString, name);
        const bool points = !name.endsWith(".csv"); // a geometry, or latitude and longitude columns
        LoggerList list;
        fill(list);
        const std::vector<GeoPosition> where = PlaceLoggers(list, "2");
        const QString path = m_dir.filePath(name);
        writeBytes(path, "older"); // replaced
        const GisExportResult r = ExportLoggers(list, "2", path);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.written, 2);
        QCOMPARE(int(r.unplaced.size()), 1);
        QCOMPARE(r.unplaced[0].serial, 2345678);
        QCOMPARE(r.unplaced[0].reason, where[1].reason);
        QVERIFY(!r.unplaced[0].reason.isEmpty());
        QCOMPARE(
            QDir(m_dir.path()).entryList(QStringList("*quorvane*"), QDir::Hidden | QDir::Files),
            QStringList());

        const Dataset ds = openVector(path);
        QVERIFY(ds);
        OGRLayer* layer = ds->GetLayerCount() > 1 ? ds->GetLayerByName("loggers") : ds->GetLayer(0);
        QVERIFY(layer);
        QCOMPARE(int(layer->GetFeatureCount()), 2);
        const std::unique_ptr<OGRFeature> a(layer->GetNextFeature()), b(layer->GetNextFeature());
        QVERIFY(a && b);
        const QString fields = "serial=01234567;gridref=SE 2224 3381;comment1=Caf\u00e9 \u00a35;"
                               "comment2=TQ-30624-78388;deployed=2024/01/02;received=12:30;"
                               "usercomm=valve;date=2024/05/01;status=L;level=40;spread=10;"
                               "readings=3;leaks=2";
        for (const QString& f : fields.split(';')) {
            const QByteArray name = f.section('=', 0, 0).toLatin1();
            QCOMPARE(name + "=" + QString::fromUtf8(a->GetFieldAsString(name)), f);
        }
        // No reading: the latest reading's fields are empty and nothing is counted.
        QCOMPARE(QString::fromUtf8(b->GetFieldAsString("serial")), QString("03456789"));
        QCOMPARE(b->GetFieldAsString("date"), "");
        QCOMPARE(b->GetFieldAsInteger("readings"), 0);
        for (const auto& [f, p] : {std::pair{a.get(), where[0]}, std::pair{b.get(), where[2]}}) {
            const OGRPoint* point = points ? f->GetGeometryRef()->toPoint() : nullptr;
            const double lon = point ? point->getX() : f->GetFieldAsDouble("longitude"),
                         lat = point ? point->getY() : f->GetFieldAsDouble("latitude");
            QVERIFY(std::abs(lat - p.lat) < 1e-6 && std::abs(lon - p.lon) < 1e-6);
        }
        OGRLayer* readings = ds->GetLayerByName("readings");
        QCOMPARE(readings != nullptr, name.endsWith(".gpkg"));
        if (readings) {
            QCOMPARE(int(readings->GetFeatureCount()), 4); // the unplaced logger's reading too
            const std::unique_ptr<OGRFeature> third(readings->GetFeature(3));
            QStringList got;
            for (const char* field : {"serial", "date", "status", "level", "spread"})
                got << third->GetFieldAsString(field);
            QCOMPARE(got, QStringList({"01234567", "2024/03/01", " l", "30", "5"}));
        }
    }

    void failures_data()
    {
        QTest::addColumn<QString>("name"); // under the test's folder
        QTest::addColumn<QString>("says");
        QTest::addColumn<int>("sizeLimit"); // bytes a file may grow to; 0: no limit
        const QString tooLong = QString(300, 'n');
        const std::pair<QString, const char*> rows[] = {
            {"out.txt", ".gpkg"},    {"nowhere/out.gpkg", "nowhere"}, {"dir.kml", "folder"},
            {tooLong + ".gpkg", ""}, {tooLong + ".shp", ""},          {"/proc/out.geojson", ""}};
        for (const auto& [name, says] : rows)
            QTest::newRow(qPrintable(name.right(24))) << name << QString(says) << 0;
#ifdef Q_OS_LINUX // even root cannot write a file in /proc, nor past the size limit
        for (const char* name : {"big.gpkg", "big.geojson", "big.kml", "big.shp", "big.csv"})
            QTest::newRow(name) << name << "" << 16384;
#endif
    }

    // A failed export says why and leaves the older files (and no others) as they were.
    void failures()
    {
        QFETCH(QString, name);
        QFETCH(QString, says);
        QFETCH(int, sizeLimit);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(name);
        QVERIFY(QDir(dir.path()).mkpath("dir.kml"));
        const QStringList older = {"big.csv",  "big.dbf", "big.geojson",
                                   "big.gpkg", "big.kml", "big.shp"};
        for (const QString& f : older)
            QVERIFY(writeBytes(dir.filePath(f), f.toUtf8()));
        LoggerList list;
        fill(list, 200); // past the size limit in every format
        GisExportResult r;
        const auto write = [&] { r = ExportLoggers(list, "2", path); };
        if (sizeLimit)
            QVERIFY(FaultFolder().run(Fault::SizeLimit, sizeLimit, write));
        else
            write();
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(says), qPrintable(r.error));
        QCOMPARE(r.written, 0);
        for (const QString& f : older)
            QCOMPARE(readBytes(dir.filePath(f)), f.toUtf8());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 older + QStringList("dir.kml")); // in name order
    }

    // A Shapefile is several files: whichever move into place fails, the older
    // parts all come back as they were and nothing else is left; once no move
    // fails, the new parts replace them all and a stale index goes.
    void shapefilePartWay()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("net.shp");
        LoggerList one, many;
        fill(one);
        fill(many, 3);
        QVERIFY(ExportLoggers(one, "2", path).ok);
        QVERIFY(writeBytes(dir.filePath("net.qix"), "stale index"));
        QVERIFY(QFile::remove(dir.filePath("net.cpg"))); // an older one may lack a part
        QMap<QString, QByteArray> older;
        for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
            older[f] = readBytes(dir.filePath(f));
        QVERIFY(older.size() >= 5);
        for (int nth = 0;; ++nth) {
            QVERIFY2(nth < 40, "the export never got past the fault");
            FailReplaceFileForTesting(nth);
            const GisExportResult r = ExportLoggers(many, "2", path);
            FailReplaceFileForTesting(-1);
            QMap<QString, QByteArray> now;
            for (const QString& f :
                 QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
                now[f] = readBytes(dir.filePath(f));
            if (r.ok) {
                QVERIFY(nth > older.size()); // every old part was moved aside first
                QCOMPARE(now.keys(),
                         QStringList({"net.cpg", "net.dbf", "net.prj", "net.shp", "net.shx"}));
                QCOMPARE(openVector(path)->GetLayer(0)->GetFeatureCount(), 6);
                break;
            }
            QVERIFY2(now == older, qPrintable(QString("fault at move %1").arg(nth)));
        }
    }
};

QTEST_GUILESS_MAIN(TestGisExport)
#include "tst_gisexport.moc"
