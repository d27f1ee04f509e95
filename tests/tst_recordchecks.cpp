#include "Ansi.h"
#include "AnsiText.h"
#include "RecordChecks.h"
#include "Utilities.h"
#include "VariStack.h"

#include <QtTest>
#include <functional>

class TestRecordChecks : public QObject
{
    Q_OBJECT
private slots:
    void serials_data()
    {
        QTest::addColumn<qint64>("serial");
        QTest::addColumn<bool>("valid");
        const std::pair<qint64, bool> rows[] = {
            {0, false},        {999999, false},   {1000000, true},
            {12345678, true},  {12999999, true},  {13000000, false},
            {16777215, false}, {16777216, false}, {-1, false}};
        for (const auto& [serial, valid] : rows)
            QTest::addRow("%lld", serial) << serial << valid;
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
        // The day is not checked against the month.
        for (const char* t : {"", "2003/02/31", "1970/01/01"})
            row("date", t, true);
        for (const char* t : {"1969/12/31", "2003/2/03", "2003-02-03", "2003/13/01", "2003/00/01",
                              "2003/01/32", "abcd/01/01"})
            row("date", t, false);
        for (const char* t : {"", "24:00:00", "00:00:00"})
            row("time", t, true);
        for (const char* t : {"24:60:00", "8:00:00", "12:00:60"})
            row("time", t, false);
        for (const char* t : {"", "0", "99", " 7"})
            row("reading", t, true);
        for (const char* t : {"100", "-1", "1a"})
            row("reading", t, false);
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
        const std::pair<std::function<void(LoggerRecord&)>, bool> changes[] = {
            {[](LoggerRecord&) {}, true},
            {[](LoggerRecord& r) { r.Level[1] = 100; }, false},
            {[](LoggerRecord& r) { r.Spread[50] = -1; }, false},
            {[](LoggerRecord& r) { r.Date[37] = "2003-01-01"; }, false},
            {[](LoggerRecord& r) { r.Received = "08:30:00"; }, true},
            {[](LoggerRecord& r) { r.Received = "yesterday"; }, false},
            {[](LoggerRecord& r) { r.GridRef = "AB 1234 567"; }, false},
            {[](LoggerRecord& r) { r.Serial = 13000000; }, false},
            // The deployed date and the comments play no part.
            {[](LoggerRecord& r) { r.Deployed = "whenever", r.Comment1 = "anything"; }, true}};
        for (size_t i = 0; i < std::size(changes); ++i) {
            LoggerRecord r = rec;
            changes[i].first(r);
            QVERIFY2(IsValidRecord(r) == changes[i].second, qPrintable(QString::number(i)));
        }
    }

    void numericValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("whole");
        const std::pair<const char*, qint64> rows[] = {{"1234567", 1234567},
                                                       {" 1 2 3", 123},
                                                       {"- 5", -5},
                                                       {"+7", 7},
                                                       {"2.5", 2},
                                                       {"3.5", 4},
                                                       {".5", 0},
                                                       {"2.51", 3},
                                                       {"12abc", 12},
                                                       {"abc", 0},
                                                       {"", 0},
                                                       {"1e3", 1},
                                                       {"99999999999999999999", INT32_MAX}};
        for (const auto& [text, whole] : rows)
            QTest::addRow("'%s'", text) << QString(text) << whole;
    }
    void numericValue()
    {
        QFETCH(QString, text);
        QFETCH(qint64, whole);
        QCOMPARE(WholeNumberValue(text.toStdString(), INT32_MIN, INT32_MAX), whole);
    }

    void statusLetters()
    {
        const StatusTexts texts{"warning", "leak", "no leak"};
        const std::pair<const char*, const char*> rows[] = {{" l ", "leak"},  {"Warn", "warning"},
                                                            {"n", "no leak"}, {"X", ""},
                                                            {"", ""},         {"   ", ""}};
        for (const auto& [letter, status] : rows)
            QCOMPARE(StatusFromLetter(letter, texts), std::string(status));
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
        const std::pair<const char*, const char*> rows[] = {{"C:\\data\\north.csv", "north.csv"},
                                                            {"C:north.csv", "north.csv"},
                                                            {"C:\\data\\", ""},
                                                            {"/home/leaks/south.csv", "south.csv"},
                                                            {"east.pdb", "east.pdb"},
                                                            {"", ""}};
        for (const auto& [path, title] : rows)
            QTest::addRow("'%s'", path) << QString(path) << QString(title);
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
