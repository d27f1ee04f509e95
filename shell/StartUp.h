#pragma once
// The program's start: settings, splash, transfer folders, the hidden record
// editor, the main window, then the files and serials of the command line.

#include <QStringList>

struct StartUpOptions
{
    int splashDelayMs = 3750;
    int splashTickMs = 250; // tests tick faster
};

// Runs the start-up steps; the caller then runs the event loop.
void StartUp(const QStringList& arguments, const StartUpOptions& options = StartUpOptions());

// Finds the hub-folder file that holds the serial (eight digits), opens it
// unless it is already the bound list window, and shows the logger in the
// editor; false, after a message, when it cannot.
bool OpenFileHoldingSerial(const QString& serial);
