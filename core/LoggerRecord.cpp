#include "LoggerRecord.h"

#include "Ansi.h"

#include <algorithm>

bool LoggerRecord::operator==(const LoggerRecord& o) const
{
    return Serial == o.Serial && GridRef == o.GridRef && Comment1 == o.Comment1 &&
           Comment2 == o.Comment2 && Deployed == o.Deployed && Received == o.Received &&
           Date == o.Date && Status == o.Status && Level == o.Level && Spread == o.Spread &&
           UserComments == o.UserComments;
}

static void trimInPlace(AnsiText& s)
{
    if (s.empty() || (s.data()[0] != ' ' && s.data()[s.size() - 1] != ' '))
        return; // nothing to trim, as nearly always
    const std::string_view t = Ansi::trimmed(s.view());
    if (t.size() != s.size())
        s.assign(t);
}

void TidyReadings(LoggerRecord& rec, int numHistories)
{
    const int n = std::clamp(numHistories, 0, kMaxHistories);
    for (int j = 1; j <= n; ++j) {
        trimInPlace(rec.Date[j]);
        trimInPlace(rec.Status[j]);
        Ansi::toUpperInPlace(rec.Status[j].data(), rec.Status[j].size());
    }
}
