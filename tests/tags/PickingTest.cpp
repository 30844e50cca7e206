#include "platform/ComboBoxes.h"
#include "tags/AddVariablesDialog.h"
#include "tags/TaggedMarkDelegate.h"
#include "tests/tags/TagTableFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHelpEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolTip>

namespace {

QStringList controllerNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("D%1").arg(i, 5, 10, QLatin1Char('0')));
    return names;
}

// A window connected the QUOR way to a controller whose variables are given.
class Picking : public TagTableFixture
{
protected:
    frmMain& connectTo(const QStringList& names)
    {
        engine->variableNames = Variant::textArray(names);
        frmMain& w = openWindow(false);
        w.cmbCtrl->setEditText(QStringLiteral("Line1"));
        setComboText(w.cmbProvs, QStringLiteral("QuorProv.Sim.Ethernet"));
        QTest::mouseClick(w.chkConnQUOR, Qt::LeftButton);
        waitForEngine();
        EXPECT_TRUE(w.cmdAddItem->isEnabled());
        EXPECT_EQ(w.cmbVars->count(), names.size());
        w.setChanged(false);
        dialogs.clear();
        return w;
    }

    // Types into cmbVars from an empty text, as the user does.
    void type(const QString& text)
    {
        window->cmbVars->setFocus();
        window->cmbVars->lineEdit()->clear();
        QTest::keyClicks(window->cmbVars, text);
    }

    QAbstractItemView& search() const { return *window->cmbVarsSearch; }
    // The names the search pop-up lists, all fetched.
    QStringList listed() const
    {
        QAbstractItemModel* model = search().model();
        while (model->canFetchMore({}))
            model->fetchMore({});
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row)
            names.append(model->index(row, 0).data().toString());
        return names;
    }
    QStringList tagsMarkedAt(const QAbstractItemView& view, const QModelIndex& index) const
    {
        return qobject_cast<TaggedMarkDelegate*>(view.itemDelegate())->tagsAt(index);
    }

    AddVariablesDialog* openAddVariables()
    {
        // The command's shortcut is Insert. The command is triggered directly: where a key goes
        // depends on which control has the focus back after the connection's wait.
        EXPECT_EQ(window->mnuEditAddVariables->shortcut(), QKeySequence(Qt::Key_Insert));
        window->mnuEditAddVariables->trigger();
        return window->findChild<AddVariablesDialog*>();
    }
};

TEST_F(Picking, TypingListsTheNamesThatContainTheTextInAnyCaseAndChoosingOneSetsIt)
{
    QStringList names = controllerNames(40000);
    names << "Oil.Temp"
          << "Die Temp[1]"
          << "TEMPERATURE"
          << "Speed";
    frmMain& w = connectTo(names);
    type(QStringLiteral("temp"));
    ASSERT_TRUE(search().isVisible());
    EXPECT_EQ(listed(), (QStringList{"Oil.Temp", "Die Temp[1]", "TEMPERATURE"}));
    type(QStringLiteral("9999"));
    EXPECT_EQ(listed(), (QStringList{"D09999", "D19999", "D29999", "D39999"}));

    const QModelIndex third = search().model()->index(2, 0);
    QTest::mouseClick(search().viewport(), Qt::LeftButton, {}, search().visualRect(third).center());
    EXPECT_FALSE(search().isVisible());
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("D29999"));
    // The list of cmbVars itself is the controller's, as browsing filled it.
    EXPECT_EQ(comboItems(w.cmbVars), names);
}

class PickingByEnter : public Picking, public ::testing::WithParamInterface<int>
{
};

// Enter in cmbVars, in txtVarOpt, or on a name picked in the search pop-up adds it like Add,
// and so does a click on Add while the pop-up is open; the new row is shown and entered, and
// cmbVars waits for the next name, its text selected.
TEST_P(PickingByEnter, AddsLikeAddAndReturnsToThePickerWithItsTextSelected)
{
    frmMain& w = connectTo({"Oil.Temp", "Oil.Level", "Speed"});
    grid().AddItems(QStringList(60, QStringLiteral("0\tOld\tOld")));
    switch (GetParam()) {
    case 0:
        type(QStringLiteral("Oil.Level"));
        QTest::keyClick(w.cmbVars, Qt::Key_Return);
        break;
    case 1:
        w.cmbVars->setEditText(QStringLiteral("Oil.Level"));
        QTest::keyClick(w.txtVarOpt, Qt::Key_Enter);
        break;
    case 2:
        type(QStringLiteral("lev"));
        ASSERT_TRUE(search().isVisible());
        QTest::keyClick(&search(), Qt::Key_Down);
        QTest::keyClick(&search(), Qt::Key_Return);
        EXPECT_FALSE(search().isVisible());
        break;
    default: {
        // A click on Add while the list is open: the open list receives the press.
        type(QStringLiteral("Oil.Level"));
        ASSERT_TRUE(search().isVisible());
        const QPoint add = w.cmdAddItem->mapToGlobal(w.cmdAddItem->rect().center());
        QTest::mouseClick(&search(), Qt::LeftButton, {}, search().mapFromGlobal(add));
        EXPECT_FALSE(search().isVisible());
    }
    }
    ASSERT_EQ(grid().Rows(), 62);
    EXPECT_EQ(grid().TextMatrix(61, 2), QStringLiteral("Oil.Level"));
    EXPECT_EQ(grid().TextMatrix(61, 1), QStringLiteral("Tag61"));
    EXPECT_TRUE(w.changed());
    EXPECT_TRUE(dialogs.shown().isEmpty());

    const QModelIndex added = grid().model()->index(60, 1);
    EXPECT_EQ(grid().currentIndex(), added);
    EXPECT_TRUE(grid().selectionModel()->isSelected(added));
    EXPECT_TRUE(grid().viewport()->rect().contains(grid().visualRect(added)));
    EXPECT_TRUE(w.cmbVars->hasFocus());
    EXPECT_EQ(w.cmbVars->lineEdit()->selectedText(), QStringLiteral("Oil.Level"));
    EXPECT_EQ(w.stbrMain->currentMessage(), QStringLiteral("1 tag added."));
    EXPECT_EQ(w.lblTagCount->text(), QStringLiteral("61 tags"));

    // Delete now works on the row the user sees selected.
    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    EXPECT_EQ(dialogs.texts(),
              (QStringList{QStringLiteral(u"Are you sure want to delete the [Tag61]\uFF1F")}));
    EXPECT_EQ(grid().Rows(), 61);
    EXPECT_EQ(w.lblTagCount->text(), QStringLiteral("60 tags"));
    EXPECT_TRUE(w.stbrMain->currentMessage().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Keys, PickingByEnter, ::testing::Values(0, 1, 2, 3));

TEST_F(Picking, EnterAndAddVariablesWaitForAConnection)
{
    frmMain& w = openWindow(false);
    appendItems(w.cmbVars, {QStringLiteral("Speed")});
    w.cmbVars->setEditText(QStringLiteral("Speed"));
    QTest::keyClick(w.cmbVars, Qt::Key_Return);
    QTest::keyClick(w.txtVarOpt, Qt::Key_Return);
    EXPECT_FALSE(w.mnuEditAddVariables->isEnabled());
    EXPECT_EQ(openAddVariables(), nullptr);
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(w.lblTagCount->text(), QStringLiteral("0 tags"));
    // The command sits in the Edit menu, between File and Help, before the series.
    EXPECT_EQ(w.mnuEdit->actions().indexOf(w.mnuEditAddVariables),
              w.mnuEdit->actions().indexOf(w.mnuEditFillSeries) - 2);
    EXPECT_EQ(w.mnuEditAddVariables->text(), QStringLiteral("Add &Variables..."));
    EXPECT_EQ(w.menuBar()->actions().indexOf(w.mnuEdit->menuAction()), 1);
}

TEST_F(Picking, TaggedVariablesAreMarkedAndAddingOneAgainAsksFirst)
{
    frmMain& w = connectTo({"Speed", "Spare", "Temp"});
    add(QStringLiteral("Speed"));
    type(QStringLiteral("sp"));
    ASSERT_EQ(listed(), (QStringList{"Speed", "Spare"}));
    EXPECT_EQ(tagsMarkedAt(search(), search().model()->index(0, 0)), QStringList{"Tag1"});
    EXPECT_TRUE(tagsMarkedAt(search(), search().model()->index(1, 0)).isEmpty());
    EXPECT_EQ(tagsMarkedAt(*w.cmbVars->view(), w.cmbVars->model()->index(0, 0)), QStringList{"Tag1"});
    const QRect speed = search().visualRect(search().model()->index(0, 0));
    QHelpEvent tip(QEvent::ToolTip, speed.center(), search().viewport()->mapToGlobal(speed.center()));
    QCoreApplication::sendEvent(search().viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Already tagged: Tag1"));
    search().hide();

    dialogs.clear();
    w.setChanged(false);
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        dialogs.answerNext(answer);
        add(QStringLiteral("Speed"), QStringLiteral("x"));
    }
    ASSERT_EQ(dialogs.shown().size(), 2);
    EXPECT_EQ(dialogs.shown().first().text,
              QStringLiteral("The variable \"Speed\" is already tagged as Tag1.\nAdd it once more?"));
    EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.shown().first().buttons, MsgButtons::YesNo);
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2"}));
    EXPECT_EQ(column(3), (QStringList{"", "x"}));
    EXPECT_TRUE(w.changed());
}

// Must show: 100 variables chosen in the dialog become rows 1 to 100, Tag1 to Tag100, in one
// insertion, and the saved file is the one that adding them one by one saves.
TEST_F(Picking, AddVariablesAppendsWhatAsManyAddsWouldAndSavesTheSameFile)
{
    QStringList variables = controllerNames(40000);
    variables << "Oil.Temp";
    frmMain& w = connectTo(variables);
    AddVariablesDialog* dialog = openAddVariables();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->buttons->button(QDialogButtonBox::Ok)->isEnabled(), false);
    QTest::keyClicks(dialog->txtFilter, QStringLiteral("d000"));
    QTest::keyClick(dialog->lstVariables, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(dialog->lblSelected->text(), QStringLiteral("100 of 40001 variables shown, 100 selected"));
    dialog->txtOption->setText(QStringLiteral("Conn=1"));
    QSignalSpy inserted(grid().model(), &QAbstractItemModel::rowsInserted);
    QTest::mouseClick(dialog->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);

    EXPECT_EQ(inserted.size(), 1);
    const QStringList chosen = variables.first(100);
    EXPECT_EQ(column(2), chosen);
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(w.stbrMain->currentMessage(), QStringLiteral("100 tags added."));
    EXPECT_EQ(w.lblTagCount->text(), QStringLiteral("100 tags"));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    const QString many = appPath(QStringLiteral("many.qts"));
    ASSERT_TRUE(w.WriteTagFile(many));

    w.InitItemGrid();
    for (const QString& variable : chosen)
        add(variable, QStringLiteral("Conn=1"));
    const QString single = appPath(QStringLiteral("single.qts"));
    ASSERT_TRUE(w.WriteTagFile(single));
    QFile a(many);
    QFile b(single);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray bytes = a.readAll();
    EXPECT_TRUE(bytes.contains("Tag100="));
    EXPECT_EQ(bytes, b.readAll());
}

TEST_F(Picking, AddVariablesAsksOnceForTheTaggedOnesAndNoLeavesThemOut)
{
    frmMain& w = connectTo(controllerNames(10));
    add(QStringLiteral("D00001"));
    add(QStringLiteral("D00003"));
    AddVariablesDialog* dialog = openAddVariables();
    ASSERT_NE(dialog, nullptr);
    dialog->lstVariables->selectAll();
    dialogs.answerNext(MsgAnswer::No);
    QTest::mouseClick(dialog->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);

    ASSERT_EQ(dialogs.shown().size(), 1);
    const ScriptedDialogs::Shown& question = dialogs.shown().first();
    EXPECT_EQ(question.text,
              QStringLiteral("2 of the 10 chosen variables are already tagged.\nAdd them once more? "
                             "No adds only the other 8."));
    EXPECT_EQ(question.details, QStringLiteral("D00001: Tag1\nD00003: Tag2"));
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(column(2), (QStringList{"D00001", "D00003", "D00000", "D00002", "D00004", "D00005", "D00006",
                                      "D00007", "D00008", "D00009"}));
    EXPECT_EQ(names().last(), QStringLiteral("Tag10"));
    EXPECT_EQ(w.stbrMain->currentMessage(), QStringLiteral("8 tags added."));
}

// Named after their variables, new tags take the next free name on a clash; the choice stays
// for the next time.
TEST_F(Picking, AddVariablesNamesTagsAfterTheirVariablesWhenChosen)
{
    frmMain& w = connectTo({QStringLiteral("Ram.Position"), QStringLiteral("Oil Temp:C")});
    AddVariablesDialog* dialog = openAddVariables();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->chkNameAfterVariables->isChecked());
    dialog->chkNameAfterVariables->setChecked(true);
    QTest::keyClick(dialog->lstVariables, Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(dialog->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(column(1), (QStringList{"Ram_Position", "Oil_Temp_C"}));

    dialog = openAddVariables();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->chkNameAfterVariables->isChecked());
    QTest::keyClicks(dialog->txtFilter, QStringLiteral("Ram"));
    QTest::keyClick(dialog->lstVariables, Qt::Key_A, Qt::ControlModifier);
    dialogs.answerNext(MsgAnswer::Yes);
    QTest::mouseClick(dialog->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(column(1), (QStringList{"Ram_Position", "Oil_Temp_C", "Ram_Position_2"}));
    EXPECT_EQ(column(2).last(), QStringLiteral("Ram.Position"));
    EXPECT_EQ(w.lblTagCount->text(), QStringLiteral("3 tags"));
}

} // namespace
