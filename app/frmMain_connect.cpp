#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/ConnectionOptions.h"
#include "engine/FailureText.h"
#include "platform/BusyCursor.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "tags/TagDocument.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

using namespace ConnectionOptions;

namespace {

const QString kConnectCaption = QStringLiteral("Connect");
const QString kDisconnectCaption = QStringLiteral("Disconnect");

void warn(QWidget* parent, const QString& text)
{
    showMessage(parent, text, MsgIcon::Exclamation);
}

// Inside a catch block: the failed connection with the engine's reason and what was asked for.
void reportFailedConnection(QWidget* parent, const QString& request)
{
    showMessageWithDetails(parent, QStringLiteral("Failed to AddController."), MsgIcon::Critical,
                           reasonLines({currentFailureText(), request}));
}

[[noreturn]] void noController()
{
    throw EngineError(QStringLiteral("The engine returned no controller."));
}

std::shared_ptr<IController> addController(const std::shared_ptr<IWorkspace>& workspace,
                                           const QString& controller, const QString& provider,
                                           const QString& machine, const QString& option)
{
    if (!workspace)
        throw EngineError(QStringLiteral("No workspace."));
    const BusyCursor busy;
    return workspace->AddController(controller, provider, machine, option);
}

// The connected controller's name as the engine reports it.
QString nameOf(const IController& controller)
{
    const BusyCursor busy;
    return controller.Name();
}

CtrlParameterPtr newRecord(qint32 type, const QString& controller, const QString& provider,
                           const QString& machine, const QString& option)
{
    auto record = std::make_shared<clsCtrlParameter>();
    record->m_lConnectType = type;
    record->m_strControllerName = controller;
    record->m_strProviderName = provider;
    record->m_strMachineName = machine;
    record->m_strOptionVal = option;
    return record;
}

} // namespace

// The unsaved-change guard before a connection: false when the user cancelled.
bool frmMain::guardBeforeConnecting()
{
    return !m_document->changed() || ConfirmSaveChanges() != 3;
}

// A box pressed while another way holds the controller springs back without a word; its
// way's fields and the other way stay as they are.
bool frmMain::refusedWhileAnotherWayIsConnected(QPushButton* box)
{
    for (QPushButton* other : {chkConnQUOR, chkConnTULO, chkConnBRAKKA}) {
        if (other != box && other->text() == kDisconnectCaption) {
            const QSignalBlocker quiet(box);
            box->setChecked(false);
            return true;
        }
    }
    return false;
}

// Pressing a way's Connect box chooses that way first, as its option button would.
void frmMain::chooseWayOf(QPushButton* box)
{
    if (box == chkConnQUOR && !optProvider[0]->isChecked()) {
        optProvider[0]->setChecked(true);
    } else if (box == chkConnTULO && !optProvider[1]->isChecked()) {
        optProvider[1]->setChecked(true);
    } else if (box == chkConnBRAKKA) {
        const int shown = optLyra[0]->isChecked() ? 0 : 1;
        if (m_lCtrlModel != shown)
            optLyra_Click(shown);
    }
}

// One way at a time: while a way is connected, the other ways' Connect boxes and option
// buttons are disabled; once none is, the chosen option button decides again.
void frmMain::updateOtherWays()
{
    QPushButton* connected = nullptr;
    for (QPushButton* box : {chkConnQUOR, chkConnTULO, chkConnBRAKKA}) {
        if (box->text() == kDisconnectCaption)
            connected = box;
    }
    const bool none = connected == nullptr;
    if (connected != chkConnQUOR)
        chkConnQUOR->setEnabled(none && !optProvider[1]->isChecked());
    if (connected != chkConnTULO)
        chkConnTULO->setEnabled(none && !optProvider[0]->isChecked());
    if (connected != chkConnBRAKKA) {
        chkConnBRAKKA->setEnabled(none);
        optLyra[0]->setEnabled(none);
        optLyra[1]->setEnabled(none);
    }
    if (none || connected == chkConnBRAKKA) {
        optProvider[0]->setEnabled(none);
        optProvider[1]->setEnabled(none);
    }
}

void frmMain::chkConnQUOR_Click()
{
    if (!chkConnQUOR->isChecked()) {
        m_objCtrl.reset();
        EnableProviderFields(true);
        optProvider[1]->setEnabled(true);
        finishDisconnect(chkConnQUOR);
        return;
    }
    if (refusedWhileAnotherWayIsConnected(chkConnQUOR))
        return;
    chooseWayOf(chkConnQUOR);
    QString request;
    try {
        if (cmbCtrl->currentText().isEmpty()) {
            warn(this, QStringLiteral("Please input the controller name."));
        } else if (cmbProvs->currentText().compare(kSelectPrompt, Qt::CaseInsensitive) == 0) {
            warn(this, QStringLiteral("Please select the provider."));
        } else if (guardBeforeConnecting()) {
            const QString controller = cmbCtrl->currentText();
            const QString provider = cmbProvs->currentText();
            const QString machine = txtMachine->text();
            const QString option = txtOption->text();
            request = describeRequest(controller, provider, machine, option);
            m_objCtrl = addController(m_state.objWorkspace, controller, provider, machine, option);
            if (!m_objCtrl)
                noController();
            EnableProviderFields(false);
            optProvider[1]->setEnabled(false);
            chkConnQUOR->setText(kDisconnectCaption);
            updateOtherWays();
            FillVariableNames();
            EnableItemButtons(true);
            AddRecentConnection(m_state.settings.colRecent,
                                newRecord(kProviderConnection, controller, provider, machine, option));
            setChanged(true);
            return;
        }
    } catch (...) {
        reportFailedConnection(this, request);
    }
    // Refused: turning the box off runs this handler again, which disconnects.
    chkConnQUOR->setChecked(false);
}

void frmMain::chkConnTULO_Click()
{
    if (!chkConnTULO->isChecked()) {
        m_objCtrl.reset();
        EnableConnField(true);
        optProvider[0]->setEnabled(true);
        finishDisconnect(chkConnTULO);
        return;
    }
    if (refusedWhileAnotherWayIsConnected(chkConnTULO))
        return;
    chooseWayOf(chkConnTULO);
    QString request;
    try {
        if (cmbConn->currentText().isEmpty()) {
            warn(this, QStringLiteral("Please input the connect parameter."));
        } else if (guardBeforeConnecting()) {
            const QString option = cmbConn->currentText();
            request = describeRequest(QString(), kTuloProvider, QString(), option);
            m_objCtrl = addController(m_state.objWorkspace, QString(), kTuloProvider, QString(), option);
            if (!m_objCtrl)
                noController();
            EnableConnField(false);
            chkConnTULO->setText(kDisconnectCaption);
            updateOtherWays();
            FillControllerNames();
            optProvider[0]->setEnabled(false);
            EnableItemButtons(true);
            AddRecentConnection(
                m_state.settings.colRecent,
                newRecord(kQueryServerConnection, nameOf(*m_objCtrl), kTuloProvider, QString(), option));
            setChanged(true);
            return;
        }
    } catch (...) {
        reportFailedConnection(this, request);
    }
    chkConnTULO->setChecked(false);
}

void frmMain::chkConnBRAKKA_Click()
{
    if (!chkConnBRAKKA->isChecked()) {
        m_objCtrl.reset();
        EnableServerFields(true);
        (m_lCtrlModel == 1 ? optLyra[0] : optLyra[1])->setEnabled(true);
        finishDisconnect(chkConnBRAKKA);
        return;
    }
    if (refusedWhileAnotherWayIsConnected(chkConnBRAKKA))
        return;
    chooseWayOf(chkConnBRAKKA);
    QString request;
    try {
        const QString provider = brakkaProvider(m_lCtrlModel);
        if (guardBeforeConnecting()) {
            const QString option = brakkaOption(m_lCtrlModel, cmbServer->currentText(), txtTimeout->text());
            request = describeRequest(QString(), provider, QString(), option);
            m_objCtrl = addController(m_state.objWorkspace, QString(), provider, QString(), option);
            if (!m_objCtrl)
                noController();
            EnableServerFields(false);
            (m_lCtrlModel == 1 ? optLyra[0] : optLyra[1])->setEnabled(false);
            chkConnBRAKKA->setText(kDisconnectCaption);
            updateOtherWays();
            FillVariableNames();
            // The record takes the option as the fields show it now.
            AddRecentConnection(
                m_state.settings.colRecent,
                newRecord(kProviderConnection, nameOf(*m_objCtrl), provider, QString(),
                          brakkaOption(m_lCtrlModel, cmbServer->currentText(), txtTimeout->text())));
            EnableItemButtons(true);
            setChanged(true);
            return;
        }
    } catch (...) {
        reportFailedConnection(this, request);
    }
    chkConnBRAKKA->setChecked(false);
}

void frmMain::finishDisconnect(QPushButton* box)
{
    EnableItemButtons(false);
    box->setText(kConnectCaption);
    updateOtherWays();
    ClearBrowseLists();
}

void frmMain::optProvider_Click(int index)
{
    try {
        const bool quor = index == 0;
        chkConnQUOR->setEnabled(quor);
        chkConnTULO->setEnabled(!quor);
        EnableProviderFields(quor);
        EnableConnField(!quor);
        cmbCtrls->setEnabled(!quor);
    } catch (...) {
        showMessage(this, QStringLiteral("Failed to select connect option."), MsgIcon::Critical);
    }
}

void frmMain::optLyra_Click(int index)
{
    m_lCtrlModel = index == 1 ? 1 : 0;
}

void frmMain::EnableItemButtons(bool enabled)
{
    cmdAddItem->setEnabled(enabled);
    cmdDelete->setEnabled(enabled);
    mnuEditAddVariables->setEnabled(enabled);
    mnuEditCut->setEnabled(enabled);
    mnuEditDelete->setEnabled(enabled);
}

void frmMain::EnableProviderFields(bool enabled)
{
    cmbCtrl->setEnabled(enabled);
    cmbProvs->setEnabled(enabled);
    txtMachine->setEnabled(enabled);
    txtOption->setEnabled(enabled);
}

void frmMain::EnableConnField(bool enabled)
{
    cmbConn->setEnabled(enabled);
}

void frmMain::EnableServerFields(bool enabled)
{
    cmbServer->setEnabled(enabled);
    txtTimeout->setEnabled(enabled);
}

void frmMain::ClearBrowseLists()
{
    cmbCtrls->clear();
    clearItems(cmbVars);
    setComboText(cmbVars, kSelectPrompt);
    txtVarOpt->setText(QString());
}
