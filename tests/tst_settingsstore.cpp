#include "RecordStore.h"
#include "SettingsStore.h"
#include "TestSupport.h"
#include "Utilities.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace SettingsStore;

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;

private slots:
    void init()
    {
        m_ini = m_dir.filePath("settings.ini");
        QFile::remove(m_ini);
        useFileForTesting(m_ini);
        SetProgramFolderForTesting(m_dir.filePath("prog"));
    }
    void cleanupTestCase()
    {
        useFileForTesting(QString());
        SetProgramFolderForTesting(QString());
    }

    void firstRunDefaults()
    {
        ProgramSettings g;
        g.load();
        QCOMPARE(g.DefaultPath, QDir::toNativeSeparators(m_dir.filePath("prog")));
        QCOMPARE(g.BrenvaskDirectory, QDir::toNativeSeparators(m_dir.filePath("prog/brenvask")));
        QCOMPARE(g.FillIncrement, 1);
        QCOMPARE(g.ComPort, qint16(1));
        QCOMPARE(g.NumberToDial, QString("1234567890"));
        QCOMPARE(g.DownLoadCount, qint16(1));
        QVERIFY(!g.EnHistEdit && !g.IgnoreFileErrs && !g.UseModem && !g.FollowMouse);
        QCOMPARE(text(Setting::MRU1), QString());
        QCOMPARE(integer(Setting::Level_ColPosition), std::optional<qint32>(9));
        QCOMPARE(integer(Setting::ChkAll), std::optional<qint32>(1));
        QCOMPARE(integer(Setting::TxtSerial_FIF), std::optional<qint32>(9000000));
        QCOMPARE(number(Setting::DMAForm_Width), std::optional<double>(9450));
        QCOMPARE(number(Setting::DMAForm_Height), std::nullopt); // the window works it out
        QCOMPARE(number(Setting::MainLeft), std::nullopt);
        QCOMPARE(text(Setting::FontName), QString("Courier New"));
        QCOMPARE(text(Setting::Distributor), QString("Quorvane"));
        QVERIFY(!QFile::exists(m_ini)); // reading writes nothing
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("fillIncrement");
        QTest::addColumn<int>("comPort");
        QTest::addColumn<bool>("useModem");
        QTest::newRow("plain") << "5" << 5 << 5 << true;
        QTest::newRow("letters fall back") << "abc" << 1 << 1 << false;
        QTest::newRow("blanks around") << " 7 " << 7 << 7 << true;
        QTest::newRow("out of 16 bits") << "70000" << 70000 << 1 << true;
        QTest::newRow("out of 32 bits") << "9999999999" << 1 << 1 << true;
        QTest::newRow("zero") << "0" << 0 << 0 << false;
        QTest::newRow("True") << "True" << 1 << 1 << true;
        QTest::newRow("false any case") << "false" << 1 << 1 << false;
        QTest::newRow("empty") << "" << 1 << 1 << false;
    }
    void conversions()
    {
        QFETCH(QString, stored);
        QFETCH(int, fillIncrement);
        QFETCH(int, comPort);
        QFETCH(bool, useModem);
        setText(Setting::FillIncrement, stored);
        setText(Setting::ComPort, stored);
        setText(Setting::UseModem, stored);
        QCOMPARE(integer(Setting::FillIncrement).value(), fillIncrement);
        QCOMPARE(integer(Setting::ComPort).value(), comPort);
        QCOMPARE(boolean(Setting::UseModem), useModem);
    }

    void valuesAreStoredAsText()
    {
        ProgramSettings g;
        g.load();
        g.EnHistEdit = true;
        g.FillIncrement = 25;
        g.CataloguePath = "C:\\loggers";
        g.save();
        QSettings raw(m_ini, QSettings::IniFormat);
        QCOMPARE(raw.value("Settings/EnHistEdit").toString(), QString("True"));
        QCOMPARE(raw.value("Settings/IgnoreFileErrs").toString(), QString("False"));
        QCOMPARE(raw.value("Settings/FillIncrement").toString(), QString("25"));
        QCOMPARE(raw.value("Settings/CataloguePath").toString(), QString("C:\\loggers"));
        QVERIFY(!raw.contains("Settings/DefaultPath")); // written only when a file is saved

        setText(Setting::IgnoreFileErrs, "True");
        ProgramSettings again;
        again.load();
        QVERIFY(again.EnHistEdit && again.IgnoreFileErrs);
    }

    void defaultPath()
    {
        setText(Setting::DefaultPath, "C:\\data\\");
        Globals().load();
        QCOMPARE(Globals().DefaultPath, QString("C:\\data"));

        RememberDefaultPath("D:\\dma\\north.csv");
        QCOMPARE(Globals().DefaultPath, QString("D:\\dma"));
        QCOMPARE(stored(Setting::DefaultPath), std::optional<QString>("D:\\dma"));
        RememberDefaultPath("/home/leaks/south.csv");
        QCOMPARE(Globals().DefaultPath, QString("/home/leaks"));
        RememberDefaultPath("Untitled0001.CSV"); // no folder: nothing changes
        QCOMPARE(stored(Setting::DefaultPath), std::optional<QString>("/home/leaks"));
    }

    void oneTableOfKeys()
    {
        QSet<QString> names;
        for (int k = 0; k < int(Setting::Count); ++k)
            names.insert(keyName(Setting(k)));
        QCOMPARE(names.size(), int(Setting::Count));
        QCOMPARE(keyName(Setting::mnuWindowFollowMouse), QString("mnuWindowFollowMouse"));
        QCOMPARE(keyName(Setting::UserComments_ColPosition), QString("UserComments_ColPosition"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
