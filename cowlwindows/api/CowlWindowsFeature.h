#pragma once
// The Cowl windows as the rest of the program uses them.

// Registers Cowl > Setup.
void RegisterCowlCommands();
