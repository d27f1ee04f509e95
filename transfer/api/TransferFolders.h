#pragma once
// The folders through which lists go to and come from the handheld receiver:
// "korvalind/from" and "korvalind/to" beside the program, or, where the
// program folder cannot be written (an installed program), in the user's own
// data folder.

#include <QString>

QString KorvalindFromDir();
QString KorvalindToDir();
// The folder "korvalind" + separator + name under a program folder, with
// exactly one separator before "korvalind" whether or not the program folder
// ends in one (a drive root does).
QString TransferFolderUnder(const QString& programFolder, const QString& name);

// The folder that holds "korvalind": the program folder when it can be
// written, else the user's data folder.
QString TransferFoldersBase();
// Tests say whether the program folder can be written (1 or 0); -1 tries it.
void SetProgramFolderWritableForTesting(int writable);

// Works the folders out, creates them and empties them (every "*.pdb" and
// "xfer.err"; a file in use is left). False, after telling the user, when
// the folders could not be made.
bool PrepareTransferFolders();
void ClearFromFolder();
void ClearToFolder();
