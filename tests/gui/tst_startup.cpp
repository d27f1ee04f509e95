#include "GuiTest.h"

#include "TestSupport.h"

#include "RecordEditor.h"
#include "TransferFolders.h"
#include "frmHelp.h"
#include "frmSplash.h"

#include <QtWidgets>

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
        QCOMPARE(help->lstContents->count(), 10);
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
        QVERIFY(writeBytes(f.programFolder() + "/korvalind/from/old.pdb", "x"));
        const QString a = f.sample("north.csv"), b = f.sample("south.csv");
        f.prompts.modal("frmSplash", inWindow([&](QDialog& d) {
                            QVERIFY(MainWindow() && !MainWindow()->isVisible());
                            QVERIFY(QFile::exists(f.programFolder() + "/korvalind/from/old.pdb"));
                            QVERIFY(!App::Editor());
                            Prompts::RunModal(d);
                        }));
        StartUpOptions fast;
        fast.splashTickMs = 0;
        StartUp({a, b, f.path("./north.csv")}, fast); // the last one is shown already
        frmMain* main = MainWindow();
        QVERIFY(main->isVisible() && App::Editor() && !App::Editor()->isVisible());
        QVERIFY(!QFile::exists(f.programFolder() + "/korvalind/from/old.pdb"));
        QVERIFY(QFileInfo(KorvalindToDir()).isDir());
        const QList<frmDMA*> lists = listWindows(main);
        QCOMPARE(lists.size(), 2);
        QCOMPARE(lists[0]->caption(), a);
        QCOMPARE(lists[1]->caption(), b);
        QCOMPARE(ActiveListWindow(), lists[0]);
        QCOMPARE(App::Editor()->windowTitle(), QString("north.csv"));
        QCOMPARE(lists[0]->SelLine, 1);
        QCOMPARE(main->statusText(), QString());
    }

    // /s= opens the first hub file in name order holding the serial, on that
    // logger's line (not where its digits show elsewhere), reusing a window.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file"); // the one list window, if any
        QTest::addColumn<int>("serial");   // its current logger's
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, const QStringList& args, const QString& file, int serial,
                      const QString& message) {
            QTest::newRow(name) << args << file << serial << message;
        };
        row("nothing", {}, {}, 0, {});
        row("missing file", {"nowhere.csv"}, {}, 0, LangText(171));
        row("upper-case /S= is a file", {"/S=01001237"}, {}, 0, LangText(171));
        row("serial", {"/s=01001237"}, "A-north.csv", 1001237, {});
        row("serial, not its digits", {"/s=01002474"}, "0hub.csv", 1002474, {});
        row("serial in the file shown", {"HUB/A-north.csv", "/s=01004948"}, "A-north.csv", 1004948,
            {});
        row("serial in no file", {"/s=01999999"}, {}, 0, LangText(614) + " 01999999");
        row("serial needs eight digits", {"/s=1001237"}, {}, 0, LangText(614));
        row("no hub folder", {"/s=01001237"}, {}, 0, LangText(613) + " ");
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QFETCH(int, serial);
        QFETCH(QString, message);
        GuiFixture f;
        const QString hub = f.hub({"b-north.csv", "A-north.csv"}); // both hold 01001237
        QVERIFY(writeBytes(hub + "/0hub.csv",
                           "h,h\r\n1000001,\"AB 0100 2474\",\"01002474\",\"\",\"\",\"\"\r\n"
                           "1002474,\"AB 1234 5678\",\"Mill Lane\",\"\",\"\",\"\"\r\n"));
        args.replaceInStrings("HUB", hub);
        if (QTest::currentDataTag() == QByteArray("no hub folder")) {
            SettingsStore::setText(Setting::BrenvaskDirectory, f.path("no-hub"));
            message += f.path("no-hub");
        }
        if (!message.isEmpty())
            f.prompts.message(Box::Plain, MsgAnswer::OK, message);
        frmMain* main = f.start(args);
        QCOMPARE(listWindows(main).size(), file.isEmpty() ? 0 : 1);
        if (file.isEmpty())
            return;
        frmDMA* list = ActiveListWindow();
        QCOMPARE(list->document().DMAName, file);
        QCOMPARE(list->record(list->recordIndexOfLine(list->SelLine)).Serial, serial);
        QCOMPARE(main->statusText(), LangText(360) + args.last().mid(3) + LangText(361) +
                                         QString::number(list->SelLine));
        QVERIFY(App::Editor()->isVisible() && App::Editor()->graphShown());
    }

    // The splash closes itself after its delay, in 250 ms ticks, or at once
    // on a key or a click on its logo.
    void splashWindow()
    {
        GuiFixture f;
        enum { Wait, Key, Click };
        const struct
        {
            int delay, closedBy, ticks;
        } cases[] = {{3750, Wait, 15}, {100, Wait, 1}, {3750, Key, 1}, {3750, Click, 1}};
        for (const auto& c : cases) {
            frmSplash splash;
            splash.SplashDelay = c.delay;
            splash.setTickInterval(c.closedBy == Wait ? 0 : 60000);
            QTimer::singleShot(0, &splash, [&] {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
                if (c.closedBy == Click)
                    QTest::mouseClick(splash.picLogo, Qt::LeftButton);
                else if (c.closedBy == Key)
                    QApplication::sendEvent(&splash, &key);
            });
            Prompts::RunModal(splash);
            QCOMPARE(splash.ticks(), c.ticks);
            QVERIFY(splash.lblVersion->text().startsWith("v1."));
        }
        for (auto [who, branding] : {std::pair("Tavrosa", "Tavrosa"),
                                     {"nobody", "Quorvane"},
                                     {"tavrosa", "Quorvane"}}) // an exact match only
            QCOMPARE(QString(frmSplash::BrandingFor(who).key), QString(branding));
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
