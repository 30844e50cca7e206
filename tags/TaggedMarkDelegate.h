#pragma once

#include <QIcon>
#include <QStyledItemDelegate>

class TagTableIndex;

// Draws a list of variable names with a mark before each variable that already has a row in
// the tag table, and tells its tags in the item's tool tip. The other names keep the mark's
// room free, so the names stay aligned.
class TaggedMarkDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // `nameRole` gives the variable's name of an item: its display text unless the view shows
    // something else (a tree shows the last part of a name); an item without a name under
    // another role is no variable.
    TaggedMarkDelegate(const TagTableIndex& table, const QIcon& mark, QObject* parent,
                       int nameRole = Qt::DisplayRole);

    // The tags of the variable that `index` names; empty when it has none.
    QStringList tagsAt(const QModelIndex& index) const;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    const TagTableIndex& m_table;
    QIcon m_mark;
    int m_nameRole;
};
