#include "tags/GridControl.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace {

constexpr qint32 kDesignColumns = 11;
constexpr double kTwipsPerPixel = 15.0;

int toPixels(double twips)
{
    return qRound(twips / kTwipsPerPixel);
}

int toTwips(int pixels)
{
    return pixels * static_cast<int>(kTwipsPerPixel);
}

} // namespace

GridControl::GridControl(QWidget* parent) : GridControl(kDesignColumns, parent) {}

GridControl::GridControl(qint32 columns, QWidget* parent)
    : QTableView(parent), m_model(new TagGridModel(columns, this))
{
    setModel(m_model);
    verticalHeader()->hide();
    setCornerButtonEnabled(false);
    // Header clicks would select whole columns; the grid works cell by cell.
    horizontalHeader()->setSectionsClickable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    // Tab moves on to the next control of the window, not to the next cell.
    setTabKeyNavigation(false);
    setFont(QFont(QStringLiteral(u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"), 9));
    takeButtonFaceBrush();

    connect(m_model, &TagGridModel::cellEdited, this, &GridControl::AfterEdit);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &GridControl::afterReshape);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &GridControl::afterReshape);
    connect(m_model, &QAbstractItemModel::columnsInserted, this, &GridControl::afterReshape);
    connect(m_model, &QAbstractItemModel::columnsRemoved, this, &GridControl::afterReshape);
}

void GridControl::applyColumn(qint32 col)
{
    const GridColumn& column = m_model->Column(col);
    setColumnWidth(col,
                   column.width >= 0 ? toPixels(column.width) : horizontalHeader()->defaultSectionSize());
    // Colour and editable flag are read by the view as it paints and edits.
    viewport()->update();
}

void GridControl::finishEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void GridControl::showCell(qint32 row, qint32 col)
{
    const QModelIndex cell = m_model->index(row - 1, col);
    if (!cell.isValid())
        return;
    scrollTo(cell);
    selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
}

int GridControl::Top() const
{
    return toTwips(y());
}

void GridControl::setTop(int twips)
{
    move(x(), toPixels(twips));
}

int GridControl::Width() const
{
    return toTwips(width());
}

void GridControl::setWidth(int twips)
{
    resize(toPixels(twips), height());
}

int GridControl::Height() const
{
    return toTwips(height());
}

void GridControl::setHeight(int twips)
{
    resize(width(), toPixels(twips));
}

void GridControl::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The program's own row changes move the current cell too; its handlers expect the
    // cell they remember to stay put, so such moves are not entries.
    if (m_model->isReshaping()) {
        m_currentMovedByTable = true;
        return;
    }
    if (current.isValid())
        reportCurrent(current);
}

void GridControl::mousePressEvent(QMouseEvent* event)
{
    // A click on a current cell that the table moved does not change the current index,
    // yet it is where the user now works.
    if (m_currentStale) {
        const QModelIndex at = indexAt(event->position().toPoint());
        if (at.isValid() && at == currentIndex())
            reportCurrent(at);
    }
    QTableView::mousePressEvent(event);
}

void GridControl::keyPressEvent(QKeyEvent* event)
{
    // Reported before the key runs, so an edit it starts works on the right cell.
    if (m_currentStale && currentIndex().isValid())
        reportCurrent(currentIndex());
    QTableView::keyPressEvent(event);
}

void GridControl::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        takeButtonFaceBrush();
}

bool GridControl::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex cell = indexAt(help->pos());
    const QRect rect = visualRect(cell);
    if (cell.isValid()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = rect;
        if (itemDelegateForIndex(cell)->sizeHint(option, cell).width() > rect.width()) {
            QToolTip::showText(help->globalPos(), cell.data(Qt::DisplayRole).toString(), viewport(), rect);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void GridControl::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    QWidget* top = window();
    if (top == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top;
    top->installEventFilter(this);
}

bool GridControl::eventFilter(QObject* watched, QEvent* event)
{
    // A close request does not move the focus, so an open editor would only be committed
    // while the window goes away, after the window has asked whether to save. Committing
    // it first lets that question see the edit.
    if (watched == m_watchedWindow && event->type() == QEvent::Close)
        finishEdit();
    return QTableView::eventFilter(watched, event);
}

void GridControl::afterReshape()
{
    const QModelIndex current = currentIndex();
    const bool moved = current.row() != m_enteredRow || current.column() != m_enteredCol;
    m_currentStale = current.isValid() && (m_currentStale || m_currentMovedByTable || moved);
    m_currentMovedByTable = false;
}

void GridControl::reportCurrent(const QModelIndex& current)
{
    m_enteredRow = current.row();
    m_enteredCol = current.column();
    m_currentStale = false;
    emit EnterCell(m_enteredRow + 1, m_enteredCol);
}

void GridControl::takeButtonFaceBrush()
{
    m_model->setButtonFaceBrush(QVariant::fromValue(palette().button()));
}
