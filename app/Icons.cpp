#include "app/Icons.h"

#include "app/LazyPngIconEngine.h"

#include <QPainter>
#include <QPixmap>

namespace {

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

// A green check mark.
QPixmap drawTaggedMark(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(0x1e, 0x8c, 0x3c), qMax(1.5, s / 7), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(
        QPolygonF({QPointF(s * 0.18, s * 0.55), QPointF(s * 0.42, s * 0.78), QPointF(s * 0.84, s * 0.24)}));
    return pixmap;
}

} // namespace

// The icon's resource lives in a static library, so it is registered by hand (outside any
// namespace, where the registration function is defined).
static void registerWindowIconResource()
{
    Q_INIT_RESOURCE(quor_window_icon);
}

namespace Icons {

QIcon windowIcon()
{
    // The program's icon, rendered from its SVG by the build: a tag over a tag table.
    registerWindowIconResource();
    QMap<int, QString> files;
    for (int size : {256, 48, 32, 24, 16})
        files.insert(size, QStringLiteral(":/icons/%1/org.quortageditor.QuorTagEditor.png").arg(size));
    return QIcon(new LazyPngIconEngine(std::move(files)));
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
