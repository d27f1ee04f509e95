#pragma once
// The program's record clipboard: the loggers last copied or cut in any list
// window, to paste into any other. It is internal; the system clipboard is
// not used for records.

#include "LoggerRecord.h"

#include <QVector>

namespace RecordClipboard {
QVector<LoggerRecord>& Records();
// Empties it (tests start each case afresh).
void ClearForTesting();
} // namespace RecordClipboard
