#pragma once
// Shown while an outside program runs: what is happening in words, a busy
// bar, the command line under Details, and Cancel, which ends the program.
// The window closes itself when the program ends, so the user is never left
// waiting on a program that hangs.

#include <QDialog>

class QLabel;
class QProcess;
class QPushButton;
class QToolButton;

class TransferProgress : public QDialog
{
    Q_OBJECT
public:
    TransferProgress(QProcess& process, const QString& what, const QString& commandLine,
                     QWidget* parent = nullptr);
    bool cancelled() const { return m_cancelled; }
    const QProcess& process() const { return m_process; }

    QLabel* lblWhat;
    QToolButton* cmdDetails; // shows or hides the command line
    QLabel* lblCommand;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QProcess& m_process;
    bool m_cancelled = false;
};

// Asks a program to end, then makes it end after a short wait.
void EndProcess(QProcess& process);
