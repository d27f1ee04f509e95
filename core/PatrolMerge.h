#pragma once
// Adding the most recent patrol to its DMA's database file: each logger of
// the patrol gets the patrol's newest reading at the top of its history
// (unless it has that reading on top already, or was not read at all),
// loggers the database lacks are added at its end, every file about to be
// replaced is kept as a numbered backup and the database is written anew as
// a ".csv" file.

#include "LoggerList.h"
#include "RecordStore.h"

#include <QString>
#include <QStringList>
#include <functional>

// Reading 1 of both records is the same: date, status, level and spread.
bool SameLatestReading(const LoggerRecord& a, const LoggerRecord& b);
// Readings 1..49 of the destination move one place down (reading 50 is
// dropped) and reading 1 becomes the source's reading 1.
void ShiftInReading(LoggerRecord& destination, const LoggerRecord& source);
// The ".csv" file a merge into the database of that path writes: the
// database itself, or beside an older ".pdb" the ".csv" of its base name.
QString MergedDatabasePath(const QString& path);
// The path, ".", and the first number from 000 for which no file exists.
QString NextBackupName(const QString& path);

struct MergeOutcome
{
    enum Kind {
        Refused,   // nothing was done (the message says why)
        Unchanged, // every logger had its newest reading already: nothing written
        Merged,    // backed up and written
        Failed,    // a backup or the write failed (the message says which): nothing written
    };
    Kind kind = Refused;
    QString message;     // for the user: the refusal, the failure, or where the backups are
    QString log;         // the merge report, once the loggers were matched
    QString logCaption;  // the report window's caption
    QString path;        // the database to open afterwards (".csv" once merged into a ".pdb")
    QStringList backups; // the backups kept, in the order made
};

// Reads the database into the store, telling the user of any error and
// asking about duplicated serials; false when it was not read.
using LoadDatabase = std::function<bool(const QString& path)>;

// Merges the patrol (a list window's document: its records, title and
// caption) into the database file of that path, through the store.
MergeOutcome MergeLatestPatrol(const LoggerList& patrol, const QString& path,
                               const LoadDatabase& load, RecordStore& store = DMAModule());
