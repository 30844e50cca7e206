#pragma once

#include "engine/Variant.h"

#include <QList>
#include <QString>
#include <QStringList>

// What every engine plug-in reads the same way: option texts and the empty options of the
// operations that take none.
namespace pluginkit {

// The longest timeout an option may give.
constexpr int kMaxTimeoutMs = 600000;

// An option text: comma-separated "Key=Value" pieces, keys without regard to case, blanks
// around keys and values ignored. Every fault throws EngineError.
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
    // The value of the key as a whole number from min to max, or the fallback when absent.
    int wholeNumber(const QString& key, int fallback, int min, int max, const QString& meaning) const;

private:
    struct Piece
    {
        QString key;
        QString value;
    };
    QList<Piece> m_pieces;
};

// Throws EngineError "Malformed option: <what>".
[[noreturn]] void malformedOption(const QString& what);

// Operations that take an option accept only an empty one.
void requireEmptyOption(const Variant& option, const QString& operation);

} // namespace pluginkit
