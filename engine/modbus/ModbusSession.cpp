#include "engine/modbus/ModbusSession.h"

#include "engine/modbus/ModbusFrames.h"
#include "engine/modbus/ModbusPdus.h"
#include "engine/modbus/SerialLines.h"

#include <QSerialPort>
#include <QTcpSocket>
#include <cmath>

namespace modbus {

namespace {

using Kind = ModbusSession::Answer::Kind;

// The silence that ends an RTU frame, 3.5 characters of 11 bits, rounded up to whole
// milliseconds; fixed above 19200 baud as the line's rules say.
int lineGapMs(int baudRate)
{
    const double ms = baudRate > 19200 ? 1.75 : 3.5 * 11 * 1000.0 / std::max(baudRate, 1);
    return int(std::ceil(ms));
}

QSerialPort::Parity parityOf(char parity)
{
    return parity == 'N'   ? QSerialPort::NoParity
           : parity == 'O' ? QSerialPort::OddParity
                           : QSerialPort::EvenParity;
}

} // namespace

ModbusSession::ModbusSession(ModbusSettings settings)
    : m_settings(std::move(settings)), m_requestTimeoutMs(std::max(m_settings.timeoutMs, 10))
{
    if (isRtu()) {
        m_serial = new QSerialPort(this);
        m_serial->setPortName(m_settings.serialPort);
        m_io = m_serial;
        connect(m_serial, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
            if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError && m_serial->isOpen())
                connectionBroke(m_serial->errorString());
        });
    } else {
        m_socket = new QTcpSocket(this);
        m_io = m_socket;
        connect(m_socket, &QTcpSocket::connected, this, &ModbusSession::connected);
        connect(m_socket, &QTcpSocket::errorOccurred, this,
                [this] { connectionBroke(m_socket->errorString()); });
        connect(m_socket, &QTcpSocket::disconnected, this,
                [this] { connectionBroke(m_socket->errorString()); });
    }
    connect(m_io, &QIODevice::readyRead, this, &ModbusSession::received);
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &ModbusSession::connectTimedOut);
    m_lineGap.setSingleShot(true);
    m_lineGap.setTimerType(Qt::PreciseTimer);
    connect(&m_lineGap, &QTimer::timeout, this, &ModbusSession::nextOnLine);
}

ModbusSession::~ModbusSession()
{
    // The answers still to come must no longer be handled.
    m_closing = true;
    dropConnection();
    serial_lines::forget(this);
}

void ModbusSession::close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_connectTimer.stop();
    m_lineGap.stop();
    m_waiting.clear();
    m_lineQueue.clear();
    serial_lines::forget(this);
    for (const Open& open : std::exchange(m_open, {}))
        killTimer(open.timer);
    // Not at once: this may run inside an answer that is still being handled.
    later([this] { dropConnection(); });
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
    m_requestTimeoutMs = std::max(ms, 10);
}

bool ModbusSession::isConnected() const
{
    // A serial line is opened when a request is to go out on it.
    return isRtu() || m_socket->state() == QAbstractSocket::ConnectedState;
}

void ModbusSession::send(Request request)
{
    if (m_closing) {
        const QString reason = QStringLiteral("The connection to %1 is closed.").arg(m_settings.place());
        later([done = std::move(request.done), reason] { done(Answer::failure(Kind::Failed, reason)); });
        return;
    }
    if (isConnected()) {
        issue(std::move(request));
        return;
    }
    m_waiting.append(std::move(request));
    if (!m_connecting)
        startConnecting();
}

void ModbusSession::startConnecting()
{
    m_connecting = true;
    m_connectTimer.start(m_settings.timeoutMs);
    m_socket->abort();
    m_received.clear();
    m_socket->connectToHost(m_settings.host, quint16(m_settings.port));
}

bool ModbusSession::openSerialLine()
{
    m_serial->setBaudRate(m_settings.baudRate);
    m_serial->setDataBits(QSerialPort::DataBits(m_settings.dataBits));
    m_serial->setParity(parityOf(m_settings.parity));
    m_serial->setStopBits(m_settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    m_serial->setFlowControl(QSerialPort::NoFlowControl);
    m_received.clear();
    if (!m_serial->open(QIODevice::ReadWrite))
        return false;
    // The line is given up while another session wants it; it counts as connected anew only
    // after a failure.
    if (!m_lineUp && m_onConnected)
        m_onConnected();
    m_lineUp = true;
    return true;
}

void ModbusSession::connected()
{
    if (m_closing)
        return;
    m_connecting = false;
    m_connectTimer.stop();
    m_expired.clear();
    if (m_onConnected)
        m_onConnected();
    for (Request& request : std::exchange(m_waiting, {}))
        issue(std::move(request));
}

void ModbusSession::connectionBroke(const QString& why)
{
    if (m_closing)
        return;
    if (m_connecting) {
        m_connecting = false;
        m_connectTimer.stop();
        failWaiting(Answer::failure(Kind::Failed, connectionFailure()));
        return;
    }
    if (!m_open.isEmpty() || !m_lineQueue.isEmpty())
        failOpen(Answer::failure(
            Kind::Failed, QStringLiteral("The connection to %1 failed: %2.").arg(m_settings.place(), why)));
    // Closed even when idle: a serial line that failed is opened anew for the next request.
    m_lineUp = false;
    dropConnection();
}

void ModbusSession::connectTimedOut()
{
    m_connecting = false;
    failWaiting(Answer::failure(
        Kind::Timeout,
        QStringLiteral("No answer from %1 within %2 ms.").arg(m_settings.place()).arg(m_settings.timeoutMs)));
    dropConnection();
}

void ModbusSession::failWaiting(const Answer& answer)
{
    for (const Request& request : std::exchange(m_waiting, {}))
        later([done = request.done, answer] { done(answer); });
}

void ModbusSession::failOpen(const Answer& answer)
{
    QList<Open> ended = std::exchange(m_open, {});
    ended += std::exchange(m_lineQueue, {});
    for (const Open& open : ended) {
        killTimer(open.timer);
        later([done = open.request.done, answer] { done(answer); });
    }
}

void ModbusSession::dropConnection()
{
    m_received.clear();
    if (m_socket) {
        const QSignalBlocker quiet(m_socket);
        m_socket->abort();
    }
    if (m_serial && m_serial->isOpen()) {
        const QSignalBlocker quiet(m_serial);
        m_serial->close();
        serial_lines::giveUp(m_settings.serialPort, this);
    }
}

QString ModbusSession::connectionFailure() const
{
    const QString place = m_settings.place();
    if (isRtu())
        return QStringLiteral("Cannot connect to %1: %2.").arg(place, m_serial->errorString());
    if (m_socket->error() == QAbstractSocket::ConnectionRefusedError)
        return QStringLiteral("Connection refused by %1.").arg(place);
    return QStringLiteral("Cannot connect to %1: %2.").arg(place, m_socket->errorString());
}

QString ModbusSession::unitAt(int unitId) const
{
    return QStringLiteral("Unit %1 at %2").arg(unitId).arg(m_settings.place());
}

void ModbusSession::issue(Request request)
{
    Open open;
    open.unitId = request.unitId < 0 ? m_settings.unit : request.unitId;
    open.pdu = request.pdu.isValid() ? request.pdu
               : request.write       ? writeRequest(request.unit)
                                     : readRequest(request.unit);
    open.request = std::move(request);
    if (!isRtu()) {
        // Id 0 is left out, so that a device answering with a cleared id is caught.
        m_lastTransaction = quint16(m_lastTransaction == 0xFFFF ? 1 : m_lastTransaction + 1);
        open.transaction = m_lastTransaction;
        transmit(std::move(open));
        return;
    }
    m_lineQueue.append(std::move(open));
    nextOnLine();
}

void ModbusSession::nextOnLine()
{
    if (m_closing || !m_open.isEmpty() || m_lineGap.isActive())
        return;
    if (m_lineQueue.isEmpty()) {
        // Another session on the line may use it meanwhile.
        if (serial_lines::wanted(m_settings.serialPort))
            dropConnection();
        return;
    }
    if (!m_serial->isOpen()) {
        if (!serial_lines::take(
                m_settings.serialPort, this, [this] { nextOnLine(); }, [this] { nextOnLine(); }))
            return;
        if (!openSerialLine()) {
            serial_lines::giveUp(m_settings.serialPort, this);
            m_lineUp = false;
            failOpen(Answer::failure(Kind::Failed, connectionFailure()));
            return;
        }
    }
    // What came while no request was open answers none.
    m_io->readAll();
    m_received.clear();
    transmit(m_lineQueue.takeFirst());
}

void ModbusSession::transmit(Open open)
{
    const QByteArray frame =
        isRtu() ? rtuFrame(open.unitId, open.pdu) : tcpFrame(open.transaction, open.unitId, open.pdu);
    if (m_io->write(frame) != frame.size()) {
        const QString reason =
            QStringLiteral("Cannot send a request to %1: %2.").arg(m_settings.place(), m_io->errorString());
        later([done = std::move(open.request.done), reason] { done(Answer::failure(Kind::Failed, reason)); });
        return;
    }
    open.timer = startTimer(m_requestTimeoutMs, Qt::PreciseTimer);
    m_open.append(std::move(open));
}

void ModbusSession::later(std::function<void()> function)
{
    QMetaObject::invokeMethod(this, std::move(function), Qt::QueuedConnection);
}

} // namespace modbus
