#include "GuiTest.h"

#include "TestSupport.h"

#include "CaptureRoutines.h"
#include "Com32.h"
#include "CowlComms.h"
#include "LoggerSimulator.h"
#include "ProgramPrinter.h"
#include "frmCowlGraph.h"
#include "frmCowlRead.h"
#include "frmCowlSensor.h"
#include "frmCowlSetup.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QToolButton>

using CowlComms::CowlIsOpen;

namespace {

constexpr int kFirstByteMs = 300; // a mute logger is given up on quickly

// The program started, a logger on a pseudo-terminal reached as COM1, and
// the setup window open over the main window.
struct Bench
{
    GuiFixture f;
    LoggerSimulator sim;
    std::unique_ptr<frmCowlSetup> setup;

    Bench()
    {
        f.start();
        QSettings(f.path("settings.ini"), QSettings::IniFormat)
            .setValue("Com32/FirstByteMs", QString::number(kFirstByteMs));
        CowlComms::ResetForTesting();
        const QString pty = sim.openPseudoTerminal();
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
    bool connect()
    {
        setup->cmdConnect_Click();
        return CowlIsOpen();
    }
    QStringList enabledButtons() const
    {
        QStringList names;
        for (QPushButton* b :
             setup->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
            if (b->isEnabled())
                names << b->objectName();
        names.sort();
        return names;
    }
};

// Types the password into the password window and presses Enter.
std::function<int(QDialog&)> typePassword(const QString& password)
{
    return [password](QDialog& d) {
        auto& w = static_cast<frmEnterPassword&>(d);
        w.txtPassword->setText(password);
        QTest::keyClick(w.txtPassword, Qt::Key_Return);
        return w.result();
    };
}

// Twips of the chart as the export file and the labels show them, for one bar.
double barHeightPercent(const HistogramChart& chart, int i)
{
    return chart.barTwips(i).height() / 4000.0 * 100.0;
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

    // Connect makes three attempts with growing dots and reports the failure
    // once; a mute logger is given up on within the link's bounds.
    void connecting_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("requests"); // what reached the logger
        QTest::newRow("a logger that answers") << "answers" << true << 1;
        QTest::newRow("no port chosen") << "no port" << false << 0;
        QTest::newRow("a mute logger") << "mute" << false << 3;
        QTest::newRow("nothing at the port") << "no device" << false << 0;
    }
    void connecting()
    {
        QFETCH(QString, situation);
        QFETCH(bool, connected);
        QFETCH(int, requests);
        Bench b;
        b.setup->show();
        QCOMPARE(b.setup->StatusText->text(), LangText(566));
        QVERIFY(b.setup->optCOMPort[0]->isChecked());
        if (situation == "no port") {
            b.setup->optCOMPort[0]->setAutoExclusive(false);
            b.setup->optCOMPort[0]->setChecked(false);
        } else if (situation == "mute") {
            b.sim.fault = LoggerSimulator::Fault::Mute;
        } else if (situation == "no device") {
            qputenv("QUORVANE_COM1", b.f.path("no-such-device").toLocal8Bit());
        }
        if (!connected)
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(561));

        // What the status line said while it tried; clicks and Escape meanwhile change nothing.
        QStringList statuses;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const QString s = b.setup->StatusText->text();
            if (statuses.isEmpty() || statuses.back() != s)
                statuses << s;
            b.setup->cmdConnect->click();
            b.setup->reject();
        });
        watch.start(0);
        QElapsedTimer clock;
        clock.start();
        b.setup->cmdConnect_Click();
        watch.stop();

        QCOMPARE(CowlIsOpen(), connected);
        QCOMPARE(b.sim.requestsAnswered(), requests);
        if (connected) {
            QCOMPARE(statuses, QStringList({LangText(568) + " ."}));
            QCOMPARE(b.setup->StatusText->text(), LangText(567));
            QCOMPARE(b.enabledButtons(), QStringList({"cmdCheckSensor", "cmdClose", "cmdDisconnect",
                                                      "cmdGetGraph", "cmdReadLogger", "cmdSleep"}));
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, "Already connected");
            b.setup->cmdConnect_Click();
        } else {
            QCOMPARE(statuses, QStringList({LangText(568) + " .", LangText(568) + " ..",
                                            LangText(568) + " ..."}));
            QCOMPARE(b.setup->StatusText->text(), LangText(565));
            QCOMPARE(b.enabledButtons(), QStringList({"cmdClose", "cmdConnect"}));
            // Each mute attempt waits for the version reply once.
            QVERIFY2(clock.elapsed() < 3 * (kFirstByteMs + 1500), qPrintable(situation));
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, "Already disconnected");
            b.setup->cmdDisconnect_Click();
            QCOMPARE(b.setup->StatusText->text(), LangText(566));
        }
        QVERIFY(b.setup->isVisible() && b.f.prompts.done());
    }

    // Every way out of the setup window closes the port; Disconnect closes it
    // and leaves the window; Sleep leaves only Connect.
    void leavingTheLink_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Close") << "close button";
        QTest::newRow("the close box") << "close box";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("Disconnect") << "disconnect";
        QTest::newRow("Sleep") << "sleep";
    }
    void leavingTheLink()
    {
        QFETCH(QString, how);
        Bench b;
        b.setup->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.setup.get()));
        QVERIFY(b.connect());
        if (how == "close button")
            b.setup->cmdClose->click();
        else if (how == "close box")
            b.setup->close();
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
        QCOMPARE(b.enabledButtons(), QStringList({"cmdClose", "cmdConnect"}));
    }

    // The Cowl menu opens the setup window, which the main window's
    // holding still does not stop.
    void fromTheMenu()
    {
        Bench b;
        frmMain* main = MainWindow();
        QAction* setup = main->command("mnuCowlSetup");
        main->Interact(false);
        QVERIFY(setup->isEnabled());
        main->Interact(true);
        bool wasOpen = false;
        b.f.prompts.modal("frmCowlSetup", inWindow([&](QDialog& d) {
                              auto& w = static_cast<frmCowlSetup&>(d);
                              QCOMPARE(w.windowTitle(), LangText(587));
                              w.cmdConnect_Click();
                              wasOpen = CowlIsOpen();
                              w.cmdClose_Click();
                          }));
        setup->trigger();
        QVERIFY(wasOpen);
        QVERIFY(!CowlIsOpen());
    }

    // The logger communications window shows what the logger holds.
    void readWindowShowsTheLogger()
    {
        Bench b;
        b.sim.state.serial = 1234567;
        b.sim.state.firmwareMajor = 1;
        b.sim.state.firmwareMinor = 3;
        b.sim.state.rateBlock = {{0x10, 0x20, 12, 6}};
        b.sim.state.multiplier = 10;
        b.sim.state.days = 0x41;
        b.sim.state.leakStatus = 3;
        b.sim.state.battery = 128;
        b.sim.state.lastReset = 1700000000;
        QVERIFY(b.connect());
        b.f.prompts.modal(
            "frmCowlRead", inWindow([&](QDialog& d) {
                auto& w = static_cast<frmCowlRead&>(d);
                QCOMPARE(b.setup->StatusText->text(), LangText(572));
                QVERIFY(b.enabledButtons().isEmpty()); // nothing else may start meanwhile
                QCOMPARE(w.txtVersionNumber->text(), QString("1.03"));
                QCOMPARE(w.txtSerialNumber->text(), QString("01234567"));
                QCOMPARE(w.txtLeakStateRate->text(), QString("60"));
                QCOMPARE(w.txtNoLeakStateRate->text(), QString("120"));
                QString days;
                for (QCheckBox* c : w.chkLoggingDays)
                    days += c->isChecked() ? '1' : '0';
                QCOMPARE(days, QString("1000001")); // Sunday and Saturday
                QCOMPARE(w.timeResetTime->dateTime(), CowlComms::LoggerTimeToDateTime(1700000000));
                QCOMPARE(w.txtLeakStatus->text(), LangText(409));
                QCOMPARE(w.txtBatteryVoltage->text(), QString("2.51"));
                QVERIFY(qAbs(w.medDate->dateTime().secsTo(QDateTime::currentDateTime())) <= 2);

                // While the logger is being programmed, the window's buttons wait.
                const QList<QAbstractButton*> buttons{w.cmdUpdate[0], w.cmdUpdate[1],
                                                      w.cmdUpdate[2], w.cmdUpdate[4], w.ResetTime};
                int looks = 0, enabledMeanwhile = 0;
                QTimer watch;
                QObject::connect(&watch, &QTimer::timeout, [&] {
                    ++looks;
                    for (QAbstractButton* button : buttons)
                        enabledMeanwhile += button->isEnabled();
                });
                watch.start(0);
                b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(569));
                w.cmdUpdate[4]->click();
                watch.stop();
                QVERIFY(looks > 0);
                QCOMPARE(enabledMeanwhile, 0);
                for (QAbstractButton* button : buttons)
                    QVERIFY(button->isEnabled());

                // The logger falls silent: each later request is one message, and
                // a closed link is not offered requests.
                b.sim.fault = LoggerSimulator::Fault::Mute;
                b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(561));
                w.cmdUpdate[4]->click();
                QVERIFY(!CowlIsOpen());
                const int answered = b.sim.requestsAnswered();
                b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(561));
                w.cmdUpdate[4]->click();
                QCOMPARE(b.sim.requestsAnswered(), answered);
                QString after;
                for (QCheckBox* c : w.chkLoggingDays)
                    after += c->isChecked() ? '1' : '0';
                QCOMPARE(after, days); // the boxes keep what was there
            }));
        b.setup->cmdReadLogger->click();
        QCOMPARE(b.setup->StatusText->text(), LangText(566));
        QCOMPARE(b.enabledButtons(), QStringList({"cmdClose", "cmdConnect"}));

        // A logger that stops answering as the window opens: one message, no window.
        b.sim.fault = LoggerSimulator::Fault::None;
        QVERIFY(b.connect());
        QCOMPARE(b.enabledButtons().size(), 6);
        b.sim.fault = LoggerSimulator::Fault::Mute;
        b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(561));
        b.setup->cmdReadLogger->click();
        QVERIFY(!CowlIsOpen());
        QCOMPARE(b.enabledButtons(), QStringList({"cmdClose", "cmdConnect"}));
    }

    // Programming: what is checked before anything is sent, the password,
    // and the logger's state afterwards.
    void programming_data()
    {
        QTest::addColumn<QString>("distributor");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("first");       // what the user types or ticks
        QTest::addColumn<QString>("second");      // the no-leak rate
        QTest::addColumn<QString>("password");    // empty: none asked for
        QTest::addColumn<int>("message");         // 0: none
        QTest::addColumn<QString>("loggerAfter"); // the logger's setting afterwards
        QTest::addColumn<QString>("boxAfter");    // what the window shows afterwards

        QTest::newRow("serial") << "" << 0 << "12000001"
                                << ""
                                << "qelmat" << 569 << "12000001"
                                << "12000001";
        QTest::newRow("serial, wrong password") << "" << 0 << "12000001"
                                                << ""
                                                << "Qelmat" << 585 << "01234567"
                                                << "12000001";
        QTest::newRow("serial, month 13") << "" << 0 << "13000001"
                                          << ""
                                          << "qelmat" << 570 << "01234567"
                                          << "13000001";
        QTest::newRow("serial, month 00") << "" << 0 << "00123456"
                                          << ""
                                          << "qelmat" << 570 << "01234567"
                                          << "00123456";
        QTest::newRow("serial, not digits") << "" << 0 << "12ab5678"
                                            << ""
                                            << "qelmat" << 570 << "01234567"
                                            << "12ab5678";
        QTest::newRow("serial of odd length does nothing") << "" << 0 << "1200001"
                                                           << ""
                                                           << "qelmat" << 0 << "01234567"
                                                           << "1200001";
        QTest::newRow("rates") << "" << 2 << "1275"
                               << "600"
                               << "" << 569 << "255 120"
                               << "1275 600";
        QTest::newRow("rates round down to five seconds") << "" << 2 << "1274"
                                                          << "7"
                                                          << "" << 569 << "254 1"
                                                          << "1270 5";
        QTest::newRow("a rate a byte cannot hold") << "" << 2 << "1300"
                                                   << "600"
                                                   << "" << 621 << "6 12"
                                                   << "1300 600";
        QTest::newRow("a rate below zero") << "" << 2 << "-5"
                                           << "600"
                                           << "" << 621 << "6 12"
                                           << "-5 600";
        QTest::newRow("a rate in exponent form") << "" << 2 << "1e3"
                                                 << "600"
                                                 << "" << 621 << "6 12"
                                                 << "1e3 600";
        QTest::newRow("a rate with a decimal point") << "" << 2 << "600"
                                                     << "12.0"
                                                     << "" << 621 << "6 12"
                                                     << "600 12.0";
        QTest::newRow("rates, Tavrosa") << "Tavrosa" << 2 << "100"
                                        << "200"
                                        << "qelmat" << 569 << "20 40"
                                        << "100 200";
        QTest::newRow("rates, Tavrosa, wrong password") << "Tavrosa" << 2 << "100"
                                                        << "200"
                                                        << "x" << 585 << "6 12"
                                                        << "100 200";
        QTest::newRow("days") << "" << 4 << "0100011"
                              << ""
                              << "" << 569 << "98"
                              << "0100011";
        QTest::newRow("days, Tavrosa, no password") << "Tavrosa" << 4 << "1111111"
                                                    << ""
                                                    << "" << 569 << "127"
                                                    << "1111111";
        QTest::newRow("clock") << "" << 1 << "2030-05-06T12:00:00"
                               << ""
                               << "" << 569 << "2030-05-06T12:00:00"
                               << "2030-05-06T12:00:00";
        QTest::newRow("clock, Tavrosa") << "Tavrosa" << 1 << "2030-05-06T12:00:00"
                                        << ""
                                        << "qelmat" << 569 << "2030-05-06T12:00:00"
                                        << "2030-05-06T12:00:00";
        QTest::newRow("clock, Tavrosa, wrong password") << "Tavrosa" << 1 << "2030-05-06T12:00:00"
                                                        << ""
                                                        << "" << 585 << "now"
                                                        << "2030-05-06T12:00:00";
    }
    void programming()
    {
        QFETCH(QString, distributor);
        QFETCH(int, index);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, password);
        QFETCH(int, message);
        QFETCH(QString, loggerAfter);
        QFETCH(QString, boxAfter);
        Bench b;
        SettingsStore::setText(Setting::Distributor, distributor);
        b.sim.state.serial = 1234567;
        b.sim.state.rateBlock = {{0x10, 0x20, 12, 6}};
        b.sim.state.days = 0x3E;
        QVERIFY(b.connect());
        const bool asked = index == 0 || (distributor == "Tavrosa" && index != 4);
        const QDateTime typed = QDateTime::fromString(first, Qt::ISODate);
        int sentBefore = 0;

        b.f.prompts.modal("frmCowlRead", inWindow([&](QDialog& d) {
                              auto& w = static_cast<frmCowlRead&>(d);
                              switch (index) {
                              case 0:
                                  w.txtSerialNumber->setText(first);
                                  break;
                              case 1:
                                  w.medDate->setDateTime(typed);
                                  break;
                              case 2:
                                  w.txtLeakStateRate->setText(first);
                                  w.txtNoLeakStateRate->setText(second);
                                  break;
                              case 4:
                                  for (int i = 0; i < 7; ++i)
                                      w.chkLoggingDays[i]->setChecked(first[i] == '1');
                                  break;
                              }
                              if (asked)
                                  b.f.prompts.modal("frmEnterPassword", typePassword(password));
                              if (message)
                                  b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(message));
                              sentBefore = b.sim.requestsAnswered();
                              w.cmdUpdate[index]->click();
                              QVERIFY(b.f.prompts.done());
                              switch (index) {
                              case 0:
                                  QCOMPARE(w.txtSerialNumber->text(), boxAfter);
                                  break;
                              case 1:
                                  QVERIFY(qAbs(w.medDate->dateTime().secsTo(typed)) <= 2);
                                  break;
                              case 2:
                                  QCOMPARE(w.txtLeakStateRate->text() + ' ' +
                                               w.txtNoLeakStateRate->text(),
                                           boxAfter);
                                  break;
                              case 4: {
                                  QString days;
                                  for (QCheckBox* c : w.chkLoggingDays)
                                      days += c->isChecked() ? '1' : '0';
                                  QCOMPARE(days, boxAfter);
                                  break;
                              }
                              }
                          }));
        b.setup->cmdReadLogger_Click();
        if (QTest::currentTestFailed())
            return;
        const auto& s = b.sim.state;
        const bool sent = message == 569;
        if (!sent)
            QCOMPARE(b.sim.requestsAnswered(), sentBefore); // nothing at all went out
        switch (index) {
        case 0:
            QCOMPARE(QString("%1").arg(s.serial, 8, 10, QChar('0')), loggerAfter);
            break;
        case 1: {
            const QDateTime clock = QDateTime::currentDateTime().addSecs(s.clockOffset);
            const QDateTime expected = loggerAfter == "now" ? QDateTime::currentDateTime() : typed;
            QVERIFY(qAbs(clock.secsTo(expected)) <= 3);
            break;
        }
        case 2:
            QCOMPARE(QString("%1 %2").arg(s.rateBlock[3]).arg(s.rateBlock[2]), loggerAfter);
            QCOMPARE(s.rateBlock[0], quint8(0x10)); // the rest of the block written back as it was
            QCOMPARE(s.rateBlock[1], quint8(0x20));
            break;
        case 4:
            QCOMPARE(QString::number(s.days), loggerAfter);
            break;
        }
    }

    // The histogram window: identity, chart geometry, history, export.
    void histogram_data()
    {
        QTest::addColumn<int>("largest"); // in bin 40; the rest hold 1 when non-zero
        QTest::addColumn<QString>("topLabel");
        QTest::addColumn<double>("tallestPercent"); // of the plot's height
        QTest::newRow("all zeros") << 0 << "0 % " << 0.0;
        QTest::newRow("largest 2048") << 2048 << "125 % " << 80.0;
        QTest::newRow("largest 65535") << 65535 << "4000 % " << 80.0;
    }
    void histogram()
    {
        QFETCH(int, largest);
        QFETCH(QString, topLabel);
        QFETCH(double, tallestPercent);
        Bench b;
        b.sim.state.serial = 7654321;
        b.sim.state.leakStatus = 2;
        if (largest) {
            b.sim.state.histogram.fill(1);
            b.sim.state.histogram[40] = largest;
        }
        b.sim.state.history.fill(0);
        b.sim.state.history[22] = 0x93; // the newest result comes last in the reply
        b.sim.state.history[23] = 0x85;
        b.sim.state.history[0] = 0x0A; // the oldest
        b.sim.state.history[1] = 0x03;
        QVERIFY(b.connect());
        QByteArray exported;
        b.f.prompts.modal("frmCowlGraph", inWindow([&](QDialog& d) {
                              auto& w = static_cast<frmCowlGraph&>(d);
                              QCOMPARE(b.setup->StatusText->text(), LangText(574));
                              QCOMPARE(w.lblSerialNumber->text(), LangText(530) + ": 07654321");
                              QCOMPARE(w.lblVersionNumber->text(), LangText(531) + ": 1.02");
                              QCOMPARE(w.lblStatus->text(), LangText(533) + ": " + LangText(408));
                              QVERIFY(w.chart->hasData());
                              QCOMPARE(w.chart->yLabel(10), topLabel);
                              QCOMPARE(w.chart->yLabel(0), QString("0 % "));
                              QCOMPARE(barHeightPercent(*w.chart, 40), tallestPercent);
                              QCOMPARE(w.chart->barTwips(40).left(), 4000.0);
                              QCOMPARE(w.chart->barTwips(99).bottom(), 5000.0);
                              if (!largest)
                                  for (int k = 0; k <= 10; ++k)
                                      QCOMPARE(w.chart->yLabel(k), QString("0 % "));
                              QCOMPARE(w.lblLevel[0]->text(), QString("19"));
                              QCOMPARE(w.lblSpread[0]->text(), QString("5"));
                              QCOMPARE(w.lblHistoryLeak[0]->text(), LangText(185) + "*");
                              QCOMPARE(w.lblLevel[11]->text(), QString("10"));
                              QCOMPARE(w.lblSpread[11]->text(), QString("3"));
                              QCOMPARE(w.lblHistoryLeak[11]->text(), LangText(186));
                              exported = w.exportBytes();
                          }));
        b.setup->cmdGetGraph->click();
        QCOMPARE(exported.count("\r\n"), 100);
        QVERIFY(exported.startsWith(largest ? "0,1\r\n1,1\r\n" : "0,0\r\n1,0\r\n"));
        QVERIFY(exported.contains("\r\n40," + QByteArray::number(largest) + "\r\n"));
        QVERIFY(exported.endsWith(largest ? "\r\n99,1\r\n" : "\r\n99,0\r\n"));
        QCOMPARE(exported.count(','), 100);
    }

    // An identity that cannot be read means no window at all; a histogram
    // or history that cannot be read, an empty chart without a word.
    void histogramReadFailures_data()
    {
        QTest::addColumn<int>("silentOn"); // the command the logger does not answer
        QTest::addColumn<bool>("shown");
        QTest::newRow("identity") << 0 << false;
        QTest::newRow("clock") << 2 << false;
        QTest::newRow("histogram") << 8 << true;
        QTest::newRow("history") << 7 << true;
    }
    void histogramReadFailures()
    {
        QFETCH(int, silentOn);
        QFETCH(bool, shown);
        Bench b;
        b.sim.state.histogram[10] = 500;
        QVERIFY(b.connect());
        b.sim.fault = LoggerSimulator::Fault::Mute;
        b.sim.faultCommand = silentOn;
        if (shown) {
            b.f.prompts.modal("frmCowlGraph", inWindow([&](QDialog& d) {
                                  auto& w = static_cast<frmCowlGraph&>(d);
                                  QVERIFY(!w.chart->hasData());
                                  QVERIFY(w.lblSerialNumber->text().endsWith("03123456"));
                                  QVERIFY(w.lblLevel[0]->text().isEmpty());
                                  // No histogram to export: no zeros that look like one.
                                  QVERIFY(!w.cmdSave->isEnabled());
                                  w.cmdSave_Click(); // no save dialog queued: none may show
                              }));
        } else {
            b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(561));
        }
        b.setup->cmdGetGraph->click();
        QVERIFY(!CowlIsOpen()); // the request that went unanswered closed the link
        QCOMPARE(b.setup->StatusText->text(), LangText(566));
    }

    // Export: the overwrite question, and a file that cannot be written.
    void exporting()
    {
        Bench b;
        b.sim.state.histogram[3] = 12;
        QVERIFY(b.connect());
        const QString target = b.f.file("chart.csv", "old\r\n");
        const QString unwritable = b.f.path("gone/chart.csv"); // a folder no longer there
        const QString fresh = b.f.path("fresh");               // no extension: .csv is added
        b.f.prompts.modal(
            "frmCowlGraph", inWindow([&](QDialog& d) {
                auto& w = static_cast<frmCowlGraph&>(d);
                b.f.prompts.saveFile(target);
                b.f.prompts.message(Box::YesNoStop, MsgAnswer::No, LangText(337) + target);
                w.cmdSave->click();
                b.f.prompts.saveFile(target);
                b.f.prompts.message(Box::YesNoStop, MsgAnswer::Yes, LangText(337) + target);
                w.cmdSave->click();
                b.f.prompts.saveFile(fresh);
                w.cmdSave->click();
                b.f.prompts.saveFile(unwritable);
                b.f.prompts.message(Box::Plain, MsgAnswer::OK, unwritable);
                w.cmdSave->click();
                b.f.prompts.saveFile(QString()); // cancelled
                w.cmdSave->click();
            }));
        b.setup->cmdGetGraph->click();
        QByteArray expected;
        for (int i = 0; i < 100; ++i)
            expected += QByteArray::number(i) + (i == 3 ? ",12\r\n" : ",0\r\n");
        QCOMPARE(readBytes(target), expected);
        QCOMPARE(readBytes(fresh + ".csv"), expected);
        QVERIFY(!QFile::exists(unwritable));
    }

    // Copy puts the window's picture on the clipboard; Print scales it onto a page.
    void copyAndPrint()
    {
        Bench b;
        b.sim.state.histogram[50] = 100;
        QVERIFY(b.connect());
        const QString pdf = b.f.path("chart.pdf");
        PrintIntoPdf(pdf);
        QImage copied;
        b.f.prompts.modal("frmCowlGraph", inWindow([&](QDialog& d) {
                              auto& w = static_cast<frmCowlGraph&>(d);
                              w.cmdCopy->click();
                              copied = QGuiApplication::clipboard()->image();
                              w.cmdPrint->click();
                          }));
        b.setup->cmdGetGraph->click();
        QCOMPARE(copied.size(), QSize(600, 600));
        // Some of the chart's bar colour is in the picture.
        bool blue = false;
        for (int x = 0; x < copied.width() && !blue; ++x)
            blue = copied.pixelColor(x, 320) == QColor(40, 90, 200);
        QVERIFY(blue);
        QVERIFY(readBytes(pdf).startsWith("%PDF"));

        // A printer that cannot start is told, not passed over.
        PrintIntoPdf(b.f.path("no-such-folder/chart.pdf"));
        b.f.prompts.modal("frmCowlGraph", inWindow([&](QDialog& d) {
                              b.f.prompts.message(Box::Plain, MsgAnswer::OK);
                              static_cast<frmCowlGraph&>(d).cmdPrint->click();
                          }));
        b.setup->cmdGetGraph->click();
    }

    // The sensor window polls while shown; a logger that falls silent or
    // vanishes ends in one message and a closed link.
    void sensor_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("closed by the user") << "close";
        QTest::newRow("the logger falls silent") << "mute";
        QTest::newRow("the adapter is pulled out") << "vanish";
    }
    void sensor()
    {
        QFETCH(QString, ending);
        Bench b;
        b.sim.state.noise = 23.5;
        QVERIFY(b.connect());
        QStringList seen;
        int ticksAfterFailure = -1;
        b.f.prompts.modal(
            "frmCowlSensor", inWindow([&](QDialog& d) {
                auto& w = static_cast<frmCowlSensor&>(d);
                QCOMPARE(w.windowTitle(), LangText(591));
                d.show();
                QVERIFY(QTest::qWaitFor([&] { return w.ticks() >= 3; }, 5000));
                for (int i = 0; i < 5; ++i) {
                    QTest::qWait(50);
                    const QString label = w.lblNoiseLevel->text();
                    seen << label;
                    const double level = label.chopped(3).toDouble();
                    QVERIFY(label.endsWith(" dB"));
                    QCOMPARE(w.prgNoiseLevel->value(), qRound(level));
                }
                b.sim.state.noise = 110;
                // Louder than the bar goes: a full bar, and the label says how loud.
                QVERIFY(QTest::qWaitFor(
                    [&] { return w.lblNoiseLevel->text().chopped(3).toDouble() > 100; }, 2000));
                QCOMPARE(w.prgNoiseLevel->value(), 100);
                if (ending == "close") {
                    w.cmdClose->click();
                    QVERIFY(!w.polling());
                    return;
                }
                b.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(561));
                if (ending == "mute")
                    b.sim.fault = LoggerSimulator::Fault::Mute;
                else
                    b.sim.close();
                QVERIFY(QTest::qWaitFor([&] { return !w.polling(); }, 5000));
                const int ticks = w.ticks();
                QTest::qWait(3 * kFirstByteMs); // no message per tick, no more requests
                ticksAfterFailure = w.ticks() - ticks;
                w.cmdClose->click();
            }));
        b.setup->cmdCheckSensor->click();
        QVERIFY(b.f.prompts.done());
        QVERIFY2(seen.size() == 5, qPrintable(seen.join('|')));
        QCOMPARE(b.setup->StatusText->text(), LangText(ending == "close" ? 567 : 566));
        QCOMPARE(CowlIsOpen(), ending == "close");
        if (ending != "close")
            QCOMPARE(ticksAfterFailure, 0);
    }
};

QTEST_MAIN(TestCowlWindows)
#include "tst_cowlwindows.moc"
