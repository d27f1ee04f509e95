#include "GraphPanel.h"

#include "Ansi.h"
#include "LoggerRecord.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

const QColor GraphPanel::kCalm(0, 255, 0);
const QColor GraphPanel::kAlarm(255, 0, 0);
const QColor GraphPanel::kMarker(255, 255, 0);
const QColor GraphPanel::kChosen(0, 0, 0);

GraphPanel::GraphPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("graph"));
    setGeometry(kLeft, 0, 800 - kLeft, 460);
    m_barColor.fill(kCalm);
    reset();
}

void GraphPanel::showReadings(const LoggerRecord& rec)
{
    for (int k = 0; k < 50; ++k) {
        const int i = k + 1;
        const size_t at = static_cast<size_t>(k);
        m_level[at] = kPixelsPerUnit * rec.Level[i];
        m_spread[at] = kPixelsPerUnit * rec.Spread[i];
        // A difference of 15 and more between level and spread is a leak's mark.
        m_barColor[at] = rec.Level[i] - rec.Spread[i] < 15 ? kCalm : kAlarm;
        m_tips[at] = Ansi::toQString(rec.Date[i]);
    }
    setAllMarkers(kMarker);
    update();
}

void GraphPanel::reset()
{
    m_level.fill(0);
    m_spread.fill(0);
    setAllMarkers(kMarker);
    update();
}

void GraphPanel::setAllMarkers(const QColor& color)
{
    m_markerColor.fill(color);
    m_chosen = -1;
    update();
}

void GraphPanel::chooseMarker(int k)
{
    if (m_chosen >= 0)
        m_markerColor[static_cast<size_t>(m_chosen)] = kMarker;
    m_chosen = k >= 0 && k < 50 ? k : -1;
    if (m_chosen >= 0)
        m_markerColor[static_cast<size_t>(m_chosen)] = kChosen;
    update();
}

void GraphPanel::setTitles(const QString& level, const QString& spread)
{
    m_levelTitle = level;
    m_spreadTitle = spread;
    update();
}

QRect GraphPanel::levelBar(int k) const
{
    const int h = m_level[static_cast<size_t>(k)];
    return QRect(kFirstBar + kBarWidth * k, kLevelAxis - h, kBarWidth, h);
}

QRect GraphPanel::spreadBar(int k) const
{
    return QRect(kFirstBar + kBarWidth * k, kSpreadAxis, kBarWidth,
                 m_spread[static_cast<size_t>(k)]);
}

QRect GraphPanel::marker(int k) const
{
    return QRect(kFirstBar + kBarWidth * k, kLevelAxis, kBarWidth, 10);
}

void GraphPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.translate(-kLeft, 0); // everything below is placed in the editor's coordinates
    for (int k = 0; k < 50; ++k) {
        p.fillRect(levelBar(k), m_barColor[static_cast<size_t>(k)]);
        p.fillRect(spreadBar(k), m_barColor[static_cast<size_t>(k)]);
        p.fillRect(marker(k), m_markerColor[static_cast<size_t>(k)]);
    }
    p.setPen(Qt::black);
    // The axes and their end ticks.
    p.drawLine(290, 20, 290, 220);
    p.drawLine(280, 20, 290, 20);
    p.drawLine(280, 220, 290, 220);
    p.drawLine(290, 230, 290, 430);
    p.drawLine(280, 230, 290, 230);
    p.drawLine(280, 430, 290, 430);
    const QFontMetrics fm(font());
    auto label = [&](int left, int top, const QString& text) {
        p.drawText(QPoint(left, top + fm.ascent()), text);
    };
    label(275, 2, QStringLiteral("99"));
    label(275, 205, QStringLiteral("0"));
    label(275, 232, QStringLiteral("0"));
    label(275, 438, QStringLiteral("99"));
    label(310, 2, m_levelTitle);
    label(310, 438, m_spreadTitle);
}

bool GraphPanel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint at = help->pos() + QPoint(kLeft, 0);
        for (int k = 0; k < 50; ++k) {
            if (marker(k).contains(at) && !m_tips[static_cast<size_t>(k)].isEmpty()) {
                QToolTip::showText(help->globalPos(), m_tips[static_cast<size_t>(k)], this);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}
