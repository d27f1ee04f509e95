#include "DatabaseReader.h"
#include "LangText.h"
#include "TestSupport.h"
#include "Utilities.h"

#include <QtTest>

namespace {

QByteArray recordLine(int serial)
{
    return QByteArray::number(serial) + ",\"AB 1234 5678\",\"c1\",\"c2\",\"2003/01/01\",\"\"";
}

QByteArray records(int from, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += recordLine(from + i) + "\r\n";
    return out;
}

// Bytes that end in a read error, as a disk or network error would.
class FailingFile : public QBuffer
{
public:
    explicit FailingFile(const QByteArray& bytes)
    {
        setData(bytes);
        open(ReadOnly);
    }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 n = QBuffer::readData(data, max);
        return n > 0 ? n : -1;
    }
};

// A record line of 52 readings.
QByteArray manyReadings()
{
    QByteArray line = recordLine(1234567);
    for (int i = 1; i <= 52; ++i)
        line += ",\"2003/01/" + QByteArray::number(10 + i % 20) + "\",\"L\"," +
                QByteArray::number(i % 90) + ",1";
    return line;
}

// A field of a record by name: serial, comment1, comment2, user, and
// date, status or level with a reading's number.
QString fieldOf(const LoggerRecord& r, const QString& name)
{
    const int h = QString(name).remove(QRegularExpression("\\D")).toInt();
    if (name == "serial")
        return QString::number(r.Serial);
    if (name.startsWith("level"))
        return QString::number(r.Level[h]);
    const AnsiText& t = name == "comment1"        ? r.Comment1
                        : name == "comment2"      ? r.Comment2
                        : name == "user"          ? r.UserComments
                        : name.startsWith("date") ? r.Date[h]
                                                  : r.Status[h];
    return QString::fromLatin1(t.str().c_str());
}

} // namespace

class TestDatabaseReader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordStore m_store;

    int read(const QByteArray& bytes, bool ignoreErrors = false, bool handheld = false)
    {
        const QString path = m_dir.filePath(QStringLiteral("in.csv"));
        if (!writeBytes(path, bytes))
            qFatal("cannot write test file");
        return ReadDatabaseFile(m_store, path, {ignoreErrors, handheld});
    }

private slots:
    void init() { m_store.clear(); }

    // A record line's fields: blanks trimmed, a quote dropped at each end, cut
    // to length, 50 readings, the comment after. checks: "field=value" (fieldOf).
    void recordLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("handheld");
        QTest::addColumn<QStringList>("checks");
        auto row = [](const char* name, const QByteArray& line, bool handheld,
                      const QStringList& checks) {
            QTest::newRow(name) << line << handheld << checks;
        };
        auto comment1 = [](const char* raw, const QString& taken) {
            QTest::addRow("comment 1 %s", raw)
                << "1234567,\"AB 1234 5678\"," + QByteArray(raw) + ",\"c2\",\"\",\"\"" << false
                << QStringList{"comment1=" + taken, "comment2=c2"};
        };
        comment1("  \" a \"  ", " a ");
        comment1("\"\"a\"\"", "\"a\"");
        comment1("\"", "");
        row("the serial's first eight characters, a line that ends early",
            "123456789,\"AB 1234 5678\"", false, {"serial=12345678", "comment1=", "user="});
        row("no readings: text after the last comma is the comment", recordLine(1234567) + ",x",
            false, {"user=x"});
        row("readings past 50: the next field is the comment", manyReadings(), false,
            {"level50=50", "user=2003/01/21"});
        QByteArray list = recordLine(2345678) + ",";
        for (int i = 1; i <= 6; ++i)
            list += "\"2003/01/0" + QByteArray::number(i) + "\",\"N\",20,10,";
        row("a handheld list line: six readings, a trailing comma", list, false,
            {"date6=2003/01/06", "date7=", "date50=", "user="});
        const QByteArray bare = "1234567,AB 1234 5678,c1,c2,2003/01/01,,2003/01/01,";
        const QByteArray quoted = recordLine(1) + ",2003/01/01,";
        row("status unquoted, a quote later", bare + "LEAK,1,1,\"note\"", false, {"status1=LEAK"});
        row("handheld letter", quoted + " l ,1,1,", true, {"status1=" + LangText(185)});
        row("handheld word", quoted + "\"Warn\",1,1,", true, {"status1=" + LangText(184)});
        row("handheld unknown", quoted + "X,1,1,", true, {"status1="});
    }
    void recordLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, handheld);
        QFETCH(QStringList, checks);
        QCOMPARE(read("h,h\r\n" + manyReadings() + "\r\n"), 0); // nothing of it may stay
        QCOMPARE(read("word\r\nh,h\r\n" + line + "\r\n", true, handheld), 0);
        for (const QString& check : checks) {
            const qsizetype eq = check.indexOf('=');
            QCOMPARE(fieldOf(m_store.Records(1), check.left(eq)), check.mid(eq + 1));
        }
    }

    // What a whole file reads as: the result, the lines read and the records
    // kept. flags: 1 keeps corrupt records, 2 reads a handheld result.
    void results_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QList<int>>("expected"); // result, lines, records (-1: left alone)
        auto row = [](const char* name, const QByteArray& bytes, int flags, QList<int> expected) {
            QTest::newRow(name) << bytes << flags << expected;
        };
        const QByteArray header = "\"Serial\",\"GridRef\"\r\n";
        const QByteArray corrupt =
            header + records(1234567, 2) + recordLine(13000000) + "\r\n" + records(2000000, 1);
        row("empty file", QByteArray(), 0, {7, 0, -1});
        row("header only", header, 0, {7, 1, -1});
        row("word and header only", "word\r\n" + header, 0, {7, 2, -1});
        row("bare LF does not", "h,h\n" + recordLine(1234567) + "\n", 0, {7, 1, -1});
        row("corrupt third record", corrupt, 0, {8, 4, 2});
        row("corrupt record kept", corrupt, 1, {0, 5, 4});
        row("corrupt first record", header + recordLine(0), 0, {8, 2, 0});
        row("handheld skips line 2", header + header + records(1234567, 2), 2, {0, 4, 2});
        row("handheld needs two headers", header, 2, {7, 1, -1});
        row("100,000 empty lines", header + QByteArray(200000, '\r'), 0, {0, 200001, 0});
        row("NUL bytes kept", header + QByteArray(5000, '\0'), 1, {0, 2, 1});
        QByteArray garbage;
        for (int i = 0; i < 100000; ++i) {
            const char c = char((i * 7919 + 13) % 251);
            garbage += c == '\r' ? 'x' : c;
        }
        row("garbage", "h,h\r\n" + garbage, 0, {8, 2, 0});
        row("most records", header + records(1000000, RecordStore::kMaxRecords), 0,
            {0, 7000, 6999});
        row("too many records", header + records(1000000, RecordStore::kMaxRecords + 1), 0,
            {3, 7001, 6999});
        row("huge header is skipped",
            QByteArray(3 * kMaxRecordLineLength, ',') + "\r\n" + records(1234567, 1), 0, {0, 2, 1});
    }
    void results()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, flags);
        QFETCH(QList<int>, expected);
        m_store.StoreCount = -1; // left alone by result 7
        const int result = read(bytes, flags & 1, flags & 2);
        QCOMPARE(QList<int>({result, m_store.LinesRead, m_store.StoreCount}), expected);
    }

    // A line of 100 MB is refused once it passes a megabyte, and nothing of
    // it kept: the reader stops taking bytes there, so its memory stays bounded.
    void hundredMegabyteLine()
    {
        QFile file(m_dir.filePath("long.csv"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("h,h\r\n" + recordLine(1234567) + ",\"");
        QVERIFY(file.resize(100 << 20)); // the rest reads as NULs, and takes no room on disk
        QVERIFY(file.seek(0));
        QCOMPARE(ReadDatabase(m_store, file, {true, false}), int(FileResult::LineTooLong));
        QCOMPARE(QList<int>({m_store.LinesRead, m_store.StoreCount}), QList<int>({2, 0}));
        QVERIFY(FileErrorText(5, true, m_store).contains(QLatin1String("2")));
        QVERIFY2(file.pos() < 3 * kMaxRecordLineLength, qPrintable(QString::number(file.pos())));
    }

    // Progress for each line read and each record searched; the search lists
    // each serial met again, in the order first met, with its count of repeats.
    void progressAndDuplicates()
    {
        QByteArray body = "h,h\r\n";
        for (int s : {1234567, 2345678, 1234567, 3000000, 2345678, 2345678})
            body += recordLine(s) + "\r\n";
        QStringList texts, expected;
        SetStatusSink([&texts](const QString& t) { texts << t; });
        QCOMPARE(read(body), 0);
        QCOMPARE(FindDuplicateSerials(m_store), LangText(190) + "\t" + LangText(191) + "\t" +
                                                    LangText(192) +
                                                    "\n1\t01234567\t1\n2\t02345678\t2\n");
        SetStatusSink(nullptr);
        for (int i = 1; i <= 6; ++i)
            expected << LangText(155) + QString::number(i + 1); // counting the header line
        expected << QString() << LangText(187);
        for (int i = 1; i <= 6; ++i)
            expected << LangText(188) + QString::number(i);
        QCOMPARE(texts, expected << "2" + LangText(193));
        QCOMPARE(read("h,h\r\n" + recordLine(-1) + "\r\n" + recordLine(-1) + "\r\n", true), 0);
        QVERIFY(FindDuplicateSerials(m_store).contains(QLatin1String("1\t-00000001\t1")));
    }

    // Files that cannot be read, and the error texts: a corrupt record is
    // named with its line, counting the headers.
    void errors()
    {
        QCOMPARE(read("h,h\r\n" + records(1234567, 2) + recordLine(13000000) + "\r\n"), 8);
        QCOMPARE(FileErrorText(8, true, m_store),
                 LangText(177) + "\r\n" + LangText(179) + "4" + LangText(180));
        QCOMPARE(FileErrorText(8, false, m_store), LangText(177));
        QCOMPARE(ReadDatabaseFile(m_store, m_dir.filePath("nothing.csv")), 2);
        QCOMPARE(ReadDatabaseFile(m_store, m_dir.path()), 2); // a folder is not a file
        QCOMPARE(m_store.LinesRead, 0);
        QCOMPARE(FileErrorText(2, true, m_store), LangText(171));

        FailingFile failsInHeader("h,h");
        QCOMPARE(ReadDatabase(m_store, failsInHeader), 1);
        FailingFile failsInRecords("h,h\r\n" + records(1234567, 3));
        QCOMPARE(ReadDatabase(m_store, failsInRecords), 1);

#ifdef Q_OS_LINUX
        // A real file that opens but whose first read fails with an I/O error,
        // and one that nobody may open for reading, root included.
        QCOMPARE(ReadDatabaseFile(m_store, QStringLiteral("/proc/self/mem")), 1);
        QCOMPARE(ReadDatabaseFile(m_store, QStringLiteral("/proc/sys/vm/drop_caches")), 1);
#endif
    }
};

QTEST_GUILESS_MAIN(TestDatabaseReader)
#include "tst_databasereader.moc"
