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
    TagKeyText keys;
    std::array<char16_t, 12> digits;
    for (qint32 i = 1; i <= count; ++i) {
        const QString value = profile.GetString(kSection, keys.of(i));
        const QStringView number = rowNumberText(i, digits);
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
    const GridRow& cells = table.rowAt(row);
    qsizetype size = kStoredColumns - 1;
    for (int col = kFirstStoredColumn; col < kFirstStoredColumn + kStoredColumns; ++col)
        size += cells.cell(col).size();
    // Written straight into a text of the final size: appending piece by piece costs more than
    // the copying itself.
    QString value(size, Qt::Uninitialized);
    QChar* out = value.data();
    for (int col = kFirstStoredColumn; col < kFirstStoredColumn + kStoredColumns; ++col) {
        if (col != kFirstStoredColumn)
            *out++ = QLatin1Char(',');
        const QStringView cell = cells.cell(col);
        out = std::copy(cell.begin(), cell.end(), out);
    }
    return value;
}

const QString& TagKeyText::of(qint32 row)
{
    if (m_key.isEmpty())
        m_key = kTagKeyPrefix;
    m_key.truncate(kTagKeyPrefix.size());
    m_key.append(rowNumberText(row, m_digits));
    return m_key;
}
