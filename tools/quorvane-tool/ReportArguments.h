#pragma once
// The arguments of quorvane-tool's report command, read into the report's
// options without touching a file.

#include "Report.h"

#include <QDate>
#include <QString>
#include <QStringList>

struct ReportArguments
{
    ReportOptions options;
    bool ignoreErrors = false;
    QStringList files; // FILE and OUT
    // A usage error (options, values, the two files), or else a refusal of
    // what the options chose (no status, no summary date), which is told
    // after the files are checked; why is the text for the user.
    enum class Outcome { Ok, UsageError, Refused } outcome = Outcome::Ok;
    QString why;
};

// today: the date the report says it was printed unless --date is given.
ReportArguments ParseReportArguments(const QStringList& args, const QDate& today);
