#include "TransferFolders.h"

#include "Utilities.h"

#include <QDir>
#include <QFile>

namespace {
QString transferBase()
{
    return QDir(ProgramFolder()).filePath(QStringLiteral("korvalind"));
}

void clearFolder(const QString& folder)
{
    QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.pdb"), QStringLiteral("*.PDB")}, QDir::Files))
        QFile::remove(dir.filePath(name));
    QFile::remove(dir.filePath(QStringLiteral("xfer.err")));
}
} // namespace

QString KorvalindFromDir()
{
    return QDir::toNativeSeparators(QDir(transferBase()).filePath(QStringLiteral("from")));
}

QString KorvalindToDir()
{
    return QDir::toNativeSeparators(QDir(transferBase()).filePath(QStringLiteral("to")));
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
