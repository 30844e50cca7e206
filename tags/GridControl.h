#pragma once

#include "tags/CellBlock.h"
#include "tags/LiveColumnsModel.h"
#include "tags/TagGridModel.h"

#include <QPointer>
#include <QTableView>
#include <optional>
#include <vector>

// The grid control of the main window: a table view over a TagGridModel that offers the
// grid operations the tag table uses and raises its two events. The view shows the table
// through LiveColumnsModel, which may add the live columns after the table's own; the grid
// operations, the selection's rows, columns and block know the table's columns only.
class GridControl final : public QTableView
{
    Q_OBJECT

public:
    // The grid as the window is designed: 11 columns, the header row only.
    explicit GridControl(QWidget* parent = nullptr);
    GridControl(qint32 columns, QWidget* parent);
    // A view of a table kept elsewhere (a document's), which must outlive the grid.
    GridControl(TagGridModel& table, QWidget* parent);
    Q_DISABLE_COPY_MOVE(GridControl)

    TagGridModel& table() { return *m_model; }
    const TagGridModel& table() const { return *m_model; }
    // The model the view shows: the table and, while shown, the live columns.
    LiveColumnsModel& liveColumns() { return *m_view; }
    const LiveColumnsModel& liveColumns() const { return *m_view; }

    // The grid operations, forwarded to the table.
    qint32 Rows() const { return m_model->Rows(); }
    void setRows(qint32 rows) { m_model->setRows(rows); }
    qint32 Cols() const { return m_model->Cols(); }
    void setCols(qint32 cols) { m_model->setCols(cols); }
    QString TextMatrix(qint32 row, qint32 col) const { return m_model->TextMatrix(row, col); }
    void setTextMatrix(qint32 row, qint32 col, const QString& text)
    {
        m_model->setTextMatrix(row, col, text);
    }
    void AddItem(const QString& text) { m_model->AddItem(text); }
    void AddItems(const QStringList& texts) { m_model->AddItems(texts); }
    void RemoveItem(qint32 row) { m_model->RemoveItem(row); }
    void RemoveItem() { m_model->RemoveItem(); }
    GridColumn& Column(qint32 col) { return m_model->Column(col); }
    // Applies the settings of column `col` to the view (width, colour, editable flag).
    // Throws GridError outside the table.
    void applyColumn(qint32 col);

    // Shows or hides the live columns after the table's columns; the table's columns keep
    // their widths and the current cell stays where the user left it, unless it was a live
    // cell that goes.
    void showLiveColumns(bool shown);

    // Finishes an open in-place edit as Enter would: the text is stored and AfterEdit is
    // raised. Does nothing when no cell is being edited.
    void finishEdit();

    // Makes cell (row, col), grid numbering, the current and selected cell and scrolls it
    // into view; the grid reports it as entered. Does nothing outside the data rows.
    void showCell(qint32 row, qint32 col);

    // The data rows (ascending) and the columns (ascending) that hold a selected cell.
    std::vector<qint32> selectedRows() const;
    std::vector<qint32> selectedColumns() const;
    // The block that spans the selected cells of the table's columns, else the current cell;
    // nothing without either.
    std::optional<CellBlock> selectedBlock() const;
    // Selects the cells of `block` (clipped to the table) and shows its first row.
    void selectBlock(const CellBlock& block);

    // Place and size on the window, in twips (15 twips = 1 pixel).
    int Top() const;
    void setTop(int twips);
    int Width() const;
    void setWidth(int twips);
    int Height() const;
    void setHeight(int twips);

signals:
    // The user entered cell (row, col), grid numbering (data rows from 1).
    void EnterCell(qint32 row, qint32 col);
    // The user finished changing the text of a cell in place; the text is stored.
    void AfterEdit();

protected:
    // A press on a row number selects that row; with Shift or Ctrl it extends the selection
    // by whole rows, as a spreadsheet's row headers do.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // A current cell whose row goes moves to the row after it, the one Delete works on
    // next, or to the row before when none follows.
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A cell too narrow for its text shows the whole text in its tool tip.
    bool viewportEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Watches the window for its close request.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void afterReshape();
    void reportCurrent(const QModelIndex& current);
    void takeButtonFaceBrush();

    TagGridModel* m_model;
    LiveColumnsModel* m_view;
    // The window whose close request finishes an open edit first.
    QPointer<QWidget> m_watchedWindow;
    // The model position of the cell last reported as entered (-1: none).
    int m_enteredRow = -1;
    int m_enteredCol = -1;
    // The table moved the current cell while rows or columns changed.
    bool m_currentMovedByTable = false;
    // The live columns are being shown or hidden.
    bool m_showingLiveColumns = false;
    // The current cell is not the one last reported (the table moved it, or moved rows
    // under it); the user's next action on it reports it again.
    bool m_currentStale = false;
    // The mouse went down on a row number: its selection takes whole rows.
    bool m_pickingRows = false;
};
