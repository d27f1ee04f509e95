#pragma once
// The main window: a multiple-document frame holding the list windows and
// text viewers, with the menus, the toolbar and the status bar.

#include <QMainWindow>
#include <QVector>
#include <utility>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // Captions and tooltips from the language file.
    void LoadResources();
    // Puts a path at the head of the recently used files.
    void ShuffleMRU(const QString& path);
    QStringList mruCaptions() const;
    void setMruCaptions(const QStringList& captions);
    // Enables or disables the whole user interface around long work.
    void Interact(bool allow);

    void addChildWindow(QWidget* child);
    QMdiArea* mdiArea() const { return m_mdi; }
    // The widget of the active child window, or null.
    QWidget* activeChild() const;
    QLabel* statusPanel() const { return m_statusPanel; }
    void setAutoSizeChecked(bool checked);
    void setFollowMouseChecked(bool checked);

    // The commands.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileClose_Click();
    void mnuFileMRU_Click(int index);
    void mnuViewLogger_Click();
    void mnuViewAutoSize_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();

    // Menu items by name, as the windows' conventions name them.
    QAction *mnuFileNew, *mnuFileNewWin, *mnuFileOpen, *mnuFileMerge, *mnuFileSave, *mnuFileSaveAs,
        *mnuFileImport, *mnuFileExport, *mnuFileClose, *mnuFilePageSetup, *mnuFilePrint,
        *mnuFileExit;
    QAction* mnuFileMRU[4];
    QAction *mnuEditCut, *mnuEditCopy, *mnuEditPaste;
    QAction *mnuSearchrFind, *mnuSearchFindNext, *mnuSearchCatalogue;
    QAction *mnuLoggerAdd, *mnuLoggerRemove, *mnuLoggerChangeSerial, *mnuLoggerChangeDeployDate,
        *mnuLoggerFill;
    QAction *mnuKorvalindFromSome, *mnuKorvalindFromAll, *mnuKorvalindToSome, *mnuKorvalindToAll,
        *mnuKorvalindOptions;
    QAction *mnuViewEditor, *mnuViewLogger, *mnuViewToolbar, *mnuViewStatusBar, *mnuViewRefreshList,
        *mnuViewAutoSize;
    QAction* mnuViewShowOption[8];
    QAction* mnuViewHideOption[8];
    QAction* mnuCowlSetup;
    QAction *mnuWindowCascade, *mnuWindowTileHorizontal, *mnuWindowTileVertical,
        *mnuWindowArrangeIcons, *mnuWindowFollowMouse;
    QAction *mnuHelpContents, *mnuHelpAbout;
    QMenu *mnuFile, *mnuEdit, *mnuSearch, *mnuLogger, *mnuKorvalind, *mnuKorvalindFrom,
        *mnuKorvalindTo, *mnuView, *mnuViewShow, *mnuViewHide, *mnuCowl, *mnuWindow, *mnuHelp;
    QToolBar* tbToolBar;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* item(QMenu* menu, const char* name, const char* builtIn, int string,
                  const QKeySequence& key = {});
    QMenu* menu(QMenu* parent, const char* name, const char* builtIn, int string);
    QAction* button(const char* key, const char* builtInTip, int string);
    void buildMenus();
    void buildToolBar();
    void fillWindowMenu();
    void placeFromSettings();
    QList<QMdiSubWindow*> arrangedWindows() const;
    void tileWindows(bool sideBySide);

    QMdiArea* m_mdi;
    QLabel* m_statusPanel;
    QVector<std::pair<QObject*, int>> m_captions; // menus and items with their string numbers
    QVector<std::pair<QAction*, int>> m_tooltips;
    QAction* m_windowListSeparator = nullptr;
    QList<QAction*> m_windowListItems;
    QAction *tbBack = nullptr, *tbForward = nullptr;
};

// Settings read at start-up (the main window's menus included) and written at exit.
void LoadSettings(frmMain* main);
void SaveSettings(frmMain* main);
