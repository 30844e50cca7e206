#pragma once

#include <QString>

// What the QuorProv.OpcUa provider takes from AddController's machine and option fields:
//   machine: the endpoint URL, "opc.tcp://host:port[/path]";
//   option:  "Root=<NodeId>" (default the Objects folder, i=85), "Depth=<n>" (default 10),
//            "Security=None|Sign|SignAndEncrypt" (default None), "User=<name>" and
//            "Timeout=<ms>" (default 5000).
// The password of User= is not part of them: it is read from QUOR_OPCUA_PASSWORD when the
// connection is made, so that it never reaches a tag file, the settings or a message.
namespace opcua {

constexpr int kDefaultDepth = 10;
constexpr int kMaxDepth = 64;
constexpr int kDefaultTimeoutMs = 5000;
inline const QString kObjectsFolder = QStringLiteral("i=85");
inline const char* const kPasswordVariable = "QUOR_OPCUA_PASSWORD";

struct OpcUaSettings
{
    QString url;
    QString root = kObjectsFolder;
    int depth = kDefaultDepth;
    // "None", "Sign" or "SignAndEncrypt", as the option spells them.
    QString security = QStringLiteral("None");
    QString user;
    int timeoutMs = kDefaultTimeoutMs;
};

// Reads the fields; throws EngineError saying what is wrong.
OpcUaSettings parseSettings(const QString& machine, const QString& option);

} // namespace opcua
