#include "ReportDrawing.h"

#include "Ansi.h"
#include "ProgramPrinter.h"
#include "Report.h"
#include "SettingsStore.h"
#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

QFont ReportFont()
{
    using namespace SettingsStore;
    QFont f(text(Setting::FontName));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    const double size = number(Setting::FontSize).value_or(8);
    f.setPointSizeF(size >= 1 && size <= 1000 ? size : 8);
    f.setBold(boolean(Setting::FontBold));
    f.setItalic(boolean(Setting::FontItalic));
    f.setStrikeOut(boolean(Setting::FontStrikethru));
    f.setUnderline(boolean(Setting::FontUnderline));
    if (!QFontInfo(f).fixedPitch()) {
        // A proportional stand-in would break the columns.
        const QFont chosen = f;
        f.setFamily(QStringLiteral("monospace"));
        f.setPointSizeF(chosen.pointSizeF());
    }
    return f;
}

void SaveReportFont(const QFont& font)
{
    using namespace SettingsStore;
    setText(Setting::FontName, font.family());
    setNumber(Setting::FontSize, font.pointSizeF());
    setBoolean(Setting::FontBold, font.bold());
    setBoolean(Setting::FontItalic, font.italic());
    setBoolean(Setting::FontStrikethru, font.strikeOut());
    setBoolean(Setting::FontUnderline, font.underline());
}

QFont ZoomedFont(const QFont& font, int zoomPercent)
{
    QFont f = font;
    f.setPointSize(std::max(1, static_cast<int>(font.pointSizeF() * zoomPercent / 100.0)));
    return f;
}

ReportFonts::ReportFonts(const QFont& base) : plain(base), bold(base), italic(base), underline(base)
{
    bold.setBold(true);
    italic.setItalic(true);
    underline.setUnderline(true);
}

const QFont& ReportFonts::forStyle(int style) const
{
    switch (static_cast<LineStyle>(style)) {
    case LineStyle::Bold:
        return bold;
    case LineStyle::Italic:
        return italic;
    case LineStyle::Underline:
        return underline;
    default:
        return plain;
    }
}

double LineSpacing(const QFont& font, QPaintDevice* device)
{
    return QFontMetricsF(font, device).lineSpacing();
}

int LinesPerPage(QPrinter& printer, const QFont& font)
{
    const double page = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    const double line = LineSpacing(font, &printer);
    return line > 0 ? std::max(1, static_cast<int>(std::floor(page / line))) : 1;
}

void DrawReportLine(QPainter& painter, const ReportFonts& fonts, const Report& report, int line,
                    double x, double y)
{
    const std::string_view text = report.text(line);
    if (text.empty())
        return;
    painter.setFont(fonts.forStyle(static_cast<int>(report.style(line))));
    painter.drawText(QPointF(x, y), Ansi::toQString(text));
}

PrintResult PrintReport(QPrinter& printer, const Report& report, const QFont& font,
                        const std::function<bool(int page)>& carryOn)
{
    QPainter painter;
    if (!PrinterHasTarget(printer) || !painter.begin(&printer))
        return PrintResult::Failed;
    painter.setPen(Qt::black);
    const ReportFonts fonts(font);
    const double spacing = LineSpacing(font, &printer);
    const double ascent = QFontMetricsF(font, &printer).ascent();
    for (int page = 0; page < report.pageCount(); ++page) {
        if (page > 0) {
            if (carryOn && !carryOn(page)) {
                printer.abort();
                return PrintResult::Cancelled;
            }
            if (!printer.newPage()) {
                printer.abort();
                return PrintResult::Failed;
            }
        }
        double y = ascent;
        for (int line = report.pageStart(page); line < report.pageStart(page + 1); ++line) {
            DrawReportLine(painter, fonts, report, line, 0, y);
            y += spacing;
        }
    }
    return painter.end() ? PrintResult::Printed : PrintResult::Failed;
}

void SetUpA4Pdf(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(path);
}

bool PrintReportToPdf(const Report& report, const QFont& font, const QString& path)
{
    const QFileInfo target(path);
    const QString partial = target.dir().filePath(QStringLiteral(".") + target.fileName() +
                                                  QStringLiteral(".printing"));
    bool done = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        SetUpA4Pdf(printer, partial);
        done = PrintReport(printer, report, font, {}) == PrintResult::Printed;
    }
    done = done && ReplaceFile(partial, path);
    QFile::remove(partial);
    return done;
}
