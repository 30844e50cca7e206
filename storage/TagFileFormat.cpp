#include "storage/TagFileFormat.h"

#include <cmath>
#include <limits>

namespace TagFileFormat {

QString tagKey(qint64 row)
{
    return QStringLiteral("Tag") + QString::number(row);
}

QString joinRow(const QStringList& cells)
{
    return cells.join(QLatin1Char(','));
}

std::optional<QStringList> splitRow(const QString& value)
{
    const QStringList pieces = value.split(QLatin1Char(','));
    if (pieces.size() < kStoredColumns)
        return std::nullopt;
    return pieces.mid(0, kStoredColumns);
}

std::optional<qint32> toWholeNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

} // namespace TagFileFormat
