#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <vector>

class GridControl;
class ValuePoller;

// Ties the grid's live columns to a poller: the variables of the rows in view and of the
// selected rows are the ones read, each value that changes redraws the rows that show its
// variable, and "only failing tags" hides the rows whose variable reads good.
class LiveTagRows final : public QObject
{
    Q_OBJECT

public:
    LiveTagRows(GridControl& grid, ValuePoller& poller, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(LiveTagRows)

    // Following the grid (the live columns shown) or not: while off nothing is wanted and
    // no row is hidden.
    void setFollowing(bool following);
    bool isFollowing() const { return m_following; }
    void setOnlyFailing(bool only);
    bool onlyFailing() const { return m_onlyFailing; }

    // The data rows (model numbering) in view, top to bottom, hidden ones left out.
    std::vector<int> rowsInView() const;
    // Brings the wanted names up to date now (they follow the grid at the next turn of the
    // event loop anyway).
    void updateWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleUpdate();
    void valuesChanged(const QStringList& names);
    // Hides or shows each of `rows` (model numbering) by its variable's status.
    void filterRows(const std::vector<int>& rows);
    void filterAllRows();
    bool hides(int row) const;
    void showAllRows();

    GridControl& m_grid;
    ValuePoller& m_poller;
    // The grid's viewport, watched for resizing. Kept apart, as its last events come while the
    // grid itself is being destroyed, when the grid must no longer be asked for anything.
    const QObject* m_viewport;
    bool m_following = false;
    bool m_onlyFailing = false;
    bool m_updateScheduled = false;
    // The wanted rows of each wanted variable.
    QHash<QString, std::vector<int>> m_rowsOf;
};
