#include "engine/AsyncConnection.h"

#include "engine/BrowseProgress.h"

AsyncConnection::AsyncConnection(Connection& connection, QObject* parent)
    : QObject(parent), m_connection(connection)
{
}

template <typename Result>
void AsyncConnection::await(std::function<Result()> call, Callback<Result> answered, Callback<Result> release)
{
    // A step still awaited is given up for the new one.
    if (waiting())
        m_runner.abandon(m_awaited);
    const EngineCallRunner::Ticket ticket = m_runner.run<Result>(
        std::move(call),
        [this, answered = std::move(answered)](Result result) {
            setAwaited(0);
            answered(std::move(result));
        },
        std::move(release));
    setAwaited(ticket);
}

void AsyncConnection::setAwaited(EngineCallRunner::Ticket ticket)
{
    const bool was = waiting();
    m_awaited = ticket;
    if (was != waiting())
        emit waitingChanged(waiting());
}

void AsyncConnection::cancel()
{
    if (!waiting())
        return;
    m_runner.abandon(m_awaited);
    setAwaited(0);
}

void AsyncConnection::connect(const ConnectionRequest& request, Callback<Outcome<ControllerPtr>> answered)
{
    std::shared_ptr<IWorkspace> workspace = m_connection.workspace();
    await<Outcome<ControllerPtr>>(
        [workspace = std::move(workspace), request] { return Connection::addController(workspace, request); },
        [this, request, answered = std::move(answered)](Outcome<ControllerPtr> added) {
            if (added.ok())
                m_connection.adopt(added.value, request);
            answered(std::move(added));
        });
}

void AsyncConnection::browse(const BrowseRequest& request, Callback<NameListing> answered, Progress progress)
{
    ControllerPtr controller = m_connection.controller();
    const std::weak_ptr<IController> browsed = controller;
    const quint64 browse = ++m_browses;
    // Reports come on the engine thread and are handed over to this object's thread.
    Progress report;
    if (progress)
        report = [this, browse, progress](qint64 done, qint64 total) {
            QMetaObject::invokeMethod(
                this,
                [this, browse, progress, done, total] {
                    if (waiting() && browse == m_browses)
                        progress(done, total);
                },
                Qt::QueuedConnection);
        };
    await<BrowseAnswer>(
        [controller = std::move(controller), request, report = std::move(report)] {
            auto* reporting = report ? dynamic_cast<IBrowseProgress*>(controller.get()) : nullptr;
            if (reporting)
                reporting->setBrowseListener(report);
            BrowseAnswer answer = Connection::browse(controller, request);
            if (reporting)
                reporting->setBrowseListener(nullptr);
            return answer;
        },
        [this, answered = std::move(answered)](BrowseAnswer answer) {
            if (answer.quorSql)
                m_connection.keepQuorSqlExtension(std::move(answer.quorSql));
            answered(std::move(answer.names));
        },
        [this, browsed](BrowseAnswer late) {
            if (!late.quorSql || browsed.lock() != m_connection.controller())
                return;
            m_connection.keepQuorSqlExtension(std::move(late.quorSql));
            m_connection.removeQuorSqlExtension();
        });
}

void AsyncConnection::record(Callback<Record> answered)
{
    await<Outcome<QString>>(
        [controller = m_connection.controller(), request = m_connection.request()] {
            return Connection::nameOf(controller, request);
        },
        [this, answered = std::move(answered)](Outcome<QString> name) {
            answered(m_connection.recordNamed(name));
        });
}
