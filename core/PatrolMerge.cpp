#include "PatrolMerge.h"

#include "Ansi.h"
#include "DatabaseWriter.h"
#include "FileStamp.h"
#include "LangText.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QFile>
#include <QFileInfo>
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

// Both paths name one existing file, however each is written (letter case
// counts only where the file system makes it count).
bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa == fb;
}

// A reading without a date was never taken: a logger put on the patrol
// list and not read on the round.
bool hasReading(const LoggerRecord& r)
{
    return !Ansi::trimmed(r.Date[1].view()).empty();
}

// Keeps a copy of each file under its next free number. When one cannot be
// made, the copies already made go again and the failed name is returned.
QString backUp(const QStringList& files, QStringList& made)
{
    for (const QString& file : files) {
        const QString backup = NextBackupName(file);
        if (!QFile::copy(file, backup)) {
            for (const QString& b : made)
                QFile::remove(b);
            made.clear();
            return backup;
        }
        made << backup;
    }
    return QString();
}

} // namespace

QString MergedDatabasePath(const QString& path)
{
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return path;
    const QString title = FileTitle(path);
    return path.left(path.size() - title.size()) + baseName(title) + QStringLiteral(".csv");
}

MergeOutcome MergeLatestPatrol(const LoggerList& patrol, const QString& path,
                               const LoadDatabase& load, RecordStore& store)
{
    MergeOutcome out;
    out.path = path;
    if (path == patrol.Caption || sameFile(path, patrol.Caption)) {
        out.message = LangText(215); // the patrol is that very file
        return out;
    }
    if (baseName(patrol.DMAName) != baseName(FileTitle(path))) {
        out.message = LangText(216); // only into the database of the same name
        return out;
    }
    const QString written = MergedDatabasePath(path);
    if (sameFile(written, patrol.Caption)) {
        out.message = LangText(633) + QLatin1Char('\n') + written; // would replace the patrol
        return out;
    }
    // What the database was before it is read: should someone write it while
    // the merge works, their change is not replaced by the merge's.
    const FileStamp before = StatFile(path);
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
        log += QString::fromLatin1(FormatSerial(rec.Serial).c_str());
        LoggerRecord& target = store.Records(found.value());
        if (hasReading(rec) && !SameLatestReading(target, rec)) {
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

    if (!StatFile(path).sameTimes(before)) {
        out.kind = MergeOutcome::Failed;
        out.message = LangText(888) + QLatin1Char('\n') + path; // changed meanwhile
        return out;
    }
    // Every file the merge replaces is kept before anything is written: the
    // database, and a ".csv" already beside an older ".pdb".
    QStringList replaced;
    if (written != path && QFileInfo(written).isFile())
        replaced << written;
    replaced << path;
    const QString refused = backUp(replaced, out.backups);
    if (!refused.isEmpty()) {
        out.kind = MergeOutcome::Failed;
        out.message = LangText(635) + refused;
        return out;
    }
    if (WriteDatabaseFile(store, written) != FileResult::Ok) {
        // The files stay as they were: the database opens unchanged.
        out.kind = MergeOutcome::Failed;
        out.message = LangText(173) + QStringLiteral(":\n") + written + QLatin1Char('\n') +
                      LangText(636) + out.backups.join(QStringLiteral(", "));
        return out;
    }
    out.kind = MergeOutcome::Merged;
    out.path = written;
    out.message = LangText(225) + out.backups.last();
    if (out.backups.size() > 1)
        out.message += QLatin1Char('\n') + LangText(634) + out.backups.first();
    return out;
}
