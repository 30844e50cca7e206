#include "tags/LiveTagRows.h"

#include "engine/ValuePoller.h"
#include "tags/GridControl.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

LiveTagRows::LiveTagRows(GridControl& grid, ValuePoller& poller, QObject* parent)
    : QObject(parent), m_grid(grid), m_poller(poller), m_viewport(grid.viewport())
{
    const QAbstractItemModel* model = grid.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &LiveTagRows::scheduleUpdate);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &LiveTagRows::scheduleUpdate);
    connect(model, &QAbstractItemModel::modelReset, this, &LiveTagRows::scheduleUpdate);
    connect(model, &QAbstractItemModel::layoutChanged, this, &LiveTagRows::scheduleUpdate);
    // A changed variable is another name to read; the live cells' own changes are not.
    connect(&grid.table(), &QAbstractItemModel::dataChanged, this, &LiveTagRows::scheduleUpdate);
    connect(grid.verticalScrollBar(), &QScrollBar::valueChanged, this, &LiveTagRows::scheduleUpdate);
    connect(grid.verticalScrollBar(), &QScrollBar::rangeChanged, this, &LiveTagRows::scheduleUpdate);
    connect(grid.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LiveTagRows::scheduleUpdate);
    connect(&poller, &ValuePoller::valuesChanged, this, &LiveTagRows::valuesChanged);
    connect(&poller, &ValuePoller::refreshDue, this, &LiveTagRows::updateWanted);
    grid.viewport()->installEventFilter(this);
}

void LiveTagRows::setFollowing(bool following)
{
    if (following == m_following)
        return;
    m_following = following;
    if (!following) {
        showAllRows();
        m_rowsOf.clear();
        m_poller.setWanted({});
        return;
    }
    if (m_onlyFailing)
        filterAllRows();
    updateWanted();
}

void LiveTagRows::setOnlyFailing(bool only)
{
    if (only == m_onlyFailing)
        return;
    m_onlyFailing = only;
    if (!m_following)
        return;
    if (only)
        filterAllRows();
    else
        showAllRows();
    scheduleUpdate();
}

std::vector<int> LiveTagRows::rowsInView() const
{
    std::vector<int> rows;
    const int count = m_grid.model()->rowCount();
    const int first = m_grid.rowAt(0);
    if (first < 0)
        return rows;
    const int bottom = m_grid.rowAt(m_grid.viewport()->height() - 1);
    const int last = bottom < 0 ? count - 1 : bottom;
    for (int row = first; row <= last; ++row) {
        if (!m_grid.isRowHidden(row))
            rows.push_back(row);
    }
    return rows;
}

void LiveTagRows::updateWanted()
{
    m_updateScheduled = false;
    m_rowsOf.clear();
    if (!m_following)
        return;
    std::vector<int> rows = rowsInView();
    for (const qint32 row : m_grid.selectedRows())
        rows.push_back(row - 1);
    const LiveColumnsModel& live = m_grid.liveColumns();
    QStringList names;
    for (const int row : rows) {
        const QString variable = live.variableAt(row);
        if (variable.isEmpty())
            continue;
        auto it = m_rowsOf.find(variable);
        if (it == m_rowsOf.end()) {
            it = m_rowsOf.insert(variable, {});
            names.append(variable);
        }
        it->push_back(row);
    }
    m_poller.setWanted(names);
}

bool LiveTagRows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == m_viewport)
        scheduleUpdate();
    return QObject::eventFilter(watched, event);
}

void LiveTagRows::scheduleUpdate()
{
    if (!m_following || m_updateScheduled)
        return;
    m_updateScheduled = true;
    QMetaObject::invokeMethod(this, &LiveTagRows::updateWanted, Qt::QueuedConnection);
}

void LiveTagRows::valuesChanged(const QStringList& names)
{
    if (!m_following)
        return;
    std::vector<int> rows;
    bool untracked = false;
    for (const QString& name : names) {
        const auto it = m_rowsOf.constFind(name);
        if (it == m_rowsOf.cend())
            untracked = true;
        else
            rows.insert(rows.end(), it->begin(), it->end());
    }
    m_grid.liveColumns().valuesChangedAt(rows);
    if (!m_onlyFailing)
        return;
    // Values of rows out of view change too when the connection goes: hidden rows may fail now.
    if (untracked)
        filterAllRows();
    else
        filterRows(rows);
}

bool LiveTagRows::hides(int row) const
{
    const VariableValue* value = m_grid.liveColumns().valueAt(row);
    return value && value->status == VariableValue::Status::Good;
}

void LiveTagRows::filterRows(const std::vector<int>& rows)
{
    bool changed = false;
    for (const int row : rows) {
        const bool hide = hides(row);
        if (hide != m_grid.isRowHidden(row)) {
            m_grid.setRowHidden(row, hide);
            changed = true;
        }
    }
    // Rows that were hidden bring others into view.
    if (changed)
        scheduleUpdate();
}

void LiveTagRows::filterAllRows()
{
    std::vector<int> rows(static_cast<size_t>(m_grid.model()->rowCount()));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<int>(i);
    filterRows(rows);
}

void LiveTagRows::showAllRows()
{
    const int count = m_grid.model()->rowCount();
    QHeaderView* rows = m_grid.verticalHeader();
    if (rows->hiddenSectionCount() == 0)
        return;
    for (int row = 0; row < count; ++row) {
        if (m_grid.isRowHidden(row))
            m_grid.setRowHidden(row, false);
    }
}
