#pragma once

#include <QString>

// Where the OPC UA bridge and the Node.js that runs it are. The bridge is the folder "opcua"
// beside the plug-in's file (bridge.js with its node_modules); Node.js is the program "node"
// (or "nodejs") on the PATH, or the program named by QUOR_OPCUA_NODE when that is set.
namespace opcua {

inline const char* const kNodeVariable = "QUOR_OPCUA_NODE";

struct BridgeSetup
{
    QString node;
    QString script;
    // Why the bridge cannot run; "" when it can.
    QString problem;
};

BridgeSetup findBridge();

} // namespace opcua
