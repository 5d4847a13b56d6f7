// What a render or a printed page shows, pixel by pixel.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace kirmel::test {

// Pixels of `image` inside `rect` that are not white.
inline int Inked(const QImage& image, const QRect& rect) {
  int n = 0;
  const QRect r = rect.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (image.pixelColor(x, y) != QColor(Qt::white)) ++n;
  return n;
}

// True when some pixel of `image` is exactly `colour`.
inline bool HasColour(const QImage& image, QColor colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) return true;
  return false;
}

}  // namespace kirmel::test
