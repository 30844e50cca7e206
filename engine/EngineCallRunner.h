#pragma once

#include <QObject>
#include <QThread>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

// Runs engine calls on a thread of its own, so that a device that is slow to answer never holds
// the thread that asks (the window's). The calls run one at a time, in the order given; each
// answer comes back on the runner's own thread through its event loop, never inside run(). The
// next call starts only once the answer before it was handled, so the engine calls an answer
// makes on the runner's thread (removing an extension, releasing a controller) never overlap a
// call on the engine thread.
//
// Other users of the engine on the runner's thread (the live values) wait while busy() holds:
// they start when busyChanged(false) is signalled.
class EngineCallRunner final : public QObject
{
    Q_OBJECT

public:
    using Ticket = quint64;

    explicit EngineCallRunner(QObject* parent = nullptr);
    // Drops every answer not yet handled and waits for the engine thread to end the call it is
    // in, which the engine ends by its own timeout.
    ~EngineCallRunner() override;
    Q_DISABLE_COPY_MOVE(EngineCallRunner)

    // `call` runs on the engine thread; it reports its failures in its result and must not throw.
    // `answer` receives the result on this object's thread; once the call was abandoned,
    // `release` receives it instead (when given) to let go of what the engine handed out.
    template <typename Result>
    Ticket run(std::function<Result()> call, std::function<void(Result)> answer,
               std::function<void(Result)> release = nullptr)
    {
        auto result = std::make_shared<std::optional<Result>>();
        Job job;
        job.work = [call = std::move(call), result] { result->emplace(call()); };
        job.answer = [answer = std::move(answer), result] { answer(std::move(**result)); };
        if (release)
            job.release = [release = std::move(release), result] { release(std::move(**result)); };
        return enqueue(std::move(job));
    }

    // The call's answer is not wanted any more: a call still waiting never runs, a call running
    // has its result released unused. Unknown or answered tickets are ignored.
    void abandon(Ticket ticket);

    // True from a run() until every call given was answered or released: the engine is in use,
    // also by a call whose answer was abandoned.
    bool busy() const { return m_running != nullptr || !m_waiting.empty(); }

signals:
    void busyChanged(bool busy);

private:
    struct Job
    {
        Ticket ticket = 0;
        bool abandoned = false;
        std::function<void()> work;
        std::function<void()> answer;
        std::function<void()> release;
    };

    Ticket enqueue(Job job);
    // Starts the next waiting call when none runs.
    void startNext();
    // On this object's thread, once the engine thread finished the running call.
    void finished();

    QThread m_thread;
    // Lives on the engine thread; the calls are posted to it.
    QObject* m_worker = nullptr;
    std::unique_ptr<Job> m_running;
    std::deque<Job> m_waiting;
    Ticket m_lastTicket = 0;
};
