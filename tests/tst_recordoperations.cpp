#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "LangText.h"
#include "LoggerList.h"
#include "PatrolMerge.h"
#include "TestSupport.h"
#include "Utilities.h"

#include <QtTest>

namespace {

LoggerRecord logger(qint32 serial, const QString& date = "2003/01/01", const QString& status = "N",
                    int level = 10, int spread = 5)
{
    LoggerRecord r;
    r.Serial = serial;
    r.GridRef = "AB 1234 5678";
    r.Date[1] = date.toStdString();
    r.Status[1] = status.toStdString();
    r.Level[1] = static_cast<qint16>(level);
    r.Spread[1] = static_cast<qint16>(spread);
    return r;
}

void writeDatabase(const QString& path, const QList<LoggerRecord>& records)
{
    RecordStore store;
    for (const LoggerRecord& r : records)
        store.Records(++store.StoreCount) = r;
    QCOMPARE(WriteDatabaseFile(store, path), 0);
}

// Every file of a folder and its bytes; a folder is listed with a "/".
QMap<QString, QByteArray> folderContents(const QString& folder)
{
    QMap<QString, QByteArray> out;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
        out.insert(f.fileName() + (f.isDir() ? "/" : ""), readBytes(f.filePath()));
    return out;
}

// Merges a patrol window's document (these records, from patrolPath) into
// the database.
MergeOutcome merge(const QString& patrolPath, const QList<LoggerRecord>& records,
                   const QString& database)
{
    LoggerList patrol;
    for (const LoggerRecord& r : records)
        patrol.Insert(r);
    patrol.DMAName = FileTitle(patrolPath);
    patrol.Caption = patrolPath;
    return MergeLatestPatrol(patrol, database,
                             [](const QString& p) { return ReadDatabaseFile(p) == 0; });
}

} // namespace

class TestRecordOperations : public QObject
{
    Q_OBJECT

private slots:
    // Which patrol reading goes on top of the logger's fifty: never one
    // without a date; one equal to the newest is there already; any other,
    // an older date too, is new (readings are compared, not ordered).
    void readingRules()
    {
        const std::pair<QStringList, bool> rows[] = {
            // the patrol's reading (date, status, level, spread), whether it is added
            {{"", "L", "40", "3"}, false},
            {{"          ", "L", "40", "3"}, false}, // a blank date is none
            {{"2003/05/01", "N", "10", "5"}, false}, // the newest reading already
            {{"2003/05/01", "L", "10", "5"}, true},
            {{"2003/05/01", "N", "11", "5"}, true},
            {{"2003/05/01", "N", "10", "6"}, true},
            {{"2003/06/01", "N", "10", "5"}, true},
            {{"2003/04/01", "N", "10", "5"}, true}};
        for (const auto& [reading, added] : rows) {
            QTemporaryDir dir;
            LoggerRecord full = logger(1000001, "2003/05/01");
            for (int i = 2; i <= kMaxHistories; ++i) {
                full.Date[i] = "2002/01/01";
                full.Level[i] = full.Spread[i] = static_cast<qint16>(i);
            }
            const QString north = dir.filePath("north.csv");
            writeDatabase(north, {full});
            const QMap<QString, QByteArray> before = folderContents(dir.path());
            const MergeOutcome out = merge(
                dir.filePath("patrol/north.csv"),
                {logger(1000001, reading[0], reading[1], reading[2].toInt(), reading[3].toInt())},
                north);
            QCOMPARE(out.kind, added ? MergeOutcome::Merged : MergeOutcome::Unchanged);
            if (!added) {
                QCOMPARE(folderContents(dir.path()), before); // no backup, nothing written
                continue;
            }
            RecordStore back;
            QCOMPARE(ReadDatabaseFile(back, north), 0);
            const LoggerRecord& r = back.Records(1);
            QCOMPARE(QStringList({QString::fromStdString(r.Date[1].str()),
                                  QString::fromStdString(r.Status[1].str()),
                                  QString::number(r.Level[1]), QString::number(r.Spread[1])}),
                     reading);
            QCOMPARE(r.Date[2].str(), std::string("2003/05/01"));
            QVERIFY(r.Level[50] == 49 && r.Spread[50] == 49); // the oldest reading is dropped
        }
    }

    // New loggers go at the end in patrol order, the report lists them last
    // first; more than a database holds is refused before anything is written.
    void mergeReport()
    {
        QTemporaryDir dir;
        const QString north = dir.filePath("north.csv");
        writeDatabase(north, {logger(1000001), logger(1000002)});
        const QString patrol = dir.filePath("patrol/north.csv");
        const QList<LoggerRecord> read = {logger(1000001, "2003/01/01", "L"), logger(3000001),
                                          logger(1000002), logger(3000002), logger(3000003)};
        const MergeOutcome out = merge(patrol, read, north);
        QCOMPARE(out.kind, MergeOutcome::Merged);
        QCOMPARE(out.log, LangText(218) + "\n\n01000001" + LangText(219) + "\n01000002\n1" +
                              LangText(220) + "\n\n" + LangText(222) +
                              "\n03000003\n03000002\n03000001\n\n" + LangText(223));
        QCOMPARE(out.logCaption, LangText(224) + "north.csv.log");
        QCOMPARE(out.message, LangText(225) + north + ".000");
        RecordStore back;
        QCOMPARE(ReadDatabaseFile(back, north), 0);
        QList<qint32> order;
        for (int i = 1; i <= back.StoreCount; ++i)
            order << back.Records(i).Serial;
        QCOMPARE(order, QList<qint32>({1000001, 1000002, 3000001, 3000002, 3000003}));
        QCOMPARE(merge(patrol, read, north).kind, MergeOutcome::Unchanged);

        QList<LoggerRecord> big;
        for (int i = 1; i <= LoggerList::kCapacity - 2; ++i) // three new ones would not fit
            big << logger(1000000 + i);
        writeDatabase(north, big);
        const QMap<QString, QByteArray> before = folderContents(dir.path());
        const MergeOutcome full = merge(patrol, read, north);
        QCOMPARE(full.kind, MergeOutcome::Refused);
        QCOMPARE(full.message, LangText(619));
        QCOMPARE(folderContents(dir.path()), before);
    }

    // What a merge leaves in the folder: every file it replaces kept first
    // under the next free number, the patrol's own file never written over,
    // every file as it was after a refusal or a failed backup.
    void mergeFiles_data()
    {
        QTest::addColumn<QString>("patrolFile");  // from the folder
        QTest::addColumn<QString>("database");    // the file chosen to merge into
        QTest::addColumn<QStringList>("files");   // there before; "x/" a folder
        QTest::addColumn<int>("message");         // the language string it starts with
        QTest::addColumn<QStringList>("backups"); // made=from
        QTest::addColumn<QString>("written");
        auto row = [](const char* name, const QString& patrolFile, const QString& database,
                      const QStringList& files, int message, const QStringList& backups = {},
                      const QString& written = QString()) {
            QTest::newRow(name) << patrolFile << database << files << message << backups << written;
        };
        row("the next free number", "p/north.csv", "north.csv",
            {"north.csv", "north.csv.000", "north.csv.001"}, 225, {"north.csv.002=north.csv"},
            "north.csv");
        row("pdb: kept, merged into a csv beside it", "p/north.csv", "north.pdb", {"north.pdb"},
            225, {"north.pdb.000=north.pdb"}, "north.csv");
        row("pdb beside a csv: both kept", "p/north.csv", "north.pdb",
            {"north.pdb", "north.csv", "north.csv.000"}, 225,
            {"north.csv.001=north.csv", "north.pdb.000=north.pdb"}, "north.csv");
        row("pdb beside the patrol's own csv", "north.csv", "north.pdb", {"north.pdb", "north.csv"},
            633);
        row("the patrol's own file, written another way", "./north.csv", "north.csv", {"north.csv"},
            215);
        row("another name", "p/south.csv", "north.csv", {"north.csv"}, 216);
        row("the name's case differs", "p/north.csv", "North.pdb", {"North.pdb"}, 216);
        row("no such database", "p/north.csv", "north.csv", {}, 217);
        const QString longName = QString(251, 'n') + ".csv";
        row("a backup name the file system refuses", "p/" + longName, longName, {longName}, 635);
        const QString b = QString(246, 'b');
        row("the second backup refused: the first taken back", "p/" + b + ".csv", b + ".x.pdb",
            {b + ".x.pdb", b + ".csv"}, 635);
        row("the write fails: a folder where the csv goes", "p/north.csv", "north.pdb",
            {"north.pdb", "north.csv/"}, 173, {"north.pdb.000=north.pdb"});
    }
    void mergeFiles()
    {
        QFETCH(QString, patrolFile);
        QFETCH(QString, database);
        QFETCH(QStringList, files);
        QFETCH(int, message);
        QFETCH(QStringList, backups);
        QFETCH(QString, written);
        QTemporaryDir dir;
        for (int k = 0; k < files.size(); ++k) {
            LoggerRecord r = logger(1000001);
            r.UserComments = "file " + std::to_string(k); // each file its own bytes
            if (files[k].endsWith('/'))
                QVERIFY(QDir(dir.path()).mkdir(files[k]));
            else
                writeDatabase(dir.filePath(files[k]), {r});
        }
        const QMap<QString, QByteArray> before = folderContents(dir.path());
        const MergeOutcome out =
            merge(dir.path() + "/" + patrolFile, {logger(1000001, "2010/01/01"), logger(3000001)},
                  dir.filePath(database));
        QVERIFY2(out.message.startsWith(LangText(message)), qPrintable(out.message));
        QCOMPARE(out.kind, message == 225                     ? MergeOutcome::Merged
                           : message == 173 || message == 635 ? MergeOutcome::Failed
                                                              : MergeOutcome::Refused);
        QCOMPARE(out.path, dir.filePath(written.isEmpty() ? database : written));

        QMap<QString, QByteArray> expected = before;
        QStringList made;
        for (const QString& backup : backups) {
            const QStringList pair = backup.split('='); // made, from
            expected.insert(pair[0], before.value(pair[1]));
            made << dir.filePath(pair[0]);
            QVERIFY2(out.message.contains(made.last()), qPrintable(out.message));
        }
        QCOMPARE(out.backups, made);
        const QMap<QString, QByteArray> after = folderContents(dir.path());
        if (!written.isEmpty()) {
            RecordStore back;
            QCOMPARE(ReadDatabaseFile(back, dir.filePath(written)), 0);
            QCOMPARE(back.StoreCount, 2);
            QCOMPARE(back.Records(1).Date[1].str(), std::string("2010/01/01"));
            expected.insert(written, after.value(written));
        }
        QCOMPARE(after, expected); // every file's bytes
    }
};

QTEST_GUILESS_MAIN(TestRecordOperations)
#include "tst_recordoperations.moc"
