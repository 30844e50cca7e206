#include "engine/Connection.h"

#include "engine/ConnectionOptions.h"
#include "engine/FailureText.h"
#include "engine/VariantList.h"

using namespace ConnectionOptions;

Connection::Connection(std::shared_ptr<IWorkspace> workspace) : m_workspace(std::move(workspace)) {}

void Connection::setWorkspace(std::shared_ptr<IWorkspace> workspace)
{
    m_workspace = std::move(workspace);
}

std::optional<QString> Connection::connect(const ConnectionRequest& request)
{
    try {
        if (!m_workspace)
            throw EngineError(QStringLiteral("No workspace."));
        std::shared_ptr<IController> controller =
            m_workspace->AddController(request.controller, request.provider, request.machine, request.option);
        if (!controller)
            throw EngineError(QStringLiteral("The engine returned no controller."));
        m_controller = std::move(controller);
        m_request = request;
        return std::nullopt;
    } catch (...) {
        return reasonLines({currentFailureText(), request.describe()});
    }
}

void Connection::disconnect()
{
    m_quorSql.reset();
    m_controller.reset();
    m_request = ConnectionRequest();
}

IController& Connection::connected() const
{
    if (!m_controller)
        throw EngineError(QStringLiteral("No controller is connected."));
    return *m_controller;
}

QString Connection::connectionFailure() const
{
    return reasonLines({currentFailureText(), m_request.describe()});
}

Outcome<QString> Connection::controllerName() const
{
    Outcome<QString> name;
    try {
        name.value = connected().Name();
    } catch (...) {
        name.failure = connectionFailure();
    }
    return name;
}

Outcome<std::shared_ptr<clsCtrlParameter>> Connection::record() const
{
    Outcome<std::shared_ptr<clsCtrlParameter>> made;
    if (!isConnected()) {
        made.failure = controllerName().failure;
        return made;
    }
    auto record = std::make_shared<clsCtrlParameter>();
    record->m_lConnectType =
        m_request.way == ConnectionWay::Tulo ? kQueryServerConnection : kProviderConnection;
    record->m_strProviderName = m_request.provider;
    record->m_strMachineName = m_request.machine;
    record->m_strOptionVal = m_request.option;
    if (m_request.way == ConnectionWay::Quor) {
        record->m_strControllerName = m_request.controller;
    } else {
        const Outcome<QString> name = controllerName();
        if (!name.ok()) {
            made.failure = name.failure;
            return made;
        }
        record->m_strControllerName = name.value;
    }
    made.value = std::move(record);
    return made;
}

NameListing Connection::listNames(const QString& query, const std::function<Variant()>& ask)
{
    NameListing listing;
    try {
        const Variant names = ask();
        try {
            listing.value = textsOf(names);
        } catch (const EngineError&) {
            // The names before the element that failed are still listed.
            listing.value = textsBeforeFailure(names);
            throw;
        }
    } catch (...) {
        listing.failure = reasonLines({QStringLiteral("Query: %1").arg(query), currentFailureText()});
    }
    return listing;
}

Variant Connection::runQuorSqlQuery(const QString& query)
{
    m_quorSql = connected().AddExtension(QStringLiteral("QuorSQL"), Variant());
    if (!m_quorSql)
        throw EngineError(QStringLiteral("The QuorSQL extension was not added."));
    m_quorSql->setValue(Variant::text(query));
    m_quorSql->Execute(0);
    return m_quorSql->Value();
}

NameListing Connection::listByQuery(const QString& query)
{
    return listNames(query, [this, &query] { return runQuorSqlQuery(query); });
}

NameListing Connection::controllerNames()
{
    return listByQuery(controllerNamesQuery());
}

NameListing Connection::variableNames()
{
    // Without a query the controller's own list is asked for.
    return listNames(QStringLiteral("VariableNames"),
                     [this] { return connected().VariableNames(Variant()); });
}

NameListing Connection::itemNames(const QString& serverController)
{
    return listByQuery(itemNamesQuery(serverController));
}

void Connection::removeQuorSqlExtension()
{
    if (!m_quorSql)
        return;
    try {
        const std::shared_ptr<IExtensions> extensions = connected().Extensions();
        if (!extensions)
            throw EngineError(QStringLiteral("The controller has no extension collection."));
        extensions->Remove(Variant::number(m_quorSql->Index()));
    } catch (...) {
        // The controller refused; nothing more can be done with the extension.
    }
    m_quorSql.reset();
}
