#include "LoggerDialogs.h"

#include "Ansi.h"
#include "AppState.h"
#include "EditorFields.h"
#include "LangText.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "SettingsStore.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

qint64 numberIn(const QString& text, qint64 lo, qint64 hi)
{
    return WholeNumberValue(Ansi::fromQString(text), lo, hi);
}

// OK and Cancel in a row at the bottom of a dialog.
QHBoxLayout* okCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(LangText(474), dialog);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    cancel = new QPushButton(LangText(246), dialog);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

frmAddNewLogger::frmAddNewLogger(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAddNewLogger"));
    setWindowTitle(App::ApplicationTitle());
    lblEnterSerial = new QLabel(LangText(130), this);
    mskSerial = new MaskedEdit(QStringLiteral("########"), this);
    mskSerial->setObjectName(QStringLiteral("mskSerial"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblEnterSerial);
    layout->addWidget(mskSerial);
    layout->addLayout(okCancel(this, cmdOK, cmdCancel));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        strSerial = mskSerial->value();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        strSerial.clear();
        reject();
    });
}

DateDialog::DateDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DateDialog"));
    setWindowTitle(LangText(475)); // Edit Date
    LabelDate = new QLabel(LangText(164), this);
    TxtDate = new TextField(20, this);
    TxtDate->setObjectName(QStringLiteral("TxtDate"));
    TxtDate->setText(QStringLiteral("0000/00/00"));
    ChkDoAll = new QCheckBox(LangText(476), this);
    ChkDoAll->setObjectName(QStringLiteral("ChkDoAll"));
    auto* form = new QFormLayout;
    form->addRow(LabelDate, TxtDate);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ChkDoAll);
    layout->addLayout(okCancel(this, OKButton, CancelButton));
    connect(OKButton, &QPushButton::clicked, this, &DateDialog::okClicked);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void DateDialog::okClicked()
{
    TxtDate->setText(TxtDate->text().trimmed());
    if (!IsValidDate(Ansi::fromQString(TxtDate->text()))) {
        ShowMessage(LangText(385)); // the dialog stays open
        return;
    }
    Result = true; // an empty date is valid: it clears the deployed date
    accept();
}

FillDialog::FillDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FillDialog"));
    auto field = [this](const char* name) {
        auto* f = new TextField(12, this);
        f->setObjectName(QLatin1String(name));
        return f;
    };
    LblSerial = new QLabel(this);
    TxtSerial = field("TxtSerial");
    LblNum = new QLabel(this);
    TxtNum = field("TxtNum");
    LblIncr = new QLabel(this);
    TxtIncr = field("TxtIncr");
    FrameDummy = new QGroupBox(this);
    FrameDummy->setObjectName(QStringLiteral("FrameDummy"));
    CheckBoxUseGrid = new QCheckBox(FrameDummy);
    CheckBoxUseGrid->setObjectName(QStringLiteral("CheckBoxUseGrid"));
    Labeldummy = new QLabel(FrameDummy);
    txtGridRef = new MaskedEdit(QStringLiteral("########"), FrameDummy);
    txtGridRef->setObjectName(QStringLiteral("txtGridRef"));
    txtGridRef->setStored(QStringLiteral("00000000"));
    auto* frame = new QFormLayout(FrameDummy);
    frame->addRow(CheckBoxUseGrid);
    frame->addRow(Labeldummy, txtGridRef);
    auto* form = new QFormLayout;
    form->addRow(LblSerial, TxtSerial);
    form->addRow(LblNum, TxtNum);
    form->addRow(LblIncr, TxtIncr);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(FrameDummy);
    layout->addLayout(okCancel(this, OKButton, CancelButton));
    connect(OKButton, &QPushButton::clicked, this, &FillDialog::okClicked);
    connect(CancelButton, &QPushButton::clicked, this, [this] {
        Result = false;
        reject();
    });
    LoadResources();
    TxtSerial->setText(QString::fromLatin1(FormatSerial(TmpSer).c_str()));
    TxtNum->setText(QString::number(TmpNum));
    TxtIncr->setText(QString::number(Globals().FillIncrement));
}

void FillDialog::LoadResources()
{
    setWindowTitle(LangText(389)); // Fill
    LblSerial->setText(LangText(394));
    LblNum->setText(LangText(393));
    LblIncr->setText(LangText(392));
    FrameDummy->setTitle(LangText(363));
    CheckBoxUseGrid->setText(LangText(390));
    Labeldummy->setText(LangText(391));
}

void FillDialog::okClicked()
{
    // After any message the dialog stays open.
    const qint64 serial = numberIn(TxtSerial->text(), INT32_MIN, INT32_MAX);
    TmpSer = static_cast<qint32>(serial);
    if (!IsValidSerial(serial)) {
        ShowMessage(QString::fromLatin1(FormatSerial(serial).c_str()) + LangText(132));
        return;
    }
    const qint64 count = numberIn(TxtNum->text(), INT32_MIN, INT32_MAX);
    if (count < 1 || count > 99999999) {
        ShowMessage(LangText(395));
        return;
    }
    TmpNum = static_cast<qint32>(count);
    const qint64 step = numberIn(TxtIncr->text(), INT32_MIN, INT32_MAX);
    if (step < 1 || step > 9999999) {
        ShowMessage(LangText(251));
        return;
    }
    Globals().FillIncrement = static_cast<qint32>(step);
    Result = true;
    accept();
}
