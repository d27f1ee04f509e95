#pragma once
// Print Preview: the report as the printer would have it, its pages one
// below the other as sheets of paper, with zoom, paging, scroll bars and the
// keys of a document viewer. Only the lines in view are drawn, so a report of
// thousands of pages scrolls as lightly as one of a page.

#include "ReportDrawing.h"

#include <QAbstractScrollArea>
#include <QDialog>

class Report;
class QLabel;
class QPushButton;
class QToolButton;

class PreviewSurface : public QAbstractScrollArea
{
    Q_OBJECT
public:
    PreviewSurface(const Report& report, QWidget* parent);
    // The font at the zoom, and a page's paper in pixels; a page is made
    // taller where its lines at the zoom would not fit on it.
    void setLayout(const QFont& font, QSizeF paper, int linesPerPage);
    double lineHeight() const { return m_lineHeight; }
    // 0 shows the top of the report; further down is negative.
    double topOffset() const;
    void setTopOffset(double offset);
    // From the top of one page to the top of the next.
    double pagePitch() const { return m_sheet.height() + kGap; }
    // The pages' height in pixels.
    double stripHeight() const;
    // The page most in view, 1-based, and how many there are.
    int currentPage() const;
    int pageCount() const;

    static constexpr double kGap = 12; // the desk between two pages

signals:
    void pageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateRanges();
    double sheetLeft() const;

    const Report& m_report;
    ReportFonts m_fonts;
    double m_lineHeight = 1;
    double m_ascent = 0;
    QSizeF m_sheet;
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
    // Paging moves from a page to the same place on the next.
    double PageHeight() const { return ViewPort->pagePitch(); }
    // The page at the zoom, in pixels.
    QSizeF pageSize() const;

    QWidget* ButtonFrame;
    QToolButton *Command_ZoomIn, *Command_ZoomOut, *CmdHome, *CmdLinesUp, *CmdLinesDown, *CmdPgUp,
        *CmdPgDn;
    QLabel* lblPage; // "Page 3 of 34"
    QPushButton *cmdPrint, *cmdClose;
    PreviewSurface* ViewPort;
    QWidget* PrintImage;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void zoomTo(int percent);
    void showPage();
    // The keys of a document viewer; false for any other key.
    bool pressKey(const QKeyEvent& key);

    QFont m_font;
    int& m_zoom;
    int m_linesPerPage;
};
