#include "Address2Format.h"
#include "EditorEntries.h"
#include "LangText.h"
#include "LoggerList.h"
#include "MaskedText.h"
#include "RecordChecks.h"

#include <QtTest>

namespace {

LoggerRecord sample(qint32 serial, const char* gridRef = "XY 1234 5678")
{
    LoggerRecord r;
    r.Serial = serial;
    r.GridRef = gridRef;
    r.Comment1 = "Mill Lane";
    r.Deployed = "2003/01/02";
    r.Received = "08:00:00";
    r.Date[1] = "2003/02/01";
    r.Status[1] = "LEAK";
    r.Level[1] = 40;
    r.Spread[1] = 25;
    return r;
}

QString line(int string, const char* after = "")
{
    return LangText(string) + QLatin1String(after) + QStringLiteral("\r\n");
}

} // namespace

class TestEditorEntries : public QObject
{
    Q_OBJECT
private slots:
    // Update checks everything and reports every fault, each on its line. The
    // editor shows a reading without a date as a blank.
    void validation()
    {
        const EditorEntries shown = EditorEntries::FromRecord(sample(1234567));
        QCOMPARE(QStringList({shown.History[0].Date, shown.History[1].Date}),
                 QStringList({"2003/02/01", " "}));
        const struct
        {
            QString serial, serialAfter, location;
            int row;                  // the history row typed into
            EditorEntries::Row entry; // its date, status, level and spread
            QString report;           // none: Update stores
        } rows[] = {
            {"01234567", "01234567", "12345678", 1, {"2003/01/01", "", "40", "25"}, ""},
            {"1234567", "01234567", "12345678", 1, {"", "", "0", "0"}, ""}, // gains a zero
            {"13000000", "13000000", "1234567", 1, {"", "", "0", "0"}, line(191) + line(379)},
            {"01234567", "01234567", "________", 50, {" ", "", "0", "100"}, line(167, " 50")},
            {"01234567", "01234567", "12345678", 3, {"  ", "", " 7", "99"}, ""}}; // blank: no date
        for (const auto& c : rows) {
            EditorEntries e = EditorEntries::FromRecord(sample(1234567));
            e.Serial = c.serial;
            e.Location = c.location;
            e.History[c.row - 1] = c.entry;
            QString got;
            QCOMPARE(ValidateEntries(e, 50, got), c.report.isEmpty());
            QCOMPARE(got, c.report);
            QCOMPARE(e.Serial, c.serialAfter);
            if (got.isEmpty()) // what passes the checks is a sound record
                QVERIFY(IsValidRecord(RecordFromEntries(e, 50)));
        }
    }

    // The history dialog tidies what was typed, then checks the date, the
    // level and the spread in that order.
    void historyDialogChecks()
    {
        QString date = " 2003/01/01 ", status = " leak ", level = " 7 ", spread = " 9 ";
        QCOMPARE(CheckHistoryEntry(date, status, level, spread), QString());
        QCOMPARE(QStringList({date, status, level, spread}),
                 QStringList({"2003/01/01", "LEAK", "7", "9"}));
        const std::pair<EditorEntries::Row, int> rows[] = {{{"", "", "0", "0"}, 0},
                                                           {{"2003/1/1", "", "x", "x"}, 385},
                                                           {{"", "", "100", "x"}, 387},
                                                           {{"", "", "1", "-1"}, 388}};
        for (auto [e, message] : rows)
            QCOMPARE(CheckHistoryEntry(e.Date, e.Status, e.Level, e.Spread),
                     message ? LangText(message) : QString());
    }

    // Storing replaces the record of its serial but keeps its dates and shows
    // it on its line (in full, on a line that showed the serial alone); a
    // serial the list does not hold is refused.
    void storeFromEditor()
    {
        LoggerList list;
        QString refusal;
        QCOMPARE(list.StoreFromEditor(sample(1000001), refusal), 0);
        QCOMPARE(refusal, LangText(342));
        for (qint32 s : {1000001, 1000002, 1000003})
            QVERIFY(list.Insert(sample(s)) > 0);
        list.Sort(LoggerList::ColSerial, true);
        LoggerRecord edited = sample(1000002);
        edited.Deployed = "2099/09/09";
        edited.Received.clear();
        edited.Comment1 = "changed";
        QCOMPARE(list.StoreFromEditor(edited, refusal), 2);
        QVERIFY(refusal.isEmpty() && list.AskForSave);
        const LoggerRecord& stored = list.record(list.GetRecFromSerial(1000002));
        QCOMPARE(stored.Comment1.str(), std::string("changed"));
        QCOMPARE(stored.Deployed.str(), std::string("2003/01/02"));
        QCOMPARE(stored.Received.str(), std::string("08:00:00"));
        QCOMPARE(list.LineText(2, LoggerList::ColComment1), QString("changed"));

        list.AskForSave = false;
        QCOMPARE(list.StoreFromEditor(sample(1000009), refusal), 0);
        QCOMPARE(refusal, "01000009" + LangText(343) + "\r01000009" + LangText(346) + "\r");
        QVERIFY(!list.AskForSave);

        QCOMPARE(list.CreateNewRecord2(1000009, 3), 3);
        QCOMPARE(list.LineText(3, LoggerList::ColComment1), QString());
        QCOMPARE(list.StoreFromEditor(sample(1000009), refusal), 3);
        QCOMPARE(list.LineText(3, LoggerList::ColComment1), QString("Mill Lane"));
    }

    // The editor shows only the digits of a grid reference: storing keeps
    // the letters the record has ("AA" for a reference that is absent).
    void storedGridReference()
    {
        const char* rows[][3] = {// stored, location typed, stored after
                                 {"NZ-2033-3148", "20339999", "NZ-2033-9999"},
                                 {"__ ____ ____", "12345678", "AA 1234 5678"},
                                 {"__ 1234 5678", "12345679", "__ 1234 5679"}};
        for (const auto& [stored, location, after] : rows) {
            LoggerList list;
            QVERIFY(list.Insert(sample(1000001, stored)) > 0);
            EditorEntries e = EditorEntries::FromRecord(list.record(1));
            e.Location = location;
            QString refusal;
            QCOMPARE(list.StoreFromEditor(RecordFromEntries(e, 50), refusal), 1);
            QCOMPARE(QString::fromStdString(list.record(1).GridRef.str()), QString(after));
        }
    }

    // Each grid format takes what its entry in the options list promises:
    // "n" or "d" a digit, "X" or "H" a letter, anything else fixed.
    void formatsKeepTheirOptionsPromise()
    {
        const QStringList entries = Address2Entries();
        QCOMPARE(entries.size(), 15);
        for (int i = 0; i <= 15; ++i) {
            const QString setting = QString::number(i), entry = entries.value(i);
            const MaskedText mask(Address2Mask(setting));
            const qsizetype open = entry.indexOf('(');
            if (open < 0) { // a free format
                QCOMPARE(mask.length(), 20);
                QVERIFY(mask.accepts(19, 'a') && mask.accepts(0, '7'));
                QCOMPARE(Address2Caption(setting), LangText(i == 14 ? 616 : 161));
                continue;
            }
            const QString hint = entry.mid(open + 1, entry.size() - open - 2);
            QVERIFY2(Address2Caption(setting).startsWith(entry.left(open - 1)), qPrintable(entry));
            QCOMPARE(mask.length(), hint.size());
            for (int p = 0; p < hint.size(); ++p) {
                const QChar h = hint[p];
                const bool digit = h == 'n' || h == 'd', letter = h == 'X' || h == 'H';
                QVERIFY2(mask.accepts(p, '5') == digit && mask.accepts(p, 'q') == letter,
                         qPrintable(entry + " at " + QString::number(p)));
                if (!digit && !letter)
                    QCOMPARE(mask.display()[p], h);
            }
        }
        for (const char* other : {"15", "abc", "", " 1"})
            QCOMPARE(Address2Mask(other), Address2Mask("0"));
    }
};

QTEST_GUILESS_MAIN(TestEditorEntries)
#include "tst_editorentries.moc"
