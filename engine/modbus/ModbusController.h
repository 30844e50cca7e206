#pragma once

#include "engine/BrowseProgress.h"
#include "engine/EngineApi.h"
#include "engine/modbus/ModbusLink.h"
#include "engine/modbus/RegisterMap.h"
#include "engine/pluginkit/QuorSqlExtensions.h"

#include <memory>

// A Modbus device reached through QuorProv.ModbusTCP or QuorProv.ModbusRTU. Its variables are the names of
// its register map that the device really serves, found out afresh by each VariableNames. The engine calls
// may come from any thread, one at a time; its live values (ModbusValues) keep a connection of their own on
// the thread that reads them.
namespace modbus {

class ModbusController final : public IController,
                               public IBrowseProgress,
                               public std::enable_shared_from_this<ModbusController>
{
public:
    // Connects within the timeout and reads the device once to prove that the unit answers; fails
    // when the device serves none of the map's names.
    static std::shared_ptr<ModbusController> connect(const QString& name, const ModbusSettings& settings,
                                                     RegisterMap map);

    ModbusController(const QString& name, const ModbusSettings& settings, RegisterMap map);

    QString Name() const override;
    Variant VariableNames(const Variant& option) override;
    std::shared_ptr<IExtension> AddExtension(const QString& name, const Variant& option) override;
    std::shared_ptr<IExtensions> Extensions() override;
    void setBrowseListener(Listener listener) override;

    const ModbusSettings& settings() const { return m_link.settings(); }
    const std::shared_ptr<const RegisterMap>& map() const { return m_map; }

    // The names of the map that the device serves, found out afresh. QuorSQL asks for them too: the
    // controller answers for itself, as a query server would for it.
    QStringList itemNames();

private:
    pluginkit::QuorSqlExtensions& extensions();

    QString m_name;
    std::shared_ptr<const RegisterMap> m_map;
    ModbusLink m_link;
    std::shared_ptr<pluginkit::QuorSqlExtensions> m_extensions;
    Listener m_browseListener;
};

} // namespace modbus
