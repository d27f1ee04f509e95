#include "frmCowlGraph.h"

#include "CaptureRoutines.h"
#include "LangText.h"
#include "NoAnswer.h"
#include "ProgramPrinter.h"
#include "Prompts.h"
#include "SettingsStore.h"
#include "Utilities.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <cmath>

namespace {

constexpr double kTwipsPerPixel = 15;

double px(double twips)
{
    return twips / kTwipsPerPixel;
}

// A widget placed by its position and size in twips.
template <typename W> W* placed(W* w, double left, double top, double width, double height)
{
    w->setGeometry(qRound(px(left)), qRound(px(top)), qRound(px(width)), qRound(px(height)));
    return w;
}

const QColor kBar(40, 90, 200);

} // namespace

HistogramChart::HistogramChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chart"));
}

void HistogramChart::setCounts(const std::array<qint32, 100>& counts)
{
    m_counts = counts;
    m_max = *std::max_element(counts.begin(), counts.end());
    m_shown = true;
    update();
}

void HistogramChart::clear()
{
    m_counts.fill(0);
    m_max = 0;
    m_shown = false;
    update();
}

QRectF HistogramChart::barTwips(int i) const
{
    // Full scale is 1.25 times the largest count; nothing to scale, nothing standing.
    const double height =
        m_max > 0 ? m_counts[static_cast<size_t>(i)] * 4000.0 / (m_max * 1.25) : 0.0;
    return QRectF(1000 + 75 * i, 5000 - height, 75, height);
}

QString HistogramChart::yLabel(int k) const
{
    // Percent of 2,048 readings.
    const double percent = m_max * 1.25 * k / 10.0 / 20.48;
    return QString::number(std::floor(percent + 0.5), 'f', 0) + QStringLiteral(" % ");
}

void HistogramChart::paintEvent(QPaintEvent*)
{
    if (!m_shown)
        return; // the chart stays empty until the logger's histogram is read
    QPainter p(this);
    const QFontMetrics fm(font());
    p.setPen(QColor(160, 160, 160));
    for (int k = 0; k <= 10; ++k) {
        const double y = px(5000 - 400 * k);
        p.drawLine(QPointF(px(900), y), QPointF(px(8600), y));
        const double x = px(1000 + 750 * k);
        p.drawLine(QPointF(x, px(1000)), QPointF(x, px(5000)));
    }
    for (int i = 0; i < 100; ++i) {
        const QRectF t = barTwips(i);
        p.fillRect(QRectF(px(t.left()), px(t.top()), px(t.width()), px(t.height())), kBar);
    }
    p.setPen(palette().color(QPalette::WindowText));
    for (int k = 0; k <= 10; ++k) {
        const QString y = yLabel(k);
        const double centre = px(5000 - 400 * k);
        p.drawText(QPointF(px(900) - fm.horizontalAdvance(y), centre + fm.ascent() / 2.0 - 1), y);
        p.drawText(QPointF(px(1000 + 750 * k - 50), px(5005) + fm.ascent()),
                   QString::number(10 * k));
    }
    const QString title = QStringLiteral("dB (0 to 99)");
    p.drawText(QPointF(px(4750) - fm.horizontalAdvance(title) / 2.0, px(5005) + 2 * fm.height()),
               title);
}

frmCowlGraph::frmCowlGraph(QWidget* parent, int port) : QDialog(parent), m_port(port)
{
    setObjectName(QStringLiteral("frmCowlGraph"));
    setFixedSize(qRound(px(9000)), qRound(px(9000)));
    setWindowTitle(LangText(590)); // Noise Histogram
    auto label = [this](double left, double top, double width) {
        return placed(new QLabel(this), left, top, width, 280);
    };
    lblSerialNumber = label(200, 100, 4000);
    lblVersionNumber = label(4500, 100, 4000);
    lblDate = label(200, 450, 4000);
    lblStatus = label(4500, 450, 4000);
    chart = placed(new HistogramChart(this), 0, 0, 9000, 5700);
    chart->lower();

    frameLoggerHistory = placed(new QGroupBox(LangText(575), this), 200, 5750, 8600, 1900);
    // The history's row captions, then the twelve columns from the newest.
    lblLevels = placed(new QLabel(LangText(539), frameLoggerHistory), 100, 600, 900, 280);
    lblSpreads = placed(new QLabel(LangText(540), frameLoggerHistory), 100, 950, 900, 280);
    lblHistoryStatus = placed(new QLabel(LangText(165), frameLoggerHistory), 100, 1300, 900, 280);
    lblCurrent = placed(new QLabel(LangText(542), frameLoggerHistory), 1000, 280, 1000, 280);
    for (int k = 0; k < 12; ++k) {
        const double left = 1000 + 400 * k;
        lblLevel[k] = placed(new QLabel(frameLoggerHistory), left, 600, 400, 280);
        lblSpread[k] = placed(new QLabel(frameLoggerHistory), left, 950, 400, 280);
        lblHistoryLeak[k] = placed(new QLabel(frameLoggerHistory), left, 1300, 400, 280);
    }
    lblSecondaryVerificationRequired =
        placed(new QLabel(LangText(583), this), 200, 7700, 6000, 280);
    auto button = [this](const char* name, int string, double left) {
        auto* b = placed(new QPushButton(LangText(string), this), left, 8200, 1900, 500);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdCopy = button("cmdCopy", 543, 200);
    cmdPrint = button("cmdPrint", 544, 2400);
    cmdSave = button("cmdSave", 545, 4600);
    cmdClose = button("cmdClose", 546, 6800);
    connect(cmdCopy, &QPushButton::clicked, this, &frmCowlGraph::cmdCopy_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmCowlGraph::cmdPrint_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmCowlGraph::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    cmdSave->setEnabled(false); // until there is a histogram to export
}

bool frmCowlGraph::load()
{
    using namespace CowlComms;
    qint16 major = 0, minor = 0;
    QString serial, status;
    QDateTime clock;
    if (!CowlGetVersion(major, minor) || !CowlGetSerial(serial) || !CowlGetClock(clock) ||
        !CowlGetLeakStatus(status)) {
        ShowMessage(NoAnswerText(m_port));
        return false;
    }
    lblSerialNumber->setText(LangText(530) + QStringLiteral(": ") + serial.left(8));
    lblVersionNumber->setText(LangText(531) + QStringLiteral(": ") +
                              QString::number(major + minor / 100.0, 'f', 2));
    lblDate->setText(LangText(532) + QStringLiteral(": ") +
                     QLocale().toString(clock.date(), QLocale::ShortFormat));
    lblStatus->setText(LangText(533) + QStringLiteral(": ") + status);

    std::array<qint32, 100> counts{};
    std::array<HistoryPair, 12> history;
    if (!CowlGetHistogram(counts) || !CowlGetHistory(history))
        return true; // an empty chart, without a word
    m_counts = counts;
    chart->setCounts(m_counts);
    cmdSave->setEnabled(true);
    for (int k = 0; k < 12; ++k) {
        const HistoryPair& h = history[static_cast<size_t>(k)];
        lblLevel[k]->setText(QString::number(h.levelValue()));
        lblSpread[k]->setText(QString::number(h.spreadValue()));
        lblHistoryLeak[k]->setText(h.statusText());
    }
    return true;
}

void frmCowlGraph::cmdCopy_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(CaptureForm(this));
}

void frmCowlGraph::cmdPrint_Click()
{
    PrintJob job(this);
    if (!job.ready())
        return;
    if (!PrintPictureToFitPage(job.printer(), CaptureForm(this)) || !job.commit())
        ShowMessage(LangText(623)); // the printer could not be started
}

QByteArray frmCowlGraph::exportBytes() const
{
    QByteArray out;
    for (int i = 0; i < 100; ++i)
        out += QByteArray::number(i) + ',' + QByteArray::number(m_counts[static_cast<size_t>(i)]) +
               "\r\n";
    return out;
}

void frmCowlGraph::cmdSave_Click()
{
    // Without a histogram there is nothing to export: zeros would pass for
    // a logger that heard nothing.
    if (!chart->hasData())
        return;
    QString path = Prompts::SaveFileName(this, LangText(545), Globals().DefaultPath, QString(),
                                         QStringLiteral("Comma-separated (*.csv)|*.csv"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    if (!Prompts::ConfirmReplaceFile(path))
        return;
    const QByteArray bytes = exportBytes();
    // Written whole or not at all; a failure is told, with the path.
    if (!WriteFileAtomically(path,
                             [&bytes](QIODevice& d) { return d.write(bytes) == bytes.size(); }))
        ShowMessage(LangText(173) + QStringLiteral(":\n") + path);
}
