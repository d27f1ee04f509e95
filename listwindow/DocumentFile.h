#pragma once
// A list window's file as others may see it: other copies of the program
// (through its lock) and other programs or people (through what it held
// when this window last read or wrote it). Nothing they wrote is replaced
// without the user knowing.

#include "DocumentLock.h"
#include "FileStamp.h"

#include <QString>
#include <memory>

class frmDMA;

struct DocumentFile
{
    FileStamp stamp;    // the file as last read or written here
    FileStamp declined; // a change on disk the user chose not to load
    std::unique_ptr<DocumentLock> lock;
    bool readOnly = false;   // another copy has it open: never saved over
    bool noLockMade = false; // the folder takes no lock (read-only): others cannot see it open
};

// Locks a file about to be opened. When another running copy has it open,
// says who and since when and offers to open it read-only (or, for a lock
// that may be abandoned, to take it over); false when the user would rather
// not open it. A folder where no lock can be made does not stop the opening.
bool LockForOpening(const QString& path, DocumentFile& file);

// Locks a file about to be written under a new name; false (after telling
// the user) when another copy of the program has it open. A file another
// window of this program shows is written without a lock of its own.
bool LockForSavingAs(const QString& path, std::unique_ptr<DocumentLock>& lock);

// Before a window saves over its own file: when someone else changed the
// file since, asks whether to overwrite it, save under another name, or not
// save.
enum class SaveOver { Overwrite, SaveAs, Cancel };
SaveOver AskBeforeSavingOver(frmDMA* window);

// Reads the window's file again into it; false (after the reader told the
// user) when it cannot be read.
bool ReloadListWindow(frmDMA* window);

// Offers to load the window's file again when someone changed it on disk
// and the window holds no changes of its own. A cheap look at the file's
// size and time unless it changed.
void CheckFileOnDisk(frmDMA* window);

// Before the merge writes into a database file: when another copy of the
// program has it open, says who and asks whether to go on.
bool ConfirmWritingInto(const QString& path);
