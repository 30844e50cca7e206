#pragma once

#include <QAbstractItemModel>
#include <QStringList>
#include <vector>

class VariableListModel;

// The variables of a VariableListModel as a tree split at the dots of their names:
// "Ram.Position" is the item "Position" under the branch "Ram". Branches come in the order of
// their first variable, items in the list's order. A leaf's columns are the list's; a branch
// shows its name only and has no variable name (VariableListModel::VariableNameRole).
class VariableTreeModel final : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit VariableTreeModel(VariableListModel& list, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(VariableTreeModel)

    // The row of the list that a leaf stands for; -1 for a branch.
    int listRow(const QModelIndex& index) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Node
    {
        QString label;
        int parent = 0;
        int row = 0; // among its parent's children
        int listRow = -1;
        std::vector<int> children;
    };

    void build();
    int addChild(int parent, const QString& label, int listRow);
    int nodeOf(const QModelIndex& index) const;
    void followList(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);

    VariableListModel& m_list;
    // Node 0 is the invisible root.
    std::vector<Node> m_nodes;
    std::vector<int> m_leafOfRow;
};
