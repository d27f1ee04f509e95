#pragma once
// Print Preview: the report as the printer would have it, one long strip of
// lines on a page-wide surface, with zoom, paging and scroll bars. Only the
// lines in view are drawn, so a report of thousands of pages scrolls as
// lightly as one of a page.

#include "ReportDrawing.h"

#include <QAbstractScrollArea>
#include <QDialog>

class Report;
class QToolButton;

class PreviewSurface : public QAbstractScrollArea
{
    Q_OBJECT
public:
    PreviewSurface(const Report& report, QWidget* parent);
    // The font at the zoom, and the page's width in pixels.
    void setLayout(const QFont& font, double pageWidth);
    double lineHeight() const { return m_lineHeight; }
    // 0 shows the top of the report; further down is negative.
    double topOffset() const;
    void setTopOffset(double offset);
    // The strip's height in pixels.
    double stripHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateRanges();

    const Report& m_report;
    ReportFonts m_fonts;
    double m_lineHeight = 1;
    double m_ascent = 0;
    double m_pageWidth = 0;
};

class frmPrintPreview : public QDialog
{
    Q_OBJECT
public:
    // zoomPercent is the options window's, changed here; linesPerPage the printer's.
    frmPrintPreview(const Report& report, const QFont& font, int& zoomPercent, int linesPerPage,
                    QWidget* parent = nullptr);

    void Activate();
    void Command_ZoomIn_Click();
    void Command_ZoomOut_Click();
    void CmdHome_Click();
    void CmdLinesUp_Click();
    void CmdLinesDown_Click();
    void CmdPgUp_Click();
    void CmdPgDn_Click();

    double TopOffset() const { return ViewPort->topOffset(); }
    double LineHeight() const { return ViewPort->lineHeight(); }
    double PageHeight() const { return (m_linesPerPage - 1) * LineHeight(); }
    // The page at the zoom, in pixels.
    QSizeF pageSize() const;

    QWidget* ButtonFrame;
    QToolButton *Command_ZoomIn, *Command_ZoomOut, *CmdHome, *CmdLinesUp, *CmdLinesDown, *CmdPgUp,
        *CmdPgDn;
    PreviewSurface* ViewPort;
    QWidget* PrintImage;

private:
    void zoomTo(int percent);

    QFont m_font;
    int& m_zoom;
    int m_linesPerPage;
};
