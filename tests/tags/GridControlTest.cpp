#include "tags/GridControl.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

using Cell = QList<QVariant>;

// A shown grid of 4 columns: "No" and "Var" read-only, "Tag Name" and "A" editable.
class GridControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.setCols(4);
        for (qint32 col = 0; col < 4; ++col)
            grid.setTextMatrix(0, col, QStringList{"No", "Tag Name", "Var", "A"}.at(col));
        grid.Column(0).editable = false;
        grid.Column(2).editable = false;
        for (qint32 row = 1; row <= 4; ++row)
            grid.AddItem(QStringLiteral("%1\tTag%1\tV%1").arg(row));
        grid.resize(500, 300);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
        // Gaining focus may have made the first cell current; the cases start from here.
        entered.clear();
    }

    QPoint centre(qint32 row, qint32 col) const
    {
        return grid.visualRect(grid.model()->index(row - 1, col)).center();
    }
    void click(qint32 row, qint32 col)
    {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(row, col));
    }
    void doubleClick(qint32 row, qint32 col)
    {
        click(row, col);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, centre(row, col));
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, centre(row, col));
    }
    QLineEdit* editor() const { return grid.viewport()->findChild<QLineEdit*>(); }

    GridControl grid;
    QSignalSpy entered{&grid, &GridControl::EnterCell};
    QSignalSpy edited{&grid, &GridControl::AfterEdit};
};

TEST_F(GridControlTest, ClicksAndKeysReportTheEnteredCellInGridNumbering)
{
    click(2, 1);
    click(2, 1); // already current: not entered again
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(grid.horizontalHeader()->sectionViewportPosition(2) + 5, 5));
    ASSERT_EQ(entered.count(), 3);
    EXPECT_EQ(entered.at(0), (Cell{2, 1}));
    EXPECT_EQ(entered.at(1), (Cell{3, 1}));
    EXPECT_EQ(entered.at(2), (Cell{3, 2}));
}

TEST_F(GridControlTest, InPlaceEditStoresTheTextBeforeAfterEdit)
{
    QString textSeen;
    QObject::connect(&grid, &GridControl::AfterEdit, [&] { textSeen = grid.TextMatrix(3, 1); });
    click(3, 1);
    QTest::keyClick(&grid, Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    QTest::keyClicks(editor(), QStringLiteral("Pump"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(textSeen, "Pump");
    EXPECT_EQ(grid.TextMatrix(3, 1), "Pump");

    // Typing on a current cell starts an edit too; Escape drops it.
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClicks(&grid, QStringLiteral("x"));
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(grid.TextMatrix(3, 3), "");
}

TEST_F(GridControlTest, AfterEditHandlerCanRestoreTheOldText)
{
    QObject::connect(&grid, &GridControl::AfterEdit,
                     [&] { grid.setTextMatrix(1, 1, QStringLiteral("Tag1")); });
    doubleClick(1, 1);
    ASSERT_NE(editor(), nullptr);
    editor()->setText(QStringLiteral("Bad,Name"));
    QTest::keyClick(editor(), Qt::Key_Enter);
    QCoreApplication::processEvents();
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(grid.TextMatrix(1, 1), "Tag1");
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), "Tag1");
}

TEST_F(GridControlTest, ModalBoxInAfterEditDoesNotCommitTwice)
{
    // A warning box takes the focus from the still open editor while the handler runs.
    QObject::connect(&grid, &GridControl::AfterEdit, [&] {
        QDialog box(&grid);
        QTimer::singleShot(50, &box, &QDialog::accept);
        box.exec();
        grid.setTextMatrix(2, 1, QStringLiteral("Tag2"));
    });
    doubleClick(2, 1);
    ASSERT_NE(editor(), nullptr);
    editor()->setText(QStringLiteral("Tag1"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QTest::qWait(200);
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(grid.TextMatrix(2, 1), "Tag2");
}

TEST_F(GridControlTest, FinishEditCommitsAnOpenEditorOnce)
{
    grid.finishEdit(); // nothing open: nothing happens
    EXPECT_EQ(edited.count(), 0);

    doubleClick(2, 1);
    ASSERT_NE(editor(), nullptr);
    editor()->setText(QStringLiteral("Pump"));
    grid.finishEdit();
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(grid.TextMatrix(2, 1), "Pump");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(editor(), nullptr);
    grid.finishEdit();
    EXPECT_EQ(edited.count(), 1);
}

TEST_F(GridControlTest, ReadOnlyColumnsOpenNoEditor)
{
    for (qint32 col : {0, 2}) {
        doubleClick(2, col);
        QTest::keyClick(&grid, Qt::Key_F2);
        QTest::keyClicks(&grid, QStringLiteral("z"));
        EXPECT_EQ(editor(), nullptr) << col;
    }
    EXPECT_EQ(grid.TextMatrix(2, 0), "2");
    EXPECT_EQ(grid.TextMatrix(2, 2), "V2");
    EXPECT_EQ(edited.count(), 0);
}

TEST_F(GridControlTest, RowChangesByTheProgramEnterNoCell)
{
    click(2, 1);
    entered.clear();
    grid.RemoveItem(2);
    for (qint32 row = 1; row < grid.Rows(); ++row)
        grid.setTextMatrix(row, 0, QString::number(row));
    grid.AddItem(QStringLiteral("4\tTag4"));
    EXPECT_EQ(entered.count(), 0);

    // The cell now current holds another row; acting on it reports it.
    click(grid.currentIndex().row() + 1, 1);
    ASSERT_EQ(entered.count(), 1);
    EXPECT_EQ(grid.TextMatrix(entered.at(0).at(0).toInt(), 1), "Tag3");

    // So does a key that starts an edit there, before the editor opens.
    grid.RemoveItem(entered.at(0).at(0).toInt());
    QString nameWhenEntered;
    QObject::connect(&grid, &GridControl::EnterCell, [&](qint32 row, qint32 col) {
        nameWhenEntered = editor() ? QStringLiteral("editing") : grid.TextMatrix(row, col);
    });
    QTest::keyClick(&grid, Qt::Key_F2);
    ASSERT_EQ(entered.count(), 2);
    EXPECT_EQ(nameWhenEntered, "Tag4");
    EXPECT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_Escape);

    grid.setRows(1);
    grid.AddItem(QStringLiteral("1\tTag1"));
    EXPECT_EQ(entered.count(), 2);
    click(1, 1);
    EXPECT_EQ(entered.count(), 3);
}

TEST_F(GridControlTest, ColumnSettingsAndTwipsReachTheWidget)
{
    GridColumn& number = grid.Column(0);
    number.width = 500;
    number.backColor = GridColumn::BackColor::ButtonFace;
    grid.applyColumn(0);
    EXPECT_EQ(grid.columnWidth(0), 33);
    EXPECT_EQ(grid.model()->index(0, 0).data(Qt::BackgroundRole).value<QBrush>(), grid.palette().button());
    EXPECT_THROW(grid.applyColumn(4), GridError);

    QWidget window;
    GridControl* placed = new GridControl(&window);
    placed->setTop(4275);
    placed->setWidth(9240);
    placed->setHeight(1740);
    EXPECT_EQ(placed->geometry(), QRect(0, 285, 616, 116));
    EXPECT_EQ(placed->Top(), 4275);
    EXPECT_EQ(placed->Width(), 9240);
    EXPECT_EQ(placed->Height(), 1740);
    EXPECT_EQ(placed->Cols(), 11);
    EXPECT_EQ(placed->Rows(), 1);
}

TEST_F(GridControlTest, ACellTooNarrowForItsTextShowsTheWholeTextInItsToolTip)
{
    const QString whole = QStringLiteral("Line 3.Conveyor Section[12].Drive.Current Limit");
    grid.setTextMatrix(2, 2, whole);
    grid.setColumnWidth(2, 60);
    const auto hover = [this](qint32 row, qint32 col) {
        const QPoint at = centre(row, col);
        QHelpEvent tip(QEvent::ToolTip, at, grid.viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid.viewport(), &tip);
    };
    hover(1, 2); // "V1" fits
    EXPECT_FALSE(QToolTip::isVisible());
    hover(2, 2);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), whole);
}

} // namespace
