// Every place the program writes a user's file, under every fault: the old
// file stays whole, nothing half-written is left, the user is told, and once
// the fault is gone the same write succeeds.
#include "GuiTest.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "ListWindowFeature.h"
#include "MapFeature.h"
#include "ProgramPrinter.h"
#include "Report.h"
#include "ReportDrawing.h"
#include "SampleData.h"
#include "TestSupport.h"
#include "TransferFolders.h"
#include "WriteFaults.h"
#include "frmCowlGraph.h"
#include "frmDocument.h"
#include "frmMap.h"
#include "frmPrintSetup.h"

#include <QImage>
#include <QPrinter>
#include <QPushButton>

namespace {

struct Run
{
    FaultFolder folder; // goes last: the windows' locks are in it
    GuiFixture f;
    frmMain* main = f.start();
    Fault fault{};
    QString target; // the user's file
    QByteArray old; // and what it held before
    frmDMA* list = nullptr;
    std::unique_ptr<QWidget> window;
    ~Run()
    {
        ResetMapForTesting();
        SetPrintersInstalledForTesting(-1);
        ProgramPrinter().setOutputFileName(QString());
        ProgramPrinter().setOutputFormat(QPrinter::NativeFormat);
        qunsetenv("KORVALINDTALK_HANDHELD");
    }
    // The north sample open, with one logger changed since it was read.
    void openChanged(const QString& path)
    {
        list = static_cast<frmDMA*>(OpenDocument(path));
        LoggerRecord changed = list->record(1);
        changed.Comment1 = std::string("Changed on the round");
        list->ModifyRecordBySerialNo(changed);
    }
    void replacing(bool failing, const QString& message, int buttons = Box::Plain)
    {
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, target);
        if (failing)
            f.prompts.message(buttons, MsgAnswer::OK, message);
    }
};

bool isDatabase(const QString& path)
{
    RecordStore store;
    return ReadDatabaseFile(store, path) == 0 && store.StoreCount > 0;
}

void openNorth(Run& r)
{
    r.openChanged(r.f.sample("north.csv"));
}

// A patrol list named as the database, its loggers new to it.
void preparePatrol(Run& r)
{
    QFile::copy(QUORVANE_SOURCE_DIR "/samples/north.csv", r.target);
    QDir().mkpath(r.f.path("patrol"));
    WriteSampleDatabase(r.f.path("patrol/north.csv"), 150, 5, 5000);
    OpenDocument(r.f.path("patrol/north.csv"));
}

std::function<void(Run&, bool)> merge(int failure)
{
    return [failure](Run& r, bool failing) {
        r.f.prompts.openFile(r.target);
        // A folder that cannot be written refuses the backup before the result.
        const int says = r.fault == Fault::ReadOnly ? 635 : failure;
        r.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(failing ? says : 225));
        r.main->command("mnuFileMerge")->trigger();
    };
}

bool mergedWhole(Run& r)
{
    RecordStore store;
    return ReadDatabaseFile(store, r.target) == 0 && store.StoreCount > 150;
}

void prepareMap(Run& r)
{
    openNorth(r);
    r.main->command("mnuViewMap")->trigger();
    MapWindow()->resize(800, 600);
    if (!QTest::qWaitForWindowExposed(MapWindow()))
        QTest::qFail("map not shown", __FILE__, __LINE__);
}

void saveMap(Run& r, bool failing)
{
    r.f.prompts.saveFile(r.target, "map.png");
    r.replacing(failing, LangText(777));
    MapWindow()->findChild<QAction*>("cmdSave")->trigger();
}

bool wholePdf(Run& r)
{
    return readBytes(r.target).startsWith("%PDF") &&
           readBytes(r.target).trimmed().endsWith("%%EOF");
}

// The sample, copied to the user's file, open and changed.
std::function<void(Run&)> openedSample(const char* name)
{
    return [name](Run& r) {
        QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/samples/") + name, r.target);
        r.openChanged(r.target);
    };
}

// Saving under a name chosen in the save dialog, over the old file: the
// failure told with these buttons, or the success when there is one to tell.
std::function<void(Run&, bool)> savedAs(std::function<void(Run&)> save, int failure,
                                        int buttons = Box::Plain, int success = 0)
{
    return [=](Run& r, bool failing) {
        r.f.prompts.saveFile(r.target);
        r.replacing(failing, LangText(failure), buttons);
        if (!failing && success)
            r.f.prompts.message(Box::Information, MsgAnswer::OK, LangText(success));
        save(r);
    };
}

std::function<void(Run&)> trigger(const char* command)
{
    return [command](Run& r) { r.main->command(command)->trigger(); };
}

// A command that writes without asking, and says so when it cannot.
std::function<void(Run&, bool)> command(const char* name, int failure)
{
    return [=](Run& r, bool failing) {
        if (failing)
            r.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(failure));
        r.main->command(name)->trigger();
    };
}

// The lists for the handheld go into the "to" folder beside the program (here
// the fault's), from where the transfer program copies them onto it.
void sendToHandheld(Run& r, bool failing)
{
    if (failing)
        r.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(173));
    r.f.prompts.modal("frmTransfer", [](QDialog& d) { return Prompts::RunModal(d); });
    r.main->command("mnuKorvalindToAll")->trigger();
}

// The north sample sent once, then changed again.
void prepareHandheld(Run& r)
{
    const QString program = r.folder.folder();
    SetProgramFolderForTesting(program);
    QFile::copy(QUORVANE_SOURCE_DIR "/lang/lang_en.txt", program + "/lang_en.txt");
    QFile::copy(QUORVANE_BIN_DIR "/KorvalindTalk", program + "/KorvalindTalk");
    qputenv("KORVALINDTALK_HANDHELD", r.f.path("handheld").toLocal8Bit());
    r.target = r.f.path("handheld/north.PDB");
    if (!PrepareTransferFolders())
        return;
    openNorth(r);
    sendToHandheld(r, false);
    LoggerRecord again = r.list->record(1);
    again.Comment1 = std::string("Changed on the next round");
    r.list->ModifyRecordBySerialNo(again);
    ClearToFolder(); // its room is not the room the fault leaves
}

struct WritePath
{
    const char* name;
    const char* file;
    qint64 partway; // bytes into a file where the fault bites
    std::function<void(Run&)> prepare;
    std::function<void(Run&, bool failing)> write; // queues the user's answers and writes
    std::function<bool(Run&)> written;             // the new file is there, whole
    const char* kept = nullptr; // may stay beside the file after a failure, a copy of the old one
};

const std::vector<WritePath>& paths()
{
    static const std::vector<WritePath> all = {
        {"list save", "north.csv", 8192, openedSample("north.csv"), command("mnuFileSave", 173),
         [](Run& r) { return isDatabase(r.target) && !r.list->document().AskForSave; }},
        {"list save as", "copy.csv", 8192,
         [](Run& r) {
             QFile::copy(QUORVANE_SOURCE_DIR "/samples/south.csv", r.target);
             r.openChanged(r.f.sample("north.csv"));
         },
         savedAs(trigger("mnuFileSaveAs"), 173),
         [](Run& r) { return isDatabase(r.target) && r.list->caption() == r.target; }},
        {".pdb to .csv", "east.pdb", 2048, openedSample("east.pdb"), command("mnuFileSave", 173),
         [](Run& r) {
             return isDatabase(r.folder.path("east.csv")) &&
                    readBytes(r.folder.path("east.pdbold")) ==
                        readBytes(QUORVANE_SOURCE_DIR "/samples/east.pdb");
         }},
        {"merge's backup", "north.csv", 8192, preparePatrol, merge(635), mergedWhole,
         "north.csv.0*"},
        {"merge's result", "north.csv", 36 << 10, preparePatrol, merge(173), mergedWhole,
         "north.csv.0*"},
        {"text viewer", "notes.txt", 8192,
         [](Run&) { OpenTextReport("Notes", QString(60000, 'n')); },
         savedAs(trigger("mnuFileSave"), 173),
         [](Run& r) { return readBytes(r.target) == QByteArray(60000, 'n'); }},
        {"histogram export", "chart.csv", 256,
         [](Run& r) {
             auto* graph = new frmCowlGraph(r.main);
             r.window.reset(graph);
             graph->chart->setCounts({});
         },
         savedAs([](Run& r) { static_cast<frmCowlGraph*>(r.window.get())->cmdSave_Click(); }, 173),
         [](Run& r) {
             return readBytes(r.target) ==
                    static_cast<frmCowlGraph*>(r.window.get())->exportBytes();
         }},
        {"GIS export", "north.gpkg", 16384, openNorth,
         savedAs(trigger("mnuFileExport"), 794, MsgButtons::Exclamation, 795),
         [](Run& r) { return readBytes(r.target).startsWith("SQLite format 3"); }},
        {"map picture", "map.png", 2048, prepareMap, saveMap,
         [](Run& r) { return !QImage(r.target).isNull(); }},
        {"map PDF", "map.pdf", 2048, prepareMap, saveMap, wholePdf},
        {"report PDF", "report.pdf", 4096,
         [](Run& r) {
             openNorth(r);
             PrintIntoPdf(r.target);
             SetPrintersInstalledForTesting(1);
         },
         [](Run& r, bool failing) {
             r.f.prompts.modal("frmPrintSetup", inWindow([](QDialog& d) {
                                   static_cast<frmPrintSetup&>(d).OKButton->click();
                               }));
             if (failing)
                 r.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(623));
             r.main->command("mnuFilePrint")->trigger();
         },
         wholePdf},
        {"report PDF of the tool", "tool.pdf", 4096, openNorth,
         [](Run& r, bool failing) {
             ReportOptions history;
             history.history = true;
             const Report report = BuildReport(r.list->document(), history);
             QCOMPARE(PrintReportToPdf(report, ReportFont(), r.target), !failing);
         },
         wholePdf},
        {"settings", "settings.ini", 128,
         [](Run& r) {
             SettingsStore::useFileForTesting(r.target);
             SaveSettings(r.main);
         },
         [](Run& r, bool failing) {
             Globals().NumberToDial = failing ? "01234 567890" : "09876 543210";
             if (failing)
                 r.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(850));
             SaveSettings(r.main);
         },
         [](Run& r) { return readBytes(r.target).contains("09876 543210"); }, "settings.ini.kept"},
        {"list for the handheld", "", 2048, prepareHandheld, sendToHandheld,
         [](Run& r) {
             return readBytes(r.target) != r.old && !readBytes(r.target).isEmpty() &&
                    QDir(KorvalindToDir()).entryList(QDir::Files | QDir::Hidden) ==
                        QStringList("north.PDB");
         }},
    };
    return all;
}

} // namespace

class TestWriteFaults : public QObject
{
    Q_OBJECT
private slots:
    void writeUnderFault_data()
    {
        QTest::addColumn<int>("path");
        QTest::addColumn<int>("faultNumber");
        const char* faults[] = {"size limit", "disk full", "read-only folder", "killed"};
        for (size_t p = 0; p < paths().size(); ++p)
            for (int f = int(Fault::SizeLimit); f <= int(Fault::Killed); ++f)
                QTest::addRow("%s, %s", paths()[p].name, faults[f]) << int(p) << f;
    }

    void writeUnderFault()
    {
        QFETCH(int, path);
        QFETCH(int, faultNumber);
        const Fault fault = Fault(faultNumber);
        const WritePath& w = paths()[size_t(path)];
        Run r;
        r.fault = fault;
        r.target = r.folder.path(w.file);
        w.prepare(r);
        if (!QFile::exists(r.target))
            writeBytes(r.target, "the old file\r\n");
        r.old = readBytes(r.target);
        const QStringList before = r.folder.entries();
        QVERIFY(!r.old.isEmpty());
        QVERIFY(r.folder.run(fault, w.partway, [&] { w.write(r, fault != Fault::Killed); }));
        QCOMPARE(readBytes(r.target), r.old);
        QVERIFY(r.f.prompts.done());
        QStringList left = r.folder.entries();
        for (const QString& name : r.folder.entries())
            if (before.contains(name) ||
                (w.kept && QDir::match(w.kept, name) && readBytes(r.folder.path(name)) == r.old))
                left.removeOne(name);
        // A writer killed outright cannot tidy up its temporary files.
        static const QRegularExpression temporary(
            "\\.[A-Za-z0-9]{6}$|\\.lock$|\\.lock\\.user$|(^|/)\\..*\\.printing$");
        if (fault == Fault::Killed)
            left.removeIf([](const QString& name) { return temporary.match(name).hasMatch(); });
        QCOMPARE(left, QStringList());
        w.write(r, false);
        QVERIFY(r.f.prompts.done());
        QVERIFY(w.written(r));
    }
};

QTEST_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"
