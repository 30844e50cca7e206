#pragma once

#include "engine/Connection.h"
#include "engine/EngineCallRunner.h"

#include <QObject>
#include <functional>

// The steps of a Connection that ask the engine (connecting, browsing, asking the name to
// record), run on the engine thread of an EngineCallRunner so that the caller's thread keeps
// turning while a device takes its time. What a step gives is taken over by the connection on
// the caller's thread before the step's callback runs there.
//
// One step is awaited at a time. cancel() abandons it: its callback never runs, and its late
// answer is released unused on the caller's thread (a late controller is dropped, never held;
// the extension a late browse added is removed while the controller it was added to is still
// the one held).
class AsyncConnection final : public QObject
{
    Q_OBJECT

public:
    template <typename T>
    using Callback = std::function<void(T)>;
    using Record = Outcome<std::shared_ptr<clsCtrlParameter>>;

    explicit AsyncConnection(Connection& connection, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(AsyncConnection)

    // Adds the way's controller to the connection's workspace; on success the connection holds it.
    void connect(const ConnectionRequest& request, Callback<Outcome<ControllerPtr>> answered);
    // Lists names of the held controller; a QuorSQL extension the browse added is kept by the
    // connection for the caller to remove once it told the outcome. Where the controller tells
    // how far the listing has got, `progress` is told so on the caller's thread while it waits.
    using Progress = std::function<void(qint64 done, qint64 total)>;
    void browse(const BrowseRequest& request, Callback<NameListing> answered, Progress progress = nullptr);
    // The remembered form of the connection held, with the name the engine reports.
    void record(Callback<Record> answered);

    // Abandons the step awaited; nothing when none is.
    void cancel();
    // True while a step's answer is awaited.
    bool waiting() const { return m_awaited != 0; }

    // The engine thread; busy() also while an abandoned step still runs.
    const EngineCallRunner& runner() const { return m_runner; }

signals:
    // waiting() changed; false is told before the step's callback runs.
    void waitingChanged(bool waiting);

private:
    template <typename Result>
    void await(std::function<Result()> call, Callback<Result> answered, Callback<Result> release = nullptr);
    void setAwaited(EngineCallRunner::Ticket ticket);

    Connection& m_connection;
    EngineCallRunner m_runner;
    EngineCallRunner::Ticket m_awaited = 0;
    // Counts the browses, so that a report of an abandoned one is not taken for the next one's.
    quint64 m_browses = 0;
};
