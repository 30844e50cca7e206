#include "engine/modbus/ModbusSession.h"

#include <QModbusReply>
#include <QModbusTcpClient>
#include <QTcpSocket>

namespace modbus {

namespace {

// The exception code of an answer the client reported as a protocol error. Qt keeps such an
// answer's function code as a value outside its own enumeration, so it is not asked for it
// (exceptionCode() reads it): the code is the answer's one byte of data.
int exceptionCodeOf(const QModbusResponse& answer)
{
    const QByteArray data = answer.data();
    return data.isEmpty() ? int(QModbusPdu::ExtendedException) : int(quint8(data.at(0)));
}

} // namespace

ModbusSession::ModbusSession(ModbusSettings settings)
    : m_settings(std::move(settings)), m_client(new QModbusTcpClient(this))
{
    m_client->setConnectionParameter(QModbusDevice::NetworkAddressParameter, m_settings.host);
    m_client->setConnectionParameter(QModbusDevice::NetworkPortParameter, m_settings.port);
    // One try per request, so a request never outlasts its timeout.
    m_client->setNumberOfRetries(0);
    m_client->setTimeout(m_settings.timeoutMs);
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &ModbusSession::connectTimedOut);
    connect(m_client, &QModbusDevice::stateChanged, this, &ModbusSession::stateChanged);
}

ModbusSession::~ModbusSession()
{
    // Closing finishes the replies still open; their answers must no longer be handled.
    m_closing = true;
    m_client->disconnectDevice();
}

void ModbusSession::close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_connectTimer.stop();
    m_waiting.clear();
    // Not at once: this may run inside an answer that the client is still handling.
    QMetaObject::invokeMethod(m_client, &QModbusDevice::disconnectDevice, Qt::QueuedConnection);
}

void ModbusSession::read(const QModbusDataUnit& unit, Done done)
{
    send({unit, false, std::move(done), -1, {}});
}

void ModbusSession::write(const QModbusDataUnit& unit, Done done)
{
    send({unit, true, std::move(done), -1, {}});
}

void ModbusSession::read(const QModbusDataUnit& unit, Done done, int unitId)
{
    send({unit, false, std::move(done), unitId, {}});
}

void ModbusSession::raw(const QModbusRequest& request, int unitId, Done done)
{
    send({{}, false, std::move(done), unitId, request});
}

void ModbusSession::setRequestTimeout(int ms)
{
    m_client->setTimeout(std::max(ms, 10));
}

void ModbusSession::send(Request request)
{
    if (m_closing) {
        const QString reason = QStringLiteral("The connection to %1 is closed.").arg(m_settings.place());
        later([done = std::move(request.done), reason] {
            done(Answer::failure(Answer::Kind::Failed, reason));
        });
        return;
    }
    if (m_client->state() == QModbusDevice::ConnectedState) {
        issue(std::move(request));
        return;
    }
    m_waiting.append(std::move(request));
    if (m_client->state() == QModbusDevice::UnconnectedState && !m_connecting)
        startConnecting();
    // Otherwise the connection is on its way, or closing and made again once closed.
}

void ModbusSession::startConnecting()
{
    m_connecting = true;
    m_connectTimer.start(m_settings.timeoutMs);
    // A failure may already have been reported through the state while connecting began.
    if (!m_client->connectDevice() && m_connecting) {
        m_connecting = false;
        m_connectTimer.stop();
        failWaiting(Answer::failure(Answer::Kind::Failed, connectionFailure()));
    }
}

void ModbusSession::stateChanged()
{
    if (m_closing)
        return;
    switch (m_client->state()) {
    case QModbusDevice::ConnectedState: {
        m_connecting = false;
        m_connectTimer.stop();
        if (m_onConnected)
            m_onConnected();
        const QList<Request> waiting = std::exchange(m_waiting, {});
        for (const Request& request : waiting)
            issue(request);
        break;
    }
    case QModbusDevice::UnconnectedState:
        if (m_connecting) {
            m_connecting = false;
            m_connectTimer.stop();
            failWaiting(Answer::failure(Answer::Kind::Failed, connectionFailure()));
        } else if (!m_waiting.isEmpty()) {
            // The connection closed while requests waited for a new one.
            startConnecting();
        }
        break;
    case QModbusDevice::ConnectingState:
    case QModbusDevice::ClosingState:
        break;
    }
}

void ModbusSession::connectTimedOut()
{
    m_connecting = false;
    // The waiting requests fail first, so that the closing does not connect again for them.
    failWaiting(Answer::failure(
        Answer::Kind::Timeout,
        QStringLiteral("No answer from %1 within %2 ms.").arg(m_settings.place()).arg(m_settings.timeoutMs)));
    m_client->disconnectDevice();
}

void ModbusSession::failWaiting(const Answer& answer)
{
    const QList<Request> waiting = std::exchange(m_waiting, {});
    for (const Request& request : waiting)
        later([done = request.done, answer] { done(answer); });
}

QString ModbusSession::connectionFailure() const
{
    const auto* socket = m_client->findChild<QTcpSocket*>();
    const QString place = m_settings.place();
    if (socket && socket->error() == QAbstractSocket::ConnectionRefusedError)
        return QStringLiteral("Connection refused by %1.").arg(place);
    const QString reason = socket && socket->error() != QAbstractSocket::UnknownSocketError
                               ? socket->errorString()
                               : m_client->errorString();
    return QStringLiteral("Cannot connect to %1: %2.").arg(place, reason);
}

void ModbusSession::issue(Request request)
{
    const int unitId = request.unitId < 0 ? m_settings.unit : request.unitId;
    QModbusReply* reply = request.pdu.isValid() ? m_client->sendRawRequest(request.pdu, unitId)
                          : request.write       ? m_client->sendWriteRequest(request.unit, unitId)
                                                : m_client->sendReadRequest(request.unit, unitId);
    if (!reply) {
        const QString reason = QStringLiteral("Cannot send a request to %1: %2.")
                                   .arg(m_settings.place(), m_client->errorString());
        later([done = std::move(request.done), reason] {
            done(Answer::failure(Answer::Kind::Failed, reason));
        });
        return;
    }
    if (reply->isFinished()) {
        later([this, reply, done = std::move(request.done)] { finished(reply, done); });
        return;
    }
    connect(reply, &QModbusReply::finished, this,
            [this, reply, done = std::move(request.done)] { finished(reply, done); });
}

void ModbusSession::finished(QModbusReply* reply, const Done& done)
{
    reply->deleteLater();
    if (m_closing)
        return;
    Answer answer;
    const bool timedOut = reply->error() == QModbusDevice::TimeoutError;
    switch (reply->error()) {
    case QModbusDevice::NoError:
        answer.kind = Answer::Kind::Done;
        answer.unit = reply->result();
        answer.response = reply->rawResult();
        break;
    case QModbusDevice::ProtocolError:
        answer.kind = Answer::Kind::Exception;
        answer.exceptionCode = exceptionCodeOf(reply->rawResult());
        break;
    case QModbusDevice::TimeoutError:
        answer = Answer::failure(Answer::Kind::Timeout,
                                 QStringLiteral("Unit %1 does not answer: no reply from %2 within %3 ms.")
                                     .arg(m_settings.unit)
                                     .arg(m_settings.place())
                                     .arg(m_settings.timeoutMs));
        break;
    default:
        answer = Answer::failure(
            Answer::Kind::Failed,
            QStringLiteral("The connection to %1 failed: %2.").arg(m_settings.place(), reply->errorString()));
        break;
    }
    done(answer);
    // A late answer must not be taken for a later request's: the next request connects anew.
    // Closing here after the answer was handled, as it aborts the other requests still open.
    if (timedOut && !m_closing)
        m_client->disconnectDevice();
}

void ModbusSession::later(std::function<void()> function)
{
    QMetaObject::invokeMethod(this, std::move(function), Qt::QueuedConnection);
}

} // namespace modbus
