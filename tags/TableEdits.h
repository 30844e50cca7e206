#pragma once

#include "tags/GridRow.h"

#include <QList>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

class TagGridModel;

// A change of the tag table that can be taken back and made again. Each is built on the
// table's operations on many rows, so that thousands of rows come and go with one
// notification. redo() makes the change (also the first time); undo() takes it back, with the
// table as redo() left it.
class TableEdit
{
public:
    virtual ~TableEdit() = default;
    virtual void redo() = 0;
    virtual void undo() = 0;
};

// Rows appended at the end of the table, numbered on from its last row: from texts cut at tabs
// as AddItem cuts them (column 0 first), or from the ten stored cells of each (Tag Name to G).
std::unique_ptr<TableEdit> appendRowTexts(TagGridModel& table, const QStringList& texts);
std::unique_ptr<TableEdit> appendStoredRows(TagGridModel& table, const QList<QStringList>& rows);

// Data rows removed (given ascending, without repeats); the rows after them renumbered.
// undo() puts them back in their places with their cells.
std::unique_ptr<TableEdit> removeRows(TagGridModel& table, std::vector<qint32> rows);

// The block of cells that begins at (row, col) given new texts, rows of equal length; undo()
// writes the texts they had when the edit was made. `before` gives them when the table holds
// the new texts already (an edit typed into the grid).
std::unique_ptr<TableEdit> setCells(TagGridModel& table, qint32 row, qint32 col, QList<QStringList> after);
std::unique_ptr<TableEdit> setCells(TagGridModel& table, qint32 row, qint32 col, QList<QStringList> before,
                                    QList<QStringList> after);

// Several edits as one step: made in order, taken back in reverse order.
std::unique_ptr<TableEdit> combinedEdits(std::vector<std::unique_ptr<TableEdit>> edits);
