#pragma once
// Print: the report options of the active list window (which columns,
// which statuses, the latest reading or all, or the summary by date), and
// the way to the printer, the preview and the printer and font dialogs.
// With the text viewer in front it prints the viewer's text as it stands.

#include "Report.h"

#include <QDialog>
#include <QFont>

class ListWindow;
class PrintableText;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmPrintSetup : public QDialog
{
    Q_OBJECT
public:
    explicit frmPrintSetup(QWidget* parent = nullptr);

    void LoadResources();
    // The logger report and the summary report on the printer; false when
    // nothing was printed (cancelled, refused, or the printer failed).
    bool DoPrint();
    bool DoPrintDate();
    // 1-based place of a date among the chosen ones, 0 when not chosen.
    int InDateList(const QString& date) const;
    void ScrollZoom_Change() {}

    // What the boxes and fields choose now, for the report of that kind.
    ReportOptions options(bool summary) const;
    // The report font as the font dialog chose it.
    QFont reportFont() const { return m_font; }
    bool running() const { return m_running; }

    bool CancelRequested = false;
    int LinesPerPage = 0;
    int ZoomPercent = 100;     // the preview's zoom
    QStringList SelectedDates; // newest first

    QGroupBox *FrameRec, *Fr2dummy;
    QCheckBox *ChkGridRef, *ChkDeployed, *ChkReceived, *ChkComment1, *ChkComment2, *chkInformation;
    QCheckBox *ChkAll, *ChkLeak, *ChkWarning, *ChkNotInLeak, *ChkHist, *ChkSummary;
    QPushButton *CmdSelectDates, *FontButton, *PrinterButton, *CmdPreview, *OKButton, *CancelButton;
    QLabel* LblComment;
    QLineEdit* TxtComment;

    // Leaving while a report runs stops the report instead.
    void done(int result) override;

private:
    void OKButton_Click();
    void CmdPreview_Click();
    void CancelButton_Click();
    void PrinterButton_Click();
    void FontButton_Click();
    void CmdSelectDates_Click();
    void EnableOptionControls(bool enable);
    void UpdateStatusBoxes();
    bool printReport(bool summary);
    bool printText();
    void saveBoxes() const;

    ListWindow* m_list = nullptr;
    PrintableText* m_text = nullptr;
    QFont m_font;
    bool m_running = false;
};
