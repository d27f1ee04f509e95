#include "DatabaseReader.h"

#include "FileStamp.h"
#include "LangText.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QFile>
#include <QIODevice>
#include <QtAlgorithms>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QUORVANE_HAVE_SSE2
#include <emmintrin.h>
#endif

namespace {

// Splits a device into lines. A line ends with CR, optionally followed by LF;
// a bare LF is an ordinary character. Memory stays bounded whatever the input.
class LineReader
{
public:
    enum Status { Line, End, TooLong, Error };

    explicit LineReader(QIODevice& device) : m_device(device) { grow(2 * kChunk); }

    // Next line as a view valid until the next call.
    Status next(std::string_view& line)
    {
        if (!skipPendingLF())
            return Error;
        size_t scanned = m_begin;
        for (;;) {
            const void* cr = std::memchr(m_buf.get() + scanned, '\r', m_end - scanned);
            if (cr) {
                const size_t at = static_cast<const char*>(cr) - m_buf.get();
                line = std::string_view(m_buf.get() + m_begin, at - m_begin);
                m_begin = at + 1;
                m_pendingLF = true;
                return Line;
            }
            scanned = m_end;
            if (m_end - m_begin > static_cast<size_t>(kMaxRecordLineLength))
                return TooLong;
            if (m_eof) {
                if (m_begin == m_end)
                    return End;
                line = std::string_view(m_buf.get() + m_begin, m_end - m_begin);
                m_begin = m_end;
                return Line;
            }
            const size_t kept = m_begin;
            if (!fill())
                return Error;
            scanned -= kept;
        }
    }

    // Consumes a line without keeping it (header lines, whose content does
    // not matter), telling whether it held a comma.
    Status skip(bool& hadComma)
    {
        hadComma = false;
        if (!skipPendingLF())
            return Error;
        bool any = false;
        for (;;) {
            if (m_begin == m_end) {
                if (m_eof)
                    return any ? Line : End;
                if (!fill())
                    return Error;
                continue;
            }
            const char* from = m_buf.get() + m_begin;
            const void* cr = std::memchr(from, '\r', m_end - m_begin);
            const size_t upto = cr ? static_cast<const char*>(cr) - from : m_end - m_begin;
            if (!hadComma && std::memchr(from, ',', upto))
                hadComma = true;
            if (cr) {
                m_begin += upto + 1;
                m_pendingLF = true;
                return Line;
            }
            any = true;
            m_begin = m_end;
        }
    }

    // True when nothing is left (a pending LF of the last line does not count).
    bool atEnd(bool& error)
    {
        error = !skipPendingLF();
        if (error)
            return false;
        if (m_begin == m_end && !m_eof && !fill()) {
            error = true;
            return false;
        }
        return m_begin == m_end && m_eof;
    }

private:
    static constexpr size_t kChunk = 64 * 1024;

    bool skipPendingLF()
    {
        if (!m_pendingLF)
            return true;
        if (m_begin == m_end && !m_eof && !fill())
            return false;
        if (m_begin < m_end && m_buf[m_begin] == '\n')
            ++m_begin;
        m_pendingLF = false;
        return true;
    }

    // Keeps the unread bytes, moved to the front, and reads more after them.
    bool fill()
    {
        if (m_begin > 0) {
            std::memmove(m_buf.get(), m_buf.get() + m_begin, m_end - m_begin);
            m_end -= m_begin;
            m_begin = 0;
        }
        if (m_capacity - m_end < kChunk)
            grow(std::max(m_end + kChunk,
                          2 * m_capacity)); // doubling: few moves even for long lines
        const qint64 got = m_device.read(m_buf.get() + m_end, static_cast<qint64>(kChunk));
        if (got < 0)
            return false;
        if (got == 0)
            m_eof = true;
        m_end += static_cast<size_t>(got);
        return true;
    }

    // Not zero-filled: only bytes read from the device are ever looked at.
    void grow(size_t capacity)
    {
        std::unique_ptr<char[]> bigger(new char[capacity]);
        if (m_end)
            std::memcpy(bigger.get(), m_buf.get(), m_end);
        m_buf = std::move(bigger);
        m_capacity = capacity;
    }

    QIODevice& m_device;
    std::unique_ptr<char[]> m_buf;
    size_t m_capacity = 0;
    size_t m_begin = 0;
    size_t m_end = 0;
    bool m_eof = false;
    bool m_pendingLF = false;
};

// Positions (0-based) of every comma of a line, sixteen bytes at a time
// where the processor allows, into the front of out; returns how many.
size_t findCommas(std::string_view line, std::vector<int>& out)
{
    const char* s = line.data();
    const size_t n = line.size();
    if (out.size() < n)
        out.resize(n); // room for a line of nothing but commas
    int* next = out.data();
    size_t i = 0;
#ifdef QUORVANE_HAVE_SSE2
    const __m128i comma = _mm_set1_epi8(',');
    for (; i + 16 <= n; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, comma)));
        for (; mask; mask &= mask - 1)
            *next++ = static_cast<int>(i) + qCountTrailingZeroBits(mask);
    }
#endif
    for (; i < n; ++i)
        if (s[i] == ',')
            *next++ = static_cast<int>(i);
    return static_cast<size_t>(next - out.data());
}

// Walks the comma-separated fields of one line from a 1-based position: a
// field runs to the next comma (or the end of the line), and taking it moves
// the position past that comma; past the end of the line a field is empty
// and the position stays. The line's comma positions are found once instead
// of searching for each comma again.
class FieldCursor
{
public:
    FieldCursor(std::string_view line, const int* commas, size_t count)
        : m_line(line), m_commas(commas), m_count(count)
    {
    }

    int position() const { return m_p; }

    std::string_view next(int maxLength)
    {
        const char* s = m_line.data();
        if (static_cast<size_t>(m_p) > m_line.size())
            return {};
        const char* b = s + (m_p - 1);
        const char* e;
        if (m_k < m_count) {
            e = s + m_commas[m_k];
            m_p = m_commas[m_k++] + 2;
        } else {
            e = s + m_line.size();
            m_p = static_cast<int>(m_line.size()) + 1;
        }
        return FieldText(b, e, maxLength);
    }

    // 1-based position of the first comma at or after the position, 0 when none.
    int commaAtOrAfter() const
    {
        return static_cast<size_t>(m_p) <= m_line.size() && m_k < m_count ? m_commas[m_k] + 1 : 0;
    }

private:
    std::string_view m_line;
    const int* m_commas;
    size_t m_count;
    size_t m_k = 0; // the next comma at or after the position
    int m_p = 1;
};

// Reads the fields of one record line into a record, reusing its strings.
class RecordParser
{
public:
    RecordParser(bool korvalind, const StatusTexts* statusTexts)
        : m_korvalind(korvalind), m_statusTexts(statusTexts)
    {
    }

    // Reads the line into the record and returns IsValidRecord of it, checked
    // field by field on the way.
    bool parse(std::string_view line, LoggerRecord& rec)
    {
        m_line = line;
        m_nextQuote = -1;
        const size_t commaCount = findCommas(line, m_commas);
        const long commas = static_cast<long>(commaCount);
        const int readings =
            static_cast<int>(std::clamp((commas - 5) / 4, 0L, long(kMaxHistories)));

        FieldCursor f(line, m_commas.data(), commaCount);
        rec.Serial = static_cast<qint32>(number(f.next(8), INT32_MIN, INT32_MAX));
        const std::string_view grid = f.next(12);
        if (grid.size() == 12)
            rec.GridRef.assign(grid);
        else
            rec.GridRef.assign(kAbsentGridRef); // so the grid reference is always sound
        rec.Comment1.assign(f.next(20));
        rec.Comment2.assign(f.next(20));
        rec.Deployed.assign(f.next(10));
        const std::string_view received = f.next(10);
        rec.Received.assign(received);
        bool valid = IsValidSerial(rec.Serial) && IsValidReceived(received);

        for (int i = 1; i <= readings; ++i) {
            const std::string_view date = f.next(10);
            rec.Date[i].assign(date);
            if (m_korvalind)
                rec.Status[i] = StatusFromLetter(f.next(f.commaAtOrAfter()), *m_statusTexts);
            else
                rec.Status[i].assign(f.next(quoteAtOrAfter(f.position())));
            rec.Level[i] = static_cast<qint16>(number(f.next(2), INT16_MIN, INT16_MAX));
            rec.Spread[i] = static_cast<qint16>(number(f.next(2), INT16_MIN, INT16_MAX));
            valid = valid && IsValidHistoryEntry(date, rec.Level[i], rec.Spread[i]);
        }
        for (int i = readings + 1; i <= kMaxHistories; ++i)
            rec.clearHistory(i); // an empty reading is sound
        // Also a one-character comment at the very end of the line is kept.
        rec.UserComments.assign(f.next(255));
        return valid;
    }

private:
    static qint64 number(std::string_view field, qint64 lo, qint64 hi)
    {
        // One or two plain digits: nearly every level and spread.
        if (field.size() == 2 && isDigit(field[0]) && isDigit(field[1]))
            return (field[0] - '0') * 10 + (field[1] - '0');
        if (field.size() == 1 && isDigit(field[0]))
            return field[0] - '0';
        return WholeNumberValue(field, lo, hi);
    }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    // 1-based position of the first double quote at or after p, 0 when none.
    // Positions only grow along a line, so one search serves many fields.
    int quoteAtOrAfter(int p)
    {
        const int len = static_cast<int>(m_line.size());
        if (p > len)
            return 0;
        if (m_nextQuote == 0 || m_nextQuote >= p)
            return m_nextQuote;
        if (m_line[p - 1] == '"') // a quoted status: its own opening quote
            return m_nextQuote = p;
        const void* q = std::memchr(m_line.data() + p - 1, '"', static_cast<size_t>(len - p + 1));
        m_nextQuote = q ? static_cast<int>(static_cast<const char*>(q) - m_line.data()) + 1 : 0;
        return m_nextQuote;
    }

    bool m_korvalind;
    const StatusTexts* m_statusTexts;
    std::string_view m_line;
    std::vector<int> m_commas;
    int m_nextQuote = -1; // -1: not searched yet on this line
};

// Counts serials in one flat table (linear probing): a file's few thousand
// serials fit in cache, and no allocation is made per serial.
class SerialCounter
{
public:
    explicit SerialCounter(int expected)
    {
        size_t size = 16;
        while (size < static_cast<size_t>(expected) * 2)
            size *= 2;
        m_slots.assign(size, Slot());
    }
    void add(qint32 serial) { ++countOf(serial); }
    int& countOf(qint32 serial)
    {
        const size_t mask = m_slots.size() - 1;
        size_t i = (static_cast<quint32>(serial) * 2654435761u) & mask;
        while (m_slots[i].used && m_slots[i].serial != serial)
            i = (i + 1) & mask;
        m_slots[i].used = true;
        m_slots[i].serial = serial;
        return m_slots[i].count;
    }

private:
    struct Slot
    {
        qint32 serial = 0;
        int count = 0;
        bool used = false;
    };
    std::vector<Slot> m_slots;
};

} // namespace

int ReadDatabase(RecordStore& store, QIODevice& device, const ReadOptions& options)
{
    store.LinesRead = 0;
    auto countLine = [&store] {
        if (store.LinesRead < INT32_MAX)
            ++store.LinesRead;
    };
    LineReader reader(device);

    // Header: line 1 always; line 2 too when line 1 has no comma, or for a
    // file from the handheld.
    bool hadComma = false;
    LineReader::Status st = reader.skip(hadComma);
    if (st == LineReader::Error)
        return FileResult::Unreadable;
    if (st == LineReader::End)
        return FileResult::NoData;
    countLine();
    if (!hadComma || options.KorvalindImport) {
        st = reader.skip(hadComma);
        if (st == LineReader::Error)
            return FileResult::Unreadable;
        if (st == LineReader::End)
            return FileResult::NoData;
        countLine();
    }
    bool ioError = false;
    if (reader.atEnd(ioError))
        return FileResult::NoData;
    if (ioError)
        return FileResult::Unreadable;

    const bool progress = options.ShowProgress && HasStatusSink();
    const QString readingText = progress ? LangText(155) : QString(); // "Reading line "
    StatusTexts statusTexts;
    if (options.KorvalindImport)
        statusTexts = StatusTexts::fromLanguageFile();
    RecordParser parser(options.KorvalindImport, &statusTexts);

    int n = 0;
    int result = FileResult::Ok;
    for (;;) {
        std::string_view line;
        st = reader.next(line);
        if (st == LineReader::End)
            break;
        countLine();
        if (st != LineReader::Line) {
            result = st == LineReader::TooLong ? FileResult::LineTooLong : FileResult::Unreadable;
            break;
        }
        // Told per record line: a file of millions of empty lines would
        // spend seconds on texts that nobody sees.
        if (line.empty())
            continue;
        if (progress)
            SetStatusText(readingText + QString::number(store.LinesRead));
        if (n >= RecordStore::kMaxRecords) {
            result = FileResult::TooManyRecords;
            break;
        }
        ++n;
        LoggerRecord& rec = store.Records(n);
        if (!parser.parse(line, rec) && !options.IgnoreFileErrs) {
            result = FileResult::CorruptRecord;
            --n;
            break;
        }
    }
    store.StoreCount = n;
    if (options.ShowProgress)
        SetStatusText(QString());
    return result;
}

int ReadDatabaseFile(RecordStore& store, const QString& path, const ReadOptions& options,
                     FileStamp* stamp)
{
    store.LinesRead = 0;
    if (!FileExists(path))
        return FileResult::NoSuchFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return FileResult::Unreadable;
    if (!stamp)
        return ReadDatabase(store, file, options);
    // Size and time from before the read: a change while it reads leaves
    // them behind the file, and the next comparison finds it.
    FileStamp seen = StatFile(path);
    HashingDevice hashing(file);
    const int result = ReadDatabase(store, hashing, options);
    seen.hash = hashing.hash();
    seen.hashed = true;
    *stamp = seen;
    return result;
}

int ReadDatabaseFile(const QString& path, const ReadOptions& options)
{
    return ReadDatabaseFile(DMAModule(), path, options);
}

QString FileErrorText(int code, bool withLine, const RecordStore& store)
{
    QString text;
    switch (code) {
    case 0:
        text = LangText(169);
        break; // success
    case 1:
        text = LangText(170);
        break; // exists but cannot be read
    case 2:
        text = LangText(171);
        break; // no such file
    case 3:
        text = LangText(172);
        break; // too many records
    case 4:
        text = LangText(173);
        break; // write failed
    case 5:
        text = LangText(174);
        break; // line too long
    case 6:
        text = LangText(175);
        break; // a text the file cannot hold
    case 7:
        text = LangText(176);
        break; // nothing after the header
    case 8:
        text = LangText(177);
        break; // corrupt record
    case 9:
        text = LangText(900);
        break; // more than the text viewer shows
    default:
        text = LangText(178);
        break;
    }
    if (withLine && store.LinesRead >= 1)
        text += QStringLiteral("\r\n") + LangText(179) + QString::number(store.LinesRead) +
                LangText(180);
    return text;
}

QString DuplicateSerialReport(const qint32* serials, int count)
{
    const bool progress = HasStatusSink();
    if (progress)
        SetStatusText(LangText(187)); // checking for duplicates

    // One pass counts each serial; a second lists the repeated ones in the
    // order in which each is first met, as a pairwise comparison would.
    SerialCounter occurrences(count);
    for (int i = 0; i < count; ++i)
        occurrences.add(serials[i]);

    const QString progressText = progress ? LangText(188) : QString();
    QString lines;
    int d = 0;
    for (int i = 0; i < count; ++i) {
        const qint32 serial = serials[i];
        int& seen = occurrences.countOf(serial);
        if (seen > 1) {
            ++d;
            lines += QString::number(d) + QLatin1Char('\t') +
                     QString::fromLatin1(FormatSerial(serial).c_str()) + QLatin1Char('\t') +
                     QString::number(seen - 1) + QLatin1Char('\n');
            seen = 0; // listed
        }
        if (progress)
            SetStatusText(progressText + QString::number(i + 1));
    }
    if (d == 0) {
        if (progress)
            SetStatusText(QString::number(count) + LangText(189)); // no duplicates
        return QString();
    }
    const QString report = LangText(190) + QLatin1Char('\t') + LangText(191) + QLatin1Char('\t') +
                           LangText(192) + QLatin1Char('\n') + lines;
    if (progress)
        SetStatusText(QString::number(d) + LangText(193)); // serials occur more than once
    return report;
}

QString FindDuplicateSerials(const RecordStore& store)
{
    std::vector<qint32> serials(static_cast<size_t>(std::max(store.StoreCount, 0)));
    for (int i = 1; i <= store.StoreCount; ++i)
        serials[static_cast<size_t>(i - 1)] = store.Records(i).Serial;
    return DuplicateSerialReport(serials.data(), store.StoreCount);
}
