#include "GuiTest.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "Documents.h"
#include "KorvalindTalk.h"
#include "TestSupport.h"
#include "TransferFolders.h"
#include "TransferProgress.h"
#include "frmDMAEdit.h"
#include "frmOptions.h"
#include "frmSelection.h"

#include <QtWidgets>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#endif

namespace {

// The transfer window left to close when the program ends; *shown gets what
// it said, then, under Details, the command line, whole on one line.
void runToEnd(GuiFixture& f, QString* shown = nullptr)
{
    f.prompts.modal("frmTransfer", [shown](QDialog& d) {
        auto& w = static_cast<TransferProgress&>(d);
        if (shown)
            [&] {
                w.show();
                QVERIFY(!w.lblCommand->isVisible());
                w.cmdDetails->click();
                QVERIFY(w.lblCommand->isVisible() && !w.lblCommand->wordWrap());
                QVERIFY(w.lblCommand->width() >= w.lblCommand->sizeHint().width());
                *shown = w.lblWhat->text() + '|' + w.lblCommand->text();
            }();
        return Prompts::RunModal(d);
    });
}

QString exe(const QString& name, const QString& folder = QUORVANE_BIN_DIR)
{
    return folder + "/" + name + (QSysInfo::productType() == "windows" ? ".exe" : "");
}

// The stand-ins beside the program; the handheld, the walk-by folder and a
// log of the command lines in the test's folder.
struct StandIns
{
    explicit StandIns(GuiFixture& f) : fixture(f)
    {
        for (const char* name : {"KorvalindTalk", "catcom32"})
            QFile::copy(exe(name), exe(name, f.programFolder()));
        qputenv("KORVALINDTALK_HANDHELD", f.path("handheld").toLocal8Bit());
        qputenv("KORVALINDTALK_LOG", f.path("transfer.log").toLocal8Bit());
        qputenv("CATCOM32_WALKBY_FOLDER", f.path("walkby").toLocal8Bit());
        QDir().mkpath(f.path("handheld"));
    }
    ~StandIns()
    {
        for (const char* v : {"KORVALINDTALK_HANDHELD", "KORVALINDTALK_LOG", "KORVALINDTALK_FAULT",
                              "CATCOM32_WALKBY_FOLDER"})
            qunsetenv(v);
    }
    frmMain* start() { return main = fixture.start(); }
    QString program() const
    {
        return QDir::toNativeSeparators(exe("KorvalindTalk", fixture.programFolder()));
    }
    // A transfer run to its end under this fault, then these messages.
    void run(const char* command, const char* fault = nullptr, const QStringList& messages = {},
             QString* shownLine = nullptr)
    {
        fault ? qputenv("KORVALINDTALK_FAULT", fault) : qunsetenv("KORVALINDTALK_FAULT");
        runToEnd(fixture, shownLine);
        for (const QString& m : messages)
            fixture.prompts.message(Box::Plain, MsgAnswer::OK, m);
        main->command(command)->trigger();
    }
    // The handheld holds this list (as a sample file sent as a list).
    void handheldHolds(const char* sample, const QString& as)
    {
        RecordStore store;
        QCOMPARE(ReadDatabaseFile(store, fixture.sample(sample, as + ".csv")), 0);
        QCOMPARE(WriteKorvalindFile(store, fixture.path("handheld/" + as)), 0);
    }
    GuiFixture& fixture;
    frmMain* main = nullptr;
};

// The selection window with these keys ticked.
void tick(GuiFixture& f, const QStringList& keys, QString* caption = nullptr)
{
    f.prompts.modal("frmSelection", [keys, caption](QDialog& d) {
        auto& sel = static_cast<frmSelection&>(d);
        if (caption) { // the title, if the window shows it whole: bold, beside three buttons
            sel.show();
            QFont bold = sel.font();
            bold.setBold(true);
            const int needed = QFontMetrics(bold).horizontalAdvance(sel.windowTitle()) + 100;
            *caption = sel.width() > needed ? sel.windowTitle() : "cut off";
        }
        for (const QString& key : keys)
            sel.setChecked(key, true);
        sel.CommandOK->click();
        return sel.result();
    });
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    // The command lines, and what the window shows. An installed program
    // cannot write beside itself: the folders are then the user's.
    void commandLine()
    {
        for (const bool readOnly : {false, true}) {
            GuiFixture f;
            StandIns s(f);
            qputenv("XDG_DATA_HOME", f.path("data").toLocal8Bit());
            const auto restore = qScopeGuard([&f] {
                SetProgramFolderWritableForTesting(-1);
                QFile::setPermissions(f.programFolder(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                qunsetenv("XDG_DATA_HOME");
            });
            if (readOnly) {
                QFile::setPermissions(f.programFolder(), QFile::ReadOwner | QFile::ExeOwner);
                // Permissions do not stop the superuser the tests may run as.
                if (QTemporaryFile(f.programFolder() + "/probe-XXXXXX").open())
                    SetProgramFolderWritableForTesting(0);
            }
            frmMain* main = s.start();
            const QString base =
                QDir::toNativeSeparators(readOnly ? f.path("data") : f.programFolder());
            QVERIFY2(KorvalindFromDir().startsWith(base), qPrintable(KorvalindFromDir()));
            QCOMPARE(QFileInfo::exists(f.programFolder() + "/korvalind"), !readOnly);
            QString shown;
            s.run("mnuKorvalindFromAll", nullptr, {LangText(209)}, &shown);
            QCOMPARE(shown, LangText(726) + "1...|\"" + s.program() + "\" Direct ComPort=1 READ " +
                                KorvalindFromDir());
            Globals().UseModem = true;
            Globals().NumberToDial = "0123";
            Globals().ComPort = 2;
            s.run("mnuKorvalindToAll", nullptr, {}, &shown);
            QCOMPARE(shown.section('|', 0, 0), LangText(723) + LangText(724) + "2" + LangText(725) +
                                                   "0123"); // no list to name
            QCOMPARE(QString(readBytes(f.path("transfer.log"))),
                     "Direct|ComPort=1|READ|" + KorvalindFromDir() +
                         "\nModem=0123|ComPort=2|WRITE|" + KorvalindToDir() + "\n");
            QVERIFY(main->statusText().isEmpty());
        }
    }

    // A transfer program that is missing or cannot be started is named with
    // the reason, once; nothing is received, counted or reported as sent.
    void programThatCannotRun()
    {
        GuiFixture f;
        StandIns s(f);
        s.handheldHolds("north.csv", "north.PDB");
        frmMain* main = s.start();
        OpenDocument(f.sample("north.csv"));
        const QString program = s.program();
        // None; one without an execute bit (which stops even the superuser).
        for (const int message : {208, 641}) {
            QFile::remove(program);
            if (message == 641)
                QVERIFY(writeBytes(program, readBytes(exe("KorvalindTalk"))) &&
                        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner));
            const QString told = LangText(message) + program;
            f.prompts.message(Box::Plain, MsgAnswer::OK, told);
            main->command("mnuKorvalindFromAll")->trigger();
            QVERIFY(listWindows(main).size() == 1 &&
                    Globals().DownLoadCount == ProgramSettings().DownLoadCount);
            QVERIFY(message == 208 || f.prompts.shown.last().size() > told.size() + 2); // why
            // An error file of an earlier transfer is not this send's result.
            QVERIFY(writeBytes(KorvalindFromDir() + "/xfer.err", "17\r\nBattery low\r\n"));
            f.prompts.message(Box::Plain, MsgAnswer::OK, told);
            main->command("mnuKorvalindToAll")->trigger();
            QVERIFY(main->statusText().isEmpty());
        }
    }

    // Received files open as unsaved numbered windows, a damaged one reported;
    // nothing received is said, and why. Cancel ends a hanging program, and
    // what it half-received is not opened.
    void receiveAll()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = s.start();
        s.handheldHolds("north.csv", "a-north.PDB");
        s.handheldHolds("south.csv", "b-south.PDB");
        s.handheldHolds("north.csv", "c-north.PDB");
        Globals().DownLoadCount = 7;
        s.run("mnuKorvalindFromAll");
        const QList<frmDMA*> lists = listWindows(main);
        QCOMPARE(lists.size(), 3);
        QCOMPARE(lists[0]->caption(), LangText(210) + "7 a-north.PDB");
        QCOMPARE(lists[2]->caption(), LangText(210) + "9 c-north.PDB");
        QCOMPARE(Globals().DownLoadCount, qint16(10));
        const LoggerList& second = lists[1]->document();
        QVERIFY(second.AskForSave && second.NeverBeenSaved && second.DMAName == "b-south.PDB");

        s.run("mnuKorvalindFromAll", "damaged", {FileErrorText(8, false)});
        QCOMPARE(listWindows(main).size(), 5);
        QCOMPARE(Globals().DownLoadCount, qint16(12));
        s.run("mnuKorvalindFromAll", "nofile", {LangText(209)});
        QCOMPARE(listWindows(main).size(), 5);
        qputenv("KORVALINDTALK_FAULT", "hang");
        qint64 pid = 0;
        f.prompts.modal("frmTransfer", [&pid](QDialog& d) {
            auto& progress = static_cast<TransferProgress&>(d);
            pid = progress.process().processId();
            writeBytes(KorvalindFromDir() + "/half.PDB", "1000001");
            QTimer::singleShot(300, progress.cmdCancel, &QPushButton::click);
            return Prompts::RunModal(d);
        });
        main->command("mnuKorvalindFromAll")->trigger();
        QCOMPARE(main->statusText(), LangText(730));
        QVERIFY(pid > 0);
#ifdef Q_OS_UNIX
        QVERIFY(::kill(pid_t(pid), 0) == -1 && errno == ESRCH); // ended and gone
#endif
        QCOMPARE(listWindows(main).size(), 5);

        s.run("mnuKorvalindFromAll", "error");
        QCOMPARE(main->statusText(), QString("The Korvalind's battery is low."));
        // A send looks in the "from" folder too, where the old file still is.
        SetStatusText(QString());
        s.run("mnuKorvalindToAll");
        QVERIFY(main->statusText().startsWith("The Korvalind's battery is low."));
        // A stand-in told of no handheld never passes for the real program.
        qunsetenv("KORVALINDTALK_HANDHELD");
        s.run("mnuKorvalindToAll");
        QVERIFY(main->statusText().contains("KORVALINDTALK_HANDHELD"));
    }

    // An error file read safely whatever it holds, and only when it is a file.
    // Only plain .pdb files in the "from" folder; one separator after a root.
    void transferFiles()
    {
        // Its contents, or what stands there instead of a file.
        const std::tuple<QByteArray, int, QString> cases[] = {
            {"23", 23, "23"},
            {"oops\r\nNo link\r\n", 0, "No link"},
            {"", 0, ""},
            {"5\r\n" + QByteArray(4 << 20, 'x'), 5, QString(64 * 1024 - 3, 'x')},
            {"a pipe", 0, ""}};
        for (const auto& [bytes, number, shown] : cases) {
            QTemporaryDir dir;
            const QString err = dir.filePath("xfer.err");
            if (bytes != "a pipe")
                QVERIFY(writeBytes(err, bytes));
#ifdef Q_OS_UNIX
            else
                QVERIFY(::mkfifo(qPrintable(err), 0600) == 0);
#else
            else
                continue; // no pipes here
#endif
            QString text = "unset";
            QCOMPARE(KorvalindTalk::ReadTransferError(dir.path(), &text), number);
            QCOMPARE(text, shown);
            QCOMPARE(KorvalindTalk::ReadTransferError(dir.filePath("none"), &text), -999);
        }
        QTemporaryDir dir;
        for (const char* name : {"b.pdb", "a.PDB", "c.txt"})
            writeBytes(dir.filePath(name), "x");
        QDir().mkpath(dir.filePath("folder.pdb"));
        QTemporaryDir elsewhere;
        writeBytes(elsewhere.filePath("secret.pdb"), "x");
        QFile::link(elsewhere.filePath("secret.pdb"), dir.filePath("link.pdb"));
        QCOMPARE(KorvalindTalk::ListReceivedFiles(dir.path()),
                 QStringList({QDir::toNativeSeparators(dir.filePath("a.PDB")),
                              QDir::toNativeSeparators(dir.filePath("b.pdb"))}));
        const QString sep = QDir::separator();
        QCOMPARE(TransferFolderUnder("/", "from"), "/korvalind" + sep + "from");
        QCOMPARE(TransferFolderUnder("C:\\", "from"), "C:\\korvalind" + sep + "from");
    }

    // Only what is ticked goes; each list goes under its name as a .PDB.
    void selectionsAndNames()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = s.start();
        s.handheldHolds("north.csv", "north.PDB");
        s.handheldHolds("south.csv", "south.PDB");
        runToEnd(f);
        QString caption;
        tick(f, {QDir::toNativeSeparators(KorvalindFromDir() + "/south.PDB")}, &caption);
        main->command("mnuKorvalindFromSome")->trigger();
        QCOMPARE(caption, LangText(211));
        QVERIFY(listWindows(main).size() == 1 &&
                listWindows(main)[0]->document().DMAName == "south.PDB");

        QDir(f.path("handheld")).removeRecursively();
        OpenDocument(f.sample("north.csv"));
        tick(f, {"x1"}, &caption); // the second window
        QString shown;
        s.run("mnuKorvalindToSome", nullptr, {}, &shown);
        QCOMPARE(caption, LangText(212));
        QCOMPARE(shown.section('|', 0, 0), LangText(723) + " north.csv" + LangText(724) + "1");
        QCOMPARE(main->statusText(), "north.csv" + LangText(728));
        QCOMPARE(QDir(f.path("handheld")).entryList(QDir::Files), QStringList({"north.PDB"}));

        int copy = 0; // a copy each: a file is shown in one window only
        for (const char* name : {"north.csv", "north", "NORTH.PDB"}) {
            OpenDocument(f.sample("south.csv", copy++ ? QString("south%1.csv").arg(copy) : ""));
            ActiveListWindow()->document().DMAName = name;
        }
        NewDocument(); // no loggers: not sent
        s.run("mnuKorvalindToAll");
        const QStringList held = QDir(f.path("handheld")).entryList(QDir::Files, QDir::Name);
#ifdef Q_OS_WIN
        QCOMPARE(held, QStringList({"north.PDB", "south.PDB"}));
#else
        QCOMPARE(held, QStringList({"NORTH.PDB", "north.PDB", "south.PDB"}));
#endif
        // north.csv and north make the same file: the user is told which lists did not go.
        QVERIFY2(main->statusText().contains(LangText(728) + "  " + LangText(620)),
                 qPrintable(main->statusText()));
        QVERIFY(main->statusText().contains(f.path("south.csv")));
    }

    void options()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const auto inOptions = [&f, main](std::function<void(frmOptions&)> work) {
            f.prompts.modal("frmOptions",
                            inWindow([work](QDialog& d) { work(static_cast<frmOptions&>(d)); }));
            main->command("mnuKorvalindOptions")->trigger();
        };
        Globals().ComPort = 9;                        // shown as Com1, and so 1
        Globals().BrenvaskDirectory = f.path("gone"); // shown as missing
        inOptions([&f](frmOptions& o) {
            // A cable dials no number.
            QVERIFY(o.OptionComPort[0]->isChecked() && o.lblHubMissing->isVisibleTo(&o) &&
                    !o.mskEdNumberToDial->isEnabled());
            o.optConnectionType[1]->click();
            QVERIFY(o.mskEdNumberToDial->isEnabled() && o.labNumberToDial->isEnabled());
            o.OptionComPort[2]->click(); // takes effect at once
            for (const char* bad : {"0", "10000000", "abc"}) {
                f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(251));
                o.TxtSerialIncr->setText(bad);
                o.cmdOK->click(); // refused: stays open
                QCOMPARE(o.result(), 0);
            }
            o.cmdCancel->click();
        });
        QCOMPARE(Globals().ComPort, qint16(3));
        QCOMPARE(Globals().FillIncrement, 1);

        OpenDocument(f.sample("north.csv"));
        const QString hub = f.path("hub");
        QDir().mkpath(hub);
        inOptions([&hub](frmOptions& o) {
            QCOMPARE(o.FrameComPort->title(), LangText(241) + "3");
            o.TxtSerialIncr->setText("25");
            o.ChkEnableHistoryEdit->setChecked(true);
            o.txtBrenvaskDirectory->setText(hub);
            o.cboAddress2->setCurrentIndex(1); // Lat/Long
            o.optConnectionType[1]->click();
            o.cmdOK->click();
        });
        QCOMPARE(Globals().FillIncrement, 25);
        QVERIFY(Globals().EnHistEdit && Globals().UseModem);
        QCOMPARE(SettingsStore::text(Setting::Address2), QString("1"));
        // The open editor at once.
        QCOMPARE(qobject_cast<frmDMAEdit*>(App::Editor())->lblComment2->text(), "Lat/Long");

        // Only an existing folder becomes the hub folder; the first format is "0".
        for (const QString& folder : {hub, f.path("no-such-folder"), f.sample("south.csv")}) {
            inOptions([&folder, &hub](frmOptions& o) {
                o.txtBrenvaskDirectory->setText(folder);
                QCOMPARE(o.lblHubMissing->isVisibleTo(&o), folder != hub);
                o.cboAddress2->setCurrentIndex(0);
                o.cmdOK->click();
            });
            QVERIFY(Globals().BrenvaskDirectory == hub &&
                    SettingsStore::text(Setting::BrenvaskDirectory) == hub);
        }
        QCOMPARE(SettingsStore::text(Setting::Address2), QString("0"));
    }

    // The download program runs while the user downloads; the first walk-by
    // file comes in and is kept as .bak.
    void walkBy()
    {
        GuiFixture f;
        StandIns s(f);
        frmMain* main = f.start();
        const QString folder = f.path("walkby");
        Globals().TrundlexPath = folder;
        QDir().mkpath(folder);
        // A line too long to be a record is passed over whole, and counted.
        const QByteArray lines = QByteArray(64 * 1024 - 1, 'x') +
                                 "1,1900004,0,01/01/2005,0,a,b,c,1\r\n"
                                 "1,1900002,0,01/01/2005,0,a,b,c,1\r\n"
                                 "1,13000000,0,01/01/2005,0,a,b,c,1\r\n";
        writeBytes(folder + "/a.txt", lines);
        writeBytes(folder + "/a.bak", "older");
        frmDMA* list = (OpenDocument(f.sample("north.csv")), ActiveListWindow());
        const auto imported = [&f, main](const QString& after527) {
            if (!after527.isEmpty())
                f.prompts.message(Box::Plain, MsgAnswer::OK, after527);
            f.prompts.message(Box::Plain, MsgAnswer::OK, "13000000" + LangText(523) + "3");
            f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(526));
            main->command("mnuFileImport")->trigger();
        };
        // The user downloads: the program leaves its file before OK is pressed.
        f.prompts.messageWhile(Box::Plain, MsgAnswer::OK, LangText(527), [&folder] {
            QTRY_COMPARE(QDir(folder).entryList({"*.txt"}).size(), 2);
        });
        imported(QString());
        QVERIFY(list->GetRecFromSerial(1900002) && !list->GetRecFromSerial(1900004));
        QCOMPARE(readBytes(folder + "/a.bak"), lines);
        QVERIFY(!list->GetRecFromSerial(1900001)); // its file waits for the next import

        // A program that has already ended is not asked to close.
        qunsetenv("CATCOM32_WALKBY_FOLDER"); // the stand-in refuses and ends
        const auto ends = [&f, main] {
            f.prompts.messageWhile(Box::Plain, MsgAnswer::OK, LangText(527), [main] {
                auto* program = main->findChild<QProcess*>("catcom32");
                QVERIFY(program);
                QTRY_COMPARE(program->state(), QProcess::NotRunning);
            });
        };
        ends();
        imported(LangText(640) + LangText(642));
        // One new logger; the known ones replaced.
        QVERIFY(list->RecordCount() == 42 && list->GetRecFromSerial(1900001));
        QCOMPARE(QDir(folder).entryList({"*.txt"}), QStringList());

        // No walk-by file: 519 with the folder and a separator; nothing changes.
        ends();
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(640));
        f.prompts.message(Box::Plain, MsgAnswer::OK,
                          LangText(519) + " " + QDir::toNativeSeparators(folder) +
                              QDir::separator());
        main->command("mnuFileImport")->trigger();
        QCOMPARE(list->RecordCount(), 42);

        QFile::remove(exe("catcom32", f.programFolder()));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(519) + " ");
        main->command("mnuFileImport")->trigger();
    }
};

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
