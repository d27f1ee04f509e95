#include "Report.h"

#include "Ansi.h"
#include "LangText.h"
#include "LoggerList.h"
#include "RecordChecks.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>

namespace {

std::string lang(int number)
{
    return Ansi::fromQString(LangText(number));
}

void appendFixed(std::string& to, std::string_view text, int width)
{
    const size_t w = static_cast<size_t>(std::max(width, 0));
    if (text.size() >= w) {
        to.append(text.substr(0, w));
    } else {
        to.append(text);
        to.append(w - text.size(), ' ');
    }
}

void appendFixedNumber(std::string& to, int value, int width)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    appendFixed(to, std::string_view(digits, static_cast<size_t>(end - digits)), width);
}

// Writes fields into room made for them.
class Fields
{
public:
    explicit Fields(char* at) : m_p(at) {}
    char* end() const { return m_p; }
    void text(std::string_view t)
    {
        if (!t.empty()) // an empty view may have no data at all
            std::memcpy(m_p, t.data(), t.size());
        m_p += t.size();
    }
    void blanks(size_t n)
    {
        std::memset(m_p, ' ', n);
        m_p += n;
    }
    void fixed(std::string_view t, size_t width)
    {
        const size_t n = std::min(t.size(), width);
        if (n > 0)
            std::memcpy(m_p, t.data(), n);
        std::memset(m_p + n, ' ', width - n);
        m_p += width;
    }
    void number(int value, size_t width)
    {
        char digits[16];
        const auto last = std::to_chars(digits, digits + sizeof digits, value).ptr;
        fixed(std::string_view(digits, static_cast<size_t>(last - digits)), width);
    }

private:
    char* m_p;
};

// The columns the boxes choose, in print order: list column, heading string, width.
struct ColumnChoice
{
    bool ReportOptions::*box;
    int column;
    int heading;
    int width;
};
const ColumnChoice kColumns[] = {
    {&ReportOptions::gridRef, LoggerList::ColGridRef, 452, 14},
    {&ReportOptions::deployed, LoggerList::ColDeployed, 453, 14},
    {&ReportOptions::received, LoggerList::ColReceived, 454, 14},
    {&ReportOptions::comment1, LoggerList::ColComment1, 455, 21},
    {&ReportOptions::comment2, LoggerList::ColComment2, 456, 21},
    {&ReportOptions::information, LoggerList::ColUserComments, 500, 21},
};

} // namespace

// Page by page: the count of a page is the number of its next line, and a
// page ends once that reaches the lines a page holds. A new page (with its
// header) is begun only when a line is to go on it, so a report never ends
// on a page holding nothing but its header.
class ReportBuilder
{
public:
    ReportBuilder(const ReportOptions& o, const QString& dmaName, Report& r)
        : m_o(o), m_dmaName(Ansi::fromQString(dmaName)), m_r(r)
    {
    }

    void header()
    {
        ++m_page;
        m_pageFull = false;
        m_r.m_pageStart.push_back(static_cast<int>(m_r.m_style.size()));
        m_r.m_pageEnd.push_back(m_at);
        add(m_title + std::to_string(m_page), LineStyle::Bold);
        add({}, LineStyle::Plain);
        add(m_comment, LineStyle::Italic);
        add({}, LineStyle::Plain);
        add(m_heading, LineStyle::Underline);
        add({}, LineStyle::Plain);
        // Counted as it stands on every page, so that no page runs past its end.
        m_count = static_cast<int>(m_r.m_style.size()) - m_r.m_pageStart.back() + 1;
    }

    void body(std::string_view text, Report::Position at)
    {
        Fields f(openLine(text.size()));
        f.text(text);
        closeLine(f.end(), at);
    }
    // The blank line after a logger, on the page of the logger's lines: a
    // full page ends the logger well enough, and never starts the next page.
    void separator(Report::Position at)
    {
        if (!m_pageFull)
            body({}, at);
    }

    // A body line written straight into the report: room for at most
    // maxBytes, then closeLine at where the writing ended.
    char* openLine(size_t maxBytes)
    {
        if (m_pageFull)
            header();
        return room(maxBytes);
    }
    void closeLine(const char* end, Report::Position at)
    {
        finish(end, LineStyle::Plain);
        m_at = at;
        m_r.m_pageEnd.back() = at;
        if (++m_count >= m_o.linesPerPage)
            m_pageFull = true;
    }

    void start(size_t expectedLines, size_t expectedBytes)
    {
        m_r.m_start.reserve(expectedLines + 1);
        m_r.m_style.reserve(expectedLines);
        // The header's texts once: only the page number changes from page to page.
        m_title = m_o.summary ? lang(464) : std::string();
        m_title += lang(460) + m_dmaName + lang(461);
        m_title += m_o.today.toString(QStringLiteral("MM-dd-yyyy")).toStdString();
        m_title += lang(462) + SelectionDescription(m_o) + lang(463);
        m_comment = lang(465) + Ansi::fromQString(m_o.comment);
        m_heading = HeadingLine(m_o);
        grow(expectedBytes);
        m_r.m_start.push_back(0);
    }

private:
    void add(std::string_view text, LineStyle style)
    {
        Fields f(room(text.size()));
        f.text(text);
        finish(f.end(), style);
    }
    char* room(size_t bytes)
    {
        if (m_r.m_size + bytes > m_r.m_capacity)
            grow(std::max(m_r.m_capacity * 2, m_r.m_size + bytes));
        return m_r.m_text.get() + m_r.m_size;
    }
    void grow(size_t capacity)
    {
        std::unique_ptr<char[]> bigger(new char[capacity]);
        if (m_r.m_size)
            std::memcpy(bigger.get(), m_r.m_text.get(), m_r.m_size);
        m_r.m_text = std::move(bigger);
        m_r.m_capacity = capacity;
    }
    void finish(const char* end, LineStyle style)
    {
        m_r.m_size = static_cast<size_t>(end - m_r.m_text.get());
        m_r.m_start.push_back(static_cast<quint32>(m_r.m_size));
        m_r.m_style.push_back(style);
    }

    const ReportOptions& m_o;
    std::string m_dmaName;
    Report& m_r;
    std::string m_title, m_comment, m_heading;
    int m_page = 0;
    int m_count = 0;
    bool m_pageFull = false;
    Report::Position m_at;
};

namespace {

// The ticked columns of a line as the list window shows them.
void appendColumns(std::string& to, const LoggerList& list, int line, const ReportOptions& o)
{
    for (const ColumnChoice& c : kColumns)
        if (o.*c.box)
            appendFixed(to, Ansi::fromQString(list.LineText(line, c.column)), c.width);
}

// Status texts as the filter compares them: the language's own, as they stand.
struct FilterTexts
{
    std::string warning = lang(184), leak = lang(185), noLeak = lang(186);
};

bool statusSelected(const ReportOptions& o, const FilterTexts& t, std::string_view status)
{
    if (o.all)
        return true;
    const std::string_view s = Ansi::trimmed(status);
    return (o.warning && StatusIs(s, t.warning)) || (o.leak && StatusIs(s, t.leak)) ||
           (o.notInLeak && StatusIs(s, t.noLeak));
}

void loggerReport(const LoggerList& list, const ReportOptions& o, ReportBuilder& b)
{
    const FilterTexts statuses;
    const int depth = o.history ? list.NumHistories : 1;
    std::string head;
    for (int i = 1; i <= list.LineCount(); ++i) {
        if (i == 1)
            b.header();
        // Each line prints its own record, even where two share a serial.
        const LoggerRecord& r = list.record(list.RecordOfLine(i));
        head.clear();
        appendFixed(head, Ansi::fromQString(list.LineText(i, LoggerList::ColSerial)), 14);
        appendColumns(head, list, i, o);
        int printed = 0;
        for (int h = 1; h <= depth; ++h) {
            const auto at = static_cast<size_t>(h);
            if (!statusSelected(o, statuses, r.Status[at].view()))
                continue;
            Fields line(b.openLine(head.size() + 40));
            // The logger's columns on its first line, blanks under them after.
            if (printed++ == 0)
                line.text(head);
            else
                line.blanks(head.size());
            line.fixed(r.Date[at].view(), 12);
            line.fixed(r.Status[at].view(), 2);
            line.number(r.Level[at], 3);
            line.number(r.Spread[at], 2);
            if (depth > 1) {
                line.blanks(1);
                line.number(h, 2);
            }
            b.closeLine(line.end(), {i, h});
        }
        if (printed > 1)
            b.separator({i, depth});
    }
}

void summaryReport(const LoggerList& list, const ReportOptions& o, ReportBuilder& b)
{
    const FilterTexts statuses;
    const int n = o.selectedDates.size();
    std::vector<std::string> dates;
    for (const QString& d : o.selectedDates)
        dates.push_back(Ansi::fromQString(d));
    const std::string placeholder = " .         ";
    std::string head, cells, cell;
    for (int i = 1; i <= list.LineCount(); ++i) {
        if (i == 1)
            b.header();
        const LoggerRecord& r = list.record(list.RecordOfLine(i));
        head.clear();
        appendFixed(head, FormatSerial(r.Serial), 14);
        appendColumns(head, list, i, o);
        cells.clear();
        for (int k = 0; k < n; ++k)
            cells += placeholder;
        bool found = false;
        for (int h = 1; h <= list.NumHistories; ++h) {
            const auto date = r.Date[static_cast<size_t>(h)].view();
            const auto at = std::find(dates.begin(), dates.end(), date);
            const int p = at == dates.end() ? 0 : static_cast<int>(at - dates.begin()) + 1;
            if (!(o.all || p > 0) ||
                !statusSelected(o, statuses, r.Status[static_cast<size_t>(h)].view()))
                continue;
            found = true;
            if (p == 0)
                continue;
            cell.clear();
            appendFixed(cell, r.Status[static_cast<size_t>(h)].view(), 1);
            cell += ' ';
            appendFixedNumber(cell, r.Level[static_cast<size_t>(h)], 3);
            cell += ' ';
            appendFixedNumber(cell, r.Spread[static_cast<size_t>(h)], 2);
            // Newest on the right: date 1 is the last column.
            cells.replace(static_cast<size_t>((n - p) * 11), 11, FixWidth(cell, 11));
        }
        if (found)
            b.body(head + cells, {i, 0});
    }
}

} // namespace

int Report::pageStart(int page) const
{
    if (page >= pageCount())
        return lineCount();
    return m_pageStart[static_cast<size_t>(std::max(page, 0))];
}

int Report::pageOfLine(int line) const
{
    const auto it = std::upper_bound(m_pageStart.begin(), m_pageStart.end(), line);
    return std::max(0, static_cast<int>(it - m_pageStart.begin()) - 1);
}

std::string_view Report::text(int line) const
{
    const size_t from = m_start[static_cast<size_t>(line)];
    const size_t to = m_start[static_cast<size_t>(line) + 1];
    return std::string_view(m_text.get() + from, to - from);
}

std::string Report::plainText() const
{
    std::string out;
    out.reserve(m_size + 2 * m_style.size() + m_pageStart.size());
    for (int page = 0; page < pageCount(); ++page) {
        for (int line = pageStart(page); line < pageStart(page + 1); ++line) {
            if (page > 0 && line == pageStart(page))
                out += '\f';
            out.append(text(line));
            out += "\r\n";
        }
    }
    return out;
}

Report BuildReport(const LoggerList& list, const ReportOptions& o)
{
    Report r;
    ReportBuilder b(o, list.DMAName, r);
    // Room for the lines at once: a full report runs to hundreds of thousands.
    const size_t lines = static_cast<size_t>(list.LineCount()) *
                         (o.history && !o.summary ? static_cast<size_t>(list.NumHistories) : 1);
    const size_t perLine = 40 + (o.summary ? 11 * static_cast<size_t>(o.selectedDates.size()) : 0);
    // A tenth more for the headers and the blank lines between loggers.
    b.start(lines + lines / 10, (lines + lines / 10) * perLine);
    if (o.summary)
        summaryReport(list, o, b);
    else
        loggerReport(list, o, b);
    return r;
}

std::string FixWidth(std::string_view text, int width)
{
    std::string out;
    appendFixed(out, text, width);
    return out;
}

bool StatusSelected(const ReportOptions& options, std::string_view status)
{
    return statusSelected(options, FilterTexts(), status);
}

bool AnyStatusSelected(const ReportOptions& o)
{
    return o.all || o.warning || o.leak || o.notInLeak;
}

std::string HeadingLine(const ReportOptions& o)
{
    std::string line = FixWidth(lang(451), 14);
    for (const ColumnChoice& c : kColumns)
        if (o.*c.box)
            appendFixed(line, lang(c.heading), c.width);
    if (o.summary) {
        // Oldest on the left.
        for (int k = o.selectedDates.size(); k >= 1; --k)
            appendFixed(line, Ansi::fromQString(o.selectedDates[k - 1]), 11);
    } else {
        line += lang(458);
        if (o.history)
            line += lang(459);
    }
    return line;
}

std::string SelectionDescription(const ReportOptions& o)
{
    std::string s = lang(444);
    if (o.all) {
        s += lang(445);
    } else {
        if (o.warning)
            s += lang(446);
        if (o.leak)
            s += lang(447);
        if (o.notInLeak)
            s += lang(448);
    }
    s += lang(o.summary ? 503 : o.history ? 449 : 450);
    return s;
}

QStringList ReportDates(const LoggerList& list)
{
    std::vector<std::string_view> seen;
    for (int line = 1; line <= list.LineCount(); ++line) {
        const LoggerRecord& r = list.record(list.RecordOfLine(line));
        for (int h = 1; h <= list.NumHistories; ++h) {
            const auto date = r.Date[static_cast<size_t>(h)].view();
            if (!date.empty())
                seen.push_back(date);
        }
    }
    std::sort(seen.begin(), seen.end(), std::greater<>());
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    QStringList dates;
    dates.reserve(static_cast<int>(seen.size()));
    for (const auto d : seen)
        dates << Ansi::toQString(d);
    return dates;
}

QStringList NewestFirst(QStringList dates)
{
    std::sort(dates.begin(), dates.end(), std::greater<>());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    return dates;
}
