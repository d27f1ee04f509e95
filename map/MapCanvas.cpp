#include "MapCanvas.h"

#include "Ansi.h"
#include "AppState.h"
#include "Geodesy.h"
#include "LangText.h"
#include "ListText.h"
#include "ListWindow.h"
#include "LoggerList.h"
#include "PositionFinder.h"
#include "RecordChecks.h"
#include "SettingsStore.h"
#include "VectorLayer.h"
#include "WebMercator.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kDotRadius = 4;
constexpr int kPickRadius = 6;
// Labels only when so few dots are in view that most can be read.
constexpr int kMaxLabelledDots = 400;

// The plane the map is drawn in, made once: PROJ takes a while to set it up.
const WebMercator& plane()
{
    static const WebMercator mercator;
    return mercator;
}

QPointF project(double lat, double lon)
{
    return plane().forward(lat, lon);
}

QPointF unproject(QPointF world) // (lon, lat)
{
    return plane().inverse(world);
}

QPixmap dotPixmap(const QColor& fill, qreal dpr)
{
    const int size = 2 * kDotRadius + 2;
    QPixmap pixmap(QSize(size, size) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    p.drawEllipse(QPointF(size / 2.0, size / 2.0), kDotRadius, kDotRadius);
    return pixmap;
}

QString metresText(double metres)
{
    return metres >= 1000 ? QString::number(metres / 1000) + QStringLiteral(" km")
                          : QString::number(metres) + QStringLiteral(" m");
}

} // namespace

MapCanvas::Status MapCanvas::statusOf(const LoggerRecord& rec)
{
    const std::string_view status = Ansi::trimmed(rec.Status[1].view());
    if (status.empty())
        return NoReading;
    switch (Ansi::toUpper(status.front())) {
    case 'L':
        return Leak;
    case 'W':
        return Warning;
    case 'N':
        return NoLeak;
    default:
        return NoReading;
    }
}

QColor MapCanvas::colour(Status status)
{
    switch (status) {
    case Leak:
        return QColor(220, 30, 30);
    case Warning:
        return QColor(255, 170, 0);
    case NoLeak:
        return QColor(40, 160, 60);
    default:
        return QColor(150, 150, 150);
    }
}

MapCanvas::MapCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MapCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(200, 150);
    for (int s = 0; s < StatusCount; ++s)
        m_dotPixmaps[s] = dotPixmap(colour(Status(s)), devicePixelRatioF());
    // Comment 2 read in another grid format: every position again.
    connect(&App::Signals(), &App::StateSignals::address2Changed, this,
            &MapCanvas::scheduleRefresh);
}

MapCanvas::~MapCanvas() = default;

void MapCanvas::setList(ListWindow* list)
{
    if (m_list == list)
        return;
    if (m_list)
        disconnect(m_list, nullptr, this, nullptr);
    m_list = list;
    if (list) {
        connect(list, &ListWindow::linesChanged, this, &MapCanvas::scheduleRefresh);
        connect(list, &ListWindow::currentLineChanged, this, qOverload<>(&QWidget::update));
        connect(list, &QObject::destroyed, this, &MapCanvas::scheduleRefresh);
    }
    refreshNow();
    fitAll();
}

void MapCanvas::scheduleRefresh()
{
    // An import or a fill changes many lines one by one: read them once at the end.
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_refreshPending)
            refreshNow();
    });
}

void MapCanvas::refreshNow()
{
    m_refreshPending = false;
    m_dots.clear();
    m_unplaced.clear();
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
    if (m_list) {
        const QString format = Globals().Address2;
        if (!m_finder || format != m_finderFormat) {
            m_finder = std::make_unique<PositionFinder>(format);
            m_finderFormat = format;
        }
        const LoggerList& doc = m_list->document();
        m_dots.reserve(static_cast<size_t>(doc.RecordCount()));
        for (int i = 1; i <= doc.RecordCount(); ++i) {
            const LoggerRecord& rec = doc.record(i);
            const GeoPosition pos = m_finder->place(rec);
            if (!pos.valid) {
                m_unplaced.push_back({i, pos.reason});
                continue;
            }
            const Status status = statusOf(rec);
            m_dots.push_back({project(pos.lat, pos.lon), i, status});
            ++m_counts[status];
        }
    }
    viewChanged();
    emit loggersChanged();
}

void MapCanvas::setLayers(std::vector<std::shared_ptr<const VectorLayer>> layers)
{
    m_layers.clear();
    for (auto& layer : layers) {
        LayerShape shape;
        const std::vector<QPointF>& v = layer->vertices();
        for (int k = 0; k < layer->partCount(); ++k) {
            QPolygonF part;
            part.reserve(layer->partStart(k + 1) - layer->partStart(k));
            for (int i = layer->partStart(k); i < layer->partStart(k + 1); ++i)
                part << project(v[static_cast<size_t>(i)].y(), v[static_cast<size_t>(i)].x());
            shape.partBounds.push_back(part.boundingRect());
            shape.closed.push_back(layer->partClosed(k));
            shape.worldParts.push_back(std::move(part));
        }
        for (const QPointF& p : layer->points())
            shape.worldPoints.push_back(project(p.y(), p.x()));
        shape.layer = std::move(layer);
        m_layers.push_back(std::move(shape));
    }
    update();
}

std::optional<QRectF> MapCanvas::worldBounds() const
{
    double left = HUGE_VAL, right = -HUGE_VAL, bottom = HUGE_VAL, top = -HUGE_VAL;
    const auto take = [&](QPointF p) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    };
    for (const Dot& d : m_dots)
        take(d.world);
    if (m_dots.empty())
        for (const LayerShape& l : m_layers) {
            for (const QRectF& r : l.partBounds) {
                take(r.topLeft());
                take(r.bottomRight());
            }
            for (const QPointF& p : l.worldPoints)
                take(p);
        }
    if (left > right)
        return std::nullopt;
    return QRectF(QPointF(left, bottom), QPointF(right, top));
}

void MapCanvas::fitAll()
{
    m_userMoved = false;
    const std::optional<QRectF> box = worldBounds();
    if (!box) {
        m_centre = QPointF();
        m_scale = std::min(width(), height()) / (2 * project(0, 180).x()); // the whole world
        viewChanged();
        return;
    }
    // The whole canvas unless a logger would lie under the legend; then the
    // larger of the parts beside and below it.
    const QRectF all(rect());
    fitInto(*box, all);
    const QRectF legend =
        QRectF(legendBox(fontMetrics())).adjusted(-kDotRadius, -kDotRadius, kDotRadius, kDotRadius);
    if (std::any_of(m_dots.begin(), m_dots.end(),
                    [&](const Dot& d) { return legend.contains(screenOf(d.world)); })) {
        fitInto(*box, all.adjusted(legend.right(), 0, 0, 0));
        const QPointF besideCentre = m_centre;
        const double beside = m_scale;
        fitInto(*box, all.adjusted(0, legend.bottom(), 0, 0));
        if (beside > m_scale) {
            m_centre = besideCentre;
            m_scale = beside;
        }
    }
    viewChanged();
}

void MapCanvas::fitInto(const QRectF& world, const QRectF& area)
{
    const double w = std::max(world.width(), 200.0);
    const double h = std::max(world.height(), 200.0);
    m_scale = 0.9 * std::min(area.width() / w, area.height() / h);
    // The world box's centre at the area's centre.
    m_centre = world.center() + QPointF(-(area.center().x() - width() / 2.0) / m_scale,
                                        (area.center().y() - height() / 2.0) / m_scale);
}

void MapCanvas::zoomAt(QPointF at, double factor)
{
    const QPointF before = worldOf(at);
    m_userMoved = true;
    m_scale = std::clamp(m_scale * factor, 1e-9, 20.0);
    // Keep the world point under the pointer.
    const QPointF after = worldOf(at);
    m_centre += before - after;
    viewChanged();
}

void MapCanvas::panBy(QPointF delta)
{
    m_userMoved = true;
    m_centre += QPointF(-delta.x() / m_scale, delta.y() / m_scale);
    viewChanged();
}

void MapCanvas::setView(double lat, double lon, double pixelsPerMetre)
{
    m_centre = project(lat, lon);
    m_scale = pixelsPerMetre;
    viewChanged();
}

QPointF MapCanvas::screenOf(QPointF world) const
{
    return {width() / 2.0 + (world.x() - m_centre.x()) * m_scale,
            height() / 2.0 - (world.y() - m_centre.y()) * m_scale};
}

QPointF MapCanvas::worldOf(QPointF screen) const
{
    return {m_centre.x() + (screen.x() - width() / 2.0) / m_scale,
            m_centre.y() - (screen.y() - height() / 2.0) / m_scale};
}

QPointF MapCanvas::toScreen(double lat, double lon) const
{
    return screenOf(project(lat, lon));
}

std::optional<QPointF> MapCanvas::dotOf(int record) const
{
    for (size_t i = 0; i < m_dots.size(); ++i)
        if (m_dots[i].record == record)
            return m_screen[i];
    return std::nullopt;
}

void MapCanvas::viewChanged()
{
    m_screen.resize(m_dots.size());
    for (size_t i = 0; i < m_dots.size(); ++i)
        m_screen[i] = screenOf(m_dots[i].world);
    update();
}

int MapCanvas::recordAt(QPointF at) const
{
    int best = 0;
    double bestDistance = kPickRadius * kPickRadius + 0.5;
    for (size_t i = 0; i < m_screen.size(); ++i) {
        const QPointF d = m_screen[i] - at;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = m_dots[i].record;
        }
    }
    return best;
}

QString MapCanvas::toolTipFor(int record) const
{
    if (!m_list || !m_list->document().IsValidIndex(record))
        return QString();
    const LoggerRecord& rec = m_list->document().record(record);
    QString latest = LangText(764); // no reading
    if (statusOf(rec) != NoReading || !Ansi::trimmed(rec.Date[1].view()).empty())
        latest = Ansi::toQString(rec.Date[1]) + QLatin1Char(' ') + Ansi::toQString(rec.Status[1]) +
                 QLatin1Char(' ') + FormatReading(rec.Level[1]) + QLatin1Char(' ') +
                 FormatReading(rec.Spread[1]);
    return QString::fromLatin1(FormatSerial(rec.Serial).c_str()) + QLatin1Char('\n') +
           Ansi::toQString(rec.Comment1) + QLatin1Char('\n') + LangText(780) + QLatin1Char(' ') +
           latest.simplified();
}

MapCanvas::ScaleBar MapCanvas::scaleBar() const
{
    // Measured along the bar's own row: Web Mercator's scale changes with latitude.
    ScaleBar bar;
    bar.left = QPointF(12, height() - 16);
    constexpr double span = 150; // pixels at most
    const QPointF a = unproject(worldOf(bar.left));
    const QPointF b = unproject(worldOf(bar.left + QPointF(span, 0)));
    const double metres = GroundDistance(a.y(), a.x(), b.y(), b.x());
    if (!(metres > 0))
        return bar;
    const double power = std::pow(10.0, std::floor(std::log10(metres)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= metres) {
            bar.metres = step * power;
            break;
        }
    bar.pixels = span * bar.metres / metres;
    return bar;
}

void MapCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintMap(painter);
}

void MapCanvas::paintMap(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, width(), height()), QColor(250, 250, 245));
    drawLayers(painter);
    drawDots(painter);
    drawLabels(painter);
    drawLegend(painter);
    drawScaleBar(painter);
}

void MapCanvas::drawLayers(QPainter& painter)
{
    const QRectF view = QRectF(worldOf(QPointF(0, height())), worldOf(QPointF(width(), 0)));
    painter.save();
    // The outlines are kept scaled for the zoom; a pan only moves them.
    painter.translate(width() / 2.0 - m_centre.x() * m_scale,
                      height() / 2.0 + m_centre.y() * m_scale);
    // One of the map's pixels wide, on screen and on a page scaled up from it.
    QPen pen(QColor(60, 90, 170), std::max(1.0, painter.worldTransform().m11()));
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (LayerShape& l : m_layers) {
        if (l.scaledFor != m_scale) {
            l.scaledParts.resize(l.worldParts.size());
            for (size_t k = 0; k < l.worldParts.size(); ++k) {
                const QPolygonF& world = l.worldParts[k];
                QPolygonF& scaled = l.scaledParts[k];
                scaled.resize(world.size());
                for (int i = 0; i < world.size(); ++i)
                    scaled[i] = QPointF(world[i].x() * m_scale, -world[i].y() * m_scale);
            }
            l.scaledFor = m_scale;
        }
        for (size_t k = 0; k < l.scaledParts.size(); ++k) {
            if (!l.partBounds[k].intersects(view) && !l.partBounds[k].isEmpty())
                continue;
            if (l.closed[k])
                painter.drawPolygon(l.scaledParts[k]);
            else
                painter.drawPolyline(l.scaledParts[k]);
        }
        for (const QPointF& p : l.worldPoints)
            if (view.contains(p))
                painter.drawRect(QRectF(p.x() * m_scale - 2, -p.y() * m_scale - 2, 4, 4));
    }
    painter.restore();
}

void MapCanvas::drawDots(QPainter& painter)
{
    const QRectF inside = QRectF(rect()).adjusted(-kDotRadius, -kDotRadius, kDotRadius, kDotRadius);
    const QPointF half(kDotRadius + 1, kDotRadius + 1);
    // Leaks last, so that nothing hides them.
    for (Status s : {NoReading, NoLeak, Warning, Leak})
        for (size_t i = 0; i < m_dots.size(); ++i)
            if (m_dots[i].status == s && inside.contains(m_screen[i]))
                painter.drawPixmap(m_screen[i] - half, m_dotPixmaps[s]);
    const int current = m_list ? m_list->document().RecordOfLine(m_list->SelLine) : 0;
    for (size_t i = 0; i < m_dots.size(); ++i)
        if (current && m_dots[i].record == current) {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor(0, 90, 255), 3));
            painter.drawEllipse(m_screen[i], kDotRadius + 5, kDotRadius + 5);
            painter.restore();
        }
}

std::vector<MapCanvas::Label> MapCanvas::labels(const QFontMetrics& fm) const
{
    std::vector<Label> out;
    if (!m_list)
        return out;
    std::vector<size_t> shown;
    for (size_t i = 0; i < m_dots.size(); ++i)
        if (rect().contains(m_screen[i].toPoint()))
            shown.push_back(i);
    if (shown.empty() || shown.size() > kMaxLabelledDots)
        return out;
    // A label goes where it overlaps no other label, no other dot and not the
    // legend, right of its dot or, at the right edge, left of it; else not at all.
    std::vector<QRectF> taken{QRectF(legendBox(fm))};
    for (size_t i : shown)
        taken.push_back(QRectF(m_screen[i] - QPointF(kDotRadius, kDotRadius),
                               QSizeF(2 * kDotRadius, 2 * kDotRadius)));
    for (size_t i : shown) {
        const int record = m_dots[i].record;
        const QString text =
            QString::fromLatin1(FormatSerial(m_list->document().record(record).Serial).c_str());
        QRectF box(m_screen[i] + QPointF(kDotRadius + 2, -fm.height() / 2.0),
                   QSizeF(fm.horizontalAdvance(text) + 2, fm.height()));
        if (box.right() > width())
            box.moveRight(m_screen[i].x() - kDotRadius - 2);
        if (!QRectF(rect()).contains(box) ||
            std::any_of(taken.begin(), taken.end(),
                        [&](const QRectF& r) { return r.intersects(box); }))
            continue;
        taken.push_back(box);
        out.push_back({record, text, box});
    }
    return out;
}

void MapCanvas::drawLabels(QPainter& painter)
{
    painter.setPen(Qt::black);
    m_labelled.clear();
    for (const Label& label : labels(QFontMetrics(painter.font()))) {
        painter.drawText(label.box, Qt::AlignLeft | Qt::AlignVCenter, label.text);
        m_labelled.push_back(label.record);
    }
}

QRect MapCanvas::legendBox(const QFontMetrics& fm) const
{
    const int line = std::max(fm.height(), 2 * kDotRadius + 4);
    int width = 0;
    for (int s = 0; s < StatusCount; ++s)
        width = std::max(width, fm.horizontalAdvance(legendText(s)));
    width = std::max(width, fm.horizontalAdvance(legendText(StatusCount)) - 2 * kDotRadius - 6);
    return QRect(8, 8, width + 2 * kDotRadius + 20, line * (StatusCount + 1) + 8);
}

QString MapCanvas::legendText(int row) const
{
    static const int labels[StatusCount] = {761, 762, 763, 764};
    return row < StatusCount
               ? LangText(labels[row]) + QStringLiteral(": ") + QString::number(m_counts[row])
               : LangText(765) + QStringLiteral(": ") + QString::number(m_unplaced.size());
}

void MapCanvas::drawLegend(QPainter& painter)
{
    const QFontMetrics fm(painter.font());
    const int line = std::max(fm.height(), 2 * kDotRadius + 4);
    const QRect box = legendBox(fm);
    painter.setPen(QColor(120, 120, 120));
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    for (int s = 0; s <= StatusCount; ++s) {
        const int y = box.top() + 4 + s * line;
        if (s < StatusCount)
            painter.drawPixmap(box.left() + 6, y + (line - 2 * kDotRadius - 2) / 2,
                               m_dotPixmaps[s]);
        const int x = s < StatusCount ? box.left() + 2 * kDotRadius + 12 : box.left() + 6;
        painter.drawText(QRect(x, y, box.right() - x, line), Qt::AlignLeft | Qt::AlignVCenter,
                         legendText(s));
    }
}

void MapCanvas::drawScaleBar(QPainter& painter)
{
    const ScaleBar bar = scaleBar();
    if (bar.pixels <= 0)
        return;
    const QPointF l = bar.left;
    const QPointF r = l + QPointF(bar.pixels, 0);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(l, r);
    painter.drawLine(l, l - QPointF(0, 5));
    painter.drawLine(r, r - QPointF(0, 5));
    painter.drawText(QPointF(l.x() + 4, l.y() - 5), metresText(bar.metres));
}

void MapCanvas::resizeEvent(QResizeEvent*)
{
    // Until the user moves the map, it keeps every logger in view.
    if (!m_userMoved)
        fitAll();
    viewChanged();
}

void MapCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_dragging = false;
    m_pressAt = m_lastMouse = event->position().toPoint();
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const QPoint at = event->position().toPoint();
    if (!m_dragging && (at - m_pressAt).manhattanLength() > 3) {
        m_dragging = true;
        setCursor(Qt::ClosedHandCursor);
    }
    if (m_dragging) {
        panBy(at - m_lastMouse);
        m_lastMouse = at;
    }
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (m_dragging) {
        m_dragging = false;
        unsetCursor();
        return;
    }
    if (const int record = recordAt(event->position()))
        emit dotClicked(record);
}

void MapCanvas::wheelEvent(QWheelEvent* event)
{
    // One notch of a wheel (120) zooms by a factor of 1.25.
    zoomAt(event->position(), std::pow(1.25, event->angleDelta().y() / 120.0));
    event->accept();
}

bool MapCanvas::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipFor(recordAt(help->pos()));
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}
