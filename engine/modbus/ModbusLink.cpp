#include "engine/modbus/ModbusLink.h"

#include "engine/EngineError.h"

#include <QEventLoop>
#include <QModbusReply>
#include <QModbusTcpClient>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace modbus {

namespace {

// How long past the deadline the local loop waits for the client's own timeout to report.
constexpr int kGraceMs = 1000;

// Runs a local event loop until done() holds or the deadline passes; wakeUp connects the
// signals after which done() is worth asking again. Returns done().
bool waitUntil(const std::function<bool()>& done, QDeadlineTimer deadline,
               const std::function<void(QEventLoop&)>& wakeUp)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    wakeUp(loop);
    while (!done() && !deadline.hasExpired()) {
        timer.start(int(std::clamp<qint64>(deadline.remainingTime(), 1, INT_MAX)));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return done();
}

// The exception code of an answer the client reported as a protocol error. Qt keeps such an
// answer's function code as a value outside its own enumeration, so it is not asked for it
// (exceptionCode() reads it): the code is the answer's one byte of data.
QModbusPdu::ExceptionCode exceptionCodeOf(const QModbusResponse& answer)
{
    const QByteArray data = answer.data();
    return data.isEmpty() ? QModbusPdu::ExtendedException : QModbusPdu::ExceptionCode(quint8(data.at(0)));
}

QString rangeText(const ReadBlock& block)
{
    return block.count == 1 ? QStringLiteral("%1 %2").arg(tableName(block.table)).arg(block.start)
                            : QStringLiteral("%1 %2-%3")
                                  .arg(tableName(block.table))
                                  .arg(block.start)
                                  .arg(block.start + block.count - 1);
}

} // namespace

ModbusLink::ModbusLink(ModbusSettings settings)
    : m_settings(std::move(settings)), m_client(std::make_unique<QModbusTcpClient>())
{
    m_client->setConnectionParameter(QModbusDevice::NetworkAddressParameter, m_settings.host);
    m_client->setConnectionParameter(QModbusDevice::NetworkPortParameter, m_settings.port);
    // One try per request, so a read never outlasts its timeout.
    m_client->setNumberOfRetries(0);
}

ModbusLink::~ModbusLink()
{
    m_client->disconnectDevice();
}

void ModbusLink::open(QDeadlineTimer deadline)
{
    QModbusTcpClient& client = *m_client;
    if (client.state() == QModbusDevice::ConnectedState)
        return;
    const auto wakeOnState = [&client](QEventLoop& loop) {
        QObject::connect(&client, &QModbusDevice::stateChanged, &loop, &QEventLoop::quit);
    };
    if (client.state() != QModbusDevice::UnconnectedState) {
        // A connection that broke or is still closing is first closed for good.
        client.disconnectDevice();
        waitUntil([&client] { return client.state() == QModbusDevice::UnconnectedState; }, deadline,
                  wakeOnState);
    }
    if (!client.connectDevice())
        connectionFailed();
    const bool settled = waitUntil([&client] { return client.state() != QModbusDevice::ConnectingState; },
                                   deadline, wakeOnState);
    if (client.state() == QModbusDevice::ConnectedState)
        return;
    if (!settled) {
        client.disconnectDevice();
        throw EngineError(QStringLiteral("No answer from %1 within %2 ms.")
                              .arg(m_settings.place())
                              .arg(m_settings.timeoutMs));
    }
    connectionFailed();
}

void ModbusLink::connectionFailed()
{
    const auto* socket = m_client->findChild<QTcpSocket*>();
    const QString place = m_settings.place();
    if (socket && socket->error() == QAbstractSocket::ConnectionRefusedError)
        throw EngineError(QStringLiteral("Connection refused by %1.").arg(place));
    const QString reason = socket && socket->error() != QAbstractSocket::UnknownSocketError
                               ? socket->errorString()
                               : m_client->errorString();
    throw EngineError(QStringLiteral("Cannot connect to %1: %2.").arg(place, reason));
}

ModbusLink::Answer ModbusLink::read(const ReadBlock& block, QDeadlineTimer deadline)
{
    open(deadline);
    m_client->setTimeout(int(std::clamp<qint64>(deadline.remainingTime(), 10, INT_MAX)));
    const std::unique_ptr<QModbusReply> reply(
        m_client->sendReadRequest(QModbusDataUnit(block.table, block.start, block.count), m_settings.unit));
    if (!reply)
        throw EngineError(QStringLiteral("Cannot send a request to %1: %2.")
                              .arg(m_settings.place(), m_client->errorString()));
    QModbusReply& r = *reply;
    const QDeadlineTimer guard(std::max<qint64>(deadline.remainingTime(), 0) + kGraceMs);
    waitUntil(
        [&r] { return r.isFinished(); }, guard,
        [&r](QEventLoop& loop) { QObject::connect(&r, &QModbusReply::finished, &loop, &QEventLoop::quit); });
    const QString unit = QStringLiteral("Unit %1 does not answer: ").arg(m_settings.unit);
    if (!r.isFinished() || r.error() == QModbusDevice::TimeoutError) {
        // Drop the connection so a late answer cannot be taken for the next request's.
        m_client->disconnectDevice();
        throw EngineError(unit + QStringLiteral("no reply from %1 within %2 ms.")
                                     .arg(m_settings.place())
                                     .arg(m_settings.timeoutMs));
    }
    switch (r.error()) {
    case QModbusDevice::NoError:
        return Answer::Values;
    case QModbusDevice::ProtocolError:
        break;
    default:
        throw EngineError(
            QStringLiteral("The connection to %1 failed: %2.").arg(m_settings.place(), r.errorString()));
    }
    const QModbusPdu::ExceptionCode code = exceptionCodeOf(r.rawResult());
    switch (code) {
    case QModbusPdu::IllegalDataAddress:
    case QModbusPdu::IllegalFunction:
        return Answer::Rejected;
    case QModbusPdu::GatewayPathUnavailable:
    case QModbusPdu::GatewayTargetDeviceFailedToRespond:
        throw EngineError(
            unit +
            QStringLiteral("the gateway %1 reports exception %2.").arg(m_settings.place()).arg(int(code)));
    default:
        throw EngineError(QStringLiteral("Unit %1 at %2 refuses to read %3: exception %4.")
                              .arg(m_settings.unit)
                              .arg(m_settings.place(), rangeText(block))
                              .arg(int(code)));
    }
}

} // namespace modbus
