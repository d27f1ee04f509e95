#include "frmMain.h"

#include "AppState.h"
#include "Documents.h"
#include "Icons.h"
#include "LangText.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "RecordStore.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "Utilities.h"
#include "frmDMA.h"
#include "frmDMAEdit.h"
#include "frmDocument.h"
#include "frmSplash.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <cmath>

namespace {
constexpr double kTwipsPerPixel = 15;

frmDMA* usableActiveList()
{
    frmDMA* list = App::ActiveList();
    return App::IsObjectAlive(list) ? list : nullptr;
}
} // namespace

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    // View > AutoSize shows the setting of the list window in front.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (auto* list = qobject_cast<frmDMA*>(sub ? sub->widget() : nullptr))
            setAutoSizeChecked(list->AutoSize);
    });
    m_statusPanel = new QLabel(this);
    m_statusPanel->setObjectName(QStringLiteral("sbStatusPanel1"));
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(m_statusPanel, 1);
    setAcceptDrops(true);
    buildMenus();
    buildToolBar();
    LoadResources();
    placeFromSettings();
    SetStatusSink([this](const QString& text) { m_statusPanel->setText(text); });
}

frmMain::~frmMain()
{
    SetStatusSink(nullptr); // the status bar goes with the window
}

QAction* frmMain::item(QMenu* menu, const char* name, const char* builtIn, int string,
                       const QKeySequence& key)
{
    QAction* action = menu->addAction(QString::fromLatin1(builtIn));
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty())
        action->setShortcut(key);
    if (string)
        m_captions.append({action, string});
    return action;
}

QMenu* frmMain::menu(QMenu* parent, const char* name, const char* builtIn, int string)
{
    QMenu* m = parent ? parent->addMenu(QString::fromLatin1(builtIn))
                      : menuBar()->addMenu(QString::fromLatin1(builtIn));
    m->setObjectName(QString::fromLatin1(name));
    if (string)
        m_captions.append({m, string});
    return m;
}

void frmMain::buildMenus()
{
    mnuFile = menu(nullptr, "mnuFile", "&File", 258);
    mnuFileNew = item(mnuFile, "mnuFileNew", "&New", 259, QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileNewWin = item(mnuFile, "mnuFileNewWin", "New, from current &Window...", 260);
    mnuFile->addSeparator();
    mnuFileOpen = item(mnuFile, "mnuFileOpen", "&Open...", 262, QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileMerge = item(mnuFile, "mnuFileMerge", "Add &most recent patrol to...", 263);
    mnuFile->addSeparator();
    mnuFileSave = item(mnuFile, "mnuFileSave", "&Save", 264, QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileSaveAs =
        item(mnuFile, "mnuFileSaveAs", "Save &As...", 265, QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuFileImport = item(mnuFile, "mnuFileImport", "&Import Trundlex File", 518);
    mnuFileExport = item(mnuFile, "mnuFileExport", "&Export...", 266);
    mnuFile->addSeparator();
    mnuFileClose = item(mnuFile, "mnuFileClose", "&Close", 267);
    mnuFile->addSeparator();
    mnuFilePageSetup = item(mnuFile, "mnuFilePageSetup", "Page Set&up...", 268);
    mnuFilePrint =
        item(mnuFile, "mnuFilePrint", "&Print...", 269, QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFile->addSeparator();
    for (int i = 0; i < 4; ++i) {
        mnuFileMRU[i] = item(mnuFile, "mnuFileMRU", "", 0);
        mnuFileMRU[i]->setVisible(false);
        connect(mnuFileMRU[i], &QAction::triggered, this, [this, i] { mnuFileMRU_Click(i); });
    }
    mnuFile->addSeparator();
    mnuFileExit = item(mnuFile, "mnuFileExit", "E&xit", 270);

    mnuEdit = menu(nullptr, "mnuEdit", "&Edit", 271);
    mnuEditCut = item(mnuEdit, "mnuEditCut", "Cu&t", 272);
    mnuEditCopy = item(mnuEdit, "mnuEditCopy", "&Copy", 273, QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuEditPaste = item(mnuEdit, "mnuEditPaste", "&Paste", 274, QKeySequence(Qt::CTRL | Qt::Key_V));

    mnuSearch = menu(nullptr, "mnuSearch", "&Search", 275);
    mnuSearchrFind = item(mnuSearch, "mnuSearchrFind", "&Find...", 276);
    mnuSearchFindNext =
        item(mnuSearch, "mnuSearchFindNext", "Find &Next", 277, QKeySequence(Qt::Key_F3));
    mnuSearch->addSeparator();
    mnuSearchCatalogue =
        item(mnuSearch, "mnuSearchCatalogue", "For serial number in files...", 278);

    mnuLogger = menu(nullptr, "mnuLogger", "&Logger", 279);
    mnuLoggerAdd = item(mnuLogger, "mnuLoggerAdd", "&Add...", 280);
    mnuLoggerRemove = item(mnuLogger, "mnuLoggerRemove", "&Remove", 281);
    mnuLoggerChangeSerial = item(mnuLogger, "mnuLoggerChangeSerial", "&Change Serial...", 282);
    mnuLoggerChangeDeployDate =
        item(mnuLogger, "mnuLoggerChangeDeployDate", "Change &Deploy date...", 283);
    mnuLogger->addSeparator();
    mnuLoggerFill = item(mnuLogger, "mnuLoggerFill", "F&ill...", 284);

    mnuKorvalind = menu(nullptr, "mnuKorvalind", "&Korvalind", 285);
    mnuKorvalindFrom = menu(mnuKorvalind, "mnuKorvalindFrom", "&Receive from Korvalind", 286);
    mnuKorvalindFromSome =
        item(mnuKorvalindFrom, "mnuKorvalindFromSome", "Selection", 287, QKeySequence(Qt::Key_F5));
    mnuKorvalindFromAll = item(mnuKorvalindFrom, "mnuKorvalindFromAll", "All", 288,
                               QKeySequence(Qt::SHIFT | Qt::Key_F5));
    mnuKorvalindTo = menu(mnuKorvalind, "mnuKorvalindTo", "Send to Korvalind", 289);
    mnuKorvalindToSome =
        item(mnuKorvalindTo, "mnuKorvalindToSome", "Selection", 287, QKeySequence(Qt::Key_F9));
    mnuKorvalindToAll =
        item(mnuKorvalindTo, "mnuKorvalindToAll", "All", 288, QKeySequence(Qt::SHIFT | Qt::Key_F9));
    mnuKorvalind->addSeparator();
    mnuKorvalindOptions = item(mnuKorvalind, "mnuKorvalindOptions", "&Options...", 290);

    mnuView = menu(nullptr, "mnuView", "&View", 291);
    mnuViewEditor = item(mnuView, "mnuViewEditor", "&Editor", 292, QKeySequence(Qt::Key_F8));
    mnuViewLogger = item(mnuView, "mnuViewLogger", "&Logger", 0);
    mnuViewToolbar = item(mnuView, "mnuViewToolbar", "&Toolbar", 293);
    mnuViewStatusBar = item(mnuView, "mnuViewStatusBar", "Status &Bar", 294);
    mnuView->addSeparator();
    mnuViewRefreshList =
        item(mnuView, "mnuViewRefreshList", "&Refresh List", 295, QKeySequence(Qt::Key_F12));
    mnuViewAutoSize = item(mnuView, "mnuViewAutoSize", "AutoSize", 296);
    mnuView->addSeparator();
    mnuViewShow = menu(mnuView, "mnuViewShow", "&Show", 297);
    mnuViewHide = menu(mnuView, "mnuViewHide", "&Hide", 0);
    const char* optionCaptions[8] = {"All",      "Serial",    "Grid ref",  "Deployed",
                                     "Received", "Comment 1", "Comment 2", "Date"};
    const int optionStrings[8] = {288, 158, 298, 162, 163, 299, 300, 164};
    for (int k = 0; k < 8; ++k) {
        mnuViewShowOption[k] =
            item(mnuViewShow, "mnuViewShowOption", optionCaptions[k], optionStrings[k],
                 k == 0 ? QKeySequence(Qt::Key_F2) : QKeySequence());
        mnuViewHideOption[k] =
            item(mnuViewHide, "mnuViewHideOption", optionCaptions[k], optionStrings[k]);
        connect(mnuViewShowOption[k], &QAction::triggered, this, [k] { SetColumnLayout(k, true); });
        connect(mnuViewHideOption[k], &QAction::triggered, this,
                [k] { SetColumnLayout(k, false); });
    }

    mnuCowl = menu(nullptr, "mnuCowl", "&Cowl", 588);
    mnuCowlSetup = item(mnuCowl, "mnuCowlSetup", "&Setup...", 589);

    mnuWindow = menu(nullptr, "mnuWindow", "&Window", 302);
    mnuWindowCascade = item(mnuWindow, "mnuWindowCascade", "&Cascade", 303);
    mnuWindowTileHorizontal = item(mnuWindow, "mnuWindowTileHorizontal", "Tile &Horizontal", 304);
    mnuWindowTileVertical = item(mnuWindow, "mnuWindowTileVertical", "Tile &Vertical", 305);
    mnuWindowArrangeIcons = item(mnuWindow, "mnuWindowArrangeIcons", "&Arrange Icons", 306);
    mnuWindow->addSeparator();
    mnuWindowFollowMouse = item(mnuWindow, "mnuWindowFollowMouse", "&Follow mouse", 498);
    m_windowListSeparator = mnuWindow->addSeparator();
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmMain::fillWindowMenu);

    mnuHelp = menu(nullptr, "mnuHelp", "&Help", 307);
    mnuHelpContents = item(mnuHelp, "mnuHelpContents", "&Contents", 308, QKeySequence(Qt::Key_F1));
    mnuHelp->addSeparator();
    mnuHelpAbout = item(mnuHelp, "mnuHelpAbout", "&About ", 309);

    for (QAction* a : {mnuViewToolbar, mnuViewStatusBar, mnuViewAutoSize, mnuWindowFollowMouse})
        a->setCheckable(true);
    mnuViewToolbar->setChecked(true);
    mnuViewStatusBar->setChecked(true);

    // Commands that later work brings; shown so the menus are complete.
    for (QAction* a : {mnuFileNewWin,
                       mnuFileMerge,
                       mnuFileImport,
                       mnuFileExport,
                       mnuFilePageSetup,
                       mnuFilePrint,
                       mnuEditCut,
                       mnuEditCopy,
                       mnuEditPaste,
                       mnuSearchrFind,
                       mnuSearchFindNext,
                       mnuSearchCatalogue,
                       mnuLoggerAdd,
                       mnuLoggerRemove,
                       mnuLoggerChangeSerial,
                       mnuLoggerChangeDeployDate,
                       mnuLoggerFill,
                       mnuKorvalindFromSome,
                       mnuKorvalindFromAll,
                       mnuKorvalindToSome,
                       mnuKorvalindToAll,
                       mnuKorvalindOptions,
                       mnuCowlSetup})
        a->setEnabled(false);

    connect(mnuFileNew, &QAction::triggered, this, &frmMain::mnuFileNew_Click);
    connect(mnuFileOpen, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    connect(mnuFileSave, &QAction::triggered, this, &frmMain::mnuFileSave_Click);
    connect(mnuFileSaveAs, &QAction::triggered, this, &frmMain::mnuFileSaveAs_Click);
    connect(mnuFileClose, &QAction::triggered, this, &frmMain::mnuFileClose_Click);
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuViewEditor, &QAction::triggered, this, [] {
        if (frmDMAEdit* editor = App::Editor()) {
            editor->show();
            editor->raise();
        }
    });
    connect(mnuViewLogger, &QAction::triggered, this, &frmMain::mnuViewLogger_Click);
    connect(mnuViewToolbar, &QAction::toggled, this,
            [this](bool on) { tbToolBar->setVisible(on); });
    connect(mnuViewStatusBar, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
    connect(mnuViewRefreshList, &QAction::triggered, this, [] {
        if (frmDMA* list = usableActiveList())
            list->ReLoad();
    });
    connect(mnuViewAutoSize, &QAction::triggered, this, &frmMain::mnuViewAutoSize_Click);
    connect(mnuWindowCascade, &QAction::triggered, m_mdi, &QMdiArea::cascadeSubWindows);
    connect(mnuWindowTileHorizontal, &QAction::triggered, this,
            &frmMain::mnuWindowTileHorizontal_Click);
    connect(mnuWindowTileVertical, &QAction::triggered, this,
            &frmMain::mnuWindowTileVertical_Click);
    connect(mnuWindowArrangeIcons, &QAction::triggered, this,
            &frmMain::mnuWindowArrangeIcons_Click);
    connect(mnuWindowFollowMouse, &QAction::toggled, this,
            [](bool on) { Globals().FollowMouse = on; });
    connect(mnuHelpContents, &QAction::triggered, this, &frmMain::mnuHelpContents_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

QAction* frmMain::button(const char* key, const char* builtInTip, int string)
{
    QAction* action = tbToolBar->addAction(ToolbarIcon(QString::fromLatin1(key)),
                                           QString::fromLatin1(builtInTip));
    action->setObjectName(QString::fromLatin1(key));
    action->setToolTip(QString::fromLatin1(builtInTip));
    m_tooltips.append({action, string});
    return action;
}

void frmMain::buildToolBar()
{
    tbToolBar = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setIconSize(QSize(24, 24));
    connect(button("New", "New", 317), &QAction::triggered, this, &frmMain::mnuFileNew_Click);
    connect(button("Open", "Open", 318), &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    connect(button("Save", "Save", 319), &QAction::triggered, this, &frmMain::mnuFileSave_Click);
    tbToolBar->addSeparator();
    QAction* print = button("Print", "Print", 320);
    tbToolBar->addSeparator();
    QAction* cut = button("Cut", "Cut", 321);
    QAction* copy = button("Copy", "Copy", 322);
    QAction* paste = button("Paste", "Paste", 323);
    tbToolBar->addSeparator();
    tbBack = button("Back", "Previous Page", 326);
    tbForward = button("Forward", "Next Page", 327);
    tbToolBar->addSeparator();
    QAction* receive = button("from_korvalind", "Receive all from Korvalind", 324);
    tbToolBar->addSeparator();
    QAction* send = button("to_korvalind", "Send all to Korvalind", 325);
    tbToolBar->addSeparator();
    QAction* add = button("AddQuorvane", "", 499);
    for (QAction* a : {print, cut, copy, paste, receive, send, add})
        a->setEnabled(false); // as their menu commands
    connect(tbBack, &QAction::triggered, this, [this] {
        if (auto* list = qobject_cast<frmDMA*>(activeChild()))
            list->NextLine();
    });
    connect(tbForward, &QAction::triggered, this, [this] {
        if (auto* list = qobject_cast<frmDMA*>(activeChild()))
            list->PrevLine();
    });
}

void frmMain::LoadResources()
{
    setWindowTitle(LangText(256));
    for (const auto& [action, string] : m_tooltips)
        action->setToolTip(LangText(string));
    for (const auto& [object, string] : m_captions) {
        const QString caption = LangText(string);
        if (auto* action = qobject_cast<QAction*>(object))
            action->setText(caption);
        else if (auto* m = qobject_cast<QMenu*>(object))
            m->setTitle(caption);
    }
}

void frmMain::placeFromSettings()
{
    using namespace SettingsStore;
    const auto left = number(Setting::MainLeft), top = number(Setting::MainTop),
               w = number(Setting::MainWidth), h = number(Setting::MainHeight);
    auto px = [](double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); };
    if (left && top && w && h && *w > 0 && *h > 0) {
        setGeometry(px(*left), px(*top), px(*w), px(*h));
        return;
    }
    resize(px(9600), px(7200));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->availableGeometry();
        move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
    }
}

void frmMain::addChildWindow(QWidget* child)
{
    QMdiSubWindow* sub = m_mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
}

QWidget* frmMain::activeChild() const
{
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    return sub ? sub->widget() : nullptr;
}

void frmMain::setAutoSizeChecked(bool checked)
{
    mnuViewAutoSize->setChecked(checked);
}

void frmMain::setFollowMouseChecked(bool checked)
{
    mnuWindowFollowMouse->setChecked(checked);
    Globals().FollowMouse = checked;
}

void frmMain::mnuFileNew_Click()
{
    NewDocument();
}

void frmMain::mnuFileOpen_Click()
{
    SetStatusText(QString());
    const QString name =
        Prompts::OpenFileName(this, LangText(318), Globals().DefaultPath, LangText(310));
    if (name.isEmpty())
        return;
    const QString lower = name.toLower();
    if (lower.endsWith(QLatin1String(".pdb")) || lower.endsWith(QLatin1String(".csv"))) {
        OpenDocument(name);
        return;
    }
    frmDocument* viewer = frmDocument::create();
    if (!viewer->loadFile(name)) {
        if (QWidget* sub = viewer->parentWidget())
            sub->deleteLater();
        else
            viewer->deleteLater();
        return;
    }
    viewer->setWindowTitle(name);
    viewer->showInMainWindow();
}

void frmMain::mnuFileSave_Click()
{
    SetStatusText(QString());
    if (auto* viewer = qobject_cast<frmDocument*>(activeChild())) {
        viewer->saveWithDialog(LangText(319));
        return;
    }
    SaveListWindow(usableActiveList());
}

void frmMain::mnuFileSaveAs_Click()
{
    SetStatusText(QString());
    if (auto* viewer = qobject_cast<frmDocument*>(activeChild())) {
        viewer->saveWithDialog(LangText(329));
        return;
    }
    SaveListWindowAs(usableActiveList());
}

void frmMain::mnuFileClose_Click()
{
    SetStatusText(QString());
    if (auto* viewer = qobject_cast<frmDocument*>(activeChild())) {
        // Close closes the viewer; its own question offers to save changes.
        viewer->parentWidget()->close();
        return;
    }
    frmDMA* list = usableActiveList();
    if (!list) {
        ShowMessage(LangText(129));
        return;
    }
    if (QWidget* sub = list->parentWidget(); qobject_cast<QMdiSubWindow*>(sub))
        sub->close();
    else
        list->close();
}

void frmMain::ShuffleMRU(const QString& path)
{
    for (QAction* a : mnuFileMRU)
        if (a->text() == path)
            return;
    for (int i = 3; i > 0; --i)
        mnuFileMRU[i]->setText(mnuFileMRU[i - 1]->text());
    mnuFileMRU[0]->setText(path);
    for (QAction* a : mnuFileMRU)
        a->setVisible(true);
}

QStringList frmMain::mruCaptions() const
{
    QStringList out;
    for (QAction* a : mnuFileMRU)
        out << a->text();
    return out;
}

void frmMain::setMruCaptions(const QStringList& captions)
{
    for (int i = 0; i < 4; ++i) {
        mnuFileMRU[i]->setText(i < captions.size() ? captions[i] : QString());
        mnuFileMRU[i]->setVisible(!mnuFileMRU[i]->text().isEmpty());
    }
}

void frmMain::mnuFileMRU_Click(int index)
{
    if (index >= 0 && index < 4 && !mnuFileMRU[index]->text().isEmpty())
        OpenDocument(mnuFileMRU[index]->text());
}

void frmMain::mnuViewLogger_Click()
{
    QString serial;
    const QStringList parts =
        SettingsStore::text(Setting::SerialNumberToView).split(QLatin1Char(':'));
    if (parts.size() == 2) {
        const double written = NumericValue(parts[0].toStdString());
        if (App::LocalEpochSeconds() - written < 12) // written by another program just now
            serial = parts[1];
    }
    if (serial.isEmpty())
        serial = Prompts::InputBox(LangText(130), LangText(218));
    if (serial.isEmpty())
        return;
    if (OpenFileHoldingSerial(serial)) {
        frmDMAEdit* editor = App::Editor();
        if (editor && editor->width() * kTwipsPerPixel < 12000)
            editor->toggleGraph();
    }
}

void frmMain::mnuViewAutoSize_Click()
{
    frmDMA* list = usableActiveList();
    if (!list) {
        mnuViewAutoSize->setChecked(false);
        return;
    }
    list->AutoSize = !list->AutoSize;
    mnuViewAutoSize->setChecked(list->AutoSize);
    if (list->AutoSize)
        SetColumnLayout(-1, true);
}

QList<QMdiSubWindow*> frmMain::arrangedWindows() const
{
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (sub->isVisible() && !sub->isMinimized())
            out << sub;
    return out;
}

void frmMain::tileWindows(bool sideBySide)
{
    const QList<QMdiSubWindow*> windows = arrangedWindows();
    if (windows.isEmpty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    const int w = sideBySide ? area.width() / n : area.width();
    const int h = sideBySide ? area.height() : area.height() / n;
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(sideBySide ? i * w : 0, sideBySide ? 0 : i * h, w, h);
    }
}

void frmMain::mnuWindowTileHorizontal_Click()
{
    tileWindows(false); // one above the other, each the full width
}

void frmMain::mnuWindowTileVertical_Click()
{
    tileWindows(true); // side by side, each the full height
}

void frmMain::mnuWindowArrangeIcons_Click()
{
    // The minimised windows in a row along the bottom.
    const QRect area = m_mdi->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (!sub->isMinimized())
            continue;
        const QSize s = sub->size();
        sub->move(x, area.height() - s.height());
        x += s.width();
    }
}

void frmMain::fillWindowMenu()
{
    for (QAction* a : m_windowListItems) {
        mnuWindow->removeAction(a);
        a->deleteLater();
    }
    m_windowListItems.clear();
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    m_windowListSeparator->setVisible(!windows.isEmpty());
    int n = 0;
    for (QMdiSubWindow* sub : windows) {
        ++n;
        const QString title = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        QAction* a =
            mnuWindow->addAction(n < 10 ? QStringLiteral("&%1 %2").arg(n).arg(title) : title);
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
        m_windowListItems << a;
    }
}

void frmMain::mnuHelpContents_Click()
{
    // There is no help file yet.
    ShowMessage(LangText(328), MsgButtons::Information, windowTitle());
}

void frmMain::mnuHelpAbout_Click()
{
    frmSplash splash(this);
    splash.SplashDelay = frmSplash::LastDelay();
    Prompts::ShowModal(splash);
}

void frmMain::Interact(bool allow)
{
    tbToolBar->setEnabled(allow);
    for (QMenu* m :
         {mnuFile, mnuEdit, mnuSearch, mnuLogger, mnuKorvalind, mnuView, mnuWindow, mnuHelp})
        m->menuAction()->setEnabled(allow); // the Cowl menu is left alone
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && !w->inherits("QMenu"))
            w->setEnabled(allow);
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        sub->setEnabled(allow);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    SaveSettings(this);
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        event->ignore(); // a window stayed open at its question
        return;
    }
    if (frmDMAEdit* editor = App::Editor())
        editor->close();
    SetStatusSink(nullptr);
    event->accept();
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void frmMain::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void frmMain::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            OpenDocument(QDir::toNativeSeparators(url.toLocalFile()));
}

void frmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (frmDMAEdit* editor = App::Editor()) {
            if (isMinimized() && editor->isVisible())
                editor->showMinimized();
            else if (!isMinimized() && editor->isMinimized())
                editor->showNormal();
        }
    }
    QMainWindow::changeEvent(event);
}

void LoadSettings(frmMain* main)
{
    App::SplashDescription() = LangText(104);
    App::ResetNewDocumentCounter();
    Globals().load();
    main->setFollowMouseChecked(Globals().FollowMouse);
    main->setMruCaptions({SettingsStore::text(Setting::MRU1), SettingsStore::text(Setting::MRU2),
                          SettingsStore::text(Setting::MRU3), SettingsStore::text(Setting::MRU4)});
    DMAModule().Records(RecordStore::kScratchSlot).Serial = 99999999;
}

void SaveSettings(frmMain* main)
{
    if (!main->isMinimized()) {
        const QRect g = main->isMaximized() ? main->normalGeometry() : main->geometry();
        SettingsStore::setNumber(Setting::MainLeft, g.x() * kTwipsPerPixel);
        SettingsStore::setNumber(Setting::MainTop, g.y() * kTwipsPerPixel);
        SettingsStore::setNumber(Setting::MainWidth, g.width() * kTwipsPerPixel);
        SettingsStore::setNumber(Setting::MainHeight, g.height() * kTwipsPerPixel);
    }
    Globals().save();
    const QStringList mru = main->mruCaptions();
    const Setting keys[4] = {Setting::MRU1, Setting::MRU2, Setting::MRU3, Setting::MRU4};
    for (int i = 0; i < 4; ++i)
        SettingsStore::setText(keys[i], mru.value(i));
}
