#pragma once
// One document's loggers: the records a list window owns, the order of the
// lines the user sees, and the operations on both. The window is only a view
// of this; the program, the tool and the tests share the same algorithms.

#include "LoggerRecord.h"
#include "RecordStore.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <vector>

class QIODevice;

// Told before and after every change to the lines, so that a view can follow
// (the calls pair up as Qt's item models need them).
class LoggerListObserver
{
public:
    virtual ~LoggerListObserver() = default;
    virtual void linesAboutToBeReset() {}
    virtual void linesReset() {}
    virtual void lineAboutToBeInserted(int /*line*/) {}
    virtual void lineInserted(int /*line*/) {}
    virtual void lineAboutToBeRemoved(int /*line*/) {}
    virtual void lineRemoved(int /*line*/) {}
    virtual void linesAboutToBeReordered() {}
    virtual void linesReordered() {}
    virtual void linesChanged(int /*first*/, int /*last*/) {}
};

// The dates of walk-by files are DD/MM/YYYY: the same date as YYYY/MM/DD,
// or the blank date "    /  /  " when that is not a valid date.
QString DayFirstToYearFirst(const QString& date);
// Each character but digits, letters and ",", "-", "." and "/" becomes a
// blank; the length stays.
QString CleanImportText(const QString& text);

// The lines of a walk-by file, each without its line end and numbered from
// 1, given to take as they are read. A line far too long for a record is
// passed over whole (counted, never given). False when a file could not be
// read to its end.
bool ReadWalkByLines(QIODevice& in,
                     const std::function<void(const QString& line, int number)>& take);

// What the user is told when a list filled up: that nothing was added, or
// how many of the loggers wanted were.
QString ListFullMessage(int added, int wanted);

// The store's records made a fresh patrol list: each keeps its serial only,
// with no grid reference, no texts, no readings and the user comment "comment".
void PrepareNewWindowRecords(RecordStore& store);

class LoggerList
{
public:
    // The columns of a line, in their default order.
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

    // The most loggers one document holds: the store's slot 7000 is a scratch
    // slot, so a document never grows past what slots 1 to 6,999 can take.
    static constexpr int kCapacity = RecordStore::kMaxRecords;

    LoggerList() = default;
    LoggerList(const LoggerList&) = delete;
    LoggerList& operator=(const LoggerList&) = delete;

    // The document.
    QString Caption; // the full path of its file, or the untitled name
    QString DMAName; // the file title shown and compared
    bool AskForSave = false;
    bool NeverBeenSaved = false;
    int NumHistories = kMaxHistories;

    int RecordCount() const { return static_cast<int>(m_records.size()) - 1; }
    bool IsFull() const { return RecordCount() >= kCapacity; }
    bool IsValidIndex(int index) const { return index >= 1 && index <= RecordCount(); }
    // Record index (1-based); an index outside 1..RecordCount throws std::out_of_range.
    const LoggerRecord& record(int index) const;

    // Lines, 1-based, in the order the user sees them. Each names its record
    // (its key, "12x" for record 12) until the lines are rebuilt.
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    int RecordOfLine(int line) const;  // 0 when there is no such line
    int LineOfRecord(int index) const; // 0 when no line names it
    QString LineKey(int line) const;
    // What the line shows in a column; empty past the serial for a line that
    // shows only its serial.
    QString LineText(int line, int column) const;
    static QString ColumnText(const LoggerRecord& rec, int column);

    // Takes the store's records 1..StoreCount and rebuilds the lines (sorted
    // when the list is); false,
    // changing nothing, when the store is empty or holds more than a document can.
    bool CopyFrom(const RecordStore& store);
    // The same, moving the records out of the store, which is left empty: a
    // full file is then held once, not twice.
    bool TakeFrom(RecordStore& store);
    // Puts the records into store slots 1..RecordCount with every reading's
    // date trimmed and status trimmed and in capitals, as saving wants them.
    void CopyTo(RecordStore& store) const;
    // One line per record again: in record order, or in the order of the
    // last sort when the list is sorted.
    void ReLoad();

    // Adds a record and its line at a line position (0, or past the end:
    // appended). Returns the new record's index, or 0 when the document is full.
    int Insert(const LoggerRecord& rec, int linePosition = 0, bool serialOnly = false);
    // Removes a record and its line; the keys above it move down by one.
    bool Remove(int index);
    // Replaces a record whole; the line shows it at once.
    bool Put(int index, const LoggerRecord& rec);
    bool ChangeSerial(int index, qint32 serial);
    // Shows a line from its record again (a serial-only line in full).
    void RefreshLine(int line);

    enum class AddResult { Added, Exists, Full };
    // A new logger of that serial (the blank record; a location of exactly
    // eight characters becomes its grid reference) with its line at the
    // position, or at the end for 0. *line is the new line.
    AddResult CreateNewRecord(qint32 serial, int linePosition, const QString& location,
                              int* line = nullptr);
    // A pasted record: its line at the current line (moving that one down),
    // or at the end when there is none. The new line, or 0 when full.
    int PasteRecord(const LoggerRecord& rec, int currentLine);
    // The records of the lines, in the order given.
    QVector<LoggerRecord> RecordsOfLines(const QList<int>& lines) const;

    // A run of new loggers (the Fill command): count serials from the first,
    // each the step after the last, their locations counting up from a
    // start and wrapping to 0 at 99999999 when one is given. Serials already
    // in the list are skipped and listed. The run stops at the list's
    // capacity and at a serial past the valid range, neither of which is
    // created. The lines are rebuilt once at the end.
    struct FillResult
    {
        int created = 0;
        QStringList existing; // eight digits each
        enum Stop { Done, Full, InvalidSerial } stop = Done;
        qint64 stoppedAt = 0; // the serial that stopped the run
        int lastLine = 0;     // the line of the last logger created
    };
    FillResult Fill(qint64 first, qint64 count, qint64 step, bool withLocation,
                    const QString& firstLocation);

    // One line of a walk-by file (kind 1 or kind 2) put into the list: a new
    // logger appended, or the record of a serial the list holds replaced
    // whole. False for a line that is not a walk-by record, and, with the
    // user's message, for a bad serial or a full list.
    bool ImportRecord(const QString& line, int lineNumber, QString& message,
                      int* lineOut = nullptr);

    // A new logger with that serial whose line, at the position, shows only
    // the serial until the editor stores the rest. Returns its line, or 0
    // when the document is full.
    int CreateNewRecord2(qint32 serial, int linePosition);
    // Puts a record from the editor in place of the first record with its
    // serial, keeping that record's Deployed and Received and the letters of
    // its grid reference (the editor shows only the reference's digits),
    // shows its line in full and marks the document changed. Returns the
    // line, or 0 with the user's message when it cannot.
    int StoreFromEditor(const LoggerRecord& edited, QString& refusal);

    // The first record, and the first line, with the serial; 0 when none.
    int GetRecFromSerial(qint32 serial) const;
    int GetLineFromSerial(qint32 serial) const;

    // The text occurs, case-sensitive, in one of the line's columns from the
    // serial to the spread (not the user comment).
    bool LineContains(int line, const QString& text) const;
    // The next line holding the text from where the last search stopped (an
    // empty text goes on with the last search); 0 when none.
    int Find(const QString& text);
    QString FindText() const { return m_findText; }
    int FindStart() const { return m_findStart; }

    // The serials that occur on more than one record, as the reader reports them.
    QString FindDuplicateSerials() const;

    // Orders the lines by the text of a column, ignoring case; equal lines keep
    // their order. The lines keep their keys.
    void Sort(int column, bool descending);
    bool IsSorted() const { return m_sortColumn >= 0; }
    int SortColumn() const { return m_sortColumn; }
    bool SortedDescending() const { return m_sortDescending; }

    // A logger nobody has described yet: serial 99999999, the absent grid
    // reference, the "new logger" comment, no readings.
    static LoggerRecord NewBlankRecord();

    void setObserver(LoggerListObserver* observer) { m_observer = observer; }

private:
    struct Line
    {
        int record;
        bool serialOnly;
    };
    // Records 1..n from record(i), as CopyFrom and TakeFrom say.
    bool fill(int n, const std::function<LoggerRecord(int)>& record);
    void linesChangedFor(int index);
    void rebuildLines();
    void sortLines(int column, bool descending);

    std::vector<LoggerRecord> m_records{1}; // index 0 unused
    std::vector<Line> m_lines;
    int m_sortColumn = -1;
    bool m_sortDescending = false;
    int m_findStart = 1;
    QString m_findText;
    LoggerListObserver* m_observer = nullptr;
};
