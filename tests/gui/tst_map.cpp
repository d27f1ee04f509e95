#include "GuiTest.h"

#include "DatabaseWriter.h"
#include "ListWindowFeature.h"
#include "MapCanvas.h"
#include "MapFeature.h"
#include "SampleData.h"
#include "frmMap.h"
#include "frmOptions.h"

#include <QtWidgets>

namespace {

struct Logger
{
    const char* gridRef;
    const char* status; // latest reading; null: none
    MapCanvas::Status shown;
};

// Grid references 10 m apart in one British National Grid square, so every
// dot stands apart once fitted; "AA" references give no position.
const Logger kLoggers[] = {
    {"SE 2033 3148", "L", MapCanvas::Leak},      {"SE 2040 3152", "Warning", MapCanvas::Warning},
    {"SE 2047 3141", "n", MapCanvas::NoLeak},    {"SE 2028 3139", nullptr, MapCanvas::NoReading},
    {"AA 1234 5678", "L", MapCanvas::Leak},      {"SE 2052 3155", " leak", MapCanvas::Leak},
    {"SE 2036 3160", "?", MapCanvas::NoReading},
};
constexpr int kUnplacedRecord = 5;

// The program with a list of kLoggers open and View > Map shown.
struct MapRun
{
    GuiFixture f;
    frmMain* main = f.start();
    frmDMA* list = nullptr;
    frmMap* map = nullptr;
    MapCanvas* canvas = nullptr;
    bool openedOnScreen = false;

    MapRun()
    {
        RecordStore store;
        store.StoreCount = int(std::size(kLoggers));
        for (int i = 1; i <= store.StoreCount; ++i) {
            LoggerRecord rec = MakeSampleRecord(i, kLoggers[i - 1].status ? 2 : 0);
            rec.GridRef = std::string(kLoggers[i - 1].gridRef);
            rec.Serial = 1000000 + i;
            rec.Comment1 = "Valve " + std::to_string(i);
            rec.Comment2 = std::string("Main Street"); // no position: the grid reference gives it
            if (kLoggers[i - 1].status)
                rec.Status[1] = std::string(kLoggers[i - 1].status);
            store.Records(i) = rec;
        }
        const QString path = f.path("placed.csv");
        if (WriteDatabaseFile(store, path) != 0)
            QTest::qFail("cannot write the list", __FILE__, __LINE__);
        list = static_cast<frmDMA*>(OpenDocument(path));
        list->ShowLine(1);
        main->command("mnuViewMap")->trigger();
        map = MapWindow();
        canvas = map->canvas();
        openedOnScreen = map->screen()->availableGeometry().contains(map->geometry());
        map->resize(800, 600);
        if (!QTest::qWaitForWindowExposed(map))
            QTest::qFail("map not shown", __FILE__, __LINE__);
        QCoreApplication::processEvents();
        canvas->fitAll();
    }
    ~MapRun() { ResetMapForTesting(); }

    QPoint dotOf(int record) const
    {
        const std::optional<QPointF> at = canvas->dotOf(record);
        if (!at)
            QTest::qFail("no dot", __FILE__, __LINE__);
        return at ? at->toPoint() : QPoint(-100, -100);
    }
    int currentRecord() const { return list->document().RecordOfLine(list->SelLine); }
};

} // namespace

class TestMap : public QObject
{
    Q_OBJECT

private slots:
    // Each placed logger a dot in the colour of its latest reading, counted in
    // the legend; the one without a position counted apart and listed with its
    // reason, and a click on it goes to its line.
    void dotsLegendAndUnplaced()
    {
        MapRun r;
        QVERIFY(r.openedOnScreen); // the offscreen screen is smaller than the map's own size
        QCOMPARE(int(r.canvas->dots().size()), int(std::size(kLoggers)) - 1);
        int expected[MapCanvas::StatusCount] = {};
        // Clear of the legend in the corner.
        r.canvas->zoomAt(QPointF(r.canvas->width() / 2.0, r.canvas->height() / 2.0), 0.5);
        const QImage drawn = r.canvas->grab().toImage();
        for (int i = 1; i <= int(std::size(kLoggers)); ++i) {
            if (i == kUnplacedRecord)
                continue;
            const MapCanvas::Status s = kLoggers[i - 1].shown;
            ++expected[s];
            const QPoint at = r.dotOf(i) * drawn.devicePixelRatio();
            QCOMPARE(drawn.pixelColor(at), MapCanvas::colour(s));
        }
        for (int s = 0; s < MapCanvas::StatusCount; ++s)
            QCOMPARE(r.canvas->count(MapCanvas::Status(s)), expected[s]);

        QCOMPARE(r.map->unplacedButton()->text(), QString("Without a position: 1"));
        QVERIFY(!r.map->unplacedList()->isVisible());
        r.map->unplacedButton()->click();
        QListWidget* unplaced = r.map->unplacedList();
        QVERIFY(unplaced->isVisible());
        QCOMPARE(unplaced->count(), 1);
        QVERIFY2(unplaced->item(0)->text().startsWith("01000005: AA"),
                 qPrintable(unplaced->item(0)->text()));
        // Its reason wraps within the list beside the map, never off to the side.
        const QFontMetrics fm(unplaced->font());
        QVERIFY(fm.horizontalAdvance(unplaced->item(0)->text()) > unplaced->viewport()->width());
        QCOMPARE(unplaced->horizontalScrollBar()->maximum(), 0);
        QVERIFY(unplaced->visualItemRect(unplaced->item(0)).height() >= 2 * fm.height());
        emit unplaced->itemClicked(unplaced->item(0));
        QCOMPARE(r.currentRecord(), kUnplacedRecord);
    }

    // A click on a dot makes its logger's line current, through a sort that
    // moved the lines and an edit that changed a reading; the tooltip names
    // the logger and its latest reading; the map follows the list in front.
    void clickFollowsSortsAndEdits()
    {
        MapRun r;
        QTest::mouseClick(r.canvas, Qt::LeftButton, {}, r.dotOf(3));
        QCOMPARE(r.currentRecord(), 3);
        const int lineBefore = r.list->SelLine;
        emit r.list->ListViewDMA->header()->sectionClicked(LoggerList::ColGridRef);
        QVERIFY(r.list->document().LineOfRecord(3) != lineBefore);
        QTest::mouseClick(r.canvas, Qt::LeftButton, {}, r.dotOf(2));
        QCOMPARE(r.currentRecord(), 2);
        QTest::mouseClick(r.canvas, Qt::LeftButton, {}, r.dotOf(3));
        QCOMPARE(r.currentRecord(), 3);

        const QString tip = r.canvas->toolTipFor(3);
        QVERIFY2(tip.startsWith("01000003\nValve 3\nLatest reading: "), qPrintable(tip));
        QVERIFY2(tip.contains(" n "), qPrintable(tip));

        LoggerRecord edited = r.list->document().record(3);
        edited.Status[1] = std::string("L");
        r.list->ModifyRecordBySerialNo(edited);
        QTRY_COMPARE(r.canvas->count(MapCanvas::Leak), 3);
        QCOMPARE(r.canvas->count(MapCanvas::NoLeak), 0);

        // Dragging pans and clicks nothing.
        const QPoint from = r.dotOf(1);
        QTest::mousePress(r.canvas, Qt::LeftButton, {}, from);
        QTest::mouseMove(r.canvas, from + QPoint(40, 30));
        QTest::mouseRelease(r.canvas, Qt::LeftButton, {}, from + QPoint(40, 30));
        QCOMPARE(r.dotOf(1), from + QPoint(40, 30));
        QCOMPARE(r.currentRecord(), 3);
        // The wheel zooms about the pointer: the dot under it stays put.
        const QPointF at = *r.canvas->dotOf(2);
        const double before = r.canvas->pixelsPerMetre();
        QWheelEvent wheel(at, r.canvas->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(r.canvas, &wheel);
        QVERIFY(qAbs(r.canvas->pixelsPerMetre() / before - 1.5625) < 1e-9);
        QVERIFY(QLineF(*r.canvas->dotOf(2), at).length() < 1e-6);

        // Another list in front: the map shows its loggers.
        frmDMA* other = static_cast<frmDMA*>(OpenDocument(r.f.sample("north.csv")));
        other->ShowLine(1);
        QCOMPARE(r.canvas->list(), static_cast<ListWindow*>(other));
        QCOMPARE(int(r.canvas->dots().size() + r.canvas->unplaced().size()),
                 other->document().RecordCount());
    }

    // The current line's logger has a ring, no other; a leak is drawn over a quieter logger at the
    // same place; serial labels show only where they keep apart.
    void drawing()
    {
        MapRun r;
        LoggerRecord moved = r.list->document().record(3); // no leak, now at logger 1's place
        moved.GridRef = std::string(kLoggers[0].gridRef);
        r.list->ModifyRecordBySerialNo(moved);
        r.list->ShowLine(r.list->document().LineOfRecord(2));
        QTRY_COMPARE(r.dotOf(3), r.dotOf(1));
        const auto picture = [&] { return r.canvas->grab().toImage(); };
        QImage drawn = picture();
        const QColor ring(0, 90, 255);
        const QPoint ringOffset(9, 0);
        QCOMPARE(drawn.pixelColor(r.dotOf(2) + ringOffset), ring);
        QVERIFY(drawn.pixelColor(r.dotOf(4) + ringOffset) != ring);
        QCOMPARE(drawn.pixelColor(r.dotOf(1)), MapCanvas::colour(MapCanvas::Leak));
        QCOMPARE(int(r.canvas->labelled().size()), int(r.canvas->dots().size()) - 1);
        r.canvas->setView(53.78, -1.68, 0.01); // a town's width: the dots run together
        picture();
        QCOMPARE(int(r.canvas->labelled().size()), 1); // the easternmost, clear of the rest
    }

    // Another grid format chosen in the options places the loggers anew: the
    // logger whose comment 2 holds a latitude and longitude is placed by it.
    void followsTheGridFormat()
    {
        MapRun r;
        LoggerRecord typed = r.list->document().record(kUnplacedRecord);
        typed.Comment2 = std::string("N53.77900-W001.69200");
        r.list->ModifyRecordBySerialNo(typed);
        r.canvas->refreshNow();
        QCOMPARE(int(r.canvas->unplaced().size()), 1); // free text, as the setting says
        r.f.prompts.modal("frmOptions", inWindow([](QDialog& d) {
                              auto& options = static_cast<frmOptions&>(d);
                              options.cboAddress2->setCurrentIndex(1); // Lat/Long
                              options.cmdOK->click();
                          }));
        r.main->command("mnuKorvalindOptions")->trigger();
        QTRY_VERIFY(r.canvas->unplaced().empty());
        QCOMPARE(r.canvas->count(MapCanvas::Leak), 3);
        QCOMPARE(r.map->unplacedButton()->text(), QString("Without a position: 0"));
    }

    // The scale bar against the published length of one degree of longitude
    // on WGS 84 (the ellipsoid's parallel at that latitude), within 1%, at
    // zooms from a street to a town.
    void scaleBar()
    {
        const double rows[][3] = {// latitude, pixels a metre, the metres of a degree there
                                  {0, 2, 111319.491},
                                  {45, 0.05, 78846.835},
                                  {60, 0.01, 55800.002},
                                  {-34, 1, 92384.786}};
        for (const auto& [lat, pixelsPerMetre, degreeMetres] : rows) {
            MapCanvas canvas;
            canvas.resize(800, 600);
            canvas.setView(lat, 10, pixelsPerMetre);
            const double degreePixels =
                canvas.toScreen(lat, 10.5).x() - canvas.toScreen(lat, 9.5).x();
            const MapCanvas::ScaleBar bar = canvas.scaleBar();
            QVERIFY(bar.pixels >= 30 && bar.pixels <= 150);
            const double ratio = (bar.metres / bar.pixels) / (degreeMetres / degreePixels);
            QVERIFY2(qAbs(ratio - 1) < 0.01, qPrintable(QString::number(ratio)));
            // A round length: 1, 2 or 5 times a power of ten.
            const double lead = bar.metres / std::pow(10.0, std::floor(std::log10(bar.metres)));
            QVERIFY2(qFuzzyCompare(lead, 1) || qFuzzyCompare(lead, 2) || qFuzzyCompare(lead, 5),
                     qPrintable(QString::number(bar.metres)));
        }
    }

    // Fit All on a wide, a tall and a square map: every logger inside, none
    // under the legend, and every label whole inside the map and clear of it.
    void fitAllLeavesEverythingReadable()
    {
        MapRun r;
        // A logger at the top left of the others, where the legend is.
        LoggerRecord corner = r.list->document().record(4);
        corner.GridRef = std::string("SE 2028 3160");
        r.list->ModifyRecordBySerialNo(corner);
        r.canvas->refreshNow();
        for (QSize size : {QSize(1000, 300), QSize(320, 800), QSize(600, 600)}) {
            r.map->resize(size);
            QCoreApplication::processEvents();
            r.canvas->fitAll();
            const QFontMetrics fm = r.canvas->fontMetrics();
            const QRect legend = r.canvas->legendBox(fm),
                        inside = r.canvas->rect().adjusted(5, 5, -5, -5);
            for (const MapCanvas::Dot& d : r.canvas->dots())
                QVERIFY(inside.contains(r.dotOf(d.record)) && !legend.contains(r.dotOf(d.record)));
            const auto readable = [&] {
                const std::vector<MapCanvas::Label> labels = r.canvas->labels(fm);
                QVERIFY(!labels.empty());
                for (const MapCanvas::Label& l : labels) {
                    QVERIFY2(QRectF(r.canvas->rect()).contains(l.box), qPrintable(l.text));
                    QVERIFY2(!l.box.intersects(legend), qPrintable(l.text));
                }
            };
            readable();
            if (QTest::currentTestFailed())
                return;
            // Moved to just below the legend, the corner logger's label would reach into it.
            r.canvas->panBy(legend.bottomLeft() + QPoint(20, 3) - r.dotOf(4));
            readable();
        }
    }

    // Layers: one that cannot be read is told with the file's name and the
    // reader's reason, and changes nothing; one that reads is drawn, finer on
    // a finer page, and remembered for the next map window. A page's
    // resolution changes neither the size of texts nor the width of lines; a
    // picture saved is the window's size (the write fault test sees PNG and
    // PDF written whole).
    void layersSavedAndPrinted()
    {
        MapRun r;
        const QString damaged = r.f.file("mains.gpkg", QByteArray("SQLite format 3\0junk", 20));
        r.f.prompts.openFile(damaged);
        r.f.prompts.message(Box::Plain + MsgButtons::Exclamation, MsgAnswer::OK,
                            "cannot be shown as a map layer:\n" + damaged);
        QAction* add = r.map->findChild<QAction*>("cmdAddLayer");
        add->trigger();
        QVERIFY2(r.f.prompts.shown.last().contains("GDAL"), qPrintable(r.f.prompts.shown.last()));
        QCOMPARE(r.map->layerCount(), 0);
        QCOMPARE(SettingsStore::text(Setting::MapLayers), QString());

        const QString path = r.f.file("mains.geojson", R"({"type": "FeatureCollection",
            "features": [{"type": "Feature", "properties": {}, "geometry": {"type":
            "LineString", "coordinates": [[-1.70, 53.77], [-1.68, 53.79]]}}]})");
        r.f.prompts.openFile(path);
        add->trigger();
        QVERIFY(r.f.prompts.done());
        QCOMPARE(r.map->layerCount(), 1);
        QCOMPARE(SettingsStore::text(Setting::MapLayers), path);

        QImage screen(r.canvas->size() * 2, QImage::Format_RGB32);
        QImage page = screen;
        page.setDotsPerMeterX(47244); // 1200 dpi, a PDF's
        page.setDotsPerMeterY(47244);
        for (QImage* image : {&screen, &page}) {
            image->fill(Qt::white);
            r.map->renderTo(*image);
        }
        QVERIFY(page == screen);
        const auto linePixels = [](const QImage& image) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += image.pixelColor(x, y) == QColor(60, 90, 170);
            return n;
        };
        const int onScreen = linePixels(r.canvas->grab().toImage());
        page = QImage(r.canvas->size() * 3, QImage::Format_RGB32);
        page.fill(Qt::white);
        r.map->renderTo(page);
        QVERIFY(onScreen > 100);
        QVERIFY2(linePixels(page) > 6 * onScreen, qPrintable(QString::number(linePixels(page))));
        r.f.prompts.saveFile(r.f.path("map.png"), "map.png");
        r.map->findChild<QAction*>("cmdSave")->trigger();
        QCOMPARE(QImage(r.f.path("map.png")).size(),
                 r.canvas->size() * r.canvas->devicePixelRatio());

        ResetMapForTesting();
        r.main->command("mnuViewMap")->trigger();
        QCOMPARE(MapWindow()->layerCount(), 1);
        // A remembered layer gone since is told once and forgotten.
        QFile::remove(path);
        ResetMapForTesting();
        r.f.prompts.message(Box::Plain + MsgButtons::Exclamation, MsgAnswer::OK,
                            "remembered from last time");
        r.main->command("mnuViewMap")->trigger();
        QCOMPARE(MapWindow()->layerCount(), 0);
        QCOMPARE(SettingsStore::text(Setting::MapLayers), QString());
    }
};

QTEST_MAIN(TestMap)
#include "tst_map.moc"
