#include "engine/ConnectionOptions.h"

namespace ConnectionOptions {

QString brakkaProvider(qint32 model)
{
    return model == 0 ? kFerritProvider : kLyra8Provider;
}

QString brakkaPrefix(qint32 model)
{
    return model == 0 ? QStringLiteral("Conn=") : QStringLiteral("Server=");
}

QString brakkaOption(qint32 model, const QString& server, const QString& timeout)
{
    return brakkaPrefix(model) + server + QStringLiteral(",") + QStringLiteral("Timeout=") + timeout;
}

QString controllerNamesQuery()
{
    return QStringLiteral("GET:$ENGINE$::!ControllerNames:");
}

QString itemNamesQuery(const QString& controllerName)
{
    return QStringLiteral("GET:") + controllerName + QStringLiteral("::!ItemNames:");
}

QString describeRequest(const QString& controller, const QString& provider, const QString& machine,
                        const QString& option)
{
    return QStringLiteral("Controller: \"%1\"\nProvider: \"%2\"\nMachine: \"%3\"\nOption: \"%4\"")
        .arg(controller, provider, machine, option);
}

} // namespace ConnectionOptions
