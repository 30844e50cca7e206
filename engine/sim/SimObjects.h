#pragma once

#include "engine/EngineApi.h"
#include "engine/pluginkit/PluginOptions.h"
#include "engine/pluginkit/QuorSqlExtensions.h"
#include "engine/sim/SimBehaviour.h"
#include "engine/sim/SimCatalog.h"

#include <QHash>
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
    // The catalogued device reached; connections to the same device share what was written.
    QString device;
    // The connection's timeout, and how long the device takes to answer for its values.
    int timeoutMs = 1000;
    int answerMs = 0;
    // Set when the connection is a query server; it answers QuorSQL queries about these.
    bool answersQueries = false;
    QList<ControllerDef> reported;
};

// What was written to the variables of one device, by name; kept by the workspace for every
// connection to that device.
using DeviceMemory = QHash<QString, Written>;

class SimController final : public IController
{
public:
    SimController(std::shared_ptr<const ControllerData> data, std::shared_ptr<DeviceMemory> memory);

    const std::shared_ptr<const ControllerData>& data() const { return m_data; }
    DeviceMemory& memory() { return *m_memory; }
    const DeviceMemory& memory() const { return *m_memory; }

    QString Name() const override;
    Variant VariableNames(const Variant& option) override;
    std::shared_ptr<IExtension> AddExtension(const QString& name, const Variant& option) override;
    std::shared_ptr<IExtensions> Extensions() override;

private:
    std::shared_ptr<const ControllerData> m_data;
    std::shared_ptr<DeviceMemory> m_memory;
    std::shared_ptr<pluginkit::QuorSqlExtensions> m_extensions;
};

// The answer of a connection to a QuorSQL query; throws EngineError when it has none.
Variant answerQuery(const ControllerData& data, const QString& query);

} // namespace sim
