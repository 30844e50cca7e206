#pragma once

#include "engine/modbus/RegisterMap.h"
#include "engine/modbus/device/DeviceMotion.h"

#include <QList>
#include <QModbusTcpServer>
#include <atomic>
#include <memory>

// A Modbus TCP device to try the Modbus provider against without hardware: a server on
// 127.0.0.1 that serves every address from the lowest to the highest a register map names in
// each table, except the addresses given as absent, which it rejects (reads and writes) with
// "illegal data address" as a device without them would. Requests for another unit than its own
// go unanswered. It keeps still, each register holding its own address, until it is set moving.
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

    // Sets the values moving (DeviceMotion.h); every entry that does not move holds its own
    // address as its value, in its type and order (a bool: whether the address is odd).
    void startMoving();
    // The names that move, once moving.
    QStringList movingNames() const;

    // The requests it has answered or rejected so far, and the function codes of the last 64.
    int requestCount() const { return m_requests.load(); }
    QList<int> functionCodes() const;

protected:
    bool readData(QModbusDataUnit* newData) const override;
    bool writeData(const QModbusDataUnit& unit) override;
    QModbusResponse processRequest(const QModbusPdu& request) override;

private:
    bool absent(QModbusDataUnit::RegisterType table, int first, int last) const;

    RegisterMap m_map;
    QList<AddressRange> m_absent;
    std::unique_ptr<DeviceMotion> m_motion;
    std::atomic_int m_requests = 0;
    QList<int> m_functionCodes;
};

} // namespace modbus
