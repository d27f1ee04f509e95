#include "Com32.h"

#include "SettingsStore.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QThread>
#include <QtGlobal>
#include <cmath>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

namespace {
constexpr int kAttentionBytes = 8;
constexpr int kLongestLimitMs = 60000; // no setting makes a wait longer than this

int limitSetting(const char* key, int fallback)
{
    bool ok = false;
    const double v = SettingsStore::otherGroupText(QStringLiteral("Com32"), QLatin1String(key))
                         .trimmed()
                         .toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 1)
        return fallback;
    return static_cast<int>(std::min<double>(v, kLongestLimitMs));
}
} // namespace

Com32::Limits Com32::configuredLimits()
{
    const Limits defaults;
    Limits l;
    l.firstByteMs = limitSetting("FirstByteMs", defaults.firstByteMs);
    l.frameMarginMs = limitSetting("FrameMarginMs", defaults.frameMarginMs);
    return l;
}

Com32::Com32()
{
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_busy && !m_failed)
            fail();
    });
}

Com32::~Com32()
{
    m_deadline.stop();
    if (m_port)
        m_port->close(); // the port goes with this object
}

QString Com32::deviceForPort(int port)
{
    const QString name = QStringLiteral("COM%1").arg(port);
    const QByteArray fromEnvironment = qgetenv("QUORVANE_" + name.toLatin1());
    if (!fromEnvironment.isEmpty())
        return QString::fromLocal8Bit(fromEnvironment);
    const QString configured = SettingsStore::otherGroupText(QStringLiteral("Com32"), name);
    if (!configured.isEmpty())
        return configured;
#if defined(Q_OS_WIN)
    return name;
#else
    const QString usb = QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
    if (QFileInfo::exists(usb))
        return usb;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

QByteArray Com32::Frame(quint8 start, const QByteArray& payload)
{
    QByteArray frame;
    frame.append(char(start));
    frame.append(char(payload.size()));
    int sum = static_cast<int>(payload.size());
    for (const char c : payload)
        sum += static_cast<quint8>(c);
    frame.append(payload);
    frame.append(char((256 - (sum & 0xFF)) & 0xFF));
    return frame;
}

int Com32::COMM_OPEN(int port, int baud)
{
    COMM_CLOSE();
    if (port < 1 || port > 4)
        return BadPort;
    return COMM_OPEN_DEVICE(deviceForPort(port), baud);
}

int Com32::COMM_OPEN_DEVICE(const QString& device, int baud)
{
    COMM_CLOSE();
    if (device.isEmpty())
        return BadPort;
    auto serial = std::make_unique<QSerialPort>();
    serial->setPortName(device);
    if (!serial->open(QIODevice::ReadWrite))
        return CannotOpen;
    if (!serial->setBaudRate(baud) || !serial->setDataBits(QSerialPort::Data8) ||
        !serial->setParity(QSerialPort::NoParity) || !serial->setStopBits(QSerialPort::OneStop) ||
        !serial->setFlowControl(QSerialPort::NoFlowControl)) {
        serial->close();
        return CannotOpen;
    }
    return COMM_OPEN_PORT(std::move(serial));
}

int Com32::COMM_OPEN_PORT(std::unique_ptr<QSerialPort> port)
{
    COMM_CLOSE();
    if (!port || !port->isOpen())
        return CannotOpen;
    m_limits = configuredLimits();
    m_port = std::move(port);
    connect(m_port.get(), &QSerialPort::readyRead, this, &Com32::onReadyRead);
    connect(m_port.get(), &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { onError(e); });
    return Opened;
}

void Com32::COMM_CLOSE()
{
    m_deadline.stop();
    if (m_port) {
        m_port->disconnect(this);
        m_port->close();
        // Later: this may run inside one of the port's own signals.
        m_port.release()->deleteLater();
    }
    m_phase = Phase::Idle;
    m_busy = m_failed = m_replyWaiting = false;
}

void Com32::QUORVANE_ATTENTION()
{
    if (!m_port || !m_port->isOpen())
        return;
    const QByteArray wake(kAttentionBytes, char(kAttention));
    m_port->write(wake);
    // The bytes must have left the port before it is closed again: handed
    // to the driver, then sent on the wire (without flow control a UART
    // sends them in their time on the line, so the drain ends).
    const double onTheLine = kAttentionBytes * kByteMs;
    m_port->waitForBytesWritten(static_cast<int>(onTheLine * 2 + m_limits.frameMarginMs));
#ifdef Q_OS_UNIX
    tcdrain(m_port->handle());
#else
    QThread::msleep(static_cast<unsigned long>(std::ceil(onTheLine)) + 5);
#endif
}

int Com32::GET_STATUS() const
{
    int status = 0;
    if (!m_port || !m_port->isOpen())
        status |= Closed;
    if (m_busy)
        status |= Busy;
    if (m_failed)
        status |= Failed;
    return status;
}

int Com32::PUT_MESSAGE(const quint8* frame, int length)
{
    if (!m_port || !m_port->isOpen() || m_busy || length < 1 || length > 5 || !frame)
        return -1;
    const QByteArray out =
        Frame(kRequestStart, QByteArray(reinterpret_cast<const char*>(frame), length));
    m_port->readAll(); // whatever came before belongs to no request
    m_replyWaiting = false;
    m_reply.clear();
    if (m_port->write(out) != out.size())
        return -1;
    m_busy = true;
    m_failed = false;
    m_phase = Phase::AwaitStart;
    armDeadline(out.size() * kByteMs + m_limits.firstByteMs);
    return length;
}

int Com32::GET_MESSAGE(quint8* buffer, int capacity)
{
    if (m_replyWaiting) {
        m_replyWaiting = false;
        const int n = static_cast<int>(std::min<qsizetype>(m_reply.size(), std::max(capacity, 0)));
        if (n <= 0 || !buffer)
            return -1; // an empty reply: nothing more will come
        std::memcpy(buffer, m_reply.constData(), static_cast<size_t>(n));
        return n;
    }
    return (m_busy && !m_failed) ? 0 : -1;
}

void Com32::armDeadline(double milliseconds)
{
    m_deadline.start(static_cast<int>(milliseconds + 1));
}

void Com32::onReadyRead()
{
    const QByteArray data = m_port->readAll();
    for (const char c : data) {
        const quint8 b = static_cast<quint8>(c);
        switch (m_phase) {
        case Phase::Idle:
            break; // no transfer: stray bytes
        case Phase::AwaitStart:
            if (b == kReplyStart) {
                m_phase = Phase::AwaitLength;
                armDeadline(2 * kByteMs + m_limits.frameMarginMs); // the length byte follows
            }
            break;
        case Phase::AwaitLength:
            m_expected = b;
            m_sum = b;
            m_payload.clear();
            m_phase = Phase::AwaitPayload;
            armDeadline((m_expected + 1) * kByteMs * 2 + m_limits.frameMarginMs);
            break;
        case Phase::AwaitPayload:
            m_sum += b;
            if (m_payload.size() < m_expected) {
                m_payload.append(c);
            } else if ((m_sum & 0xFF) == 0) {
                finish();
            } else {
                fail(); // a wrong checksum
            }
            break;
        }
    }
}

void Com32::onError(int error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError: {
        // The device has gone (an unplugged adapter): the transfer fails and
        // the port is closed, or it would keep reporting the error.
        const bool wasBusy = m_busy;
        COMM_CLOSE();
        m_busy = m_failed = wasBusy;
        break;
    }
    default:
        break;
    }
}

void Com32::finish()
{
    m_deadline.stop();
    m_reply = m_payload;
    m_replyWaiting = true;
    m_busy = false;
    m_phase = Phase::Idle;
}

void Com32::fail()
{
    m_deadline.stop();
    m_failed = true; // busy stays set: the pair marks a failed transfer
    m_phase = Phase::Idle;
}
