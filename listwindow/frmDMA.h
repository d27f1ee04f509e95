#pragma once
// A logger list window: one open DMA database as a sortable list, one line
// per logger. The window owns its records (LocalRecs); the record store is
// only where records pass between files and windows.

#include "LoggerRecord.h"

#include <QString>
#include <QWidget>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class QMdiSubWindow;

class frmDMA : public QWidget
{
    Q_OBJECT
public:
    // The columns, in their default order.
    enum Column {
        ColSerial,
        ColGridRef,
        ColDeployed,
        ColReceived,
        ColComment1,
        ColComment2,
        ColDate,
        ColStatus,
        ColLevel,
        ColSpread,
        ColUserComments,
        ColumnCount
    };

    explicit frmDMA(QWidget* parent = nullptr);

    // Sizes the window and lays out its columns from the settings; called
    // once the window sits in the main window.
    void Form_Load();

    bool AskForSave = false;     // unsaved changes
    bool NeverBeenSaved = false; // no file yet
    QString DMAName;             // file title, or the untitled name
    int RecordCount() const { return static_cast<int>(LocalRecs.size()) - 1; }
    int SelLine = 0; // current line, 1-based; 0 when none
    int NumHistories = kMaxHistories;
    bool AutoSize = false; // columns follow the window width

    // The caption is the document's full path (or the untitled name).
    QString caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    void CopyFrom_DMAModule();
    void CopyTo_DMAModule();
    void ReLoad();
    void GetLocalRec(qint32 serial, int slot);
    void GetLocalRecByIndex(int slot, int index);
    void PutLocalRecByIndex(int slot, int index);
    bool GetLocalRecBySelection();
    void MakeVisibleListLine(int line);
    int GetRecFromSerial(qint32 serial) const;
    int GetLineFromSerial(qint32 serial) const;
    void ChangeSerialByRec(int index, qint32 serial);
    // Selects the next line holding the text (an empty text goes on with the last search).
    void Find(const QString& text);
    void NextLine();
    void PrevLine();

    // Column widths are kept in twips, as the settings hold them.
    double columnWidth(int column) const;
    void SetColumnWidth(int column, double twips, bool onlyIfVisible);
    void applyColumnLayout(int option, bool shown);
    double listWidth() const;

    const LoggerRecord& record(int index) const { return LocalRecs[static_cast<size_t>(index)]; }
    // The record index a list line (1-based) names through its key.
    int recordIndexOfLine(int line) const;
    QTreeWidget* ListViewDMA;

    static LoggerRecord NewBlankRecord();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addLine(int index);
    void fillLine(QTreeWidgetItem* item, int index) const;
    void ShowRecordInEditor(int index);
    void AttachEditor();
    void DetachEditor();
    void ShowSelectedLine();
    bool LineContains(int line, const QString& text) const;
    void sortByColumn(int column);
    void itemClicked(QTreeWidgetItem* item);
    void showEditor();
    void followMouse();
    void saveLayout();
    QMdiSubWindow* subWindow() const;

    std::vector<LoggerRecord> LocalRecs{1}; // index 0 unused
    int m_findStart = 1;
    QString m_findText;
    bool m_mouseActivated = false;
    bool m_sortedDescending = false;
};

// The View menu's column command, acting on the list window bound to the editor.
void SetColumnLayout(int option, bool shown);
