#pragma once
// A text report viewer: a report the program produced, or any file opened
// that is not a database, in an editable text box that the user may save.

#include "CloseQuestion.h"
#include "PrintableText.h"

#include <QWidget>

class QTextEdit;

class frmDocument : public QWidget, public PrintableText, public CloseQuestion
{
    Q_OBJECT
public:
    explicit frmDocument(QWidget* parent = nullptr);
    // A viewer inside the main window.
    static frmDocument* create();

    void setText(const QString& text);
    QString text() const;
    // Reads a file into the box (rich text as its plain text); a FileResult
    // code, the box left as it was unless Ok.
    int loadFile(const QString& path);
    // Writes the box to the file: rich text for ".rtf" names, plain text otherwise.
    bool saveFile(const QString& path);
    // The overwrite question, the save dialog and the save; true when saved.
    bool saveWithDialog(const QString& dialogTitle);
    void showInMainWindow();

    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    bool AskToClose() override;
    void CloseAnswered() override { m_closeAnswered = true; }

    QTextDocument* printableDocument() override;

    QTextEdit* rtfText;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool m_modified = false;
    bool m_closeAnswered = false;
};
