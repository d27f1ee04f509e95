#include "GuiTest.h"

#include "DatabaseReader.h"
#include "Documents.h"
#include "EditorFields.h"
#include "LoggerDialogs.h"
#include "RecordChecks.h"
#include "RecordClipboard.h"
#include "RecordEditor.h"
#include "SampleData.h"
#include "TestSupport.h"
#include "frmDocument.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeView>

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

frmDocument* frontViewer(frmMain* main)
{
    return qobject_cast<frmDocument*>(main->activeChild());
}

} // namespace

class TestRecordCommands : public QObject
{
    Q_OBJECT
private slots:
    void init() { RecordClipboard::ClearForTesting(); }

    // Copy and paste between windows: pasted at the current line (so the last
    // ends up first), refused where the serial is known, Cancel stops.
    void copyAndPaste()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* north = ActiveListWindow();
        OpenDocument(f.sample("south.csv"));
        frmDMA* south = ActiveListWindow();
        const QList<qint32> copied = {serialAt(north, 1), serialAt(north, 2), serialAt(north, 3)};
        north->ShowLine(1);
        selectLines(north, {1, 2, 3});
        main->command("mnuEditCopy")->trigger();
        QCOMPARE(RecordClipboard::Records().size(), 3);
        selectLines(north, {});
        main->command("mnuEditCopy")->trigger(); // nothing selected: the clipboard stays
        QCOMPARE(RecordClipboard::Records().size(), 3);

        south->ShowLine(2);
        const qint32 oldSecond = serialAt(south, 2);
        main->command("mnuEditPaste")->trigger();
        QCOMPARE(serialAt(south, 2), copied[2]);
        QCOMPARE(serialAt(south, 3), copied[1]);
        QCOMPARE(serialAt(south, 4), copied[0]);
        QCOMPARE(serialAt(south, 5), oldSecond);
        QCOMPARE(south->SelLine, 2);
        QVERIFY(south->document().AskForSave);
        QCOMPARE(main->statusText(), LangText(191) + eight(copied[2]) + LangText(352));

        // Back into the window they came from: every serial is known there.
        north->ShowLine(1);
        const QString refused = ": " + LangText(143);
        f.prompts.message(Box::OKCancel, MsgAnswer::OK, QString::number(copied[0]) + refused);
        f.prompts.message(Box::OKCancel, MsgAnswer::Cancel, QString::number(copied[1]) + refused);
        main->command("mnuEditPaste")->trigger();
        QCOMPARE(north->RecordCount(), 40);
    }

    // Cut copies every selected logger and removes those the user agrees to.
    void cutWithMixedAnswers()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        const qint32 a = serialAt(list, 2), b = serialAt(list, 3), c = serialAt(list, 4);
        selectLines(list, {2, 3, 4});
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, removeQuestion(list, a), list->caption());
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, removeQuestion(list, b));
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, removeQuestion(list, c));
        main->command("mnuEditCut")->trigger();
        QCOMPARE(list->RecordCount(), 38);
        QVERIFY(!list->GetRecFromSerial(a) && list->GetRecFromSerial(b) &&
                !list->GetRecFromSerial(c));
        QCOMPARE(RecordClipboard::Records().size(), 3);
        QVERIFY(list->document().AskForSave);
    }

    // A full list takes no more: paste and add say so and change nothing.
    void aFullListTakesNoMore()
    {
        GuiFixture f;
        frmMain* main = f.start();
        QCOMPARE(WriteSampleDatabase(f.path("full.csv"), 6999, 1), 0);
        OpenDocument(f.path("full.csv"));
        frmDMA* list = ActiveListWindow();
        RecordClipboard::Records() = {list->record(1)};
        RecordClipboard::Records()[0].Serial = 12999999;
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(618));
        main->command("mnuEditPaste")->trigger();
        QCOMPARE(list->RecordCount(), 6999);
        f.prompts.modal("frmAddNewLogger", [](QDialog& d) {
            auto& add = static_cast<frmAddNewLogger&>(d);
            QTest::keyClicks(add.mskSerial, "12999998");
            add.cmdOK->click();
            return add.result();
        });
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(618));
        main->command("mnuLoggerAdd")->trigger();
        QCOMPARE(list->RecordCount(), 6999);
    }

    void addLogger()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        auto answer = [&f](const QString& typed) {
            f.prompts.modal("frmAddNewLogger", [typed](QDialog& d) {
                auto& add = static_cast<frmAddNewLogger&>(d);
                if (typed.isNull()) {
                    add.cmdCancel->click();
                } else {
                    QTest::keyClicks(add.mskSerial, typed);
                    add.cmdOK->click();
                }
                return add.result();
            });
        };
        answer(QString()); // cancelled: nothing happens
        main->command("mnuLoggerAdd")->trigger();
        answer("13000000");
        f.prompts.message(Box::Plain, MsgAnswer::OK, "13000000" + LangText(132));
        main->command("mnuLoggerAdd")->trigger();
        answer(eight(serialAt(list, 5)));
        f.prompts.message(Box::Plain, MsgAnswer::OK, eight(serialAt(list, 5)) + LangText(133));
        main->command("mnuLoggerAdd")->trigger();
        QCOMPARE(list->RecordCount(), 40);

        answer("01999999");
        main->command("mnuLoggerAdd")->trigger();
        QCOMPARE(list->RecordCount(), 41);
        QCOMPARE(serialAt(list, 41), 1999999);
        QCOMPARE(list->SelLine, 41);
        QVERIFY(App::Editor()->isVisible());
        QVERIFY(list->document().AskForSave);
    }

    void removeLogger()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        list->ShowLine(4);
        const qint32 fourth = serialAt(list, 4);
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, removeQuestion(list, fourth));
        main->command("mnuLoggerRemove")->trigger();
        QCOMPARE(main->statusText(), LangText(135));
        QCOMPARE(list->RecordCount(), 40);
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, removeQuestion(list, fourth));
        main->command("mnuLoggerRemove")->trigger();
        QCOMPARE(main->statusText(), LangText(134));
        QCOMPARE(list->RecordCount(), 39);
        QVERIFY(!list->GetRecFromSerial(fourth));
        QCOMPARE(DMAModule().Records(RecordStore::kScratchSlot).Serial, fourth);
    }

    void changeSerial_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("changed");
        QTest::newRow("same") << "01001237"
                              << "01001237" + LangText(138) << false;
        QTest::newRow("invalid") << "13000000"
                                 << "13000000" + LangText(132) << false;
        QTest::newRow("in use") << "01002474" << LangText(139) + "01002474" + LangText(140)
                                << false;
        QTest::newRow("new") << "01999999"
                             << "01001237" + LangText(141) + "01999999" << true;
    }
    void changeSerial()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(bool, changed);
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        list->ShowLine(1);
        f.prompts.input(typed);
        f.prompts.message(Box::Plain, MsgAnswer::OK, message);
        main->command("mnuLoggerChangeSerial")->trigger();
        QCOMPARE(f.prompts.shown.first(), LangText(137) + "01001237");
        QCOMPARE(serialAt(list, 1), changed ? 1999999 : 1001237);
        QCOMPARE(list->document().AskForSave, changed); // closing asks before losing it
    }

    void changeDeployDate()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        list->ShowLine(3);
        const QString shownBefore =
            QString::fromStdString(list->record(list->recordIndexOfLine(3)).Deployed.str());
        const std::string fourthBefore = list->record(list->recordIndexOfLine(4)).Deployed.str();
        QString shown;
        f.prompts.modal("DateDialog", [&](QDialog& d) {
            auto& date = static_cast<DateDialog&>(d);
            shown = date.TxtDate->text();
            date.TxtDate->setText("2003/13/01");
            date.OKButton->click(); // refused: the dialog stays
            date.TxtDate->setText(" 2005/06/07 ");
            date.OKButton->click();
            return date.result();
        });
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(385));
        main->command("mnuLoggerChangeDeployDate")->trigger();
        QCOMPARE(shown, shownBefore);
        QCOMPARE(list->record(list->recordIndexOfLine(3)).Deployed.str(),
                 std::string("2005/06/07"));
        QCOMPARE(list->document().LineText(3, LoggerList::ColDeployed), QString("2005/06/07"));
        QCOMPARE(list->record(list->recordIndexOfLine(4)).Deployed.str(), fourthBefore);
        QVERIFY(list->document().AskForSave);

        f.prompts.modal("DateDialog", [](QDialog& d) {
            auto& date = static_cast<DateDialog&>(d);
            date.TxtDate->setText("2006/01/01");
            date.ChkDoAll->setChecked(true);
            date.OKButton->click();
            return date.result();
        });
        main->command("mnuLoggerChangeDeployDate")->trigger();
        for (int i = 1; i <= list->RecordCount(); ++i)
            QCOMPARE(list->record(i).Deployed.str(), std::string("2006/01/01"));
    }

    // A run of serials; the ones the list holds are listed in a report; the
    // dialog keeps what was typed for the next run.
    void fill()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        const qint32 existing = 2000200;
        QVERIFY(list->CreateNewRecord(existing, 0, QString()) == 0);
        f.prompts.modal("FillDialog", [](QDialog& d) {
            auto& fill = static_cast<FillDialog&>(d);
            fill.TxtSerial->setText("02000100");
            fill.TxtNum->setText("3");
            fill.TxtIncr->setText("100");
            fill.CheckBoxUseGrid->setChecked(true);
            fill.txtGridRef->setStored("99999998");
            fill.OKButton->click();
            return fill.result();
        });
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(146));
        main->command("mnuLoggerFill")->trigger();
        QCOMPARE(Globals().FillIncrement, 100);
        const int first = list->GetRecFromSerial(2000100), third = list->GetRecFromSerial(2000300);
        QVERIFY(first && third);
        // The location wraps after 99999998, and the skipped serial uses up 0.
        QCOMPARE(list->record(first).GridRef.str(), std::string("AA 9999 9998"));
        QCOMPARE(list->record(third).GridRef.str(), std::string("AA 0000 0001"));
        QCOMPARE(main->statusText(), LangText(146));
        frmDocument* report = frontViewer(main);
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), "north.csv" + LangText(148) + ".log");
        QCOMPARE(report->text(), LangText(147) + "\n02000200\n");

        // The next Fill shows what was typed; Cancel makes nothing.
        QString keptNum;
        f.prompts.modal("FillDialog", [&keptNum](QDialog& d) {
            auto& fill = static_cast<FillDialog&>(d);
            keptNum = fill.TxtNum->text();
            fill.CancelButton->click();
            return fill.result();
        });
        const int before = list->RecordCount();
        main->command("mnuLoggerFill")->trigger();
        QCOMPARE(keptNum, QString("3"));
        QCOMPARE(list->RecordCount(), before);

        // A clean run says so in the status bar; the dialog refuses bad entries.
        f.prompts.modal("FillDialog", [](QDialog& d) {
            auto& fill = static_cast<FillDialog&>(d);
            fill.TxtSerial->setText("02500000");
            fill.TxtNum->setText("0");
            fill.OKButton->click(); // 395, stays open
            fill.TxtNum->setText("2");
            fill.TxtIncr->setText("0");
            fill.OKButton->click(); // 251, stays open
            fill.TxtIncr->setText("1");
            fill.CheckBoxUseGrid->setChecked(false);
            fill.OKButton->click();
            return fill.result();
        });
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(395));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(251));
        main->command("mnuLoggerFill")->trigger();
        QCOMPARE(main->statusText(), LangText(145));
        QVERIFY(list->GetRecFromSerial(2500001));
    }

    void findCommands()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        main->command("mnuSearchFindNext")->trigger(); // before any Find: nothing
        const QString wanted = list->document().LineText(7, LoggerList::ColComment1);
        f.prompts.input(wanted);
        main->command("mnuSearchrFind")->trigger();
        QCOMPARE(list->SelLine, 7);
        QCOMPARE(f.prompts.shown.last(), LangText(149));
        main->command("mnuSearchFindNext")->trigger(); // the only match, found again
        QCOMPARE(list->SelLine, 7);
        f.prompts.input(QString()); // cancelled: Find Next has nothing to go on with
        main->command("mnuSearchrFind")->trigger();
        list->ShowLine(2);
        main->command("mnuSearchFindNext")->trigger();
        QCOMPARE(list->SelLine, 2);
    }

    void newWindowFromCurrent()
    {
        GuiFixture f;
        frmMain* main = f.start();
        f.file("three.csv", "h,h\r\n1000001,\"AB 1234 5678\",\"a\",\"b\",\"2003/01/01\",\"\","
                            "\"2003/02/01\",\"L\",40,10,\"note\"\r\n"
                            "1000002,\"AB 1234 5678\",\"a\",\"b\",\"\",\"\"\r\n"
                            "1000003,\"AB 1234 5678\",\"a\",\"b\",\"\",\"\"\r\n");
        OpenDocument(f.path("three.csv"));
        main->command("mnuFileNewWin")->trigger();
        frmDMA* fresh = ActiveListWindow();
        QCOMPARE(fresh->caption(), QString("three.csv"));
        QCOMPARE(fresh->document().DMAName, QString("three.csv"));
        QVERIFY(fresh->document().AskForSave && fresh->document().NeverBeenSaved);
        QCOMPARE(fresh->RecordCount(), 3);
        const LoggerRecord& r = fresh->record(1);
        QCOMPARE(r.Serial, 1000001);
        QCOMPARE(r.GridRef.str(), std::string(kAbsentGridRef));
        QVERIFY(r.Comment1.empty() && r.Deployed.empty() && r.Date[1].empty() && r.Level[1] == 0);
        QCOMPARE(r.UserComments.str(), std::string("comment"));

        App::SetActiveList(NewDocument()); // an empty window bound
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(150));
        main->command("mnuFileNewWin")->trigger();
        fresh->document().AskForSave = false;
    }

    // File > Add most recent patrol: the report, the backup, the message, and
    // the database opened merged.
    void mergeCommand()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QByteArray header = "h,h\r\n";
        const QByteArray db = header +
                              "1000001,\"AB 1234 5678\",\"\",\"\",\"\",\"\",\"2003/01/01\","
                              "\"N\",20,5,\"\"\r\n";
        const QString database = f.file("north.csv", db);
        QDir().mkpath(f.path("patrol"));
        QFile::copy(f.file("p.csv", header + "1000001,\"AB 1234 5678\",\"\",\"\",\"\",\"\","
                                             "\"2003/02/01\",\"L\",50,5,\"\"\r\n"),
                    f.path("patrol/north.csv"));
        OpenDocument(f.path("patrol/north.csv"));
        frmDMA* patrol = ActiveListWindow();
        patrol->document().AskForSave = true;

        f.prompts.openFile(f.path("notes.txt"));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(316));
        main->command("mnuFileMerge")->trigger();

        f.prompts.openFile(database);
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(225) + database + ".000");
        main->command("mnuFileMerge")->trigger();
        QCOMPARE(readBytes(database + ".000"), db);
        QVERIFY(!patrol->document().AskForSave);
        frmDMA* merged = ActiveListWindow();
        QVERIFY(merged != patrol);
        QCOMPARE(merged->caption(), database);
        QCOMPARE(merged->record(1).Level[1], qint16(50));
        QCOMPARE(merged->record(1).Level[2], qint16(20));
        QList<QString> titles;
        for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
            titles << sub->widget()->windowTitle();
        QVERIFY(titles.contains(LangText(224) + "north.csv.log"));
    }
};

QTEST_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
