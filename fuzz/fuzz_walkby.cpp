// Feeds walk-by files, as the download program leaves them, to the import
// that adds their loggers to a list window. A line taken is a logger the
// list can hold and a database file can keep: the list saved and read back
// holds the same loggers with the same texts.

#include "FuzzSupport.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "LangText.h"
#include "LoggerList.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QBuffer>

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    Fuzz::withoutLanguageFile();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A list that holds two loggers already, as the window being imported into would.
    LoggerList list;
    for (const qint32 serial : {1000001, 1000002}) {
        LoggerRecord r = LoggerList::NewBlankRecord();
        r.Serial = serial;
        list.Insert(r);
    }
    QByteArray file = Fuzz::bytes(data, size);
    QBuffer in(&file);
    in.open(QIODevice::ReadOnly);
    int lastNumber = 0;
    const bool whole = ReadWalkByLines(in, [&](const QString& line, int number) {
        require(number > lastNumber && !line.contains(QLatin1Char('\n')));
        lastNumber = number;
        QString message;
        int at = 0;
        if (list.ImportRecord(line, number, message, &at)) {
            require(message.isEmpty() && at >= 1 && at <= list.LineCount());
            require(IsValidRecord(list.record(list.RecordOfLine(at))));
        }
    });
    require(whole && list.RecordCount() <= LoggerList::kCapacity);

    static RecordStore store;
    list.CopyTo(store);
    static RecordStore again;
    require(Fuzz::savedAndReadBack(store, again, {false, false}) == FileResult::Ok);
    require(again.StoreCount == list.RecordCount());
    for (int i = 1; i <= list.RecordCount(); ++i) {
        const LoggerRecord &a = list.record(i), &b = again.Records(i);
        require(a.Serial == b.Serial && a.Deployed == b.Deployed && a.Comment1 == b.Comment1 &&
                a.Comment2 == b.Comment2 && a.UserComments == b.UserComments);
    }
    return 0;
}
