#pragma once
// The one record editor of a run: a tool window that stays on top and shows
// the logger at the current line of the list window bound to it. The user
// edits its serial, location, address lines, comment and (when allowed) its
// readings, and Update (F12) checks them and stores the logger back; a graph
// of the readings' levels and spreads opens beside it.

#include "EditorEntries.h"
#include "RecordEditor.h"

class GraphPanel;
class MaskedEdit;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TextField;

class frmDMAEdit : public RecordEditor
{
    Q_OBJECT
public:
    explicit frmDMAEdit(QWidget* parent = nullptr);

    void LoadResources();
    void showRecord(const LoggerRecord& rec) override;
    void clearRecord() override;
    void resetGraph() override;
    void toggleGraph() override;
    bool graphShown() const override;
    void applyAddress2Format() override;
    bool holdsEdits() const override;
    bool askToStoreEdits() override;

    // Update (the button and F12) and the other commands of the window.
    void cmdUpdate_Click();
    void cmdUpdateSerial_Click();
    // The entries as they stand, and the check Update makes of them.
    EditorEntries entries() const;
    bool ValidateEntries();
    // No list window to store into, or one without loggers.
    bool NoRecordsInList() const;
    // The reading chosen in the history list (1..50), or 0.
    int SelectedHistoryRow() const { return m_selectedRow; }
    void chooseHistoryRow(int row);
    // Edit History for the chosen reading.
    void editHistoryRow();
    bool hasFocusFlag() const { return m_hasFocus; }

    QLabel *lblSerNum, *lblGridRef, *lblComment1, *lblComment2, *lblInformation, *Lbl1;
    MaskedEdit *txtSerNum, *txtGridRef, *txtComments2;
    TextField *txtComments1, *txtUserComments;
    QTreeWidget* ListViewEditBox;
    QPlainTextEdit* TxtErrors;
    QPushButton *cmdUpdate, *cmdUpdateSerial, *cmdGraph, *cmdClose;
    QCheckBox* CheckAutoIncrement;
    QToolButton *Command_up, *Command_Down;
    GraphPanel* graph;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void applyHistoryEditing();
    void windowActivated(bool active);
    void setHistoryRows(const QVector<EditorEntries::Row>& rows);
    void blankHistory();
    void followMouse(bool overHistory);
    void showGraphIfRoom();
    void followListNames();
    void takeListName();
    // Update without its move to the next logger; true when it stored.
    bool storeEntries();
    // The entries as one list of texts, to tell whether the user changed them.
    QStringList entryTexts() const;

    QString m_serialAtFocus;
    QStringList m_shownEntries; // as the logger was shown or last stored; empty when none
    int m_selectedRow = 0;
    bool m_hasFocus = false;
};
