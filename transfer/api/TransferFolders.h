#pragma once
// The folders through which lists go to and come from the handheld receiver:
// "korvalind/from" and "korvalind/to" beside the program.

#include <QString>

QString KorvalindFromDir();
QString KorvalindToDir();

// Works the folders out, creates them and empties them (every "*.pdb" and
// "xfer.err"); failures (a file in use) are ignored.
void PrepareTransferFolders();
void ClearFromFolder();
void ClearToFolder();
