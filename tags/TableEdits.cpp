#include "tags/TableEdits.h"

#include "tags/TagGridModel.h"

#include <iterator>
#include <numeric>

namespace {

class InsertRows final : public TableEdit
{
public:
    InsertRows(TagGridModel& table, qint32 row, std::vector<GridRow> rows)
        : m_table(table), m_row(row), m_rows(std::move(rows))
    {
    }

    void redo() override
    {
        m_table.insertItems(m_row, m_rows);
        m_table.renumberFrom(m_row);
    }

    void undo() override
    {
        std::vector<qint32> inserted(m_rows.size());
        std::iota(inserted.begin(), inserted.end(), m_row);
        m_table.removeItems(std::move(inserted));
        m_table.renumberFrom(m_row);
    }

private:
    TagGridModel& m_table;
    const qint32 m_row;
    const std::vector<GridRow> m_rows;
};

class RemoveRows final : public TableEdit
{
public:
    RemoveRows(TagGridModel& table, std::vector<qint32> rows) : m_table(table), m_rows(std::move(rows)) {}

    void redo() override
    {
        if (m_rows.empty())
            return;
        m_removed.clear();
        m_removed.reserve(m_rows.size());
        for (const qint32 row : m_rows)
            m_removed.push_back(m_table.rowAt(row));
        m_table.removeItems(m_rows);
        m_table.renumberFrom(m_rows.front());
    }

    void undo() override
    {
        if (m_rows.empty())
            return;
        // Run by run from the top, so each run goes back where it stood.
        for (size_t begin = 0; begin < m_rows.size();) {
            size_t end = begin + 1;
            while (end < m_rows.size() && m_rows[end] == m_rows[end - 1] + 1)
                ++end;
            const auto first = m_removed.begin() + static_cast<std::ptrdiff_t>(begin);
            const auto last = m_removed.begin() + static_cast<std::ptrdiff_t>(end);
            m_table.insertItems(m_rows[begin], std::vector<GridRow>(std::make_move_iterator(first),
                                                                    std::make_move_iterator(last)));
            begin = end;
        }
        m_removed.clear();
        m_table.renumberFrom(m_rows.front());
    }

private:
    TagGridModel& m_table;
    const std::vector<qint32> m_rows;
    std::vector<GridRow> m_removed;
};

class SetCells final : public TableEdit
{
public:
    SetCells(TagGridModel& table, qint32 row, qint32 col, QList<QStringList> before, QList<QStringList> after)
        : m_table(table), m_row(row), m_col(col), m_before(std::move(before)), m_after(std::move(after))
    {
    }

    void redo() override { m_table.setBlock(m_row, m_col, m_after); }
    void undo() override { m_table.setBlock(m_row, m_col, m_before); }

private:
    TagGridModel& m_table;
    const qint32 m_row;
    const qint32 m_col;
    const QList<QStringList> m_before;
    const QList<QStringList> m_after;
};

// Several edits as one: made in order, taken back in reverse.
class CombinedEdits final : public TableEdit
{
public:
    explicit CombinedEdits(std::vector<std::unique_ptr<TableEdit>> edits) : m_edits(std::move(edits)) {}

    void redo() override
    {
        for (const auto& edit : m_edits)
            edit->redo();
    }
    void undo() override
    {
        for (auto edit = m_edits.rbegin(); edit != m_edits.rend(); ++edit)
            (*edit)->undo();
    }

private:
    std::vector<std::unique_ptr<TableEdit>> m_edits;
};

} // namespace

std::unique_ptr<TableEdit> combinedEdits(std::vector<std::unique_ptr<TableEdit>> edits)
{
    return std::make_unique<CombinedEdits>(std::move(edits));
}

std::unique_ptr<TableEdit> appendRowTexts(TagGridModel& table, const QStringList& texts)
{
    std::vector<GridRow> rows;
    rows.reserve(static_cast<size_t>(texts.size()));
    for (const QString& text : texts) {
        TabbedCells cells(table.Cols());
        cells.add(text);
        rows.push_back(cells.row());
    }
    return std::make_unique<InsertRows>(table, table.Rows(), std::move(rows));
}

std::unique_ptr<TableEdit> appendStoredRows(TagGridModel& table, const QList<QStringList>& rows)
{
    std::vector<GridRow> kept;
    kept.reserve(static_cast<size_t>(rows.size()));
    std::vector<QStringView> cells;
    for (const QStringList& stored : rows) {
        // Column 0 is numbered as the rows go in.
        cells.assign(1, QStringView());
        for (const QString& cell : stored)
            cells.push_back(cell);
        kept.emplace_back(std::span<const QStringView>(cells.data(), cells.size()));
    }
    return std::make_unique<InsertRows>(table, table.Rows(), std::move(kept));
}

std::unique_ptr<TableEdit> removeRows(TagGridModel& table, std::vector<qint32> rows)
{
    return std::make_unique<RemoveRows>(table, std::move(rows));
}

std::unique_ptr<TableEdit> setCells(TagGridModel& table, qint32 row, qint32 col, QList<QStringList> after)
{
    QList<QStringList> before;
    before.reserve(after.size());
    for (qsizetype r = 0; r < after.size(); ++r) {
        QStringList line;
        for (qsizetype c = 0; c < after.at(r).size(); ++c)
            line.append(table.TextMatrix(row + static_cast<qint32>(r), col + static_cast<qint32>(c)));
        before.append(line);
    }
    return setCells(table, row, col, std::move(before), std::move(after));
}

std::unique_ptr<TableEdit> setCells(TagGridModel& table, qint32 row, qint32 col, QList<QStringList> before,
                                    QList<QStringList> after)
{
    return std::make_unique<SetCells>(table, row, col, std::move(before), std::move(after));
}
