#include "tags/AddVariablesDialog.h"

#include "engine/ValuePoller.h"
#include "platform/ObjectNames.h"
#include "tags/NameFilterModel.h"
#include "tags/TaggedMarkDelegate.h"
#include "tags/VariableListModel.h"
#include "tags/VariableTreeModel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QTreeView* newNameView(QWidget* parent, const char* name, bool withValues)
{
    auto* view = named(new QTreeView(parent), name);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAllColumnsShowFocus(true);
    // Tens of thousands of names: every row has the height of the first.
    view->setUniformRowHeights(true);
    view->setHeaderHidden(!withValues);
    return view;
}

} // namespace

AddVariablesDialog::AddVariablesDialog(const QStringList& variables, const TagTableIndex& table,
                                       const QIcon& taggedMark, QWidget* parent,
                                       std::shared_ptr<IControllerValues> values)
    : QDialog(parent), m_table(table), m_mark(taggedMark),
      m_names(new VariableListModel(variables, values != nullptr, this)), m_filter(new NameFilterModel(this))
{
    setObjectName(QStringLiteral("dlgAddVariables"));
    setWindowTitle(QStringLiteral("Add Variables"));
    // The names never change under the filter: only a new filter text filters again.
    m_filter->setDynamicSortFilter(false);
    m_filter->setSourceModel(m_names);

    txtFilter = named(new QLineEdit(this), "txtFilter");
    txtFilter->setPlaceholderText(QStringLiteral("Part of a name, in any letter case"));
    txtFilter->setClearButtonEnabled(true);

    tabVariables = named(new QTabWidget(this), "tabVariables");
    lstVariables = newNameView(tabVariables, "lstVariables", m_names->withValues());
    lstVariables->setRootIsDecorated(false);
    lstVariables->setItemsExpandable(false);
    lstVariables->setModel(m_filter);
    lstVariables->setItemDelegateForColumn(0, new TaggedMarkDelegate(table, taggedMark, lstVariables));
    trvVariables = newNameView(tabVariables, "trvVariables", m_names->withValues());
    tabVariables->addTab(lstVariables, QStringLiteral("&List"));
    tabVariables->addTab(trvVariables, QStringLiteral("&Tree"));

    lblSelected = named(new QLabel(this), "lblSelected");
    txtOption = named(new QLineEdit(this), "txtOption");
    chkNameAfterVariables = named(new QCheckBox(QStringLiteral("&Name tags after their variables"), this),
                                  "chkNameAfterVariables");
    buttons = named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "buttons");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Filter:"), txtFilter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tabVariables, 1);
    layout->addWidget(lblSelected);
    auto* optionForm = new QFormLayout;
    optionForm->addRow(QStringLiteral("&Option:"), txtOption);
    layout->addLayout(optionForm);
    layout->addWidget(chkNameAfterVariables);
    layout->addWidget(buttons);
    resize(m_names->withValues() ? 720 : 440, 520);

    connect(txtFilter, &QLineEdit::textChanged, this, &AddVariablesDialog::setFilterText);
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, &AddVariablesDialog::showCounts);
    connect(m_filter, &QAbstractItemModel::rowsRemoved, this, &AddVariablesDialog::showCounts);
    connect(m_filter, &QAbstractItemModel::layoutChanged, this, &AddVariablesDialog::showCounts);
    connect(m_filter, &QAbstractItemModel::modelReset, this, &AddVariablesDialog::showCounts);
    connect(lstVariables->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AddVariablesDialog::showCounts);
    connect(tabVariables, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1)
            showTree();
        showCounts();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (values)
        startValues(std::move(values));
    txtFilter->setFocus();
    showCounts();
}

AddVariablesDialog::~AddVariablesDialog() = default;

QStringList AddVariablesDialog::chosenVariables() const
{
    const QStringList& names = m_names->names();
    QStringList chosen;
    const QList<int> rows = chosenRows();
    chosen.reserve(rows.size());
    for (int row : rows)
        chosen.append(names.at(row));
    return chosen;
}

QString AddVariablesDialog::optionText() const
{
    return txtOption->text();
}

TagNaming AddVariablesDialog::naming() const
{
    return chkNameAfterVariables->isChecked() ? TagNaming::AfterVariable : TagNaming::Numbered;
}

bool AddVariablesDialog::treeShown() const
{
    return tabVariables->currentIndex() == 1;
}

QList<int> AddVariablesDialog::chosenRows() const
{
    if (treeShown())
        return chosenTreeRows();
    QList<int> rows;
    for (const QModelIndex& index : lstVariables->selectionModel()->selectedRows())
        rows.append(m_filter->mapToSource(index).row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<int> AddVariablesDialog::chosenTreeRows() const
{
    QList<int> rows;
    if (!m_tree)
        return rows;
    std::vector<bool> chosen(static_cast<size_t>(m_names->rowCount()), false);
    QModelIndexList pending = trvVariables->selectionModel()->selectedRows();
    while (!pending.isEmpty()) {
        const QModelIndex index = pending.takeLast();
        const int row = m_tree->listRow(m_treeFilter->mapToSource(index));
        if (row >= 0) {
            chosen[static_cast<size_t>(row)] = true;
            continue;
        }
        // A branch stands for what the filter shows under it.
        for (int child = 0; child < m_treeFilter->rowCount(index); ++child)
            pending.append(m_treeFilter->index(child, 0, index));
    }
    for (size_t row = 0; row < chosen.size(); ++row) {
        if (chosen[row])
            rows.append(static_cast<int>(row));
    }
    return rows;
}

void AddVariablesDialog::createTree()
{
    m_tree = new VariableTreeModel(*m_names, this);
    m_treeFilter = new NameFilterModel(this);
    m_treeFilter->setDynamicSortFilter(false);
    m_treeFilter->setRecursiveFilteringEnabled(true);
    m_treeFilter->setFilterRole(VariableListModel::VariableNameRole);
    m_treeFilter->setSourceModel(m_tree);
    m_treeFilter->setContainedText(txtFilter->text());
    trvVariables->setModel(m_treeFilter);
    trvVariables->setItemDelegateForColumn(
        0, new TaggedMarkDelegate(m_table, m_mark, trvVariables, VariableListModel::VariableNameRole));
    connect(trvVariables->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AddVariablesDialog::showCounts);
    if (m_poller) {
        connect(trvVariables->verticalScrollBar(), &QScrollBar::valueChanged, this,
                &AddVariablesDialog::followView);
        connect(trvVariables, &QTreeView::expanded, this, &AddVariablesDialog::followView);
    }
}

void AddVariablesDialog::showTree()
{
    if (!m_tree)
        createTree();
    // A filter narrows the tree to few names: they are shown at once.
    if (!txtFilter->text().isEmpty())
        trvVariables->expandAll();
    followView();
}

void AddVariablesDialog::setFilterText(const QString& text)
{
    m_filter->setContainedText(text);
    if (m_treeFilter) {
        m_treeFilter->setContainedText(text);
        if (!text.isEmpty() && treeShown())
            trvVariables->expandAll();
    }
    showCounts();
    followView();
}

void AddVariablesDialog::showCounts()
{
    const qsizetype selected = chosenRows().size();
    lblSelected->setText(QStringLiteral("%1 of %2 variables shown, %3 selected")
                             .arg(m_filter->rowCount())
                             .arg(m_names->rowCount())
                             .arg(selected));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(selected > 0);
}

void AddVariablesDialog::startValues(std::shared_ptr<IControllerValues> values)
{
    lstVariables->header()->resizeSection(VariableListModel::Name, 220);
    m_poller = new ValuePoller(this);
    connect(m_poller, &ValuePoller::valuesRead, m_names, &VariableListModel::setValues);
    // The rows in view are looked at again before every refresh, whatever moved them.
    connect(m_poller, &ValuePoller::refreshDue, this, [this] { m_poller->setWanted(namesInView()); });
    connect(lstVariables->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &AddVariablesDialog::followView);
    const QPointer<AddVariablesDialog> self(this);
    try {
        values->describe(m_names->names(), [self](QList<VariableDescription> descriptions) {
            if (self)
                self->m_names->setDescriptions(descriptions);
        });
    } catch (...) {
        // Without descriptions the columns stay empty.
    }
    m_poller->setSource(std::move(values));
    m_poller->setActive(true);
    followView();
}

void AddVariablesDialog::followView()
{
    if (!m_poller || m_viewFollowScheduled)
        return;
    // Once the views have laid out what changed.
    m_viewFollowScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_viewFollowScheduled = false;
            m_poller->setWanted(namesInView());
        },
        Qt::QueuedConnection);
}

QStringList AddVariablesDialog::namesInView() const
{
    QTreeView* view = treeShown() ? trvVariables : lstVariables;
    QStringList names;
    if (!view->model())
        return names;
    const int height = view->viewport()->height();
    for (QModelIndex index = view->indexAt(QPoint(1, 1));
         index.isValid() && view->visualRect(index).top() < height; index = view->indexBelow(index)) {
        const QVariant name = index.data(VariableListModel::VariableNameRole);
        if (name.isValid())
            names.append(name.toString());
    }
    return names;
}
