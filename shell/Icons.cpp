#include "Icons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSize = 24;
const QColor kInk(40, 50, 70);
const QColor kPaper(250, 250, 245);
const QColor kWater(30, 120, 200);
const QColor kLeaf(60, 150, 80);

void page(QPainter& p, const QRectF& r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 5, r.top()), QPointF(r.right() - 5, r.top() + 5));
    p.drawLine(QPointF(r.right() - 5, r.top() + 5), QPointF(r.right(), r.top() + 5));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::max(1.0, std::hypot(d.x(), d.y()));
    const QPointF u(d.x() / len, d.y() / len), n(-u.y(), u.x());
    p.drawLine(to, to - 5 * u + 4 * n);
    p.drawLine(to, to - 5 * u - 4 * n);
}

void handheld(QPainter& p)
{
    p.setBrush(QColor(90, 100, 120));
    p.drawRoundedRect(QRectF(3, 4, 10, 17), 2, 2);
    p.setBrush(QColor(170, 220, 190));
    p.drawRect(QRectF(5, 6, 6, 5));
}

void draw(QPainter& p, const QString& key)
{
    p.setPen(QPen(kInk, 1.2));
    if (key == QLatin1String("New")) {
        page(p, QRectF(5, 2, 14, 20));
    } else if (key == QLatin1String("Open")) {
        p.setBrush(QColor(235, 190, 80));
        p.drawRect(QRectF(2, 7, 20, 14));
        p.drawRect(QRectF(2, 5, 8, 3));
        p.setBrush(QColor(250, 215, 120));
        QPolygonF lid;
        lid << QPointF(5, 11) << QPointF(23, 11) << QPointF(20, 21) << QPointF(2, 21);
        p.drawPolygon(lid);
    } else if (key == QLatin1String("Save")) {
        p.setBrush(kWater);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(200, 210, 225));
        p.drawRect(QRectF(6, 13, 12, 8));
    } else if (key == QLatin1String("Print")) {
        page(p, QRectF(7, 2, 10, 8));
        p.setBrush(QColor(150, 160, 175));
        p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
        page(p, QRectF(6, 15, 12, 7));
    } else if (key == QLatin1String("Cut")) {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3, 14, 7, 7));
        p.drawEllipse(QRectF(14, 14, 7, 7));
        p.setPen(QPen(kInk, 1.8));
        p.drawLine(QPointF(8, 15), QPointF(17, 2));
        p.drawLine(QPointF(16, 15), QPointF(7, 2));
    } else if (key == QLatin1String("Copy")) {
        page(p, QRectF(3, 2, 12, 15));
        page(p, QRectF(9, 7, 12, 15));
    } else if (key == QLatin1String("Paste")) {
        p.setBrush(QColor(190, 150, 100));
        p.drawRoundedRect(QRectF(3, 4, 15, 18), 2, 2);
        p.setBrush(QColor(150, 160, 175));
        p.drawRect(QRectF(7, 2, 7, 4));
        page(p, QRectF(10, 9, 11, 13));
    } else if (key == QLatin1String("Back")) {
        arrow(p, QPointF(12, 20), QPointF(12, 4), kWater);
    } else if (key == QLatin1String("Forward")) {
        arrow(p, QPointF(12, 4), QPointF(12, 20), kWater);
    } else if (key == QLatin1String("from_korvalind")) {
        handheld(p);
        arrow(p, QPointF(14, 12), QPointF(23, 12), kLeaf);
    } else if (key == QLatin1String("to_korvalind")) {
        handheld(p);
        p.setPen(QPen(kInk, 1.2));
        arrow(p, QPointF(23, 12), QPointF(14, 12), kWater);
    } else if (key == QLatin1String("AddQuorvane")) {
        // A logger (a cylinder on a pipe) and a plus sign.
        p.setBrush(QColor(120, 130, 145));
        p.drawRect(QRectF(2, 16, 16, 5));
        p.setBrush(kLeaf);
        p.drawRoundedRect(QRectF(6, 5, 8, 12), 2, 2);
        p.setPen(QPen(kWater, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 3), QPointF(19, 11));
        p.drawLine(QPointF(15, 7), QPointF(23, 7));
    }
}

} // namespace

QIcon ToolbarIcon(const QString& key)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, key);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QImage ApplicationIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0); // drawn on the SVG's 256 by 256 canvas
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1E78C8));
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 48, 48);
    p.setBrush(Qt::white);
    const QPointF logger(88, 168);
    p.drawEllipse(logger, 34, 34);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 16, Qt::SolidLine, Qt::RoundCap));
    for (double r : {64.0, 100.0, 136.0}) {
        QPainterPath wave;
        const QRectF box(logger.x() - r, logger.y() - r, 2 * r, 2 * r);
        wave.arcMoveTo(box, 80);
        wave.arcTo(box, 80, -70);
        p.drawPath(wave);
    }
    return image;
}

QIcon ApplicationIcons()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(ApplicationIcon(size)));
    return icon;
}

QPixmap BrandingLogo(const QString& initials, const QColor& background, const QColor& foreground,
                     int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A water drop with the initials on it.
    QPainterPath drop;
    const double s = size;
    drop.moveTo(s / 2, s * 0.04);
    drop.cubicTo(s * 0.62, s * 0.28, s * 0.92, s * 0.45, s * 0.92, s * 0.64);
    drop.arcTo(QRectF(s * 0.08, s * 0.22, s * 0.84, s * 0.74), 0, -180);
    drop.cubicTo(s * 0.08, s * 0.45, s * 0.38, s * 0.28, s / 2, s * 0.04);
    p.setPen(QPen(background.darker(140), 2));
    p.setBrush(background);
    p.drawPath(drop);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(size / 4);
    p.setFont(font);
    p.setPen(foreground);
    p.drawText(QRectF(0, s * 0.42, s, s * 0.4), Qt::AlignCenter, initials);
    return pixmap;
}
