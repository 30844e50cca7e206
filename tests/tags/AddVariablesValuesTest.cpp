#include "tags/AddVariablesDialog.h"
#include "tags/VariableListModel.h"
#include "tests/tags/LiveValuesFixture.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

namespace {

class AddVariablesValues : public LiveValuesFixture
{
protected:
    AddVariablesDialog* openDialog()
    {
        engine->variableNames = Variant::textArray({"Ram.Position", "Oil.Temp", "Ram.Speed", "Count"});
        values->set(QStringLiteral("Ram.Position"), 12.5, QStringLiteral("float32"), true);
        (*values)[QStringLiteral("Ram.Position")].address = QStringLiteral("holding 40001");
        values->set(QStringLiteral("Oil.Temp"), 41.0, QStringLiteral("float32"));
        values->set(QStringLiteral("Ram.Speed"), qint64(3), QStringLiteral("int16"));
        openWindow(false);
        connect();
        window->mnuEditAddVariables->trigger();
        return window->findChild<AddVariablesDialog*>();
    }

    static QString cell(const QAbstractItemModel& model, int row, int column,
                        const QModelIndex& parent = QModelIndex())
    {
        return model.index(row, column, parent).data().toString();
    }
};

// The list shows each variable's value and what the engine tells of it; the tree splits the
// names at their dots, and a chosen branch chooses the variables under it that the filter shows.
TEST_F(AddVariablesValues, ListAndTreeShowValuesAndDescriptions)
{
    AddVariablesDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    const QAbstractItemModel& list = *dialog->lstVariables->model();
    ASSERT_EQ(list.columnCount(), 5);
    QStringList titles;
    for (int column = 0; column < 5; ++column)
        titles.append(list.headerData(column, Qt::Horizontal).toString());
    EXPECT_EQ(titles, (QStringList{"Name", "Value", "Type", "Access", "Address"}));
    WAIT_EQ(cell(list, 0, VariableListModel::Value), QStringLiteral("12.5"));
    EXPECT_EQ(cell(list, 0, VariableListModel::Type), QStringLiteral("float32"));
    EXPECT_EQ(cell(list, 0, VariableListModel::Access), QStringLiteral("read/write"));
    EXPECT_EQ(cell(list, 0, VariableListModel::Address), QStringLiteral("holding 40001"));
    EXPECT_EQ(cell(list, 1, VariableListModel::Access), QStringLiteral("read"));
    EXPECT_EQ(cell(list, 3, VariableListModel::Value), QStringLiteral("not found"));
    EXPECT_EQ(cell(list, 3, VariableListModel::Access), QStringLiteral("not found"));

    dialog->tabVariables->setCurrentIndex(1);
    ASSERT_TRUE(dialog->treeShown());
    const QAbstractItemModel& tree = *dialog->trvVariables->model();
    ASSERT_EQ(tree.rowCount(), 3);
    EXPECT_EQ((QStringList{cell(tree, 0, 0), cell(tree, 1, 0), cell(tree, 2, 0)}),
              (QStringList{"Ram", "Oil", "Count"}));
    const QModelIndex ram = tree.index(0, 0);
    ASSERT_EQ(tree.rowCount(ram), 2);
    EXPECT_EQ(cell(tree, 0, 0, ram), QStringLiteral("Position"));
    EXPECT_EQ(cell(tree, 0, VariableListModel::Value, ram), QStringLiteral("12.5"));
    dialog->trvVariables->selectionModel()->select(ram, QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
    EXPECT_EQ(dialog->chosenVariables(), (QStringList{"Ram.Position", "Ram.Speed"}));
    EXPECT_EQ(dialog->lblSelected->text(), QStringLiteral("4 of 4 variables shown, 2 selected"));

    QTest::keyClicks(dialog->txtFilter, QStringLiteral("SPE"));
    ASSERT_EQ(tree.rowCount(), 1);
    EXPECT_EQ(tree.rowCount(tree.index(0, 0)), 1);
    EXPECT_EQ(dialog->chosenVariables(), QStringList{QStringLiteral("Ram.Speed")});
    QTest::mouseClick(dialog->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(column(2), QStringList{QStringLiteral("Ram.Speed")});
}

} // namespace
