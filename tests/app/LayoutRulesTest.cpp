#include "app/LayoutRules.h"

#include <gtest/gtest.h>

namespace {

// The designed window: client area 9510 by 6405 and the designed places.
LayoutInput designedInput(bool brakka, int clientWidth = 9510, int clientHeight = 6405)
{
    LayoutInput in;
    in.clientWidth = clientWidth;
    in.clientHeight = clientHeight;
    in.outerWidth = clientWidth + kFrameAllowanceWidth;
    in.outerHeight = clientHeight + kFrameAllowanceHeight;
    in.brakkaMode = brakka;
    in.places.fraGeneral = {150, 375, 9255, 1695};
    in.places.fraBRAKKA = {150, 2085, 9255, 795};
    in.places.fraItem = {150, 2925, 9255, 1215};
    in.places.txtOption = {6360, 480, 1455, 300};
    in.places.chkConnQUOR = {7875, 480, 1215, 300};
    in.places.cmbCtrls = {6840, 1200, 2265, 300};
    in.places.grdItems = {150, 4275, 9240, 1740};
    in.stbrMainHeight = 300;
    return in;
}

} // namespace

TEST(Layout, WorkedValuesInTheNormalRunMode)
{
    const auto out = ComputeLayout(designedInput(false));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->places.fraGeneral, (TwipsRect{150, 375, 9240, 1695}));
    EXPECT_EQ(out->places.fraBRAKKA.width, 9240);
    EXPECT_EQ(out->places.fraItem, (TwipsRect{150, 2130, 9240, 1215}));
    EXPECT_EQ(out->places.txtOption, (TwipsRect{6360, 480, 1425, 300}));
    EXPECT_EQ(out->places.chkConnQUOR, (TwipsRect{7845, 480, 1215, 300}));
    EXPECT_EQ(out->places.cmbCtrls, (TwipsRect{6840, 1200, 2280, 300}));
    EXPECT_EQ(out->places.grdItems, (TwipsRect{150, 3465, 9240, 2580}));
    EXPECT_TRUE(out->generalVisible);
    EXPECT_FALSE(out->brakkaVisible);
}

TEST(Layout, WorkedValuesInTheBrakkaRunMode)
{
    const auto out = ComputeLayout(designedInput(true));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->places.fraBRAKKA, (TwipsRect{150, 375, 9240, 795}));
    EXPECT_EQ(out->places.fraItem.top, 1230);
    EXPECT_EQ(out->places.grdItems.top, 2565);
    EXPECT_EQ(out->places.grdItems.height, 3480);
    EXPECT_FALSE(out->generalVisible);
    EXPECT_TRUE(out->brakkaVisible);
}

TEST(Layout, MinimumIsInclusiveAndSmallerWindowsAreLeftAlone)
{
    LayoutInput in = designedInput(false);
    in.outerWidth = kMinimumOuterWidth;
    in.outerHeight = kMinimumOuterHeight;
    EXPECT_TRUE(ComputeLayout(in));
    in.outerWidth = kMinimumOuterWidth - 1;
    EXPECT_FALSE(ComputeLayout(in));
    in.outerWidth = kMinimumOuterWidth;
    in.outerHeight = kMinimumOuterHeight - 1;
    EXPECT_FALSE(ComputeLayout(in));
}

TEST(Layout, ExtraWidthGoesToTheStretchingControlsAndExtraHeightToTheGrid)
{
    const auto base = ComputeLayout(designedInput(false));
    const auto wider = ComputeLayout(designedInput(false, 9510 + 1500, 6405 + 900));
    ASSERT_TRUE(base && wider);
    EXPECT_EQ(wider->places.fraGeneral.width - base->places.fraGeneral.width, 1500);
    EXPECT_EQ(wider->places.fraItem.width - base->places.fraItem.width, 1500);
    EXPECT_EQ(wider->places.grdItems.width - base->places.grdItems.width, 1500);
    EXPECT_EQ(wider->places.txtOption.width - base->places.txtOption.width, 1500);
    EXPECT_EQ(wider->places.cmbCtrls.width - base->places.cmbCtrls.width, 1500);
    EXPECT_EQ(wider->places.chkConnQUOR.left - base->places.chkConnQUOR.left, 1500);
    EXPECT_EQ(wider->places.grdItems.height - base->places.grdItems.height, 900);
    EXPECT_EQ(wider->places.fraItem.top, base->places.fraItem.top);
    EXPECT_EQ(wider->places.grdItems.top, base->places.grdItems.top);
}

TEST(Layout, TwipsConvertAtFifteenPerPixel)
{
    EXPECT_EQ(twipsToPixels(9510), 634);
    EXPECT_EQ(twipsToPixels(7), 0);
    EXPECT_EQ(twipsToPixels(8), 1);
    EXPECT_EQ(pixelsToTwips(616), 9240);
}
