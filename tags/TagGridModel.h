#pragma once

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
// columns 0 .. Cols() - 1, held as plain rows of text so that tens of thousands of rows
// stay cheap. The grid operations use the grid's numbering (header row 0); the Qt model
// side shows the header row as the horizontal header and data row r as model row r - 1.
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
    QStringList emptyRow() const;
    QStringList rowFromText(const QString& text) const;

    QStringList m_header;
    std::vector<QStringList> m_rows;
    std::vector<GridColumn> m_columns;
    QVariant m_buttonFaceBrush;
    int m_reshaping = 0;
};
