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

    // The small helpers: what each gave, and what it must give. Which
    // serials, dates, times and readings pass (a day is not checked against
    // its month); numbers, serials, statuses, upper case, file titles.
    void helpers_data()
    {
        QTest::addColumn<QString>("got");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const QString& got, const QString& expected) {
            QTest::newRow(name) << got << expected;
        };
        auto rows = [](const char* kind, const std::function<bool(const char*)>& check,
                       std::initializer_list<const char*> valid,
                       std::initializer_list<const char*> invalid) {
            for (bool v : {true, false})
                for (const char* t : v ? valid : invalid)
                    QTest::addRow("%s '%s'", kind, t) << QString(check(t) ? "valid" : "invalid")
                                                      << QString(v ? "valid" : "invalid");
        };
        rows("serial", [](const char* t) { return IsValidSerial(QByteArray(t).toLongLong()); },
             {"1000000", "12345678", "12999999"},
             {"0", "999999", "13000000", "16777215", "16777216", "-1"});
        rows("date", IsValidDate, {"", "2003/02/31", "1970/01/01"},
             {"1969/12/31", "2003/2/03", "2003-02-03", "2003/13/01", "2003/00/01", "2003/01/32",
              "abcd/01/01"});
        rows("time", IsValidTime, {"", "24:00:00", "00:00:00"},
             {"24:60:00", "8:00:00", "12:00:60"});
        rows("reading", IsValidReading, {"", "0", "99", " 7"}, {"100", "-1", "1a"});
        auto q = [](const std::string& t) {
            return QString::fromLatin1(t.data(), qsizetype(t.size()));
        };
        auto upper = [](std::string t) {
            Ansi::toUpperInPlace(t);
            return t;
        };
        const StatusTexts texts{"warning", "leak", "no leak"};
        auto whole = [](const char* text) {
            return QString::number(WholeNumberValue(text, INT32_MIN, INT32_MAX));
        };
        row("number of digits", whole("1234567"), "1234567");
        row("number: blanks between digits", whole(" 1 2 3"), "123");
        row("number: a sign, a blank after", whole("- 5"), "-5");
        row("number: a plus sign", whole("+7"), "7");
        row("number: a half goes to the even 2", whole("2.5"), "2");
        row("number: a half goes to the even 4", whole("3.5"), "4");
        row("number: no digit before the point", whole(".5"), "0");
        row("number: past a half goes up", whole("2.51"), "3");
        row("number: digits before a letter", whole("12abc"), "12");
        row("number: no digits", whole("abc"), "0");
        row("number: nothing", whole(""), "0");
        row("number: no exponent", whole("1e3"), "1");
        row("number: held to its range", whole("99999999999999999999"), "2147483647");
        row("serial 0", q(FormatSerial(0)), "00000000");
        row("serial of nine digits", q(FormatSerial(123456789)), "123456789");
        row("status letter trimmed, any case", q(StatusFromLetter(" n ", texts)), "no leak");
        row("status blank", q(StatusFromLetter("   ", texts)), "");
        row("letter sent: level 15 over spread", q(StatusLetterFor("L", 40, 25)), "N");
        row("upper case: sharp s and division sign stay", q(upper("l\xe4rm \x9a\xff\xdf\xf7 n")),
            q("L\xc4RM \x8a\x9f\xdf\xf7 N"));
        row("title of a Windows path", FileTitle("C:\\data\\north.csv"), "north.csv");
        row("title after a drive", FileTitle("C:north.csv"), "north.csv");
        row("title of a folder", FileTitle("C:\\data\\"), "");
        row("title of a Linux path", FileTitle("/home/leaks/south.csv"), "south.csv");
        row("title of a name alone", FileTitle("east.pdb"), "east.pdb");
        row("title of nothing", FileTitle(""), "");
        row("no separator: the whole text", AfterLast("abc", ""), "abc");
    }
    void helpers()
    {
        QFETCH(QString, got);
        QFETCH(QString, expected);
        QCOMPARE(got, expected);
    }

    void variStack()
    {
        VariStack s;
        QCOMPARE(s.Pop(), QVariant(QString())); // an empty stack gives an empty text
        s.Push(12345678);
        s.Push(QStringLiteral("2003/01/01"));
        QVERIFY(s.IsMatch(12345678) && !s.IsMatch(QStringLiteral("12345678")));
        QCOMPARE(s.Pop(), QVariant(QStringLiteral("2003/01/01")));
        QCOMPARE(s.Count(), qsizetype(1));
        s.Clean();
        QVERIFY(s.IsEmpty());
    }

    void ansiText()
    {
        for (int n : {0, 1, 15, 16, 300, 70000}) {
            const std::string bytes(size_t(n), 'x');
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
};

QTEST_GUILESS_MAIN(TestRecordChecks)
#include "tst_recordchecks.moc"
