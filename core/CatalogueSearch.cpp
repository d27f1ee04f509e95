#include "CatalogueSearch.h"

#include "Ansi.h"
#include "DatabaseReader.h"
#include "RecordChecks.h"
#include "RecordStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <memory>

namespace {

bool byNameIgnoringCase(const QString& a, const QString& b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

bool isDatabaseFile(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix();
    return suffix.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("pdb"), Qt::CaseInsensitive) == 0;
}

void collect(const QString& folder, bool recursive, QSet<QString>& visited, QStringList& out)
{
    const QDir dir(folder);
    // A folder reached twice through links is searched once.
    if (visited.contains(dir.canonicalPath()))
        return;
    visited.insert(dir.canonicalPath());
    QStringList files = dir.entryList(QDir::Files | QDir::Readable);
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const QString& n) { return !isDatabaseFile(n); }),
                files.end());
    std::sort(files.begin(), files.end(), byNameIgnoringCase);
    for (const QString& name : files)
        out << QDir::toNativeSeparators(dir.filePath(name));
    if (!recursive)
        return;
    QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(folders.begin(), folders.end(), byNameIgnoringCase);
    for (const QString& name : folders)
        collect(dir.filePath(name), recursive, visited, out);
}

} // namespace

qint32 TypedSerial(const QString& text)
{
    return static_cast<qint32>(WholeNumberValue(Ansi::fromQString(text), INT32_MIN, INT32_MAX));
}

QStringList CatalogueFiles(const QString& folder, bool recursive, bool* listed)
{
    const QFileInfo info(folder);
    const bool ok = !folder.isEmpty() && info.isDir() && QDir(folder).isReadable();
    if (listed)
        *listed = ok;
    QStringList out;
    if (!ok)
        return out;
    QSet<QString> visited;
    collect(folder, recursive, visited, out);
    return out;
}

void SearchCatalogue(const QStringList& files, const QVector<qint32>& serials,
                     const CatalogueSearchSteps& steps)
{
    // One pass over each file's records against the set of serials wanted.
    const QSet<qint32> wanted(serials.begin(), serials.end());
    auto store = std::make_unique<RecordStore>();
    ReadOptions options;
    options.IgnoreFileErrs = true; // a file with damaged records is searched all the same
    options.ShowProgress = false;
    for (const QString& path : files) {
        if (steps.before && !steps.before(path))
            return;
        CatalogueFileResult result;
        result.path = path;
        result.readResult = ReadDatabaseFile(*store, path, options);
        if (result.readResult == 0) {
            for (int i = 1; i <= store->StoreCount && !result.found; ++i)
                result.found = wanted.contains(store->Records(i).Serial);
        }
        if (steps.after && !steps.after(result))
            return;
    }
}
