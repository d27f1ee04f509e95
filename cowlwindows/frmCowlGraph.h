#pragma once
// Noise Histogram: the logger's identity, its histogram of 100 one-decibel
// bins as a bar chart on a percentage axis, its last twelve results; the
// chart can be copied, printed and exported.

#include "CowlComms.h"

#include <QDialog>
#include <QRectF>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

// The chart, drawn in one widget from the window's geometry in twips.
class HistogramChart : public QWidget
{
    Q_OBJECT
public:
    explicit HistogramChart(QWidget* parent = nullptr);
    void setCounts(const std::array<qint32, 100>& counts);
    void clear();
    bool hasData() const { return m_shown; }

    // In twips of the window's client area.
    QRectF barTwips(int i) const;
    // The percentage label of grid line k (0 at the baseline, 10 at the top).
    QString yLabel(int k) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<qint32, 100> m_counts{};
    qint32 m_max = 0;
    bool m_shown = false;
};

class frmCowlGraph : public QDialog
{
    Q_OBJECT
public:
    // port: the one the link was opened through, named when the logger does not answer.
    explicit frmCowlGraph(QWidget* parent = nullptr, int port = 0);
    // Reads the logger; false (after telling the user) when its identity,
    // clock or status could not be read and the window is not to be shown.
    bool load();

    void cmdCopy_Click();
    void cmdPrint_Click();
    void cmdSave_Click();

    // The export file of the histogram shown: 100 lines "bin,count" CR LF.
    QByteArray exportBytes() const;

    HistogramChart* chart;
    QLabel *lblSerialNumber, *lblVersionNumber, *lblDate, *lblStatus;
    QLabel *lblLevels, *lblSpreads, *lblHistoryStatus, *lblCurrent,
        *lblSecondaryVerificationRequired;
    QLabel* lblLevel[12];
    QLabel* lblSpread[12];
    QLabel* lblHistoryLeak[12];
    QGroupBox* frameLoggerHistory;
    QPushButton *cmdCopy, *cmdPrint, *cmdSave, *cmdClose;

private:
    std::array<qint32, 100> m_counts{};
    int m_port;
};
