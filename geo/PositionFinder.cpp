#include "PositionFinder.h"

#include "Address2Format.h"
#include "LoggerList.h"
#include "RecordStore.h"

#include <QFile>

#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/OSGB.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <proj.h>

#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

// The grid each coordinate format is read in, by its EPSG code in PROJ's
// database; the one whose digit counts fit the format's mask.
//
//  Address2  format    system                                  why this one
//   1  Lat/Long  EPSG:4326 WGS 84                        taken as it stands
//   2  BNG       EPSG:27700 OSGB36 / British National Grid   square letters + 1 m digits;
//                                                        GeographicLib reads the letters
//   3  RD        EPSG:28992 Amersfoort / RD New          x then y, 6 digits each (1 m)
//   4  KKJ       EPSG:2391-2394 KKJ / Finland zones 1-4  7 digits each; the zone is the easting's
//                                                        first digit; the northing (6... or 7...)
//                                                        may come first, as Finns write it; zone 3
//                                                        is the uniform grid of all Finland
//   5  GK        EPSG:31466-31469 DHDN / 3-degree Gauss-Kruger zones 2-5: easting first, the
//                                                        zone its first digit (Rechtswert)
//   6  ITM       EPSG:29903 TM75 / Irish Grid            "I", a 100 km square letter, 5+5 digits:
//                                                        only the lettered Irish Grid has squares
//                                                        (ITM's 6-digit figures do not fit)
//   7  MGRS      GeographicLib, WGS 84                   band letter, zone, square, 5+5 digits
//   8  NZ        EPSG:2193 NZGD2000 / NZTM2000           7+7 digits, the current national grid
//   9  SG        EPSG:3414 SVY21 / Singapore TM          O(ost) and N, metres with leading zeros
//  10  SUI       EPSG:21781 CH1903 / LV03                y (east) then x (north), 6 digits each
//  11  T67       EPSG:3828 TWD67 / TM2 zone 121          PROJ has only a rough TWD67 datum shift,
//                                                        so these get a reason, no position
//  12  UTM       EPSG:326zz / 327zz WGS 84 / UTM zone zz zone, N or S (hemisphere) or a latitude
//                                                        band letter, 7+7 digits
//  13  QNG       EPSG:28600 Qatar 1974 / Qatar National Grid   6+6 digits
//
// PROJ picks the datum shift to WGS 84 for each point; an approximate
// ("ballpark") one is never accepted, since it can be hundreds of metres out.

namespace {

constexpr int kBng = 27700;
// How far outside a grid's published area of use a point may lie, in degrees.
constexpr double kMargin = 0.1;
// UTM zones are widened by up to 3 degrees around Norway and Svalbard.
constexpr double kUtmMargin = 3.0;

GeoPosition none(const QString& reason)
{
    GeoPosition p;
    p.reason = reason;
    return p;
}

QString quoted(std::string_view text)
{
    return QLatin1Char('"') + QString::fromLatin1(text.data(), int(text.size())) + QLatin1Char('"');
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

double number(const std::string& digits)
{
    double v = 0;
    for (const char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// Reads a text by its format's mask: each typed position must hold its kind of
// character and each fixed one its own. Gives one field per run of digits or
// of letters, letters in capitals.
bool splitByMask(std::string_view text, const std::string& mask, std::vector<std::string>& fields)
{
    size_t t = 0;
    char lastKind = 0;
    for (size_t m = 0; m < mask.size(); ++m) {
        char k = mask[m];
        if (k == '>')
            continue;
        if (t >= text.size())
            return false;
        const char c = upper(text[t++]);
        if (k == '#' || k == '?') {
            if (!(k == '#' ? isDigit(c) : isLetter(c)))
                return false;
            if (k != lastKind)
                fields.emplace_back();
            fields.back().push_back(c);
            lastKind = k;
            continue;
        }
        if (k == '\\' && m + 1 < mask.size())
            k = mask[++m];
        if (c != k)
            return false;
        lastKind = 0;
    }
    return t == text.size();
}

bool insideSpan(double v, double from, double to, double margin)
{
    return v >= from - margin && v <= to + margin;
}

// One transformation from a grid to WGS 84.
struct System
{
    PJ* pj = nullptr;
    QString name;
    double west = -180, south = -90, east = 180, north = 90; // area of use
    QString error;                                           // why there is no pj
};

QString errorText(PJ_CONTEXT* ctx)
{
    const int e = proj_context_errno(ctx);
    return e ? QString::fromUtf8(proj_context_errno_string(ctx, e))
             : QStringLiteral("PROJ gave no reason");
}

// KKJ's zone 3 doubles as the uniform system of all Finland, but PROJ gives
// only a grid's first area of use, the zone's strip: the KKJ grids are held
// to the area of their datum instead.
bool usedAcrossDatum(int epsg)
{
    return epsg >= 2391 && epsg <= 2394;
}

System makeSystem(PJ_CONTEXT* ctx, int epsg)
{
    System s;
    const QByteArray code = "EPSG:" + QByteArray::number(epsg);
    PJ* src = proj_create(ctx, code.constData());
    PJ* dst = src ? proj_create(ctx, "EPSG:4326") : nullptr;
    if (!src || !dst) {
        s.error = QStringLiteral("PROJ cannot find %1 (%2): is its data installed?")
                      .arg(QString::fromLatin1(code), errorText(ctx));
    } else {
        s.name = QString::fromUtf8(proj_get_name(src));
        const char* const options[] = {"ALLOW_BALLPARK=NO", nullptr};
        if (PJ* op = proj_create_crs_to_crs_from_pj(ctx, src, dst, nullptr, options)) {
            s.pj = proj_normalize_for_visualization(ctx, op);
            proj_destroy(op);
        }
        if (!s.pj)
            s.error = QStringLiteral("PROJ knows no datum shift from %1 to WGS 84 (%2)")
                          .arg(s.name, errorText(ctx));
        PJ* area = usedAcrossDatum(epsg) ? proj_crs_get_geodetic_crs(ctx, src) : nullptr;
        double w, so, e, n;
        if (proj_get_area_of_use(ctx, area ? area : src, &w, &so, &e, &n, nullptr) && w > -1000) {
            s.west = w;
            s.south = so;
            s.east = e;
            s.north = n;
        }
        proj_destroy(area);
    }
    proj_destroy(src);
    proj_destroy(dst);
    return s;
}

void silence(PJ_CONTEXT* ctx)
{
    // Failures come back as reasons; PROJ is not to print them as well.
    proj_log_func(ctx, nullptr, [](void*, int, const char*) {});
}

// Making a transformation takes PROJ tens of milliseconds, copying one into a
// finder's own context about one: each is made once in the program and
// copied from here.
struct Made
{
    std::mutex lock;
    PJ_CONTEXT* ctx = proj_context_create();
    std::map<int, System> systems;

    Made() { silence(ctx); }
    ~Made()
    {
        for (auto& [code, s] : systems)
            proj_destroy(s.pj);
        proj_context_destroy(ctx);
    }
};

Made& madeSystems()
{
    static Made made;
    return made;
}

} // namespace

struct PositionFinder::Impl
{
    PJ_CONTEXT* ctx = proj_context_create();
    bool ownData = false; // PROJ's data from a folder of the caller's
    int entry = 0;
    QString format;
    std::string mask;
    std::map<int, System> systems;

    ~Impl()
    {
        for (auto& [code, s] : systems)
            proj_destroy(s.pj);
        proj_context_destroy(ctx);
    }

    System& system(int epsg)
    {
        auto found = systems.find(epsg);
        if (found != systems.end())
            return found->second;
        if (ownData)
            return systems[epsg] = makeSystem(ctx, epsg);
        Made& made = madeSystems();
        std::lock_guard<std::mutex> hold(made.lock);
        auto first = made.systems.find(epsg);
        if (first == made.systems.end()) {
            System s = makeSystem(made.ctx, epsg);
            if (!s.pj)
                return systems[epsg] = s; // tried again by the next finder
            first = made.systems.emplace(epsg, s).first;
        }
        System& s = systems[epsg] = first->second;
        s.pj = proj_clone(ctx, first->second.pj);
        if (!s.pj)
            s.error = QStringLiteral("PROJ cannot copy its transformation from %1 (%2)")
                          .arg(s.name, errorText(ctx));
        return s;
    }

    // Easting and northing in metres of a grid to WGS 84, or the reason not.
    GeoPosition project(int epsg, double e, double n, double margin = kMargin)
    {
        System& s = system(epsg);
        if (!s.pj)
            return none(s.error);
        proj_errno_reset(s.pj);
        const PJ_COORD c = proj_trans(s.pj, PJ_FWD, proj_coord(e, n, 0, 0));
        if (!std::isfinite(c.xy.x) || !std::isfinite(c.xy.y))
            return none(QStringLiteral("PROJ could not convert it from %1: %2")
                            .arg(s.name, QString::fromUtf8(
                                             proj_context_errno_string(ctx, proj_errno(s.pj)))));
        const double lon = c.xy.x, lat = c.xy.y;
        const bool lonInside = s.west <= s.east ? insideSpan(lon, s.west, s.east, margin)
                                                : insideSpan(lon, s.west, 180, margin) ||
                                                      insideSpan(lon, -180, s.east, margin);
        if (!lonInside || !insideSpan(lat, s.south, s.north, margin))
            return none(QStringLiteral("It lies outside the area where %1 is used").arg(s.name));
        GeoPosition p;
        p.valid = true;
        p.lat = lat;
        p.lon = lon;
        return p;
    }

    GeoPosition nationalGrid(const std::string& letters, const std::string& digits, bool centre)
    {
        double x = NAN, y = NAN;
        try {
            int precision;
            GeographicLib::OSGB::GridReference(letters + digits, x, y, precision, centre);
        } catch (const GeographicLib::GeographicErr&) {
        }
        // Only the squares of the grid's 700 by 1300 km are British.
        if (!(x >= 0 && x < 700000 && y >= 0 && y < 1300000))
            return none(QStringLiteral("%1 is not a British National Grid square")
                            .arg(QString::fromLatin1(letters.c_str())));
        return project(kBng, x, y);
    }

    GeoPosition latLong(const std::vector<std::string>& f)
    {
        const double lat = number(f[1]) + number(f[2]) / std::pow(10.0, double(f[2].size()));
        const double lon = number(f[4]) + number(f[5]) / std::pow(10.0, double(f[5].size()));
        if ((f[0] != "N" && f[0] != "S") || (f[3] != "E" && f[3] != "W"))
            return none(QStringLiteral("The latitude needs N or S, the longitude E or W"));
        if (lat > 90 || lon > 180)
            return none(QStringLiteral("The latitude or longitude is out of range"));
        GeoPosition p;
        p.valid = true;
        p.lat = f[0] == "S" ? -lat : lat;
        p.lon = f[3] == "W" ? -lon : lon;
        return p;
    }

    GeoPosition kkj(const std::vector<std::string>& f)
    {
        auto isNorthing = [](const std::string& s) { return s[0] == '6' || s[0] == '7'; };
        if (isNorthing(f[0]) == isNorthing(f[1]))
            return none(QStringLiteral("Not a KKJ easting and northing"));
        const std::string& east = isNorthing(f[0]) ? f[1] : f[0];
        const std::string& north = isNorthing(f[0]) ? f[0] : f[1];
        const int zone = east[0] - '0';
        if (zone < 1 || zone > 4)
            return none(QStringLiteral("KKJ zone %1 does not exist (1 to 4)").arg(zone));
        return project(2390 + zone, number(east), number(north));
    }

    GeoPosition gaussKrueger(const std::vector<std::string>& f)
    {
        const int zone = f[0][0] - '0';
        if (zone < 2 || zone > 5)
            return none(QStringLiteral("GK zone %1 is not one of Germany's (2 to 5)").arg(zone));
        return project(31464 + zone, number(f[0]), number(f[1]));
    }

    GeoPosition irishGrid(const std::vector<std::string>& f)
    {
        static const char kSquares[] = "ABCDEFGHJKLMNOPQRSTUVWXYZ"; // 5 by 5, A at the top left
        const char* at = std::strchr(kSquares, f[0][0]);
        if (!at || f[0][0] == 'I')
            return none(QStringLiteral("I%1 is not an Irish Grid square").arg(f[0][0]));
        const int index = int(at - kSquares);
        return project(29903, (index % 5) * 100000.0 + number(f[1]),
                       (4 - index / 5) * 100000.0 + number(f[2]));
    }

    GeoPosition mgrs(const std::vector<std::string>& f)
    {
        const std::string ref = f[1] + f[0] + f[2] + f[3] + f[4];
        try {
            int zone, precision;
            bool northp;
            double x, y;
            GeographicLib::MGRS::Reverse(ref, zone, northp, x, y, precision, false);
            GeoPosition p;
            GeographicLib::UTMUPS::Reverse(zone, northp, x, y, p.lat, p.lon);
            p.valid = true;
            return p;
        } catch (const GeographicLib::GeographicErr& e) {
            return none(
                QStringLiteral("Not an MGRS reference: %1").arg(QString::fromUtf8(e.what())));
        }
    }

    GeoPosition utm(const std::vector<std::string>& f)
    {
        static const char kBands[] = "CDEFGHJKLMNPQRSTUVWX"; // 8 degrees each from 80 S; X 12
        const int zone = int(number(f[0]));
        if (zone < 1 || zone > 60)
            return none(QStringLiteral("UTM zone %1 does not exist (1 to 60)").arg(zone));
        const char letter = f[1][0];
        const char* band = std::strchr(kBands, letter);
        if (!band && letter != 'S')
            return none(QStringLiteral("%1 is neither a hemisphere (N, S) nor a latitude band")
                            .arg(letter));
        const double e = number(f[2]), n = number(f[3]);
        // N is the northern hemisphere, and band N lies in it too; S is the
        // southern hemisphere, unless the northing could be band S's (32-40 N).
        const bool north = letter == 'N' || (letter != 'S' && letter > 'N');
        GeoPosition p = project((north ? 32600 : 32700) + zone, e, n, kUtmMargin);
        if (letter == 'S') {
            const GeoPosition asBand = project(32600 + zone, e, n, kUtmMargin);
            if (asBand.valid && insideSpan(asBand.lat, 32, 40, 0))
                return none(
                    QStringLiteral("S could be the southern hemisphere or latitude band S"));
        } else if (p.valid && letter != 'N') {
            const double from = -80 + 8 * (band - kBands);
            if (!insideSpan(p.lat, from, from + (letter == 'X' ? 12 : 8), 0.01))
                return none(QStringLiteral("The northing is not in latitude band %1").arg(letter));
        }
        return p;
    }

    GeoPosition convert(const std::vector<std::string>& f)
    {
        switch (entry) {
        case 1:
            return latLong(f);
        case 2:
            return nationalGrid(f[0], f[1] + f[2], false);
        case 3:
            return project(28992, number(f[0]), number(f[1]));
        case 4:
            return kkj(f);
        case 5:
            return gaussKrueger(f);
        case 6:
            return irishGrid(f);
        case 7:
            return mgrs(f);
        case 8:
            return project(2193, number(f[0]), number(f[1]));
        case 9:
            return project(3414, number(f[0]), number(f[1]));
        case 10:
            return project(21781, number(f[0]), number(f[1]));
        case 11:
            return project(3828, number(f[0]), number(f[1]));
        case 12:
            return utm(f);
        default:
            return project(28600, number(f[0]), number(f[1]));
        }
    }
};

PositionFinder::PositionFinder(const QString& address2, const QString& projData)
    : d(std::make_unique<Impl>())
{
    silence(d->ctx);
    if (!projData.isEmpty()) {
        const QByteArray path = QFile::encodeName(projData);
        const char* paths[] = {path.constData()};
        proj_context_set_search_paths(d->ctx, 1, paths);
        d->ownData = true;
    }
    d->entry = Address2Entry(address2);
    if (d->entry >= 1 && d->entry <= 13) {
        d->format = Address2Entries().at(d->entry);
        d->mask = Address2Mask(address2).toStdString();
    }
}

PositionFinder::~PositionFinder() = default;

GeoPosition PositionFinder::fromComment2(std::string_view text)
{
    if (d->mask.empty())
        return none(QStringLiteral("Comment 2 holds an address, not coordinates"));
    const std::string_view t = trimmed(text);
    if (t.empty())
        return none(QStringLiteral("Comment 2 is empty"));
    std::vector<std::string> fields;
    if (!splitByMask(t, d->mask, fields))
        return none(QStringLiteral("%1 is not %2").arg(quoted(t), d->format));
    GeoPosition p = d->convert(fields);
    if (p.valid)
        p.source = PositionSource::Comment2;
    return p;
}

GeoPosition PositionFinder::fromGridRef(std::string_view g)
{
    if (g.empty() || g == kAbsentGridRef)
        return none(QStringLiteral("No grid reference"));
    bool shaped = g.size() == 12 && g[2] == ' ' && g[7] == ' ' && isLetter(g[0]) && isLetter(g[1]);
    for (const size_t i : {3, 4, 5, 6, 8, 9, 10, 11})
        shaped = shaped && isDigit(g[i]);
    if (!shaped)
        return none(
            QStringLiteral("Grid reference %1 is not two letters and eight digits").arg(quoted(g)));
    const std::string letters{upper(g[0]), upper(g[1])};
    std::string digits(g.substr(3, 4));
    digits.append(g.substr(8, 4));
    GeoPosition p = d->nationalGrid(letters, digits, true);
    if (p.valid)
        p.source = PositionSource::GridRef;
    return p;
}

GeoPosition PositionFinder::place(const LoggerRecord& rec)
{
    GeoPosition fromText = fromComment2(rec.Comment2.view());
    if (fromText.valid)
        return fromText;
    GeoPosition fromGrid = fromGridRef(rec.GridRef.view());
    // Coordinates that were typed but could not be read say why, before an
    // absent grid reference does.
    if (!fromGrid.valid && !d->mask.empty() && !trimmed(rec.Comment2.view()).empty())
        fromGrid.reason = fromText.reason;
    return fromGrid;
}

namespace {
template <typename RecordAt>
std::vector<GeoPosition> placeAll(const QString& address2, int count, RecordAt recordAt)
{
    PositionFinder finder(address2);
    std::vector<GeoPosition> out;
    out.reserve(size_t(std::max(0, count)));
    for (int i = 1; i <= count; ++i)
        out.push_back(finder.place(recordAt(i)));
    return out;
}
} // namespace

std::vector<GeoPosition> PlaceLoggers(const LoggerList& list, const QString& address2)
{
    return placeAll(address2, list.RecordCount(),
                    [&list](int i) -> const LoggerRecord& { return list.record(i); });
}

std::vector<GeoPosition> PlaceLoggers(const RecordStore& store, const QString& address2)
{
    return placeAll(address2, store.StoreCount,
                    [&store](int i) -> const LoggerRecord& { return store.Records(i); });
}
