#include "StartUp.h"

#include "AppState.h"
#include "CatalogueFeature.h"
#include "CowlWindowsFeature.h"
#include "EditingFeature.h"
#include "FindSerial.h"
#include "Icons.h"
#include "LangText.h"
#include "ListWindow.h"
#include "ListWindowFeature.h"
#include "LoggerList.h"
#include "MapFeature.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "RecordEditor.h"
#include "ReportsFeature.h"
#include "SettingsStore.h"
#include "TransferFeature.h"
#include "TransferFolders.h"
#include "Utilities.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {
// Every feature says what its commands do; the main window builds them.
void registerFeatures()
{
    RegisterListWindowCommands();
    RegisterEditingCommands();
    RegisterTransferCommands();
    RegisterCowlCommands();
    RegisterReportsCommands();
    RegisterCatalogueCommands();
    RegisterMapCommands();
}
} // namespace

void StartUp(const QStringList& arguments, const StartUpOptions& options)
{
    QApplication::setWindowIcon(ApplicationIcons());
    SetLangFailureHandler([](const QString& text) { ShowMessage(text); });
    SetMessageSink([](const QString& text) { ShowMessage(text); });
    registerFeatures();

    // The main window exists (hidden) from here: the settings set its menus.
    auto* main = new frmMain;
    main->setAttribute(Qt::WA_DeleteOnClose);
    LoadSettings(main);

    {
        frmSplash splash;
        splash.SplashDelay = options.splashDelayMs;
        splash.setTickInterval(options.splashTickMs);
        Prompts::ShowModal(splash);
    }

    PrepareTransferFolders();
    App::SetEditor(CreateRecordEditor(main)); // hidden until asked for
    main->show();

    // Each argument is a file to open, or "/s=" and a serial to find. The
    // platform has split the command line, so a quoted path with blanks in it
    // arrives whole.
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1String("/s="))) {
            if (OpenFileHoldingSerial(argument.mid(3)))
                if (RecordEditor* editor = App::Editor())
                    editor->toggleGraph();
        } else {
            OpenDocument(argument);
        }
    }
}

bool OpenFileHoldingSerial(const QString& serial)
{
    const QString hub = Globals().BrenvaskDirectory;
    if (!QFileInfo(hub).isDir()) {
        ShowMessage(LangText(613) + QLatin1Char(' ') + hub);
        return false;
    }
    const QString found = FindFileHoldingSerial(hub, serial);
    if (found.isEmpty()) {
        ShowMessage(LangText(614) + QLatin1Char(' ') + serial);
        return false;
    }
    const QString name = FileTitle(found);
    auto holdsIt = [&name] {
        ListWindow* list = App::UsableActiveList();
        return list && list->document().DMAName.compare(name, Qt::CaseInsensitive) == 0;
    };
    if (!holdsIt())
        OpenDocument(QDir::toNativeSeparators(found));
    if (!holdsIt())
        return false;
    // The logger whose serial it is: the same digits in another logger's grid
    // reference or address must not select that one.
    ListWindow* list = App::ActiveList();
    const int line = list->document().GetLineFromSerial(
        static_cast<qint32>(WholeNumberValue(serial.toStdString(), INT32_MIN, INT32_MAX)));
    if (line < 1) {
        ShowMessage(LangText(362)); // not found
        return false;
    }
    list->ShowLine(line);
    SetStatusText(LangText(360) + serial + LangText(361) + QString::number(line));
    if (RecordEditor* editor = App::Editor()) {
        editor->show();
        editor->raise();
    }
    return true;
}
