#include "GuiTest.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "Documents.h"
#include "KorvalindTalk.h"
#include "RecordChecks.h"
#include "TestSupport.h"
#include "TransferFolders.h"
#include "TransferProgress.h"
#include "frmDMAEdit.h"
#include "frmOptions.h"
#include "frmSelection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryFile>

namespace {

QString exe(const char* name)
{
#ifdef Q_OS_WIN
    return QString::fromLatin1(name) + ".exe";
#else
    return QString::fromLatin1(name);
#endif
}

// The stand-ins beside the program, the handheld's memory in the test's
// folder, and a log of the command lines the transfer program was given.
struct StandIns
{
    explicit StandIns(GuiFixture& f) : fixture(f)
    {
        for (const char* name : {"KorvalindTalk", "catcom32"})
            QFile::copy(QStringLiteral(QUORVANE_BIN_DIR "/") + exe(name),
                        f.programFolder() + "/" + exe(name));
        qputenv("KORVALINDTALK_HANDHELD", f.path("handheld").toLocal8Bit());
        qputenv("KORVALINDTALK_LOG", f.path("transfer.log").toLocal8Bit());
        qputenv("CATCOM32_FOLDER", f.path("walkby").toLocal8Bit());
        qunsetenv("KORVALINDTALK_FAULT");
        qunsetenv("CATCOM32_NOFILE");
        QDir().mkpath(f.path("handheld"));
    }
    ~StandIns()
    {
        for (const char* v : {"KORVALINDTALK_HANDHELD", "KORVALINDTALK_LOG", "KORVALINDTALK_FAULT",
                              "CATCOM32_FOLDER", "CATCOM32_NOFILE"})
            qunsetenv(v);
    }
    QStringList commandLines() const
    {
        return QString::fromUtf8(readBytes(fixture.path("transfer.log")))
            .split('\n', Qt::SkipEmptyParts);
    }
    // The handheld holds this list (as a sample file sent as a list).
    void handheldHolds(const char* sample, const QString& as)
    {
        RecordStore store;
        QVERIFY(ReadDatabaseFile(store, QStringLiteral(QUORVANE_SOURCE_DIR "/samples/") + sample) ==
                0);
        QCOMPARE(WriteKorvalindFile(store, fixture.path("handheld/" + as)), 0);
    }
    GuiFixture& fixture;
};

// The transfer window left to close when the program ends.
void runToEnd(GuiFixture& f, QString* shownLine = nullptr)
{
    f.prompts.modal("frmTransfer", [shownLine](QDialog& d) {
        if (shownLine)
            *shownLine = static_cast<TransferProgress&>(d).lblCommand->text();
        return Prompts::RunModal(d);
    });
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    void foldersUnderTheProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("from");
        const QString sep = QDir::separator();
        QTest::newRow("a folder") << "/opt/quorvane"
                                  << "/opt/quorvane" + sep + "korvalind" + sep + "from";
        QTest::newRow("a drive root: one separator") << "/"
                                                     << "/korvalind" + sep + "from";
        QTest::newRow("a Windows root") << "C:\\"
                                        << "C:\\korvalind" + sep + "from";
    }
    void foldersUnderTheProgram()
    {
        QFETCH(QString, program);
        QFETCH(QString, from);
        QCOMPARE(TransferFolderUnder(program, "from"), from);
    }

    // The five items, direct and by modem, and what the window shows.
    void commandLine()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        QString shown;
        runToEnd(f, &shown);
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(209));
        main->command("mnuKorvalindFromAll")->trigger();
        const QString program =
            QDir::toNativeSeparators(f.programFolder() + "/" + exe("KorvalindTalk"));
        QCOMPARE(shown, "\"" + program + "\" Direct ComPort=1 READ " + KorvalindFromDir());

        Globals().UseModem = true;
        Globals().NumberToDial = "0123";
        Globals().ComPort = 2;
        runToEnd(f, &shown);
        main->command("mnuKorvalindToAll")->trigger();
        QCOMPARE(shown, "\"" + program + "\" Modem=0123 ComPort=2 WRITE " + KorvalindToDir());
        QCOMPARE(s.commandLines(), QStringList({"Direct|ComPort=1|READ|" + KorvalindFromDir(),
                                                "Modem=0123|ComPort=2|WRITE|" + KorvalindToDir()}));
        QVERIFY(main->statusText().isEmpty());
    }

    // An installed program cannot write beside itself: the transfer folders
    // are the user's own, and the transfer program is told so.
    void readOnlyProgramFolder()
    {
        GuiFixture f;
        StandIns s(f);
        qputenv("XDG_DATA_HOME", f.path("data").toLocal8Bit());
        QFile::setPermissions(f.programFolder(), QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadGroup | QFile::ExeGroup);
        // Permissions do not stop the superuser the tests may run as.
        const bool enforced = !QTemporaryFile(f.programFolder() + "/probe-XXXXXX").open();
        if (!enforced)
            SetProgramFolderWritableForTesting(0);
        frmMain* main = f.start();
        const QString data = QDir::toNativeSeparators(f.path("data"));
        QVERIFY2(KorvalindFromDir().startsWith(data), qPrintable(KorvalindFromDir()));
        QVERIFY(QFileInfo(KorvalindFromDir()).isDir() && QFileInfo(KorvalindToDir()).isDir());
        QVERIFY(!QFileInfo::exists(f.programFolder() + "/korvalind"));
        QString shown;
        runToEnd(f, &shown);
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(209));
        main->command("mnuKorvalindFromAll")->trigger();
        QVERIFY(shown.endsWith(" READ " + KorvalindFromDir()));
        QCOMPARE(s.commandLines(), QStringList({"Direct|ComPort=1|READ|" + KorvalindFromDir()}));
        SetProgramFolderWritableForTesting(-1);
        QFile::setPermissions(f.programFolder(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qunsetenv("XDG_DATA_HOME");
    }

    void missingProgram()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QString program =
            QDir::toNativeSeparators(f.programFolder() + "/" + exe("KorvalindTalk"));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(208) + program);
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(209));
        main->command("mnuKorvalindFromAll")->trigger();
    }

    // Received files open as unsaved, untitled windows numbered from the
    // download counter; a damaged one is reported and the others still open.
    void receiveAll()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        s.handheldHolds("north.csv", "a-north.PDB");
        s.handheldHolds("south.csv", "b-south.PDB");
        s.handheldHolds("north.csv", "c-north.PDB");
        Globals().DownLoadCount = 7;
        runToEnd(f);
        main->command("mnuKorvalindFromAll")->trigger();
        const QList<frmDMA*> lists = listWindows(main);
        QCOMPARE(lists.size(), 3);
        QCOMPARE(lists[0]->caption(), LangText(210) + "7 a-north.PDB");
        QCOMPARE(lists[2]->caption(), LangText(210) + "9 c-north.PDB");
        QCOMPARE(Globals().DownLoadCount, qint16(10));
        QVERIFY(lists[1]->document().AskForSave && lists[1]->document().NeverBeenSaved);
        QCOMPARE(lists[1]->document().DMAName, QString("b-south.PDB"));
        // Every logger came back with today's reading in front.
        const LoggerRecord& r = lists[0]->record(1);
        QCOMPARE(QString::fromStdString(r.Date[1].str()),
                 QDate::currentDate().toString("yyyy/MM/dd"));
        QVERIFY(IsValidRecord(r) && !r.Status[1].empty());

        qputenv("KORVALINDTALK_FAULT", "damaged");
        runToEnd(f);
        f.prompts.message(Box::Plain, MsgAnswer::OK, FileErrorText(8, false));
        main->command("mnuKorvalindFromAll")->trigger();
        QCOMPARE(listWindows(main).size(), 5);
        QCOMPARE(Globals().DownLoadCount, qint16(12));
    }

    void nothingReceivedAndTheErrorFile()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        s.handheldHolds("north.csv", "north.PDB");
        qputenv("KORVALINDTALK_FAULT", "nofile");
        runToEnd(f);
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(209));
        main->command("mnuKorvalindFromAll")->trigger();
        QVERIFY(listWindows(main).isEmpty());

        qputenv("KORVALINDTALK_FAULT", "error");
        runToEnd(f);
        main->command("mnuKorvalindFromAll")->trigger();
        QCOMPARE(main->statusText(), QString("The Korvalind's battery is low."));
        // A send looks in the "from" folder too, where the old file still is.
        qunsetenv("KORVALINDTALK_FAULT");
        SetStatusText(QString());
        runToEnd(f);
        main->command("mnuKorvalindToAll")->trigger();
        QCOMPARE(main->statusText(), QString("The Korvalind's battery is low."));
    }

    // An error file read safely whatever it holds.
    void errorFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two lines") << QByteArray("17\r\nBattery low\r\n") << 17 << "Battery low";
        QTest::newRow("one line") << QByteArray("23") << 23 << "23";
        QTest::newRow("not a number") << QByteArray("oops\r\nNo link\r\n") << 0 << "No link";
        QTest::newRow("empty") << QByteArray() << 0 << "";
        QTest::newRow("huge") << QByteArray("5\r\n") + QByteArray(4 << 20, 'x') << 5
                              << QString(64 * 1024 - 3, 'x');
    }
    void errorFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, number);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("xfer.err"), bytes));
        QString text;
        QCOMPARE(KorvalindTalk::ReadTransferError(dir.path(), &text), number);
        QCOMPARE(text, shown);
        QCOMPARE(KorvalindTalk::ReadTransferError(dir.filePath("none"), &text), -999);
    }

    // Only plain .pdb files inside the "from" folder are taken.
    void receivedNamesAreData()
    {
        QTemporaryDir dir;
        writeBytes(dir.filePath("b.pdb"), "x");
        writeBytes(dir.filePath("a.PDB"), "x");
        writeBytes(dir.filePath("c.txt"), "x");
        QDir().mkpath(dir.filePath("folder.pdb"));
        QTemporaryDir elsewhere;
        writeBytes(elsewhere.filePath("secret.pdb"), "x");
        QFile::link(elsewhere.filePath("secret.pdb"), dir.filePath("link.pdb"));
        const QStringList files = KorvalindTalk::ListReceivedFiles(dir.path());
        QCOMPARE(files, QStringList({QDir::toNativeSeparators(dir.filePath("a.PDB")),
                                     QDir::toNativeSeparators(dir.filePath("b.pdb"))}));
    }

    void receiveSelection()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        s.handheldHolds("north.csv", "north.PDB");
        s.handheldHolds("south.csv", "south.PDB");
        runToEnd(f);
        f.prompts.modal("frmSelection", [](QDialog& d) { // nothing ticked
            auto& sel = static_cast<frmSelection&>(d);
            sel.CommandOK->click();
            return sel.result();
        });
        main->command("mnuKorvalindFromSome")->trigger();
        QVERIFY(listWindows(main).isEmpty());
        runToEnd(f);
        QString caption;
        f.prompts.modal("frmSelection", [&](QDialog& d) {
            auto& sel = static_cast<frmSelection&>(d);
            caption = sel.windowTitle();
            sel.setChecked(QDir::toNativeSeparators(KorvalindFromDir() + "/south.PDB"), true);
            sel.CommandOK->click();
            return sel.result();
        });
        main->command("mnuKorvalindFromSome")->trigger();
        QCOMPARE(caption, LangText(211));
        QCOMPARE(listWindows(main).size(), 1);
        QCOMPARE(listWindows(main)[0]->document().DMAName, QString("south.PDB"));
    }

    // Each list window goes to the handheld under its name as a .PDB.
    void sendNames()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        int copy = 0; // a copy each: a file is shown in one window only
        for (const char* name : {"north.csv", "north", "NORTH.PDB"}) {
            OpenDocument(f.sample("south.csv", copy++ ? QString("south%1.csv").arg(copy) : ""));
            ActiveListWindow()->document().DMAName = name;
        }
        NewDocument(); // no loggers: not sent
        runToEnd(f);
        main->command("mnuKorvalindToAll")->trigger();
        QStringList held = QDir(f.path("handheld")).entryList(QDir::Files, QDir::Name);
#ifdef Q_OS_WIN
        QCOMPARE(held, QStringList({"north.PDB"}));
#else
        QCOMPARE(held, QStringList({"NORTH.PDB", "north.PDB"}));
#endif
        // north.csv and north make the same file: the user is told which list did not go.
        QVERIFY(main->statusText().startsWith(LangText(620) + f.path("south.csv")));

        // With no loggers anywhere the program still runs.
        for (frmDMA* list : listWindows(main)) {
            list->document().AskForSave = false;
            list->parentWidget()->close();
        }
        runToEnd(f);
        main->command("mnuKorvalindToAll")->trigger();
        QCOMPARE(s.commandLines().size(), 2);
    }

    void sendSelection()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        OpenDocument(f.sample("south.csv"));
        f.prompts.modal("frmSelection", [](QDialog& d) {
            auto& sel = static_cast<frmSelection&>(d);
            sel.setChecked("x1", true); // the second window
            sel.CommandOK->click();
            return sel.result();
        });
        runToEnd(f);
        main->command("mnuKorvalindToSome")->trigger();
        QCOMPARE(QDir(f.path("handheld")).entryList(QDir::Files), QStringList({"south.PDB"}));
    }

    // A transfer program that hangs is ended by Cancel, and nothing
    // half-received is opened.
    void cancelAHangingTransfer()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        qputenv("KORVALINDTALK_FAULT", "hang");
        QElapsedTimer clock;
        f.prompts.modal("frmTransfer", [&clock](QDialog& d) {
            auto& progress = static_cast<TransferProgress&>(d);
            QTimer::singleShot(300, progress.cmdCancel, &QPushButton::click);
            clock.start();
            return Prompts::RunModal(d);
        });
        main->command("mnuKorvalindFromAll")->trigger();
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(listWindows(main).isEmpty());
    }

    void options()
    {
        GuiFixture f;
        frmMain* main = f.start();
        Globals().ComPort = 9; // shown as Com1, and so 1
        bool com1 = false;
        f.prompts.modal("frmOptions", [&com1](QDialog& d) {
            auto& o = static_cast<frmOptions&>(d);
            com1 = o.OptionComPort[0]->isChecked();
            o.OptionComPort[2]->click(); // takes effect at once
            o.cmdCancel->click();
            return o.result();
        });
        main->command("mnuKorvalindOptions")->trigger();
        QVERIFY(com1);
        QCOMPARE(Globals().ComPort, qint16(3));

        for (const char* bad : {"0", "10000000", "abc"}) {
            f.prompts.modal("frmOptions", [bad](QDialog& d) {
                auto& o = static_cast<frmOptions&>(d);
                o.TxtSerialIncr->setText(bad);
                o.cmdOK->click(); // refused: stays open
                const bool open = !o.result();
                o.cmdCancel->click();
                return open ? 0 : 1;
            });
            f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(251));
            main->command("mnuKorvalindOptions")->trigger();
        }
        QCOMPARE(Globals().FillIncrement, 1);

        OpenDocument(f.sample("north.csv"));
        const QString hub = f.path("hub");
        QDir().mkpath(hub);
        QString portFrame;
        f.prompts.modal("frmOptions", [&](QDialog& d) {
            auto& o = static_cast<frmOptions&>(d);
            portFrame = o.FrameComPort->title();
            o.TxtSerialIncr->setText("25");
            o.ChkEnableHistoryEdit->setChecked(true);
            o.txtBrenvaskDirectory->setText(hub);
            o.cboAddress2->setCurrentIndex(1); // Lat/Long
            o.optConnectionType[1]->click();
            o.cmdOK->click();
            return o.result();
        });
        main->command("mnuKorvalindOptions")->trigger();
        QCOMPARE(portFrame, LangText(241) + "3");
        QCOMPARE(Globals().FillIncrement, 25);
        QVERIFY(Globals().EnHistEdit && Globals().UseModem);
        QCOMPARE(Globals().BrenvaskDirectory, hub);
        QCOMPARE(SettingsStore::text(Setting::BrenvaskDirectory), hub);
        QCOMPARE(SettingsStore::text(Setting::Address2), QString("1"));
        auto* editor = qobject_cast<frmDMAEdit*>(App::Editor());
        QCOMPARE(editor->lblComment2->text(), QString("Lat/Long")); // the open editor at once

        // A hub folder that does not exist is not taken; the first format is "0".
        f.prompts.modal("frmOptions", [&](QDialog& d) {
            auto& o = static_cast<frmOptions&>(d);
            o.txtBrenvaskDirectory->setText(f.path("no-such-folder"));
            o.cboAddress2->setCurrentIndex(0);
            o.cmdOK->click();
            return o.result();
        });
        main->command("mnuKorvalindOptions")->trigger();
        QCOMPARE(Globals().BrenvaskDirectory, hub);
        QCOMPARE(SettingsStore::text(Setting::Address2), QString("0"));
    }

    // The walk-by import: the download program runs while the user is
    // asked to download, is ended, and its file comes into the list.
    void walkBy()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        Globals().TrundlexPath = f.path("walkby");
        QDir().mkpath(f.path("walkby"));
        writeBytes(f.path("walkby/walkby-older.bak"), "old");
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        // The user downloads: the program leaves its file before OK is pressed.
        f.prompts.messageWhile(Box::Plain, MsgAnswer::OK, LangText(527), [&f] {
            QTRY_VERIFY(!QDir(f.path("walkby")).entryList({"*.txt"}).isEmpty());
        });
        f.prompts.message(Box::Plain, MsgAnswer::OK, "13000000" + LangText(523) + "3");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(526));
        main->command("mnuFileImport")->trigger();
        QCOMPARE(list->RecordCount(), 41); // one new logger; the known ones replaced
        QCOMPARE(list->record(list->GetRecFromSerial(1001237)).Comment1.str(),
                 std::string("MAIN ST"));
        QVERIFY(list->GetRecFromSerial(1900001));
        const QStringList left = QDir(f.path("walkby")).entryList(QDir::Files, QDir::Name);
        QCOMPARE(left.size(), 2);
        QVERIFY(left[0].endsWith(".bak") && left[1] == "walkby-older.bak");

        // Only the first .txt file is imported; an older .bak of its name is replaced.
        qputenv("CATCOM32_NOFILE", "1");
        writeBytes(f.path("walkby/a.txt"), "1,1900002,0,01/01/2005,0,a,b,c,1\r\n");
        writeBytes(f.path("walkby/a.bak"), "older");
        writeBytes(f.path("walkby/b.txt"), "1,1900003,0,01/01/2005,0,a,b,c,1\r\n");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(527));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(526));
        main->command("mnuFileImport")->trigger();
        QVERIFY(list->GetRecFromSerial(1900002) && !list->GetRecFromSerial(1900003));
        QCOMPARE(readBytes(f.path("walkby/a.bak")),
                 QByteArray("1,1900002,0,01/01/2005,0,a,b,c,1\r\n"));
        QVERIFY(QFile::exists(f.path("walkby/b.txt")));

        // No .txt file: 527, then 519 with the folder and a separator; nothing changes.
        QFile::remove(f.path("walkby/b.txt"));
        const int before = list->RecordCount();
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(527));
        f.prompts.message(Box::Plain, MsgAnswer::OK,
                          LangText(519) + " " + QDir::toNativeSeparators(f.path("walkby")) +
                              QDir::separator());
        main->command("mnuFileImport")->trigger();
        QCOMPARE(list->RecordCount(), before);
    }

    void walkByWithoutItsProgram()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(519) + " ");
        main->command("mnuFileImport")->trigger();
        App::SetActiveList(nullptr);
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(129));
        main->command("mnuFileImport")->trigger();
    }
};

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
