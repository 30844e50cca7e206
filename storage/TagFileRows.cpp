#include "storage/TagFileRows.h"

#include "storage/TagFileFormat.h"
#include "storage/clsProfile.h"
#include "tags/TagGridModel.h"

#include <algorithm>

using namespace TagFileFormat;

namespace {

// The count comes from the file; only a plausible part of it is set aside up front.
constexpr qint32 kMostRowsReserved = 1 << 20;

} // namespace

TagFileRows readTagFileRows(clsProfile& profile, qint32 count, qsizetype columns)
{
    TagFileRows result;
    result.rows.reserve(static_cast<size_t>(std::clamp(count, 0, kMostRowsReserved)));
    // The key and the number are written into buffers kept from row to row.
    QString key = kTagKeyPrefix;
    std::array<char16_t, 12> digits;
    for (qint32 i = 1; i <= count; ++i) {
        const QStringView number = rowNumberText(i, digits);
        key.truncate(kTagKeyPrefix.size());
        key.append(number);
        const QString value = profile.GetString(kSection, key);
        const auto fields = splitRowView(value);
        if (!fields)
            return result;
        TabbedCells cells(columns);
        cells.add(number);
        for (const QStringView field : *fields)
            cells.add(field);
        result.rows.push_back(cells.row());
    }
    result.complete = true;
    return result;
}

QString storedRowValue(const TagGridModel& table, qint32 row)
{
    QString value;
    for (int col = kFirstStoredColumn; col < kFirstStoredColumn + kStoredColumns; ++col) {
        if (col != kFirstStoredColumn)
            value += QLatin1Char(',');
        value += table.textAt(row, col);
    }
    return value;
}
