#include "DatabaseReader.h"
#include "LangText.h"
#include "LoggerList.h"
#include "RecordChecks.h"

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
    QSet<int> seen;
    for (int line = 1; line <= list.LineCount(); ++line) {
        const int index = list.RecordOfLine(line);
        if (!list.IsValidIndex(index) || list.LineKey(line) != QString::number(index) + "x")
            return false;
        seen.insert(index);
    }
    return seen.size() == list.RecordCount() && list.LineCount() == list.RecordCount();
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
    // A new line goes at its position (the line there moves down), or at the
    // end for 0 or past the last line; a pasted one goes at the current line.
    void insertAtALine()
    {
        enum How { Insert, SerialOnly, Paste }; // SerialOnly: a line showing the serial alone
        const int rows[][3] = {                 // position, how, the line it takes
                               {0, Insert, 4},     {9, Insert, 4}, {1, Insert, 1},
                               {2, SerialOnly, 2}, {2, Paste, 2},  {0, Paste, 4}};
        for (const auto& [position, how, line] : rows) {
            LoggerList list;
            fill(list, {rec(1000001), rec(1000002), rec(1000003)});
            const LoggerRecord r = rec(9000000, "2004/01/01", "new");
            const int got = how == Paste ? list.PasteRecord(r, position)
                                         : list.Insert(r, position, how == SerialOnly);
            QList<qint32> order = {1000001, 1000002, 1000003};
            order.insert(line - 1, 9000000);
            QCOMPARE(lineSerials(list), order);
            QVERIFY(linesAndRecordsAgree(list));
            QCOMPARE(got, how == Paste ? line : 4); // a paste gives its line, else the record
            QCOMPARE(list.LineText(line, LoggerList::ColSerial), QString("09000000"));
            QCOMPARE(list.LineText(line, LoggerList::ColComment1),
                     how == SerialOnly ? QString() : "new");
            list.RefreshLine(line); // shown in full again
            QCOMPARE(list.LineText(line, LoggerList::ColComment1), QString("new"));
        }
    }

    // Lookups go by serial, never by digits a line shows, and find the first
    // of two; lines follow their records through a remove; a line added after
    // a sort stays where it is put until the lines are rebuilt.
    void linesFollowTheRecords()
    {
        LoggerList list;
        fill(list, {rec(1002003, "2003/01/01", "", 0, "AB 0100 5678"),
                    rec(3000000, "2003/02/01", "01111111"), rec(3000000, "2003/03/01"),
                    rec(4000000, "2003/04/01")});
        list.Sort(LoggerList::ColDate, true); // lines: 4, 3, 2, 1 by record
        QCOMPARE(lineSerials(list), QList<qint32>({4000000, 3000000, 3000000, 1002003}));
        // serial, its record, its line
        const int cases[][3] = {
            {1002003, 1, 4}, {1005678, 0, 0}, {1111111, 0, 0}, {3000000, 2, 2}, {12999999, 0, 0}};
        for (const auto& c : cases) {
            QCOMPARE(list.GetRecFromSerial(c[0]), c[1]);
            QCOMPARE(list.GetLineFromSerial(c[0]), c[2]);
        }
        QVERIFY(list.Remove(2));
        QVERIFY(!list.Remove(0) && !list.Remove(4));
        QCOMPARE(lineSerials(list), QList<qint32>({4000000, 3000000, 1002003}));
        QVERIFY(linesAndRecordsAgree(list));
        QVERIFY(!list.Put(4, rec(1000001)) && !list.ChangeSerial(0, 1000001));
        QCOMPARE(list.RecordOfLine(4), 0);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.record(4));
        QVERIFY(list.Insert(rec(1000009, "2003/05/01"), 2) > 0);
        QCOMPARE(lineSerials(list), QList<qint32>({4000000, 1000009, 3000000, 1002003}));
        list.ReLoad();
        QCOMPARE(lineSerials(list), QList<qint32>({1000009, 4000000, 3000000, 1002003}));
        QVERIFY(linesAndRecordsAgree(list));
    }

    // Lines sort by the text they show, ignoring case; equal lines keep their
    // order (so the earlier of two equal texts stays first either way).
    void sorting()
    {
        const std::tuple<int, bool, QList<qint32>> rows[] = {
            {LoggerList::ColLevel, false, {1000003, 1000001, 1000004, 1000002}}, // ' 7' before '10'
            {LoggerList::ColLevel, true, {1000002, 1000001, 1000004, 1000003}},  // 7s keep order
            {LoggerList::ColDate, true, {1000004, 1000002, 1000001, 1000003}},
            {LoggerList::ColComment1, false, {1000003, 1000001, 1000002, 1000004}}, // any case
            {LoggerList::ColSerial, true, {1000004, 1000003, 1000002, 1000001}}};
        for (const auto& [column, descending, order] : rows) {
            LoggerList list;
            fill(list, {rec(1000001, "2003/02/01", "abc", 7), rec(1000002, "2003/03/01", "ABD", 10),
                        rec(1000003, "2002/12/31", "", 0), rec(1000004, "2003/04/01", "b", 7)});
            list.Sort(column, descending);
            QCOMPARE(lineSerials(list), order);
            QVERIFY(linesAndRecordsAgree(list));
            QVERIFY(list.IsSorted() && list.SortedDescending() == descending); // column 0 too
        }
    }

    // Find searches the line texts from the serial to the spread, going on
    // from the last match and round past the last line.
    void find()
    {
        const std::tuple<QList<int>, QStringList, QList<int>> rows[] = {
            // the lines holding "xABCx", the searches ("": go on), the lines found
            {{4, 9}, {"ABC", "", ""}, {4, 9, 4}},
            {{9, 10}, {"ABC", "", ""}, {9, 10, 9}}, // the last line after the one before it
            {{2}, {"ABC", "", ""}, {2, 2, 2}},      // found again by going round
            {{4}, {"abc"}, {0}},                    // case-sensitive
            {{4}, {"hydrant"}, {0}},                // a user comment is not searched
            {{}, {"01000007"}, {7}},                // a serial's digits
            {{4, 9}, {"ABC", "ABC"}, {4, 4}}};      // a new text starts at the top
        for (const auto& [matching, searches, found] : rows) {
            LoggerList list;
            for (int i = 1; i <= 10; ++i) {
                LoggerRecord r =
                    rec(1000000 + i, "2003/01/01", matching.contains(i) ? "xABCx" : "street");
                r.UserComments = "near hydrant";
                QVERIFY(list.Insert(r) > 0);
            }
            QList<int> got;
            for (const QString& text : searches)
                got << list.Find(text);
            QCOMPARE(got, found);
        }
    }

    // New loggers by serial: one (a location not of eight characters gives no
    // grid reference), or a run: existing ones skipped and listed, locations
    // counting up and wrapping, never past the valid serials.
    void newLoggers()
    {
        LoggerList list;
        fill(list, {rec(1000200)});
        int line = 0;
        QCOMPARE(list.CreateNewRecord(1000200, 0, QString(), &line), LoggerList::AddResult::Exists);
        QCOMPARE(list.CreateNewRecord(1000002, 1, "87654321", &line), LoggerList::AddResult::Added);
        QCOMPARE(line, 1);
        QCOMPARE(list.record(2).GridRef.str(), std::string("AA 8765 4321"));
        QCOMPARE(list.record(2).Comment1.str(), LangTextAnsi(354));
        QCOMPARE(list.CreateNewRecord(1000003, 0, "1234567", &line), LoggerList::AddResult::Added);
        QCOMPARE(list.record(3).GridRef.str(), std::string(kAbsentGridRef));
        list.AskForSave = false;
        LoggerList::FillResult r = list.Fill(1000100, 3, 100, false, QString());
        QCOMPARE(r.existing, QStringList({"01000200"}));
        QCOMPARE(QList<int>({r.created, r.lastLine, r.stop}), QList<int>({2, 5, r.Done}));
        QCOMPARE(lineSerials(list).mid(3), QList<qint32>({1000100, 1000300}));
        QVERIFY(list.AskForSave);
        r = list.Fill(2000000, 3, 1, true, "99999998");
        QCOMPARE(QList<int>({r.created, r.lastLine, r.stop}), QList<int>({3, 8, r.Done}));
        QStringList refs;
        for (int i = 6; i <= 8; ++i)
            refs << QString::fromStdString(list.record(i).GridRef.str());
        QCOMPARE(refs, QStringList({"AA 9999 9998", "AA 0000 0000", "AA 0000 0001"}));
        r = list.Fill(12999998, 5, 1, false, QString());
        QCOMPARE(QList<int>({r.created, r.lastLine, r.stop}), QList<int>({2, 10, r.InvalidSerial}));
        QCOMPARE(lineSerials(list).mid(8), QList<qint32>({12999998, 12999999}));
        QVERIFY(r.existing.isEmpty());
    }

    // The two kinds of walk-by line, their dates turned year first, and what
    // is refused. stored: serial, deployed, comments 1 and 2, user comment.
    void importLines()
    {
        const QString noDate = "    /  /  ",
                      badSerial = "13000000" + LangText(523) + "7" + LangText(524) + LangText(132);
        const std::tuple<QString, QStringList, QString> rows[] = {
            // the line, what is stored (none: refused), the message
            {"1,1234567,x,25/12/2003,x,9 Main St,North,near hydrant,1",
             {"01234567", "2003/12/25", "9 MAIN ST", "NORTH", "NEAR HYDRANT"},
             ""},
            {"2,2345678,a,b,c,01/02/2004,d,A&B,Mill Lane,long note,1",
             {"02345678", "2004/02/01", "A B", "MILL LANE", "LONG NOTE"},
             ""},
            {"1,1234567,x,25/12/2003,x,a,b,abcdefghijklmnopqrstuvwxyz,1", // 20 characters kept
             {"01234567", "2003/12/25", "A", "B", "ABCDEFGHIJKLMNOPQRST"},
             ""},
            {"1,1234567,x,2003-12-25,x,a,b,c,1", {"01234567", noDate, "A", "B", "C"}, ""},
            {"1,1234567,x,,x,a,b,c,1", {"01234567", "", "A", "B", "C"}, ""},
            {"1,13000000,x,25/12/2003,x,a,b,c,1", {}, badSerial},
            {"1,1234567,x,25/12/2003,x,a,b,c,0", {}, ""}, // the last field not 1
            {"1,1234567,x,25/12/2003,x,a,b,1", {}, ""},   // a field short
            {"3,1234567,x,25/12/2003,x,a,b,c,1", {}, ""}, // another kind
            {"", {}, ""}};
        for (const auto& [line, stored, message] : rows) {
            LoggerList list;
            fill(list, {rec(1000001), rec(1234567, "2003/01/01")});
            QString got;
            int at = 0;
            QCOMPARE(list.ImportRecord(line, 7, got, &at), !stored.isEmpty());
            QCOMPARE(got, message);
            QCOMPARE(list.AskForSave, !stored.isEmpty());
            QCOMPARE(list.RecordCount(), stored.value(0) == "02345678" ? 3 : 2);
            if (stored.isEmpty())
                continue;
            const LoggerRecord& r = list.record(list.RecordOfLine(at));
            QStringList texts = {QString::fromStdString(FormatSerial(r.Serial))};
            for (const AnsiText* t : {&r.Deployed, &r.Comment1, &r.Comment2, &r.UserComments})
                texts << QString::fromStdString(t->str());
            QCOMPARE(texts, stored);
            // A known logger is replaced whole: its readings and grid reference go.
            QCOMPARE(r.GridRef.str(), std::string(kAbsentGridRef));
            QVERIFY(r.Date[1].empty() && r.Level[1] == 0);
        }
    }

    // A document never holds more than 6,999 loggers: a fill stops at once at
    // the last free place, and once full nothing adds a logger.
    void capacity()
    {
        static RecordStore store; // big: one for the whole test
        for (const auto& [count, copyTakes] :
             {std::pair(6998, true), {6999, true}, {7000, false}}) {
            store.clear();
            for (int i = 1; i <= count; ++i)
                store.Records(i) = rec(1000000 + i);
            store.StoreCount = count;
            LoggerList list;
            fill(list, {rec(12000000)});
            QCOMPARE(list.CopyFrom(store), copyTakes);
            QCOMPARE(list.RecordCount(), copyTakes ? count : 1);
            for (int i = 2; !copyTakes && i < LoggerList::kCapacity; ++i)
                QVERIFY(list.Insert(rec(1000000 + i)) > 0); // grown one by one instead
            const int room = LoggerList::kCapacity - list.RecordCount();
            const LoggerList::FillResult r = list.Fill(12500000, 99999999, 1, false, QString());
            QCOMPARE(r.created, room);
            QCOMPARE(int(r.stop), int(LoggerList::FillResult::Full));
            QCOMPARE(r.stoppedAt, qint64(12500000 + room));
            QCOMPARE(ListFullMessage(r.created, 99999999),
                     room ? LangText(630) + "1" + LangText(631) + "99999999" + LangText(632)
                          : LangText(618));
            QVERIFY(list.IsFull());
            QCOMPARE(list.Insert(rec(9000000)), 0);
            QCOMPARE(list.PasteRecord(rec(9000000), 1), 0);
            QCOMPARE(list.CreateNewRecord(9000000, 0, QString()), LoggerList::AddResult::Full);
            QCOMPARE(list.CreateNewRecord2(9000000, 1), 0);
            QString message;
            QVERIFY(!list.ImportRecord("1,9000000,x,25/12/2003,x,a,b,c,1", 1, message));
            QCOMPARE(message, LangText(618));
            QCOMPARE(list.RecordCount(), LoggerList::kCapacity);
            QVERIFY(linesAndRecordsAgree(list));
            // What goes back to the store never reaches the scratch slot.
            store.Records(RecordStore::kScratchSlot).Serial = 99999999;
            list.CopyTo(store);
            QCOMPARE(store.StoreCount, LoggerList::kCapacity);
            QCOMPARE(store.Records(RecordStore::kScratchSlot).Serial, 99999999);
        }
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, store.Records(7001));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, store.Records(-1));
    }

    // Saving wants readings' dates trimmed, statuses trimmed and in capitals;
    // the document keeps what was typed.
    void copyTo()
    {
        LoggerList list;
        LoggerRecord r = rec(1234567, " 2003/01/01 ");
        r.Status[1] = " leak ";
        r.Status[50] = "no leak ";
        fill(list, {r, rec(2345678), rec(1234567), rec(3000000), rec(2345678), rec(2345678)});
        RecordStore store;
        list.CopyTo(store);
        QCOMPARE(store.StoreCount, 6);
        QCOMPARE(store.Records(1).Date[1].str(), std::string("2003/01/01"));
        QCOMPARE(store.Records(1).Status[1].str(), std::string("LEAK"));
        QCOMPARE(store.Records(1).Status[50].str(), std::string("NO LEAK"));
        QCOMPARE(list.record(1).Status[1].str(), std::string(" leak "));
        QCOMPARE(list.FindDuplicateSerials(), FindDuplicateSerials(store)); // as the reader's
    }
};

QTEST_MAIN(TestLoggerList)
#include "tst_loggerlist.moc"
