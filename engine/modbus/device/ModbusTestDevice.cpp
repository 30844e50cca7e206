#include "engine/modbus/device/ModbusTestDevice.h"

#include "engine/EngineError.h"
#include "engine/modbus/ModbusFrames.h"
#include "engine/modbus/ModbusPdus.h"
#include "engine/modbus/RegisterValue.h"

#include <QFile>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace modbus {

namespace {

// Bytes that form no Modbus frame, over TCP (their protocol id is not 0) or RTU (no such
// function code).
const QByteArray kGarbage = "This is no Modbus frame.\r\n";
// A split answer goes in pieces of this many bytes, this far apart.
constexpr int kSplitPiece = 3;
constexpr int kSplitGapMs = 5;
// Bytes of an RTU request that stay incomplete this long are dropped: a new frame begins.
constexpr qint64 kSerialSilenceMs = 50;

QModbusDataUnit::RegisterType deviceTable(const QString& name)
{
    for (const auto table : {QModbusDataUnit::Coils, QModbusDataUnit::DiscreteInputs,
                             QModbusDataUnit::InputRegisters, QModbusDataUnit::HoldingRegisters}) {
        if (tableName(table).compare(name, Qt::CaseInsensitive) == 0)
            return table;
    }
    return QModbusDataUnit::Invalid;
}

void makeRaw(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
}

} // namespace

QList<AddressRange> parseAddressRanges(const QString& text)
{
    QList<AddressRange> ranges;
    for (const QString& piece : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = piece.trimmed().split(QLatin1Char(':'));
        const QStringList bounds = parts.value(1).split(QLatin1Char('-'));
        bool firstOk = false;
        bool lastOk = false;
        AddressRange range;
        range.table = deviceTable(parts.value(0));
        range.first = bounds.value(0).toUShort(&firstOk);
        range.last = bounds.size() == 2 ? bounds.value(1).toUShort(&lastOk) : range.first;
        if (parts.size() != 2 || range.table == QModbusDataUnit::Invalid || !firstOk ||
            (bounds.size() == 2 && !lastOk) || bounds.size() > 2 || range.last < range.first)
            throw EngineError(QStringLiteral("\"%1\" is not table:address or table:first-last.").arg(piece));
        ranges.append(range);
    }
    return ranges;
}

ModbusTestDevice::ModbusTestDevice(const RegisterMap& map, QList<AddressRange> absent, int unit)
    : m_map(map), m_memory(map, absent), m_unit(unit)
{
}

ModbusTestDevice::~ModbusTestDevice()
{
    disconnectDevice();
}

bool ModbusTestDevice::listen(int port)
{
    if (!m_server) {
        m_server = new QTcpServer(this);
        connect(m_server, &QTcpServer::newConnection, this, &ModbusTestDevice::accept);
    }
    if (m_server->listen(QHostAddress::LocalHost, quint16(port)))
        return true;
    m_error = m_server->errorString();
    return false;
}

int ModbusTestDevice::port() const
{
    return m_server ? m_server->serverPort() : 0;
}

void ModbusTestDevice::disconnectDevice()
{
    if (m_server) {
        m_server->close();
        for (QTcpSocket* socket : m_server->findChildren<QTcpSocket*>()) {
            const QSignalBlocker quiet(socket);
            socket->abort();
            socket->deleteLater();
        }
        m_received.clear();
    }
    closeSerial();
}

bool ModbusTestDevice::serves(const RegisterEntry& entry) const
{
    return !m_memory.absent(entry.table, entry.address, entry.address + entry.count - 1);
}

void ModbusTestDevice::setFaults(QList<AddressFault> faults, int clientTimeoutMs)
{
    m_faults = std::move(faults);
    m_clientTimeoutMs = clientTimeoutMs;
}

void ModbusTestDevice::startMoving()
{
    m_motion = std::make_unique<DeviceMotion>(m_map);
    for (const RegisterEntry& entry : m_map) {
        if (DeviceMotion::moves(entry.name))
            continue;
        const QVariant value = entry.type == ValueType::Bool      ? QVariant(entry.address % 2 == 1)
                               : entry.type == ValueType::Float32 ? QVariant(double(entry.address))
                                                                  : QVariant(qint64(entry.address));
        if (const std::optional<QList<quint16>> words = encodeValue(entry, value, nullptr))
            m_memory.setData(QModbusDataUnit(entry.table, entry.address, *words));
    }
}

QStringList ModbusTestDevice::movingNames() const
{
    return m_motion ? m_motion->movingNames() : QStringList();
}

void ModbusTestDevice::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        m_received.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { tcpReceived(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_received.remove(socket);
            socket->deleteLater();
        });
    }
}

void ModbusTestDevice::tcpReceived(QTcpSocket* socket)
{
    QByteArray bytes = m_received.take(socket) + socket->readAll();
    const QPointer<QTcpSocket> alive(socket);
    while (alive && alive->state() == QAbstractSocket::ConnectedState) {
        const FrameReading request = readTcpRequest(bytes);
        if (request.verdict == FrameReading::Verdict::NeedMore) {
            m_received.insert(socket, bytes);
            return;
        }
        if (request.verdict != FrameReading::Verdict::Complete) {
            // A server cannot find the next frame after bytes that form none.
            socket->abort();
            return;
        }
        bytes.remove(0, request.size);
        handle({alive, request.transaction, false, 0}, request.unit, request.function, request.data);
    }
}

bool ModbusTestDevice::openPseudoTerminal()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return serveSerial(master, slave, QString::fromLocal8Bit(name));
}

bool ModbusTestDevice::openSerial(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    makeRaw(fd);
    return serveSerial(fd, -1, path);
}

bool ModbusTestDevice::serveSerial(int fd, int keptOpen, const QString& path)
{
    closeSerial();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    m_serialFd = fd;
    m_keptOpenFd = keptOpen;
    m_serialPath = path;
    ++m_serialGeneration;
    m_serialNotifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_serialNotifier, &QSocketNotifier::activated, this, &ModbusTestDevice::serialReceived);
    m_sinceSerialByte.start();
    return true;
}

void ModbusTestDevice::closeSerial()
{
    if (m_serialFd < 0)
        return;
    delete m_serialNotifier;
    m_serialNotifier = nullptr;
    ::close(m_serialFd);
    if (m_keptOpenFd >= 0)
        ::close(m_keptOpenFd);
    m_serialFd = -1;
    m_keptOpenFd = -1;
    m_serialReceived.clear();
    ++m_serialGeneration;
}

void ModbusTestDevice::serialReceived()
{
    if (m_sinceSerialByte.elapsed() > kSerialSilenceMs)
        m_serialReceived.clear();
    char chunk[512];
    for (;;) {
        const ssize_t got = ::read(m_serialFd, chunk, sizeof chunk);
        if (got > 0) {
            m_serialReceived.append(chunk, got);
            continue;
        }
        if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && m_serialNotifier) {
            // The other side is gone (a pseudo-terminal without a client): look again later.
            m_serialNotifier->setEnabled(false);
            QTimer::singleShot(100, m_serialNotifier,
                               [notifier = m_serialNotifier] { notifier->setEnabled(true); });
        }
        break;
    }
    m_sinceSerialByte.start();
    const int generation = m_serialGeneration;
    while (!m_serialReceived.isEmpty() && generation == m_serialGeneration) {
        const FrameReading request = readRtuRequest(m_serialReceived);
        if (request.verdict == FrameReading::Verdict::NeedMore)
            return;
        if (request.verdict == FrameReading::Verdict::Garbage) {
            m_serialReceived.clear();
            return;
        }
        m_serialReceived.remove(0, request.size);
        // A frame with a wrong checksum goes unanswered, as on a real line.
        if (request.verdict == FrameReading::Verdict::Complete)
            handle({nullptr, 0, true, m_serialGeneration}, request.unit, request.function, request.data);
    }
}

const AddressFault* ModbusTestDevice::faultFor(quint8 function, const QByteArray& data) const
{
    const RequestSpan span = spanOf(function, data);
    for (const AddressFault& fault : m_faults) {
        if (fault.table == span.table && fault.address >= span.first &&
            fault.address < span.first + span.count)
            return &fault;
    }
    return nullptr;
}

QByteArray ModbusTestDevice::frame(const Link& link, int unit, quint8 function, const QByteArray& data) const
{
    return link.serial ? rtuFrame(unit, function, data) : tcpFrame(link.transaction, unit, function, data);
}

void ModbusTestDevice::handle(const Link& link, int unit, quint8 function, const QByteArray& data)
{
    if (unit != m_unit)
        return;
    ++m_requests;
    // The last few are enough to tell how a value was written.
    if (m_functionCodes.size() == 64)
        m_functionCodes.removeFirst();
    m_functionCodes.append(int(function));
    auto [answerFunction, answer] = m_memory.answer(function, data, m_motion.get());
    const AddressFault* fault = faultFor(function, data);
    if (!fault) {
        sendNow(link, frame(link, m_unit, answerFunction, answer));
        return;
    }
    if (const int code = exceptionOf(fault->fault)) {
        sendNow(link, frame(link, m_unit, quint8(function | kExceptionBit), QByteArray(1, char(code))));
        return;
    }
    QByteArray bytes = frame(link, m_unit, answerFunction, answer);
    switch (fault->fault) {
    case DeviceFault::Late:
        sendLater(link, bytes, 2 * m_clientTimeoutMs);
        return;
    case DeviceFault::Drop:
        if (link.socket)
            link.socket->abort();
        return;
    case DeviceFault::WrongTransaction: {
        Link other = link;
        other.transaction = quint16(link.transaction ^ 0x4000);
        sendNow(link, frame(other, m_unit, answerFunction, answer));
        return;
    }
    case DeviceFault::WrongUnit:
        sendNow(link, frame(link, (m_unit + 1) % 256, answerFunction, answer));
        return;
    case DeviceFault::BadByteCount:
        // One register (or eight bits) more than asked for, byte count and bytes alike.
        if (!(answerFunction & kExceptionBit) && function <= QModbusPdu::ReadInputRegisters) {
            answer[0] = char(quint8(answer.at(0)) + 2);
            answer.append(2, '\0');
            bytes = frame(link, m_unit, answerFunction, answer);
        }
        break;
    case DeviceFault::Garbage:
        bytes = kGarbage;
        break;
    case DeviceFault::HalfFrame:
        // Over TCP at least the header, so that the frame's length is known.
        bytes.truncate(std::max<qsizetype>(bytes.size() / 2, link.serial ? 3 : 8));
        break;
    case DeviceFault::BadCrc:
        if (link.serial)
            bytes[bytes.size() - 1] = char(bytes.at(bytes.size() - 1) ^ 0x5A);
        break;
    case DeviceFault::SplitFrame:
        for (qsizetype at = 0; at < bytes.size(); at += kSplitPiece)
            sendLater(link, bytes.mid(at, kSplitPiece), int(at / kSplitPiece) * kSplitGapMs);
        return;
    default:
        break;
    }
    sendNow(link, bytes);
}

void ModbusTestDevice::sendNow(const Link& link, const QByteArray& bytes)
{
    if (!link.serial) {
        if (link.socket)
            link.socket->write(bytes);
        return;
    }
    if (link.generation == m_serialGeneration && m_serialFd >= 0 &&
        ::write(m_serialFd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        m_error = QString::fromLocal8Bit(std::strerror(errno));
}

void ModbusTestDevice::sendLater(const Link& link, const QByteArray& bytes, int ms)
{
    QTimer::singleShot(ms, Qt::PreciseTimer, this, [this, link, bytes] { sendNow(link, bytes); });
}

} // namespace modbus
