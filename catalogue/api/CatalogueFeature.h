#pragma once
// The catalogue search as the rest of the program uses it.

// Registers Search > Catalogue.
void RegisterCatalogueCommands();
// The window is made on first use and kept for the run; tests start afresh.
void ResetCatalogueForTesting();
