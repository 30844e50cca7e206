#pragma once

#include "engine/BrowseProgress.h"
#include "engine/EngineApi.h"
#include "engine/opcua/OpcUaLink.h"
#include "engine/pluginkit/QuorSqlExtensions.h"

#include <memory>

// An OPC UA server reached through QuorProv.OpcUa. Its variables are the Variable nodes under
// the root, each named by its browse path from the root joined with "." (the NodeId follows in
// brackets where two would share a name), listed afresh by each VariableNames. The session lives
// in the bridge, opened again by the next request when it was lost. Engine calls may come from
// any thread, one at a time.
namespace opcua {

class OpcUaController final : public IController,
                              public IBrowseProgress,
                              public std::enable_shared_from_this<OpcUaController>
{
public:
    // Opens a session within the timeout; throws EngineError with the status code's name.
    static std::shared_ptr<OpcUaController> connect(const QString& name, const OpcUaSettings& settings);

    OpcUaController(const QString& name, const OpcUaSettings& settings);
    // Closes the session in the bridge.
    ~OpcUaController() override;
    Q_DISABLE_COPY_MOVE(OpcUaController)

    QString Name() const override;
    Variant VariableNames(const Variant& option) override;
    std::shared_ptr<IExtension> AddExtension(const QString& name, const Variant& option) override;
    std::shared_ptr<IExtensions> Extensions() override;
    void setBrowseListener(Listener listener) override;

    const OpcUaLink& link() const { return m_link; }

    // The variables under the root, browsed afresh. QuorSQL asks for them too: the controller
    // answers for itself, as a query server would for it.
    QStringList itemNames();

private:
    pluginkit::QuorSqlExtensions& extensions();

    QString m_name;
    OpcUaLink m_link;
    std::shared_ptr<pluginkit::QuorSqlExtensions> m_extensions;
    Listener m_browseListener;
};

} // namespace opcua
