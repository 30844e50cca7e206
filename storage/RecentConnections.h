#pragma once

#include "engine/clsCtrlParameter.h"

#include <QList>
#include <memory>

using CtrlParameterPtr = std::shared_ptr<clsCtrlParameter>;

// An ordered list of remembered connections, keyed by controller name without regard
// to letter case. Positions count from 1; position 1 is the most recent connection.
class RecentConnections final
{
public:
    qsizetype Count() const { return m_items.size(); }
    bool isEmpty() const { return m_items.isEmpty(); }
    // The record at a position from 1 to Count(); nullptr outside that range.
    CtrlParameterPtr Item(qsizetype position) const;
    // The position of the record with that key, or 0 when there is none.
    qsizetype positionOf(const QString& controllerName) const;
    // Appends under the record's controller name; false (and nothing added) when the key is taken.
    bool Add(const CtrlParameterPtr& record);
    // Inserts at position 1; false when the key is taken.
    bool InsertFirst(const CtrlParameterPtr& record);
    // Removes the record at a position; false when there is none.
    bool RemoveAt(qsizetype position);
    void Clear() { m_items.clear(); }

private:
    QList<CtrlParameterPtr> m_items;
};

// Puts a new connection at the front: a record with the same controller name (letter case
// ignored) is replaced, and the list never holds more than five records.
void AddRecentConnection(RecentConnections& recent, const CtrlParameterPtr& param);
