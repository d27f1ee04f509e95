// File > Print and File > Page Setup.

#include "AppState.h"
#include "Commands.h"
#include "PrintSupport.h"
#include "Prompts.h"
#include "ReportsFeature.h"
#include "frmPrintSetup.h"

void RegisterReportsCommands()
{
    using Commands::Register;
    Register(
        QStringLiteral("mnuFilePrint"),
        [] {
            frmPrintSetup setup(App::MainWindowWidget());
            Prompts::ShowModal(setup);
        },
        Commands::Rule::WithActiveChild);
    Register(QStringLiteral("mnuFilePageSetup"),
             [] { ShowPageSetupDialog(App::MainWindowWidget()); });
}
