#include "storage/RecentConnections.h"

namespace {
constexpr qsizetype kMaxRecent = 5;
} // namespace

CtrlParameterPtr RecentConnections::Item(qsizetype position) const
{
    if (position < 1 || position > m_items.size())
        return nullptr;
    return m_items.at(position - 1);
}

qsizetype RecentConnections::positionOf(const QString& controllerName) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i)->m_strControllerName.compare(controllerName, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

bool RecentConnections::Add(const CtrlParameterPtr& record)
{
    if (!record || positionOf(record->m_strControllerName) != 0)
        return false;
    m_items.append(record);
    return true;
}

bool RecentConnections::InsertFirst(const CtrlParameterPtr& record)
{
    if (!record || positionOf(record->m_strControllerName) != 0)
        return false;
    m_items.prepend(record);
    return true;
}

bool RecentConnections::RemoveAt(qsizetype position)
{
    if (position < 1 || position > m_items.size())
        return false;
    m_items.removeAt(position - 1);
    return true;
}

void AddRecentConnection(RecentConnections& recent, const CtrlParameterPtr& param)
{
    if (!param)
        return;
    recent.RemoveAt(recent.positionOf(param->m_strControllerName));
    if (recent.Count() == kMaxRecent)
        recent.RemoveAt(kMaxRecent);
    recent.InsertFirst(param);
}
