#include "app/SeriesDialog.h"
#include "app/modMain.h"
#include "tests/support/TableRows.h"
#include "tests/tags/TagTableFixture.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QUndoStack>

namespace {

using Shown = ScriptedDialogs::Shown;

// The tag table edited as a spreadsheet: rows picked by their numbers, cells copied and
// pasted as tab-separated text, every change kept in the undo history.
class SheetEditing : public TagTableFixture
{
protected:
    // A table of `count` tags, Tag1 on variable V1 with option Opt1 and so on, all saved.
    frmMain& openWith(int count)
    {
        frmMain& w = withTags(count, QStringLiteral("Opt"));
        before = rows();
        return w;
    }

    QList<QStringList> rows() const { return tableRows(grid().table()); }

    // Clicks cell (row, col) with the keyboard modifiers held.
    void click(qint32 row, qint32 col, Qt::KeyboardModifiers modifiers = {})
    {
        const QModelIndex cell = grid().model()->index(row - 1, col);
        grid().scrollTo(cell);
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, modifiers, grid().visualRect(cell).center());
    }
    // Presses a key in the grid, as the user does with the grid in focus.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        grid().setFocus();
        QTest::keyClick(&grid(), key, modifiers);
    }
    void selectRows(std::initializer_list<qint32> picked)
    {
        bool first = true;
        for (const qint32 row : picked) {
            click(row, 0, first ? Qt::NoModifier : Qt::ControlModifier);
            first = false;
        }
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(appPath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }

    // Opens Fill Series (or Duplicate Rows) on the selected rows and fills in its fields.
    SeriesDialog* openSeries(QAction* command, const QString& tagPattern, int start, int copies = 1)
    {
        // A dialog closed before is deleted only when the event loop comes round.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        command->trigger();
        auto* dialog = window->findChild<SeriesDialog*>();
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return nullptr;
        EXPECT_TRUE(dialog->isVisible());
        dialog->txtTagPattern->setText(tagPattern);
        dialog->spnStart->setValue(start);
        if (dialog->spnCopies)
            dialog->spnCopies->setValue(copies);
        return dialog;
    }

    QList<QStringList> before;
};

TEST_F(SheetEditing, RowNumbersPickRowsShiftAndCtrlExtendAndEnteringACellStillFillsThePicker)
{
    frmMain& w = openWith(6);
    click(2, 0);
    EXPECT_EQ(grid().selectedRows(), (std::vector<qint32>{2}));
    EXPECT_EQ(grid().selectedColumns().size(), 11u);
    click(4, 0, Qt::ShiftModifier);
    click(6, 0, Qt::ControlModifier);
    EXPECT_EQ(grid().selectedRows(), (std::vector<qint32>{2, 3, 4, 6}));
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("V6"));
    EXPECT_EQ(w.txtVarOpt->text(), QStringLiteral("Opt6"));
    // A plain click on a picked row picks that row alone.
    click(3, 0);
    EXPECT_EQ(grid().selectedRows(), (std::vector<qint32>{3}));
    EXPECT_EQ(grid().selectedColumns().size(), 11u);

    click(3, 5);
    click(4, 6, Qt::ShiftModifier);
    EXPECT_EQ(grid().selectedRows(), (std::vector<qint32>{3, 4}));
    EXPECT_EQ(grid().selectedColumns(), (std::vector<qint32>{5, 6}));
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("V4"));
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid().selectedRows().size(), 6u);

    // The Edit menu: Undo, Redo, the clipboard commands, then Write Value and Add Variables,
    // then the series; Cut and Delete wait for a connection as the Delete button does.
    QList<QAction*> items = w.mnuEdit->actions();
    items.removeIf([](QAction* item) { return item->isSeparator(); });
    EXPECT_EQ(items,
              (QList<QAction*>{w.mnuEditUndo, w.mnuEditRedo, w.mnuEditCut, w.mnuEditCopy, w.mnuEditPaste,
                               w.mnuEditDelete, w.mnuEditSelectAll, w.mnuEditWriteValue,
                               w.mnuEditAddVariables, w.mnuEditFillSeries, w.mnuEditDuplicateRows}));
    w.EnableItemButtons(false);
    EXPECT_FALSE(w.mnuEditCut->isEnabled() || w.mnuEditDelete->isEnabled());
}

TEST_F(SheetEditing, DeletingSelectedRowsAsksOnceRenumbersAndUndoBringsThemBack)
{
    frmMain& w = openWith(6);
    const QString title = w.windowTitle();
    selectRows({2, 4, 5});
    dialogs.answerNext(MsgAnswer::No);
    key(Qt::Key_Delete);
    ASSERT_EQ(dialogs.shown().size(), 1);
    const Shown& prompt = dialogs.shown().first();
    EXPECT_EQ(prompt.text, QStringLiteral(u"Are you sure want to delete the 3 selected tags\uFF1F"));
    EXPECT_EQ(prompt.icon, MsgIcon::Question);
    EXPECT_EQ(prompt.buttons, MsgButtons::YesNo);
    EXPECT_EQ(rows(), before);

    dialogs.answerNext(MsgAnswer::Yes);
    pressDelete();
    EXPECT_EQ(dialogs.shown().size(), 2);
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag3", "Tag6"}));
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3"}));
    EXPECT_TRUE(w.changed());

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rows(), before);
    EXPECT_FALSE(w.changed());
    EXPECT_EQ(w.windowTitle(), title);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag3", "Tag6"}));
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(dialogs.shown().size(), 2);
}

TEST_F(SheetEditing, CopiedRowsAreTabSeparatedLinesThatPasteBackAsTheSameRowsAndFile)
{
    frmMain& w = openWith(50);
    for (qint32 row = 1; row <= 50; row += 7)
        grid().setTextMatrix(row, 4 + row % 7, QStringLiteral("Größe %1").arg(row));
    auto recent = std::make_shared<clsCtrlParameter>();
    recent->m_lConnectType = 1;
    recent->m_strControllerName = QStringLiteral("PLC1");
    state.settings.colRecent.Add(recent);
    w.cmbCtrl->setEditText(QStringLiteral("PLC1"));
    const QString first = appPath(QStringLiteral("first.qts"));
    dialogs.chooseFileNext(first);
    ASSERT_TRUE(w.FileSave(true));
    const QList<QStringList> saved = rows();

    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    const QStringList lines =
        QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 50);
    for (const QString& line : lines)
        EXPECT_EQ(line.count(QLatin1Char('\t')), 9) << line.toStdString();
    EXPECT_EQ(lines.at(7), QStringLiteral("Tag8\tV8\tOpt8\t\tGröße 8\t\t\t\t\t"));

    w.FileNew();
    ASSERT_EQ(grid().Rows(), 1);
    w.EnableItemButtons(true);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(rows(), saved);
    EXPECT_EQ(grid().selectedRows().size(), 50u);
    w.cmbCtrl->setEditText(QStringLiteral("PLC1"));
    const QString second = appPath(QStringLiteral("second.qts"));
    dialogs.chooseFileNext(second);
    ASSERT_TRUE(w.FileSave(true));
    QFile a(first);
    QFile b(second);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'\n').toStdString();
}

TEST_F(SheetEditing, APasteThatBreaksANameRuleChangesNothingAndNamesTheRowOnce)
{
    frmMain& w = openWith(3);
    const int steps = w.history().count();
    w.PasteText(QStringLiteral("Fan\tF\t\t\t\t\t\t\t\t\nTAG2\tP\t\t\t\t\t\t\t\t\n"));
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Nothing was pasted. Row 5: [TAG2] is a duplicate.")});
    EXPECT_EQ(rows(), before);
    EXPECT_FALSE(w.changed());
    EXPECT_EQ(w.history().count(), steps);
}

// Every kind of change of the table: made, undone and made again.
class EveryChange : public SheetEditing, public ::testing::WithParamInterface<const char*>
{
protected:
    void make(frmMain& w, const std::string& kind)
    {
        if (kind == "Add") {
            add(QStringLiteral("V9"));
        } else if (kind == "AddVariables") {
            w.AddVariables({QStringLiteral("X"), QStringLiteral("Y")}, {});
        } else if (kind == "Delete" || kind == "DeleteMany") {
            kind == "Delete" ? click(2, 1) : selectRows({1, 3, 4});
            dialogs.answerNext(MsgAnswer::Yes);
            key(Qt::Key_Delete);
        } else if (kind == "Rename" || kind == "CellEdit") {
            edit(3, kind == "Rename" ? 1 : 7, QStringLiteral("Pump"));
        } else if (kind == "PasteRows") {
            w.PasteText(QStringLiteral("Fan\tF\t\t\t\t\t\t\t\tg\n"));
        } else if (kind == "PasteCells") {
            click(2, 1);
            w.PasteText(QStringLiteral("Tag9\tW\nTag8\tX\n"));
        } else if (kind == "Cut") {
            selectRows({2, 3});
            w.mnuEditCut->trigger();
            EXPECT_EQ(QGuiApplication::clipboard()->text(),
                      QStringLiteral("Tag2\tV2\tOpt2\t\t\t\t\t\t\t\nTag3\tV3\tOpt3\t\t\t\t\t\t\t\n"));
        } else if (kind == "ImportCsv") {
            dialogs.chooseFileNext(
                writeFile(QStringLiteral("t.csv"), "Tag Name,Var Name\r\nFan,F\r\nPump,P\r\n"));
            w.mnuFileImportCsv->trigger();
        }
    }
};

TEST_P(EveryChange, IsOneStepThatUndoAndRedoTakeBackAndMakeAgain)
{
    frmMain& w = openWith(4);
    const int step = w.history().index();
    make(w, GetParam());
    const QList<QStringList> after = rows();
    ASSERT_NE(after, before);
    EXPECT_TRUE(w.changed());
    for (int pass = 0; pass < 2; ++pass) {
        w.mnuEditUndo->trigger();
        EXPECT_EQ(rows(), before);
        EXPECT_FALSE(w.changed());
        EXPECT_EQ(w.history().index(), step);
        w.mnuEditRedo->trigger();
        EXPECT_EQ(rows(), after);
        EXPECT_TRUE(w.changed());
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryChange,
                         ::testing::Values("Add", "AddVariables", "Delete", "DeleteMany", "Rename",
                                           "CellEdit", "PasteRows", "PasteCells", "Cut", "ImportCsv"));

TEST_F(SheetEditing, TheFlagFollowsTheHistoryFromTheLastSaveAndNewAndOpenForgetIt)
{
    frmMain& w = openWith(3);
    ASSERT_TRUE(edit(1, 1, QStringLiteral("A")));
    w.setChanged(false); // saved here
    ASSERT_TRUE(edit(2, 1, QStringLiteral("B")));
    w.mnuEditUndo->trigger();
    EXPECT_FALSE(w.changed());
    w.mnuEditUndo->trigger();
    EXPECT_TRUE(w.changed());
    w.mnuEditRedo->trigger();
    EXPECT_FALSE(w.changed());
    // A refused rename goes back to the name the history left, not to the one undone.
    ASSERT_TRUE(edit(2, 1, QStringLiteral("a")));
    EXPECT_EQ(names(), (QStringList{"A", "Tag2", "Tag3"}));

    // A connection is a change the history does not hold: undoing the table keeps it unsaved.
    dialogs.clear();
    ASSERT_TRUE(edit(3, 1, QStringLiteral("C")));
    w.setChanged(true);
    w.mnuEditUndo->trigger();
    EXPECT_TRUE(w.changed());

    // New keeps the flag as it is and forgets the history.
    dialogs.answerNext(MsgAnswer::No);
    w.FileNew();
    EXPECT_TRUE(w.changed());
    EXPECT_FALSE(w.history().canUndo() || w.history().canRedo() || w.mnuEditUndo->isEnabled());

    // An opened file counts as unsaved; its history starts empty, and undoing back to it
    // gives that state again.
    w.setChanged(false);
    dialogs.chooseFileNext(writeFile(QStringLiteral("open.qts"),
                                     "[QuorTagSetting]\r\nType=1\r\nController=PLC1\r\nProvider=P\r\n"
                                     "Machine=\r\nOption=\r\nTag1=Fan,F,,,,,,,,\r\nTag2=Pump,P,,,,,,,,\r\n"
                                     "TagDataCnt=2\r\n"));
    w.mnuFileItem[1]->trigger();
    EXPECT_EQ(names(), (QStringList{"Fan", "Pump"}));
    EXPECT_TRUE(w.changed());
    EXPECT_FALSE(w.history().canUndo());
    ASSERT_TRUE(edit(1, 1, QStringLiteral("Motor")));
    w.mnuEditUndo->trigger();
    EXPECT_EQ(names(), (QStringList{"Fan", "Pump"}));
    EXPECT_TRUE(w.changed());
}

// Fill Series renames the selected rows as one step; a clash refuses the whole step, names the
// row and leaves the dialog open to mend the pattern.
TEST_F(SheetEditing, FillSeriesRenamesTheSelectedRowsAsOneStepAndAClashRefusesAll)
{
    frmMain& w = openWith(6);
    selectRows({1, 2});
    SeriesDialog* dialog = openSeries(w.mnuEditFillSeries, QStringLiteral("Tag{n}"), 3);
    ASSERT_NE(dialog, nullptr);
    const int steps = w.history().count();
    QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().first().text,
              QStringLiteral("Nothing was filled. Row 1: [Tag3] is a duplicate."));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(w.history().count(), steps);

    dialog->close();
    selectRows({3, 5, 6});
    dialog = openSeries(w.mnuEditFillSeries, QStringLiteral("Pump{n:02}"), 1);
    ASSERT_NE(dialog, nullptr);
    dialog->txtVariablePattern->setText(QStringLiteral("Die.Temp[{n}]"));
    QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(column(1), (QStringList{"Tag1", "Tag2", "Pump01", "Tag4", "Pump02", "Pump03"}));
    EXPECT_EQ(column(2), (QStringList{"V1", "V2", "Die.Temp[1]", "V4", "Die.Temp[2]", "Die.Temp[3]"}));
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(w.mnuEditUndo->text(), QStringLiteral("&Undo Fill Series"));
    w.mnuEditUndo->trigger();
    EXPECT_EQ(rows(), before);
}

TEST_F(SheetEditing, DuplicateRowsAppendsCopiesCountingOnAndUndoTakesThemAway)
{
    frmMain& w = openWith(3);
    selectRows({1, 3});
    SeriesDialog* dialog = openSeries(w.mnuEditDuplicateRows, QStringLiteral("{var}_{n}"), 1, 2);
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    EXPECT_TRUE(dialogs.shown().isEmpty());
    ASSERT_EQ(grid().Rows(), 8);
    EXPECT_EQ(column(1).mid(3), (QStringList{"V1_1", "V3_2", "V1_3", "V3_4"}));
    EXPECT_EQ(grid().TextMatrix(7, 3), QStringLiteral("Opt3"));
    EXPECT_EQ(grid().TextMatrix(7, 0), QStringLiteral("7"));
    EXPECT_EQ(grid().selectedRows(), (std::vector<qint32>{4, 5, 6, 7}));
    w.mnuEditUndo->trigger();
    EXPECT_EQ(rows(), before);
}

} // namespace
