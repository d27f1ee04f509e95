#pragma once
// The reports as the rest of the program uses them.

// Registers File > Print and File > Page Setup.
void RegisterReportsCommands();
