#include "DocumentFile.h"

#include "AppState.h"
#include "Documents.h"
#include "LangText.h"
#include "Prompts.h"
#include "Utilities.h"
#include "frmDMA.h"

#include <QPointer>
#include <QScopedValueRollback>

namespace {

// "This file is already open in another copy of Quorvane:", the file, who.
QString heldText(const QString& path, const DocumentLock& lock)
{
    return LangText(870) + QLatin1Char('\n') + path + QLatin1Char('\n') +
           DescribeHolder(lock.holder()) + QStringLiteral(".\n\n");
}

} // namespace

bool LockForOpening(const QString& path, DocumentFile& file)
{
    if (!FileExists(path))
        return true; // the reader says so
    auto lock = std::make_unique<DocumentLock>(path);
    switch (lock->tryLock()) {
    case DocumentLock::Held:
        file.lock = std::move(lock);
        return true;
    case DocumentLock::NotPossible:
        file.noLockMade = true;
        return true;
    case DocumentLock::HeldElsewhere:
        break;
    }
    // A window of this program has the lock (its file was moved, and
    // another put in its place): nobody else can save over it.
    if (lock->heldByThisProcess())
        return true;
    const QString text = heldText(path, *lock);
    if (MayBeAbandoned(lock->holder(), QDateTime::currentDateTime())) {
        const int answer = ShowMessageCaptioned(
            text + LangText(875), MsgButtons::YesNoCancel + MsgButtons::Exclamation,
            {LangText(876), LangText(877)}); // open read-only, take over
        if (answer == MsgAnswer::Cancel)
            return false;
        // A holder that is still there keeps its lock: read-only after all.
        if (answer == MsgAnswer::No && lock->takeOver()) {
            file.lock = std::move(lock);
            return true;
        }
    } else if (ShowMessage(text + LangText(874), MsgButtons::YesNo + MsgButtons::Exclamation) !=
               MsgAnswer::Yes) {
        return false;
    }
    file.readOnly = true;
    return true;
}

bool LockForSavingAs(const QString& path, std::unique_ptr<DocumentLock>& lock)
{
    lock = std::make_unique<DocumentLock>(path);
    switch (lock->tryLock()) {
    case DocumentLock::Held:
        return true;
    case DocumentLock::NotPossible:
        lock.reset();
        return true;
    case DocumentLock::HeldElsewhere:
        break;
    }
    if (lock->heldByThisProcess()) {
        lock.reset();
        return true;
    }
    ShowMessage(heldText(path, *lock) + LangText(886)); // choose another name
    lock.reset();
    return false;
}

SaveOver AskBeforeSavingOver(frmDMA* window)
{
    DocumentFile& file = window->file();
    if (!file.stamp.isValid() ||
        CompareWithDisk(file.stamp, window->caption()) != DiskChange::Changed)
        return SaveOver::Overwrite;
    const int answer = ShowMessageCaptioned(LangText(880) + QLatin1Char('\n') + window->caption() +
                                                QStringLiteral("\n\n") + LangText(881),
                                            MsgButtons::YesNoCancel + MsgButtons::Exclamation +
                                                MsgButtons::SecondDefault,
                                            {LangText(882), LangText(883)}); // overwrite, save as
    if (answer == MsgAnswer::Yes)
        return SaveOver::Overwrite;
    return answer == MsgAnswer::No ? SaveOver::SaveAs : SaveOver::Cancel;
}

bool ReloadListWindow(frmDMA* window)
{
    FileStamp stamp;
    if (!LoadDatabaseFile(window->caption(), false, &stamp))
        return false;
    window->CopyFrom_DMAModule();
    window->document().AskForSave = false;
    window->file().stamp = stamp;
    window->file().declined = FileStamp();
    return true;
}

void CheckFileOnDisk(frmDMA* window)
{
    // A question while one is up (the window comes forward again when it
    // closes) would be asked twice.
    static bool checking = false;
    if (checking || !App::IsObjectAlive(window))
        return;
    QScopedValueRollback<bool> once(checking, true);
    DocumentFile& file = window->file();
    // Unsaved changes: the save asks, with the choice to keep both.
    if (window->document().NeverBeenSaved || window->document().AskForSave || !file.stamp.isValid())
        return;
    const FileStamp now = StatFile(window->caption());
    if (!now.isValid() || now.sameTimes(file.stamp) || now.sameTimes(file.declined))
        return;
    if (CompareWithDisk(file.stamp, window->caption()) != DiskChange::Changed)
        return;
    QPointer<frmDMA> guard(window);
    const int answer = ShowMessage(LangText(884) + QLatin1Char('\n') + window->caption() +
                                       QStringLiteral("\n\n") + LangText(885),
                                   MsgButtons::YesNo + MsgButtons::Question); // load it again?
    if (!guard)
        return;
    if (answer != MsgAnswer::Yes || !ReloadListWindow(window))
        window->file().declined = now; // not asked again until it changes again
}

bool ConfirmWritingInto(const QString& path)
{
    DocumentLock probe(path);
    if (probe.tryLock() != DocumentLock::HeldElsewhere || probe.heldByThisProcess())
        return true;
    return ShowMessage(heldText(path, probe) + LangText(887),
                       MsgButtons::YesNo + MsgButtons::Exclamation + MsgButtons::SecondDefault) ==
           MsgAnswer::Yes;
}
