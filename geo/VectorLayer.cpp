#include "VectorLayer.h"

#include <QFile>
#include <QFileInfo>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <memory>
#include <mutex>

namespace {

struct DatasetCloser
{
    void operator()(GDALDataset* d) const { GDALClose(d); }
};

QString lastGdalError()
{
    const QString text = QString::fromUtf8(CPLGetLastErrorMsg()).trimmed();
    return text.isEmpty() ? QStringLiteral("GDAL gave no reason") : text;
}

} // namespace

struct VectorLayerReader
{
    VectorLayer& out;

    void endPart(bool closed)
    {
        if (static_cast<int>(out.m_vertices.size()) == out.m_partStarts.back())
            return;
        out.m_partStarts.push_back(static_cast<int>(out.m_vertices.size()));
        out.m_closed.push_back(closed);
    }

    void curve(const OGRSimpleCurve& line, bool closed)
    {
        const int n = line.getNumPoints();
        for (int i = 0; i < n; ++i)
            out.m_vertices.emplace_back(line.getX(i), line.getY(i));
        endPart(closed);
    }

    void geometry(const OGRGeometry& g)
    {
        switch (wkbFlatten(g.getGeometryType())) {
        case wkbPoint: {
            const auto& p = *g.toPoint();
            if (!p.IsEmpty())
                out.m_points.emplace_back(p.getX(), p.getY());
            break;
        }
        case wkbLineString:
        case wkbLinearRing:
            curve(*g.toLineString(), false);
            break;
        case wkbPolygon:
            for (const OGRLinearRing* ring : *g.toPolygon())
                curve(*ring, true);
            break;
        case wkbMultiPoint:
        case wkbMultiLineString:
        case wkbMultiPolygon:
        case wkbGeometryCollection:
            for (const OGRGeometry* part : *g.toGeometryCollection())
                geometry(*part);
            break;
        default: {
            // Curves and the rest: as the straight segments OGR makes of them.
            std::unique_ptr<OGRGeometry> linear(g.getLinearGeometry());
            if (linear && wkbFlatten(linear->getGeometryType()) != wkbFlatten(g.getGeometryType()))
                geometry(*linear);
            break;
        }
        }
    }
};

bool VectorLayer::load(const QString& path, int epsg, size_t maxPoints)
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });

    *this = VectorLayer();
    m_path = path;
    const auto fail = [this](const QString& why) {
        const QString keep = m_path;
        *this = VectorLayer();
        m_path = keep;
        m_error = why;
        return false;
    };

    CPLErrorReset();
    const QByteArray name = QFile::encodeName(path);
    std::unique_ptr<GDALDataset, DatasetCloser> data(GDALDataset::FromHandle(GDALOpenEx(
        name.constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
    if (!data) {
        // GDAL says nothing of a file that is not there.
        const QString why = *CPLGetLastErrorMsg() == 0 && !QFileInfo::exists(path)
                                ? QStringLiteral("there is no such file")
                                : lastGdalError();
        return fail(QStringLiteral("GDAL cannot read it as a vector file (%1)").arg(why));
    }
    if (data->GetLayerCount() < 1)
        return fail(QStringLiteral("It holds no vector layer"));

    OGRSpatialReference target;
    if (target.importFromEPSG(epsg) != OGRERR_NONE)
        return fail(QStringLiteral("GDAL does not know EPSG:%1 (%2)")
                        .arg(QString::number(epsg), lastGdalError()));
    const QString targetName = QString::fromUtf8(target.GetName());
    // Longitude (easting) first, whatever the EPSG axis order says.
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);

    VectorLayerReader reader{*this};
    CPLErrorReset(); // from here, an error means a feature could not be read
    for (OGRLayer* layer : data->GetLayers()) {
        const OGRSpatialReference* source = layer->GetSpatialRef();
        if (!source)
            return fail(QStringLiteral("Its layer %1 has no coordinate system")
                            .arg(QString::fromUtf8(layer->GetName())));
        OGRSpatialReference from(*source);
        from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        std::unique_ptr<OGRCoordinateTransformation> toTarget(
            OGRCreateCoordinateTransformation(&from, &target));
        if (!toTarget)
            return fail(QStringLiteral("Its coordinate system cannot be converted to %1 (%2)")
                            .arg(targetName, lastGdalError()));
        layer->ResetReading();
        for (auto& feature : *layer) {
            OGRGeometry* g = feature->GetGeometryRef();
            if (!g)
                continue;
            if (g->transform(toTarget.get()) != OGRERR_NONE)
                return fail(QStringLiteral("A feature lies where its coordinate system cannot "
                                           "be converted to %1")
                                .arg(targetName));
            reader.geometry(*g);
            if (m_vertices.size() + m_points.size() > maxPoints)
                return fail(QStringLiteral("It has more than %L1 vertices and points, more than "
                                           "the map draws; clip it to the district or simplify "
                                           "it first")
                                .arg(qulonglong(maxPoints)));
        }
    }
    // OGR goes on past a feature it cannot read; a part of the file is not the file.
    if (CPLGetLastErrorType() >= CE_Failure)
        return fail(QStringLiteral("It is damaged: %1").arg(lastGdalError()));
    return true;
}

bool VectorLayer::contains(QPointF p) const
{
    bool inside = false;
    for (int k = 0; k < partCount(); ++k) {
        if (!partClosed(k))
            continue;
        const int end = partStart(k + 1);
        // Each edge the rightward ray from p crosses flips the answer; a ring
        // is closed whether or not its last vertex repeats its first.
        for (int i = partStart(k), j = end - 1; i < end; j = i++) {
            const QPointF& a = m_vertices[size_t(i)];
            const QPointF& b = m_vertices[size_t(j)];
            if ((a.y() > p.y()) != (b.y() > p.y()) &&
                p.x() < a.x() + (p.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y()))
                inside = !inside;
        }
    }
    return inside;
}
