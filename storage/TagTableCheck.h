#pragma once

#include <QString>
#include <optional>

class TagGridModel;

// The message for the first stored cell of the tag table that a tag setting file cannot
// give back as it is, or nothing when the table can be saved. A row is one value of ten
// fields joined with ",": a comma inside a cell shifts the fields when the file is read, a
// tab splits the cell when the row goes back into the grid, and the value loses the blanks
// at its two ends and a pair of quotation marks that encloses it.
std::optional<QString> storageProblem(const TagGridModel& table);
// The same message for the first such cell of data row `row`, or nothing.
std::optional<QString> rowStorageProblem(const TagGridModel& table, qint32 row);
