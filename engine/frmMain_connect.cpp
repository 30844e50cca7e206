#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/ConnectionOptions.h"
#include "platform/BusyCursor.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace ConnectionOptions;

namespace {

const QString kConnectCaption = QStringLiteral("Connect");
const QString kDisconnectCaption = QStringLiteral("Disconnect");

void warn(QWidget* parent, const QString& text)
{
    showMessage(parent, text, MsgIcon::Exclamation);
}

void reportFailedConnection(QWidget* parent)
{
    showMessage(parent, QStringLiteral("Failed to AddController."), MsgIcon::Critical);
}

std::shared_ptr<IController> addController(const QString& controller, const QString& provider,
                                           const QString& machine, const QString& option)
{
    if (!g_objWorkspace)
        throw EngineError(QStringLiteral("No workspace."));
    const BusyCursor busy;
    return g_objWorkspace->AddController(controller, provider, machine, option);
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
    return !m_bChanged || ConfirmSaveChanges() != 3;
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
            m_objCtrl = addController(controller, provider, machine, option);
            if (m_objCtrl) {
                EnableProviderFields(false);
                optProvider[1]->setEnabled(false);
                chkConnQUOR->setText(kDisconnectCaption);
                FillVariableNames();
                EnableItemButtons(true);
                AddRecentConnection(newRecord(kProviderConnection, controller, provider, machine, option));
                setChanged(true);
                return;
            }
            reportFailedConnection(this);
        }
    } catch (...) {
        reportFailedConnection(this);
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
    try {
        if (cmbConn->currentText().isEmpty()) {
            warn(this, QStringLiteral("Please input the connect parameter."));
        } else if (guardBeforeConnecting()) {
            const QString option = cmbConn->currentText();
            m_objCtrl = addController(QString(), kTuloProvider, QString(), option);
            if (m_objCtrl) {
                EnableConnField(false);
                chkConnTULO->setText(kDisconnectCaption);
                FillControllerNames();
                optProvider[0]->setEnabled(false);
                EnableItemButtons(true);
                AddRecentConnection(
                    newRecord(kQueryServerConnection, nameOf(*m_objCtrl), kTuloProvider, QString(), option));
                setChanged(true);
                return;
            }
            reportFailedConnection(this);
        }
    } catch (...) {
        reportFailedConnection(this);
    }
    chkConnTULO->setChecked(false);
}

void frmMain::chkConnBRAKKA_Click()
{
    QRadioButton* otherModel = m_lCtrlModel == 1 ? optLyra[0] : optLyra[1];
    if (!chkConnBRAKKA->isChecked()) {
        m_objCtrl.reset();
        EnableServerFields(true);
        otherModel->setEnabled(true);
        finishDisconnect(chkConnBRAKKA);
        return;
    }
    try {
        const QString provider = brakkaProvider(m_lCtrlModel);
        if (guardBeforeConnecting()) {
            m_objCtrl =
                addController(QString(), provider, QString(),
                              brakkaOption(m_lCtrlModel, cmbServer->currentText(), txtTimeout->text()));
            if (m_objCtrl) {
                EnableServerFields(false);
                otherModel->setEnabled(false);
                chkConnBRAKKA->setText(kDisconnectCaption);
                FillVariableNames();
                // The record takes the option as the fields show it now.
                AddRecentConnection(
                    newRecord(kProviderConnection, nameOf(*m_objCtrl), provider, QString(),
                              brakkaOption(m_lCtrlModel, cmbServer->currentText(), txtTimeout->text())));
                EnableItemButtons(true);
                setChanged(true);
                return;
            }
            reportFailedConnection(this);
        }
    } catch (...) {
        reportFailedConnection(this);
    }
    chkConnBRAKKA->setChecked(false);
}

void frmMain::finishDisconnect(QPushButton* box)
{
    EnableItemButtons(false);
    box->setText(kConnectCaption);
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
