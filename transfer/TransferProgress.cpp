#include "TransferProgress.h"

#include "LangText.h"

#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kEndWaitMs = 3000; // how long a program asked to end may take
}

void EndProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(kEndWaitMs)) {
        process.kill();
        process.waitForFinished(kEndWaitMs);
    }
}

TransferProgress::TransferProgress(QProcess& process, const QString& what,
                                   const QString& commandLine, QWidget* parent)
    : QDialog(parent), m_process(process)
{
    setObjectName(QStringLiteral("frmTransfer"));
    setWindowTitle(LangText(285).remove(QLatin1Char('&'))); // the Korvalind menu's name
    lblWhat = new QLabel(what, this);
    lblWhat->setObjectName(QStringLiteral("lblWhat"));
    lblWhat->setWordWrap(true);
    // Wide enough for a sentence on one line; a long list of names wraps.
    lblWhat->setMinimumWidth(lblWhat->fontMetrics().averageCharWidth() * 60);
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0); // no measure of progress: a moving bar
    cmdDetails = new QToolButton(this);
    cmdDetails->setObjectName(QStringLiteral("cmdDetails"));
    cmdDetails->setText(LangText(727));
    cmdDetails->setCheckable(true);
    cmdDetails->setAutoRaise(true);
    cmdDetails->setArrowType(Qt::RightArrow);
    cmdDetails->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // One line: a path broken at a separator reads as two paths.
    lblCommand = new QLabel(commandLine, this);
    lblCommand->setObjectName(QStringLiteral("lblCommand"));
    lblCommand->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblCommand->setVisible(false);
    cmdCancel = new QPushButton(LangText(246), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblWhat);
    layout->addWidget(busy);
    layout->addWidget(cmdDetails, 0, Qt::AlignLeft);
    layout->addWidget(lblCommand);
    layout->addWidget(cmdCancel, 0, Qt::AlignRight);
    connect(cmdDetails, &QToolButton::toggled, this, [this](bool shown) {
        cmdDetails->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
        lblCommand->setVisible(shown);
        adjustSize();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        EndProcess(m_process);
        reject();
    });
    connect(&m_process, &QProcess::finished, this, [this] {
        if (isVisible())
            accept();
    });
}

void TransferProgress::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A program that ended before the window came up closes it at once.
    if (m_process.state() == QProcess::NotRunning)
        QTimer::singleShot(0, this, [this] { accept(); });
}
