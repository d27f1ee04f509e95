// Times placing every logger of a full-size DMA file (6,999 loggers, each with
// a British National Grid position in comment 2 and a grid reference) against
// reading that file, in the same run, and prints the ratio. Each figure is the
// best of several interleaved rounds; a finder is made afresh in every round,
// as a window that shows the positions would. The first round, which also has
// PROJ make its transformation once for the program, is printed beside it.

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "PositionFinder.h"
#include "SampleData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <limits>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir dir;
    const QString file = dir.filePath("placed.csv");
    RecordStore store;
    store.StoreCount = RecordStore::kMaxRecords;
    for (int i = 1; i <= store.StoreCount; ++i) {
        LoggerRecord rec = MakeSampleRecord(i, 50);
        // "SE 2033 3148" gives "SE-20335-31487": the square and its metres.
        const std::string g(rec.GridRef.view());
        rec.Comment2 = g.substr(0, 2) + "-" + g.substr(3, 4) + char('0' + i % 10) + "-" +
                       g.substr(8, 4) + char('0' + i * 7 % 10);
        store.Records(i) = rec;
    }
    if (WriteDatabaseFile(store, file) != 0)
        return 1;

    struct Measure
    {
        const char* name;
        std::function<void()> run;
        double best = std::numeric_limits<double>::max();
        double first = 0; // the first round makes PROJ's transformation too
    };
    int placed = 0;
    auto place = [&](const char* address2) {
        placed = 0;
        for (const GeoPosition& p : PlaceLoggers(store, QString::fromLatin1(address2)))
            placed += p.valid ? 1 : 0;
    };
    Measure measures[] = {
        {"ReadDatabaseFile (read + validate)",
         [&] {
             if (ReadDatabaseFile(store, file) != 0 || store.StoreCount != RecordStore::kMaxRecords)
                 std::abort();
         }},
        {"positions from comment 2 (BNG)", [&] { place("2"); }},
        {"positions from grid references", [&] { place("0"); }},
    };
    for (int r = 0; r < rounds; ++r) {
        for (Measure& m : measures) {
            QElapsedTimer t;
            t.start();
            m.run();
            m.best = std::min(m.best, t.nsecsElapsed() / 1e6);
            if (r == 0)
                m.first = t.nsecsElapsed() / 1e6;
            if (&m != &measures[0] && placed != store.StoreCount) {
                std::printf("%s: only %d of %d placed\n", m.name, placed, store.StoreCount);
                return 1;
            }
        }
    }
    std::printf("file: %d loggers x 50 readings, each with a position\n", store.StoreCount);
    for (const Measure& m : measures)
        std::printf("  %-40s %8.2f ms  (first time %.2f ms)\n", m.name, m.best, m.first);
    bool ok = true;
    for (int i = 1; i <= 2; ++i) {
        const double ratio = measures[i].best / measures[0].best;
        ok = ok && ratio <= 2;
        std::printf("%-32s / read: %.2fx (target <= 2x) %s\n", measures[i].name, ratio,
                    ratio <= 2 ? "ok" : "MISSED");
    }
    return ok ? 0 : 1;
}
