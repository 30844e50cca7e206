#pragma once

#include "tags/TagGridModel.h"

#include <QTableView>

// The grid control of the main window: a table view over a TagGridModel that offers the
// grid operations the tag table uses and raises its two events.
class GridControl final : public QTableView
{
    Q_OBJECT

public:
    explicit GridControl(QWidget* parent = nullptr);

    TagGridModel& table() { return *m_model; }
    const TagGridModel& table() const { return *m_model; }

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
    void RemoveItem(qint32 row) { m_model->RemoveItem(row); }
    void RemoveItem() { m_model->RemoveItem(); }
    GridColumn& Column(qint32 col) { return m_model->Column(col); }
    // Applies the settings of column `col` to the view (width, colour, editable flag).
    void applyColumn(qint32 col);

    // Place and size on the window, in twips.
    int Top() const;
    void setTop(int twips);
    int Width() const;
    void setWidth(int twips);
    int Height() const;
    void setHeight(int twips);

signals:
    // The user entered cell (row, col), grid numbering (data rows from 1).
    void EnterCell(qint32 row, qint32 col);
    // The user finished changing the text of a cell in place.
    void AfterEdit();

private:
    TagGridModel* m_model;
};
