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
    const auto fields = splitRowView(value);
    if (!fields)
        return std::nullopt;
    QStringList pieces;
    pieces.reserve(kStoredColumns);
    for (const QStringView field : *fields)
        pieces.append(field.toString());
    return pieces;
}

std::optional<std::array<QStringView, kStoredColumns>> splitRowView(QStringView value)
{
    std::array<QStringView, kStoredColumns> fields;
    qsizetype from = 0;
    for (int i = 0; i < kStoredColumns; ++i) {
        const qsizetype comma = value.indexOf(u',', from);
        if (comma < 0 && i < kStoredColumns - 1)
            return std::nullopt;
        const qsizetype end = comma < 0 ? value.size() : comma;
        fields[static_cast<size_t>(i)] = value.sliced(from, end - from);
        from = end + 1;
    }
    return fields;
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
