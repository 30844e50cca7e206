#include "engine/modbus/ModbusValues.h"

#include "engine/modbus/BlockReading.h"
#include "engine/modbus/ModbusController.h"
#include "engine/modbus/RegisterValue.h"

#include <QModbusPdu>
#include <QThread>

namespace modbus {

namespace {

// The exceptions that point at an address: the block is split until the entry is found.
const QList<int> kAddressPointingExceptions = {
    int(QModbusPdu::IllegalFunction), int(QModbusPdu::IllegalDataAddress), int(QModbusPdu::IllegalDataValue),
    int(QModbusPdu::ServerDeviceFailure)};

bool isWritable(QModbusDataUnit::RegisterType table)
{
    return table == QModbusDataUnit::Coils || table == QModbusDataUnit::HoldingRegisters;
}

void setException(VariableValue& value, int code)
{
    value.status = VariableValue::Status::DeviceException;
    value.exceptionCode = code;
    value.exceptionName = exceptionName(code);
}

// Where each read entry's reading goes: the position of its name in the answer.
struct Wanted
{
    qsizetype position;
    qsizetype entry;
};

void fill(QList<VariableValue>& values, const QList<Wanted>& wanted, const BlockReading& reading,
          const RegisterMap& map)
{
    for (const Wanted& want : wanted) {
        VariableValue& value = values[want.position];
        const EntryReading found = reading.readings().value(want.entry);
        value.timestamp = found.time.isValid() ? found.time : QDateTime::currentDateTimeUtc();
        switch (found.outcome) {
        case EntryReading::Outcome::Read:
            value.status = VariableValue::Status::Good;
            value.value = decodeValue(map.at(want.entry), found.words);
            break;
        case EntryReading::Outcome::Rejected:
        case EntryReading::Outcome::Exception:
            setException(value, found.exceptionCode);
            break;
        case EntryReading::Outcome::Unanswered:
            value.status = VariableValue::Status::Timeout;
            break;
        }
    }
}

QList<VariableValue> notConnected(QList<VariableValue> values)
{
    for (VariableValue& value : values) {
        value.value = QVariant();
        value.status = VariableValue::Status::NotConnected;
        value.exceptionCode = 0;
        value.exceptionName.clear();
    }
    return values;
}

const QString kReleased = QStringLiteral("The controller has been released.");

} // namespace

ModbusValues::ModbusValues(const std::shared_ptr<ModbusController>& controller)
    : m_controller(controller), m_controllerName(controller->Name()), m_settings(controller->settings()),
      m_map(controller->map())
{
    m_byName.reserve(m_map->size());
    for (qsizetype i = 0; i < m_map->size(); ++i)
        m_byName.insert(m_map->at(i).name.toCaseFolded(), i);
}

ModbusValues::~ModbusValues()
{
    dropSession();
}

ModbusSession& ModbusValues::sessionHere()
{
    if (m_session && m_session->thread() != QThread::currentThread())
        dropSession();
    if (!m_session) {
        m_live = std::make_shared<std::atomic_bool>(true);
        m_knowledge = std::make_shared<DeviceKnowledge>();
        m_session = new ModbusSession(m_settings);
        // A device connected anew may have changed: learn its gaps afresh.
        m_session->setOnConnected([knowledge = m_knowledge] { knowledge->forget(); });
    }
    return *m_session;
}

void ModbusValues::dropSession()
{
    if (!m_session)
        return;
    *m_live = false;
    ModbusSession* session = std::exchange(m_session, nullptr);
    // Deleted on its own thread, from its event loop: this may run inside one of its answers, or
    // on another thread. Closed at once where it lives here, so that it sends nothing more.
    if (session->thread() == QThread::currentThread())
        session->close();
    session->deleteLater();
}

void ModbusValues::later(std::function<void()> function)
{
    // The session first: it makes the token of liveness too.
    ModbusSession& session = sessionHere();
    QMetaObject::invokeMethod(
        &session,
        [live = m_live, function = std::move(function)] {
            if (*live)
                function();
        },
        Qt::QueuedConnection);
}

qsizetype ModbusValues::indexOf(const QString& name) const
{
    return m_byName.value(name.toCaseFolded(), -1);
}

void ModbusValues::read(const QStringList& names, ReadDone done)
{
    ModbusSession& session = sessionHere();
    const bool connected = !m_controller.expired();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<VariableValue> values(names.size());
    QList<Wanted> wanted;
    QList<qsizetype> entries;
    for (qsizetype i = 0; i < names.size(); ++i) {
        VariableValue& value = values[i];
        value.name = names.at(i);
        value.timestamp = now;
        const qsizetype entry = indexOf(value.name);
        if (entry < 0) {
            value.status = VariableValue::Status::NotFound;
            continue;
        }
        value.type = typeName(m_map->at(entry).type);
        if (!connected)
            continue;
        if (const auto rejected = m_knowledge->rejected.constFind(entry);
            rejected != m_knowledge->rejected.cend()) {
            setException(value, *rejected);
            continue;
        }
        wanted.append({i, entry});
        entries.append(entry);
    }
    if (!connected) {
        // The connection goes with the controller.
        session.close();
        later([values = notConnected(values), done] { done(values); });
        return;
    }
    const QList<ReadBlock> blocks = planReads(*m_map, entries, m_knowledge->fences);
    if (blocks.isEmpty()) {
        later([values, done] { done(values); });
        return;
    }
    BlockReading::start(session, m_map, m_knowledge, blocks, {kAddressPointingExceptions, false, nullptr},
                        [values, wanted, done, live = m_live, map = m_map,
                         controller = m_controller](const BlockReading& reading) {
                            if (!*live)
                                return;
                            QList<VariableValue> answer = values;
                            fill(answer, wanted, reading, *map);
                            done(controller.expired() ? notConnected(answer) : answer);
                        });
}

void ModbusValues::describe(const QStringList& names, DescribeDone done)
{
    QList<VariableDescription> descriptions;
    descriptions.reserve(names.size());
    for (const QString& name : names) {
        VariableDescription description;
        description.name = name;
        const qsizetype entry = indexOf(name);
        if (entry < 0) {
            description.readable = false;
            description.known = false;
        } else {
            const RegisterEntry& e = m_map->at(entry);
            description.type = typeName(e.type);
            description.writable = isWritable(e.table);
            description.address = addressText(e);
        }
        descriptions.append(description);
    }
    later([descriptions, done] { done(descriptions); });
}

void ModbusValues::write(const QString& name, const QVariant& value, WriteDone done)
{
    ModbusSession& session = sessionHere();
    const auto refuse = [this, &done](const QString& reason) {
        later([done, reason] { done({false, reason}); });
    };
    if (m_controller.expired())
        return refuse(kReleased);
    const qsizetype index = indexOf(name);
    if (index < 0)
        return refuse(
            QStringLiteral("The controller %1 has no variable \"%2\".").arg(m_controllerName, name));
    const RegisterEntry& entry = m_map->at(index);
    if (!isWritable(entry.table))
        return refuse(QStringLiteral("%1 is read-only: the %2 table cannot be written.")
                          .arg(entry.name, tableName(entry.table)));
    QString reason;
    const std::optional<QList<quint16>> words = encodeValue(entry, value, &reason);
    if (!words)
        return refuse(reason);
    // One coil or register goes by function code 5 or 6, a 32-bit value by 16 (15 for coils).
    session.write(
        QModbusDataUnit(entry.table, entry.address, *words),
        [done, live = m_live, name = entry.name](const ModbusSession::Answer& answer) {
            if (!*live)
                return;
            switch (answer.kind) {
            case ModbusSession::Answer::Kind::Done:
                done({true, {}});
                return;
            case ModbusSession::Answer::Kind::Exception: {
                VariableValue refusal;
                setException(refusal, answer.exceptionCode);
                done({false,
                      QStringLiteral("The device refused to write %1: %2.").arg(name, statusText(refusal))});
                return;
            }
            case ModbusSession::Answer::Kind::Timeout:
            case ModbusSession::Answer::Kind::Failed:
            case ModbusSession::Answer::Kind::Garbage:
            case ModbusSession::Answer::Kind::CrcError:
                done({false, answer.reason});
                return;
            }
        });
}

std::shared_ptr<IControllerValues> valuesOf(const std::shared_ptr<IController>& controller)
{
    auto modbusController = std::dynamic_pointer_cast<ModbusController>(controller);
    if (!modbusController)
        return nullptr;
    return std::make_shared<ModbusValues>(modbusController);
}

QString addressText(const RegisterEntry& entry)
{
    int digit = 0;
    switch (entry.table) {
    case QModbusDataUnit::DiscreteInputs:
        digit = 1;
        break;
    case QModbusDataUnit::InputRegisters:
        digit = 3;
        break;
    case QModbusDataUnit::HoldingRegisters:
        digit = 4;
        break;
    default:
        break;
    }
    const int number = entry.address + 1;
    const int width = number <= 9999 ? 4 : 5;
    return QStringLiteral("%1 %2%3")
        .arg(tableName(entry.table))
        .arg(digit)
        .arg(number, width, 10, QLatin1Char('0'));
}

} // namespace modbus
