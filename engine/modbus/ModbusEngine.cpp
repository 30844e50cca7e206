#include "engine/modbus/ModbusEngine.h"

#include "engine/EngineError.h"
#include "engine/modbus/ModbusConnectLibrary.h"
#include "engine/pluginkit/PluginOptions.h"

namespace modbus {

Variant ModbusWorkspace::ProviderNames(const Variant& option)
{
    pluginkit::requireEmptyOption(option, QStringLiteral("ProviderNames"));
    return Variant::textArray({kProviderName, kRtuProviderName});
}

std::shared_ptr<IController> ModbusWorkspace::AddController(const QString& controllerName,
                                                            const QString& providerName,
                                                            const QString& machineName, const QString& option)
{
    const bool rtu = providerName.compare(kRtuProviderName, Qt::CaseInsensitive) == 0;
    if (!rtu && providerName.compare(kProviderName, Qt::CaseInsensitive) != 0)
        throw EngineError(QStringLiteral("There is no provider \"%1\".").arg(providerName));
    int& unnamed = rtu ? m_unnamedRtu : m_unnamed;
    const QString name = !controllerName.isEmpty() ? controllerName
                         : rtu                     ? QStringLiteral("ModbusRTU_%1").arg(unnamed + 1)
                                                   : QStringLiteral("ModbusTCP_%1").arg(unnamed + 1);
    ConnectResult result;
    connectEntry()({name, machineName, option, rtu}, result);
    if (controllerName.isEmpty())
        ++unnamed;
    return result.controller;
}

} // namespace modbus
