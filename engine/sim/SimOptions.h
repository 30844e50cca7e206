#pragma once

#include "engine/pluginkit/PluginOptions.h"

#include <QString>

namespace sim {

using pluginkit::OptionText;

// "eth:<address>" or, with a port, "eth:<address>:<port>".
struct EthernetAddress
{
    QString host;
    int port = 0;
};
EthernetAddress parseEthernetAddress(const QString& text, bool withPort);
// A host name or IPv4 address: letters, digits, '.', '-' and '_'.
QString parseHost(const QString& text);

} // namespace sim
