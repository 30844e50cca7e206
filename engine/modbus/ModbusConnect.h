#pragma once

#include "engine/EngineApi.h"
#include "engine/ValueCapability.h"

#include <QString>
#include <memory>

// The connection library of the Modbus plug-in: everything that talks to a device, with
// the network and serial-bus libraries it needs. The plug-in loads it at its first
// AddController, so a run that never connects by Modbus never loads them.
namespace modbus {

// What AddController was given, the controller's name already chosen.
struct ConnectRequest
{
    QString controllerName;
    QString machineName;
    QString option;
    // QuorProv.ModbusRTU: a serial line, not a TCP device.
    bool rtu = false;
};

struct ConnectResult
{
    std::shared_ptr<IController> controller;
};

} // namespace modbus

// The library's entry points. The first connects as the request says, or throws EngineError
// saying why not; the second gives the live values of a controller the first made, and no
// object for any other controller.
#define QUOR_MODBUS_CONNECT_SYMBOL "quorModbusConnect"
using QuorModbusConnect = void(const modbus::ConnectRequest& request, modbus::ConnectResult& result);
#define QUOR_MODBUS_VALUES_SYMBOL "quorModbusValues"
using QuorModbusValues = void(const std::shared_ptr<IController>& controller,
                              std::shared_ptr<IControllerValues>& values);
