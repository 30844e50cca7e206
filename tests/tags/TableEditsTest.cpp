#include "tags/TableEdits.h"
#include "tags/TagGridModel.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TableRows.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// A table of six tags, Tag1 to Tag6, watched by Qt's model checker, with the notifications
// of each change counted.
class TableEditsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (qint32 row = 1; row <= 6; ++row)
            table.AddItem(QStringLiteral("%1\tTag%1\tV%1\t\t\t\t\t\t\t\tg%1").arg(row));
        original = rows();
        inserted.clear();
        removed.clear();
        changed.clear();
    }

    QList<QStringList> rows() const { return tableRows(table); }
    QStringList column(qint32 col) const
    {
        QStringList texts;
        for (const QStringList& cells : rows())
            texts.append(cells.at(col));
        return texts;
    }

    TagGridModel table{11};
    QAbstractItemModelTester tester{&table, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QList<QStringList> original;
    QSignalSpy inserted{&table, &TagGridModel::rowsInserted};
    QSignalSpy removed{&table, &TagGridModel::rowsRemoved};
    QSignalSpy changed{&table, &TagGridModel::dataChanged};
};

TEST_F(TableEditsTest, RemovedRowsGoOneRunAtATimeAndComeBackInTheirPlaces)
{
    const std::unique_ptr<TableEdit> edit = removeRows(table, {2, 3, 5});
    for (int pass = 0; pass < 2; ++pass) {
        edit->redo();
        EXPECT_EQ(column(1), (QStringList{"Tag1", "Tag4", "Tag6"}));
        EXPECT_EQ(column(0), (QStringList{"1", "2", "3"}));
        EXPECT_EQ(removed.count(), 2); // the run of rows 2 and 3, then row 5
        EXPECT_EQ(changed.count(), 1); // one renumbering
        edit->undo();
        EXPECT_EQ(rows(), original);
        EXPECT_EQ(inserted.count(), 2);
        removed.clear();
        inserted.clear();
        changed.clear();
    }
}

TEST_F(TableEditsTest, AppendedRowsAndABlockOfCellsChangeWithOneNotificationEach)
{
    const std::unique_ptr<TableEdit> append =
        appendStoredRows(table, {{"Fan", "F1", "o"}, {"Pump", "P1", "", "", "", "", "", "", "", "g"}});
    append->redo();
    ASSERT_EQ(table.Rows(), 9);
    EXPECT_EQ(rows().at(7), (QStringList{"8", "Pump", "P1", "", "", "", "", "", "", "", "g"}));
    append->undo();
    EXPECT_EQ(rows(), original);

    const std::unique_ptr<TableEdit> block = setCells(table, 2, 1, {{"A", "x"}, {"B", "y"}});
    block->redo();
    EXPECT_EQ(column(1), (QStringList{"Tag1", "A", "B", "Tag4", "Tag5", "Tag6"}));
    EXPECT_EQ(column(2), (QStringList{"V1", "x", "y", "V4", "V5", "V6"}));
    block->undo();
    EXPECT_EQ(rows(), original);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(changed.count(), 3); // the new rows numbered; the block written, then written back
}

} // namespace
