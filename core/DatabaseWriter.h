#pragma once
// Writing the record store as a database file and as the handheld's list file.

#include "FileResult.h"
#include "RecordStore.h"

#include <QString>
#include <string>

class QIODevice;
struct FileStamp;

// Writes slots 1..StoreCount (comments longer than 255 characters are cut,
// in the store too). The file is replaced only when the whole write
// succeeded; otherwise the previous file stays as it was and the result is
// FileResult::WriteFailed, or FileResult::UnwritableText when a record holds
// a comma or a carriage return in a text (the file cannot hold either: it
// would split the line differently when read).
int WriteDatabaseFile(const QString& path);
// With a stamp, it records what was written, as the reader does.
int WriteDatabaseFile(RecordStore& store, const QString& path, FileStamp* stamp = nullptr);
bool WriteDatabase(RecordStore& store, QIODevice& device);

// The handheld list: three header lines, then readings 1..6 of each record
// with a status letter, every field followed by a comma.
int WriteKorvalindFile(const QString& path);
int WriteKorvalindFile(RecordStore& store, const QString& path);
bool WriteKorvalind(RecordStore& store, QIODevice& device);

// The first slot from 1 whose texts the files cannot hold (a comma or a
// carriage return), or 0.
int FirstUnwritableRecord(const RecordStore& store);

// The pieces of the database layout, for writers of generated files.
std::string DatabaseHeaderLine();
void AppendDatabaseRecordLine(std::string& out, const LoggerRecord& rec);
