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
    in.fraGeneral = {150, 375, 9255, 1695};
    in.fraBRAKKA = {150, 2085, 9255, 795};
    in.fraItem = {150, 2925, 9255, 1215};
    in.txtOption = {6360, 480, 1455, 300};
    in.chkConnQUOR = {7875, 480, 1215, 300};
    in.cmbCtrls = {6840, 1200, 2265, 300};
    in.grdItems = {150, 4275, 9240, 1740};
    in.stbrMainHeight = 300;
    return in;
}

} // namespace

TEST(Layout, WorkedValuesInTheNormalRunMode)
{
    const auto out = ComputeLayout(designedInput(false));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->fraGeneral, (TwipsRect{150, 375, 9240, 1695}));
    EXPECT_EQ(out->fraBRAKKA.width, 9240);
    EXPECT_EQ(out->fraItem, (TwipsRect{150, 2130, 9240, 1215}));
    EXPECT_EQ(out->txtOption, (TwipsRect{6360, 480, 1425, 300}));
    EXPECT_EQ(out->chkConnQUOR, (TwipsRect{7845, 480, 1215, 300}));
    EXPECT_EQ(out->cmbCtrls, (TwipsRect{6840, 1200, 2280, 300}));
    EXPECT_EQ(out->grdItems, (TwipsRect{150, 3465, 9240, 2580}));
    EXPECT_TRUE(out->generalVisible);
    EXPECT_FALSE(out->brakkaVisible);
}

TEST(Layout, WorkedValuesInTheBrakkaRunMode)
{
    const auto out = ComputeLayout(designedInput(true));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->fraBRAKKA, (TwipsRect{150, 375, 9240, 795}));
    EXPECT_EQ(out->fraItem.top, 1230);
    EXPECT_EQ(out->grdItems.top, 2565);
    EXPECT_EQ(out->grdItems.height, 3480);
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
    EXPECT_EQ(wider->fraGeneral.width - base->fraGeneral.width, 1500);
    EXPECT_EQ(wider->fraItem.width - base->fraItem.width, 1500);
    EXPECT_EQ(wider->grdItems.width - base->grdItems.width, 1500);
    EXPECT_EQ(wider->txtOption.width - base->txtOption.width, 1500);
    EXPECT_EQ(wider->cmbCtrls.width - base->cmbCtrls.width, 1500);
    EXPECT_EQ(wider->chkConnQUOR.left - base->chkConnQUOR.left, 1500);
    EXPECT_EQ(wider->grdItems.height - base->grdItems.height, 900);
    EXPECT_EQ(wider->fraItem.top, base->fraItem.top);
    EXPECT_EQ(wider->grdItems.top, base->grdItems.top);
}

TEST(Layout, TwipsConvertAtFifteenPerPixel)
{
    EXPECT_EQ(twipsToPixels(9510), 634);
    EXPECT_EQ(twipsToPixels(7), 0);
    EXPECT_EQ(twipsToPixels(8), 1);
    EXPECT_EQ(pixelsToTwips(616), 9240);
}
