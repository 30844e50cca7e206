#include "tags/TagDocument.h"
#include "tags/TagNameRules.h"
#include "tags/VariableTextRules.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TableRows.h"

#include <QUndoStack>
#include <functional>
#include <gtest/gtest.h>

namespace {

// One operation of the document, as a name for the test and what it does to a document of
// three tags (Tag1 on V1 .. Tag3 on V3); it returns the refusal, if any.
struct Operation
{
    const char* name;
    std::function<std::optional<QString>(TagDocument&)> apply;
    // What the table's stored cells of the data rows (Tag Name, Var Name, Var Opt) become.
    QList<QStringList> after;
};

QList<QStringList> storedCells(const TagDocument& document)
{
    QList<QStringList> rows;
    for (const QStringList& cells : tableRows(document.table()))
        rows.append(cells.mid(0, 4));
    return rows;
}

QStringList row(int number, const QString& tag, const QString& variable, const QString& option = {})
{
    return {QString::number(number), tag, variable, option};
}

class DocumentOperation : public ::testing::TestWithParam<Operation>
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(document.addTags(QStringLiteral("Add"), {"V1", "V2", "V3"}, QString()));
        document.setChanged(false);
        before = storedCells(document);
    }

    TagDocument document;
    QList<QStringList> before;
};

} // namespace

TEST_P(DocumentOperation, IsOneStepUndoneAndRedoneWithTheChangedFlag)
{
    ASSERT_EQ(GetParam().apply(document), std::nullopt);
    EXPECT_EQ(storedCells(document), GetParam().after);
    EXPECT_TRUE(document.changed());
    EXPECT_EQ(document.history().count(), 2);

    ASSERT_TRUE(document.undo());
    EXPECT_EQ(storedCells(document), before);
    EXPECT_FALSE(document.changed());

    ASSERT_TRUE(document.redo());
    EXPECT_EQ(storedCells(document), GetParam().after);
    EXPECT_TRUE(document.changed());
}

INSTANTIATE_TEST_SUITE_P(
    Each, DocumentOperation,
    ::testing::Values(Operation{"AddTags",
                                [](TagDocument& d) {
                                    return d.addTags(QStringLiteral("Add"), {"V1", "W"}, QStringLiteral("o"));
                                },
                                {row(1, "Tag1", "V1"), row(2, "Tag2", "V2"), row(3, "Tag3", "V3"),
                                 row(4, "Tag4", "V1", "o"), row(5, "Tag5", "W", "o")}},
                      Operation{"AppendRows",
                                [](TagDocument& d) {
                                    return d.appendRows(QStringLiteral("Paste"), {{"New", "X", "x"}});
                                },
                                {row(1, "Tag1", "V1"), row(2, "Tag2", "V2"), row(3, "Tag3", "V3"),
                                 row(4, "New", "X", "x")}},
                      Operation{"RemoveRows",
                                [](TagDocument& d) {
                                    d.removeRows(QStringLiteral("Delete"), {3, 1});
                                    return std::optional<QString>();
                                },
                                {row(1, "Tag2", "V2")}},
                      Operation{
                          "SetCells",
                          [](TagDocument& d) {
                              return d.setCells(QStringLiteral("Paste"), 2, 1, {{"A", "VA"}, {"B", "VB"}});
                          },
                          {row(1, "Tag1", "V1"), row(2, "A", "VA"), row(3, "B", "VB")}},
                      Operation{"KeepCellEdit",
                                [](TagDocument& d) {
                                    d.table().setTextMatrix(1, 1, QStringLiteral("Press"));
                                    return d.keepCellEdit(QStringLiteral("Rename"), 1, 1,
                                                          QStringLiteral("Tag1"));
                                },
                                {row(1, "Press", "V1"), row(2, "Tag2", "V2"), row(3, "Tag3", "V3")}}),
    [](const ::testing::TestParamInfo<Operation>& paramInfo) { return std::string(paramInfo.param.name); });

// A refused operation names the rule, leaves the table and makes no step.
class DocumentRefusal : public DocumentOperation
{
};

TEST_P(DocumentRefusal, LeavesTheTableAndTheHistory)
{
    const std::optional<QString> refusal = GetParam().apply(document);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(*refusal, GetParam().after.first().first());
    EXPECT_EQ(storedCells(document), before);
    EXPECT_EQ(document.history().count(), 1);
    EXPECT_FALSE(document.changed());
}

INSTANTIATE_TEST_SUITE_P(
    Each, DocumentRefusal,
    ::testing::Values(
        Operation{"AppendedNameTakenInOtherCase",
                  [](TagDocument& d) {
                      return d.appendRows(QStringLiteral("Paste"), {{"tag2", "X"}});
                  },
                  {{duplicateTagNameMessage(QStringLiteral("tag2"))}}},
        Operation{"PastedForbiddenCharacter",
                  [](TagDocument& d) { return d.setCells(QStringLiteral("Paste"), 1, 1, {{"A:B"}}); },
                  {{forbiddenCharacterMessage(QStringLiteral(":"))}}},
        Operation{"TabInAVariable",
                  [](TagDocument& d) { return d.addTags(QStringLiteral("Add"), {"V\tX"}, QString()); },
                  {{*variableTextProblem(QStringLiteral("V\tX"), QString())}}},
        Operation{"RenamedToAnotherTagsName",
                  [](TagDocument& d) {
                      d.table().setTextMatrix(1, 1, QStringLiteral("TAG3"));
                      return d.keepCellEdit(QStringLiteral("Rename"), 1, 1, QStringLiteral("Tag1"));
                  },
                  {{duplicateTagNameMessage(QStringLiteral("TAG3"))}}}),
    [](const ::testing::TestParamInfo<Operation>& paramInfo) { return std::string(paramInfo.param.name); });

TEST(DocumentChangedFlag, AChangeOutsideTheTableStaysUntilSaved)
{
    TagDocument document;
    ASSERT_FALSE(document.addTags(QStringLiteral("Add"), {"V1"}, QString()));
    document.setChanged(true);
    ASSERT_TRUE(document.undo());
    EXPECT_TRUE(document.changed());
    document.setChanged(false);
    EXPECT_FALSE(document.changed());
    ASSERT_TRUE(document.redo());
    EXPECT_TRUE(document.changed());
    document.resetHistory();
    EXPECT_TRUE(document.changed());
    EXPECT_EQ(document.history().count(), 0);
}
