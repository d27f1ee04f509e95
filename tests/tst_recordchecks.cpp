#include "Ansi.h"
#include "AnsiText.h"
#include "RecordChecks.h"
#include "Utilities.h"
#include "VariStack.h"

#include <QtTest>

class TestRecordChecks : public QObject
{
    Q_OBJECT
private slots:
    void serials_data()
    {
        QTest::addColumn<qint64>("serial");
        QTest::addColumn<bool>("valid");
        QTest::newRow("zero") << qint64(0) << false;
        QTest::newRow("00 prefix") << qint64(999999) << false;
        QTest::newRow("01000000") << qint64(1000000) << true;
        QTest::newRow("12345678") << qint64(12345678) << true;
        QTest::newRow("12999999") << qint64(12999999) << true;
        QTest::newRow("13000000") << qint64(13000000) << false;
        QTest::newRow("24 bits") << qint64(16777215) << false; // first digits 16
        QTest::newRow("over 24 bits") << qint64(16777216) << false;
        QTest::newRow("negative") << qint64(-1) << false;
    }
    void serials()
    {
        QFETCH(qint64, serial);
        QFETCH(bool, valid);
        QCOMPARE(IsValidSerial(serial), valid);
    }

    void dateTimeReading_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        auto row = [](const char* kind, const char* text, bool valid) {
            QTest::addRow("%s '%s'", kind, text)
                << QString::fromLatin1(kind) << QString::fromLatin1(text) << valid;
        };
        row("date", "", true);
        row("date", "2003/02/31", true); // the day is not checked against the month
        row("date", "1970/01/01", true);
        row("date", "1969/12/31", false);
        row("date", "2003/2/03", false);
        row("date", "2003-02-03", false);
        row("date", "2003/13/01", false);
        row("date", "2003/00/01", false);
        row("date", "2003/01/32", false);
        row("date", "abcd/01/01", false);
        row("time", "", true);
        row("time", "24:00:00", true);
        row("time", "00:00:00", true);
        row("time", "24:60:00", false);
        row("time", "8:00:00", false);
        row("time", "12:00:60", false);
        row("reading", "", true);
        row("reading", "0", true);
        row("reading", "99", true);
        row("reading", " 7", true);
        row("reading", "100", false);
        row("reading", "-1", false);
        row("reading", "1a", false);
    }
    void dateTimeReading()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::string t = text.toStdString();
        const bool got = kind == QLatin1String("date")   ? IsValidDate(t)
                         : kind == QLatin1String("time") ? IsValidTime(t)
                                                         : IsValidReading(t);
        QCOMPARE(got, valid);
    }

    void wholeRecord()
    {
        LoggerRecord rec;
        rec.Serial = 12345678;
        rec.GridRef = kAbsentGridRef;
        QVERIFY(IsValidRecord(rec));
        for (int index : {1, 37, 50}) {
            LoggerRecord bad = rec;
            bad.Level[index] = 100;
            QVERIFY2(!IsValidRecord(bad), "level 100");
            bad = rec;
            bad.Spread[index] = -1;
            QVERIFY2(!IsValidRecord(bad), "spread -1");
            bad = rec;
            bad.Date[index] = "2003-01-01";
            QVERIFY2(!IsValidRecord(bad), "bad date");
        }
        LoggerRecord r = rec;
        r.Received = "08:30:00";
        QVERIFY(IsValidRecord(r));
        r.Received = "yesterday";
        QVERIFY(!IsValidRecord(r));
        r = rec;
        r.GridRef = "AB 1234 567";
        QVERIFY(!IsValidRecord(r));
        r = rec;
        r.Deployed = "whenever"; // deployed and comments play no part
        r.Comment1 = "anything";
        QVERIFY(IsValidRecord(r));
    }

    void numericValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("whole");
        QTest::newRow("plain") << "1234567" << qint64(1234567);
        QTest::newRow("blanks inside") << " 1 2 3" << qint64(123);
        QTest::newRow("sign and blank") << "- 5" << qint64(-5);
        QTest::newRow("plus") << "+7" << qint64(7);
        QTest::newRow("half to even down") << "2.5" << qint64(2);
        QTest::newRow("half to even up") << "3.5" << qint64(4);
        QTest::newRow("point five") << ".5" << qint64(0);
        QTest::newRow("above half") << "2.51" << qint64(3);
        QTest::newRow("trailing text") << "12abc" << qint64(12);
        QTest::newRow("no number") << "abc" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("no exponent") << "1e3" << qint64(1);
        QTest::newRow("clamped") << "99999999999999999999" << qint64(INT32_MAX);
    }
    void numericValue()
    {
        QFETCH(QString, text);
        QFETCH(qint64, whole);
        QCOMPARE(WholeNumberValue(text.toStdString(), INT32_MIN, INT32_MAX), whole);
    }

    void statusLetters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("string"); // 0: empty
        QTest::newRow("lower l in blanks") << " l " << 185;
        QTest::newRow("Warn") << "Warn" << 184;
        QTest::newRow("n") << "n" << 186;
        QTest::newRow("X") << "X" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("blanks") << "   " << 0;
    }
    void statusLetters()
    {
        QFETCH(QString, text);
        QFETCH(int, string);
        const StatusTexts texts{"warning", "leak", "no leak"};
        const std::string expected = string == 184   ? "warning"
                                     : string == 185 ? "leak"
                                     : string == 186 ? "no leak"
                                                     : "";
        QCOMPARE(StatusFromLetter(text.toStdString(), texts), expected);
    }

    void statusLetterFor()
    {
        QCOMPARE(StatusLetterFor("L", 40, 25), std::string("N"));
        QCOMPARE(StatusLetterFor("N", 41, 25), std::string("L"));
        QCOMPARE(StatusLetterFor("W", 0, 0), std::string("N")); // a warning is never sent as W
    }

    void formatSerial()
    {
        QCOMPARE(FormatSerial(1234567), std::string("01234567"));
        QCOMPARE(FormatSerial(0), std::string("00000000"));
        QCOMPARE(FormatSerial(123456789), std::string("123456789"));
        QCOMPARE(FormatSerial(-1), std::string("-00000001"));
    }

    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("windows path") << "C:\\data\\north.csv"
                                      << "north.csv";
        QTest::newRow("drive relative") << "C:north.csv"
                                        << "north.csv";
        QTest::newRow("trailing backslash") << "C:\\data\\"
                                            << "";
        QTest::newRow("unix path") << "/home/leaks/south.csv"
                                   << "south.csv";
        QTest::newRow("bare name") << "east.pdb"
                                   << "east.pdb";
        QTest::newRow("empty") << ""
                               << "";
    }
    void paths()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(FileTitle(path), title);
    }

    void afterLast()
    {
        QCOMPARE(AfterLast("a.b.c", "."), QString("c"));
        QCOMPARE(AfterLast("abc", "."), QString("abc"));
        QCOMPARE(AfterLast("abc.", "."), QString(""));
        QCOMPARE(AfterLast("", "."), QString(""));
        QCOMPARE(AfterLast("abc", ""), QString("abc"));
    }

    void variStack()
    {
        VariStack s;
        QCOMPARE(s.Pop(), QVariant(QString()));
        QVERIFY(s.IsEmpty());
        s.Push(12345678);
        s.Push(QStringLiteral("2003/01/01"));
        QVERIFY(s.IsMatch(12345678));
        QVERIFY(!s.IsMatch(QStringLiteral("12345678")));
        QCOMPARE(s.Pop(), QVariant(QStringLiteral("2003/01/01")));
        QCOMPARE(s.Count(), qsizetype(1));
        s.Clean();
        QVERIFY(s.IsEmpty());
    }

    void ansiText()
    {
        for (size_t n :
             {size_t(0), size_t(1), size_t(15), size_t(16), size_t(300), size_t(70000)}) {
            const std::string bytes(n, 'x');
            AnsiText t(bytes);
            QCOMPARE(t.str(), bytes);
            AnsiText copy = t;
            AnsiText moved = std::move(copy);
            QCOMPARE(moved.str(), bytes);
            QVERIFY(copy.empty());
            moved.truncate(20);
            QCOMPARE(moved.str(), bytes.substr(0, 20));
            t.assign(t.view().substr(n ? 1 : 0)); // from its own bytes
            QCOMPARE(t.str(), bytes.substr(n ? 1 : 0));
        }
        AnsiText long_(std::string(40, 'a') + "tail");
        long_.assign(long_.view().substr(40)); // heap to inline, from its own heap bytes
        QCOMPARE(long_.str(), std::string("tail"));
        QVERIFY(long_ == "tail" && long_ != "Tail");
        long_.assign(std::string(40, 'b'));
        long_.assign(std::string_view()); // heap to empty, from no bytes at all
        QVERIFY(long_.empty());
        AnsiText withNul(std::string_view("a\0b", 3));
        QCOMPARE(withNul.size(), size_t(3));
    }

    void ansiRoundTrip()
    {
        std::string all;
        for (int b = 0; b < 256; ++b)
            all.push_back(static_cast<char>(b));
        const QString decoded = Ansi::toQString(all);
        QCOMPARE(decoded.at(0x80), QChar(0x20AC)); // euro sign
        QCOMPARE(decoded.at(0xE9), QChar(0xE9));
        QCOMPARE(Ansi::fromQString(decoded), all);
        QCOMPARE(Ansi::fromQString(QStringLiteral("\u4e2d")), std::string("?"));
    }

    void ansiUpperCase()
    {
        std::string s = "l\xe4rm \x9a\xff\xdf\xf7 n";
        Ansi::toUpperInPlace(s);
        QCOMPARE(s, std::string("L\xc4RM \x8a\x9f\xdf\xf7 N")); // sharp s and division stay
    }
};

QTEST_GUILESS_MAIN(TestRecordChecks)
#include "tst_recordchecks.moc"
