#pragma once

#include <QString>
// File > Import Trundlex File: the walk-by download program is started for
// the user to download the readings, then ended, and the first ".txt" file
// it left in the walk-by folder is added to the bound list window line by
// line, then kept under its ".bak" name.

// The download program in the program folder.
QString WalkByProgramPath();
void ImportWalkByFile();
