#include "engine/sim/SimOptions.h"

#include "engine/EngineError.h"

#include <algorithm>

namespace sim {

using pluginkit::malformedOption;

EthernetAddress parseEthernetAddress(const QString& text, bool withPort)
{
    const QString scheme = QStringLiteral("eth:");
    if (!text.startsWith(scheme, Qt::CaseInsensitive))
        malformedOption(QStringLiteral("\"%1\" does not begin with \"eth:\".").arg(text));
    EthernetAddress address;
    address.host = text.mid(scheme.size());
    if (withPort) {
        const qsizetype colon = address.host.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        address.port = colon < 0 ? 0 : address.host.mid(colon + 1).toInt(&ok);
        if (!ok || address.port < 1 || address.port > 65535)
            malformedOption(
                QStringLiteral("\"%1\" needs a port from 1 to 65535 after the address.").arg(text));
        address.host.truncate(colon);
    }
    address.host = parseHost(address.host);
    return address;
}

QString parseHost(const QString& text)
{
    const auto hostCharacter = [](QChar c) {
        return (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('.') ||
               c == QLatin1Char('-') || c == QLatin1Char('_');
    };
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), hostCharacter))
        malformedOption(QStringLiteral("\"%1\" is not a host name or address.").arg(text));
    return text;
}

} // namespace sim
