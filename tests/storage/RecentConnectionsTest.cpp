#include "storage/RecentConnections.h"
#include "storage/OptionText.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

CtrlParameterPtr record(const QString& name, const QString& option = QString())
{
    auto r = std::make_shared<clsCtrlParameter>();
    r->m_lConnectType = 1;
    r->m_strControllerName = name;
    r->m_strOptionVal = option;
    return r;
}

// The list under test.
RecentConnections recent;

QStringList names()
{
    QStringList result;
    for (qsizetype i = 1; i <= recent.Count(); ++i)
        result.append(recent.Item(i)->m_strControllerName);
    return result;
}

class Recent : public ::testing::Test
{
protected:
    void SetUp() override { recent.Clear(); }
    void TearDown() override { recent.Clear(); }
};

} // namespace

TEST_F(Recent, NewestFirstAndAtMostFive)
{
    for (const char* n : {"c1", "c2", "c3", "c4", "c5", "c6"})
        AddRecentConnection(recent, record(QString::fromLatin1(n)));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("c6"), QStringLiteral("c5"), QStringLiteral("c4"),
                                    QStringLiteral("c3"), QStringLiteral("c2")}));
}

TEST_F(Recent, SameNameInOtherCaseReplacesAndMovesToTheFront)
{
    AddRecentConnection(recent, record(QStringLiteral("PLC1"), QStringLiteral("first")));
    AddRecentConnection(recent, record(QStringLiteral("plc1"), QStringLiteral("second")));
    AddRecentConnection(recent, record(QStringLiteral("Other")));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Other"), QStringLiteral("plc1")}));
    EXPECT_EQ(recent.Item(2)->m_strOptionVal, QStringLiteral("second"));
}

TEST_F(Recent, ReplacingInAFullListKeepsTheOthers)
{
    for (const char* n : {"c1", "c2", "c3", "c4", "c5"})
        AddRecentConnection(recent, record(QString::fromLatin1(n)));
    AddRecentConnection(recent, record(QStringLiteral("C1")));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("C1"), QStringLiteral("c5"), QStringLiteral("c4"),
                                    QStringLiteral("c3"), QStringLiteral("c2")}));
}

TEST_F(Recent, KeysAreUniqueWithoutRegardToCase)
{
    EXPECT_TRUE(recent.Add(record(QStringLiteral("A"))));
    EXPECT_FALSE(recent.Add(record(QStringLiteral("a"))));
    EXPECT_EQ(recent.positionOf(QStringLiteral("a")), 1);
    EXPECT_EQ(recent.Item(0), nullptr);
    EXPECT_EQ(recent.Item(2), nullptr);
}

TEST(OptionText, GetOptionValueFindsThePieceWithoutRegardToCase)
{
    EXPECT_EQ(GetOptionValue(QStringLiteral("server=10.0.0.1,Timeout=3000"), QStringLiteral("Server=")),
              QStringLiteral("10.0.0.1"));
    EXPECT_EQ(GetOptionValue(QStringLiteral("Conn=eth:10.0.0.2,Timeout=500"), QStringLiteral("Conn=")),
              QStringLiteral("eth:10.0.0.2"));
    EXPECT_EQ(GetOptionValue(QStringLiteral("Server=a,Timeout=1"), QStringLiteral("Conn=")), QString());
    EXPECT_EQ(GetOptionValue(QString(), QStringLiteral("Conn=")), QString());
    // The key may stand anywhere in the piece; the cut counts from the piece's start.
    EXPECT_EQ(GetOptionValue(QStringLiteral(" Server=x"), QStringLiteral("Server=")), QStringLiteral("=x"));
}

TEST(OptionText, TimeoutIsTakenFromOptionsWithAComma)
{
    EXPECT_EQ(timeoutOfOption(QStringLiteral("Conn=eth:1.2.3.4,Timeout=2500")), QStringLiteral("2500"));
    EXPECT_EQ(timeoutOfOption(QStringLiteral("Timeout=1,Server=x,Timeout=2")), QStringLiteral("2"));
    EXPECT_EQ(timeoutOfOption(QStringLiteral("Timeout=9")), std::nullopt);
    EXPECT_EQ(timeoutOfOption(QStringLiteral("Server=x,timeout=5")), std::nullopt);
    EXPECT_EQ(timeoutOfOption(QString()), std::nullopt);
    EXPECT_EQ(timeoutOfOption(QStringLiteral("Server=x,Timeout=5=6")), QStringLiteral("5"));
}
