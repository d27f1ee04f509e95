#include "TransferProgress.h"

#include "LangText.h"

#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
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

TransferProgress::TransferProgress(QProcess& process, const QString& commandLine, QWidget* parent)
    : QDialog(parent), m_process(process)
{
    setObjectName(QStringLiteral("frmTransfer"));
    setWindowTitle(LangText(285).remove(QLatin1Char('&'))); // the Korvalind menu's name
    lblCommand = new QLabel(commandLine, this);
    lblCommand->setObjectName(QStringLiteral("lblCommand"));
    lblCommand->setWordWrap(true);
    lblCommand->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0); // no measure of progress: a moving bar
    cmdCancel = new QPushButton(LangText(246), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCommand);
    layout->addWidget(busy);
    layout->addWidget(cmdCancel, 0, Qt::AlignRight);
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
