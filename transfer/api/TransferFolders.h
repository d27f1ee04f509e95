#pragma once
// The folders through which lists go to and come from the handheld receiver:
// "korvalind/from" and "korvalind/to" beside the program.

#include <QString>

QString KorvalindFromDir();
QString KorvalindToDir();
// The folder "korvalind" + separator + name under a program folder, with
// exactly one separator before "korvalind" whether or not the program folder
// ends in one (a drive root does).
QString TransferFolderUnder(const QString& programFolder, const QString& name);

// Works the folders out, creates them and empties them (every "*.pdb" and
// "xfer.err"); failures (a file in use) are ignored.
void PrepareTransferFolders();
void ClearFromFolder();
void ClearToFolder();
