#include "engine/sim/SimEngine.h"

#include "engine/EngineError.h"

namespace sim {

SimWorkspace::SimWorkspace(std::shared_ptr<const Catalog> catalog) : m_catalog(std::move(catalog)) {}

Variant SimWorkspace::ProviderNames(const Variant& option)
{
    requireEmptyOption(option, QStringLiteral("ProviderNames"));
    QStringList names;
    for (const Provider& provider : m_catalog->providers)
        names.append(provider.name);
    return Variant::textArray(names);
}

std::shared_ptr<IController> SimWorkspace::AddController(const QString& controllerName,
                                                         const QString& providerName,
                                                         const QString& machineName, const QString& option)
{
    std::shared_ptr<const ControllerData> data =
        connectController(*m_catalog, m_counters, controllerName, providerName, machineName, option);
    std::shared_ptr<DeviceMemory>& memory = m_devices[data->device];
    if (!memory)
        memory = std::make_shared<DeviceMemory>();
    return std::make_shared<SimController>(std::move(data), memory);
}

SimWorkspaces::SimWorkspaces(std::shared_ptr<const Catalog> catalog)
    : m_workspace0(std::make_shared<SimWorkspace>(std::move(catalog)))
{
}

std::shared_ptr<IWorkspace> SimWorkspaces::Item(qint16 index)
{
    if (index != 0)
        throw EngineError(QStringLiteral("There is no workspace %1.").arg(index));
    return m_workspace0;
}

SimEngine::SimEngine(std::shared_ptr<const Catalog> catalog)
    : m_workspaces(std::make_shared<SimWorkspaces>(std::move(catalog)))
{
}

std::shared_ptr<IWorkspaces> SimEngine::Workspaces()
{
    return m_workspaces;
}

} // namespace sim
