#include "app/LayoutRules.h"

namespace {
constexpr int kRightMargin = 120;
constexpr int kOptionFieldMargin = 240;
constexpr int kGap = 60;
constexpr int kGridGap = 120;
} // namespace

std::optional<LayoutResult> ComputeLayout(const LayoutInput& in)
{
    if (in.outerWidth < kMinimumOuterWidth || in.outerHeight < kMinimumOuterHeight)
        return std::nullopt;

    LayoutResult result;
    result.places = in.places;
    LayoutPlaces& out = result.places;
    const LayoutPlaces& was = in.places;

    out.fraGeneral.width = in.clientWidth - was.fraGeneral.left - kRightMargin;
    out.txtOption.width =
        out.fraGeneral.width - was.txtOption.left - was.chkConnQUOR.width - kOptionFieldMargin;
    // The Connect button stays just right of the widened option field.
    out.chkConnQUOR.left = was.txtOption.left + out.txtOption.width + kGap;
    out.cmbCtrls.width = out.fraGeneral.width - was.cmbCtrls.left - kRightMargin;
    // Both connection frames take the same place; the run mode shows one of them.
    out.fraBRAKKA.top = was.fraGeneral.top;
    out.fraBRAKKA.width = out.fraGeneral.width;
    out.fraItem.width = out.fraGeneral.width;
    out.grdItems.width = out.fraGeneral.width;

    const TwipsRect& upper = in.brakkaMode ? out.fraBRAKKA : out.fraGeneral;
    result.generalVisible = !in.brakkaMode;
    result.brakkaVisible = in.brakkaMode;
    out.fraItem.top = upper.top + upper.height + kGap;
    out.grdItems.top = out.fraItem.top + out.fraItem.height + kGridGap;
    out.grdItems.height = in.clientHeight - out.grdItems.top - in.stbrMainHeight - kGap;
    return result;
}
