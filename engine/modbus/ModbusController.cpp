#include "engine/modbus/ModbusController.h"

#include "engine/EngineError.h"
#include "engine/pluginkit/PluginOptions.h"

namespace modbus {

std::shared_ptr<ModbusController> ModbusController::connect(const QString& name,
                                                            const ModbusSettings& settings, RegisterMap map)
{
    auto controller = std::make_shared<ModbusController>(name, settings, std::move(map));
    // Any answer proves the unit is there, a rejection of the address included; a device that
    // rejects the first entry may reject them all, which makes no use of the connection.
    if (!controller->m_link.probe(blockOf(*controller->m_map, 0)))
        controller->itemNames();
    return controller;
}

ModbusController::ModbusController(const QString& name, const ModbusSettings& settings, RegisterMap map)
    : m_name(name), m_map(std::make_shared<const RegisterMap>(std::move(map))), m_link(settings)
{
}

QString ModbusController::Name() const
{
    return m_name;
}

Variant ModbusController::VariableNames(const Variant& option)
{
    pluginkit::requireEmptyOption(option, QStringLiteral("VariableNames"));
    return Variant::textArray(itemNames());
}

QStringList ModbusController::itemNames()
{
    const QList<bool> served = m_link.served(m_map, m_browseListener);
    QStringList names;
    for (qsizetype i = 0; i < m_map->size(); ++i) {
        if (served.at(i))
            names.append(m_map->at(i).name);
    }
    return names;
}

void ModbusController::setBrowseListener(Listener listener)
{
    m_browseListener = std::move(listener);
}

pluginkit::QuorSqlExtensions& ModbusController::extensions()
{
    return pluginkit::selfAnsweringExtensions(m_extensions, weak_from_this());
}

std::shared_ptr<IExtension> ModbusController::AddExtension(const QString& name, const Variant& option)
{
    return extensions().add(name, option);
}

std::shared_ptr<IExtensions> ModbusController::Extensions()
{
    extensions();
    return m_extensions;
}

} // namespace modbus
