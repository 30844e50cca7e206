#pragma once

#include "engine/EngineApi.h"
#include "engine/sim/SimCatalog.h"

#include <QList>
#include <memory>

// The controller side of the simulation engine: a connected controller, its extension
// collection and the QuorSQL extension.
namespace sim {

// What a connection reached; shared by the controller and its extensions.
struct ControllerData
{
    QString name;
    QStringList variables;
    // Set when the connection is a query server; it answers QuorSQL queries about these.
    bool answersQueries = false;
    QList<ControllerDef> reported;
};

class SimExtension;

// Places are counted from 1; removing an extension moves the later ones down by one.
class SimExtensions final : public IExtensions, public std::enable_shared_from_this<SimExtensions>
{
public:
    void Remove(const Variant& index) override;

    std::shared_ptr<SimExtension> add(const std::shared_ptr<const ControllerData>& data);
    // The 1-based place of the extension; 0 once it has been removed.
    qint32 placeOf(const SimExtension* extension) const;

private:
    QList<std::shared_ptr<SimExtension>> m_items;
};

class SimExtension final : public IExtension
{
public:
    SimExtension(std::shared_ptr<const ControllerData> data, std::weak_ptr<SimExtensions> owner);

    Variant Value() const override;
    void setValue(const Variant& value) override;
    void Execute(qint32 mode) override;
    qint32 Index() const override;

private:
    void requireAttached() const;
    Variant answer(const QString& query) const;

    std::shared_ptr<const ControllerData> m_data;
    std::weak_ptr<SimExtensions> m_owner;
    Variant m_value;
};

class SimController final : public IController
{
public:
    explicit SimController(std::shared_ptr<const ControllerData> data);

    QString Name() const override;
    Variant VariableNames(const Variant& option) override;
    std::shared_ptr<IExtension> AddExtension(const QString& name, const Variant& option) override;
    std::shared_ptr<IExtensions> Extensions() override;

private:
    std::shared_ptr<const ControllerData> m_data;
    std::shared_ptr<SimExtensions> m_extensions;
};

// Operations that take an option accept only an empty one.
void requireEmptyOption(const Variant& option, const QString& operation);

} // namespace sim
