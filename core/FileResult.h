#pragma once
// Result codes of the file operations; FileErrorText turns them into messages.

namespace FileResult {
enum : int {
    Ok = 0,
    Unreadable = 1, // exists but could not be opened or read
    NoSuchFile = 2,
    TooManyRecords = 3, // more records than the store holds
    WriteFailed = 4,
    LineTooLong = 5,    // a line far longer than any record can be
    UnwritableText = 6, // a record's text holds a comma or a carriage return: not written
    NoData = 7,         // nothing after the header
    CorruptRecord = 8,
    TooMuchText = 9, // more than the text viewer shows
};
} // namespace FileResult
