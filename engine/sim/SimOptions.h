#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace sim {

// An option text as the simulated providers read it: comma-separated "Key=Value" pieces,
// keys without regard to case, blanks around keys and values ignored. Every fault throws
// EngineError.
class OptionText final
{
public:
    // Only the keys in allowedKeys may occur, each at most once.
    OptionText(const QString& text, const QStringList& allowedKeys);

    bool has(const QString& key) const;
    // The value of the key; "" when it is absent.
    QString value(const QString& key) const;
    // The value that must be there and must not be empty.
    QString required(const QString& key) const;
    // The "Timeout" piece in milliseconds, or the fallback when there is none.
    int timeoutMs(int fallback) const;

private:
    struct Piece
    {
        QString key;
        QString value;
    };
    QList<Piece> m_pieces;
};

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
