// The Korvalind menu and the walk-by import.

#include "Commands.h"
#include "KorvalindTalk.h"
#include "Prompts.h"
#include "TransferFeature.h"
#include "WalkByImport.h"
#include "frmOptions.h"

#include "AppState.h"

void RegisterTransferCommands()
{
    using Commands::Register;
    Register(QStringLiteral("mnuKorvalindFromAll"), KorvalindTalk::ReceiveAll);
    Register(QStringLiteral("mnuKorvalindFromSome"), KorvalindTalk::ReceiveSelection);
    Register(QStringLiteral("mnuKorvalindToAll"), KorvalindTalk::SendAll);
    Register(QStringLiteral("mnuKorvalindToSome"), KorvalindTalk::SendSelection);
    Register(QStringLiteral("mnuKorvalindOptions"), [] {
        frmOptions options(App::MainWindowWidget());
        Prompts::ShowModal(options);
    });
    Register(QStringLiteral("mnuFileImport"), ImportWalkByFile);
}
