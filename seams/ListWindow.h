#pragma once
// A logger list window as the other windows see it: its document (the core
// list model) and its current line. The list window itself is the view.

#include <QWidget>

class LoggerList;
struct LoggerRecord;

class ListWindow : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    int SelLine = 0;       // current line, 1-based; 0 when none
    bool AutoSize = false; // columns follow the window width

    virtual LoggerList& document() = 0;
    // The caption: the document's full path, or its untitled name.
    virtual void setCaption(const QString& caption) = 0;
    virtual const LoggerList& document() const = 0;
    // Makes the line current, selects it and scrolls it into view.
    virtual void MakeVisibleListLine(int line) = 0;
    // Rebuilds the lines from the records.
    virtual void ReLoad() = 0;
    // Selects the next line holding the text (an empty text goes on with the last search).
    virtual void Find(const QString& text) = 0;
    // Makes the line current, shows its logger in the editor and gives the
    // list the focus.
    virtual void ShowLine(int line) = 0;
    // The editor's new serial: a record at the line position whose line shows
    // only the serial, made the current line. False (after telling the user)
    // when the list is full.
    virtual bool CreateNewRecord2(qint32 serial, int linePosition) = 0;
    // Stores the editor's record into the record with its serial.
    virtual void ModifyRecordBySerialNo(const LoggerRecord& edited) = 0;
    // Gives the list the focus and moves it one line down (+1) or up (-1), as
    // the arrow keys do; the editor then shows the new current logger.
    virtual void StepLine(int direction) = 0;
    // A new logger of that serial at the line position (0: at the end),
    // made current and shown: 0 added, 1 the serial is already in the list,
    // 2 the list is full.
    virtual int CreateNewRecord(qint32 serial, int linePosition, const QString& location) = 0;
    // Removes the current logger after asking; true when it was removed.
    virtual bool RemoveRecord() = 0;
    // The current line's logger into the store's scratch slot; false when
    // there is no current line.
    virtual bool GetLocalRecBySelection() = 0;
    // One line of a walk-by file into the list; false when it was not taken.
    virtual bool ImportRecord(const QString& line, int lineNumber) = 0;

signals:
    // The lines or their loggers changed: an edit, a sort, a merge, a reload.
    void linesChanged();
    // Another line became current.
    void currentLineChanged();
};
