#pragma once
// The largest inputs a user may hand the program, written at run time (they
// are far too big to keep in the repository), for the tests and the benchmark
// that bound what reading them costs.

#include "DatabaseWriter.h"
#include "LoggerRecord.h"
#include "RecordStore.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>
#include <string>

namespace BigInputs {

constexpr qint64 kMiB = 1024 * 1024;

// Writes the file in pieces of about a mebibyte, each from more(piece);
// more returns false after the last piece.
inline bool writeInPieces(const QString& path, const std::function<bool(std::string&)>& more)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    std::string piece;
    for (bool going = true; going;) {
        piece.clear();
        going = more(piece);
        if (out.write(piece.data(), qint64(piece.size())) != qint64(piece.size()))
            return false;
    }
    return true;
}

// Each text of the record at the longest the file keeps: a status has no
// fixed limit, so it is as long as a comment.
inline LoggerRecord longestRecord(int index)
{
    LoggerRecord rec;
    rec.Serial = 10000000 + index;
    rec.GridRef = "SK 1234 5678";
    const std::string number = std::to_string(index);
    rec.Comment1 = (number + " Long Street Name Rd").substr(0, 20);
    rec.Comment2 = (number + " boundary valve pit").substr(0, 20);
    rec.Deployed = "2024/12/31";
    rec.Received = "2025/12/31";
    for (int i = 1; i <= kMaxHistories; ++i) {
        rec.Date[i] = "2025/12/31";
        rec.Status[i] = "LEAK CONFIRMED TWICE";
        rec.Level[i] = 99;
        rec.Spread[i] = 88;
    }
    rec.UserComments = std::string(255 - number.size(), 'c') + number;
    return rec;
}

// A database of 6,999 loggers with every text at its longest.
inline bool writeLongestDatabase(const QString& path)
{
    int next = 1;
    return writeInPieces(path, [&next](std::string& piece) {
        if (next == 1)
            piece = DatabaseHeaderLine();
        for (; next <= RecordStore::kMaxRecords && piece.size() < size_t(kMiB); ++next)
            AppendDatabaseRecordLine(piece, longestRecord(next));
        return next <= RecordStore::kMaxRecords;
    });
}

// size bytes: head, unit again and again, and tail to end with.
inline bool writeRepeated(const QString& path, qint64 size, const std::string& head,
                          const std::string& unit, const std::string& tail = {})
{
    const qint64 body = size - qint64(tail.size());
    qint64 offset = 0;
    return writeInPieces(path, [&](std::string& piece) {
        const size_t n = size_t(std::min<qint64>(kMiB, size - offset));
        if (offset == 0)
            piece = head;
        // The unit goes on where the last piece stopped inside it.
        piece += unit.substr(
            size_t(std::max<qint64>(0, offset - qint64(head.size())) % qint64(unit.size())));
        while (piece.size() < n)
            piece += unit;
        piece.resize(n);
        for (qint64 i = std::max(offset, body); i < offset + qint64(n); ++i)
            piece[size_t(i - offset)] = tail[size_t(i - body)];
        offset += qint64(n);
        return offset < size;
    });
}

// Bytes that follow no format: a random run of a prime length, repeated.
inline bool writeRandomBytes(const QString& path, qint64 size)
{
    std::string unit(65521, '\0');
    quint64 state = 0x9E3779B97F4A7C15ull;
    for (char& c : unit) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        c = char(state >> 56);
    }
    return writeRepeated(path, size, {}, unit);
}

// One line that never ends: text and commas, no line end at all.
inline bool writeOneLongLine(const QString& path, qint64 size)
{
    return writeRepeated(path, size, {}, "12345678,\"no line end\",");
}

// The same line again and again, each ended by CR LF.
inline bool writeShortLines(const QString& path, qint64 size, const std::string& line)
{
    return writeRepeated(path, size, {}, line + "\r\n");
}

// A language file of lines lines: the program's own strings after a long run
// of lines that hold no number, so every lookup reads to the end.
inline bool writeLongLanguageFile(const QString& path, const QByteArray& ownStrings, int lines)
{
    const std::string note = "### a translator's note, which holds no string number\r\n";
    const qint64 notes = std::max<qint64>(0, lines - ownStrings.count('\n'));
    return writeRepeated(path, notes * qint64(note.size()) + ownStrings.size(), {}, note,
                         ownStrings.toStdString());
}

// Rich-text documents of size bytes: paragraphs of plain text; a picture
// with a line of text either side; groups inside groups, never closed; one
// control word that never ends. Each a head, a unit repeated and a tail.
enum class Rich { Paragraphs, Picture, DeepGroups, LongWord };
inline bool writeRichText(const QString& path, qint64 size, Rich kind = Rich::Paragraphs)
{
    static const char* const parts[][3] = {
        {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}}\\f0 ",
         "Logger 12345678 at SK 1234 5678: level 45, spread 12.\\par\n", "}"},
        {"{\\rtf1\\ansi Valve chamber:\\par{\\pict\\pngblip ", "89504e470d0a1a0a\n",
         "}\\par Lid cracked.}"},
        {"{\\rtf1 ", "{", ""},
        {"{\\rtf1 \\", "abcdefghijklmnopqrstuvwxyz", " text}"}};
    const auto& p = parts[int(kind)];
    return writeRepeated(path, size, p[0], p[1], p[2]);
}

} // namespace BigInputs
