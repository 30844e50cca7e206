#pragma once

#include "engine/opcua/Bridge.h"

#include <QHash>
#include <QObject>
#include <QProcess>

class QTimer;

// The bridge's process and the requests waiting for it; lives on the bridge's thread.
namespace opcua {

class BridgeWorker final : public QObject
{
public:
    BridgeWorker() = default;
    ~BridgeWorker() override;
    Q_DISABLE_COPY_MOVE(BridgeWorker)

    void start(qint64 id, QJsonObject request, int timeoutMs, Bridge::Done done, Bridge::Progress progress);
    // Ends the bridge: its input closed, it is given a moment to close its connections.
    void shutdown();

private:
    struct Pending
    {
        Bridge::Done done;
        Bridge::Progress progress;
        QTimer* timer = nullptr;
    };

    bool ensureProcess(QString& failure);
    void readAnswers();
    void readErrors();
    void answerLine(const QByteArray& line);
    void processEnded();
    void finish(qint64 id, const BridgeAnswer& answer);
    void expire(qint64 id, int timeoutMs);
    QString errorTail() const;

    QProcess* m_process = nullptr;
    QHash<qint64, Pending> m_pending;
    QByteArray m_errors;
};

} // namespace opcua
