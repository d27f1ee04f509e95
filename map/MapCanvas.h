#pragma once
// The drawing of the map: a list window's loggers as dots over background
// layers, in a Web-Mercator view. The projected positions are kept, and the
// screen positions and layer outlines are worked out again only when the view
// moves, so a repaint costs the drawing alone.

#include "ListWindow.h"

#include <QPointer>
#include <QPolygonF>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class PositionFinder;
class VectorLayer;
struct LoggerRecord;

class MapCanvas : public QWidget
{
    Q_OBJECT
public:
    // The latest reading of a logger, as its status letter says.
    enum Status { Leak, Warning, NoLeak, NoReading, StatusCount };
    static Status statusOf(const LoggerRecord& rec);
    static QColor colour(Status status);

    struct Dot
    {
        QPointF world; // Web-Mercator metres, y north
        int record;
        Status status;
    };
    struct Unplaced
    {
        int record;
        QString reason;
    };

    explicit MapCanvas(QWidget* parent = nullptr);
    ~MapCanvas() override;

    // The list window shown; null shows nothing. A new list is fitted.
    void setList(ListWindow* list);
    ListWindow* list() const { return m_list; }
    // Reads the loggers' positions again now (otherwise done once the
    // events of an edit are over).
    void refreshNow();
    const std::vector<Dot>& dots() const { return m_dots; }
    const std::vector<Unplaced>& unplaced() const { return m_unplaced; }
    // The records whose serial the last painting labelled.
    const std::vector<int>& labelled() const { return m_labelled; }
    int count(Status status) const { return m_counts[status]; }

    // The layers drawn under the dots, bottom first.
    void setLayers(std::vector<std::shared_ptr<const VectorLayer>> layers);

    void fitAll();
    // factor > 1 zooms in, keeping the point under `at` where it is.
    void zoomAt(QPointF at, double factor);
    void panBy(QPointF delta);
    // Centres the view on the point at that many screen pixels per metre of
    // the projection.
    void setView(double lat, double lon, double pixelsPerMetre);
    double pixelsPerMetre() const { return m_scale; }
    QPointF toScreen(double lat, double lon) const;
    // Where the record's dot is drawn; null when it has none.
    std::optional<QPointF> dotOf(int record) const;

    // The record of the dot under the point (the nearest within a few pixels), or 0.
    int recordAt(QPointF at) const;
    QString toolTipFor(int record) const;

    // The scale bar: a round number of metres on the ground and its length in pixels.
    struct ScaleBar
    {
        double metres = 0;
        double pixels = 0;
        QPointF left; // its left end on the canvas
    };
    ScaleBar scaleBar() const;

    // The legend's frame in the top left corner, for texts of that font.
    QRect legendBox(const QFontMetrics& fm) const;
    // The serial labels drawn for the view as it is: where each goes, clear
    // of the other labels and dots; none when too many dots are in view.
    struct Label
    {
        int record;
        QString text;
        QRectF box;
    };
    std::vector<Label> labels(const QFontMetrics& fm) const;

    // The whole map as shown, legend and scale bar included, into any painter
    // (a printer or PDF page scaled to it, an image).
    void paintMap(QPainter& painter);

signals:
    void dotClicked(int record);
    // The positions were read again: the counts may have changed.
    void loggersChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct LayerShape
    {
        std::shared_ptr<const VectorLayer> layer;
        std::vector<QPolygonF> worldParts; // Web-Mercator metres
        std::vector<QRectF> partBounds;
        std::vector<bool> closed;
        std::vector<QPointF> worldPoints;
        std::vector<QPolygonF> scaledParts; // worldParts x the scale, y down
        double scaledFor = 0;
    };

    void scheduleRefresh();
    void viewChanged();
    // The view that shows the world box within the area of the canvas.
    void fitInto(const QRectF& world, const QRectF& area);
    QPointF screenOf(QPointF world) const;
    QPointF worldOf(QPointF screen) const;
    std::optional<QRectF> worldBounds() const;
    void drawLayers(QPainter& painter);
    void drawDots(QPainter& painter);
    void drawLabels(QPainter& painter);
    void drawLegend(QPainter& painter);
    // Row s of the legend: a status and its count, then the loggers without a position.
    QString legendText(int row) const;
    void drawScaleBar(QPainter& painter);

    QPointer<ListWindow> m_list;
    std::unique_ptr<PositionFinder> m_finder;
    QString m_finderFormat;
    std::vector<Dot> m_dots;
    std::vector<Unplaced> m_unplaced;
    int m_counts[StatusCount] = {};
    bool m_refreshPending = false;

    std::vector<LayerShape> m_layers;

    QPointF m_centre; // world
    double m_scale = 1e-3;
    std::vector<QPointF> m_screen; // of m_dots, for the view as it is
    std::vector<int> m_labelled;
    QPixmap m_dotPixmaps[StatusCount];

    QPoint m_pressAt;
    QPoint m_lastMouse;
    bool m_pressed = false;
    bool m_dragging = false;
    bool m_userMoved = false;
};
