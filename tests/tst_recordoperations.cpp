#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "LangText.h"
#include "LoggerList.h"
#include "PatrolMerge.h"
#include "RecordChecks.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#include <QtTest>

namespace {

LoggerRecord logger(qint32 serial, const char* date = "2003/01/01", const char* status = "N",
                    qint16 level = 10, qint16 spread = 5)
{
    LoggerRecord r;
    r.Serial = serial;
    r.GridRef = "AB 1234 5678";
    r.Date[1] = date;
    r.Status[1] = status;
    r.Level[1] = level;
    r.Spread[1] = spread;
    return r;
}

QList<qint32> serials(const LoggerList& list)
{
    QList<qint32> out;
    for (int line = 1; line <= list.LineCount(); ++line)
        out << list.record(list.RecordOfLine(line)).Serial;
    return out;
}

void fill(LoggerList& list, const QList<qint32>& serials)
{
    for (qint32 s : serials)
        QVERIFY(list.Insert(logger(s)) > 0);
}

// A list that holds as many loggers as a document can.
void fillToCapacity(LoggerList& list)
{
    RecordStore store;
    for (int i = 1; i <= LoggerList::kCapacity; ++i)
        store.Records(i) = logger(1000000 + i);
    store.StoreCount = LoggerList::kCapacity;
    QVERIFY(list.CopyFrom(store));
}

} // namespace

class TestRecordOperations : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Writes a database file of these records.
    QString database(const QString& name, const QList<LoggerRecord>& records)
    {
        RecordStore store;
        int i = 0;
        for (const LoggerRecord& r : records)
            store.Records(++i) = r;
        store.StoreCount = i;
        if (WriteDatabaseFile(store, path(name)) != 0)
            qFatal("cannot write %s", qPrintable(name));
        return path(name);
    }

    // A patrol window's document: these records, named as a file of that name.
    static void patrol(LoggerList& list, const QString& name, const QList<LoggerRecord>& records)
    {
        for (const LoggerRecord& r : records)
            QVERIFY(list.Insert(r) > 0);
        list.DMAName = name;
        list.Caption = QStringLiteral("/patrols/") + name;
    }

    static LoadDatabase reader()
    {
        return [](const QString& p) { return ReadDatabaseFile(p) == 0; };
    }

private slots:
    // Pasting at the current line puts each record there, so a run of
    // pasted records ends up last first; without a current line they follow
    // each other at the end.
    void pasteOrder_data()
    {
        QTest::addColumn<int>("currentLine");
        QTest::addColumn<QList<qint32>>("order");
        QTest::newRow("at line 2")
            << 2 << QList<qint32>{1000001, 9000003, 9000002, 9000001, 1000002};
        QTest::newRow("no current line")
            << 0 << QList<qint32>{1000001, 1000002, 9000001, 9000002, 9000003};
    }
    void pasteOrder()
    {
        QFETCH(int, currentLine);
        QFETCH(QList<qint32>, order);
        LoggerList list;
        fill(list, {1000001, 1000002});
        int line = currentLine;
        for (qint32 s : {9000001, 9000002, 9000003}) {
            const int pasted = list.PasteRecord(logger(s), line);
            QVERIFY(pasted > 0);
            if (line)
                line = pasted; // the current line becomes the pasted logger's
        }
        QCOMPARE(serials(list), order);
        LoggerList full;
        fillToCapacity(full);
        QCOMPARE(full.PasteRecord(logger(9000009), 1), 0);
    }

    void createNewRecord()
    {
        LoggerList list;
        fill(list, {1000001});
        int line = 0;
        QCOMPARE(list.CreateNewRecord(1000001, 0, QString(), &line), LoggerList::AddResult::Exists);
        QCOMPARE(list.CreateNewRecord(1000002, 1, "87654321", &line), LoggerList::AddResult::Added);
        QCOMPARE(line, 1);
        QCOMPARE(list.record(2).GridRef.str(), std::string("AA 8765 4321"));
        QCOMPARE(list.record(2).Comment1.str(), LangTextAnsi(354));
        QCOMPARE(list.CreateNewRecord(1000003, 0, "1234567", &line), LoggerList::AddResult::Added);
        QCOMPARE(list.record(3).GridRef.str(), std::string(kAbsentGridRef)); // not eight characters
        LoggerList full;
        fillToCapacity(full);
        QCOMPARE(full.CreateNewRecord(9000000, 0, QString()), LoggerList::AddResult::Full);
    }

    // A run of serials: existing ones skipped and listed, the location
    // counting up and wrapping, and never past the capacity or the valid serials.
    void fillRuns_data()
    {
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<QString>("location"); // empty: no locations
        QTest::addColumn<QList<qint32>>("created");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("locations");
        QTest::addColumn<int>("stop");
        QTest::newRow("step 100, the second exists")
            << qint64(1000100) << qint64(3) << qint64(100) << QString()
            << QList<qint32>{1000100, 1000300} << QStringList{"01000200"} << QStringList{} << 0;
        QTest::newRow("locations wrap after 99999998")
            << qint64(2000000) << qint64(3) << qint64(1) << "99999998"
            << QList<qint32>{2000000, 2000001, 2000002} << QStringList{}
            << QStringList{"9999 9998", "0000 0000", "0000 0001"} << 0;
        QTest::newRow("stepping past the valid serials stops")
            << qint64(12999998) << qint64(5) << qint64(1) << QString()
            << QList<qint32>{12999998, 12999999} << QStringList{} << QStringList{}
            << int(LoggerList::FillResult::InvalidSerial);
    }
    void fillRuns()
    {
        QFETCH(qint64, first);
        QFETCH(qint64, count);
        QFETCH(qint64, step);
        QFETCH(QString, location);
        QFETCH(QList<qint32>, created);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, locations);
        QFETCH(int, stop);
        LoggerList list;
        fill(list, {1000200});
        const LoggerList::FillResult r =
            list.Fill(first, count, step, !location.isEmpty(), location);
        QCOMPARE(r.existing, existing);
        QCOMPARE(int(r.stop), stop);
        QCOMPARE(serials(list).mid(1), created);
        QCOMPARE(r.created, int(created.size()));
        QCOMPARE(r.lastLine, list.LineCount());
        QVERIFY(list.AskForSave);
        for (int k = 0; k < locations.size(); ++k)
            QCOMPARE(QString::fromStdString(list.record(k + 2).GridRef.str()),
                     "AA " + locations[k]);
    }

    // A fill of 99,999,999 loggers stops at the capacity at once.
    void fillStopsWhenFull()
    {
        LoggerList list;
        fill(list, {1000001});
        const LoggerList::FillResult r = list.Fill(2000000, 99999999, 1, false, QString());
        QCOMPARE(int(r.stop), int(LoggerList::FillResult::Full));
        QCOMPARE(list.RecordCount(), LoggerList::kCapacity);
        QCOMPARE(r.stoppedAt, qint64(2000000 + LoggerList::kCapacity - 1));
    }

    void walkByDates_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("day first") << "25/12/2003"
                                   << "2003/12/25";
        QTest::newRow("year first already") << "2003-12-25"
                                            << "    /  /  ";
        QTest::newRow("no such month") << "01/13/2003"
                                       << "    /  /  ";
        QTest::newRow("no date stays no date") << ""
                                               << "";
    }
    void walkByDates()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(DayFirstToYearFirst(in), out);
    }

    // The two kinds of walk-by line, and what is refused.
    void importLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("message");
        QTest::addColumn<qint32>("serial");
        QTest::addColumn<QString>("deployed");
        QTest::addColumn<QString>("comment1");
        QTest::addColumn<QString>("comment2");
        QTest::addColumn<QString>("user");
        QTest::newRow("kind 1") << "1,1234567,x,25/12/2003,x,Main St,North,near hydrant,1" << true
                                << "" << 1234567 << "2003/12/25"
                                << "MAIN ST"
                                << "NORTH"
                                << "NEAR HYDRANT";
        QTest::newRow("kind 2") << "2,2345678,a,b,c,01/02/2004,d,A&B,Mill Lane,long note,1" << true
                                << "" << 2345678 << "2004/02/01"
                                << "A B"
                                << "MILL LANE"
                                << "LONG NOTE";
        QTest::newRow("kind 1 keeps 20 characters of its comment")
            << "1,1234567,x,25/12/2003,x,a,b,abcdefghijklmnopqrstuvwxyz,1" << true << "" << 1234567
            << "2003/12/25"
            << "A"
            << "B"
            << "ABCDEFGHIJKLMNOPQRST";
        QTest::newRow("a date written year first")
            << "1,1234567,x,2003-12-25,x,a,b,c,1" << true << "" << 1234567 << "    /  /  "
            << "A"
            << "B"
            << "C";
        QTest::newRow("bad serial")
            << "1,13000000,x,25/12/2003,x,a,b,c,1" << false
            << "13000000" + LangText(523) + "7" + LangText(524) + LangText(132) << 0 << ""
            << ""
            << ""
            << "";
        QTest::newRow("last field not 1")
            << "1,1234567,x,25/12/2003,x,a,b,c,0" << false << "" << 0 << ""
            << ""
            << ""
            << "";
        QTest::newRow("wrong number of fields")
            << "1,1234567,x,25/12/2003,x,a,b,1" << false << "" << 0 << ""
            << ""
            << ""
            << "";
        QTest::newRow("another kind")
            << "3,1234567,x,25/12/2003,x,a,b,c,1" << false << "" << 0 << ""
            << ""
            << ""
            << "";
        QTest::newRow("empty") << "" << false << "" << 0 << ""
                               << ""
                               << ""
                               << "";
    }
    void importLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, taken);
        QFETCH(QString, message);
        QFETCH(qint32, serial);
        QFETCH(QString, deployed);
        QFETCH(QString, comment1);
        QFETCH(QString, comment2);
        QFETCH(QString, user);
        LoggerList list;
        fill(list, {1000001});
        QString got;
        QCOMPARE(list.ImportRecord(line, 7, got), taken);
        QCOMPARE(got, message);
        QCOMPARE(list.AskForSave, taken);
        if (!taken) {
            QCOMPARE(list.RecordCount(), 1);
            return;
        }
        const LoggerRecord& r = list.record(list.GetRecFromSerial(serial));
        QCOMPARE(QString::fromStdString(r.Deployed.str()), deployed);
        QCOMPARE(QString::fromStdString(r.Comment1.str()), comment1);
        QCOMPARE(QString::fromStdString(r.Comment2.str()), comment2);
        QCOMPARE(QString::fromStdString(r.UserComments.str()), user);
        QCOMPARE(r.GridRef.str(), std::string(kAbsentGridRef));
    }

    // A logger the list holds is replaced whole: its readings go.
    void importReplacesAKnownLogger()
    {
        LoggerList list;
        fill(list, {1234567, 1000001});
        QString message;
        int line = 0;
        QVERIFY(list.ImportRecord("1,1234567,x,25/12/2003,x,a,b,c,1", 1, message, &line));
        QCOMPARE(line, 1);
        QCOMPARE(list.RecordCount(), 2);
        QVERIFY(list.record(1).Date[1].empty() && list.record(1).Level[1] == 0);
        LoggerList full;
        fillToCapacity(full);
        QVERIFY(!full.ImportRecord("1,9000000,x,25/12/2003,x,a,b,c,1", 1, message));
        QCOMPARE(message, LangText(618));
    }

    void readingShift()
    {
        LoggerRecord target = logger(1000001, "2003/01/01");
        for (int i = 2; i <= 50; ++i) {
            target.Date[i] = "2002/01/01";
            target.Level[i] = static_cast<qint16>(i);
        }
        const LoggerRecord fresh = logger(1000001, "2003/02/01", "L", 60, 20);
        QVERIFY(!SameLatestReading(target, fresh));
        ShiftInReading(target, fresh);
        QVERIFY(SameLatestReading(target, fresh));
        QCOMPARE(target.Date[2].str(), std::string("2003/01/01"));
        QCOMPARE(target.Level[50], qint16(49)); // the oldest reading is dropped
        LoggerRecord onlyStatus = fresh;
        onlyStatus.Status[1] = "W";
        QVERIFY(!SameLatestReading(target, onlyStatus));
    }

    void backupNames()
    {
        const QString db = path("names.csv");
        QCOMPARE(NextBackupName(db), db + ".000");
        writeBytes(db + ".000", "x");
        writeBytes(db + ".001", "x");
        QCOMPARE(NextBackupName(db), db + ".002");
    }

    // The merge, as the Part's cases run it.
    void merge()
    {
        const QString north = database("north.csv", {logger(1000001), logger(1000002)});
        const QByteArray before = readBytes(north);

        // Every logger has its newest reading: nothing written, no backup.
        LoggerList same;
        patrol(same, "north.csv", {logger(1000001), logger(1000002)});
        MergeOutcome out = MergeLatestPatrol(same, north, reader());
        QCOMPARE(out.kind, MergeOutcome::Unchanged);
        QVERIFY(out.log.contains(LangText(221)));
        QVERIFY(!QFile::exists(north + ".000"));
        QCOMPARE(readBytes(north), before);

        // A status-only difference counts; three new loggers go at the end in
        // patrol order and the report lists them last first.
        LoggerList patrolWindow;
        patrol(patrolWindow, "north.csv",
               {logger(1000001, "2003/01/01", "L"), logger(3000001), logger(1000002),
                logger(3000002), logger(3000003)});
        out = MergeLatestPatrol(patrolWindow, north, reader());
        QCOMPARE(out.kind, MergeOutcome::Merged);
        QCOMPARE(out.backup, north + ".000");
        QCOMPARE(out.message, LangText(225) + north + ".000");
        QCOMPARE(readBytes(north + ".000"), before);
        QCOMPARE(out.log, LangText(218) + "\n\n1000001" + LangText(219) + "\n1000002\n1" +
                              LangText(220) + "\n\n" + LangText(222) +
                              "\n03000003\n03000002\n03000001\n\n" + LangText(223));
        QCOMPARE(out.logCaption, LangText(224) + "north.csv.log");
        RecordStore back;
        QCOMPARE(ReadDatabaseFile(back, north), 0);
        QCOMPARE(back.StoreCount, 5);
        QCOMPARE(back.Records(3).Serial, 3000001);
        QCOMPARE(back.Records(5).Serial, 3000003);
        QCOMPARE(back.Records(1).Status[1].str(), std::string("L"));
        QCOMPARE(back.Records(1).Status[2].str(), std::string("N"));
        QCOMPARE(MergeLatestPatrol(patrolWindow, north, reader()).kind, MergeOutcome::Unchanged);
    }

    void mergeRefusals_data()
    {
        QTest::addColumn<QString>("patrolName");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("message");
        QTest::newRow("another name") << "north.csv"
                                      << "south.csv" << LangText(216);
        QTest::newRow("case differs") << "north.csv"
                                      << "North.pdb" << LangText(216);
        QTest::newRow("that very file") << "same.csv"
                                        << "same.csv" << LangText(215);
        QTest::newRow("cannot be read") << "gone.csv"
                                        << "gone.csv missing" << LangText(217);
    }
    void mergeRefusals()
    {
        QFETCH(QString, patrolName);
        QFETCH(QString, database);
        QFETCH(QString, message);
        const QString target =
            database.endsWith("missing") ? path("gone.csv") : this->database(database, {logger(1)});
        const QByteArray before = readBytes(target);
        LoggerList p;
        patrol(p, patrolName, {logger(1000001, "2009/01/01")});
        if (patrolName == database)
            p.Caption = target;
        const MergeOutcome out = MergeLatestPatrol(p, target, reader());
        QCOMPARE(out.kind, MergeOutcome::Refused);
        QVERIFY2(out.message.startsWith(message), qPrintable(out.message));
        QCOMPARE(readBytes(target), before);
        QVERIFY(!QFile::exists(target + ".000"));
    }

    // A .pdb database keeps its file; the merged data goes to a .csv beside it.
    void mergeIntoAPdb()
    {
        const QString pdb = database("east.pdb", {logger(1000001)});
        const QByteArray before = readBytes(pdb);
        LoggerList p;
        patrol(p, "east.csv", {logger(1000009)});
        const MergeOutcome out = MergeLatestPatrol(p, pdb, reader());
        QCOMPARE(out.kind, MergeOutcome::Merged);
        QCOMPARE(out.path, path("east.csv"));
        QCOMPARE(readBytes(pdb), before);
        QCOMPARE(readBytes(pdb + ".000"), before);
        RecordStore back;
        QCOMPARE(ReadDatabaseFile(back, path("east.csv")), 0);
        QCOMPARE(back.StoreCount, 2);
    }

    // A merge never reports success when it failed, and never writes past
    // the capacity.
    void mergeFailures()
    {
        // The new loggers would not fit: refused before anything is written.
        RecordStore big;
        for (int i = 1; i <= 6998; ++i)
            big.Records(i) = logger(1000000 + i);
        big.StoreCount = 6998;
        QCOMPARE(WriteDatabaseFile(big, path("full.csv")), 0);
        const QByteArray fullBefore = readBytes(path("full.csv"));
        LoggerList p;
        patrol(p, "full.csv", {logger(9000001), logger(9000002)});
        MergeOutcome out = MergeLatestPatrol(p, path("full.csv"), reader());
        QCOMPARE(out.kind, MergeOutcome::Refused);
        QCOMPARE(out.message, LangText(619));
        QCOMPARE(readBytes(path("full.csv")), fullBefore);
        QVERIFY(!QFile::exists(path("full.csv.000")));

        // The write fails (the .csv a .pdb becomes is a folder): the user is
        // told, with the path, that it was not written.
        const QString pdb = database("west.pdb", {logger(1000001)});
        QDir().mkpath(path("west.csv"));
        LoggerList west;
        patrol(west, "west.pdb", {logger(1000001, "2010/01/01")});
        out = MergeLatestPatrol(west, pdb, reader());
        QCOMPARE(out.kind, MergeOutcome::Failed);
        QCOMPARE(out.message, LangText(173) + ":\n" + path("west.csv"));

#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        // A folder where the backup cannot be made: nothing is written.
        const QString folder = path("locked");
        QDir().mkpath(folder);
        const QString db = folder + "/west.csv";
        QFile::copy(path("full.csv"), db);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        LoggerList w;
        patrol(w, "west.csv", {logger(1000001, "2010/01/01")});
        out = MergeLatestPatrol(w, db, reader());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(out.kind, MergeOutcome::Failed);
        QVERIFY(out.message.startsWith(LangText(173)));
        QCOMPARE(readBytes(db), fullBefore);
#endif
    }
};

QTEST_GUILESS_MAIN(TestRecordOperations)
#include "tst_recordoperations.moc"
