#include "CowlComms.h"
#include "LangText.h"
#include "LoggerSimulator.h"
#include "SettingsStore.h"
#include "TestSupport.h"
#include "Utilities.h"

#include <QtTest>

using namespace CowlComms;

class TestCowl : public QObject
{
    Q_OBJECT

    std::unique_ptr<LoggerSimulator> m_logger;
    QStringList m_messages;
    QTemporaryDir m_settings;

    // A logger on a fresh pseudo-terminal, reached as COM1.
    LoggerSimulator& logger()
    {
        m_logger = std::make_unique<LoggerSimulator>();
        const QString path = m_logger->openPseudoTerminal();
        if (path.isEmpty())
            qFatal("no pseudo-terminal");
        qputenv("QUORVANE_COM1", path.toLocal8Bit());
        return *m_logger;
    }

private slots:
    void initTestCase()
    {
#ifndef Q_OS_UNIX
        QSKIP("the logger simulator needs pseudo-terminals");
#endif
        SettingsStore::useFileForTesting(m_settings.filePath("settings.ini"));
    }
    void init()
    {
        ResetForTesting();
        m_messages.clear();
        SetMessageSink([this](const QString& text) { m_messages << text; });
    }
    void cleanup()
    {
        QSettings(m_settings.filePath("settings.ini"), QSettings::IniFormat).clear();
        ResetForTesting();
        m_logger.reset();
        SetMessageSink(nullptr);
    }

    void encodings()
    {
        // The windows show 200 as 5.80, the tool 255 as not measurable.
        QCOMPARE(QString::number(*BatteryVolts(0), 'f', 2), QString("1.25"));
        QCOMPARE(LeakStatusText(3), LeakStatusText(1));
        QCOMPARE(LeakStatusText(7), QString("Undefined"));
        const QDateTime t(QDate(2024, 3, 31), QTime(2, 30, 0)); // local, whatever the time zone
        QCOMPARE(DateTimeToLoggerTime(t), qint32(1711852200));
        QCOMPARE(LoggerTimeToDateTime(1711852200).time(), QTime(2, 30, 0));
        // A typed rate is plain digits, at most what a byte of five-second
        // units holds; what is checked is what is sent.
        const std::pair<const char*, int> accepted[] = {
            {"0", 0}, {"4", 0}, {"5", 1}, {"1274", 254}, {"1275", 255}, {"01275", 255}};
        for (const auto& [typed, units] : accepted)
            QCOMPARE(RateUnits(typed), std::optional<quint8>(units));
        for (const char* refused :
             {"1276", "1300", "1e3", " 12", "12 ", "+5", "-5", "0x10", "12.0", "", "abc",
              "99999999999999999999", "\u0661\u0662", "\uff11\uff12"})
            QVERIFY2(!RateUnits(QString::fromUtf8(refused)), refused);
    }

    // What the Cowl windows' tests cannot see: the logger's clock against the
    // PC's, the rate multiplier asked only of firmware 1.02 and later 1.x
    // versions, and the bytes that programming sends.
    void readsAndProgramsALogger()
    {
        LoggerSimulator& sim = logger();
        sim.state.clockOffset = -3600;
        sim.state.multiplier = 7;
        QVERIFY(CowlConnect(1));
        QVERIFY(sim.awake());
        LoggerInfo info;
        QVERIFY(ReadLoggerInfo(info) && m_messages.isEmpty());
        QVERIFY(qAbs(info.clock.secsTo(QDateTime::currentDateTime()) - 3600) <= 2);
        const std::tuple<int, int, int> rows[] = {
            {0, 9, 30}, {1, 1, 30}, {1, 2, 42}, {1, 10, 42}, {2, 1, 30}};
        for (const auto& [major, minor, rate] : rows) {
            sim.state.firmwareMajor = quint8(major);
            sim.state.firmwareMinor = quint8(minor);
            qint16 a = 0, b = 0;
            QVERIFY(CowlGetVersion(a, b));
            const int before = sim.requestsAnswered();
            qint32 leak = 0, noLeak = 0;
            QVERIFY(CowlGetRates(leak, noLeak));
            QCOMPARE(leak, rate);
            QCOMPARE(sim.requestsAnswered() - before, rate == 42 ? 3 : 1);
        }
        QVERIFY(CowlSetRates(255, 254)); // the first two bytes go back as they were
        QCOMPARE(sim.state.rateBlock, (std::array<quint8, 4>{0x10, 0x20, 254, 255}));
        QVERIFY(CowlSetLoggingDays({true, true, false, false, false, false, true}));
        QCOMPARE(sim.state.days, quint8(0x43));
    }

    void linkRules()
    {
        LoggerSimulator& sim = logger();
        QVERIFY(CowlConnect(1));
        QVERIFY(!CowlConnect(5)); // closes the open port, opens none
        QVERIFY(!CowlIsOpen());
        QVERIFY(!CowlConnect(0));
        QVERIFY(CowlConnect(1));

        // An unknown command only waits for the link to go idle.
        State().CowlParams[0] = 0;
        QVERIFY(CowlTransact(99));

        // A short reply counts; the rest of the reply area keeps old bytes.
        State().CowlReply.fill(0xEE);
        sim.fault = LoggerSimulator::Fault::Short;
        qint16 major = 0, minor = 0;
        QVERIFY(CowlGetVersion(major, minor));
        QCOMPARE(State().CowlReply[0], quint8(0));
        QCOMPARE(State().CowlReply[1], quint8(0xEE));
        QCOMPARE(major, qint16(0xEE));

        // A request on a closed port is refused with a message.
        sim.fault = LoggerSimulator::Fault::None;
        QVERIFY(CowlSleep());
        QVERIFY(!CowlGetVersion(major, minor));
        QCOMPARE(m_messages, QStringList({LangText(571)}));
        QVERIFY(!CowlConnectDevice("/nonexistent/tty")); // nothing there to open
    }

    // A histogram's reply may start well after the request, within the
    // link's limit (1.5 s unless set); every misbehaviour closes the port.
    void replies_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("firstByteMs"); // the Com32 setting; empty: absent
        QTest::addColumn<bool>("read");
        QTest::newRow("1 s late, the default limit") << QString("slow") << QString() << true;
        QTest::newRow("1 s late, a limit of 0.5 s") << QString("slow") << QString("500") << false;
        QTest::newRow("1 s late, an unusable limit") << QString("slow") << QString("soon") << true;
        for (const char* f : {"mute", "garbage", "hangup", "badsum"})
            QTest::newRow(f) << QString(f) << QString() << false;
    }
    void replies()
    {
        QFETCH(QString, fault);
        QFETCH(QString, firstByteMs);
        QFETCH(bool, read);
        if (!firstByteMs.isEmpty())
            QSettings(m_settings.filePath("settings.ini"), QSettings::IniFormat)
                .setValue("Com32/FirstByteMs", firstByteMs);
        LoggerSimulator& sim = logger();
        QVERIFY(CowlConnect(1));
        QVERIFY(LoggerSimulator::faultFromName(fault, sim.fault));
        sim.slowMs = 1000;
        std::array<qint32, 100> counts{};
        QCOMPARE(CowlGetHistogram(counts), read);
        QCOMPARE(CowlIsOpen(), read);
        QCOMPARE(CowlSleep(), read);
    }

    // The state file of quorvane-loggersim.
    void simulatorSettings()
    {
        const QString file = m_settings.filePath("logger.txt");
        const QByteArray state =
            "# a leaking logger\nserial = 7654321\nfirmware = 1.05\nrates = 24,12\nfault = slow\n";
        QVERIFY(writeBytes(file, state));
        LoggerSimulator sim;
        QString error;
        QVERIFY2(sim.loadStateFile(file, &error), qPrintable(error));
        QCOMPARE(sim.state.serial, quint32(7654321));
        QCOMPARE(sim.state.firmwareMinor, quint8(5));
        QCOMPARE(sim.state.rateBlock[3], quint8(12));
        QVERIFY(sim.fault == LoggerSimulator::Fault::Slow);
        QVERIFY(writeBytes(file, state + "battery: 12\n"));
        QVERIFY(!sim.loadStateFile(file, &error) && error.contains("line 6"));
        QVERIFY(!sim.setOption("serial", "16777216", &error) && error.startsWith("serial"));
        QVERIFY(!sim.setOption("history", "1,2,3", &error));
    }
};

QTEST_GUILESS_MAIN(TestCowl)
#include "tst_cowl.moc"
