#pragma once
// The printed reports of a list window's loggers as fixed-pitch lines, page
// by page: the logger report (a block per logger with its readings) and the
// summary report (a line per logger, a column per chosen date). The printer,
// the preview and quorvane-tool draw or write these same lines, so a report
// is laid out in one place only.

#include <QDate>
#include <QStringList>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class LoggerList;

struct ReportOptions
{
    // The columns besides the serial.
    bool gridRef = false, deployed = false, received = false;
    bool comment1 = false, comment2 = false, information = false;
    // The statuses; all wins over the other three.
    bool all = true, warning = false, leak = false, notInLeak = false;
    bool history = false;      // logger report: every reading rather than the latest
    bool summary = false;      // the summary report instead of the logger report
    QStringList selectedDates; // summary dates, newest first
    QString comment;
    QDate today;
    int linesPerPage = 60;
};

enum class LineStyle : quint8 { Plain, Bold, Italic, Underline };

class Report
{
public:
    // Where the report had got to: a line of the list (1-based) and a reading.
    struct Position
    {
        int line = 0;
        int reading = 0;
    };

    int pageCount() const { return static_cast<int>(m_pageStart.size()); }
    int lineCount() const { return static_cast<int>(m_style.size()); }
    // The lines of a page (0-based): [pageStart(page), pageStart(page + 1)).
    int pageStart(int page) const;
    int pageOfLine(int line) const;
    // A line's text as Windows-1252 bytes, and how it is printed.
    std::string_view text(int line) const;
    LineStyle style(int line) const { return m_style[static_cast<size_t>(line)]; }
    // The last logger line and reading on a page, for the progress shown while printing.
    Position endOf(int page) const { return m_pageEnd[static_cast<size_t>(page)]; }

    // Every line with CR LF, a form feed in front of the first line of every
    // page after the first; Windows-1252 like the database files.
    std::string plainText() const;

private:
    friend class ReportBuilder;
    // Every line's bytes one after another, in a buffer that grows without
    // filling what it has not written yet: hundreds of thousands of short
    // lines go in at the speed of copying them.
    std::unique_ptr<char[]> m_text;
    size_t m_size = 0, m_capacity = 0;
    std::vector<quint32> m_start; // where each line starts in m_text, and one past the last
    std::vector<LineStyle> m_style;
    std::vector<int> m_pageStart;
    std::vector<Position> m_pageEnd;
};

// The report of the list's lines in their order, as the options choose it.
Report BuildReport(const LoggerList& list, const ReportOptions& options);

// The text cut to w characters, or filled with blanks to w.
std::string FixWidth(std::string_view text, int width);
// Whether a reading of this status goes into the report: trimmed and in
// capitals, it must equal a ticked status's text as the language file has it.
bool StatusSelected(const ReportOptions& options, std::string_view status);
bool AnyStatusSelected(const ReportOptions& options);
// The column heading, and what the header says of the choice of statuses.
std::string HeadingLine(const ReportOptions& options);
std::string SelectionDescription(const ReportOptions& options);
// Every date a reading of the list holds, newest first, each once.
QStringList ReportDates(const LoggerList& list);
// The dates as the summary holds them: newest first, each once.
QStringList NewestFirst(QStringList dates);
