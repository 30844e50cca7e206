#include "app/TwipsGeometry.h"

#include <QWidget>

void setTwipsGeometry(QWidget* widget, const TwipsRect& rect)
{
    widget->setGeometry(twipsToPixels(rect.left), twipsToPixels(rect.top), twipsToPixels(rect.width),
                        twipsToPixels(rect.height));
}

void setTwipsGeometry(QWidget* widget, int left, int top, int width, int height)
{
    setTwipsGeometry(widget, TwipsRect{left, top, width, height});
}

TwipsRect twipsGeometry(const QWidget* widget)
{
    const QRect g = widget->geometry();
    return TwipsRect{pixelsToTwips(g.x()), pixelsToTwips(g.y()), pixelsToTwips(g.width()),
                     pixelsToTwips(g.height())};
}
