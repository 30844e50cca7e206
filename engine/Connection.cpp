#include "engine/Connection.h"

#include "engine/ConnectionOptions.h"
#include "engine/FailureText.h"
#include "engine/VariantList.h"

using namespace ConnectionOptions;

namespace {

IController& connectedOf(const ControllerPtr& controller)
{
    if (!controller)
        throw EngineError(QStringLiteral("No controller is connected."));
    return *controller;
}

// Inside a catch block: marks the outcome failed with the failure's words followed by `asked`.
template <typename T>
void fail(Outcome<T>& outcome, const QString& asked)
{
    outcome.reason = currentFailureText();
    outcome.failure = reasonLines({outcome.reason, asked});
}

} // namespace

BrowseRequest BrowseRequest::controllerNames()
{
    return {controllerNamesQuery()};
}

BrowseRequest BrowseRequest::itemNames(const QString& serverController)
{
    return {itemNamesQuery(serverController)};
}

Connection::Connection(std::shared_ptr<IWorkspace> workspace) : m_workspace(std::move(workspace)) {}

void Connection::setWorkspace(std::shared_ptr<IWorkspace> workspace)
{
    m_workspace = std::move(workspace);
}

Outcome<ControllerPtr> Connection::addController(const std::shared_ptr<IWorkspace>& workspace,
                                                 const ConnectionRequest& request)
{
    Outcome<ControllerPtr> added;
    try {
        if (!workspace)
            throw EngineError(QStringLiteral("No workspace."));
        added.value =
            workspace->AddController(request.controller, request.provider, request.machine, request.option);
        if (!added.value)
            throw EngineError(QStringLiteral("The engine returned no controller."));
    } catch (...) {
        added.value.reset();
        fail(added, request.describe());
    }
    return added;
}

void Connection::adopt(ControllerPtr controller, const ConnectionRequest& request)
{
    m_controller = std::move(controller);
    m_request = request;
}

std::optional<QString> Connection::connect(const ConnectionRequest& request)
{
    Outcome<ControllerPtr> added = addController(m_workspace, request);
    if (added.ok())
        adopt(std::move(added.value), request);
    return added.failure;
}

void Connection::disconnect()
{
    m_quorSql.reset();
    m_controller.reset();
    m_request = ConnectionRequest();
}

Outcome<QString> Connection::nameOf(const ControllerPtr& controller, const ConnectionRequest& request)
{
    Outcome<QString> name;
    try {
        name.value = connectedOf(controller).Name();
    } catch (...) {
        fail(name, request.describe());
    }
    return name;
}

Outcome<QString> Connection::controllerName() const
{
    return nameOf(m_controller, m_request);
}

Outcome<std::shared_ptr<clsCtrlParameter>> Connection::record() const
{
    // Only the ways that record the engine's name ask for it; nothing connected fails as the
    // name would.
    if (!isConnected() || recordAsksEngine())
        return recordNamed(controllerName());
    return recordNamed({});
}

Outcome<std::shared_ptr<clsCtrlParameter>> Connection::recordNamed(const Outcome<QString>& reportedName) const
{
    Outcome<std::shared_ptr<clsCtrlParameter>> made;
    const bool namedByEngine = !isConnected() || recordAsksEngine();
    if (namedByEngine && !reportedName.ok()) {
        made.failure = reportedName.failure;
        made.reason = reportedName.reason;
        return made;
    }
    auto record = std::make_shared<clsCtrlParameter>();
    record->m_lConnectType =
        m_request.way == ConnectionWay::Tulo ? kQueryServerConnection : kProviderConnection;
    record->m_strControllerName = namedByEngine ? reportedName.value : m_request.controller;
    record->m_strProviderName = m_request.provider;
    record->m_strMachineName = m_request.machine;
    record->m_strOptionVal = m_request.option;
    made.value = std::move(record);
    return made;
}

BrowseAnswer Connection::browse(const ControllerPtr& controller, const BrowseRequest& request)
{
    BrowseAnswer answer;
    NameListing& listing = answer.names;
    try {
        Variant names;
        if (request.query.isEmpty()) {
            // Without a query the controller's own list is asked for.
            names = connectedOf(controller).VariableNames(Variant());
        } else {
            answer.quorSql = connectedOf(controller).AddExtension(QStringLiteral("QuorSQL"), Variant());
            if (!answer.quorSql)
                throw EngineError(QStringLiteral("The QuorSQL extension was not added."));
            answer.quorSql->setValue(Variant::text(request.query));
            answer.quorSql->Execute(0);
            names = answer.quorSql->Value();
        }
        try {
            listing.value = textsOf(names);
        } catch (const EngineError&) {
            // The names before the element that failed are still listed.
            listing.value = textsBeforeFailure(names);
            throw;
        }
    } catch (...) {
        listing.reason = currentFailureText();
        const QString query = request.query.isEmpty() ? QStringLiteral("VariableNames") : request.query;
        listing.failure = reasonLines({QStringLiteral("Query: %1").arg(query), listing.reason});
    }
    return answer;
}

NameListing Connection::browseHeld(const BrowseRequest& request)
{
    BrowseAnswer answer = browse(m_controller, request);
    if (answer.quorSql)
        keepQuorSqlExtension(std::move(answer.quorSql));
    return std::move(answer.names);
}

NameListing Connection::controllerNames()
{
    return browseHeld(BrowseRequest::controllerNames());
}

NameListing Connection::variableNames()
{
    return browseHeld(BrowseRequest::variableNames());
}

NameListing Connection::itemNames(const QString& serverController)
{
    return browseHeld(BrowseRequest::itemNames(serverController));
}

void Connection::removeQuorSqlExtension()
{
    if (!m_quorSql)
        return;
    try {
        const std::shared_ptr<IExtensions> extensions = connectedOf(m_controller).Extensions();
        if (!extensions)
            throw EngineError(QStringLiteral("The controller has no extension collection."));
        extensions->Remove(Variant::number(m_quorSql->Index()));
    } catch (...) {
        // The controller refused; nothing more can be done with the extension.
    }
    m_quorSql.reset();
}
