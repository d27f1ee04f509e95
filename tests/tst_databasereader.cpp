#include "DatabaseReader.h"
#include "LangText.h"
#include "RecordChecks.h"
#include "TestSupport.h"
#include "Utilities.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

// Fails every read after the first few bytes, as a disk or network error would.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray head) : m_head(std::move(head)) { open(ReadOnly); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        if (m_head.isEmpty())
            return -1;
        const qint64 n = std::min<qint64>(max, m_head.size());
        memcpy(data, m_head.constData(), size_t(n));
        m_head.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_head;
};

// A file of a head, a long run of 'x' and a tail, made as it is read; it
// counts the bytes it has handed out.
class GeneratedFile : public QIODevice
{
public:
    GeneratedFile(QByteArray head, qint64 filler, QByteArray tail)
        : m_head(std::move(head)), m_filler(filler), m_tail(std::move(tail))
    {
        open(ReadOnly);
    }
    qint64 handedOut() const { return m_pos; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 size = m_head.size() + m_filler + m_tail.size();
        qint64 n = 0;
        for (; n < max && m_pos < size; ++n, ++m_pos) {
            if (m_pos < m_head.size())
                data[n] = m_head[m_pos];
            else if (m_pos < m_head.size() + m_filler)
                data[n] = 'x';
            else
                data[n] = m_tail[m_pos - m_head.size() - m_filler];
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_head;
    qint64 m_filler;
    QByteArray m_tail;
    qint64 m_pos = 0;
};

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

    // How the reader takes a field: blanks trimmed, one double quote dropped
    // at each end, cut to the field's length; a field that is not there is empty.
    void fieldText_data()
    {
        QTest::addColumn<QByteArray>("comment1"); // the raw third field of a record line
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("quoted") << QByteArray("\"abc\"") << QByteArray("abc");
        QTest::newRow("blanks outside quotes") << QByteArray("  \" a \"  ") << QByteArray(" a ");
        QTest::newRow("inner quote kept") << QByteArray("\"a\"b\"") << QByteArray("a\"b");
        QTest::newRow("doubled quotes lose one each end")
            << QByteArray("\"\"a\"\"") << QByteArray("\"a\"");
        QTest::newRow("lone quote") << QByteArray("\"") << QByteArray("");
        QTest::newRow("unquoted") << QByteArray("Mill Lane") << QByteArray("Mill Lane");
        QTest::newRow("cut to twenty")
            << QByteArray("\"123456789012345678901234\"") << QByteArray("12345678901234567890");
        QTest::newRow("empty between commas") << QByteArray("") << QByteArray("");
    }
    void fieldText()
    {
        QFETCH(QByteArray, comment1);
        QFETCH(QByteArray, expected);
        QCOMPARE(read("h,h\r\n1234567,\"AB 1234 5678\"," + comment1 + ",\"c2\",\"\",\"\"\r\n"), 0);
        QCOMPARE(QByteArray::fromStdString(m_store.Records(1).Comment1.str()), expected);
        QCOMPARE(m_store.Records(1).Comment2.str(), std::string("c2"));
    }

    // The serial is read from its first eight characters; a line that ends
    // early leaves the later fields empty, and text after the last comma is
    // the user comment.
    void lineEnds()
    {
        QCOMPARE(read("h,h\r\n123456789,\"AB 1234 5678\"\r\n"), 0);
        QCOMPARE(m_store.Records(1).Serial, 12345678);
        QVERIFY(m_store.Records(1).Comment1.empty() && m_store.Records(1).UserComments.empty());
        QCOMPARE(read("h,h\r\n1234567,\"AB 1234 5678\",\"\",\"\",\"\",\"\",x\r\n"), 0);
        QCOMPARE(m_store.Records(1).UserComments.str(), std::string("x"));
    }

    void results_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ignoreErrors");
        QTest::addColumn<bool>("handheld");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("count");
        const QByteArray header = "\"Serial\",\"GridRef\"\r\n";
        QTest::newRow("empty file") << QByteArray() << false << false << 7 << 0 << -1;
        QTest::newRow("header only") << header << false << false << 7 << 1 << -1;
        QTest::newRow("one word, no line end")
            << QByteArray("word") << false << false << 7 << 1 << -1;
        QTest::newRow("word and header only")
            << "word\r\n" + header << false << false << 7 << 2 << -1;
        QTest::newRow("word, header, record")
            << "word\r\n" + header + records(1234567, 1) << false << false << 0 << 3 << 1;
        QTest::newRow("header and empty lines") << header + "\r\n\r\n\r\n"
                                                << false << false << 0 << 4 << 0;
        QTest::newRow("no final line end")
            << header + recordLine(1234567) << false << false << 0 << 2 << 1;
        QTest::newRow("bare CR ends lines")
            << "h,h\r" + recordLine(1234567) + "\r" + recordLine(2345678) << false << false << 0
            << 3 << 2;
        QTest::newRow("bare LF does not") << "h,h\n" + recordLine(1234567) + "\n"
                                          << false << false << 7 << 1 << -1;
        QTest::newRow("corrupt third record")
            << header + records(1234567, 2) + recordLine(13000000) + "\r\n" + records(2000000, 1)
            << false << false << 8 << 4 << 2;
        QTest::newRow("corrupt record kept")
            << header + records(1234567, 2) + recordLine(13000000) + "\r\n" + records(2000000, 1)
            << true << false << 0 << 5 << 4;
        QTest::newRow("corrupt first record")
            << header + recordLine(0) << false << false << 8 << 2 << 0;
        QTest::newRow("handheld skips line 2")
            << header + header + records(1234567, 2) << false << true << 0 << 4 << 2;
        QTest::newRow("handheld needs two headers") << header << false << true << 7 << 1 << -1;
        QTest::newRow("100,000 empty lines")
            << header + QByteArray(100000 * 2, '\0').replace(QByteArray(1, '\0'), "\r") << false
            << false << 0 << 200001 << 0;
        QTest::newRow("NUL bytes")
            << header + QByteArray(5000, '\0') << false << false << 8 << 2 << 0;
        QTest::newRow("NUL bytes kept")
            << header + QByteArray(5000, '\0') << true << false << 0 << 2 << 1;
        QByteArray garbage;
        for (int i = 0; i < 100000; ++i) {
            const char c = char((i * 7919 + 13) % 251);
            garbage += c == '\r' ? 'x' : c;
        }
        QTest::newRow("garbage") << "h,h\r\n" + garbage << false << false << 8 << 2 << 0;
        QTest::newRow("most records") << header + records(1000000, RecordStore::kMaxRecords)
                                      << false << false << 0 << 7000 << 6999;
        QTest::newRow("too many records") << header + records(1000000, RecordStore::kMaxRecords + 1)
                                          << false << false << 3 << 7001 << 6999;
        QTest::newRow("line too long")
            << header + recordLine(1234567) + "," + QByteArray(kMaxRecordLineLength + 10, 'x')
            << true << false << 5 << 2 << 0;
        QTest::newRow("huge header is skipped")
            << QByteArray(3 * kMaxRecordLineLength, ',') + "\r\n" + records(1234567, 1) << false
            << false << 0 << 2 << 1;
    }
    void results()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ignoreErrors);
        QFETCH(bool, handheld);
        QFETCH(int, result);
        QFETCH(int, lines);
        QFETCH(int, count);
        m_store.StoreCount = -1; // left alone by result 7
        QCOMPARE(read(bytes, ignoreErrors, handheld), result);
        QCOMPARE(m_store.LinesRead, lines);
        QCOMPARE(m_store.StoreCount, count);
    }

    // A 100 MB line is refused once it passes a megabyte: the reader stops
    // taking bytes there, so what it holds stays bounded however long the line.
    void hundredMegabyteLine()
    {
        const QByteArray head = "h,h\r\n" + recordLine(1234567) + ",\"";
        GeneratedFile file(head, 100 << 20, "\"\r\n");
        QCOMPARE(ReadDatabase(m_store, file, {true, false}), int(FileResult::LineTooLong));
        QCOMPARE(m_store.LinesRead, 2);
        QVERIFY(FileErrorText(5, true, m_store).contains(QLatin1String("2")));
        QVERIFY2(file.handedOut() < 3 * kMaxRecordLineLength,
                 qPrintable(QString::number(file.handedOut())));
    }

    void fields()
    {
        // Readings beyond 50 are not read; the next field is the comment.
        QByteArray line = "1234567,\"AB 1234 5678\",\"\",\"\",\"\",\"\"";
        for (int i = 1; i <= 52; ++i)
            line += ",\"2003/01/" + QByteArray::number(10 + i % 20) + "\",\"L\"," +
                    QByteArray::number(i % 90) + ",1";
        QCOMPARE(read("h,h\r\n" + line + "\r\n"), 0);
        const LoggerRecord& r = m_store.Records(1);
        QCOMPARE(r.Level[50], qint16(50));
        QCOMPARE(r.UserComments.str(), std::string("2003/01/21")); // reading 51's date

        // A handheld list line: six readings and a trailing comma.
        QByteArray hh = "2345678,\"AB 1234 5678\",\"\",\"\",\"\",\"\",";
        for (int i = 1; i <= 6; ++i)
            hh += "\"2003/01/0" + QByteArray::number(i) + "\",\"N\",20,10,";
        QCOMPARE(read("h,h\r\n" + hh + "\r\n"), 0);
        QCOMPARE(m_store.Records(1).Date[6].str(), std::string("2003/01/06"));
        QCOMPARE(m_store.Records(1).Date[7].str(), std::string());
        QCOMPARE(m_store.Records(1).UserComments.str(), std::string());

        // A one-character comment at the very end is kept.
        QCOMPARE(read("h,h\r\n" + recordLine(1234567) + ",x\r\n"), 0);
        QCOMPARE(m_store.Records(1).UserComments.str(), std::string("x"));
    }

    void statusFields_data()
    {
        QTest::addColumn<QByteArray>("tail"); // after the six record fields
        QTest::addColumn<bool>("handheld");
        QTest::addColumn<QString>("status");
        QTest::newRow("quoted, comment follows")
            << QByteArray(",\"2003/01/01\",\"NO LEAK\",1,1,\"note\"") << false << "NO LEAK";
        QTest::newRow("unquoted, quote later")
            << QByteArray(",2003/01/01,LEAK,1,1,\"note\"") << false << "LEAK";
        QTest::newRow("unquoted, no quote later")
            << QByteArray(",2003/01/01,LEAK,1,1,note") << false << "";
        QTest::newRow("handheld letter") << QByteArray(",2003/01/01, l ,1,1,") << true << "leak";
        QTest::newRow("handheld word")
            << QByteArray(",2003/01/01,\"Warn\",1,1,") << true << "warning";
        QTest::newRow("handheld unknown") << QByteArray(",2003/01/01,X,1,1,") << true << "";
    }
    void statusFields()
    {
        QFETCH(QByteArray, tail);
        QFETCH(bool, handheld);
        QFETCH(QString, status);
        // The six leading fields unquoted, so that the only quotes are the tail's.
        const QByteArray line = "1234567,AB 1234 5678,c1,c2,2003/01/01," + tail;
        QCOMPARE(read("word\r\nh,h\r\n" + line + "\r\n", false, handheld), 0);
        const std::string got = m_store.Records(1).Status[1].str();
        const std::string expected = status == QLatin1String("leak")      ? LangTextAnsi(185)
                                     : status == QLatin1String("warning") ? LangTextAnsi(184)
                                                                          : status.toStdString();
        QCOMPARE(got, expected);
    }

    void duplicateReport()
    {
        QByteArray body = "h,h\r\n";
        for (int s : {1234567, 2345678, 1234567, 3000000, 2345678, 2345678})
            body += recordLine(s) + "\r\n";
        QCOMPARE(read(body), 0);
        const QStringList lines = FindDuplicateSerials(m_store).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4); // heading, two serials, and the last line end
        QCOMPARE(lines[0], LangText(190) + "\t" + LangText(191) + "\t" + LangText(192));
        QCOMPARE(lines[1], QString("1\t01234567\t1"));
        QCOMPARE(lines[2], QString("2\t02345678\t2"));
        QCOMPARE(lines[3], QString());

        QCOMPARE(read("h,h\r\n" + records(1234567, 3)), 0);
        QCOMPARE(FindDuplicateSerials(m_store), QString());

        // Serial -1 is a serial like any other (only loaded when errors are ignored).
        QCOMPARE(read("h,h\r\n" + recordLine(-1) + "\r\n" + recordLine(-1) + "\r\n", true), 0);
        QVERIFY(FindDuplicateSerials(m_store).contains(QLatin1String("1\t-00000001\t1")));
    }

    void errorTextNamesTheLine()
    {
        QCOMPARE(read("h,h\r\n" + records(1234567, 2) + recordLine(13000000) + "\r\n"), 8);
        QCOMPARE(FileErrorText(8, true, m_store),
                 LangText(177) + "\r\n" + LangText(179) + "4" + LangText(180));
        QCOMPARE(FileErrorText(8, false, m_store), LangText(177));
        QCOMPARE(FileErrorText(42, false, m_store), LangText(178));
        m_store.LinesRead = 0;
        QCOMPARE(FileErrorText(2, true, m_store), LangText(171));
    }

    void missingAndUnreadable()
    {
        QCOMPARE(ReadDatabaseFile(m_store, m_dir.filePath("nothing.csv")), 2);
        QCOMPARE(ReadDatabaseFile(m_store, m_dir.path()), 2); // a folder is not a file
        QCOMPARE(m_store.LinesRead, 0);

        FailingDevice failsInHeader("h,h");
        QCOMPARE(ReadDatabase(m_store, failsInHeader), 1);
        FailingDevice failsInRecords("h,h\r\n" + records(1234567, 3));
        QCOMPARE(ReadDatabase(m_store, failsInRecords), 1);

#ifdef Q_OS_LINUX
        // A real file that opens but whose first read fails with an I/O error.
        QCOMPARE(ReadDatabaseFile(m_store, QStringLiteral("/proc/self/mem")), 1);
#endif
#ifdef Q_OS_UNIX
        if (geteuid() != 0) { // root reads everything
            const QString locked = m_dir.filePath("locked.csv");
            writeBytes(locked, "h,h\r\n" + records(1234567, 1));
            QFile::setPermissions(locked, QFileDevice::Permissions());
            QCOMPARE(ReadDatabaseFile(m_store, locked), 1);
        }
#endif
    }

    void progressGoesToTheStatusSink()
    {
        QStringList texts;
        SetStatusSink([&texts](const QString& t) { texts << t; });
        QCOMPARE(read("h,h\r\n" + records(1234567, 2)), 0);
        SetStatusSink(nullptr);
        QCOMPARE(texts, QStringList({LangText(155) + "2", LangText(155) + "3", QString()}));
    }

    void sampleFilesRead()
    {
        for (const char* name : {"north.csv", "south.csv", "east.pdb"}) {
            const QString path =
                QStringLiteral(QUORVANE_SOURCE_DIR "/samples/") + QLatin1String(name);
            QVERIFY2(ReadDatabaseFile(m_store, path) == 0, name);
            QVERIFY(m_store.StoreCount > 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestDatabaseReader)
#include "tst_databasereader.moc"
