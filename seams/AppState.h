#pragma once
// The program-wide state of the windows: the frame that hosts them, the one
// record editor, the list window bound to it, and the counters of a run.

#include <QObject>
#include <QString>

class ListWindow;
class QWidget;
class RecordEditor;
class WindowHost;

namespace App {

// What windows that follow the program state listen to.
class StateSignals : public QObject
{
    Q_OBJECT
signals:
    void activeListChanged();
    // The grid format of comment 2 (the Address2 setting) was changed.
    void address2Changed();
};
StateSignals& Signals();

// The frame of the program (the main window), or null before it exists.
WindowHost* Host();
void SetHost(WindowHost* host);
// The frame's widget: the parent of dialogs and message boxes.
QWidget* MainWindowWidget();

RecordEditor* Editor();
void SetEditor(RecordEditor* editor);

// The list window the record editor is bound to, or null.
ListWindow* ActiveList();
void SetActiveList(ListWindow* list);
// ActiveList when it is a usable window, otherwise null.
ListWindow* UsableActiveList();

// True when the window exists and has not been closed.
bool IsObjectAlive(const QWidget* window);
// Marks a window closed at once, before Qt deletes it.
void MarkClosed(QWidget* window);

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
