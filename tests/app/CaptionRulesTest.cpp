#include "app/CaptionFit.h"

#include <gtest/gtest.h>

// The caption arithmetic, with a font whose caption needs 10 pixels per point.
namespace {

struct CaptionCase
{
    int width;
    int room;
    CaptionFit expected;
};

void PrintTo(const CaptionCase& c, std::ostream* os)
{
    *os << "width " << c.width << " room " << c.room;
}

class CaptionRules : public ::testing::TestWithParam<CaptionCase>
{
};

TEST_P(CaptionRules, WidenFirstThenMakeTheFontSmaller)
{
    const auto neededAt = [](qreal pointSize) { return int(pointSize * 10); };
    EXPECT_EQ(FitCaption(GetParam().width, GetParam().room, 8.0, neededAt), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptionRules,
    ::testing::Values(CaptionCase{90, 120, {90, 8.0}}, // fits as designed
                      CaptionCase{70, 120, {80, 8.0}}, // widened as far as needed
                      CaptionCase{70, 75, {75, 7.5}},  // widened, then a smaller font
                      CaptionCase{90, 75, {90, 7.5}},  // covered by a neighbour: never narrower
                      CaptionCase{20, 30, {30, kSmallestCaptionPointSize}})); // no smaller than that

} // namespace
