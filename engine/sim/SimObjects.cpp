#include "engine/sim/SimObjects.h"

#include "engine/EngineError.h"

namespace sim {

Variant answerQuery(const ControllerData& data, const QString& query)
{
    if (!data.answersQueries)
        throw EngineError(QStringLiteral("The controller %1 does not answer queries.").arg(data.name));
    if (query == pluginkit::kControllerNamesQuery) {
        QStringList names;
        for (const ControllerDef& controller : data.reported)
            names.append(controller.name);
        return Variant::textArray(names);
    }
    QString name;
    if (pluginkit::itemNamesQueryTarget(query, &name)) {
        for (const ControllerDef& controller : data.reported) {
            if (controller.name.compare(name, Qt::CaseInsensitive) == 0)
                return Variant::textArray(controller.variables.names());
        }
        throw EngineError(QStringLiteral("The query server knows no controller \"%1\".").arg(name));
    }
    throw EngineError(QStringLiteral("The query \"%1\" is not understood.").arg(query));
}

SimController::SimController(std::shared_ptr<const ControllerData> data, std::shared_ptr<DeviceMemory> memory)
    : m_data(std::move(data)), m_memory(std::move(memory)),
      m_extensions(std::make_shared<pluginkit::QuorSqlExtensions>(
          [data = m_data](const QString& query) { return answerQuery(*data, query); }))
{
}

QString SimController::Name() const
{
    return m_data->name;
}

Variant SimController::VariableNames(const Variant& option)
{
    requireEmptyOption(option, QStringLiteral("VariableNames"));
    return Variant::textArray(m_data->variables);
}

std::shared_ptr<IExtension> SimController::AddExtension(const QString& name, const Variant& option)
{
    return m_extensions->add(name, option);
}

std::shared_ptr<IExtensions> SimController::Extensions()
{
    return m_extensions;
}

} // namespace sim
