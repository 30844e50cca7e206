#pragma once

#include <QtGlobal>

// A block of cells of the grid: its first data row and column (grid numbering, data rows from
// 1) and its size.
struct CellBlock
{
    qint32 row = 0;
    qint32 col = 0;
    qint32 rows = 0;
    qint32 cols = 0;
};
