#include "engine/modbus/ModbusLink.h"

#include "engine/EngineError.h"
#include "engine/modbus/BlockReading.h"
#include "engine/modbus/ModbusValues.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QModbusPdu>

namespace modbus {

namespace {

// The exceptions that say a block holds addresses (or a table) the device does not have.
const QList<int> kMissingAddressExceptions = {int(QModbusPdu::IllegalFunction),
                                              int(QModbusPdu::IllegalDataAddress)};

QString rangeText(const ReadBlock& block)
{
    return block.count == 1 ? QStringLiteral("%1 %2").arg(tableName(block.table)).arg(block.start)
                            : QStringLiteral("%1 %2-%3")
                                  .arg(tableName(block.table))
                                  .arg(block.start)
                                  .arg(block.start + block.count - 1);
}

// Runs the event loop until the work, started with a function that quits the loop, is done.
// User input waits meanwhile; the session's own timers end every wait.
void waitFor(const std::function<void(std::function<void()>)>& work)
{
    QEventLoop loop;
    bool done = false;
    work([&loop, &done] {
        done = true;
        loop.quit();
    });
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// Throws the message for a block's failure, unless it is an exception that rejects the block.
void throwFailure(const ModbusSettings& settings, const ModbusSession::Answer& answer, const ReadBlock& block)
{
    switch (answer.kind) {
    case ModbusSession::Answer::Kind::Done:
        return;
    case ModbusSession::Answer::Kind::Timeout:
    case ModbusSession::Answer::Kind::Failed:
    case ModbusSession::Answer::Kind::Garbage:
    case ModbusSession::Answer::Kind::CrcError:
        throw EngineError(answer.reason);
    case ModbusSession::Answer::Kind::Exception:
        break;
    }
    const int code = answer.exceptionCode;
    if (kMissingAddressExceptions.contains(code))
        return;
    if (code == QModbusPdu::GatewayPathUnavailable || code == QModbusPdu::GatewayTargetDeviceFailedToRespond)
        throw EngineError(QStringLiteral("Unit %1 does not answer: the gateway %2 reports exception %3.")
                              .arg(settings.unit)
                              .arg(settings.place())
                              .arg(code));
    throw EngineError(QStringLiteral("Unit %1 at %2 refuses to read %3: exception %4.")
                          .arg(settings.unit)
                          .arg(settings.place(), rangeText(block))
                          .arg(code));
}

// The exception most entries were rejected with.
int rejectionOf(const QHash<qsizetype, int>& rejected)
{
    QHash<int, int> counts;
    for (const int code : rejected)
        ++counts[code];
    int most = int(QModbusPdu::IllegalDataAddress);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > counts.value(most))
            most = it.key();
    }
    return most;
}

} // namespace

ModbusLink::ModbusLink(ModbusSettings settings) : m_settings(std::move(settings)) {}

bool ModbusLink::probe(const ReadBlock& block) const
{
    ModbusSession session(m_settings);
    const QDeadlineTimer deadline(m_settings.timeoutMs);
    // The connection and the read share one timeout.
    session.setOnConnected(
        [&session, deadline] { session.setRequestTimeout(int(deadline.remainingTime())); });
    ModbusSession::Answer answer;
    waitFor([&](std::function<void()> quit) {
        session.read(QModbusDataUnit(block.table, block.start, block.count),
                     [&answer, quit](const ModbusSession::Answer& got) {
                         answer = got;
                         quit();
                     });
    });
    throwFailure(m_settings, answer, block);
    return answer.kind == ModbusSession::Answer::Kind::Done;
}

QList<bool> ModbusLink::served(const std::shared_ptr<const RegisterMap>& map,
                               const std::function<void(qint64 done, qint64 total)>& progress) const
{
    ModbusSession session(m_settings);
    const auto knowledge = std::make_shared<DeviceKnowledge>();
    QList<bool> served(map->size(), false);
    std::optional<BlockReading::Failure> failure;
    waitFor([&](std::function<void()> quit) {
        BlockReading::start(
            session, map, knowledge, planReads(*map), {kMissingAddressExceptions, true, progress},
            [&served, &failure, quit](const BlockReading& reading) {
                failure = reading.failure();
                for (auto it = reading.readings().cbegin(); it != reading.readings().cend(); ++it)
                    served[it.key()] = it->outcome == EntryReading::Outcome::Read;
                quit();
            });
    });
    if (failure)
        throwFailure(m_settings, failure->answer, failure->block);
    if (!served.contains(true) && !map->isEmpty()) {
        const int code = rejectionOf(knowledge->rejected);
        throw EngineError(
            QStringLiteral("Unit %1 at %2 serves none of the %3 names of the register map %4: it "
                           "rejects every read of them (exception %5, %6).")
                .arg(m_settings.unit)
                .arg(m_settings.place())
                .arg(map->size())
                .arg(QFileInfo(m_settings.mapPath).fileName())
                .arg(code, 2, 10, QLatin1Char('0'))
                .arg(exceptionName(code)));
    }
    return served;
}

} // namespace modbus
