#include "LoggerList.h"

#include "Ansi.h"
#include "DatabaseReader.h"
#include "LangText.h"
#include "ListText.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QFileDevice>
#include <algorithm>
#include <stdexcept>
#include <string>

const LoggerRecord& LoggerList::record(int index) const
{
    if (!IsValidIndex(index))
        throw std::out_of_range("logger list record " + std::to_string(index));
    return m_records[static_cast<size_t>(index)];
}

int LoggerList::RecordOfLine(int line) const
{
    return line >= 1 && line <= LineCount() ? m_lines[static_cast<size_t>(line - 1)].record : 0;
}

int LoggerList::LineOfRecord(int index) const
{
    for (int line = 1; line <= LineCount(); ++line)
        if (m_lines[static_cast<size_t>(line - 1)].record == index)
            return line;
    return 0;
}

QString LoggerList::LineKey(int line) const
{
    const int index = RecordOfLine(line);
    return index ? QString::number(index) + QLatin1Char('x') : QString();
}

QString LoggerList::ColumnText(const LoggerRecord& r, int column)
{
    switch (column) {
    case ColSerial:
        return QString::fromLatin1(FormatSerial(r.Serial).c_str());
    case ColGridRef:
        return Ansi::toQString(GridRefToLocation(r.GridRef));
    case ColDeployed:
        return Ansi::toQString(r.Deployed);
    case ColReceived:
        return Ansi::toQString(r.Received);
    case ColComment1:
        return Ansi::toQString(r.Comment1);
    case ColComment2:
        return Ansi::toQString(r.Comment2);
    case ColDate:
        return Ansi::toQString(r.Date[1]);
    case ColStatus:
        return Ansi::toQString(r.Status[1]);
    case ColLevel:
        return FormatReading(r.Level[1]);
    case ColSpread:
        return FormatReading(r.Spread[1]);
    case ColUserComments:
        return Ansi::toQString(r.UserComments);
    default:
        return QString();
    }
}

QString LoggerList::LineText(int line, int column) const
{
    if (line < 1 || line > LineCount())
        return QString();
    const Line& l = m_lines[static_cast<size_t>(line - 1)];
    if (l.serialOnly && column != ColSerial)
        return QString();
    return ColumnText(m_records[static_cast<size_t>(l.record)], column);
}

bool LoggerList::CopyFrom(const RecordStore& store)
{
    return fill(store.StoreCount, [&store](int i) { return store.Records(i); });
}

bool LoggerList::TakeFrom(RecordStore& store)
{
    if (!fill(store.StoreCount, [&store](int i) { return std::move(store.Records(i)); }))
        return false;
    store.StoreCount = 0;
    return true;
}

bool LoggerList::fill(int n, const std::function<LoggerRecord(int)>& record)
{
    if (n < 1 || n > kCapacity)
        return false;
    if (m_observer)
        m_observer->linesAboutToBeReset();
    m_records.clear();
    m_records.reserve(static_cast<size_t>(n) + 1);
    m_records.emplace_back();
    const bool progress = HasStatusSink();
    const QString adding = progress ? LangText(339) : QString(),
                  toList = progress ? LangText(340) : QString();
    for (int i = 1; i <= n; ++i) {
        m_records.push_back(record(i));
        if (progress)
            SetStatusText(adding + QString::number(i) + toList); // adding logger i to the list
    }
    rebuildLines();
    if (m_observer)
        m_observer->linesReset();
    return true;
}

void LoggerList::CopyTo(RecordStore& store) const
{
    const int n = RecordCount();
    store.StoreCount = n;
    const bool progress = HasStatusSink();
    const QString preparing = progress ? LangText(341) : QString();
    for (int i = 1; i <= n; ++i) {
        LoggerRecord& slot = store.Records(i);
        slot = m_records[static_cast<size_t>(i)];
        TidyReadings(slot, NumHistories);
        if (progress)
            SetStatusText(preparing + QString::number(i));
    }
}

void LoggerList::ReLoad()
{
    if (m_observer)
        m_observer->linesAboutToBeReset();
    rebuildLines();
    if (m_observer)
        m_observer->linesReset();
}

void LoggerList::rebuildLines()
{
    m_lines.clear();
    m_lines.reserve(static_cast<size_t>(RecordCount()));
    for (int i = 1; i <= RecordCount(); ++i)
        m_lines.push_back({i, false});
    // A sorted list stays sorted, as its header says.
    if (IsSorted())
        sortLines(m_sortColumn, m_sortDescending);
}

int LoggerList::Insert(const LoggerRecord& rec, int linePosition, bool serialOnly)
{
    if (IsFull())
        return 0;
    m_records.push_back(rec);
    const int index = RecordCount();
    const int line =
        linePosition >= 1 && linePosition <= LineCount() ? linePosition : LineCount() + 1;
    if (m_observer)
        m_observer->lineAboutToBeInserted(line);
    m_lines.insert(m_lines.begin() + (line - 1), Line{index, serialOnly});
    if (m_observer)
        m_observer->lineInserted(line);
    return index;
}

bool LoggerList::Remove(int index)
{
    if (!IsValidIndex(index))
        return false;
    for (int line = LineOfRecord(index); line; line = LineOfRecord(index)) {
        if (m_observer)
            m_observer->lineAboutToBeRemoved(line);
        m_lines.erase(m_lines.begin() + (line - 1));
        if (m_observer)
            m_observer->lineRemoved(line);
    }
    m_records.erase(m_records.begin() + index);
    for (Line& l : m_lines)
        if (l.record > index)
            --l.record;
    if (m_observer && LineCount() > 0)
        m_observer->linesChanged(1, LineCount()); // keys moved down
    return true;
}

bool LoggerList::Put(int index, const LoggerRecord& rec)
{
    if (!IsValidIndex(index))
        return false;
    m_records[static_cast<size_t>(index)] = rec;
    linesChangedFor(index);
    return true;
}

bool LoggerList::ChangeSerial(int index, qint32 serial)
{
    if (!IsValidIndex(index))
        return false;
    m_records[static_cast<size_t>(index)].Serial = serial;
    linesChangedFor(index);
    return true;
}

void LoggerList::RefreshLine(int line)
{
    if (line < 1 || line > LineCount())
        return;
    m_lines[static_cast<size_t>(line - 1)].serialOnly = false;
    if (m_observer)
        m_observer->linesChanged(line, line);
}

LoggerList::AddResult LoggerList::CreateNewRecord(qint32 serial, int linePosition,
                                                  const QString& location, int* line)
{
    if (GetRecFromSerial(serial))
        return AddResult::Exists;
    LoggerRecord r = NewBlankRecord();
    r.Serial = serial;
    if (location.size() == 8)
        r.GridRef = LocationToGridRef(Ansi::fromQString(location));
    const int index = Insert(r, linePosition);
    if (!index)
        return AddResult::Full;
    if (line)
        *line = GetLineFromSerial(serial);
    return AddResult::Added;
}

int LoggerList::PasteRecord(const LoggerRecord& rec, int currentLine)
{
    const int index = Insert(rec, currentLine >= 1 ? currentLine : 0);
    return index ? GetLineFromSerial(rec.Serial) : 0;
}

QVector<LoggerRecord> LoggerList::RecordsOfLines(const QList<int>& lines) const
{
    QVector<LoggerRecord> out;
    for (int line : lines)
        if (const int index = RecordOfLine(line))
            out.append(m_records[static_cast<size_t>(index)]);
    return out;
}

LoggerList::FillResult LoggerList::Fill(qint64 first, qint64 count, qint64 step, bool withLocation,
                                        const QString& firstLocation)
{
    FillResult result;
    if (m_observer)
        m_observer->linesAboutToBeReset();
    qint64 serial = first;
    qint64 location = WholeNumberValue(Ansi::fromQString(firstLocation), 0, 99999999);
    int lastIndex = 0;
    for (qint64 k = 0; k < count; ++k) {
        if (!IsValidSerial(serial)) { // the step has gone past the valid serials
            result.stop = FillResult::InvalidSerial;
            result.stoppedAt = serial;
            break;
        }
        const qint32 s = static_cast<qint32>(serial);
        if (GetRecFromSerial(s)) {
            result.existing << QString::fromLatin1(FormatSerial(s).c_str());
        } else if (IsFull()) {
            result.stop = FillResult::Full;
            result.stoppedAt = serial;
            break;
        } else {
            LoggerRecord r = NewBlankRecord();
            r.Serial = s;
            if (withLocation)
                r.GridRef = LocationToGridRef(FormatSerial(location));
            m_records.push_back(std::move(r));
            m_lines.push_back({RecordCount(), false});
            lastIndex = RecordCount();
            ++result.created;
        }
        serial += step;
        if (withLocation && ++location >= 99999999)
            location = 0;
    }
    if (m_observer)
        m_observer->linesReset();
    result.lastLine = lastIndex ? LineOfRecord(lastIndex) : 0;
    if (result.created)
        AskForSave = true;
    return result;
}

QString ListFullMessage(int added, int wanted)
{
    if (added < 1)
        return LangText(618);
    return LangText(630) + QString::number(added) + LangText(631) + QString::number(wanted) +
           LangText(632);
}

void PrepareNewWindowRecords(RecordStore& store)
{
    for (int i = 1; i <= store.StoreCount; ++i) {
        LoggerRecord& r = store.Records(i);
        const qint32 serial = r.Serial;
        r = LoggerRecord();
        r.Serial = serial;
        r.GridRef = kAbsentGridRef;
        r.UserComments = "comment";
    }
}

QString DayFirstToYearFirst(const QString& d)
{
    const QString turned = d.right(4) + d.mid(2, 4) + d.left(2);
    if (IsValidDate(Ansi::fromQString(turned)))
        return turned;
    return QStringLiteral("    /  /  ");
}

QString CleanImportText(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const ushort u = c.unicode();
        const bool kept = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ||
                          (u >= 'a' && u <= 'z') || u == ',' || u == '-' || u == '.' || u == '/';
        if (!kept)
            c = QLatin1Char(' ');
    }
    return out;
}

bool ReadWalkByLines(QIODevice& in, const std::function<void(const QString&, int)>& take)
{
    constexpr qint64 kLongestLine = 64 * 1024; // a walk-by line is a few dozen characters
    const auto* file = qobject_cast<const QFileDevice*>(&in);
    auto failed = [file] { return file && file->error() != QFileDevice::NoError; };
    int number = 0;
    while (!in.atEnd()) {
        QByteArray line = in.readLine(kLongestLine);
        if (line.isEmpty() && failed())
            break;
        ++number;
        if (!line.endsWith('\n') && !in.atEnd()) {
            // Far too long for a record: passed over whole, so that no
            // piece of it can become one.
            while (!line.endsWith('\n') && !in.atEnd() && !failed())
                line = in.readLine(kLongestLine);
            continue;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        take(Ansi::toQString(std::string_view(line.constData(), size_t(line.size()))), number);
    }
    return !failed();
}

bool LoggerList::ImportRecord(const QString& text, int lineNumber, QString& message, int* lineOut)
{
    message.clear();
    if (text.isEmpty())
        return false;
    const QStringList f = text.toUpper().split(QLatin1Char(','));
    // Kind 1: nine fields ending in "1"; kind 2: eleven fields ending in "1".
    int dateField, comment1, comment2, userComment, userLength;
    if (f.size() == 9 && f[0] == QLatin1String("1") && f[8] == QLatin1String("1")) {
        dateField = 3, comment1 = 5, comment2 = 6, userComment = 7, userLength = 20;
    } else if (f.size() == 11 && f[0] == QLatin1String("2") && f[10] == QLatin1String("1")) {
        dateField = 5, comment1 = 7, comment2 = 8, userComment = 9, userLength = 255;
    } else {
        return false;
    }
    const qint64 serial = WholeNumberValue(Ansi::fromQString(f[1]), INT32_MIN, INT32_MAX);
    if (!IsValidSerial(serial)) {
        message = QString::number(serial) + LangText(523) + QString::number(lineNumber) +
                  LangText(524) + LangText(132);
        return false;
    }
    LoggerRecord r;
    r.Serial = static_cast<qint32>(serial);
    r.GridRef = kAbsentGridRef;
    r.Deployed = Ansi::fromQString(DayFirstToYearFirst(f[dateField]));
    auto cleaned = [](const QString& t, int length) {
        return Ansi::fromQString(CleanImportText(t.left(length)));
    };
    r.Comment1 = cleaned(f[comment1], 20);
    r.Comment2 = cleaned(f[comment2], 20);
    r.UserComments = cleaned(f[userComment], userLength);
    int index = GetRecFromSerial(r.Serial);
    int line = 0;
    if (!index) {
        index = Insert(r);
        if (!index) {
            message = LangText(618); // the list is full
            return false;
        }
        line = LineOfRecord(index);
    } else {
        line = LineOfRecord(index);
        if (!line)
            return false;
        Put(index, r); // an existing logger is replaced whole
        RefreshLine(line);
    }
    AskForSave = true;
    if (lineOut)
        *lineOut = line;
    return true;
}

int LoggerList::CreateNewRecord2(qint32 serial, int linePosition)
{
    LoggerRecord r = NewBlankRecord();
    r.Serial = serial;
    const int index = Insert(r, linePosition, true);
    return index ? LineOfRecord(index) : 0;
}

int LoggerList::StoreFromEditor(const LoggerRecord& edited, QString& refusal)
{
    refusal.clear();
    if (RecordCount() < 1) {
        refusal = LangText(342); // nothing to store into
        return 0;
    }
    const QString serial = QString::fromLatin1(FormatSerial(edited.Serial).c_str());
    const int index = GetRecFromSerial(edited.Serial);
    const int line = GetLineFromSerial(edited.Serial);
    if (!index)
        refusal += serial + LangText(343) + QLatin1Char('\r');
    if (!line)
        refusal += serial + LangText(346) + QLatin1Char('\r');
    if (!refusal.isEmpty())
        return 0;
    const LoggerRecord& old = m_records[static_cast<size_t>(index)];
    LoggerRecord r = edited;
    r.GridRef = LocationIntoGridRef(GridRefToLocation(edited.GridRef), old.GridRef);
    r.Deployed = old.Deployed;
    r.Received = old.Received;
    Put(index, r);
    RefreshLine(line);
    AskForSave = true;
    return line;
}

void LoggerList::linesChangedFor(int index)
{
    if (!m_observer)
        return;
    for (int line = 1; line <= LineCount(); ++line)
        if (m_lines[static_cast<size_t>(line - 1)].record == index)
            m_observer->linesChanged(line, line);
}

int LoggerList::GetRecFromSerial(qint32 serial) const
{
    for (int i = 1; i <= RecordCount(); ++i)
        if (m_records[static_cast<size_t>(i)].Serial == serial)
            return i;
    return 0;
}

int LoggerList::GetLineFromSerial(qint32 serial) const
{
    for (int line = 1; line <= LineCount(); ++line)
        if (m_records[static_cast<size_t>(m_lines[static_cast<size_t>(line - 1)].record)].Serial ==
            serial)
            return line;
    return 0;
}

bool LoggerList::LineContains(int line, const QString& text) const
{
    for (int c = ColSerial; c <= ColSpread; ++c) // not the user comment
        if (LineText(line, c).contains(text, Qt::CaseSensitive))
            return true;
    return false;
}

int LoggerList::Find(const QString& text)
{
    const int count = RecordCount();
    if (count < 1)
        return 0;
    if (!text.isEmpty()) {
        m_findStart = 1;
        m_findText = text;
    }
    if (m_findStart > count)
        m_findStart = 1;
    int found = 0;
    for (int line = m_findStart; line <= count && !found; ++line)
        if (LineContains(line, m_findText))
            found = line;
    // Past the last match the search goes round to the top, so the last line
    // can be found too.
    for (int line = 1; line < m_findStart && !found; ++line)
        if (LineContains(line, m_findText))
            found = line;
    if (found)
        m_findStart = found + 1;
    return found;
}

QString LoggerList::FindDuplicateSerials() const
{
    std::vector<qint32> serials;
    serials.reserve(static_cast<size_t>(RecordCount()));
    for (int i = 1; i <= RecordCount(); ++i)
        serials.push_back(m_records[static_cast<size_t>(i)].Serial);
    return DuplicateSerialReport(serials.data(), RecordCount());
}

void LoggerList::Sort(int column, bool descending)
{
    if (column < 0 || column >= ColumnCount)
        return;
    if (m_observer)
        m_observer->linesAboutToBeReordered();
    sortLines(column, descending);
    m_sortColumn = column;
    m_sortDescending = descending;
    if (m_observer)
        m_observer->linesReordered();
}

void LoggerList::sortLines(int column, bool descending)
{
    // Each line's text once, folded for comparing without regard to case as
    // QString::compare does, then the order by it.
    struct Keyed
    {
        QString key;
        Line line;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(m_lines.size());
    for (int line = 1; line <= LineCount(); ++line)
        keyed.push_back(
            {LineText(line, column).toCaseFolded(), m_lines[static_cast<size_t>(line - 1)]});
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const Keyed& a, const Keyed& b) {
        return descending ? b.key < a.key : a.key < b.key;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        m_lines[i] = keyed[i].line;
}

LoggerRecord LoggerList::NewBlankRecord()
{
    LoggerRecord r;
    r.Serial = 99999999;
    r.GridRef = kAbsentGridRef;
    r.Comment1 = LangTextAnsi(354); // a new logger
    return r;
}
