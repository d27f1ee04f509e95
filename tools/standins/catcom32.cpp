// catcom32: a stand-in for the walk-by device's download program, for trials
// and tests. It leaves a file of walk-by lines in the folder it is told of
// and runs until it is ended. It runs only when told where, and is never
// installed where the real program is looked for: readings it makes up must
// never pass for a walk-by.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {
const char kHelp[] = "Usage: catcom32\n"
                     "A stand-in for the walk-by download program, for trials and tests: it\n"
                     "leaves a .txt file of walk-by lines in the folder named by\n"
                     "CATCOM32_WALKBY_FOLDER (set the program's walk-by folder to the same)\n"
                     "and runs until it is ended. Without that folder, or when it cannot\n"
                     "leave the file, it says so on standard error and exits with 1.\n"
                     "Environment:\n"
                     "  CATCOM32_WALKBY_FOLDER  the folder to leave the file in (required)\n";

// Both kinds of line the program takes, and three it refuses.
const char kLines[] = "1,1001237,0,25/12/2003,0,Main St,North,near hydrant,1\r\n"
                      "2,1002474,0,0,0,01/02/2004,0,Mill Lane,South,valve on the corner,1\r\n"
                      "1,13000000,0,25/12/2003,0,Bad serial,x,x,1\r\n"
                      "1,1003711,0,25/12/2003,0,too few fields,1\r\n"
                      "9,1003711,0,25/12/2003,0,Another kind,x,x,1\r\n"
                      "1,1900001,0,03/03/2005,0,New logger,East,walked by,1\r\n";

int refuse(const QString& text)
{
    std::fprintf(stderr, "catcom32 (stand-in): %s\n", qPrintable(text));
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const QString folder = qEnvironmentVariable("CATCOM32_WALKBY_FOLDER");
    if (folder.isEmpty())
        return refuse(QStringLiteral("This is the stand-in walk-by download program, and no "
                                     "walk-by folder is named (CATCOM32_WALKBY_FOLDER). "
                                     "Nothing was downloaded."));
    const QString name = QStringLiteral("walkby-%1.txt")
                             .arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss"));
    QFile out(QDir(folder).filePath(name));
    const qsizetype size = qsizetype(sizeof kLines - 1);
    if (!QDir().mkpath(folder) || !out.open(QIODevice::WriteOnly) ||
        out.write(kLines, size) != size || !out.flush())
        return refuse(QStringLiteral("The walk-by file %1 could not be left.").arg(out.fileName()));
    out.close();
    return app.exec(); // until it is asked to end
}
