#include "storage/TagFileFormat.h"
#include "storage/TagTableCheck.h"
#include "tags/TagGridModel.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>
#include <memory>

using namespace TagFileFormat;

TEST(TagFileFormat, RowsHaveExactlyNineCommas)
{
    QStringList cells(10);
    cells[0] = QStringLiteral("Speed");
    cells[1] = QStringLiteral("I1");
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

namespace {

// A table with the stored columns' titles and one row holding `cells` from column 1 on.
std::unique_ptr<TagGridModel> tableWith(const QStringList& cells)
{
    auto table = std::make_unique<TagGridModel>(11);
    table->setRows(2);
    const QStringList titles = {
        QStringLiteral("No"),      QStringLiteral("Tag Name"), QStringLiteral("Var Name"),
        QStringLiteral("Var Opt"), QStringLiteral("A"),        QStringLiteral("B"),
        QStringLiteral("C"),       QStringLiteral("D"),        QStringLiteral("E"),
        QStringLiteral("F"),       QStringLiteral("G")};
    for (int c = 0; c < titles.size(); ++c)
        table->setTextMatrix(0, c, titles.at(c));
    table->setTextMatrix(1, 0, QStringLiteral("1"));
    for (int c = 0; c < cells.size(); ++c)
        table->setTextMatrix(1, c + 1, cells.at(c));
    return table;
}

QString problemOf(const QStringList& cells)
{
    return storageProblem(*tableWith(cells)).value_or(QStringLiteral("none"));
}

} // namespace

TEST(TagTableCheck, NamesTheTagAndTheColumnOfTheFirstComma)
{
    TagGridModel table(11);
    table.setRows(1);
    const QStringList titles = {QStringLiteral("No"), QStringLiteral("Tag Name"), QStringLiteral("Var Name"),
                                QStringLiteral("Var Opt")};
    for (int c = 0; c < titles.size(); ++c)
        table.setTextMatrix(0, c, titles.at(c));
    table.AddItem(QStringLiteral("1\tTag1\tV1\t"));
    EXPECT_EQ(storageProblem(table), std::nullopt);
    table.AddItem(QStringLiteral("2\tSpeed\tV2\ta,b"));
    const auto problem = storageProblem(table);
    ASSERT_TRUE(problem);
    EXPECT_TRUE(problem->contains(QStringLiteral("[Speed]")));
    EXPECT_TRUE(problem->contains(QStringLiteral("\"Var Opt\"")));
    // Column 0 holds the running number and is not stored.
    table.setTextMatrix(2, 3, QString());
    table.setTextMatrix(2, 0, QStringLiteral("2,0"));
    EXPECT_EQ(storageProblem(table), std::nullopt);
}

TEST(TagTableCheck, RowsThatWouldNotReadBackAsTheyStandAreRefused)
{
    const QString none = QStringLiteral("none");
    EXPECT_EQ(problemOf({QStringLiteral("Speed"), QStringLiteral("I1"), QStringLiteral("a b"),
                         QStringLiteral(" c "), QStringLiteral("'d'"), QStringLiteral("\"")}),
              none);
    EXPECT_EQ(problemOf({QStringLiteral("S"), QStringLiteral("I1"), QString(), QStringLiteral("x\ty")}),
              QStringLiteral(
                  "The tag [S] in row 1 cannot be saved: its column \"A\" holds a tab character, which a "
                  "tag setting file cannot store. Remove the tab and save again."));
    EXPECT_TRUE(
        problemOf({QStringLiteral("\tS")}).contains(QStringLiteral("\"Tag Name\" holds a tab character")));
    EXPECT_EQ(
        problemOf({QStringLiteral(" S")}),
        QStringLiteral("The tag [ S] in row 1 cannot be saved: its column \"Tag Name\" begins with a blank, "
                       "which a tag setting file does not keep. Remove the blank and save again."));
    QStringList endsWithBlank(10);
    endsWithBlank[0] = QStringLiteral("S");
    endsWithBlank[9] = QStringLiteral("g ");
    EXPECT_EQ(problemOf(endsWithBlank),
              QStringLiteral(
                  "The tag [S] in row 1 cannot be saved: its column \"G\" ends with a blank, which a tag "
                  "setting file does not keep. Remove the blank and save again."));
    // A value enclosed in one kind of quotation mark loses the pair.
    QStringList quoted(10);
    quoted[0] = QStringLiteral("\"S");
    quoted[9] = QStringLiteral("g\"");
    EXPECT_EQ(
        problemOf(quoted),
        QStringLiteral("The tag [\"S] in row 1 cannot be saved: its column \"Tag Name\" begins with the "
                       "quotation mark that ends its column \"G\"; a tag setting file does not keep such a "
                       "pair. Remove one of them and save again."));
    quoted[9] = QStringLiteral("g'");
    EXPECT_EQ(problemOf(quoted), none);
    quoted[0] = QStringLiteral("'S");
    EXPECT_NE(problemOf(quoted), none);
}
