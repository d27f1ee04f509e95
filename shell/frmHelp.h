#pragma once
// The user guide in a window of the program's own: its chapters down the
// side, the page beside them, back and forward. It works offline and the
// same on every platform.

#include <QWidget>

class QListWidget;
class QTextBrowser;
class QToolButton;

// The guide's first page beside the program, and whether it can be shown
// (there, readable, and holding text).
QString GuideIndexPath();
bool GuideUsable(const QString& indexPath);

class frmHelp : public QWidget
{
    Q_OBJECT
public:
    explicit frmHelp(const QString& indexPath, QWidget* parent = nullptr);

    void showChapter(int row);

    QListWidget* lstContents;
    QTextBrowser* txtGuide;
    QToolButton *cmdBack, *cmdForward, *cmdHome;

private:
    QString m_index;
};
