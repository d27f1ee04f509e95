#pragma once
// The main window: a multiple-document frame holding the list windows and
// text viewers, with the menus, the toolbar and the status bar. Its menus and
// toolbar are built from the command table; the features register what the
// commands do, and the frame works out in one place which are enabled.

#include "WindowHost.h"

#include <QHash>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>

class QAction;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class frmHelp;

class frmMain : public QMainWindow, public WindowHost
{
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // Captions and tooltips from the language file.
    void LoadResources();
    QStringList mruCaptions() const;
    // The help window, while it is open.
    frmHelp* helpWindow() const;
    void setMruCaptions(const QStringList& captions);

    // The window host.
    QWidget* frameWidget() override { return this; }
    void addChildWindow(QWidget* child) override;
    QWidget* activeChild() const override;
    QList<QWidget*> childWindows() const override;
    void ShuffleMRU(const QString& path) override;
    void Interact(bool allow) override;
    QAction* command(const QString& id) const override;
    void refreshCommands() override;
    void showReport(const QString& caption, const QString& text) override;

    QMdiArea* mdiArea() const { return m_mdi; }
    QLabel* statusPanel() const { return m_statusPanel; }
    // The text of the status bar's first panel; the panel shows it as soon
    // as the program is idle.
    QString statusText() const { return m_statusText; }
    // Makes the first panel the core's status sink (the window does so when made).
    void connectStatusBar();
    // A menu of the menu bar, or a submenu, by its object name; null when none.
    QMenu* menu(const QString& name) const { return m_menus.value(name); }
    bool interactive() const { return m_interactive; }

    QAction* mnuFileMRU[4];
    QToolBar* tbToolBar;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setStatusText(const QString& text);
    void buildMenus();
    void buildToolBar();
    void registerFrameCommands();
    void run(const QString& id);
    void fillWindowMenu();
    void placeFromSettings();
    QList<QMdiSubWindow*>
    arrangedWindows(QMdiArea::WindowOrder order = QMdiArea::CreationOrder) const;
    void cascadeWindows();
    void tileWindows(bool sideBySide);
    void arrangeIcons();
    void viewLogger();
    void helpContents();
    void helpAbout();

    QMdiArea* m_mdi;
    QLabel* m_statusPanel;
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QAction*> m_commands; // by command id
    QHash<QAction*, QString> m_parents;  // the menu each command sits in
    QAction* m_windowListSeparator = nullptr;
    QList<QAction*> m_windowListItems;
    bool m_interactive = true;
    QString m_statusText;
    QPointer<frmHelp> m_help;
    bool m_statusPending = false;
};

// The program's main window, or null.
frmMain* MainWindow();

// Settings read at start-up (the main window's menus included) and written at exit.
void LoadSettings(frmMain* main);
void SaveSettings(frmMain* main);
