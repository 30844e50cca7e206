#include "engine/modbus/ModbusPlugin.h"

#include "engine/modbus/ModbusConnectLibrary.h"
#include "engine/modbus/ModbusEngine.h"

std::shared_ptr<IEngine> ModbusPlugin::createEngine()
{
    return std::make_shared<modbus::ModbusEngine>();
}

std::shared_ptr<IControllerValues> ModbusPlugin::values(const std::shared_ptr<IController>& controller)
{
    // The controllers of this plug-in come from its connection library, which knows them.
    QuorModbusValues* entry = modbus::loadedValuesEntry();
    if (!entry || !controller)
        return nullptr;
    std::shared_ptr<IControllerValues> values;
    entry(controller, values);
    return values;
}
