// Search > Catalogue.

#include "AppState.h"
#include "CatalogueFeature.h"
#include "Commands.h"
#include "Prompts.h"
#include "frmCatalogue.h"

#include <QPointer>

namespace {
// The one window of the run, so that its lists stay between showings. The
// main window owns it; should that go first, the next use makes a new one.
QPointer<frmCatalogue>& window()
{
    static QPointer<frmCatalogue> w;
    return w;
}
} // namespace

void RegisterCatalogueCommands()
{
    Commands::Register(QStringLiteral("mnuSearchCatalogue"), [] {
        QPointer<frmCatalogue>& w = window();
        if (!w)
            w = new frmCatalogue(App::MainWindowWidget());
        else
            w->setFolder(frmCatalogue::startFolder());
        Prompts::ShowModal(*w);
    });
}

void ResetCatalogueForTesting()
{
    delete window().data();
}
