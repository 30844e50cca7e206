#include "tags/TagTableIndex.h"

#include "tags/TagColumns.h"
#include "tags/TagGridModel.h"

TagTableIndex::TagTableIndex(const TagGridModel& table, QObject* parent) : QObject(parent), m_table(table)
{
    connect(&table, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        if (m_built && last == m_table.rowCount() - 1)
            index(first, last);
        else
            invalidate();
    });
    connect(&table, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                // Renumbering writes column 0 only; names and variables are what is indexed.
                if (topLeft.column() <= kVarNameColumn && bottomRight.column() >= kTagNameColumn)
                    invalidate();
            });
    connect(&table, &QAbstractItemModel::rowsRemoved, this, &TagTableIndex::invalidate);
    connect(&table, &QAbstractItemModel::columnsInserted, this, &TagTableIndex::invalidate);
    connect(&table, &QAbstractItemModel::columnsRemoved, this, &TagTableIndex::invalidate);
    connect(&table, &QAbstractItemModel::modelReset, this, &TagTableIndex::invalidate);
    connect(&table, &QAbstractItemModel::layoutChanged, this, &TagTableIndex::invalidate);
}

QStringList TagTableIndex::tagsOf(const QString& variable) const
{
    ensureBuilt();
    return m_tagsByVariable.value(variable);
}

bool TagTableIndex::holdsName(const QString& name) const
{
    ensureBuilt();
    return m_foldedNames.contains(name.toCaseFolded());
}

void TagTableIndex::index(int firstModelRow, int lastModelRow) const
{
    if (m_table.Cols() <= kVarNameColumn)
        return;
    for (int row = firstModelRow; row <= lastModelRow; ++row) {
        const QString name = m_table.TextMatrix(row + 1, kTagNameColumn);
        m_foldedNames.insert(name.toCaseFolded());
        m_tagsByVariable[m_table.TextMatrix(row + 1, kVarNameColumn)].append(name);
    }
}

void TagTableIndex::ensureBuilt() const
{
    if (m_built)
        return;
    m_tagsByVariable.clear();
    m_foldedNames.clear();
    index(0, m_table.rowCount() - 1);
    m_built = true;
}
