#include "engine/modbus/device/ModbusTestDevice.h"

#include "engine/EngineError.h"
#include "engine/modbus/RegisterValue.h"

#include <QHostAddress>
#include <QMap>
#include <QTcpServer>
#include <algorithm>

namespace modbus {

namespace {

QModbusDataUnit::RegisterType tableNamed(const QString& name)
{
    for (const auto table : {QModbusDataUnit::Coils, QModbusDataUnit::DiscreteInputs,
                             QModbusDataUnit::InputRegisters, QModbusDataUnit::HoldingRegisters}) {
        if (tableName(table).compare(name, Qt::CaseInsensitive) == 0)
            return table;
    }
    return QModbusDataUnit::Invalid;
}

// One data unit per table, from the lowest to the highest address the map names there,
// each register holding its own address.
QModbusDataUnitMap unitsFor(const RegisterMap& map)
{
    QMap<QModbusDataUnit::RegisterType, std::pair<int, int>> spans;
    for (const RegisterEntry& entry : map) {
        const int last = entry.address + entry.count - 1;
        const auto found = spans.constFind(entry.table);
        spans.insert(entry.table, found == spans.cend()
                                      ? std::pair(int(entry.address), last)
                                      : std::pair(std::min<int>(found->first, entry.address),
                                                  std::max(found->second, last)));
    }
    QModbusDataUnitMap units;
    for (auto span = spans.cbegin(); span != spans.cend(); ++span) {
        QModbusDataUnit unit(span.key(), span->first, quint16(span->second - span->first + 1));
        for (qsizetype i = 0; i < unit.valueCount(); ++i)
            unit.setValue(i, quint16(unit.startAddress() + i));
        units.insert(span.key(), unit);
    }
    return units;
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
        range.table = tableNamed(parts.value(0));
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
    : m_map(map), m_absent(std::move(absent))
{
    setServerAddress(unit);
    setMap(unitsFor(map));
}

bool ModbusTestDevice::listen(int port)
{
    setConnectionParameter(QModbusDevice::NetworkAddressParameter,
                           QHostAddress(QHostAddress::LocalHost).toString());
    setConnectionParameter(QModbusDevice::NetworkPortParameter, port);
    return connectDevice() && state() == QModbusDevice::ConnectedState;
}

int ModbusTestDevice::port() const
{
    // The server listens through a QTcpServer of its own, which knows the port it was given.
    const auto* server = findChild<QTcpServer*>();
    return server ? server->serverPort() : connectionParameter(QModbusDevice::NetworkPortParameter).toInt();
}

bool ModbusTestDevice::serves(const RegisterEntry& entry) const
{
    return !absent(entry.table, entry.address, entry.address + entry.count - 1);
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
            setData(QModbusDataUnit(entry.table, entry.address, *words));
    }
}

QStringList ModbusTestDevice::movingNames() const
{
    return m_motion ? m_motion->movingNames() : QStringList();
}

QList<int> ModbusTestDevice::functionCodes() const
{
    return m_functionCodes;
}

bool ModbusTestDevice::readData(QModbusDataUnit* newData) const
{
    const int first = newData->startAddress();
    if (absent(newData->registerType(), first, first + int(newData->valueCount()) - 1))
        return false;
    if (!QModbusTcpServer::readData(newData))
        return false;
    if (m_motion)
        m_motion->apply(*newData);
    return true;
}

bool ModbusTestDevice::writeData(const QModbusDataUnit& unit)
{
    const int first = unit.startAddress();
    if (absent(unit.registerType(), first, first + int(unit.valueCount()) - 1))
        return false;
    return QModbusTcpServer::writeData(unit);
}

QModbusResponse ModbusTestDevice::processRequest(const QModbusPdu& request)
{
    ++m_requests;
    // The last few are enough to tell how a value was written.
    if (m_functionCodes.size() == 64)
        m_functionCodes.removeFirst();
    m_functionCodes.append(int(request.functionCode()));
    return QModbusTcpServer::processRequest(request);
}

bool ModbusTestDevice::absent(QModbusDataUnit::RegisterType table, int first, int last) const
{
    return std::any_of(m_absent.begin(), m_absent.end(), [&](const AddressRange& range) {
        return range.table == table && range.first <= last && first <= range.last;
    });
}

} // namespace modbus
