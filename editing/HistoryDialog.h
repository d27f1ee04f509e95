#pragma once
// Edit History: one reading of the record in the editor, checked on OK. The
// record itself changes only at the editor's next Update.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class HistoryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit HistoryDialog(QWidget* parent = nullptr);
    void LoadResources();

    // False after load and after Cancel; true after an OK that passed the checks.
    bool Result = false;

    QLineEdit *TxtDate, *TxtStatus, *TxtLevel, *TxtSpread;
    QLabel *LabelDate, *LabelStatus, *LabelLevel, *LabelSpread, *lblError;
    QPushButton *OKButton, *CancelButton;

private:
    void okClicked();
    void cancelClicked();
};
