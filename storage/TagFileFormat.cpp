#include "storage/TagFileFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace TagFileFormat {

QString tagKey(qint64 row)
{
    return kTagKeyPrefix + QString::number(row);
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
    // A plain scan: rows are short, and the library's search costs more than it saves.
    std::array<QStringView, kStoredColumns> fields;
    size_t found = 0;
    const char16_t* from = value.utf16();
    const char16_t* const end = from + value.size();
    while (found < fields.size()) {
        const char16_t* const comma = std::find(from, end, u',');
        fields[found++] = QStringView(from, comma);
        if (comma == end)
            break;
        from = comma + 1;
    }
    if (found < fields.size())
        return std::nullopt;
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
