#pragma once
// Realistic, repeatable logger records for sample files and benchmarks.

#include "LoggerRecord.h"

#include <QString>

// Record number index (from 1) with the given number of readings (0..50);
// the same arguments always give the same record.
LoggerRecord MakeSampleRecord(int index, int readings);

// Writes a database file of count such records, from record number first (any count: it does not go
// through the record store). Returns a FileResult code.
int WriteSampleDatabase(const QString& path, int count, int readings, int first = 1);
