#include "tags/TagPicking.h"
#include "tags/TagGridModel.h"
#include "tags/TagNameRules.h"
#include "tags/TagTableIndex.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

struct DefaultNameCase
{
    QStringList held;
    qint32 number;
    QString expected;
};

class DefaultTagName : public ::testing::TestWithParam<DefaultNameCase>
{
};

TEST_P(DefaultTagName, IsTagAndTheNumberUnlessHeldThenTheFirstHigherFreeOne)
{
    const DefaultNameCase& c = GetParam();
    const auto held = [&](const QString& name) { return c.held.contains(name, Qt::CaseInsensitive); };
    EXPECT_EQ(defaultTagName(c.number, held), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DefaultTagName,
                         ::testing::Values(DefaultNameCase{{}, 1, "Tag1"},
                                           DefaultNameCase{{"Tag1", "Tag3"}, 2, "Tag2"},
                                           DefaultNameCase{{"Tag2"}, 2, "Tag3"},
                                           DefaultNameCase{{"tag2", "TAG3", "Tag5"}, 2, "Tag4"},
                                           DefaultNameCase{{"Tag 4", "Tag04"}, 4, "Tag4"}));

class TagTableLookup : public ::testing::Test
{
protected:
    void add(const QStringList& variables, const QString& option = QString())
    {
        table.AddItems(newTagRows(index, table.Rows(), variables, option));
    }
    QStringList column(qint32 col) const
    {
        QStringList texts;
        for (qint32 row = 1; row < table.Rows(); ++row)
            texts.append(table.TextMatrix(row, col));
        return texts;
    }

    TagGridModel table{11};
    TagTableIndex index{table};
};

TEST_F(TagTableLookup, FollowsAddsRenamesAndDeletions)
{
    for (const char* variable : {"Oil.Temp", "Speed", "Oil.Temp"})
        add({variable});
    EXPECT_EQ(index.tagsOf("Oil.Temp"), (QStringList{"Tag1", "Tag3"}));
    EXPECT_TRUE(index.holdsName("TAG2"));
    EXPECT_FALSE(index.isTagged("oil.temp")); // variables are matched exactly

    table.setTextMatrix(1, 1, "Pump");
    EXPECT_EQ(index.tagsOf("Oil.Temp"), (QStringList{"Pump", "Tag3"}));
    EXPECT_FALSE(index.holdsName("Tag1"));
    table.RemoveItem(2);
    EXPECT_FALSE(index.isTagged("Speed"));
    add({"Speed"});
    EXPECT_EQ(index.tagsOf("Speed"), (QStringList{"Tag4"})); // row 2 holds Tag3
    table.setRows(1);
    EXPECT_FALSE(index.holdsName("Pump"));
}

// Rows added at once are numbered and named as Adds one by one name them: each name skips
// the names of the table and of the rows before it in the same batch.
TEST_F(TagTableLookup, ManyRowsAtOnceAreNamedAsAddsOneByOne)
{
    for (const char* name : {"Tag2", "Tag3", "tag5"})
        table.AddItem(QStringLiteral("0\t%1\tOld").arg(QLatin1String(name)));
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    add({"A", "B", "C", "D"}, "Conn=1");
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(column(0).mid(3), (QStringList{"4", "5", "6", "7"}));
    EXPECT_EQ(column(1).mid(3), (QStringList{"Tag4", "Tag6", "Tag7", "Tag8"}));
    EXPECT_EQ(column(2).mid(3), (QStringList{"A", "B", "C", "D"}));
    EXPECT_EQ(column(3).mid(3), QStringList(4, "Conn=1"));
}

} // namespace
