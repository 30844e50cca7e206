#include "engine/EngineCallRunner.h"

#include <algorithm>

EngineCallRunner::EngineCallRunner(QObject* parent) : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("engine calls"));
}

EngineCallRunner::~EngineCallRunner()
{
    m_waiting.clear();
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    }
    // The running call's result and its answer posted to this object go with it, here.
    delete m_worker;
}

EngineCallRunner::Ticket EngineCallRunner::enqueue(Job job)
{
    job.ticket = ++m_lastTicket;
    const bool wasBusy = busy();
    m_waiting.push_back(std::move(job));
    if (!wasBusy)
        emit busyChanged(true);
    // Started from the event loop, so that nothing of the call happens inside run().
    QMetaObject::invokeMethod(this, &EngineCallRunner::startNext, Qt::QueuedConnection);
    return m_lastTicket;
}

void EngineCallRunner::abandon(Ticket ticket)
{
    if (m_running && m_running->ticket == ticket) {
        m_running->abandoned = true;
        return;
    }
    const auto waiting = std::find_if(m_waiting.begin(), m_waiting.end(),
                                      [ticket](const Job& job) { return job.ticket == ticket; });
    if (waiting == m_waiting.end())
        return;
    m_waiting.erase(waiting);
    if (!busy())
        emit busyChanged(false);
}

void EngineCallRunner::startNext()
{
    if (m_running || m_waiting.empty())
        return;
    if (!m_worker) {
        m_worker = new QObject;
        m_worker->moveToThread(&m_thread);
        m_thread.start();
    }
    m_running = std::make_unique<Job>(std::move(m_waiting.front()));
    m_waiting.pop_front();
    // The job stays owned here; the engine thread only runs its work, and this object outlives
    // the thread (the destructor waits for it).
    Job* job = m_running.get();
    QMetaObject::invokeMethod(
        m_worker,
        [this, job] {
            job->work();
            QMetaObject::invokeMethod(this, &EngineCallRunner::finished, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void EngineCallRunner::finished()
{
    // The job counts as running while its answer is handled: calls the answer starts wait.
    Job& job = *m_running;
    if (!job.abandoned)
        job.answer();
    else if (job.release)
        job.release();
    m_running.reset();
    if (m_waiting.empty())
        emit busyChanged(false);
    else
        startNext();
}
