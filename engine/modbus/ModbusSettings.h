#pragma once

#include "engine/modbus/RegisterMap.h"

#include <QString>

// What the QuorProv.ModbusTCP provider takes from AddController's machine and option fields:
//   machine: "host" or "host:port" (port 502 by default; an IPv6 address in brackets when a
//            port follows it);
//   option:  "Unit=<0..255>" (default 1), "Timeout=<ms>" (default 3000), "Map=<register map
//            file>" (required; a relative path is looked for beside the tag file,
//            then in the working folder).
// QuorProv.ModbusRTU takes the serial device as the machine ("/dev/ttyUSB0") and, beside those
// three, "Baud=" (default 19200), "Parity=N|E|O" (default E), "DataBits=5..8" (default 8) and
// "StopBits=1|2" (default 1).
namespace modbus {

constexpr int kDefaultPort = 502;
constexpr int kDefaultUnit = 1;
constexpr int kDefaultTimeoutMs = 3000;

// How a device is reached: Modbus TCP, or RTU frames on a serial line.
enum class Transport
{
    Tcp,
    Rtu
};

constexpr int kDefaultBaudRate = 19200;

struct ModbusSettings
{
    Transport transport = Transport::Tcp;
    // Tcp: the device's host and port.
    QString host;
    int port = kDefaultPort;
    int unit = kDefaultUnit;
    int timeoutMs = kDefaultTimeoutMs;
    QString mapPath;
    // Rtu: the serial device ("/dev/ttyUSB0") and its line settings; parity is 'N', 'E' or 'O'.
    QString serialPort;
    int baudRate = kDefaultBaudRate;
    char parity = 'E';
    int dataBits = 8;
    int stopBits = 1;

    // "host:port" (or the serial device) as the messages name the device.
    QString place() const;
};

// Reads the fields; throws EngineError saying what is wrong. The map is not read here.
ModbusSettings parseSettings(const QString& machine, const QString& option);
// The same for the serial line of QuorProv.ModbusRTU.
ModbusSettings parseRtuSettings(const QString& machine, const QString& option);
// Reads a machine field of Modbus TCP ("host" or "host:port") into the settings; throws
// EngineError saying what is wrong.
void readTcpMachine(const QString& machine, ModbusSettings& settings);

} // namespace modbus
