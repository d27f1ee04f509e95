#pragma once
// The map window as the rest of the program uses it.

class frmMap;

// Registers View > Map.
void RegisterMapCommands();
// The map window, or null when it has not been opened.
frmMap* MapWindow();
// The window is made on first use and kept for the run; tests start afresh.
void ResetMapForTesting();
