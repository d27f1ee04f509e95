#pragma once
// Small helpers every part of the program uses.

#include <QString>
#include <functional>

class QIODevice;

// A plain file (not a folder, not hidden) exists at the path.
bool FileExists(const QString& path);

// Everything after the last occurrence of the separator; the text itself when
// the text or the separator is empty or the separator does not occur; the
// empty text when the separator ends the text.
QString AfterLast(const QString& text, const QString& separator);

// The file name of a path. Both '\' and '/' separate folders, and a drive
// prefix such as C: is dropped.
QString FileTitle(const QString& path);

// Progress and results go to the main window's status bar. The core does not
// know the window: the window connects a sink. Without one, texts go nowhere.
using StatusSink = std::function<void(const QString&)>;
void SetStatusSink(StatusSink sink);
bool HasStatusSink();
void SetStatusText(const QString& text);

// Writes a file through a temporary one that replaces it only when write
// returned true and everything reached the disk; otherwise the old file
// stays as it was.
bool WriteFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);
// Puts a finished file in the place of another (for output that cannot go
// through WriteFileAtomically, such as a printer's PDF file): in one step
// where the system allows, so the old file is there whole until the new one is.
bool ReplaceFile(const QString& finished, const QString& target);
// Makes the nth ReplaceFile from now (0: the next) fail once, as a file held
// open by another program would on Windows; -1 ends it. For tests only.
void FailReplaceFileForTesting(int nth);

// A plain message (OK button only) from code that has no windows of its own;
// the program connects its message box, and without one it goes to stderr.
using MessageSink = std::function<void(const QString&)>;
void SetMessageSink(MessageSink sink);
void ShowPlainMessage(const QString& text);

// The folder of the running program, where the language files and the
// transfer folders live. Tests may point it elsewhere.
QString ProgramFolder();
void SetProgramFolderForTesting(const QString& folder);
