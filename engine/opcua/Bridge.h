#pragma once

#include <QJsonObject>
#include <QString>
#include <QThread>
#include <functional>

// The OPC UA bridge: a Node.js program on node-opcua that the plug-in starts with QProcess at the
// first request and runs on a thread of its own. It is spoken to by one JSON request and one
// answer per line, matched by request ids. Every request ends: with the bridge's answer, or
// with a failure when no answer came within its timeout or the bridge ended (its standard error
// then goes into the message). A bridge that ended is started again by the next request.
namespace opcua {

struct BridgeAnswer
{
    bool ok = false;
    QJsonObject body;
    // When not ok: the OPC UA status code's name ("BadTimeout", ...) and what happened.
    QString status;
    QString message;
};

class BridgeWorker;

class Bridge final
{
public:
    // The plug-in's one bridge, made at the first call.
    static Bridge& instance();

    Bridge();
    ~Bridge();
    Q_DISABLE_COPY_MOVE(Bridge)

    // Runs on the bridge's thread.
    using Done = std::function<void(const BridgeAnswer&)>;
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // Sends the request; the answer must come within the timeout of any line the bridge sends for
    // it (a browse reports its progress as it goes). Returns at once; may be called on any thread.
    void send(QJsonObject request, int timeoutMs, Done done, Progress progress = {});
    // Sends the request and waits for its answer; progress runs on the calling thread while it waits.
    BridgeAnswer call(QJsonObject request, int timeoutMs, const Progress& progress = {});

private:
    QThread m_thread;
    BridgeWorker* m_worker = nullptr;
};

} // namespace opcua
