#include "engine/pluginkit/QuorSqlExtensions.h"

#include "engine/EngineError.h"
#include "engine/pluginkit/PluginOptions.h"

#include <cmath>

namespace pluginkit {

namespace {

const QString kQuorSqlName = QStringLiteral("QuorSQL");
const QString kItemNamesPrefix = QStringLiteral("GET:");
const QString kItemNamesSuffix = QStringLiteral("::!ItemNames:");

} // namespace

const QString kControllerNamesQuery = QStringLiteral("GET:$ENGINE$::!ControllerNames:");

bool itemNamesQueryTarget(const QString& query, QString* controllerName)
{
    if (query.size() < kItemNamesPrefix.size() + kItemNamesSuffix.size() ||
        !query.startsWith(kItemNamesPrefix) || !query.endsWith(kItemNamesSuffix))
        return false;
    *controllerName =
        query.mid(kItemNamesPrefix.size(), query.size() - kItemNamesPrefix.size() - kItemNamesSuffix.size());
    return true;
}

QuorSqlExtensions::QuorSqlExtensions(QueryAnswer answer) : m_answer(std::move(answer)) {}

void QuorSqlExtensions::Remove(const Variant& index)
{
    const double number = index.kind() == Variant::Kind::Number ? index.toNumber() : std::nan("");
    if (!(number == std::floor(number) && number >= 1 && number <= static_cast<double>(m_items.size())))
        throw EngineError(QStringLiteral("There is no extension at index %1.")
                              .arg(index.kind() == Variant::Kind::Number ? index.toText()
                                                                         : QStringLiteral("(not a number)")));
    m_items.removeAt(static_cast<qsizetype>(number) - 1);
}

std::shared_ptr<IExtension> QuorSqlExtensions::add(const QString& name, const Variant& option)
{
    if (name.compare(kQuorSqlName, Qt::CaseInsensitive) != 0)
        throw EngineError(QStringLiteral("There is no extension \"%1\".").arg(name));
    requireEmptyOption(option, QStringLiteral("AddExtension"));
    auto extension = std::make_shared<QuorSqlExtension>(weak_from_this());
    m_items.append(extension);
    return extension;
}

qint32 QuorSqlExtensions::placeOf(const QuorSqlExtension* extension) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).get() == extension)
            return static_cast<qint32>(i + 1);
    }
    return 0;
}

QuorSqlExtension::QuorSqlExtension(std::weak_ptr<QuorSqlExtensions> owner) : m_owner(std::move(owner)) {}

Variant QuorSqlExtension::Value() const
{
    attachedOwner();
    return m_value;
}

void QuorSqlExtension::setValue(const Variant& value)
{
    attachedOwner();
    m_value = value;
}

void QuorSqlExtension::Execute(qint32 mode)
{
    const std::shared_ptr<QuorSqlExtensions> owner = attachedOwner();
    if (mode != 0)
        throw EngineError(QStringLiteral("Execute mode %1 is not supported.").arg(mode));
    if (m_value.kind() != Variant::Kind::Text)
        throw EngineError(QStringLiteral("The query must be a text."));
    m_value = owner->answer(m_value.toText());
}

qint32 QuorSqlExtension::Index() const
{
    return attachedOwner()->placeOf(this);
}

std::shared_ptr<QuorSqlExtensions> QuorSqlExtension::attachedOwner() const
{
    std::shared_ptr<QuorSqlExtensions> owner = m_owner.lock();
    if (!owner || owner->placeOf(this) == 0)
        throw EngineError(QStringLiteral("The extension has been removed."));
    return owner;
}

Variant answerAsController(const QString& query, const QString& name,
                           const std::function<QStringList()>& itemNames)
{
    if (query == kControllerNamesQuery)
        return Variant::textArray({name});
    QString target;
    if (!itemNamesQueryTarget(query, &target))
        throw EngineError(QStringLiteral("The query \"%1\" is not understood.").arg(query));
    if (target.compare(name, Qt::CaseInsensitive) != 0)
        throw EngineError(QStringLiteral("The controller %1 knows no controller \"%2\".").arg(name, target));
    return Variant::textArray(itemNames());
}

} // namespace pluginkit
