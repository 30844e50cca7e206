#include "app/EngineWaitIndicator.h"
#include "app/frmMain.h"
#include "engine/ConnectionOptions.h"
#include "platform/BusyCursor.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

void frmMain::browseInto(QComboBox* combo, const QString& message, const QString& waitText,
                         const BrowseRequest& request, const std::function<void()>& then,
                         const std::function<void()>& cancelled)
{
    expectEngineAnswer(waitText, [cancelled, then] {
        if (cancelled)
            cancelled();
        if (then)
            then();
    });
    m_engineSteps.browse(
        request,
        [this, combo, message, then](const NameListing& listing) {
            showNames(combo, message, listing);
            if (then)
                then();
        },
        [this](qint64 done, qint64 total) { m_engineWait->setProgress(done, total); });
}

void frmMain::showNames(QComboBox* combo, const QString& message, const NameListing& listing)
{
    {
        const BusyCursor busy;
        // Where the list failed part-way, the names before the failure are kept.
        appendItems(combo, listing.value);
        if (listing.ok())
            combo->setFocus();
    }
    if (!listing.ok())
        showMessageWithReason(this, message, MsgIcon::Exclamation, listing.reason, *listing.failure);
    if (m_connection.hasQuorSqlExtension()) {
        const BusyCursor busy;
        m_connection.removeQuorSqlExtension();
    }
}

void frmMain::FillControllerNames(const std::function<void()>& then)
{
    browseInto(cmbCtrls, QStringLiteral("Failed to get controller list."),
               QStringLiteral("Listing the controllers of %1...").arg(m_connection.request().place()),
               BrowseRequest::controllerNames(), then, nullptr);
}

void frmMain::FillVariableNames(const std::function<void()>& then)
{
    listVariables(then, nullptr);
}

void frmMain::listVariables(const std::function<void()>& then, const std::function<void()>& cancelled)
{
    const bool tulo = optProvider[1]->isChecked();
    const QString server = tulo ? cmbCtrls->currentText() : m_connection.request().place();
    browseInto(cmbVars, QStringLiteral("Failed to add variable name."),
               QStringLiteral("Listing the variables of %1...").arg(server),
               tulo ? BrowseRequest::itemNames(cmbCtrls->currentText()) : BrowseRequest::variableNames(),
               then, cancelled);
}

void frmMain::cmbCtrls_Click()
{
    // A cancelled relist puts back the names and the choice that were there.
    const QStringList names = comboItems(cmbVars);
    const QString text = cmbVars->currentText();
    const int listed = m_listedCtrlsIndex;
    m_listedCtrlsIndex = cmbCtrls->currentIndex();
    clearItems(cmbVars);
    setComboText(cmbVars, ConnectionOptions::kSelectPrompt);
    listVariables(nullptr, [this, names, text, listed] {
        appendItems(cmbVars, names);
        setComboText(cmbVars, text);
        cmbCtrls->setCurrentIndex(listed);
        m_listedCtrlsIndex = listed;
    });
}

void frmMain::cmbCtrl_Click()
{
    const int index = cmbCtrl->currentIndex();
    if (index < 0)
        return;
    // The entry stands for the connection it was made from, wherever that now is in the list.
    const CtrlParameterPtr record = m_cmbCtrlRecords.value(index);
    if (!record)
        return;
    setComboText(cmbProvs, record->m_strProviderName);
    txtMachine->setText(record->m_strMachineName);
    txtOption->setText(record->m_strOptionVal);
}
