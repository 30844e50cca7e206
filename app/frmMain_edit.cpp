#include "app/frmMain.h"
#include "platform/Dialogs.h"
#include "tags/GridControl.h"
#include "tags/TagDocument.h"

#include <QAction>
#include <QMenu>
#include <QUndoStack>

namespace {

QAction* newEditItem(QMenu* menu, const char* name, const QString& caption,
                     const QList<QKeySequence>& shortcuts)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcuts(shortcuts);
    return item;
}

// "&Undo" alone, or followed by what the step did: "&Undo Paste".
void followStepText(QAction* item, const QString& caption, const QString& step)
{
    item->setText(step.isEmpty() ? caption : caption + QLatin1Char(' ') + step);
}

} // namespace

void frmMain::createEditItems()
{
    QUndoStack* history = &m_document->history();
    const QString undo = QStringLiteral("&Undo");
    const QString redo = QStringLiteral("&Redo");
    mnuEditUndo = newEditItem(mnuEdit, "mnuEditUndo", undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    mnuEditRedo =
        newEditItem(mnuEdit, "mnuEditRedo", redo,
                    {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    mnuEdit->addSeparator();
    mnuEditCut =
        newEditItem(mnuEdit, "mnuEditCut", QStringLiteral("Cu&t"), {QKeySequence(Qt::CTRL | Qt::Key_X)});
    mnuEditCopy =
        newEditItem(mnuEdit, "mnuEditCopy", QStringLiteral("&Copy"), {QKeySequence(Qt::CTRL | Qt::Key_C)});
    mnuEditPaste =
        newEditItem(mnuEdit, "mnuEditPaste", QStringLiteral("&Paste"), {QKeySequence(Qt::CTRL | Qt::Key_V)});
    mnuEditDelete =
        newEditItem(mnuEdit, "mnuEditDelete", QStringLiteral("&Delete"), {QKeySequence(Qt::Key_Delete)});
    mnuEditSelectAll = newEditItem(mnuEdit, "mnuEditSelectAll", QStringLiteral("Select &All"),
                                   {QKeySequence(Qt::CTRL | Qt::Key_A)});
    // Like the Delete button, they wait for a connection.
    mnuEditCut->setEnabled(false);
    mnuEditDelete->setEnabled(false);

    mnuEditUndo->setEnabled(false);
    mnuEditRedo->setEnabled(false);
    connect(history, &QUndoStack::canUndoChanged, mnuEditUndo, &QAction::setEnabled);
    connect(history, &QUndoStack::canRedoChanged, mnuEditRedo, &QAction::setEnabled);
    connect(history, &QUndoStack::undoTextChanged, mnuEditUndo,
            [this, undo](const QString& step) { followStepText(mnuEditUndo, undo, step); });
    connect(history, &QUndoStack::redoTextChanged, mnuEditRedo,
            [this, redo](const QString& step) { followStepText(mnuEditRedo, redo, step); });
    connect(m_document, &TagDocument::historyMoved, this, &frmMain::followHistory);
}

void frmMain::connectEditItems()
{
    connect(mnuEditUndo, &QAction::triggered, this, &frmMain::mnuEditUndo_Click);
    connect(mnuEditRedo, &QAction::triggered, this, &frmMain::mnuEditRedo_Click);
    connect(mnuEditCut, &QAction::triggered, this, &frmMain::mnuEditCut_Click);
    connect(mnuEditCopy, &QAction::triggered, this, &frmMain::mnuEditCopy_Click);
    connect(mnuEditPaste, &QAction::triggered, this, &frmMain::mnuEditPaste_Click);
    connect(mnuEditDelete, &QAction::triggered, this, [this] {
        grdItems->finishEdit();
        if (mnuEditDelete->isEnabled())
            cmdDelete_Click();
    });
    connect(mnuEditSelectAll, &QAction::triggered, this, [this] {
        grdItems->finishEdit();
        grdItems->selectAll();
    });
    // Their keys work on the grid's cells while the grid has the focus; elsewhere (in a text
    // box) the keys keep their own meaning there.
    for (QAction* item : {mnuEditCut, mnuEditCopy, mnuEditPaste, mnuEditDelete, mnuEditSelectAll}) {
        item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        grdItems->addAction(item);
    }
}

void frmMain::mnuEditUndo_Click()
{
    grdItems->finishEdit();
    if (!m_document->undo())
        showMessage(this, QStringLiteral("Failed to undo."), MsgIcon::Critical);
}

void frmMain::mnuEditRedo_Click()
{
    grdItems->finishEdit();
    if (!m_document->redo())
        showMessage(this, QStringLiteral("Failed to redo."), MsgIcon::Critical);
}

bool frmMain::doneByDocument(const std::optional<QString>& refusal)
{
    if (!refusal)
        return true;
    showMessage(this, *refusal, MsgIcon::Exclamation);
    return false;
}

void frmMain::followHistory()
{
    // A rejected rename restores the text the cell holds now, not the one undone.
    if (m_lCurRow > 0 && m_lCurRow < grdItems->Rows() && m_lCurCol >= 0 && m_lCurCol < grdItems->Cols())
        m_strCurText = grdItems->TextMatrix(m_lCurRow, m_lCurCol);
}

QUndoStack& frmMain::history() const
{
    return m_document->history();
}

bool frmMain::changed() const
{
    return m_document->changed();
}

void frmMain::setChanged(bool changed)
{
    m_document->setChanged(changed);
}
