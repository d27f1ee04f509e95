// Feeds whole files to the database reader. The first byte chooses the
// reader's flags (bit 0: keep corrupt records, bit 1: a handheld result file).
// Whatever it reads must be written out and read back with the same serials.

#include "FuzzSupport.h"

#include "RecordChecks.h"

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    Fuzz::withoutLanguageFile();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static RecordStore store;
    const ReadOptions options{(data[0] & 1) != 0, (data[0] & 2) != 0};
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const int result = ReadDatabase(store, in, options);
    require(result == 0 || result == 1 || result == 3 || result == 5 || result == 7 || result == 8);
    require(store.LinesRead >= 0 && store.StoreCount >= 0 &&
            store.StoreCount <= RecordStore::kMaxRecords);
    if (result == 8)
        require(!IsValidRecord(store.Records(store.StoreCount + 1)));
    if (result != 0)
        return 0;
    if (!options.IgnoreFileErrs)
        for (int i = 1; i <= store.StoreCount; ++i)
            require(IsValidRecord(store.Records(i)));

    FindDuplicateSerials(store);
    static RecordStore again;
    const int reread = Fuzz::savedAndReadBack(store, again, {true, false});
    if (store.StoreCount == 0) { // only the header was written
        require(reread == 7);
        return 0;
    }
    require(reread == 0 && again.StoreCount == store.StoreCount);
    for (int i = 1; i <= store.StoreCount; ++i)
        require(again.Records(i).Serial == store.Records(i).Serial);
    return 0;
}
