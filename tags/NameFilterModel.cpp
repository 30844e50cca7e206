#include "tags/NameFilterModel.h"

NameFilterModel::NameFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {}

void NameFilterModel::setContainedText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    invalidateRowsFilter();
}

bool NameFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_text.isEmpty())
        return true;
    const QModelIndex name = sourceModel()->index(sourceRow, filterKeyColumn(), sourceParent);
    return name.data(filterRole()).toString().contains(m_text, Qt::CaseInsensitive);
}
