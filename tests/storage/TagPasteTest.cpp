#include "storage/TagPaste.h"
#include "storage/TabText.h"
#include "storage/TagFileReader.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// Cells spreadsheets quote, each in the first, a middle and the last column of a row.
class TabTextRoundTrip : public ::testing::TestWithParam<const char*>
{
};

TEST_P(TabTextRoundTrip, CopiedRowsPasteBackAsTheyWere)
{
    const QString awkward = QString::fromUtf8(GetParam());
    const QList<QStringList> rows = {{awkward, QStringLiteral("x"), awkward},
                                     {QString(), awkward, QStringLiteral("y")}};
    const QString text = TabText::fromRows(rows);
    EXPECT_TRUE(text.endsWith(QLatin1Char('\n')));
    const DelimitedText::Split split = TabText::toRows(text);
    ASSERT_FALSE(split.error) << split.error->reason.toStdString();
    ASSERT_EQ(split.records.size(), 2);
    EXPECT_EQ(split.records.at(0).fields, rows.at(0));
    EXPECT_EQ(split.records.at(1).fields, rows.at(1));
}

INSTANTIATE_TEST_SUITE_P(AwkwardCells, TabTextRoundTrip,
                         ::testing::Values("plain", "", "a\tb", "two\nlines", "cr\r\nlf", "\"quoted\"",
                                           "say \"hi\"", "a,b", " blank ", "Größe 温度"));

TEST(TabText, ASingleCellStandsAloneAndEmptyLinesAreEmptyRows)
{
    EXPECT_EQ(TabText::fromRows({{QStringLiteral("Tag1")}}), QStringLiteral("Tag1"));
    const DelimitedText::Split split = TabText::toRows(QStringLiteral("a\r\n\r\nc\tz\r\n"));
    ASSERT_EQ(split.records.size(), 3);
    EXPECT_EQ(split.records.at(1).fields, QStringList{QString()});
    EXPECT_EQ(split.records.at(2).fields, (QStringList{"c", "z"}));
}

// A line of ten cells: a whole row.
QString wholeRow(const QString& name, const QString& var = QStringLiteral("X"))
{
    return name + QLatin1Char('\t') + var + QStringLiteral("\t\t\t\t\t\t\t\t\n");
}

// A table of four tags, Tag1 to Tag4 on variables V1 to V4, with "Var,Opt" (a comma the file
// cannot store) in row 4's option.
class PastePlanning : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (qint32 row = 1; row <= 4; ++row)
            table->AddItem(QStringLiteral("%1\tTag%1\tV%1\t%2").arg(row).arg(row == 4 ? "Var,Opt" : ""));
    }

    PasteOutcome paste(const QString& text, std::optional<CellBlock> target = CellBlock{1, 1, 1, 1})
    {
        return planPaste(*table, text, target);
    }

    std::unique_ptr<TagGridModel> table = newTagTable();
};

struct Refused
{
    const char* name;
    QString text;
    CellBlock target;
    QString message;
};

class PasteRefused : public PastePlanning, public ::testing::WithParamInterface<Refused>
{
};

TEST_P(PasteRefused, NamesTheFirstRowThatFailsAndPlansNothing)
{
    const PasteOutcome outcome = paste(GetParam().text, GetParam().target);
    EXPECT_FALSE(outcome.plan);
    EXPECT_EQ(outcome.refusal, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PasteRefused,
    ::testing::Values(
        Refused{"DuplicateOfATableRow",
                wholeRow("New") + wholeRow("TAG2"),
                {},
                QStringLiteral("Nothing was pasted. Row 6: [TAG2] is a duplicate.")},
        Refused{"DuplicateWithinThePaste",
                wholeRow("A") + wholeRow("a"),
                {},
                QStringLiteral("Nothing was pasted. Row 6: [a] is a duplicate.")},
        Refused{
            "ForbiddenCharacter",
            wholeRow("A#1"),
            {},
            QStringLiteral("Nothing was pasted. Row 5: This character \"# \" cannot be used as a TagName.")},
        Refused{"CellTheFileCannotStore",
                wholeRow("A", "x,y"),
                {},
                QStringLiteral(
                    "Nothing was pasted. Row 5: The tag [A] in row 5 cannot be saved: its column \"Var "
                    "Name\" holds a comma (\",\"), which a tag setting file cannot store. Remove the "
                    "comma and save again.")},
        Refused{"LineBreakInAVariableOption",
                QStringLiteral("\"a\nb\"\tV\n"),
                {2, 3, 1, 1},
                QStringLiteral("Nothing was pasted. Row 2: The variable option cannot be added: it holds a "
                               "line break, which a tag cannot keep.")},
        Refused{"NulInAVariableName",
                wholeRow("A", QStringLiteral("x") + QChar(u'\0')),
                {},
                QStringLiteral("Nothing was pasted. Row 5: The variable name cannot be added: it holds a NUL "
                               "character, which a tag cannot keep.")},
        // Row 4 could not be saved before (a comma): pasted variables are tested all the same.
        Refused{"TabInAVariableNameOfARowThatCouldNotBeSaved",
                QStringLiteral("\"x\ty\"\n"),
                {4, 2, 1, 1},
                QStringLiteral("Nothing was pasted. Row 4: The variable name cannot be added: it holds a tab "
                               "character, which a tag cannot keep.")},
        Refused{
            "LineBreakInAnotherColumn",
            QStringLiteral("\"a\nb\"\n"),
            {2, 4, 1, 1},
            QStringLiteral("Nothing was pasted. Row 2: The tag [Tag2] in row 2 cannot be saved: its column "
                           "\"A\" holds a line break, which a tag setting file cannot store. Remove it and "
                           "save again.")},
        Refused{
            "RowLongerThanAFileHolds",
            QString(200000, QLatin1Char('x')) + QLatin1Char('\n'),
            {2, 4, 1, 1},
            QStringLiteral("Nothing was pasted. Row 2: The tag [Tag2] in row 2 cannot be saved: its column "
                           "\"A\" makes the row 200,015 bytes long, and a tag setting file holds at most "
                           "199,998 bytes in a row. Shorten the text and save again.")},
        Refused{"BlockRenamesToAnotherRowsName",
                QStringLiteral("Tag9\nTag1\n"),
                {2, 1, 1, 1},
                QStringLiteral("Nothing was pasted. Row 3: [Tag1] is a duplicate.")},
        Refused{"BeyondTheLastRow",
                QStringLiteral("a\nb\n"),
                {4, 5, 1, 1},
                QStringLiteral(
                    "Nothing was pasted. A block of 2 rows by 1 column, pasted from row 4 in the column "
                    "\"B\", would reach beyond the table.")},
        Refused{"BeyondTheLastColumn",
                QStringLiteral("a\tb\n"),
                {1, 10, 1, 1},
                QStringLiteral(
                    "Nothing was pasted. A block of 1 row by 2 columns, pasted from row 1 in the column "
                    "\"G\", would reach beyond the table.")},
        Refused{
            "NoCellSelected",
            QStringLiteral("a\tb\n"),
            {},
            QStringLiteral("Nothing was pasted. Select the cells to paste into, or paste whole rows of ten "
                           "cells: Tag Name, Var Name, Var Opt, A, B, C, D, E, F, G.")},
        // Only cells of data rows are a selection to paste into.
        Refused{
            "SelectionBelowTheTable",
            QStringLiteral("x"),
            {5, 11, 2, 2},
            QStringLiteral("Nothing was pasted. Select the cells to paste into, or paste whole rows of ten "
                           "cells: Tag Name, Var Name, Var Opt, A, B, C, D, E, F, G.")},
        Refused{
            "SelectionOfTheHeaderRow",
            QStringLiteral("x"),
            {0, 1, 1, 1},
            QStringLiteral("Nothing was pasted. Select the cells to paste into, or paste whole rows of ten "
                           "cells: Tag Name, Var Name, Var Opt, A, B, C, D, E, F, G.")},
        Refused{"UnclosedQuote",
                QStringLiteral("a\n\"b\n"),
                {1, 4, 1, 1},
                QStringLiteral("Nothing was pasted. Line 2 of the text: a quoted field is not closed.")}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(PastePlanning, WholeRowsAreAppendedWithTheirVariablesAsGiven)
{
    const PasteOutcome outcome =
        paste(wholeRow("Fan", "Other.Controller.Var") + wholeRow("Pump"), CellBlock{2, 4, 1, 1});
    ASSERT_TRUE(outcome.plan) << outcome.refusal->toStdString();
    EXPECT_EQ(outcome.plan->kind, PastePlan::Kind::AppendRows);
    EXPECT_EQ(outcome.plan->row, 5);
    ASSERT_EQ(outcome.plan->cells.size(), 2);
    EXPECT_EQ(outcome.plan->cells.at(0),
              (QStringList{"Fan", "Other.Controller.Var", "", "", "", "", "", "", "", ""}));
}

TEST_F(PastePlanning, ABlockGoesIntoTheCellsFromTheSelectionsCorner)
{
    // Names swapped between two rows stand; a short line keeps the cell it leaves out.
    PasteOutcome outcome = paste(QStringLiteral("Tag2\tW\nTag1\n"), CellBlock{1, 1, 3, 2});
    ASSERT_TRUE(outcome.plan) << outcome.refusal->toStdString();
    EXPECT_EQ(outcome.plan->kind, PastePlan::Kind::SetCells);
    EXPECT_EQ(outcome.plan->cells, (QList<QStringList>{{"Tag2", "W"}, {"Tag1", "V2"}}));

    // One cell fills the block; the row number column is never written.
    outcome = paste(QStringLiteral("on\n"), CellBlock{3, 0, 1, 6});
    ASSERT_TRUE(outcome.plan) << outcome.refusal->toStdString();
    EXPECT_EQ(outcome.plan->row, 3);
    EXPECT_EQ(outcome.plan->col, 1);
    EXPECT_EQ(outcome.plan->cells, (QList<QStringList>{{"on", "on", "on", "on", "on"}}));
    EXPECT_EQ(paste(QStringLiteral("on\n"), CellBlock{3, 0, 2, 6}).refusal,
              QStringLiteral("Nothing was pasted. Row 4: [on] is a duplicate."));
    // Row 4's comma was there before: it is not held against the paste.
    EXPECT_EQ(paste(QStringLiteral("on\n"), CellBlock{3, 4, 2, 7}).plan->cells.first().size(), 7);
    EXPECT_EQ(paste(QStringLiteral("on\n"), CellBlock{3, 2, 2, 2}).refusal, std::nullopt);
}

} // namespace
