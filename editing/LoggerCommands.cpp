// The Logger menu's commands and Find: each acts on the list window bound to
// the editor through its document and the list-window interface.

#include "Ansi.h"
#include "AppState.h"
#include "Commands.h"
#include "EditingFeature.h"
#include "EditorFields.h"
#include "LangText.h"
#include "ListWindow.h"
#include "LoggerDialogs.h"
#include "LoggerList.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "RecordEditor.h"
#include "RecordStore.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "WindowHost.h"

#include <QCheckBox>
#include <QPointer>

namespace {

QString g_lastFindText; // the last text searched for, for Find Next

QString eightDigits(qint64 serial)
{
    return QString::fromLatin1(FormatSerial(serial).c_str());
}

qint64 numberIn(const QString& text)
{
    return WholeNumberValue(Ansi::fromQString(text), INT32_MIN, INT32_MAX);
}

// The list window the command acts on; without one the user is told.
ListWindow* requireList()
{
    ListWindow* list = App::UsableActiveList();
    if (!list)
        ShowMessage(LangText(129));
    return list;
}

// Holds the user interface still around long work.
class HeldStill
{
public:
    HeldStill()
    {
        if (WindowHost* host = App::Host())
            host->Interact(false);
    }
    ~HeldStill()
    {
        if (WindowHost* host = App::Host())
            host->Interact(true);
    }
    HeldStill(const HeldStill&) = delete;
    HeldStill& operator=(const HeldStill&) = delete;
};

void addLogger()
{
    ListWindow* list = requireList();
    if (!list)
        return;
    frmAddNewLogger dialog(App::MainWindowWidget());
    Prompts::ShowModal(dialog);
    if (dialog.strSerial.isEmpty())
        return;
    const qint64 serial = numberIn(dialog.strSerial);
    if (!IsValidSerial(serial)) {
        ShowMessage(eightDigits(serial) + LangText(132));
        return;
    }
    switch (list->CreateNewRecord(static_cast<qint32>(serial), 0, QString())) {
    case 0:
        if (RecordEditor* editor = App::Editor()) {
            editor->show();
            editor->raise();
        }
        break;
    case 1:
        ShowMessage(eightDigits(serial) + LangText(133)); // already in the list
        break;
    default:
        ShowMessage(LangText(618)); // the list is full
        break;
    }
}

void removeLogger()
{
    if (ListWindow* list = requireList())
        SetStatusText(list->RemoveRecord() ? LangText(134) : LangText(135));
}

void changeSerial()
{
    ListWindow* list = requireList();
    if (!list)
        return;
    LoggerList& doc = list->document();
    const int index = doc.RecordOfLine(list->SelLine);
    if (list->SelLine < 1 || !index) {
        ShowMessage(LangText(136)); // no current logger
        return;
    }
    const qint64 old = doc.record(index).Serial;
    const QString answer = Prompts::InputBox(LangText(137) + eightDigits(old),
                                             App::ApplicationTitle(), eightDigits(old));
    if (answer.isEmpty())
        return;
    const qint64 fresh = numberIn(answer);
    if (fresh == old) {
        ShowMessage(eightDigits(old) + LangText(138));
    } else if (!IsValidSerial(fresh)) {
        ShowMessage(eightDigits(fresh) + LangText(132));
    } else if (doc.GetRecFromSerial(static_cast<qint32>(fresh))) {
        ShowMessage(LangText(139) + eightDigits(fresh) + LangText(140));
    } else {
        doc.ChangeSerial(index, static_cast<qint32>(fresh));
        doc.AskForSave = true; // a renumbering is a change to save like any other
        ShowMessage(eightDigits(old) + LangText(141) + eightDigits(fresh));
    }
}

void changeDeployDate()
{
    ListWindow* list = requireList();
    if (!list)
        return;
    const bool selected = list->GetLocalRecBySelection();
    LoggerRecord& scratch = DMAModule().Records(RecordStore::kScratchSlot);
    DateDialog dialog(App::MainWindowWidget());
    dialog.TxtDate->setText(Ansi::toQString(scratch.Deployed));
    Prompts::ShowModal(dialog);
    if (!dialog.Result)
        return;
    HeldStill still;
    LoggerList& doc = list->document();
    const std::string date = Ansi::fromQString(dialog.TxtDate->text());
    if (dialog.ChkDoAll->isChecked()) {
        for (int i = 1; i <= doc.RecordCount(); ++i) {
            LoggerRecord r = doc.record(i);
            r.Deployed = date;
            doc.Put(i, r);
        }
        list->ReLoad();
        doc.AskForSave = true;
    } else if (selected) {
        scratch.Deployed = date;
        doc.Put(doc.GetRecFromSerial(scratch.Serial), scratch);
        doc.AskForSave = true;
    } else {
        ShowMessage(LangText(136));
    }
}

FillDialog& fillDialog()
{
    // Made at the first Fill and kept, so its fields are there again next time.
    static QPointer<FillDialog> dialog;
    if (!dialog)
        dialog = new FillDialog(App::MainWindowWidget());
    return *dialog;
}

void fillLoggers()
{
    ListWindow* list = requireList();
    if (!list)
        return;
    FillDialog& dialog = fillDialog();
    dialog.Result = false;
    dialog.TxtIncr->setText(QString::number(Globals().FillIncrement));
    dialog.txtGridRef->setStored(QStringLiteral("00000000"));
    Prompts::ShowModal(dialog);
    if (!dialog.Result)
        return;
    LoggerList::FillResult result;
    {
        HeldStill still;
        const QString start = eightDigits(numberIn(dialog.txtGridRef->value()));
        result = list->document().Fill(dialog.TmpSer, dialog.TmpNum, Globals().FillIncrement,
                                       dialog.CheckBoxUseGrid->isChecked(), start);
    }
    if (result.lastLine)
        list->ShowLine(result.lastLine);
    // A run that cannot go on says why; the loggers before it stay.
    if (result.stop == LoggerList::FillResult::Full)
        ShowMessage(ListFullMessage(result.created, dialog.TmpNum));
    else if (result.stop == LoggerList::FillResult::InvalidSerial)
        ShowMessage(eightDigits(result.stoppedAt) + LangText(132));
    if (result.existing.isEmpty()) {
        SetStatusText(LangText(145)); // fill finished
        return;
    }
    ShowMessage(LangText(146));
    SetStatusText(LangText(146));
    if (WindowHost* host = App::Host())
        host->showReport(FileTitle(list->document().Caption) + LangText(148) +
                             QStringLiteral(".log"),
                         LangText(147) + QLatin1Char('\n') +
                             result.existing.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void findCommand()
{
    SetStatusText(QString());
    ListWindow* list = requireList();
    if (!list)
        return;
    g_lastFindText = Prompts::InputBox(LangText(149), App::ApplicationTitle(), g_lastFindText);
    if (!g_lastFindText.isEmpty())
        list->Find(g_lastFindText);
}

void findNextCommand()
{
    SetStatusText(QString());
    ListWindow* list = requireList();
    if (list && !g_lastFindText.isEmpty()) // nothing to go on with before a Find
        list->Find(QString());
}

} // namespace

void ClearLastFindText()
{
    g_lastFindText.clear();
}

void RegisterLoggerCommands()
{
    using Commands::Register;
    Register(QStringLiteral("mnuLoggerAdd"), addLogger);
    Register(QStringLiteral("mnuLoggerRemove"), removeLogger);
    Register(QStringLiteral("mnuLoggerChangeSerial"), changeSerial);
    Register(QStringLiteral("mnuLoggerChangeDeployDate"), changeDeployDate);
    Register(QStringLiteral("mnuLoggerFill"), fillLoggers);
    Register(QStringLiteral("mnuSearchrFind"), findCommand);
    Register(QStringLiteral("mnuSearchFindNext"), findNextCommand);
}
