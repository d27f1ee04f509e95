#include "SettingsStore.h"
#include "TestSupport.h"
#include "Twips.h"
#include "Utilities.h"

#include <QtTest>

using namespace SettingsStore;

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_ini = m_dir.filePath("settings.ini");

private slots:
    void init()
    {
        QFile::remove(m_ini);
        useFileForTesting(m_ini);
        SetProgramFolderForTesting(m_dir.filePath("prog"));
    }
    void cleanupTestCase()
    {
        useFileForTesting(QString());
        SetProgramFolderForTesting(QString());
    }

    // A first run: the program's folder, nothing written by reading. A save:
    // text, True and False, and no default folder before a file is saved;
    // then the folder of the last file saved or opened.
    void firstRunAndSave()
    {
        ProgramSettings g;
        g.load();
        QCOMPARE(g.DefaultPath, QDir::toNativeSeparators(m_dir.filePath("prog")));
        QCOMPARE(g.BrenvaskDirectory, QDir::toNativeSeparators(m_dir.filePath("prog/brenvask")));
        QVERIFY(!g.EnHistEdit && !g.IgnoreFileErrs && !g.UseModem && !g.FollowMouse);
        QCOMPARE(number(Setting::DMAForm_Height), std::nullopt); // the window works it out
        QVERIFY(!QFile::exists(m_ini));

        g.EnHistEdit = true;
        g.FillIncrement = 25;
        g.CataloguePath = "C:\\loggers";
        g.save();
        QSettings raw(m_ini, QSettings::IniFormat);
        QCOMPARE(raw.value("Settings/EnHistEdit").toString(), QString("True"));
        QCOMPARE(raw.value("Settings/IgnoreFileErrs").toString(), QString("False"));
        QCOMPARE(raw.value("Settings/FillIncrement").toString(), QString("25"));
        QCOMPARE(raw.value("Settings/CataloguePath").toString(), QString("C:\\loggers"));
        QVERIFY(!raw.contains("Settings/DefaultPath"));
        setText(Setting::IgnoreFileErrs, "True");
        ProgramSettings again;
        again.load();
        QVERIFY(again.EnHistEdit && again.IgnoreFileErrs);

        setText(Setting::DefaultPath, "C:\\data\\");
        Globals().load();
        QCOMPARE(Globals().DefaultPath, QString("C:\\data"));
        RememberDefaultPath("D:\\dma\\north.csv");
        QCOMPARE(Globals().DefaultPath, QString("D:\\dma"));
        QCOMPARE(stored(Setting::DefaultPath), std::optional<QString>("D:\\dma"));
        RememberDefaultPath("Untitled0001.CSV"); // no folder: nothing changes
        QCOMPARE(stored(Setting::DefaultPath), std::optional<QString>("D:\\dma"));

        // Each key once in the one table, under the name users' files hold.
        QSet<QString> names;
        for (int k = 0; k < int(Setting::Count); ++k)
            names.insert(keyName(Setting(k)));
        QCOMPARE(names.size(), int(Setting::Count));
    }

    // A stored text as a 32-bit number, a 16-bit number and a boolean.
    void conversions()
    {
        const std::tuple<const char*, int, int, bool> rows[] = {
            {"5", 5, 5, true},         {"abc", 1, 1, false},       {" 7 ", 7, 7, true},
            {"70000", 70000, 1, true}, {"9999999999", 1, 1, true}, {"0", 0, 0, false},
            {"True", 1, 1, true},      {"false", 1, 1, false},     {"", 1, 1, false}};
        for (const auto& [stored, fillIncrement, comPort, useModem] : rows) {
            for (Setting key : {Setting::FillIncrement, Setting::ComPort, Setting::UseModem})
                setText(key, stored);
            QVERIFY2(integer(Setting::FillIncrement).value() == fillIncrement, stored);
            QVERIFY2(integer(Setting::ComPort).value() == comPort, stored);
            QVERIFY2(boolean(Setting::UseModem) == useModem, stored);
        }
    }

    // Sizes and places are stored in twips; one far past any screen (a file
    // edited or damaged) is held to the largest a window can be.
    void twipsAsPixels()
    {
        const std::pair<double, int> rows[] = {
            {150, 10}, {22.5, 2}, {-22.5, -2}, {1e12, kMostPixels}, {-3e10, -kMostPixels}};
        for (const auto& [twips, pixels] : rows)
            QCOMPARE(TwipsToPixels(twips), pixels);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
