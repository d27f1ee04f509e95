// The commands of the list windows and text viewers: the documents of the
// File menu, the View commands on the list and its columns, the page buttons.

#include "AppState.h"
#include "BusyCursor.h"
#include "Commands.h"
#include "DatabaseReader.h"
#include "DocumentFile.h"
#include "Documents.h"
#include "GisExport.h"
#include "LangText.h"
#include "ListWindowFeature.h"
#include "PatrolMerge.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "RecordStore.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "WindowHost.h"
#include "frmDMA.h"
#include "frmDocument.h"

#include <QFileInfo>

namespace {

QWidget* activeChild()
{
    WindowHost* host = App::Host();
    return host ? host->activeChild() : nullptr;
}

frmDMA* usableActiveList()
{
    return qobject_cast<frmDMA*>(App::UsableActiveList());
}

void openCommand()
{
    SetStatusText(QString());
    const QString name = Prompts::OpenFileName(App::MainWindowWidget(), LangText(318),
                                               Globals().DefaultPath, LangText(310));
    if (name.isEmpty())
        return;
    const QString lower = name.toLower();
    if (lower.endsWith(QLatin1String(".pdb")) || lower.endsWith(QLatin1String(".csv"))) {
        OpenDocument(name);
        return;
    }
    // Any other file is shown as text.
    frmDocument* viewer = frmDocument::create();
    if (const int result = viewer->loadFile(name); result != FileResult::Ok) {
        if (QWidget* sub = viewer->parentWidget())
            sub->deleteLater();
        else
            viewer->deleteLater();
        ShowMessage(FileErrorText(result, false) + QLatin1Char('\n') + name);
        return;
    }
    viewer->setWindowTitle(name);
    viewer->showInMainWindow();
}

void saveCommand(const QString& viewerDialogTitle, bool (*saveList)(frmDMA*))
{
    SetStatusText(QString());
    if (auto* viewer = qobject_cast<frmDocument*>(activeChild())) {
        viewer->saveWithDialog(viewerDialogTitle);
        return;
    }
    saveList(usableActiveList());
}

void closeCommand()
{
    SetStatusText(QString());
    if (auto* viewer = qobject_cast<frmDocument*>(activeChild())) {
        // Close closes the viewer; its own question offers to save changes.
        viewer->parentWidget()->close();
        return;
    }
    frmDMA* list = usableActiveList();
    if (!list) {
        ShowMessage(LangText(129)); // no list window
        return;
    }
    if (QWidget* sub = list->parentWidget())
        sub->close();
    else
        list->close();
}

// The check mark shows the list window in front, or else the bound one.
bool autoSizeChecked()
{
    if (auto* front = qobject_cast<frmDMA*>(activeChild()))
        return front->AutoSize;
    frmDMA* list = usableActiveList();
    return list && list->AutoSize;
}

void autoSizeCommand()
{
    frmDMA* list = usableActiveList();
    if (!list)
        return;
    list->AutoSize = !list->AutoSize;
    if (list->AutoSize)
        SetColumnLayout(-1, true);
}

// File > New, from current Window: a fresh patrol list of the same serials.
void newWindowFromCurrent()
{
    SetStatusText(QString());
    frmDMA* list = usableActiveList();
    if (!list) {
        ShowMessage(LangText(129));
        return;
    }
    if (list->RecordCount() < 1) {
        ShowMessage(LangText(150)); // nothing to make a window from
        return;
    }
    const QString name = list->document().DMAName;
    list->CopyTo_DMAModule();
    PrepareNewWindowRecords(DMAModule());
    frmDMA* window = CreateListWindow();
    LoggerList& doc = window->document();
    doc.AskForSave = true;
    doc.NeverBeenSaved = true;
    doc.NumHistories = kMaxHistories;
    window->setCaption(name);
    doc.DMAName = FileTitle(name);
    window->CopyFrom_DMAModule();
    window->show();
    window->setFocus();
}

// File > Add most recent patrol to...: the bound list window's newest
// readings into the database file of its name, which then opens.
void mergeCommand()
{
    SetStatusText(QString());
    frmDMA* list = usableActiveList();
    if (!list) {
        ShowMessage(LangText(129));
        return;
    }
    if (list->RecordCount() < 1) {
        ShowMessage(LangText(313)); // no patrol to add
        return;
    }
    const QString path = Prompts::OpenFileName(App::MainWindowWidget(), LangText(314),
                                               Globals().DefaultPath, LangText(310));
    if (path.isEmpty())
        return;
    const QString lower = path.toLower();
    if (!lower.endsWith(QLatin1String(".pdb")) && !lower.endsWith(QLatin1String(".csv"))) {
        ShowMessage(LangText(316));
        return;
    }
    // The merge writes the database, and beside an older ".pdb" its ".csv".
    if (!ConfirmWritingInto(path) ||
        (MergedDatabasePath(path) != path && !ConfirmWritingInto(MergedDatabasePath(path))))
        return;
    WindowHost* host = App::Host();
    if (host)
        host->Interact(false);
    const MergeOutcome out = MergeLatestPatrol(
        list->document(), path, [](const QString& p) { return LoadDatabaseFile(p); });
    if (host)
        host->Interact(true);
    if (!out.log.isEmpty())
        OpenTextReport(out.logCaption, out.log,
                       false); // only the user's own edits are worth a question
    if (!out.message.isEmpty())
        ShowMessage(out.message);
    // A refusal or a failure has said why; the database was not changed.
    if (out.kind == MergeOutcome::Refused || out.kind == MergeOutcome::Failed)
        return;
    const bool merged = out.kind == MergeOutcome::Merged;
    if (merged) {
        list->document().AskForSave = false;
        list->document().NeverBeenSaved = false;
    }
    ShowMergedDatabase(out.path, merged); // the database, merged or not, in a window
}

// File > Export: the active list's loggers with a position, for a GIS.
void exportCommand()
{
    SetStatusText(QString());
    frmDMA* list = usableActiveList();
    if (!list) {
        ShowMessage(LangText(129));
        return;
    }
    const LoggerList& doc = list->document();
    const QString chosen =
        Prompts::SaveFileName(App::MainWindowWidget(), LangText(790), Globals().DefaultPath,
                              QFileInfo(doc.DMAName).completeBaseName() + QStringLiteral(".gpkg"),
                              LangText(791)); // the five formats
    if (chosen.isEmpty())
        return;
    if (GisFormatOf(chosen) == GisFormat::Unknown) {
        ShowMessage(LangText(792)); // the extensions that name a format
        return;
    }
    // A database is a .csv file too; the list's own is never replaced.
    const QString own = QFileInfo(doc.Caption).canonicalFilePath();
    if (!own.isEmpty() && own == QFileInfo(chosen).canonicalFilePath()) {
        ShowMessage(LangText(793));
        return;
    }
    if (!ConfirmOverwrite(chosen))
        return;
    GisExportResult result;
    {
        BusyCursor busy;
        result = ExportLoggers(doc, Globals().Address2, chosen);
    }
    if (!result.ok) {
        ShowMessage(LangText(794) + QStringLiteral("\n") + chosen + QStringLiteral("\n\n") +
                        result.error,
                    MsgButtons::Exclamation);
        return;
    }
    QString text = LangText(795) + QStringLiteral(" %1\n").arg(result.written) + chosen;
    if (!result.unplaced.empty()) {
        text += QStringLiteral("\n\n") + LangText(796) +
                QStringLiteral(" %1\n").arg(result.unplaced.size());
        constexpr size_t kListed = 10; // the rest only counted, to keep the box on screen
        for (size_t i = 0; i < result.unplaced.size() && i < kListed; ++i)
            text += QString::fromStdString(FormatSerial(result.unplaced[i].serial)) +
                    QStringLiteral(": ") + result.unplaced[i].reason + QLatin1Char('\n');
        if (result.unplaced.size() > kListed)
            text += LangText(797) + QStringLiteral(" %1").arg(result.unplaced.size() - kListed);
    }
    ShowMessage(text.trimmed(), MsgButtons::Information);
}

} // namespace

void RegisterListWindowCommands()
{
    using Commands::Register;
    Register(QStringLiteral("mnuFileNew"), [] { NewDocument(); });
    Register(QStringLiteral("mnuFileOpen"), openCommand);
    Register(QStringLiteral("mnuFileSave"), [] { saveCommand(LangText(319), SaveListWindow); });
    Register(QStringLiteral("mnuFileSaveAs"), [] { saveCommand(LangText(329), SaveListWindowAs); });
    Register(QStringLiteral("mnuFileClose"), closeCommand);
    Register(QStringLiteral("mnuFileNewWin"), newWindowFromCurrent);
    Register(QStringLiteral("mnuFileMerge"), mergeCommand);
    Register(QStringLiteral("mnuFileExport"), exportCommand, Commands::Rule::WithActiveList);
    // Cut, Copy and Paste act on the bound list window, and do nothing without one.
    Register(QStringLiteral("mnuEditCut"), [] {
        if (frmDMA* list = usableActiveList())
            list->CutRecords();
    });
    Register(QStringLiteral("mnuEditCopy"), [] {
        if (frmDMA* list = usableActiveList())
            list->CopyRecords();
    });
    Register(QStringLiteral("mnuEditPaste"), [] {
        if (frmDMA* list = usableActiveList())
            list->PasteRecords();
    });
    Register(QStringLiteral("mnuViewRefreshList"), [] {
        if (frmDMA* list = usableActiveList())
            list->ReLoad();
    });
    Register(QStringLiteral("mnuViewAutoSize"), autoSizeCommand, Commands::Rule::Always,
             autoSizeChecked);
    for (int k = 0; k < 8; ++k) {
        Register(QStringLiteral("mnuViewShowOption(%1)").arg(k), [k] { SetColumnLayout(k, true); });
        Register(QStringLiteral("mnuViewHideOption(%1)").arg(k),
                 [k] { SetColumnLayout(k, false); });
    }
    // The page buttons move the list window in front, bound or not.
    Register(QStringLiteral("tbBack"), [] {
        if (auto* list = qobject_cast<frmDMA*>(activeChild()))
            list->NextLine();
    });
    Register(QStringLiteral("tbForward"), [] {
        if (auto* list = qobject_cast<frmDMA*>(activeChild()))
            list->PrevLine();
    });
}
