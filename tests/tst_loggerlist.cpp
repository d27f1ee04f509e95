#include "DatabaseReader.h"
#include "LangText.h"
#include "LoggerList.h"

#include <QtTest>
#include <stdexcept>

namespace {

LoggerRecord rec(qint32 serial, const char* date = "", const char* comment1 = "", qint16 level = 0,
                 const char* gridRef = "AB 1234 5678")
{
    LoggerRecord r;
    r.Serial = serial;
    r.GridRef = gridRef;
    r.Comment1 = comment1;
    r.Date[1] = date;
    r.Level[1] = level;
    return r;
}

// The serials of the lines, top to bottom.
QList<qint32> lineSerials(const LoggerList& list)
{
    QList<qint32> out;
    for (int line = 1; line <= list.LineCount(); ++line)
        out << list.record(list.RecordOfLine(line)).Serial;
    return out;
}

// Every line names a record, and each record has exactly one line.
bool linesAndRecordsAgree(const LoggerList& list)
{
    if (list.LineCount() != list.RecordCount())
        return false;
    QSet<int> seen;
    for (int line = 1; line <= list.LineCount(); ++line) {
        const int index = list.RecordOfLine(line);
        if (!list.IsValidIndex(index) || seen.contains(index) ||
            list.LineKey(line) != QString::number(index) + "x")
            return false;
        seen.insert(index);
    }
    return true;
}

void fill(LoggerList& list, const QList<LoggerRecord>& records)
{
    for (const LoggerRecord& r : records)
        QVERIFY(list.Insert(r) > 0);
}

} // namespace

class TestLoggerList : public QObject
{
    Q_OBJECT

private slots:
    // Lookups go by the records' serials, never by what a line shows: a grid
    // reference or an address holding the same digits names nothing.
    void lookups_data()
    {
        QTest::addColumn<qint32>("serial");
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("line");
        QTest::newRow("first record, last line after the sort") << 1002003 << 1 << 4;
        QTest::newRow("digits only in another's grid reference") << 1005678 << 0 << 0;
        QTest::newRow("digits only in another's address") << 1111111 << 0 << 0;
        QTest::newRow("two equal serials: the first record, the first line") << 3000000 << 2 << 2;
        QTest::newRow("not there") << 12999999 << 0 << 0;
    }
    void lookups()
    {
        QFETCH(qint32, serial);
        QFETCH(int, record);
        QFETCH(int, line);
        LoggerList list;
        fill(list, {rec(1002003, "2003/01/01", "", 0, "AB 0100 5678"),
                    rec(3000000, "2003/02/01", "01111111"), rec(3000000, "2003/03/01"),
                    rec(4000000, "2003/04/01")});
        list.Sort(LoggerList::ColDate, true); // lines: 4, 3, 2, 1 by record
        QCOMPARE(lineSerials(list), QList<qint32>({4000000, 3000000, 3000000, 1002003}));
        QCOMPARE(list.GetRecFromSerial(serial), record);
        QCOMPARE(list.GetLineFromSerial(serial), line);
    }

    void insertAtALine_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("serialOnly");
        QTest::addColumn<QList<qint32>>("order");
        QTest::newRow("appended") << 0 << false
                                  << QList<qint32>{1000001, 1000002, 1000003, 9000000};
        QTest::newRow("first line")
            << 1 << false << QList<qint32>{9000000, 1000001, 1000002, 1000003};
        QTest::newRow("current line moves down")
            << 2 << true << QList<qint32>{1000001, 9000000, 1000002, 1000003};
        QTest::newRow("past the end: appended")
            << 9 << false << QList<qint32>{1000001, 1000002, 1000003, 9000000};
    }
    void insertAtALine()
    {
        QFETCH(int, position);
        QFETCH(bool, serialOnly);
        QFETCH(QList<qint32>, order);
        LoggerList list;
        fill(list, {rec(1000001), rec(1000002), rec(1000003)});
        QCOMPARE(list.Insert(rec(9000000, "2004/01/01", "new"), position, serialOnly), 4);
        QCOMPARE(lineSerials(list), order);
        QVERIFY(linesAndRecordsAgree(list));
        const int line = list.GetLineFromSerial(9000000);
        QCOMPARE(list.LineKey(line), QString("4x"));
        QCOMPARE(list.LineText(line, LoggerList::ColSerial), QString("09000000"));
        QCOMPARE(list.LineText(line, LoggerList::ColComment1),
                 serialOnly ? QString() : QString("new"));
        list.RefreshLine(line); // shown in full again
        QCOMPARE(list.LineText(line, LoggerList::ColComment1), QString("new"));
    }

    // Removing a record keeps every line naming the record it named.
    void removeKeepsLinesInStep()
    {
        LoggerList list;
        fill(list, {rec(1000001, "2003/01/03"), rec(1000002, "2003/01/01"),
                    rec(1000003, "2003/01/02"), rec(1000004, "2003/01/04")});
        list.Sort(LoggerList::ColDate, false);
        QVERIFY(list.Remove(2));
        QCOMPARE(list.RecordCount(), 3);
        QCOMPARE(lineSerials(list), QList<qint32>({1000003, 1000001, 1000004}));
        QVERIFY(linesAndRecordsAgree(list));
        QVERIFY(!list.Remove(0));
        QVERIFY(!list.Remove(4));
        QCOMPARE(list.RecordCount(), 3);
    }

    // Lines sort by the text they show, ignoring case; equal lines keep their
    // order (so the earlier of two equal texts stays first either way).
    void sorting_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QList<qint32>>("order");
        QTest::newRow("levels: ' 7' before '10'")
            << int(LoggerList::ColLevel) << false
            << QList<qint32>{1000003, 1000001, 1000004, 1000002};
        QTest::newRow("levels descending, equal levels keep their order")
            << int(LoggerList::ColLevel) << true
            << QList<qint32>{1000002, 1000001, 1000004, 1000003};
        QTest::newRow("dates, newest first") << int(LoggerList::ColDate) << true
                                             << QList<qint32>{1000004, 1000002, 1000001, 1000003};
        QTest::newRow("text ignores case") << int(LoggerList::ColComment1) << false
                                           << QList<qint32>{1000003, 1000001, 1000002, 1000004};
        QTest::newRow("serials") << int(LoggerList::ColSerial) << true
                                 << QList<qint32>{1000004, 1000003, 1000002, 1000001};
    }
    void sorting()
    {
        QFETCH(int, column);
        QFETCH(bool, descending);
        QFETCH(QList<qint32>, order);
        LoggerList list;
        fill(list, {rec(1000001, "2003/02/01", "abc", 7), rec(1000002, "2003/03/01", "ABD", 10),
                    rec(1000003, "2002/12/31", "", 0), rec(1000004, "2003/04/01", "b", 7)});
        list.Sort(column, descending);
        QCOMPARE(lineSerials(list), order);
        QVERIFY(linesAndRecordsAgree(list));
        QVERIFY(list.IsSorted());
        QCOMPARE(list.SortedDescending(), descending);
    }

    // Lines added after a sort go where they are put; rebuilding the lines
    // sorts them again as the header says.
    void reloadKeepsTheSort()
    {
        LoggerList list;
        fill(list, {rec(1000002), rec(1000001), rec(1000003)});
        list.Sort(LoggerList::ColSerial, true);
        QVERIFY(list.Insert(rec(1000009), 3) > 0);
        QCOMPARE(lineSerials(list), QList<qint32>({1000003, 1000002, 1000009, 1000001}));
        list.ReLoad();
        QCOMPARE(lineSerials(list), QList<qint32>({1000009, 1000003, 1000002, 1000001}));
        QVERIFY(linesAndRecordsAgree(list));
    }

    // Find searches the line texts from the serial to the spread, from where
    // the last search stopped, and goes round past the last line: the last
    // line is found after the one before it, and a match above the start is
    // found rather than reported missing for ever.
    void find_data()
    {
        QTest::addColumn<QList<int>>("matching");  // lines whose address holds "xABCx"
        QTest::addColumn<QStringList>("searches"); // "" goes on with the last search
        QTest::addColumn<QList<int>>("found");
        QTest::newRow("two matches, then round again")
            << QList<int>{4, 9} << QStringList{"ABC", "", ""} << QList<int>{4, 9, 4};
        QTest::newRow("the last line after the one before it")
            << QList<int>{9, 10} << QStringList{"ABC", "", ""} << QList<int>{9, 10, 9};
        QTest::newRow("only the last line")
            << QList<int>{10} << QStringList{"ABC", ""} << QList<int>{10, 10};
        QTest::newRow("one match, found again by going round")
            << QList<int>{2} << QStringList{"ABC", "", ""} << QList<int>{2, 2, 2};
        QTest::newRow("case-sensitive") << QList<int>{4} << QStringList{"abc"} << QList<int>{0};
        QTest::newRow("a user comment is not searched")
            << QList<int>{4} << QStringList{"hydrant"} << QList<int>{0};
        QTest::newRow("a serial's digits")
            << QList<int>{} << QStringList{"01000007"} << QList<int>{7};
        QTest::newRow("a new text starts at the top")
            << QList<int>{4, 9} << QStringList{"ABC", "ABC"} << QList<int>{4, 4};
    }
    void find()
    {
        QFETCH(QList<int>, matching);
        QFETCH(QStringList, searches);
        QFETCH(QList<int>, found);
        LoggerList list;
        for (int i = 1; i <= 10; ++i) {
            LoggerRecord r =
                rec(1000000 + i, "2003/01/01", matching.contains(i) ? "xABCx" : "street");
            r.UserComments = "near hydrant";
            QVERIFY(list.Insert(r) > 0);
        }
        for (int k = 0; k < searches.size(); ++k)
            QCOMPARE(list.Find(searches[k]), found[k]);
    }

    // A document never holds more than 6,999 loggers, however it grows.
    void capacity_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("insertTakes");
        QTest::addColumn<bool>("copyTakes");
        QTest::newRow("6,998") << 6998 << true << true;
        QTest::newRow("6,999") << 6999 << false << true;
        QTest::newRow("7,000") << 7000 << false << false;
    }
    void capacity()
    {
        QFETCH(int, count);
        QFETCH(bool, insertTakes);
        QFETCH(bool, copyTakes);
        static RecordStore store; // big: one for the whole test
        store.clear();
        for (int i = 1; i <= count; ++i)
            store.Records(i) = rec(1000000 + i);
        store.StoreCount = count;

        LoggerList list;
        fill(list, {rec(12000000)});
        QCOMPARE(list.CopyFrom(store), copyTakes);
        QCOMPARE(list.RecordCount(), copyTakes ? count : 1);
        if (!copyTakes) { // grow it one by one instead
            for (int i = 2; i <= LoggerList::kCapacity; ++i)
                QVERIFY(list.Insert(rec(1000000 + i)) > 0);
        }
        QCOMPARE(list.Insert(rec(9000000)) > 0, insertTakes);
        QCOMPARE(list.RecordCount(), std::min(count + (insertTakes ? 1 : 0), 6999));
        QCOMPARE(list.IsFull(), list.RecordCount() == 6999);
        QVERIFY(linesAndRecordsAgree(list));

        // What goes back to the store never reaches the scratch slot.
        store.Records(RecordStore::kScratchSlot).Serial = 99999999;
        list.CopyTo(store);
        QCOMPARE(store.StoreCount, list.RecordCount());
        QCOMPARE(store.Records(RecordStore::kScratchSlot).Serial, 99999999);
    }

    void storeSlots()
    {
        RecordStore store;
        QCOMPARE(store.Records(0).Serial, 0);
        QCOMPARE(store.Records(RecordStore::kScratchSlot).Serial, 0);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, store.Records(7001));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, store.Records(-1));
        LoggerList list;
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.record(1));
        QCOMPARE(list.RecordOfLine(1), 0);
        QVERIFY(!list.Put(1, rec(1000001)));
        QVERIFY(!list.ChangeSerial(0, 1000001));
    }

    // Saving wants every reading's date trimmed and its status trimmed and in
    // capitals; the document itself keeps what was typed.
    void copyToTidiesReadings()
    {
        LoggerList list;
        LoggerRecord r = rec(1000001, " 2003/01/01 ");
        r.Status[1] = " leak ";
        r.Status[50] = "no leak ";
        fill(list, {r});
        RecordStore store;
        list.CopyTo(store);
        QCOMPARE(store.StoreCount, 1);
        QCOMPARE(store.Records(1).Date[1].str(), std::string("2003/01/01"));
        QCOMPARE(store.Records(1).Status[1].str(), std::string("LEAK"));
        QCOMPARE(store.Records(1).Status[50].str(), std::string("NO LEAK"));
        QCOMPARE(list.record(1).Status[1].str(), std::string(" leak "));
    }

    void duplicatesAsTheReaderReportsThem()
    {
        LoggerList list;
        fill(list,
             {rec(1234567), rec(2345678), rec(1234567), rec(2345678), rec(2345678), rec(3000000)});
        RecordStore store;
        list.CopyTo(store);
        const QString report = list.FindDuplicateSerials();
        QCOMPARE(report, FindDuplicateSerials(store));
        QVERIFY(report.endsWith("1\t01234567\t1\n2\t02345678\t2\n"));
        LoggerList unique;
        fill(unique, {rec(1000001)});
        QCOMPARE(unique.FindDuplicateSerials(), QString());
    }

    void newBlankRecord()
    {
        const LoggerRecord r = LoggerList::NewBlankRecord();
        QCOMPARE(r.Serial, 99999999);
        QCOMPARE(r.GridRef.str(), std::string(kAbsentGridRef));
        QCOMPARE(r.Comment1.str(), LangTextAnsi(354));
        QVERIFY(r.Date[1].empty() && r.Level[50] == 0);
    }
};

QTEST_MAIN(TestLoggerList)
#include "tst_loggerlist.moc"
