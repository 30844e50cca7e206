#include "storage/IncomingRows.h"

#include "storage/TagFileFormat.h"
#include "storage/TagTableCheck.h"
#include "tags/TagGridModel.h"
#include "tags/TagNameRules.h"

using namespace TagFileFormat;

namespace {

// A line break cannot reach the grid by typing, so the save check leaves it to the store,
// which refuses the whole save; rows from outside are refused at once.
std::optional<QString> lineBreakIn(const QStringList& cells)
{
    for (int col = 0; col < kStoredColumns; ++col) {
        const QString cell = cells.value(col);
        if (cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r')))
            return QStringLiteral("its column \"%1\" holds a line break, which a tag setting file cannot "
                                  "store.")
                .arg(kStoredColumnTitles.at(col));
    }
    return std::nullopt;
}

} // namespace

IncomingRowsCheck::IncomingRowsCheck(const TagGridModel& table, const QSet<qint32>& renamed)
{
    m_names.reserve(table.Rows());
    for (qint32 row = 1; row < table.Rows(); ++row) {
        if (!renamed.contains(row))
            m_names.insert(table.TextMatrix(row, kFirstStoredColumn).toCaseFolded());
    }
}

std::optional<QString> IncomingRowsCheck::problem(const QStringList& cells, qint32 row, bool nameIncoming,
                                                  bool cellsTested)
{
    if (nameIncoming) {
        const QString name = cells.value(0);
        const QString folded = name.toCaseFolded();
        if (m_names.contains(folded))
            return duplicateTagNameMessage(name);
        const QString ch = firstForbiddenCharacter(name);
        if (!ch.isEmpty())
            return forbiddenCharacterMessage(ch);
        m_names.insert(folded);
    }
    if (!cellsTested)
        return std::nullopt;
    if (std::optional<QString> broken = lineBreakIn(cells))
        return broken;
    return storedCellsProblem(cells, row);
}
