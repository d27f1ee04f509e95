#pragma once
// A logger list window: the view of one open DMA document, one line per
// logger, sortable by any column. The document (LoggerList) owns the records
// and the order of the lines; the record store is only where records pass
// between files and windows.

#include "CloseQuestion.h"
#include "DocumentFile.h"
#include "ListWindow.h"
#include "LoggerList.h"

#include <QString>

class LoggerTableModel;
class QMdiSubWindow;
class QModelIndex;
class QTreeView;

class frmDMA : public ListWindow, public CloseQuestion
{
    Q_OBJECT
public:
    explicit frmDMA(QWidget* parent = nullptr);
    ~frmDMA() override;

    // Sizes the window and lays out its columns from the settings; called
    // once the window sits in the main window.
    void Form_Load();

    LoggerList& document() override { return m_document; }
    const LoggerList& document() const override { return m_document; }
    int RecordCount() const { return m_document.RecordCount(); }

    // The caption is the document's full path (or the untitled name).
    QString caption() const { return m_document.Caption; }
    void setCaption(const QString& caption) override;
    // The file as others see it: its lock, what it held when last read or
    // written here, and whether this window may save over it.
    DocumentFile& file() { return m_file; }
    void setFile(DocumentFile file);
    bool isReadOnly() const { return m_file.readOnly; }

    void CopyFrom_DMAModule();
    void CopyTo_DMAModule();
    void ReLoad() override;
    // Store slots run from 0 to 7000; another slot is refused (false).
    bool GetLocalRec(qint32 serial, int slot);
    bool GetLocalRecByIndex(int slot, int index);
    bool PutLocalRecByIndex(int slot, int index);
    bool GetLocalRecBySelection() override;
    void MakeVisibleListLine(int line) override;
    int GetRecFromSerial(qint32 serial) const { return m_document.GetRecFromSerial(serial); }
    int GetLineFromSerial(qint32 serial) const { return m_document.GetLineFromSerial(serial); }
    void ChangeSerialByRec(int index, qint32 serial) { m_document.ChangeSerial(index, serial); }
    // Selects the next line holding the text (an empty text goes on with the last search).
    void Find(const QString& text) override;
    void ShowLine(int line) override;
    bool CreateNewRecord2(qint32 serial, int linePosition) override;
    int CreateNewRecord(qint32 serial, int linePosition, const QString& location) override;
    bool RemoveRecord() override;
    // The record clipboard: the selected lines' loggers, in list order.
    void CopyRecords();
    // Copies, then removes each selected logger the user agrees to remove.
    void CutRecords();
    // Pastes every logger of the clipboard the list does not hold yet.
    void PasteRecords();
    // One logger of the clipboard; false, saying nothing, when the list is full.
    bool PasteRecord(int clipboardIndex);
    // One line of a walk-by file into the list; false when it was not taken.
    bool ImportRecord(const QString& line, int lineNumber) override;
    void ModifyRecordBySerialNo(const LoggerRecord& edited) override;
    void StepLine(int direction) override;
    void NextLine();
    void PrevLine();

    // Column widths are kept in twips, as the settings hold them.
    double columnWidth(int column) const;
    void SetColumnWidth(int column, double twips, bool onlyIfVisible);
    void applyColumnLayout(int option, bool shown);
    double listWidth() const;

    const LoggerRecord& record(int index) const { return m_document.record(index); }
    // The record index a list line (1-based) names through its key.
    int recordIndexOfLine(int line) const { return m_document.RecordOfLine(line); }
    QString headerText(int column) const;

    bool AskToClose() override;
    void CloseAnswered() override { m_closeAnswered = true; }

    QTreeView* ListViewDMA;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowRecordInEditor(int index);
    void AttachEditor();
    void DetachEditor();
    void ShowSelectedLine();
    void sortByColumn(int column);
    // False when the editor keeps the logger it shows (and its changes).
    bool editorMayShow(int line, bool asking);
    void itemClicked(const QModelIndex& index);
    void currentRowChanged(const QModelIndex& current);
    QList<int> selectedLines() const;
    // Remove logger 01234567 ? (its first address line)
    bool askToRemove(const LoggerRecord& rec);
    void showEditor();
    void followMouse();
    void saveLayout();
    void placeList();
    // The smallest the window (`outer`, its frame included) opens.
    QSize leastOpeningSize(const QWidget* outer) const;
    int minimumColumnWidth(int column) const;
    void keepColumnReadable(int column, int newSize);
    // AutoSize: the columns fitted to the list's width.
    void fitColumns();
    QMdiSubWindow* subWindow() const;
    // Looks whether the file changed on disk once the event at hand is done.
    void checkFileSoon();

    LoggerList m_document;
    DocumentFile m_file;
    bool m_checkQueued = false;
    LoggerTableModel* m_model;
    bool m_mouseActivated = false;
    bool m_placingLine = false; // the program, not the user, is moving the current line
    bool m_closeAnswered = false;
    bool m_fitting = false;
};

// The View menu's column command, acting on the list window bound to the editor.
void SetColumnLayout(int option, bool shown);
