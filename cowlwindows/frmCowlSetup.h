#pragma once
// Cowl Setup: the user's control panel for the serial link to one logger.
// Choose the port and connect; then read and program the logger, check its
// sensor, look at its histogram, put it to sleep, disconnect. Leaving the
// window always closes the port.

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class frmCowlSetup : public QDialog
{
    Q_OBJECT
public:
    explicit frmCowlSetup(QWidget* parent = nullptr);

    void cmdConnect_Click();
    void cmdDisconnect_Click();
    void cmdReadLogger_Click();
    void cmdCheckSensor_Click();
    void cmdGetGraph_Click();
    void cmdSleep_Click();
    void cmdClose_Click();

    // The five buttons that talk to a connected logger.
    QList<QPushButton*> cowlButtons() const;
    // True while an exchange or a Cowl window runs from here.
    bool busy() const { return m_busy; }

    QGroupBox *framePort, *frameStatus;
    QRadioButton* optCOMPort[4];
    QPushButton *cmdConnect, *cmdDisconnect, *cmdReadLogger, *cmdCheckSensor, *cmdGetGraph,
        *cmdSleep, *cmdClose;
    QLabel* StatusText;

    // Leaving the window, however it is left, closes the port.
    void done(int result) override;

private:
    void UpdateState();
    void EnableCowlButtons();
    void DisableCowlButtons();
    // Every button held still, so that nothing arriving while an exchange
    // lets events run can start a second one.
    void holdAll(bool hold);
    enum class Window { Read, Sensor, Graph };
    void openCowlWindow(Window which);
    void closeLink();

    bool m_busy = false;
    int m_port = 0; // the port of the last connection tried
};
