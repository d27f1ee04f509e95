#pragma once
// The small dialogs of the Logger menu: a serial for a new logger, a
// deployed date, and a run of serials to fill.

#include <QDialog>

class MaskedEdit;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TextField;

// Add: the serial of the new logger.
class frmAddNewLogger : public QDialog
{
    Q_OBJECT
public:
    explicit frmAddNewLogger(QWidget* parent = nullptr);
    QString strSerial; // what OK took; empty after Cancel
    QLabel* lblEnterSerial;
    MaskedEdit* mskSerial;
    QPushButton *cmdOK, *cmdCancel;
};

// Change Deploy date: a date for the current logger, or for every logger.
class DateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DateDialog(QWidget* parent = nullptr);
    bool Result = false;
    QLabel* LabelDate;
    TextField* TxtDate;
    QCheckBox* ChkDoAll;
    QPushButton *OKButton, *CancelButton;

private:
    void okClicked();
};

// Fill: a run of new serials. The window lives from its first use to the
// end of the run, so what was typed is there again next time.
class FillDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FillDialog(QWidget* parent = nullptr);
    void LoadResources();
    bool Result = false;
    qint32 TmpSer = 0; // the first serial
    qint32 TmpNum = 0; // how many loggers
    QLabel *LblSerial, *LblNum, *LblIncr, *Labeldummy;
    TextField *TxtSerial, *TxtNum, *TxtIncr;
    QGroupBox* FrameDummy;
    QCheckBox* CheckBoxUseGrid;
    MaskedEdit* txtGridRef;
    QPushButton *OKButton, *CancelButton;

private:
    void okClicked();
};
