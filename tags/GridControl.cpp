#include "tags/GridControl.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>

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

// The rows (or columns) below `count` that the ranges span, ascending, each once, counted
// from `base`.
std::vector<qint32> spannedBy(const QItemSelection& selection, int count,
                              int (QItemSelectionRange::*first)() const,
                              int (QItemSelectionRange::*last)() const, qint32 base)
{
    std::vector<bool> marked(static_cast<size_t>(count), false);
    for (const QItemSelectionRange& range : selection) {
        for (int i = (range.*first)(); i <= std::min((range.*last)(), count - 1); ++i)
            marked[static_cast<size_t>(i)] = true;
    }
    std::vector<qint32> spanned;
    for (size_t i = 0; i < marked.size(); ++i) {
        if (marked[i])
            spanned.push_back(static_cast<qint32>(i) + base);
    }
    return spanned;
}

} // namespace

GridControl::GridControl(QWidget* parent) : GridControl(kDesignColumns, parent) {}

GridControl::GridControl(qint32 columns, QWidget* parent) : GridControl(*new TagGridModel(columns), parent)
{
    m_model->setParent(this);
}

GridControl::GridControl(TagGridModel& table, QWidget* parent)
    : QTableView(parent), m_model(&table), m_view(new LiveColumnsModel(table, this))
{
    setModel(m_view);
    verticalHeader()->hide();
    setCornerButtonEnabled(false);
    // Header clicks would select whole columns; the grid works cell by cell.
    horizontalHeader()->setSectionsClickable(false);
    // Cells and rows are selected as in a spreadsheet: Shift and Ctrl extend the selection.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
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

void GridControl::showLiveColumns(bool shown)
{
    if (shown == m_view->isShown())
        return;
    // Widths of the live columns in twips: Value, Type, Status.
    static constexpr double widths[LiveColumnsModel::LiveColumnCount] = {1500, 900, 1800};
    m_showingLiveColumns = true;
    m_view->setShown(shown);
    m_showingLiveColumns = false;
    if (!shown)
        return;
    for (int live = 0; live < LiveColumnsModel::LiveColumnCount; ++live)
        setColumnWidth(m_view->columnOf(LiveColumnsModel::LiveColumn(live)), toPixels(widths[live]));
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
    const QModelIndex cell = m_view->index(row - 1, col);
    if (!cell.isValid())
        return;
    scrollTo(cell);
    selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
}

std::vector<qint32> GridControl::selectedRows() const
{
    return spannedBy(selectionModel()->selection(), m_model->rowCount(), &QItemSelectionRange::top,
                     &QItemSelectionRange::bottom, 1);
}

std::vector<qint32> GridControl::selectedColumns() const
{
    return spannedBy(selectionModel()->selection(), m_model->Cols(), &QItemSelectionRange::left,
                     &QItemSelectionRange::right, 0);
}

std::optional<CellBlock> GridControl::selectedBlock() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) {
        const QModelIndex current = currentIndex();
        if (!current.isValid() || current.column() >= m_model->Cols())
            return std::nullopt;
        return CellBlock{current.row() + 1, current.column(), 1, 1};
    }
    int top = m_model->rowCount();
    int bottom = -1;
    int left = m_model->Cols();
    int right = -1;
    // Cells of the live columns are no cells of the table.
    for (const QItemSelectionRange& range : selection) {
        if (range.left() >= m_model->Cols())
            continue;
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
        left = std::min(left, range.left());
        right = std::max(right, std::min(range.right(), m_model->Cols() - 1));
    }
    if (bottom < 0)
        return std::nullopt;
    return CellBlock{top + 1, left, bottom - top + 1, right - left + 1};
}

void GridControl::selectBlock(const CellBlock& block)
{
    const int top = std::max(block.row, 1) - 1;
    const int bottom = std::min(block.row + block.rows - 1, m_model->Rows() - 1) - 1;
    const int left = std::max(block.col, 0);
    const int right = std::min(block.col + block.cols, m_model->Cols()) - 1;
    if (top > bottom || left > right)
        return;
    const QModelIndex first = m_view->index(top, left);
    scrollTo(first);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(first, m_view->index(bottom, right)),
                             QItemSelectionModel::ClearAndSelect);
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

QItemSelectionModel::SelectionFlags GridControl::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const
{
    QItemSelectionModel::SelectionFlags flags = QTableView::selectionCommand(index, event);
    const bool mouse =
        event && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
                  event->type() == QEvent::MouseButtonRelease);
    // A press on a selected row keeps the selection (NoUpdate) until the release shows it was
    // no drag; the release then picks that row alone.
    if (mouse && m_pickingRows && flags != QItemSelectionModel::NoUpdate)
        flags |= QItemSelectionModel::Rows;
    return flags;
}

void GridControl::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The program's own row changes move the current cell too; its handlers expect the
    // cell they remember to stay put, so such moves are not entries.
    if (m_model->isReshaping() || m_showingLiveColumns) {
        m_currentMovedByTable = true;
        return;
    }
    if (current.isValid())
        reportCurrent(current);
}

void GridControl::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() >= start && current.row() <= end) {
        const int row = end + 1 < m_model->rowCount() ? end + 1 : start - 1;
        if (row >= 0)
            selectionModel()->setCurrentIndex(m_view->index(row, current.column()),
                                              QItemSelectionModel::ClearAndSelect);
    }
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void GridControl::mousePressEvent(QMouseEvent* event)
{
    m_pickingRows = indexAt(event->position().toPoint()).column() == 0;
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
