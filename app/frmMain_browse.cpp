#include "app/frmMain.h"
#include "engine/ConnectionOptions.h"
#include "platform/BusyCursor.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

void frmMain::showNames(QComboBox* combo, const QString& message, const std::function<NameListing()>& browse)
{
    NameListing listing;
    {
        const BusyCursor busy;
        listing = browse();
        // Where the list failed part-way, the names before the failure are kept.
        appendItems(combo, listing.value);
        if (listing.ok())
            combo->setFocus();
    }
    if (!listing.ok())
        showMessageWithDetails(this, message, MsgIcon::Exclamation, *listing.failure);
    if (m_connection.hasQuorSqlExtension()) {
        const BusyCursor busy;
        m_connection.removeQuorSqlExtension();
    }
}

void frmMain::FillControllerNames()
{
    showNames(cmbCtrls, QStringLiteral("Failed to get controller list."),
              [this] { return m_connection.controllerNames(); });
}

void frmMain::FillVariableNames()
{
    const bool tulo = optProvider[1]->isChecked();
    showNames(cmbVars, QStringLiteral("Failed to add variable name."), [this, tulo] {
        return tulo ? m_connection.itemNames(cmbCtrls->currentText()) : m_connection.variableNames();
    });
}

void frmMain::cmbCtrls_Click()
{
    clearItems(cmbVars);
    setComboText(cmbVars, ConnectionOptions::kSelectPrompt);
    FillVariableNames();
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
