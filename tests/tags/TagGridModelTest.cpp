#include "tags/TagGridModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QStringList messages;

void collect(QtMsgType, const QMessageLogContext&, const QString& text)
{
    messages.append(text);
}

// A 4-column table watched by Qt's model checker; any complaint fails the test.
class TagGridModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        messages.clear();
        previous = qInstallMessageHandler(collect);
        tester = std::make_unique<QAbstractItemModelTester>(
            &table, QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    void TearDown() override
    {
        tester.reset();
        qInstallMessageHandler(previous);
        EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    }
    QStringList row(qint32 r) const
    {
        QStringList cells;
        for (qint32 c = 0; c < table.Cols(); ++c)
            cells.append(table.TextMatrix(r, c));
        return cells;
    }

    TagGridModel table{4};
    std::unique_ptr<QAbstractItemModelTester> tester;
    QtMessageHandler previous = nullptr;
};

TEST_F(TagGridModelTest, AddItemCutsTheTextAtTabs)
{
    table.AddItem(QStringLiteral("1\tTag1\tV"));
    table.AddItem(QStringLiteral("a\tb\tc\td\te\tf"));
    table.AddItem(QStringLiteral("x\t\ty"));
    table.AddItem(QString());
    ASSERT_EQ(table.Rows(), 5);
    EXPECT_EQ(row(1), (QStringList{"1", "Tag1", "V", ""}));
    EXPECT_EQ(row(2), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(row(3), (QStringList{"x", "", "y", ""}));
    EXPECT_EQ(row(4), (QStringList{"", "", "", ""}));
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.data(table.index(0, 1)).toString(), "Tag1");
}

TEST_F(TagGridModelTest, HeaderRowIsTheHorizontalHeader)
{
    QSignalSpy headerSpy(&table, &TagGridModel::headerDataChanged);
    table.setTextMatrix(0, 1, QStringLiteral("Tag Name"));
    EXPECT_EQ(table.TextMatrix(0, 1), "Tag Name");
    EXPECT_EQ(table.headerData(1, Qt::Horizontal).toString(), "Tag Name");
    EXPECT_EQ(headerSpy.count(), 1);
    EXPECT_EQ(table.Rows(), 1);
    EXPECT_EQ(table.rowCount(), 0);
}

TEST_F(TagGridModelTest, RemovingRowsMovesTheRowsBelowUp)
{
    for (const char* text : {"1\tA", "2\tB", "3\tC", "4\tD"})
        table.AddItem(QString::fromLatin1(text));
    QSignalSpy removed(&table, &TagGridModel::rowsRemoved);
    table.RemoveItem(2);
    ASSERT_EQ(table.Rows(), 4);
    EXPECT_EQ(removed.takeFirst().at(1).toInt(), 1);
    EXPECT_EQ(table.TextMatrix(2, 1), "C");
    EXPECT_EQ(table.TextMatrix(3, 1), "D");
    table.RemoveItem();
    EXPECT_EQ(table.Rows(), 3);
    EXPECT_EQ(table.TextMatrix(2, 1), "C");

    table.setTextMatrix(0, 0, QStringLiteral("No"));
    table.setRows(1);
    EXPECT_EQ(table.Rows(), 1);
    EXPECT_EQ(table.TextMatrix(0, 0), "No");
    table.setRows(3);
    EXPECT_EQ(row(2), (QStringList{"", "", "", ""}));
}

TEST_F(TagGridModelTest, ColumnCountChangesKeepTheTexts)
{
    table.AddItem(QStringLiteral("1\tA\tB\tC"));
    table.setCols(2);
    EXPECT_EQ(row(1), (QStringList{"1", "A"}));
    table.setCols(3);
    EXPECT_EQ(row(1), (QStringList{"1", "A", ""}));
    table.AddItem(QStringLiteral("2\tB\tx\ty"));
    EXPECT_EQ(row(2), (QStringList{"2", "B", "x"}));
}

TEST_F(TagGridModelTest, OutOfRangeOperationsThrowAndChangeNothing)
{
    table.AddItem(QStringLiteral("1\tA"));
    EXPECT_THROW(table.TextMatrix(-1, 0), GridError);
    EXPECT_THROW(table.TextMatrix(2, 0), GridError);
    EXPECT_THROW(table.TextMatrix(0, 4), GridError);
    EXPECT_THROW(table.setTextMatrix(2, 0, QStringLiteral("x")), GridError);
    EXPECT_THROW(table.setTextMatrix(1, -1, QStringLiteral("x")), GridError);
    EXPECT_THROW(table.RemoveItem(0), GridError);
    EXPECT_THROW(table.RemoveItem(2), GridError);
    EXPECT_THROW(table.setRows(0), GridError);
    EXPECT_THROW(table.setCols(-1), GridError);
    EXPECT_THROW(table.Column(4), GridError);
    EXPECT_EQ(table.Rows(), 2);
    EXPECT_EQ(row(1), (QStringList{"1", "A", "", ""}));
    table.RemoveItem();
    EXPECT_THROW(table.RemoveItem(), GridError);
}

TEST_F(TagGridModelTest, OnlyEditableColumnsTakeEdits)
{
    table.AddItem(QStringLiteral("1\tTag1\tV"));
    table.Column(0).editable = false;
    table.Column(0).backColor = GridColumn::BackColor::ButtonFace;
    table.setButtonFaceBrush(QStringLiteral("face"));
    QSignalSpy edited(&table, &TagGridModel::cellEdited);
    QSignalSpy changed(&table, &TagGridModel::dataChanged);

    EXPECT_FALSE(table.flags(table.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(table.setData(table.index(0, 0), QStringLiteral("9")));
    EXPECT_EQ(table.TextMatrix(1, 0), "1");
    EXPECT_EQ(table.data(table.index(0, 0), Qt::BackgroundRole).toString(), "face");
    EXPECT_FALSE(table.data(table.index(0, 1), Qt::BackgroundRole).isValid());

    EXPECT_TRUE(table.flags(table.index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(table.setData(table.index(0, 1), QStringLiteral("Pump")));
    EXPECT_EQ(table.TextMatrix(1, 1), "Pump");
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.at(0), (QList<QVariant>{1, 1}));

    // The program's own writes are no user edits.
    table.setTextMatrix(1, 2, QStringLiteral("W"));
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(changed.count(), 2);
}

std::vector<GridRow> rowsOf(std::initializer_list<QStringList> texts)
{
    std::vector<GridRow> rows;
    for (const QStringList& cells : texts) {
        std::vector<QStringView> views(cells.begin(), cells.end());
        rows.emplace_back(views);
    }
    return rows;
}

TEST_F(TagGridModelTest, BlockOperationsNotifyOncePerRunOfRows)
{
    for (const char* text : {"1\tA", "2\tB", "3\tC", "4\tD", "5\tE"})
        table.AddItem(QString::fromLatin1(text));
    QSignalSpy inserted(&table, &TagGridModel::rowsInserted);
    QSignalSpy removed(&table, &TagGridModel::rowsRemoved);
    QSignalSpy changed(&table, &TagGridModel::dataChanged);

    table.insertItems(3, rowsOf({{"x", "X"}, {"y", "Y", "", "4th", "5th is dropped"}}));
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted.at(0).mid(1), (QList<QVariant>{2, 3}));
    EXPECT_EQ(row(4), (QStringList{"y", "Y", "", "4th"}));

    // Rows 2, 3 and 6, 7 go as two runs, the lower one first.
    table.removeItems({7, 2, 3, 3, 6});
    ASSERT_EQ(removed.size(), 2);
    EXPECT_EQ(removed.at(0).mid(1), (QList<QVariant>{5, 6}));
    EXPECT_EQ(removed.at(1).mid(1), (QList<QVariant>{1, 2}));
    EXPECT_EQ((QStringList{row(1).at(1), row(2).at(1), row(3).at(1)}), (QStringList{"A", "Y", "C"}));

    table.renumberFrom(2);
    EXPECT_EQ((QStringList{row(1).at(0), row(2).at(0), row(3).at(0)}), (QStringList{"1", "2", "3"}));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>(), table.index(1, 0));
    EXPECT_EQ(changed.at(0).at(1).value<QModelIndex>(), table.index(2, 0));
    table.renumberFrom(4);
    EXPECT_EQ(changed.size(), 1);

    EXPECT_THROW(table.removeItems({1, 4}), GridError);
    EXPECT_THROW(table.insertItems(5, rowsOf({{"z"}})), GridError);
    EXPECT_THROW(table.renumberFrom(0), GridError);
    EXPECT_EQ(table.Rows(), 4);
    EXPECT_EQ(removed.size(), 2);
}

TEST(GridRow, CellsReadBackAfterEveryKindOfChange)
{
    const auto cells = [](const GridRow& row) {
        QStringList texts;
        for (qsizetype col = 0; col < row.cellCount(); ++col)
            texts.append(row.cell(col).toString());
        return texts;
    };
    GridRow row;
    row.setCell(3, u"d");
    EXPECT_EQ(cells(row), (QStringList{"", "", "", "d"}));
    row.setCell(1, u"bb");
    row.setCell(3, u"x");
    row.setCell(0, row.cell(1)); // from the row's own text
    EXPECT_EQ(cells(row), (QStringList{"bb", "bb", "", "x"}));

    GridRow copy = row;
    copy.setCell(1, u"changed");
    row.setCell(3, QStringView());
    EXPECT_EQ(cells(row), (QStringList{"bb", "bb"}));
    EXPECT_EQ(cells(copy), (QStringList{"bb", "changed", "", "x"}));
    EXPECT_TRUE(row.cell(7).isEmpty());
    copy.truncate(1);
    EXPECT_EQ(cells(copy), QStringList{"bb"});
    row.setCell(0, QString());
    row.setCell(1, QString());
    EXPECT_EQ(row.cellCount(), 0);
}

TEST(RowNumberCounter, CountsUpAcrossEveryCarry)
{
    for (const qint32 first : {0, 8, 99999}) {
        RowNumberCounter counter(first);
        for (qint32 number = first; number < first + 1200; ++number, counter.next())
            ASSERT_EQ(counter.text().toString(), QString::number(number)) << first;
    }
}

} // namespace
