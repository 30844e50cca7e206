#pragma once

#include "engine/modbus/ModbusSettings.h"

#include <QList>
#include <QModbusDataUnit>
#include <QModbusPdu>
#include <QObject>
#include <QTimer>
#include <functional>

class QIODevice;
class QSerialPort;
class QTcpSocket;

// One connection to a Modbus device, a TCP connection or an open serial line (RTU), used
// without waiting on the thread that made it: a request starts at once (after connecting when
// needed) and its answer comes back through the event loop, never inside the call. Over TCP
// requests may overlap, the device's answers matched to them by their transaction ids; over a
// serial line they go one at a time, to any unit on it. Every request ends within its timeout:
// an answer of another unit, or one that is no answer at all, ends it with the reason. A
// connection that fails or drops is made again by the next request. Destroying the session
// drops the answers still to come.
namespace modbus {

struct FrameReading;

class ModbusSession final : public QObject
{
public:
    explicit ModbusSession(ModbusSettings settings);
    ~ModbusSession() override;
    Q_DISABLE_COPY_MOVE(ModbusSession)

    struct Answer
    {
        enum class Kind
        {
            // The device sent the values (a read) or confirmed them (a write).
            Done,
            // The device answered with an exception.
            Exception,
            // No answer within the timeout: to the connection or to the request.
            Timeout,
            // The connection could not be made or broke.
            Failed,
            // Bytes came that are no answer to the request: a frame of another unit or of no
            // request sent, a byte count or length that does not fit, or no frame at all.
            Garbage,
            // A serial frame whose checksum is wrong.
            CrcError
        };
        Kind kind = Kind::Failed;
        QModbusDataUnit unit;
        int exceptionCode = 0;
        // With Timeout, Failed, Garbage and CrcError: what went wrong, as the engine's messages
        // say it.
        QString reason;
        // With Done for a raw request: the device's answer as it came.
        QModbusResponse response;

        static Answer failure(Kind kind, QString reason)
        {
            Answer answer;
            answer.kind = kind;
            answer.reason = std::move(reason);
            return answer;
        }
    };
    using Done = std::function<void(const Answer&)>;

    // Drops the connection (from the event loop, so it may be called inside an answer) and every
    // answer still to come; later requests fail without being sent.
    void close();

    void read(const QModbusDataUnit& unit, Done done);
    void write(const QModbusDataUnit& unit, Done done);
    // The same, addressed to another unit than the settings' one (a unit id from 0 to 255).
    void read(const QModbusDataUnit& unit, Done done, int unitId);
    // Any request, as it stands, to a unit; the answer's PDU comes back in Answer::response.
    void raw(const QModbusRequest& request, int unitId, Done done);

    // The request timeout for requests sent from now on (the settings' timeout at first).
    void setRequestTimeout(int ms);
    // Runs each time a connection has been made, before the requests that waited for it go out.
    void setOnConnected(std::function<void()> onConnected) { m_onConnected = std::move(onConnected); }

    const ModbusSettings& settings() const { return m_settings; }

private:
    struct Request
    {
        QModbusDataUnit unit;
        bool write = false;
        Done done;
        int unitId = -1;
        // A raw request, sent as it stands, when it holds a function code.
        QModbusRequest pdu;
    };
    // A request sent (or, over a serial line, waiting for the line) and its timer.
    struct Open
    {
        Request request;
        int unitId = 0;
        QModbusRequest pdu;
        quint16 transaction = 0;
        int timer = 0;
    };

    bool isRtu() const { return m_settings.transport == Transport::Rtu; }
    bool isConnected() const;
    void send(Request request);
    void issue(Request request);
    void transmit(Open open);
    void nextOnLine();
    void startConnecting();
    bool openSerialLine();
    void connected();
    void connectionBroke(const QString& why);
    void connectTimedOut();
    void failWaiting(const Answer& answer);
    void failOpen(const Answer& answer);
    void received();
    // Handles the frame at the front of the bytes received: false when more must come first.
    bool takeFrame();
    Answer answerOf(const FrameReading& frame, const Open& open) const;
    // Ends the open request at the index with the answer and drops its timer.
    void settle(qsizetype index, const Answer& answer);
    void timerEvent(QTimerEvent* event) override;
    void timedOut(qsizetype index);
    void dropConnection();
    QString connectionFailure() const;
    QString unitAt(int unitId) const;
    // Runs the function from the event loop, unless the session is gone by then.
    void later(std::function<void()> function);

    ModbusSettings m_settings;
    QTcpSocket* m_socket = nullptr;
    QSerialPort* m_serial = nullptr;
    QIODevice* m_io = nullptr;
    int m_requestTimeoutMs = 0;
    QTimer m_connectTimer;
    // Over a serial line: the silence kept between the end of an answer and the next request.
    QTimer m_lineGap;
    bool m_connecting = false;
    // Whether the serial line was opened and has not failed since.
    bool m_lineUp = false;
    bool m_closing = false;
    QList<Request> m_waiting;
    QList<Open> m_open;
    QList<Open> m_lineQueue;
    QByteArray m_received;
    quint16 m_lastTransaction = 0;
    // Transaction ids of requests that timed out: their late answers are dropped.
    QList<quint16> m_expired;
    std::function<void()> m_onConnected;
};

} // namespace modbus
