#include "engine/modbus/scan/DeviceScan.h"

#include "engine/EngineError.h"
#include "engine/modbus/ModbusValues.h"
#include "engine/modbus/scan/DeviceIdentification.h"
#include "engine/modbus/scan/ExceptionText.h"

#include <QModbusDataUnit>
#include <cmath>

namespace modbusscan {

using modbus::ModbusSession;

namespace {

// Requests a scan keeps open at a time: enough to hide the round trips over a network, few
// enough for a device that answers one after the other.
constexpr int kScanInFlight = 4;
// The largest reads Modbus allows: 125 registers, 2000 bits.
constexpr int kMaxRegisterBlock = 125;
constexpr int kMaxBitBlock = 2000;

QModbusDataUnit::RegisterType registerTypeOf(Table table)
{
    switch (table) {
    case Table::Coil:
        return QModbusDataUnit::Coils;
    case Table::Discrete:
        return QModbusDataUnit::DiscreteInputs;
    case Table::Input:
        return QModbusDataUnit::InputRegisters;
    case Table::Holding:
        break;
    }
    return QModbusDataUnit::HoldingRegisters;
}

// A gateway's word that the unit behind it is not there.
bool unitAbsent(int exceptionCode)
{
    return exceptionCode == 0x0A || exceptionCode == 0x0B;
}

} // namespace

DeviceScan::DeviceScan()
{
    m_rateTimer.setSingleShot(true);
    connect(&m_rateTimer, &QTimer::timeout, this, &DeviceScan::pump);
}

DeviceScan::~DeviceScan() = default;

modbus::ModbusSettings DeviceScan::settingsFor(const Request& request, int unit)
{
    modbus::ModbusSettings settings;
    if (request.serial()) {
        settings.transport = modbus::Transport::Rtu;
        settings.serialPort = request.target;
        settings.baudRate = request.baudRate;
        settings.parity = request.parity;
        settings.dataBits = request.dataBits;
        settings.stopBits = request.stopBits;
    } else {
        modbus::readTcpMachine(request.target, settings);
    }
    settings.unit = unit;
    settings.timeoutMs = request.timeoutMs;
    return settings;
}

void DeviceScan::start(const Request& request, Listener listener)
{
    stop();
    m_request = request;
    m_listener = std::move(listener);
    m_clock.start();
    m_requests = 0;
    m_inFlight = 0;
    m_anyServed = false;
    m_connected = false;
    m_answering.clear();
    m_unit = request.firstUnit;
    m_tableIndex = -1;
    m_unitAnswered = false;
    m_addressesBefore = 0;
    m_lastSendMs = -1;
    const qint64 units = std::max(request.lastUnit - request.firstUnit + 1, 0);
    m_addressesTotal =
        units * request.tables.size() * std::max(request.lastAddress - request.firstAddress + 1, 0);
    try {
        m_session = std::make_unique<ModbusSession>(settingsFor(request, request.firstUnit));
    } catch (const EngineError& e) {
        const QString reason = e.message();
        QMetaObject::invokeMethod(
            this, [this, reason] { finish(Summary::Ending::Unreachable, reason); }, Qt::QueuedConnection);
        m_session.reset();
        return;
    }
    m_session->setOnConnected([this] { m_connected = true; });
    QMetaObject::invokeMethod(this, &DeviceScan::pump, Qt::QueuedConnection);
}

void DeviceScan::stop()
{
    if (!m_session)
        return;
    finish(Summary::Ending::Stopped);
}

bool DeviceScan::startNextSearch()
{
    m_search.reset();
    m_retried.clear();
    ++m_generation;
    if (m_request.tables.isEmpty())
        return false;
    if (++m_tableIndex >= m_request.tables.size()) {
        m_tableIndex = 0;
        ++m_unit;
        m_unitAnswered = false;
    }
    if (m_unit > m_request.lastUnit)
        return false;
    const int block = m_request.oneAtATime         ? 1
                      : isBitTable(currentTable()) ? kMaxBitBlock
                                                   : kMaxRegisterBlock;
    m_search = std::make_unique<AddressSearch>(m_request.firstAddress, m_request.lastAddress, block);
    return true;
}

void DeviceScan::pump()
{
    if (!m_session)
        return;
    while (m_inFlight < kScanInFlight) {
        if (!m_search || (m_search->finished() && m_inFlight == 0)) {
            if (m_search)
                m_addressesBefore += m_search->total();
            if (!startNextSearch()) {
                finish(m_anyServed ? Summary::Ending::Answered : Summary::Ending::NothingAnswered);
                return;
            }
            continue;
        }
        // Until a unit has answered, one request finds out whether it is there at all.
        if (!m_unitAnswered && m_inFlight > 0)
            return;
        if (m_request.rate > 0 && m_lastSendMs >= 0) {
            const qint64 due = m_lastSendMs + qint64(std::ceil(1000.0 / m_request.rate));
            const qint64 now = m_clock.elapsed();
            if (now < due) {
                m_rateTimer.start(int(due - now));
                return;
            }
        }
        const std::optional<Span> span = m_search->next();
        if (!span)
            return;
        send(*span);
    }
}

void DeviceScan::send(const Span& span)
{
    ++m_inFlight;
    ++m_requests;
    m_lastSendMs = m_clock.elapsed();
    const QModbusDataUnit unit(registerTypeOf(currentTable()), span.first, quint16(span.count));
    m_session->read(
        unit,
        [this, generation = m_generation, span](const ModbusSession::Answer& answer) {
            answered(generation, span, answer);
        },
        m_unit);
}

void DeviceScan::answered(int generation, const Span& span, const ModbusSession::Answer& answer)
{
    --m_inFlight;
    if (!m_session)
        return;
    if (generation == m_generation && m_search) {
        switch (answer.kind) {
        case ModbusSession::Answer::Kind::Done: {
            m_unitAnswered = true;
            m_anyServed = true;
            if (!m_answering.contains(m_unit))
                m_answering.append(m_unit);
            QList<quint16> values = answer.unit.values();
            if (values.size() < span.count) {
                m_search->unanswered(
                    span, Status::Garbage,
                    QStringLiteral("%1 values came for %2").arg(values.size()).arg(span.count));
                break;
            }
            m_search->served(span, values);
            break;
        }
        case ModbusSession::Answer::Kind::Exception:
            if (!m_answering.contains(m_unit))
                m_answering.append(m_unit);
            if (!m_unitAnswered && unitAbsent(answer.exceptionCode)) {
                m_answering.removeAll(m_unit);
                unitSilent(Status::Exception, exceptionText(answer.exceptionCode), answer.exceptionCode);
                break;
            }
            m_unitAnswered = true;
            m_search->rejected(span, answer.exceptionCode, exceptionText(answer.exceptionCode));
            break;
        case ModbusSession::Answer::Kind::Timeout:
            if (!m_connected) {
                finish(Summary::Ending::Unreachable, answer.reason);
                return;
            }
            if (!m_unitAnswered) {
                unitSilent(Status::Timeout, QStringLiteral("timeout"));
                break;
            }
            m_search->unanswered(span, Status::Timeout, QStringLiteral("timeout"));
            break;
        case ModbusSession::Answer::Kind::Failed:
            if (!m_connected) {
                finish(Summary::Ending::Unreachable, answer.reason);
                return;
            }
            // A connection dropped (after a timeout, by the device) is made anew for one more try.
            if (!m_retried.contains(Span::key(span))) {
                m_retried.insert(Span::key(span));
                send(span);
                return;
            }
            m_search->unanswered(span, Status::Failed, answer.reason);
            break;
        case ModbusSession::Answer::Kind::Garbage:
            m_unitAnswered = true;
            m_search->unanswered(span, Status::Garbage, answer.reason);
            break;
        case ModbusSession::Answer::Kind::CrcError:
            m_unitAnswered = true;
            m_search->unanswered(span, Status::CrcError, QStringLiteral("CRC error"));
            break;
        }
        deliver();
    }
    pump();
}

void DeviceScan::unitSilent(Status status, const QString& reason, int exceptionCode)
{
    // The unit's other tables are not asked either: one result each says why.
    m_search->abandon(status, reason, exceptionCode);
    deliver();
    while (m_tableIndex + 1 < m_request.tables.size()) {
        m_addressesBefore += m_search->total();
        startNextSearch();
        m_search->abandon(status, reason, exceptionCode);
        deliver();
    }
}

void DeviceScan::deliver()
{
    for (Result& result : m_search->takeResults()) {
        result.unit = m_unit;
        result.table = currentTable();
        if (m_listener.result)
            m_listener.result(result);
    }
    if (m_listener.progress) {
        Progress progress;
        progress.addressesDone = m_addressesBefore + m_search->resolved();
        progress.addressesTotal = m_addressesTotal;
        progress.requests = m_requests;
        const qint64 elapsed = m_clock.elapsed();
        if (progress.addressesDone > 0)
            progress.msLeft = qint64(double(elapsed) * double(m_addressesTotal - progress.addressesDone) /
                                     double(progress.addressesDone));
        m_listener.progress(progress);
    }
}

void DeviceScan::finish(Summary::Ending ending, const QString& reason)
{
    m_rateTimer.stop();
    ++m_generation;
    m_search.reset();
    // Dropped from the event loop: this may run inside one of the session's answers.
    if (m_session)
        m_session.release()->deleteLater();
    Summary summary;
    summary.ending = ending;
    summary.reason = reason;
    summary.requests = m_requests;
    summary.elapsedMs = m_clock.elapsed();
    summary.answeringUnits = m_answering;
    if (m_listener.finished) {
        // Taken first: the listener may start the next scan.
        const auto finished = std::exchange(m_listener.finished, {});
        finished(summary);
    }
}

void DeviceScan::identify(const Request& request, int unit, std::function<void(const Identification&)> done)
{
    try {
        m_identifySession = std::make_unique<ModbusSession>(settingsFor(request, unit));
    } catch (const EngineError& e) {
        Identification failed;
        failed.reason = e.message();
        QMetaObject::invokeMethod(
            this, [done, failed] { done(failed); }, Qt::QueuedConnection);
        return;
    }
    readIdentification(*m_identifySession, unit, [this, done](const Identification& found) {
        if (m_identifySession)
            m_identifySession.release()->deleteLater();
        done(found);
    });
}

} // namespace modbusscan
