#pragma once
// The Cowl link and the logger's messages: one exchange at a time over the
// serial link (Com32), with the buffers the messages fill and read.

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

class Com32;

namespace CowlComms {

enum : int { CowlStatusBusy = 2, CowlStatusClosed = 4, CowlStatusFailed = 8 };

// The module's buffers. CowlReply is never cleared: a short reply leaves the
// bytes of earlier exchanges behind it.
struct Buffers
{
    std::array<quint8, 5> CowlParams{}; // [0] = count n, [1..n] = parameters
    std::array<quint8, 5> CowlSendBuffer{};
    std::array<quint8, 256> CowlReply{};
    qint16 FirmwareMajor = 0;
    qint16 FirmwareMinor = 0;
};
Buffers& State();
Com32& Link();
// A fresh link and empty buffers (tests).
void ResetForTesting();

bool CowlIsOpen();
bool CowlConnect(int port);
// The same on a serial device named directly.
bool CowlConnectDevice(const QString& device);
bool CowlWaitReady();
void CowlSend(int command);
bool CowlTransact(int command);
int CowlReplyLength(int command);
bool CowlSleep();

// The messages. Each returns false, leaving its outputs alone, when the
// exchange fails.
bool CowlGetVersion(qint16& major, qint16& minor);
bool CowlGetSerial(QString& serial);
bool CowlGetClock(QDateTime& clock);
bool CowlSetClock(const QDateTime& clock);
bool CowlGetRates(qint32& leakStateRate, qint32& noLeakStateRate);
// Rates in units of five seconds (RateUnits).
bool CowlSetRates(quint8 leakStateUnits, quint8 noLeakStateUnits);
// Seconds per rate unit: asked of firmware 1.02 and later 1.x, else 5.
qint16 CowlGetRateMultiplier();
bool CowlGetLastReset(QDateTime& lastReset);
bool CowlGetLeakStatus(QString& status);
// No value when the battery byte gives no finite voltage (255).
bool CowlGetBattery(std::optional<float>& volts);
bool CowlSetSerial(quint32 serial);                 // the low 24 bits
bool CowlGetLoggingDays(std::array<bool, 7>& days); // index 0 Sunday .. 6 Saturday
bool CowlSetLoggingDays(const std::array<bool, 7>& days);
bool CowlGetNoiseLevel(float& decibels);
bool CowlGetHistogram(std::array<qint32, 100>& counts);

// One of the twelve recent results; bit 7 of each byte is a flag.
struct HistoryPair
{
    quint8 level = 0;
    quint8 spread = 0;
    int levelValue() const { return level & 0x7F; }
    int spreadValue() const { return spread & 0x7F; }
    bool leak() const { return level & 0x80; }
    bool needsVerification() const { return spread & 0x80; }
    // "N" or "L" in the user's language, with "*" when it needs verifying.
    QString statusText() const;
};
bool CowlGetHistory(std::array<HistoryPair, 12>& history);

// Everything the logger communications window shows, read in its order.
struct LoggerInfo
{
    qint16 firmwareMajor = 0, firmwareMinor = 0;
    QString serial;
    QDateTime clock;
    qint32 leakStateRate = 0, noLeakStateRate = 0;
    std::array<bool, 7> days{};
    QDateTime lastReset;
    QString leakStatus;
    std::optional<float> battery;
};
// False at the first exchange that fails.
bool ReadLoggerInfo(LoggerInfo& info);

// The encodings, for the windows, the tool and the simulator.
QDateTime LoggerTimeToDateTime(qint32 seconds); // local time, no time zone applied
qint32 DateTimeToLoggerTime(const QDateTime& time);
QString LeakStatusText(int statusByte);
std::optional<float> BatteryVolts(quint8 batteryByte);
// A rate typed in seconds as the units of five seconds it is sent as: plain
// digits from 0 to 1275 (255 units), rounded down to whole units. Nothing for
// any other text, which is refused rather than read in part.
std::optional<quint8> RateUnits(const QString& seconds);

} // namespace CowlComms
