#pragma once
// Which database files of a folder hold given loggers: the search the
// catalogue window and quorvane-tool share. Each file is read into a store
// of the search's own, never the one the list windows and the editor use,
// and the search may run off the user-interface thread.

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// The serial a user typed: its leading number (0 when the text does not
// start with one), as a whole number.
qint32 TypedSerial(const QString& text);

// The database files of a folder (*.csv and *.pdb, the extension in any
// case) by name, ignoring case; with subfolders, a folder's own files come
// first, then each subfolder's in name order, depth first. listed is false
// when the folder itself cannot be read.
QStringList CatalogueFiles(const QString& folder, bool recursive, bool* listed = nullptr);

struct CatalogueFileResult
{
    QString path;
    int readResult = 0; // the reader's FileResult code
    bool found = false; // holds at least one of the serials
};

// Reads the files one after another, corrupt records kept, and tells after
// each what it held. before runs ahead of each file and after follows it;
// either stops the search by returning false.
struct CatalogueSearchSteps
{
    std::function<bool(const QString& path)> before;
    std::function<bool(const CatalogueFileResult& result)> after;
};
void SearchCatalogue(const QStringList& files, const QVector<qint32>& serials,
                     const CatalogueSearchSteps& steps);
