#pragma once
// The printer and page setup dialogs on the program's one printer: which
// printer, copies, orientation, duplex. What the user confirms holds for
// every print that follows.

class QWidget;

// True when the user confirmed the dialog.
bool ShowPrinterDialog(QWidget* owner, int flags);
bool ShowPageSetupDialog(QWidget* owner);
