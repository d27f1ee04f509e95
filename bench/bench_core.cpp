// Times reading, checking and writing a full-size DMA file (6,999 loggers with
// 50 readings each) against raw baselines over the same bytes, in the same
// run, and prints the ratios. Every figure is the best of several rounds, the
// rounds interleaved so that a busy machine slows all of them alike.

#include "Baselines.h"
#include "CatalogueSearch.h"
#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "LoggerList.h"
#include "PatrolMerge.h"
#include "Report.h"
#include "SampleData.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

namespace {

volatile size_t g_sink; // keeps the work measured from being optimised away

struct Measure
{
    const char* name;
    std::function<void()> run;
    std::function<void()> prepare = [] {}; // before each round, not timed
    double best = std::numeric_limits<double>::max();
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir dir;
    const QString file = dir.filePath("big.csv");
    const QString out = dir.filePath("out.csv");
    const QString rawOut = dir.filePath("raw.csv");
    if (WriteSampleDatabase(file, RecordStore::kMaxRecords, 50) != 0)
        return 1;
    QFile in(file);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    std::printf("file: %d loggers x 50 readings, %.1f MB\n", RecordStore::kMaxRecords,
                bytes.size() / 1e6);

    RecordStore store;
    // A patrol of every logger with a newer reading than the database has.
    const QString merged = dir.filePath("big-merged.csv");
    RecordStore patrolStore;
    if (ReadDatabaseFile(patrolStore, file) != 0)
        return 1;
    for (int i = 1; i <= patrolStore.StoreCount; ++i) {
        patrolStore.Records(i).Date[1] = "2030/01/01";
        patrolStore.Records(i).Level[1] = 77;
    }
    LoggerList patrol;
    patrol.CopyFrom(patrolStore);
    patrol.DMAName = QStringLiteral("big-merged.csv");
    patrol.Caption = QStringLiteral("/patrols/big-merged.csv");
    const LoadDatabase load = [&store](const QString& p) {
        return ReadDatabaseFile(store, p) == 0;
    };
    auto restore = [&] {
        QFile::remove(merged);
        QFile::remove(merged + ".000");
        if (!QFile::copy(file, merged))
            std::abort();
    };
    // The list window of the file: its records in file order.
    RecordStore listStore;
    if (ReadDatabaseFile(listStore, file) != 0)
        return 1;
    LoggerList list;
    list.CopyFrom(listStore);
    list.DMAName = QStringLiteral("big.csv");
    ReportOptions withHistory;
    withHistory.history = true;
    withHistory.leak = withHistory.warning = withHistory.notInLeak = true;
    withHistory.all = false;
    withHistory.today = QDate(2026, 3, 7);
    withHistory.linesPerPage = 80;
    size_t reportLines = 0;
    const QString reportOut = dir.filePath("report.txt");

    Measure measures[] = {
        {"split baseline (memchr lines+fields)", [&] { Baselines::splitBaseline(file); }},
        {"ReadDatabaseFile (read + validate)",
         [&] {
             if (ReadDatabaseFile(store, file) != 0 || store.StoreCount != RecordStore::kMaxRecords)
                 std::abort();
         }},
        {"FindDuplicateSerials", [&] { g_sink = size_t(FindDuplicateSerials(store).size()); }},
        {"write baseline (one buffered write)",
         [&] {
             QSaveFile f(rawOut);
             if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
                 std::abort();
         }},
        {"WriteDatabase to memory (formatting only)",
         [&] {
             QByteArray mem;
             mem.reserve(bytes.size());
             QBuffer b(&mem);
             b.open(QIODevice::WriteOnly);
             if (!WriteDatabase(store, b))
                 std::abort();
         }},
        {"WriteDatabaseFile",
         [&] {
             if (WriteDatabaseFile(store, out) != 0)
                 std::abort();
         }},
        {"read + write the database once",
         [&] {
             if (ReadDatabaseFile(store, merged) != 0 || WriteDatabaseFile(store, merged) != 0)
                 std::abort();
         },
         restore},
        {"merge a patrol of all 6,999 (all changed)",
         [&] {
             if (MergeLatestPatrol(patrol, merged, load, store).kind != MergeOutcome::Merged)
                 std::abort();
         },
         restore},
        {"logger report with history (pages built)",
         [&] {
             const Report r = BuildReport(list, withHistory);
             reportLines = size_t(r.lineCount());
         }},
        {"the same report as text in a file",
         [&] {
             const std::string text = BuildReport(list, withHistory).plainText();
             QSaveFile f(reportOut);
             if (!f.open(QIODevice::WriteOnly) ||
                 f.write(text.data(), qint64(text.size())) != qint64(text.size()) || !f.commit())
                 std::abort();
         }},
    };
    ReadDatabaseFile(store, file); // warm the page cache and the store
    for (int r = 0; r < rounds; ++r) {
        for (Measure& m : measures) {
            m.prepare();
            QElapsedTimer t;
            t.start();
            m.run();
            m.best = std::min(m.best, t.nsecsElapsed() / 1e6);
        }
    }
    for (const Measure& m : measures)
        std::printf("  %-40s %8.2f ms\n", m.name, m.best);

    QFile written(out);
    written.open(QIODevice::ReadOnly);
    const bool identical = written.readAll() == bytes;
    const double readRatio = measures[1].best / measures[0].best;
    const double dupShare = measures[2].best / measures[1].best;
    const double writeRatio = measures[5].best / measures[3].best;
    auto verdict = [](bool ok) { return ok ? "ok" : "OVER TARGET"; };
    std::printf("read + validate / split baseline: %.2fx (target <= 3x) %s\n", readRatio,
                verdict(readRatio <= 3));
    std::printf("write / one buffered write:       %.2fx (target <= 3x) %s\n", writeRatio,
                verdict(writeRatio <= 3));
    std::printf("duplicate check / read:           %.1f%% (target <= 5%%) %s\n", dupShare * 100,
                verdict(dupShare <= 0.05));
    const double mergeRatio = measures[7].best / measures[6].best;
    std::printf("merge / read + write once:        %.2fx (target <= 3x) %s\n", mergeRatio,
                verdict(mergeRatio <= 3));
    const double reportRatio = measures[8].best / measures[5].best;
    std::printf("report with history / write:      %.2fx (target <= 2x) %s   (%zu lines)\n",
                reportRatio, verdict(reportRatio <= 2), reportLines);

    // The command-line tool, start to finish: a process of its own each time.
    double toolBest = std::numeric_limits<double>::max();
    for (int r = 0; r < std::min(rounds, 3); ++r) {
        QProcess tool;
        QElapsedTimer t;
        t.start();
        tool.start(QStringLiteral(QUORVANE_TOOL),
                   {QStringLiteral("report"), QStringLiteral("--history"), file, reportOut});
        if (!tool.waitForFinished(120000) || tool.exitCode() != 0) {
            std::printf("quorvane-tool report failed\n");
            return 1;
        }
        toolBest = std::min(toolBest, t.nsecsElapsed() / 1e6);
    }
    std::printf("quorvane-tool report --history to text: %.0f ms (target <= 2000 ms) %s\n",
                toolBest, verdict(toolBest <= 2000));

    // The catalogue search: 200 files of 1,000 loggers for 10 serials, against
    // reading the same files one after another.
    const QString hub = dir.filePath("hub");
    QDir().mkpath(hub);
    for (int i = 0; i < 200; ++i)
        if (WriteSampleDatabase(QStringLiteral("%1/dma%2.csv").arg(hub).arg(i, 3, 10, QChar('0')),
                                1000, 50, 1 + 1000 * (i % 7)) != 0)
            return 1;
    const QStringList hubFiles = CatalogueFiles(hub, false);
    QVector<qint32> wanted;
    for (int k = 0; k < 10; ++k)
        wanted << listStore.Records(1 + 700 * k).Serial;
    double readAll = std::numeric_limits<double>::max(), search = readAll;
    int foundFiles = 0;
    RecordStore hubStore;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        for (const QString& f : hubFiles)
            if (ReadDatabaseFile(hubStore, f) != 0)
                std::abort();
        readAll = std::min(readAll, t.nsecsElapsed() / 1e6);
        foundFiles = 0;
        t.start();
        CatalogueSearchSteps steps;
        steps.after = [&foundFiles](const CatalogueFileResult& res) {
            foundFiles += res.found ? 1 : 0;
            return true;
        };
        SearchCatalogue(hubFiles, wanted, steps);
        search = std::min(search, t.nsecsElapsed() / 1e6);
    }
    const double searchRatio = search / readAll;
    std::printf("  %-40s %8.2f ms\n", "read 200 files of 1,000 loggers", readAll);
    std::printf("  %-40s %8.2f ms  (%d files hold one, %.0f files/s)\n",
                "catalogue search of them, 10 serials", search, foundFiles,
                hubFiles.size() / (search / 1000));
    std::printf("catalogue search / reading:       %.2fx (target <= 1.2x) %s\n", searchRatio,
                verdict(searchRatio <= 1.2));
    std::printf("written file identical to the file read: %s\n", identical ? "yes" : "NO");
    return identical ? 0 : 1;
}
