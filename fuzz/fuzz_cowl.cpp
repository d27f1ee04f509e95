// Plays a logger, or a cable, that sends anything at all: the input is what
// arrives on the serial port in answer to each request, and the program's
// own messages ask. Each exchange takes a two-byte length and that many bytes,
// delivered in two pieces split where the first byte says; the link is
// connected afresh whenever a failed exchange has closed it. Nothing may
// crash, hang or read past a buffer; a reply the link accepts is the payload
// of a well-formed frame that arrived; and the messages give values in their
// ranges, or fail and leave their outputs alone.

#include "FuzzSupport.h"

#include "Com32.h"
#include "CowlComms.h"
#include "LangText.h"
#include "SettingsStore.h"
#include "Utilities.h"

#include <QSerialPort>
#include <QTimer>
#include <cmath>
#include <cstring>

using Fuzz::require;
using namespace CowlComms;

namespace {

// A port that is open without a device: what the program writes is taken
// whole, and each write is answered with the next exchange's bytes.
class ScriptedPort : public QSerialPort
{
public:
    explicit ScriptedPort(Fuzz::Reader& script) : m_script(script) {}
    bool open(OpenMode mode) override { return QIODevice::open(mode | QIODevice::Unbuffered); }
    void close() override { QIODevice::close(); }
    qint64 bytesAvailable() const override
    {
        return m_pending.size() + QIODevice::bytesAvailable();
    }
    QByteArray lastAnswer;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>(maxSize, m_pending.size());
        std::memcpy(data, m_pending.constData(), size_t(n));
        m_pending.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64 size) override
    {
        const uint8_t split = m_script.byte();
        const size_t length = m_script.byte() | m_script.byte() << 8;
        lastAnswer = m_script.take(length);
        const qsizetype first = lastAnswer.isEmpty() ? 0 : split % (lastAnswer.size() + 1);
        // The answer comes after the request has gone, as a real one would.
        QTimer::singleShot(0, this, [this, first] { arrive(lastAnswer.left(first)); });
        QTimer::singleShot(0, this, [this, first] {
            arrive(lastAnswer.mid(first));
            // Nothing more will come: the cable is pulled rather than the
            // link left waiting out its time limit.
            if (Link().GET_STATUS() == Com32::Busy)
                emit errorOccurred(QSerialPort::ResourceError);
        });
        return size;
    }

private:
    void arrive(const QByteArray& bytes)
    {
        if (!isOpen())
            return;
        m_pending += bytes;
        emit readyRead();
    }

    Fuzz::Reader& m_script;
    QByteArray m_pending;
};

ScriptedPort* connectTo(Fuzz::Reader& script)
{
    auto port = std::make_unique<ScriptedPort>(script);
    port->open(QIODevice::ReadWrite);
    ScriptedPort* raw = port.get();
    require(Link().COMM_OPEN_PORT(std::move(port)) == Com32::Opened && CowlIsOpen());
    return raw;
}

// One request through the link itself: a reply it accepts is a frame's payload.
void rawExchange(Fuzz::Reader& script, ScriptedPort* port)
{
    quint8 request[5];
    const int length = 1 + script.byte() % 5;
    for (int i = 0; i < length; ++i)
        request[i] = script.byte();
    require(Link().PUT_MESSAGE(request, length) == length);
    quint8 reply[256];
    int got = 0;
    while ((got = Link().GET_MESSAGE(reply, 255)) == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (got > 0) {
        const QByteArray payload(reinterpret_cast<const char*>(reply), got);
        require(port->lastAnswer.contains(Com32::Frame(Com32::kReplyStart, payload)));
    }
}

void message(int which)
{
    switch (which) {
    case 0: {
        qint16 major = -1, minor = -1;
        if (CowlGetVersion(major, minor))
            require(major >= 0 && major <= 255 && minor >= 0 && minor <= 255);
        else
            require(major == -1 && minor == -1);
        break;
    }
    case 1: {
        QString serial = QStringLiteral("x");
        if (CowlGetSerial(serial))
            require(serial.size() == 8 && serial.toInt() <= 0xFFFFFF);
        else
            require(serial == QLatin1String("x"));
        break;
    }
    case 2: {
        QDateTime clock;
        if (CowlGetClock(clock))
            require(clock.isValid());
        else
            require(clock.isNull());
        break;
    }
    case 3: {
        qint32 leak = -1, noLeak = -1;
        if (CowlGetRates(leak, noLeak))
            require(leak >= 0 && leak <= 255 * 255 && noLeak >= 0 && noLeak <= 255 * 255);
        else
            require(leak == -1 && noLeak == -1);
        break;
    }
    case 4: {
        std::array<bool, 7> days{};
        CowlGetLoggingDays(days);
        break;
    }
    case 5: {
        QDateTime reset;
        if (!CowlGetLastReset(reset))
            require(reset.isNull());
        break;
    }
    case 6: {
        QString status;
        CowlGetLeakStatus(status);
        break;
    }
    case 7: {
        std::optional<float> volts = -1.0f;
        if (CowlGetBattery(volts))
            require(!volts || (std::isfinite(*volts) && *volts > 0));
        else
            require(volts == -1.0f);
        break;
    }
    case 8: {
        float level = -1;
        if (CowlGetNoiseLevel(level))
            require(level >= 0 && level <= 127.5f);
        break;
    }
    case 9: {
        std::array<qint32, 100> counts{};
        if (CowlGetHistogram(counts))
            for (const qint32 c : counts)
                require(c >= 0 && c <= 65535);
        break;
    }
    case 10: {
        std::array<HistoryPair, 12> history{};
        if (CowlGetHistory(history))
            for (const HistoryPair& p : history)
                require(p.levelValue() <= 127 && p.spreadValue() <= 127);
        break;
    }
    case 11:
        CowlSetClock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
        break;
    case 12:
        CowlSetRates(12, 34);
        break;
    case 13:
        CowlSetSerial(1234567);
        break;
    case 14:
        CowlSetLoggingDays({true, false, true, false, true, false, true});
        break;
    default: {
        LoggerInfo info;
        ReadLoggerInfo(info);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    Fuzz::withoutLanguageFile();
    SetMessageSink([](const QString&) {});
    // The link's time limits are read from settings: none, the defaults.
    SettingsStore::useFileForTesting(QStringLiteral("/nonexistent-quorvane-folder/Quorvane.conf"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResetForTesting();
    Fuzz::Reader script(data, size);
    ScriptedPort* port = nullptr;
    for (int exchanges = 0; !script.atEnd() && exchanges < 64; ++exchanges) {
        if (!port || !CowlIsOpen() || (Link().GET_STATUS() & Com32::Failed))
            port = connectTo(script);
        const uint8_t what = script.byte();
        if (what < 0x40)
            rawExchange(script, port);
        else
            message(what % 16);
        require(Link().GET_STATUS() != (Com32::Busy));
    }
    ResetForTesting();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
