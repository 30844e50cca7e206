#include "tags/TaggedMarkDelegate.h"

#include "tags/TagPicking.h"
#include "tags/TagTableIndex.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

TaggedMarkDelegate::TaggedMarkDelegate(const TagTableIndex& table, const QIcon& mark, QObject* parent,
                                       int nameRole)
    : QStyledItemDelegate(parent), m_table(table), m_mark(mark), m_nameRole(nameRole)
{
}

QStringList TaggedMarkDelegate::tagsAt(const QModelIndex& index) const
{
    const QVariant name = index.data(m_nameRole);
    if (m_nameRole != Qt::DisplayRole && !name.isValid())
        return {};
    return m_table.tagsOf(name.toString());
}

bool TaggedMarkDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                   const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event && view && event->type() == QEvent::ToolTip) {
        const QStringList tags = tagsAt(index);
        if (!tags.isEmpty()) {
            QToolTip::showText(event->globalPos(), alreadyTaggedToolTip(tags), view, view->visualRect(index));
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

void TaggedMarkDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const int side = option->fontMetrics.height();
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = QSize(side, side);
    option->icon = tagsAt(index).isEmpty() ? QIcon() : m_mark;
    option->showDecorationSelected = true;
    // A pop-up list never has the focus, yet its current item is where the keys work.
    const auto* view = qobject_cast<const QAbstractItemView*>(option->widget);
    if (view && view->currentIndex() == index)
        option->state |= QStyle::State_HasFocus;
}
