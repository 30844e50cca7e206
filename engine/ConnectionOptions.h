#pragma once

#include <QString>

// The fixed texts the connection ways hand to the engine.
namespace ConnectionOptions {

inline const QString kTuloProvider = QStringLiteral("QuorProv.TULO");
inline const QString kFerritProvider = QStringLiteral("QuorProv.BRAKKA.Ferrit");
inline const QString kLyra8Provider = QStringLiteral("QuorProv.BRAKKA.Lyra8");
inline const QString kSelectPrompt = QStringLiteral("[Select]");

// Connection kinds.
constexpr qint32 kProviderConnection = 1;
constexpr qint32 kQueryServerConnection = 2;

// The provider of a BRAKKA model: 0 = Lyra7, anything else Lyra8.
QString brakkaProvider(qint32 model);
// "Conn=" for Lyra7, "Server=" for Lyra8.
QString brakkaPrefix(qint32 model);
// The option text of a BRAKKA connection: prefix, server, ",", "Timeout=", timeout; all
// pieces are always present, nothing is trimmed or checked.
QString brakkaOption(qint32 model, const QString& server, const QString& timeout);

// The QuorSQL query texts.
QString controllerNamesQuery();
QString itemNamesQuery(const QString& controllerName);

// What a connection asked the engine for, one field a line, as a failure's details show it.
QString describeRequest(const QString& controller, const QString& provider, const QString& machine,
                        const QString& option);

} // namespace ConnectionOptions
