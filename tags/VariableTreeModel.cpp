#include "tags/VariableTreeModel.h"

#include "tags/VariableListModel.h"

#include <QHash>

VariableTreeModel::VariableTreeModel(VariableListModel& list, QObject* parent)
    : QAbstractItemModel(parent), m_list(list)
{
    build();
    connect(&list, &QAbstractItemModel::dataChanged, this, &VariableTreeModel::followList);
}

int VariableTreeModel::listRow(const QModelIndex& index) const
{
    return index.isValid() ? m_nodes[static_cast<size_t>(nodeOf(index))].listRow : -1;
}

QModelIndex VariableTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column < 0 || column >= columnCount() || (parent.isValid() && parent.column() != 0))
        return QModelIndex();
    const Node& node = m_nodes[static_cast<size_t>(nodeOf(parent))];
    if (row < 0 || row >= static_cast<int>(node.children.size()))
        return QModelIndex();
    return createIndex(row, column, static_cast<quintptr>(node.children[static_cast<size_t>(row)]));
}

QModelIndex VariableTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return QModelIndex();
    const int parent = m_nodes[static_cast<size_t>(nodeOf(child))].parent;
    if (parent == 0)
        return QModelIndex();
    return createIndex(m_nodes[static_cast<size_t>(parent)].row, 0, static_cast<quintptr>(parent));
}

int VariableTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return static_cast<int>(m_nodes[static_cast<size_t>(nodeOf(parent))].children.size());
}

int VariableTreeModel::columnCount(const QModelIndex&) const
{
    return m_list.columnCount();
}

QVariant VariableTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const Node& node = m_nodes[static_cast<size_t>(nodeOf(index))];
    if (index.column() == 0 && role == Qt::DisplayRole)
        return node.label;
    if (node.listRow < 0)
        return QVariant();
    return m_list.index(node.listRow, index.column()).data(role);
}

QVariant VariableTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return m_list.headerData(section, orientation, role);
}

Qt::ItemFlags VariableTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (listRow(index) >= 0)
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

void VariableTreeModel::build()
{
    const QStringList& names = m_list.names();
    m_nodes.assign(1, Node());
    m_leafOfRow.assign(static_cast<size_t>(names.size()), 0);
    // The branch of each path ("Ram", "Ram.Axis"), found as the names come.
    QHash<QString, int> branches;
    for (int row = 0; row < names.size(); ++row) {
        const QString& name = names.at(row);
        int parent = 0;
        qsizetype start = 0;
        for (qsizetype dot = name.indexOf(QLatin1Char('.')); dot >= 0;
             dot = name.indexOf(QLatin1Char('.'), start)) {
            const QString path = name.left(dot);
            auto branch = branches.constFind(path);
            if (branch == branches.cend())
                branch = branches.insert(path, addChild(parent, name.mid(start, dot - start), -1));
            parent = *branch;
            start = dot + 1;
        }
        m_leafOfRow[static_cast<size_t>(row)] = addChild(parent, name.mid(start), row);
    }
}

int VariableTreeModel::addChild(int parent, const QString& label, int listRow)
{
    const int id = static_cast<int>(m_nodes.size());
    Node node;
    node.label = label;
    node.parent = parent;
    node.listRow = listRow;
    node.row = static_cast<int>(m_nodes[static_cast<size_t>(parent)].children.size());
    m_nodes[static_cast<size_t>(parent)].children.push_back(id);
    m_nodes.push_back(std::move(node));
    return id;
}

int VariableTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<int>(index.internalId()) : 0;
}

void VariableTreeModel::followList(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                   const QList<int>& roles)
{
    // One notification for each branch whose items changed, over the rows from the first to
    // the last changed one.
    QHash<int, std::pair<int, int>> rowsUnder;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const Node& leaf = m_nodes[static_cast<size_t>(m_leafOfRow[static_cast<size_t>(row)])];
        auto span = rowsUnder.find(leaf.parent);
        if (span == rowsUnder.end())
            rowsUnder.insert(leaf.parent, {leaf.row, leaf.row});
        else
            *span = {std::min(span->first, leaf.row), std::max(span->second, leaf.row)};
    }
    for (auto span = rowsUnder.cbegin(); span != rowsUnder.cend(); ++span) {
        const std::vector<int>& children = m_nodes[static_cast<size_t>(span.key())].children;
        const auto first = static_cast<quintptr>(children[static_cast<size_t>(span->first)]);
        const auto last = static_cast<quintptr>(children[static_cast<size_t>(span->second)]);
        emit dataChanged(createIndex(span->first, topLeft.column(), first),
                         createIndex(span->second, bottomRight.column(), last), roles);
    }
}
