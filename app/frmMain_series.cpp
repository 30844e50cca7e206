#include "app/SeriesDialog.h"
#include "app/frmMain.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/ObjectNames.h"
#include "tags/GridControl.h"
#include "tags/TagColumns.h"
#include "tags/TagDocument.h"

#include <QAction>
#include <QMenu>

void frmMain::createSeriesItems()
{
    mnuEditFillSeries = named(mnuEdit->addAction(QStringLiteral("Fill &Series...")), "mnuEditFillSeries");
    mnuEditDuplicateRows =
        named(mnuEdit->addAction(QStringLiteral("D&uplicate Rows...")), "mnuEditDuplicateRows");
    connect(mnuEditFillSeries, &QAction::triggered, this, &frmMain::mnuEditFillSeries_Click);
    connect(mnuEditDuplicateRows, &QAction::triggered, this, &frmMain::mnuEditDuplicateRows_Click);
}

void frmMain::mnuEditFillSeries_Click()
{
    openSeriesDialog(true);
}

void frmMain::mnuEditDuplicateRows_Click()
{
    openSeriesDialog(false);
}

void frmMain::openSeriesDialog(bool fill)
{
    grdItems->finishEdit();
    std::vector<qint32> rows = grdItems->selectedRows();
    if (rows.empty() && m_lCurRow > 0 && m_lCurRow < grdItems->Rows())
        rows.push_back(m_lCurRow);
    if (rows.empty()) {
        showMessage(this, QStringLiteral("Select the rows first."), MsgIcon::Information);
        return;
    }
    const auto apply = [this, fill, rows](const SeriesRequest& request,
                                          qint32 copies) -> std::optional<QString> {
        const BusyCursor busy;
        TagGridModel& table = grdItems->table();
        const SeriesPlan plan =
            fill ? planFillSeries(table, rows, request) : planDuplicateRows(table, rows, copies, request);
        if (plan.refusal)
            return plan.refusal;
        if (fill) {
            QList<std::pair<qint32, QStringList>> cells;
            for (const SeriesRow& row : plan.rows)
                cells.append({row.row, row.cells});
            m_document->setRowCells(QStringLiteral("Fill Series"), kTagNameColumn, cells);
            return std::nullopt;
        }
        QList<QStringList> appended;
        for (const SeriesRow& row : plan.rows)
            appended.append(row.cells);
        const qint32 first = table.Rows();
        if (doneByDocument(m_document->appendRows(QStringLiteral("Duplicate Rows"), appended,
                                                  TagDocument::RowCheck::CheckedByCaller)))
            grdItems->selectBlock({first, 0, static_cast<qint32>(appended.size()), grdItems->Cols()});
        return std::nullopt;
    };
    auto* dialog = new SeriesDialog(fill ? SeriesDialog::Kind::Fill : SeriesDialog::Kind::Duplicate,
                                    static_cast<qint32>(rows.size()), apply, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
