#pragma once
// The harness of the window tests: every prompt is answered from a script
// queued in advance (a prompt nobody expected fails the test), settings live
// in a temporary folder, and the program folder is a temporary copy.

#include "AppState.h"
#include "LangText.h"
#include "Prompts.h"
#include "RecordStore.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "Utilities.h"
#include "frmDMA.h"
#include "frmMain.h"

#include <QDialog>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <functional>

// The list windows of the main window, in the order they were opened.
inline QList<frmDMA*> listWindows(frmMain* main)
{
    QList<frmDMA*> out;
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
        if (auto* list = qobject_cast<frmDMA*>(sub->widget()))
            out << list;
    return out;
}

// The list window bound to the editor, or null.
inline frmDMA* ActiveListWindow()
{
    return qobject_cast<frmDMA*>(App::ActiveList());
}

// The message boxes the program shows, by the ShowMessage code they must
// offer: the buttons, the icon and the default button together.
namespace Box {
constexpr int Plain = MsgButtons::OK;
constexpr int OKCancel = MsgButtons::OKCancel;
constexpr int Information = MsgButtons::OK + MsgButtons::Information;
// Removing records, replacing a file, duplicated serials.
constexpr int YesNoStop = MsgButtons::YesNo + MsgButtons::Stop + MsgButtons::SecondDefault;
// Closing a window with unsaved changes.
constexpr int YesNoCancelWarning =
    MsgButtons::YesNoCancel + MsgButtons::Exclamation + MsgButtons::SecondDefault;
} // namespace Box

// A modal window the test works in and then leaves; checks inside may fail
// (they leave the work early), and the window's own result is returned.
inline std::function<int(QDialog&)> inWindow(std::function<void(QDialog&)> work)
{
    return [work](QDialog& d) {
        work(d);
        return d.result();
    };
}

class ScriptedPrompts : public Prompts::Handler
{
public:
    enum Kind { Message, OpenFile, SaveFile, Input, Modal, Folder, Font };
    struct Step
    {
        Kind kind;
        QString answerText{};                 // file name or input text
        int answer = 0;                       // message button
        QString expectContains{};             // the prompt (or dialog name) must contain this
        std::function<int(QDialog&)> modal{}; // runs a modal window
        int buttons = 0;                      // the message box must offer exactly these
        QString title{};                      // and, when given, this title
        std::function<void()> meanwhile{};    // what the user does while a message is up
    };

    // What the user will do, in order. A message box must offer the buttons
    // (a Box code), and the answer must be one of them.
    void message(int buttons, int answer, const QString& contains = QString(),
                 const QString& title = QString())
    {
        m_steps.push_back({Message, {}, answer, contains, {}, buttons, title, {}});
    }
    // A message during which the user does something else first.
    void messageWhile(int buttons, int answer, const QString& contains,
                      std::function<void()> meanwhile)
    {
        m_steps.push_back({Message, {}, answer, contains, {}, buttons, {}, std::move(meanwhile)});
    }
    void openFile(const QString& path) { m_steps.push_back({OpenFile, path}); }
    void saveFile(const QString& path, const QString& proposedContains = QString())
    {
        m_steps.push_back({SaveFile, path, 0, proposedContains});
    }
    void input(const QString& text) { m_steps.push_back({Input, text}); }
    void folder(const QString& path) { m_steps.push_back({Folder, path}); }
    // The font dialog: the family and point size chosen; an empty family cancels.
    void font(const QString& family, int points) { m_steps.push_back({Font, family, points}); }
    void modal(const QString& objectName, std::function<int(QDialog&)> run)
    {
        m_steps.push_back({Modal, {}, 0, objectName, std::move(run)});
    }
    // The splash window, left to close by itself; it comes before anything else.
    void splash()
    {
        const auto run = [](QDialog& d) { return Prompts::RunModal(d); };
        m_steps.push_front({Modal, {}, 0, QStringLiteral("frmSplash"), run});
    }

    bool done() const { return m_steps.empty(); }
    QStringList shown;            // every prompt text, in order
    QStringList saveFolders;      // the folders the save dialogs opened in
    QList<QFont> fontsOffered;    // the fonts the font dialogs started from
    int cursorsDuringPrompts = 0; // prompts shown under a busy mouse pointer

    int message(const QString& prompt, int buttons, const QString& title) override
    {
        shown << prompt;
        noteCursor();
        const Step s = next(Message, prompt);
        const int offered = buttons & 0x7;
        const int safe = offered == MsgButtons::YesNo ? MsgAnswer::No
                         : offered                    ? MsgAnswer::Cancel
                                                      : MsgAnswer::OK;
        if (s.kind != Message)
            return safe;
        if (buttons != s.buttons) {
            fail(QStringLiteral("message '%1' offered buttons %2, expected %3")
                     .arg(prompt, QString::number(buttons), QString::number(s.buttons)));
            return safe;
        }
        if (!s.title.isEmpty() && title != s.title)
            fail(QStringLiteral("message '%1' titled '%2', expected '%3'")
                     .arg(prompt, title, s.title));
        if (s.meanwhile)
            s.meanwhile();
        if (!answers(offered).contains(s.answer)) {
            fail(QStringLiteral("answer %1 is not a button of message '%2'")
                     .arg(QString::number(s.answer), prompt));
            return safe;
        }
        return s.answer;
    }
    QString openFileName(const QString& title, const QString&, const QString&) override
    {
        return answerText(OpenFile, title);
    }
    QString saveFileName(const QString& title, const QString& folder, const QString& fileName,
                         const QString&) override
    {
        saveFolders << folder;
        if (!m_steps.empty() && m_steps.front().kind == SaveFile &&
            !m_steps.front().expectContains.isEmpty() && fileName != m_steps.front().expectContains)
            fail(QStringLiteral("save dialog proposed '%1', expected '%2'")
                     .arg(fileName, m_steps.front().expectContains));
        return answerText(SaveFile, title);
    }
    QString inputBox(const QString& prompt, const QString&, const QString&) override
    {
        shown << prompt;
        return answerText(Input, prompt);
    }
    QString folderName(const QString& title, const QString&) override
    {
        return answerText(Folder, title);
    }
    std::optional<QFont> font(const QFont& initial) override
    {
        noteCursor();
        fontsOffered << initial;
        const Step s = next(Font, initial.family());
        if (s.kind != Font || s.answerText.isEmpty())
            return std::nullopt;
        QFont chosen(s.answerText);
        chosen.setPointSize(s.answer);
        return chosen;
    }
    int showModal(QDialog& dialog) override
    {
        const Step s = next(Modal, dialog.objectName());
        if (s.kind != Modal)
            return QDialog::Rejected;
        if (!s.expectContains.isEmpty() && dialog.objectName() != s.expectContains)
            fail(QStringLiteral("modal window %1, expected %2")
                     .arg(dialog.objectName(), s.expectContains));
        return s.modal(dialog);
    }

private:
    static QList<int> answers(int offered)
    {
        namespace A = MsgAnswer;
        return offered == MsgButtons::OKCancel      ? QList<int>{A::OK, A::Cancel}
               : offered == MsgButtons::YesNoCancel ? QList<int>{A::Yes, A::No, A::Cancel}
               : offered == MsgButtons::YesNo       ? QList<int>{A::Yes, A::No}
                                                    : QList<int>{A::OK};
    }
    QString answerText(Kind kind, const QString& what)
    {
        noteCursor();
        const Step s = next(kind, what);
        return s.kind == kind ? s.answerText : QString();
    }
    static void fail(const QString& why) { QTest::qFail(qPrintable(why), __FILE__, __LINE__); }
    void noteCursor()
    {
        if (QGuiApplication::overrideCursor())
            ++cursorsDuringPrompts;
    }
    Step next(Kind kind, const QString& what)
    {
        static const char* names[] = {"message",      "open dialog",   "save dialog", "input box",
                                      "modal window", "folder dialog", "font dialog"};
        if (m_steps.empty() || m_steps.front().kind != kind) {
            fail(QStringLiteral("unexpected %1: %2").arg(QLatin1String(names[kind]), what));
            return {Kind(-1)};
        }
        Step s = m_steps.front();
        m_steps.pop_front();
        if (kind == Message && !s.expectContains.isEmpty() && !what.contains(s.expectContains))
            fail(QStringLiteral("message '%1' lacks '%2'").arg(what, s.expectContains));
        return s;
    }
    std::deque<Step> m_steps;
};

// One program run per test: a fresh settings file and program folder.
class GuiFixture
{
public:
    GuiFixture()
    {
        m_program = m_dir.filePath(QStringLiteral("program"));
        QDir().mkpath(m_program);
        QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/lang/lang_en.txt"),
                    m_program + QStringLiteral("/lang_en.txt"));
        SetProgramFolderForTesting(m_program);
        SettingsStore::useFileForTesting(m_dir.filePath(QStringLiteral("settings.ini")));
        Prompts::SetHandler(&prompts);
        DMAModule().clear();
        Globals() = ProgramSettings();
    }
    ~GuiFixture()
    {
        if (!prompts.done())
            QTest::qFail("prompts queued but never shown", __FILE__, __LINE__);
        if (prompts.cursorsDuringPrompts)
            QTest::qFail("a prompt was shown under the busy mouse pointer", __FILE__, __LINE__);
        delete MainWindow();
        App::ResetForTesting();
        Prompts::SetHandler(nullptr);
        SetStatusSink(nullptr);
        SetLangFailureHandler(nullptr);
        SettingsStore::useFileForTesting(QString());
        SetProgramFolderForTesting(QString());
    }

    // Starts the program with these arguments, the splash closing by itself.
    frmMain* start(const QStringList& args = {})
    {
        prompts.splash();
        StartUpOptions fast;
        fast.splashTickMs = 0;
        StartUp(args, fast);
        if (!QTest::qWaitForWindowExposed(MainWindow()))
            QTest::qFail("main window not shown", __FILE__, __LINE__);
        return MainWindow();
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString programFolder() const { return m_program; }
    // A copy of a sample file in the test's folder.
    QString sample(const char* name, const QString& as = QString()) const
    {
        const QString to = path(as.isEmpty() ? QLatin1String(name) : as);
        QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/samples/") + QLatin1String(name), to);
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
        return to;
    }

    // A hub folder holding copies of the north sample under these names, set as the setting.
    QString hub(const QStringList& names)
    {
        const QString folder = path(QStringLiteral("hub"));
        QDir().mkpath(folder);
        for (const QString& name : names)
            QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/samples/north.csv"),
                        folder + QLatin1Char('/') + name);
        SettingsStore::setText(Setting::BrenvaskDirectory, folder);
        return folder;
    }
    // A file of these bytes in the test's folder.
    QString file(const QString& name, const QByteArray& bytes) const
    {
        QFile out(path(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            QTest::qFail("cannot write a test file", __FILE__, __LINE__);
        return path(name);
    }

    ScriptedPrompts prompts;

private:
    QTemporaryDir m_dir;
    QString m_program;
};
