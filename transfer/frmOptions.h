#pragma once
// Options: the handheld link (connection, number to dial, port), the hub
// folder, the Fill step, the reading options and the comment 2 format.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmOptions : public QDialog
{
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);
    void LoadResources();

    QGroupBox *fraConnectionType, *FrameComPort, *Frame1;
    QRadioButton* optConnectionType[2];
    QRadioButton* OptionComPort[4];
    QLabel *labNumberToDial, *LblSerialIncr, *lblAddress2;
    QLabel* lblHubMissing; // shown while the hub folder named does not exist
    QLineEdit *mskEdNumberToDial, *txtBrenvaskDirectory, *TxtSerialIncr;
    QPushButton *cmdBrowse, *cmdOK, *cmdCancel;
    QCheckBox *ChkEnableHistoryEdit, *ChkLoadBadRecs;
    QComboBox* cboAddress2;

private:
    void portClicked(int index);
    void okClicked();
};
