#pragma once
// The one record editor of a run, as the windows that feed it see it: the
// list window bound to it shows its current logger there.

#include <QWidget>

struct LoggerRecord;

class RecordEditor : public QWidget
{
    Q_OBJECT
public:
    RecordEditor(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

    // Readings the editor works with: the bound list's count, 0 when unbound.
    int NumHistories = 0;

    virtual void showRecord(const LoggerRecord& rec) = 0;
    virtual void clearRecord() = 0;
    // The level/spread bars flat and the date markers yellow.
    virtual void resetGraph() = 0;
    // Between the narrow window and the wide one that shows the graph.
    virtual void toggleGraph() = 0;
    virtual bool graphShown() const = 0;
    // Takes the comment 2 format of the settings at once (caption and mask).
    virtual void applyAddress2Format() = 0;
    // The user has changed the logger shown and not stored the changes.
    virtual bool holdsEdits() const = 0;
    // Before the editor is given another logger: with changes not stored,
    // asks whether to store them first (Yes stores, No drops them). False
    // when the user cancels or the store fails: the editor keeps its logger.
    virtual bool askToStoreEdits() = 0;
};
