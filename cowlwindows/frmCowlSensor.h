#pragma once
// Noise level: the logger's live level ten times a second, to check that its
// sensor hears.

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

class frmCowlSensor : public QDialog
{
    Q_OBJECT
public:
    // port: the one the link was opened through, named when the logger does not answer.
    explicit frmCowlSensor(QWidget* parent = nullptr, int port = 0);
    // One reading of the level; false (after one message) when it failed and
    // the polling stopped.
    bool tick();
    bool polling() const { return m_polling; }
    int ticks() const { return m_ticks; }

    QProgressBar* prgNoiseLevel;
    QLabel* lblNoiseLevel;
    QPushButton* cmdClose;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void stop();

    QTimer m_timer;
    bool m_polling = false;
    bool m_failed = false;
    bool m_inTick = false;
    bool m_closeRequested = false;
    int m_closeResult = 0;
    int m_ticks = 0;
    int m_port;
};
