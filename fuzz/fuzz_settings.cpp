// Writes the input as the program's settings file and reads every setting
// back as the program does: the typed values of the table, the values the
// program keeps for its run, sizes and places in twips turned into pixels,
// and the serial link's own group. Whatever the file holds, each value is of
// its key's type and in its range, or the key's default.

#include "FuzzSupport.h"

#include "Com32.h"
#include "SettingsStore.h"
#include "Twips.h"
#include "Utilities.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

using Fuzz::require;

namespace {
QTemporaryDir* folder;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    static QTemporaryDir dir;
    folder = &dir;
    SetProgramFolderForTesting(dir.path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One file, each time with a later time: the settings object keeps the
    // files it has read and takes one rewritten within the same moment, at
    // the same size, for the one it knows (a new name each time would keep
    // every file, and the leak check would then scan the heap every run).
    static qint64 run = 0;
    const QString path = folder->filePath(QStringLiteral("Quorvane.conf"));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
        require(file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++run),
                                 QFileDevice::FileModificationTime));
    }
    SettingsStore::useFileForTesting(path);

    using namespace SettingsStore;
    for (int k = 0; k < static_cast<int>(Setting::Count); ++k) {
        const Setting key = static_cast<Setting>(k);
        switch (typeOf(key)) {
        case SettingType::Text:
            require(isStored(key) || text(key) == defaultText(key).value_or(QString()));
            break;
        case SettingType::Boolean:
            boolean(key);
            break;
        case SettingType::Int16:
            if (const auto v = integer(key))
                require(*v >= INT16_MIN && *v <= INT16_MAX);
            break;
        case SettingType::Int32:
            require(integer(key).has_value()); // every whole-number key has a default
            break;
        case SettingType::Number:
            if (const auto v = number(key)) {
                require(std::isfinite(*v));
                // Sizes and places go to the windows as pixels.
                const int pixels = TwipsToPixels(*v);
                require(pixels >= -kMostPixels && pixels <= kMostPixels);
                require((*v >= 0) == (pixels >= 0) || pixels == 0);
            }
            break;
        }
    }
    ProgramSettings g;
    g.load();
    require(g.DefaultPath.size() <= text(Setting::DefaultPath).size());

    const Com32::Limits limits = Com32::configuredLimits();
    require(limits.firstByteMs >= 1 && limits.firstByteMs <= 60000);
    require(limits.frameMarginMs >= 1 && limits.frameMarginMs <= 60000);
    for (int port = 1; port <= 4; ++port)
        require(!Com32::deviceForPort(port).isEmpty());

    return 0;
}
