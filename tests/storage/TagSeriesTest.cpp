#include "storage/TagSeries.h"
#include "storage/TagFileReader.h"
#include "tags/SeriesPattern.h"
#include "tags/TagGridModel.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct Expansion
{
    const char* pattern;
    qint64 n;
    const char* variable;
    const char* expected; // nullptr: the pattern is refused
};

class SeriesPatterns : public ::testing::TestWithParam<Expansion>
{
};

TEST_P(SeriesPatterns, ExpandOrAreRefusedWithAReason)
{
    QString error;
    const std::optional<SeriesPattern> pattern =
        SeriesPattern::parse(QString::fromUtf8(GetParam().pattern), error);
    if (!GetParam().expected) {
        EXPECT_FALSE(pattern);
        EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().pattern))) << error.toStdString();
        return;
    }
    ASSERT_TRUE(pattern) << error.toStdString();
    EXPECT_EQ(pattern->expand(GetParam().n, QString::fromUtf8(GetParam().variable)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Placeholders, SeriesPatterns,
    ::testing::Values(Expansion{"Pump{n}", 7, "", "Pump7"}, Expansion{"Pump{n:03}", 7, "", "Pump007"},
                      Expansion{"P{n:02}", 1234, "", "P1234"}, Expansion{"P{n:03}", -4, "", "P-004"},
                      Expansion{"{var}", 1, "Ram.Position", "Ram_Position"},
                      Expansion{"T_{var}", 1, "a b\\c!d#e$f:g,h", "T_a_b_c_d_e_f_g_h"},
                      Expansion{"Die.Temp[{n}]", 3, "", "Die.Temp[3]"}, Expansion{"{{n}}{n}", 2, "", "{n}2"},
                      Expansion{"Pump{x}", 1, "", nullptr}, Expansion{"Pump{n", 1, "", nullptr},
                      Expansion{"Pump{n:3}", 1, "", nullptr}, Expansion{"Pump{n:010}", 1, "", nullptr}));

// Tag1 .. Tag5 on V1 .. V5.
class SeriesPlanning : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (qint32 row = 1; row <= 5; ++row)
            table->AddItem(QStringLiteral("%1\tTag%1\tV%1\tOpt").arg(row));
    }

    std::unique_ptr<TagGridModel> table = newTagTable();
};

TEST_F(SeriesPlanning, FillNamesTheRowsInOrderAndMayRenameThemAmongThemselves)
{
    // Tag2 and Tag4 swap their kind of name: the names the series replaces are free.
    SeriesPlan plan = planFillSeries(*table, {2, 4}, {QStringLiteral("Tag{n}"), {}, 4, -2});
    ASSERT_FALSE(plan.refusal) << plan.refusal->toStdString();
    ASSERT_EQ(plan.rows.size(), 2);
    EXPECT_EQ(plan.rows.at(0).row, 2);
    EXPECT_EQ(plan.rows.at(0).cells, QStringList{QStringLiteral("Tag4")});
    EXPECT_EQ(plan.rows.at(1).cells, QStringList{QStringLiteral("Tag2")});

    plan =
        planFillSeries(*table, {1, 2}, {QStringLiteral("{var}_{n}"), QStringLiteral("Die.Temp[{n}]"), 1, 1});
    ASSERT_FALSE(plan.refusal);
    EXPECT_EQ(plan.rows.at(1).cells,
              (QStringList{QStringLiteral("Die_Temp[2]_2"), QStringLiteral("Die.Temp[2]")}));
}

TEST_F(SeriesPlanning, AClashOrAForbiddenCharacterRefusesTheWholeSeriesNamingTheRow)
{
    SeriesPlan plan = planFillSeries(*table, {1, 2}, {QStringLiteral("Tag{n}"), {}, 6, -1});
    EXPECT_TRUE(plan.rows.isEmpty());
    EXPECT_EQ(plan.refusal, QStringLiteral("Nothing was filled. Row 2: [Tag5] is a duplicate."));
    plan = planFillSeries(*table, {3}, {QStringLiteral("A:{n}"), {}, 1, 1});
    EXPECT_EQ(
        plan.refusal,
        QStringLiteral("Nothing was filled. Row 3: This character \": \" cannot be used as a TagName."));
    plan = planFillSeries(*table, {3}, {QStringLiteral("A{m}"), {}, 1, 1});
    ASSERT_TRUE(plan.refusal);
    EXPECT_TRUE(plan.refusal->startsWith(QStringLiteral("Nothing was filled. The pattern")));
}

TEST_F(SeriesPlanning, DuplicatesCountOnOverEveryNewRowAndKeepTheOtherCells)
{
    SeriesPlan plan = planDuplicateRows(*table, {1, 3}, 2, {QStringLiteral("Copy{n:02}"), {}, 1, 1});
    ASSERT_FALSE(plan.refusal);
    ASSERT_EQ(plan.rows.size(), 4);
    EXPECT_EQ(plan.rows.at(0).row, 6);
    EXPECT_EQ(plan.rows.at(3).row, 9);
    EXPECT_EQ(plan.rows.at(2).cells.mid(0, 3), (QStringList{"Copy03", "V1", "Opt"}));
    EXPECT_EQ(plan.rows.at(3).cells.mid(0, 3), (QStringList{"Copy04", "V3", "Opt"}));
    EXPECT_EQ(plan.rows.at(3).cells.size(), 10);

    plan = planDuplicateRows(*table, {1}, 2, {QStringLiteral("Tag6"), {}, 1, 1});
    EXPECT_EQ(plan.refusal, QStringLiteral("Nothing was duplicated. Row 7: [Tag6] is a duplicate."));
    plan = planDuplicateRows(*table, {1, 2}, 16381, {QStringLiteral("C{n}"), {}, 1, 1});
    ASSERT_TRUE(plan.refusal);
    EXPECT_TRUE(plan.refusal->contains(QStringLiteral("32767 tags"))) << plan.refusal->toStdString();
}

} // namespace
