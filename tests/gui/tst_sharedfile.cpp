// A database file that someone else changes or has open: another program
// writing it, or another copy of this program (a second process) holding it.

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "DocumentLock.h"
#include "Documents.h"
#include "GuiTest.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QProcess>
#include <cstdio>

namespace {

// The file as another program leaves it: the first logger's address changed.
QByteArray theirVersion(const QString& path)
{
    RecordStore store;
    ReadDatabaseFile(store, path);
    store.Records(1).Comment1 = "theirs";
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    WriteDatabase(store, out);
    return out.data();
}

void editFirstLogger(frmDMA* list)
{
    LoggerRecord r = list->record(1);
    r.Comment1 = "ours";
    list->document().Put(1, r);
    list->document().AskForSave = true;
}

// Another user's copy of the program: this test program started again with
// --hold FILE, which keeps the file open until it is killed.
class OtherCopy
{
public:
    OtherCopy(const QString& file, const QString& tempFolder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"USER", "USERNAME"})
            env.insert(name, "colleague");
        for (const char* name : {"TMPDIR", "TMP", "TEMP"}) // its settings go there
            env.insert(name, tempFolder);
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationFilePath(), {"--hold", file});
        QByteArray said;
        while (!said.contains("open\n") && process.waitForReadyRead(60000))
            said += process.readAllStandardOutput();
        opened = said.contains("open\n");
    }
    ~OtherCopy()
    {
        process.kill();
        process.waitForFinished(60000);
    }
    QProcess process;
    bool opened = false;
};

int holdOpen(const QString& file)
{
    GuiFixture f;
    if (listWindows(f.start({file})).size() != 1)
        return 2;
    std::puts("open");
    std::fflush(stdout);
    return QApplication::exec();
}

} // namespace

class TestSharedFile : public QObject
{
    Q_OBJECT

private slots:
    // Saving over a file someone changed since it was read asks first:
    // overwrite, save under another name, or not save. A file only touched
    // is saved without a word, and so is the next save.
    void savingOverAChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("pdb");
        QTest::newRow("touched") << "touch" << 0 << false;
        QTest::newRow("overwrite") << "write" << int(MsgAnswer::Yes) << false;
        QTest::newRow("save as") << "write" << int(MsgAnswer::No) << false;
        QTest::newRow("cancel") << "write" << int(MsgAnswer::Cancel) << false;
        QTest::newRow("pdb, cancel") << "write" << int(MsgAnswer::Cancel) << true;
    }
    void savingOverAChange()
    {
        QFETCH(QString, change);
        QFETCH(int, answer);
        QFETCH(bool, pdb);
        GuiFixture f;
        const QString file = f.sample(pdb ? "east.pdb" : "north.csv"), mine = f.path("mine.csv");
        frmMain* main = f.start({file});
        frmDMA* list = ActiveListWindow();
        editFirstLogger(list);
        const QByteArray theirs = theirVersion(file);
        QVERIFY(change != "write" || writeBytes(file, theirs));
        QVERIFY(shiftModificationTime(file, 10));
        if (answer)
            f.prompts.message(MsgButtons::YesNoCancel + MsgButtons::Exclamation +
                                  MsgButtons::SecondDefault,
                              answer, LangText(880) + "\n" + file);
        if (answer == MsgAnswer::No)
            f.prompts.saveFile(mine);
        main->command("mnuFileSave")->trigger();
        QVERIFY(f.prompts.done());
        QCOMPARE(list->document().AskForSave, answer == MsgAnswer::Cancel);
        QVERIFY(!QFile::exists(f.path("east.csv")) && !QFile::exists(f.path("east.pdbold")));
        if (answer == MsgAnswer::Cancel || answer == MsgAnswer::No)
            QCOMPARE(readBytes(file), theirs);
        if (answer == MsgAnswer::Cancel)
            return;
        QCOMPARE(list->caption(), answer == MsgAnswer::No ? mine : file);
        QVERIFY(readBytes(list->caption()).contains("\"ours\""));
        list->document().AskForSave = true;
        main->command("mnuFileSave")->trigger();
    }

    // A window without changes of its own offers to load its file again
    // when it comes forward after someone changed the file; the answer holds
    // until the file changes again.
    void reloadOffered_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("answer");
        QTest::newRow("load again") << "write" << false << int(MsgAnswer::Yes);
        QTest::newRow("keep") << "write" << false << int(MsgAnswer::No);
        QTest::newRow("changes of its own") << "write" << true << 0;
        QTest::newRow("touched") << "touch" << false << 0;
    }
    void reloadOffered()
    {
        QFETCH(QString, change);
        QFETCH(bool, edited);
        QFETCH(int, answer);
        GuiFixture f;
        const QString file = f.sample("north.csv");
        frmMain* main = f.start({file, f.sample("south.csv")});
        frmDMA* list = listWindows(main)[0];
        if (edited)
            editFirstLogger(list);
        QVERIFY(change != "write" || writeBytes(file, theirVersion(file)));
        QVERIFY(shiftModificationTime(file, 10));
        if (answer)
            f.prompts.message(MsgButtons::YesNo + MsgButtons::Question, answer,
                              LangText(884) + "\n" + file + "\n\n" + LangText(885));
        for (int twice = 0; twice < 2; ++twice) // asked once
            for (frmDMA* w : {listWindows(main)[1], list}) {
                main->mdiArea()->setActiveSubWindow(
                    qobject_cast<QMdiSubWindow*>(w->parentWidget()));
                for (int i = 0; i < 3; ++i) // the look at the file waits for the activation
                    QCoreApplication::processEvents();
            }
        QVERIFY(f.prompts.done());
        QCOMPARE(list->record(1).Comment1.view() == "theirs", answer == MsgAnswer::Yes);
        QCOMPARE(list->document().AskForSave, edited);
        list->document().AskForSave = true;
        if (answer == MsgAnswer::Yes) // what was loaded is what it saves over
            main->command("mnuFileSave")->trigger();
    }

    // Another copy has the file open: the user is told who and since when
    // and may open it read-only; such a window saves only under another name,
    // which then becomes its own. A lock left by a copy that crashed says
    // nothing; one left on another computer long ago may be taken over. A
    // lock is released on close.
    void otherCopy_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<int>("answer");
        QTest::newRow("read-only") << "live" << int(MsgAnswer::Yes);
        QTest::newRow("not opened") << "live" << int(MsgAnswer::No);
        QTest::newRow("crashed") << "crashed" << 0;
        QTest::newRow("old, read-only") << "old" << int(MsgAnswer::Yes);
        QTest::newRow("old, take over") << "old" << int(MsgAnswer::No);
        QTest::newRow("old, cancel") << "old" << int(MsgAnswer::Cancel);
    }
    void otherCopy()
    {
        QFETCH(QString, holder);
        QFETCH(int, answer);
        GuiFixture f;
        const QString file = f.sample("north.csv"), mine = f.path("mine.csv");
        const QByteArray before = readBytes(file);
        const QString lockFile = DocumentLock::lockPathFor(file);
        QTemporaryDir temp;
        std::optional<OtherCopy> other;
        if (holder == "old") {
            QVERIFY(writeBytes(lockFile, "4242\nquorvane\nPC-17\nmachine\nboot\n"));
            QVERIFY(shiftModificationTime(lockFile, -13 * 3600));
        } else {
            QVERIFY(other.emplace(file, temp.path()).opened && QFile::exists(lockFile));
        }
        if (holder == "crashed")
            other.reset(); // killed: its lock stays behind
        QCOMPARE(QFile::exists(lockFile + ".user"), holder != "old");
        const QString who = holder == "old"
                                ? LangText(890) + LangText(872) + "PC-17"
                                : "colleague" + LangText(872) + QSysInfo::machineHostName();
        if (answer)
            f.prompts.message(
                MsgButtons::Exclamation +
                    (holder == "old" ? MsgButtons::YesNoCancel : MsgButtons::YesNo),
                answer,
                file + "\n" + LangText(871) + who + LangText(873) +
                    QFileInfo(lockFile).lastModified().toString("yyyy/MM/dd HH:mm:ss"));
        frmMain* main = f.start({file});
        QVERIFY(f.prompts.done());
        if (answer == MsgAnswer::Cancel || (answer == MsgAnswer::No && holder == "live")) {
            QVERIFY(listWindows(main).isEmpty());
            if (answer == MsgAnswer::Cancel)
                return;
            // Nor is it written into: Save As refuses, saying who has it; the merge asks first.
            const QString patrol = f.path("patrol/north.csv");
            QVERIFY(QDir().mkpath(f.path("patrol")) && QFile::copy(file, patrol));
            OpenDocument(patrol);
            f.prompts.saveFile(file);
            f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + file);
            f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(870) + "\n" + file);
            main->command("mnuFileSaveAs")->trigger();
            f.prompts.openFile(file);
            f.prompts.message(MsgButtons::YesNo + MsgButtons::Exclamation +
                                  MsgButtons::SecondDefault,
                              MsgAnswer::No, LangText(887));
            main->command("mnuFileMerge")->trigger();
            QVERIFY(f.prompts.done());
            QCOMPARE(readBytes(file), before);
            QCOMPARE(ActiveListWindow()->caption(), patrol);
            return;
        }
        frmDMA* list = ActiveListWindow();
        editFirstLogger(list);
        const bool readOnly = answer == MsgAnswer::Yes;
        QCOMPARE(list->windowTitle(), readOnly ? file + LangText(878) : file);
        if (readOnly) { // the same name again is refused
            f.prompts.saveFile(file);
            f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + file);
            f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(879));
            f.prompts.saveFile(mine);
        }
        main->command("mnuFileSave")->trigger();
        QVERIFY(f.prompts.done());
        const QString saved = readOnly ? mine : file;
        QCOMPARE(list->caption(), saved);
        QVERIFY(readBytes(saved).contains("\"ours\"") && !list->isReadOnly());
        QVERIFY(!readOnly || readBytes(file) == before);
        QVERIFY(DocumentLock(saved).heldByThisProcess());
        list->parentWidget()->close();
        QVERIFY(!QFile::exists(DocumentLock::lockPathFor(saved)));
    }

    // A folder where no lock can be made still opens its files, saying so in
    // the status bar only.
    void noLockPossible_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("read-only folder") << "north.csv";
        QTest::newRow("name too long for a lock") << QString(251, 'n') + ".csv";
    }
    void noLockPossible()
    {
        QFETCH(QString, name);
        GuiFixture f;
        const QString folder = f.path("shared"), file = folder + "/" + name;
        QVERIFY(QDir().mkpath(folder) && QFile::copy(f.sample("north.csv"), file));
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        if (name == "north.csv") {
            QVERIFY(QFile::setPermissions(folder, all & ~QFile::WriteOwner));
            if (QFile(folder + "/probe").open(QIODevice::WriteOnly))
                QSKIP("this user writes in any folder");
        }
        frmMain* main = f.start({file});
        QFile::setPermissions(folder, all);
        QCOMPARE(listWindows(main).size(), 1);
        QVERIFY(!ActiveListWindow()->isReadOnly() &&
                !QFile::exists(DocumentLock::lockPathFor(file)));
        QCOMPARE(main->statusText(), LangText(889));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0)
        return holdOpen(QString::fromLocal8Bit(argv[2]));
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestSharedFile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sharedfile.moc"
