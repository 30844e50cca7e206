#include "app/LazyPngIconEngine.h"

#include <QImageReader>
#include <QPainter>

LazyPngIconEngine::LazyPngIconEngine(QMap<int, QString> files) : m_files(std::move(files)) {}

int LazyPngIconEngine::sizeFor(const QSize& wanted) const
{
    const int edge = qMax(wanted.width(), wanted.height());
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
        if (it.key() >= edge)
            return it.key();
    }
    return m_files.isEmpty() ? 0 : m_files.lastKey();
}

QPixmap LazyPngIconEngine::pixmap(const QSize& size, QIcon::Mode, QIcon::State)
{
    const int edge = sizeFor(size);
    if (edge <= 0 || size.isEmpty())
        return QPixmap();
    auto decoded = m_decoded.find(edge);
    if (decoded == m_decoded.end()) {
        // The format is named, so no image plug-in is loaded to guess it.
        QImageReader reader(m_files.value(edge), "png");
        decoded = m_decoded.insert(edge, QPixmap::fromImage(reader.read()));
    }
    if (decoded->isNull() || decoded->size() == size)
        return *decoded;
    return decoded->scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void LazyPngIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
}

QList<QSize> LazyPngIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    QList<QSize> sizes;
    for (int edge : m_files.keys())
        sizes.append(QSize(edge, edge));
    return sizes;
}

QSize LazyPngIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    const int edge = sizeFor(size);
    if (edge <= 0)
        return QSize();
    return QSize(edge, edge).scaled(size, Qt::KeepAspectRatio).boundedTo(QSize(edge, edge));
}

QIconEngine* LazyPngIconEngine::clone() const
{
    return new LazyPngIconEngine(*this);
}
