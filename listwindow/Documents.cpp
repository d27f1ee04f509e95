#include "Documents.h"

#include "AppState.h"
#include "BusyCursor.h"
#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "DocumentFile.h"
#include "LangText.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "WindowHost.h"
#include "frmDMA.h"
#include "frmDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

bool endsWithNoCase(const QString& text, const char* suffix)
{
    return text.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

// The first free backup name: base.pdbold, then base.pdbold2, base.pdbold3...
// so that an older backup is never replaced.
QString freeBackupName(const QString& base)
{
    QString name = base + QStringLiteral(".pdbold");
    for (int n = 2; QFile::exists(name); ++n)
        name = base + QStringLiteral(".pdbold") + QString::number(n);
    return name;
}

// What tells two paths of one file apart from two files: the path with its
// links, "." and ".." resolved (and, where names ignore case, in one case).
QString sameFileKey(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
#ifdef Q_OS_WIN
    return canonical.toLower();
#else
    return canonical;
#endif
}

// Both paths name one file: the same file when it exists, else the same path.
bool sameFile(const QString& a, const QString& b)
{
    const QString ka = sameFileKey(a), kb = sameFileKey(b);
    if (!ka.isEmpty() && !kb.isEmpty())
        return ka == kb;
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity names = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity names = Qt::CaseSensitive;
#endif
    return QFileInfo(a).absoluteFilePath().compare(QFileInfo(b).absoluteFilePath(), names) == 0;
}

// The window in front and bound to the editor, as a window just opened is.
void bringForward(frmDMA* window)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        if (sub->isMinimized())
            sub->showNormal();
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    }
    if (window->RecordCount() > 0)
        window->ShowLine(window->SelLine > 0 ? window->SelLine : 1);
    window->setFocus();
}

} // namespace

frmDMA* ListWindowShowing(const QString& path)
{
    const QString key = sameFileKey(path);
    WindowHost* host = App::Host();
    if (key.isEmpty() || !host)
        return nullptr;
    for (QWidget* w : host->childWindows()) {
        auto* list = qobject_cast<frmDMA*>(w);
        if (list && App::IsObjectAlive(list) && !list->document().NeverBeenSaved &&
            sameFileKey(list->caption()) == key)
            return list;
    }
    return nullptr;
}

void ShowMergedDatabase(const QString& path, bool written)
{
    frmDMA* shown = ListWindowShowing(path);
    if (!shown) {
        OpenDocument(path);
        return;
    }
    // The window's own edits are never thrown away for the merged file.
    const bool reload = written && !shown->document().AskForSave;
    if (reload)
        ReloadListWindow(shown);
    bringForward(shown);
    if (written && !reload)
        ShowMessage(LangText(650)); // its window still shows the file as it was
}

bool LoadDatabaseFile(const QString& path)
{
    return LoadDatabaseFile(path, false);
}

bool LoadDatabaseFile(const QString& path, bool handheldResult, FileStamp* stamp)
{
    int result;
    {
        BusyCursor busy;
        ReadOptions options;
        options.IgnoreFileErrs = Globals().IgnoreFileErrs;
        options.KorvalindImport = handheldResult;
        result = ReadDatabaseFile(DMAModule(), path, options, stamp);
    }
    if (result != FileResult::Ok) {
        ShowMessage(FileErrorText(result, true) + QStringLiteral(":\n") + path);
        return false;
    }
    QString report;
    {
        BusyCursor busy;
        report = FindDuplicateSerials();
    }
    if (report.isEmpty())
        return true;
    const QString part =
        report.size() >= 100 ? report.left(100) + LangText(121) + QLatin1Char('\n') : report;
    const QString question =
        LangText(122) + QLatin1Char('\n') + part + QLatin1Char('\n') + LangText(123);
    if (ShowMessage(question, MsgButtons::YesNo + MsgButtons::Stop + MsgButtons::SecondDefault,
                    path) != MsgAnswer::Yes)
        return false;
    OpenTextReport(LangText(124) + FileTitle(path) + QStringLiteral(".log"),
                   report); // duplicates in ...
    return true;
}

void OpenTextReport(const QString& caption, const QString& text, bool askToSave)
{
    frmDocument* viewer = frmDocument::create();
    viewer->setWindowTitle(caption);
    viewer->setText(text);
    if (!askToSave)
        viewer->setModified(false);
    viewer->showInMainWindow();
}

frmDMA* CreateListWindow()
{
    auto* window = new frmDMA;
    if (WindowHost* host = App::Host())
        host->addChildWindow(window);
    window->Form_Load();
    return window;
}

ListWindow* OpenDocument(const QString& named, bool handheldResult)
{
    // The caption, the recently used files and the folder to save in want
    // the whole path, not one relative to wherever the program was started.
    const QString path = QFileInfo(named).isRelative()
                             ? QDir::toNativeSeparators(QFileInfo(named).absoluteFilePath())
                             : named;
    // One window a file: two would each save over the other's edits. A
    // received file becomes a new untitled window, whatever else is open.
    if (frmDMA* shown = handheldResult ? nullptr : ListWindowShowing(path)) {
        bringForward(shown);
        if (WindowHost* host = App::Host())
            host->ShuffleMRU(shown->caption());
        return shown;
    }
    // A received file is a temporary one of the transfer folder: nobody
    // else opens it.
    DocumentFile file;
    if (!handheldResult && !LockForOpening(path, file))
        return nullptr;
    if (!LoadDatabaseFile(path, handheldResult, handheldResult ? nullptr : &file.stamp))
        return nullptr;
    frmDMA* window = CreateListWindow();
    window->setFile(std::move(file));
    LoggerList& doc = window->document();
    doc.AskForSave = false;
    // A received file is a temporary one: its window has no file of its own.
    doc.NeverBeenSaved = handheldResult;
    doc.NumHistories = kMaxHistories;
    // Named before it takes the records, so the editor it binds shows the name.
    window->setCaption(path);
    doc.DMAName = FileTitle(path);
    window->CopyFrom_DMAModule();
    window->show();
    window->setFocus();
    if (WindowHost* host = App::Host())
        host->ShuffleMRU(window->caption());
    if (window->file().noLockMade)
        SetStatusText(LangText(889)); // other copies will not see it open here
    return window;
}

frmDMA* NewDocument()
{
    const int number = App::NextNewDocumentNumber();
    frmDMA* window = CreateListWindow();
    LoggerList& doc = window->document();
    doc.AskForSave = false;
    doc.NeverBeenSaved = true;
    doc.NumHistories = kMaxHistories;
    const QString name = LangText(126) + QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0')) +
                         QStringLiteral(".CSV");
    window->setCaption(name);
    doc.DMAName = name;
    window->show();
    return window;
}

bool SaveDocument(frmDMA* window, const QString& requested)
{
    if (!App::IsObjectAlive(window))
        return false;
    const bool ownFile =
        !window->document().NeverBeenSaved && sameFile(requested, window->caption());
    if (ownFile) {
        if (window->isReadOnly()) { // another copy has it open
            ShowMessage(LangText(879));
            return SaveListWindowAs(window);
        }
        switch (AskBeforeSavingOver(window)) {
        case SaveOver::Overwrite:
            break;
        case SaveOver::SaveAs:
            return SaveListWindowAs(window);
        case SaveOver::Cancel:
            return false;
        }
    }
    QString path = requested;
    QString backup, original;
    std::unique_ptr<DocumentLock> lock; // of a file the window has not had yet
    FileStamp written;
    int result;
    {
        BusyCursor busy;
        window->CopyTo_DMAModule();
        if (endsWithNoCase(path, ".pdb")) {
            // An older ".pdb" file is never overwritten: the records go to a
            // ".csv" beside it, and once they are there it is kept as the backup.
            const QString csv = path.left(path.size() - 4) + QStringLiteral(".csv");
            if (FileExists(csv) && !ConfirmOverwrite(csv))
                return false;
            if (!LockForSavingAs(csv, lock))
                return false;
            if (FileExists(path))
                original = path;
            path = csv;
        } else if (!ownFile && !LockForSavingAs(path, lock)) {
            return false;
        }
        result = WriteDatabaseFile(DMAModule(), path, &written);
        // Should the ".pdb" not move aside, it stays as it was beside the ".csv".
        if (result == FileResult::Ok && !original.isEmpty()) {
            backup = freeBackupName(original.left(original.size() - 4));
            if (!QFile::rename(original, backup))
                backup.clear();
        }
    }
    if (result != FileResult::Ok) {
        QString message = FileErrorText(result, false);
        if (result == FileResult::UnwritableText) // name the logger that holds it
            if (const int slot = FirstUnwritableRecord(DMAModule()))
                message +=
                    QLatin1Char('\n') + LangText(191) +
                    QString::fromLatin1(FormatSerial(DMAModule().Records(slot).Serial).c_str());
        ShowMessage(message);
        return false;
    }
    DocumentFile& file = window->file();
    if (!ownFile || path != requested) {
        // The window's file is now the one written, and it may save over it.
        file.lock = std::move(lock);
        file.readOnly = false;
    }
    file.stamp = written;
    file.declined = FileStamp();
    LoggerList& doc = window->document();
    doc.AskForSave = false;
    doc.NeverBeenSaved = false;
    window->setCaption(path);
    doc.DMAName = FileTitle(path);
    RememberDefaultPath(path);
    if (WindowHost* host = App::Host())
        host->ShuffleMRU(window->caption());
    if (!backup.isEmpty()) // saved as east.csv, the old file kept as east.pdbold
        SetStatusText(LangText(700) + FileTitle(path) + LangText(701) + FileTitle(backup));
    return true;
}

bool ConfirmOverwrite(const QString& name)
{
    return Prompts::ConfirmReplaceFile(name);
}

bool SaveListWindow(frmDMA* window)
{
    SetStatusText(QString());
    if (!App::IsObjectAlive(window)) {
        ShowMessage(LangText(129)); // no active list
        return false;
    }
    if (window->RecordCount() < 1) {
        ShowMessage(LangText(330)); // nothing to save
        return false;
    }
    if (window->isReadOnly())
        SetStatusText(LangText(879)); // under another name
    if (window->document().NeverBeenSaved || window->isReadOnly())
        return SaveListWindowAs(window);
    return SaveDocument(window, window->caption());
}

bool SaveListWindowAs(frmDMA* window)
{
    SetStatusText(QString());
    if (!App::IsObjectAlive(window)) {
        ShowMessage(LangText(129));
        return false;
    }
    if (window->RecordCount() < 1) {
        ShowMessage(LangText(330));
        return false;
    }
    const QString name = window->document().DMAName;
    QString proposed;
    if (endsWithNoCase(name, ".csv"))
        proposed = name;
    else if (endsWithNoCase(name, ".pdb"))
        proposed = name.left(name.size() - 4) + QStringLiteral(".csv");
    else
        proposed = name + QStringLiteral(".csv");
    // The bound window's own folder, or for a window without a file where
    // files were last saved (AttachEditor keeps it so).
    const QString chosen = Prompts::SaveFileName(App::MainWindowWidget(), LangText(329),
                                                 Globals().DefaultPath, proposed, LangText(611));
    if (chosen.isEmpty() || !ConfirmOverwrite(chosen))
        return false;
    return SaveDocument(window, chosen);
}
