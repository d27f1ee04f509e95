// quorvane-loggersim: a logger behind a Cowl on a pseudo-terminal, for trying
// the program's logger windows and quorvane-tool without hardware.

#include "LoggerSimulator.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {
const char kUsage[] =
    "Usage: quorvane-loggersim [--device PATH] [--state FILE] [--NAME VALUE]...\n"
    "  Answers the logger commands on a new pseudo-terminal, whose path it prints\n"
    "  on the first line (or on the serial device PATH). Point the program at it\n"
    "  with QUORVANE_COM1=<that path>. Runs until stopped.\n"
    "  State (also as NAME = VALUE lines in FILE):\n"
    "    --serial N            24-bit serial number (default 3123456)\n"
    "    --firmware X.Y        firmware version (default 1.2)\n"
    "    --clock-offset S      logger clock minus the PC's, seconds\n"
    "    --rates NOLEAK,LEAK   rates in units of the multiplier (default 12,6)\n"
    "    --multiplier N        seconds per rate unit (default 5)\n"
    "    --days MASK           logging days, bit 0 Sunday (default 62)\n"
    "    --leak-status N       0 no leak, 1 warning, 2 leak\n"
    "    --battery N           battery byte (255: not measurable)\n"
    "    --last-reset S        last reset, logger-time seconds\n"
    "    --histogram N,...     100 counts\n"
    "    --history N,...       24 bytes: 12 level/spread pairs, oldest first\n"
    "    --noise DB            live noise level\n"
    "    --fault KIND          none, mute, garbage, short, slow, hangup, badsum\n"
    "    --slow-ms N           delay of a slow reply (default 2000)\n";

int usage(const QString& why)
{
    std::fprintf(stderr, "quorvane-loggersim: %s\n%s", qPrintable(why), kUsage);
    return 64;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    LoggerSimulator logger;
    QString device;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!a.startsWith(QLatin1String("--")) || i + 1 >= args.size())
            return usage(QStringLiteral("expected --NAME VALUE, got ") + a);
        const QString name = a.mid(2), value = args[++i];
        QString error;
        if (name == QLatin1String("device"))
            device = value;
        else if (name == QLatin1String("state") ? !logger.loadStateFile(value, &error)
                                                : !logger.setOption(name, value, &error))
            return usage(error);
    }
    QString path = device;
    if (device.isEmpty())
        path = logger.openPseudoTerminal();
    else if (!logger.openDevice(device))
        path.clear();
    if (path.isEmpty()) {
        std::fprintf(stderr, "quorvane-loggersim: cannot open %s\n",
                     device.isEmpty() ? "a pseudo-terminal" : qPrintable(device));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    return app.exec();
}
