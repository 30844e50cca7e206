#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TagGridModel;
class clsProfile;
class clsCtrlParameter;

// The message for the first stored cell of the tag table that a tag setting file cannot
// give back as it is, or nothing when the table can be saved. A row is one value of ten
// fields joined with ",": a comma inside a cell shifts the fields when the file is read, a
// tab splits the cell when the row goes back into the grid, a line break or a NUL cannot be
// written at all, and the value loses the blanks at its two ends and a pair of quotation
// marks that encloses it. The connection texts (`connection`, when there is one) must
// not hold a line break or a NUL either.
std::optional<QString> storageProblem(const TagGridModel& table,
                                      const clsCtrlParameter* connection = nullptr);
// The same message for the first such cell of data row `row`, or nothing.
std::optional<QString> rowStorageProblem(const TagGridModel& table, qint32 row);
// The same message for a row that is to stand as data row `row`, given as its ten stored
// cells (Tag Name to G), or nothing; such a row must also be no longer than the store reads back
// whole (tags/StoredRowLength.h).
std::optional<QString> storedCellsProblem(const QStringList& cells, qint32 row);

// The same message for data row `row` when it is longer than the store reads back whole, or nothing.
std::optional<QString> rowLengthProblem(const TagGridModel& table, qint32 row);

// The message for the first connection text or tag cell that the encoding of the file behind
// `file` cannot hold (a file read in a code page keeps it), or nothing when all can be written.
std::optional<QString> encodingProblem(const TagGridModel& table, const clsCtrlParameter& connection,
                                       clsProfile& file);
