#include "engine/sim/SimObjects.h"

#include "engine/EngineError.h"

#include <cmath>

namespace sim {

namespace {

const QString kQuorSqlName = QStringLiteral("QuorSQL");
const QString kControllerNamesQuery = QStringLiteral("GET:$ENGINE$::!ControllerNames:");
const QString kItemNamesPrefix = QStringLiteral("GET:");
const QString kItemNamesSuffix = QStringLiteral("::!ItemNames:");

} // namespace

void requireEmptyOption(const Variant& option, const QString& operation)
{
    if (option.isEmpty() || (option.kind() == Variant::Kind::Text && option.toText().isEmpty()))
        return;
    throw EngineError(QStringLiteral("%1 takes no option.").arg(operation));
}

void SimExtensions::Remove(const Variant& index)
{
    const double number = index.kind() == Variant::Kind::Number ? index.toNumber() : std::nan("");
    if (!(number == std::floor(number) && number >= 1 && number <= static_cast<double>(m_items.size())))
        throw EngineError(QStringLiteral("There is no extension at index %1.")
                              .arg(index.kind() == Variant::Kind::Number ? index.toText()
                                                                         : QStringLiteral("(not a number)")));
    m_items.removeAt(static_cast<qsizetype>(number) - 1);
}

std::shared_ptr<SimExtension> SimExtensions::add(const std::shared_ptr<const ControllerData>& data)
{
    auto extension = std::make_shared<SimExtension>(data, weak_from_this());
    m_items.append(extension);
    return extension;
}

qint32 SimExtensions::placeOf(const SimExtension* extension) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).get() == extension)
            return static_cast<qint32>(i + 1);
    }
    return 0;
}

SimExtension::SimExtension(std::shared_ptr<const ControllerData> data, std::weak_ptr<SimExtensions> owner)
    : m_data(std::move(data)), m_owner(std::move(owner))
{
}

Variant SimExtension::Value() const
{
    requireAttached();
    return m_value;
}

void SimExtension::setValue(const Variant& value)
{
    requireAttached();
    m_value = value;
}

void SimExtension::Execute(qint32 mode)
{
    requireAttached();
    if (mode != 0)
        throw EngineError(QStringLiteral("Execute mode %1 is not supported.").arg(mode));
    if (m_value.kind() != Variant::Kind::Text)
        throw EngineError(QStringLiteral("The query must be a text."));
    m_value = answer(m_value.toText());
}

qint32 SimExtension::Index() const
{
    requireAttached();
    return m_owner.lock()->placeOf(this);
}

void SimExtension::requireAttached() const
{
    const std::shared_ptr<SimExtensions> owner = m_owner.lock();
    if (!owner || owner->placeOf(this) == 0)
        throw EngineError(QStringLiteral("The extension has been removed."));
}

Variant SimExtension::answer(const QString& query) const
{
    if (!m_data->answersQueries)
        throw EngineError(QStringLiteral("The controller %1 does not answer queries.").arg(m_data->name));
    if (query == kControllerNamesQuery) {
        QStringList names;
        for (const ControllerDef& controller : m_data->reported)
            names.append(controller.name);
        return Variant::textArray(names);
    }
    if (query.size() >= kItemNamesPrefix.size() + kItemNamesSuffix.size() &&
        query.startsWith(kItemNamesPrefix) && query.endsWith(kItemNamesSuffix)) {
        const QString name = query.mid(kItemNamesPrefix.size(),
                                       query.size() - kItemNamesPrefix.size() - kItemNamesSuffix.size());
        for (const ControllerDef& controller : m_data->reported) {
            if (controller.name.compare(name, Qt::CaseInsensitive) == 0)
                return Variant::textArray(controller.variables.names());
        }
        throw EngineError(QStringLiteral("The query server knows no controller \"%1\".").arg(name));
    }
    throw EngineError(QStringLiteral("The query \"%1\" is not understood.").arg(query));
}

SimController::SimController(std::shared_ptr<const ControllerData> data)
    : m_data(std::move(data)), m_extensions(std::make_shared<SimExtensions>())
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
    if (name.compare(kQuorSqlName, Qt::CaseInsensitive) != 0)
        throw EngineError(QStringLiteral("There is no extension \"%1\".").arg(name));
    requireEmptyOption(option, QStringLiteral("AddExtension"));
    return m_extensions->add(m_data);
}

std::shared_ptr<IExtensions> SimController::Extensions()
{
    return m_extensions;
}

} // namespace sim
