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
    return Variant::textArray(browse());
}

QStringList OpcUaController::browse()
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

Variant OpcUaController::answer(const QString& query)
{
    if (query == pluginkit::kControllerNamesQuery)
        return Variant::textArray({m_name});
    QString target;
    if (!pluginkit::itemNamesQueryTarget(query, &target))
        throw EngineError(QStringLiteral("The query \"%1\" is not understood.").arg(query));
    if (target.compare(m_name, Qt::CaseInsensitive) != 0)
        throw EngineError(
            QStringLiteral("The controller %1 knows no controller \"%2\".").arg(m_name, target));
    return Variant::textArray(browse());
}

void OpcUaController::setBrowseListener(Listener listener)
{
    m_browseListener = std::move(listener);
}

pluginkit::QuorSqlExtensions& OpcUaController::extensions()
{
    if (!m_extensions) {
        m_extensions = std::make_shared<pluginkit::QuorSqlExtensions>(
            [controller = weak_from_this()](const QString& query) {
                const std::shared_ptr<OpcUaController> held = controller.lock();
                if (!held)
                    throw EngineError(QStringLiteral("The controller has been released."));
                return held->answer(query);
            });
    }
    return *m_extensions;
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
