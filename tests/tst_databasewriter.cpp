#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "LangText.h"
#include "TestSupport.h"
#include "Utilities.h"

#include <QtTest>

class TestDatabaseWriter : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordStore m_store;

    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

    void fillStore(int count)
    {
        m_store.clear();
        for (int i = 1; i <= count; ++i) {
            m_store.Records(i).Serial = 1000000 + i;
            m_store.Records(i).GridRef = "AB 1234 5678";
        }
        m_store.StoreCount = count;
    }

private slots:
    // Opening a file and saving it writes exactly what the format says.
    void goldenFiles()
    {
        QCOMPARE(ReadDatabaseFile(m_store, testData("messy_input.csv")), 0);
        for (int i = 1; i <= m_store.StoreCount; ++i)
            TidyReadings(m_store.Records(i));
        QCOMPARE(WriteDatabaseFile(m_store, path("out.csv")), 0);
        QCOMPARE(readBytes(path("out.csv")), readBytes(testData("messy_expected.csv")));

        // A saved file saved again is unchanged.
        QCOMPARE(ReadDatabaseFile(m_store, testData("messy_expected.csv")), 0);
        QCOMPARE(WriteDatabaseFile(m_store, path("again.csv")), 0);
        QCOMPARE(readBytes(path("again.csv")), readBytes(testData("messy_expected.csv")));
    }

    // The handheld list: readings 1 to 6 only, each with the letter its
    // level and spread give, whatever the stored status; no user comment.
    void handheldListFile()
    {
        fillStore(1);
        LoggerRecord& r = m_store.Records(1);
        r.Comment1 = "1 Mill Lane";
        r.Deployed = "2003/01/01";
        for (int i = 1; i <= 50; ++i) {
            r.Date[i] = "2003/02/0" + std::to_string(i == 1 ? 1 : i % 8 + 1);
            r.Status[i] = "W";
            r.Level[i] = qint16(25 + i);
            r.Spread[i] = 25;
        }
        r.UserComments = "not sent";
        QCOMPARE(WriteKorvalindFile(m_store, path("list.pdb")), 0);
        QCOMPARE(readBytes(path("list.pdb")), readBytes(testData("handheld_expected.pdb")));
        r.Level[1] = 41;
        QCOMPARE(WriteKorvalindFile(m_store, path("list.pdb")), 0);
        QVERIFY(readBytes(path("list.pdb")).contains("\"2003/02/01\",\"L\",41,25,"));
    }

    // A comma or a carriage return in any text, the last status too, is never
    // written and the old file stays; a line feed is data. The list sends no status.
    void unwritableTexts()
    {
        const int no = FileResult::UnwritableText;
        const QString target = path("old.csv");
        const QByteArray old = "the previous contents\r\n";
        const struct
        {
            const char* text;
            bool lastStatus; // else the first comment
            int result, listResult;
        } rows[] = {{"Mill Lane, north", false, no, no},
                    {"Mill\rLane", false, no, no},
                    {"a,b", true, no, 0},
                    {"Mill\nLane", false, 0, 0}}; // last: read back below
        for (const auto& c : rows) {
            fillStore(2);
            (c.lastStatus ? m_store.Records(2).Status[50] : m_store.Records(2).Comment1) = c.text;
            QVERIFY(writeBytes(target, old));
            QCOMPARE(WriteDatabaseFile(m_store, target), c.result);
            QCOMPARE(WriteKorvalindFile(m_store, path("list.pdb")), c.listResult);
            QCOMPARE(FirstUnwritableRecord(m_store), c.result ? 2 : 0);
            QCOMPARE(readBytes(target) == old, c.result != 0);
            if (c.result)
                QCOMPARE(FileErrorText(c.result, false), LangText(175));
        }
        RecordStore back;
        QCOMPARE(ReadDatabaseFile(back, target), 0);
        QCOMPARE(back.Records(2).Comment1.str(), std::string("Mill\nLane"));
    }

    void failedWritesKeepTheOldFile()
    {
        fillStore(3);
        QCOMPARE(WriteDatabaseFile(m_store, path("gone/x.csv")), 4); // folder does not exist
        QVERIFY(!QFile::exists(path("gone")));
        QCOMPARE(WriteDatabaseFile(m_store, m_dir.path()), 4); // a folder, not a file
        QCOMPARE(WriteKorvalindFile(m_store, path("gone/x.pdb")), 4);
    }

    // Progress for each logger; a user comment cut to 255 characters in the
    // store too; an empty store writes the header alone.
    void progressLongCommentAndEmptyStore()
    {
        QStringList texts;
        SetStatusSink([&texts](const QString& t) { texts << t; });
        fillStore(2);
        m_store.Records(2).UserComments = std::string(300, 'c');
        QCOMPARE(WriteDatabaseFile(m_store, path("p.csv")), 0);
        SetStatusSink(nullptr);
        QCOMPARE(texts, QStringList({LangText(168) + "1", LangText(168) + "2", QString()}));
        QCOMPARE(m_store.Records(2).UserComments.str(), std::string(255, 'c'));
        QVERIFY(readBytes(path("p.csv")).endsWith(",\"" + QByteArray(255, 'c') + "\"\r\n"));
        fillStore(0);
        QCOMPARE(WriteDatabaseFile(m_store, path("empty.csv")), 0);
        const QByteArray golden = readBytes(testData("messy_expected.csv"));
        QCOMPARE(readBytes(path("empty.csv")), golden.left(golden.indexOf('\n') + 1));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseWriter)
#include "tst_databasewriter.moc"
