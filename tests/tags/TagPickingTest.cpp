#include "tags/TagPicking.h"
#include "tags/NameFilterModel.h"
#include "tags/TagGridModel.h"
#include "tags/TagNameRules.h"
#include "tags/TagTableIndex.h"

#include <QSignalSpy>
#include <QStringListModel>
#include <gtest/gtest.h>

namespace {

// ---- The default name of a new row

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
                                           DefaultNameCase{{"Tag10", "Tag11"}, 10, "Tag12"},
                                           DefaultNameCase{{"Tag 4", "Tag04"}, 4, "Tag4"}));

// ---- The table looked up by variable and name, and the rows an Add appends

class TagTableLookup : public ::testing::Test
{
protected:
    // Appends the rows that adding `variables` with `option` gives, one Add at a time.
    void addOneByOne(const QStringList& variables, const QString& option)
    {
        for (const QString& variable : variables)
            table.AddItem(newTagRows(index, table.Rows(), {variable}, option).first());
    }
    static QStringList column(const TagGridModel& model, qint32 col)
    {
        QStringList texts;
        for (qint32 row = 1; row < model.Rows(); ++row)
            texts.append(model.TextMatrix(row, col));
        return texts;
    }
    QStringList column(qint32 col) const { return column(table, col); }

    TagGridModel table{11};
    TagTableIndex index{table};
};

TEST_F(TagTableLookup, FollowsAddsRenamesAndDeletions)
{
    addOneByOne({"Oil.Temp", "Speed", "Oil.Temp"}, QString());
    EXPECT_EQ(index.tagsOf("Oil.Temp"), (QStringList{"Tag1", "Tag3"}));
    EXPECT_TRUE(index.holdsName("TAG2"));
    EXPECT_FALSE(index.isTagged("oil.temp")); // variables are matched exactly

    table.setTextMatrix(1, 1, "Pump");
    EXPECT_EQ(index.tagsOf("Oil.Temp"), (QStringList{"Pump", "Tag3"}));
    EXPECT_FALSE(index.holdsName("Tag1"));

    table.RemoveItem(2);
    table.setTextMatrix(2, 0, "2"); // renumbering
    EXPECT_FALSE(index.isTagged("Speed"));
    EXPECT_FALSE(index.holdsName("Tag2"));
    table.AddItems(newTagRows(index, table.Rows(), {"Speed"}, "x"));
    EXPECT_EQ(index.tagsOf("Speed"), (QStringList{"Tag4"})); // Tag3 is held by row 2

    table.setRows(1);
    EXPECT_FALSE(index.isTagged("Oil.Temp"));
    EXPECT_FALSE(index.holdsName("Pump"));
}

TEST_F(TagTableLookup, ManyRowsAtOnceEqualAsManyAddsOneByOne)
{
    // A table with holes, as deletions and renames leave it: row names Tag2, Tag3, tag5.
    for (const char* name : {"Tag2", "Tag3", "tag5"})
        table.AddItem(QStringLiteral("0\t%1\tOld").arg(QLatin1String(name)));
    const QStringList variables = {"A", "B", "Old", "C", "D"};

    TagGridModel single(11);
    TagTableIndex singleIndex(single);
    for (qint32 row = 1; row < table.Rows(); ++row)
        single.AddItem(table.TextMatrix(row, 0) + '\t' + table.TextMatrix(row, 1) + '\t' +
                       table.TextMatrix(row, 2));
    for (const QString& variable : variables)
        single.AddItem(newTagRows(singleIndex, single.Rows(), {variable}, "Conn=1").first());

    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    table.AddItems(newTagRows(index, table.Rows(), variables, "Conn=1"));
    EXPECT_EQ(inserted.size(), 1);
    for (qint32 col = 0; col < 4; ++col)
        EXPECT_EQ(column(col), column(single, col)) << col;
    EXPECT_EQ(column(1), (QStringList{"Tag2", "Tag3", "tag5", "Tag4", "Tag6", "Tag7", "Tag8", "Tag9"}));
    EXPECT_EQ(column(0).mid(3), (QStringList{"4", "5", "6", "7", "8"}));
    EXPECT_EQ(column(3).mid(3), QStringList(5, "Conn=1"));
}

// ---- The name filter

class NameFilter : public ::testing::TestWithParam<const char*>
{
};

TEST_P(NameFilter, KeepsInListOrderTheNamesThatContainTheTextInAnyCase)
{
    QStringList names;
    for (int i = 0; i < 40000; ++i)
        names.append(QStringLiteral("D%1").arg(i, 5, 10, QLatin1Char('0')));
    names << "Oil.Temp"
          << "Die Temp[1]"
          << "TEMPERATURE"
          << "Tem.p"
          << "Ölstand";
    QStringListModel source(names);
    NameFilterModel filter;
    filter.setSourceModel(&source);
    const QString text = QString::fromUtf8(GetParam());
    filter.setContainedText(text);

    QStringList expected;
    for (const QString& name : names) {
        if (name.toCaseFolded().contains(text.toCaseFolded()))
            expected.append(name);
    }
    QStringList shown;
    for (int row = 0; row < filter.rowCount(); ++row)
        shown.append(filter.index(row, 0).data().toString());
    EXPECT_EQ(shown, expected);
    EXPECT_FALSE(shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Texts, NameFilter, ::testing::Values("temp", "TeMp", "d3999", "9", "ÖL", ""));

} // namespace
