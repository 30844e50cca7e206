#pragma once

#include "engine/EnginePlugin.h"
#include "engine/ValueCapability.h"

#include <QObject>

// The root object of the simulation engine plug-in. When no engine can be made (the
// catalog cannot be read), the reason is left in the property "errorString". It also offers
// the live values of the controllers its engines connect.
class SimPlugin final : public QObject, public IEnginePlugin, public IValueEnginePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorEnginePlugin_iid)
    Q_INTERFACES(IEnginePlugin IValueEnginePlugin)

public:
    std::shared_ptr<IEngine> createEngine() override;
    std::shared_ptr<IControllerValues> values(const std::shared_ptr<IController>& controller) override;
};
