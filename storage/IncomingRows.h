#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class TagGridModel;

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
    // stored cells (Tag Name to G), or nothing. Its tag name is tested (and then taken, so no
    // later row may repeat it) only when `nameIncoming`; the cells are tested against what a tag
    // setting file can store only when `cellsTested`.
    std::optional<QString> problem(const QStringList& cells, qint32 row, bool nameIncoming = true,
                                   bool cellsTested = true);

private:
    QSet<QString> m_names;
};
