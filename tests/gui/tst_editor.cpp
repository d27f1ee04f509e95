#include "GuiTest.h"

#include "TestSupport.h"

#include "Documents.h"
#include "EditorFields.h"
#include "GraphPanel.h"
#include "HistoryDialog.h"
#include "RecordChecks.h"
#include "frmDMAEdit.h"

#include <QtWidgets>

namespace {

// Replaces what a field holds, as a user selecting it all and typing would.
void retype(QLineEdit* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

void focusIn(QWidget* w)
{
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(w, &in);
}

const LoggerRecord& recordAt(frmDMA* list, int line)
{
    return list->record(list->recordIndexOfLine(line));
}

// Opens a file of four loggers; the third's reading 3 is a leak's (level
// 40, spread 25), its reading 4 just not (40, 26).
frmDMA* openFour(GuiFixture& f)
{
    QByteArray bytes = "h,h\r\n";
    for (int i = 1; i <= 4; ++i) {
        QByteArray line = QByteArray::number(1000000 + i) + ",\"AB 1111 000" +
                          QByteArray::number(i) + "\",\"Street " + QByteArray::number(i) +
                          "\",\"\",\"2003/01/02\",\"08:00:00\"";
        for (int r = 1; r <= 5; ++r) {
            const int level = i == 3 && (r == 3 || r == 4) ? 40 : 10 + r;
            const int spread = i == 3 && r == 3 ? 25 : i == 3 && r == 4 ? 26 : 5;
            line += ",\"2003/02/0" + QByteArray::number(r) + "\",\"N\"," +
                    QByteArray::number(level) + "," + QByteArray::number(spread);
        }
        bytes += line + ",\"\"\r\n";
    }
    OpenDocument(f.file("four.csv", bytes));
    return ActiveListWindow();
}

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT
    std::optional<GuiFixture> f; // a fresh program for every test
    frmMain* main = nullptr;
    frmDMAEdit* ed = nullptr;

private slots:
    void init()
    {
        main = f.emplace().start();
        ed = qobject_cast<frmDMAEdit*>(App::Editor());
    }
    void cleanup() { f.reset(); }

    // The editor shows the logger of the current line, follows the line as
    // it moves, and is cleared when the list goes.
    void showsTheCurrentLogger()
    {
        frmDMA* list = openFour(*f);
        const auto shown = [this] {
            return QStringList{ed->windowTitle(), ed->txtSerNum->text(), ed->txtGridRef->text(),
                               ed->txtComments1->text()};
        };
        QCOMPARE(shown(), QStringList({"four.csv", "01000001", "11110001", "Street 1"}));
        QTreeWidgetItem* first = ed->ListViewEditBox->topLevelItem(0);
        QVERIFY(ed->ListViewEditBox->topLevelItemCount() == 50 && first->text(0) == "2003/02/01" &&
                first->text(2) == "11");

        QStringList serials;
        list->StepLine(+1); // as the Down arrow and the editor's down button do
        serials << ed->txtSerNum->text();
        for (QAbstractButton* step : {ed->Command_Down, ed->Command_up}) {
            QTest::mouseClick(step, Qt::LeftButton);
            serials << ed->txtSerNum->text();
        }
        QCOMPARE(serials, QStringList({"01000002", "01000003", "01000002"}));

        // Bars of 2 pixels a unit, red from a difference of 15.
        list->ShowLine(3);
        GraphPanel* g = ed->graph;
        QCOMPARE(g->levelBar(2), QRect(310, 140, 10, 80));
        QCOMPARE(g->spreadBar(2), QRect(310, 230, 10, 50));
        QCOMPARE(g->markerTip(0), QString("2003/02/01"));
        ed->toggleGraph();
        ed->chooseHistoryRow(2);
        const QImage shot = ed->grab().toImage();
        auto at = [&shot](int x, int y) { return QColor(shot.pixel(x, y)); };
        QCOMPARE(at(315, 180), GraphPanel::kAlarm);  // level bar of reading 3
        QCOMPARE(at(315, 270), GraphPanel::kAlarm);  // its spread bar
        QCOMPARE(at(325, 180), GraphPanel::kCalm);   // reading 4: 40 and 26
        QCOMPARE(at(305, 225), GraphPanel::kChosen); // the chosen reading's marker
        ed->chooseHistoryRow(4);                     // the earlier choice goes back to yellow
        QVERIFY(g->markerColor(1) == GraphPanel::kMarker &&
                g->markerColor(3) == GraphPanel::kChosen);

        f->prompts.saveFile(f->path("renamed.csv")); // the caption follows a new name
        main->command("mnuFileSaveAs")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(ed->windowTitle(), QString("renamed.csv"));

        list->parentWidget()->close();
        QCOMPARE(shown(), QStringList({"", "00000000", "________", ""}));
        QCOMPARE(ed->NumHistories, 0);
        QCOMPARE(g->levelBar(0).height(), 0); // the closing list resets the graph
    }

    // Update with nothing changed leaves the saved file the same to the byte;
    // a new location keeps the grid letters; a fault stores nothing.
    void update()
    {
        const QByteArray fields =
            "\",\"Mill Lane\",\"n51 road\",\"2003/01/02\",\"\","
            "\"2003/02/01\",\"L\",7,3,\"2003/01/01\",\"\",40,25,\"near it\"\r\n";
        OpenDocument(f->file("refs.csv", "h,h\r\n1000001,\"SE 2033 3148" + fields +
                                             "1000002,\"__ ____ ____" + fields +
                                             "1000003,\"nz-0000-0001" + fields));
        frmDMA* list = ActiveListWindow();
        list->document().AskForSave = true;
        main->command("mnuFileSave")->trigger();
        const QByteArray saved = readBytes(f->path("refs.csv"));
        for (int line = 1; line <= 3; ++line) {
            const LoggerRecord before = recordAt(list, line);
            list->ShowLine(line);
            QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
            QVERIFY(recordAt(list, line) == before);
        }
        QVERIFY(list->document().AskForSave);
        main->command("mnuFileSave")->trigger();
        QCOMPARE(readBytes(f->path("refs.csv")), saved);

        const LoggerRecord first = recordAt(list, 1);
        list->ShowLine(1);
        retype(ed->txtGridRef, "1234567");
        ed->ListViewEditBox->topLevelItem(6)->setText(2, "1a");
        ed->ListViewEditBox->topLevelItem(8)->setText(0, "2003/13/01");
        QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
        QCOMPARE(ed->TxtErrors->toPlainText(),
                 LangText(379) + "\n" + LangText(166) + " 7\n" + LangText(164) + " 9\n");
        QVERIFY(recordAt(list, 1) == first);
        QVERIFY(!list->document().AskForSave);

        f->prompts.message(MsgButtons::YesNoCancel + MsgButtons::Exclamation, MsgAnswer::No);
        list->ShowLine(2); // the faulty edits dropped
        list->ShowLine(1);
        retype(ed->txtGridRef, "87654321");
        retype(ed->txtComments1, "New Street");
        QTest::keyClick(ed->txtComments1, Qt::Key_F12);
        QVERIFY(recordAt(list, 1).GridRef.str() == "SE 8765 4321" &&
                recordAt(list, 1).Comment1.str() == "New Street");
        QVERIFY(list->document().AskForSave && ed->TxtErrors->toPlainText().isEmpty());
        QCOMPARE(main->statusText(), LangText(191) + "01000001" + LangText(348));
        ed->CheckAutoIncrement->setChecked(true);
        QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
        QVERIFY(list->SelLine == 2 && ed->txtSerNum->text() == "01000002");
    }

    // A new serial makes a logger after the current line; another logger's
    // serial asks first. Update Serial Number refuses another's serial.
    void updateUnderAnotherSerial()
    {
        frmDMA* list = openFour(*f);
        list->ShowLine(2);
        const LoggerRecord second = recordAt(list, 2), fourth = recordAt(list, 4);
        retype(ed->txtSerNum, "01999999");
        QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
        QCOMPARE(list->RecordCount(), 5);
        const LoggerRecord& added = recordAt(list, 3);
        QVERIFY(added.Serial == 1999999 && added.GridRef.str() == "AA 1111 0002" &&
                added.Comment1.str() == "Street 2");
        QVERIFY(added.Date[1].empty() && added.Level[1] == 0 && added.Status[1].empty());
        QVERIFY(IsValidRecord(added));
        QVERIFY(recordAt(list, 2) == second); // the neighbour is untouched

        list->ShowLine(2);
        retype(ed->txtSerNum, "01000004");
        const QString question = LangText(501) + "\r\n" + LangText(502) + "01000004";
        f->prompts.message(MsgButtons::YesNo, MsgAnswer::No, question);
        QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
        QVERIFY(recordAt(list, 5) == fourth);
        f->prompts.message(MsgButtons::YesNo, MsgAnswer::Yes, question);
        QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
        QVERIFY(recordAt(list, 5).Comment1.str() == "Street 2" &&
                recordAt(list, 5).GridRef.str() == "AB 1111 0002");
        QVERIFY(recordAt(list, 2) == second);

        // Seven digits of the current logger's own serial are the same logger.
        list->ShowLine(1);
        retype(ed->txtSerNum, "1000001");
        QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
        QCOMPARE(ed->txtSerNum->text(), QString("01000001"));

        list->ShowLine(2);
        list->document().AskForSave = false;
        auto updateSerial = [&](const char* typed, int answer, const QString& message) {
            ed->txtSerNum->setStored("01000002");
            focusIn(ed->txtSerNum);
            retype(ed->txtSerNum, typed);
            f->prompts.message(MsgButtons::YesNo, answer, LangText(511));
            f->prompts.message(Box::Plain, MsgAnswer::OK, message);
            QTest::mouseClick(ed->cmdUpdateSerial, Qt::LeftButton);
        };
        updateSerial("01000009", MsgAnswer::No, LangText(513));
        updateSerial("01000004", MsgAnswer::Yes, LangText(139) + "01000004" + LangText(140));
        QVERIFY(recordAt(list, 2).Serial == 1000002 && !list->document().AskForSave);
        updateSerial("01000009", MsgAnswer::Yes, "01000002" + LangText(141) + "01000009");
        QCOMPARE(recordAt(list, 2).Serial, 1000009);
        QVERIFY(list->document().AskForSave); // closing will ask before losing it
        list->StepLine(+1);                   // the new serial is the logger's: nothing to ask
        QCOMPARE(list->SelLine, 3);
    }

    // Stepping away from edits not yet stored asks first: Yes stores them
    // and steps, No drops them and steps, Cancel stays with them.
    void stepAwayFromEdits_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("way");     // the Down key, a click on line 3, the editor's button
        QTest::addColumn<bool>("faulty"); // a location too short to store
        QTest::newRow("Yes, Down key") << int(MsgAnswer::Yes) << 0 << false;
        QTest::newRow("Yes, click") << int(MsgAnswer::Yes) << 1 << false;
        QTest::newRow("Yes, not storable") << int(MsgAnswer::Yes) << 0 << true;
        QTest::newRow("No, click") << int(MsgAnswer::No) << 1 << false;
        QTest::newRow("Cancel, click") << int(MsgAnswer::Cancel) << 1 << false;
        QTest::newRow("Cancel, editor's button") << int(MsgAnswer::Cancel) << 2 << false;
    }
    void stepAwayFromEdits()
    {
        QFETCH(int, answer);
        QFETCH(int, way);
        QFETCH(bool, faulty);
        frmDMA* list = openFour(*f);
        retype(ed->txtComments1, "Edited");
        if (faulty)
            retype(ed->txtGridRef, "1234567");
        focusIn(list->ListViewDMA); // no step: the edits stay, and nothing is asked
        list->ShowLine(1);
        QCOMPARE(ed->txtComments1->text(), QString("Edited"));

        f->prompts.message(MsgButtons::YesNoCancel + MsgButtons::Exclamation, answer,
                           LangText(713) + "01000001" + LangText(714));
        QTreeView* view = list->ListViewDMA;
        if (way == 0)
            QTest::keyClick(view, Qt::Key_Down);
        else if (way == 1)
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(2, 0)).center());
        else
            QTest::mouseClick(ed->Command_Down, Qt::LeftButton);
        const bool stays = answer == MsgAnswer::Cancel || faulty; // the report says why
        const int line = stays ? 1 : way == 1 ? 3 : 2;
        QCOMPARE(list->SelLine, line);
        QCoreApplication::processEvents(); // the view is done with the click
        const QModelIndexList picked = view->selectionModel()->selectedRows();
        QVERIFY(view->currentIndex().row() + 1 == line && picked.size() == 1 &&
                picked[0].row() + 1 == line);
        QCOMPARE(ed->txtSerNum->text(), QString("0100000%1").arg(line));
        QCOMPARE(ed->txtComments1->text() == "Edited", stays);
        QCOMPARE(recordAt(list, 1).Comment1.str() == "Edited", answer == MsgAnswer::Yes && !faulty);
        QCOMPARE(list->RecordCount(), 4);
    }

    // Each field takes only what its filter or grid format allows, never a
    // comma or line break; Edit History checks its entry before Update.
    void entries()
    {
        frmDMA* list = openFour(*f);
        // Readings can be edited only where allowed, and read either way:
        // dimmed on the window's background when not, but still scrolling.
        for (bool allowed : {false, true}) {
            Globals().EnHistEdit = allowed;
            ed->hide();
            ed->show();
            const QPalette p = ed->ListViewEditBox->palette();
            const QColor text = p.color(QPalette::Active, QPalette::Text);
            const QColor base = p.color(QPalette::Active, QPalette::Base);
            QVERIFY(ed->ListViewEditBox->verticalScrollBar()->isEnabled());
            QVERIFY(std::abs(qGray(text.rgb()) - qGray(base.rgb())) > 120);
            QCOMPARE(base, allowed ? QColor(Qt::white) : ed->palette().color(QPalette::Window));
            if (!allowed) {
                ed->chooseHistoryRow(2);
                ed->editHistoryRow(); // no dialog
            }
        }
        retype(ed->txtComments1, "a,b");
        QGuiApplication::clipboard()->setText("x,y\nz");
        QTest::keyClick(ed->txtComments1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(ed->txtComments1->text(), QString("abxyz"));
        retype(ed->txtUserComments, "near hydrant, 5!");
        QCOMPARE(ed->txtUserComments->text(), QString("near hydrant 5"));
        for (auto [field, typed, value] : {std::tuple(ed->txtGridRef, "12,345678", "12345678"),
                                           {ed->txtComments2, "a&b, c", "AB C"},
                                           {ed->txtSerNum, "01ab000001", "01000001"}}) {
            retype(field, typed);
            QCOMPARE(field->value(), QString(value));
        }
        // Comment 2 follows the grid format of the settings.
        Globals().Address2 = "1";
        ed->applyAddress2Format();
        retype(ed->txtComments2, "n5112345w00112345");
        // Delete and Backspace clear one place each, the fixed point and hyphen staying.
        ed->txtComments2->setCursorPosition(1);
        QTest::keyClick(ed->txtComments2, Qt::Key_Delete);
        ed->txtComments2->setCursorPosition(20);
        QTest::keyClick(ed->txtComments2, Qt::Key_Backspace);
        QCOMPARE(ed->txtComments2->text(), QString("N_1.12345-W001.1234_"));
        retype(ed->txtComments2, "n5112345w00112345");

        ed->chooseHistoryRow(2);
        f->prompts.modal("HistoryDialog", inWindow([](QDialog& d) {
                             auto& h = static_cast<HistoryDialog&>(d);
                             QCOMPARE(h.TxtDate->text(), QString("2003/02/02"));
                             h.TxtDate->setText("2003/13/01");
                             h.OKButton->click();
                             QVERIFY(!h.Result); // it stays open
                             QCOMPARE(h.lblError->text(), LangText(385));
                             h.TxtDate->clear();
                             h.TxtStatus->clear();
                             QTest::keyClicks(h.TxtStatus, "leak");
                             QCOMPARE(h.TxtStatus->text(), QString("LEAK")); // capitals as typed
                             h.TxtLevel->setText(" 7");
                             h.TxtSpread->setText("9");
                             h.OKButton->click();
                         }));
        ed->editHistoryRow();
        QCOMPARE(recordAt(list, 1).Level[2], qint16(12)); // not yet stored
        QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
        const LoggerRecord& r = recordAt(list, 1);
        QVERIFY(r.Comment2.str() == "N51.12345-W001.12345" && r.Date[2].empty() &&
                r.Status[2].str() == "LEAK" && r.Level[2] == 7 && IsValidRecord(r));
    }

    // Without a list window, Update and Find Next say 129 and F12 does
    // nothing. The graph button widens and narrows the window.
    void withoutAListAndWindowBehaviour()
    {
        ed->chooseHistoryRow(1);
        ed->editHistoryRow(); // no dialog without a list
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(129));
        main->command("mnuSearchFindNext")->trigger();

        // The captions keep their access key; no scale of the graph peeps
        // out of the narrow window.
        auto graphIs = [this](int width, int caption) {
            QCOMPARE(ed->width(), width);
            QCOMPARE(ed->cmdGraph->text(), LangText(caption));
            QVERIFY(!QKeySequence::mnemonic(ed->cmdGraph->text()).isEmpty());
            QCOMPARE(ed->graph->isVisibleTo(ed), width > 280);
        };
        graphIs(280, 710);
        QTest::mouseClick(ed->cmdGraph, Qt::LeftButton);
        graphIs(800, 711);
        ed->resize(500, ed->height());
        QTest::mouseClick(ed->cmdGraph, Qt::LeftButton);
        graphIs(280, 712);

        // A message leaves the editor up. A modal window comes in front of
        // it, and it is above the list windows again once that closes.
        ed->show();
        bool upMeanwhile = false;
        f->prompts.messageWhile(Box::Plain, MsgAnswer::OK, LangText(129),
                                [&] { upMeanwhile = ed->isVisible(); });
        QTest::mouseClick(ed->cmdUpdate, Qt::LeftButton);
        QVERIFY(upMeanwhile && ed->isVisible());
        auto onTop = [this] { return ed->windowHandle()->flags() & Qt::WindowStaysOnTopHint; };
        QVERIFY(onTop());
        QDialog modal(main);
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        QVERIFY(!onTop() && ed->isVisible());
        modal.hide();
        QVERIFY(onTop());
        QTest::mouseClick(ed->cmdClose, Qt::LeftButton);
        QVERIFY(!ed->isVisible());

        // In front, the editor holds the focus; hidden, it does not.
        ed->show();
        ed->activateWindow();
        QTRY_VERIFY(QGuiApplication::focusWindow() == ed->windowHandle());
        QVERIFY(ed->hasFocusFlag());
        QTest::keyClick(ed->txtComments1, Qt::Key_F12);
        ed->hide();
        QVERIFY(!ed->hasFocusFlag());
        openFour(*f);
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_F12);
        QCOMPARE(main->statusText(), LangText(349)); // Refresh List
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
