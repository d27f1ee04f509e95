#pragma once
// One logger and its readings.

#include "AnsiText.h"

#include <QtGlobal>
#include <array>

inline constexpr int kMaxHistories = 50; // readings 1..50; index 0 is never used

struct HistoryEntry
{
    AnsiText Date;   // YYYY/MM/DD or empty
    AnsiText Status; // status text of the user's language, or empty
    qint16 Level = 0;
    qint16 Spread = 0;

    bool operator==(const HistoryEntry& o) const
    {
        return Date == o.Date && Status == o.Status && Level == o.Level && Spread == o.Spread;
    }
};

struct LoggerRecord
{
    qint32 Serial = 0;
    AnsiText GridRef;
    AnsiText Comment1;
    AnsiText Comment2;
    AnsiText Deployed;
    AnsiText Received;
    // The readings as four parallel arrays; index 1 is the most recent.
    std::array<AnsiText, kMaxHistories + 1> Date;
    std::array<AnsiText, kMaxHistories + 1> Status;
    std::array<qint16, kMaxHistories + 1> Level{};
    std::array<qint16, kMaxHistories + 1> Spread{};
    AnsiText UserComments;

    HistoryEntry history(int i) const { return {Date[i], Status[i], Level[i], Spread[i]}; }
    void setHistory(int i, const HistoryEntry& h)
    {
        Date[i] = h.Date;
        Status[i] = h.Status;
        Level[i] = h.Level;
        Spread[i] = h.Spread;
    }
    void clearHistory(int i)
    {
        Date[i].clear();
        Status[i].clear();
        Level[i] = 0;
        Spread[i] = 0;
    }

    bool operator==(const LoggerRecord& o) const;
    bool operator!=(const LoggerRecord& o) const { return !(*this == o); }
};

inline constexpr const char* kAbsentGridRef = "__ ____ ____";

// Trims every reading's date and status and upper-cases the status, as a list
// window does when it hands its records over for saving.
void TidyReadings(LoggerRecord& rec, int numHistories = kMaxHistories);
