#include "engine/modbus/ModbusEngine.h"

#include "engine/EngineError.h"
#include "engine/modbus/ModbusConnectLibrary.h"
#include "engine/pluginkit/PluginOptions.h"

namespace modbus {

Variant ModbusWorkspace::ProviderNames(const Variant& option)
{
    pluginkit::requireEmptyOption(option, QStringLiteral("ProviderNames"));
    return Variant::textArray({kProviderName});
}

std::shared_ptr<IController> ModbusWorkspace::AddController(const QString& controllerName,
                                                            const QString& providerName,
                                                            const QString& machineName, const QString& option)
{
    if (providerName.compare(kProviderName, Qt::CaseInsensitive) != 0)
        throw EngineError(QStringLiteral("There is no provider \"%1\".").arg(providerName));
    const QString name =
        controllerName.isEmpty() ? QStringLiteral("ModbusTCP_%1").arg(m_unnamed + 1) : controllerName;
    ConnectResult result;
    connectEntry()({name, machineName, option}, result);
    if (controllerName.isEmpty())
        ++m_unnamed;
    return result.controller;
}

std::shared_ptr<IWorkspace> ModbusWorkspaces::Item(qint16 index)
{
    if (index != 0)
        throw EngineError(QStringLiteral("There is no workspace %1.").arg(index));
    return m_workspace0;
}

} // namespace modbus
