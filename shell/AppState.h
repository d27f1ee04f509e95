#pragma once
// The program-wide state of the windows: the main window, the one record
// editor, the list window bound to it, and the counters of a run.

#include <QPointer>
#include <QString>

class QWidget;
class frmMain;
class frmDMA;
class frmDMAEdit;

namespace App {

frmMain* MainWindow();
QWidget* MainWindowWidget();
void SetMainWindow(frmMain* window);

frmDMAEdit* Editor();
void SetEditor(frmDMAEdit* editor);

// The list window the record editor is bound to, or null.
frmDMA* ActiveList();
void SetActiveList(frmDMA* list);

// True when the window exists and has not been closed.
bool IsObjectAlive(const QWidget* window);

// Numbers the untitled documents of a run: 1, 2, ...
int NextNewDocumentNumber();
void ResetNewDocumentCounter();

// The description line of the splash window (read once at start-up).
QString& SplashDescription();

// Seconds from 1970-01-01 00:00 to now by the local clock (the time another
// program stamps on a request); tests may set the clock.
qint64 LocalEpochSeconds();
void SetClockForTesting(qint64 (*clock)());

// The title of message boxes and of the splash window.
QString ApplicationTitle();

// Forgets every window (tests start each case afresh).
void ResetForTesting();

} // namespace App
