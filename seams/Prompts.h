#pragma once
// Every message box, question, input box, file dialog and modal window of the
// program goes through here, so that tests can answer them in advance.

#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

// Button and icon codes of ShowMessage, combined by adding them.
namespace MsgButtons {
enum : int {
    OK = 0,
    OKCancel = 1,
    YesNoCancel = 3,
    YesNo = 4,
    Stop = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    SecondDefault = 256,
    ThirdDefault = 512,
};
}

// What ShowMessage returns.
namespace MsgAnswer {
enum : int { OK = 1, Cancel = 2, Yes = 6, No = 7 };
}

// The one message routine: runs the before-message hook (which hides the
// record editor), shows the prompt and returns the button pressed. With buttons 0 the title passed
// is ignored and the application title shown.
int ShowMessage(const QString& prompt, int buttons = MsgButtons::OK,
                const QString& title = QString(), const QString& helpFile = QString(),
                const QString& context = QString());

// The same with the buttons captioned by these texts, in their order (Yes,
// No, Cancel), where the standard words would not say what each one does.
int ShowMessageCaptioned(const QString& prompt, int buttons, const QStringList& captions,
                         const QString& title = QString());

namespace Prompts {

// Filters are given as the language files write them: "text|pattern|text|pattern".
QString OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter);
// The dialog starts in folder with fileName proposed; empty on cancel.
QString SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                     const QString& fileName, const QString& filter);
// A folder chosen, starting at folder; empty on cancel.
QString FolderName(QWidget* parent, const QString& title, const QString& folder);
// A font chosen, starting from initial; nothing on cancel.
std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial);
// The text typed, or a null string on cancel.
QString InputBox(const QString& prompt, const QString& title,
                 const QString& defaultText = QString());
// Shows a modal window and returns its result.
int ShowModal(QDialog& dialog);
// Runs a modal window's event loop (what ShowModal does without a handler).
// Unlike QDialog::exec it also returns when the window closes itself while
// it is being shown, as a splash with a short display time may.
int RunModal(QDialog& dialog);

// Converts a language-file filter to Qt's "text (pattern);;text (pattern)".
QString QtFilter(const QString& filter);

// Tests install a handler that answers instead of the user.
class Handler
{
public:
    virtual ~Handler() = default;
    virtual int message(const QString& prompt, int buttons, const QString& title) = 0;
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& fileName, const QString& filter) = 0;
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    virtual QString folderName(const QString& title, const QString& folder) = 0;
    virtual std::optional<QFont> font(const QFont& initial) = 0;
    virtual int showModal(QDialog& dialog) = 0;
};
void SetHandler(Handler* handler);

// The program's one question before a file is replaced (Yes and No, the stop
// icon, No the default): true when nothing of that name exists or the user
// answers Yes.
bool ConfirmReplaceFile(const QString& path);

} // namespace Prompts
