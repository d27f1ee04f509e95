#include "GuiTest.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "Documents.h"
#include "RecordChecks.h"
#include "RecordEditor.h"
#include "RichText.h"
#include "TestSupport.h"
#include "TransferFolders.h"
#include "frmDMA.h"
#include "frmDocument.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTextEdit>

namespace {
int windowCount(frmMain* main)
{
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

// A database of one logger whose newest reading has this level, and a patrol
// window of the same name in a folder of its own, bound to the editor.
frmDMA* patrolFor(GuiFixture& f, const QString& database, int level)
{
    const QByteArray line = "1000001,\"AB 1234 5678\",\"\",\"\",\"\",\"\",\"2003/01/01\",\"N\",";
    f.file(database, "h,h\r\n" + line + "20,5,\"\"\r\n");
    QDir().mkpath(f.path("patrol"));
    QByteArray patrol = line;
    patrol.replace("2003/01/01", "2003/02/01");
    writeBytes(f.path("patrol/" + QFileInfo(database).completeBaseName() + ".csv"),
               "h,h\r\n" + patrol + QByteArray::number(level) + ",5,\"\"\r\n");
    OpenDocument(f.path("patrol/" + QFileInfo(database).completeBaseName() + ".csv"));
    return ActiveListWindow();
}
// The prompts as scripted, remembering the folder each save dialog opened in.
class SaveFolders : public ScriptedPrompts
{
public:
    QStringList folders;
    QString saveFileName(const QString& title, const QString& folder, const QString& fileName,
                         const QString& filter) override
    {
        folders << folder;
        return ScriptedPrompts::saveFileName(title, folder, fileName, filter);
    }
};
} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT
private slots:
    void openSaveAndReopen()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QString north = f.sample("north.csv");
        f.prompts.openFile(north);
        main->command("mnuFileOpen")->trigger();
        frmDMA* list = ActiveListWindow();
        QVERIFY(list);
        QCOMPARE(list->caption(), north);
        QCOMPARE(list->document().DMAName, QString("north.csv"));
        QVERIFY(!list->document().AskForSave && !list->document().NeverBeenSaved);
        QCOMPARE(main->mruCaptions().first(), north);
        QCOMPARE(Globals().DefaultPath, QFileInfo(north).absolutePath());

        list->document().AskForSave = true;
        main->command("mnuFileSave")->trigger();
        QVERIFY(!list->document().AskForSave);
        QCOMPARE(readBytes(north), convertedBytes(f.sample("north.csv", "fresh.csv")));

        // Save As to a file that exists asks first; No leaves it alone.
        const QString other = f.sample("south.csv", "other.csv");
        const QByteArray before = readBytes(other);
        f.prompts.saveFile(other, "north.csv");
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + other + "?", "Quorvane");
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(readBytes(other), before);
        QCOMPARE(list->caption(), north);
        f.prompts.saveFile(other, "north.csv");
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337));
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(list->caption(), other);
        QCOMPARE(readBytes(other), readBytes(north));
    }

    // A file that cannot be read whole is reported once and opens nothing.
    void openingRefusesWhatItCannotShow_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::newRow("header only") << QByteArray("\"Serial\",\"GridRef\"\r\n") << 7;
        QTest::newRow("corrupt line 3")
            << QByteArray("h,h\r\n1234567,\"AB 1234 5678\"\r\n13000000,\"AB 1234 5678\"\r\n") << 8;
    }
    void openingRefusesWhatItCannotShow()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        GuiFixture f;
        frmMain* main = f.start();
        const QString path = f.file("x.csv", content);
        f.prompts.message(Box::Plain, MsgAnswer::OK, FileErrorText(code, false));
        OpenDocument(path);
        QCOMPARE(windowCount(main), 0);
        QVERIFY(main->mruCaptions().first().isEmpty());
        QVERIFY(f.prompts.shown.first().endsWith(
            LangText(179) + QString::number(code == 8 ? 3 : 1) + LangText(180) + ":\n" + path));
    }

    void duplicatedSerials()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QByteArray line = ",\"AB 1234 5678\"\r\n";
        f.file("dup.csv", "h,h\r\n1234567" + line + "1234567" + line + "2000000" + line);
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(122), f.path("dup.csv"));
        OpenDocument(f.path("dup.csv"));
        QCOMPARE(windowCount(main), 0);
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, "1\t01234567\t1");
        OpenDocument(f.path("dup.csv"));
        QCOMPARE(windowCount(main), 2);
        auto* report = qobject_cast<frmDocument*>(main->mdiArea()->subWindowList()[0]->widget());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), LangText(124) + "dup.csv.log");
        QVERIFY(report->text().endsWith("1\t01234567\t1\n"));
        QVERIFY(report->modified()); // filled after loading: closing asks
        QCOMPARE(ActiveListWindow()->RecordCount(), 3);
    }

    void pdbConversion_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("csvName");
        QTest::newRow("lower case") << "east.pdb" << QString("east.csv");
        QTest::newRow("upper case") << "EAST.PDB" << QString("EAST.csv");
    }
    void pdbConversion()
    {
        QFETCH(QString, name);
        QFETCH(QString, csvName);
        GuiFixture f;
        frmMain* main = f.start();
        const QString pdb = f.sample("east.pdb", name);
        const QByteArray original = readBytes(pdb);
        OpenDocument(pdb);
        frmDMA* list = ActiveListWindow();
        main->command("mnuFileSave")->trigger();
        const QString base = pdb.left(pdb.size() - 4);
        QVERIFY(!QFile::exists(pdb));
        QCOMPARE(readBytes(base + ".pdbold"), original);
        QCOMPARE(list->caption(), f.path(csvName));
        QCOMPARE(list->document().DMAName, csvName);
        QCOMPARE(main->mruCaptions().first(), f.path(csvName));
        QCOMPARE(main->statusText(),
                 LangText(700) + csvName + LangText(701) + QFileInfo(base).fileName() + ".pdbold");
        QCOMPARE(readBytes(f.path(csvName)), convertedBytes(base + ".pdbold"));
    }

    // Saving a ".pdb" again never loses a backup or a ".csv" without asking.
    void pdbConversionKeepsEverything()
    {
        GuiFixture f;
        f.start();
        const QString pdb = f.sample("east.pdb");
        QFile::copy(pdb, f.path("east.pdbold"));
        const QByteArray olderBackup = readBytes(f.path("east.pdbold"));
        const QString csv = f.sample("north.csv", "east.csv");
        const QByteArray existingCsv = readBytes(csv);
        OpenDocument(pdb);
        frmDMA* list = ActiveListWindow();
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + csv);
        QVERIFY(!SaveDocument(list, pdb));
        QCOMPARE(readBytes(csv), existingCsv);
        QVERIFY(QFile::exists(pdb));
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + csv);
        QVERIFY(SaveDocument(list, pdb));
        QCOMPARE(readBytes(f.path("east.pdbold")), olderBackup);
        QVERIFY(QFile::exists(f.path("east.pdbold2")));
        QVERIFY(!QFile::exists(pdb));
    }

    // A failed save changes nothing, on disk or on the window; a text the
    // file cannot hold is never written, and the save names its logger.
    void failedSaveChangesNothing()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QString north = f.sample("north.csv");
        const QByteArray before = readBytes(north);
        OpenDocument(north);
        frmDMA* list = ActiveListWindow();
        list->document().AskForSave = true;
        const QString target = f.path("gone/north.csv");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(173));
        QVERIFY(!SaveDocument(list, target));
        QVERIFY(list->document().AskForSave);
        QCOMPARE(list->caption(), north);

        LoggerRecord r = list->record(3);
        r.Comment1 = "Mill Lane, north";
        QVERIFY(list->document().Put(3, r));
        f.prompts.message(Box::Plain, MsgAnswer::OK,
                          FileErrorText(FileResult::UnwritableText, false) + "\n" + LangText(191) +
                              QString::fromLatin1(FormatSerial(r.Serial).c_str()));
        main->command("mnuFileSave")->trigger();
        QCOMPARE(readBytes(north), before);
        QVERIFY(list->document().AskForSave);

        // Closing it: Yes tries to save, fails, and the window stays open.
        list->setCaption(target);
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, LangText(228) + target + "?");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(173));
        QVERIFY(!list->parentWidget()->close());
        QVERIFY(App::IsObjectAlive(list));
    }

    void newDocumentsAndSaveAs()
    {
        GuiFixture f;
        frmMain* main = f.start();
        main->command("mnuFileNew")->trigger();
        frmDMA* second = NewDocument();
        QCOMPARE(second->document().DMAName, LangText(126) + "0002.CSV");
        QVERIFY(second->document().NeverBeenSaved);
        QCOMPARE(second->RecordCount(), 0);
        // A new window binds the editor only once it holds records.
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(129));
        main->command("mnuFileSave")->trigger();

        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        list->document().NeverBeenSaved = true;
        list->document().DMAName = LangText(126) + "0003.CSV";
        f.prompts.saveFile(QString(), LangText(126) + "0003.CSV"); // cancelled: nothing happens
        main->command("mnuFileSave")->trigger();
        QVERIFY(list->document().NeverBeenSaved);
        list->document().DMAName = "ABC.PDB";
        f.prompts.saveFile(f.path("abc.csv"), "ABC.csv");
        main->command("mnuFileSaveAs")->trigger();
        QVERIFY(QFile::exists(f.path("abc.csv")));
        QVERIFY(!list->document().NeverBeenSaved);
        list->document().DMAName = "untitled";
        f.prompts.saveFile(QString(), "untitled.csv");
        main->command("mnuFileSaveAs")->trigger();
    }

    void closeQuestions()
    {
        GuiFixture f;
        frmMain* main = f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        list->document().AskForSave = true;
        list->parentWidget()->showMaximized(); // the main window's title names it
        const QString title = main->windowTitle();
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel,
                          LangText(228) + f.path("north.csv") + "?", "Quorvane");
        main->command("mnuFileClose")->trigger();
        QVERIFY(App::IsObjectAlive(list));
        QCOMPARE(main->windowTitle(), title);
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::No);
        main->command("mnuFileClose")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(windowCount(main), 0);
        QVERIFY(!ActiveListWindow());
        QVERIFY(App::Editor()->windowTitle().isEmpty());
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(129));
        main->command("mnuFileClose")->trigger();

        // An untitled document is named by its untitled name.
        frmDMA* untitled = NewDocument();
        untitled->document().AskForSave = true;
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::No,
                          LangText(228) + untitled->document().DMAName + "?");
        untitled->parentWidget()->close();
    }

    // Exit asks about each modified document, and Cancel to any question
    // stops it there: no window closes, whatever was answered before. When
    // every question is answered, Yes saves the document it names.
    void exitAsksAndCancelStopsIt()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QString a = f.sample("north.csv"), b = f.sample("south.csv");
        OpenDocument(a);
        frmDMA* first = ActiveListWindow();
        first->PutLocalRecByIndex(0, 1); // a change to save: record 1 := an empty record
        first->document().AskForSave = true;
        OpenDocument(b); // unmodified
        frmDMA* untitled = NewDocument();
        untitled->document().AskForSave = true;
        const QString aboutA = LangText(228) + a + "?";
        const QString aboutUntitled = LangText(228) + untitled->document().DMAName + "?";
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::No, aboutA);
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel, aboutUntitled);
        main->command("mnuFileExit")->trigger();
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel, aboutA);
        QVERIFY(!main->close()); // closing the main window is the same Exit
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(windowCount(main), 3);
        QVERIFY(first->document().AskForSave && untitled->document().AskForSave);
        QCOMPARE(ReadDatabaseFile(a), 0);

        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, aboutA);
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::No, aboutUntitled);
        QVERIFY(main->close());
        QCOMPARE(ReadDatabaseFile(a), 8); // record 1, now empty, was saved
        QCOMPARE(SettingsStore::text(Setting::MRU1), b);
    }

    void recentlyUsedFiles()
    {
        GuiFixture f;
        frmMain* main = f.start();
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths << f.sample("north.csv", QString("n%1.csv").arg(i));
        OpenDocument(paths[0]);
        QCOMPARE(main->mruCaptions(), QStringList({paths[0], "", "", ""}));
        // Only entries that hold a file are shown.
        QVERIFY(main->mnuFileMRU[0]->isVisible() && !main->mnuFileMRU[1]->isVisible() &&
                !main->mnuFileMRU[3]->isVisible());
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
        QCOMPARE(SettingsStore::text(Setting::MRU4), paths[1]);
        // The next run shows them again, but for one an older run kept of the handheld's.
        SettingsStore::setText(Setting::MRU2, received);
        QCOMPARE(f.start()->mruCaptions(), QStringList({paths[4], paths[2], paths[1], ""}));
    }

    // Save As opens in the folder of the file being saved, also when it was
    // named relative to the working folder; the folder of a file received
    // from the handheld (a temporary one) is not taken for the next.
    void saveAsStartsInTheFilesFolder()
    {
        GuiFixture f;
        frmMain* main = f.start();
        QVERIFY(QDir().mkpath(f.path("data")));
        const QString north = f.sample("north.csv", "data/north.csv");
        QDir::setCurrent(f.path("data"));
        OpenDocument("north.csv");
        QDir::setCurrent(QDir::tempPath());
        frmDMA* list = ActiveListWindow();
        QCOMPARE(list->caption(), north);
        QCOMPARE(main->mruCaptions().first(), north);
        const QString received = KorvalindFromDir() + "/south.pdb";
        QVERIFY(QFile::copy(f.sample("south.csv"), received));
        frmDMA* patrol = qobject_cast<frmDMA*>(OpenDocument(received, true));
        patrol->document().NeverBeenSaved = true; // as the transfer leaves it
        patrol->setCaption("Received 1 south.pdb");

        SaveFolders spy;
        Prompts::SetHandler(&spy);
        spy.saveFile(QString(), "south.csv"); // the received list: where files were last saved
        main->command("mnuFileSaveAs")->trigger();
        list->ShowLine(1);
        spy.saveFile(QString(), "north.csv");
        main->command("mnuFileSaveAs")->trigger();
        Prompts::SetHandler(&f.prompts);
        QVERIFY(spy.done());
        QCOMPARE(spy.folders, QStringList({f.path("data"), f.path("data")}));
    }

    // A file a window shows is not opened a second time, however its path is
    // written and whichever way it comes: that window comes forward, bound to
    // the editor. A file received from the handheld always opens anew.
    void aFileShownIsNotOpenedTwice()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QString north = f.sample("north.csv"), south = f.sample("south.csv");
        QDir().mkpath(f.path("sub"));
        OpenDocument(north);
        frmDMA* shown = ActiveListWindow();
        shown->document().AskForSave = true; // edits a second window would lose
        shown->MakeVisibleListLine(3);
        OpenDocument(south);
        frmDMA* other = ActiveListWindow();
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(north)});
        QList<std::function<void()>> ways = {
            [&] { OpenDocument(f.path("sub/../north.csv")); },
            [&] { OpenDocument(QDir(f.path("sub")).relativeFilePath(north)); },
            [&] {
                f.prompts.openFile(f.path("./north.csv"));
                main->command("mnuFileOpen")->trigger();
            },
            [&] { main->mnuFileMRU[1]->trigger(); },
            [&] {
                QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &dropped, Qt::LeftButton, {});
                QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &dropped, Qt::LeftButton, {});
                QApplication::sendEvent(main, &enter);
                QApplication::sendEvent(main, &drop);
            }};
#ifdef Q_OS_UNIX
        QVERIFY(QFile::link(north, f.path("link.csv")));
        ways << [&] { OpenDocument(f.path("link.csv")); };
#endif
        QDir::setCurrent(f.path("sub"));
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
        QCOMPARE(windowCount(main), 3);
    }

    // The merged database already shown: that window comes forward,
    // reloaded when it holds no edits of its own; with edits it keeps them
    // and the user is told the file now differs.
    void mergeIntoADatabaseShown()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QString database = f.path("north.csv");
        frmDMA* patrol = patrolFor(f, "north.csv", 50);
        OpenDocument(database);
        frmDMA* shown = ActiveListWindow();
        patrol->ShowLine(1);
        f.prompts.openFile(database);
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(225) + database + ".000");
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
        f.prompts.openFile(database);
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(225) + database + ".001");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(650));
        main->command("mnuFileMerge")->trigger();
        QCOMPARE(listWindows(main).size(), 2);
        QCOMPARE(ActiveListWindow(), shown);
        QCOMPARE(shown->record(1).Level[1], qint16(50));
        QCOMPARE(ReadDatabaseFile(database), 0);
        QCOMPARE(DMAModule().Records(1).Level[1], qint16(60));
    }

    // A merge whose write fails says so once and opens nothing.
    void mergeThatCannotWriteSaysSoOnce()
    {
        GuiFixture f;
        frmMain* main = f.start();
        patrolFor(f, "east.pdb", 70);
        QVERIFY(QDir().mkpath(f.path("east.csv"))); // where the merged database must go
        f.prompts.openFile(f.path("east.pdb"));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(173));
        main->command("mnuFileMerge")->trigger();
        QCOMPARE(listWindows(main).size(), 1);
    }

    void textViewer()
    {
        GuiFixture f;
        frmMain* main = f.start();
        f.file("notes.txt", "Valve 12 \xe9tat\r\nline two\r\n");
        f.prompts.openFile(f.path("notes.txt"));
        main->command("mnuFileOpen")->trigger();
        auto* viewer = qobject_cast<frmDocument*>(main->activeChild());
        QVERIFY(viewer);
        QCOMPARE(viewer->windowTitle(), f.path("notes.txt"));
        QVERIFY(!viewer->modified());
        QCOMPARE(viewer->text(), QString::fromLatin1("Valve 12 \xe9tat\nline two\n"));

        viewer->rtfText->append("more");
        QVERIFY(viewer->modified());
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337)); // replace notes.txt?
        f.prompts.saveFile(f.path("notes.rtf"));
        main->command("mnuFileSave")->trigger();
        QCOMPARE(viewer->windowTitle(), f.path("notes.rtf"));
        QVERIFY(!viewer->modified());
        QVERIFY(readBytes(f.path("notes.rtf")).startsWith("{\\rtf1"));
        QCOMPARE(RtfToText(readBytes(f.path("notes.rtf"))), viewer->text());
        QCOMPARE(readBytes(f.path("notes.txt")), QByteArray("Valve 12 \xe9tat\r\nline two\r\n"));

        // Save As to another file that exists asks about that file; No saves nothing.
        const QByteArray other = readBytes(f.file("other.txt", "keep me\r\n"));
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + f.path("notes.rtf"));
        f.prompts.saveFile(f.path("other.txt"));
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + f.path("other.txt"));
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(readBytes(f.path("other.txt")), other);
        QCOMPARE(viewer->windowTitle(), f.path("notes.rtf"));

        viewer->rtfText->append("again");
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel,
                          LangText(228) + f.path("notes.rtf") + "?");
        main->command("mnuFileClose")->trigger();
        QVERIFY(App::IsObjectAlive(viewer));
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, LangText(228));
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337));
        f.prompts.saveFile(f.path("notes.log"));
        main->command("mnuFileClose")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(windowCount(main), 0);
        QCOMPARE(readBytes(f.path("notes.log")),
                 QByteArray("Valve 12 \xe9tat\r\nline two\r\n\r\nmore\r\nagain"));
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
