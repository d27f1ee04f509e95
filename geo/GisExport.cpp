#include "GisExport.h"

#include "Ansi.h"
#include "LoggerList.h"
#include "PositionFinder.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace {

enum Field {
    FSerial,
    FGridRef,
    FComment1,
    FComment2,
    FDeployed,
    FReceived,
    FUserComm,
    FDate,
    FStatus,
    FLevel,
    FSpread,
    FReadings,
    FLeaks,
    FLatitude, // CSV only
    FLongitude,
    FieldCount
};

const struct
{
    const char* name;
    OGRFieldType type;
} kFields[FieldCount] = {
    {"serial", OFTString},   {"gridref", OFTString},  {"comment1", OFTString},
    {"comment2", OFTString}, {"deployed", OFTString}, {"received", OFTString},
    {"usercomm", OFTString}, {"date", OFTString},     {"status", OFTString},
    {"level", OFTInteger},   {"spread", OFTInteger},  {"readings", OFTInteger},
    {"leaks", OFTInteger},   {"latitude", OFTReal},   {"longitude", OFTReal},
};

enum ReadingField { RSerial, RDate, RStatus, RLevel, RSpread, ReadingFieldCount };

// A spatial index left from an older Shapefile would no longer fit the new
// one, so it goes with the files it indexed.
const char* const kShapeIndexes[] = {"qix", "sbn", "sbx"};

QByteArray nativeName(const QString& path)
{
#ifdef Q_OS_WIN
    return path.toUtf8(); // GDAL takes UTF-8 names on Windows
#else
    return QFile::encodeName(path);
#endif
}

// Collects the first failure GDAL reports while it is alive, instead of
// letting GDAL print it.
class GdalErrors
{
public:
    GdalErrors() { CPLPushErrorHandlerEx(collect, this); }
    ~GdalErrors() { CPLPopErrorHandler(); }
    GdalErrors(const GdalErrors&) = delete;
    GdalErrors& operator=(const GdalErrors&) = delete;
    bool failed() const { return m_failed; }
    QString text() const { return m_text; }

private:
    static void CPL_STDCALL collect(CPLErr kind, CPLErrorNum, const char* message)
    {
        auto* self = static_cast<GdalErrors*>(CPLGetErrorHandlerUserData());
        if (kind < CE_Failure || self->m_failed)
            return;
        self->m_failed = true;
        self->m_text = QString::fromUtf8(message);
    }
    bool m_failed = false;
    QString m_text;
};

// The UTF-8 of a Windows-1252 text; plain ASCII passes as it stands.
const char* utf8(std::string_view text, std::string& buffer)
{
    bool ascii = true;
    for (const char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        buffer.assign(text);
    } else {
        const QByteArray u = Ansi::toQString(text).toUtf8();
        buffer.assign(u.constData(), static_cast<size_t>(u.size()));
    }
    return buffer.c_str();
}

bool hasReading(const LoggerRecord& rec, int h)
{
    return !Ansi::trimmed(rec.Date[h].view()).empty() ||
           !Ansi::trimmed(rec.Status[h].view()).empty();
}

QString temporaryBase(const QString& folder)
{
    QString base;
    do {
        base = folder + QStringLiteral("/.quorvane-export-") +
               QString::number(QRandomGenerator::global()->generate(), 16);
    } while (QFileInfo::exists(base + QStringLiteral(".shp")));
    return base;
}

struct Output
{
    const char* driver;
    const char* extension; // of the file GDAL writes
};

Output outputFor(GisFormat format)
{
    switch (format) {
    case GisFormat::GeoPackage:
        return {"GPKG", "gpkg"};
    case GisFormat::GeoJson:
        return {"GeoJSON", "geojson"};
    case GisFormat::Kml:
        return {"KML", "kml"}; // LIBKML takes minutes for a few thousand placemarks
    case GisFormat::Shapefile:
        return {"ESRI Shapefile", "shp"};
    case GisFormat::Csv:
        return {"CSV", "csv"};
    case GisFormat::Unknown:
        break;
    }
    return {nullptr, nullptr};
}

struct Closer
{
    void operator()(GDALDataset* ds) const { GDALClose(ds); }
};

// Writes the dataset; false with GDAL's reason when anything failed.
// A GDAL setting for this thread while the object lives.
class ThreadOption
{
public:
    ThreadOption(const char* key, const char* value) : m_key(key)
    {
        if (const char* old = CPLGetThreadLocalConfigOption(key, nullptr))
            m_old = old;
        CPLSetThreadLocalConfigOption(key, value);
    }
    ~ThreadOption() { CPLSetThreadLocalConfigOption(m_key, m_old ? m_old->c_str() : nullptr); }
    ThreadOption(const ThreadOption&) = delete;
    ThreadOption& operator=(const ThreadOption&) = delete;

private:
    const char* m_key;
    std::optional<std::string> m_old;
};

class DatasetWriter
{
public:
    DatasetWriter(const LoggerList& list, const std::vector<GeoPosition>& positions,
                  GisFormat format)
        : m_list(list), m_positions(positions), m_format(format),
          m_leak(StatusTexts::fromLanguageFile().Leak)
    {
    }

    bool write(const QString& path, GisExportResult& result)
    {
        static std::once_flag registered;
        std::call_once(registered, [] { GDALAllRegister(); });
        const Output out = outputFor(m_format);
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(out.driver);
        if (!driver)
            return fail(QStringLiteral("GDAL has no %1 driver").arg(QLatin1String(out.driver)));
        // The database is built in memory and written out whole by us: a
        // journal would only copy pages, and a larger cache spills less.
        const ThreadOption journal("OGR_SQLITE_JOURNAL", "OFF"), cache("OGR_SQLITE_CACHE", "64");
        std::unique_ptr<GDALDataset, Closer> ds(
            driver->Create(nativeName(path).constData(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!ds)
            return fail();
        OGRLayer* points = createPoints(*ds);
        OGRLayer* readings = m_format == GisFormat::GeoPackage ? createReadings(*ds) : nullptr;
        if (!points || (m_format == GisFormat::GeoPackage && !readings))
            return fail();
        // One transaction for the whole file: a GeoPackage commits once.
        const bool transaction =
            ds->TestCapability(ODsCTransactions) && ds->StartTransaction(FALSE) == OGRERR_NONE;
        if (!writePoints(*points, result) || (readings && !writeReadings(*readings)))
            return fail();
        if (transaction && ds->CommitTransaction() != OGRERR_NONE)
            return fail();
        ds.reset(); // closes and flushes; a failure shows in m_errors
        return !m_errors.failed() || fail();
    }

    QString error() const { return m_error; }

private:
    bool fail(const QString& why = QString())
    {
        m_error = !why.isEmpty()      ? why
                  : m_errors.failed() ? m_errors.text()
                                      : QStringLiteral("GDAL could not write the file");
        return false;
    }

    // The widest UTF-8 text of each text field, for a Shapefile's fixed widths.
    std::vector<int> textWidths()
    {
        std::vector<int> widths(FieldCount, 1);
        std::string b;
        auto widen = [&](Field f, std::string_view text) {
            widths[f] = std::max(widths[f], int(std::strlen(utf8(text, b))));
        };
        for (int line = 1; line <= m_list.LineCount(); ++line) {
            const LoggerRecord& r = m_list.record(m_list.RecordOfLine(line));
            widen(FSerial, "00000000");
            widen(FGridRef, r.GridRef);
            widen(FComment1, r.Comment1);
            widen(FComment2, r.Comment2);
            widen(FDeployed, r.Deployed);
            widen(FReceived, r.Received);
            widen(FUserComm, r.UserComments);
            widen(FDate, r.Date[1]);
            widen(FStatus, r.Status[1]);
        }
        for (int& w : widths)
            w = std::min(w, 254);
        return widths;
    }

    OGRLayer* createPoints(GDALDataset& ds)
    {
        OGRSpatialReference wgs84;
        wgs84.SetWellKnownGeogCS("WGS84");
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        CPLStringList options;
        if (m_format == GisFormat::GeoJson)
            options.SetNameValue("RFC7946", "YES");
        if (m_format == GisFormat::Shapefile)
            options.SetNameValue("ENCODING", "UTF-8");
        if (m_format == GisFormat::Csv)
            options.SetNameValue("LINEFORMAT", "CRLF");
        const bool csv = m_format == GisFormat::Csv;
        OGRLayer* layer = ds.CreateLayer("loggers", csv ? nullptr : &wgs84,
                                         csv ? wkbNone : wkbPoint, options.List());
        if (!layer)
            return nullptr;
        const std::vector<int> widths =
            m_format == GisFormat::Shapefile ? textWidths() : std::vector<int>(FieldCount, 0);
        for (int f = 0; f < FieldCount; ++f) {
            if ((f == FLatitude || f == FLongitude) && !csv)
                continue;
            OGRFieldDefn field(kFields[f].name, kFields[f].type);
            if (kFields[f].type == OFTString)
                field.SetWidth(widths[f]);
            if (layer->CreateField(&field) != OGRERR_NONE)
                return nullptr;
        }
        return layer;
    }

    OGRLayer* createReadings(GDALDataset& ds)
    {
        OGRLayer* layer = ds.CreateLayer("readings", nullptr, wkbNone);
        if (!layer)
            return nullptr;
        for (const Field f : {FSerial, FDate, FStatus, FLevel, FSpread}) {
            OGRFieldDefn field(kFields[f].name, kFields[f].type);
            if (layer->CreateField(&field) != OGRERR_NONE)
                return nullptr;
        }
        return layer;
    }

    bool writePoints(OGRLayer& layer, GisExportResult& result)
    {
        // A driver may put fields of its own first (KML its name and description).
        int at[FieldCount];
        for (int f = 0; f < FieldCount; ++f)
            at[f] = layer.GetLayerDefn()->GetFieldIndex(kFields[f].name);
        OGRFeature feature(layer.GetLayerDefn());
        std::string b;
        for (int line = 1; line <= m_list.LineCount(); ++line) {
            const int index = m_list.RecordOfLine(line);
            const LoggerRecord& r = m_list.record(index);
            const GeoPosition& p = m_positions[static_cast<size_t>(index - 1)];
            if (!p.valid) {
                result.unplaced.push_back({r.Serial, p.reason});
                continue;
            }
            feature.SetFID(OGRNullFID);
            feature.SetField(at[FSerial], FormatSerial(r.Serial).c_str());
            feature.SetField(at[FGridRef], utf8(r.GridRef, b));
            feature.SetField(at[FComment1], utf8(r.Comment1, b));
            feature.SetField(at[FComment2], utf8(r.Comment2, b));
            feature.SetField(at[FDeployed], utf8(r.Deployed, b));
            feature.SetField(at[FReceived], utf8(r.Received, b));
            feature.SetField(at[FUserComm], utf8(r.UserComments, b));
            if (hasReading(r, 1)) {
                feature.SetField(at[FDate], utf8(r.Date[1], b));
                feature.SetField(at[FStatus], utf8(r.Status[1], b));
                feature.SetField(at[FLevel], r.Level[1]);
                feature.SetField(at[FSpread], r.Spread[1]);
            } else {
                for (const Field f : {FDate, FStatus, FLevel, FSpread})
                    feature.SetFieldNull(at[f]);
            }
            int readings = 0, leaks = 0;
            for (int h = 1; h <= m_list.NumHistories; ++h) {
                if (!hasReading(r, h))
                    continue;
                ++readings;
                leaks += !m_leak.empty() && StatusIs(r.Status[h], m_leak) ? 1 : 0;
            }
            feature.SetField(at[FReadings], readings);
            feature.SetField(at[FLeaks], leaks);
            if (m_format == GisFormat::Csv) {
                feature.SetField(at[FLatitude], p.lat);
                feature.SetField(at[FLongitude], p.lon);
            } else {
                OGRPoint point(p.lon, p.lat);
                feature.SetGeometry(&point);
            }
            if (layer.CreateFeature(&feature) != OGRERR_NONE)
                return false;
            ++result.written;
        }
        return true;
    }

    bool writeReadings(OGRLayer& layer)
    {
        OGRFeature feature(layer.GetLayerDefn());
        std::string b;
        for (int line = 1; line <= m_list.LineCount(); ++line) {
            const LoggerRecord& r = m_list.record(m_list.RecordOfLine(line));
            const std::string serial = FormatSerial(r.Serial);
            for (int h = 1; h <= m_list.NumHistories; ++h) {
                if (!hasReading(r, h))
                    continue;
                feature.SetFID(OGRNullFID);
                feature.SetField(RSerial, serial.c_str());
                feature.SetField(RDate, utf8(r.Date[h], b));
                feature.SetField(RStatus, utf8(r.Status[h], b));
                feature.SetField(RLevel, r.Level[h]);
                feature.SetField(RSpread, r.Spread[h]);
                if (layer.CreateFeature(&feature) != OGRERR_NONE)
                    return false;
            }
        }
        return true;
    }

    const LoggerList& m_list;
    const std::vector<GeoPosition>& m_positions;
    GisFormat m_format;
    std::string m_leak;
    GdalErrors m_errors;
    QString m_error;
};

// Puts a Shapefile's finished parts in the place of their targets, only
// after the old ones were moved aside, so that a failure part-way puts the
// old ones back. Targets without a finished file (a stale index) are moved
// aside and removed.
bool placeFiles(const QStringList& finished, const QStringList& targets)
{
    const QString aside = temporaryBase(QFileInfo(targets[0]).absolutePath());
    QStringList moved(targets.size());
    int placed = 0;
    bool ok = true;
    for (int i = 0; ok && i < targets.size(); ++i) {
        if (!QFileInfo::exists(targets[i]))
            continue;
        moved[i] = aside + QLatin1Char('.') + QFileInfo(targets[i]).suffix();
        ok = ReplaceFile(targets[i], moved[i]);
        if (!ok)
            moved[i].clear();
    }
    for (; ok && placed < targets.size(); ++placed)
        ok = finished[placed].isEmpty() || ReplaceFile(finished[placed], targets[placed]);
    if (!ok) {
        for (int i = 0; i < placed; ++i)
            if (!finished[i].isEmpty())
                QFile::remove(targets[i]);
    }
    for (int i = 0; i < targets.size(); ++i) {
        if (moved[i].isEmpty())
            continue;
        if (ok)
            QFile::remove(moved[i]);
        else
            ReplaceFile(moved[i], targets[i]);
    }
    return ok;
}

// The bytes of a file GDAL wrote in memory.
QByteArray memoryFile(const QByteArray& folder, const char* name)
{
    vsi_l_offset size = 0;
    const QByteArray path = folder + '/' + name;
    const GByte* bytes = VSIGetMemFileBuffer(path.constData(), &size, FALSE);
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes),
                                   static_cast<qsizetype>(size));
}

bool writeNew(const QString& path, const QByteArray& bytes, QString& error)
{
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
                    file.write(bytes) == bytes.size() && file.flush();
    if (!ok)
        error = file.errorString();
    return ok;
}

// Puts the files GDAL made (names, in folder) on disk at path: one file
// through a save file, a Shapefile's parts under temporary names first.
bool saveFiles(const QByteArray& folder, const CPLStringList& names, const QString& path,
               bool shapefile, QString& error)
{
    if (!shapefile) {
        const QByteArray bytes = memoryFile(folder, names[0]);
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
            return true;
        error = file.errorString();
        return false;
    }
    const QFileInfo target(path);
    const QString suffix = target.suffix();
    const QString stem = path.left(path.size() - suffix.size());
    const bool upper = suffix == suffix.toUpper();
    const QString base = temporaryBase(target.absolutePath());
    QStringList finished, targets;
    bool ok = true;
    for (int i = 0; i < names.Count(); ++i) {
        const QString ext = QFileInfo(QString::fromUtf8(names[i])).suffix();
        if (ext.isEmpty())
            continue;
        finished << base + QLatin1Char('.') + ext;
        targets << stem + (upper ? ext.toUpper() : ext);
        ok = ok && writeNew(finished.last(), memoryFile(folder, names[i]), error);
    }
    for (const char* ext : kShapeIndexes) {
        finished << QString();
        targets << stem + (upper ? QString::fromLatin1(ext).toUpper() : QLatin1String(ext));
    }
    if (ok && !placeFiles(finished, targets)) {
        ok = false;
        error = QStringLiteral("the finished files could not be put in place");
    }
    if (!ok)
        for (const QString& f : finished)
            if (!f.isEmpty())
                QFile::remove(f);
    return ok;
}

} // namespace

GisFormat GisFormatOf(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("gpkg"))
        return GisFormat::GeoPackage;
    if (ext == QLatin1String("geojson") || ext == QLatin1String("json"))
        return GisFormat::GeoJson;
    if (ext == QLatin1String("kml"))
        return GisFormat::Kml;
    if (ext == QLatin1String("shp"))
        return GisFormat::Shapefile;
    if (ext == QLatin1String("csv"))
        return GisFormat::Csv;
    return GisFormat::Unknown;
}

GisExportResult ExportLoggers(const LoggerList& list, const QString& address2, const QString& path)
{
    return ExportLoggers(list, PlaceLoggers(list, address2), path);
}

GisExportResult ExportLoggers(const LoggerList& list, const std::vector<GeoPosition>& positions,
                              const QString& path)
{
    GisExportResult result;
    const GisFormat format = GisFormatOf(path);
    if (format == GisFormat::Unknown) {
        result.error = QStringLiteral("The file name must end in .gpkg, .geojson, .json, .kml, "
                                      ".shp or .csv");
        return result;
    }
    const QFileInfo target(path);
    if (target.isDir()) {
        result.error = QStringLiteral("%1 is a folder").arg(QDir::toNativeSeparators(path));
        return result;
    }
    if (!target.absoluteDir().exists()) {
        result.error = QStringLiteral("There is no folder %1")
                           .arg(QDir::toNativeSeparators(target.absolutePath()));
        return result;
    }

    // GDAL writes in memory; the files then reach the disk through our own
    // checked writes, whatever a driver does with a failing write.
    const QString memFolder = QStringLiteral("/vsimem/quorvane-export-%1")
                                  .arg(QRandomGenerator::global()->generate(), 0, 16);
    const Output out = outputFor(format);
    VSIMkdir(memFolder.toUtf8().constData(), 0755); // the CSV driver wants its folder to exist
    DatasetWriter writer(list, positions, format);
    const bool made = writer.write(
        memFolder + QStringLiteral("/loggers.") + QLatin1String(out.extension), result);
    QString error = writer.error();
    if (made) {
        const QByteArray folder = memFolder.toUtf8();
        const CPLStringList names(VSIReadDir(folder.constData()));
        if (!saveFiles(folder, names, path, format == GisFormat::Shapefile, error))
            error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error);
    }
    VSIRmdirRecursive(memFolder.toUtf8().constData());
    if (!error.isEmpty()) {
        result = GisExportResult();
        result.error = error;
        return result;
    }
    result.ok = true;
    return result;
}
