#include "storage/TagFileRows.h"

#include "storage/TagFileFormat.h"
#include "tags/TagGridModel.h"

using namespace TagFileFormat;

std::optional<GridRow> gridRowOf(qint32 number, QStringView stored, qsizetype columns)
{
    const auto fields = splitRowView(stored);
    if (!fields)
        return std::nullopt;
    std::array<char16_t, 12> digits;
    TabbedCells cells(columns);
    cells.add(rowNumberText(number, digits));
    for (const QStringView field : *fields)
        cells.add(field);
    return cells.row();
}

QStringList storedCells(const TagGridModel& table, qint32 row)
{
    QStringList cells;
    cells.reserve(kStoredColumns);
    for (qint32 col = kFirstStoredColumn; col <= kLastStoredColumn; ++col)
        cells.append(table.TextMatrix(row, col));
    return cells;
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
