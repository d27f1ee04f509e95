#include "GuiTest.h"

#include "Documents.h"
#include "EditorFields.h"
#include "LoggerDialogs.h"
#include "RecordChecks.h"
#include "RecordClipboard.h"
#include "RecordEditor.h"
#include "SampleData.h"
#include "TestSupport.h"
#include "frmDocument.h"

#include <QtWidgets>

namespace {

QString eight(qint32 serial)
{
    return QString::fromLatin1(FormatSerial(serial).c_str());
}

qint32 serialAt(frmDMA* list, int line)
{
    return list->record(list->recordIndexOfLine(line)).Serial;
}

void selectLines(frmDMA* list, const QList<int>& lines)
{
    QItemSelectionModel* sel = list->ListViewDMA->selectionModel();
    sel->clearSelection();
    for (int line : lines)
        sel->select(list->ListViewDMA->model()->index(line - 1, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QString removeQuestion(frmDMA* list, qint32 serial)
{
    const LoggerRecord& r = list->record(list->GetRecFromSerial(serial));
    return LangText(355) + eight(serial) + " ?\n(" + QString::fromLatin1(r.Comment1.str().c_str()) +
           ")";
}

// The add-logger dialog answered with this serial; a null text cancels it.
void answerAdd(GuiFixture& f, const QString& typed)
{
    f.prompts.modal("frmAddNewLogger", [typed](QDialog& d) {
        auto& add = static_cast<frmAddNewLogger&>(d);
        QTest::keyClicks(add.mskSerial, typed);
        (typed.isNull() ? add.cmdCancel : add.cmdOK)->click();
        return add.result();
    });
}

// The fill dialog answered with a first serial, a count and a step; a null serial cancels it.
void answerFill(GuiFixture& f, const QString& serial, const QString& count = {},
                const QString& step = {})
{
    f.prompts.modal("FillDialog", [=](QDialog& d) {
        auto& fill = static_cast<FillDialog&>(d);
        fill.TxtSerial->setText(serial);
        fill.TxtNum->setText(count);
        fill.TxtIncr->setText(step);
        (serial.isNull() ? fill.CancelButton : fill.OKButton)->click();
        return fill.result();
    });
}

// The program with the north sample open, bound to the editor.
struct North
{
    GuiFixture f;
    frmMain* main = f.start();
    frmDMA* list = (OpenDocument(f.sample("north.csv")), ActiveListWindow());
    void run(const char* command) { main->command(command)->trigger(); }
};

} // namespace

class TestRecordCommands : public QObject
{
    Q_OBJECT
private slots:
    void init() { RecordClipboard::ClearForTesting(); }

    // Cut copies all selected and removes those agreed to; Remove keeps the
    // logger in the scratch slot. Paste goes in at the current line (the last
    // first); a known serial is refused, and Cancel stops; a full list stops it.
    void clipboardAndRemoving()
    {
        North n;
        auto& [f, main, north] = n;
        const qint32 a = serialAt(north, 2), b = serialAt(north, 3), c = serialAt(north, 4);
        selectLines(north, {2, 3, 4});
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, removeQuestion(north, a),
                          north->caption());
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, removeQuestion(north, b));
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, removeQuestion(north, c));
        n.run("mnuEditCut");
        QCOMPARE(north->RecordCount(), 38);
        QVERIFY(!north->GetRecFromSerial(a) && north->GetRecFromSerial(b) &&
                !north->GetRecFromSerial(c));
        QCOMPARE(RecordClipboard::Records().size(), 3);
        QVERIFY(north->document().AskForSave);
        north->ShowLine(2);
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, removeQuestion(north, b));
        n.run("mnuLoggerRemove");
        QCOMPARE(main->statusText(), LangText(135));
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, removeQuestion(north, b));
        n.run("mnuLoggerRemove");
        QCOMPARE(main->statusText(), LangText(134));
        QVERIFY(north->RecordCount() == 37 &&
                DMAModule().Records(RecordStore::kScratchSlot).Serial == b);

        frmDMA* south = (OpenDocument(f.sample("south.csv")), ActiveListWindow());
        const QList<qint32> copied = {serialAt(north, 1), serialAt(north, 2), serialAt(north, 3)};
        north->ShowLine(1);
        selectLines(north, {1, 2, 3});
        main->command("mnuEditCopy")->trigger();
        selectLines(north, {});
        main->command("mnuEditCopy")->trigger(); // nothing selected: the clipboard stays
        south->ShowLine(2);
        const qint32 oldSecond = serialAt(south, 2);
        main->command("mnuEditPaste")->trigger();
        QCOMPARE(QList<qint32>({serialAt(south, 2), serialAt(south, 4), serialAt(south, 5)}),
                 QList<qint32>({copied[2], copied[0], oldSecond}));
        QCOMPARE(south->SelLine, 2);
        QVERIFY(south->document().AskForSave);
        QCOMPARE(main->statusText(), LangText(191) + eight(copied[2]) + LangText(352));

        // Back into the window they came from: every serial is known there.
        const QString refused = ": " + LangText(143);
        f.prompts.message(Box::OKCancel, MsgAnswer::OK, QString::number(copied[0]) + refused);
        f.prompts.message(Box::OKCancel, MsgAnswer::Cancel, QString::number(copied[1]) + refused);
        main->command("mnuEditPaste")->trigger();
        QCOMPARE(north->RecordCount(), 37);

        // A paste or fill stopped by a full list says how many went in.
        QCOMPARE(WriteSampleDatabase(f.path("full.csv"), 6998, 1, 41), 0); // after north's
        frmDMA* full = (OpenDocument(f.path("full.csv")), ActiveListWindow());
        const QString oneOf = LangText(630) + "1" + LangText(631);
        f.prompts.message(Box::Plain, MsgAnswer::OK, oneOf + "3" + LangText(632));
        main->command("mnuEditPaste")->trigger();
        answerAdd(f, "12999997");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(618));
        main->command("mnuLoggerAdd")->trigger();
        full->document().Remove(full->RecordCount());
        answerFill(f, "12999990", "3", "1");
        f.prompts.message(Box::Plain, MsgAnswer::OK, oneOf + "3" + LangText(632));
        main->command("mnuLoggerFill")->trigger();
    }

    // Add Logger and Change Serial: cancelled, invalid, known, and new (added
    // and shown in the editor, or given to the current logger).
    void serialCommands()
    {
        North n;
        auto& [f, main, list] = n;
        const auto attempt = [&](bool adding, const char* typed, const QString& message = {}) {
            list->ShowLine(1);
            adding ? answerAdd(f, typed) : f.prompts.input(typed);
            if (!message.isEmpty())
                f.prompts.message(Box::Plain, MsgAnswer::OK, message);
            n.run(adding ? "mnuLoggerAdd" : "mnuLoggerChangeSerial");
        };
        attempt(true, nullptr);
        attempt(true, "13000000", "13000000" + LangText(132));
        attempt(true, "01001237", "01001237" + LangText(133));
        attempt(false, "01001237", "01001237" + LangText(138));
        attempt(false, "13000000", "13000000" + LangText(132));
        attempt(false, "01002474", LangText(139) + "01002474" + LangText(140));
        QVERIFY(!list->document().AskForSave);
        QCOMPARE(list->RecordCount(), 40);
        attempt(true, "01999999");
        QCOMPARE(list->RecordCount(), 41);
        QCOMPARE(serialAt(list, list->SelLine), 1999999);
        QVERIFY(App::Editor()->isVisible() && list->document().AskForSave);
        list->document().AskForSave = false;
        attempt(false, "01999998", "01001237" + LangText(141) + "01999998");
        QCOMPARE(serialAt(list, 1), 1999998);
        QVERIFY(list->document().AskForSave); // closing asks before losing it
        QCOMPARE(f.prompts.shown.count(LangText(137) + "01001237"), 4);
    }

    // The bound list's commands: a deploy date for one logger or all;
    // Fill, with a report of the serials the list holds; New Window (serials).
    void boundListCommands()
    {
        North n;
        auto& [f, main, list] = n;
        list->ShowLine(3);
        const LoggerList& doc = list->document();
        const QString shownBefore = doc.LineText(3, LoggerList::ColDeployed);
        const QString fourthBefore = doc.LineText(4, LoggerList::ColDeployed);
        QString shown;
        auto answer = [&n, &shown](const QString& date, bool all) {
            n.f.prompts.modal("DateDialog", [&shown, date, all](QDialog& d) {
                auto& dialog = static_cast<DateDialog&>(d);
                shown = dialog.TxtDate->text();
                dialog.TxtDate->setText("2003/13/01");
                dialog.OKButton->click(); // refused: the dialog stays
                dialog.TxtDate->setText(date);
                dialog.ChkDoAll->setChecked(all);
                dialog.OKButton->click();
                return dialog.result();
            });
            n.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(385));
            n.run("mnuLoggerChangeDeployDate");
        };
        answer(" 2005/06/07 ", false);
        QCOMPARE(shown, shownBefore);
        QCOMPARE(doc.LineText(3, LoggerList::ColDeployed), QString("2005/06/07"));
        QCOMPARE(doc.LineText(4, LoggerList::ColDeployed), fourthBefore);
        QVERIFY(doc.AskForSave);
        answer("2006/01/01", true);
        for (int i = 1; i <= list->RecordCount(); ++i)
            QCOMPARE(list->record(i).Deployed.str(), std::string("2006/01/01"));

        QVERIFY(list->CreateNewRecord(2000200, 0, QString()) == 0);
        answerFill(f, "02000100", "3", "100");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(146));
        main->command("mnuLoggerFill")->trigger();
        QVERIFY(list->GetRecFromSerial(2000100) && list->GetRecFromSerial(2000300));
        QCOMPARE(main->statusText(), LangText(146));
        auto* report = qobject_cast<frmDocument*>(main->activeChild());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), "north.csv" + LangText(148) + ".log");
        QCOMPARE(report->text(), LangText(147) + "\n02000200\n");
        QString kept;
        f.prompts.modal("FillDialog", [&kept](QDialog& d) {
            auto& fill = static_cast<FillDialog&>(d);
            kept = fill.TxtNum->text() + "," + fill.TxtIncr->text();
            fill.TxtSerial->setText("02500000");
            fill.TxtNum->setText("0");
            fill.OKButton->click(); // 395, stays open
            fill.TxtNum->setText("2");
            fill.TxtIncr->setText("0");
            fill.OKButton->click(); // 251, stays open
            fill.TxtIncr->setText("1");
            fill.OKButton->click();
            return fill.result();
        });
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(395));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(251));
        main->command("mnuLoggerFill")->trigger();
        QCOMPARE(kept, QString("3,100"));
        QCOMPARE(main->statusText(), LangText(145)); // a clean run
        QVERIFY(list->GetRecFromSerial(2500001));
        answerFill(f, QString()); // cancelled: a fill would say what it found
        main->command("mnuLoggerFill")->trigger();

        n.run("mnuFileNewWin");
        frmDMA* fresh = ActiveListWindow();
        QVERIFY(fresh->caption() == "north.csv" && fresh->document().DMAName == "north.csv");
        QVERIFY(fresh->document().AskForSave && fresh->document().NeverBeenSaved);
        QCOMPARE(fresh->RecordCount(), list->RecordCount());
        const LoggerRecord& r = fresh->record(1);
        QVERIFY(r.Serial == 1001237 && r.GridRef.str() == kAbsentGridRef && r.Comment1.empty() &&
                r.Deployed.empty() && r.Date[1].empty() && r.Level[1] == 0);
        QCOMPARE(r.UserComments.str(), std::string("comment"));

        App::SetActiveList(NewDocument()); // an empty window bound
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(150));
        n.run("mnuFileNewWin");
    }

    // Add most recent patrol: a refusal or a file of another kind leaves the
    // patrol unsaved and opens nothing; a merge marks it saved and opens the
    // database written and a report that Exit need not offer to save.
    void mergeCommand()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QByteArray db =
            "h,h\r\n1000001,\"AB 1234 5678\",\"\",\"\",\"\",\"\",\"2003/01/01\",\"N\",20,"
            "5,\"\"\r\n";
        const QString pdb = f.file("north.pdb", db), csv = f.file("north.csv", db);
        const QString south = f.file("south.csv", db);
        QDir().mkpath(f.path("patrol"));
        OpenDocument(
            f.file("patrol/north.csv", QByteArray(db).replace("2003/01/01", "2003/02/01")));
        frmDMA* patrol = ActiveListWindow();
        patrol->document().AskForSave = true;
        const std::pair<QString, int> refused[] = {{south, 216}, {f.path("notes.txt"), 316}};
        for (const auto& [chosen, message] : refused) {
            f.prompts.openFile(chosen);
            f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(message));
            main->command("mnuFileMerge")->trigger();
        }
        QVERIFY(listWindows(main).size() == 1 && patrol->document().AskForSave);
        f.prompts.openFile(pdb); // merged into the csv beside it
        f.prompts.message(Box::Plain, MsgAnswer::OK,
                          LangText(225) + pdb + ".000\n" + LangText(634) + csv + ".000");
        main->command("mnuFileMerge")->trigger();
        QVERIFY(!patrol->document().AskForSave);
        QCOMPARE(ActiveListWindow()->caption(), csv);
        QCOMPARE(main->findChild<frmDocument*>()->windowTitle(), LangText(224) + "north.csv.log");
        QVERIFY(!main->findChild<frmDocument*>()->modified());
    }
};

QTEST_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
