#include "engine/opcua/OpcUaLink.h"

#include <QStandardPaths>
#include <atomic>

namespace opcua {

namespace {

std::atomic<int> g_nextKey = 1;

} // namespace

QString certificateFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/QuorTagEditor/opcua-pki");
}

OpcUaLink::OpcUaLink(const OpcUaSettings& settings)
    : m_settings(settings), m_key(QStringLiteral("c%1").arg(g_nextKey++))
{
    if (!settings.user.isEmpty())
        m_password = qEnvironmentVariable(kPasswordVariable);
}

QJsonObject OpcUaLink::request(const QString& operation) const
{
    QJsonObject endpoint{{QStringLiteral("url"), m_settings.url},
                         {QStringLiteral("security"), m_settings.security}};
    if (!m_settings.user.isEmpty()) {
        endpoint.insert(QStringLiteral("user"), m_settings.user);
        endpoint.insert(QStringLiteral("password"), m_password);
    }
    if (m_settings.security != QStringLiteral("None"))
        endpoint.insert(QStringLiteral("certificateFolder"), certificateFolder());
    return {{QStringLiteral("op"), operation},
            {QStringLiteral("key"), m_key},
            {QStringLiteral("endpoint"), endpoint},
            {QStringLiteral("root"), m_settings.root},
            {QStringLiteral("timeout"), m_settings.timeoutMs}};
}

QString OpcUaLink::failureText(const QString& doing, const BridgeAnswer& answer) const
{
    QString details = answer.message.trimmed();
    if (!m_password.isEmpty())
        details.replace(m_password, QStringLiteral("********"));
    QString text = QStringLiteral("%1 %2 failed: %3.").arg(doing, m_settings.url, answer.status);
    if (!details.isEmpty())
        text += QLatin1Char('\n') + details;
    return text;
}

} // namespace opcua
