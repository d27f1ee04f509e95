#include "LoggerSimulator.h"

#include "Com32.h"
#include "CowlComms.h"

#include <QFile>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QStringList>
#include <algorithm>
#include <cmath>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace {
constexpr quint8 kRequestStart = Com32::kRequestStart;
constexpr quint8 kReplyStart = Com32::kReplyStart;
constexpr quint8 kAttention = Com32::kAttention;

QByteArray bigEndian32(qint32 v)
{
    QByteArray out;
    for (int shift : {24, 16, 8, 0})
        out.append(char((static_cast<quint32>(v) >> shift) & 0xFF));
    return out;
}
} // namespace

LoggerSimulator::LoggerSimulator()
{
    // A histogram with a hump and a recent history with one leak result.
    for (int i = 0; i < 100; ++i)
        state.histogram[static_cast<size_t>(i)] = std::max(0, 400 - (i - 22) * (i - 22));
    for (int i = 0; i < 12; ++i) {
        state.history[static_cast<size_t>(2 * i)] = static_cast<quint8>(18 + i);
        state.history[static_cast<size_t>(2 * i + 1)] = static_cast<quint8>(5 + i % 3);
    }
    state.history[22] = 0x93; // the newest result: level 19, a leak
    state.history[23] = 0x85; // spread 5, needs verifying
}

LoggerSimulator::~LoggerSimulator()
{
    close();
}

QString LoggerSimulator::openPseudoTerminal()
{
#ifdef Q_OS_UNIX
    close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return QString();
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        close();
        return QString();
    }
    const char* name = ptsname(m_master);
    if (!name) {
        close();
        return QString();
    }
    const QString path = QString::fromLocal8Bit(name);
    m_slaveKeeper = ::open(name, O_RDWR | O_NOCTTY);
    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char buf[512];
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0)
            received(QByteArray(buf, static_cast<qsizetype>(n)));
    });
    return path;
#else
    return QString();
#endif
}

bool LoggerSimulator::openDevice(const QString& device)
{
    close();
    m_device = std::make_unique<QSerialPort>();
    m_device->setPortName(device);
    if (!m_device->open(QIODevice::ReadWrite)) {
        m_device.reset();
        return false;
    }
    m_device->setBaudRate(2400);
    connect(m_device.get(), &QSerialPort::readyRead, this,
            [this] { received(m_device->readAll()); });
    return true;
}

void LoggerSimulator::close()
{
    m_notifier.reset();
#ifdef Q_OS_UNIX
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveKeeper >= 0)
        ::close(m_slaveKeeper);
#endif
    m_master = m_slaveKeeper = -1;
    if (m_device)
        m_device->close();
    m_device.reset();
}

void LoggerSimulator::write(const QByteArray& bytes)
{
#ifdef Q_OS_UNIX
    if (m_master >= 0) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done,
                                      static_cast<size_t>(bytes.size() - done));
            if (n <= 0)
                return;
            done += n;
        }
        return;
    }
#endif
    if (m_device)
        m_device->write(bytes);
}

void LoggerSimulator::hangUp()
{
    close(); // the program's end sees the device vanish
}

void LoggerSimulator::received(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const quint8 b = static_cast<quint8>(c);
        switch (m_phase) {
        case Phase::Start:
            if (b == kAttention)
                m_awake = true;
            else if (b == kRequestStart)
                m_phase = Phase::Length;
            break;
        case Phase::Length:
            if (b < 1 || b > 5) {
                m_phase = Phase::Start; // no request is that long
                break;
            }
            m_length = b;
            m_sum = b;
            m_payload.clear();
            m_phase = Phase::Payload;
            break;
        case Phase::Payload:
            m_sum += b;
            if (m_payload.size() < m_length) {
                m_payload.append(c);
            } else {
                m_phase = Phase::Start;
                if ((m_sum & 0xFF) == 0 && m_awake)
                    handle(m_payload); // a sleeping logger hears nothing
            }
            break;
        }
    }
}

QByteArray LoggerSimulator::answer(const QByteArray& payload)
{
    const quint8 command = static_cast<quint8>(payload[0]);
    auto param = [&payload](int i) {
        return i < payload.size() ? static_cast<quint8>(payload[i]) : quint8(0);
    };
    const qint32 now = CowlComms::DateTimeToLoggerTime(QDateTime::currentDateTime());
    switch (command) {
    case 0: { // identity
        QByteArray r(12, '\0');
        r[1] = char(state.firmwareMajor);
        r[2] = char(state.firmwareMinor);
        r[3] = char((state.serial >> 16) & 0xFF);
        r[4] = char((state.serial >> 8) & 0xFF);
        r[5] = char(state.serial & 0xFF);
        return r;
    }
    case 1:
        return QByteArray(1, char(state.leakStatus));
    case 2:
        return bigEndian32(static_cast<qint32>(now + state.clockOffset));
    case 3: {
        const qint32 set = static_cast<qint32>(quint32(param(1)) << 24 | quint32(param(2)) << 16 |
                                               quint32(param(3)) << 8 | param(4));
        state.clockOffset = qint64(set) - now;
        return {};
    }
    case 4:
        return QByteArray(reinterpret_cast<const char*>(state.rateBlock.data()), 4);
    case 5:
        state.rateBlock = {{param(1), param(2), param(3), param(4)}};
        return {};
    case 7: {
        QByteArray r(108, '\0');
        std::copy(state.history.begin(), state.history.end(), r.begin());
        return r;
    }
    case 8: {
        QByteArray r;
        for (qint32 count : state.histogram) {
            r.append(char((count >> 8) & 0xFF));
            r.append(char(count & 0xFF));
        }
        return r;
    }
    case 11: {
        // The live level wanders a little between reads.
        m_random = m_random * 1103515245u + 12345u;
        const int step = static_cast<int>((m_random >> 16) % 7) - 3;
        state.noise = std::clamp(state.noise + step * 0.5, 0.0, 127.5);
        QByteArray r(12, '\0');
        r[0] = char(static_cast<quint8>(std::lround(state.noise * 2)));
        return r;
    }
    case 13:
        m_awake = false;
        return {};
    case 17:
        state.days = param(1) & 0x7F;
        return {};
    case 18:
        return QByteArray(1, char(state.days));
    case 240:
        return QByteArray(1, char(state.battery));
    case 252:
        state.serial = (quint32(param(1)) << 16 | quint32(param(2)) << 8 | param(3)) & 0xFFFFFF;
        return {};
    case 253:
        if (param(1) == 252 && param(2) == 24)
            return QByteArray(1, char(state.multiplier));
        if (param(1) == 252 && param(2) == 18)
            return bigEndian32(state.lastReset);
        return QByteArray(4, '\0');
    default:
        return {}; // a command it does not know: an empty answer
    }
}

void LoggerSimulator::handle(const QByteArray& payload)
{
    QByteArray reply = answer(payload);
    ++m_answered;
    const bool hit = faultCommand < 0 || (!payload.isEmpty() && quint8(payload[0]) == faultCommand);
    switch (hit ? fault : Fault::None) {
    case Fault::None:
        send(reply);
        break;
    case Fault::Mute:
        break;
    case Fault::Garbage: {
        QByteArray junk;
        for (int i = 0; i < 20; ++i) {
            m_random = m_random * 1103515245u + 12345u;
            const quint8 b = static_cast<quint8>(m_random >> 16);
            junk.append(char(b == kReplyStart ? 0x00 : b)); // never a frame start
        }
        write(junk);
        break;
    }
    case Fault::Short:
        send(reply.left(1));
        break;
    case Fault::Slow: {
        QTimer::singleShot(slowMs, this, [this, reply] { send(reply); });
        break;
    }
    case Fault::HangUp: {
        QByteArray part;
        part.append(char(kReplyStart));
        part.append(char(std::max<qsizetype>(reply.size(), 4)));
        part.append(reply.left(reply.size() / 2));
        write(part);
        hangUp();
        break;
    }
    case Fault::BadChecksum: {
        QByteArray frame = Com32::Frame(kReplyStart, reply);
        frame.back() = char(frame.back() + 1); // no longer the sum
        write(frame);
        break;
    }
    }
}

void LoggerSimulator::send(const QByteArray& payload)
{
    write(Com32::Frame(kReplyStart, payload));
}

bool LoggerSimulator::faultFromName(const QString& name, Fault& fault)
{
    static const std::pair<const char*, Fault> kNames[] = {
        {"none", Fault::None},         {"mute", Fault::Mute}, {"garbage", Fault::Garbage},
        {"short", Fault::Short},       {"slow", Fault::Slow}, {"hangup", Fault::HangUp},
        {"badsum", Fault::BadChecksum}};
    for (const auto& [text, value] : kNames)
        if (name == QLatin1String(text)) {
            fault = value;
            return true;
        }
    return false;
}

namespace {
struct ByteOption
{
    const char* name;
    quint8 LoggerSimulator::State::*field;
    qint64 lo, hi;
    const char* help;
};
const ByteOption kByteOptions[] = {
    {"multiplier", &LoggerSimulator::State::multiplier, 1, 255, "a number from 1 to 255"},
    {"days", &LoggerSimulator::State::days, 0, 127, "a day mask from 0 to 127 (bit 0 Sunday)"},
    {"leak-status", &LoggerSimulator::State::leakStatus, 0, 255, "a byte"},
    {"battery", &LoggerSimulator::State::battery, 0, 255, "a byte"},
};
const ByteOption* byteOption(const QString& name)
{
    for (const ByteOption& o : kByteOptions)
        if (name == QLatin1String(o.name))
            return &o;
    return nullptr;
}
} // namespace

bool LoggerSimulator::setOption(const QString& name, const QString& value, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = name + QStringLiteral(": ") + why;
        return false;
    };
    bool ok = false;
    auto number = [&](qint64 lo, qint64 hi) {
        const qint64 v = value.trimmed().toLongLong(&ok, 0);
        ok = ok && v >= lo && v <= hi;
        return v;
    };
    auto list = [&](int count, qint64 hi, auto store) {
        const QStringList parts = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (parts.size() != count)
            return fail(QStringLiteral("needs %1 numbers separated by commas").arg(count));
        for (int i = 0; i < count; ++i) {
            const qint64 v = parts[i].trimmed().toLongLong(&ok, 0);
            if (!ok || v < 0 || v > hi)
                return fail(
                    QStringLiteral("'%1' is not a number from 0 to %2").arg(parts[i]).arg(hi));
            store(i, v);
        }
        return true;
    };
    if (name == QLatin1String("serial")) {
        const qint64 v = number(0, 0xFFFFFF);
        if (!ok)
            return fail(QStringLiteral("a number from 0 to 16777215"));
        state.serial = static_cast<quint32>(v);
    } else if (name == QLatin1String("firmware")) {
        const QStringList parts = value.split(QLatin1Char('.'));
        bool okMajor = false, okMinor = false;
        const int major = parts.value(0).toInt(&okMajor), minor = parts.value(1).toInt(&okMinor);
        if (parts.size() != 2 || !okMajor || !okMinor || major < 0 || major > 255 || minor < 0 ||
            minor > 255)
            return fail(QStringLiteral("major.minor, such as 1.02"));
        state.firmwareMajor = static_cast<quint8>(major);
        state.firmwareMinor = static_cast<quint8>(minor);
    } else if (name == QLatin1String("clock-offset")) {
        state.clockOffset = number(-2000000000LL, 2000000000LL);
        if (!ok)
            return fail(QStringLiteral("seconds"));
    } else if (name == QLatin1String("rates")) {
        // no-leak,leak in rate units, as the logger holds them
        return list(2, 255, [this](int i, qint64 v) {
            state.rateBlock[static_cast<size_t>(2 + i)] = quint8(v);
        });
    } else if (const ByteOption* option = byteOption(name)) {
        const qint64 v = number(option->lo, option->hi);
        if (!ok)
            return fail(QString::fromLatin1(option->help));
        state.*(option->field) = static_cast<quint8>(v);
    } else if (name == QLatin1String("last-reset")) {
        state.lastReset = static_cast<qint32>(number(INT32_MIN, INT32_MAX));
        if (!ok)
            return fail(QStringLiteral("logger-time seconds"));
    } else if (name == QLatin1String("histogram")) {
        return list(100, 65535, [this](int i, qint64 v) {
            state.histogram[static_cast<size_t>(i)] = qint32(v);
        });
    } else if (name == QLatin1String("history")) {
        return list(24, 255,
                    [this](int i, qint64 v) { state.history[static_cast<size_t>(i)] = quint8(v); });
    } else if (name == QLatin1String("noise")) {
        const double v = value.toDouble(&ok);
        if (!ok || v < 0 || v > 127.5)
            return fail(QStringLiteral("decibels from 0 to 127.5"));
        state.noise = v;
    } else if (name == QLatin1String("fault")) {
        if (!faultFromName(value.trimmed(), fault))
            return fail(QStringLiteral("one of none, mute, garbage, short, slow, hangup, badsum"));
    } else if (name == QLatin1String("slow-ms")) {
        slowMs = static_cast<int>(number(0, 600000));
        if (!ok)
            return fail(QStringLiteral("milliseconds"));
    } else {
        return fail(QStringLiteral("no such setting"));
    }
    return true;
}

bool LoggerSimulator::loadStateFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = path + QStringLiteral(": cannot be read");
        return false;
    }
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        QString why;
        if (eq < 0 || !setOption(line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), &why)) {
            if (error)
                *error = QStringLiteral("%1 line %2: %3")
                             .arg(path)
                             .arg(lineNumber)
                             .arg(eq < 0 ? QStringLiteral("name = value expected") : why);
            return false;
        }
    }
    return true;
}
