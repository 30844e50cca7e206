#include "storage/IncomingRows.h"

#include "storage/TagFileFormat.h"
#include "storage/TagTableCheck.h"
#include "tags/TagGridModel.h"
#include "tags/TagNameRules.h"
#include "tags/VariableTextRules.h"

using namespace TagFileFormat;

IncomingRowsCheck::IncomingRowsCheck(const TagGridModel& table, const QSet<qint32>& renamed)
{
    m_names.reserve(table.Rows());
    for (qint32 row = 1; row < table.Rows(); ++row) {
        if (!renamed.contains(row))
            m_names.insert(table.TextMatrix(row, kFirstStoredColumn).toCaseFolded());
    }
}

std::optional<QString> IncomingRowsCheck::problem(const QStringList& cells, qint32 row,
                                                  IncomingCells incoming, bool cellsTested)
{
    if (incoming.has(0)) {
        const QString name = cells.value(0);
        const QString folded = name.toCaseFolded();
        if (m_names.contains(folded))
            return duplicateTagNameMessage(name);
        const QString ch = firstForbiddenCharacter(name);
        if (!ch.isEmpty())
            return forbiddenCharacterMessage(ch);
        m_names.insert(folded);
    }
    // Variables of any controller come in, but only as text a tag can keep.
    if (std::optional<QString> problem = variableTextProblem(incoming.has(1) ? cells.value(1) : QString(),
                                                             incoming.has(2) ? cells.value(2) : QString()))
        return problem;
    if (!cellsTested)
        return std::nullopt;
    return storedCellsProblem(cells, row);
}
