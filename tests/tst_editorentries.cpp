#include "Address2Format.h"
#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "EditorEntries.h"
#include "LangText.h"
#include "LoggerList.h"
#include "RecordChecks.h"
#include "SettingsStore.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

LoggerRecord sample(qint32 serial)
{
    LoggerRecord r;
    r.Serial = serial;
    r.GridRef = "XY 1234 5678";
    r.Comment1 = "Mill Lane";
    r.Deployed = "2003/01/02";
    r.Received = "08:00:00";
    r.Date[1] = "2003/02/01";
    r.Status[1] = "LEAK";
    r.Level[1] = 40;
    r.Spread[1] = 25;
    return r;
}

QString crlf(const QString& line)
{
    return line + QStringLiteral("\r\n");
}

} // namespace

class TestEditorEntries : public QObject
{
    Q_OBJECT
private slots:
    // Update checks everything and reports every fault, each on its line.
    void validation_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("location");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("spread");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("serialAfter");
        QTest::newRow("sound") << "01234567"
                               << "12345678" << 1 << "2003/01/01"
                               << "40"
                               << "25"
                               << ""
                               << "01234567";
        QTest::newRow("seven digits gain a leading zero") << "1234567"
                                                          << "12345678" << 1 << ""
                                                          << "0"
                                                          << "0"
                                                          << ""
                                                          << "01234567";
        QTest::newRow("serial and location")
            << "13000000"
            << "1234567" << 1 << ""
            << "0"
            << "0" << crlf(LangText(191)) + crlf(LangText(379)) << "13000000";
        QTest::newRow("level and date of one row")
            << "01234567"
            << "12345678" << 9 << "2003/13/01"
            << "1a"
            << "0" << crlf(LangText(166) + " 9") + crlf(LangText(164) + " 9") << "01234567";
        QTest::newRow("spread of 100") << "01234567"
                                       << "________" << 50 << " "
                                       << "0"
                                       << "100" << crlf(LangText(167) + " 50") << "01234567";
        QTest::newRow("a blank date is no date") << "01234567"
                                                 << "12345678" << 3 << "  "
                                                 << " 7"
                                                 << "99"
                                                 << ""
                                                 << "01234567";
    }
    void validation()
    {
        QFETCH(QString, serial);
        QFETCH(QString, location);
        QFETCH(int, row);
        QFETCH(QString, date);
        QFETCH(QString, level);
        QFETCH(QString, spread);
        QFETCH(QString, report);
        QFETCH(QString, serialAfter);
        EditorEntries e = EditorEntries::FromRecord(sample(1234567));
        e.Serial = serial;
        e.Location = location;
        e.History[row - 1] = {date, "", level, spread};
        QString got;
        QCOMPARE(ValidateEntries(e, 50, got), report.isEmpty());
        QCOMPARE(got, report);
        QCOMPARE(e.Serial, serialAfter);
        if (report.isEmpty()) // what passes the checks is a sound record
            QVERIFY(IsValidRecord(RecordFromEntries(e, 50)));
    }

    void editorShowsAndGivesBack()
    {
        const LoggerRecord r = sample(1234567);
        EditorEntries e = EditorEntries::FromRecord(r);
        QCOMPARE(e.Serial, QString("01234567"));
        QCOMPARE(e.Location, QString("12345678"));
        QCOMPARE(e.History[0].Date, QString("2003/02/01"));
        QCOMPARE(e.History[1].Date, QString(" ")); // no date shows as a blank
        QCOMPARE(e.History[0].Level, QString("40"));
        const LoggerRecord back = RecordFromEntries(e, 50);
        QCOMPARE(back.GridRef.str(), std::string("AA 1234 5678")); // letters always AA
        QVERIFY(back.Date[2].empty());
        QCOMPARE(back.Level[1], qint16(40));
        QVERIFY(back.Deployed.empty()); // the list window restores it

        // No grid reference: shown as eight underscores, stored with them.
        LoggerRecord absent = r;
        absent.GridRef = kAbsentGridRef;
        e = EditorEntries::FromRecord(absent);
        QCOMPARE(e.Location, QString("________"));
        QString report;
        QVERIFY(ValidateEntries(e, 50, report));
        QCOMPARE(RecordFromEntries(e, 50).GridRef.str(), std::string("AA ____ ____"));
    }

    void historyDialogChecks_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("spread");
        QTest::addColumn<QString>("message");
        QTest::newRow("fine, tidied") << " 2003/01/01 "
                                      << " leak "
                                      << " 7 "
                                      << "9"
                                      << "";
        QTest::newRow("empty date") << ""
                                    << ""
                                    << "0"
                                    << "0"
                                    << "";
        QTest::newRow("date first") << "2003/1/1"
                                    << ""
                                    << "x"
                                    << "x" << LangText(385);
        QTest::newRow("level") << ""
                               << ""
                               << "100"
                               << "x" << LangText(387);
        QTest::newRow("spread") << ""
                                << ""
                                << "1"
                                << "-1" << LangText(388);
    }
    void historyDialogChecks()
    {
        QFETCH(QString, date);
        QFETCH(QString, status);
        QFETCH(QString, level);
        QFETCH(QString, spread);
        QFETCH(QString, message);
        QCOMPARE(CheckHistoryEntry(date, status, level, spread), message);
        QCOMPARE(status, status.trimmed().toUpper());
        QCOMPARE(date, date.trimmed());
        QCOMPARE(level, level.trimmed());
    }

    // Storing from the editor replaces the record of that serial but keeps
    // its dates, rewrites its line, and refuses what it cannot place.
    void storeFromEditor()
    {
        LoggerList list;
        QString refusal;
        QCOMPARE(list.StoreFromEditor(sample(1000001), refusal), 0);
        QCOMPARE(refusal, LangText(342));

        for (qint32 s : {1000001, 1000002, 1000003})
            QVERIFY(list.Insert(sample(s)) > 0);
        list.Sort(LoggerList::ColSerial, true);
        LoggerRecord edited = sample(1000002);
        edited.Deployed = "2099/09/09";
        edited.Received.clear();
        edited.Comment1 = "changed";
        QCOMPARE(list.StoreFromEditor(edited, refusal), 2);
        QVERIFY(refusal.isEmpty() && list.AskForSave);
        const LoggerRecord& stored = list.record(list.GetRecFromSerial(1000002));
        QCOMPARE(stored.Comment1.str(), std::string("changed"));
        QCOMPARE(stored.Deployed.str(), std::string("2003/01/02"));
        QCOMPARE(stored.Received.str(), std::string("08:00:00"));
        QCOMPARE(list.LineText(2, LoggerList::ColComment1), QString("changed"));

        list.AskForSave = false;
        QCOMPARE(list.StoreFromEditor(sample(1000009), refusal), 0);
        QCOMPARE(refusal, "01000009" + LangText(343) + "\r01000009" + LangText(346) + "\r");
        QVERIFY(!list.AskForSave);
    }

    // A serial new to the list gets a record after the current line whose
    // line shows only the serial until the rest is stored.
    void newSerialFromTheEditor()
    {
        LoggerList list;
        for (qint32 s : {1000001, 1000002, 1000003})
            QVERIFY(list.Insert(sample(s)) > 0);
        QCOMPARE(list.CreateNewRecord2(1000009, 3), 3);
        QCOMPARE(list.LineText(3, LoggerList::ColSerial), QString("01000009"));
        QCOMPARE(list.LineText(3, LoggerList::ColComment1), QString());
        QCOMPARE(list.LineText(4, LoggerList::ColSerial), QString("01000003"));
        QString refusal;
        QCOMPARE(list.StoreFromEditor(sample(1000009), refusal), 3);
        QCOMPARE(list.LineText(3, LoggerList::ColComment1), QString("Mill Lane"));

        LoggerList full;
        RecordStore store;
        for (int i = 1; i <= LoggerList::kCapacity; ++i)
            store.Records(i) = sample(1000000 + i);
        store.StoreCount = LoggerList::kCapacity;
        QVERIFY(full.CopyFrom(store));
        QCOMPARE(full.CreateNewRecord2(9000000, 1), 0);
        QCOMPARE(full.RecordCount(), LoggerList::kCapacity);
    }

    // The writer's last guard: a text holding a comma or a carriage return
    // is never written, and the old file stays; a line feed alone is data.
    void writerRefusesWhatTheFileCannotHold_data()
    {
        QTest::addColumn<QByteArray>("comment");
        QTest::addColumn<int>("result");
        QTest::newRow("comma") << QByteArray("Mill Lane, north") << int(FileResult::UnwritableText);
        QTest::newRow("carriage return")
            << QByteArray("Mill\rLane") << int(FileResult::UnwritableText);
        QTest::newRow("line feed alone") << QByteArray("Mill\nLane") << int(FileResult::Ok);
    }
    void writerRefusesWhatTheFileCannotHold()
    {
        QFETCH(QByteArray, comment);
        QFETCH(int, result);
        QTemporaryDir dir;
        const QString path = dir.filePath("north.csv");
        QVERIFY(writeBytes(path, "old\r\n"));
        RecordStore store;
        store.Records(1) = sample(1000001);
        store.Records(2) = sample(1000002);
        store.Records(2).Comment1 = comment.toStdString();
        store.StoreCount = 2;
        QCOMPARE(WriteDatabaseFile(store, path), result);
        QCOMPARE(WriteKorvalindFile(store, dir.filePath("list.pdb")), result);
        QCOMPARE(FirstUnwritableRecord(store), result ? 2 : 0);
        if (result) {
            QCOMPARE(readBytes(path), QByteArray("old\r\n"));
            QVERIFY(FileErrorText(result, false) == LangText(175));
            return;
        }
        RecordStore back;
        QCOMPARE(ReadDatabaseFile(back, path), 0);
        QCOMPARE(back.Records(2).Comment1.str(), comment.toStdString());
    }

    // The fifteen grid reference formats and everything else.
    void address2Formats_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("mask");
        const QString free = ">&&&&&&&&&&&&&&&&&&&&";
        QTest::newRow("0") << "0" << LangText(161) << free;
        QTest::newRow("1") << "1"
                           << "Lat/Long"
                           << ">?##\\.#####\\-?###\\.#####";
        QTest::newRow("2") << "2"
                           << "BNG Grid"
                           << ">??\\-#####\\-#####";
        QTest::newRow("3") << "3"
                           << "RD Grid"
                           << ">######\\-######";
        QTest::newRow("4") << "4"
                           << "KKJ Grid"
                           << ">#######\\-#######";
        QTest::newRow("5") << "5"
                           << "GK Grid"
                           << ">#######\\-#######";
        QTest::newRow("6") << "6"
                           << "ITM Grid"
                           << ">\\I?\\-#####\\-#####";
        QTest::newRow("7") << "7"
                           << "MGRS Grid"
                           << ">?##\\-??\\-#####\\-#####";
        QTest::newRow("8") << "8"
                           << "NZ Grid"
                           << ">E#######\\-N#######";
        QTest::newRow("9") << "9"
                           << "SG Grid"
                           << ">O#######\\-N#######";
        QTest::newRow("10") << "10"
                            << "SUI Grid"
                            << ">######\\-######";
        QTest::newRow("11") << "11"
                            << "T67 Grid"
                            << ">######\\-######";
        QTest::newRow("12") << "12"
                            << "UTM Grid"
                            << ">##\\-?\\-#######\\-#######";
        QTest::newRow("13") << "13"
                            << "QNG Grid"
                            << ">######\\-######";
        QTest::newRow("14") << "14" << LangText(616) << free;
        QTest::newRow("15") << "15" << LangText(161) << free;
        QTest::newRow("abc") << "abc" << LangText(161) << free;
        QTest::newRow("empty") << "" << LangText(161) << free;
        QTest::newRow("' 1'") << " 1" << LangText(161) << free;
    }
    void address2Formats()
    {
        QFETCH(QString, setting);
        QFETCH(QString, caption);
        QFETCH(QString, mask);
        QCOMPARE(Address2Caption(setting), caption);
        QCOMPARE(Address2Mask(setting), mask);
        Globals().Address2 = setting; // the program's setting is the one home
        QCOMPARE(Address2Caption(), caption);
        Globals().Address2 = QStringLiteral("0");
    }
};

QTEST_GUILESS_MAIN(TestEditorEntries)
#include "tst_editorentries.moc"
