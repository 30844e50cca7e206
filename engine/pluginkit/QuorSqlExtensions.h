#pragma once

#include "engine/EngineApi.h"
#include "engine/EngineError.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

// The extension collection of a plug-in's controller and the QuorSQL extensions in it. What a
// query means is the controller's business: each extension hands the query text it is given to
// the answer function of its collection.
namespace pluginkit {

// The answer to one query text; throws EngineError when there is none.
using QueryAnswer = std::function<Variant(const QString& query)>;

class QuorSqlExtension;

// Places are counted from 1; removing an extension moves the later ones down by one.
class QuorSqlExtensions final : public IExtensions, public std::enable_shared_from_this<QuorSqlExtensions>
{
public:
    explicit QuorSqlExtensions(QueryAnswer answer);

    void Remove(const Variant& index) override;

    // AddExtension of the controller: only "QuorSQL" (any case) with an empty option.
    std::shared_ptr<IExtension> add(const QString& name, const Variant& option);
    // The 1-based place of the extension; 0 once it has been removed.
    qint32 placeOf(const QuorSqlExtension* extension) const;
    Variant answer(const QString& query) const { return m_answer(query); }

private:
    QueryAnswer m_answer;
    QList<std::shared_ptr<QuorSqlExtension>> m_items;
};

class QuorSqlExtension final : public IExtension
{
public:
    explicit QuorSqlExtension(std::weak_ptr<QuorSqlExtensions> owner);

    Variant Value() const override;
    void setValue(const Variant& value) override;
    void Execute(qint32 mode) override;
    qint32 Index() const override;

private:
    std::shared_ptr<QuorSqlExtensions> attachedOwner() const;

    std::weak_ptr<QuorSqlExtensions> m_owner;
    Variant m_value;
};

// The query texts every plug-in understands.
extern const QString kControllerNamesQuery;
// The controller named in "GET:<name>::!ItemNames:"; false when the query is not of that form.
bool itemNamesQueryTarget(const QString& query, QString* controllerName);

// The answer of a controller to a query asked of it as of a query server: its own name to the
// controller names, `itemNames()` to the item names of its own name (without regard to case).
Variant answerAsController(const QString& query, const QString& name,
                           const std::function<QStringList()>& itemNames);

// Makes `extensions` at their first use: a collection whose queries the controller answers by
// answerAsController, from its Name() and itemNames(). It holds the controller weakly.
template <typename Controller>
QuorSqlExtensions& selfAnsweringExtensions(std::shared_ptr<QuorSqlExtensions>& extensions,
                                           const std::weak_ptr<Controller>& controller)
{
    if (!extensions) {
        extensions = std::make_shared<QuorSqlExtensions>([controller](const QString& query) {
            const std::shared_ptr<Controller> held = controller.lock();
            if (!held)
                throw EngineError(QStringLiteral("The controller has been released."));
            return answerAsController(query, held->Name(), [&held] { return held->itemNames(); });
        });
    }
    return *extensions;
}

} // namespace pluginkit
