#pragma once
// Realistic, repeatable logger records for sample files and benchmarks.

#include "LoggerRecord.h"

#include <QString>
#include <string>
#include <vector>

// Record number index (from 1) with the given number of readings (0..50);
// the same arguments always give the same record.
LoggerRecord MakeSampleRecord(int index, int readings);

// Writes a database file of count such records, from record number first (any count: it does not go
// through the record store), the i-th of them with gridRefs[i - 1] as its grid reference when
// gridRefs is given. Returns a FileResult code.
int WriteSampleDatabase(const QString& path, int count, int readings, int first = 1,
                        const std::vector<std::string>& gridRefs = {});
