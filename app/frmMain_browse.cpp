#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/ConnectionOptions.h"
#include "engine/FailureText.h"
#include "engine/VariantList.h"
#include "platform/BusyCursor.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// Appends the text of each element of a name list, from the lower to the upper bound.
// When an element fails, the names before it stay appended and the failure goes on.
void appendNames(QComboBox* combo, const Variant& names)
{
    QStringList texts;
    try {
        texts = textsOf(names);
    } catch (const EngineError&) {
        appendItems(combo, textsBeforeFailure(names));
        throw;
    }
    appendItems(combo, texts);
}

// Inside a catch block: the query that failed and the engine's reason.
QString browseFailure(const QString& query)
{
    return reasonLines({QStringLiteral("Query: %1").arg(query), currentFailureText()});
}

} // namespace

IController& frmMain::connected() const
{
    if (!m_objCtrl)
        throw EngineError(QStringLiteral("No controller is connected."));
    return *m_objCtrl;
}

Variant frmMain::runQuorSqlQuery(const QString& query)
{
    m_objQuorSQL = connected().AddExtension(QStringLiteral("QuorSQL"), Variant());
    if (!m_objQuorSQL)
        throw EngineError(QStringLiteral("The QuorSQL extension was not added."));
    m_objQuorSQL->setValue(Variant::text(query));
    m_objQuorSQL->Execute(0);
    return m_objQuorSQL->Value();
}

// Removes the extension a browsing procedure added, also after a failure.
void frmMain::removeQuorSqlExtension()
{
    if (!m_objQuorSQL)
        return;
    try {
        const BusyCursor busy;
        const std::shared_ptr<IExtensions> extensions = connected().Extensions();
        if (!extensions)
            throw EngineError(QStringLiteral("The controller has no extension collection."));
        extensions->Remove(Variant::number(m_objQuorSQL->Index()));
    } catch (...) {
        // The controller refused; nothing more can be done with the extension.
    }
    m_objQuorSQL.reset();
}

void frmMain::FillControllerNames()
{
    const QString query = ConnectionOptions::controllerNamesQuery();
    try {
        const BusyCursor busy;
        appendNames(cmbCtrls, runQuorSqlQuery(query));
        cmbCtrls->setFocus();
    } catch (...) {
        showMessageWithDetails(this, QStringLiteral("Failed to get controller list."), MsgIcon::Exclamation,
                               browseFailure(query));
    }
    removeQuorSqlExtension();
}

void frmMain::FillVariableNames()
{
    const bool tulo = optProvider[1]->isChecked();
    // Without a query the controller's own list is asked for.
    const QString query =
        tulo ? ConnectionOptions::itemNamesQuery(cmbCtrls->currentText()) : QStringLiteral("VariableNames");
    try {
        const BusyCursor busy;
        const Variant names = tulo ? runQuorSqlQuery(query) : connected().VariableNames(Variant());
        appendNames(cmbVars, names);
        cmbVars->setFocus();
    } catch (...) {
        showMessageWithDetails(this, QStringLiteral("Failed to add variable name."), MsgIcon::Exclamation,
                               browseFailure(query));
    }
    removeQuorSqlExtension();
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
