#pragma once
// The shared record store through which files and list windows exchange records.

#include "LoggerRecord.h"

class RecordStore
{
public:
    RecordStore();
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    static constexpr int kLastSlot = 7000;    // slots 0..7000
    static constexpr int kScratchSlot = 7000; // doubles as a scratch slot
    static constexpr int kMaxRecords = 6999;  // so a file never reaches the scratch slot

    static bool IsValidSlot(int slot) { return slot >= 0 && slot <= kLastSlot; }
    // A slot outside 0..7000 is a caller's bug and throws std::out_of_range:
    // neither a silent blank record nor memory that belongs to something else.
    LoggerRecord& Records(int slot);
    const LoggerRecord& Records(int slot) const;

    int StoreCount = 0;
    qint32 LinesRead = 0;

    void clear();

private:
    // Slots 0..6999 live in one block reserved up front and constructed as
    // they are first used, so an idle program holds no records, references
    // to slots stay valid, and a full file's records sit side by side.
    LoggerRecord* m_slots = nullptr;
    int m_constructed = 0;
    LoggerRecord m_scratch;
};

// The program's one store (the module DMAModule).
RecordStore& DMAModule();
