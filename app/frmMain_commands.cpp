#include "app/Icons.h"
#include "app/VersionText.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/FailureText.h"
#include "engine/VariantList.h"
#include "platform/AppInfo.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "tags/GridControl.h"
#include "tags/TagDocument.h"

#include <QAction>
#include <QComboBox>

namespace {

const QString kFixedTitle = QStringLiteral("Halvo2 QUOR Online Tag Editor");

MsgAnswer askToSaveChanges(QWidget* parent)
{
    return showMessage(
        parent,
        QStringLiteral("Settings have been changed. Are you sure you want to save the current settings?"),
        MsgIcon::Question, MsgButtons::YesNoCancel);
}

} // namespace

void frmMain::SetToolbarImages()
{
    ilQuorTagEditor = {Icons::openImage(), Icons::saveImage()};
    tbarButtons[1]->setIcon(ilQuorTagEditor.at(0));
    tbarButtons[2]->setIcon(ilQuorTagEditor.at(1));
}

void frmMain::Form_Load()
{
    try {
        SetToolbarImages();
        InitItemGrid();
        EnableItemButtons(false);
        LoadAppSettings();
        FillRecentLists();
        if (!m_state.strStartFile.isEmpty()) {
            // A file named on the command line opens as File > Open opens it.
            openTagFile(m_state.strStartFile);
            UpdateTitle();
        } else if (!m_document->filePath().isEmpty()) {
            // A file that cannot be read is reported by the reader; the load goes on.
            ReadTagFile(m_document->filePath());
            UpdateTitle();
        }
        if (m_state.bBRAKKAMode) {
            m_lCtrlModel = 1;
            return;
        }
        if (!m_state.objWorkspace)
            throw EngineError(QStringLiteral("No workspace."));
        appendItems(cmbProvs, textsOf(m_state.objWorkspace->ProviderNames(Variant())));
        // The provider list is kept in alphabetical order.
        const QString text = cmbProvs->currentText();
        cmbProvs->model()->sort(0);
        cmbProvs->setEditText(text);
    } catch (...) {
        showMessageWithDetails(this, QStringLiteral("Failed to load."), MsgIcon::Critical,
                               currentFailureText());
        m_state.bLoadFailed = true;
    }
}

frmMain::SavePromptResult frmMain::promptToSaveChanges()
{
    switch (askToSaveChanges(this)) {
    case MsgAnswer::Yes:
        // A save that did not happen keeps the changes: the caller stops as if cancelled.
        return FileSave(true) ? SavePromptResult::Saved : SavePromptResult::Cancelled;
    case MsgAnswer::No:
        return SavePromptResult::Discarded;
    case MsgAnswer::Cancel:
    case MsgAnswer::Ok:
        break;
    }
    return SavePromptResult::Cancelled;
}

bool frmMain::proceedAfterSavePrompt()
{
    return !m_document->changed() || promptToSaveChanges() != SavePromptResult::Cancelled;
}

void frmMain::Form_QueryUnload(bool& cancel)
{
    if (!proceedAfterSavePrompt())
        cancel = true;
}

void frmMain::Form_Unload()
{
    SaveAppSettings();
    // An answer still awaited is not wanted any more; the call itself ends on the engine thread.
    m_connectingBox = nullptr;
    m_engineWaitCancelled = nullptr;
    m_engineSteps.cancel();
    // Nothing of the engine may outlive it.
    releaseLiveValues();
    m_connection.disconnect();
    m_connection.setWorkspace(nullptr);
    m_state.ReleaseEngine();
}

qint32 frmMain::ConfirmSaveChanges()
{
    const SavePromptResult result = promptToSaveChanges();
    if (result == SavePromptResult::Cancelled)
        return 3;
    m_connection.disconnect();
    return result == SavePromptResult::Saved ? 1 : 2;
}

void frmMain::FileNew()
{
    try {
        if (!proceedAfterSavePrompt())
            return;
        if (!ClearTagSetting())
            showMessage(this, QStringLiteral("Failed to new form."), MsgIcon::Critical);
    } catch (...) {
        showMessage(this, QStringLiteral("Failed to new form."), MsgIcon::Critical);
    }
}

void frmMain::UpdateTitle()
{
    setWindowTitle(m_document->filePath().isEmpty()
                       ? kFixedTitle
                       : kFixedTitle + QStringLiteral(" -") + m_document->filePath());
}

void frmMain::mnuFileItem_Click(int index)
{
    // Menu and toolbar take no focus, so a tag name still being typed is finished first:
    // the command then sees it.
    grdItems->finishEdit();
    switch (index) {
    case 0:
        FileNew();
        break;
    case 1:
        // Open replaces the table, so unsaved changes are offered for saving first.
        if (proceedAfterSavePrompt())
            FileOpen();
        break;
    case 3:
        FileSave(false);
        break;
    case 4:
        FileSave(true);
        break;
    case 6:
        close();
        return;
    default:
        return;
    }
    UpdateTitle();
}

void frmMain::mnuHelpItem_Click(int index)
{
    if (index != 0)
        return;
    showMessage(this,
                VersionText(AppInfo::versionMajor(), AppInfo::versionMinor(), AppInfo::versionRevision()),
                MsgIcon::Information);
}

void frmMain::tbarMain_ButtonClick(int index)
{
    if (index == 2)
        mnuFileItem_Click(1);
    else if (index == 3)
        mnuFileItem_Click(3);
}
