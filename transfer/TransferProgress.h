#pragma once
// Shown while an outside program runs: its command line, a busy bar, and
// Cancel, which ends the program. The window closes itself when the program
// ends, so the user is never left waiting on a program that hangs.

#include <QDialog>

class QLabel;
class QProcess;
class QPushButton;

class TransferProgress : public QDialog
{
    Q_OBJECT
public:
    TransferProgress(QProcess& process, const QString& commandLine, QWidget* parent = nullptr);
    bool cancelled() const { return m_cancelled; }
    const QProcess& process() const { return m_process; }

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
