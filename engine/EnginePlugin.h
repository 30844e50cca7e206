#pragma once

#include "engine/EngineApi.h"

#include <QtPlugin>
#include <memory>

// The interface an engine plug-in offers; the plug-in's root object implements it.
class IEnginePlugin
{
public:
    virtual ~IEnginePlugin() = default;
    // A new engine object; no object when the engine cannot be created.
    virtual std::shared_ptr<IEngine> createEngine() = 0;
};

#define QuorEnginePlugin_iid "org.quortageditor.EnginePlugin/1.0"
Q_DECLARE_INTERFACE(IEnginePlugin, QuorEnginePlugin_iid)
