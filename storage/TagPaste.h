#pragma once

#include "tags/CellBlock.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TagGridModel;

// What a paste does to the tag table.
struct PastePlan
{
    enum class Kind
    {
        AppendRows, // `cells` are new rows, ten stored cells each (Tag Name to G), for the end
        SetCells    // `cells` are the new texts of the block that begins at (row, col)
    };
    Kind kind = Kind::AppendRows;
    qint32 row = 0;
    qint32 col = 0;
    QList<QStringList> cells;
};

struct PasteOutcome
{
    std::optional<PastePlan> plan;  // nothing when there is nothing to paste or it is refused
    std::optional<QString> refusal; // the one warning of a refused paste
};

// Plans pasting tab-separated `text` into the table. Lines of ten cells each are whole rows, in
// the columns a tag setting file stores (Tag Name, Var Name, Var Opt, A to G), appended at the
// end. Other text goes into the cells of `target`, the selected block, from its first row and
// column (the number column is never written); a single cell goes into every cell of the
// block; a block that is not cells of data rows of the table is no selection. Variable names
// and options come in as given. A paste is refused as a whole, naming
// the first row that fails, when it would give a tag a name another row has or a forbidden
// character, or a row a cell a tag setting file cannot store; and when it does not fit.
PasteOutcome planPaste(const TagGridModel& table, const QString& text,
                       const std::optional<CellBlock>& target);

// "Nothing was pasted. Row 12: " and the reason.
QString pasteRefusal(qint32 row, const QString& reason);
