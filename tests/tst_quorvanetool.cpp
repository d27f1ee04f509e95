#include "DatabaseReader.h"
#include "LangText.h"
#include "PositionFinder.h"
#include "RecordStore.h"
#include "TestSupport.h"
#include "VectorLayer.h"

#include <QtTest>

namespace {
struct Run
{
    int exitCode = -1; // also when the tool crashed or hung
    QByteArray out, err;
};

// configHome: where the tool finds the program's settings.
Run tool(const QStringList& args, const QString& configHome = QString())
{
    QProcess p;
    if (!configHome.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", configHome);
        p.setProcessEnvironment(env);
    }
    p.start(QStringLiteral(QUORVANE_TOOL), args);
    const bool ended = p.waitForFinished(60000);
    if (!ended)
        p.kill();
    return {ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput(), p.readAllStandardError()};
}

// Arguments written as one text, split at the spaces.
QStringList words(const QString& text)
{
    return text.split(' ', Qt::SkipEmptyParts);
}

const QString kNorth = QStringLiteral(QUORVANE_SOURCE_DIR "/samples/north.csv");
const QString kCentral = QStringLiteral(QUORVANE_SOURCE_DIR "/samples/central.csv");
const QString kCentralNetwork = QStringLiteral(QUORVANE_SOURCE_DIR "/samples/central-network.gpkg");

// A GeoJSON file of one geometry (in WGS 84 unless another system is named),
// written with ' for ".
QByteArray geoJson(const QByteArray& geometry, const char* crs = "")
{
    const QByteArray named =
        *crs ? "'crs': {'type': 'name', 'properties': {'name': '" + QByteArray(crs) + "'}}, "
             : QByteArray();
    QByteArray json = "{'type': 'FeatureCollection', " + named +
                      "'features': [{'type': 'Feature', 'properties': {}, 'geometry': " + geometry +
                      "}]}";
    return json.replace('\'', '"');
}
} // namespace

class TestQuorvaneTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    // What the tool writes, on standard output or into OUT, byte for byte;
    // check's exit status is the read's result code.
    void outputs()
    {
        const QByteArray line = "1234567,\"AB 1234 5678\",\"\",\"\",\"\",\"\"\r\n";
        writeBytes(path("dup.csv"), "h,h\r\n" + line + line);
        writeBytes(path("bad.csv"), "h,h\r\n" + line + "13000000,\"AB 1234 5678\"\r\n");
        const QString messy = testData("messy_input.csv"), out = path("out.csv");
        const QByteArray converted = readBytes(testData("messy_expected.csv"));
        const QStringList history =
            words("report --grid-ref --comment1 --history --leak --warning --comment") +
            QStringList{"Spring patrol", "--date", "2026-03-07", "--lines-per-page", "50", kNorth};
        // The dates in any order: the summary holds them newest first.
        const QStringList summary =
            words("report --received --summary 2026/11/09,2026/11/30,2026/11/16 --no-leak --date "
                  "2026-03-07 --lines-per-page 30")
            << kNorth;
        const QByteArray historyReport = readBytes(testData("report_north_history.txt"));
        const std::tuple<QStringList, int, QByteArray> runs[] = {
            {{"check", messy}, 0, "result 0\nlines 8\nrecords 5\n"},
            {{"check", "--ignore-errors", path("bad.csv")}, 0, "result 0\nlines 3\nrecords 2\n"},
            {{"check", "--handheld", path("bad.csv")}, 8, "result 8\nlines 3\nrecords 0\n"},
            {{"convert", messy, "-"}, 0, converted},
            {{"convert", messy, out}, 0, converted},
            {{"convert", out, out}, 0, converted},
            {history + QStringList{"-"}, 0, historyReport},
            {history + QStringList{out}, 0, historyReport},
            {summary + QStringList{"-"}, 0, readBytes(testData("report_north_summary.txt"))},
            {{"generate", "40", "12", out}, 0, readBytes(kNorth)},
            {{"convert", kCentral, "-"}, 0, readBytes(kCentral)},
        };
        for (const auto& [args, exitCode, expected] : runs) {
            const Run r = tool(args);
            QCOMPARE(r.exitCode, exitCode);
            QCOMPARE(args.last() == out ? readBytes(out) : r.out, expected);
        }
        QVERIFY(tool({"check", path("dup.csv")}).out.endsWith("\n1\t01234567\t1\n"));
        QCOMPARE(tool(history + QStringList{path("out.pdf")}).exitCode, 0);
        QVERIFY(readBytes(path("out.pdf")).startsWith("%PDF"));
        QCOMPARE(tool({"handheld", messy, path("list.pdb")}).exitCode, 0);
        QVERIFY(readBytes(path("list.pdb")).startsWith("\"Velloran Korvalind V1.00,"));
        QCOMPARE(tool({"generate", "--first", "301", "5", "3", out}).exitCode, 0);
        QCOMPARE(tool({"check", out}).out, QByteArray("result 0\nlines 6\nrecords 5\n"));
        QVERIFY(tool({"--help"}).out.contains("Usage:"));
        // Every logger of the map sample has a position.
        QCOMPARE(tool({"export", "--address2", "0", kCentral, path("central.gpkg")}).exitCode, 0);
    }

    // The tool against the logger simulator, two processes on a pseudo-terminal.
    void logger()
    {
        QProcess sim;
        sim.start(QStringLiteral(QUORVANE_LOGGERSIM),
                  {"--serial", "1234567", "--battery", "255", "--days", "65"});
        QVERIFY(sim.waitForReadyRead(10000));
        const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY(device.startsWith("/dev/"));
        Run r = tool({"logger", device, "info"});
        QCOMPARE(r.exitCode, 0);
        QString info = QString::fromLatin1(r.out); // the clock is the logger's, whatever it is
        info.replace(QRegularExpression("clock: [\\d/]{10} [\\d:]{8}"), "clock: *");
        QCOMPARE(info,
                 QString("firmware: 1.02\nserial: 01234567\nclock: *\nleak-state rate: 30 "
                         "seconds\nno-leak-state rate: 60 seconds\nlogging days: Sun Sat\nlast "
                         "reset: 2023/11/14 22:13:20\nleak status: Not in Leak\nbattery: not "
                         "measurable\n"));
        r = tool({"logger", device, "histogram"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.count("\r\n"), 100);
        QVERIFY(r.out.startsWith("0,0\r\n") && r.out.contains("\r\n22,400\r\n"));
        QCOMPARE(tool({"logger", device, "noise"}).exitCode, 0);
        sim.kill();
        sim.waitForFinished();
        r = tool({"logger", device, "info"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("does not answer"));
    }

    // The merge without windows: the report on standard output, messages on
    // standard error, a handheld result read as one; refused for another DMA.
    void merge()
    {
        const QByteArray rest = ",\"AB 1234 5678\",\"\",\"\",\"\",\"\",\""; // up to the date
        const QByteArray database = "h,h\r\n1000001" + rest + "2003/01/01\",\"N\",20,5,\"\"\r\n";
        writeBytes(path("north.csv"), database);
        QDir().mkpath(path("patrol"));
        writeBytes(path("patrol/north.csv"),
                   "h\r\nh,h\r\n2000002" + rest + "2004/01/01\",\"w\",20,5,\"\"\r\n");
        Run r = tool({"merge", "--handheld", path("patrol/north.csv"), path("north.csv")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith(LangText(218).toLatin1()) && r.out.contains("\n02000002\n"));
        QVERIFY(r.err.contains(LangText(225).toLatin1()));
        QVERIFY(
            readBytes(path("north.csv")).contains("\"2004/01/01\",\"" + LangText(184).toLatin1()));
        r = tool({"merge", "--handheld", path("patrol/north.csv"), path("north.csv")});
        QCOMPARE(r.exitCode, 0); // nothing left to add
        QVERIFY(r.out.contains(LangText(221).toLatin1()));
        writeBytes(path("east.csv"), database);
        r = tool({"merge", path("north.csv"), path("east.csv")}); // another DMA
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(LangText(216).toLatin1()));
    }

    // What the tool refuses, with its exit code and what standard error says.
    // A report or a handheld list never replaces the file it is made from,
    // however the path is written.
    void refusals_data()
    {
        QTest::addColumn<QString>("args"); // IN/ is a folder holding a copy of the north sample
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        const std::tuple<const char*, int, QString> rows[] = {
            {"", 64, "no command"},
            {"frobnicate", 64, "frobnicate"},
            {"check --fast x.csv", 64, "--fast"},
            {"check", 64, "Usage:"},
            {"convert x.csv", 64, "IN and OUT"},
            {"merge x.csv", 64, "PATROL and DATABASE"},
            {"generate ten 5 x.csv", 64, "Usage:"},
            {"generate 10 51 x.csv", 64, "0 to 50"},
            {"logger /dev/null everything", 64, "everything"},
            {"report --summary , IN/north.csv -", 64, LangText(422)},
            {"report --summary 2026/11/16,2026-11-09 IN/north.csv -", 64, "YYYY/MM/DD"},
            {"report --lines-per-page 0 IN/north.csv -", 64, "1 to 10000"},
            {"report --date 2026-02-30 IN/north.csv -", 64, "Usage:"},
            {"report --colour IN/north.csv -", 64, "--colour"},
            {"report nowhere.csv -", 2, "nowhere.csv"},
            {"report IN/north.csv /no/such/folder/out.txt", 4, "out.txt"},
            {"convert IN/north.csv /no/such/folder/o.csv", 4, "o.csv"},
            {"report IN/north.csv /no/such/folder/out.pdf", 4, "out.pdf"},
            {"report IN/north.csv IN/sub/../north.csv", 64, "north.csv"},
            {"report IN/north.csv IN/link.csv", 64, "north.csv"},
            {"handheld IN/north.csv IN/./north.csv", 64, "north.csv"},
            {"find .", 64, "Usage:"},
        };
        for (const auto& [args, exitCode, says] : rows)
            QTest::newRow(*args ? args : "nothing") << QString(args) << exitCode << says;
        for (const char* serial : {"123abc", "123456789", "+1234567"})
            QTest::newRow(serial) << QString("find . 1234567 ") + serial << 64 << QString(serial);
    }
    void refusals()
    {
        QFETCH(QString, args);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const QString in = path("in");
        QDir(in).removeRecursively();
        QVERIFY(QDir().mkpath(in + "/sub"));
        QVERIFY(QFile::copy(kNorth, in + "/north.csv"));
        QVERIFY(QFile::link(in + "/north.csv", in + "/link.csv"));
        const Run r = tool(words(args).replaceInStrings("IN/", in + "/"));
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(QString::fromLatin1(r.err).contains(says), r.err.constData());
        QCOMPARE(readBytes(in + "/north.csv"), readBytes(kNorth));
    }

    // find: the files of a folder that hold the serials, in name order, each
    // once; files that cannot be read passed over in silence unless --verbose.
    void find()
    {
        const QString hub = path("hub");
        QVERIFY(QDir().mkpath(hub + "/sub"));
        const QByteArray rest = ",\"AB 1234 5678\",\"\",\"\",\"\",\"\"\r\n"; // of a record
        writeBytes(hub + "/a.csv", "h,h\r\n1234567" + rest + "2345678" + rest);
        writeBytes(hub + "/B.CSV", "h,h\r\n3456789" + rest);
        writeBytes(hub + "/empty.csv", "h,h\r\n");
        writeBytes(hub + "/notes.txt", "h,h\r\n1234567" + rest);
        writeBytes(hub + "/sub/d.csv", "h,h\r\n4567890" + rest);
        QVERIFY(QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/samples/east.pdb"),
                            hub + "/east.pdb"));
        const std::tuple<const char*, const char*, int> runs[] = {
            {"HUB 1234567 2345678", "a.csv", 0},
            {"HUB 3456789", "B.CSV", 0},
            {"HUB 3475237", "east.pdb", 0},
            {"HUB 4567890", "", 1}, // subfolders only when asked
            {"--recursive HUB 4567890 3456789 1234567", "a.csv B.CSV sub/d.csv", 0},
            {"--verbose HUB 9999999", "", 1},
            {"nowhere 1234567", "", 2},
        };
        for (const auto& [args, lines, exitCode] : runs) {
            const Run r = tool(words(QString("find ") + args).replaceInStrings("HUB", hub));
            QCOMPARE(r.exitCode, exitCode);
            QStringList expected;
            for (const QString& l : words(lines))
                expected << QDir::toNativeSeparators(hub + "/" + l);
            QCOMPARE(QString::fromLocal8Bit(r.out).split('\n', Qt::SkipEmptyParts), expected);
            QCOMPARE(r.err.contains("empty.csv"), QString(args).contains("--verbose"));
            QCOMPARE(r.err.contains("nowhere"), exitCode == 2);
        }
    }

    // generate --area: each logger in a 10 m square whose centre lies inside
    // the area's polygons, a hole outside them, the same places every time;
    // an area that cannot be used writes nothing.
    void generateInArea()
    {
        const char* const bng = "urn:ogc:def:crs:EPSG::27700";
        const QByteArray square =
            "{'type': 'Polygon', 'coordinates': [[[484000, 238000], "
            "[486000, 238000], [486000, 240000], [484000, 240000], [484000, 238000]], "
            "[[484500, 238500], [485500, 238500], [485500, 239500], "
            "[484500, 238500]]]}";
        const QByteArray line = "{'type': 'LineString', 'coordinates': [[484000, 238000], "
                                "[400000, 100000]]}";
        const QByteArray twoSquares =
            "{'type': 'MultiPolygon', 'coordinates': ["
            "[[[-0.78, 52.03], [-0.77, 52.03], [-0.77, 52.04], [-0.78, 52.04], [-0.78, 52.03]]], "
            "[[[-0.75, 52.03], [-0.74, 52.03], [-0.74, 52.04], [-0.75, 52.03]]]]}";
        const auto box = [](double w, double s, double e, double n) {
            return QString::asprintf("{'type': 'Polygon', 'coordinates': [[[%g, %g], [%g, %g], "
                                     "[%g, %g], [%g, %g], [%g, %g]]]}",
                                     w, s, e, s, e, n, w, n, w, s)
                .toLatin1();
        };
        const std::tuple<QString, QByteArray, const char*, const char*> rows[] = {
            // the area (none: as it is), a grid reference outside it, the refusal (none: made)
            {"a.geojson", geoJson(square, bng), "SP 8530 3870", ""},
            {"b.geojson", geoJson(twoSquares), "SP 8515 3812", ""},
            {kCentralNetwork, QByteArray(), "SP 8600 3850", ""}, // mains and boundary
            {"c.gpkg", QByteArray(), "", "there is no such file"},
            {"d.geojson", geoJson(line, bng), "", "no polygon"},
            {"paris.geojson", geoJson(box(2.2, 48.8, 2.4, 48.9)), "", "outside the British"},
            {"west.geojson", geoJson(box(-5000, 10000, -1000, 14000), bng), "",
             "outside the British"},
            {"north sea.geojson", geoJson(box(690000, 1200000, 699000, 1210000), bng), "",
             "outside Great Britain"},
            {"sliver.geojson", geoJson(box(484001, 238001, 484004, 238004), bng), "", "too small"},
        };
        for (const auto& [name, bytes, hole, says] : rows) {
            const QString area = QDir::isAbsolutePath(name) ? name : m_dir.filePath(name);
            const QString out = path("area.csv");
            QFile::remove(out);
            QVERIFY(bytes.isEmpty() || writeBytes(area, bytes));
            const QStringList args{"generate", "--area", area, "--first", "7", "30", "2", out};
            const Run r = tool(args);
            QVERIFY2(QString::fromLatin1(r.err).contains(says), r.err.constData());
            QCOMPARE(r.exitCode, *says ? 64 : 0);
            if (*says) {
                QVERIFY(!QFile::exists(out));
                continue;
            }
            const QByteArray written = readBytes(out);
            QCOMPARE(tool(args).exitCode, 0);
            QCOMPARE(readBytes(out), written);
            VectorLayer layer;
            QVERIFY(layer.load(area));
            PositionFinder finder(QStringLiteral("0"));
            const GeoPosition outside = finder.fromGridRef(hole);
            QVERIFY(outside.valid && !layer.contains({outside.lon, outside.lat}));
            QCOMPARE(ReadDatabaseFile(out), 0);
            QCOMPARE(DMAModule().StoreCount, 30);
            QSet<QByteArray> places;
            for (int i = 1; i <= 30; ++i) {
                const GeoPosition p = finder.fromGridRef(DMAModule().Records(i).GridRef.view());
                QVERIFY(p.valid && layer.contains({p.lon, p.lat}));
                places << QByteArray(DMAModule().Records(i).GridRef.view().data(), 12);
            }
            QVERIFY2(places.size() > 25, qPrintable(name));
        }
    }

    // export: the status says whether every logger was placed; comment 2 is
    // read in the format --address2 names, or else the program's setting.
    void exportStatuses()
    {
        const QString in = path("placed.csv"), config = path("config");
        writeBytes(in, "h,h\r\n1234567,\"AA 1234 5678\",\"\",\"TQ-30624-78388\",\"\",\"\"\r\n"
                       "2345678,\"SE 2224 3381\",\"\",\"\",\"\",\"\"\r\n");
        const std::tuple<const char*, const char*, int, const char*> runs[] = {
            {"--address2 2 IN OUT.gpkg", "", 0, ""},
            {"--address2 0 IN OUT.kml", "", 3, "01234567"},
            {"IN OUT.geojson", "2", 0, ""},
            {"--ignore-errors IN OUT.geojson", "0", 3, "01234567"},
            {"--address2 15 IN OUT.csv", "", 64, "0 to 14"},
            {"IN OUT.txt", "", 64, "out.txt"},
            {"IN IN", "", 64, "OUT is FILE"},
            {"IN /no/such/folder/o.shp", "", 4, "o.shp"},
            {"nowhere.csv OUT.csv", "", 2, "nowhere.csv"},
        };
        for (const auto& [args, setting, exitCode, says] : runs) {
            QDir(config).removeRecursively();
            QDir().mkpath(config + "/Quorvane");
            if (*setting)
                writeBytes(config + "/Quorvane/Quorvane.conf",
                           QByteArray("[Settings]\nAddress2=") + setting + "\n");
            const Run r = tool(words(QString("export ") + args)
                                   .replaceInStrings("IN", in)
                                   .replaceInStrings("OUT", path("out")),
                               config);
            QCOMPARE(r.exitCode, exitCode);
            QVERIFY2(r.err.contains(says) && (exitCode != 0 || r.err.isEmpty()), r.err.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestQuorvaneTool)
#include "tst_quorvanetool.moc"
