#include "WalkByImport.h"

#include "AppState.h"
#include "LangText.h"
#include "ListWindow.h"
#include "LoggerList.h"
#include "Prompts.h"
#include "SettingsStore.h"
#include "TransferProgress.h"
#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {
constexpr int kStartWaitMs = 10000;
} // namespace

QString WalkByProgramPath()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("catcom32.exe");
#else
    const QString name = QStringLiteral("catcom32");
#endif
    return QDir::toNativeSeparators(QDir(ProgramFolder()).filePath(name));
}

void ImportWalkByFile()
{
    SetStatusText(QString());
    ListWindow* list = App::UsableActiveList();
    if (!list) {
        ShowMessage(LangText(129));
        return;
    }
    // A child of the main window, so that it can be found while it runs.
    QProcess program(App::MainWindowWidget());
    program.setObjectName(QStringLiteral("catcom32"));
    program.setProgram(WalkByProgramPath());
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    if (!program.waitForStarted(kStartWaitMs)) {
        ShowMessage(LangText(519) + QLatin1Char(' ')); // cannot be started
        return;
    }
    ShowMessage(LangText(527)); // the user downloads meanwhile
    if (program.state() == QProcess::NotRunning) {
        // Nothing left to close; a program that failed says so.
        const bool failed = program.exitStatus() == QProcess::CrashExit || program.exitCode() != 0;
        ShowMessage(LangText(640) +
                    (failed ? LangText(642) + QString::number(program.exitCode()) : QString()));
    } else {
        // Asked to end, and made to after a short wait: a program that
        // hangs never holds the import up for good.
        EndProcess(program);
        if (program.state() != QProcess::NotRunning)
            ShowMessage(LangText(528)); // it would not end: the user closes it
    }

    const QString folder = QDir::toNativeSeparators(Globals().TrundlexPath);
    const QString sep = folder.endsWith(QDir::separator()) ? QString() : QString(QDir::separator());
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    const QString file = folder + sep + names.value(0);
    QFile in(file);
    if (names.isEmpty() || !in.open(QIODevice::ReadOnly)) {
        ShowMessage(LangText(519) + QLatin1Char(' ') + file); // nothing imported or moved
        return;
    }
    const bool readToTheEnd = ReadWalkByLines(in, [list](const QString& line, int number) {
        list->ImportRecord(line, number); // a line it refuses is skipped
    });
    in.close();
    if (!readToTheEnd) {
        ShowMessage(LangText(519) + QLatin1Char(' ') + file); // stays to be imported again
        return;
    }
    ShowMessage(LangText(526));
    // Kept under its ".bak" name, so it is not imported twice.
    const QString backup = file.left(file.size() - 3) + QStringLiteral("bak");
    QFile::remove(backup);
    QFile::rename(file, backup);
}
