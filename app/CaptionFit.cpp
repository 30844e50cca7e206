#include "app/CaptionFit.h"

#include <algorithm>

CaptionFit FitCaption(int width, int room, qreal pointSize, const std::function<int(qreal)>& neededAt)
{
    constexpr qreal kStep = 0.5;
    qreal size = pointSize;
    int needed = neededAt(size);
    while (needed > room && size - kStep >= kSmallestCaptionPointSize) {
        size -= kStep;
        needed = neededAt(size);
    }
    // Widened only as far as the caption needs and the room allows; never made narrower.
    return CaptionFit{std::max(width, std::min(needed, room)), size};
}
