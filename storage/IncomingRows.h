#pragma once

#include "storage/TagFileFormat.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class TagGridModel;

// Which of a row's ten stored cells (0 for Tag Name to 9 for G) come in: `count` from `first` on.
struct IncomingCells
{
    qsizetype first = 0;
    qsizetype count = TagFileFormat::kStoredColumns;

    bool has(qsizetype cell) const { return cell >= first && cell < first + count; }
};

// Rows that come into the tag table from outside the grid (a CSV import, a paste) must keep
// the tag name rules and be fit to be saved. They are checked before the table changes, so a
// refusal leaves the table as it was.
class IncomingRowsCheck final
{
public:
    // The names the incoming ones must not repeat, without regard to letter case: those of the
    // table's data rows, except the rows in `renamed`, whose names the incoming ones replace.
    explicit IncomingRowsCheck(const TagGridModel& table, const QSet<qint32>& renamed = {});

    // The first rule broken by a row that is to stand as data row `row`, given as its ten
    // stored cells, or nothing. An incoming tag name is tested (and then taken, so no later row
    // may repeat it), and so are an incoming variable name and option, as Add tests them; the
    // cells are tested against what a tag setting file can store only when `cellsTested`.
    std::optional<QString> problem(const QStringList& cells, qint32 row, IncomingCells incoming = {},
                                   bool cellsTested = true);

private:
    QSet<QString> m_names;
};
