#include "storage/TagCsv.h"
#include "storage/TagFileReader.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

QStringList cellsWith(const QString& text)
{
    // The awkward text in the first, a middle and the last column.
    QStringList cells(10);
    cells[0] = text;
    cells[4] = text;
    cells[9] = text;
    return cells;
}

class CsvRoundTrip : public ::testing::TestWithParam<const char*>
{
};

} // namespace

TEST_P(CsvRoundTrip, ExportThenImportGivesTheCellsBack)
{
    const QString awkward = QString::fromUtf8(GetParam());
    const std::unique_ptr<TagGridModel> table = newTagTable();
    QStringList cells = cellsWith(awkward);
    cells[1] = QStringLiteral("plain");
    table->setRows(3);
    for (int col = 0; col < 10; ++col) {
        table->setTextMatrix(1, col + 1, cells.at(col));
        table->setTextMatrix(2, col + 1, QStringLiteral("x%1").arg(col));
    }

    const QByteArray csv = TagCsv::fromTable(*table);
    EXPECT_TRUE(csv.startsWith("Tag Name,Var Name,Var Opt,A,B,C,D,E,F,G\r\n"));
    const TagCsv::Parsed parsed = TagCsv::toRecords(csv);
    ASSERT_FALSE(parsed.error) << parsed.error->reason.toStdString();
    ASSERT_EQ(parsed.records.size(), 2);
    EXPECT_EQ(parsed.records.at(0).cells, cells);
    EXPECT_EQ(parsed.records.at(0).line, 2);
    // A line break inside a field moves the next record's line on.
    EXPECT_EQ(parsed.records.at(1).line, 3 + awkward.count(QLatin1Char('\n')) * 3);
    EXPECT_EQ(parsed.records.at(1).cells.at(9), QStringLiteral("x9"));
}

INSTANTIATE_TEST_SUITE_P(AwkwardCells, CsvRoundTrip,
                         ::testing::Values("a,b", "say \"hi\"", "\"", "two\nlines", "cr\r\nlf", "  leading",
                                           "trailing ", "Größe Ω 温度", "", ",\",\n"));

TEST(CsvRead, HeaderPicksColumnsInAnyOrderAndCaseWithBomAndLfLines)
{
    const TagCsv::Parsed parsed =
        TagCsv::toRecords("\xEF\xBB\xBF var name , TAG NAME,Notes,g\nI1,Motor,ignored,last\n\nI2,Pump\n");
    ASSERT_FALSE(parsed.error);
    ASSERT_EQ(parsed.records.size(), 2);
    QStringList first(10);
    first[0] = QStringLiteral("Motor");
    first[1] = QStringLiteral("I1");
    first[9] = QStringLiteral("last");
    EXPECT_EQ(parsed.records.at(0).cells, first);
    EXPECT_EQ(parsed.records.at(1).line, 4);
    EXPECT_EQ(parsed.records.at(1).cells.mid(0, 3),
              (QStringList{QStringLiteral("Pump"), QStringLiteral("I2"), QString()}));
}

struct BadCsv
{
    const char* name;
    QByteArray bytes;
    qint64 line;
};

class CsvRefused : public ::testing::TestWithParam<BadCsv>
{
};

TEST_P(CsvRefused, NamesTheLine)
{
    const TagCsv::Parsed parsed = TagCsv::toRecords(GetParam().bytes);
    ASSERT_TRUE(parsed.error);
    EXPECT_EQ(parsed.error->line, GetParam().line) << parsed.error->reason.toStdString();
    EXPECT_TRUE(parsed.records.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvRefused,
    ::testing::Values(BadCsv{"Empty", "", 1}, BadCsv{"NoKnownColumn", "No,Comment\r\n1,x\r\n", 1},
                      BadCsv{"ColumnTwice", "Tag Name,A,a\r\n", 1},
                      BadCsv{"UnclosedQuote", "Tag Name\r\nok\r\n\"open\r\nstill open", 3},
                      BadCsv{"TextAfterClosingQuote", "Tag Name\r\n\"closed\"x\r\n", 2},
                      BadCsv{"MoreFieldsThanHeader", "Tag Name,A\r\nx,y\r\nx,y,z\r\n", 3},
                      BadCsv{"NotUtf8", "Tag Name\r\nok\r\n\xFF\xFE\r\n", 3}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });
