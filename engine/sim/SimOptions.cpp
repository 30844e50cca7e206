#include "engine/sim/SimOptions.h"

#include "engine/EngineError.h"
#include "engine/sim/SimCatalog.h"

#include <algorithm>

namespace sim {

namespace {

[[noreturn]] void malformed(const QString& what)
{
    throw EngineError(QStringLiteral("Malformed option: %1").arg(what));
}

} // namespace

OptionText::OptionText(const QString& text, const QStringList& allowedKeys)
{
    if (text.trimmed().isEmpty())
        return;
    for (const QString& rawPiece : text.split(QLatin1Char(','))) {
        const qsizetype equals = rawPiece.indexOf(QLatin1Char('='));
        const QString key = rawPiece.left(equals).trimmed();
        if (equals < 0 || key.isEmpty())
            malformed(QStringLiteral("\"%1\" is not of the form Key=Value.").arg(rawPiece));
        if (!allowedKeys.contains(key, Qt::CaseInsensitive))
            malformed(QStringLiteral("the key \"%1\" is not understood here.").arg(key));
        if (has(key))
            malformed(QStringLiteral("the key \"%1\" is given twice.").arg(key));
        m_pieces.append({key, rawPiece.mid(equals + 1).trimmed()});
    }
}

bool OptionText::has(const QString& key) const
{
    for (const Piece& piece : m_pieces) {
        if (piece.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString OptionText::value(const QString& key) const
{
    for (const Piece& piece : m_pieces) {
        if (piece.key.compare(key, Qt::CaseInsensitive) == 0)
            return piece.value;
    }
    return QString();
}

QString OptionText::required(const QString& key) const
{
    if (!has(key))
        malformed(QStringLiteral("\"%1=\" is missing.").arg(key));
    const QString text = value(key);
    if (text.isEmpty())
        malformed(QStringLiteral("\"%1=\" has no value.").arg(key));
    return text;
}

int OptionText::timeoutMs(int fallback) const
{
    const QString key = QStringLiteral("Timeout");
    if (!has(key))
        return fallback;
    bool ok = false;
    const int timeout = value(key).toInt(&ok);
    if (!ok || timeout < 0 || timeout > kMaxTimeoutMs)
        malformed(QStringLiteral("\"Timeout=%1\" is not a number of milliseconds from 0 to %2.")
                      .arg(value(key))
                      .arg(kMaxTimeoutMs));
    return timeout;
}

EthernetAddress parseEthernetAddress(const QString& text, bool withPort)
{
    const QString scheme = QStringLiteral("eth:");
    if (!text.startsWith(scheme, Qt::CaseInsensitive))
        malformed(QStringLiteral("\"%1\" does not begin with \"eth:\".").arg(text));
    EthernetAddress address;
    address.host = text.mid(scheme.size());
    if (withPort) {
        const qsizetype colon = address.host.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        address.port = colon < 0 ? 0 : address.host.mid(colon + 1).toInt(&ok);
        if (!ok || address.port < 1 || address.port > 65535)
            malformed(QStringLiteral("\"%1\" needs a port from 1 to 65535 after the address.").arg(text));
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
        malformed(QStringLiteral("\"%1\" is not a host name or address.").arg(text));
    return text;
}

} // namespace sim
