#pragma once
// Reading database files (".csv" and the older ".pdb") and the handheld's
// result files into the record store.

#include "FileResult.h"
#include "RecordStore.h"

struct FileStamp;

#include <QString>
#include <algorithm>
#include <string_view>

class QIODevice;

// No legitimate record line comes near this; a longer one makes the file
// refused rather than read into unbounded memory.
inline constexpr int kMaxRecordLineLength = 1 << 20;

// A raw field's text: blanks trimmed, one double quote dropped at each end,
// cut to maxLength characters.
inline std::string_view FieldText(const char* b, const char* e, int maxLength)
{
    while (b != e && *b == ' ')
        ++b;
    while (e != b && e[-1] == ' ')
        --e;
    if (b != e && *b == '"')
        ++b;
    if (e != b && e[-1] == '"')
        --e;
    const size_t n = static_cast<size_t>(e - b);
    return std::string_view(b, maxLength <= 0 ? 0 : std::min(n, static_cast<size_t>(maxLength)));
}

// How a file is read; each caller says so, nothing is remembered between reads.
struct ReadOptions
{
    bool IgnoreFileErrs = false;  // keep records that fail the checks
    bool KorvalindImport = false; // a result file from the handheld: two header
                                  // lines, status letters
    bool ShowProgress = true;     // false for reads off the user-interface thread
};

// Fills the store from slot 1 and returns a FileResult code. On CorruptRecord
// the store holds the sound records before the bad one and LinesRead is the
// bad record's line.
int ReadDatabaseFile(const QString& path, const ReadOptions& options = {});
// With a stamp, it records what was read (size, time, a hash of the bytes,
// taken on the way) for telling later whether the file changed on disk.
int ReadDatabaseFile(RecordStore& store, const QString& path, const ReadOptions& options = {},
                     FileStamp* stamp = nullptr);
// The same from an open device (no existence check).
int ReadDatabase(RecordStore& store, QIODevice& device, const ReadOptions& options = {});

// The message for a result code; with the line number of the last read when
// withLine is set and a line was read.
QString FileErrorText(int code, bool withLine, const RecordStore& store = DMAModule());

// A report of the serials that occur on more than one record, or empty.
QString FindDuplicateSerials(const RecordStore& store = DMAModule());
// The same report for any run of serials, in record order.
QString DuplicateSerialReport(const qint32* serials, int count);
