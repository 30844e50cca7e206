#pragma once

#include "engine/modbus/ModbusSettings.h"

#include <QList>
#include <QModbusDataUnit>
#include <QModbusPdu>
#include <QObject>
#include <QTimer>
#include <functional>

class QModbusReply;
class QModbusTcpClient;

// One TCP connection to a Modbus device, used without waiting on the thread that made it: a
// request starts at once (after connecting when needed) and its answer comes back through the
// event loop, never inside the call. Requests may overlap; the device's answers are matched to
// them by their transaction ids. A connection that fails or drops is made again by the next
// request. Destroying the session drops the answers still to come.
namespace modbus {

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

    void send(Request request);
    void issue(Request request);
    void startConnecting();
    void stateChanged();
    void connectTimedOut();
    void failWaiting(const Answer& answer);
    void finished(QModbusReply* reply, const Done& done);
    QString connectionFailure() const;
    // Runs the function from the event loop, unless the session is gone by then.
    void later(std::function<void()> function);

    ModbusSettings m_settings;
    QModbusTcpClient* m_client = nullptr;
    QTimer m_connectTimer;
    bool m_connecting = false;
    bool m_closing = false;
    QList<Request> m_waiting;
    std::function<void()> m_onConnected;
};

} // namespace modbus
