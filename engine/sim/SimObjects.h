#pragma once

#include "engine/EngineApi.h"
#include "engine/pluginkit/PluginOptions.h"
#include "engine/pluginkit/QuorSqlExtensions.h"
#include "engine/sim/SimCatalog.h"

#include <QList>
#include <memory>

// The controller side of the simulation engine: a connected controller and its extension
// collection, whose QuorSQL extensions answer from what the connection reached.
namespace sim {

using pluginkit::requireEmptyOption;

// What a connection reached; shared by the controller and its extensions.
struct ControllerData
{
    QString name;
    QStringList variables;
    // Set when the connection is a query server; it answers QuorSQL queries about these.
    bool answersQueries = false;
    QList<ControllerDef> reported;
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
    std::shared_ptr<pluginkit::QuorSqlExtensions> m_extensions;
};

// The answer of a connection to a QuorSQL query; throws EngineError when it has none.
Variant answerQuery(const ControllerData& data, const QString& query);

} // namespace sim
