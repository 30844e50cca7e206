#include "app/frmMain.h"
#include "engine/ConnectionOptions.h"
#include "engine/FailureText.h"
#include "engine/TagFileFolder.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "tags/TagDocument.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <utility>

using namespace ConnectionOptions;

namespace {

const QString kConnectCaption = QStringLiteral("Connect");
const QString kDisconnectCaption = QStringLiteral("Disconnect");

void warn(QWidget* parent, const QString& text)
{
    showMessage(parent, text, MsgIcon::Exclamation);
}

// The failed connection with the engine's reason under it and what was asked for in the details.
void reportFailedConnection(QWidget* parent, const QString& reason, const QString& details)
{
    showMessageWithReason(parent, QStringLiteral("Failed to AddController."), MsgIcon::Critical, reason,
                          details);
}

} // namespace

// The unsaved-change guard before a connection: false when the user cancelled.
bool frmMain::guardBeforeConnecting()
{
    return !m_document->changed() || ConfirmSaveChanges() != 3;
}

// A box pressed while another way holds the controller, or is being connected, springs back
// without a word; its way's fields and the other way stay as they are.
bool frmMain::refusedWhileAnotherWayIsConnected(QPushButton* box)
{
    for (QPushButton* other : {chkConnQUOR, chkConnTULO, chkConnBRAKKA}) {
        if (other != box && (other->text() == kDisconnectCaption || other == m_connectingBox)) {
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

void frmMain::pressConnect(QPushButton* box, const std::function<void()>& connectWay)
{
    if (refusedWhileAnotherWayIsConnected(box))
        return;
    chooseWayOf(box);
    m_connectingBox = box;
    connectStep(connectWay);
}

void frmMain::connectStep(const std::function<void()>& step)
{
    try {
        step();
    } catch (...) {
        const QString reason = currentFailureText();
        const QString request = m_connection.isConnected() ? m_connection.request().describe() : QString();
        reportFailedConnection(this, reason, reasonLines({reason, request}));
        endConnecting(false);
    }
}

std::function<void()> frmMain::nextConnectStep(std::function<void()> step)
{
    return [this, step = std::move(step)] { connectStep(step); };
}

void frmMain::endConnecting(bool connected)
{
    QPushButton* box = std::exchange(m_connectingBox, nullptr);
    // Refused: turning the box off runs its handler again, which disconnects.
    if (!connected && box)
        box->setChecked(false);
}

void frmMain::stopConnecting(QPushButton* box)
{
    if (m_connectingBox != box)
        return;
    m_connectingBox = nullptr;
    m_engineWaitCancelled = nullptr;
    m_engineSteps.cancel();
}

void frmMain::connectTo(const ConnectionRequest& request, std::function<void()> connected)
{
    m_connection.setWorkspace(m_state.objWorkspace);
    publishTagFileFolder(document().filePath());
    expectEngineAnswer(QStringLiteral("Connecting to %1...").arg(request.place()),
                       [this] { endConnecting(false); });
    m_engineSteps.connect(request,
                          [this, connected = std::move(connected)](const Outcome<ControllerPtr>& added) {
                              if (!added.ok()) {
                                  reportFailedConnection(this, added.reason, *added.failure);
                                  endConnecting(false);
                                  return;
                              }
                              connectStep(connected);
                          });
}

void frmMain::rememberConnection(std::function<void()> remembered)
{
    auto take = [this, remembered = std::move(remembered)](const AsyncConnection::Record& made) {
        if (!made.ok()) {
            reportFailedConnection(this, made.reason, *made.failure);
            endConnecting(false);
            return;
        }
        AddRecentConnection(m_state.settings.colRecent, made.value);
        connectStep(remembered);
    };
    if (!m_connection.recordAsksEngine()) {
        take(m_connection.record());
        return;
    }
    expectEngineAnswer(QStringLiteral("Connecting to %1...").arg(m_connection.request().place()),
                       [this] { endConnecting(false); });
    m_engineSteps.record([this, take = std::move(take)](const AsyncConnection::Record& made) {
        connectStep([&take, &made] { take(made); });
    });
}

void frmMain::chkConnQUOR_Click()
{
    if (!chkConnQUOR->isChecked()) {
        stopConnecting(chkConnQUOR);
        m_connection.disconnect();
        EnableProviderFields(true);
        optProvider[1]->setEnabled(true);
        finishDisconnect(chkConnQUOR);
        return;
    }
    pressConnect(chkConnQUOR, [this] {
        if (cmbCtrl->currentText().isEmpty()) {
            warn(this, QStringLiteral("Please input the controller name."));
            endConnecting(false);
            return;
        }
        if (cmbProvs->currentText().compare(kSelectPrompt, Qt::CaseInsensitive) == 0) {
            warn(this, QStringLiteral("Please select the provider."));
            endConnecting(false);
            return;
        }
        if (!guardBeforeConnecting()) {
            endConnecting(false);
            return;
        }
        const ConnectionRequest request = ConnectionRequest::quor(
            cmbCtrl->currentText(), cmbProvs->currentText(), txtMachine->text(), txtOption->text());
        connectTo(request, [this] {
            EnableProviderFields(false);
            optProvider[1]->setEnabled(false);
            chkConnQUOR->setText(kDisconnectCaption);
            updateOtherWays();
            FillVariableNames(nextConnectStep([this] {
                EnableItemButtons(true);
                rememberConnection([this] {
                    setChanged(true);
                    endConnecting(true);
                });
            }));
        });
    });
}

void frmMain::chkConnTULO_Click()
{
    if (!chkConnTULO->isChecked()) {
        stopConnecting(chkConnTULO);
        m_connection.disconnect();
        EnableConnField(true);
        optProvider[0]->setEnabled(true);
        finishDisconnect(chkConnTULO);
        return;
    }
    pressConnect(chkConnTULO, [this] {
        if (cmbConn->currentText().isEmpty()) {
            warn(this, QStringLiteral("Please input the connect parameter."));
            endConnecting(false);
            return;
        }
        if (!guardBeforeConnecting()) {
            endConnecting(false);
            return;
        }
        connectTo(ConnectionRequest::tulo(cmbConn->currentText()), [this] {
            EnableConnField(false);
            chkConnTULO->setText(kDisconnectCaption);
            updateOtherWays();
            FillControllerNames(nextConnectStep([this] {
                optProvider[0]->setEnabled(false);
                EnableItemButtons(true);
                rememberConnection([this] {
                    setChanged(true);
                    endConnecting(true);
                });
            }));
        });
    });
}

void frmMain::chkConnBRAKKA_Click()
{
    if (!chkConnBRAKKA->isChecked()) {
        stopConnecting(chkConnBRAKKA);
        m_connection.disconnect();
        EnableServerFields(true);
        (m_lCtrlModel == 1 ? optLyra[0] : optLyra[1])->setEnabled(true);
        finishDisconnect(chkConnBRAKKA);
        return;
    }
    pressConnect(chkConnBRAKKA, [this] {
        if (!guardBeforeConnecting()) {
            endConnecting(false);
            return;
        }
        connectTo(ConnectionRequest::brakka(m_lCtrlModel, cmbServer->currentText(), txtTimeout->text()),
                  [this] {
                      EnableServerFields(false);
                      (m_lCtrlModel == 1 ? optLyra[0] : optLyra[1])->setEnabled(false);
                      chkConnBRAKKA->setText(kDisconnectCaption);
                      updateOtherWays();
                      FillVariableNames(nextConnectStep([this] {
                          rememberConnection([this] {
                              EnableItemButtons(true);
                              setChanged(true);
                              endConnecting(true);
                          });
                      }));
                  });
    });
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
    // The live values follow the connection made or ended.
    followConnection();
}

void frmMain::EnableProviderFields(bool enabled)
{
    cmbCtrl->setEnabled(enabled);
    cmbProvs->setEnabled(enabled);
    txtMachine->setEnabled(enabled);
    txtOption->setEnabled(enabled);
    mnuToolsChooseMap->setEnabled(enabled);
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
    m_listedCtrlsIndex = -1;
    cmbCtrls->clear();
    clearItems(cmbVars);
    setComboText(cmbVars, kSelectPrompt);
    txtVarOpt->setText(QString());
}
