#include "engine/opcua/OpcUaSettings.h"

#include "engine/EngineError.h"
#include "engine/opcua/OpcUaEngine.h"
#include "engine/pluginkit/PluginOptions.h"

#include <QRegularExpression>
#include <QUrl>

namespace opcua {

namespace {

const QString kRoot = QStringLiteral("Root");
const QString kDepth = QStringLiteral("Depth");
const QString kSecurity = QStringLiteral("Security");
const QString kUser = QStringLiteral("User");
const QString kTimeout = QStringLiteral("Timeout");
const QStringList kSecurityModes = {QStringLiteral("None"), QStringLiteral("Sign"),
                                    QStringLiteral("SignAndEncrypt")};

QString endpointUrl(const QString& machine)
{
    const QString text = machine.trimmed();
    if (text.isEmpty())
        throw EngineError(
            QStringLiteral("%1 needs the server's endpoint URL in the machine field (opc.tcp://host:port).")
                .arg(kProviderName));
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QStringLiteral("opc.tcp"), Qt::CaseInsensitive) != 0 ||
        url.host().isEmpty() || text.contains(QLatin1Char(' ')))
        throw EngineError(QStringLiteral("The machine \"%1\" is not an endpoint URL: %2 takes "
                                         "opc.tcp://host:port[/path] (BadTcpEndpointUrlInvalid).")
                              .arg(text, kProviderName));
    return text;
}

// A NodeId in its text form: "i=85", "ns=2;s=Line1", "ns=1;g=...", "nsu=urn:x;i=5".
QString nodeIdText(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^((ns=\\d+|nsu=[^;]+);)?([isgb])=.+$"));
    if (!form.match(text).hasMatch())
        pluginkit::malformedOption(
            QStringLiteral("\"Root=%1\" is not a NodeId (such as i=85 or ns=2;s=Line1).").arg(text));
    return text;
}

QString securityMode(const QString& text)
{
    for (const QString& mode : kSecurityModes) {
        if (mode.compare(text, Qt::CaseInsensitive) == 0)
            return mode;
    }
    pluginkit::malformedOption(
        QStringLiteral("\"Security=%1\" is not None, Sign or SignAndEncrypt.").arg(text));
}

} // namespace

OpcUaSettings parseSettings(const QString& machine, const QString& option)
{
    OpcUaSettings settings;
    settings.url = endpointUrl(machine);
    const pluginkit::OptionText options(option, {kRoot, kDepth, kSecurity, kUser, kTimeout});
    if (options.has(kRoot))
        settings.root = nodeIdText(options.required(kRoot));
    settings.depth = options.wholeNumber(kDepth, kDefaultDepth, 1, kMaxDepth, QStringLiteral("a depth"));
    if (options.has(kSecurity))
        settings.security = securityMode(options.required(kSecurity));
    if (options.has(kUser))
        settings.user = options.required(kUser);
    settings.timeoutMs = options.wholeNumber(kTimeout, kDefaultTimeoutMs, 1, pluginkit::kMaxTimeoutMs,
                                             QStringLiteral("a number of milliseconds"));
    return settings;
}

} // namespace opcua
