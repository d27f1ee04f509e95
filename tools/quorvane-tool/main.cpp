// quorvane-tool: the database core from the command line, for scripts and
// batch work. It reads and writes files exactly as the program does.

#include "Ansi.h"
#include "AreaGridRefs.h"
#include "CatalogueSearch.h"
#include "Com32.h"
#include "CowlComms.h"
#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "DocumentLock.h"
#include "GisExport.h"
#include "LangText.h"
#include "LoggerList.h"
#include "PatrolMerge.h"
#include "RecordChecks.h"
#include "Report.h"
#include "ReportArguments.h"
#include "ReportDrawing.h"
#include "SampleData.h"
#include "SettingsStore.h"
#include "Utilities.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kUsageError = 64;

const char kUsage[] =
    "Usage:\n"
    "  quorvane-tool check [--ignore-errors] [--handheld] FILE\n"
    "      Read FILE as the program opens a database file. Prints 'result N',\n"
    "      'lines N' and 'records N', then any duplicate serial report.\n"
    "      The exit status is the result code (0 when the file reads cleanly).\n"
    "  quorvane-tool convert [--ignore-errors] [--handheld] IN OUT\n"
    "      Read IN and save its records to OUT ('-' for standard output) as the\n"
    "      program saves a database file. An OUT that a running copy of the\n"
    "      program has open is not written (exit status 4).\n"
    "  quorvane-tool handheld [--ignore-errors] [--handheld] IN OUT\n"
    "      Read IN and write its records as a handheld list file (OUT may not\n"
    "      be IN itself).\n"
    "  quorvane-tool merge [--handheld] PATROL DATABASE\n"
    "      Add the newest reading of each logger of PATROL (read as a database\n"
    "      file, or as a result file from the handheld) to DATABASE, as the\n"
    "      program's File > Add most recent patrol does: a numbered backup, new\n"
    "      loggers at the end, a .pdb database written as .csv. Prints the patrol\n"
    "      report; exits with 0 when merged or nothing needed adding. A DATABASE\n"
    "      that a running copy of the program has open is left alone (exit 1).\n"
    "  quorvane-tool generate [--first K] [--area FILE] N M OUT\n"
    "      Write a repeatable sample database of N loggers with M readings each,\n"
    "      starting from sample logger K (default 1). With --area, the loggers'\n"
    "      grid references are scattered over the polygons of the vector FILE\n"
    "      (GeoPackage, Shapefile, GeoJSON, KML, ...), which must lie in Great\n"
    "      Britain; the same arguments give the same places.\n"
    "  quorvane-tool logger DEVICE info|histogram|noise\n"
    "      Talk to a logger through a Cowl on the serial DEVICE: 'info' prints\n"
    "      its settings, 'histogram' its 100 noise counts as 'bin,count' lines,\n"
    "      'noise' one live noise level in dB. The logger is put back to sleep.\n"
    "  quorvane-tool find [--recursive] [--verbose] FOLDER SERIAL...\n"
    "      Print the full path of every database file (.csv, .pdb) of FOLDER that\n"
    "      holds at least one of the serials (each a number of up to eight\n"
    "      digits), one a line, in name order. Exits with 0 when a file was\n"
    "      found, 1 when none, 2 when FOLDER cannot be read. Files that cannot\n"
    "      be read are passed over; --verbose names them on standard error.\n"
    "      --recursive searches the subfolders too.\n"
    "  quorvane-tool report [OPTIONS] FILE OUT\n"
    "      Print the logger report (or with --summary the summary report) of\n"
    "      FILE's loggers in file order, as File > Print does for a list window\n"
    "      holding it. OUT ending in .pdf prints on A4 with the report font;\n"
    "      any other OUT ('-' for standard output) gets the report's lines as\n"
    "      Windows-1252 text with CR LF, each page after the first opening with\n"
    "      a form feed. OUT may not be FILE itself. Options:\n"
    "        --grid-ref --deployed --received --comment1 --comment2 --information\n"
    "                              the columns besides the serial\n"
    "        --all (the default), or any of --leak --warning --no-leak\n"
    "        --history             every reading rather than the latest\n"
    "        --summary DATE,...    the summary report of these dates (YYYY/MM/DD)\n"
    "        --comment TEXT        the comment under the title\n"
    "        --lines-per-page N    1 to 10000; default: what the report font\n"
    "                              gives on A4\n"
    "        --date YYYY-MM-DD     the date the header says it was printed\n"
    "        --ignore-errors       read FILE keeping records that fail the checks\n"
    "  quorvane-tool export [--address2 N] [--ignore-errors] FILE OUT\n"
    "      Write FILE's loggers that have a position to OUT for a GIS, one point\n"
    "      each (WGS 84) with its texts and latest reading, in the format OUT's\n"
    "      extension names: .gpkg (GeoPackage, with every reading in a table\n"
    "      'readings'), .geojson or .json, .kml, .shp (Shapefile), or .csv (with\n"
    "      latitude and longitude columns). OUT is replaced only when written\n"
    "      whole. Loggers without a position are listed on standard error;\n"
    "      the exit status is 3 when any were left out, 0 when all were placed.\n"
    "        --address2 N          how comment 2 gives the position, as the\n"
    "                              options' list numbers its entries (0 to 14);\n"
    "                              default: the program's setting\n"
    "        --ignore-errors       read FILE keeping records that fail the checks\n"
    "  quorvane-tool --help\n"
    "\n"
    "  --ignore-errors  keep records that fail the checks instead of stopping\n"
    "  --handheld       read IN as a result file from the handheld receiver\n";

void print(std::FILE* to, const QString& text)
{
    const std::string bytes = Ansi::fromQString(text);
    std::fwrite(bytes.data(), 1, bytes.size(), to);
}

int usageError(const QString& why)
{
    print(stderr, QStringLiteral("quorvane-tool: ") + why + QLatin1Char('\n'));
    std::fputs(kUsage, stderr);
    return kUsageError;
}

struct ToolArgs
{
    bool ignoreErrors = false;
    bool handheld = false;
    QStringList files;
};

// Splits flags from file arguments; false on an unknown option.
bool parseReadOptions(const QStringList& args, ToolArgs& o, QString& bad)
{
    for (const QString& a : args) {
        if (a == QLatin1String("--ignore-errors"))
            o.ignoreErrors = true;
        else if (a == QLatin1String("--handheld"))
            o.handheld = true;
        else if (a.startsWith(QLatin1String("--"))) {
            bad = a;
            return false;
        } else
            o.files << a;
    }
    return true;
}

int readInput(const ToolArgs& o, const QString& path)
{
    ReadOptions options;
    options.IgnoreFileErrs = o.ignoreErrors;
    options.KorvalindImport = o.handheld;
    const int result = ReadDatabaseFile(DMAModule(), path, options);
    if (result != FileResult::Ok)
        print(stderr,
              FileErrorText(result, true) + QStringLiteral(": ") + path + QLatin1Char('\n'));
    return result;
}

// Whether OUT names the file FILE, however either path is written. An OUT
// that does not exist yet, or standard output, cannot be it.
bool sameFile(const QString& file, const QString& out)
{
    if (out == QLatin1String("-"))
        return false;
    const QString a = QFileInfo(file).canonicalFilePath(), b = QFileInfo(out).canonicalFilePath();
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity names = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity names = Qt::CaseSensitive;
#endif
    return !a.isEmpty() && a.compare(b, names) == 0;
}

int check(const ToolArgs& o)
{
    const int result = readInput(o, o.files[0]);
    const RecordStore& store = DMAModule();
    std::printf("result %d\nlines %d\nrecords %d\n", result, store.LinesRead, store.StoreCount);
    if (result == FileResult::Ok)
        print(stdout, FindDuplicateSerials(store));
    return result;
}

// Tidies the records as a list window does before it saves them.
void tidyStore()
{
    RecordStore& store = DMAModule();
    for (int i = 1; i <= store.StoreCount; ++i)
        TidyReadings(store.Records(i));
}

int writeTo(const QString& out, bool handheld)
{
    RecordStore& store = DMAModule();
    if (out == QLatin1String("-")) {
        std::fflush(stdout);
        QFile file;
        if (!file.open(stdout, QIODevice::WriteOnly))
            return FileResult::WriteFailed;
        const bool ok = handheld ? WriteKorvalind(store, file) : WriteDatabase(store, file);
        return ok && file.flush() ? FileResult::Ok : FileResult::WriteFailed;
    }
    return handheld ? WriteKorvalindFile(store, out) : WriteDatabaseFile(store, out);
}

// A database file the tool is about to write is locked as the program
// locks the files it opens; one that a running copy of the program has open
// is not written (that copy would save over it, or be overwritten). False
// after saying who has it.
bool lockForWriting(const QString& path, std::unique_ptr<DocumentLock>& lock)
{
    if (path == QLatin1String("-"))
        return true;
    lock = std::make_unique<DocumentLock>(path);
    if (lock->tryLock() != DocumentLock::HeldElsewhere)
        return true;
    print(stderr, LangText(870) + QLatin1Char(' ') + path + QLatin1Char('\n') +
                      DescribeHolder(lock->holder()) + QStringLiteral(".\n") + LangText(891) +
                      DocumentLock::lockPathFor(path) + QLatin1Char('\n'));
    return false;
}

int convert(const ToolArgs& o, bool handheld)
{
    const int read = readInput(o, o.files[0]);
    if (read != FileResult::Ok)
        return read;
    tidyStore();
    std::unique_ptr<DocumentLock> lock;
    if (!lockForWriting(o.files[1], lock))
        return FileResult::WriteFailed;
    const int written = writeTo(o.files[1], handheld);
    if (written != FileResult::Ok)
        print(stderr, FileErrorText(written, false) + QStringLiteral(": ") + o.files[1] +
                          QLatin1Char('\n'));
    return written;
}

int merge(const ToolArgs& o)
{
    RecordStore& store = DMAModule();
    ReadOptions patrolOptions;
    patrolOptions.KorvalindImport = o.handheld;
    const QString& patrolPath = o.files[0];
    const int read = ReadDatabaseFile(store, patrolPath, patrolOptions);
    if (read != FileResult::Ok) {
        print(stderr,
              FileErrorText(read, true) + QStringLiteral(": ") + patrolPath + QLatin1Char('\n'));
        return read;
    }
    LoggerList patrol;
    if (!patrol.CopyFrom(store)) {
        print(stderr, LangText(313) + QLatin1Char('\n')); // no patrol to add
        return 1;
    }
    patrol.DMAName = FileTitle(patrolPath);
    patrol.Caption = patrolPath;
    // The database is read as the program reads it; duplicated serials are
    // accepted, as a user answering Yes would.
    const LoadDatabase load = [](const QString& path) {
        const int result = ReadDatabaseFile(path);
        if (result != FileResult::Ok) {
            print(stderr,
                  FileErrorText(result, true) + QStringLiteral(":\n") + path + QLatin1Char('\n'));
            return false;
        }
        return true;
    };
    std::unique_ptr<DocumentLock> database, merged;
    if (!lockForWriting(o.files[1], database) ||
        (MergedDatabasePath(o.files[1]) != o.files[1] &&
         !lockForWriting(MergedDatabasePath(o.files[1]), merged)))
        return 1;
    const MergeOutcome out = MergeLatestPatrol(patrol, o.files[1], load);
    if (!out.log.isEmpty())
        print(stdout, out.log);
    if (!out.message.isEmpty())
        print(stderr, out.message + QLatin1Char('\n'));
    switch (out.kind) {
    case MergeOutcome::Merged:
    case MergeOutcome::Unchanged:
        return 0;
    case MergeOutcome::Failed:
        return FileResult::WriteFailed;
    case MergeOutcome::Refused:
        break;
    }
    return 1;
}

QString timeText(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

int logger(const QStringList& args)
{
    if (args.size() != 2)
        return usageError(QStringLiteral("logger needs DEVICE and one of info, histogram, noise"));
    const QString& device = args[0];
    const QString& what = args[1];
    if (what != QLatin1String("info") && what != QLatin1String("histogram") &&
        what != QLatin1String("noise"))
        return usageError(QStringLiteral("unknown logger command ") + what);
    auto noAnswer = [&device] {
        print(stderr, QStringLiteral("quorvane-tool: the logger on ") + device +
                          QStringLiteral(" does not answer\n"));
        CowlComms::Link().COMM_CLOSE();
        return 1;
    };
    if (!CowlComms::CowlConnectDevice(device))
        return noAnswer();
    if (what == QLatin1String("info")) {
        CowlComms::LoggerInfo info;
        if (!CowlComms::ReadLoggerInfo(info))
            return noAnswer();
        static const char* kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        QStringList days;
        for (int i = 0; i < 7; ++i)
            if (info.days[static_cast<size_t>(i)])
                days << QLatin1String(kDays[i]);
        QString out;
        out += QStringLiteral("firmware: %1\n")
                   .arg(info.firmwareMajor + info.firmwareMinor / 100.0, 0, 'f', 2);
        out += QStringLiteral("serial: ") + info.serial.left(8) + QLatin1Char('\n');
        out += QStringLiteral("clock: ") + timeText(info.clock) + QLatin1Char('\n');
        out += QStringLiteral("leak-state rate: %1 seconds\n").arg(info.leakStateRate);
        out += QStringLiteral("no-leak-state rate: %1 seconds\n").arg(info.noLeakStateRate);
        out += QStringLiteral("logging days: ") + days.join(QLatin1Char(' ')) + QLatin1Char('\n');
        out += QStringLiteral("last reset: ") + timeText(info.lastReset) + QLatin1Char('\n');
        out += QStringLiteral("leak status: ") + info.leakStatus.trimmed() + QLatin1Char('\n');
        out +=
            QStringLiteral("battery: ") +
            (info.battery ? QStringLiteral("%1 V").arg(*info.battery, 0, 'f', 2) : LangText(617)) +
            QLatin1Char('\n');
        print(stdout, out);
    } else if (what == QLatin1String("histogram")) {
        std::array<qint32, 100> counts{};
        if (!CowlComms::CowlGetHistogram(counts))
            return noAnswer();
        QString out;
        for (int i = 0; i < 100; ++i)
            out += QStringLiteral("%1,%2\r\n").arg(i).arg(counts[static_cast<size_t>(i)]);
        print(stdout, out);
    } else {
        float level = 0;
        if (!CowlComms::CowlGetNoiseLevel(level))
            return noAnswer();
        print(stdout, QStringLiteral("%1\n").arg(double(level), 0, 'f', 1));
    }
    CowlComms::CowlSleep();
    return 0;
}

int generate(const QStringList& args)
{
    int first = 1;
    QString area;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--first")) {
            bool ok = false;
            first = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
            if (!ok || first < 1)
                return usageError(QStringLiteral("--first needs a logger number from 1"));
        } else if (a == QLatin1String("--area")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("--area needs a vector FILE"));
            area = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("unknown option ") + a);
        } else {
            rest << a;
        }
    }
    if (rest.size() != 3)
        return usageError(QStringLiteral("generate needs N, M and OUT"));
    bool okN = false, okM = false;
    const int n = rest[0].toInt(&okN), m = rest[1].toInt(&okM);
    if (!okN || !okM || n < 0 || m < 0 || m > kMaxHistories)
        return usageError(
            QStringLiteral("N must be a count of loggers and M a number of readings from 0 to 50"));
    std::vector<std::string> gridRefs;
    if (!area.isEmpty()) {
        // The first logger's number seeds the places, as it does the rest of a sample.
        AreaGridRefs placed = GridRefsInArea(area, n, quint32(first));
        if (!placed.error.isEmpty()) {
            print(stderr, QStringLiteral("quorvane-tool: --area ") + area + QStringLiteral(": ") +
                              placed.error + QLatin1Char('\n'));
            return kUsageError;
        }
        gridRefs = std::move(placed.refs);
    }
    const int result = WriteSampleDatabase(rest[2], n, m, first, gridRefs);
    if (result != FileResult::Ok)
        print(stderr,
              FileErrorText(result, false) + QStringLiteral(": ") + rest[2] + QLatin1Char('\n'));
    return result;
}

int report(const QStringList& args)
{
    const ReportArguments parsed = ParseReportArguments(args, QDate::currentDate());
    if (parsed.outcome == ReportArguments::Outcome::UsageError)
        return usageError(parsed.why);
    const QStringList& files = parsed.files;
    if (sameFile(files[0], files[1]))
        return usageError(QStringLiteral("OUT is FILE: the report would replace ") + files[0]);
    if (parsed.outcome == ReportArguments::Outcome::Refused) {
        print(stderr, parsed.why + QLatin1Char('\n'));
        return kUsageError;
    }
    ReportOptions o = parsed.options;

    ToolArgs read;
    read.ignoreErrors = parsed.ignoreErrors;
    const int result = readInput(read, files[0]);
    if (result != FileResult::Ok)
        return result;
    LoggerList list;
    if (DMAModule().StoreCount > 0 && !list.CopyFrom(DMAModule())) {
        print(stderr, LangText(172) + QStringLiteral(": ") + files[0] + QLatin1Char('\n'));
        return FileResult::TooManyRecords;
    }
    list.DMAName = FileTitle(files[0]);

    const QFont font = ReportFont();
    if (o.linesPerPage == 0) {
        QPrinter a4(QPrinter::HighResolution);
        SetUpA4Pdf(a4, QString());
        o.linesPerPage = LinesPerPage(a4, font);
    }
    const Report r = BuildReport(list, o);
    const QString& out = files[1];
    bool written = false;
    if (out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        written = PrintReportToPdf(r, font, out);
    } else {
        const std::string text = r.plainText();
        if (out == QLatin1String("-")) {
            written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                      std::fflush(stdout) == 0;
        } else {
            written = WriteFileAtomically(out, [&text](QIODevice& d) {
                return d.write(text.data(), static_cast<qint64>(text.size())) ==
                       static_cast<qint64>(text.size());
            });
        }
    }
    if (!written) {
        print(stderr, FileErrorText(FileResult::WriteFailed, false) + QStringLiteral(": ") + out +
                          QLatin1Char('\n'));
        return FileResult::WriteFailed;
    }
    return 0;
}

int find(const QStringList& args)
{
    bool recursive = false, verbose = false;
    QStringList rest;
    for (const QString& a : args) {
        if (a == QLatin1String("--recursive"))
            recursive = true;
        else if (a == QLatin1String("--verbose"))
            verbose = true;
        else if (a.startsWith(QLatin1String("--")))
            return usageError(QStringLiteral("unknown option ") + a);
        else
            rest << a;
    }
    if (rest.size() < 2)
        return usageError(QStringLiteral("find needs FOLDER and at least one SERIAL"));
    const QString folder = rest.takeFirst();
    QVector<qint32> serials;
    for (const QString& typed : rest) {
        const std::optional<qint64> serial = PlainNumber(Ansi::fromQString(typed), 8);
        if (!serial)
            return usageError(QStringLiteral("a serial is a number of up to eight digits, not ") +
                              typed);
        serials << static_cast<qint32>(*serial);
    }
    bool listed = false;
    const QStringList files = CatalogueFiles(folder, recursive, &listed);
    if (!listed) {
        print(stderr, LangText(625) + folder + QLatin1Char('\n'));
        return 2;
    }
    bool found = false;
    CatalogueSearchSteps steps;
    steps.after = [&](const CatalogueFileResult& r) {
        if (r.found) {
            found = true;
            print(stdout, r.path + QLatin1Char('\n'));
        } else if (verbose && r.readResult != FileResult::Ok) {
            print(stderr, QStringLiteral("skipped ") + r.path + QStringLiteral(": ") +
                              FileErrorText(r.readResult, false) + QLatin1Char('\n'));
        }
        return true;
    };
    SearchCatalogue(files, serials, steps);
    return found ? 0 : 1;
}

int exportLoggers(const QStringList& args)
{
    QString address2 = SettingsStore::text(Setting::Address2);
    ToolArgs read;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--address2")) {
            bool ok = false;
            const int n = i + 1 < args.size() ? args[++i].toInt(&ok) : -1;
            if (!ok || n < 0 || n > 14)
                return usageError(QStringLiteral("--address2 needs a number from 0 to 14"));
            address2 = QString::number(n);
        } else if (a == QLatin1String("--ignore-errors")) {
            read.ignoreErrors = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("unknown option ") + a);
        } else {
            read.files << a;
        }
    }
    if (read.files.size() != 2)
        return usageError(QStringLiteral("export needs FILE and OUT"));
    const QString& out = read.files[1];
    if (GisFormatOf(out) == GisFormat::Unknown)
        return usageError(QStringLiteral("OUT must end in .gpkg, .geojson, .json, .kml, .shp or "
                                         ".csv, not ") +
                          out);
    // A database is a .csv file too: an export never replaces the one it reads.
    if (sameFile(read.files[0], out))
        return usageError(QStringLiteral("OUT is FILE: the export would replace ") + out);
    const int result = readInput(read, read.files[0]);
    if (result != FileResult::Ok)
        return result;
    LoggerList list;
    if (DMAModule().StoreCount > 0 && !list.CopyFrom(DMAModule())) {
        print(stderr, LangText(172) + QStringLiteral(": ") + read.files[0] + QLatin1Char('\n'));
        return FileResult::TooManyRecords;
    }
    const GisExportResult exported = ExportLoggers(list, address2, out);
    if (!exported.ok) {
        print(stderr, FileErrorText(FileResult::WriteFailed, false) + QStringLiteral(": ") + out +
                          QStringLiteral("\n") + exported.error + QLatin1Char('\n'));
        return FileResult::WriteFailed;
    }
    for (const UnplacedLogger& u : exported.unplaced)
        print(stderr, QString::fromStdString(FormatSerial(u.serial)) + QStringLiteral(": ") +
                          u.reason + QLatin1Char('\n'));
    return exported.unplaced.empty() ? 0 : 3;
}

} // namespace

namespace {
int run(int argc, char** argv)
{
    // A report measures and draws its font, which wants the graphics side of
    // Qt; the tool has no window, so it draws off screen.
    const bool reporting = argc > 1 && std::string(argv[1]) == "report";
    if (reporting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (reporting)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY); // files written to '-' stay byte for byte
#endif
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == QLatin1String("generate"))
        return generate(args);
    if (command == QLatin1String("logger"))
        return logger(args);
    if (command == QLatin1String("report"))
        return report(args);
    if (command == QLatin1String("find"))
        return find(args);
    if (command == QLatin1String("export"))
        return exportLoggers(args);

    ToolArgs o;
    QString bad;
    if (!parseReadOptions(args, o, bad))
        return usageError(QStringLiteral("unknown option ") + bad);
    if (command == QLatin1String("check")) {
        if (o.files.size() != 1)
            return usageError(QStringLiteral("check needs one FILE"));
        return check(o);
    }
    if (command == QLatin1String("merge")) {
        if (o.files.size() != 2 || o.ignoreErrors)
            return usageError(QStringLiteral("merge needs PATROL and DATABASE"));
        return merge(o);
    }
    if (command == QLatin1String("convert") || command == QLatin1String("handheld")) {
        if (o.files.size() != 2)
            return usageError(command + QStringLiteral(" needs IN and OUT"));
        // A conversion may save in place; a handheld list never replaces its database.
        if (command == QLatin1String("handheld") && sameFile(o.files[0], o.files[1]))
            return usageError(QStringLiteral("OUT is IN: the handheld list would replace ") +
                              o.files[0]);
        return convert(o, command == QLatin1String("handheld"));
    }
    return usageError(QStringLiteral("unknown command ") + command);
}
} // namespace

int main(int argc, char** argv)
{
    const int status = run(argc, argv);
    // Everything is written and closed by now. Leaving without running the
    // destructors spares a scripted call the teardown of a full record store
    // (thousands of records), which the system reclaims at once anyway.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}
