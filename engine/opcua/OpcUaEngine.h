#pragma once

#include "engine/EngineApi.h"
#include "engine/pluginkit/OneWorkspaceEngine.h"

#include <QString>
#include <memory>

// The OPC UA engine: its workspace 0 offers the provider QuorProv.OpcUa.
namespace opcua {

inline const QString kProviderName = QStringLiteral("QuorProv.OpcUa");

class OpcUaWorkspace final : public IWorkspace
{
public:
    Variant ProviderNames(const Variant& option) override;
    std::shared_ptr<IController> AddController(const QString& controllerName, const QString& providerName,
                                               const QString& machineName, const QString& option) override;

private:
    // Controllers added without a name are named by the engine, counted from 1.
    int m_unnamed = 0;
};

using OpcUaEngine = pluginkit::OneWorkspaceEngine<OpcUaWorkspace>;

} // namespace opcua
