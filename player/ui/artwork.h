#pragma once
// The player's pictures: SVG artwork rendered at the screen's pixel ratio, and drawing a picture
// with one key colour left out so the background shows through (the row mark and the About
// picture use navy as that colour).

#include <QColor>
#include <QImage>

// Navy, the key colour of the player's pictures.
inline const QColor ArtworkKey{0, 0, 128};

// The SVG resource drawn into an image of `size` logical pixels at `pixelRatio`; every pixel of
// the key colour becomes transparent. A resource that cannot be read gives a null image.
QImage LoadArtwork(const QString& resource, const QSize& size, qreal pixelRatio,
                   const QColor& key = ArtworkKey);

// An image with every pixel of exactly `key` made transparent.
QImage KeyedOut(const QImage& image, const QColor& key);
