#pragma once
// Opening, creating and saving documents: database files as list windows.

#include "ListWindowFeature.h"

#include <QString>

class frmDMA;
struct FileStamp;

// Reads the file into the record store and tells the user of a failure or of
// duplicated serials; true when its records may be shown.
// With a stamp, what was read is recorded there.
bool LoadDatabaseFile(const QString& path);
bool LoadDatabaseFile(const QString& path, bool handheldResult, FileStamp* stamp = nullptr);
// A new, empty, untitled list window.
frmDMA* NewDocument();
// A list window inside the main window, sized and laid out from the settings.
frmDMA* CreateListWindow();
// The open list window that shows the file of that path, however the path
// is written; null when none does.
frmDMA* ListWindowShowing(const QString& path);
// The database a merge has just dealt with, shown: a window that shows it
// already comes forward, reloaded when the merge wrote the file and the
// window holds no edits of its own (otherwise the user is told); without
// such a window it opens as a new one.
void ShowMergedDatabase(const QString& path, bool written);

// Saves the window's records to the path (a ".pdb" path becomes ".csv", the
// old file kept as ".pdbold"); true when written.
bool SaveDocument(frmDMA* window, const QString& path);
// File > Save and File > Save As for one list window; true when saved.
bool SaveListWindow(frmDMA* window);
bool SaveListWindowAs(frmDMA* window);
// True when nothing of that name exists or the user agrees to replace it.
bool ConfirmOverwrite(const QString& name);
