#pragma once

#include "tags/TagGridModel.h"

#include <QList>
#include <QStringList>

// The texts of every data row of a table, all columns: what tests compare before and after a
// change.
inline QList<QStringList> tableRows(const TagGridModel& table)
{
    QList<QStringList> rows;
    for (qint32 row = 1; row < table.Rows(); ++row) {
        QStringList cells;
        for (qint32 col = 0; col < table.Cols(); ++col)
            cells.append(table.TextMatrix(row, col));
        rows.append(cells);
    }
    return rows;
}
