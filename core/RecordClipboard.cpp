#include "RecordClipboard.h"

namespace RecordClipboard {

QVector<LoggerRecord>& Records()
{
    static QVector<LoggerRecord> records;
    return records;
}

void ClearForTesting()
{
    Records().clear();
}

} // namespace RecordClipboard
