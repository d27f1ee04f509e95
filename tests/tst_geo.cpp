#include "PositionFinder.h"
#include "RecordStore.h"

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

GeoPosition place(const char* address2, const char* comment2, const char* gridRef)
{
    return PositionFinder(QString(address2)).place(logger(comment2, gridRef));
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
    // Published positions, each with the figures its agency gives; the allowance
    // is the format's resolution plus the accuracy PROJ gives for the datum shift.
    void controlPoints()
    {
        const char* const none = kAbsentGridRef;
        const struct
        {
            const char *name, *address2, *comment2, *gridRef;
            double lat, lon, metres;
        } rows[] = {
            // OSTN15 developer pack TP09: E 530624.974 N 178388.464 (ETRS89).
            {"BNG", "2", "TQ-30624-78388", none, 51.48936564950, -0.11992557180, 4},
            // The same pack's TP20 (E 422242.186 N 433818.701) as a 10 m grid reference.
            {"grid reference", "0", "hydrant", "SE 2224 3381", 53.8002151963, -1.66379168242, 10},
            {"unreadable comment 2", "3", "meter pit", "se 2224 3381", 53.8002151963,
             -1.66379168242, 10},
            // Kadaster, RD/WGS84 approximation formulas: Amersfoort, x 155000 y 463000.
            {"RD", "3", "155000-463000", "", 52.15517440, 5.38720621, 2},
            // swisstopo's approximate formulas, worked example: y 700000 x 100000.
            {"SUI", "10", " 700000-100000 ", "", 46 + 2 / 60.0 + 38.87 / 3600,
             8 + 43 / 60.0 + 49.79 / 3600, 2.5},
            // LINZ's NZTM2000 conversion program (nztm.c): its test point.
            {"NZ", "8", "E1576041-N6188574", "", -34.444064, 172.739194, 1},
            // Singapore Land Authority, SVY21: the false origin E 28001.642 N 38744.572.
            {"SG", "9", "O0028002-N0038745", "", 1 + 22 / 60.0, 103 + 50 / 60.0, 2},
            // Not a control point: Helsinki in the uniform grid (zone 3), beyond its strip.
            {"KKJ uniform", "4", "6673000-3386000", "", 60.17, 24.95, 3000},
            // GeographicLib's GeoConvert manual: 33.3 N 44.4 E in UTM and MGRS.
            {"UTM", "12", "38-N-0444141-3684706", "", 33.3, 44.4, 1},
            {"MGRS", "7", "S38-MB-44140-84706", "", 33.3, 44.4, 1.5},
            {"Lat/Long", "1", "S33.86880-E151.20930", "", -33.8688, 151.2093, 0.01},
        };
        for (const auto& c : rows) {
            const GeoPosition p = place(c.address2, c.comment2, c.gridRef);
            QVERIFY2(p.valid, qPrintable(c.name + (": " + p.reason)));
            const double off = metresApart(c.lat, c.lon, p.lat, p.lon);
            QVERIFY2(off <= c.metres, qPrintable(QString("%1: %2 m off").arg(c.name).arg(off)));
            const bool fromGrid = *c.gridRef && c.gridRef != none;
            QVERIFY2(p.source == (fromGrid ? PositionSource::GridRef : PositionSource::Comment2),
                     c.name);
        }
    }

    // Where no agency example was at hand, the grid's own definition: the point
    // its projection is defined about, given in the grid's datum. The finder's
    // answer is taken back into that datum with PROJ, so this checks the system,
    // zone and order of the figures, not the datum shift (which is PROJ's).
    void gridOrigins()
    {
        const double any = std::nan(""); // the point's latitude is not given
        const struct
        {
            const char *name, *address2, *comment2, *datum;
            double lat, lon;
        } rows[] = {
            // Ordnance Survey Ireland / OSNI: the Irish Grid's true origin, 53 30 N
            // 8 W on the 1975 mapping datum, is E 200000 N 250000 (reference N 000 500).
            {"Irish Grid", "6", "IN-00000-50000", "EPSG:4300", 53.5, -8.0},
            // Qatar National Grid: origin 24 27 N 51 13 E (Qatar 1974) at E 200000 N 300000.
            {"QNG", "13", "200000-300000", "EPSG:4285", 24 + 27 / 60.0, 51 + 13 / 60.0},
            // Gauss-Kruger: a Rechtswert of z500000 lies on zone z's meridian, 3z degrees E.
            {"GK zone 3", "5", "3500000-5500000", "EPSG:4314", any, 9.0},
            {"GK zone 4", "5", "4500000-5650000", "EPSG:4314", any, 12.0},
            // KKJ: zone z's meridian is 18 + 3z degrees E; zone 3 (27 E) is the uniform grid.
            {"KKJ zone 1", "4", "1500000-6700000", "EPSG:4123", any, 21.0},
        };
        PJ_CONTEXT* ctx = proj_context_create();
        PJ* wgs84 = proj_create(ctx, "EPSG:4326");
        for (const auto& c : rows) {
            const GeoPosition p = place(c.address2, c.comment2, kAbsentGridRef);
            QVERIFY2(p.valid, qPrintable(c.name + (": " + p.reason)));
            const char* const noBallpark[] = {"ALLOW_BALLPARK=NO", nullptr};
            PJ* local = proj_create(ctx, c.datum);
            PJ* raw = proj_create_crs_to_crs_from_pj(ctx, wgs84, local, nullptr, noBallpark);
            PJ* back = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
            QVERIFY(back);
            const PJ_COORD there = proj_trans(back, PJ_FWD, proj_coord(p.lon, p.lat, 0, 0));
            for (PJ* pj : {back, raw, local})
                proj_destroy(pj);
            const double off = metresApart(std::isnan(c.lat) ? there.lp.phi : c.lat, c.lon,
                                           there.lp.phi, there.lp.lam);
            QVERIFY2(off <= 1.0, qPrintable(QString("%1: %2 m off").arg(c.name).arg(off)));
        }
        proj_destroy(wgs84);
        proj_context_destroy(ctx);
    }

    // What is refused, with the reason the user reads.
    void rejected()
    {
        const char* const none = kAbsentGridRef;
        const char* const rows[][4] = {
            // the grid format, comment 2, the grid reference, the reason
            {"0", "12 High St", none, "No grid reference"},
            {"14", "V-1234", none, "No grid reference"},
            {"0", "", "AA 1234 5678", "AA is not a British National Grid square"},
            {"2", "IN-12345-12345", none, "IN is not a British National Grid square"},
            {"0", "", "SE 20x3 3148", "not two letters and eight digits"},
            {"3", "SE-20330-31480", none, "\"SE-20330-31480\" is not RD (nnnnnn-nnnnnn)"},
            {"2", "SE-2033", none, "is not BNG"},
            {"3", "155000-4630001", none, "is not RD"},
            {"3", "15500O-463000", none, "is not RD"},
            {"3", " ", none, "No grid reference"},
            {"1", "E51.12345-N001.12345", none, "N or S"},
            {"1", "N91.00000-W001.00000", none, "out of range"},
            {"5", "7500000-5600000", none, "GK zone 7"},
            {"4", "6700000-6800000", none, "Not a KKJ"},
            {"4", "6700000-5500000", none, "KKJ zone 5"},
            {"6", "II-12345-12345", none, "II is not an Irish Grid square"},
            {"12", "61-N-0500000-5000000", none, "UTM zone 61"},
            {"12", "00-N-0500000-5000000", none, "UTM zone 0"},
            {"12", "30-O-0500000-5000000", none, "neither a hemisphere"},
            {"12", "38-U-0444141-3684706", none, "not in latitude band U"},
            {"12", "38-S-0444141-3684706", none,
             "S could be the southern hemisphere or latitude band S"},
            {"7", "S38-ZZ-44140-84706", none, "Not an MGRS reference"},
            {"10", "100000-100000", none, "outside the area where CH1903 / LV03 is used"},
            {"10", "600000-900000", none, "outside the area where CH1903"}, // north only
            {"12", "38-N-1500000-3684706", none, "outside the area"},
            {"11", "250000-250000", none, "knows no datum shift from TWD67"},
        };
        for (const auto& [address2, comment2, gridRef, reason] : rows) {
            const GeoPosition p = place(address2, comment2, gridRef);
            QVERIFY2(!p.valid && p.source == PositionSource::None,
                     qPrintable(QString(comment2) + gridRef));
            QVERIFY2(p.reason.contains(reason), qPrintable(p.reason));
        }
    }

    void wholeStore()
    {
        RecordStore store;
        store.StoreCount = 2;
        store.Records(2) = logger("TQ-30624-78388", kAbsentGridRef);
        const std::vector<GeoPosition> p = PlaceLoggers(store, QStringLiteral("2"));
        QVERIFY(p.size() == 2 && !p[0].valid && p[1].valid);
    }

    // Without PROJ's database every position has a reason, and nothing breaks.
    void missingProjData()
    {
        QTemporaryDir empty;
        PositionFinder finder(QStringLiteral("3"), empty.path());
        const GeoPosition p = finder.place(logger("155000-463000", "SE 2224 3381"));
        QVERIFY(!p.valid);
        QVERIFY2(p.reason.contains("PROJ cannot find EPSG:28992"), qPrintable(p.reason));
    }
};

QTEST_GUILESS_MAIN(TestGeo)
#include "tst_geo.moc"
