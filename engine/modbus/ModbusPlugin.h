#pragma once

#include "engine/EnginePlugin.h"
#include "engine/ValueCapability.h"

#include <QObject>

// The root object of the Modbus engine plug-in; it offers the live values of its
// controllers too.
class ModbusPlugin final : public QObject, public IEnginePlugin, public IValueEnginePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorEnginePlugin_iid)
    Q_INTERFACES(IEnginePlugin IValueEnginePlugin)

public:
    std::shared_ptr<IEngine> createEngine() override;
    std::shared_ptr<IControllerValues> values(const std::shared_ptr<IController>& controller) override;
};
