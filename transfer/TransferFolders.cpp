#include "TransferFolders.h"

#include "Utilities.h"

#include <QDir>
#include <QFile>

namespace {
void clearFolder(const QString& folder)
{
    // Only plain files of the folder itself: a link never takes the
    // deleting elsewhere.
    QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.pdb")}, QDir::Files | QDir::NoSymLinks | QDir::Hidden))
        QFile::remove(dir.filePath(name));
    QFile::remove(dir.filePath(QStringLiteral("xfer.err")));
}
} // namespace

QString TransferFolderUnder(const QString& programFolder, const QString& name)
{
    const QChar sep = QDir::separator();
    QString base = programFolder;
    if (!base.endsWith(QLatin1Char('/')) && !base.endsWith(QLatin1Char('\\')))
        base += sep;
    return base + QStringLiteral("korvalind") + sep + name;
}

QString KorvalindFromDir()
{
    return TransferFolderUnder(QDir::toNativeSeparators(ProgramFolder()), QStringLiteral("from"));
}

QString KorvalindToDir()
{
    return TransferFolderUnder(QDir::toNativeSeparators(ProgramFolder()), QStringLiteral("to"));
}

void PrepareTransferFolders()
{
    QDir().mkpath(KorvalindFromDir());
    QDir().mkpath(KorvalindToDir());
    ClearToFolder();
    ClearFromFolder();
}

void ClearFromFolder()
{
    clearFolder(KorvalindFromDir());
}

void ClearToFolder()
{
    clearFolder(KorvalindToDir());
}
