#pragma once
// A file handed to the program as a user would, and what the program said
// about it; and the memory that costs, measured in a process of its own. For
// the test and the benchmark that bound what the largest inputs cost.

#include "AppState.h"
#include "BigInputs.h"
#include "DatabaseReader.h"
#include "LangText.h"
#include "Prompts.h"
#include "RecordStore.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "Utilities.h"
#include "frmDMA.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QProcess>
#include <cstdio>
#include <memory>

// The program started offscreen as a user has it, handed one file at a time
// through File > Open: its messages are noted and answered with their first
// button.
class OpenAsUser : public Prompts::Handler
{
public:
    // The program folder holds the language file; settings go beside it.
    explicit OpenAsUser(const QString& programFolder)
    {
        SetProgramFolderForTesting(programFolder);
        SettingsStore::useFileForTesting(programFolder + QStringLiteral("/settings.ini"));
        Prompts::SetHandler(this);
        StartUpOptions fast;
        fast.splashTickMs = 0;
        StartUp({}, fast);
        QCoreApplication::processEvents();
        m_said.clear(); // start-up's own words are not the file's
    }
    ~OpenAsUser() override
    {
        delete MainWindow();
        App::ResetForTesting();
        Prompts::SetHandler(nullptr);
        SetStatusSink(nullptr);
        SetLangFailureHandler(nullptr);
    }

    // File > Open of the path, and what the program said: its messages, or
    // the loggers or the text its new window shows.
    QString open(const QString& path)
    {
        m_said.clear();
        m_path = path;
        MainWindow()->command(QStringLiteral("mnuFileOpen"))->trigger();
        QCoreApplication::processEvents();
        if (m_said.isEmpty())
            if (QMdiSubWindow* sub = MainWindow()->mdiArea()->activeSubWindow()) {
                if (auto* list = qobject_cast<frmDMA*>(sub->widget()))
                    m_said << QStringLiteral("opened %1 loggers").arg(list->RecordCount());
                else if (auto* viewer = qobject_cast<frmDocument*>(sub->widget()))
                    m_said << QStringLiteral("shows %1 characters").arg(viewer->text().size());
            }
        if (!MainWindow()->statusText().isEmpty())
            m_said << QStringLiteral("status: ") + MainWindow()->statusText();
        return m_said.join(QLatin1Char('\n'));
    }
    // Closes every window the files opened, asking nothing.
    void closeAll()
    {
        for (QMdiSubWindow* sub : MainWindow()->mdiArea()->subWindowList()) {
            if (auto* viewer = qobject_cast<frmDocument*>(sub->widget()))
                viewer->setModified(false);
            sub->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    int message(const QString& prompt, int, const QString&) override
    {
        m_said << prompt;
        return MsgAnswer::OK;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return m_path; }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString folderName(const QString&, const QString&) override { return {}; }
    std::optional<QFont> font(const QFont&) override { return {}; }
    int showModal(QDialog& dialog) override // the splash, closed at once
    {
        m_said << dialog.objectName();
        return QDialog::Accepted;
    }

private:
    QStringList m_said;
    QString m_path;
};

namespace HandOver {

// The ways a file reaches the program: the core reader alone, File > Open in
// the program, a lookup in the language file of the file's folder.
enum class Way { CoreRead, FileOpen, LanguageLookup };
inline const char* const kWayNames[] = {"read", "open", "lang"};

// What the program said of the file (program: a started one, for FileOpen).
inline QString handOver(Way way, const QString& path, OpenAsUser* program)
{
    switch (way) {
    case Way::CoreRead: {
        static RecordStore store;
        const int result = ReadDatabaseFile(store, path);
        return result == FileResult::Ok ? QStringLiteral("read %1 loggers").arg(store.StoreCount)
                                        : FileErrorText(result, true, store);
    }
    case Way::FileOpen:
        return program->open(path);
    case Way::LanguageLookup:
        SetProgramFolderForTesting(QFileInfo(path).absolutePath());
        return QStringLiteral("string 169 reads \"%1\"").arg(LangText(169));
    }
    return {};
}

// A memory figure of this process in bytes ("VmRSS:   1234 kB"); -1 where the
// system does not say. VmHWM is the peak since the last reset.
inline qint64 memoryBytes(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith(name))
                return line.simplified().split(' ').value(1).toLongLong() * 1024;
    return -1;
}

// The process measured: "--hand-over WAY PATH PROGRAM-FOLDER" hands the file
// over and prints the memory that added at its peak, a tab, and what the
// program said. Returns -1 for any other arguments.
inline int runIfAsked(const QStringList& args)
{
    if (args.size() != 5 || args[1] != QLatin1String("--hand-over"))
        return -1;
    int w = 0;
    while (w < 3 && args[2] != QLatin1String(kWayNames[w]))
        ++w;
    if (w == 3)
        return 64;
    const Way way = Way(w);
    std::unique_ptr<OpenAsUser> program;
    if (way == Way::FileOpen)
        program = std::make_unique<OpenAsUser>(args[4]);
    const qint64 before = memoryBytes("VmRSS:");
    QFile clear(QStringLiteral("/proc/self/clear_refs")); // the peak starts again (Linux 4.0 on)
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    const QString said = handOver(way, args[3], program.get());
    const qint64 peak = memoryBytes("VmHWM:");
    std::printf("%lld\t%s", peak < 0 || before < 0 ? -1LL : peak - before,
                qPrintable(said.simplified()));
    return 0;
}

struct Measured
{
    bool ran = false;
    qint64 peakBytes = -1; // added at the peak; -1 where the system does not say
    QString said;
};

// Hands the file over in a fresh process of this program (which calls
// runIfAsked first thing).
inline Measured measure(Way way, const QString& path, const QString& programFolder)
{
    QProcess p;
    p.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--hand-over"), QLatin1String(kWayNames[int(way)]), path, programFolder});
    Measured m;
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return m;
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    m.ran = true;
    m.peakBytes = out.section(QLatin1Char('\t'), 0, 0).toLongLong();
    m.said = out.section(QLatin1Char('\t'), 1);
    return m;
}

} // namespace HandOver
