#include "DatabaseWriter.h"

#include "FileStamp.h"
#include "LangText.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QIODevice>
#include <QtAlgorithms>
#include <charconv>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QUORVANE_HAVE_SSE2
#include <emmintrin.h>
#endif

namespace {

constexpr size_t kFlushAt = 1 << 20;
// Serial, five texts, 50 readings of four fields, the user comment.
constexpr size_t kDatabaseCommas = 5 + 4 * kMaxHistories + 1;
// Every one of the 30 fields is followed by a comma.
constexpr size_t kHandheldCommas = 30;

void appendNumber(std::string& out, long long v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void appendQuoted(std::string& out, std::string_view text)
{
    out.push_back('"');
    out.append(text);
    out.push_back('"');
}

// Collects output and hands it to the device in large pieces.
class ChunkedOutput
{
public:
    explicit ChunkedOutput(QIODevice& device) : m_device(device) { m_buf.reserve(kFlushAt + 4096); }
    std::string& buffer() { return m_buf; }
    bool maybeFlush() { return m_buf.size() < kFlushAt || flush(); }
    bool flush()
    {
        const qint64 size = static_cast<qint64>(m_buf.size());
        const bool ok = m_device.write(m_buf.data(), size) == size;
        m_buf.clear();
        return ok;
    }

private:
    QIODevice& m_device;
    std::string m_buf;
};

// The commas of a line, sixteen bytes at a time where the processor allows.
size_t countCommas(const char* s, size_t n)
{
    size_t count = 0, i = 0;
#ifdef QUORVANE_HAVE_SSE2
    const __m128i comma = _mm_set1_epi8(',');
    for (; i + 16 <= n; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        count += static_cast<size_t>(qPopulationCount(
            static_cast<quint32>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, comma)))));
    }
#endif
    for (; i < n; ++i)
        count += s[i] == ',';
    return count;
}

// A line just written has exactly the commas of its layout and no carriage
// return before its end: otherwise a text held one, and the file would be
// read back as other fields or other lines.
bool lineIsSound(const std::string& out, size_t start, size_t commas)
{
    const char* line = out.data() + start;
    const size_t n = out.size() - start - 2; // without its CR LF
    return !std::memchr(line, '\r', n) && countCommas(line, n) == commas;
}

// Set by a writer that met a record it cannot write.
thread_local bool t_unwritable = false;

int saveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    t_unwritable = false;
    const bool ok = WriteFileAtomically(path, write);
    SetStatusText(QString());
    if (ok)
        return FileResult::Ok;
    return t_unwritable ? FileResult::UnwritableText : FileResult::WriteFailed;
}

void reportWriting(const QString& prefix, int i)
{
    if (!prefix.isEmpty())
        SetStatusText(prefix + QString::number(i));
}

} // namespace

std::string DatabaseHeaderLine()
{
    std::string out;
    auto name = [&out](const std::string& text, int n) {
        if (!out.empty())
            out.push_back(',');
        out.push_back('"');
        out.append(text);
        if (n > 0)
            appendNumber(out, n);
        out.push_back('"');
    };
    name(LangTextAnsi(596), 0); // serial
    name(LangTextAnsi(597), 0); // grid reference
    name(LangTextAnsi(598), 0); // comment 1
    name(LangTextAnsi(599), 0); // comment 2
    name(LangTextAnsi(600), 0); // deployed
    name(LangTextAnsi(601), 0); // received
    name(LangTextAnsi(602), 0); // first reading's date, status, level, spread
    name(LangTextAnsi(603), 0);
    name(LangTextAnsi(604), 0);
    name(LangTextAnsi(605), 0);
    const std::string date = LangTextAnsi(606), status = LangTextAnsi(607),
                      level = LangTextAnsi(608), spread = LangTextAnsi(609);
    for (int n = 2; n <= kMaxHistories; ++n) {
        name(date, n);
        name(status, n);
        name(level, n);
        name(spread, n);
    }
    name(LangTextAnsi(610), 0); // user comment
    out.append("\r\n");
    return out;
}

void AppendDatabaseRecordLine(std::string& out, const LoggerRecord& rec)
{
    // Room for the longest line these texts can make, filled through a
    // pointer: a full file is a million fields.
    constexpr size_t kNumber = 12; // sign, digits and a comma
    size_t need = kNumber + 2 + rec.UserComments.size() + 3;
    for (const AnsiText* t :
         {&rec.GridRef, &rec.Comment1, &rec.Comment2, &rec.Deployed, &rec.Received})
        need += t->size() + 3;
    for (int i = 1; i <= kMaxHistories; ++i)
        need += rec.Date[i].size() + rec.Status[i].size() + 6 + 2 * kNumber;
    const size_t start = out.size();
    out.resize(start + need);
    char* p = out.data() + start;

    auto number = [&p](long long v) { p = std::to_chars(p, p + kNumber, v).ptr; };
    auto quoted = [&p](const AnsiText& t) {
        *p++ = ',';
        *p++ = '"';
        std::memcpy(p, t.data(), t.size());
        p += t.size();
        *p++ = '"';
    };
    number(rec.Serial);
    for (const AnsiText* t :
         {&rec.GridRef, &rec.Comment1, &rec.Comment2, &rec.Deployed, &rec.Received})
        quoted(*t);
    for (int i = 1; i <= kMaxHistories; ++i) {
        quoted(rec.Date[i]);
        quoted(rec.Status[i]);
        *p++ = ',';
        number(rec.Level[i]);
        *p++ = ',';
        number(rec.Spread[i]);
    }
    quoted(rec.UserComments);
    *p++ = '\r';
    *p++ = '\n';
    out.resize(static_cast<size_t>(p - out.data()));
}

// A count past the last record slot would write the scratch slot as a logger.
static bool countFits(const RecordStore& store)
{
    return store.StoreCount >= 0 && store.StoreCount <= RecordStore::kMaxRecords;
}

bool WriteDatabase(RecordStore& store, QIODevice& device)
{
    if (!countFits(store))
        return false;
    ChunkedOutput out(device);
    out.buffer().append(DatabaseHeaderLine());
    const QString progress = HasStatusSink() ? LangText(168) : QString(); // "Writing logger "
    for (int i = 1; i <= store.StoreCount; ++i) {
        LoggerRecord& rec = store.Records(i);
        rec.UserComments.truncate(255);
        const size_t start = out.buffer().size();
        AppendDatabaseRecordLine(out.buffer(), rec);
        if (!lineIsSound(out.buffer(), start, kDatabaseCommas)) {
            t_unwritable = true;
            return false;
        }
        if (!out.maybeFlush())
            return false;
        reportWriting(progress, i);
    }
    return out.flush();
}

int WriteDatabaseFile(RecordStore& store, const QString& path, FileStamp* stamp)
{
    if (!stamp)
        return saveAtomically(path, [&store](QIODevice& d) { return WriteDatabase(store, d); });
    quint64 hash = 0;
    const int result = saveAtomically(path, [&store, &hash](QIODevice& d) {
        HashingDevice hashing(d);
        const bool ok = WriteDatabase(store, hashing);
        hash = hashing.hash();
        return ok;
    });
    if (result == FileResult::Ok) {
        *stamp = StatFile(path);
        stamp->hash = hash;
        stamp->hashed = stamp->isValid();
    }
    return result;
}

int WriteDatabaseFile(const QString& path)
{
    return WriteDatabaseFile(DMAModule(), path);
}

bool WriteKorvalind(RecordStore& store, QIODevice& device)
{
    if (!countFits(store))
        return false;
    ChunkedOutput out(device);
    std::string& b = out.buffer();
    b.append("\"Velloran Korvalind V1.00,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\"\r\n");
    b.append("\"Serial , GridRef, Comment1, Comment2, Deployed, Received");
    for (int i = 0; i < 6; ++i)
        b.append(", Date, Status, Level, Spread");
    b.append("\"\r\n");
    // Address lines, deployed, received, and the readings twice.
    const std::string reading = LangTextAnsi(497);
    const std::string names[] = {LangTextAnsi(160), LangTextAnsi(161), LangTextAnsi(162),
                                 LangTextAnsi(163), reading,           reading};
    for (size_t i = 0; i < 6; ++i) {
        if (i)
            b.push_back(',');
        appendQuoted(b, names[i]);
    }
    b.append("\r\n");

    const QString progress = HasStatusSink() ? LangText(168) : QString();
    for (int i = 1; i <= store.StoreCount; ++i) {
        const LoggerRecord& rec = store.Records(i);
        const size_t start = b.size();
        appendNumber(b, rec.Serial);
        b.push_back(',');
        for (const AnsiText* t :
             {&rec.GridRef, &rec.Comment1, &rec.Comment2, &rec.Deployed, &rec.Received}) {
            appendQuoted(b, *t);
            b.push_back(',');
        }
        for (int j = 1; j <= 6; ++j) {
            appendQuoted(b, rec.Date[j]);
            b.push_back(',');
            appendQuoted(b, StatusLetterFor(rec.Status[j], rec.Level[j], rec.Spread[j]));
            b.push_back(',');
            appendNumber(b, rec.Level[j]);
            b.push_back(',');
            appendNumber(b, rec.Spread[j]);
            b.push_back(',');
        }
        b.append("\r\n");
        if (!lineIsSound(b, start, kHandheldCommas)) {
            t_unwritable = true;
            return false;
        }
        if (!out.maybeFlush())
            return false;
        reportWriting(progress, i);
    }
    return out.flush();
}

int WriteKorvalindFile(RecordStore& store, const QString& path)
{
    return saveAtomically(path, [&store](QIODevice& d) { return WriteKorvalind(store, d); });
}

int WriteKorvalindFile(const QString& path)
{
    return WriteKorvalindFile(DMAModule(), path);
}

int FirstUnwritableRecord(const RecordStore& store)
{
    for (int i = 1; i <= std::min(store.StoreCount, RecordStore::kMaxRecords); ++i) {
        const LoggerRecord& r = store.Records(i);
        auto bad = [](const AnsiText& t) {
            return t.view().find_first_of(",\r") != std::string_view::npos;
        };
        bool found = bad(r.GridRef) || bad(r.Comment1) || bad(r.Comment2) || bad(r.Deployed) ||
                     bad(r.Received) || bad(r.UserComments);
        for (int j = 1; j <= kMaxHistories && !found; ++j)
            found = bad(r.Date[j]) || bad(r.Status[j]);
        if (found)
            return i;
    }
    return 0;
}
