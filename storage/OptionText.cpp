#include "storage/OptionText.h"

#include <QStringList>

QString GetOptionValue(const QString& option, const QString& key)
{
    const QStringList pieces = option.split(QLatin1Char(','));
    for (const QString& piece : pieces) {
        if (piece.contains(key, Qt::CaseInsensitive))
            return piece.mid(key.size());
    }
    return QString();
}

std::optional<QString> timeoutOfOption(const QString& option)
{
    if (!option.contains(QLatin1Char(',')))
        return std::nullopt;
    std::optional<QString> timeout;
    for (const QString& piece : option.split(QLatin1Char(','))) {
        if (piece.contains(QLatin1String("Timeout="), Qt::CaseSensitive))
            timeout = piece.split(QLatin1Char('=')).value(1);
    }
    return timeout;
}
