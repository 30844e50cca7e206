#pragma once

#include <optional>

// The main window's resize arithmetic, in twips.

constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return (twips + (twips >= 0 ? kTwipsPerPixel / 2 : -(kTwipsPerPixel / 2))) / kTwipsPerPixel;
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

// Below this outer size the window is not laid out.
constexpr int kMinimumOuterWidth = 9630;
constexpr int kMinimumOuterHeight = 7110;
// Border, caption and menu bar of the designed window: the outer size is the client size
// plus these, so the rule depends on the client area whatever the window manager draws.
constexpr int kFrameAllowanceWidth = 120;
constexpr int kFrameAllowanceHeight = 705;

struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The controls that follow the window's size.
struct LayoutPlaces
{
    TwipsRect fraGeneral;
    TwipsRect fraBRAKKA;
    TwipsRect fraItem;
    TwipsRect txtOption;
    TwipsRect chkConnQUOR;
    TwipsRect cmbCtrls;
    TwipsRect grdItems;
};

struct LayoutInput
{
    int outerWidth = 0;
    int outerHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool brakkaMode = false;
    LayoutPlaces places;
    int stbrMainHeight = 0;
};

struct LayoutResult
{
    LayoutPlaces places;
    bool generalVisible = true;
    bool brakkaVisible = false;
};

// The new places of the controls that follow the window's size, or nothing when the
// window is smaller than the minimum (both limits inclusive).
std::optional<LayoutResult> ComputeLayout(const LayoutInput& in);
