#pragma once

#include "engine/modbus/RegisterMap.h"

#include <QList>
#include <QModbusTcpServer>

// A Modbus TCP device to try the Modbus provider against without hardware: a server on
// 127.0.0.1 that serves every address a register map names, except the addresses given as
// absent, which it rejects with "illegal data address" as a device without them would.
// Requests for another unit than its own go unanswered.
namespace modbus {

struct AddressRange
{
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    quint16 first = 0;
    quint16 last = 0;
};

// "holding:40-41,input:11": table names as in the map, an address or a range of them.
// Throws EngineError naming the piece that is wrong.
QList<AddressRange> parseAddressRanges(const QString& text);

class ModbusTestDevice final : public QModbusTcpServer
{
public:
    ModbusTestDevice(const RegisterMap& map, QList<AddressRange> absent, int unit = 1);

    // Listens on 127.0.0.1 at the port, 0 for a free one; false (see errorString()) when it cannot.
    bool listen(int port = 0);
    // The port it listens at.
    int port() const;

    bool serves(const RegisterEntry& entry) const;

protected:
    bool readData(QModbusDataUnit* newData) const override;

private:
    bool absent(QModbusDataUnit::RegisterType table, int first, int last) const;

    QList<AddressRange> m_absent;
};

} // namespace modbus
