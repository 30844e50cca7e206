#include "engine/opcua/Bridge.h"

#include "engine/opcua/BridgeWorker.h"

#include <QMetaObject>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace opcua {

namespace {

std::atomic<qint64> g_nextRequestId = 1;

// What a waiting call receives from the bridge's thread.
struct CallState
{
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<qint64, qint64>> progress;
    std::optional<BridgeAnswer> answer;
};

} // namespace

Bridge& Bridge::instance()
{
    static Bridge bridge;
    return bridge;
}

Bridge::Bridge() : m_worker(new BridgeWorker)
{
    m_thread.setObjectName(QStringLiteral("OPC UA bridge"));
    m_worker->moveToThread(&m_thread);
    // The worker and its timers go on their own thread, as it ends.
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

Bridge::~Bridge()
{
    QMetaObject::invokeMethod(m_worker, &BridgeWorker::shutdown, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void Bridge::send(QJsonObject request, int timeoutMs, Done done, Progress progress)
{
    const qint64 id = g_nextRequestId++;
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, id, request = std::move(request), timeoutMs, done = std::move(done),
         progress = std::move(progress)]() mutable {
            worker->start(id, std::move(request), timeoutMs, std::move(done), std::move(progress));
        },
        Qt::QueuedConnection);
}

BridgeAnswer Bridge::call(QJsonObject request, int timeoutMs, const Progress& progress)
{
    auto state = std::make_shared<CallState>();
    Progress report;
    if (progress)
        report = [state](qint64 done, qint64 total) {
            const std::lock_guard<std::mutex> lock(state->mutex);
            state->progress.emplace_back(done, total);
            state->changed.notify_all();
        };
    send(
        std::move(request), timeoutMs,
        [state](const BridgeAnswer& answer) {
            const std::lock_guard<std::mutex> lock(state->mutex);
            state->answer = answer;
            state->changed.notify_all();
        },
        std::move(report));
    std::unique_lock<std::mutex> lock(state->mutex);
    for (;;) {
        state->changed.wait(lock, [&state] { return state->answer || !state->progress.empty(); });
        while (!state->progress.empty()) {
            const auto [done, total] = state->progress.front();
            state->progress.pop_front();
            lock.unlock();
            progress(done, total);
            lock.lock();
        }
        if (state->answer)
            return *state->answer;
    }
}

} // namespace opcua
