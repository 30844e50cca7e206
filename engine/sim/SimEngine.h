#pragma once

#include "engine/EngineApi.h"
#include "engine/sim/SimCatalog.h"
#include "engine/sim/SimConnect.h"
#include "engine/sim/SimObjects.h"

#include <memory>

// The engine side of the simulation: the engine object, its workspace collection and
// workspace 0, which adds controllers from the catalog.
namespace sim {

class SimWorkspace final : public IWorkspace
{
public:
    explicit SimWorkspace(std::shared_ptr<const Catalog> catalog);

    Variant ProviderNames(const Variant& option) override;
    std::shared_ptr<IController> AddController(const QString& controllerName, const QString& providerName,
                                               const QString& machineName, const QString& option) override;

private:
    std::shared_ptr<const Catalog> m_catalog;
    NameCounters m_counters;
    // What was written to each device, so that a new connection reads it back.
    QHash<QString, std::shared_ptr<DeviceMemory>> m_devices;
};

class SimWorkspaces final : public IWorkspaces
{
public:
    explicit SimWorkspaces(std::shared_ptr<const Catalog> catalog);

    std::shared_ptr<IWorkspace> Item(qint16 index) override;

private:
    std::shared_ptr<IWorkspace> m_workspace0;
};

class SimEngine final : public IEngine
{
public:
    explicit SimEngine(std::shared_ptr<const Catalog> catalog);

    std::shared_ptr<IWorkspaces> Workspaces() override;

private:
    std::shared_ptr<SimWorkspaces> m_workspaces;
};

} // namespace sim
