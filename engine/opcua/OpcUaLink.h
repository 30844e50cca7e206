#pragma once

#include "engine/opcua/Bridge.h"
#include "engine/opcua/OpcUaSettings.h"

#include <QJsonObject>

// What every bridge request of one controller carries: the key of its connection in the bridge
// and the endpoint to open it again with, should the bridge or the server have started anew.
namespace opcua {

class OpcUaLink final
{
public:
    // The password of the settings' user is read from QUOR_OPCUA_PASSWORD now.
    explicit OpcUaLink(const OpcUaSettings& settings);

    // A request of the operation, with the key, endpoint, root and timeout filled in.
    QJsonObject request(const QString& operation) const;
    const OpcUaSettings& settings() const { return m_settings; }

    // The answer's failure as a message: what was done, the status code's name, the details;
    // never the password.
    QString failureText(const QString& doing, const BridgeAnswer& answer) const;

private:
    OpcUaSettings m_settings;
    QString m_key;
    QString m_password;
};

// Where the self-signed client certificate for Sign and SignAndEncrypt is made and kept.
QString certificateFolder();

} // namespace opcua
