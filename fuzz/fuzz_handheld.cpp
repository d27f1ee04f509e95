// Feeds result files from the handheld receiver to the reader's handheld
// reading (two header lines, status letters turned into the language's
// texts), with the status lines of the program's language file beside it
// (the whole file would be read for every text the writer asks of it, and
// slow each run many times over). The first byte's bit 0 keeps corrupt records. What it reads is
// saved as a database file and read back with the same loggers and readings.

#include "FuzzSupport.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "LangText.h"
#include "RecordChecks.h"

#include "Utilities.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    // The build puts the language file beside the target.
    QFile all(LanguageFilePath());
    require(all.open(QIODevice::ReadOnly));
    QByteArray statuses;
    for (const QByteArray& line : all.readAll().split('\n'))
        if (line.startsWith("184") || line.startsWith("185") || line.startsWith("186"))
            statuses += line + '\n';
    static QTemporaryDir folder;
    QFile lang(folder.filePath(QStringLiteral("lang_en.txt")));
    require(lang.open(QIODevice::WriteOnly) && lang.write(statuses) == statuses.size());
    lang.close();
    SetProgramFolderForTesting(folder.path());
    SetLangFailureHandler([](const QString&) {});
    require(StatusTexts::fromLanguageFile().Leak == "L");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static RecordStore store;
    const ReadOptions options{(data[0] & 1) != 0, true, false};
    QByteArray bytes = Fuzz::bytes(data + 1, size - 1);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const int result = ReadDatabase(store, in, options);
    require(result == FileResult::Ok || result == FileResult::TooManyRecords ||
            result == FileResult::NoData || result == FileResult::CorruptRecord ||
            result == FileResult::LineTooLong);
    require(store.StoreCount >= 0 && store.StoreCount <= RecordStore::kMaxRecords);
    if (result == FileResult::CorruptRecord)
        require(!IsValidRecord(store.Records(store.StoreCount + 1)));
    if (result != FileResult::Ok || store.StoreCount == 0)
        return 0;
    if (!options.IgnoreFileErrs)
        for (int i = 1; i <= store.StoreCount; ++i)
            require(IsValidRecord(store.Records(i)));

    static RecordStore again;
    require(Fuzz::savedAndReadBack(store, again, {true, false}) == FileResult::Ok);
    require(again.StoreCount == store.StoreCount);
    for (int i = 1; i <= store.StoreCount; ++i) {
        const LoggerRecord &a = store.Records(i), &b = again.Records(i);
        require(a.Serial == b.Serial);
        if (!options.IgnoreFileErrs)
            for (int h = 1; h <= kMaxHistories; ++h)
                require(a.Status[h] == b.Status[h] && a.Level[h] == b.Level[h]);
    }
    return 0;
}
