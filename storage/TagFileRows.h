#pragma once

#include "tags/GridRow.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

class TagGridModel;

// Tag rows between a tag setting file and the grid, without a string made for each cell.

// The grid row of stored row `number`: its number, then the first ten fields of `stored`, each
// cut at TABs as the grid cuts the text of a row it is given, so the row is exactly the one
// added as the number and the fields joined with TABs. Cells beyond `columns` are dropped.
// Nothing when `stored` holds fewer than ten fields.
std::optional<GridRow> gridRowOf(qint32 number, QStringView stored, qsizetype columns);

// The ten stored cells of data row `row` (Tag Name to G).
QStringList storedCells(const TagGridModel& table, qint32 row);

// The value stored for data row `row` of the table: its columns 1 to 10 joined with ",".
QString storedRowValue(const TagGridModel& table, qint32 row);

// The keys "Tag" 1, 2 ... built in one text kept from key to key.
class TagKeyText final
{
public:
    const QString& of(qint32 row);

private:
    QString m_key;
    std::array<char16_t, 12> m_digits{};
};
