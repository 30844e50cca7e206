#pragma once

#include "engine/EnginePlugin.h"

#include <QObject>

// The root object of the simulation engine plug-in. When no engine can be made (the
// catalog cannot be read), the reason is left in the property "errorString".
class SimPlugin final : public QObject, public IEnginePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorEnginePlugin_iid)
    Q_INTERFACES(IEnginePlugin)

public:
    std::shared_ptr<IEngine> createEngine() override;
};
