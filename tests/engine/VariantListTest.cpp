#include "engine/VariantList.h"
#include "engine/EngineError.h"

#include <gtest/gtest.h>

namespace {

TEST(VariantListTest, TakesElementsFromLowerToUpperBoundWhateverTheBounds)
{
    const QStringList names{QStringLiteral("A"), QStringLiteral("B c"), QStringLiteral("D[1]")};
    for (const qint64 lower : {qint64(0), qint64(1), qint64(40000), qint64(-100000), qint64(32767)}) {
        const Variant value = Variant::textArray(names, lower);
        EXPECT_EQ(textsOf(value), names) << lower;
    }
}

TEST(VariantListTest, NumbersAndEmptyElementsHaveTexts)
{
    const Variant value = Variant::array({Variant::number(2.5), Variant(), Variant::number(-7)});
    EXPECT_EQ(textsOf(value), (QStringList{QStringLiteral("2.5"), QString(), QStringLiteral("-7")}));
}

TEST(VariantListTest, EmptyArrayGivesNoTexts)
{
    const Variant value = Variant::array({}, 5);
    ASSERT_LT(value.upperBound(), value.lowerBound());
    EXPECT_TRUE(textsOf(value).isEmpty());
    EXPECT_TRUE(textsBeforeFailure(value).isEmpty());
}

TEST(VariantListTest, ValuesThatAreNoListFail)
{
    const Variant twoDimensions =
        Variant::multiArray({Variant::text(QStringLiteral("a")), Variant::text(QStringLiteral("b"))}, 2);
    for (const Variant& value :
         {Variant(), Variant::text(QStringLiteral("a")), Variant::object(), twoDimensions}) {
        EXPECT_THROW(textsOf(value), EngineError);
        EXPECT_TRUE(textsBeforeFailure(value).isEmpty());
    }
}

TEST(VariantListTest, ElementWithoutTextFormFailsAfterTheEarlierOnes)
{
    const Variant value =
        Variant::array({Variant::text(QStringLiteral("first")), Variant::text(QStringLiteral("second")),
                        Variant::object(), Variant::text(QStringLiteral("never"))},
                       -40000);
    EXPECT_THROW(textsOf(value), EngineError);
    EXPECT_EQ(textsBeforeFailure(value), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));

    const Variant nested = Variant::array({Variant::text(QStringLiteral("x")), Variant::textArray({})});
    EXPECT_THROW(textsOf(nested), EngineError);
    EXPECT_EQ(textsBeforeFailure(nested), QStringList{QStringLiteral("x")});
}

} // namespace
