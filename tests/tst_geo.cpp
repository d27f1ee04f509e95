#include "PositionFinder.h"
#include "RecordStore.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <proj.h>

namespace {

LoggerRecord logger(const char* comment2, const char* gridRef)
{
    LoggerRecord r;
    r.Comment2 = comment2;
    r.GridRef = gridRef;
    return r;
}

double metresApart(double lat1, double lon1, double lat2, double lon2)
{
    const double k = 6371000 * M_PI / 180;
    return std::hypot((lat1 - lat2) * k, (lon1 - lon2) * k * std::cos(lat1 * M_PI / 180));
}

} // namespace

class TestGeo : public QObject
{
    Q_OBJECT
private slots:
    void controlPoints_data();
    void controlPoints();
    void gridOrigins_data();
    void gridOrigins();
    void rejected_data();
    void rejected();
    void wholeStore();
    void missingProjData();
};

// Published positions, each with the figures its agency gives; the allowance
// is the format's resolution plus the accuracy PROJ gives for the datum shift.
void TestGeo::controlPoints_data()
{
    QTest::addColumn<QString>("address2");
    QTest::addColumn<QByteArray>("comment2");
    QTest::addColumn<QByteArray>("gridRef");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("metres");
    QTest::addColumn<int>("source");
    const int c2 = int(PositionSource::Comment2), grid = int(PositionSource::GridRef);
    // Ordnance Survey, OSTN15 developer pack test point TP09 (Lambeth):
    // E 530624.974 N 178388.464 = ETRS89 51.48936564950 -0.11992557180.
    QTest::newRow("BNG") << "2" << QByteArray("TQ-30624-78388") << QByteArray(kAbsentGridRef)
                         << 51.48936564950 << -0.11992557180 << 4.0 << c2;
    // The same pack's TP20: E 422242.186 N 433818.701 = 53.8002151963 -1.66379168242,
    // as a 10 m grid reference with free text in comment 2.
    QTest::newRow("grid reference") << "0" << QByteArray("hydrant") << QByteArray("SE 2224 3381")
                                    << 53.8002151963 << -1.66379168242 << 10.0 << grid;
    QTest::newRow("unreadable comment 2, grid reference")
        << "3" << QByteArray("meter pit") << QByteArray("se 2224 3381") << 53.8002151963
        << -1.66379168242 << 10.0 << grid;
    // Kadaster (Schreutelkamp and Strang van Hees, approximation formulas for
    // RD and WGS84): Amersfoort, x 155000 y 463000 = 52.15517440 5.38720621.
    QTest::newRow("RD") << "3" << QByteArray("155000-463000") << QByteArray() << 52.15517440
                        << 5.38720621 << 2.0 << c2;
    // swisstopo, approximate formulas for Swiss projection coordinates and
    // WGS84, worked example: y 700000 x 100000 = 46 02 38.87 N, 8 43 49.79 E.
    QTest::newRow("SUI") << "10" << QByteArray(" 700000-100000 ") << QByteArray()
                         << 46 + 2 / 60.0 + 38.87 / 3600 << 8 + 43 / 60.0 + 49.79 / 3600 << 2.5
                         << c2;
    // LINZ's NZTM2000 conversion program (nztm.c), its test point E 1576041.15
    // N 6188574.24, as the published ports of that program convert it.
    QTest::newRow("NZ") << "8" << QByteArray("E1576041-N6188574") << QByteArray() << -34.444064
                        << 172.739194 << 1.0 << c2;
    // Singapore Land Authority, SVY21: the false origin E 28001.642 N 38744.572
    // is 1 22 00 N, 103 50 00 E.
    QTest::newRow("SG") << "9" << QByteArray("O0028002-N0038745") << QByteArray() << 1 + 22 / 60.0
                        << 103 + 50 / 60.0 << 2.0 << c2;
    // Not a control point: central Helsinki (60.17 N 24.95 E) in the uniform
    // system (zone 3), which serves all Finland beyond its own strip.
    QTest::newRow("KKJ uniform") << "4" << QByteArray("6673000-3386000") << QByteArray() << 60.17
                                 << 24.95 << 3000.0 << c2;
    // GeographicLib, GeoConvert manual: 33.3 N 44.4 E is 38N 444140.54
    // 3684706.36 and MGRS 38SMB4414084706.
    QTest::newRow("UTM") << "12" << QByteArray("38-N-0444141-3684706") << QByteArray() << 33.3
                         << 44.4 << 1.0 << c2;
    QTest::newRow("MGRS") << "7" << QByteArray("S38-MB-44140-84706") << QByteArray() << 33.3 << 44.4
                          << 1.5 << c2;
    QTest::newRow("Lat/Long") << "1" << QByteArray("S33.86880-E151.20930") << QByteArray()
                              << -33.8688 << 151.2093 << 0.01 << c2;
}

void TestGeo::controlPoints()
{
    QFETCH(QString, address2);
    QFETCH(QByteArray, comment2);
    QFETCH(QByteArray, gridRef);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(double, metres);
    QFETCH(int, source);
    PositionFinder finder(address2);
    const GeoPosition p = finder.place(logger(comment2.constData(), gridRef.constData()));
    QVERIFY2(p.valid, qPrintable(p.reason));
    const double off = metresApart(lat, lon, p.lat, p.lon);
    QVERIFY2(off <= metres, qPrintable(QString("%1 m off").arg(off)));
    QCOMPARE(int(p.source), source);
}

// Where no agency example was at hand, the grid's own definition: the point
// its projection is defined about, given in the grid's datum. The finder's
// answer is taken back into that datum with PROJ, so this checks the system,
// zone and order of the figures, not the datum shift (which is PROJ's).
void TestGeo::gridOrigins_data()
{
    QTest::addColumn<QString>("address2");
    QTest::addColumn<QByteArray>("comment2");
    QTest::addColumn<QString>("datum");
    QTest::addColumn<double>("lat"); // NaN: the point's latitude is not given
    QTest::addColumn<double>("lon");
    const double any = std::nan("");
    // Ordnance Survey Ireland / OSNI: the Irish Grid's true origin, 53 30 N
    // 8 W on the 1975 mapping datum, is E 200000 N 250000 (reference N 000 500).
    QTest::newRow("Irish Grid") << "6" << QByteArray("IN-00000-50000") << "EPSG:4300" << 53.5
                                << -8.0;
    // Qatar National Grid: origin 24 27 N 51 13 E (Qatar 1974) at E 200000 N 300000.
    QTest::newRow("QNG") << "13" << QByteArray("200000-300000") << "EPSG:4285" << 24 + 27 / 60.0
                         << 51 + 13 / 60.0;
    // Gauss-Kruger: a Rechtswert of z500000 lies on zone z's meridian, 3z degrees E.
    QTest::newRow("GK zone 3") << "5" << QByteArray("3500000-5500000") << "EPSG:4314" << any << 9.0;
    QTest::newRow("GK zone 4") << "5" << QByteArray("4500000-5650000") << "EPSG:4314" << any
                               << 12.0;
    // KKJ: zone z's meridian is 18 + 3z degrees E; zone 3 (27 E) is the uniform grid.
    QTest::newRow("KKJ zone 3") << "4" << QByteArray("6700000-3500000") << "EPSG:4123" << any
                                << 27.0;
    QTest::newRow("KKJ zone 1") << "4" << QByteArray("1500000-6700000") << "EPSG:4123" << any
                                << 21.0;
}

void TestGeo::gridOrigins()
{
    QFETCH(QString, address2);
    QFETCH(QByteArray, comment2);
    QFETCH(QString, datum);
    QFETCH(double, lat);
    QFETCH(double, lon);
    PositionFinder finder(address2);
    const GeoPosition p = finder.place(logger(comment2.constData(), kAbsentGridRef));
    QVERIFY2(p.valid, qPrintable(p.reason));
    PJ_CONTEXT* ctx = proj_context_create();
    const char* const noBallpark[] = {"ALLOW_BALLPARK=NO", nullptr};
    PJ* wgs84 = proj_create(ctx, "EPSG:4326");
    PJ* local = proj_create(ctx, qPrintable(datum));
    PJ* raw = proj_create_crs_to_crs_from_pj(ctx, wgs84, local, nullptr, noBallpark);
    PJ* back = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
    QVERIFY(back);
    const PJ_COORD there = proj_trans(back, PJ_FWD, proj_coord(p.lon, p.lat, 0, 0));
    for (PJ* pj : {back, raw, local, wgs84})
        proj_destroy(pj);
    proj_context_destroy(ctx);
    const double off =
        metresApart(std::isnan(lat) ? there.lp.phi : lat, lon, there.lp.phi, there.lp.lam);
    QVERIFY2(off <= 1.0, qPrintable(QString("%1 m off").arg(off)));
}

void TestGeo::rejected_data()
{
    QTest::addColumn<QString>("address2");
    QTest::addColumn<QByteArray>("comment2");
    QTest::addColumn<QByteArray>("gridRef");
    QTest::addColumn<QString>("reason");
    const QByteArray none(kAbsentGridRef);
    QTest::newRow("free text") << "0" << QByteArray("12 High St") << none << "No grid reference";
    QTest::newRow("valve ID") << "14" << QByteArray("V-1234") << none << "No grid reference";
    QTest::newRow("AA reference") << "0" << QByteArray() << QByteArray("AA 1234 5678")
                                  << "AA is not a British National Grid square";
    QTest::newRow("IN square") << "2" << QByteArray("IN-12345-12345") << none
                               << "IN is not a British National Grid square";
    QTest::newRow("broken reference")
        << "0" << QByteArray() << QByteArray("SE 20x3 3148") << "not two letters and eight digits";
    QTest::newRow("another format") << "3" << QByteArray("SE-20330-31480") << none
                                    << "\"SE-20330-31480\" is not RD (nnnnnn-nnnnnn)";
    QTest::newRow("half typed") << "2" << QByteArray("SE-2033") << none << "is not BNG";
    QTest::newRow("too long") << "3" << QByteArray("155000-4630001") << none << "is not RD";
    QTest::newRow("letter for digit") << "3" << QByteArray("15500O-463000") << none << "is not RD";
    QTest::newRow("empty") << "3" << QByteArray(" ") << none << "No grid reference";
    QTest::newRow("hemisphere") << "1" << QByteArray("E51.12345-N001.12345") << none << "N or S";
    QTest::newRow("latitude") << "1" << QByteArray("N91.00000-W001.00000") << none
                              << "out of range";
    QTest::newRow("GK zone") << "5" << QByteArray("7500000-5600000") << none << "GK zone 7";
    QTest::newRow("KKJ pair") << "4" << QByteArray("6700000-6800000") << none << "Not a KKJ";
    QTest::newRow("KKJ zone") << "4" << QByteArray("6700000-5500000") << none << "KKJ zone 5";
    QTest::newRow("Irish square") << "6" << QByteArray("II-12345-12345") << none
                                  << "II is not an Irish Grid square";
    QTest::newRow("UTM zone") << "12" << QByteArray("61-N-0500000-5000000") << none
                              << "UTM zone 61";
    QTest::newRow("UTM zone 0") << "12" << QByteArray("00-N-0500000-5000000") << none
                                << "UTM zone 0";
    QTest::newRow("UTM letter") << "12" << QByteArray("30-O-0500000-5000000") << none
                                << "neither a hemisphere";
    QTest::newRow("UTM band") << "12" << QByteArray("38-U-0444141-3684706") << none
                              << "not in latitude band U";
    QTest::newRow("UTM S") << "12" << QByteArray("38-S-0444141-3684706") << none
                           << "S could be the southern hemisphere or latitude band S";
    QTest::newRow("MGRS square") << "7" << QByteArray("S38-ZZ-44140-84706") << none
                                 << "Not an MGRS reference";
    QTest::newRow("outside SUI") << "10" << QByteArray("100000-100000") << none
                                 << "outside the area where CH1903 / LV03 is used";
    QTest::newRow("outside NZ") << "8" << QByteArray("E1000000-N1000000") << none
                                << "outside the area";
    QTest::newRow("outside UTM zone")
        << "12" << QByteArray("38-N-1500000-3684706") << none << "outside the area";
    QTest::newRow("T67 datum") << "11" << QByteArray("250000-250000") << none
                               << "knows no datum shift from TWD67";
}

void TestGeo::rejected()
{
    QFETCH(QString, address2);
    QFETCH(QByteArray, comment2);
    QFETCH(QByteArray, gridRef);
    QFETCH(QString, reason);
    PositionFinder finder(address2);
    const GeoPosition p = finder.place(logger(comment2.constData(), gridRef.constData()));
    QVERIFY2(!p.valid, qPrintable(QString("placed at %1 %2").arg(p.lat).arg(p.lon)));
    QVERIFY2(p.reason.contains(reason), qPrintable(p.reason));
    QCOMPARE(int(p.source), int(PositionSource::None));
}

void TestGeo::wholeStore()
{
    RecordStore store;
    store.StoreCount = 3;
    store.Records(1) = logger("", "SE 2224 3381");
    store.Records(2) = logger("", "AA 0000 0000");
    store.Records(3) = logger("TQ-30624-78388", kAbsentGridRef);
    const std::vector<GeoPosition> p = PlaceLoggers(store, QStringLiteral("2"));
    QCOMPARE(p.size(), size_t(3));
    QVERIFY(p[0].valid && p[0].lat > 53.8 && !p[1].valid && p[2].valid && p[2].lat < 51.5);
}

// Without PROJ's database every position has a reason, and nothing breaks.
void TestGeo::missingProjData()
{
    QTemporaryDir empty;
    PositionFinder finder(QStringLiteral("3"), empty.path());
    const GeoPosition p = finder.place(logger("155000-463000", "SE 2224 3381"));
    QVERIFY(!p.valid);
    QVERIFY2(p.reason.contains("PROJ cannot find EPSG:28992"), qPrintable(p.reason));
}

QTEST_GUILESS_MAIN(TestGeo)
#include "tst_geo.moc"
