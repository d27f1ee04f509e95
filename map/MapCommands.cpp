// View > Map.

#include "AppState.h"
#include "Commands.h"
#include "MapFeature.h"
#include "frmMap.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <algorithm>

namespace {
// The one map window of the run; the main window owns it.
QPointer<frmMap>& window()
{
    static QPointer<frmMap> w;
    return w;
}

// A new map window over the middle of the main window, within the screen
// that holds it, frame and all: 900 by 650 is more than a small laptop
// screen leaves under its panels.
void placeOnScreen(frmMap& map)
{
    QWidget* main = App::MainWindowWidget();
    const QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    constexpr int kFrame = 40; // room for a title bar and borders the system adds
    map.resize(map.size().boundedTo(area.size() - QSize(kFrame, kFrame)));
    QRect wanted(QPoint(), map.size() + QSize(kFrame, kFrame));
    wanted.moveCenter(main ? main->frameGeometry().center() : area.center());
    wanted.moveLeft(std::clamp(wanted.left(), area.left(), area.right() - wanted.width() + 1));
    wanted.moveTop(std::clamp(wanted.top(), area.top(), area.bottom() - wanted.height() + 1));
    map.move(wanted.topLeft());
}
} // namespace

void RegisterMapCommands()
{
    Commands::Register(
        QStringLiteral("mnuViewMap"),
        [] {
            QPointer<frmMap>& w = window();
            if (!w) {
                w = new frmMap(App::MainWindowWidget());
                placeOnScreen(*w);
            }
            w->followActiveList();
            w->show();
            w->raise();
            w->activateWindow();
        },
        Commands::Rule::WithActiveList);
}

frmMap* MapWindow()
{
    return window().data();
}

void ResetMapForTesting()
{
    delete window().data();
}
