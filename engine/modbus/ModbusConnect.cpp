#include "engine/modbus/ModbusConnect.h"

#include "engine/TagFileFolder.h"
#include "engine/modbus/ModbusController.h"
#include "engine/modbus/ModbusSettings.h"
#include "engine/modbus/ModbusValues.h"

extern "C" Q_DECL_EXPORT void quorModbusConnect(const modbus::ConnectRequest& request,
                                                modbus::ConnectResult& result)
{
    using namespace modbus;
    const ModbusSettings settings = request.rtu ? parseRtuSettings(request.machineName, request.option)
                                                : parseSettings(request.machineName, request.option);
    RegisterMap map = readRegisterMap(locateBesideTagFile(settings.mapPath));
    result.controller = ModbusController::connect(request.controllerName, settings, std::move(map));
}

extern "C" Q_DECL_EXPORT void quorModbusValues(const std::shared_ptr<IController>& controller,
                                               std::shared_ptr<IControllerValues>& values)
{
    values = modbus::valuesOf(controller);
}
