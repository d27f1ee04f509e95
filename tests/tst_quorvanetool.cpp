#include "DatabaseReader.h"
#include "LangText.h"
#include "TestSupport.h"

#include <QDir>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run tool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(QUORVANE_TOOL), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
} // namespace

class TestQuorvaneTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void check()
    {
        Run r = tool({"check", testData("messy_input.csv")});
        QCOMPARE(r.out, QByteArray("result 0\nlines 8\nrecords 5\n"));
        QCOMPARE(r.exitCode, 0);

        const QByteArray line1 = "1234567,\"AB 1234 5678\",\"\",\"\",\"\",\"\"\r\n";
        writeBytes(path("dup.csv"), "h,h\r\n" + line1 + line1);
        r = tool({"check", path("dup.csv")});
        QVERIFY(r.out.startsWith("result 0\nlines 3\nrecords 2\n"));
        QVERIFY(r.out.endsWith("\n1\t01234567\t1\n"));

        writeBytes(path("bad.csv"), "h,h\r\n" + line1 + "13000000,\"AB 1234 5678\"\r\n");
        r = tool({"check", path("bad.csv")});
        QCOMPARE(r.exitCode, 8);
        QCOMPARE(r.out, QByteArray("result 8\nlines 3\nrecords 1\n"));
        QVERIFY(r.err.contains("3")); // names the line
        r = tool({"check", "--ignore-errors", path("bad.csv")});
        QCOMPARE(r.out, QByteArray("result 0\nlines 3\nrecords 2\n"));

        r = tool({"check", "--handheld", path("bad.csv")}); // line 2 is a header now
        QCOMPARE(r.out, QByteArray("result 8\nlines 3\nrecords 0\n"));

        r = tool({"check", path("missing.csv")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(!r.err.isEmpty());
    }

    void convertAndHandheld()
    {
        Run r = tool({"convert", testData("messy_input.csv"), "-"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, readBytes(testData("messy_expected.csv")));

        r = tool({"convert", testData("messy_input.csv"), path("out.csv")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(readBytes(path("out.csv")), readBytes(testData("messy_expected.csv")));

        r = tool({"handheld", testData("messy_input.csv"), path("list.pdb")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(readBytes(path("list.pdb")).startsWith("\"Velloran Korvalind V1.00,"));

        r = tool({"convert", testData("messy_input.csv"), path("no/such/folder.csv")});
        QCOMPARE(r.exitCode, 4);
    }

    void generate()
    {
        QCOMPARE(tool({"generate", "300", "50", path("a.csv")}).exitCode, 0);
        QCOMPARE(tool({"generate", "300", "50", path("b.csv")}).exitCode, 0);
        QCOMPARE(readBytes(path("a.csv")), readBytes(path("b.csv")));
        QCOMPARE(tool({"check", path("a.csv")}).out,
                 QByteArray("result 0\nlines 301\nrecords 300\n"));
        QCOMPARE(tool({"generate", "--first", "301", "5", "3", path("c.csv")}).exitCode, 0);
        QCOMPARE(tool({"check", path("c.csv")}).out, QByteArray("result 0\nlines 6\nrecords 5\n"));
    }

    // The tool against the logger simulator, two processes on a pseudo-terminal.
    void logger()
    {
        QProcess sim;
        sim.start(QStringLiteral(QUORVANE_LOGGERSIM),
                  {"--serial", "1234567", "--battery", "255", "--days", "65"});
        QVERIFY(sim.waitForReadyRead(10000));
        const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY(device.startsWith("/dev/"));
        Run r = tool({"logger", device, "info"});
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = QString::fromLatin1(r.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines[0], QString("firmware: 1.02"));
        QCOMPARE(lines[1], QString("serial: 01234567"));
        QCOMPARE(lines[5], QString("logging days: Sun Sat"));
        QCOMPARE(lines[8], QString("battery: not measurable"));
        r = tool({"logger", device, "histogram"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.count("\r\n"), 100);
        QVERIFY(r.out.startsWith("0,0\r\n") && r.out.contains("\r\n22,400\r\n"));
        QCOMPARE(tool({"logger", device, "noise"}).exitCode, 0);
        sim.kill();
        sim.waitForFinished();
        r = tool({"logger", device, "info"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("does not answer"));

        QProcess mute;
        mute.start(QStringLiteral(QUORVANE_LOGGERSIM), {"--fault", "mute"});
        QVERIFY(mute.waitForReadyRead(10000));
        r = tool({"logger", QString::fromLocal8Bit(mute.readLine()).trimmed(), "info"});
        QCOMPARE(r.exitCode, 1);
        mute.kill();
        mute.waitForFinished();
        QCOMPARE(tool({"logger", device, "everything"}).exitCode, 64);
    }

    // The merge without windows: the report on standard output, messages on
    // standard error, the backup and the file written as the program does.
    void merge()
    {
        auto record = [](int serial, const char* date, const char* status) {
            QByteArray line = QByteArray::number(serial) + ",\"AB 1234 5678\",\"\",\"\",\"\",\"\"";
            return line + ",\"" + date + "\",\"" + status + "\",20,5,\"\"\r\n";
        };
        const QByteArray header = "h,h\r\n";
        const QByteArray database = header + record(1000001, "2003/01/01", "N");
        writeBytes(path("north.csv"), database);
        QDir().mkpath(path("patrol"));
        writeBytes(path("patrol/north.csv"), header + record(1000001, "2003/01/01", "N"));
        Run r = tool({"merge", path("patrol/north.csv"), path("north.csv")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains(LangText(221).toLatin1()));
        QVERIFY(!QFile::exists(path("north.csv.000")));

        writeBytes(path("patrol/north.csv"), header + record(1000001, "2003/02/01", "L") +
                                                 record(2000002, "2003/02/01", "N"));
        r = tool({"merge", path("patrol/north.csv"), path("north.csv")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromLatin1(r.out), LangText(218) + "\n\n1000001" + LangText(219) + "\n1" +
                                                 LangText(220) + "\n\n" + LangText(222) +
                                                 "\n02000002\n\n" + LangText(223));
        QVERIFY(r.err.contains(LangText(225).toLatin1()));
        QCOMPARE(readBytes(path("north.csv.000")), database);
        const QByteArray merged = readBytes(path("north.csv"));
        r = tool({"check", path("north.csv")});
        QVERIFY(r.out.startsWith("result 0\nlines 3\nrecords 2\n"));
        QVERIFY(merged.contains("\"2003/02/01\",\"L\",20,5,\"2003/01/01\",\"N\",20,5,"));

        // A handheld result: status letters become the status texts.
        writeBytes(path("patrol/east.csv"), "h\r\nh,h\r\n" + record(1000001, "2004/01/01", "w"));
        writeBytes(path("east.pdb"), database);
        r = tool({"merge", "--handheld", path("patrol/east.csv"), path("east.pdb")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(readBytes(path("east.pdb")), database); // a .pdb stays as it was
        QVERIFY(
            readBytes(path("east.csv")).contains("\"2004/01/01\",\"" + LangText(184).toLatin1()));

        r = tool({"merge", path("patrol/north.csv"), path("east.csv")}); // another DMA
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(LangText(216).toLatin1()));
        r = tool({"merge", path("north.csv")});
        QCOMPARE(r.exitCode, 64);
    }

    // The report without windows: the same lines as File > Print, byte for
    // byte as text, and on pages in a PDF.
    void report_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("golden");
        QTest::newRow("logger report with history")
            << QStringList{"--grid-ref", "--comment1",    "--history",        "--leak", "--warning",
                           "--comment",  "Spring patrol", "--lines-per-page", "50"}
            << "report_north_history.txt";
        // The dates in any order: the summary holds them newest first.
        QTest::newRow("summary")
            << QStringList{"--received", "--summary",        "2026/11/09,2026/11/30,2026/11/16",
                           "--no-leak",  "--lines-per-page", "30"}
            << "report_north_summary.txt";
    }
    void report()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, golden);
        QFile::remove(path("north.csv"));
        QVERIFY(QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/samples/north.csv"),
                            path("north.csv")));
        const QStringList args = QStringList{"report"} + options +
                                 QStringList{"--date", "2026-03-07", path("north.csv")};
        const QByteArray expected = readBytes(testData(golden.toLatin1().constData()));
        QVERIFY(!expected.isEmpty());
        Run r = tool(args + QStringList{path("out.txt")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(readBytes(path("out.txt")), expected);
        r = tool(args + QStringList{"-"});
        QCOMPARE(r.out, expected);

        r = tool(args + QStringList{path("out.pdf")});
        QCOMPARE(r.exitCode, 0);
        QProcess text;
        text.start("pdftotext", {path("out.pdf"), "-"});
        QVERIFY(text.waitForFinished(30000));
        const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(pdf.contains("Logger report for north.csv printed on 03-07-2026"),
                 qPrintable(pdf.left(300)));
        QVERIFY(pdf.contains("01002474"));
    }

    void reportRefusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        const QString in = QStringLiteral(QUORVANE_SOURCE_DIR "/samples/north.csv");
        QTest::newRow("a summary without dates")
            << QStringList{"report", "--summary", ",", in, "-"} << 64 << LangText(422);
        QTest::newRow("no such file")
            << QStringList{"report", "nowhere.csv", "-"} << 2 << QString("nowhere.csv");
        QTest::newRow("an unwritable output")
            << QStringList{"report", in, "/no/such/folder/out.txt"} << 4 << "out.txt";
        QTest::newRow("an unwritable PDF")
            << QStringList{"report", in, "/no/such/folder/out.pdf"} << 4 << "out.pdf";
        QTest::newRow("lines per page 0")
            << QStringList{"report", "--lines-per-page", "0", in, "-"} << 64 << "1 to 10000";
        QTest::newRow("a summary date without its leading zero")
            << QStringList{"report", "--summary", "2026/11/9", in, "-"} << 64 << "2026/11/9";
        QTest::newRow("a summary date written with hyphens")
            << QStringList{"report", "--summary", "2026/11/16,2026-11-09", in, "-"} << 64
            << "YYYY/MM/DD";
        QTest::newRow("a date that is not one")
            << QStringList{"report", "--date", "2026-02-30", in, "-"} << 64 << "Usage:";
        QTest::newRow("an unknown option")
            << QStringList{"report", "--colour", in, "-"} << 64 << "--colour";
    }
    void reportRefusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const Run r = tool(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(QString::fromLatin1(r.err).contains(says), r.err.constData());
    }

    // find: which files of a hub folder hold the serials.
    void find_data()
    {
        QTest::addColumn<QStringList>("args"); // HUB stands for the folder
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("a file holding two of the serials, once")
            << QStringList{"HUB", "1234567", "2345678"} << QStringList{"a.csv"} << 0;
        QTest::newRow("leading zeros left out; a damaged record counts")
            << QStringList{"HUB", "123"} << QStringList{"c.csv"} << 0;
        QTest::newRow("extensions in capitals")
            << QStringList{"HUB", "3456789"} << QStringList{"B.CSV"} << 0;
        QTest::newRow("a .pdb file") << QStringList{"HUB", "PDB"} << QStringList{"east.pdb"} << 0;
        QTest::newRow("nothing") << QStringList{"HUB", "9999999"} << QStringList{} << 1;
        QTest::newRow("subfolders only when asked")
            << QStringList{"HUB", "4567890"} << QStringList{} << 1;
        QTest::newRow("recursive: own files first, by name ignoring case")
            << QStringList{"--recursive", "HUB", "4567890", "3456789", "1234567"}
            << QStringList{"a.csv", "B.CSV", "sub/d.csv"} << 0;
        QTest::newRow("no such folder") << QStringList{"nowhere", "1234567"} << QStringList{} << 2;
        QTest::newRow("no serial") << QStringList{"HUB"} << QStringList{} << 64;
        QTest::newRow("a serial of letters") << QStringList{"HUB", "abc"} << QStringList{} << 64;
        QTest::newRow("digits then letters")
            << QStringList{"HUB", "1234567", "123abc"} << QStringList{} << 64;
        QTest::newRow("nine digits") << QStringList{"HUB", "123456789"} << QStringList{} << 64;
        QTest::newRow("a sign") << QStringList{"HUB", "+1234567"} << QStringList{} << 64;
    }
    void find()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, lines);
        QFETCH(int, exitCode);
        const QString hub = path("hub");
        QDir(hub).removeRecursively();
        QVERIFY(QDir().mkpath(hub + "/sub"));
        auto rec = [](const char* serial) {
            return QByteArray(serial) + ",\"AB 1234 5678\",\"\",\"\",\"\",\"\"\r\n";
        };
        writeBytes(hub + "/a.csv", "h,h\r\n" + rec("1234567") + rec("2345678"));
        writeBytes(hub + "/B.CSV", "h,h\r\n" + rec("3456789"));
        writeBytes(hub + "/c.csv", "h,h\r\n" + rec("1234568") + rec("123"));
        writeBytes(hub + "/empty.csv", "h,h\r\n");
        writeBytes(hub + "/notes.txt", "h,h\r\n" + rec("1234567"));
        writeBytes(hub + "/sub/d.csv", "h,h\r\n" + rec("4567890"));
        QVERIFY(QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/samples/east.pdb"),
                            hub + "/east.pdb"));
        RecordStore east;
        QCOMPARE(ReadDatabaseFile(east, hub + "/east.pdb"), 0);
        QStringList full = QStringList{"find"} + args;
        full.replaceInStrings(QRegularExpression("^HUB$"), hub);
        full.replaceInStrings(QRegularExpression("^PDB$"),
                              QString::number(east.Records(east.StoreCount).Serial));
        const Run r = tool(full);
        QCOMPARE(r.exitCode, exitCode);
        QStringList expected;
        for (const QString& l : lines)
            expected << QDir::toNativeSeparators(hub + "/" + l);
        const QString out = QString::fromLocal8Bit(r.out);
        QCOMPARE(out.split('\n', Qt::SkipEmptyParts), expected);
        if (exitCode == 2)
            QVERIFY(r.err.contains("nowhere"));
        if (exitCode == 64)
            QVERIFY(r.err.contains("Usage:"));
    }

    // --verbose names what was passed over, on standard error only.
    void findVerbose()
    {
        const QString hub = path("quiet");
        QVERIFY(QDir().mkpath(hub));
        writeBytes(hub + "/empty.csv", "h,h\r\n");
        writeBytes(hub + "/long.csv", "h,h\r\n" + QByteArray(2 * 1024 * 1024, 'x') + "\r\n");
        Run r = tool({"find", hub, "1234567"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty() && !r.err.contains("empty.csv"));
        r = tool({"find", "--verbose", hub, "1234567"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains("empty.csv") && r.err.contains("long.csv"));
    }

    // A report or a handheld list never replaces the file it was made from,
    // however the path is written; a conversion may save in place.
    void outputIsInput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("out"); // IN stands for the input's folder
        QTest::addColumn<int>("exitCode");
        QTest::newRow("report, the same path") << "report"
                                               << "IN/north.csv" << 64;
        QTest::newRow("report, another spelling") << "report"
                                                  << "IN/sub/../north.csv" << 64;
        QTest::newRow("report, through a link") << "report"
                                                << "IN/link.csv" << 64;
        QTest::newRow("handheld") << "handheld"
                                  << "IN/./north.csv" << 64;
        QTest::newRow("convert saves in place") << "convert"
                                                << "IN/north.csv" << 0;
    }
    void outputIsInput()
    {
        QFETCH(QString, command);
        QFETCH(QString, out);
        QFETCH(int, exitCode);
        const QString in = path("same");
        QDir(in).removeRecursively();
        QVERIFY(QDir().mkpath(in + "/sub"));
        const QByteArray bytes = readBytes(testData("messy_expected.csv"));
        writeBytes(in + "/north.csv", bytes);
        QVERIFY(QFile::link(in + "/north.csv", in + "/link.csv"));
        out.replace("IN", in);
        const Run r = tool({command, in + "/north.csv", out});
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(readBytes(in + "/north.csv"), bytes);
        if (exitCode == 64)
            QVERIFY2(r.err.contains("north.csv"), r.err.constData());
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("nothing") << QStringList{} << 64;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 64;
        QTest::newRow("unknown option") << QStringList{"check", "--fast", "x.csv"} << 64;
        QTest::newRow("check without file") << QStringList{"check"} << 64;
        QTest::newRow("convert one file") << QStringList{"convert", "x.csv"} << 64;
        QTest::newRow("generate letters") << QStringList{"generate", "ten", "5", "x.csv"} << 64;
        QTest::newRow("generate 51 readings") << QStringList{"generate", "10", "51", "x.csv"} << 64;
    }
    void usage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        const Run r = tool(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY((exitCode == 0 ? r.out : r.err).contains("Usage:"));
    }
};

QTEST_GUILESS_MAIN(TestQuorvaneTool)
#include "tst_quorvanetool.moc"
