// View > Map.

#include "AppState.h"
#include "Commands.h"
#include "MapFeature.h"
#include "frmMap.h"

#include <QPointer>

namespace {
// The one map window of the run; the main window owns it.
QPointer<frmMap>& window()
{
    static QPointer<frmMap> w;
    return w;
}
} // namespace

void RegisterMapCommands()
{
    Commands::Register(
        QStringLiteral("mnuViewMap"),
        [] {
            QPointer<frmMap>& w = window();
            if (!w)
                w = new frmMap(App::MainWindowWidget());
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
