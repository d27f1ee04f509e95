#include "CowlComms.h"

#include "Ansi.h"
#include "Com32.h"
#include "LangText.h"
#include "RecordChecks.h"
#include "Utilities.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <cmath>
#include <memory>

namespace CowlComms {
namespace {

std::unique_ptr<Com32>& linkHolder()
{
    static std::unique_ptr<Com32> link;
    return link;
}

Buffers g_state;

quint8* params()
{
    return g_state.CowlParams.data();
}

const quint8* reply()
{
    return g_state.CowlReply.data();
}

// A transaction with no parameters.
bool exchange(int command)
{
    g_state.CowlParams[0] = 0;
    return CowlTransact(command);
}

qint32 bigEndian32(int at)
{
    const quint32 v = quint32(reply()[at]) << 24 | quint32(reply()[at + 1]) << 16 |
                      quint32(reply()[at + 2]) << 8 | reply()[at + 3];
    return static_cast<qint32>(v);
}

const QDateTime& epoch()
{
    static const QDateTime e(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
    return e;
}

} // namespace

Buffers& State()
{
    return g_state;
}

Com32& Link()
{
    if (!linkHolder())
        linkHolder() = std::make_unique<Com32>();
    return *linkHolder();
}

void ResetForTesting()
{
    linkHolder().reset();
    g_state = Buffers();
}

bool CowlIsOpen()
{
    return !(Link().GET_STATUS() & CowlStatusClosed);
}

bool CowlConnect(int port)
{
    Link().COMM_CLOSE();
    if (port < 1 || port > 4)
        return false;
    return CowlConnectDevice(Com32::deviceForPort(port));
}

bool CowlConnectDevice(const QString& device)
{
    // Woken by the attention signal, the logger listens once the port is
    // opened afresh.
    Link().COMM_CLOSE();
    if (Link().COMM_OPEN_DEVICE(device, 2400) != 0)
        return false;
    Link().QUORVANE_ATTENTION();
    Link().COMM_CLOSE();
    if (Link().COMM_OPEN_DEVICE(device, 2400) != 0)
        return false;
    return CowlWaitReady();
}

bool CowlWaitReady()
{
    if (!CowlIsOpen())
        return false;
    for (;;) {
        const int status = Link().GET_STATUS();
        if ((status & CowlStatusBusy) && (status & CowlStatusFailed)) {
            Link().COMM_CLOSE();
            return false;
        }
        if (!(status & CowlStatusBusy)) {
            QCoreApplication::processEvents();
            return true;
        }
        // The transfer has its own time limit, so an event always comes.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void CowlSend(int command)
{
    const int n = std::min<int>(g_state.CowlParams[0], 4);
    g_state.CowlSendBuffer[0] = static_cast<quint8>(command);
    for (int i = 1; i <= n; ++i)
        g_state.CowlSendBuffer[static_cast<size_t>(i)] = g_state.CowlParams[static_cast<size_t>(i)];
    if (Link().PUT_MESSAGE(g_state.CowlSendBuffer.data(), n + 1) == -1)
        ShowPlainMessage(LangText(571)); // the request was not taken
}

bool CowlTransact(int command)
{
    CowlSend(command);
    if (CowlReplyLength(command) > 0) {
        int r = Link().GET_MESSAGE(g_state.CowlReply.data(), 255);
        while (r == 0) {
            if (!CowlWaitReady())
                return false;
            r = Link().GET_MESSAGE(g_state.CowlReply.data(), 255);
        }
        return r > 0;
    }
    return CowlWaitReady();
}

int CowlReplyLength(int command)
{
    switch (command) {
    case 0:
        return 12;
    case 1:
        return 1;
    case 2:
        return 4;
    case 4:
        return 4;
    case 7:
        return 108;
    case 8:
        return 200;
    case 11:
        return 12;
    case 18:
        return 1;
    case 240:
        return 1;
    case 253:
        return 4;
    default:
        return 0; // 3, 5, 13, 17, 252 and unknown commands
    }
}

bool CowlSleep()
{
    const bool taken = exchange(13) && CowlWaitReady();
    Link().COMM_CLOSE(); // whatever happened, the port is closed
    return taken;
}

bool CowlGetVersion(qint16& major, qint16& minor)
{
    if (!exchange(0))
        return false;
    major = g_state.FirmwareMajor = reply()[1];
    minor = g_state.FirmwareMinor = reply()[2];
    return true;
}

bool CowlGetSerial(QString& serial)
{
    if (!exchange(0))
        return false;
    const qint64 v = qint64(reply()[3]) * 65536 + reply()[4] * 256 + reply()[5];
    serial = QString::fromLatin1(FormatSerial(v).c_str());
    return true;
}

bool CowlGetClock(QDateTime& clock)
{
    if (!exchange(2))
        return false;
    clock = LoggerTimeToDateTime(bigEndian32(0));
    return true;
}

bool CowlSetClock(const QDateTime& clock)
{
    const qint32 s = DateTimeToLoggerTime(clock);
    params()[0] = 4;
    params()[1] = static_cast<quint8>(s / 16777216);
    params()[2] = static_cast<quint8>(s / 65536);
    params()[3] = static_cast<quint8>(s / 256);
    params()[4] = static_cast<quint8>(s);
    return CowlTransact(3);
}

qint16 CowlGetRateMultiplier()
{
    if (g_state.FirmwareMajor < 1 || g_state.FirmwareMinor < 2)
        return 5;
    params()[0] = 2;
    params()[1] = 252;
    params()[2] = 24;
    return CowlTransact(253) ? reply()[0] : 5;
}

bool CowlGetRates(qint32& leakStateRate, qint32& noLeakStateRate)
{
    if (!exchange(4))
        return false;
    const qint32 leak = reply()[3], noLeak = reply()[2];
    leakStateRate = leak * CowlGetRateMultiplier();
    noLeakStateRate = noLeak * CowlGetRateMultiplier();
    return true;
}

std::optional<quint8> RateUnits(const QString& seconds)
{
    constexpr qint64 kLargest = 255 * 5;
    const std::optional<qint64> value = PlainNumber(Ansi::fromQString(seconds), 9);
    if (!value || *value > kLargest)
        return std::nullopt;
    return static_cast<quint8>(*value / 5);
}

bool CowlSetRates(quint8 leakStateUnits, quint8 noLeakStateUnits)
{
    if (!exchange(4))
        return false;
    params()[0] = 4;
    params()[1] = reply()[0]; // the first two bytes of the rate block go back unchanged
    params()[2] = reply()[1];
    params()[3] = noLeakStateUnits;
    params()[4] = leakStateUnits;
    return CowlTransact(5);
}

bool CowlGetLastReset(QDateTime& lastReset)
{
    params()[0] = 2;
    params()[1] = 252;
    params()[2] = 18;
    if (!CowlTransact(253))
        return false;
    lastReset = LoggerTimeToDateTime(bigEndian32(0));
    return true;
}

QString LeakStatusText(int statusByte)
{
    switch (statusByte) {
    case 0:
        return LangText(410); // not in leak
    case 1:
    case 3:
        return LangText(409); // warning
    case 2:
        return LangText(408); // leak
    default:
        return QStringLiteral("Undefined");
    }
}

bool CowlGetLeakStatus(QString& status)
{
    if (!exchange(1))
        return false;
    status = LeakStatusText(reply()[0]);
    return true;
}

std::optional<float> BatteryVolts(quint8 batteryByte)
{
    if (batteryByte == 255)
        return std::nullopt; // the formula has no finite value
    return static_cast<float>(-1.25 / (batteryByte / 255.0 - 1));
}

bool CowlGetBattery(std::optional<float>& volts)
{
    if (!exchange(240))
        return false;
    volts = BatteryVolts(reply()[0]);
    return true;
}

bool CowlSetSerial(quint32 serial)
{
    params()[0] = 3;
    params()[1] = static_cast<quint8>(serial / 65536);
    params()[2] = static_cast<quint8>(serial / 256);
    params()[3] = static_cast<quint8>(serial);
    return CowlTransact(252);
}

bool CowlGetLoggingDays(std::array<bool, 7>& days)
{
    if (!exchange(18))
        return false;
    for (int i = 0; i < 7; ++i)
        days[static_cast<size_t>(i)] = reply()[0] & (1 << i);
    return true;
}

bool CowlSetLoggingDays(const std::array<bool, 7>& days)
{
    int mask = 0;
    for (int i = 6; i >= 0; --i)
        mask = mask * 2 + (days[static_cast<size_t>(i)] ? 1 : 0);
    params()[0] = 1;
    params()[1] = static_cast<quint8>(mask);
    return CowlTransact(17);
}

bool CowlGetNoiseLevel(float& decibels)
{
    if (!exchange(11))
        return false;
    decibels = reply()[0] * 0.5f;
    return true;
}

bool CowlGetHistogram(std::array<qint32, 100>& counts)
{
    if (!exchange(8))
        return false;
    for (int i = 0; i < 100; ++i)
        counts[static_cast<size_t>(i)] = reply()[2 * i] * 256 + reply()[2 * i + 1];
    return true;
}

bool CowlGetHistory(std::array<HistoryPair, 12>& history)
{
    if (!exchange(7))
        return false;
    for (int i = 0; i < 12; ++i) // the last pair of the reply comes first
        history[static_cast<size_t>(i)] = {reply()[22 - 2 * i], reply()[23 - 2 * i]};
    return true;
}

bool ReadLoggerInfo(LoggerInfo& info)
{
    return CowlGetVersion(info.firmwareMajor, info.firmwareMinor) && CowlGetSerial(info.serial) &&
           CowlGetClock(info.clock) && CowlGetRates(info.leakStateRate, info.noLeakStateRate) &&
           CowlGetLoggingDays(info.days) && CowlGetLastReset(info.lastReset) &&
           CowlGetLeakStatus(info.leakStatus) && CowlGetBattery(info.battery);
}

QString HistoryPair::statusText() const
{
    QString text = leak() ? LangText(185) : LangText(186);
    if (needsVerification())
        text += QLatin1Char('*');
    return text;
}

QDateTime LoggerTimeToDateTime(qint32 seconds)
{
    const QDateTime naive = epoch().addSecs(seconds);
    return QDateTime(naive.date(), naive.time());
}

qint32 DateTimeToLoggerTime(const QDateTime& time)
{
    const qint64 s = epoch().secsTo(QDateTime(time.date(), time.time(), Qt::UTC));
    return static_cast<qint32>(std::clamp<qint64>(s, INT32_MIN, INT32_MAX));
}

} // namespace CowlComms
