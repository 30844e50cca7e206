#include "tags/AddVariablesDialog.h"

#include "tags/NameFilterModel.h"
#include "tags/TaggedMarkDelegate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>
#include <algorithm>

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

AddVariablesDialog::AddVariablesDialog(const QStringList& variables, const TagTableIndex& table,
                                       const QIcon& taggedMark, QWidget* parent)
    : QDialog(parent), m_names(new QStringListModel(variables, this)), m_filter(new NameFilterModel(this))
{
    setObjectName(QStringLiteral("dlgAddVariables"));
    setWindowTitle(QStringLiteral("Add Variables"));
    m_filter->setSourceModel(m_names);

    txtFilter = named(new QLineEdit(this), "txtFilter");
    txtFilter->setPlaceholderText(QStringLiteral("Part of a name, in any letter case"));
    txtFilter->setClearButtonEnabled(true);

    lstVariables = named(new QListView(this), "lstVariables");
    lstVariables->setModel(m_filter);
    lstVariables->setItemDelegate(new TaggedMarkDelegate(table, taggedMark, lstVariables));
    lstVariables->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstVariables->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tens of thousands of names: every row has the height of the first.
    lstVariables->setUniformItemSizes(true);

    lblSelected = named(new QLabel(this), "lblSelected");
    txtOption = named(new QLineEdit(this), "txtOption");
    buttons = named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "buttons");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Filter:"), txtFilter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lstVariables, 1);
    layout->addWidget(lblSelected);
    auto* optionForm = new QFormLayout;
    optionForm->addRow(QStringLiteral("&Option:"), txtOption);
    layout->addLayout(optionForm);
    layout->addWidget(buttons);
    resize(440, 520);

    connect(txtFilter, &QLineEdit::textChanged, m_filter, &NameFilterModel::setContainedText);
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, &AddVariablesDialog::showCounts);
    connect(m_filter, &QAbstractItemModel::rowsRemoved, this, &AddVariablesDialog::showCounts);
    connect(m_filter, &QAbstractItemModel::layoutChanged, this, &AddVariablesDialog::showCounts);
    connect(m_filter, &QAbstractItemModel::modelReset, this, &AddVariablesDialog::showCounts);
    connect(lstVariables->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AddVariablesDialog::showCounts);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    txtFilter->setFocus();
    showCounts();
}

QStringList AddVariablesDialog::chosenVariables() const
{
    QList<int> rows;
    for (const QModelIndex& index : lstVariables->selectionModel()->selectedRows())
        rows.append(m_filter->mapToSource(index).row());
    std::sort(rows.begin(), rows.end());
    const QStringList& names = m_names->stringList();
    QStringList chosen;
    chosen.reserve(rows.size());
    for (int row : rows)
        chosen.append(names.at(row));
    return chosen;
}

QString AddVariablesDialog::optionText() const
{
    return txtOption->text();
}

void AddVariablesDialog::showCounts()
{
    const qsizetype selected = lstVariables->selectionModel()->selectedRows().size();
    lblSelected->setText(QStringLiteral("%1 of %2 variables shown, %3 selected")
                             .arg(m_filter->rowCount())
                             .arg(m_names->rowCount())
                             .arg(selected));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(selected > 0);
}
