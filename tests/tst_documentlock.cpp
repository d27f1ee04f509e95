#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "FileStamp.h"
#include "TestSupport.h"

#include <QtTest>

namespace {

const QString kNorth = QStringLiteral(QUORVANE_SOURCE_DIR "/samples/north.csv");

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
        QTest::newRow("grown") << "grow" << int(DiskChange::Changed);
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
        if (change == "byte" || change == "grow")
            QVERIFY(writeBytes(file, change == "grow" ? readBytes(file) + "\r\n" : bytes));
        if (change != "")
            QVERIFY(change == "remove" ? QFile::remove(file) : shiftModificationTime(file, 10));
        QCOMPARE(int(CompareWithDisk(written, file)), expected);
        QCOMPARE(written.sameTimes(StatFile(file)), expected == int(DiskChange::Unchanged));
    }
};

QTEST_GUILESS_MAIN(TestDocumentLock)
#include "tst_documentlock.moc"
