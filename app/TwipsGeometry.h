#pragma once

#include "app/LayoutRules.h"

class QWidget;

// Places a widget by a rectangle in twips, relative to its parent.
void setTwipsGeometry(QWidget* widget, const TwipsRect& rect);
void setTwipsGeometry(QWidget* widget, int left, int top, int width, int height);
// A widget's place and size in twips, relative to its parent.
TwipsRect twipsGeometry(const QWidget* widget);
