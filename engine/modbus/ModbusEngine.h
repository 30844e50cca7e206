#pragma once

#include "engine/EngineApi.h"
#include "engine/pluginkit/OneWorkspaceEngine.h"

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

using ModbusEngine = pluginkit::OneWorkspaceEngine<ModbusWorkspace>;

} // namespace modbus
