#include "HistoryDialog.h"

#include "EditorEntries.h"
#include "EditorFields.h"
#include "LangText.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

HistoryDialog::HistoryDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HistoryDialog"));
    auto* form = new QFormLayout;
    auto field = [&](const char* name, int maxLength, QLabel*& label) {
        auto* edit = new TextField(maxLength, this);
        edit->setObjectName(QLatin1String(name));
        label = new QLabel(this);
        form->addRow(label, edit);
        return edit;
    };
    TxtDate = field("TxtDate", 10, LabelDate);
    TxtStatus = field("TxtStatus", 20, LabelStatus);
    TxtLevel = field("TxtLevel", 5, LabelLevel);
    TxtSpread = field("TxtSpread", 5, LabelSpread);
    TxtDate->setText(QStringLiteral("0000/00/00"));
    // The status is in capitals as it is typed.
    connect(TxtStatus, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int at = TxtStatus->cursorPosition();
        TxtStatus->setText(text.toUpper());
        TxtStatus->setCursorPosition(at);
    });
    lblError = new QLabel(this);
    lblError->setObjectName(QStringLiteral("lblError"));
    lblError->setWordWrap(true);
    OKButton = new QPushButton(this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(OKButton, &QPushButton::clicked, this, &HistoryDialog::okClicked);
    connect(CancelButton, &QPushButton::clicked, this, &HistoryDialog::cancelClicked);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblError);
    layout->addLayout(buttons);
    LoadResources();
    lblError->clear();
}

void HistoryDialog::LoadResources()
{
    setWindowTitle(LangText(384)); // Edit History
    LabelDate->setText(LangText(164));
    LabelStatus->setText(LangText(165));
    LabelLevel->setText(LangText(166));
    LabelSpread->setText(LangText(167));
    OKButton->setText(LangText(474));
    CancelButton->setText(LangText(246));
}

void HistoryDialog::okClicked()
{
    QString date = TxtDate->text(), status = TxtStatus->text(), level = TxtLevel->text(),
            spread = TxtSpread->text();
    const QString fault = CheckHistoryEntry(date, status, level, spread);
    TxtDate->setText(date);
    TxtStatus->setText(status);
    TxtLevel->setText(level);
    TxtSpread->setText(spread);
    lblError->setText(fault);
    if (!fault.isEmpty())
        return; // the dialog stays open
    if (date.isEmpty())
        TxtDate->setText(QStringLiteral(" ")); // no date is shown as a blank
    Result = true;
    accept();
}

void HistoryDialog::cancelClicked()
{
    Result = false;
    reject();
}
