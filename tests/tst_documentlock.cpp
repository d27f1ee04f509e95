#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "DocumentLock.h"
#include "FileStamp.h"
#include "LangText.h"
#include "PatrolMerge.h"
#include "TestSupport.h"

#include <QProcess>
#include <QSysInfo>
#include <QtTest>

namespace {

const QString kNorth = QStringLiteral(QUORVANE_SOURCE_DIR "/samples/north.csv");

// The tool's exit status (-1 when it crashed or hung), what it said on
// standard error, and its process id.
struct ToolRun
{
    int status = -1;
    QByteArray said;
    qint64 pid = 0;
};
ToolRun runTool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(QUORVANE_TOOL), args);
    ToolRun run;
    run.pid = p.processId();
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        run.status = p.exitCode();
    run.said = p.readAllStandardError();
    return run;
}

} // namespace

class TestDocumentLock : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // The hash of a run of bytes is the same however it is handed over, and
    // changes with any byte, the first and the last included.
    void contentHash()
    {
        QByteArray bytes(200 * 1024 + 7, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 2654435761u) >> 13);
        auto hashOf = [](const QByteArray& b, int piece) {
            ContentHash h;
            for (int at = 0; at < b.size(); at += piece)
                h.add(b.constData() + at, std::min<qint64>(piece, b.size() - at));
            return h.result();
        };
        const quint64 whole = hashOf(bytes, bytes.size());
        for (int piece : {65536, 65535, 65537, 1000, 7})
            QCOMPARE(hashOf(bytes, piece), whole);
        for (int at : {0, 65535, 65536, int(bytes.size()) - 1}) {
            QByteArray other = bytes;
            other[at] = char(other[at] ^ 1);
            QVERIFY(hashOf(other, 4096) != whole);
        }
        QVERIFY(hashOf(bytes + '\0', 4096) != whole);
    }

    // What the reader and the writer record of a file agree, and a file only
    // touched is told from one rewritten by its bytes, not its time.
    void compareWithDisk_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("expected");
        QTest::newRow("untouched") << "" << int(DiskChange::Unchanged);
        QTest::newRow("touched") << "touch" << int(DiskChange::Unchanged);
        QTest::newRow("same size") << "byte" << int(DiskChange::Changed);
        QTest::newRow("gone") << "remove" << int(DiskChange::Gone);
    }
    void compareWithDisk()
    {
        QFETCH(QString, change);
        QFETCH(int, expected);
        const QString file = m_dir.filePath("stamp.csv");
        RecordStore store;
        FileStamp read, written;
        QCOMPARE(ReadDatabaseFile(store, kNorth, {}, &read), 0);
        QCOMPARE(WriteDatabaseFile(store, file, &written), 0);
        QVERIFY(written.hashed && written.sameTimes(StatFile(file)));
        QCOMPARE(written.hash, read.hash); // north.csv is written as it was read
        QByteArray bytes = readBytes(file);
        bytes[bytes.size() - 3] = 'X';
        QVERIFY(change != "byte" || writeBytes(file, bytes));
        if (change != "")
            QVERIFY(change == "remove" ? QFile::remove(file) : shiftModificationTime(file, 10));
        QCOMPARE(int(CompareWithDisk(written, file)), expected);
        QCOMPARE(written.sameTimes(StatFile(file)), expected == int(DiskChange::Unchanged));
    }

    // The lock beside a document: who holds it and since when; a lock left
    // by a process that ended taken over; one from another computer judged
    // by its age.
    void locks_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("mayBeAbandoned");
        QTest::newRow("free") << "" << int(DocumentLock::Held) << false;
        QTest::newRow("held here") << "here" << int(DocumentLock::HeldElsewhere) << false;
        QTest::newRow("process ended") << "dead" << int(DocumentLock::Held) << false;
        QTest::newRow("other host, today") << "other" << int(DocumentLock::HeldElsewhere) << false;
        QTest::newRow("other host, 13 h")
            << "other old" << int(DocumentLock::HeldElsewhere) << true;
        QTest::newRow("unreadable") << "empty" << int(DocumentLock::HeldElsewhere) << true;
    }
    void locks()
    {
        QFETCH(QString, before);
        QFETCH(int, state);
        QFETCH(bool, mayBeAbandoned);
        QTemporaryDir dir;
        const QString document = dir.filePath("north.csv");
        const QString lockFile = DocumentLock::lockPathFor(document);
        QCOMPARE(QFileInfo(lockFile).fileName(), QString(".north.csv.lock"));
        QVERIFY(writeBytes(document, "h,h\r\n"));
        DocumentLock first(document);
        // A lock as another copy writes it: process, program and host, then
        // the machine and boot it ran on.
        if (before == "here")
            QCOMPARE(first.tryLock(), DocumentLock::Held);
        if (before == "dead")
            QVERIFY(writeBytes(lockFile, QByteArray::number(runTool({"--help"}).pid) +
                                             "\nquorvane\n" + QSysInfo::machineHostName().toUtf8() +
                                             "\n"));
        if (before.startsWith("other"))
            QVERIFY(writeBytes(lockFile, "4242\nquorvane\nPC-17\nmachine\nboot\n") &&
                    shiftModificationTime(lockFile, before == "other" ? -60 : -13 * 3600));
        QVERIFY(before != "empty" || writeBytes(lockFile, ""));

        auto lock = std::make_unique<DocumentLock>(document);
        QCOMPARE(int(lock->tryLock()), state);
        const LockHolder holder = lock->holder();
        if (state == DocumentLock::Held) { // its maker named, both gone once let go
            QCOMPARE(readBytes(lockFile + ".user").trimmed(), CurrentUserName().toUtf8());
            lock.reset();
            QVERIFY(!QFileInfo::exists(lockFile) && !QFileInfo::exists(lockFile + ".user"));
        } else {
            QCOMPARE(MayBeAbandoned(holder, QDateTime::currentDateTime()), mayBeAbandoned);
            QCOMPARE(lock->heldByThisProcess(), before == "here");
            QCOMPARE(holder.otherHost, before.startsWith("other"));
            // Taken over once judged abandoned; a running holder keeps it.
            QCOMPARE(lock->takeOver(), before != "here");
        }
    }

    // Someone writing the database while the merge read it (or asked about
    // it) keeps their change: the merge writes nothing.
    void mergeMeetsAChange()
    {
        const QString database = m_dir.filePath("merge.csv");
        QVERIFY(writeBytes(database, readBytes(kNorth)));
        RecordStore store;
        QCOMPARE(ReadDatabaseFile(store, kNorth), 0);
        store.Records(1).Date[1] = "2031/01/01";
        LoggerList patrol;
        QVERIFY(patrol.CopyFrom(store));
        patrol.DMAName = "merge.csv";
        const QByteArray theirs = readBytes(kNorth) + "\r\n";
        const auto load = [&](const QString& p) {
            return ReadDatabaseFile(store, p) == 0 && writeBytes(p, theirs) &&
                   shiftModificationTime(p, 10);
        };
        const MergeOutcome out = MergeLatestPatrol(patrol, database, load, store);
        QCOMPARE(out.kind, MergeOutcome::Failed);
        QVERIFY(out.message.startsWith(LangText(888)));
        QCOMPARE(readBytes(database), theirs);
        QVERIFY(out.backups.isEmpty() && !QFile::exists(database + ".000"));
    }

    // The tool does not write a database a running program (this test) has
    // open, saying who has it, and writes it once that lock is gone.
    void toolLeavesAnOpenFile()
    {
        for (const auto& [command, refused] : {std::pair("convert", 4), {"merge", 1}}) {
            QTemporaryDir dir;
            const QString target = dir.filePath("north.csv"), patrol = dir.filePath("p/north.csv");
            QVERIFY(QDir().mkpath(dir.filePath("p")) && writeBytes(target, readBytes(kNorth)));
            RecordStore store; // a new reading for the first logger
            QCOMPARE(ReadDatabaseFile(store, kNorth), 0);
            store.Records(1).Date[1] = "2031/01/01";
            QCOMPARE(WriteDatabaseFile(store, patrol), 0);
            auto held = std::make_unique<DocumentLock>(target);
            QCOMPARE(held->tryLock(), DocumentLock::Held);
            const ToolRun run = runTool({command, patrol, target});
            QVERIFY2(run.status == refused, command);
            QVERIFY(run.said.contains(LangText(871).toUtf8() + CurrentUserName().toUtf8()));
            QVERIFY(run.said.contains(DocumentLock::lockPathFor(target).toUtf8()));
            QCOMPARE(readBytes(target), readBytes(kNorth));
            held.reset();
            QCOMPARE(runTool({command, patrol, target}).status, 0);
            QVERIFY(readBytes(target).contains("2031/01/01"));
            QVERIFY(!QFile::exists(DocumentLock::lockPathFor(target))); // the tool let go of it
        }
    }
};

QTEST_GUILESS_MAIN(TestDocumentLock)
#include "tst_documentlock.moc"
