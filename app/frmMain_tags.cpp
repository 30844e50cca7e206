#include "app/frmMain.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "tags/GridControl.h"
#include "tags/TagColumns.h"
#include "tags/TagDocument.h"
#include "tags/TagNameRules.h"
#include "tags/TagPicking.h"
#include "tags/TagTableIndex.h"
#include "tags/VariableTextRules.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr qint32 kVarOptColumn = 3;

// Runs one statement of a handler whose failures are ignored statement by statement.
template <typename Statement>
void ignoringFailure(Statement statement)
{
    try {
        statement();
    } catch (...) {
    }
}

} // namespace

void frmMain::InitItemGrid()
{
    m_document->clearRows();
    GridColumn& number = grdItems->Column(0);
    number.backColor = GridColumn::BackColor::ButtonFace;
    number.width = 500;
    number.editable = false;
    grdItems->Column(kVarNameColumn).editable = false;
    grdItems->Column(kVarOptColumn).editable = false;
    for (qint32 col = 0; col < grdItems->Cols(); ++col) {
        grdItems->Column(col).displayAttribute1 = 5;
        grdItems->Column(col).displayAttribute2 = 5;
        grdItems->applyColumn(col);
    }
}

void frmMain::cmdAddItem_Click()
{
    try {
        const QString variable = cmbVars->currentText();
        if (namesNoVariable(variable)) {
            showMessage(this, QStringLiteral("Please select the variable names."), MsgIcon::Exclamation);
            showMessage(this, QStringLiteral("Failed to add item."), MsgIcon::Critical);
            return;
        }
        if (const std::optional<QString> problem = variableTextProblem(variable, txtVarOpt->text())) {
            showMessage(this, *problem, MsgIcon::Exclamation);
            return;
        }
        const TagTableIndex& index = m_document->index();
        if (index.isTagged(variable) && showMessage(this, addAgainQuestion(variable, index.tagsOf(variable)),
                                                    MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes) {
            cmbVars->setFocus();
            cmbVars->lineEdit()->selectAll();
            return;
        }
        if (doneByDocument(m_document->addTags(QStringLiteral("Add"), {variable}, txtVarOpt->text())))
            afterAdding(1);
    } catch (...) {
        showMessage(this, QStringLiteral("Failed to add item."), MsgIcon::Critical);
    }
}

void frmMain::cmdDelete_Click()
{
    const std::vector<qint32> selected = grdItems->selectedRows();
    if (selected.size() > 1) {
        deleteSelectedRows(selected);
        return;
    }
    // Nothing to delete without an entered data row; a row beyond the table is no row.
    if (m_lCurRow <= 0 || grdItems->Rows() < 2 || m_lCurRow >= grdItems->Rows())
        return;
    qint32 number = 0;
    ignoringFailure([&] { number = grdItems->TextMatrix(m_lCurRow, 0).toInt(); });
    const QString prompt = QStringLiteral("Are you sure want to delete the [Tag%1]\uFF1F").arg(number);
    if (showMessage(this, prompt, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    // The rows below the deleted one move up and are renumbered.
    ignoringFailure([&] { m_document->removeRows(QStringLiteral("Delete"), {m_lCurRow}); });
    m_document->markChanged();
}

void frmMain::deleteSelectedRows(const std::vector<qint32>& rows)
{
    const QString prompt =
        QStringLiteral("Are you sure want to delete the %1 selected tags\uFF1F").arg(rows.size());
    if (showMessage(this, prompt, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    ignoringFailure([&] { m_document->removeRows(QStringLiteral("Delete"), rows); });
    m_document->markChanged();
}

void frmMain::grdItems_EnterCell(qint32 row, qint32 col)
{
    // The header row is not a tag: it neither fills the picker nor becomes the row for Delete.
    if (row <= 0)
        return;
    m_lCurRow = row;
    m_lCurCol = col;
    ignoringFailure([&] { m_strCurText = grdItems->TextMatrix(row, col); });
    ignoringFailure([&] { setComboText(cmbVars, grdItems->TextMatrix(row, kVarNameColumn)); });
    ignoringFailure([&] { txtVarOpt->setText(grdItems->TextMatrix(row, kVarOptColumn)); });
}

void frmMain::grdItems_AfterEdit()
{
    try {
        if (m_lCurCol == kTagNameColumn && !tagNameStands()) {
            grdItems->setTextMatrix(m_lCurRow, m_lCurCol, m_strCurText);
            return;
        }
        // An edit that stands is a change to keep; one that left the text as it was is none.
        doneByDocument(m_document->keepCellEdit(m_lCurCol == kTagNameColumn ? QStringLiteral("Rename")
                                                                            : QStringLiteral("Edit"),
                                                m_lCurRow, m_lCurCol, m_strCurText));
    } catch (...) {
        ignoringFailure([&] { grdItems->setTextMatrix(m_lCurRow, m_lCurCol, m_strCurText); });
    }
}

bool frmMain::tagNameStands()
{
    if (!CheckTagNameDuplicate(m_lCurRow, m_lCurCol))
        return false;
    for (const QString& ch : forbiddenTagNameCharacters()) {
        if (!CheckTagNameChar(grdItems->TextMatrix(m_lCurRow, m_lCurCol), ch))
            return false;
    }
    return true;
}

bool frmMain::CheckTagNameDuplicate(qint32 row, qint32 col)
{
    if (!isDuplicateTagName(grdItems->table(), row, col))
        return true;
    showMessage(this, duplicateTagNameMessage(grdItems->TextMatrix(row, col)), MsgIcon::Exclamation);
    return false;
}

bool frmMain::CheckTagNameChar(const QString& text, const QString& ch)
{
    if (!text.contains(ch, Qt::CaseSensitive))
        return true;
    showMessage(this, forbiddenCharacterMessage(ch), MsgIcon::Exclamation);
    return false;
}
