#include "app/WindowFit.h"

#include <algorithm>

QRect FitWindowRect(const QRect& outer, const QRect& available, const QSize& minimum)
{
    const int width = std::max(minimum.width(), std::min(outer.width(), available.width()));
    const int height = std::max(minimum.height(), std::min(outer.height(), available.height()));
    const int left =
        std::max(available.left(), std::min(outer.left(), available.left() + available.width() - width));
    const int top =
        std::max(available.top(), std::min(outer.top(), available.top() + available.height() - height));
    return QRect(left, top, width, height);
}
