#include "storage/TagPaste.h"

#include "storage/IncomingRows.h"
#include "storage/TabText.h"
#include "storage/TagFileFormat.h"
#include "storage/TagFileRows.h"
#include "storage/TagTableCheck.h"
#include "tags/TagGridModel.h"

#include <algorithm>

using namespace TagFileFormat;

namespace {

QString refusal(const QString& reason)
{
    return QStringLiteral("Nothing was pasted. ") + reason;
}

// "1 row", "2 rows".
QString counted(qint32 count, const char* what)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(what),
                                                    QLatin1String(count == 1 ? "" : "s"));
}

PasteOutcome appendRows(const TagGridModel& table, const QList<DelimitedText::Record>& records)
{
    PastePlan plan;
    plan.kind = PastePlan::Kind::AppendRows;
    plan.row = table.Rows();
    plan.cells.reserve(records.size());
    IncomingRowsCheck check(table);
    for (const DelimitedText::Record& record : records) {
        const qint32 row = plan.row + static_cast<qint32>(plan.cells.size());
        if (std::optional<QString> problem = check.problem(record.fields, row))
            return {std::nullopt, pasteRefusal(row, *problem)};
        plan.cells.append(record.fields);
    }
    return {plan, std::nullopt};
}

// The texts of the block: the text's cells, or its one cell repeated over the whole target.
// Cells that short lines leave out keep the table's texts.
QList<QStringList> blockTexts(const TagGridModel& table, const QList<DelimitedText::Record>& records,
                              const CellBlock& block)
{
    const bool fill = records.size() == 1 && records.first().fields.size() == 1;
    QList<QStringList> texts;
    texts.reserve(block.rows);
    for (qint32 r = 0; r < block.rows; ++r) {
        const QStringList& fields = records.at(fill ? 0 : r).fields;
        QStringList line;
        line.reserve(block.cols);
        for (qint32 c = 0; c < block.cols; ++c) {
            if (fill)
                line.append(fields.first());
            else if (c < fields.size())
                line.append(fields.at(c));
            else
                line.append(table.TextMatrix(block.row + r, block.col + c));
        }
        texts.append(line);
    }
    return texts;
}

PasteOutcome setCells(const TagGridModel& table, const QList<DelimitedText::Record>& records,
                      const CellBlock& target)
{
    CellBlock block{target.row, std::max(target.col, kFirstStoredColumn), 0, 0};
    if (records.size() == 1 && records.first().fields.size() == 1) {
        block.rows = target.rows;
        // Row numbers alone take the value into the tag names.
        block.cols = std::max(target.col + target.cols - block.col, 1);
    } else {
        block.rows = static_cast<qint32>(records.size());
        for (const DelimitedText::Record& record : records)
            block.cols = std::max(block.cols, static_cast<qint32>(record.fields.size()));
    }
    if (block.row + block.rows > table.Rows() || block.col + block.cols > kLastStoredColumn + 1)
        return {std::nullopt,
                refusal(QStringLiteral("A block of %1 by %2, pasted from row %3 in the column \"%4\", would "
                                       "reach beyond the table.")
                            .arg(counted(block.rows, "row"), counted(block.cols, "column"))
                            .arg(block.row)
                            .arg(table.TextMatrix(0, block.col)))};

    PastePlan plan{PastePlan::Kind::SetCells, block.row, block.col, blockTexts(table, records, block)};
    const IncomingCells incoming{block.col - kFirstStoredColumn, block.cols};
    QSet<qint32> renamed;
    if (incoming.has(0)) {
        for (qint32 r = 0; r < block.rows; ++r)
            renamed.insert(block.row + r);
    }
    IncomingRowsCheck check(table, renamed);
    for (qint32 r = 0; r < block.rows; ++r) {
        const qint32 row = block.row + r;
        QStringList cells = storedCells(table, row);
        // A row that could not be saved before is not held against the paste.
        const bool tested = !storedCellsProblem(cells, row);
        for (qint32 c = 0; c < block.cols; ++c)
            cells[block.col + c - kFirstStoredColumn] = plan.cells.at(r).at(c);
        if (std::optional<QString> problem = check.problem(cells, row, incoming, tested))
            return {std::nullopt, pasteRefusal(row, *problem)};
    }
    return {plan, std::nullopt};
}

// True when the block is cells of data rows of the table; only they take a paste.
bool isDataBlock(const TagGridModel& table, const CellBlock& block)
{
    return block.rows >= 1 && block.cols >= 1 && block.row >= 1 && block.col >= 0 &&
           qint64(block.row) + block.rows <= table.Rows() && qint64(block.col) + block.cols <= table.Cols();
}

} // namespace

QString pasteRefusal(qint32 row, const QString& reason)
{
    return refusal(QStringLiteral("Row %1: %2").arg(row).arg(reason));
}

PasteOutcome planPaste(const TagGridModel& table, const QString& text, const std::optional<CellBlock>& target)
{
    const DelimitedText::Split split = TabText::toRows(text);
    if (split.error)
        return {
            std::nullopt,
            refusal(
                QStringLiteral("Line %1 of the text: %2").arg(split.error->line).arg(split.error->reason))};
    if (split.records.isEmpty())
        return {};
    const bool wholeRows = std::all_of(split.records.cbegin(), split.records.cend(), [](const auto& record) {
        return record.fields.size() == kStoredColumns;
    });
    if (wholeRows)
        return appendRows(table, split.records);
    if (!target || !isDataBlock(table, *target))
        return {std::nullopt,
                refusal(QStringLiteral("Select the cells to paste into, or paste whole rows of ten cells: "
                                       "%1.")
                            .arg(kStoredColumnTitles.join(QStringLiteral(", "))))};
    return setCells(table, split.records, *target);
}
