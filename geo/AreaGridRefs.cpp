#include "AreaGridRefs.h"

#include "PositionFinder.h"
#include "VectorLayer.h"

#include <GeographicLib/OSGB.hpp>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr int kBng = 27700;
constexpr double kSquare = 10; // metres, the grid reference's resolution
// Tries for one point before the area counts as too small to hold any: a
// compact district needs a handful, a sliver of one could need thousands.
constexpr int kMaxTries = 100000;

bool onGrid(QPointF p)
{
    return p.x() >= 0 && p.x() < 700000 && p.y() >= 0 && p.y() < 1300000;
}

} // namespace

std::string NationalGridRef(QPointF metres)
{
    if (!onGrid(metres))
        return {};
    std::string ref;
    try {
        GeographicLib::OSGB::GridReference(metres.x(), metres.y(), 4, ref);
    } catch (const GeographicLib::GeographicErr&) {
        return {};
    }
    if (ref.size() != 10)
        return {};
    return ref.substr(0, 2) + ' ' + ref.substr(2, 4) + ' ' + ref.substr(6, 4);
}

AreaGridRefs GridRefsInArea(const QString& path, int count, quint32 seed)
{
    AreaGridRefs out;
    const auto fail = [&out](const QString& why) {
        out.refs.clear();
        out.error = why;
        return out;
    };
    VectorLayer area;
    if (!area.load(path, kBng))
        return fail(area.error());
    double left = 0, right = 0, bottom = 0, top = 0;
    bool anyPolygon = false;
    for (int k = 0; k < area.partCount(); ++k) {
        if (!area.partClosed(k))
            continue;
        for (int i = area.partStart(k); i < area.partStart(k + 1); ++i) {
            const QPointF& p = area.vertices()[size_t(i)];
            if (!onGrid(p))
                return fail(QStringLiteral("It reaches outside the British National Grid"));
            left = anyPolygon ? std::min(left, p.x()) : p.x();
            right = anyPolygon ? std::max(right, p.x()) : p.x();
            bottom = anyPolygon ? std::min(bottom, p.y()) : p.y();
            top = anyPolygon ? std::max(top, p.y()) : p.y();
            anyPolygon = true;
        }
    }
    if (!anyPolygon)
        return fail(QStringLiteral("It holds no polygon"));

    // Whole 10 m squares covering the polygons; a square is taken when its
    // centre, where the reference places a logger, lies inside.
    const double west = std::floor(left / kSquare), south = std::floor(bottom / kSquare);
    const auto across = quint32(std::floor(right / kSquare) - west) + 1;
    const auto up = quint32(std::floor(top / kSquare) - south) + 1;
    // mt19937's sequence is the same everywhere, unlike the distributions'.
    std::mt19937 random(seed);
    PositionFinder finder(QStringLiteral("0"));
    for (int n = 0; n < count; ++n) {
        QPointF centre;
        for (int tries = 0;; ++tries) {
            if (tries == kMaxTries)
                return fail(QStringLiteral(
                    "Its polygons are too small to hold the centre of a 10 m square"));
            const double x = west + random() % across, y = south + random() % up;
            centre = QPointF((x + 0.5) * kSquare, (y + 0.5) * kSquare);
            if (area.contains(centre))
                break;
        }
        std::string ref = NationalGridRef(centre);
        const GeoPosition placed = finder.fromGridRef(ref);
        if (!placed.valid)
            return fail(QStringLiteral("It lies outside Great Britain: %1").arg(placed.reason));
        out.refs.push_back(std::move(ref));
    }
    return out;
}
