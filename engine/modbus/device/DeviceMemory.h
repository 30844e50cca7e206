#pragma once

#include "engine/modbus/RegisterMap.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QModbusDataUnit>

// What the demo device holds and how it answers a request's PDU: exactly the addresses its
// register map names (a 32-bit entry two of them), less those given as absent. A read or write
// that touches any other address is rejected with "illegal data address", as a device without
// it would; an unknown function with "illegal function".
namespace modbus {

class DeviceMotion;

struct AddressRange
{
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    quint16 first = 0;
    quint16 last = 0;
};

// The table and the addresses a request reads or writes; an invalid table for other requests.
struct RequestSpan
{
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    int first = 0;
    int count = 0;
};
RequestSpan spanOf(quint8 function, const QByteArray& data);

class DeviceMemory final
{
public:
    DeviceMemory(const RegisterMap& map, const QList<AddressRange>& absent);

    bool absent(QModbusDataUnit::RegisterType table, int first, int last) const;
    // Whether every address of the span is served.
    bool serves(QModbusDataUnit::RegisterType table, int first, int count) const;

    bool setData(const QModbusDataUnit& unit);
    bool data(QModbusDataUnit* unit) const;

    // The answer to a request PDU: its function code byte (with the exception bit on a
    // rejection) and data. Moving values are laid over what a read returns.
    std::pair<quint8, QByteArray> answer(quint8 function, const QByteArray& data, const DeviceMotion* motion);

private:
    std::pair<quint8, QByteArray> read(quint8 function, const RequestSpan& span,
                                       const DeviceMotion* motion) const;
    std::pair<quint8, QByteArray> write(quint8 function, const QByteArray& data, const RequestSpan& span);
    static std::pair<quint8, QByteArray> identification(const QByteArray& data);

    QList<AddressRange> m_absent;
    QHash<int, QMap<int, quint16>> m_tables;
};

} // namespace modbus
