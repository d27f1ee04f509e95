#include "GuiTest.h"

#include "CowlComms.h"
#include "LoggerSimulator.h"
#include "ProgramPrinter.h"
#include "TestSupport.h"
#include "frmCowlGraph.h"
#include "frmCowlRead.h"
#include "frmCowlSensor.h"
#include "frmCowlSetup.h"

#include <QtWidgets>

using CowlComms::CowlIsOpen;

namespace {

// The program started, a logger on a pseudo-terminal reached as COM1, and
// the setup window open over the main window.
struct Bench
{
    GuiFixture f;
    LoggerSimulator sim;
    std::unique_ptr<frmCowlSetup> setup;
    QString pty;

    Bench()
    {
        f.start();
        // A mute logger is given up on quickly.
        QSettings(f.path("settings.ini"), QSettings::IniFormat).setValue("Com32/FirstByteMs", 300);
        CowlComms::ResetForTesting();
        pty = sim.openPseudoTerminal();
        if (pty.isEmpty())
            QTest::qFail("no pseudo-terminal", __FILE__, __LINE__);
        qputenv("QUORVANE_COM1", pty.toLocal8Bit());
        sim.state.histogram.fill(0);
        setup = std::make_unique<frmCowlSetup>(MainWindow());
    }
    ~Bench()
    {
        setup.reset();
        CowlComms::ResetForTesting();
        qunsetenv("QUORVANE_COM1");
    }
    // A logger that did not answer, and where it was looked for.
    QString noAnswer() const
    {
        return LangText(561) + '\n' + LangText(577) + ": COM1 (" + pty + ')';
    }
    bool connect()
    {
        setup->cmdConnect_Click();
        return CowlIsOpen();
    }
    QString enabledButtons() const
    {
        QStringList names;
        for (QPushButton* b :
             setup->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
            if (b->isEnabled())
                names << b->objectName();
        names.sort();
        return names.join(' ');
    }
    // Opens a Cowl window with the setup window's button and works in it.
    template <typename W> void in(QPushButton* opener, std::function<void(W&)> work)
    {
        f.prompts.modal(QLatin1String(W::staticMetaObject.className()),
                        inWindow([work](QDialog& d) { work(static_cast<W&>(d)); }));
        opener->click();
    }
};

const QString kClosed = "cmdClose cmdConnect";

// The value a progress bar had when it was last drawn.
struct PaintedValue : QObject
{
    int value = 0;
    bool eventFilter(QObject* bar, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            value = static_cast<QProgressBar*>(bar)->value();
        return false;
    }
};

// What the window shows of a setting its Update button (index) programs: the
// clock to the minute, the rates leak first, the days from Sunday as 1 or 0.
QString field(const frmCowlRead& w, int index)
{
    QString days;
    for (QCheckBox* c : w.chkLoggingDays)
        days += c->isChecked() ? '1' : '0';
    return QStringList{
        w.txtSerialNumber->text(), w.medDate->dateTime().toString("yyyy-MM-ddTHH:mm"),
        w.txtLeakStateRate->text() + ' ' + w.txtNoLeakStateRate->text(), days, days}[index];
}

} // namespace

class TestCowlWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifndef Q_OS_UNIX
        QSKIP("the logger simulator needs pseudo-terminals");
#endif
    }

    // Connect tries three times and tells a failure once. Every way out of
    // the setup window closes the port, as Disconnect and Sleep do.
    void theLink_data()
    {
        QTest::addColumn<QString>("how");  // the way out of the link, or why there is none
        QTest::addColumn<int>("requests"); // that reached the logger
        for (const char* how : {"close button", "escape", "disconnect", "sleep"})
            QTest::newRow(how) << QString(how) << 1;
        QTest::newRow("no port chosen") << "no port" << 0;
        QTest::newRow("a mute logger") << "mute" << 3;
    }
    void theLink()
    {
        QFETCH(QString, how);
        QFETCH(int, requests);
        const bool connected = requests == 1;
        Bench b;
        b.setup->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.setup.get()));
        QCOMPARE(b.setup->StatusText->text(), LangText(566));
        if (how == "no port") {
            b.setup->optCOMPort[0]->setAutoExclusive(false);
            b.setup->optCOMPort[0]->setChecked(false);
        }
        b.sim.fault = connected ? LoggerSimulator::Fault::None : LoggerSimulator::Fault::Mute;
        if (!connected)
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, requests ? b.noAnswer() : LangText(561));
        // What the status line said while it tried; clicks and Escape meanwhile change nothing.
        QStringList statuses;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (statuses.isEmpty() || statuses.back() != b.setup->StatusText->text())
                statuses << b.setup->StatusText->text();
            b.setup->cmdConnect->click();
            b.setup->reject();
        });
        watch.start(0);
        b.setup->cmdConnect_Click();
        watch.stop();
        QCOMPARE(CowlIsOpen(), connected);
        QCOMPARE(b.sim.requestsAnswered(), requests);
        const QString trying = LangText(568) + " .";
        QCOMPARE(statuses,
                 QStringList({trying, trying + ".", trying + ".."}).mid(0, connected ? 1 : 3));
        QCOMPARE(b.setup->StatusText->text(), LangText(connected ? 567 : 565));
        const QString open =
            "cmdCheckSensor cmdClose cmdDisconnect cmdGetGraph cmdReadLogger cmdSleep";
        QCOMPARE(b.enabledButtons(), connected ? open : kClosed);
        if (!connected)
            return;
        if (how == "close button")
            b.setup->cmdClose->click();
        else if (how == "escape")
            QTest::keyClick(b.setup.get(), Qt::Key_Escape);
        else if (how == "disconnect")
            b.setup->cmdDisconnect->click();
        else {
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(594));
            b.setup->cmdSleep->click();
            QVERIFY(!b.sim.awake());
        }
        QVERIFY(!CowlIsOpen());
        QCOMPARE(b.setup->StatusText->text(), LangText(566));
        QCOMPARE(b.setup->isVisible(), how == "disconnect" || how == "sleep");
        QCOMPARE(b.enabledButtons(), kClosed);

        b.f.prompts.modal("frmCowlSetup", [](QDialog& d) { return d.result(); }); // from the menu
        MainWindow()->command("mnuCowlSetup")->trigger();
    }

    // What is checked before anything is sent, the password, and what is
    // shown after: what the logger reports back, or what was typed.
    void programming_data()
    {
        QTest::addColumn<QString>("distributor");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");    // rates: leak and no-leak; days: Sunday first
        QTest::addColumn<QString>("password"); // empty: none asked for
        QTest::addColumn<int>("message");      // 0: none
        QTest::addColumn<QString>("shown");    // empty: what was typed
        const std::tuple<const char*, const char*, int, const char*, const char*, int, const char*>
            rows[] = {
                {"serial", "", 0, "12000001", "qelmat", 569, ""},
                {"serial, wrong password", "", 0, "12000001", "Qelmat", 585, ""},
                {"serial, password by OK", "", 0, "12000001", "qelmat OK", 569, ""},
                {"serial, password window escaped", "", 0, "12000001", "qelmat Escape", 585, ""},
                {"serial, month 13", "", 0, "13000001", "qelmat", 570, ""},
                {"serial, not digits", "", 0, "12ab5678", "qelmat", 570, ""},
                {"serial of odd length does nothing", "", 0, "1200001", "qelmat", 0, ""},
                {"rates", "", 2, "1275 600", "", 569, ""},
                {"rates round down to five seconds", "", 2, "1274 7", "", 569, "1270 5"},
                {"a rate in exponent form", "", 2, "1e3 600", "", 621, ""},
                {"rates, Tavrosa", "Tavrosa", 2, "100 200", "qelmat", 569, ""},
                {"days", "", 4, "0100011", "", 569, ""},
                {"days, Tavrosa, no password", "Tavrosa", 4, "1111111", "", 569, ""},
                {"days, the logger silent", "", 4, "1111110", "", 561, ""},
                {"clock", "", 1, "2030-05-06T12:00", "", 569, ""},
                {"clock, Tavrosa", "Tavrosa", 1, "2030-05-06T12:00", "qelmat", 569, ""},
            };
        for (const auto& [name, distributor, index, typed, password, message, shown] : rows)
            QTest::newRow(name) << QString(distributor) << index << QString(typed)
                                << QString(password) << message << QString(shown);
    }
    void programming()
    {
        QFETCH(QString, distributor);
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QString, password);
        QFETCH(int, message);
        QFETCH(QString, shown);
        Bench b;
        SettingsStore::setText(Setting::Distributor, distributor);
        QVERIFY(b.connect());
        int answered = 0;
        b.in<frmCowlRead>(b.setup->cmdReadLogger, [&](frmCowlRead& w) {
            QCOMPARE(b.setup->StatusText->text(), LangText(572));
            QVERIFY(b.enabledButtons().isEmpty()); // nothing else may start meanwhile
            // What the logger holds, its logging days Monday to Friday.
            const QString read = w.txtVersionNumber->text() + '|' + field(w, 0) + '|' +
                                 field(w, 2) + '|' + field(w, 4) + '|' +
                                 w.timeResetTime->dateTime().toString(Qt::ISODate) + '|' +
                                 w.txtLeakStatus->text() + '|' + w.txtBatteryVoltage->text();
            QCOMPARE(read,
                     "1.02|03123456|30 60|0111110|2023-11-14T22:13:20|" + LangText(410) + "|5.80");
            QVERIFY(qAbs(w.medDate->dateTime().secsTo(QDateTime::currentDateTime())) <= 2);
            if (index == 0)
                w.txtSerialNumber->setText(typed);
            else if (index == 1)
                w.medDate->setDateTime(QDateTime::fromString(typed, Qt::ISODate));
            else if (index == 2) {
                w.txtLeakStateRate->setText(typed.section(' ', 0, 0));
                w.txtNoLeakStateRate->setText(typed.section(' ', 1));
            } else
                for (int i = 0; i < 7; ++i)
                    w.chkLoggingDays[i]->setChecked(typed[i] == '1');
            if (!password.isEmpty()) // typed, then Enter, OK or Escape
                b.f.prompts.modal(
                    "frmEnterPassword", inWindow([password](QDialog& d) {
                        auto& p = static_cast<frmEnterPassword&>(d);
                        QVERIFY(p.lblPassword->text() == LangText(720) && p.cmdOK->isDefault() &&
                                p.txtPassword->echoMode() == QLineEdit::Password);
                        p.txtPassword->setText(password.section(' ', 0, 0));
                        const QString how = password.section(' ', 1);
                        if (how == "OK")
                            p.cmdOK->click();
                        else
                            QTest::keyClick(p.txtPassword,
                                            how.isEmpty() ? Qt::Key_Return : Qt::Key_Escape);
                    }));
            if (message)
                b.f.prompts.message(Box::Plain, MsgAnswer::OK,
                                    message == 561 ? b.noAnswer() : LangText(message));
            answered = b.sim.requestsAnswered();
            if (message == 561)
                b.sim.fault = LoggerSimulator::Fault::Mute;
            // While the logger is being programmed the window's buttons wait.
            const QList<QAbstractButton*> buttons{w.cmdUpdate[0], w.cmdUpdate[1], w.cmdUpdate[2],
                                                  w.cmdUpdate[4], w.ResetTime};
            int looks = 0, enabledMeanwhile = 0;
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                ++looks;
                for (QAbstractButton* button : buttons)
                    enabledMeanwhile += button->isEnabled();
            });
            watch.start(0);
            w.cmdUpdate[index]->click();
            watch.stop();
            QCOMPARE(looks > 0, message == 569 || message == 561); // an exchange lets events run
            QCOMPARE(enabledMeanwhile, 0);
            for (QAbstractButton* button : buttons)
                QVERIFY(button->isEnabled());
            if (message == 561) { // the link is closed now: no request, one message
                b.f.prompts.message(Box::Plain, MsgAnswer::OK, b.noAnswer());
                w.cmdUpdate[index]->click();
            }
            QCOMPARE(field(w, index), shown.isEmpty() ? typed : shown);
            const QString told = b.f.prompts.shown.value(b.f.prompts.shown.size() - 1);
            if (index == 2 && message == 569) // each rate the logger rounded, named as set
                QCOMPARE(told.count(LangText(722)) +
                             told.contains(LangText(550) + LangText(721) + "1270 " + LangText(552)),
                         shown.isEmpty() ? 0 : 3);
        });
        if (message != 569 && message != 561)
            QCOMPARE(b.sim.requestsAnswered(), answered); // nothing at all went out
    }

    // An identity that cannot be read means no window; a histogram or history
    // that cannot be read, an empty chart without a word and nothing to export.
    void histogram_data()
    {
        QTest::addColumn<int>("largest");  // in bin 40; the rest hold 1 when non-zero
        QTest::addColumn<int>("silentOn"); // the command the logger does not answer
        QTest::addColumn<QString>("topLabel");
        QTest::newRow("all zeros") << 0 << -1 << "0 % ";
        QTest::newRow("largest 2048") << 2048 << -1 << "125 % "; // the bar at 80 % of the plot
        QTest::newRow("largest 65535") << 65535 << -1 << "4000 % ";
        QTest::newRow("no identity") << 2048 << 0 << "";
        QTest::newRow("no clock, Read Logger") << 2048 << 2 << "";
        QTest::newRow("no histogram") << 2048 << 8 << "";
        QTest::newRow("no history") << 2048 << 7 << "";
    }
    void histogram()
    {
        QFETCH(int, largest);
        QFETCH(int, silentOn);
        QFETCH(QString, topLabel);
        Bench b;
        b.sim.state.leakStatus = 2;
        if (largest) {
            b.sim.state.histogram.fill(1);
            b.sim.state.histogram[40] = largest;
        }
        QVERIFY(b.connect());
        b.sim.fault = silentOn < 0 ? LoggerSimulator::Fault::None : LoggerSimulator::Fault::Mute;
        b.sim.faultCommand = silentOn;
        if (silentOn == 0 || silentOn == 2) { // the logger communications window likewise
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, b.noAnswer());
            (silentOn ? b.setup->cmdReadLogger : b.setup->cmdGetGraph)->click();
        }
        if (silentOn == 7 || silentOn == 8) {
            b.in<frmCowlGraph>(b.setup->cmdGetGraph, [&](frmCowlGraph& w) {
                QVERIFY(!w.chart->hasData() && !w.cmdSave->isEnabled());
                QVERIFY(w.lblSerialNumber->text().endsWith("03123456"));
                QVERIFY(w.lblLevel[0]->text().isEmpty());
                w.cmdSave_Click(); // no save dialog is queued: none may show
            });
        }
        if (silentOn >= 0) {
            // The request that went unanswered closed the link.
            QVERIFY(!CowlIsOpen() && b.setup->StatusText->text() == LangText(566));
            return;
        }
        b.in<frmCowlGraph>(b.setup->cmdGetGraph, [&](frmCowlGraph& w) {
            QCOMPARE(b.setup->StatusText->text(), LangText(574));
            QCOMPARE(w.lblSerialNumber->text(), LangText(530) + ": 03123456");
            QCOMPARE(w.lblVersionNumber->text(), LangText(531) + ": 1.02");
            QCOMPARE(w.lblStatus->text(), LangText(533) + ": " + LangText(408));
            QVERIFY(w.chart->hasData() && w.cmdSave->isEnabled());
            QCOMPARE(w.chart->yLabel(10), topLabel);
            QCOMPARE(w.chart->yLabel(largest ? 0 : 5), QString("0 % "));
            const double tallest = largest ? 3200 : 0; // twips of the plot's 4000
            QCOMPARE(w.chart->barTwips(40), QRectF(4000, 5000 - tallest, 75, tallest));
            QCOMPARE(w.chart->barTwips(99).bottom(), 5000.0);
            QCOMPARE(w.lblLevel[0]->text() + ' ' + w.lblSpread[0]->text(), QString("19 5"));
            QCOMPARE(w.lblHistoryLeak[0]->text(), LangText(185) + "*");
            QCOMPARE(w.lblLevel[11]->text() + ' ' + w.lblSpread[11]->text(), QString("18 5"));
            QCOMPARE(w.lblHistoryLeak[11]->text(), LangText(186));
        });
    }

    // Export asks before it replaces a file and says when it cannot write;
    // Copy and Print take the window's picture.
    void chartOutputs()
    {
        Bench b;
        b.sim.state.histogram[3] = 12;
        QVERIFY(b.connect());
        QByteArray expected;
        for (int i = 0; i < 100; ++i)
            expected += QByteArray::number(i) + (i == 3 ? ",12\r\n" : ",0\r\n");
        const QString target = b.f.file("chart.csv", "old\r\n");
        PrintIntoPdf(b.f.path("chart.pdf"));
        QImage copied;
        b.in<frmCowlGraph>(b.setup->cmdGetGraph, [&](frmCowlGraph& w) {
            for (const int answer : {MsgAnswer::No, MsgAnswer::Yes}) {
                b.f.prompts.saveFile(target);
                b.f.prompts.message(Box::YesNoStop, answer, LangText(337) + target + "?");
                w.cmdSave->click();
                QCOMPARE(readBytes(target), answer == MsgAnswer::Yes ? expected : "old\r\n");
            }
            b.f.prompts.saveFile(b.f.path("fresh")); // no extension: .csv is added
            w.cmdSave->click();
            QCOMPARE(readBytes(b.f.path("fresh.csv")), expected);
            b.f.prompts.saveFile(QString()); // cancelled
            w.cmdSave->click();
            w.cmdCopy->click();
            copied = QGuiApplication::clipboard()->image();
            w.cmdPrint->click();
            QVERIFY(readBytes(b.f.path("chart.pdf")).startsWith("%PDF"));
            PrintIntoPdf(b.f.path("no-such-folder/chart.pdf"));
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(623));
            w.cmdPrint->click();
        });
        QCOMPARE(copied.size(), QSize(600, 600));
        bool blue = false; // some of the chart's bar colour is in the picture
        for (int x = 0; x < copied.width() && !blue; ++x)
            blue = copied.pixelColor(x, 320) == QColor(40, 90, 200);
        QVERIFY(blue);
    }

    // Each level is drawn before the next; closing stops the polling, and a
    // logger that falls silent ends it with one message.
    void sensor()
    {
        Bench b;
        b.sim.state.noise = 23.5;
        QVERIFY(b.connect());
        b.in<frmCowlSensor>(b.setup->cmdCheckSensor, [&](frmCowlSensor& w) {
            w.show();
            QVERIFY(QTest::qWaitFor([&] { return w.ticks() >= 3; }, 5000));
            const QString label = w.lblNoiseLevel->text();
            QVERIFY(label.endsWith(" dB"));
            QCOMPARE(w.prgNoiseLevel->value(), qRound(label.chopped(3).toDouble()));
            PaintedValue painted;
            painted.value = w.prgNoiseLevel->value();
            w.prgNoiseLevel->installEventFilter(&painted);
            int last = painted.value, unpainted = 0;
            QObject::connect(w.prgNoiseLevel, &QProgressBar::valueChanged, &painted, [&](int v) {
                unpainted += painted.value != last;
                last = v;
            });
            QVERIFY(QTest::qWaitFor([&] { return w.ticks() >= 15; }, 5000));
            QCOMPARE(unpainted, 0);
            b.sim.state.noise = 110;
            // Louder than the bar goes: a full bar, and the label says how loud.
            QVERIFY(QTest::qWaitFor(
                [&] { return w.lblNoiseLevel->text().chopped(3).toDouble() > 100; }, 2000));
            QCOMPARE(w.prgNoiseLevel->value(), 100);
            w.cmdClose->click();
            QVERIFY(!w.polling());
        });
        QVERIFY(CowlIsOpen() && b.setup->StatusText->text() == LangText(567));
        b.in<frmCowlSensor>(b.setup->cmdCheckSensor, [&](frmCowlSensor& w) {
            w.show();
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, b.noAnswer());
            b.sim.fault = LoggerSimulator::Fault::Mute;
            QVERIFY(QTest::qWaitFor([&] { return !w.polling(); }, 5000)); // and asks no more
            w.cmdClose->click();
        });
        QVERIFY(!CowlIsOpen() && b.setup->StatusText->text() == LangText(566));
    }
};

QTEST_MAIN(TestCowlWindows)
#include "tst_cowlwindows.moc"
