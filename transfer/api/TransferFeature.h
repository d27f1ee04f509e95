#pragma once
// The handheld transfer feature as the rest of the program uses it.

// Registers the Korvalind menu (receive, send, options) and File > Import.
void RegisterTransferCommands();
