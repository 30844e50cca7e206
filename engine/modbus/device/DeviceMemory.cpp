#include "engine/modbus/device/DeviceMemory.h"

#include "engine/modbus/ModbusPdus.h"
#include "engine/modbus/device/DeviceMotion.h"

#include <algorithm>

namespace modbus {

namespace {

constexpr quint8 kIllegalFunction = 0x01;
constexpr quint8 kIllegalAddress = 0x02;
constexpr quint8 kIllegalValue = 0x03;

// What the device says about itself to "read device identification", basic objects 0 to 2.
const QList<QByteArray> kIdentification = {"QuorTagEditor demo", "quor-modbus-device", "1.0"};

int memoryWord(const QByteArray& bytes, qsizetype at)
{
    return (int(quint8(bytes.at(at))) << 8) | int(quint8(bytes.at(at + 1)));
}

std::pair<quint8, QByteArray> rejection(quint8 function, quint8 code)
{
    return {quint8(function | kExceptionBit), QByteArray(1, char(code))};
}

} // namespace

RequestSpan spanOf(quint8 function, const QByteArray& data)
{
    if (data.size() < 4)
        return {};
    const int first = memoryWord(data, 0);
    switch (function) {
    case QModbusPdu::ReadCoils:
        return {QModbusDataUnit::Coils, first, memoryWord(data, 2)};
    case QModbusPdu::ReadDiscreteInputs:
        return {QModbusDataUnit::DiscreteInputs, first, memoryWord(data, 2)};
    case QModbusPdu::ReadHoldingRegisters:
        return {QModbusDataUnit::HoldingRegisters, first, memoryWord(data, 2)};
    case QModbusPdu::ReadInputRegisters:
        return {QModbusDataUnit::InputRegisters, first, memoryWord(data, 2)};
    case QModbusPdu::WriteSingleCoil:
        return {QModbusDataUnit::Coils, first, 1};
    case QModbusPdu::WriteSingleRegister:
        return {QModbusDataUnit::HoldingRegisters, first, 1};
    case QModbusPdu::WriteMultipleCoils:
        return {QModbusDataUnit::Coils, first, memoryWord(data, 2)};
    case QModbusPdu::WriteMultipleRegisters:
        return {QModbusDataUnit::HoldingRegisters, first, memoryWord(data, 2)};
    default:
        return {};
    }
}

DeviceMemory::DeviceMemory(const RegisterMap& map, const QList<AddressRange>& absent) : m_absent(absent)
{
    // Each register holds its own address at first.
    for (const RegisterEntry& entry : map) {
        for (int i = 0; i < entry.count; ++i) {
            const int address = entry.address + i;
            if (!this->absent(entry.table, address, address))
                m_tables[int(entry.table)].insert(address, quint16(address));
        }
    }
}

bool DeviceMemory::absent(QModbusDataUnit::RegisterType table, int first, int last) const
{
    return std::any_of(m_absent.begin(), m_absent.end(), [&](const AddressRange& range) {
        return range.table == table && range.first <= last && first <= range.last;
    });
}

bool DeviceMemory::serves(QModbusDataUnit::RegisterType table, int first, int count) const
{
    const auto found = m_tables.constFind(int(table));
    if (found == m_tables.cend() || count < 1)
        return false;
    // The addresses held are unique and sorted: the span is served when all of it is there.
    const auto from = found->lowerBound(first);
    const auto to = found->lowerBound(first + count);
    return std::distance(from, to) == count;
}

bool DeviceMemory::setData(const QModbusDataUnit& unit)
{
    const int first = unit.startAddress();
    if (!serves(unit.registerType(), first, int(unit.valueCount())))
        return false;
    QMap<int, quint16>& table = m_tables[int(unit.registerType())];
    for (qsizetype i = 0; i < unit.valueCount(); ++i)
        table.insert(first + int(i), unit.value(i));
    return true;
}

bool DeviceMemory::data(QModbusDataUnit* unit) const
{
    const int first = unit->startAddress();
    if (!serves(unit->registerType(), first, int(unit->valueCount())))
        return false;
    const QMap<int, quint16>& table = m_tables[int(unit->registerType())];
    for (qsizetype i = 0; i < unit->valueCount(); ++i)
        unit->setValue(i, table.value(first + int(i)));
    return true;
}

std::pair<quint8, QByteArray> DeviceMemory::answer(quint8 function, const QByteArray& data,
                                                   const DeviceMotion* motion)
{
    if (function == kEncapsulatedTransport)
        return identification(data);
    const RequestSpan span = spanOf(function, data);
    if (span.table == QModbusDataUnit::Invalid)
        return rejection(function, kIllegalFunction);
    if (function <= QModbusPdu::ReadInputRegisters)
        return read(function, span, motion);
    return write(function, data, span);
}

std::pair<quint8, QByteArray> DeviceMemory::read(quint8 function, const RequestSpan& span,
                                                 const DeviceMotion* motion) const
{
    const bool bits = function <= QModbusPdu::ReadDiscreteInputs;
    if (span.count < 1 || span.count > (bits ? 2000 : 125))
        return rejection(function, kIllegalValue);
    QModbusDataUnit unit(span.table, span.first, quint16(span.count));
    if (span.first + span.count > 65536 || !data(&unit))
        return rejection(function, kIllegalAddress);
    if (motion)
        motion->apply(unit);
    QByteArray values;
    if (bits) {
        values.fill('\0', (span.count + 7) / 8);
        for (int i = 0; i < span.count; ++i) {
            if (unit.value(i) != 0)
                values[i / 8] = char(quint8(values.at(i / 8)) | (1 << (i % 8)));
        }
    } else {
        for (const quint16 value : unit.values()) {
            values.append(char(quint8(value >> 8)));
            values.append(char(quint8(value)));
        }
    }
    return {function, char(values.size()) + values};
}

std::pair<quint8, QByteArray> DeviceMemory::write(quint8 function, const QByteArray& data,
                                                  const RequestSpan& span)
{
    const bool single =
        function == QModbusPdu::WriteSingleCoil || function == QModbusPdu::WriteSingleRegister;
    const bool bits = function == QModbusPdu::WriteSingleCoil || function == QModbusPdu::WriteMultipleCoils;
    if (!single && (data.size() < 5 || data.size() != 5 + quint8(data.at(4))))
        return rejection(function, kIllegalValue);
    QModbusDataUnit unit(span.table, span.first, quint16(std::max(span.count, 0)));
    if (single) {
        const int value = memoryWord(data, 2);
        // A coil's on is 0xFF00, kept as it came.
        if (bits && value != 0 && value != 0xFF00)
            return rejection(function, kIllegalValue);
        unit.setValue(0, quint16(value));
    } else {
        for (int i = 0; i < span.count; ++i) {
            const qsizetype at = 5 + (bits ? i / 8 : i * 2);
            if (at + (bits ? 0 : 1) >= data.size())
                return rejection(function, kIllegalValue);
            unit.setValue(i, bits ? quint16((quint8(data.at(at)) >> (i % 8)) & 1)
                                  : quint16(memoryWord(data, at)));
        }
    }
    if (!setData(unit))
        return rejection(function, kIllegalAddress);
    return {function, data.left(4)};
}

std::pair<quint8, QByteArray> DeviceMemory::identification(const QByteArray& data)
{
    constexpr quint8 kBasicStream = 1;
    constexpr quint8 kOneObject = 4;
    if (data.size() != 3 || quint8(data.at(0)) != kDeviceIdentification)
        return rejection(kEncapsulatedTransport, kIllegalFunction);
    const quint8 code = quint8(data.at(1));
    const quint8 object = quint8(data.at(2));
    if (code < kBasicStream || code > kOneObject)
        return rejection(kEncapsulatedTransport, kIllegalValue);
    if (object >= kIdentification.size())
        return rejection(kEncapsulatedTransport, kIllegalAddress);
    // Every object fits one answer, so nothing more follows.
    QByteArray answer;
    answer.append(char(kDeviceIdentification));
    answer.append(char(code));
    answer.append(char(0x81)); // basic identification, single objects too
    answer.append('\0');
    answer.append('\0');
    const int first = code == kOneObject ? object : 0;
    const int last = code == kOneObject ? object : int(kIdentification.size()) - 1;
    answer.append(char(last - first + 1));
    for (int id = first; id <= last; ++id) {
        answer.append(char(id));
        answer.append(char(kIdentification.at(id).size()));
        answer.append(kIdentification.at(id));
    }
    return {kEncapsulatedTransport, answer};
}

} // namespace modbus
