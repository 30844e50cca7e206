#pragma once

#include <QStringView>
#include <QVarLengthArray>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <span>

// The cells of one data row of the grid, held in one block: the number of cells kept, the
// end of each cell's text, then the texts one after the other. Empty cells at the end of the
// row are not kept, and a row without text holds no block, so a table of tens of thousands
// of rows costs little more than its text.
class GridRow final
{
public:
    GridRow() noexcept = default;
    // The cells in column order.
    explicit GridRow(std::span<const QStringView> cells);
    GridRow(const GridRow& other);
    GridRow& operator=(const GridRow& other);
    GridRow(GridRow&&) noexcept = default;
    GridRow& operator=(GridRow&&) noexcept = default;
    ~GridRow() = default;

    // The text of cell `col`; empty beyond the cells kept. Valid until the row changes.
    QStringView cell(qsizetype col) const
    {
        if (col < 0 || col >= cellCount())
            return {};
        const quint32 begin = col == 0 ? 0 : end(col - 1);
        return QStringView(text() + begin, static_cast<qsizetype>(end(col) - begin));
    }
    void setCell(qsizetype col, QStringView text)
    {
        // A text of the same length (a row renumbered, mostly) is written in place.
        if (col >= 0 && col < cellCount() && !text.isEmpty()) {
            const QStringView old = cell(col);
            if (old.size() == text.size()) {
                std::memmove(const_cast<QChar*>(old.data()), text.data(),
                             static_cast<std::size_t>(text.size()) * sizeof(char16_t));
                return;
            }
        }
        setCellResized(col, text);
    }
    // Drops the cells from column `cols` on.
    void truncate(qsizetype cols);
    // Cells from the first to the last that is not empty; those after it are empty.
    qsizetype cellCount() const { return m_block ? static_cast<qsizetype>(word(0)) : 0; }

private:
    void setCellResized(qsizetype col, QStringView text);
    // The integer at word `index` of the block.
    quint32 word(std::size_t index) const
    {
        quint32 value;
        std::memcpy(&value, m_block.get() + index * sizeof(quint32), sizeof(quint32));
        return value;
    }
    quint32 end(qsizetype col) const { return word(static_cast<std::size_t>(col) + 1); }
    const char16_t* text() const
    {
        return reinterpret_cast<const char16_t*>(m_block.get() + (word(0) + 1) * sizeof(quint32));
    }
    std::size_t blockSize() const;

    std::unique_ptr<std::byte[]> m_block;
};

// Collects the cells of a row from texts cut at TAB characters, the pieces filling the
// columns in order, as the grid's AddItem cuts its text. Pieces beyond the last column are
// dropped. The texts must outlive the collector.
class TabbedCells final
{
public:
    explicit TabbedCells(qsizetype columns) : m_columns(columns) {}
    void add(QStringView text);
    GridRow row() const { return GridRow(std::span<const QStringView>(m_cells.data(), m_cells.size())); }

private:
    qsizetype m_columns;
    QVarLengthArray<QStringView, 16> m_cells;
};

// The decimal text of a row number, written into `digits`: the grid's running numbers
// without a string allocated for each.
QStringView rowNumberText(qint32 number, std::array<char16_t, 12>& digits);

// The decimal texts of consecutive row numbers from `first` (0 or above) on.
class RowNumberCounter final
{
public:
    explicit RowNumberCounter(qint32 first);
    QStringView text() const
    {
        return QStringView(m_digits.data() + m_begin, m_digits.data() + m_digits.size());
    }
    void next();

private:
    std::array<char16_t, 12> m_digits{};
    std::size_t m_begin = 0;
};
