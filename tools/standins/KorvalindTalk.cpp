// KorvalindTalk: a stand-in for the handheld receiver's transfer program, so
// that sending, a patrol and receiving can be tried without the handheld.
// It takes the command line the program gives it and keeps the simulated
// handheld's memory in the folder it is told of. It runs only when told,
// and is never installed where the real program is looked for: readings it
// makes up must never pass for a patrol.

#include "Ansi.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>
#include <cstdio>

namespace {

const char kHelp[] =
    "Usage: KorvalindTalk Direct|Modem=NUMBER ComPort=N READ|WRITE FOLDER\n"
    "A stand-in for the handheld receiver's transfer program, for trials and\n"
    "tests. It keeps a simulated handheld's memory in a folder, and runs only\n"
    "when that folder is named.\n"
    "  WRITE  copies the .PDB lists of FOLDER into the handheld's memory.\n"
    "  READ   writes the handheld's patrol results into FOLDER: each list it\n"
    "         holds, every logger with one new reading of today in front.\n"
    "Whatever it cannot do it reports in xfer.err in the 'from' folder beside\n"
    "FOLDER and on standard error, and exits with 1.\n"
    "Environment:\n"
    "  KORVALINDTALK_HANDHELD  the simulated handheld's memory folder (required)\n"
    "  KORVALINDTALK_FAULT     error (leaves xfer.err in the 'from' folder),\n"
    "                          nofile (READ leaves nothing), damaged (READ leaves\n"
    "                          one damaged file too), hang (never ends)\n"
    "  KORVALINDTALK_LOG       a file to which each command line is added\n";

QStringList listFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdb")}, QDir::Files, QDir::Name);
}

QString unquoted(QString field)
{
    field = field.trimmed();
    if (field.startsWith('"'))
        field.remove(0, 1);
    if (field.endsWith('"'))
        field.chop(1);
    return field;
}

// A logger's new reading: the same for the same logger on the same day.
struct Reading
{
    int level, spread;
    char letter;
};
Reading todaysReading(qint64 serial)
{
    const quint64 seed =
        quint64(serial) * 2654435761u + quint64(QDate::currentDate().toJulianDay());
    Reading r;
    r.level = 5 + int(seed % 60);
    r.spread = 2 + int((seed / 61) % 25);
    r.letter = r.level - r.spread >= 16 ? 'L' : (seed % 7 == 0 ? 'W' : 'N');
    return r;
}

// The handheld's result for one list it holds: two header lines, then each
// logger with today's reading in front of the first five it had, every
// field followed by a comma.
QByteArray patrolResult(const QByteArray& list, bool damaged)
{
    QByteArray out = "\"Velloran Korvalind V1.00,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\"\r\n"
                     "\"Serial , GridRef, Comment1, Comment2, Deployed, Received";
    for (int i = 0; i < 6; ++i)
        out += ", Date, Status, Level, Spread";
    out += "\"\r\n";
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    const QList<QByteArray> lines = list.split('\n');
    for (int n = 3; n < lines.size(); ++n) { // after the list's three header lines
        const QString line =
            Ansi::toQString(std::string_view(lines[n].constData(), size_t(lines[n].size())))
                .trimmed();
        if (line.isEmpty())
            continue;
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() < 6)
            continue;
        const qint64 serial = f[0].trimmed().toLongLong();
        const Reading r = todaysReading(serial);
        QString record = QString::number(damaged ? 13000000 : serial);
        for (int i = 1; i <= 5; ++i)
            record += QStringLiteral(",\"") + unquoted(f[i]) + QLatin1Char('"');
        record += QStringLiteral(",\"%1\",\"%2\",%3,%4")
                      .arg(today)
                      .arg(QChar(r.letter))
                      .arg(r.level)
                      .arg(r.spread);
        for (int i = 0; i < 5; ++i) {
            const int at = 6 + 4 * i;
            if (at + 3 >= f.size())
                break;
            record += QStringLiteral(",\"") + unquoted(f[at]) + QStringLiteral("\",\"") +
                      unquoted(f[at + 1]) + QStringLiteral("\",") + f[at + 2].trimmed() +
                      QLatin1Char(',') + f[at + 3].trimmed();
        }
        const std::string bytes = Ansi::fromQString(record + QLatin1Char(','));
        out += QByteArray(bytes.data(), qsizetype(bytes.size())) + "\r\n";
    }
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush();
}

// The error file the program reads after either mode, in the "from" folder.
bool leaveErrorFile(const QString& folder, int number, const QString& text)
{
    const std::string line = Ansi::fromQString(text);
    return writeFile(QDir::cleanPath(QDir(folder).filePath(QStringLiteral("../from/xfer.err"))),
                     QByteArray::number(number) + "\r\n" +
                         QByteArray(line.data(), qsizetype(line.size())) + "\r\n");
}

// Nothing it was asked for is pretended: the program is told, and so is
// whoever started it by hand.
int refuse(const QString& folder, const QString& text)
{
    leaveErrorFile(folder, 99, text);
    std::fprintf(stderr, "KorvalindTalk (stand-in): %s\n", qPrintable(text));
    return 1;
}

int send(const QString& folder, const QString& memory)
{
    if (!QDir().mkpath(memory))
        return refuse(folder, QStringLiteral("The simulated handheld %1 cannot be made. "
                                             "Nothing was sent.")
                                  .arg(memory));
    for (const QString& name : listFiles(folder)) {
        const QString to = QDir(memory).filePath(name);
        QFile::remove(to);
        if (!QFile::copy(QDir(folder).filePath(name), to))
            return refuse(folder, QStringLiteral("%1 could not be stored in the simulated "
                                                 "handheld %2.")
                                      .arg(name, memory));
    }
    return 0;
}

int receive(const QString& folder, const QString& memory, bool damaged)
{
    if (!QFileInfo(memory).isDir())
        return refuse(folder, QStringLiteral("The simulated handheld %1 does not exist. "
                                             "Nothing was received.")
                                  .arg(memory));
    for (const QString& name : listFiles(memory)) {
        QFile in(QDir(memory).filePath(name));
        if (!in.open(QIODevice::ReadOnly))
            return refuse(folder, QStringLiteral("%1 of the simulated handheld %2 cannot be "
                                                 "read.")
                                      .arg(name, memory));
        const QByteArray list = in.readAll();
        if (in.error() != QFileDevice::NoError ||
            !writeFile(QDir(folder).filePath(name), patrolResult(list, damaged)))
            return refuse(
                folder, QStringLiteral("The result %1 could not be left in %2.").arg(name, folder));
        damaged = false; // only the first
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (const QString log = qEnvironmentVariable("KORVALINDTALK_LOG"); !log.isEmpty()) {
        QFile f(log);
        if (f.open(QIODevice::Append))
            f.write(args.join(QLatin1Char('|')).toUtf8() + '\n');
    }
    if (args.size() != 4 ||
        (args[2] != QLatin1String("READ") && args[2] != QLatin1String("WRITE"))) {
        std::fputs(kHelp, stderr);
        return 64;
    }
    const QString folder = args[3];
    const QString memory = qEnvironmentVariable("KORVALINDTALK_HANDHELD");
    if (memory.isEmpty())
        return refuse(folder, QStringLiteral("This is the stand-in transfer program, and no "
                                             "simulated handheld is named "
                                             "(KORVALINDTALK_HANDHELD). Nothing was sent or "
                                             "received."));
    const QString fault = qEnvironmentVariable("KORVALINDTALK_FAULT");
    if (fault == QLatin1String("hang"))
        for (;;)
            QThread::sleep(1);
    if (!QFileInfo(folder).isDir())
        return refuse(folder, QStringLiteral("The folder %1 does not exist.").arg(folder));
    int result = 0;
    if (args[2] == QLatin1String("WRITE"))
        result = send(folder, memory);
    else if (fault != QLatin1String("nofile"))
        result = receive(folder, memory, fault == QLatin1String("damaged"));
    if (result == 0 && fault == QLatin1String("error") &&
        !leaveErrorFile(folder, 17, QStringLiteral("The Korvalind's battery is low.")))
        return refuse(folder, QStringLiteral("The error file could not be left."));
    return result;
}
