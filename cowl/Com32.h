#pragma once
// The serial link to the Cowl: the six operations the logger messages are
// built on (see PROTOCOL.md), over a real serial port. Driven by the event
// loop: a transfer progresses while the caller polls GET_STATUS and lets
// events run.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QSerialPort;

class Com32 : public QObject
{
    Q_OBJECT
public:
    enum Status : int { Busy = 2, Closed = 4, Failed = 8 };
    enum OpenResult : int { Opened = 0, BadPort = 1, CannotOpen = 2 };

    Com32();
    ~Com32() override;

    // 0 when the port is open.
    int COMM_OPEN(int port, int baud);
    // The same for a serial device named directly ("/dev/ttyUSB0", "COM7").
    int COMM_OPEN_DEVICE(const QString& device, int baud);
    // The same on a port already open and set up, which the link takes
    // over: the seam through which the fuzzer plays a logger.
    int COMM_OPEN_PORT(std::unique_ptr<QSerialPort> port);
    void COMM_CLOSE();
    void QUORVANE_ATTENTION();
    int GET_STATUS() const;
    // -1 when the frame is not accepted (port closed, a transfer running, bad length).
    int PUT_MESSAGE(const quint8* frame, int length);
    // >0: a whole reply of that many bytes was copied; 0: a reply is still
    // coming; <0: none will come (failed, closed, or the reply was empty).
    int GET_MESSAGE(quint8* buffer, int capacity);

    // The serial device that COM1..COM4 stand for.
    static QString deviceForPort(int port);
    // The wire format (PROTOCOL.md), shared with the logger simulator.
    static constexpr quint8 kRequestStart = 0xA5;
    static constexpr quint8 kReplyStart = 0x5A;
    static constexpr quint8 kAttention = 0x55;
    // start, length, payload, and the checksum that makes them add up to 0.
    static QByteArray Frame(quint8 start, const QByteArray& payload);

    // How long a byte takes on the line at 2,400 baud, in milliseconds.
    static constexpr double kByteMs = 10.0 * 1000.0 / 2400.0;

    // The time limits of a transfer (PROTOCOL.md), read from the group Com32
    // of the settings store each time a port opens: FirstByteMs, how long
    // the reply's start byte may take after the request has gone out (for
    // the logger to act on it: a histogram takes a real Cowl a while); and
    // FrameMarginMs, what the rest of the reply may take beyond twice its
    // time on the line. A missing or unusable value takes the default.
    struct Limits
    {
        int firstByteMs = 1500;
        int frameMarginMs = 200;
    };
    static Limits configuredLimits();
    const Limits& limits() const { return m_limits; }

private:
    enum class Phase { Idle, AwaitStart, AwaitLength, AwaitPayload };

    void onReadyRead();
    void onError(int error);
    void fail();
    void finish();
    void armDeadline(double milliseconds);

    std::unique_ptr<QSerialPort> m_port;
    Limits m_limits;
    QTimer m_deadline;
    Phase m_phase = Phase::Idle;
    bool m_busy = false;
    bool m_failed = false;
    bool m_replyWaiting = false;
    int m_expected = 0;   // payload bytes of the frame being received
    int m_sum = 0;        // running checksum of the frame
    QByteArray m_payload; // the frame being received
    QByteArray m_reply;   // the last complete reply
};
