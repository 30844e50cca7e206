#include "tags/GridRow.h"

#include <algorithm>
#include <cstring>

// Block layout: quint32 count, quint32 end[count] (the running end of each cell's text, in
// UTF-16 code units), then the texts. Integers are copied in and out, the texts are read in
// place.

namespace {

constexpr std::size_t kWord = sizeof(quint32);

void putWord(std::byte* at, quint32 value)
{
    std::memcpy(at, &value, kWord);
}

} // namespace

GridRow::GridRow(std::span<const QStringView> cells)
{
    std::size_t count = cells.size();
    while (count > 0 && cells[count - 1].isEmpty())
        --count;
    if (count == 0)
        return;
    std::size_t total = 0;
    for (std::size_t col = 0; col < count; ++col)
        total += static_cast<std::size_t>(cells[col].size());
    const std::size_t head = kWord * (count + 1);
    m_block = std::make_unique_for_overwrite<std::byte[]>(head + total * sizeof(char16_t));
    putWord(m_block.get(), static_cast<quint32>(count));
    auto* out = reinterpret_cast<char16_t*>(m_block.get() + head);
    quint32 end = 0;
    for (std::size_t col = 0; col < count; ++col) {
        const QStringView cell = cells[col];
        if (!cell.isEmpty())
            std::memcpy(out + end, cell.utf16(), static_cast<std::size_t>(cell.size()) * sizeof(char16_t));
        end += static_cast<quint32>(cell.size());
        putWord(m_block.get() + kWord * (col + 1), end);
    }
}

GridRow::GridRow(const GridRow& other)
{
    if (!other.m_block)
        return;
    const std::size_t size = other.blockSize();
    m_block = std::make_unique_for_overwrite<std::byte[]>(size);
    std::memcpy(m_block.get(), other.m_block.get(), size);
}

GridRow& GridRow::operator=(const GridRow& other)
{
    if (this != &other)
        *this = GridRow(other);
    return *this;
}

void GridRow::setCellResized(qsizetype col, QStringView text)
{
    const qsizetype count = cellCount();
    if (col < 0 || (col >= count && text.isEmpty()))
        return;
    // Cells missing before `col` are empty ones (the array leaves new elements unset).
    QVarLengthArray<QStringView, 16> cells;
    for (qsizetype c = 0; c <= std::max(count - 1, col); ++c)
        cells.append(c == col ? text : cell(c));
    *this = GridRow(std::span<const QStringView>(cells.data(), cells.size()));
}

void GridRow::truncate(qsizetype cols)
{
    const qsizetype count = cellCount();
    if (cols >= count)
        return;
    QVarLengthArray<QStringView, 16> cells;
    for (qsizetype c = 0; c < std::max<qsizetype>(cols, 0); ++c)
        cells.append(cell(c));
    *this = GridRow(std::span<const QStringView>(cells.data(), cells.size()));
}

std::size_t GridRow::blockSize() const
{
    const quint32 count = word(0);
    return kWord * (count + 1) + end(count - 1) * sizeof(char16_t);
}

void TabbedCells::add(QStringView text)
{
    // A plain scan: the texts are short, and the library's search costs more than it saves.
    const char16_t* from = text.utf16();
    const char16_t* const end = from + text.size();
    while (m_cells.size() < m_columns) {
        const char16_t* const tab = std::find(from, end, u'\t');
        m_cells.append(QStringView(from, tab));
        if (tab == end)
            return;
        from = tab + 1;
    }
}

RowNumberCounter::RowNumberCounter(qint32 first)
{
    m_begin = m_digits.size() - static_cast<std::size_t>(rowNumberText(first, m_digits).size());
}

void RowNumberCounter::next()
{
    // Counting up in place: mostly one digit changes.
    for (std::size_t at = m_digits.size(); at-- > m_begin;) {
        if (m_digits[at] != u'9') {
            ++m_digits[at];
            return;
        }
        m_digits[at] = u'0';
    }
    m_digits[--m_begin] = u'1';
}

QStringView rowNumberText(qint32 number, std::array<char16_t, 12>& digits)
{
    char16_t* const end = digits.data() + digits.size();
    char16_t* at = end;
    const bool negative = number < 0;
    auto value = negative ? 0u - static_cast<quint32>(number) : static_cast<quint32>(number);
    do {
        *--at = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (negative)
        *--at = u'-';
    return QStringView(at, end);
}
