#include "GuiTest.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "Documents.h"
#include "RecordChecks.h"
#include "RichText.h"
#include "TestSupport.h"
#include "TransferFolders.h"
#include "frmDMA.h"
#include "frmDocument.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextEdit>

namespace {
// The windows left once those closed are gone.
int windowCount(frmMain* main)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return int(main->mdiArea()->subWindowList().size());
}

// The bytes the tool's convert writes for a file: what saving it must write.
QByteArray convertedBytes(const QString& path)
{
    RecordStore store;
    if (ReadDatabaseFile(store, path) != 0)
        return {};
    for (int i = 1; i <= store.StoreCount; ++i)
        TidyReadings(store.Records(i));
    QTemporaryDir dir;
    WriteDatabaseFile(store, dir.filePath("x.csv"));
    return readBytes(dir.filePath("x.csv"));
}

// A database of one logger, and a patrol window of its name bound to the editor.
frmDMA* patrolFor(GuiFixture& f, const QString& database, int level)
{
    const QByteArray line = "1000001,\"AB 1234 5678\",\"\",\"\",\"\",\"\",\"2003/01/01\",\"N\",";
    f.file(database, "h,h\r\n" + line + "20,5,\"\"\r\n");
    QDir().mkpath(f.path("patrol"));
    const QString patrol = f.path("patrol/" + QFileInfo(database).completeBaseName() + ".csv");
    writeBytes(patrol, "h,h\r\n" + QByteArray(line).replace("2003/01/01", "2003/02/01") +
                           QByteArray::number(level) + ",5,\"\"\r\n");
    OpenDocument(patrol);
    return ActiveListWindow();
}
} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT
    std::optional<GuiFixture> f; // a fresh program for every test
    frmMain* main = nullptr;

private slots:
    void init() { main = f.emplace().start(); }
    void cleanup() { f.reset(); }

    // Open, Save and Save As; a document never saved goes through Save As.
    void openAndSave()
    {
        main->command("mnuFileNew")->trigger();
        frmDMA* second = NewDocument();
        QCOMPARE(second->document().DMAName, LangText(126) + "0002.CSV");
        QVERIFY(second->document().NeverBeenSaved);
        // A new window binds the editor only once it holds records.
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(129));
        main->command("mnuFileSave")->trigger();

        const QString north = f->sample("north.csv");
        f->prompts.openFile(north);
        main->command("mnuFileOpen")->trigger();
        frmDMA* list = ActiveListWindow();
        QVERIFY(list);
        QVERIFY(!list->document().AskForSave && !list->document().NeverBeenSaved);
        QCOMPARE(Globals().DefaultPath, QFileInfo(north).absolutePath());

        list->document().AskForSave = true;
        main->command("mnuFileSave")->trigger();
        QVERIFY(!list->document().AskForSave);
        QCOMPARE(readBytes(north), convertedBytes(f->sample("north.csv", "fresh.csv")));

        // Save As to a file that exists asks first; No leaves it alone.
        const QString other = f->sample("south.csv", "other.csv");
        const QByteArray before = readBytes(other);
        f->prompts.saveFile(other, "north.csv");
        f->prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + other + "?", "Quorvane");
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(readBytes(other), before);
        QCOMPARE(list->caption(), north);

        list->document().NeverBeenSaved = true;
        for (auto [name, proposed] : {std::pair("Dma0003.CSV", "Dma0003.CSV"),
                                      {"ABC.PDB", "ABC.csv"},
                                      {"untitled", "untitled.csv"}}) {
            list->document().DMAName = name;
            f->prompts.saveFile(QString(), proposed); // cancelled
            main->command("mnuFileSave")->trigger();
            QVERIFY(list->document().NeverBeenSaved);
        }
        f->prompts.saveFile(f->path("abc.csv"));
        main->command("mnuFileSave")->trigger();
        QVERIFY(QFile::exists(f->path("abc.csv")));
        QVERIFY(!list->document().NeverBeenSaved);
    }

    // A file that cannot be read whole is reported once, with the line at
    // fault, and opens nothing; duplicated serials open only after Yes.
    void openingAFaultyFile()
    {
        const QByteArray line = ",\"AB 1234 5678\"\r\n";
        const QString path = f->file("x.csv", "h,h\r\n1234567" + line + "13000000" + line);
        f->prompts.message(Box::Plain, MsgAnswer::OK, FileErrorText(8, false));
        OpenDocument(path);
        QCOMPARE(windowCount(main), 0);
        QVERIFY(main->mruCaptions().first().isEmpty());
        QVERIFY(
            f->prompts.shown.last().endsWith(LangText(179) + "3" + LangText(180) + ":\n" + path));

        f->file("dup.csv", "h,h\r\n1234567" + line + "1234567" + line + "2000000" + line);
        f->prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(122), f->path("dup.csv"));
        OpenDocument(f->path("dup.csv"));
        QCOMPARE(windowCount(main), 0);
        f->prompts.message(Box::YesNoStop, MsgAnswer::Yes, "1\t01234567\t1");
        OpenDocument(f->path("dup.csv"));
        QCOMPARE(windowCount(main), 2);
        auto* report = qobject_cast<frmDocument*>(main->mdiArea()->subWindowList()[0]->widget());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), LangText(124) + "dup.csv.log");
        QVERIFY(report->text().endsWith("1\t01234567\t1\n"));
        QVERIFY(report->modified()); // filled after loading: closing asks
        QCOMPARE(ActiveListWindow()->RecordCount(), 3);
    }

    // Saving a ".pdb" renames it to a new backup and writes a ".csv" beside it.
    void pdbConversion_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("csvName");
        QTest::addColumn<bool>("older"); // a backup and a ".csv" are there already
        QTest::newRow("upper case") << "EAST.PDB" << QString("EAST.csv") << false;
        QTest::newRow("older backup and csv") << "east.pdb" << QString("east.csv") << true;
    }
    void pdbConversion()
    {
        QFETCH(QString, name);
        QFETCH(QString, csvName);
        QFETCH(bool, older);
        const QString pdb = f->sample("east.pdb", name), csv = f->path(csvName);
        const QString base = pdb.left(pdb.size() - 4);
        const QByteArray original = readBytes(pdb), existing = older ? "older" : "";
        if (older) {
            f->file("east.pdbold", existing);
            f->file(csvName, existing);
        }
        OpenDocument(pdb);
        frmDMA* list = ActiveListWindow();
        if (older) { // No writes and renames nothing
            f->prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + csv);
            main->command("mnuFileSave")->trigger();
            QCOMPARE(readBytes(csv), existing);
            QVERIFY(QFile::exists(pdb));
            f->prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + csv);
        }
        main->command("mnuFileSave")->trigger();
        QVERIFY(!QFile::exists(pdb));
        const QString backup = base + (older ? ".pdbold2" : ".pdbold");
        QCOMPARE(readBytes(backup), original);
        QCOMPARE(readBytes(base + ".pdbold") == existing, older);
        QCOMPARE(list->caption(), csv);
        QCOMPARE(list->document().DMAName, csvName);
        QCOMPARE(main->mruCaptions().first(), csv);
        QCOMPARE(main->statusText(),
                 LangText(700) + csvName + LangText(701) + QFileInfo(backup).fileName());
        QCOMPARE(readBytes(csv), convertedBytes(backup));
    }

    // A failed save changes nothing, on disk or on the window, and names the
    // logger whose text the file cannot hold; it keeps a closing window open.
    void failedSaveAndClose()
    {
        const QString north = f->sample("north.csv");
        const QByteArray before = readBytes(north);
        OpenDocument(north);
        frmDMA* list = ActiveListWindow();
        list->document().AskForSave = true;
        LoggerRecord r = list->record(3);
        r.Comment1 = "Mill Lane, north";
        QVERIFY(list->document().Put(3, r));
        f->prompts.message(Box::Plain, MsgAnswer::OK,
                           FileErrorText(FileResult::UnwritableText, false) + "\n" + LangText(191) +
                               QString::fromLatin1(FormatSerial(r.Serial).c_str()));
        QVERIFY(!SaveDocument(list, north));
        QCOMPARE(readBytes(north), before);
        QVERIFY(list->document().AskForSave);
        QCOMPARE(list->caption(), north);

        const QString target = f->path("gone/north.csv");
        list->setCaption(target);
        const QString question = LangText(228) + target + "?";
        list->parentWidget()->showMaximized(); // the main window's title names it
        const QString title = main->windowTitle();
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel, question, "Quorvane");
        main->command("mnuFileClose")->trigger();
        QCOMPARE(main->windowTitle(), title);
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, question, "Quorvane");
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(173));
        main->command("mnuFileClose")->trigger();
        QVERIFY(App::IsObjectAlive(list));
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::No, question);
        main->command("mnuFileClose")->trigger();
        QCOMPARE(windowCount(main), 0);
        QVERIFY(!ActiveListWindow());
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(129));
        main->command("mnuFileClose")->trigger();
    }

    // Exit asks about each modified document; Cancel to any question leaves
    // every window as it was, whatever was answered before.
    void exitAsksAndCancelStopsIt()
    {
        const QString a = f->sample("north.csv"), b = f->sample("south.csv");
        OpenDocument(a);
        frmDMA* first = ActiveListWindow();
        first->PutLocalRecByIndex(0, 1); // a change to save: record 1 := an empty record
        first->document().AskForSave = true;
        OpenDocument(b); // unmodified
        frmDMA* untitled = NewDocument();
        untitled->document().AskForSave = true;
        const QString aboutA = LangText(228) + a + "?";
        const QString aboutUntitled = LangText(228) + untitled->document().DMAName + "?";
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::No, aboutA);
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel, aboutUntitled);
        main->command("mnuFileExit")->trigger();
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel, aboutA);
        QVERIFY(!main->close()); // closing the main window is the same Exit
        QCOMPARE(windowCount(main), 3);
        QVERIFY(first->document().AskForSave && untitled->document().AskForSave);
        QCOMPARE(ReadDatabaseFile(a), 0);

        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, aboutA);
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::No, aboutUntitled);
        QVERIFY(main->close());
        QCOMPARE(ReadDatabaseFile(a), 8); // record 1, now empty, was saved
    }

    void recentlyUsedFiles()
    {
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths << f->sample("north.csv", QString("n%1.csv").arg(i));
        OpenDocument(paths[0]);
        // Only entries that hold a file are shown.
        QVERIFY(main->mnuFileMRU[0]->isVisible() && !main->mnuFileMRU[1]->isVisible());
        for (int i = 1; i < 5; ++i)
            OpenDocument(paths[i]);
        QCOMPARE(main->mruCaptions(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
        main->mdiArea()->subWindowList()[2]->close(); // n3.csv, already listed: the order stays
        main->mnuFileMRU[2]->trigger();
        QCOMPARE(ActiveListWindow()->caption(), paths[2]);
        QCOMPARE(main->mruCaptions(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
        // A file received from the handheld is a temporary file: not listed.
        const QString received = KorvalindFromDir() + "/n1.pdb";
        QVERIFY(QFile::copy(paths[0], received));
        QVERIFY(OpenDocument(received, true));
        QCOMPARE(main->mruCaptions(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
        QVERIFY(main->close());
        // The next run shows them again, but for one an older run kept of the handheld's.
        SettingsStore::setText(Setting::MRU2, received);
        QCOMPARE(f->start()->mruCaptions(), QStringList({paths[4], paths[2], paths[1], ""}));
    }

    // A file named relative to the working folder is known by its whole
    // path. A file a window shows, however it comes and its path is written,
    // brings that window forward; a file received from the handheld opens
    // anew, and its Save As starts where files were last saved, not in its
    // temporary folder, as the bound window's starts in its own.
    void aFileShownIsNotOpenedTwice()
    {
        QVERIFY(QDir().mkpath(f->path("data/sub")));
        const QString north = f->sample("north.csv", "data/north.csv");
        QDir::setCurrent(f->path("data"));
        OpenDocument("north.csv");
        frmDMA* shown = ActiveListWindow();
        QCOMPARE(shown->caption(), north);
        QCOMPARE(main->mruCaptions().first(), north);
        shown->document().AskForSave = true; // edits a second window would lose
        shown->MakeVisibleListLine(3);
        OpenDocument(f->sample("south.csv", "data/south.csv"));
        frmDMA* other = ActiveListWindow();
        QList<std::function<void()>> ways = {[&] { OpenDocument("../north.csv"); },
                                             [&] {
                                                 f->prompts.openFile(f->path("data/./north.csv"));
                                                 main->command("mnuFileOpen")->trigger();
                                             },
                                             [&] { main->mnuFileMRU[1]->trigger(); }};
#ifdef Q_OS_UNIX
        QVERIFY(QFile::link(north, f->path("link.csv")));
        ways << [&] { OpenDocument(f->path("link.csv")); };
#endif
        QDir::setCurrent(f->path("data/sub"));
        for (const auto& open : ways) {
            other->ShowLine(1);
            open();
            QCOMPARE(windowCount(main), 2);
            QCOMPARE(ActiveListWindow(), shown);
            QCOMPARE(main->activeChild(), shown);
            QCOMPARE(shown->SelLine, 3);
            QVERIFY(shown->document().AskForSave);
        }
        QDir::setCurrent(QDir::tempPath());
        QVERIFY(OpenDocument(north, true) != shown);
        const QString received = KorvalindFromDir() + "/south.pdb";
        QVERIFY(QFile::copy(f->sample("south.csv"), received));
        frmDMA* patrol = qobject_cast<frmDMA*>(OpenDocument(received, true));
        QCOMPARE(windowCount(main), 4);
        patrol->document().NeverBeenSaved = true; // as the transfer leaves it
        patrol->setCaption("Received 1 south.pdb");
        f->prompts.saveFile(QString(), "south.csv");
        main->command("mnuFileSaveAs")->trigger();
        shown->ShowLine(1);
        f->prompts.saveFile(QString(), "north.csv");
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(f->prompts.saveFolders, QStringList({f->path("data"), f->path("data")}));
    }

    // The window showing the merged database comes forward, reloaded unless
    // it holds edits (then the user is told the file now differs).
    void mergeResultsShownOnce()
    {
        const QString database = f->path("north.csv");
        frmDMA* patrol = patrolFor(*f, "north.csv", 50);
        OpenDocument(database);
        frmDMA* shown = ActiveListWindow();
        patrol->ShowLine(1);
        f->prompts.openFile(database);
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(225) + database + ".000");
        main->command("mnuFileMerge")->trigger();
        QCOMPARE(listWindows(main).size(), 2);
        QCOMPARE(ActiveListWindow(), shown);
        QCOMPARE(shown->record(1).Level[1], qint16(50));
        QVERIFY(!shown->document().AskForSave);

        LoggerRecord newer = patrol->record(1);
        newer.Date[1] = "2003/03/01";
        newer.Level[1] = 60;
        patrol->document().Put(1, newer);
        shown->document().AskForSave = true;
        patrol->ShowLine(1);
        f->prompts.openFile(database);
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(225) + database + ".001");
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(650));
        main->command("mnuFileMerge")->trigger();
        QCOMPARE(listWindows(main).size(), 2);
        QCOMPARE(ActiveListWindow(), shown);
        QCOMPARE(shown->record(1).Level[1], qint16(50));
        QCOMPARE(ReadDatabaseFile(database), 0);
        QCOMPARE(DMAModule().Records(1).Level[1], qint16(60));

        // A merge whose write fails says so once and opens nothing.
        patrolFor(*f, "east.pdb", 70);
        QVERIFY(QDir().mkpath(f->path("east.csv"))); // where the merged database must go
        f->prompts.openFile(f->path("east.pdb"));
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(173));
        main->command("mnuFileMerge")->trigger();
        QCOMPARE(listWindows(main).size(), 3);
    }

    void textViewer()
    {
        f->file("notes.txt", "Valve 12 \xe9tat\r\nline two\r\n");
        f->prompts.openFile(f->path("notes.txt"));
        main->command("mnuFileOpen")->trigger();
        auto* viewer = qobject_cast<frmDocument*>(main->activeChild());
        QVERIFY(viewer);
        QVERIFY(!viewer->modified());

        viewer->rtfText->append("more");
        f->prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + f->path("notes.txt"));
        f->prompts.saveFile(f->path("notes.rtf"));
        main->command("mnuFileSave")->trigger();
        QCOMPARE(viewer->windowTitle(), f->path("notes.rtf"));
        QVERIFY(!viewer->modified());
        QVERIFY(readBytes(f->path("notes.rtf")).startsWith("{\\rtf1"));
        QCOMPARE(RtfToText(readBytes(f->path("notes.rtf"))), viewer->text());

        // Save As to another file that exists asks about that file; No saves nothing.
        const QByteArray other = readBytes(f->file("other.txt", "keep me\r\n"));
        f->prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + f->path("notes.rtf"));
        f->prompts.saveFile(f->path("other.txt"));
        f->prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + f->path("other.txt"));
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(readBytes(f->path("other.txt")), other);

        viewer->rtfText->append("again");
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel,
                           LangText(228) + f->path("notes.rtf") + "?");
        main->command("mnuFileClose")->trigger();
        QVERIFY(App::IsObjectAlive(viewer));
        f->prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, LangText(228));
        f->prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337));
        f->prompts.saveFile(f->path("notes.log"));
        main->command("mnuFileClose")->trigger();
        QCOMPARE(windowCount(main), 0);
        QCOMPARE(readBytes(f->path("notes.log")),
                 QByteArray("Valve 12 \xe9tat\r\nline two\r\n\r\nmore\r\nagain"));
    }

    // File > Export: a name of no format and the list's own database are
    // refused; then the count written is said.
    void exportToGis()
    {
        const QString north = f->sample("north.csv"), out = f->path("north.kml");
        OpenDocument(north);
        f->prompts.saveFile(f->path("north.txt"), "north.gpkg");
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(792));
        f->prompts.saveFile(north);
        f->prompts.message(Box::Plain, MsgAnswer::OK, LangText(793));
        f->prompts.saveFile(out);
        f->prompts.message(Box::Information, MsgAnswer::OK, LangText(795) + " 40\n" + out);
        for (int i = 0; i < 3; ++i)
            main->command("mnuFileExport")->trigger();
        QCOMPARE(readBytes(north), readBytes(QUORVANE_SOURCE_DIR "/samples/north.csv"));
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
