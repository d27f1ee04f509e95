#include "GuiTest.h"

#include "TestSupport.h"

#include "TransferFolders.h"
#include "frmDMA.h"
#include "frmDMAEdit.h"
#include "frmHelp.h"
#include "frmSplash.h"

#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBrowser>
#include <QToolButton>

class TestStartUp : public QObject
{
    Q_OBJECT
private slots:
    // F1 opens the user guide beside the program in the help window:
    // chapters, pictures, back and forward. Without a usable guide, 328.
    void userGuide_data()
    {
        QTest::addColumn<QByteArray>("index"); // empty: the guide as built
        QTest::addColumn<bool>("shown");
        QTest::newRow("the guide") << QByteArray() << true;
        QTest::newRow("an empty first page") << QByteArray(" ") << false;
        QTest::newRow("a damaged first page") << QByteArray(4096, '\0') << false;
        QTest::newRow("no guide") << QByteArray("remove") << false;
    }
    void userGuide()
    {
        QFETCH(QByteArray, index);
        QFETCH(bool, shown);
        GuiFixture f;
        const QString guide = f.programFolder() + "/docs/guide";
        QVERIFY(QDir().mkpath(guide));
        for (const QString& name : QDir(QUORVANE_SOURCE_DIR "/docs/guide").entryList(QDir::Files))
            QFile::copy(QUORVANE_SOURCE_DIR "/docs/guide/" + name, guide + "/" + name);
        for (const QString& name : QDir(QUORVANE_SOURCE_DIR "/docs").entryList({"*.png"}))
            QFile::copy(QUORVANE_SOURCE_DIR "/docs/" + name, f.programFolder() + "/docs/" + name);
        if (!index.isEmpty())
            QFile::remove(guide + "/index.html");
        if (!index.isEmpty() && index != "remove")
            QVERIFY(writeBytes(guide + "/index.html", index));
        frmMain* main = f.start();
        if (!shown)
            f.prompts.message(Box::Information, MsgAnswer::OK, LangText(328), LangText(256));
        QTest::keyClick(main, Qt::Key_F1);
        QCOMPARE(main->helpWindow() != nullptr, shown);
        if (!shown)
            return;
        frmHelp* help = main->helpWindow();
        QVERIFY(help->isVisible());
        QCOMPARE(help->windowTitle(), QString("Quorvane user guide"));
        QCOMPARE(help->lstContents->count(), 9);
        QVERIFY(!help->cmdBack->isEnabled());
        help->lstContents->setCurrentRow(0);
        QVERIFY(help->txtGuide->source().path().endsWith("getting-started.html"));
        QVERIFY(
            !help->txtGuide->loadResource(QTextDocument::ImageResource, QUrl("../main-window.png"))
                 .isNull());
        QVERIFY(help->cmdBack->isEnabled());
        help->cmdBack->click();
        QVERIFY(help->txtGuide->source().path().endsWith("index.html"));
        QVERIFY(help->cmdForward->isEnabled());
        // Every chapter opens and holds text.
        for (int row = 0; row < help->lstContents->count(); ++row) {
            help->lstContents->setCurrentRow(row);
            QVERIFY(help->txtGuide->toPlainText().size() > 200);
        }
        // F1 again brings the same window forward.
        QTest::keyClick(main, Qt::Key_F1);
        QCOMPARE(main->helpWindow(), help);
    }

    // Settings, splash, transfer folders, the hidden editor, the main window,
    // then the command line, in that order; a file already open comes forward.
    void order()
    {
        GuiFixture f;
        QDir().mkpath(f.programFolder() + "/korvalind/from");
        QFile stale(f.programFolder() + "/korvalind/from/old.pdb");
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        const QString a = f.sample("north.csv"), b = f.sample("south.csv");
        bool mainHidden = false, foldersUntouched = false, noEditorYet = false;
        f.prompts.modal("frmSplash", [&](QDialog& d) {
            mainHidden = MainWindow() && !MainWindow()->isVisible();
            foldersUntouched = QFile::exists(f.programFolder() + "/korvalind/from/old.pdb");
            noEditorYet = !App::Editor();
            return Prompts::RunModal(d);
        });
        StartUpOptions fast;
        fast.splashTickMs = 0;
        StartUp({a, b, f.path("./north.csv")}, fast); // the last one is shown already
        QVERIFY(mainHidden && foldersUntouched && noEditorYet);
        frmMain* main = MainWindow();
        QVERIFY(main->isVisible());
        QVERIFY(App::Editor() && !App::Editor()->isVisible());
        QVERIFY(!QFile::exists(f.programFolder() + "/korvalind/from/old.pdb"));
        QVERIFY(QFileInfo(KorvalindToDir()).isDir());
        const QList<frmDMA*> lists = listWindows(main);
        QCOMPARE(lists.size(), 2);
        QCOMPARE(lists[0]->caption(), a);
        QCOMPARE(lists[1]->caption(), b);
        QCOMPARE(ActiveListWindow(), lists[0]);
        QCOMPARE(App::Editor()->windowTitle(), QString("north.csv"));
        QCOMPARE(lists[0]->RecordCount(), 40);
        QCOMPARE(lists[0]->SelLine, 1);
        QCOMPARE(main->statusText(), QString());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("windows");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList() << 0 << QString();
        QTest::newRow("missing file") << QStringList{"nowhere.csv"} << 0 << LangText(171);
        QTest::newRow("upper-case /S= is a file")
            << QStringList{"/S=01001237"} << 0 << LangText(171);
        QTest::newRow("serial") << QStringList{"/s=01001237"} << 1 << QString();
        QTest::newRow("serial in no file")
            << QStringList{"/s=01999999"} << 0 << LangText(614) + " 01999999";
        QTest::newRow("serial needs eight digits")
            << QStringList{"/s=1001237"} << 0 << LangText(614);
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, windows);
        QFETCH(QString, message);
        GuiFixture f;
        f.hub({"b-north.csv", "A-north.csv"}); // both hold 01001237: the first in name order wins
        if (!message.isEmpty())
            f.prompts.message(Box::Plain, MsgAnswer::OK, message);
        frmMain* main = f.start(args);
        QCOMPARE(listWindows(main).size(), windows);
        if (windows == 1) {
            frmDMA* list = ActiveListWindow();
            QCOMPARE(list->document().DMAName, QString("A-north.csv"));
            QCOMPARE(list->record(list->recordIndexOfLine(list->SelLine)).Serial, 1001237);
            QVERIFY(App::Editor()->isVisible());
            QVERIFY(App::Editor()->graphShown());
        }
    }

    void serialInTheBoundFileOpensNoSecondWindow()
    {
        GuiFixture f;
        const QString hub = f.hub({"north.csv"});
        frmMain* main = f.start({hub + "/north.csv", "/s=01004948"});
        QCOMPARE(listWindows(main).size(), 1);
        QCOMPARE(ActiveListWindow()->SelLine, 4);
    }

    // The serial option selects the logger with that serial, not the first
    // line that shows its digits somewhere (here another logger's address and
    // grid reference).
    void serialSelectsByTheSerial()
    {
        GuiFixture f;
        const QString hub = f.hub({});
        QFile::copy(f.file("hub.csv", "h,h\r\n"
                                      "1000001,\"AB 0100 2474\",\"01002474\",\"\",\"\",\"\"\r\n"
                                      "1002474,\"AB 1234 5678\",\"Mill Lane\",\"\",\"\",\"\"\r\n"),
                    hub + "/hub.csv");
        f.start({"/s=01002474"});
        frmDMA* list = ActiveListWindow();
        QCOMPARE(list->SelLine, 2);
        QCOMPARE(list->record(list->recordIndexOfLine(2)).Serial, 1002474);
        QCOMPARE(MainWindow()->statusText(), LangText(360) + "01002474" + LangText(361) + "2");
    }

    void missingHubFolder()
    {
        GuiFixture f;
        SettingsStore::setText(Setting::BrenvaskDirectory, f.path("no-hub"));
        f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(613) + " " + f.path("no-hub"));
        f.start({"/s=01001237"});
    }

    void splashWindow()
    {
        GuiFixture f;
        for (const auto& [delay, ticks] : {std::pair(3750, 15), std::pair(100, 1)}) {
            frmSplash splash; // closes itself after its delay, in 250 ms ticks
            splash.SplashDelay = delay;
            splash.setTickInterval(0);
            Prompts::RunModal(splash);
            QCOMPARE(splash.ticks(), ticks);
        }
        // A key or a click on the logo closes it at once.
        for (bool onLogo : {false, true}) {
            frmSplash clicked;
            clicked.setTickInterval(60000);
            QTimer::singleShot(0, &clicked, [&] {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
                if (onLogo)
                    QTest::mouseClick(clicked.picLogo, Qt::LeftButton);
                else
                    QApplication::sendEvent(&clicked, &key);
            });
            Prompts::RunModal(clicked);
            QCOMPARE(clicked.ticks(), 1);
            QVERIFY(clicked.lblVersion->text().startsWith("v1."));
        }
        QCOMPARE(QString(frmSplash::BrandingFor("Tavrosa").key), QString("Tavrosa"));
        QCOMPARE(QString(frmSplash::BrandingFor("nobody").key), QString("Quorvane"));
        QCOMPARE(QString(frmSplash::BrandingFor("tavrosa").key),
                 QString("Quorvane")); // exact match only
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
