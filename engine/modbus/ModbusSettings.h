#pragma once

#include "engine/modbus/RegisterMap.h"

#include <QString>

// What the QuorProv.ModbusTCP provider takes from AddController's machine and option fields:
//   machine: "host" or "host:port" (port 502 by default; an IPv6 address in brackets when a
//            port follows it);
//   option:  "Unit=<0..255>" (default 1), "Timeout=<ms>" (default 3000), "Map=<register map
//            file>" (required; a relative path is taken from the working folder).
namespace modbus {

constexpr int kDefaultPort = 502;
constexpr int kDefaultUnit = 1;
constexpr int kDefaultTimeoutMs = 3000;

struct ModbusSettings
{
    QString host;
    int port = kDefaultPort;
    int unit = kDefaultUnit;
    int timeoutMs = kDefaultTimeoutMs;
    QString mapPath;

    // "host:port" as the messages name the device.
    QString place() const;
};

// Reads the fields; throws EngineError saying what is wrong. The map is not read here.
ModbusSettings parseSettings(const QString& machine, const QString& option);

} // namespace modbus
