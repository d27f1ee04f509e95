#include "frmCowlRead.h"

#include "Ansi.h"
#include "CowlComms.h"
#include "LangText.h"
#include "NoAnswer.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "SettingsStore.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char kServicePassword[] = "qelmat";

QString eightChars(const QString& serial)
{
    return serial.left(8);
}

// The logger counts seconds from 1970 in 32 bits.
const QDateTime& earliestClock()
{
    static const QDateTime t(QDate(1970, 1, 1), QTime(0, 0));
    return t;
}
const QDateTime& latestClock()
{
    static const QDateTime t(QDate(2038, 1, 19), QTime(3, 14, 7));
    return t;
}

} // namespace

frmEnterPassword::frmEnterPassword(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEnterPassword"));
    setWindowTitle(LangText(584));
    lblPassword = new QLabel(LangText(720), this); // what the password is for
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    lblPassword->setBuddy(txtPassword);
    cmdOK = new QPushButton(LangText(474), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(LangText(246), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPassword);
    layout->addWidget(txtPassword);
    layout->addLayout(buttons);
    // Enter and OK take what was typed; Escape, Cancel and the close box leave it empty.
    const auto take = [this] {
        stringPassword = txtPassword->text();
        accept();
    };
    connect(txtPassword, &QLineEdit::returnPressed, this, take);
    connect(cmdOK, &QPushButton::clicked, this, take);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(320);
}

frmCowlRead::frmCowlRead(QWidget* parent, int port) : QDialog(parent), m_port(port)
{
    setObjectName(QStringLiteral("frmCowlRead"));
    setWindowTitle(LangText(592)); // Logger Communications
    auto line = [this](const char* name, bool readOnly) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setReadOnly(readOnly);
        return e;
    };
    auto update = [this](int index) {
        cmdUpdate[index] = new QPushButton(LangText(558), this);
        cmdUpdate[index]->setObjectName(QStringLiteral("cmdUpdate%1").arg(index));
        connect(cmdUpdate[index], &QPushButton::clicked, this,
                [this, index] { cmdUpdate_Click(index); });
        return cmdUpdate[index];
    };
    cmdUpdate[3] = nullptr;

    frameInformation = new QGroupBox(LangText(576), this);
    auto* info = new QGridLayout(frameInformation);
    int row = 0;
    lblFirmware = new QLabel(LangText(562), this);
    txtVersionNumber = line("txtVersionNumber", true);
    info->addWidget(lblFirmware, row, 0);
    info->addWidget(txtVersionNumber, row++, 1);
    lblSerialNumber = new QLabel(LangText(548), this);
    txtSerialNumber = line("txtSerialNumber", false);
    info->addWidget(lblSerialNumber, row, 0);
    info->addWidget(txtSerialNumber, row, 1);
    info->addWidget(update(0), row++, 3);
    lblDate = new QLabel(LangText(549), this);
    medDate = new QDateTimeEdit(this);
    medDate->setObjectName(QStringLiteral("medDate"));
    medDate->setDisplayFormat(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    medDate->setDateTimeRange(earliestClock(), latestClock());
    ResetTime = new QToolButton(this);
    ResetTime->setObjectName(QStringLiteral("ResetTime"));
    ResetTime->setText(QStringLiteral("\u21bb")); // a clockwise arrow: now
    connect(ResetTime, &QToolButton::clicked, this, &frmCowlRead::ResetTime_Click);
    info->addWidget(lblDate, row, 0);
    info->addWidget(medDate, row, 1);
    info->addWidget(ResetTime, row, 2);
    info->addWidget(update(1), row++, 3);
    lblLeakStateRate = new QLabel(LangText(550), this);
    txtLeakStateRate = line("txtLeakStateRate", false);
    lblSeconds1 = new QLabel(LangText(552), this);
    info->addWidget(lblLeakStateRate, row, 0);
    info->addWidget(txtLeakStateRate, row, 1);
    info->addWidget(lblSeconds1, row++, 2);
    lblNoLeakRate = new QLabel(LangText(551), this);
    txtNoLeakStateRate = line("txtNoLeakStateRate", false);
    lblSeconds2 = new QLabel(LangText(552), this);
    info->addWidget(lblNoLeakRate, row, 0);
    info->addWidget(txtNoLeakStateRate, row, 1);
    info->addWidget(lblSeconds2, row, 2);
    info->addWidget(update(2), row++, 3);
    lblLoggingDays = new QLabel(LangText(553), this);
    lblDays = new QLabel(LangText(554), this);
    auto* days = new QHBoxLayout;
    for (int i = 0; i < 7; ++i) { // Sunday to Saturday, under their initials
        chkLoggingDays[i] = new QCheckBox(this);
        chkLoggingDays[i]->setObjectName(QStringLiteral("chkLoggingDays%1").arg(i));
        days->addWidget(chkLoggingDays[i]);
    }
    info->addWidget(lblLoggingDays, row, 0);
    info->addWidget(lblDays, row++, 1);
    info->addLayout(days, row, 1);
    info->addWidget(update(4), row++, 3);
    lblLastResetTime = new QLabel(LangText(555), this);
    timeResetTime = new QDateTimeEdit(this);
    timeResetTime->setObjectName(QStringLiteral("timeResetTime"));
    timeResetTime->setDisplayFormat(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    timeResetTime->setReadOnly(true);
    info->addWidget(lblLastResetTime, row, 0);
    info->addWidget(timeResetTime, row++, 1);

    frameStatus = new QGroupBox(LangText(165), this);
    auto* status = new QGridLayout(frameStatus);
    lblLeakStatus = new QLabel(LangText(556), this);
    txtLeakStatus = line("txtLeakStatus", true);
    lblBatteryVoltage = new QLabel(LangText(557), this);
    txtBatteryVoltage = line("txtBatteryVoltage", true);
    status->addWidget(lblLeakStatus, 0, 0);
    status->addWidget(txtLeakStatus, 0, 1);
    status->addWidget(lblBatteryVoltage, 1, 0);
    status->addWidget(txtBatteryVoltage, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frameInformation);
    layout->addWidget(frameStatus);
}

bool frmCowlRead::load()
{
    CowlComms::LoggerInfo info;
    if (!CowlComms::ReadLoggerInfo(info)) {
        ShowMessage(NoAnswerText(m_port));
        return false;
    }
    txtVersionNumber->setText(
        QString::number(info.firmwareMajor + info.firmwareMinor / 100.0, 'f', 2));
    txtSerialNumber->setText(eightChars(info.serial));
    medDate->setDateTime(info.clock);
    txtLeakStateRate->setText(QString::number(info.leakStateRate));
    txtNoLeakStateRate->setText(QString::number(info.noLeakStateRate));
    for (int i = 0; i < 7; ++i)
        if (info.days[static_cast<size_t>(i)])
            chkLoggingDays[i]->setChecked(true);
    timeResetTime->setDateTime(info.lastReset);
    txtLeakStatus->setText(info.leakStatus);
    txtBatteryVoltage->setText(info.battery ? QString::number(double(*info.battery), 'f', 2)
                                            : LangText(617));
    return true;
}

bool frmCowlRead::passwordGiven(int index)
{
    // The serial always needs the service password; a Tavrosa logger's
    // clock and rates too.
    const bool tavrosa = SettingsStore::text(Setting::Distributor) == QLatin1String("Tavrosa");
    if (index != 0 && !(tavrosa && (index == 1 || index == 2)))
        return true;
    frmEnterPassword password(this);
    Prompts::ShowModal(password);
    if (password.stringPassword == QLatin1String(kServicePassword))
        return true;
    ShowMessage(LangText(585)); // nothing is sent
    return false;
}

void frmCowlRead::cmdUpdate_Click(int index)
{
    // One exchange at a time: a click that arrives while the logger is
    // answering is dropped (the buttons are held meanwhile).
    if (m_busy)
        return;
    QString message;
    {
        const QScopedValueRollback<bool> busy(m_busy, true);
        if (!passwordGiven(index))
            return;
        // After a failed exchange the link is closed until the user connects
        // again; say so once rather than offer the request to a closed port.
        if (!CowlComms::CowlIsOpen()) {
            ShowMessage(NoAnswerText(m_port));
            return;
        }
        holdButtons(true);
        message = program(index);
        holdButtons(false);
    }
    if (!message.isEmpty())
        ShowMessage(message);
}

void frmCowlRead::holdButtons(bool hold)
{
    const std::initializer_list<QAbstractButton*> buttons{ResetTime, cmdUpdate[0], cmdUpdate[1],
                                                          cmdUpdate[2], cmdUpdate[4]};
    for (QAbstractButton* b : buttons)
        b->setEnabled(!hold);
}

QString frmCowlRead::program(int index)
{
    using namespace CowlComms;
    const QString kNotSent = NoAnswerText(m_port), kUpdated = LangText(569);
    switch (index) {
    case 0: {
        const QString text = txtSerialNumber->text();
        if (text.size() % 2 != 0)
            return QString(); // an odd length does nothing at all
        // Checked whole before anything is sent: eight digits or fewer that
        // the logger can hold (24 bits), the first two of eight 01 to 12.
        const std::optional<qint64> serial = PlainNumber(Ansi::fromQString(text), 8);
        if (!serial || !IsValidSerial(*serial))
            return LangText(570);
        QString back;
        if (!CowlSetSerial(static_cast<quint32>(*serial)) || !CowlGetSerial(back))
            return kNotSent;
        txtSerialNumber->setText(eightChars(back));
        return kUpdated;
    }
    case 1: {
        QDateTime t = medDate->dateTime();
        if (!t.isValid())
            t = QDateTime::currentDateTime();
        if (t < earliestClock() || t > latestClock())
            return LangText(622); // a time the logger cannot count
        QDateTime back;
        if (!CowlSetClock(t))
            return kNotSent;
        // The logger takes its time to set its clock; the window keeps painting.
        QEventLoop pause;
        QTimer::singleShot(1000, &pause, &QEventLoop::quit);
        pause.exec();
        if (!CowlGetClock(back))
            return kNotSent;
        medDate->setDateTime(back);
        return kUpdated;
    }
    case 2: {
        // What is checked is what is sent: a rate the logger cannot hold, or
        // anything but plain digits, sends nothing.
        const std::optional<quint8> leak = RateUnits(txtLeakStateRate->text());
        const std::optional<quint8> noLeak = RateUnits(txtNoLeakStateRate->text());
        if (!leak || !noLeak)
            return LangText(621);
        qint32 leakBack = 0, noLeakBack = 0;
        if (!CowlSetRates(*leak, *noLeak) || !CowlGetRates(leakBack, noLeakBack))
            return kNotSent;
        // A rate the logger cannot hold exactly is set to the nearest it can:
        // the user is told what was programmed, not left to spot it.
        QString told = kUpdated;
        const std::pair<QLineEdit*, qint32> rates[] = {{txtLeakStateRate, leakBack},
                                                       {txtNoLeakStateRate, noLeakBack}};
        for (const auto& [box, back] : rates) {
            if (box->text().toLongLong() != back)
                told += QLatin1Char('\n') +
                        (box == txtLeakStateRate ? lblLeakStateRate : lblNoLeakRate)->text() +
                        LangText(721) + QString::number(back) + QLatin1Char(' ') + LangText(552) +
                        LangText(722);
            box->setText(QString::number(back));
        }
        return told;
    }
    case 4: {
        std::array<bool, 7> days{};
        for (int i = 0; i < 7; ++i)
            days[static_cast<size_t>(i)] = chkLoggingDays[i]->isChecked();
        std::array<bool, 7> back{};
        if (!CowlSetLoggingDays(days) || !CowlGetLoggingDays(back))
            return kNotSent;
        for (int i = 0; i < 7; ++i)
            chkLoggingDays[i]->setChecked(back[static_cast<size_t>(i)]);
        return kUpdated;
    }
    default:
        return QString();
    }
}

void frmCowlRead::done(int result)
{
    if (!m_busy) // a programming step under way ends first
        QDialog::done(result);
}

void frmCowlRead::ResetTime_Click()
{
    if (m_busy)
        return;
    medDate->setDateTime(QDateTime::currentDateTime());
    cmdUpdate_Click(1);
}
