// Times the list window on a full-size DMA file (6,999 loggers with 50
// readings each), offscreen, against the core read of the same file in the
// same run: opening it until the window is shown, sorting a column, Refresh
// List, and the memory one open window holds; one repaint of the print
// preview of the file's logger report with history, wherever it is scrolled;
// and the map of the file: opening it, and one repaint over a large layer. Each figure is the
// best of several rounds, the rounds interleaved so that a busy machine slows all of them alike.
// One line per figure ends in "ok" or "MISSED" against its target.

#include "AppState.h"
#include "DatabaseReader.h"
#include "EditingFeature.h"
#include "ListWindowFeature.h"
#include "MapCanvas.h"
#include "MapFeature.h"
#include "Prompts.h"
#include "RecordEditor.h"
#include "Report.h"
#include "ReportDrawing.h"
#include "SampleData.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "frmDMA.h"
#include "frmMain.h"
#include "frmMap.h"
#include "frmPrintPreview.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

// The bench asks nothing of a user; a prompt means something went wrong.
class NoPrompts : public Prompts::Handler
{
public:
    int message(const QString& prompt, int, const QString&) override { return fail(prompt); }
    QString openFileName(const QString& t, const QString&, const QString&) override
    {
        fail(t);
        return {};
    }
    QString saveFileName(const QString& t, const QString&, const QString&, const QString&) override
    {
        fail(t);
        return {};
    }
    QString inputBox(const QString& p, const QString&, const QString&) override
    {
        fail(p);
        return {};
    }
    QString folderName(const QString& t, const QString&) override
    {
        fail(t);
        return {};
    }
    std::optional<QFont> font(const QFont&) override
    {
        fail(QStringLiteral("a font dialog"));
        return {};
    }
    int showModal(QDialog&) override { return fail(QStringLiteral("a modal window")); }

private:
    static int fail(const QString& what)
    {
        std::fprintf(stderr, "unexpected prompt: %s\n", qPrintable(what));
        std::exit(1);
    }
};

// Resident memory in bytes, where the system tells it.
long long residentBytes()
{
#ifdef Q_OS_LINUX
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = statm.readAll().split(' ');
        if (fields.size() > 1)
            return fields[1].toLongLong() * 4096;
    }
#endif
    return -1;
}

double ms(QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

frmDMA* frontList(frmMain* main)
{
    QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
    return sub ? qobject_cast<frmDMA*>(sub->widget()) : nullptr;
}

void closeAll(frmMain* main)
{
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
        sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Opens the file and lets the window be laid out and painted.
frmDMA* openShown(frmMain* main, const QString& path)
{
    OpenDocument(path);
    QCoreApplication::processEvents();
    return frontList(main);
}

// A background layer of 100 mains of 1,000 vertices each, wandering over
// the north of England where the sample loggers lie.
bool writeMainsLayer(const QString& path)
{
    QByteArray json = "{\"type\": \"FeatureCollection\", \"features\": [";
    quint32 seed = 12345;
    const auto step = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (int(seed >> 16) % 2001 - 1000) / 1e6;
    };
    for (int line = 0; line < 100; ++line) {
        double lon = -2.5 + line * 0.02, lat = 53.0 + (line % 10) * 0.1;
        json += line ? ",\n" : "\n";
        json += "{\"type\": \"Feature\", \"properties\": {}, \"geometry\": "
                "{\"type\": \"LineString\", \"coordinates\": [";
        for (int v = 0; v < 1000; ++v) {
            lon += step();
            lat += step();
            json += (v ? ",[" : "[") + QByteArray::number(lon, 'f', 6) + ',' +
                    QByteArray::number(lat, 'f', 6) + ']';
        }
        json += "]}}";
    }
    json += "]}\n";
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(json) == json.size();
}

void report(const char* what, double value, const char* unit, double baseline, double limit,
            const char* target)
{
    const bool ok = value <= limit;
    std::printf("%-44s %8.1f %-3s  %5.2fx core read   target %-14s %s\n", what, value, unit,
                baseline > 0 ? value / baseline : 0.0, target, ok ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;

    QTemporaryDir dir;
    SettingsStore::useFileForTesting(dir.filePath(QStringLiteral("settings.ini")));
    NoPrompts prompts;
    Prompts::SetHandler(&prompts);
    const QString big = dir.filePath(QStringLiteral("big.csv"));
    const QString small = dir.filePath(QStringLiteral("small.csv"));
    if (WriteSampleDatabase(big, RecordStore::kMaxRecords, 50) != 0 ||
        WriteSampleDatabase(small, 20, 50) != 0)
        return 1;
    std::printf("file: %d loggers x 50 readings, %.1f MB\n", RecordStore::kMaxRecords,
                QFile(big).size() / 1e6);

    RegisterListWindowCommands();
    RegisterEditingCommands();
    RegisterMapCommands();
    auto* main = new frmMain;
    LoadSettings(main);
    App::SetEditor(CreateRecordEditor(main));
    main->resize(1200, 800);
    main->show();
    QCoreApplication::processEvents();

    // The core read as the program does it, without a status bar to feed.
    auto coreRead = [&] {
        SetStatusSink(nullptr);
        QElapsedTimer t;
        t.start();
        const int result = ReadDatabaseFile(big);
        const double elapsed = ms(t);
        main->connectStatusBar();
        if (result != 0)
            std::exit(1);
        return elapsed;
    };

    // Memory first, before any round has had the window's memory to reuse:
    // the store is already full, and a small file has woken the widgets.
    const long long beforeStore = residentBytes();
    coreRead();
    const long long storeBytes = residentBytes() - beforeStore;
    openShown(main, small);
    closeAll(main);
    const long long beforeWindow = residentBytes();
    openShown(main, big);
    const long long windowBytes = residentBytes() - beforeWindow;
    closeAll(main);

    double read = std::numeric_limits<double>::max(), open = read, sort = read, refresh = read;
    for (int r = 0; r < rounds; ++r) {
        read = std::min(read, coreRead());

        QElapsedTimer t;
        t.start();
        frmDMA* list = openShown(main, big);
        open = std::min(open, ms(t));
        if (!list || list->RecordCount() != RecordStore::kMaxRecords)
            return 1;

        // The slowest of the kinds of column: digits, dates, free text, readings.
        double slowest = 0;
        for (int column : {LoggerList::ColSerial, LoggerList::ColDate, LoggerList::ColComment1,
                           LoggerList::ColLevel}) {
            t.start();
            emit list->ListViewDMA->header()->sectionClicked(column);
            QCoreApplication::processEvents();
            slowest = std::max(slowest, ms(t));
        }
        sort = std::min(sort, slowest);

        t.start();
        main->command(QStringLiteral("mnuViewRefreshList"))->trigger();
        QCoreApplication::processEvents();
        refresh = std::min(refresh, ms(t));
        closeAll(main);
    }

    // The preview of the logger report with history: its slowest repaint at
    // the top, in the middle and at the end, best of the rounds.
    double repaint = std::numeric_limits<double>::max();
    int reportLines = 0;
    {
        frmDMA* list = openShown(main, big);
        ReportOptions o;
        o.history = true;
        o.today = QDate::currentDate();
        o.linesPerPage = 80;
        const Report report = BuildReport(list->document(), o);
        reportLines = report.lineCount();
        int zoom = 100;
        frmPrintPreview preview(report, ReportFont(), zoom, o.linesPerPage, main);
        preview.show();
        QCoreApplication::processEvents();
        const double strip = preview.ViewPort->stripHeight();
        for (int r = 0; r < rounds; ++r) {
            double slowest = 0;
            for (double at : {0.0, 0.25, 0.5, 0.999}) {
                preview.ViewPort->setTopOffset(-at * strip);
                QCoreApplication::processEvents();
                QElapsedTimer t;
                t.start();
                preview.PrintImage->repaint();
                slowest = std::max(slowest, ms(t));
            }
            repaint = std::min(repaint, slowest);
        }
        preview.close();
        closeAll(main);
    }

    // The map of the file: View > Map until painted, and its slowest repaint
    // over a 100,000-vertex layer at four zooms from the whole file to a street
    // (the outlines are worked out again for each zoom, within the repaint).
    double mapOpen = std::numeric_limits<double>::max(), mapRepaint = mapOpen;
    {
        const QString mains = dir.filePath(QStringLiteral("mains.geojson"));
        frmDMA* list = openShown(main, big);
        list->ShowLine(1);
        if (!writeMainsLayer(mains))
            return 1;
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer t;
            t.start();
            main->command(QStringLiteral("mnuViewMap"))->trigger();
            MapWindow()->canvas()->repaint();
            mapOpen = std::min(mapOpen, ms(t));
            if (MapWindow()->canvas()->dots().size() != size_t(RecordStore::kMaxRecords))
                return 1;
            ResetMapForTesting();
        }
        main->command(QStringLiteral("mnuViewMap"))->trigger();
        frmMap* map = MapWindow();
        map->resize(1200, 800);
        QCoreApplication::processEvents();
        if (!map->addLayer(mains))
            return 1;
        MapCanvas* canvas = map->canvas();
        const QPointF centre(canvas->width() / 2.0, canvas->height() / 2.0);
        for (int r = 0; r < rounds; ++r) {
            double slowest = 0;
            canvas->fitAll();
            for (double zoom : {1.0, 8.0, 8.0, 8.0}) {
                canvas->zoomAt(centre, zoom);
                QElapsedTimer t;
                t.start();
                canvas->repaint();
                slowest = std::max(slowest, ms(t));
            }
            mapRepaint = std::min(mapRepaint, slowest);
        }
        ResetMapForTesting();
        closeAll(main);
    }

    std::printf("%-44s %8.1f ms\n", "core read of the file (baseline)", read);
    report("open until the window is shown", open, "ms", read, 3 * read, "<= 3x");
    report("sort a column (slowest of four)", sort, "ms", read, 30, "<= 30 ms");
    report("Refresh List", refresh, "ms", read, 10, "<= 10 ms");
    std::printf("%-44s %8.1f ms   (%d lines)              target %-14s %s\n",
                "preview repaint of the report with history", repaint, reportLines, "<= 50 ms",
                repaint <= 50 ? "ok" : "MISSED");
    report("map: View > Map until painted", mapOpen, "ms", read, 100, "<= 100 ms");
    report("map: repaint over 100,000 vertices", mapRepaint, "ms", read, 16, "<= 16 ms");
    if (windowBytes >= 0) {
        const double mib = windowBytes / 1048576.0;
        std::printf("%-44s %8.1f MiB  (the store holds %.1f MiB)   target %-14s %s\n",
                    "memory of one open window", mib, storeBytes / 1048576.0, "<= 25 MiB",
                    mib <= 25 ? "ok" : "MISSED");
    } else {
        std::printf("memory of one open window: not measured on this system\n");
    }
    delete main;
    return 0;
}
