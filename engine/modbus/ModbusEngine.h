#pragma once

#include "engine/EngineApi.h"

#include <QString>
#include <memory>

// The Modbus engine: its workspace 0 offers the providers QuorProv.ModbusTCP and, for serial
// lines, QuorProv.ModbusRTU.
namespace modbus {

inline const QString kProviderName = QStringLiteral("QuorProv.ModbusTCP");
inline const QString kRtuProviderName = QStringLiteral("QuorProv.ModbusRTU");

class ModbusWorkspace final : public IWorkspace
{
public:
    Variant ProviderNames(const Variant& option) override;
    std::shared_ptr<IController> AddController(const QString& controllerName, const QString& providerName,
                                               const QString& machineName, const QString& option) override;

private:
    // Controllers added without a name are named by the engine, counted from 1 for each provider.
    int m_unnamed = 0;
    int m_unnamedRtu = 0;
};

class ModbusWorkspaces final : public IWorkspaces
{
public:
    std::shared_ptr<IWorkspace> Item(qint16 index) override;

private:
    std::shared_ptr<ModbusWorkspace> m_workspace0 = std::make_shared<ModbusWorkspace>();
};

class ModbusEngine final : public IEngine
{
public:
    std::shared_ptr<IWorkspaces> Workspaces() override { return m_workspaces; }

private:
    std::shared_ptr<ModbusWorkspaces> m_workspaces = std::make_shared<ModbusWorkspaces>();
};

} // namespace modbus
