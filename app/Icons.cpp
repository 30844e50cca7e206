#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A transparent square of `size` pixels with what `draw` paints on it, antialiased;
// `draw` is given the painter and the size.
template <typename Draw>
QPixmap drawn(int size, Draw draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, qreal(size));
    return pixmap;
}

// A tag: a rounded label with a punched hole, on a controller-blue square.
QPixmap drawWindowIcon(int size)
{
    return drawn(size, [](QPainter& p, qreal s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x4e, 0x8c));
        p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.15, s * 0.15);

        QPainterPath tag;
        tag.moveTo(s * 0.22, s * 0.30);
        tag.lineTo(s * 0.62, s * 0.30);
        tag.lineTo(s * 0.84, s * 0.50);
        tag.lineTo(s * 0.62, s * 0.70);
        tag.lineTo(s * 0.22, s * 0.70);
        tag.closeSubpath();
        p.setBrush(QColor(0xf2, 0xc1, 0x2e));
        p.drawPath(tag);
        p.setBrush(QColor(0x1f, 0x4e, 0x8c));
        p.drawEllipse(QPointF(s * 0.64, s * 0.50), s * 0.06, s * 0.06);
        p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), qMax(1.0, s / 16)));
        p.drawLine(QPointF(s * 0.30, s * 0.45), QPointF(s * 0.52, s * 0.45));
        p.drawLine(QPointF(s * 0.30, s * 0.56), QPointF(s * 0.46, s * 0.56));
    });
}

QPixmap drawOpenImage()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // An open folder.
    p.setPen(QColor(0x80, 0x60, 0x00));
    p.setBrush(QColor(0xf0, 0xd0, 0x60));
    p.drawPolygon(
        QPolygon({QPoint(1, 3), QPoint(6, 3), QPoint(7, 5), QPoint(13, 5), QPoint(13, 13), QPoint(1, 13)}));
    p.setBrush(QColor(0xfa, 0xe8, 0x90));
    p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
    return pixmap;
}

QPixmap drawSaveImage()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // A diskette.
    p.setPen(QColor(0x10, 0x20, 0x50));
    p.setBrush(QColor(0x30, 0x50, 0xa0));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(0xc0, 0xc0, 0xc0));
    p.drawRect(3, 9, 9, 5);
    return pixmap;
}

QPixmap drawTaggedMark(int size)
{
    return drawn(size, [](QPainter& p, qreal s) {
        p.setPen(
            QPen(QColor(0x1e, 0x8c, 0x3c), qMax(1.5, s / 7), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF(
            {QPointF(s * 0.18, s * 0.55), QPointF(s * 0.42, s * 0.78), QPointF(s * 0.84, s * 0.24)}));
    });
}

} // namespace

namespace Icons {

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {48, 32, 24, 16})
        icon.addPixmap(drawWindowIcon(size));
    return icon;
}

QIcon openImage()
{
    return QIcon(drawOpenImage());
}

QIcon saveImage()
{
    return QIcon(drawSaveImage());
}

QIcon taggedMark()
{
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(drawTaggedMark(size));
    return icon;
}

} // namespace Icons
