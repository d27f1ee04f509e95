#include "frmCowlSetup.h"

#include "BusyCursor.h"
#include "Com32.h"
#include "CowlComms.h"
#include "LangText.h"
#include "NoAnswer.h"
#include "Prompts.h"
#include "frmCowlGraph.h"
#include "frmCowlRead.h"
#include "frmCowlSensor.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace {

// The status texts.
constexpr int kFailed = 565, kClosed = 566, kOpen = 567, kConnecting = 568;

} // namespace

frmCowlSetup::frmCowlSetup(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCowlSetup"));
    setWindowTitle(LangText(587)); // Cowl Setup

    framePort = new QGroupBox(LangText(577), this);
    framePort->setObjectName(QStringLiteral("framePort"));
    auto* ports = new QHBoxLayout(framePort);
    for (int i = 0; i < 4; ++i) {
        optCOMPort[i] = new QRadioButton(QStringLiteral("COM%1").arg(i + 1), framePort);
        optCOMPort[i]->setObjectName(QStringLiteral("optCOMPort(%1)").arg(i));
        ports->addWidget(optCOMPort[i]);
    }
    optCOMPort[0]->setChecked(true); // the choice is not kept between openings

    auto button = [this](const char* name, int caption, void (frmCowlSetup::*click)()) {
        auto* b = new QPushButton(LangText(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, click] {
            // A click queued while an exchange let events run is dropped.
            if (!m_busy)
                (this->*click)();
        });
        return b;
    };
    cmdConnect = button("cmdConnect", 580, &frmCowlSetup::cmdConnect_Click);
    cmdDisconnect = button("cmdDisconnect", 581, &frmCowlSetup::cmdDisconnect_Click);
    cmdReadLogger = button("cmdReadLogger", 582, &frmCowlSetup::cmdReadLogger_Click);
    cmdCheckSensor = button("cmdCheckSensor", 578, &frmCowlSetup::cmdCheckSensor_Click);
    cmdGetGraph = button("cmdGetGraph", 586, &frmCowlSetup::cmdGetGraph_Click);
    cmdSleep = button("cmdSleep", 593, &frmCowlSetup::cmdSleep_Click);
    cmdClose = button("cmdClose", 579, &frmCowlSetup::cmdClose_Click);

    frameStatus = new QGroupBox(LangText(165), this);
    frameStatus->setObjectName(QStringLiteral("frameStatus"));
    StatusText = new QLabel(frameStatus);
    StatusText->setObjectName(QStringLiteral("StatusText"));
    StatusText->setMinimumWidth(260);
    (new QVBoxLayout(frameStatus))->addWidget(StatusText);

    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdConnect, 0, 0);
    buttons->addWidget(cmdDisconnect, 0, 1);
    buttons->addWidget(cmdReadLogger, 1, 0);
    buttons->addWidget(cmdCheckSensor, 1, 1);
    buttons->addWidget(cmdGetGraph, 2, 0);
    buttons->addWidget(cmdSleep, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(framePort);
    layout->addLayout(buttons);
    layout->addWidget(frameStatus);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);

    UpdateState();
}

QList<QPushButton*> frmCowlSetup::cowlButtons() const
{
    return {cmdDisconnect, cmdReadLogger, cmdCheckSensor, cmdGetGraph, cmdSleep};
}

void frmCowlSetup::UpdateState()
{
    const bool open = CowlComms::CowlIsOpen();
    cmdConnect->setEnabled(!open);
    for (QPushButton* b : cowlButtons())
        b->setEnabled(open);
    StatusText->setText(LangText(open ? kOpen : kClosed));
}

void frmCowlSetup::EnableCowlButtons()
{
    for (QPushButton* b : cowlButtons())
        b->setEnabled(true);
}

void frmCowlSetup::DisableCowlButtons()
{
    for (QPushButton* b : cowlButtons())
        b->setEnabled(false);
}

void frmCowlSetup::holdAll(bool hold)
{
    framePort->setEnabled(!hold);
    cmdConnect->setEnabled(!hold);
    cmdClose->setEnabled(!hold);
    if (hold)
        DisableCowlButtons();
}

void frmCowlSetup::cmdConnect_Click()
{
    if (CowlComms::CowlIsOpen()) {
        ShowMessage(QStringLiteral("Already connected"));
        return;
    }
    bool result = false;
    {
        const QScopedValueRollback<bool> busy(m_busy, true);
        holdAll(true);
        QString dots = QStringLiteral(" .");
        for (int attempts = 3; attempts > 0 && !result; --attempts) {
            BusyCursor hourglass;
            StatusText->setText(LangText(kConnecting) + dots);
            QCoreApplication::processEvents();
            m_port = 0;
            for (int i = 0; i < 4 && m_port == 0; ++i)
                if (optCOMPort[i]->isChecked())
                    m_port = i + 1;
            // With no port chosen the attempt tries nothing. The port opening
            // is not enough: the logger must answer, or there is nothing to
            // talk to (a failed request closes the port again).
            qint16 major = 0, minor = 0;
            if (m_port != 0)
                result = CowlComms::CowlConnect(m_port) && CowlComms::CowlGetVersion(major, minor);
            dots += QLatin1Char('.');
        }
        holdAll(false);
    }
    UpdateState();
    if (!result) {
        ShowMessage(NoAnswerText(m_port));
        StatusText->setText(LangText(kFailed));
    }
}

void frmCowlSetup::cmdDisconnect_Click()
{
    if (CowlComms::CowlIsOpen()) {
        closeLink();
    } else {
        ShowMessage(QStringLiteral("Already disconnected"));
    }
    UpdateState();
}

void frmCowlSetup::openCowlWindow(Window which)
{
    static const int kStatus[] = {572, 573, 574}; // reading, checking the sensor, getting the graph
    {
        const QScopedValueRollback<bool> busy(m_busy, true);
        holdAll(true);
        const bool ready = CowlComms::CowlWaitReady();
        if (ready) {
            StatusText->setText(LangText(kStatus[static_cast<int>(which)]));
            QCoreApplication::processEvents();
            // Each window reads the logger first and is shown only when it could.
            switch (which) {
            case Window::Read: {
                frmCowlRead w(this, m_port);
                if (w.load())
                    Prompts::ShowModal(w);
                break;
            }
            case Window::Sensor: {
                frmCowlSensor w(this, m_port);
                Prompts::ShowModal(w);
                break;
            }
            case Window::Graph: {
                frmCowlGraph w(this, m_port);
                if (w.load())
                    Prompts::ShowModal(w);
                break;
            }
            }
        }
        holdAll(false);
        if (!ready) {
            StatusText->setText(LangText(kOpen));
            ShowMessage(NoAnswerText(m_port));
        }
    }
    // A link that failed meanwhile shows as closed.
    UpdateState();
}

void frmCowlSetup::cmdReadLogger_Click()
{
    openCowlWindow(Window::Read);
}

void frmCowlSetup::cmdCheckSensor_Click()
{
    openCowlWindow(Window::Sensor);
}

void frmCowlSetup::cmdGetGraph_Click()
{
    openCowlWindow(Window::Graph);
}

void frmCowlSetup::cmdSleep_Click()
{
    {
        const QScopedValueRollback<bool> busy(m_busy, true);
        holdAll(true);
        if (CowlComms::CowlWaitReady()) {
            const bool asleep = CowlComms::CowlSleep();
            holdAll(false);
            ShowMessage(LangText(asleep ? 594 : 595));
        } else {
            holdAll(false);
            ShowMessage(NoAnswerText(m_port));
        }
    }
    // The logger has gone to sleep, or the link failed: either way it is closed.
    UpdateState();
}

void frmCowlSetup::closeLink()
{
    CowlComms::Link().COMM_CLOSE();
    StatusText->setText(LangText(kClosed));
}

void frmCowlSetup::cmdClose_Click()
{
    done(QDialog::Accepted);
}

void frmCowlSetup::done(int result)
{
    // Every way out (Close, Escape, the close box) comes here. Not while an
    // exchange is under way: it ends first, within its bound.
    if (m_busy)
        return;
    if (CowlComms::CowlIsOpen())
        closeLink();
    UpdateState();
    QDialog::done(result);
}
