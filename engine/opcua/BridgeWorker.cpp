#include "engine/opcua/BridgeWorker.h"

#include "engine/opcua/BridgeSetup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>

namespace opcua {

namespace {

// The bridge enforces the timeout itself and answers first; this margin only catches a bridge
// that hangs.
constexpr int kGraceMs = 500;
constexpr qsizetype kErrorTailBytes = 2000;
constexpr int kShutdownMs = 1000;

BridgeAnswer failure(const QString& status, const QString& message)
{
    BridgeAnswer answer;
    answer.status = status;
    answer.message = message;
    return answer;
}

} // namespace

BridgeWorker::~BridgeWorker()
{
    shutdown();
}

void BridgeWorker::shutdown()
{
    if (!m_process)
        return;
    QProcess* process = std::exchange(m_process, nullptr);
    process->disconnect(this);
    process->closeWriteChannel();
    if (!process->waitForFinished(kShutdownMs))
        process->kill();
    process->waitForFinished(kShutdownMs);
    delete process;
}

bool BridgeWorker::ensureProcess(QString& reason)
{
    if (m_process && m_process->state() == QProcess::Running)
        return true;
    const BridgeSetup setup = findBridge();
    if (!setup.problem.isEmpty()) {
        reason = setup.problem;
        return false;
    }
    delete m_process;
    m_errors.clear();
    m_process = new QProcess(this);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &BridgeWorker::readAnswers);
    connect(m_process, &QProcess::readyReadStandardError, this, &BridgeWorker::readErrors);
    m_process->start(setup.node, {setup.script});
    if (!m_process->waitForStarted()) {
        reason = QStringLiteral("The OPC UA bridge could not be started with %1: %2")
                     .arg(setup.node, m_process->errorString());
        delete std::exchange(m_process, nullptr);
        return false;
    }
    connect(m_process, &QProcess::finished, this, &BridgeWorker::processEnded);
    return true;
}

void BridgeWorker::start(qint64 id, QJsonObject request, int timeoutMs, Bridge::Done done,
                         Bridge::Progress progress)
{
    // A connection of a bridge that has ended is closed already.
    const bool closing = request.value(QStringLiteral("op")).toString() == QStringLiteral("close");
    if (closing && (!m_process || m_process->state() != QProcess::Running)) {
        done(BridgeAnswer{true, {}, {}, {}});
        return;
    }
    QString reason;
    if (!ensureProcess(reason)) {
        done(failure(QStringLiteral("BadCommunicationError"), reason));
        return;
    }
    request.insert(QStringLiteral("id"), id);
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(timeoutMs + kGraceMs);
    connect(timer, &QTimer::timeout, this, [this, id, timeoutMs] { expire(id, timeoutMs); });
    timer->start();
    m_pending.insert(id, {std::move(done), std::move(progress), timer});
    m_process->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
}

void BridgeWorker::readAnswers()
{
    while (m_process && m_process->canReadLine())
        answerLine(m_process->readLine());
}

void BridgeWorker::readErrors()
{
    m_errors += m_process->readAllStandardError();
    if (m_errors.size() > 2 * kErrorTailBytes)
        m_errors = m_errors.right(kErrorTailBytes);
}

void BridgeWorker::answerLine(const QByteArray& line)
{
    const QJsonObject body = QJsonDocument::fromJson(line).object();
    const qint64 id = body.value(QStringLiteral("id")).toInteger(-1);
    const auto pending = m_pending.find(id);
    if (pending == m_pending.end())
        return;
    // Any line about the request shows the bridge is at work on it.
    pending->timer->start();
    const QJsonArray progress = body.value(QStringLiteral("progress")).toArray();
    if (!progress.isEmpty()) {
        if (pending->progress)
            pending->progress(progress.at(0).toInteger(), progress.at(1).toInteger());
        return;
    }
    if (!body.contains(QStringLiteral("ok")))
        return;
    BridgeAnswer answer;
    answer.ok = body.value(QStringLiteral("ok")).toBool();
    answer.status = body.value(QStringLiteral("status")).toString();
    answer.message = body.value(QStringLiteral("message")).toString();
    answer.body = body;
    finish(id, answer);
}

void BridgeWorker::finish(qint64 id, const BridgeAnswer& answer)
{
    const Pending pending = m_pending.take(id);
    if (!pending.done)
        return;
    pending.timer->deleteLater();
    pending.done(answer);
}

void BridgeWorker::expire(qint64 id, int timeoutMs)
{
    finish(id, failure(QStringLiteral("BadTimeout"),
                       QStringLiteral("The OPC UA bridge gave no answer within %1 ms.").arg(timeoutMs)));
}

void BridgeWorker::processEnded()
{
    readErrors();
    const QString how = m_process->exitStatus() == QProcess::CrashExit
                            ? QStringLiteral("was stopped")
                            : QStringLiteral("ended with exit code %1").arg(m_process->exitCode());
    QString message = QStringLiteral("The OPC UA bridge %1.").arg(how);
    const QString tail = errorTail();
    if (!tail.isEmpty())
        message += QStringLiteral(" Its error output:\n") + tail;
    m_process->deleteLater();
    m_process = nullptr;
    for (const qint64 id : m_pending.keys())
        finish(id, failure(QStringLiteral("BadCommunicationError"), message));
}

QString BridgeWorker::errorTail() const
{
    QByteArray tail = m_errors.right(kErrorTailBytes);
    if (tail.size() < m_errors.size()) {
        const qsizetype lineStart = tail.indexOf('\n');
        if (lineStart >= 0)
            tail = tail.mid(lineStart + 1);
    }
    return QString::fromUtf8(tail).trimmed();
}

} // namespace opcua
