#pragma once
// What any window may ask of the frame that holds it, without knowing it:
// a place among the child windows, the recently used files, and the switch
// that holds the user interface still around long work.

#include <QList>
#include <QString>

class QAction;
class QWidget;

class WindowHost
{
public:
    virtual ~WindowHost() = default;

    // The frame itself, the parent of dialogs and message boxes.
    virtual QWidget* frameWidget() = 0;
    // Puts a window among the child windows (it closes with its child frame).
    virtual void addChildWindow(QWidget* child) = 0;
    // The window of the child in front, or null.
    virtual QWidget* activeChild() const = 0;
    virtual QList<QWidget*> childWindows() const = 0;
    // Puts a path at the head of the recently used files.
    virtual void ShuffleMRU(const QString& path) = 0;
    // Enables or disables the whole user interface around long work.
    virtual void Interact(bool allow) = 0;
    // The command of that object name (a menu item or toolbar button), or null.
    virtual QAction* command(const QString& name) const = 0;
    // Works out again which commands are enabled and checked.
    virtual void refreshCommands() = 0;
    // A report in a text viewer window of its own, which the user may save.
    virtual void showReport(const QString& caption, const QString& text) = 0;
};
