#pragma once

#include "tags/GridRow.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <stdexcept>
#include <vector>

// Raised by a grid operation given a row or column that does not exist.
class GridError final : public std::out_of_range
{
public:
    using std::out_of_range::out_of_range;
};

// Per-column settings of the grid. After changing them, GridControl::applyColumn brings
// them to the view.
struct GridColumn
{
    enum class BackColor
    {
        Window,    // the view's own background
        ButtonFace // the system button-face colour
    };
    BackColor backColor = BackColor::Window;
    double width = -1;    // twips; below 0: the view's default width
    bool editable = true; // may the user type into the column's cells
    int displayAttribute1 = 0;
    int displayAttribute2 = 0;
};

// The grid's table: a header row 0 (the column titles) above data rows 1 .. Rows() - 1,
// columns 0 .. Cols() - 1, each data row one compact GridRow so that a hundred thousand rows
// stay small. The grid operations use the grid's numbering (header row 0); the Qt model side
// shows the header row as the horizontal header and data row r as model row r - 1.
// Operations on many rows raise one notification per block of rows they change.
class TagGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TagGridModel(qint32 columns = 0, QObject* parent = nullptr);

    // Row count including the header row; 1 means no data rows.
    qint32 Rows() const;
    // Cuts the table to `rows` rows (the header row counts) or appends empty rows.
    // Throws GridError below 1: the header row stays.
    void setRows(qint32 rows);
    qint32 Cols() const;
    // Throws GridError below 0.
    void setCols(qint32 cols);

    // Row 0 is the header row. Throws GridError outside the table.
    QString TextMatrix(qint32 row, qint32 col) const;
    void setTextMatrix(qint32 row, qint32 col, const QString& text);
    // The text of a cell without a copy; valid until the table changes. Throws GridError.
    QStringView textAt(qint32 row, qint32 col) const;
    // Data row `row` (1 .. Rows() - 1) as it is kept, for reading many of its cells at once;
    // valid until the table changes. Throws GridError.
    const GridRow& rowAt(qint32 row) const;

    // Appends a data row; the text is cut at TABs and the pieces fill columns 0, 1, 2 ...
    // Pieces beyond the last column are dropped.
    void AddItem(const QString& text);
    // Appends one data row per text, each cut as AddItem cuts it, in one insertion: views
    // see a single rowsInserted however many rows come.
    void AddItems(const QStringList& texts);
    // Removes data row `row` (1 .. Rows() - 1); the rows below move up. Throws GridError.
    void RemoveItem(qint32 row);
    // Removes one data row (the last). Throws GridError when there is none.
    void RemoveItem();

    // Inserts `rows` before data row `row` (1 .. Rows(); Rows() appends), with one
    // rows-inserted notification. Cells beyond the last column are dropped. Throws GridError.
    void insertItems(qint32 row, std::vector<GridRow> rows);
    // Removes the given data rows (any order, repeats ignored); the rows below move up. One
    // rows-removed notification per run of neighbouring rows. Throws GridError, removing
    // nothing, when one of them does not exist.
    void removeItems(std::vector<qint32> rows);
    // Writes each data row's number into column 0, from data row `row` to the last, with one
    // data-changed notification for the range. Nothing for a row past the last.
    void renumberFrom(qint32 row);

    // The column object for column `col`. Throws GridError outside the table.
    GridColumn& Column(qint32 col);
    const GridColumn& Column(qint32 col) const;

    // What Qt::BackgroundRole gives for button-face columns. The table knows no colours;
    // the view hands in its palette's button brush.
    void setButtonFaceBrush(const QVariant& brush);

    // True while rows or columns are being inserted or removed, so a view can tell
    // a current-cell change made by the table from one made by the user.
    bool isReshaping() const { return m_reshaping > 0; }

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Called by the view's in-place editor only; emits cellEdited once the text is stored.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The user finished an in-place edit of cell (row, col), grid numbering.
    void cellEdited(qint32 row, qint32 col);

private:
    class Reshape;

    void checkCell(qint32 row, qint32 col) const;
    void checkColumn(qint32 col) const;
    // A valid index of this model that lies inside the table (quietly, unlike checkIndex).
    bool holds(const QModelIndex& index) const;
    // Removes data rows first .. first + count - 1 with one notification; the memory of a
    // large cut goes back to the system when the event loop next runs.
    void removeRun(qint32 first, qint32 count);

    QStringList m_header;
    std::vector<GridRow> m_rows;
    std::vector<GridColumn> m_columns;
    QVariant m_buttonFaceBrush;
    int m_reshaping = 0;
    bool m_memoryReturnPending = false;
};
