#pragma once
// What the record editor shows of a logger and reads back from its fields,
// with the checks of its Update and of its Edit History dialog. The editor
// window only moves these texts in and out of its controls.

#include "LoggerRecord.h"

#include <QString>
#include <QVector>

struct EditorEntries
{
    QString Serial;   // eight digits
    QString Location; // the eight characters of the grid reference
    QString Comment1;
    QString Comment2;
    QString UserComments;
    struct Row
    {
        QString Date; // a single blank for no date
        QString Status;
        QString Level;
        QString Spread;
    };
    QVector<Row> History; // rows 1..50 as History[0..49]

    // The editor's fields for a record.
    static EditorEntries FromRecord(const LoggerRecord& rec);
};

// Checks the entries as Update does: the serial is rewritten as the eight
// digits of its number, and the report (lines ending CR LF) lists every
// fault of the serial, the location and history rows 1..numHistories.
// True when there is none.
bool ValidateEntries(EditorEntries& entries, int numHistories, QString& report);

// The record the entries describe (its Deployed and Received are the list
// window's to restore). Dates are stored trimmed, so a record stored from
// the editor always passes IsValidRecord once its entries did.
LoggerRecord RecordFromEntries(const EditorEntries& entries, int numHistories);

// The Edit History dialog's checks: the texts are tidied in place (trimmed;
// the status in capitals), then the message of the first fault (date,
// status, level, spread), or an empty text when they may be taken.
QString CheckHistoryEntry(QString& date, QString& status, QString& level, QString& spread);
