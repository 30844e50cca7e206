#include "engine/opcua/OpcUaPlugin.h"

#include "engine/opcua/BridgeSetup.h"
#include "engine/opcua/OpcUaController.h"
#include "engine/opcua/OpcUaEngine.h"
#include "engine/opcua/OpcUaValues.h"

std::shared_ptr<IEngine> OpcUaPlugin::createEngine()
{
    // Only looked for here: the bridge itself starts at the first connection.
    const opcua::BridgeSetup setup = opcua::findBridge();
    if (!setup.problem.isEmpty()) {
        setProperty("errorString",
                    QStringLiteral("%1 is not offered: %2").arg(opcua::kProviderName, setup.problem));
        return nullptr;
    }
    setProperty("errorString", QString());
    return std::make_shared<opcua::OpcUaEngine>();
}

std::shared_ptr<IControllerValues> OpcUaPlugin::values(const std::shared_ptr<IController>& controller)
{
    const auto opcUa = std::dynamic_pointer_cast<opcua::OpcUaController>(controller);
    return opcUa ? std::make_shared<opcua::OpcUaValues>(opcUa) : nullptr;
}
