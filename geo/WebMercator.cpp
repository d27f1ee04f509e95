#include "WebMercator.h"

#include <proj.h>

#include <algorithm>

namespace {
// The latitude at which Web Mercator's world is square.
constexpr double kMaxLat = 85.05112878;
} // namespace

struct WebMercator::Impl
{
    PJ_CONTEXT* context = proj_context_create();
    PJ* transform = nullptr;

    Impl()
    {
        proj_log_level(context, PJ_LOG_NONE);
        if (PJ* raw = proj_create_crs_to_crs(context, "EPSG:4326", "EPSG:3857", nullptr)) {
            transform = proj_normalize_for_visualization(context, raw); // lon, lat order
            proj_destroy(raw);
        }
    }
    ~Impl()
    {
        proj_destroy(transform);
        proj_context_destroy(context);
    }
    QPointF run(PJ_DIRECTION direction, double x, double y) const
    {
        if (!transform)
            return {};
        const PJ_COORD out = proj_trans(transform, direction, proj_coord(x, y, 0, 0));
        return {out.xy.x, out.xy.y};
    }
};

WebMercator::WebMercator() : d(std::make_unique<Impl>()) {}

WebMercator::~WebMercator() = default;

QPointF WebMercator::forward(double lat, double lon) const
{
    return d->run(PJ_FWD, lon, std::clamp(lat, -kMaxLat, kMaxLat));
}

QPointF WebMercator::inverse(QPointF metres) const
{
    return d->run(PJ_INV, metres.x(), metres.y());
}
