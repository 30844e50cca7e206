#include "engine/opcua/OpcUaController.h"

#include "engine/EngineError.h"
#include "engine/pluginkit/PluginOptions.h"

#include <QJsonArray>

namespace opcua {

std::shared_ptr<OpcUaController> OpcUaController::connect(const QString& name, const OpcUaSettings& settings)
{
    auto controller = std::make_shared<OpcUaController>(name, settings);
    const OpcUaLink& link = controller->m_link;
    const BridgeAnswer answer =
        Bridge::instance().call(link.request(QStringLiteral("connect")), settings.timeoutMs);
    if (!answer.ok)
        throw EngineError(link.failureText(QStringLiteral("The connection to"), answer));
    return controller;
}

OpcUaController::OpcUaController(const QString& name, const OpcUaSettings& settings)
    : m_name(name), m_link(settings)
{
}

OpcUaController::~OpcUaController()
{
    Bridge::instance().send(m_link.request(QStringLiteral("close")), m_link.settings().timeoutMs,
                            [](const BridgeAnswer&) {});
}

QString OpcUaController::Name() const
{
    return m_name;
}

Variant OpcUaController::VariableNames(const Variant& option)
{
    pluginkit::requireEmptyOption(option, QStringLiteral("VariableNames"));
    return Variant::textArray(itemNames());
}

QStringList OpcUaController::itemNames()
{
    QJsonObject request = m_link.request(QStringLiteral("browse"));
    request.insert(QStringLiteral("depth"), m_link.settings().depth);
    const BridgeAnswer answer =
        Bridge::instance().call(request, m_link.settings().timeoutMs, m_browseListener);
    if (!answer.ok)
        throw EngineError(m_link.failureText(QStringLiteral("Browsing"), answer));
    const QJsonArray names = answer.body.value(QStringLiteral("names")).toArray();
    QStringList list;
    list.reserve(names.size());
    for (const QJsonValue& name : names)
        list.append(name.toString());
    return list;
}

void OpcUaController::setBrowseListener(Listener listener)
{
    m_browseListener = std::move(listener);
}

pluginkit::QuorSqlExtensions& OpcUaController::extensions()
{
    return pluginkit::selfAnsweringExtensions(m_extensions, weak_from_this());
}

std::shared_ptr<IExtension> OpcUaController::AddExtension(const QString& name, const Variant& option)
{
    return extensions().add(name, option);
}

std::shared_ptr<IExtensions> OpcUaController::Extensions()
{
    extensions();
    return m_extensions;
}

} // namespace opcua
