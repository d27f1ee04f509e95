#include "GuiTest.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "Documents.h"
#include "RecordChecks.h"
#include "RichText.h"
#include "SampleData.h"
#include "frmDMA.h"
#include "frmDMAEdit.h"
#include "frmDocument.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextEdit>

namespace {
QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QWidget*> childWindows(frmMain* main)
{
    QList<QWidget*> out;
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
        out << sub->widget();
    return out;
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
    const QString out = dir.filePath("x.csv");
    WriteDatabaseFile(store, out);
    return bytesOf(out);
}
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
        QCOMPARE(bytesOf(north), convertedBytes(f.sample("north.csv", "fresh.csv")));

        // Save As to a file that exists asks first; No leaves it alone.
        const QString other = f.sample("south.csv", "other.csv");
        const QByteArray before = bytesOf(other);
        f.prompts.saveFile(other, "north.csv");
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + other + "?", "Quorvane");
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(bytesOf(other), before);
        QCOMPARE(list->caption(), north);
        f.prompts.saveFile(other, "north.csv");
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337));
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(list->caption(), other);
        QCOMPARE(bytesOf(other), bytesOf(north));
    }

    void openFailuresOpenNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::newRow("header only") << QByteArray("\"Serial\",\"GridRef\"\r\n") << 7;
        QTest::newRow("corrupt line 3")
            << QByteArray("h,h\r\n1234567,\"AB 1234 5678\"\r\n13000000,\"AB 1234 5678\"\r\n") << 8;
    }
    void openFailuresOpenNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        GuiFixture f;
        frmMain* main = f.start();
        f.file("bad.csv", content);
        f.prompts.message(Box::Plain, MsgAnswer::OK, FileErrorText(code, false));
        f.prompts.message(Box::Plain, MsgAnswer::OK, ":\n" + f.path("bad.csv"));
        OpenDocument(f.path("bad.csv"));
        f.prompts.shown.clear();
        OpenDocument(f.path("bad.csv"));
        QVERIFY(childWindows(main).isEmpty());
        QVERIFY(f.prompts.shown.first().contains(LangText(179) +
                                                 QString::number(DMAModule().LinesRead)));
        QVERIFY(main->mruCaptions().first().isEmpty());
    }

    // A document holds at most 6,999 loggers: a bigger file is refused whole.
    void openingAFullFile_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("6,998") << 6998;
        QTest::newRow("6,999") << 6999;
        QTest::newRow("7,000") << 7000;
    }
    void openingAFullFile()
    {
        QFETCH(int, count);
        GuiFixture f;
        frmMain* main = f.start();
        const QString path = f.path("full.csv");
        QCOMPARE(WriteSampleDatabase(path, count, 1), 0);
        const bool fits = count <= 6999;
        if (!fits)
            f.prompts.message(Box::Plain, MsgAnswer::OK,
                              FileErrorText(FileResult::TooManyRecords, false));
        OpenDocument(path);
        QCOMPARE(childWindows(main).size(), fits ? 1 : 0);
        if (fits)
            QCOMPARE(ActiveListWindow()->RecordCount(), count);
    }

    void duplicatedSerials()
    {
        GuiFixture f;
        frmMain* main = f.start();
        f.file("dup.csv", "h,h\r\n1234567,\"AB 1234 5678\"\r\n1234567,\"AB 1234 "
                          "5678\"\r\n2000000,\"AB 1234 5678\"\r\n");
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(122), f.path("dup.csv"));
        OpenDocument(f.path("dup.csv"));
        QVERIFY(childWindows(main).isEmpty());

        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, "1\t01234567\t1");
        OpenDocument(f.path("dup.csv"));
        const QList<QWidget*> windows = childWindows(main);
        QCOMPARE(windows.size(), 2);
        auto* report = qobject_cast<frmDocument*>(windows[0]);
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), LangText(124) + "dup.csv.log");
        QVERIFY(report->text().endsWith("1\t01234567\t1\n"));
        QVERIFY(report->modified()); // filled after loading: closing asks
        QCOMPARE(qobject_cast<frmDMA*>(windows[1])->RecordCount(), 3);
    }

    void pdbConversion_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("csvName");
        QTest::newRow("lower case") << "east.pdb"
                                    << "east.csv";
        QTest::newRow("upper case") << "EAST.PDB"
                                    << "EAST.csv";
    }
    void pdbConversion()
    {
        QFETCH(QString, name);
        QFETCH(QString, csvName);
        GuiFixture f;
        frmMain* main = f.start();
        const QString pdb = f.sample("east.pdb", name);
        const QByteArray original = bytesOf(pdb);
        OpenDocument(pdb);
        frmDMA* list = ActiveListWindow();
        main->command("mnuFileSave")->trigger();
        const QString base = pdb.left(pdb.size() - 4);
        QVERIFY(!QFile::exists(pdb));
        QCOMPARE(bytesOf(base + ".pdbold"), original);
        QCOMPARE(list->caption(), f.path(csvName));
        QCOMPARE(list->document().DMAName, csvName);
        QCOMPARE(main->mruCaptions().first(), f.path(csvName));
        QCOMPARE(bytesOf(f.path(csvName)), convertedBytes(base + ".pdbold"));
    }

    // Saving a ".pdb" again never loses a backup or a ".csv" without asking.
    void pdbConversionKeepsEverything()
    {
        GuiFixture f;
        f.start();
        const QString pdb = f.sample("east.pdb");
        QFile::copy(pdb, f.path("east.pdbold"));
        const QByteArray olderBackup = bytesOf(f.path("east.pdbold"));
        const QString csv = f.sample("north.csv", "east.csv");
        const QByteArray existingCsv = bytesOf(csv);
        OpenDocument(pdb);
        frmDMA* list = ActiveListWindow();
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + csv);
        QVERIFY(!SaveDocument(list, pdb));
        QCOMPARE(bytesOf(csv), existingCsv);
        QVERIFY(QFile::exists(pdb));
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + csv);
        QVERIFY(SaveDocument(list, pdb));
        QCOMPARE(bytesOf(f.path("east.pdbold")), olderBackup);
        QVERIFY(QFile::exists(f.path("east.pdbold2")));
        QVERIFY(!QFile::exists(pdb));
    }

    void failedSaveChangesNothing()
    {
        GuiFixture f;
        f.start();
        OpenDocument(f.sample("north.csv"));
        frmDMA* list = ActiveListWindow();
        list->document().AskForSave = true;
        const QString target = f.path("gone/north.csv");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(173));
        QVERIFY(!SaveDocument(list, target));
        QVERIFY(list->document().AskForSave);
        QCOMPARE(list->caption(), f.path("north.csv"));

        // Closing it: Yes tries to save, fails, and the window stays open.
        list->setCaption(target);
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, LangText(228) + target + "?");
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(173));
        QVERIFY(!list->parentWidget()->close());
        QVERIFY(App::IsObjectAlive(list));
    }

    // A text the file cannot hold is never written: the save names the
    // logger, and the file on disk stays as it was.
    void unwritableTextIsNotSaved()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QString north = f.sample("north.csv");
        const QByteArray before = bytesOf(north);
        OpenDocument(north);
        frmDMA* list = ActiveListWindow();
        LoggerRecord r = list->record(3);
        r.Comment1 = "Mill Lane, north";
        QVERIFY(list->document().Put(3, r));
        list->document().AskForSave = true;
        f.prompts.message(Box::Plain, MsgAnswer::OK,
                          FileErrorText(FileResult::UnwritableText, false) + "\n" + LangText(191) +
                              QString::fromLatin1(FormatSerial(r.Serial).c_str()));
        main->command("mnuFileSave")->trigger();
        QCOMPARE(bytesOf(north), before);
        QVERIFY(list->document().AskForSave);
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
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Cancel,
                          LangText(228) + f.path("north.csv") + "?", "Quorvane");
        main->command("mnuFileClose")->trigger();
        QVERIFY(App::IsObjectAlive(list));
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::No);
        main->command("mnuFileClose")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(childWindows(main).isEmpty());
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

    // Exit asks about each modified document; Yes saves the one it names.
    void exitWithTwoModifiedDocuments()
    {
        GuiFixture f;
        frmMain* main = f.start();
        const QString a = f.sample("north.csv"), b = f.sample("south.csv");
        OpenDocument(a);
        ActiveListWindow()->document().AskForSave = true;
        ActiveListWindow()->PutLocalRecByIndex(0,
                                               1); // a change to save: record 1 := an empty record
        OpenDocument(b);
        ActiveListWindow()->document().AskForSave = true;
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, a);
        f.prompts.message(Box::YesNoCancelWarning, MsgAnswer::Yes, b);
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
        OpenDocument(paths[0]);
        QCOMPARE(main->mruCaptions(), QStringList({paths[0], "", "", ""}));
        // Only entries that hold a file are shown.
        QVERIFY(main->mnuFileMRU[0]->isVisible() && !main->mnuFileMRU[1]->isVisible() &&
                !main->mnuFileMRU[3]->isVisible());
        for (int i = 1; i < 5; ++i)
            OpenDocument(paths[i]);
        QCOMPARE(main->mruCaptions(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
        OpenDocument(paths[2]); // already listed: the order stays
        QCOMPARE(main->mruCaptions(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
        const int before = main->mdiArea()->subWindowList().size();
        main->mnuFileMRU[3]->trigger();
        QCOMPARE(ActiveListWindow()->caption(), paths[1]);
        QCOMPARE(main->mdiArea()->subWindowList().size(), before + 1);
        QVERIFY(main->close());
        QCOMPARE(SettingsStore::text(Setting::MRU4), paths[1]);

        // The next run shows them again; an empty list hides the items.
        frmMain* again = f.start();
        QCOMPARE(again->mruCaptions(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
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
        QVERIFY(bytesOf(f.path("notes.rtf")).startsWith("{\\rtf1"));
        QCOMPARE(RtfToText(bytesOf(f.path("notes.rtf"))), viewer->text());
        QCOMPARE(bytesOf(f.path("notes.txt")), QByteArray("Valve 12 \xe9tat\r\nline two\r\n"));

        // Save As to another file that exists asks about that file; No saves nothing.
        const QByteArray other = bytesOf(f.file("other.txt", "keep me\r\n"));
        f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + f.path("notes.rtf"));
        f.prompts.saveFile(f.path("other.txt"));
        f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + f.path("other.txt"));
        main->command("mnuFileSaveAs")->trigger();
        QCOMPARE(bytesOf(f.path("other.txt")), other);
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
        QVERIFY(childWindows(main).isEmpty());
        QCOMPARE(bytesOf(f.path("notes.log")),
                 QByteArray("Valve 12 \xe9tat\r\nline two\r\n\r\nmore\r\nagain"));
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
