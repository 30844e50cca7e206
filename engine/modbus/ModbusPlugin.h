#pragma once

#include "engine/EnginePlugin.h"

#include <QObject>

// The root object of the Modbus TCP engine plug-in.
class ModbusPlugin final : public QObject, public IEnginePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorEnginePlugin_iid)
    Q_INTERFACES(IEnginePlugin)

public:
    std::shared_ptr<IEngine> createEngine() override;
};
