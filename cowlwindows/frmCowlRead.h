#pragma once
// Logger Communications: every setting of the logger under the Cowl, read
// when the window opens, and the serial, clock, rates and logging days
// programmed behind the service password. After each programming step the
// window shows what the logger reports back.

#include <QDialog>

class QCheckBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class frmCowlRead : public QDialog
{
    Q_OBJECT
public:
    // port: the one the link was opened through, named when the logger does not answer.
    explicit frmCowlRead(QWidget* parent = nullptr, int port = 0);
    // Reads every setting in order; false (after telling the user) at the
    // first that fails, and the window is not to be shown.
    bool load();

    // Index 0 serial, 1 clock, 2 rates, 4 logging days.
    void cmdUpdate_Click(int index);
    void ResetTime_Click();

    QLabel *lblFirmware, *lblSerialNumber, *lblDate, *lblLeakStateRate, *lblNoLeakRate,
        *lblSeconds1, *lblSeconds2, *lblLoggingDays, *lblDays, *lblLastResetTime, *lblLeakStatus,
        *lblBatteryVoltage;
    QLineEdit *txtVersionNumber, *txtSerialNumber, *txtLeakStateRate, *txtNoLeakStateRate,
        *txtLeakStatus, *txtBatteryVoltage;
    QDateTimeEdit *medDate, *timeResetTime;
    QToolButton* ResetTime;
    QCheckBox* chkLoggingDays[7];
    QPushButton* cmdUpdate[5]; // there is no button 3
    QGroupBox *frameStatus, *frameInformation;

    // Not closed while a programming step is under way.
    void done(int result) override;

private:
    bool passwordGiven(int index);
    // The programming step itself; the message to show afterwards (empty: none).
    QString program(int index);
    // The buttons wait while the logger is being programmed.
    void holdButtons(bool hold);
    bool m_busy = false;
    int m_port;
};

// The password before a logger is programmed.
class frmEnterPassword : public QDialog
{
    Q_OBJECT
public:
    explicit frmEnterPassword(QWidget* parent = nullptr);
    QString stringPassword; // what was typed when Enter or OK was pressed; empty otherwise
    QLabel* lblPassword;
    QLineEdit* txtPassword;
    QPushButton *cmdOK, *cmdCancel;
};
