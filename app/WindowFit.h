#pragma once

#include <QRect>
#include <QSize>

// A window's outer rectangle (frame included) fitted into the available area of a screen: no
// larger than the area, never below the minimum, and moved no further than needed to lie
// inside it. When even the minimum does not fit, the top-left corner stays inside, so the
// caption and the menu remain reachable.
QRect FitWindowRect(const QRect& outer, const QRect& available, const QSize& minimum);
