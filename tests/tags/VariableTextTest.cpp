#include "tests/tags/TagTableFixture.h"

namespace {

struct HostileVariable
{
    const char* name;
    QString variable;
    QString option;
    QString message;
};

void PrintTo(const HostileVariable& param, std::ostream* out)
{
    *out << param.name;
}

const HostileVariable kVariables[] = {
    {"LineBreakInTheName", QStringLiteral("Line\nBreak"), QString(),
     QStringLiteral("The variable name cannot be added: it holds a line break, which a tag cannot keep.")},
    {"NulInTheName", QStringLiteral("Nul") + QChar(u'\0'), QString(),
     QStringLiteral("The variable name cannot be added: it holds a NUL character, which a tag cannot keep.")},
    {"TabInTheName", QStringLiteral("Tab\tName"), QString(),
     QStringLiteral("The variable name cannot be added: it holds a tab character, which a tag cannot keep.")},
    {"TabInTheOption", QStringLiteral("I1"), QStringLiteral("Scale\t2"),
     QStringLiteral(
         "The variable option cannot be added: it holds a tab character, which a tag cannot keep.")},
};

class VariableText : public TagTableFixture, public ::testing::WithParamInterface<HostileVariable>
{
};

// Text that would break the row or the saved file is refused where it enters the table.
TEST_P(VariableText, IsRefusedAtAddWithTheReason)
{
    openWindow();
    add(GetParam().variable, GetParam().option);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, GetParam().message);
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_FALSE(window->changed());
}

INSTANTIATE_TEST_SUITE_P(Hostile, VariableText, ::testing::ValuesIn(kVariables),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

// Adding many at once leaves out the names a tag cannot keep, and says so.
TEST_F(VariableText, MultiAddLeavesOutWhatATagCannotKeepAndSaysSo)
{
    openWindow();
    window->AddVariables({QStringLiteral("I1"), QStringLiteral("Line\nBreak"), QStringLiteral("I2")},
                         QString());
    EXPECT_EQ(dialogs.texts(), QStringList{kVariables[0].message});
    ASSERT_EQ(grid().Rows(), 3);
    EXPECT_EQ((QStringList{grid().TextMatrix(1, 2), grid().TextMatrix(2, 2)}),
              (QStringList{QStringLiteral("I1"), QStringLiteral("I2")}));
}

} // namespace
