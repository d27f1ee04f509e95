#include "SampleData.h"

#include "DatabaseWriter.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QIODevice>
#include <algorithm>
#include <cstdio>

namespace {

// A small deterministic generator (xorshift) seeded from the record number.
class Random
{
public:
    explicit Random(quint32 seed) : m_state(seed * 2654435761u + 0x9E3779B9u) { next(); }
    quint32 next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<quint32>(n)); }

private:
    quint32 m_state;
};

const char* const kStreets[] = {"High St",     "Mill Lane",    "Church Rd", "Station Rd",
                                "Park Ave",    "Bridge St",    "Kings Way", "Orchard Cl",
                                "Quarry Hill", "Riverside Dr", "Elm Grove", "Market Sq"};
const char* const kPlaces[] = {"hydrant",  "valve",       "meter pit", "stop tap",
                               "wash out", "bridge main", "PRV",       "boundary valve"};
const char* const kNotes[] = {"",
                              "",
                              "",
                              "Check lid",
                              "Access via farm gate",
                              "Traffic lights needed",
                              "Logger replaced",
                              "Noisy pump nearby"};
const char kSquares[][3] = {"SK", "SU", "ST", "TQ", "SE", "NZ"};

std::string date(int year, int month, int day)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", year, month, day);
    return buf;
}

// Days counted back from 2026/11/30 as a calendar date (months of 28..31 days).
std::string daysBefore(int days)
{
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int y = 2026, m = 11, d = 30;
    while (days-- > 0) {
        if (--d == 0) {
            if (--m == 0) {
                m = 12;
                --y;
            }
            d = kMonthDays[m - 1] + (m == 2 && y % 4 == 0 ? 1 : 0);
        }
    }
    return date(y, m, d);
}

} // namespace

LoggerRecord MakeSampleRecord(int index, int readings)
{
    Random r(static_cast<quint32>(index));
    LoggerRecord rec;
    rec.Serial = 1000000 + (index * 1237) % 11000000; // stays within 01000000..11999999
    char grid[40];
    std::snprintf(grid, sizeof grid, "%s %04d %04d", kSquares[r.below(6)], r.below(10000),
                  r.below(10000));
    rec.GridRef = grid;
    rec.Comment1 = std::to_string(1 + r.below(180)) + " " + kStreets[r.below(12)];
    rec.Comment2 = kPlaces[r.below(8)];
    const int age = 30 + r.below(700);
    rec.Deployed = daysBefore(age + readings * 7);
    rec.Received = r.below(4) == 0 ? std::string() : daysBefore(r.below(30));
    const bool leaking = r.below(10) == 0;
    const StatusTexts status{"W", "L", "N"};
    readings = std::clamp(readings, 0, kMaxHistories);
    for (int i = 1; i <= readings; ++i) {
        const int spread = 3 + r.below(20);
        const int level =
            std::min(99, spread + (leaking && i < 8 ? 16 + r.below(30) : r.below(18)));
        rec.Date[i] = daysBefore(r.below(3) + (i - 1) * 7);
        rec.Level[i] = static_cast<qint16>(level);
        rec.Spread[i] = static_cast<qint16>(spread);
        const int margin = level - spread;
        rec.Status[i] = margin >= 16 ? status.Leak : margin >= 12 ? status.Warning : status.NoLeak;
    }
    rec.UserComments = kNotes[r.below(8)];
    return rec;
}

int WriteSampleDatabase(const QString& path, int count, int readings, int first,
                        const std::vector<std::string>& gridRefs)
{
    const bool ok = WriteFileAtomically(path, [&](QIODevice& file) {
        std::string out = DatabaseHeaderLine();
        for (int i = 1; i <= count; ++i) {
            LoggerRecord rec = MakeSampleRecord(first + i - 1, readings);
            if (size_t(i) <= gridRefs.size())
                rec.GridRef = gridRefs[size_t(i) - 1];
            AppendDatabaseRecordLine(out, rec);
            if (out.size() > (1u << 20) || i == count) {
                if (file.write(out.data(), static_cast<qint64>(out.size())) !=
                    static_cast<qint64>(out.size()))
                    return false;
                out.clear();
            }
        }
        return out.empty() || file.write(out.data(), static_cast<qint64>(out.size())) ==
                                  static_cast<qint64>(out.size());
    });
    return ok ? FileResult::Ok : FileResult::WriteFailed;
}
