#include "engine/opcua/BridgeSetup.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <dlfcn.h>

namespace opcua {

namespace {

QString bridgeFolder()
{
    // The plug-in's own file, from the address of code inside it.
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&findBridge), &info) == 0 || !info.dli_fname)
        return QStringLiteral("opcua");
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath() + QStringLiteral("/opcua");
}

QString nodeProgram(QString& problem)
{
    const QString configured = qEnvironmentVariable(kNodeVariable);
    if (!configured.isEmpty()) {
        const QFileInfo file(configured);
        if (!file.isFile() || !file.isExecutable())
            problem = QStringLiteral("Node.js was not found at %1 (%2).")
                          .arg(configured, QLatin1StringView(kNodeVariable));
        return configured;
    }
    for (const QString& name : {QStringLiteral("node"), QStringLiteral("nodejs")}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    problem = QStringLiteral("Node.js (the program node) was not found; install the package nodejs.");
    return QString();
}

} // namespace

BridgeSetup findBridge()
{
    BridgeSetup setup;
    setup.node = nodeProgram(setup.problem);
    const QString folder = bridgeFolder();
    setup.script = folder + QStringLiteral("/bridge.js");
    if (!setup.problem.isEmpty())
        return setup;
    if (!QFileInfo(setup.script).isFile())
        setup.problem =
            QStringLiteral("The OPC UA bridge is not installed: %1 is missing; install the package "
                           "quortageditor-opcua.")
                .arg(setup.script);
    else if (!QFileInfo(folder + QStringLiteral("/node_modules/node-opcua-client/package.json")).isFile())
        setup.problem =
            QStringLiteral("The OPC UA bridge's modules are not installed in %1/node_modules; run "
                           "scripts/setup.sh (npm ci) or install the package quortageditor-opcua.")
                .arg(QDir::toNativeSeparators(folder));
    return setup;
}

} // namespace opcua
