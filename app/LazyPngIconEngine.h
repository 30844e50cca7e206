#pragma once

#include <QIconEngine>
#include <QMap>
#include <QPixmap>
#include <QString>

// An icon of PNG files, one per square size, decoded only when a size is first asked for.
// Decoding every size up front (as QIcon::addFile does) and probing each file's format cost
// a noticeable share of the program's start-up, for images most desktops never ask for.
class LazyPngIconEngine final : public QIconEngine
{
public:
    // The file of each size, by its edge in pixels.
    explicit LazyPngIconEngine(QMap<int, QString> files);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override { return QStringLiteral("LazyPngIconEngine"); }

private:
    // The smallest size at least as large as `wanted`, else the largest.
    int sizeFor(const QSize& wanted) const;

    QMap<int, QString> m_files;
    QMap<int, QPixmap> m_decoded;
};
