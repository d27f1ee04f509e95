#include "GuiTest.h"

#include "BusyCursor.h"
#include "Documents.h"
#include "frmDMA.h"
#include "frmDMAEdit.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QToolBar>
#include <QTreeView>

namespace {
QStringList column(frmDMA* list, int c)
{
    QStringList out;
    for (int line = 1; line <= list->document().LineCount(); ++line)
        out << list->document().LineText(line, c);
    return out;
}

void clickHeader(frmDMA* list, int c)
{
    QHeaderView* h = list->ListViewDMA->header();
    const QPoint middle(h->sectionViewportPosition(c) + h->sectionSize(c) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, middle);
}

void clickLine(frmDMA* list, int line)
{
    QTreeView* tree = list->ListViewDMA;
    const QRect r = tree->visualRect(tree->model()->index(line - 1, 0));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
}

// Opens the north and south samples; the second is bound to the editor.
std::pair<frmDMA*, frmDMA*> openTwo(GuiFixture& f)
{
    OpenDocument(f.sample("north.csv"));
    frmDMA* a = ActiveListWindow();
    OpenDocument(f.sample("south.csv"));
    return {a, ActiveListWindow()};
}

double widthOf(frmDMA* list, int c)
{
    return list->columnWidth(c);
}
} // namespace

class TestListWindow : public QObject
{
    Q_OBJECT
private slots:
    // The view follows every change of the document.
    void viewFollowsTheDocument()
    {
        GuiFixture f;
        f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        QAbstractItemModelTester tester(list->ListViewDMA->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        list->MakeVisibleListLine(3);
        clickHeader(list, LoggerList::ColDate);
        LoggerList& doc = list->document();
        LoggerRecord added = doc.record(1);
        added.Serial = 9000001;
        QCOMPARE(doc.Insert(added, 2), 41);
        QCOMPARE(list->ListViewDMA->model()->rowCount(), 41);
        QCOMPARE(list->ListViewDMA->model()->index(1, 0).data().toString(), QString("09000001"));
        QVERIFY(doc.Remove(5));
        QCOMPARE(list->ListViewDMA->model()->rowCount(), 40);
        added.Comment1 = "changed";
        QVERIFY(doc.Put(doc.GetRecFromSerial(9000001), added));
        QCOMPARE(list->ListViewDMA->model()->index(1, LoggerList::ColComment1).data().toString(),
                 QString("changed"));
        list->ReLoad(); // still sorted newest first, the current line selected
        QCOMPARE(list->ListViewDMA->model()->rowCount(), 40);
        const QStringList dates = column(list, LoggerList::ColDate);
        QVERIFY(std::is_sorted(dates.rbegin(), dates.rend()));
        QCOMPARE(list->ListViewDMA->selectionModel()->selectedRows().value(0).row() + 1,
                 list->SelLine);
    }

    // A command runs when its feature has registered it and the user
    // interface is not held still; while it is, not even its shortcut runs
    // it (the Cowl menu alone goes on working).
    void commandsAndInteract()
    {
        GuiFixture f;
        frmMain* main = f.start();
        for (const char* built :
             {"mnuFileNew", "mnuFileOpen", "mnuViewEditor", "mnuHelpAbout", "mnuViewShowOption(3)",
              "tbBack", "mnuEditCut", "mnuLoggerAdd", "mnuFileMerge", "mnuFileImport",
              "mnuKorvalindToAll", "mnuCowlSetup", "mnuFilePageSetup", "mnuSearchCatalogue"})
            QVERIFY2(main->command(built)->isEnabled(), built);
        // Print wants a window in front; Export does nothing.
        for (const char* later : {"mnuFilePrint", "mnuFileExport"})
            QVERIFY2(!main->command(later)->isEnabled(), later);
        QCOMPARE(main->command("mnuFileNew")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(main->command("mnuViewShowOption(0)")->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(main->command("mnuKorvalindFromAll")->toolTip(), LangText(324));

        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(main->mdiArea()->subWindowList().size(), 1);

        main->Interact(false);
        for (QAction* a : main->findChildren<QAction*>())
            if (!a->objectName().isEmpty() && a->objectName() != "mnuCowlSetup" && !a->menu())
                QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(!main->tbToolBar->isEnabled() && !main->menu("mnuFile")->menuAction()->isEnabled());
        QVERIFY(main->menu("mnuCowl")->menuAction()->isEnabled());
        QVERIFY(main->command("mnuCowlSetup")->isEnabled());
        QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(main, Qt::Key_F8);
        QCOMPARE(main->mdiArea()->subWindowList().size(), 1);
        QVERIFY(!App::Editor()->isVisible());

        QVERIFY(!main->mdiArea()->subWindowList()[0]->isEnabled() && !App::Editor()->isEnabled());
        main->Interact(true);
        QVERIFY(main->mdiArea()->subWindowList()[0]->isEnabled() && App::Editor()->isEnabled());
        QVERIFY(main->command("mnuFileNew")->isEnabled() && main->tbToolBar->isEnabled());
        QVERIFY(main->command("mnuFilePrint")->isEnabled()); // a window is in front now
        QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(main->mdiArea()->subWindowList().size(), 2);

        QCOMPARE(main->windowTitle(), LangText(256));
        QCOMPARE(main->command("mnuFileSaveAs")->text(), LangText(265));
        QCOMPARE(main->command("mnuFileSaveAs")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        f.prompts.modal("frmSplash", [](QDialog& d) { return Prompts::RunModal(d); });
        main->command("mnuHelpAbout")->trigger();
        main->command("mnuViewToolbar")->trigger();
        QVERIFY(!main->tbToolBar->isVisible());
    }

    void linesShowTheRecords()
    {
        GuiFixture f;
        f.start();
        OpenDocument(f.file(
            "few.csv",
            "h,h\r\n1234567,\"AB 1234 5678\",\"1 Mill Lane\",\"hydrant\",\"2003/01/02\",\"\","
            "\"2003/02/01\",\"L\",7,0,\"x\"\r\n"
            "2345678,\"__ ____ "
            "____\",\"\",\"\",\"\",\"08:00:00\",\"2003/02/09\",\"N\",42,10,\"\"\r\n"));
        frmDMA* list = ActiveListWindow();
        const QStringList expected = {"01234567",    "12345678", "2003/01/02", "",
                                      "1 Mill Lane", "hydrant",  "2003/02/01", "L",
                                      " 7",          " 0",       "x"};
        for (int c = 0; c < LoggerList::ColumnCount; ++c)
            QCOMPARE(list->document().LineText(1, c), expected[c]);
        QCOMPARE(list->document().LineText(2, LoggerList::ColGridRef), QString("________"));
        QCOMPARE(list->headerText(LoggerList::ColComment2), LangText(161));
        QCOMPARE(list->document().LineKey(2), QString("2x"));
        list->GetLocalRec(9, 0);
        QCOMPARE(DMAModule().Records(0).Serial, 99999999); // the blank record
        QCOMPARE(DMAModule().Records(0).Comment1.str(), LangTextAnsi(354));
    }

    // The first header click sorts descending, every further click flips; a
    // line keeps naming its record, and the current logger stays current
    // through a sort, a find and Refresh List, which keeps the sort.
    void sortingFindAndRefresh()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        auto serialAt = [list](int line) {
            return list->record(list->recordIndexOfLine(line)).Serial;
        };
        QStringList descending = column(list, LoggerList::ColDate);
        std::sort(descending.begin(), descending.end(), std::greater<QString>());
        clickHeader(list, LoggerList::ColDate);
        QCOMPARE(column(list, LoggerList::ColDate), descending);
        QCOMPARE(main->statusText(), LangText(164) + LangText(366));
        clickHeader(list, LoggerList::ColLevel); // ascending now: " 7" sorts before "10"
        const QStringList levels = column(list, LoggerList::ColLevel);
        QVERIFY(std::is_sorted(levels.begin(), levels.end()));
        QCOMPARE(main->statusText(), LangText(166) + LangText(367));

        clickLine(list, 3);
        QCOMPARE(list->SelLine, 3);
        QVERIFY(list->recordIndexOfLine(3) != 3);
        QCOMPARE(QString::number(serialAt(3)).rightJustified(8, '0'),
                 list->document().LineText(3, 0));
        QCOMPARE(main->statusText(), LangText(364) + "3" + LangText(365) + "40");
        const qint32 picked = serialAt(3);
        clickHeader(list, LoggerList::ColSerial); // descending by serial
        QCOMPARE(serialAt(list->SelLine), picked);
        QVERIFY(list->GetLocalRecBySelection());
        QCOMPARE(DMAModule().Records(RecordStore::kScratchSlot).Serial, picked);
        const QStringList bySerial = column(list, LoggerList::ColSerial);
        QVERIFY(std::is_sorted(bySerial.rbegin(), bySerial.rend()));
        main->command("mnuViewRefreshList")->trigger();
        QCOMPARE(column(list, LoggerList::ColSerial), bySerial);
        QCOMPARE(serialAt(list->SelLine), picked);
        const QModelIndexList rows = list->ListViewDMA->selectionModel()->selectedRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].row() + 1, list->SelLine);
        QCOMPARE(main->statusText(), LangText(349));

        const QString last = list->document().LineText(40, 0);
        list->Find(last);
        QCOMPARE(list->SelLine, 40);
        list->Find(QString()); // goes round and finds it again
        QCOMPARE(list->SelLine, 40);
        QCOMPARE(main->statusText(), LangText(360) + last + LangText(361) + "40");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(362));
        list->Find("no such text");
        QCOMPARE(list->SelLine, 40);
    }

    void columnLayoutCommands()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        const double before = widthOf(list, LoggerList::ColUserComments);
        main->command("mnuViewHideOption(0)")->trigger();
        for (int c = 0; c < 7; ++c)
            QCOMPARE(widthOf(list, c), 0.0);
        QVERIFY(widthOf(list, LoggerList::ColStatus) > 0 &&
                widthOf(list, LoggerList::ColSpread) > 0);
        main->command("mnuViewShowOption(0)")->trigger();
        QCOMPARE(widthOf(list, LoggerList::ColStatus), 405.0); // 400 twips, in whole pixels
        QCOMPARE(widthOf(list, LoggerList::ColLevel), 705.0);
        QVERIFY(widthOf(list, LoggerList::ColSerial) > 0);
        QCOMPARE(widthOf(list, LoggerList::ColUserComments), before);

        // With AutoSize on, a hidden column stays hidden as the window resizes.
        main->command("mnuViewHideOption(2)")->trigger(); // grid ref
        main->command("mnuViewAutoSize")->trigger();
        QVERIFY(list->AutoSize && main->command("mnuViewAutoSize")->isChecked());
        list->parentWidget()->resize(list->parentWidget()->width() + 150,
                                     list->parentWidget()->height());
        QCOMPARE(widthOf(list, LoggerList::ColGridRef), 0.0);
        QVERIFY(widthOf(list, LoggerList::ColSerial) > 0);

        // The check mark follows the list window in front.
        frmDMA* other = NewDocument();
        main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(other->parentWidget()));
        QVERIFY(!main->command("mnuViewAutoSize")->isChecked());
        main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(list->parentWidget()));
        QVERIFY(main->command("mnuViewAutoSize")->isChecked());
    }

    void layoutIsRememberedByTheBoundWindow()
    {
        GuiFixture f;
        f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* first = ActiveListWindow();
        first->SetColumnWidth(LoggerList::ColComment1, 3000, false);
        first->ListViewDMA->header()->moveSection(LoggerList::ColUserComments, 0); // comments first
        first->parentWidget()->resize(700, 400);
        OpenDocument(f.sample("south.csv"));
        frmDMA* second = ActiveListWindow();
        second->SetColumnWidth(LoggerList::ColComment1, 1500, false);
        // The first window is no longer bound: closing it saves nothing.
        first->parentWidget()->close();
        QVERIFY(!SettingsStore::isStored(Setting::Comment1_ColWidth));
        second->parentWidget()->close();
        QCOMPARE(SettingsStore::number(Setting::Comment1_ColWidth), std::optional<double>(1500));

        OpenDocument(f.sample("north.csv", "again.csv"));
        frmDMA* third = ActiveListWindow();
        QCOMPARE(widthOf(third, LoggerList::ColComment1), 1500.0);
        third->ListViewDMA->header()->moveSection(
            third->ListViewDMA->header()->visualIndex(LoggerList::ColUserComments), 0);
        third->parentWidget()->resize(700, 400);
        third->parentWidget()->close();
        QCOMPARE(SettingsStore::integer(Setting::UserComments_ColPosition),
                 std::optional<qint32>(1));
        QCOMPARE(SettingsStore::integer(Setting::SerialNo_ColPosition), std::optional<qint32>(2));
        QCOMPARE(SettingsStore::number(Setting::DMAForm_Width), std::optional<double>(700 * 15));
        OpenDocument(f.sample("south.csv", "fourth.csv"));
        frmDMA* fourth = ActiveListWindow();
        QCOMPARE(fourth->ListViewDMA->header()->visualIndex(LoggerList::ColUserComments), 0);
        QCOMPARE(fourth->parentWidget()->width(), 700);
    }

    // File > Save saves the window bound to the editor, not the one in front;
    // with Follow mouse on, the window under the mouse comes in front.
    void boundWindowAndFollowMouse()
    {
        GuiFixture f;
        frmMain* main = f.start();
        auto [a, b] = openTwo(f);
        clickLine(a, 2); // binds a
        main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(b->parentWidget()));
        QCOMPARE(main->activeChild(), b);
        QCOMPARE(ActiveListWindow(), a);
        a->document().AskForSave = b->document().AskForSave = true;
        main->command("mnuFileSave")->trigger();
        QVERIFY(!a->document().AskForSave);
        QVERIFY(b->document().AskForSave);

        QTest::mouseMove(a->ListViewDMA->viewport(), QPoint(20, 20));
        QCOMPARE(main->activeChild(), b); // the option is off
        main->command("mnuWindowFollowMouse")->trigger();
        QVERIFY(Globals().FollowMouse);
        QTest::mouseMove(a->ListViewDMA->viewport(), QPoint(25, 25));
        QCOMPARE(main->activeChild(), a);

        emit main->menu("mnuWindow")->aboutToShow();
        QStringList titles;
        for (QAction* action : main->menu("mnuWindow")->actions())
            if (action->isCheckable() && action != main->command("mnuWindowFollowMouse"))
                titles << action->text();
        QCOMPARE(titles, QStringList({"&1 " + a->caption(), "&2 " + b->caption()}));
        b->document().AskForSave = false;
        QVERIFY(main->close());
        QCOMPARE(SettingsStore::text(Setting::mnuWindowFollowMouse), QString("True"));
    }

    void dropAndTile()
    {
        GuiFixture f;
        frmMain* main = f.start();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(f.sample("north.csv")),
                      QUrl::fromLocalFile(f.sample("south.csv")),
                      QUrl::fromLocalFile(f.sample("east.pdb"))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(main, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main, &drop);
        const QList<QMdiSubWindow*> subs = main->mdiArea()->subWindowList();
        QCOMPARE(subs.size(), 3);
        QCOMPARE(qobject_cast<frmDMA*>(subs[2]->widget())->document().DMAName, QString("east.pdb"));

        main->command("mnuWindowTileVertical")->trigger();
        QCOMPARE(subs[0]->height(), subs[1]->height());
        QVERIFY(subs[1]->x() > subs[0]->x());
        main->command("mnuWindowTileHorizontal")->trigger();
        QVERIFY(subs[1]->y() > subs[0]->y());
    }

    void viewLogger_data()
    {
        QTest::addColumn<int>("age");
        QTest::addColumn<bool>("asked");
        QTest::newRow("written 11 seconds ago") << 11 << false;
        QTest::newRow("written 12 seconds ago") << 12 << true;
    }
    void viewLogger()
    {
        QFETCH(int, age);
        QFETCH(bool, asked);
        GuiFixture f;
        f.hub({"north.csv"});
        frmMain* main = f.start();
        App::SetClockForTesting([] { return qint64(2000000000); });
        SettingsStore::setText(Setting::SerialNumberToView,
                               QString::number(2000000000 - age) + ":01002474");
        if (asked)
            f.prompts.input("01003711");
        main->command("mnuViewLogger")->trigger();
        frmDMA* list = ActiveListWindow();
        QVERIFY(list);
        QCOMPARE(list->record(list->recordIndexOfLine(list->SelLine)).Serial,
                 asked ? 1003711 : 1002474);
        QVERIFY(App::Editor()->graphShown());
    }

    void mainWindowPlaceAndEditor()
    {
        GuiFixture f;
        frmMain* main = f.start();
        main->setGeometry(40, 50, 700, 500);
        QVERIFY(main->close());
        QCOMPARE(SettingsStore::number(Setting::MainWidth), std::optional<double>(700 * 15));
        frmMain* again = f.start();
        QCOMPARE(again->geometry(), QRect(40, 50, 700, 500));
        again->showMinimized();
        again->setGeometry(0, 0, 300, 200);
        QVERIFY(again->close()); // minimised: the place is not saved
        QCOMPARE(SettingsStore::number(Setting::MainLeft), std::optional<double>(40 * 15));

        // A message leaves the record editor up (it steps behind the box).
        f.start();
        App::Editor()->show();
        f.prompts.message(Box::Plain, MsgAnswer::OK);
        ShowMessage("x");
        QVERIFY(App::Editor()->isVisible());

        // A prompt asked in the middle of long work shows the normal pointer
        // (the harness fails a prompt under the hourglass); the work's comes back.
        {
            BusyCursor busy;
            f.prompts.message(Box::YesNoStop, MsgAnswer::Yes);
            ShowMessage("go on?", Box::YesNoStop);
            QVERIFY(QGuiApplication::overrideCursor());
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestListWindow)
#include "tst_listwindow.moc"
