#include "frmMain.h"

#include "AppState.h"
#include "CloseQuestion.h"
#include "Commands.h"
#include "EditingFeature.h"
#include "Icons.h"
#include "LangText.h"
#include "ListWindow.h"
#include "ListWindowFeature.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "RecordEditor.h"
#include "RecordStore.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "TransferFolders.h"
#include "Twips.h"
#include "Utilities.h"
#include "frmHelp.h"
#include "frmSplash.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <cmath>

namespace {
const char kCowlMenu[] = "mnuCowl";

// Keys that change a list's loggers act only while a list window has the
// focus: in the record editor (whose keys the frame's would otherwise take)
// and in a text viewer they keep their usual meaning.
// A file in the handheld transfer folders is a temporary one, emptied at
// the next start: no file to open again from the recently used list.
bool isTransferFile(const QString& path)
{
    const QString folder = QDir::cleanPath(QFileInfo(path).absolutePath());
    for (const QString& transfer : {KorvalindFromDir(), KorvalindToDir()})
        if (QString::compare(folder, QDir::cleanPath(QFileInfo(transfer).absoluteFilePath()),
                             Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool actsInListWindowsOnly(const QString& id)
{
    return id == QLatin1String("mnuEditCut") || id == QLatin1String("mnuLoggerAdd") ||
           id == QLatin1String("mnuLoggerRemove");
}
} // namespace

frmMain* MainWindow()
{
    return qobject_cast<frmMain*>(App::MainWindowWidget());
}

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    // Check marks such as View > AutoSize follow the child window in front.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { refreshCommands(); });
    m_statusPanel = new QLabel(this);
    m_statusPanel->setObjectName(QStringLiteral("sbStatusPanel1"));
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(m_statusPanel, 1);
    setAcceptDrops(true);
    App::SetHost(this);
    registerFrameCommands();
    buildMenus();
    buildToolBar();
    LoadResources();
    placeFromSettings();
    connectStatusBar();
    refreshCommands();
}

frmMain::~frmMain()
{
    // The frame's own parts are gone before QWidget closes the children:
    // nothing may call back into it from here on.
    disconnect(m_mdi, nullptr, this, nullptr);
    SetStatusSink(nullptr); // the status bar goes with the window
}

void frmMain::connectStatusBar()
{
    SetStatusSink([this](const QString& text) { setStatusText(text); });
}

void frmMain::setStatusText(const QString& text)
{
    // Long work reports every line it reads, and nothing is painted until it
    // is done: the panel takes only the last text, once the program is idle.
    m_statusText = text;
    if (m_statusPending)
        return;
    m_statusPending = true;
    QTimer::singleShot(0, this, [this] {
        m_statusPending = false;
        m_statusPanel->setText(m_statusText);
    });
}

void frmMain::buildMenus()
{
    using Commands::Kind;
    for (const Commands::Row& row : Commands::Menus()) {
        const QString name = QString::fromLatin1(row.name ? row.name : "");
        const QString builtIn = QString::fromLatin1(row.builtIn);
        QMenu* parent = row.parent ? m_menus.value(QString::fromLatin1(row.parent)) : nullptr;
        switch (row.kind) {
        case Kind::Menu: {
            QMenu* m = parent ? parent->addMenu(builtIn) : menuBar()->addMenu(builtIn);
            m->setObjectName(name);
            m_menus.insert(name, m);
            break;
        }
        case Kind::Separator:
            parent->addSeparator();
            break;
        case Kind::RecentFiles:
            for (int i = 0; i < 4; ++i) {
                mnuFileMRU[i] = parent->addAction(QString());
                mnuFileMRU[i]->setObjectName(name);
                mnuFileMRU[i]->setVisible(false);
                connect(mnuFileMRU[i], &QAction::triggered, this, [this, i] {
                    if (!mnuFileMRU[i]->text().isEmpty())
                        OpenDocument(mnuFileMRU[i]->text());
                });
            }
            break;
        case Kind::WindowList:
            m_windowListSeparator = parent->addSeparator();
            connect(parent, &QMenu::aboutToShow, this, &frmMain::fillWindowMenu);
            break;
        case Kind::Item:
        case Kind::ToolbarOnly: {
            QAction* a = parent ? parent->addAction(builtIn) : new QAction(builtIn, this);
            a->setObjectName(name);
            if (row.index >= 0)
                a->setProperty("index", row.index);
            const QString id = Commands::Id(row);
            if (row.key)
                a->setShortcut(QKeySequence(row.key));
            if (actsInListWindowsOnly(id))
                a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            a->setCheckable(row.checkable);
            a->setChecked(row.checkedAtStart);
            m_commands.insert(id, a);
            m_parents.insert(a, QString::fromLatin1(row.parent ? row.parent : ""));
            connect(a, &QAction::triggered, this, [this, id] { run(id); });
            break;
        }
        }
    }
}

void frmMain::buildToolBar()
{
    tbToolBar = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setIconSize(QSize(24, 24));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // A button is its command's own action, so it is enabled exactly when
    // the menu item is.
    for (const Commands::ToolbarButton& b : Commands::Toolbar()) {
        if (!b.key) {
            tbToolBar->addSeparator();
            continue;
        }
        QAction* a = m_commands.value(QString::fromLatin1(b.command));
        if (!a)
            continue;
        a->setIcon(ToolbarIcon(QString::fromLatin1(b.key)));
        a->setIconVisibleInMenu(false);
        a->setToolTip(QString::fromLatin1(b.builtInTip));
        tbToolBar->addAction(a);
    }
}

void frmMain::registerFrameCommands()
{
    using Commands::Register;
    using Commands::Rule;
    Register(QStringLiteral("mnuFileExit"), [this] { close(); });
    Register(QStringLiteral("mnuViewLogger"), [this] { viewLogger(); });
    Register(
        QStringLiteral("mnuViewToolbar"), [this] { tbToolBar->setVisible(tbToolBar->isHidden()); },
        Rule::Always, [this] { return !tbToolBar->isHidden(); });
    Register(
        QStringLiteral("mnuViewStatusBar"),
        [this] { statusBar()->setVisible(statusBar()->isHidden()); }, Rule::Always,
        [this] { return !statusBar()->isHidden(); });
    Register(QStringLiteral("mnuWindowCascade"), [this] { cascadeWindows(); });
    // Horizontal: one above the other, each the full width; vertical: side by side.
    Register(QStringLiteral("mnuWindowTileHorizontal"), [this] { tileWindows(false); });
    Register(QStringLiteral("mnuWindowTileVertical"), [this] { tileWindows(true); });
    Register(QStringLiteral("mnuWindowArrangeIcons"), [this] { arrangeIcons(); });
    Register(
        QStringLiteral("mnuWindowFollowMouse"),
        [] { Globals().FollowMouse = !Globals().FollowMouse; }, Rule::Always,
        [] { return Globals().FollowMouse; });
    Register(QStringLiteral("mnuHelpContents"), [this] { helpContents(); });
    Register(QStringLiteral("mnuHelpAbout"), [this] { helpAbout(); });
}

void frmMain::run(const QString& id)
{
    QPointer<frmMain> self(this);
    if (const Commands::Binding* b = Commands::Bound(id); b && b->run)
        b->run();
    if (self)
        refreshCommands();
}

void frmMain::refreshCommands()
{
    const bool hasList = App::UsableActiveList() != nullptr;
    const bool hasChild = activeChild() != nullptr;
    for (auto it = m_commands.cbegin(); it != m_commands.cend(); ++it) {
        QAction* a = it.value();
        const Commands::Binding* b = Commands::Bound(it.key());
        // The Cowl menu goes on working while the rest is held still.
        bool enabled = b && (m_interactive || m_parents.value(a) == QLatin1String(kCowlMenu));
        if (enabled && b->rule == Commands::Rule::WithActiveList)
            enabled = hasList;
        if (enabled && b->rule == Commands::Rule::WithActiveChild)
            enabled = hasChild;
        a->setEnabled(enabled);
        if (b && b->checked)
            a->setChecked(b->checked());
    }
    for (QAction* a : mnuFileMRU)
        a->setEnabled(m_interactive);
    tbToolBar->setEnabled(m_interactive);
    for (QAction* a : menuBar()->actions())
        if (a->menu() && a->menu()->objectName() != QLatin1String(kCowlMenu))
            a->setEnabled(m_interactive);
}

void frmMain::showReport(const QString& caption, const QString& text)
{
    OpenTextReport(caption, text);
}

QAction* frmMain::command(const QString& id) const
{
    return m_commands.value(id);
}

void frmMain::LoadResources()
{
    setWindowTitle(LangText(256));
    for (const Commands::Row& row : Commands::Menus()) {
        if (!row.caption)
            continue;
        const QString caption = LangText(row.caption);
        if (row.kind == Commands::Kind::Menu) {
            if (QMenu* m = m_menus.value(QString::fromLatin1(row.name)))
                m->setTitle(caption);
        } else if (QAction* a = m_commands.value(Commands::Id(row))) {
            a->setText(caption);
        }
    }
    for (const Commands::ToolbarButton& b : Commands::Toolbar())
        if (b.key)
            if (QAction* a = m_commands.value(QString::fromLatin1(b.command)))
                a->setToolTip(LangText(b.tip));
}

void frmMain::placeFromSettings()
{
    using namespace SettingsStore;
    const auto left = number(Setting::MainLeft), top = number(Setting::MainTop),
               w = number(Setting::MainWidth), h = number(Setting::MainHeight);
    if (left && top && w && h && *w > 0 && *h > 0) {
        setGeometry(TwipsToPixels(*left), TwipsToPixels(*top), TwipsToPixels(*w),
                    TwipsToPixels(*h));
        return;
    }
    resize(TwipsToPixels(9600), TwipsToPixels(7200));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->availableGeometry();
        // 640 by 480 is a small window on today's screens, too small for a
        // list window to show a logger's line: three quarters of the screen
        // when that is more.
        resize(size().expandedTo(s.size() * 3 / 4));
        move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
    }
}

void frmMain::addChildWindow(QWidget* child)
{
    if (qobject_cast<ListWindow*>(child))
        for (auto it = m_commands.cbegin(); it != m_commands.cend(); ++it)
            if (actsInListWindowsOnly(it.key()))
                child->addAction(it.value());
    QMdiSubWindow* sub = m_mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
}

QWidget* frmMain::activeChild() const
{
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    return sub ? sub->widget() : nullptr;
}

QList<QWidget*> frmMain::childWindows() const
{
    QList<QWidget*> out;
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (sub->widget())
            out << sub->widget();
    return out;
}

void frmMain::ShuffleMRU(const QString& path)
{
    if (isTransferFile(path))
        return;
    for (QAction* a : mnuFileMRU)
        if (a->text() == path)
            return;
    for (int i = 3; i > 0; --i)
        mnuFileMRU[i]->setText(mnuFileMRU[i - 1]->text());
    mnuFileMRU[0]->setText(path);
    for (QAction* a : mnuFileMRU)
        a->setVisible(!a->text().isEmpty());
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

void frmMain::viewLogger()
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
        RecordEditor* editor = App::Editor();
        if (editor && PixelsToTwips(editor->width()) < 12000)
            editor->toggleGraph();
    }
}

QList<QMdiSubWindow*> frmMain::arrangedWindows(QMdiArea::WindowOrder order) const
{
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(order))
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

void frmMain::cascadeWindows()
{
    // The library's cascade sizes each window by what it asks for, which for
    // a list window is a bare title bar. Here each gets three quarters of the
    // area, one title bar further down and across than the one behind it,
    // the window in front last.
    const QList<QMdiSubWindow*> windows = arrangedWindows(QMdiArea::StackingOrder);
    if (windows.isEmpty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const QSize size = area.size() * 3 / 4;
    const int step =
        windows.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first());
    QPoint at;
    for (QMdiSubWindow* sub : windows) {
        sub->showNormal();
        if (at.x() + size.width() > area.width() || at.y() + size.height() > area.height())
            at = QPoint(); // back to the top once the area is used up
        sub->setGeometry(QRect(at, size));
        sub->raise();
        at += QPoint(step, step);
    }
}

void frmMain::arrangeIcons()
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
    QMenu* windowMenu = menu(QStringLiteral("mnuWindow"));
    for (QAction* a : m_windowListItems) {
        windowMenu->removeAction(a);
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
            windowMenu->addAction(n < 10 ? QStringLiteral("&%1 %2").arg(n).arg(title) : title);
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        a->setEnabled(m_interactive);
        connect(a, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
        m_windowListItems << a;
    }
}

void frmMain::helpContents()
{
    const QString guide = GuideIndexPath();
    if (!GuideUsable(guide)) {
        ShowMessage(LangText(328), MsgButtons::Information, windowTitle());
        return;
    }
    // One help window, brought forward when it is already open.
    if (!m_help)
        m_help = new frmHelp(guide, this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

frmHelp* frmMain::helpWindow() const
{
    return m_help.data();
}

void frmMain::helpAbout()
{
    frmSplash splash(this);
    splash.SplashDelay = frmSplash::LastDelay();
    Prompts::ShowModal(splash);
}

void frmMain::Interact(bool allow)
{
    m_interactive = allow;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && !w->inherits("QMenu"))
            w->setEnabled(allow);
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        sub->setEnabled(allow);
    refreshCommands();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Every question is answered before any window closes, so that Cancel
    // to one of them leaves every window as it was.
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    for (QMdiSubWindow* sub : windows)
        if (auto* question = dynamic_cast<CloseQuestion*>(sub->widget()))
            if (!question->AskToClose()) {
                event->ignore();
                return;
            }
    SaveSettings(this);
    bool allClosed = true;
    for (QMdiSubWindow* sub : windows) {
        if (auto* question = dynamic_cast<CloseQuestion*>(sub->widget()))
            question->CloseAnswered();
        allClosed = sub->close() && allClosed;
    }
    if (!allClosed) {
        event->ignore();
        return;
    }
    if (RecordEditor* editor = App::Editor())
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
        if (RecordEditor* editor = App::Editor()) {
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
    QStringList mru;
    for (Setting key : {Setting::MRU1, Setting::MRU2, Setting::MRU3, Setting::MRU4})
        if (!isTransferFile(SettingsStore::text(key)))
            mru << SettingsStore::text(key);
    main->setMruCaptions(mru);
    main->refreshCommands(); // the follow-mouse check mark
    DMAModule().Records(RecordStore::kScratchSlot).Serial = 99999999;
    ClearLastFindText();
}

void SaveSettings(frmMain* main)
{
    if (!main->isMinimized()) {
        const QRect g = main->isMaximized() ? main->normalGeometry() : main->geometry();
        SettingsStore::setNumber(Setting::MainLeft, PixelsToTwips(g.x()));
        SettingsStore::setNumber(Setting::MainTop, PixelsToTwips(g.y()));
        SettingsStore::setNumber(Setting::MainWidth, PixelsToTwips(g.width()));
        SettingsStore::setNumber(Setting::MainHeight, PixelsToTwips(g.height()));
    }
    Globals().save();
    const QStringList mru = main->mruCaptions();
    const Setting keys[4] = {Setting::MRU1, Setting::MRU2, Setting::MRU3, Setting::MRU4};
    for (int i = 0; i < 4; ++i)
        SettingsStore::setText(keys[i], mru.value(i));
    if (SettingsStore::takeWriteFailure())
        ShowMessage(LangText(850) + QStringLiteral("\n") + SettingsStore::fileName());
}
