#include "engine/modbus/ModbusPlugin.h"

#include "engine/modbus/ModbusEngine.h"

std::shared_ptr<IEngine> ModbusPlugin::createEngine()
{
    return std::make_shared<modbus::ModbusEngine>();
}
