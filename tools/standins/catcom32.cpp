// catcom32: a stand-in for the walk-by device's download program. It leaves a
// file of walk-by lines in the walk-by folder and runs until it is ended.

#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {
const char kHelp[] = "Usage: catcom32\n"
                     "A stand-in for the walk-by download program: it leaves a .txt file of\n"
                     "walk-by lines in the walk-by folder (the program's TrundlexPath setting)\n"
                     "and runs until it is ended.\n"
                     "Environment:\n"
                     "  CATCOM32_FOLDER  the folder to leave the file in, instead of the setting\n"
                     "  CATCOM32_NOFILE  when set, leave no file\n";

// Both kinds of line the program takes, and three it refuses.
const char kLines[] = "1,1001237,0,25/12/2003,0,Main St,North,near hydrant,1\r\n"
                      "2,1002474,0,0,0,01/02/2004,0,Mill Lane,South,valve on the corner,1\r\n"
                      "1,13000000,0,25/12/2003,0,Bad serial,x,x,1\r\n"
                      "1,1003711,0,25/12/2003,0,too few fields,1\r\n"
                      "9,1003711,0,25/12/2003,0,Another kind,x,x,1\r\n"
                      "1,1900001,0,03/03/2005,0,New logger,East,walked by,1\r\n";
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    QString folder = qEnvironmentVariable("CATCOM32_FOLDER");
    if (folder.isEmpty())
        folder = SettingsStore::text(Setting::TrundlexPath);
    if (!qEnvironmentVariableIsSet("CATCOM32_NOFILE")) {
        QDir().mkpath(folder);
        const QString name = QStringLiteral("walkby-%1.txt")
                                 .arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss"));
        QFile out(QDir(folder).filePath(name));
        if (out.open(QIODevice::WriteOnly))
            out.write(kLines);
    }
    return app.exec(); // until it is asked to end
}
