#pragma once

#include <QtGlobal>
#include <functional>

// How a caption is made to show whole without moving its control: the control is widened into
// the free room beside it, and only when that is not enough its font is made smaller.
struct CaptionFit
{
    int width = 0;
    qreal pointSize = 0;
    bool operator==(const CaptionFit&) const = default;
};

// The smallest size a caption's font is taken down to.
constexpr qreal kSmallestCaptionPointSize = 5.0;

// `width` is the control's width, `room` how far it may reach before another control covers it
// (both in pixels); `neededAt` gives the width the caption needs at a font size.
CaptionFit FitCaption(int width, int room, qreal pointSize, const std::function<int(qreal)>& neededAt);
