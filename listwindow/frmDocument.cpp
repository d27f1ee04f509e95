#include "frmDocument.h"

#include "Ansi.h"
#include "AppState.h"
#include "Documents.h"
#include "FileResult.h"
#include "LangText.h"
#include "Prompts.h"
#include "RichText.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "WindowHost.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QTextEdit>

frmDocument::frmDocument(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form1"));
    rtfText = new QTextEdit(this);
    rtfText->setObjectName(QStringLiteral("rtfText"));
    rtfText->setAcceptRichText(false);
    rtfText->setLineWrapMode(QTextEdit::NoWrap);
    rtfText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    connect(rtfText, &QTextEdit::textChanged, this, [this] { m_modified = true; });
    resize(600, 400);
    m_modified = false;
}

frmDocument* frmDocument::create()
{
    auto* viewer = new frmDocument;
    if (WindowHost* host = App::Host())
        host->addChildWindow(viewer);
    return viewer;
}

void frmDocument::showInMainWindow()
{
    show();
    if (QWidget* sub = parentWidget())
        sub->show();
}

void frmDocument::setText(const QString& text)
{
    rtfText->setPlainText(text);
}

QString frmDocument::text() const
{
    return rtfText->toPlainText();
}

int frmDocument::loadFile(const QString& path)
{
    QString text;
    const int result = ReadViewerText(path, text);
    if (result != FileResult::Ok)
        return result;
    setText(text);
    m_modified = false; // as it is on disk
    return result;
}

bool frmDocument::saveFile(const QString& path)
{
    QByteArray bytes;
    if (path.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive)) {
        bytes = TextToRtf(text());
    } else {
        QString plain = text();
        plain.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        const std::string ansi = Ansi::fromQString(plain);
        bytes = QByteArray(ansi.data(), static_cast<qsizetype>(ansi.size()));
    }
    return WriteFileAtomically(
        path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); });
}

bool frmDocument::saveWithDialog(const QString& dialogTitle)
{
    const QString name = windowTitle();
    if (!ConfirmOverwrite(name))
        return false;
    const QFileInfo info(name);
    const QString folder = info.isAbsolute() ? info.absolutePath() : Globals().DefaultPath;
    const QString chosen =
        Prompts::SaveFileName(this, dialogTitle, folder, info.fileName(), LangText(311));
    if (chosen.isEmpty())
        return false;
    // The question above was about the caption; the file picked may be another.
    const bool sameFile =
        info.isAbsolute() && QFileInfo(chosen).absoluteFilePath() == info.absoluteFilePath();
    if (!sameFile && !ConfirmOverwrite(chosen))
        return false;
    if (!saveFile(chosen)) {
        ShowMessage(LangText(173) + QStringLiteral(":\n") + chosen); // could not be written
        return false;
    }
    setWindowTitle(chosen);
    m_modified = false; // saved: closing need not ask again
    return true;
}

bool frmDocument::AskToClose()
{
    if (!m_modified)
        return true;
    const int answer =
        ShowMessage(LangText(228) + windowTitle() + QLatin1Char('?'),
                    MsgButtons::YesNoCancel + MsgButtons::Exclamation + MsgButtons::SecondDefault);
    return answer == MsgAnswer::No || (answer == MsgAnswer::Yes && saveWithDialog(LangText(319)));
}

void frmDocument::closeEvent(QCloseEvent* event)
{
    if (!m_closeAnswered && !AskToClose()) {
        event->ignore();
        return;
    }
    App::MarkClosed(this);
    event->accept();
}

void frmDocument::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    rtfText->setGeometry(2, 2, std::max(width() - 2, 0), std::max(height() - 2, 0));
}

QTextDocument* frmDocument::printableDocument()
{
    return rtfText->document();
}
