#include "frmCowlSensor.h"

#include "CowlComms.h"
#include "LangText.h"
#include "NoAnswer.h"
#include "Prompts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int kPollMs = 100;
}

frmCowlSensor::frmCowlSensor(QWidget* parent, int port) : QDialog(parent), m_port(port)
{
    setObjectName(QStringLiteral("frmCowlSensor"));
    setWindowTitle(LangText(591)); // Noise level
    prgNoiseLevel = new QProgressBar(this);
    prgNoiseLevel->setObjectName(QStringLiteral("prgNoiseLevel"));
    prgNoiseLevel->setRange(0, 100);
    prgNoiseLevel->setValue(0);
    prgNoiseLevel->setTextVisible(false);
    lblNoiseLevel = new QLabel(QStringLiteral(" dB"), this);
    lblNoiseLevel->setObjectName(QStringLiteral("lblNoiseLevel"));
    cmdClose = new QPushButton(LangText(546), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prgNoiseLevel);
    layout->addWidget(lblNoiseLevel);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);
    resize(320, 120);
    // Each reading waits for the logger with events running: the next one is
    // timed from the end of the last, so two never overlap.
    m_timer.setSingleShot(true);
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (tick() && m_polling)
            m_timer.start();
    });
}

bool frmCowlSensor::tick()
{
    if (m_inTick || m_failed)
        return false;
    m_inTick = true;
    float level = 0;
    // A link that closed between readings (an adapter pulled out) is not
    // asked again: that would be a second message for the same failure.
    const bool ok = CowlComms::CowlIsOpen() && CowlComms::CowlGetNoiseLevel(level);
    m_inTick = false;
    if (m_closeRequested) { // closed while the logger was answering
        done(m_closeResult);
        return false;
    }
    if (!ok) {
        m_failed = true;
        stop();
        ShowMessage(NoAnswerText(m_port)); // once: the polling stops here
        return false;
    }
    ++m_ticks;
    // The bar shows up to 100 dB; a louder level fills it, the label says how loud.
    prgNoiseLevel->setValue(std::clamp(qRound(level), 0, 100));
    // A progress bar redraws itself only for a change of a whole chunk (a few
    // decibels on this bar): a level that moves by one or two would stay
    // drawn where it was while the label moves on.
    prgNoiseLevel->update();
    lblNoiseLevel->setText(QString::number(double(level)) + QStringLiteral(" dB"));
    return true;
}

void frmCowlSensor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_failed) {
        m_polling = true;
        m_timer.start();
    }
}

void frmCowlSensor::stop()
{
    m_polling = false;
    m_timer.stop();
}

void frmCowlSensor::done(int result)
{
    stop();
    if (m_inTick) { // the reading under way ends first, then the window closes
        m_closeRequested = true;
        m_closeResult = result;
        return;
    }
    m_closeRequested = false;
    // After a failure the link is closed and the user has been told once.
    if (!m_failed && !CowlComms::CowlWaitReady())
        ShowMessage(QStringLiteral("Error"));
    QDialog::done(result);
}

void frmCowlSensor::closeEvent(QCloseEvent* event)
{
    stop();
    QDialog::closeEvent(event);
}
