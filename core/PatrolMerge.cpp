#include "PatrolMerge.h"

#include "DatabaseWriter.h"
#include "LangText.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QFile>
#include <QHash>

bool SameLatestReading(const LoggerRecord& a, const LoggerRecord& b)
{
    return a.Date[1] == b.Date[1] && a.Status[1] == b.Status[1] && a.Level[1] == b.Level[1] &&
           a.Spread[1] == b.Spread[1];
}

void ShiftInReading(LoggerRecord& destination, const LoggerRecord& source)
{
    for (int i = kMaxHistories - 1; i >= 1; --i) {
        destination.Date[i + 1] = std::move(destination.Date[i]);
        destination.Status[i + 1] = std::move(destination.Status[i]);
        destination.Level[i + 1] = destination.Level[i];
        destination.Spread[i + 1] = destination.Spread[i];
    }
    destination.setHistory(1, source.history(1));
}

QString NextBackupName(const QString& path)
{
    for (int n = 0;; ++n) {
        const QString name =
            path + QLatin1Char('.') + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
        if (!QFile::exists(name))
            return name;
    }
}

namespace {

// A file name up to its first ".", or the whole name when it has none.
QString baseName(const QString& name)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

} // namespace

MergeOutcome MergeLatestPatrol(const LoggerList& patrol, const QString& path,
                               const LoadDatabase& load, RecordStore& store)
{
    MergeOutcome out;
    out.path = path;
    if (path == patrol.Caption) {
        out.message = LangText(215); // the patrol is that very file
        return out;
    }
    if (baseName(patrol.DMAName) != baseName(FileTitle(path))) {
        out.message = LangText(216); // only into the database of the same name
        return out;
    }
    if (!load(path)) {
        out.message = LangText(217) + path;
        return out;
    }

    // Each serial's first record in the database, so that matching a whole
    // patrol takes one pass instead of a search per logger.
    QHash<qint32, int> slotOf;
    slotOf.reserve(store.StoreCount);
    for (int j = store.StoreCount; j >= 1; --j)
        slotOf.insert(store.Records(j).Serial, j);

    QString log = LangText(218) + QStringLiteral("\n\n");
    int changed = 0;
    QVector<int> pending; // patrol records the database lacks, in patrol order
    const QString added = LangText(219);
    for (int i = 1; i <= patrol.RecordCount(); ++i) {
        const LoggerRecord& rec = patrol.record(i);
        const auto found = slotOf.constFind(rec.Serial);
        if (found == slotOf.constEnd()) {
            pending.append(i);
            continue;
        }
        log += QString::number(rec.Serial);
        LoggerRecord& target = store.Records(found.value());
        if (!SameLatestReading(target, rec)) {
            ShiftInReading(target, rec);
            log += added;
            ++changed;
        }
        log += QLatin1Char('\n');
    }
    if (changed == 0)
        log += LangText(221) + QLatin1Char('\n');
    else
        log += QString::number(changed) + LangText(220) + QLatin1Char('\n');
    if (!pending.isEmpty()) {
        log += QLatin1Char('\n') + LangText(222) + QLatin1Char('\n');
        for (auto k = pending.crbegin(); k != pending.crend(); ++k) // listed last first
            log += QString::fromLatin1(FormatSerial(patrol.record(*k).Serial).c_str()) +
                   QLatin1Char('\n');
    }
    log += QLatin1Char('\n') + LangText(223);

    // The new loggers must fit beside the old ones, or nothing is written.
    if (store.StoreCount + pending.size() > RecordStore::kMaxRecords) {
        out.message = LangText(619);
        return out;
    }
    out.log = log;
    out.logCaption = LangText(224) + patrol.DMAName + QStringLiteral(".log");
    if (pending.isEmpty() && changed == 0) {
        out.kind = MergeOutcome::Unchanged;
        return out;
    }
    for (int k : pending)
        store.Records(++store.StoreCount) = patrol.record(k);

    out.backup = NextBackupName(path);
    if (!QFile::copy(path, out.backup)) {
        // Without its backup the database is not touched.
        out.kind = MergeOutcome::Failed;
        out.message = LangText(173) + QStringLiteral(":\n") + out.backup;
        out.backup.clear();
        return out;
    }
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        // An older ".pdb" stays where it is; the database becomes a ".csv".
        const QString title = FileTitle(path);
        out.path = path.left(path.size() - title.size()) + baseName(title) + QStringLiteral(".csv");
    }
    if (WriteDatabaseFile(store, out.path) != FileResult::Ok) {
        out.kind = MergeOutcome::Failed;
        out.message = LangText(173) + QStringLiteral(":\n") + out.path;
        return out;
    }
    out.kind = MergeOutcome::Merged;
    out.message = LangText(225) + out.backup;
    return out;
}
