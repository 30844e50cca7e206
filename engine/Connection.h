#pragma once

#include "engine/ConnectionRequest.h"
#include "engine/EngineApi.h"
#include "engine/clsCtrlParameter.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// What a step of the connection gave, and why it failed: the failure's reason lines as a
// message's details show them, empty when the step succeeded.
template <typename T>
struct Outcome
{
    // On a failure, what could still be had before it (the names listed so far).
    T value{};
    std::optional<QString> failure;
    // On a failure, its own words (the engine's message), shown under the message; the
    // details add what was asked for.
    QString reason;

    bool ok() const { return !failure.has_value(); }
};

using NameListing = Outcome<QStringList>;
using ControllerPtr = std::shared_ptr<IController>;

// What a browse asks the connected controller for: a QuorSQL query, or (no query) its own
// VariableNames.
struct BrowseRequest
{
    QString query;

    static BrowseRequest controllerNames();
    static BrowseRequest variableNames() { return {}; }
    static BrowseRequest itemNames(const QString& serverController);
};

// What a browse gave: the names, and the QuorSQL extension its query added (none when it
// added none), which is to be removed from the controller once the outcome was told.
struct BrowseAnswer
{
    NameListing names;
    std::shared_ptr<IExtension> quorSql;
};

// The controller of one connection way: connecting, disconnecting and browsing. Every step
// reports its failure instead of raising it. A browse that runs a QuorSQL query keeps the
// extension it added until removeQuorSqlExtension(), so its outcome can be told first.
//
// The steps that ask the engine also exist as static functions over the objects they need
// (addController, browse, nameOf), apart from what the connection holds, so that they can run
// on another thread; their results are then taken over with adopt, keepQuorSqlExtension and
// recordNamed on the connection's own thread.
class Connection final
{
public:
    explicit Connection(std::shared_ptr<IWorkspace> workspace = nullptr);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The workspace new controllers are added to.
    void setWorkspace(std::shared_ptr<IWorkspace> workspace);
    const std::shared_ptr<IWorkspace>& workspace() const { return m_workspace; }

    // Adds the way's controller to the workspace and holds it. On a failure nothing held changes,
    // and the reason is the engine's words followed by what was asked for.
    [[nodiscard]] std::optional<QString> connect(const ConnectionRequest& request);
    // Drops the controller (and an extension still held); the engine is not called.
    void disconnect();

    bool isConnected() const { return m_controller != nullptr; }
    // The held controller; empty when nothing is connected.
    const ControllerPtr& controller() const { return m_controller; }
    // The way the held controller was connected by; meaningful only while connected.
    const ConnectionRequest& request() const { return m_request; }

    // The controller's name as the engine reports it.
    Outcome<QString> controllerName() const;
    // Whether record() asks the engine: every way but QUOR records the name the engine reports.
    bool recordAsksEngine() const { return m_request.way != ConnectionWay::Quor; }
    // The remembered form of the connection made.
    Outcome<std::shared_ptr<clsCtrlParameter>> record() const;

    // The controllers a query server reports.
    NameListing controllerNames();
    // The controller's own list of variables.
    NameListing variableNames();
    // The items of one controller of a query server.
    NameListing itemNames(const QString& serverController);

    bool hasQuorSqlExtension() const { return m_quorSql != nullptr; }
    // Removes the extension the last query added. A controller that refuses is not reported:
    // nothing more can be done with the extension.
    void removeQuorSqlExtension();

    // ---- The engine's part of each step, on any thread; one call at a time per engine.
    // AddController with the request's fields; the failure names what was asked for.
    static Outcome<ControllerPtr> addController(const std::shared_ptr<IWorkspace>& workspace,
                                                const ConnectionRequest& request);
    static BrowseAnswer browse(const ControllerPtr& controller, const BrowseRequest& request);
    // The controller's Name; the failure names what was asked for.
    static Outcome<QString> nameOf(const ControllerPtr& controller, const ConnectionRequest& request);

    // ---- Taking those results over.
    // Holds the controller addController gave for `request`, in place of any held before.
    void adopt(ControllerPtr controller, const ConnectionRequest& request);
    // Holds the extension a browse added until removeQuorSqlExtension().
    void keepQuorSqlExtension(std::shared_ptr<IExtension> extension) { m_quorSql = std::move(extension); }
    // The remembered form of the connection made, with the name the engine reported where the
    // way records it (`reportedName` is not looked at for the QUOR way).
    Outcome<std::shared_ptr<clsCtrlParameter>> recordNamed(const Outcome<QString>& reportedName) const;

private:
    NameListing browseHeld(const BrowseRequest& request);

    std::shared_ptr<IWorkspace> m_workspace;
    ControllerPtr m_controller;
    ConnectionRequest m_request;
    // The QuorSQL extension, alive from a query until it is removed.
    std::shared_ptr<IExtension> m_quorSql;
};
