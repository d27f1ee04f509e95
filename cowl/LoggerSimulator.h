#pragma once
// A logger behind a Cowl, for tests and demonstrations: it answers the
// logger commands over a pseudo-terminal (or a serial device) from a state
// that can be set, and can be told to misbehave.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class QSerialPort;
class QSocketNotifier;

class LoggerSimulator : public QObject
{
    Q_OBJECT
public:
    struct State
    {
        quint32 serial = 3123456; // 24 bits
        quint8 firmwareMajor = 1, firmwareMinor = 2;
        qint64 clockOffset = 0; // logger clock minus the PC's, seconds
        std::array<quint8, 4> rateBlock{{0x10, 0x20, 12, 6}}; // [2] no-leak units, [3] leak units
        quint8 multiplier = 5;                                // seconds per rate unit
        quint8 days = 0x3E;                                   // Monday to Friday
        quint8 leakStatus = 0;
        quint8 battery = 200;
        qint32 lastReset = 1700000000; // logger-time seconds
        std::array<qint32, 100> histogram{};
        std::array<quint8, 24> history{}; // the command-7 reply's first 24 bytes
        double noise = 21.0;              // live level in dB; wanders as it is read
    };
    enum class Fault { None, Mute, Garbage, Short, Slow, HangUp, BadChecksum };

    LoggerSimulator();
    ~LoggerSimulator() override;

    State state;
    Fault fault = Fault::None;
    int faultCommand = -1; // the fault hits only requests of this command; -1: every request
    int slowMs = 2000;     // how late a slow reply starts

    // Opens a pseudo-terminal pair and returns the path of the end the
    // program opens (Unix only; empty on failure).
    QString openPseudoTerminal();
    // Answers on an existing serial device instead.
    bool openDevice(const QString& device);
    void close();

    bool awake() const { return m_awake; }
    int requestsAnswered() const { return m_answered; }
    // Options as the command line and the state file give them (serial,
    // firmware, clock-offset, rates, multiplier, days, leak-status, battery,
    // last-reset, histogram, history, noise, fault, slow-ms); false with a
    // reason when the value does not fit.
    bool setOption(const QString& name, const QString& value, QString* error = nullptr);
    bool loadStateFile(const QString& path, QString* error = nullptr);
    static bool faultFromName(const QString& name, Fault& fault);

private:
    void received(const QByteArray& bytes);
    void handle(const QByteArray& payload);
    QByteArray answer(const QByteArray& payload);
    void send(const QByteArray& payload);
    void write(const QByteArray& bytes);
    void hangUp();

    enum class Phase { Start, Length, Payload };
    Phase m_phase = Phase::Start;
    int m_length = 0;
    int m_sum = 0;
    QByteArray m_payload;
    bool m_awake = false;
    int m_answered = 0;
    quint32 m_random = 12345;

    int m_master = -1;
    int m_slaveKeeper = -1; // keeps the pair alive while the program reopens its end
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<QSerialPort> m_device;
};
