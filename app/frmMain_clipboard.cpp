#include "app/frmMain.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "storage/TabText.h"
#include "storage/TagFileFormat.h"
#include "storage/TagPaste.h"
#include "tags/GridControl.h"
#include "tags/TagDocument.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <numeric>

using namespace TagFileFormat;

namespace {

// The columns a whole row is copied in: those a tag setting file stores.
std::vector<qint32> storedColumns()
{
    std::vector<qint32> cols(kStoredColumns);
    std::iota(cols.begin(), cols.end(), kFirstStoredColumn);
    return cols;
}

} // namespace

void frmMain::mnuEditCopy_Click()
{
    grdItems->finishEdit();
    std::vector<qint32> rows = grdItems->selectedRows();
    std::vector<qint32> cols = grdItems->selectedColumns();
    if (rows.empty()) {
        const std::optional<CellBlock> current = grdItems->selectedBlock();
        if (!current)
            return;
        rows = {current->row};
        cols = {current->col};
    }
    // The row number is no cell of the tag: a row picked by its number is copied whole.
    std::erase(cols, 0);
    if (cols.empty())
        cols = storedColumns();
    QGuiApplication::clipboard()->setText(TabText::copyText(grdItems->table(), rows, cols));
}

void frmMain::mnuEditCut_Click()
{
    grdItems->finishEdit();
    if (!mnuEditCut->isEnabled())
        return;
    std::vector<qint32> rows = grdItems->selectedRows();
    if (rows.empty() && m_lCurRow > 0 && m_lCurRow < grdItems->Rows())
        rows = {m_lCurRow};
    if (rows.empty())
        return;
    QGuiApplication::clipboard()->setText(TabText::copyText(grdItems->table(), rows, storedColumns()));
    m_document->removeRows(QStringLiteral("Cut"), std::move(rows));
}

void frmMain::mnuEditPaste_Click()
{
    grdItems->finishEdit();
    PasteText(QGuiApplication::clipboard()->text());
}

void frmMain::PasteText(const QString& text)
{
    const BusyCursor busy;
    TagGridModel& table = grdItems->table();
    const PasteOutcome outcome = planPaste(table, text, grdItems->selectedBlock());
    if (outcome.refusal) {
        showMessage(this, *outcome.refusal, MsgIcon::Exclamation);
        return;
    }
    if (!outcome.plan)
        return;
    const PastePlan& plan = *outcome.plan;
    const auto rows = static_cast<qint32>(plan.cells.size());
    if (plan.kind == PastePlan::Kind::AppendRows) {
        if (doneByDocument(m_document->appendRows(QStringLiteral("Paste"), plan.cells,
                                                  TagDocument::RowCheck::CheckedByCaller)))
            grdItems->selectBlock({plan.row, 0, rows, grdItems->Cols()});
        return;
    }
    const auto cols = static_cast<qint32>(plan.cells.first().size());
    if (doneByDocument(m_document->setCells(QStringLiteral("Paste"), plan.row, plan.col, plan.cells,
                                            TagDocument::RowCheck::CheckedByCaller)))
        grdItems->selectBlock({plan.row, plan.col, rows, cols});
}
