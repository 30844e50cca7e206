#pragma once

#include "engine/EngineApi.h"

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

class OpcUaWorkspaces final : public IWorkspaces
{
public:
    std::shared_ptr<IWorkspace> Item(qint16 index) override;

private:
    std::shared_ptr<OpcUaWorkspace> m_workspace0 = std::make_shared<OpcUaWorkspace>();
};

class OpcUaEngine final : public IEngine
{
public:
    std::shared_ptr<IWorkspaces> Workspaces() override { return m_workspaces; }

private:
    std::shared_ptr<OpcUaWorkspaces> m_workspaces = std::make_shared<OpcUaWorkspaces>();
};

} // namespace opcua
