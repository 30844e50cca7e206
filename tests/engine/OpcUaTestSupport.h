#pragma once

#include "tests/engine/SimTestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <signal.h>

inline QString opcUaPluginPath()
{
    return QStringLiteral(QUOR_OPCUA_PLUGIN);
}

// The password the test server's user logs in with.
inline const QString kOpcUaTestPassword = QStringLiteral("Pw-7Qx!fixture");

// The OPC UA test server of engine/opcua/fixture on 127.0.0.1 at a free port, run by Node.js.
// Starting it takes seconds: a test suite starts it once.
class OpcUaTestServer final
{
public:
    // lines: the number of Plant folders of 100 variables (100 gives the full 10,000).
    explicit OpcUaTestServer(int lines = 100)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUOR_OPCUA_PASSWORD"), kOpcUaTestPassword);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStandardPaths::findExecutable(QStringLiteral("node")),
                        {QStringLiteral(QUOR_SOURCE_DIR "/engine/opcua/fixture/server.js"),
                         QStringLiteral("--lines"), QString::number(lines), QStringLiteral("--user"),
                         QStringLiteral("operator")});
        while (m_process.waitForReadyRead(30000)) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            if (line.startsWith(QStringLiteral("Listening on "))) {
                m_url = line.mid(13);
                return;
            }
        }
        ADD_FAILURE() << "the OPC UA test server did not start: "
                      << m_process.readAllStandardError().toStdString();
    }

    ~OpcUaTestServer() { stop(); }
    OpcUaTestServer(const OpcUaTestServer&) = delete;
    OpcUaTestServer& operator=(const OpcUaTestServer&) = delete;

    QString url() const { return m_url; }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
    QString m_url;
};

// The process ids of this program's running OPC UA bridges.
inline QList<qint64> runningBridges()
{
    QList<qint64> found;
    const QString parent = QString::number(QCoreApplication::applicationPid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!stat.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...
        const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
        if (fields.value(1) == parent.toUtf8() && command.readAll().contains("bridge.js"))
            found.append(entry.toLongLong());
    }
    return found;
}
