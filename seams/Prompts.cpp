#include "Prompts.h"

#include "AppState.h"
#include "LangText.h"

#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The normal mouse pointer while a prompt is up: a question must never
// appear under the hourglass of the work that asks it. The work's pointer
// comes back when the prompt is answered.
class NormalPointer
{
public:
    NormalPointer()
    {
        while (const QCursor* busy = QGuiApplication::overrideCursor()) {
            m_saved.prepend(*busy);
            QGuiApplication::restoreOverrideCursor();
        }
    }
    ~NormalPointer()
    {
        for (const QCursor& c : m_saved)
            QGuiApplication::setOverrideCursor(c);
    }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    QList<QCursor> m_saved;
};

Prompts::Handler* g_handler = nullptr;

QWidget* dialogParent()
{
    return App::MainWindowWidget();
}

int messageBox(const QString& prompt, int buttons, const QString& title,
               const QStringList& captions = QStringList())
{
    QMessageBox box(dialogParent());
    box.setText(prompt);
    box.setWindowTitle(title);
    switch (buttons & 0x70) {
    case MsgButtons::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgButtons::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgButtons::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgButtons::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Choice
    {
        QMessageBox::StandardButton button;
        int answer;
    };
    QList<Choice> choices;
    switch (buttons & 0x7) {
    case MsgButtons::OKCancel:
        choices = {{QMessageBox::Ok, MsgAnswer::OK}, {QMessageBox::Cancel, MsgAnswer::Cancel}};
        break;
    case MsgButtons::YesNoCancel:
        choices = {{QMessageBox::Yes, MsgAnswer::Yes},
                   {QMessageBox::No, MsgAnswer::No},
                   {QMessageBox::Cancel, MsgAnswer::Cancel}};
        break;
    case MsgButtons::YesNo:
        choices = {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}};
        break;
    default:
        choices = {{QMessageBox::Ok, MsgAnswer::OK}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const Choice& c : choices)
        set |= c.button;
    box.setStandardButtons(set);
    for (qsizetype i = 0; i < captions.size() && i < choices.size(); ++i) {
        QAbstractButton* button = box.button(choices[i].button);
        button->setText(captions[i]);
        button->setIcon(QIcon()); // the yes and no marks would contradict the words
    }
    const int defaultIndex = (buttons & MsgButtons::ThirdDefault)    ? 2
                             : (buttons & MsgButtons::SecondDefault) ? 1
                                                                     : 0;
    if (defaultIndex < choices.size())
        box.setDefaultButton(choices[defaultIndex].button);
    const QMessageBox::StandardButton pressed =
        static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Choice& c : choices)
        if (c.button == pressed)
            return c.answer;
    // Closed without a button: the answer that changes nothing.
    if (set & QMessageBox::Cancel)
        return MsgAnswer::Cancel;
    if (set & QMessageBox::No)
        return MsgAnswer::No;
    return MsgAnswer::OK;
}

} // namespace

int ShowMessage(const QString& prompt, int buttons, const QString& title, const QString& helpFile,
                const QString& context)
{
    Q_UNUSED(helpFile);
    Q_UNUSED(context);
    const QString shownTitle =
        (buttons == MsgButtons::OK || title.isEmpty()) ? App::ApplicationTitle() : title;
    NormalPointer pointer;
    if (g_handler)
        return g_handler->message(prompt, buttons, shownTitle);
    return messageBox(prompt, buttons, shownTitle);
}

int ShowMessageCaptioned(const QString& prompt, int buttons, const QStringList& captions,
                         const QString& title)
{
    const QString shownTitle = title.isEmpty() ? App::ApplicationTitle() : title;
    NormalPointer pointer;
    if (g_handler)
        return g_handler->message(prompt, buttons, shownTitle);
    return messageBox(prompt, buttons, shownTitle, captions);
}

namespace Prompts {

QString QtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!text.contains(QLatin1Char('(')))
            text += QStringLiteral(" (") + patterns + QLatin1Char(')');
        else
            text = text.left(text.indexOf(QLatin1Char('('))) + QLatin1Char('(') + patterns +
                   QLatin1Char(')');
        out << text;
    }
    return out.join(QStringLiteral(";;"));
}

QString OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter)
{
    NormalPointer pointer;
    if (g_handler)
        return g_handler->openFileName(title, folder, filter);
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(parent ? parent : dialogParent(),
                                                                 title, folder, QtFilter(filter)));
}

QString SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                     const QString& fileName, const QString& filter)
{
    NormalPointer pointer;
    if (g_handler)
        return g_handler->saveFileName(title, folder, fileName, filter);
    // The program asks its own question before replacing a file.
    return QDir::toNativeSeparators(QFileDialog::getSaveFileName(
        parent ? parent : dialogParent(), title, QDir(folder).filePath(fileName), QtFilter(filter),
        nullptr, QFileDialog::DontConfirmOverwrite));
}

QString FolderName(QWidget* parent, const QString& title, const QString& folder)
{
    NormalPointer pointer;
    if (g_handler)
        return g_handler->folderName(title, folder);
    return QDir::toNativeSeparators(
        QFileDialog::getExistingDirectory(parent ? parent : dialogParent(), title, folder));
}

std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial)
{
    NormalPointer pointer;
    if (g_handler)
        return g_handler->font(initial);
    bool ok = false;
    // Screen and printer fonts alike; a report wants a fixed-pitch one, but
    // the user may know better.
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent ? parent : dialogParent());
    return ok ? std::optional<QFont>(chosen) : std::nullopt;
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    NormalPointer pointer;
    if (g_handler)
        return g_handler->inputBox(prompt, title, defaultText);
    bool ok = false;
    const QString text =
        QInputDialog::getText(dialogParent(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

int ShowModal(QDialog& dialog)
{
    NormalPointer pointer;
    if (g_handler)
        return g_handler->showModal(dialog);
    return RunModal(dialog);
}

int RunModal(QDialog& dialog)
{
    QEventLoop loop;
    bool finished = false;
    const QMetaObject::Connection done = QObject::connect(&dialog, &QDialog::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    if (!finished)
        loop.exec(QEventLoop::DialogExec);
    QObject::disconnect(done);
    return dialog.result();
}

void SetHandler(Handler* handler)
{
    g_handler = handler;
}

bool ConfirmReplaceFile(const QString& path)
{
    // Hidden files too: whatever is there would be lost.
    if (!QFileInfo::exists(path))
        return true;
    return ShowMessage(LangText(337) + path + QLatin1Char('?'),
                       MsgButtons::YesNo + MsgButtons::Stop + MsgButtons::SecondDefault,
                       App::ApplicationTitle()) == MsgAnswer::Yes;
}

} // namespace Prompts
