#include "TransferFolders.h"

#include "LangText.h"
#include "Prompts.h"
#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

int g_writableForTesting = -1;
// Where the folders go, worked out once for each program folder (tests change it).
QString g_decidedFor, g_base;

// Whether files can be made in the program's "korvalind" folder: asked of
// the system by making one, since permissions, read-only media and
// protected program folders each answer differently to a mere look.
bool canWriteBeside(const QString& programFolder)
{
    if (g_writableForTesting >= 0)
        return g_writableForTesting > 0;
    const QDir program(programFolder);
    const QString korvalind = program.filePath(QStringLiteral("korvalind"));
    if (!QFileInfo(korvalind).isDir() && !program.mkpath(QStringLiteral("korvalind")))
        return false;
    QTemporaryFile probe(korvalind + QStringLiteral("/write-test-XXXXXX"));
    return probe.open();
}

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

QString TransferFoldersBase()
{
    const QString program = ProgramFolder();
    if (program != g_decidedFor || g_base.isEmpty()) {
        g_decidedFor = program;
        g_base = canWriteBeside(program)
                     ? program
                     : QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    }
    return QDir::toNativeSeparators(g_base);
}

void SetProgramFolderWritableForTesting(int writable)
{
    g_writableForTesting = writable;
    g_decidedFor.clear(); // the next look decides again
}

QString KorvalindFromDir()
{
    return TransferFolderUnder(TransferFoldersBase(), QStringLiteral("from"));
}

QString KorvalindToDir()
{
    return TransferFolderUnder(TransferFoldersBase(), QStringLiteral("to"));
}

bool PrepareTransferFolders()
{
    for (const QString& folder : {KorvalindFromDir(), KorvalindToDir()}) {
        if (!QDir().mkpath(folder)) {
            ShowMessage(LangText(627) + folder);
            return false;
        }
    }
    ClearToFolder();
    ClearFromFolder();
    return true;
}

void ClearFromFolder()
{
    clearFolder(KorvalindFromDir());
}

void ClearToFolder()
{
    clearFolder(KorvalindToDir());
}
