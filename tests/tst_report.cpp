#include "LangText.h"
#include "LoggerList.h"
#include "Report.h"

#include <QtTest>

namespace {

struct Reading
{
    const char *date, *status;
    qint16 level, spread;
};

LoggerRecord logger(qint32 serial, std::initializer_list<Reading> readings = {},
                    const char* comment1 = "")
{
    LoggerRecord r;
    r.Serial = serial;
    r.Comment1 = comment1;
    int h = 1;
    for (const Reading& x : readings) {
        r.Date[h] = x.date;
        r.Status[h] = x.status;
        r.Level[h] = x.level;
        r.Spread[h] = x.spread;
        ++h;
    }
    return r;
}

QString lineText(const Report& r, int line)
{
    return QString::fromLatin1(r.text(line).data(), qsizetype(r.text(line).size()));
}

// The body lines of a report: every page without its six header lines.
QStringList bodyLines(const Report& r)
{
    QStringList out;
    for (int page = 0; page < r.pageCount(); ++page)
        for (int line = r.pageStart(page) + 6; line < r.pageStart(page + 1); ++line)
            out << lineText(r, line);
    return out;
}

using Records = QList<LoggerRecord>;

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

    std::unique_ptr<LoggerList> m_list;

    void load(const Records& records)
    {
        m_list = std::make_unique<LoggerList>();
        for (const LoggerRecord& r : records)
            QVERIFY(m_list->Insert(r) > 0);
    }

private slots:
    // The reports' lines, hand-worked: a logger's columns on its first reading,
    // a blank line after two or more; the summary a column a date, oldest first.
    void reportLines_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<QString>("choice"); // statuses and options ticked
        QTest::addColumn<QStringList>("lines");
        auto row = [](const char* name, const Records& records, const char* choice,
                      const QStringList& lines) {
            QTest::newRow(name) << records << QString(choice) << lines;
        };
        const Records three = {
            logger(1234567, {{"2024/03/01", "L", 45, 7}, {"2024/02/01", "W", 30, 12}}),
            logger(2345678, {{"2024/03/01", "N", 8, 3}}),
            logger(3456789, {{"2024/03/02", "l ", 51, 6}, {"2024/02/02", "L", 50, 5}}),
        };
        row("latest only, every status", three, "all",
            {"01234567      2024/03/01  L 45 7 ", "02345678      2024/03/01  N 8  3 ",
             "03456789      2024/03/02  l 51 6 "});
        row("latest only, leak: 'l ' trimmed and capitalised matches L", three, "leak",
            {"01234567      2024/03/01  L 45 7 ", "03456789      2024/03/02  l 51 6 "});
        row("columns: a text wider than its field is cut",
            {logger(1234567, {{"2024/03/01", "L", 5, 1}}, "a comment far longer than twenty-one")},
            "all comment1", {"01234567      a comment far longer 2024/03/01  L 5  1 "});
        row("two loggers with one serial print their own readings",
            {logger(1234567, {{"2024/03/01", "L", 45, 7}}),
             logger(1234567, {{"2024/01/05", "N", 9, 2}})},
            "all", {"01234567      2024/03/01  L 45 7 ", "01234567      2024/01/05  N 9  2 "});
        QStringList fifty = {"01234567      2024/03/01  L 45 7  1 "};
        for (int h = 2; h <= 50; ++h)
            fifty << QString(28, ' ') + QString("0  0  %1").arg(h, -2);
        row("every slot with history, the empty ones too",
            {logger(1234567, {{"2024/03/01", "L", 45, 7}})}, "all history", fifty << "");
        const Records dated = {
            logger(1234567, {{"2024/02/01", "L", 45, 7}, {"2023/12/01", "L", 1, 1}}),
            logger(2345678, {{"2023/11/11", "L", 60, 9}}),
            logger(3456789, {{"2024/03/01", "W", 12, 9},
                             {"2024/01/01", "L", 7, 7},
                             {"2024/01/01", "N", 3, 1}})};
        const QString dot = " .         ";
        row("summary, every status", dated, "all summary",
            {"01234567      " + dot + "L 45  7    " + dot, "02345678      " + dot + dot + dot,
             "03456789      N 3   1    " + dot + "W 12  9    "});
        row("summary, leak: a logger with nothing on the dates is left out", dated, "leak summary",
            {"01234567      " + dot + "L 45  7    " + dot,
             "03456789      L 7   7    " + dot + dot});
    }
    void reportLines()
    {
        QFETCH(Records, records);
        QFETCH(QString, choice);
        QFETCH(QStringList, lines);
        load(records);
        ReportOptions o;
        const QStringList ticked = choice.split(' ');
        o.all = ticked.contains("all");
        o.leak = ticked.contains("leak");
        o.warning = ticked.contains("warning");
        o.history = ticked.contains("history");
        o.comment1 = ticked.contains("comment1");
        o.summary = ticked.contains("summary");
        o.selectedDates = NewestFirst({"2024/01/01", "2024/03/01", "2024/02/01"});
        o.linesPerPage = 1000;
        const Report r = BuildReport(*m_list, o);
        QCOMPARE(bodyLines(r), lines);
    }

    // Every page's header, and the page breaks: no page over its length, each
    // with a logger line, the blank line after a logger never the first.
    void pages()
    {
        const std::tuple<int, bool, int, QList<int>> rows[] = {
            // loggers, with history, lines a page, the body lines of each page
            {6, false, 10, {3, 3}}, // three a page: two pages, no third
            {7, false, 10, {3, 3, 1}},
            {2, true, 10, {3, 3}},    // a logger of two readings and its blank line a page
            {2, true, 9, {2, 2}},     // a full page takes no blank line
            {1, true, 9, {2}},        // no page of a blank line alone
            {3, true, 12, {5, 3}},    // the blank line mid-page
            {3, false, 5, {1, 1, 1}}, // a page too small for more than one line
            {2, true, 5, {1, 1, 1, 1}}};
        for (const auto& [loggers, history, linesPerPage, bodyLinesPerPage] : rows) {
            Records records;
            for (int i = 0; i < loggers; ++i)
                records << logger(1000001 + i,
                                  {{"2024/03/01", "L", 45, 7}, {"2024/02/01", "W", 3, 1}});
            load(records);
            ReportOptions o;
            o.all = false;
            o.leak = o.warning = true;
            o.history = history;
            o.linesPerPage = linesPerPage;
            const Report r = BuildReport(*m_list, o);
            QList<int> body;
            for (int page = 0; page < r.pageCount(); ++page) {
                const int first = r.pageStart(page), end = r.pageStart(page + 1);
                body << end - first - 6;
                const QString where =
                    QString::asprintf("%d loggers, %d lines: page %d", loggers, linesPerPage, page);
                QVERIFY2(end - first <= std::max(linesPerPage, 7), qPrintable(where));
                QVERIFY2(end - first > 6 && !r.text(first + 6).empty(), qPrintable(where));
                // The rest of the header as the tool's reports show it.
                QVERIFY2(lineText(r, first).endsWith(LangText(history ? 449 : 450) + LangText(463) +
                                                     QString::number(page + 1)),
                         qPrintable(where));
                QCOMPARE(r.pageOfLine(end - 1), page);
                using S = LineStyle;
                const S styles[] = {S::Bold, S::Plain, S::Italic, S::Plain, S::Underline, S::Plain};
                for (int k = 0; k < 6; ++k)
                    QCOMPARE(r.style(first + k), styles[k]);
            }
            QCOMPARE(body, bodyLinesPerPage);
            QVERIFY(r.endOf(r.pageCount() - 1).line == loggers);
        }
    }

    // Dates for the summary choice: every reading's, once each, newest first.
    void dates()
    {
        load({logger(1, {{"2024/02/01", "L", 1, 1}, {"2023/12/01", "L", 1, 1}}),
              logger(2, {{"2024/02/01", "N", 1, 1}, {"", "", 0, 0}, {"2024/03/01", "W", 1, 1}})});
        QCOMPARE(ReportDates(*m_list), QStringList({"2024/03/01", "2024/02/01", "2023/12/01"}));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
