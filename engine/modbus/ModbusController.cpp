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
        controller->servedNames();
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
    return Variant::textArray(servedNames());
}

QStringList ModbusController::servedNames()
{
    const QList<bool> served = m_link.served(m_map, m_browseListener);
    QStringList names;
    for (qsizetype i = 0; i < m_map->size(); ++i) {
        if (served.at(i))
            names.append(m_map->at(i).name);
    }
    return names;
}

Variant ModbusController::answer(const QString& query)
{
    if (query == pluginkit::kControllerNamesQuery)
        return Variant::textArray({m_name});
    QString target;
    if (!pluginkit::itemNamesQueryTarget(query, &target))
        throw EngineError(QStringLiteral("The query \"%1\" is not understood.").arg(query));
    if (target.compare(m_name, Qt::CaseInsensitive) != 0)
        throw EngineError(
            QStringLiteral("The controller %1 knows no controller \"%2\".").arg(m_name, target));
    return Variant::textArray(servedNames());
}

void ModbusController::setBrowseListener(Listener listener)
{
    m_browseListener = std::move(listener);
}

pluginkit::QuorSqlExtensions& ModbusController::extensions()
{
    if (!m_extensions) {
        m_extensions = std::make_shared<pluginkit::QuorSqlExtensions>(
            [controller = weak_from_this()](const QString& query) {
                const std::shared_ptr<ModbusController> held = controller.lock();
                if (!held)
                    throw EngineError(QStringLiteral("The controller has been released."));
                return held->answer(query);
            });
    }
    return *m_extensions;
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
