#pragma once
// Report lines on paper and on screen: the report font, how many lines a
// page holds, drawing a line in its style, and printing a whole report.

#include <QFont>
#include <functional>

class QPainter;
class QPaintDevice;
class QPrinter;
class Report;

// The report font of the settings. Always fixed pitch: where the named font
// is missing the machine's own fixed-pitch font stands in, so the columns
// still line up.
QFont ReportFont();
void SaveReportFont(const QFont& font);
// The font at a zoom in percent: its size cut to a whole point, at least 1.
QFont ZoomedFont(const QFont& font, int zoomPercent);

// The font in each of the line styles.
struct ReportFonts
{
    explicit ReportFonts(const QFont& base);
    QFont plain, bold, italic, underline;
    const QFont& forStyle(int style) const;
};

// How far apart lines are on the device with the font.
double LineSpacing(const QFont& font, QPaintDevice* device);
// How many lines of the font a printer page holds.
int LinesPerPage(QPrinter& printer, const QFont& font);
// A line of the report with the left end of its base line at (x, y).
void DrawReportLine(QPainter& painter, const ReportFonts& fonts, const Report& report, int line,
                    double x, double y);

enum class PrintResult { Printed, Cancelled, Failed };
// The report, page by page; carryOn runs before every page after the first
// (the window lets events run in it) and stops the print, discarding the
// document, when it returns false.
PrintResult PrintReport(QPrinter& printer, const Report& report, const QFont& font,
                        const std::function<bool(int page)>& carryOn);

// The printer of a PDF on A4, as the tool prints without a printer.
void SetUpA4Pdf(QPrinter& printer, const QString& path);
// The report into a PDF file on A4, written whole or not at all.
bool PrintReportToPdf(const Report& report, const QFont& font, const QString& path);
