#include "tags/TagGridModel.h"

#include <algorithm>
#include <iterator>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Cutting at least this many rows at once gives the freed memory back to the system.
constexpr qint32 kLargeCut = 4096;

[[noreturn]] void outside(const char* what, qint32 value, qint32 limit)
{
    throw GridError(std::string(what) + ' ' + std::to_string(value) + " is outside the grid (0 to " +
                    std::to_string(limit - 1) + ")");
}

void returnFreedMemory()
{
#ifdef __GLIBC__
    // Freed row blocks stay in the allocator's free lists otherwise, and the process keeps
    // the memory of its largest table for good.
    malloc_trim(0);
#endif
}

} // namespace

// Marks the span of a structural change so views can tell it from the user's moves.
class TagGridModel::Reshape final
{
public:
    explicit Reshape(TagGridModel& model) : m_model(model) { ++m_model.m_reshaping; }
    ~Reshape() { --m_model.m_reshaping; }
    Q_DISABLE_COPY_MOVE(Reshape)

private:
    TagGridModel& m_model;
};

TagGridModel::TagGridModel(qint32 columns, QObject* parent) : QAbstractTableModel(parent)
{
    setCols(columns);
}

qint32 TagGridModel::Rows() const
{
    return static_cast<qint32>(m_rows.size()) + 1;
}

void TagGridModel::setRows(qint32 rows)
{
    if (rows < 1)
        throw GridError("a grid keeps its header row; row count " + std::to_string(rows) + " is too small");
    const int wanted = rows - 1;
    const int have = static_cast<int>(m_rows.size());
    Reshape reshape(*this);
    if (wanted < have) {
        removeRun(rows, have - wanted);
    } else if (wanted > have) {
        beginInsertRows(QModelIndex(), have, wanted - 1);
        m_rows.resize(static_cast<size_t>(wanted));
        endInsertRows();
    }
}

qint32 TagGridModel::Cols() const
{
    return static_cast<qint32>(m_columns.size());
}

void TagGridModel::setCols(qint32 cols)
{
    if (cols < 0)
        throw GridError("column count " + std::to_string(cols) + " is below 0");
    const int have = Cols();
    if (cols == have)
        return;
    Reshape reshape(*this);
    if (cols < have)
        beginRemoveColumns(QModelIndex(), cols, have - 1);
    else
        beginInsertColumns(QModelIndex(), have, cols - 1);
    m_columns.resize(static_cast<size_t>(cols));
    m_header.resize(cols);
    for (GridRow& row : m_rows)
        row.truncate(cols);
    if (cols < have)
        endRemoveColumns();
    else
        endInsertColumns();
}

QString TagGridModel::TextMatrix(qint32 row, qint32 col) const
{
    checkCell(row, col);
    return row == 0 ? m_header.at(col) : m_rows[static_cast<size_t>(row - 1)].cell(col).toString();
}

QStringView TagGridModel::textAt(qint32 row, qint32 col) const
{
    checkCell(row, col);
    return row == 0 ? QStringView(m_header.at(col)) : m_rows[static_cast<size_t>(row - 1)].cell(col);
}

const GridRow& TagGridModel::rowAt(qint32 row) const
{
    if (row < 1 || row >= Rows())
        outside("data row", row, Rows());
    return m_rows[static_cast<size_t>(row - 1)];
}

void TagGridModel::setTextMatrix(qint32 row, qint32 col, const QString& text)
{
    checkCell(row, col);
    if (row == 0) {
        m_header[col] = text;
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    m_rows[static_cast<size_t>(row - 1)].setCell(col, text);
    const QModelIndex cell = index(row - 1, col);
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
}

void TagGridModel::AddItem(const QString& text)
{
    AddItems(QStringList{text});
}

void TagGridModel::AddItems(const QStringList& texts)
{
    std::vector<GridRow> rows;
    rows.reserve(static_cast<size_t>(texts.size()));
    for (const QString& text : texts) {
        TabbedCells cells(Cols());
        cells.add(text);
        rows.push_back(cells.row());
    }
    insertItems(Rows(), std::move(rows));
}

void TagGridModel::RemoveItem(qint32 row)
{
    if (row < 1 || row >= Rows())
        outside("data row", row, Rows());
    removeRun(row, 1);
}

void TagGridModel::RemoveItem()
{
    if (m_rows.empty())
        throw GridError("the grid has no data row to remove");
    RemoveItem(Rows() - 1);
}

void TagGridModel::insertItems(qint32 row, std::vector<GridRow> rows)
{
    if (row < 1 || row > Rows())
        outside("insertion row", row, Rows() + 1);
    if (rows.empty())
        return;
    for (GridRow& inserted : rows)
        inserted.truncate(Cols());
    const int first = row - 1;
    Reshape reshape(*this);
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    if (m_rows.empty())
        m_rows = std::move(rows);
    else
        m_rows.insert(m_rows.begin() + first, std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
    endInsertRows();
}

void TagGridModel::removeItems(std::vector<qint32> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty())
        return;
    if (rows.front() < 1)
        outside("data row", rows.front(), Rows());
    if (rows.back() >= Rows())
        outside("data row", rows.back(), Rows());
    // From the bottom up, so the rows still to go keep their numbers.
    auto runEnd = rows.end();
    while (runEnd != rows.begin()) {
        auto runBegin = runEnd - 1;
        while (runBegin != rows.begin() && *(runBegin - 1) == *runBegin - 1)
            --runBegin;
        removeRun(*runBegin, static_cast<qint32>(runEnd - runBegin));
        runEnd = runBegin;
    }
}

void TagGridModel::renumberFrom(qint32 row)
{
    if (row < 1)
        outside("data row", row, Rows());
    checkColumn(0);
    if (row >= Rows())
        return;
    RowNumberCounter number(row);
    for (auto it = m_rows.begin() + (row - 1); it != m_rows.end(); ++it, number.next())
        it->setCell(0, number.text());
    emit dataChanged(index(row - 1, 0), index(rowCount() - 1, 0), {Qt::DisplayRole, Qt::EditRole});
}

GridColumn& TagGridModel::Column(qint32 col)
{
    checkColumn(col);
    return m_columns[static_cast<size_t>(col)];
}

const GridColumn& TagGridModel::Column(qint32 col) const
{
    checkColumn(col);
    return m_columns[static_cast<size_t>(col)];
}

void TagGridModel::setButtonFaceBrush(const QVariant& brush)
{
    m_buttonFaceBrush = brush;
    if (!m_rows.empty() && Cols() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, Cols() - 1), {Qt::BackgroundRole});
}

int TagGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TagGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Cols();
}

QVariant TagGridModel::data(const QModelIndex& index, int role) const
{
    if (!holds(index))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rows[static_cast<size_t>(index.row())].cell(index.column()).toString();
    case Qt::BackgroundRole:
        if (m_columns[static_cast<size_t>(index.column())].backColor == GridColumn::BackColor::ButtonFace)
            return m_buttonFaceBrush;
        return {};
    default:
        return {};
    }
}

bool TagGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !holds(index) || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_rows[static_cast<size_t>(index.row())].setCell(index.column(), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    emit cellEdited(index.row() + 1, index.column());
    return true;
}

QVariant TagGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section >= 0 && section < Cols() ? QVariant(m_header.at(section)) : QVariant();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TagGridModel::flags(const QModelIndex& index) const
{
    if (!holds(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (m_columns[static_cast<size_t>(index.column())].editable)
        result |= Qt::ItemIsEditable;
    return result;
}

void TagGridModel::checkCell(qint32 row, qint32 col) const
{
    if (row < 0 || row >= Rows())
        outside("row", row, Rows());
    checkColumn(col);
}

void TagGridModel::checkColumn(qint32 col) const
{
    if (col < 0 || col >= Cols())
        outside("column", col, Cols());
}

bool TagGridModel::holds(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() < rowCount() && index.column() < Cols();
}

void TagGridModel::removeRun(qint32 first, qint32 count)
{
    Reshape reshape(*this);
    beginRemoveRows(QModelIndex(), first - 1, first + count - 2);
    const auto begin = m_rows.begin() + (first - 1);
    m_rows.erase(begin, begin + count);
    if (count >= kLargeCut)
        m_rows.shrink_to_fit();
    endRemoveRows();
    // Given back once the command is done: a table read right after the cut (as opening a
    // file does) takes the freed memory again without the system mapping it anew.
    if (count >= kLargeCut && !m_memoryReturnPending) {
        m_memoryReturnPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_memoryReturnPending = false;
                returnFreedMemory();
            },
            Qt::QueuedConnection);
    }
}
