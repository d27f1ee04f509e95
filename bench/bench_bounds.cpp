// What the largest inputs cost: a database of 6,999 loggers with every text
// at its longest, 64 MiB files that are no database, a language file of
// 100,000 lines and a rich-text file of 50 MiB, each handed to the program
// as a user would. The time of each is the best of several rounds beside the
// least work that reading the file must do, in the same run: splitting it
// into lines and fields for the line readers, looking at each byte for the
// text viewer (or the core read, and the start with the program's own
// language file). The memory is the peak a fresh process adds while it takes
// the file, beside the file's size. One line per input ends in "ok" or
// "MISSED" against its targets, and says what the program said.

#include "Baselines.h"
#include "HandOver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>

namespace {

using HandOver::Way;

using Baselines::rawRead;
using Baselines::splitBaseline;

struct Input
{
    const char* name;
    const char* fileName;
    std::function<bool(const QString&)> make; // null: a file made for an earlier row
    std::function<void(const QString&)> run;  // timed
    const char* baselineName;
    std::function<void(const QString&)> baseline; // timed alike
    double timeLimit;                             // times the baseline
    Way way = Way::FileOpen;                      // how its memory is measured
    bool memory = true;
    bool chosen = true;
    double time = std::numeric_limits<double>::max();
    double baseTime = std::numeric_limits<double>::max();
    qint64 size = 0;
    HandOver::Measured measured{};
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int asked = HandOver::runIfAsked(app.arguments());
    if (asked >= 0)
        return asked;
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(); // rows named so

    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString longProgram = dir.filePath(QStringLiteral("lang"));
    QDir().mkpath(program);
    QDir().mkpath(longProgram);
    const QString ownLang = QCoreApplication::applicationDirPath() + QStringLiteral("/lang_en.txt");
    QFile::copy(ownLang, program + QStringLiteral("/lang_en.txt"));
    QFile own(ownLang);
    own.open(QIODevice::ReadOnly);
    const QByteArray ownStrings = own.readAll();
    const qint64 k64 = 64 * BigInputs::kMiB;

    std::unique_ptr<OpenAsUser> user;
    const auto open = [&user](const QString& path) { user->open(path); };
    const auto coreRead = [](const QString& path) {
        HandOver::handOver(Way::CoreRead, path, nullptr);
    };
    const auto lookUp = [&program](const QString& path) {
        HandOver::handOver(Way::LanguageLookup, path, nullptr);
        SetProgramFolderForTesting(program);
    };
    // The program started and ended with the language file of a folder.
    const auto startIn = [&user](const QString& folder) {
        user.reset();
        OpenAsUser started(folder);
    };
    const auto startWithLong = [&](const QString&) { startIn(longProgram); };
    const auto startWithOwn = [&](const QString&) { startIn(program); };
    const auto sized = [](qint64 size, bool (*write)(const QString&, qint64)) {
        return [size, write](const QString& p) { return write(p, size); };
    };

    const auto rich = [](BigInputs::Rich kind) {
        return [kind](const QString& p) {
            return BigInputs::writeRichText(p, 50 * BigInputs::kMiB, kind);
        };
    };

    Input inputs[] = {
        {"6,999 loggers, longest texts: core read", "longest.csv", BigInputs::writeLongestDatabase,
         coreRead, "split", splitBaseline, 3, Way::CoreRead},
        {"6,999 loggers, longest texts: File > Open", "longest.csv", nullptr, open, "core read",
         coreRead, 3},
        {"64 MiB of random bytes as .csv", "random.csv", sized(k64, BigInputs::writeRandomBytes),
         open, "split", splitBaseline, 3},
        {"64 MiB, one line without a line end", "oneline.csv",
         sized(k64, BigInputs::writeOneLongLine), open, "split", splitBaseline, 3},
        {"64 MiB of short lines", "short.csv",
         [k64](const QString& p) { return BigInputs::writeShortLines(p, k64, "none"); }, open,
         "split", splitBaseline, 3},
        {"64 MiB of empty lines", "empty.csv",
         [k64](const QString& p) { return BigInputs::writeShortLines(p, k64, ""); }, open, "split",
         splitBaseline, 3},
        {"64 MiB of random bytes as text", "random.dat", sized(k64, BigInputs::writeRandomBytes),
         open, "raw read", rawRead, 3},
        {"language file of 100,000 lines: lookup", "lang/lang_en.txt",
         [&ownStrings](const QString& p) {
             return BigInputs::writeLongLanguageFile(p, ownStrings, 100000);
         },
         lookUp, "split", splitBaseline, 3, Way::LanguageLookup},
        {"language file of 100,000 lines: start-up", "lang/lang_en.txt", nullptr, startWithLong,
         "own file", startWithOwn, 10, Way::LanguageLookup, false},
        {"50 MiB of rich text in the text viewer", "big.rtf", rich(BigInputs::Rich::Paragraphs),
         open, "raw read", rawRead, 3},
        {"50 MiB of rich text, a picture", "picture.rtf", rich(BigInputs::Rich::Picture), open,
         "raw read", rawRead, 3},
    };
    for (Input& in : inputs) {
        const QString path = dir.filePath(QLatin1String(in.fileName));
        in.chosen = QString::fromLatin1(in.name).contains(only, Qt::CaseInsensitive);
        if (in.make && !in.make(path)) {
            std::printf("cannot write %s\n", in.fileName);
            return 1;
        }
        in.size = QFileInfo(path).size();
    }

    // Memory first, each in a process of its own.
    for (Input& in : inputs)
        if (in.memory && in.chosen) {
            in.measured =
                HandOver::measure(in.way, dir.filePath(QLatin1String(in.fileName)), program);
            if (!in.measured.ran) {
                std::printf("%s: the measuring process failed\n", in.name);
                return 1;
            }
        }

    // Then the times, the rounds interleaved so that a busy machine slows all alike.
    for (int r = 0; r < rounds; ++r)
        for (Input& in : inputs) {
            if (!in.chosen)
                continue;
            if (!user)
                user = std::make_unique<OpenAsUser>(program);
            const QString path = dir.filePath(QLatin1String(in.fileName));
            QElapsedTimer t;
            t.start();
            in.baseline(path);
            in.baseTime = std::min(in.baseTime, t.nsecsElapsed() / 1e6);
            t.start();
            in.run(path);
            in.time = std::min(in.time, t.nsecsElapsed() / 1e6);
            if (user) // closing is no part of the time
                user->closeAll();
        }
    user.reset();

    std::printf("%-42s %8s %8s %7s %-9s %8s %6s\n", "input", "MiB", "ms", "ratio", "to", "peak MiB",
                "x size");
    for (const Input& in : inputs) {
        if (!in.chosen)
            continue;
        const double timeRatio = in.time / in.baseTime;
        const qint64 peak = in.measured.peakBytes;
        const double memRatio = in.memory ? double(peak) / double(in.size) : 0;
        const bool ok = timeRatio <= in.timeLimit && (!in.memory || (peak >= 0 && memRatio <= 3));
        std::printf("%-42s %8.1f %8.1f %6.1fx %-9s ", in.name, in.size / double(BigInputs::kMiB),
                    in.time, timeRatio, in.baselineName);
        if (in.memory)
            std::printf("%8.1f %5.2fx", peak / double(BigInputs::kMiB), memRatio);
        else
            std::printf("%8s %6s", "-", "-");
        std::printf("  target <= %.0fx%s  %s\n", in.timeLimit, in.memory ? ", <= 3x size" : "",
                    ok ? "ok" : "MISSED");
        if (in.memory)
            std::printf("    said: %s\n", qPrintable(in.measured.said.left(200)));
    }
    return 0;
}
