// Feeds quorvane-tool's report command its arguments (the input split at
// line breaks) as the tool reads them, and a report is built with what they
// chose over a few loggers, with the program's language file beside it.
// Whatever the arguments, they are refused with a reason or make a report
// whose every page keeps within the lines a page holds.

#include "FuzzSupport.h"

#include "LoggerList.h"
#include "Report.h"
#include "ReportArguments.h"
#include "SampleData.h"

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList args = QString::fromUtf8(Fuzz::bytes(data, size)).split(QLatin1Char('\n'));
    const ReportArguments parsed = ParseReportArguments(args, QDate(2026, 11, 30));
    if (parsed.outcome != ReportArguments::Outcome::Ok) {
        require(!parsed.why.isEmpty());
        return 0;
    }
    const ReportOptions& o = parsed.options;
    require(parsed.files.size() == 2 && o.today.isValid());
    require(o.linesPerPage == 0 || (o.linesPerPage >= 1 && o.linesPerPage <= 10000));
    require(!o.summary || !o.selectedDates.isEmpty());

    static LoggerList list;
    if (list.RecordCount() == 0) {
        for (int i = 1; i <= 5; ++i)
            list.Insert(MakeSampleRecord(i, i * 3));
        list.DMAName = QStringLiteral("north.csv");
    }
    ReportOptions options = o;
    if (options.linesPerPage == 0)
        options.linesPerPage = 60; // what the report font gives on A4
    const Report r = BuildReport(list, options);
    for (int page = 0; page < r.pageCount(); ++page)
        require(r.pageStart(page + 1) - r.pageStart(page) <= std::max(options.linesPerPage, 7));
    require(r.pageStart(r.pageCount()) == r.lineCount());
    require(r.plainText().size() >= size_t(r.lineCount()) * 2); // CR LF each
    return 0;
}
