// The Cowl menu.

#include "AppState.h"
#include "Commands.h"
#include "CowlWindowsFeature.h"
#include "Prompts.h"
#include "frmCowlSetup.h"

void RegisterCowlCommands()
{
    Commands::Register(QStringLiteral("mnuCowlSetup"), [] {
        frmCowlSetup setup(App::MainWindowWidget());
        Prompts::ShowModal(setup);
    });
}
