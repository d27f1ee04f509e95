#include "EditorEntries.h"

#include "Ansi.h"
#include "LangText.h"
#include "ListText.h"
#include "RecordChecks.h"

namespace {

std::string ansi(const QString& text)
{
    return Ansi::fromQString(text);
}

qint64 numberIn(const QString& text, qint64 lo, qint64 hi)
{
    return WholeNumberValue(ansi(text), lo, hi);
}

} // namespace

EditorEntries EditorEntries::FromRecord(const LoggerRecord& rec)
{
    EditorEntries e;
    e.Serial = QString::fromLatin1(FormatSerial(rec.Serial).c_str());
    e.Location = Ansi::toQString(GridRefToLocation(rec.GridRef));
    e.Comment1 = Ansi::toQString(rec.Comment1);
    e.Comment2 = Ansi::toQString(rec.Comment2);
    e.UserComments = Ansi::toQString(rec.UserComments);
    e.History.reserve(kMaxHistories);
    for (int i = 1; i <= kMaxHistories; ++i) {
        const QString date = Ansi::toQString(Ansi::trimmed(rec.Date[i]));
        e.History.append({date.isEmpty() ? QStringLiteral(" ") : date,
                          Ansi::toQString(rec.Status[i]), QString::number(rec.Level[i]),
                          QString::number(rec.Spread[i])});
    }
    return e;
}

bool ValidateEntries(EditorEntries& e, int numHistories, QString& report)
{
    const QString crlf = QStringLiteral("\r\n");
    report.clear();
    bool ok = true;
    const qint64 serial = numberIn(e.Serial, INT32_MIN, INT32_MAX);
    e.Serial = QString::fromLatin1(FormatSerial(serial).c_str());
    if (!IsValidSerial(serial)) {
        ok = false;
        report += LangText(191) + crlf;
    }
    if (e.Location.size() != 8) {
        ok = false;
        report += LangText(379) + crlf; // location number not eight characters
    }
    const int rows = std::min<int>({numHistories, kMaxHistories, int(e.History.size())});
    for (int i = 1; i <= rows; ++i) {
        const EditorEntries::Row& r = e.History[i - 1];
        const QString row = QLatin1Char(' ') + QString::number(i) + crlf;
        auto fault = [&](const QString& caption) {
            ok = false;
            report += caption + row;
        };
        if (!IsValidReading(ansi(r.Level)))
            fault(LangText(166));
        if (!IsValidReading(ansi(r.Spread)))
            fault(LangText(167));
        if (!IsValidStatus(ansi(r.Status)))
            fault(LangText(165));
        if (!IsValidDate(ansi(r.Date.trimmed())))
            fault(LangText(164));
    }
    return ok;
}

LoggerRecord RecordFromEntries(const EditorEntries& e, int numHistories)
{
    LoggerRecord r;
    r.Serial = static_cast<qint32>(numberIn(e.Serial, INT32_MIN, INT32_MAX));
    r.GridRef = LocationToGridRef(ansi(e.Location));
    r.Comment1 = ansi(e.Comment1);
    r.Comment2 = ansi(e.Comment2);
    r.UserComments = ansi(e.UserComments);
    const int rows = std::min<int>({numHistories, kMaxHistories, int(e.History.size())});
    for (int i = 1; i <= rows; ++i) {
        const EditorEntries::Row& row = e.History[i - 1];
        // The editor shows no date as a blank; stored, it is no date.
        r.Date[i] = ansi(row.Date.trimmed());
        r.Status[i] = ansi(row.Status);
        r.Level[i] = static_cast<qint16>(numberIn(row.Level, INT16_MIN, INT16_MAX));
        r.Spread[i] = static_cast<qint16>(numberIn(row.Spread, INT16_MIN, INT16_MAX));
    }
    return r;
}

QString CheckHistoryEntry(QString& date, QString& status, QString& level, QString& spread)
{
    date = date.trimmed();
    status = status.toUpper().trimmed();
    level = level.trimmed();
    spread = spread.trimmed();
    if (!IsValidDate(ansi(date)))
        return LangText(385);
    if (!IsValidStatus(ansi(status)))
        return LangText(386);
    if (!IsValidReading(ansi(level)))
        return LangText(387);
    if (!IsValidReading(ansi(spread)))
        return LangText(388);
    return QString();
}
