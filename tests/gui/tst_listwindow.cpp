#include "GuiTest.h"

#include "BusyCursor.h"
#include "Documents.h"
#include "RecordClipboard.h"
#include "RecordEditor.h"

#include <QtWidgets>

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

// What the serial and date columns cut short: a header or a line narrower
// than the style asks to draw it whole. Empty when everything shows.
QString cutText(frmDMA* list)
{
    QTreeView* tree = list->ListViewDMA;
    QStyleOptionViewItem option;
    option.initFrom(tree->viewport());
    option.widget = tree;
    for (int c : {LoggerList::ColSerial, LoggerList::ColDeployed, LoggerList::ColReceived,
                  LoggerList::ColDate}) {
        const int width = tree->header()->sectionSize(c);
        if (width < tree->header()->sectionSizeHint(c))
            return list->headerText(c);
        for (int row = 0; row < tree->model()->rowCount(); ++row) {
            const QModelIndex index = tree->model()->index(row, c);
            if (width < tree->itemDelegate()->sizeHint(option, index).width())
                return index.data().toString();
        }
    }
    return {};
}

// The serial, grid reference and latest reading show without scrolling.
bool showsLatestReading(frmDMA* list)
{
    const QHeaderView* h = list->ListViewDMA->header();
    return h->sectionViewportPosition(LoggerList::ColSpread) +
               h->sectionSize(LoggerList::ColSpread) <=
           list->ListViewDMA->viewport()->width();
}
} // namespace

class TestListWindow : public QObject
{
    Q_OBJECT
    std::optional<GuiFixture> f; // a fresh program for every test
    frmMain* main = nullptr;

private slots:
    void init() { main = f.emplace().start(); }
    void cleanup() { f.reset(); }

    // A command runs once registered (the other window tests run the rest),
    // unless the user interface is held still; the Cowl menu alone still works.
    void commandsAndInteract()
    {
        for (const char* built : {"mnuViewEditor", "mnuViewShowOption(3)", "tbBack"})
            QVERIFY2(main->command(built)->isEnabled(), built);
        // Print wants a window in front, Export a list window.
        for (const char* later : {"mnuFilePrint", "mnuFileExport"})
            QVERIFY2(!main->command(later)->isEnabled(), later);
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
        QVERIFY(main->menu("mnuCowl")->menuAction()->isEnabled() &&
                main->command("mnuCowlSetup")->isEnabled());
        QVERIFY(!App::Editor()->isEnabled() && !main->mdiArea()->subWindowList()[0]->isEnabled());
        main->Interact(true);
        QVERIFY(main->mdiArea()->subWindowList()[0]->isEnabled() && App::Editor()->isEnabled());
        // A window is in front now: Print too.
        QVERIFY(main->tbToolBar->isEnabled() && main->command("mnuFilePrint")->isEnabled());
        QCOMPARE(main->windowTitle(), LangText(256));
        QCOMPARE(main->command("mnuFileSaveAs")->text(), LangText(265));
        f->prompts.modal("frmSplash", [](QDialog& d) { return Prompts::RunModal(d); });
        main->command("mnuHelpAbout")->trigger();
        main->command("mnuViewToolbar")->trigger();
        QVERIFY(!main->tbToolBar->isVisible());
    }

    // The keys people expect run their commands while a list window has the
    // focus; in the record editor they are the editor's.
    void listKeys()
    {
        RecordClipboard::ClearForTesting();
        OpenDocument(f->sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTreeView* tree = list->ListViewDMA;
        tree->setFocus();
        list->ShowLine(3);
        QTest::keyClick(tree, Qt::Key_F3); // before any Find: nothing to go on with
        f->prompts.input("0100");          // every serial: line 1, then line 2
        QTest::keyClick(tree, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(list->SelLine == 1 && f->prompts.shown.last() == LangText(149));
        QTest::keyClick(tree, Qt::Key_F3);
        f->prompts.input(QString()); // cancelled: nothing to go on with again
        QTest::keyClick(tree, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(tree, Qt::Key_F3);
        QCOMPARE(list->SelLine, 2);
        const QString serial = list->document().LineText(2, LoggerList::ColSerial);
        f->prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(355) + serial);
        QTest::keyClick(tree, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(RecordClipboard::Records().size(), 1);
        list->ShowLine(2); // a cut leaves no line current
        f->prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(355) + serial);
        QTest::keyClick(tree, Qt::Key_Delete);
        f->prompts.modal("frmAddNewLogger", [](QDialog&) { return int(QDialog::Rejected); });
        QTest::keyClick(tree, Qt::Key_Insert);

        RecordEditor* editor = App::Editor();
        editor->show();
        editor->windowHandle()->requestActivate();
        QTRY_COMPARE(QApplication::activeWindow(), editor);
        QWidget* button = nullptr;
        for (QPushButton* b : editor->findChildren<QPushButton*>())
            if (!button && b->isVisible() && b->isEnabled())
                button = b;
        button->setFocus();
        for (QKeyCombination key : {QKeyCombination(Qt::Key_Delete),
                                    QKeyCombination(Qt::Key_Insert), Qt::CTRL | Qt::Key_X})
            QTest::keyClick(button, key.key(), key.keyboardModifiers()); // no prompt
    }

    // Each line shows its record's texts, and the view follows every change
    // of the document.
    void linesShowTheRecords()
    {
        OpenDocument(f->file(
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
        list->GetLocalRec(9, 0);
        QCOMPARE(DMAModule().Records(0).Serial, 99999999); // the blank record

        QAbstractItemModel* model = list->ListViewDMA->model();
        QAbstractItemModelTester tester(model); // its failures fail the test
        list->MakeVisibleListLine(2);
        clickHeader(list, LoggerList::ColDate);
        LoggerList& doc = list->document();
        LoggerRecord added = doc.record(1);
        added.Serial = 9000001;
        // The view learns of each line itself: rowCount() alone reads the list.
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QCOMPARE(doc.Insert(added, 2), 3);
        QVERIFY(inserted.size() == 1 && model->index(1, 0).data().toString() == "09000001");
        QVERIFY(doc.Remove(1) && removed.size() == 1 && model->rowCount() == 2);
        added.Comment1 = "changed";
        QSignalSpy repaint(model, &QAbstractItemModel::dataChanged); // data() alone would not show
        QVERIFY(doc.Put(doc.GetRecFromSerial(9000001), added) && repaint.size() == 1);
        list->ReLoad();
        QCOMPARE(model->rowCount(), 2);
    }

    // The first header click sorts descending, each further one flips; the
    // current logger stays current through sorts, Find and Refresh List.
    void sortingFindAndRefresh()
    {
        OpenDocument(f->sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        auto serialAt = [list](int line) {
            return list->record(list->recordIndexOfLine(line)).Serial;
        };
        clickHeader(list, LoggerList::ColDate);
        const QStringList dates = column(list, LoggerList::ColDate);
        QVERIFY(std::is_sorted(dates.rbegin(), dates.rend()));
        QCOMPARE(main->statusText(), LangText(164) + LangText(366));
        clickHeader(list, LoggerList::ColLevel); // ascending now
        const QStringList levels = column(list, LoggerList::ColLevel);
        QVERIFY(std::is_sorted(levels.begin(), levels.end()));
        QCOMPARE(main->statusText(), LangText(166) + LangText(367));

        clickLine(list, 3);
        QCOMPARE(list->SelLine, 3);
        QVERIFY(list->recordIndexOfLine(3) != 3);
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
        QCOMPARE(list->ListViewDMA->selectionModel()->selectedRows(),
                 QModelIndexList{list->ListViewDMA->model()->index(list->SelLine - 1, 0)});
        QCOMPARE(main->statusText(), LangText(349));

        const QString last = list->document().LineText(40, 0);
        list->Find(last);
        list->Find(QString()); // goes round and finds it again
        QCOMPARE(list->SelLine, 40);
        QCOMPARE(main->statusText(), LangText(360) + last + LangText(361) + "40");
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(362));
        list->Find("no such text");
        QCOMPARE(list->SelLine, 40);
    }

    // Columns hidden stay hidden under AutoSize; only the window bound to the
    // editor keeps its layout for the next one as it closes.
    void columnLayout()
    {
        OpenDocument(f->sample("north.csv"));
        frmDMA* first = ActiveListWindow();
        const double before = first->columnWidth(LoggerList::ColUserComments);
        main->command("mnuViewHideOption(0)")->trigger();
        for (int c = 0; c < 7; ++c)
            QCOMPARE(first->columnWidth(c), 0.0);
        QVERIFY(first->columnWidth(LoggerList::ColStatus) > 0 &&
                first->columnWidth(LoggerList::ColSpread) > 0);
        first->SetColumnWidth(LoggerList::ColStatus, 3000, false);
        main->command("mnuViewShowOption(0)")->trigger();
        // Status, Level and Spread narrow again (400, 700, 700), as narrow as their headers allow.
        const QHeaderView* header = first->ListViewDMA->header();
        for (int c : {LoggerList::ColStatus, LoggerList::ColLevel, LoggerList::ColSpread})
            QVERIFY(first->columnWidth(c) < 1500 &&
                    header->sectionSize(c) >= header->sectionSizeHint(c));
        QVERIFY(first->columnWidth(LoggerList::ColSerial) > 0);
        QCOMPARE(first->columnWidth(LoggerList::ColUserComments), before);
        main->command("mnuViewHideOption(2)")->trigger(); // grid ref
        main->command("mnuViewAutoSize")->trigger();
        QVERIFY(first->AutoSize && main->command("mnuViewAutoSize")->isChecked());
        first->parentWidget()->resize(first->parentWidget()->width() + 150,
                                      first->parentWidget()->height());
        QVERIFY(first->columnWidth(LoggerList::ColGridRef) == 0.0 &&
                first->columnWidth(LoggerList::ColSerial) > 0);

        frmDMA* other = NewDocument(); // in front, but not bound
        main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(other->parentWidget()));
        QVERIFY(!main->command("mnuViewAutoSize")->isChecked());
        main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
        QVERIFY(main->command("mnuViewAutoSize")->isChecked());

        OpenDocument(f->sample("south.csv"));
        frmDMA* second = ActiveListWindow();
        second->SetColumnWidth(LoggerList::ColComment1, 1500, false);
        first->parentWidget()->close(); // not bound: it saves nothing
        QVERIFY(!SettingsStore::isStored(Setting::Comment1_ColWidth));
        second->parentWidget()->close();
        QCOMPARE(SettingsStore::number(Setting::Comment1_ColWidth), std::optional<double>(1500));

        OpenDocument(f->sample("north.csv", "again.csv"));
        frmDMA* third = ActiveListWindow();
        QCOMPARE(third->columnWidth(LoggerList::ColComment1), 1500.0);
        third->ListViewDMA->header()->moveSection(
            third->ListViewDMA->header()->visualIndex(LoggerList::ColUserComments), 0);
        third->parentWidget()->resize(700, 400);
        third->parentWidget()->close();
        QCOMPARE(SettingsStore::integer(Setting::UserComments_ColPosition),
                 std::optional<qint32>(1));
        QCOMPARE(SettingsStore::integer(Setting::SerialNo_ColPosition), std::optional<qint32>(2));
        QCOMPARE(SettingsStore::number(Setting::DMAForm_Width), std::optional<double>(700 * 15));
        OpenDocument(f->sample("south.csv", "fourth.csv"));
        frmDMA* fourth = ActiveListWindow();
        QVERIFY(fourth->ListViewDMA->header()->visualIndex(LoggerList::ColUserComments) == 0 &&
                fourth->parentWidget()->width() == 700);
    }

    // Whatever the window's size, the serial and date columns show their
    // whole text: in a new window, sorted, fitted by AutoSize (tiled too), and
    // opened from a layout saved narrow. Cascade leaves every window usable.
    void columnsShowTheirText()
    {
        main->resize(1600, 1000);
        for (const char* name : {"north.csv", "south.csv", "east.pdb"})
            OpenDocument(f->sample(name));
        const QList<QMdiSubWindow*> subs = main->mdiArea()->subWindowList();
        const QList<frmDMA*> lists = listWindows(main);
        for (frmDMA* list : lists) {
            QVERIFY2(cutText(list).isEmpty(), "new");
            QVERIFY(showsLatestReading(list));
            QVERIFY(main->mdiArea()->viewport()->rect().contains(list->parentWidget()->geometry()));
        }
        clickHeader(lists[0], LoggerList::ColDate); // the header makes room for the sort mark
        QVERIFY2(cutText(lists[0]).isEmpty(), "sorted");

        // AutoSize fits the bound window's columns to it, again on every resize.
        frmDMA* fitted = lists[2];
        subs[2]->showMaximized();
        fitted->ShowLine(1);
        main->command("mnuViewAutoSize")->trigger();
        QCOMPARE(fitted->ListViewDMA->header()->length(), fitted->ListViewDMA->viewport()->width());
        QVERIFY2(cutText(fitted).isEmpty(), "fitted");
        main->command("mnuWindowTileVertical")->trigger();
        QVERIFY2(cutText(fitted).isEmpty(), "fitted and tiled");
        subs[2]->resize(1200, 500);
        QCOMPARE(fitted->ListViewDMA->header()->length(), fitted->ListViewDMA->viewport()->width());

        subs[0]->showMaximized();
        main->command("mnuWindowCascade")->trigger();
        for (frmDMA* list : lists) {
            QVERIFY(!list->parentWidget()->isMaximized());
            QVERIFY(showsLatestReading(list));
            QVERIFY(list->ListViewDMA->viewport()->height() >=
                    5 * list->ListViewDMA->sizeHintForRow(0));
        }

        // A layout saved in a narrow window: the next one opens readable.
        SettingsStore::setNumber(Setting::DMAForm_Width, 1800);
        SettingsStore::setNumber(Setting::DMAForm_Height, 1200);
        SettingsStore::setNumber(Setting::SerialNo_ColWidth, 300);
        SettingsStore::setNumber(Setting::Date_ColWidth, 450);
        OpenDocument(f->sample("north.csv", "again.csv"));
        QVERIFY2(cutText(ActiveListWindow()).isEmpty() && showsLatestReading(ActiveListWindow()),
                 "saved narrow");
    }

    // Dropped files open. File > Save saves the window bound to the editor,
    // not the one in front; Follow mouse brings the window under the mouse.
    void dropBoundWindowAndFollowMouse()
    {
        main->resize(1600, 1000); // room for the two windows side by side
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(f->sample("north.csv")),
                      QUrl::fromLocalFile(f->sample("east.pdb"))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(main, &enter);
        QVERIFY(enter.isAccepted() && enter.dropAction() == Qt::CopyAction); // never a move
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main, &drop);
        const QList<frmDMA*> lists = listWindows(main);
        QVERIFY(lists.size() == 2 && lists[1]->document().DMAName == "east.pdb");
        frmDMA *a = lists[0], *b = lists[1];

        clickLine(a, 2); // binds a
        main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(b->parentWidget()));
        QVERIFY(main->activeChild() == b && ActiveListWindow() == a);
        a->document().AskForSave = b->document().AskForSave = true;
        main->command("mnuFileSave")->trigger();
        QVERIFY(!a->document().AskForSave && b->document().AskForSave);

        QTest::mouseMove(a->ListViewDMA->viewport(), QPoint(20, 20));
        QCOMPARE(main->activeChild(), b); // the option is off
        main->command("mnuWindowFollowMouse")->trigger();
        QTest::mouseMove(a->ListViewDMA->viewport(), QPoint(25, 25));
        QCOMPARE(main->activeChild(), a);

        emit main->menu("mnuWindow")->aboutToShow();
        QStringList titles;
        for (QAction* action : main->menu("mnuWindow")->actions())
            if (action->isCheckable() && action != main->command("mnuWindowFollowMouse"))
                titles << action->text();
        QCOMPARE(titles, QStringList({"&1 " + a->caption(), "&2 " + b->caption()}));
        QWidget *subA = a->parentWidget(), *subB = b->parentWidget();
        main->command("mnuWindowTileVertical")->trigger();
        QVERIFY(subA->height() == subB->height() && subB->x() > subA->x());
        main->command("mnuWindowTileHorizontal")->trigger();
        QVERIFY(subB->y() > subA->y());
        b->document().AskForSave = false;
        QVERIFY(main->close() &&
                SettingsStore::text(Setting::mnuWindowFollowMouse) == QString("True"));
    }

    // View > Logger shows the logger another program named in the last 11
    // seconds, or else the one the user types.
    void viewLogger()
    {
        Globals().BrenvaskDirectory = f->hub({"north.csv"});
        App::SetClockForTesting([] { return qint64(2000000000); });
        for (int age : {11, 12}) {
            SettingsStore::setText(Setting::SerialNumberToView,
                                   QString::number(2000000000 - age) + ":01002474");
            if (age == 12)
                f->prompts.input("01003711");
            main->command("mnuViewLogger")->trigger();
            frmDMA* list = ActiveListWindow();
            QVERIFY(list && App::Editor()->graphShown());
            QCOMPARE(list->record(list->recordIndexOfLine(list->SelLine)).Serial,
                     age == 12 ? 1003711 : 1002474);
        }
    }

    void mainWindowPlaceAndEditor()
    {
        main->setGeometry(40, 50, 700, 500);
        QVERIFY(main->close());
        frmMain* again = f->start();
        QCOMPARE(again->geometry(), QRect(40, 50, 700, 500));
        again->showMinimized();
        again->setGeometry(0, 0, 300, 200);
        QVERIFY(again->close()); // minimised: the place is not saved
        QCOMPARE(SettingsStore::number(Setting::MainLeft), std::optional<double>(40 * 15));

        // A prompt during long work shows the normal pointer, then the work's.
        {
            BusyCursor busy;
            f->prompts.message(Box::YesNoStop, MsgAnswer::Yes);
            ShowMessage("go on?", Box::YesNoStop);
            QVERIFY(QGuiApplication::overrideCursor());
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestListWindow)
#include "tst_listwindow.moc"
