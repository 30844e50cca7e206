#include "app/RefreshIntervalDialog.h"
#include "app/WriteValueDialog.h"
#include "app/frmMain.h"
#include "engine/EngineCallRunner.h"
#include "engine/ValuePoller.h"
#include "tags/GridControl.h"
#include "tags/LiveTagRows.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

QAction* newViewItem(QMenu* menu, const char* name, const QString& caption, bool checkable)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setCheckable(checkable);
    return item;
}

} // namespace

void frmMain::createViewMenu()
{
    mnuView = menuBar()->addMenu(QStringLiteral("&View"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuViewLiveValues = newViewItem(mnuView, "mnuViewLiveValues", QStringLiteral("&Live Values"), true);
    mnuViewOnlyFailing =
        newViewItem(mnuView, "mnuViewOnlyFailing", QStringLiteral("&Only Failing Tags"), true);
    // Statuses are known only while the live values are read.
    mnuViewOnlyFailing->setEnabled(false);
    mnuView->addSeparator();
    mnuViewRefreshInterval =
        newViewItem(mnuView, "mnuViewRefreshInterval", QStringLiteral("&Refresh Interval..."), false);
}

void frmMain::createLiveValues()
{
    m_livePoller = new ValuePoller(this);
    m_livePoller->setInterval(m_state.settings.lRefreshIntervalMs);
    m_liveRows = new LiveTagRows(*grdItems, *m_livePoller, this);
    grdItems->liveColumns().setLookup(
        [poller = m_livePoller](const QString& variable) { return poller->latest(variable); });
    // The connection is looked at before every refresh as well: every way of ending it counts.
    connect(m_livePoller, &ValuePoller::refreshDue, this, &frmMain::followConnection);
    connect(m_livePoller, &ValuePoller::valuesRead, this, &frmMain::liveValuesRead);
    // No value is read while an engine call of a connect or browse runs on its own thread.
    connect(&engineCalls(), &EngineCallRunner::busyChanged, m_livePoller, &ValuePoller::setPaused);

    connect(mnuViewLiveValues, &QAction::triggered, this, &frmMain::mnuViewLiveValues_Click);
    connect(mnuViewOnlyFailing, &QAction::triggered, this, &frmMain::mnuViewOnlyFailing_Click);
    connect(mnuViewRefreshInterval, &QAction::triggered, this, &frmMain::mnuViewRefreshInterval_Click);
    connect(mnuEditWriteValue, &QAction::triggered, this, &frmMain::mnuEditWriteValue_Click);
    connect(grdItems->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmMain::updateWriteValueItem);
    const TagGridModel* table = &grdItems->table();
    connect(table, &QAbstractItemModel::dataChanged, this, &frmMain::updateWriteValueItem);
    connect(table, &QAbstractItemModel::rowsRemoved, this, &frmMain::updateWriteValueItem);
    connect(table, &QAbstractItemModel::modelReset, this, &frmMain::updateWriteValueItem);
}

void frmMain::applyViewSettings()
{
    mnuViewLiveValues->setChecked(m_state.settings.bLiveValues);
    m_livePoller->setInterval(m_state.settings.lRefreshIntervalMs);
    mnuViewLiveValues_Click();
}

void frmMain::mnuViewLiveValues_Click()
{
    const bool on = mnuViewLiveValues->isChecked();
    m_state.settings.bLiveValues = on;
    mnuViewOnlyFailing->setEnabled(on);
    if (on)
        followConnection();
    else
        m_livePoller->setActive(false);
    grdItems->showLiveColumns(on);
    m_liveRows->setFollowing(on);
    m_livePoller->setActive(on);
}

void frmMain::mnuViewOnlyFailing_Click()
{
    m_liveRows->setOnlyFailing(mnuViewOnlyFailing->isChecked());
}

void frmMain::mnuViewRefreshInterval_Click()
{
    auto* dialog = new RefreshIntervalDialog(m_state.settings.lRefreshIntervalMs, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_state.settings.lRefreshIntervalMs = dialog->milliseconds();
        m_livePoller->setInterval(dialog->milliseconds());
    });
    dialog->open();
}

void frmMain::mnuEditWriteValue_Click()
{
    grdItems->finishEdit();
    if (!mnuEditWriteValue->isEnabled() || !m_values)
        return;
    const auto description = m_descriptions.constFind(currentVariable());
    if (description == m_descriptions.cend())
        return;
    const Outcome<QString> name = m_connection.controllerName();
    const QString controller = name.ok() ? name.value : m_connection.request().describe();
    auto* dialog = new WriteValueDialog(m_values, *description, controller, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void frmMain::followConnection()
{
    if (!m_livePoller)
        return;
    const std::shared_ptr<IController>& controller = connectedController();
    if (controller && controller == m_valuesController.lock())
        return;
    m_valuesController = controller;
    m_values = m_state.objValues.of(controller);
    m_descriptions.clear();
    m_describing.clear();
    m_livePoller->setSource(m_values);
    updateWriteValueItem();
}

void frmMain::releaseLiveValues()
{
    m_livePoller->setActive(false);
    m_livePoller->setSource(nullptr);
    m_values.reset();
    m_valuesController.reset();
    m_descriptions.clear();
    m_describing.clear();
}

QString frmMain::currentVariable() const
{
    const QModelIndex current = grdItems->currentIndex();
    return current.isValid() ? grdItems->liveColumns().variableAt(current.row()) : QString();
}

void frmMain::updateWriteValueItem()
{
    const QString variable = currentVariable();
    bool writable = false;
    if (m_values && !variable.isEmpty()) {
        const auto known = m_descriptions.constFind(variable);
        if (known != m_descriptions.cend()) {
            writable = known->known && known->writable;
        } else if (!m_describing.contains(variable)) {
            // Asked once per variable; the item follows when the engine answers.
            m_describing.insert(variable);
            const QPointer<frmMain> self(this);
            const std::weak_ptr<IControllerValues> asked = m_values;
            try {
                m_values->describe({variable}, [self, asked, variable](QList<VariableDescription> answer) {
                    if (!self || self->m_values != asked.lock())
                        return;
                    VariableDescription description = answer.value(0);
                    if (description.name != variable) {
                        description = VariableDescription();
                        description.name = variable;
                        description.known = false;
                    }
                    self->m_describing.remove(variable);
                    self->m_descriptions.insert(variable, description);
                    self->updateWriteValueItem();
                });
            } catch (...) {
                m_describing.remove(variable);
            }
        }
    }
    mnuEditWriteValue->setEnabled(writable);
}
