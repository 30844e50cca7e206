#include "engine/opcua/OpcUaEngine.h"

#include "engine/EngineError.h"
#include "engine/opcua/OpcUaController.h"
#include "engine/opcua/OpcUaSettings.h"
#include "engine/pluginkit/PluginOptions.h"

namespace opcua {

Variant OpcUaWorkspace::ProviderNames(const Variant& option)
{
    pluginkit::requireEmptyOption(option, QStringLiteral("ProviderNames"));
    return Variant::textArray({kProviderName});
}

std::shared_ptr<IController> OpcUaWorkspace::AddController(const QString& controllerName,
                                                           const QString& providerName,
                                                           const QString& machineName, const QString& option)
{
    if (providerName.compare(kProviderName, Qt::CaseInsensitive) != 0)
        throw EngineError(QStringLiteral("There is no provider \"%1\".").arg(providerName));
    const QString name =
        controllerName.isEmpty() ? QStringLiteral("OpcUa_%1").arg(m_unnamed + 1) : controllerName;
    auto controller = OpcUaController::connect(name, parseSettings(machineName, option));
    if (controllerName.isEmpty())
        ++m_unnamed;
    return controller;
}

} // namespace opcua
