#include "ReportArguments.h"

#include "Ansi.h"
#include "LangText.h"
#include "RecordChecks.h"

ReportArguments ParseReportArguments(const QStringList& args, const QDate& today)
{
    ReportArguments r;
    ReportOptions& o = r.options;
    o.today = today;
    o.linesPerPage = 0;
    bool allGiven = false;
    auto refuse = [&r](const QString& why) {
        r.outcome = ReportArguments::Outcome::UsageError;
        r.why = why;
        return r;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--grid-ref"))
            o.gridRef = true;
        else if (a == QLatin1String("--deployed"))
            o.deployed = true;
        else if (a == QLatin1String("--received"))
            o.received = true;
        else if (a == QLatin1String("--comment1"))
            o.comment1 = true;
        else if (a == QLatin1String("--comment2"))
            o.comment2 = true;
        else if (a == QLatin1String("--information"))
            o.information = true;
        else if (a == QLatin1String("--all"))
            allGiven = true;
        else if (a == QLatin1String("--leak"))
            o.leak = true;
        else if (a == QLatin1String("--warning"))
            o.warning = true;
        else if (a == QLatin1String("--no-leak"))
            o.notInLeak = true;
        else if (a == QLatin1String("--history"))
            o.history = true;
        else if (a == QLatin1String("--ignore-errors"))
            r.ignoreErrors = true;
        else if (a == QLatin1String("--summary")) {
            if (!value(v))
                return refuse(QStringLiteral("--summary needs its dates"));
            o.summary = true;
            const QStringList dates = v.split(QLatin1Char(','), Qt::SkipEmptyParts);
            for (const QString& date : dates)
                if (!IsValidDate(Ansi::fromQString(date)))
                    return refuse(QStringLiteral("--summary needs dates as YYYY/MM/DD, not ") +
                                  date);
            o.selectedDates = NewestFirst(dates);
        } else if (a == QLatin1String("--comment")) {
            if (!value(o.comment))
                return refuse(QStringLiteral("--comment needs its text"));
        } else if (a == QLatin1String("--lines-per-page")) {
            bool ok = false;
            o.linesPerPage = value(v) ? v.toInt(&ok) : 0;
            if (!ok || o.linesPerPage < 1 || o.linesPerPage > 10000)
                return refuse(QStringLiteral("--lines-per-page needs a number from 1 to 10000"));
        } else if (a == QLatin1String("--date")) {
            o.today = value(v) ? QDate::fromString(v, Qt::ISODate) : QDate();
            if (!o.today.isValid())
                return refuse(QStringLiteral("--date needs a date as YYYY-MM-DD"));
        } else if (a.startsWith(QLatin1String("--"))) {
            return refuse(QStringLiteral("unknown option ") + a);
        } else {
            r.files << a;
        }
    }
    if (r.files.size() != 2)
        return refuse(QStringLiteral("report needs FILE and OUT"));
    // Statuses named mean only those; none named means every status.
    o.all = allGiven || !(o.leak || o.warning || o.notInLeak);
    if (!AnyStatusSelected(o)) {
        r.outcome = ReportArguments::Outcome::Refused;
        r.why = LangText(443);
    } else if (o.summary && o.selectedDates.isEmpty()) {
        r.outcome = ReportArguments::Outcome::Refused;
        r.why = LangText(422);
    }
    return r;
}
