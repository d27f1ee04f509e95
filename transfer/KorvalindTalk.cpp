#include "KorvalindTalk.h"

#include "AppState.h"
#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "LangText.h"
#include "ListWindow.h"
#include "ListWindowFeature.h"
#include "LoggerList.h"
#include "Prompts.h"
#include "SettingsStore.h"
#include "TransferError.h"
#include "TransferFolders.h"
#include "TransferProgress.h"
#include "Utilities.h"
#include "WindowHost.h"
#include "frmSelection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>

namespace KorvalindTalk {

namespace {

constexpr qint64 kErrorFileLimit = 64 * 1024; // an error file is two short lines
constexpr int kStartWaitMs = 10000;

QString programName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("KorvalindTalk.exe");
#else
    return QStringLiteral("KorvalindTalk");
#endif
}

// Items 2 to 5 of the command line.
QStringList arguments(const QString& mode, const QString& folder)
{
    const ProgramSettings& g = Globals();
    return {g.UseModem ? QStringLiteral("Modem=") + g.NumberToDial : QStringLiteral("Direct"),
            QStringLiteral("ComPort=") + QString::number(g.ComPort), mode, folder};
}

// How the program reaches the handheld, in words: the port, and the number a
// modem dials.
QString through()
{
    const ProgramSettings& g = Globals();
    QString text = QString::number(g.ComPort);
    if (g.UseModem)
        text += LangText(725) + g.NumberToDial;
    return text;
}

void interact(bool allow)
{
    if (WindowHost* host = App::Host())
        host->Interact(allow);
}

// A received file as a new, unsaved, untitled list window numbered by the
// download counter.
void openReceived(const QString& path)
{
    ListWindow* window = OpenDocument(path, true);
    if (!window)
        return; // the reader has said why; the next file is opened all the same
    LoggerList& doc = window->document();
    doc.AskForSave = true;
    doc.NeverBeenSaved = true;
    doc.DMAName = FileTitle(doc.DMAName);
    ProgramSettings& g = Globals();
    window->setCaption(LangText(210) + QString::number(g.DownLoadCount) + QLatin1Char(' ') +
                       doc.DMAName);
    if (g.DownLoadCount < INT16_MAX)
        ++g.DownLoadCount;
}

// The list windows in the order they were made.
QList<ListWindow*> listWindows()
{
    QList<ListWindow*> out;
    if (WindowHost* host = App::Host())
        for (QWidget* w : host->childWindows())
            if (auto* list = qobject_cast<ListWindow*>(w); list && App::IsObjectAlive(list))
                out << list;
    return out;
}

// The handheld's name for a list window's list.
QString sentName(const LoggerList& doc)
{
    QString name = FileTitle(doc.DMAName);
    const QString upper = doc.DMAName.toUpper();
    if (!upper.endsWith(QLatin1String(".PDB"))) {
        if (upper.endsWith(QLatin1String(".CSV")))
            name = name.left(name.size() - 4) + QStringLiteral(".PDB");
        else
            name += QStringLiteral(".PDB");
    }
    return name;
}

// Writes the lists of the windows into the "to" folder; *sent gets the names
// of the lists written. Two windows of one name make one file, the later
// replacing the earlier: the user is told which list will not reach the
// handheld.
QString writeLists(const QList<ListWindow*>& windows, QStringList* sent)
{
    QHash<QString, QString> sentBy;  // file name, case ignored -> the window's caption
    QHash<QString, QString> written; // file name, case ignored -> the list's name
    QStringList order, replaced;
    for (ListWindow* window : windows) {
        LoggerList& doc = window->document();
        if (doc.RecordCount() < 1)
            continue;
        doc.CopyTo(DMAModule());
        const QString name = sentName(doc);
        const QString path = KorvalindToDir() + QDir::separator() + name;
#ifdef Q_OS_WIN
        const QString key = name.toLower(); // one file, whatever the case
#else
        const QString key = name;
#endif
        if (sentBy.contains(key))
            replaced << sentBy.value(key);
        else
            order << key;
        sentBy.insert(key, doc.Caption);
        written.remove(key);
        const int result = WriteKorvalindFile(path);
        if (result != FileResult::Ok)
            ShowMessage(FileErrorText(result, false) + QStringLiteral(":\n") + path);
        else
            written.insert(key, FileTitle(doc.DMAName));
    }
    for (const QString& key : order)
        if (written.contains(key))
            *sent << written.value(key);
    return replaced.isEmpty() ? QString() : LangText(620) + replaced.join(QStringLiteral(", "));
}

// After a send: the transfer's error text, or which lists went; and which
// did not.
void reportSend(const QStringList& sent, const QString& replaced)
{
    QString shown;
    ReadTransferError(KorvalindFromDir(), &shown);
    if (shown.isEmpty() && !sent.isEmpty())
        shown = sent.join(QStringLiteral(", ")) + LangText(728);
    if (!replaced.isEmpty())
        shown = shown.isEmpty() ? replaced : shown + QStringLiteral("  ") + replaced;
    if (!shown.isEmpty())
        SetStatusText(shown);
}

// Runs the program to receive; false when it did not run to its end (it
// was missing, could not start or was cancelled, and has been told so):
// nothing is then opened, not even what it left half-received.
bool receive()
{
    if (ReadFromKorvalind() == Run::Ran)
        return true;
    ClearFromFolder();
    return false;
}

// The program ran and left nothing: why, when it says, then that nothing came.
void nothingReceived()
{
    ReadTransferError(KorvalindFromDir());
    ShowMessage(LangText(209));
}

} // namespace

QString ProgramPath()
{
    QString base = QDir::toNativeSeparators(ProgramFolder());
    if (!base.endsWith(QLatin1Char('/')) && !base.endsWith(QLatin1Char('\\')))
        base += QDir::separator();
    return base + programName();
}

QString CommandLine(const QString& mode, const QString& folder)
{
    return QLatin1Char('"') + ProgramPath() + QLatin1Char('"') + QLatin1Char(' ') +
           arguments(mode, folder).join(QLatin1Char(' '));
}

Run RunAndWait(const QString& program, const QStringList& args, const QString& commandLine,
               const QString& what)
{
    QProcess process;
    process.setProgram(program);
#ifdef Q_OS_WIN
    // The program reads its command line as the five items stand, unquoted.
    process.setNativeArguments(args.join(QLatin1Char(' ')));
#else
    process.setArguments(args);
#endif
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(kStartWaitMs)) {
        // Not a transfer that went without a word: the user learns which
        // program and why, and nothing is taken as sent or received.
        EndProcess(process);
        ShowMessage(LangText(641) + QDir::toNativeSeparators(program) + QLatin1Char('\n') +
                    process.errorString());
        return Run::NotStarted;
    }
    TransferProgress progress(process, what, commandLine, App::MainWindowWidget());
    Prompts::ShowModal(progress);
    if (process.state() != QProcess::NotRunning) {
        // Closed without the program ending: it is ended, not waited for.
        EndProcess(process);
        return Run::Cancelled;
    }
    return progress.cancelled() ? Run::Cancelled : Run::Ran;
}

Run RunTransfer(const QString& mode, const QString& folder, const QString& what)
{
    const QString exe = ProgramPath();
    // The program must be there under exactly its name.
    QString found;
    const QString wanted = programName();
    for (const QString& name : QDir(QFileInfo(exe).absolutePath()).entryList(QDir::Files))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0 && (found.isEmpty() || name == wanted))
            found = name;
    Run result = Run::Ran;
    if (found != wanted) {
        ShowMessage(found + LangText(208) + exe);
        result = Run::NotFound;
    } else {
        const QString line = CommandLine(mode, folder);
        SetStatusText(line);
        result = RunAndWait(exe, arguments(mode, folder), line, what);
    }
    const bool reading = mode == QLatin1String("READ");
    SetStatusText(result == Run::Cancelled ? LangText(reading ? 730 : 729) : QString());
    return result;
}

Run ReadFromKorvalind()
{
    return RunTransfer(QStringLiteral("READ"), KorvalindFromDir(),
                       LangText(726) + through() + QStringLiteral("..."));
}

Run WriteToKorvalind(const QStringList& lists)
{
    const QString names =
        lists.isEmpty() ? QString() : QLatin1Char(' ') + lists.join(QStringLiteral(", "));
    return RunTransfer(QStringLiteral("WRITE"), KorvalindToDir(),
                       LangText(723) + names + LangText(724) + through());
}

QStringList ListReceivedFiles(const QString& folder)
{
    QStringList files;
    const QDir dir(folder);
    const QString inside = QFileInfo(folder).canonicalFilePath();
    for (const QString& name :
         dir.entryList({QStringLiteral("*.pdb")}, QDir::Files | QDir::NoSymLinks, QDir::Name)) {
        const QFileInfo info(dir.filePath(name));
        // A name is data: only a plain file that really is in the folder.
        if (info.isSymLink() || info.canonicalPath() != inside)
            continue;
        files << QDir::toNativeSeparators(info.filePath());
    }
    return files;
}

int ReadTransferError(const QString& folder, QString* text)
{
    if (text)
        text->clear();
    const QString path = QDir(folder).filePath(QStringLiteral("xfer.err"));
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return -999;
    QFile file(path);
    QByteArray head;
    // Only a plain file: opening a pipe or a device could wait for ever.
    if (info.isFile() && file.open(QIODevice::ReadOnly))
        head = file.read(kErrorFileLimit);
    const TransferError error = ParseTransferError(head);
    SetStatusText(error.text);
    if (text)
        *text = error.text;
    return error.number;
}

void ReceiveAll()
{
    ClearFromFolder();
    if (!receive())
        return;
    interact(false);
    const QStringList files = ListReceivedFiles(KorvalindFromDir());
    if (files.isEmpty()) {
        interact(true);
        nothingReceived();
        return;
    }
    for (const QString& path : files)
        openReceived(path);
    interact(true);
    ReadTransferError(KorvalindFromDir());
}

void ReceiveSelection()
{
    ClearFromFolder();
    if (!receive())
        return;
    const QStringList files = ListReceivedFiles(KorvalindFromDir());
    if (files.isEmpty()) {
        interact(true);
        nothingReceived();
        return;
    }
    frmSelection selection(App::MainWindowWidget());
    selection.setWindowTitle(LangText(211));
    selection.clearNodes();
    for (const QString& path : files)
        selection.addNode(path, FileTitle(path));
    Prompts::ShowModal(selection);
    for (const QString& path : selection.checkedKeys())
        openReceived(path);
    ReadTransferError(KorvalindFromDir());
}

void SendAll()
{
    ClearToFolder();
    interact(false);
    QStringList sent;
    const QString replaced = writeLists(listWindows(), &sent);
    interact(true);
    if (WriteToKorvalind(sent) == Run::Ran)
        reportSend(sent, replaced);
}

void SendSelection()
{
    ClearToFolder();
    const QList<ListWindow*> windows = listWindows();
    frmSelection selection(App::MainWindowWidget());
    selection.setWindowTitle(LangText(212));
    selection.clearNodes();
    for (int i = 0; i < windows.size(); ++i)
        if (windows[i]->document().RecordCount() > 0)
            selection.addNode(QStringLiteral("x%1").arg(i), windows[i]->document().Caption);
    Prompts::ShowModal(selection);
    QList<ListWindow*> chosen;
    for (const QString& key : selection.checkedKeys())
        chosen << windows.value(key.mid(1).toInt());
    QStringList sent;
    const QString replaced = writeLists(chosen, &sent);
    if (WriteToKorvalind(sent) == Run::Ran)
        reportSend(sent, replaced);
}

} // namespace KorvalindTalk
