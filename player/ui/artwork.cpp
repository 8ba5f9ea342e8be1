#include "ui/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

QImage LoadArtwork(const QString& resource, const QSize& size, qreal pixelRatio,
                   const QColor& key) {
    QSvgRenderer renderer(resource);
    if (!renderer.isValid())
        return QImage();
    QImage image(size * pixelRatio, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    image = KeyedOut(image, key);
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

QImage KeyedOut(const QImage& image, const QColor& key) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb match = key.rgb();
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if (qAlpha(line[x]) == 255 && (line[x] | 0xFF000000u) == match)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return result;
}
