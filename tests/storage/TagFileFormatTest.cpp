#include "storage/TagFileFormat.h"
#include "storage/TagTableCheck.h"
#include "tags/TagGridModel.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace TagFileFormat;

TEST(TagFileFormat, RowsHaveExactlyNineCommas)
{
    const QStringList cells = {QStringLiteral("Speed"),
                               QStringLiteral("I1"),
                               QString(),
                               QString(),
                               QString(),
                               QString(),
                               QString(),
                               QString(),
                               QString(),
                               QString()};
    EXPECT_EQ(joinRow(cells), QStringLiteral("Speed,I1,,,,,,,,"));
    EXPECT_EQ(splitRow(joinRow(cells)), cells);
}

TEST(TagFileFormat, SplitNeedsTenFieldsAndKeepsTheFirstTen)
{
    EXPECT_EQ(splitRow(QStringLiteral("a,b,c,d,e,f,g,h,i")), std::nullopt);
    EXPECT_EQ(splitRow(QString()), std::nullopt);
    const auto eleven = splitRow(QStringLiteral("a,b,c,d,e,f,g,h,i,j,k"));
    ASSERT_TRUE(eleven);
    EXPECT_EQ(eleven->size(), 10);
    EXPECT_EQ(eleven->last(), QStringLiteral("j"));
}

TEST(TagFileFormat, WholeNumbers)
{
    EXPECT_EQ(toWholeNumber(QStringLiteral("2")), 2);
    EXPECT_EQ(toWholeNumber(QStringLiteral(" 7 ")), 7);
    EXPECT_EQ(toWholeNumber(QStringLiteral("-3")), -3);
    EXPECT_EQ(toWholeNumber(QStringLiteral("2.5")), 2);
    EXPECT_EQ(toWholeNumber(QStringLiteral("3.5")), 4);
    EXPECT_EQ(toWholeNumber(QString()), std::nullopt);
    EXPECT_EQ(toWholeNumber(QStringLiteral("abc")), std::nullopt);
    EXPECT_EQ(toWholeNumber(QStringLiteral("1x")), std::nullopt);
    EXPECT_EQ(toWholeNumber(QStringLiteral("99999999999")), std::nullopt);
    EXPECT_EQ(tagKey(32768), QStringLiteral("Tag32768"));
}

TEST(TagTableCheck, NamesTheTagAndTheColumnOfTheFirstComma)
{
    TagGridModel table(11);
    table.setRows(1);
    const QStringList titles = {QStringLiteral("No"), QStringLiteral("Tag Name"), QStringLiteral("Var Name"),
                                QStringLiteral("Var Opt")};
    for (int c = 0; c < titles.size(); ++c)
        table.setTextMatrix(0, c, titles.at(c));
    table.AddItem(QStringLiteral("1\tTag1\tV1\t"));
    EXPECT_EQ(commaProblem(table), std::nullopt);
    table.AddItem(QStringLiteral("2\tSpeed\tV2\ta,b"));
    const auto problem = commaProblem(table);
    ASSERT_TRUE(problem);
    EXPECT_TRUE(problem->contains(QStringLiteral("[Speed]")));
    EXPECT_TRUE(problem->contains(QStringLiteral("\"Var Opt\"")));
    // Column 0 holds the running number and is not stored.
    table.setTextMatrix(2, 3, QString());
    table.setTextMatrix(2, 0, QStringLiteral("2,0"));
    EXPECT_EQ(commaProblem(table), std::nullopt);
}
