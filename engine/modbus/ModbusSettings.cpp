#include "engine/modbus/ModbusSettings.h"

namespace modbus {

QString ModbusSettings::place() const
{
    if (transport == Transport::Rtu)
        return serialPort;
    return host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2").arg(host).arg(port)
                                           : QStringLiteral("%1:%2").arg(host).arg(port);
}

} // namespace modbus
