#pragma once

#include "engine/EngineApi.h"

#include <QString>
#include <memory>

// The connection library of the Modbus TCP plug-in: everything that talks to a device, with
// the network and serial-bus libraries it needs. The plug-in loads it at its first
// AddController, so a run that never connects by Modbus never loads them.
namespace modbus {

// What AddController was given, the controller's name already chosen.
struct ConnectRequest
{
    QString controllerName;
    QString machineName;
    QString option;
};

struct ConnectResult
{
    std::shared_ptr<IController> controller;
};

} // namespace modbus

// The library's one entry point: connects as the request says, or throws EngineError saying
// why not.
#define QUOR_MODBUS_CONNECT_SYMBOL "quorModbusConnect"
using QuorModbusConnect = void(const modbus::ConnectRequest& request, modbus::ConnectResult& result);
