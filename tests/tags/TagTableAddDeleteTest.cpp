#include "tags/TagDocument.h"
#include "tests/tags/TagTableFixture.h"

#include <QSignalSpy>

namespace {

using Shown = ScriptedDialogs::Shown;

class TagTableAdd : public TagTableFixture
{
};

class TagTableDelete : public TagTableFixture
{
protected:
    // A table of `count` tags, Tag1 on variable V1 and so on, with no change pending.
    void fill(int count)
    {
        for (int i = 1; i <= count; ++i)
            add(QStringLiteral("V%1").arg(i), QStringLiteral("Opt%1").arg(i));
        window->setChanged(false);
        dialogs.clear();
    }
};

// Deleting at the first, a middle and the last of five rows.
class TagTableDeleteAt : public TagTableDelete, public ::testing::WithParamInterface<qint32>
{
};

QStringList row(const GridControl& grid, qint32 r)
{
    QStringList cells;
    for (qint32 col = 0; col < grid.Cols(); ++col)
        cells.append(grid.TextMatrix(r, col));
    return cells;
}

TEST_F(TagTableAdd, SetUpLeavesTheHeaderRowWithItsTitlesAndAGreyNumberColumn)
{
    frmMain& w = openWindow();
    add(QStringLiteral("Speed"));
    w.InitItemGrid();
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_EQ(row(grid(), 0),
              (QStringList{"No", "Tag Name", "Var Name", "Var Opt", "A", "B", "C", "D", "E", "F", "G"}));
    EXPECT_EQ(grid().model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Tag Name"));
    EXPECT_EQ(grid().columnWidth(0), 33); // 500 twips
    add(QStringLiteral("Speed"));
    EXPECT_EQ(grid().model()->index(0, 0).data(Qt::BackgroundRole).value<QBrush>(),
              grid().palette().button());
    EXPECT_FALSE(grid().model()->index(0, 1).data(Qt::BackgroundRole).isValid());
}

TEST_F(TagTableAdd, RowsAreNumberedAndNamedAfterTheirNumber)
{
    frmMain& w = openWindow();
    EXPECT_FALSE(w.changed());
    add(QStringLiteral("Speed"), QStringLiteral("Conn=1"));
    EXPECT_TRUE(w.changed());
    add(QStringLiteral("Temp"));
    for (int i = 3; i <= 10; ++i)
        add(QStringLiteral("Level%1").arg(i), QStringLiteral("x"));

    EXPECT_TRUE(dialogs.shown().isEmpty());
    ASSERT_EQ(grid().Rows(), 11);
    EXPECT_EQ(row(grid(), 1), (QStringList{"1", "Tag1", "Speed", "Conn=1", "", "", "", "", "", "", ""}));
    // An empty option leaves an empty Var Opt cell; the row is still added.
    EXPECT_EQ(row(grid(), 2), (QStringList{"2", "Tag2", "Temp", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(row(grid(), 10), (QStringList{"10", "Tag10", "Level10", "x", "", "", "", "", "", "", ""}));
}

TEST_F(TagTableAdd, SelectPromptInAnyCaseOrEmptyTextAddsNothingAndShowsBothMessages)
{
    frmMain& w = openWindow();
    for (const QString& text :
         {QStringLiteral("[Select]"), QStringLiteral("[SELECT]"), QStringLiteral("[sElEcT]"), QString()}) {
        add(text, QStringLiteral("Conn=1"));
        ASSERT_EQ(dialogs.shown().size(), 2) << text.toStdString();
        const Shown& first = dialogs.shown().at(0);
        const Shown& second = dialogs.shown().at(1);
        EXPECT_EQ(first.text, QStringLiteral("Please select the variable names."));
        EXPECT_EQ(first.icon, MsgIcon::Exclamation);
        EXPECT_EQ(first.buttons, MsgButtons::Ok);
        EXPECT_EQ(second.text, QStringLiteral("Failed to add item."));
        EXPECT_EQ(second.icon, MsgIcon::Critical);
        EXPECT_EQ(second.buttons, MsgButtons::Ok);
        EXPECT_EQ(first.title, QStringLiteral("QuorTagEditor"));
        dialogs.clear();
    }
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_FALSE(w.changed());

    // Only the whole text counts as the prompt.
    add(QStringLiteral("[Select]x"));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(grid().TextMatrix(1, 2), QStringLiteral("[Select]x"));
}

// The picker's field takes no such text; variables of the engine come in through the document.
TEST_F(TagTableAdd, AVariableThatMakesTheRowLongerThanAFileHoldsIsRefusedNamingRowAndColumn)
{
    withTags(1);
    TagDocument& document = window->document();
    EXPECT_EQ(
        document.addTags(QStringLiteral("Add"), {QString(199990, QLatin1Char('v'))}, QString()),
        QStringLiteral("The tag [Tag2] in row 2 cannot be saved: its column \"Var Name\" makes the row "
                       "200,003 bytes long, and a tag setting file holds at most 199,998 bytes in a row. "
                       "Shorten the text and save again."));
    EXPECT_EQ(grid().Rows(), 2);
    EXPECT_FALSE(window->changed());
    // One byte less with the option, and the row fits.
    EXPECT_EQ(document.addTags(QStringLiteral("Add"), {QString(199998 - 9 - 4 - 1, QLatin1Char('v'))},
                               QStringLiteral("o")),
              std::nullopt);
    EXPECT_EQ(grid().Rows(), 3);
}

TEST_F(TagTableAdd, DefaultNameSkipsANameThatARowHoldsAfterADeletion)
{
    openWindow();
    add(QStringLiteral("V1"));
    add(QStringLiteral("V2"));
    click(1, 1);
    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    add(QStringLiteral("V3"));
    EXPECT_EQ(numbers(), (QStringList{"1", "2"}));
    EXPECT_EQ(names(), (QStringList{"Tag2", "Tag3"}));
    EXPECT_EQ(dialogs.texts().size(), 1); // the delete prompt only
}

TEST_F(TagTableAdd, AddAndDeleteAreDisabledUntilAConnectionIsMade)
{
    openWindow(false);
    EXPECT_FALSE(window->cmdAddItem->isEnabled());
    EXPECT_FALSE(window->cmdDelete->isEnabled());
    add(QStringLiteral("Speed"));
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(TagTableAdd, ClickingARowCopiesItsVariableIntoThePicker)
{
    openWindow();
    add(QStringLiteral("Speed"), QStringLiteral("Conn=1"));
    add(QStringLiteral("Temp"));
    window->cmbVars->setEditText(QStringLiteral("typed"));
    window->txtVarOpt->setText(QStringLiteral("typed option"));

    click(1, 4);
    EXPECT_EQ(window->cmbVars->currentText(), QStringLiteral("Speed"));
    EXPECT_EQ(window->txtVarOpt->text(), QStringLiteral("Conn=1"));
    click(2, 0);
    EXPECT_EQ(window->cmbVars->currentText(), QStringLiteral("Temp"));
    EXPECT_EQ(window->txtVarOpt->text(), QString());
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(TagTableDelete, NothingIsAskedWithoutADataRowOrAnEnteredCell)
{
    frmMain& w = openWindow();
    pressDelete();
    EXPECT_TRUE(dialogs.shown().isEmpty());

    // Rows as a file brings them: no cell entered yet.
    grid().AddItem(QStringLiteral("1\tTag1\tV1"));
    grid().AddItem(QStringLiteral("2\tTag2\tV2"));
    pressDelete();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2"}));

    // Both rows deleted from row 1: only the header row is left, and Delete asks nothing.
    click(1, 1);
    dialogs.answerNext(MsgAnswer::Yes);
    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    pressDelete();
    ASSERT_EQ(grid().Rows(), 1);
    ASSERT_EQ(dialogs.shown().size(), 2);
    dialogs.clear();
    w.setChanged(false);
    pressDelete();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_FALSE(w.changed());
}

TEST_F(TagTableDelete, PromptNamesTheRowByItsNumberAndNoKeepsEverything)
{
    frmMain& w = openWindow();
    fill(3);
    ASSERT_TRUE(edit(2, 1, QStringLiteral("Pump")));
    w.setChanged(false);
    dialogs.clear();

    click(2, 3);
    dialogs.answerNext(MsgAnswer::No);
    pressDelete();
    ASSERT_EQ(dialogs.shown().size(), 1);
    const Shown& prompt = dialogs.shown().first();
    EXPECT_EQ(prompt.text, QStringLiteral(u"Are you sure want to delete the [Tag2]\uFF1F"));
    EXPECT_EQ(prompt.text.back(), QChar(0xFF1F));
    EXPECT_EQ(prompt.icon, MsgIcon::Question);
    EXPECT_EQ(prompt.buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompt.title, QStringLiteral("QuorTagEditor"));

    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Pump", "Tag3"}));
    EXPECT_FALSE(w.changed());
}

TEST_F(TagTableDelete, YesRemovesTheRowAndRenumbersTheRestKeepingTheirNames)
{
    frmMain& w = openWindow();
    fill(4);
    click(2, 1);
    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag3", "Tag4"}));
    EXPECT_EQ(column(2), (QStringList{"V1", "V3", "V4"}));
    EXPECT_EQ(column(3), (QStringList{"Opt1", "Opt3", "Opt4"}));
    EXPECT_TRUE(w.changed());

    // The remembered row now holds the tag that followed the deleted one.
    dialogs.clear();
    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    EXPECT_EQ(dialogs.texts(),
              (QStringList{QStringLiteral(u"Are you sure want to delete the [Tag2]\uFF1F")}));
    EXPECT_EQ(numbers(), (QStringList{"1", "2"}));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag4"}));
}

TEST_F(TagTableDelete, ARememberedRowBeyondTheTableDeletesNothing)
{
    frmMain& w = openWindow();
    fill(3);
    click(3, 1);
    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    ASSERT_EQ(names(), (QStringList{"Tag1", "Tag2"}));
    w.setChanged(false);
    dialogs.clear();

    // Row 3 no longer exists.
    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2"}));
    EXPECT_FALSE(w.changed());

    // Nor after the table was replaced by a smaller one, as opening a file does.
    fill(1);
    click(3, 1);
    grid().setRows(1);
    grid().AddItem(QStringLiteral("1\tOnly\tV"));
    w.setChanged(false);
    dialogs.clear();
    pressDelete();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(names(), (QStringList{"Only"}));
    EXPECT_FALSE(w.changed());
}

TEST_F(TagTableDelete, TheHeaderRowIsNeitherCopiedNorDeleted)
{
    frmMain& w = openWindow();
    fill(2);
    click(2, 1);
    w.cmbVars->setEditText(QStringLiteral("Speed"));
    w.txtVarOpt->setText(QStringLiteral("Conn=1"));

    // The grid never reports row 0 itself; the handler is called as if it did.
    w.grdItems_EnterCell(0, 2);
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("Speed"));
    EXPECT_EQ(w.txtVarOpt->text(), QStringLiteral("Conn=1"));

    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    EXPECT_EQ(dialogs.texts(),
              (QStringList{QStringLiteral(u"Are you sure want to delete the [Tag2]\uFF1F")}));
    EXPECT_EQ(names(), (QStringList{"Tag1"}));
    EXPECT_EQ(grid().TextMatrix(0, 0), QStringLiteral("No"));
}

} // namespace

TEST_P(TagTableDeleteAt, RenumbersTheRowsFromTheDeletedOneOnWithOneNotification)
{
    openWindow();
    fill(5);
    const qint32 deleted = GetParam();
    click(deleted, 1);
    const QAbstractItemModel& model = *grid().model();
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();

    QStringList kept{"Tag1", "Tag2", "Tag3", "Tag4", "Tag5"};
    kept.removeAt(deleted - 1);
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(names(), kept);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed.at(0).at(1).toInt(), deleted - 1);
    if (deleted == 5) {
        EXPECT_TRUE(changed.isEmpty());
        return;
    }
    // Model rows are grid rows less one: the range runs from the deleted row to the last.
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>(), model.index(deleted - 1, 0));
    EXPECT_EQ(changed.at(0).at(1).value<QModelIndex>(), model.index(3, 0));
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, TagTableDeleteAt, ::testing::Values(1, 3, 5));
