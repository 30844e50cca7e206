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

    bool ok() const { return !failure.has_value(); }
};

using NameListing = Outcome<QStringList>;

// The controller of one connection way: connecting, disconnecting and browsing. Every step
// reports its failure instead of raising it. A browse that runs a QuorSQL query keeps the
// extension it added until removeQuorSqlExtension(), so its outcome can be told first.
class Connection final
{
public:
    explicit Connection(std::shared_ptr<IWorkspace> workspace = nullptr);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The workspace new controllers are added to.
    void setWorkspace(std::shared_ptr<IWorkspace> workspace);

    // Adds the way's controller to the workspace and holds it. On a failure nothing held changes,
    // and the reason is the engine's words followed by what was asked for.
    [[nodiscard]] std::optional<QString> connect(const ConnectionRequest& request);
    // Drops the controller (and an extension still held); the engine is not called.
    void disconnect();

    bool isConnected() const { return m_controller != nullptr; }
    // The held controller; empty when nothing is connected.
    const std::shared_ptr<IController>& controller() const { return m_controller; }
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

private:
    IController& connected() const;
    NameListing listNames(const QString& query, const std::function<Variant()>& ask);
    NameListing listByQuery(const QString& query);
    Variant runQuorSqlQuery(const QString& query);
    // Inside a catch block: the failure followed by what the connection asked for.
    QString connectionFailure() const;

    std::shared_ptr<IWorkspace> m_workspace;
    std::shared_ptr<IController> m_controller;
    ConnectionRequest m_request;
    // The QuorSQL extension, alive from a query until it is removed.
    std::shared_ptr<IExtension> m_quorSql;
};
