#pragma once

#include "platform/Graphics.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

// The library's controls are painted on screen into an image and read back pixel by pixel.

/** The widget as it paints itself, on a background of one colour. */
inline QImage Painted(QWidget& widget, const QColor& background = Qt::white) {
  QImage image(widget.size(), QImage::Format_RGB32);
  image.fill(background);
  widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
  return image;
}

/** Pixels close to the colour (text edges are smoothed, so an exact match would miss most of them). */
inline bool Near(QRgb pixel, const QColor& colour, int tolerance = 40) {
  return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
         std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
         std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

/** The smallest rectangle holding every pixel near the colour; null when there is none. */
inline QRect ColourBounds(const QImage& image, const QColor& colour, int tolerance = 40) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (Near(image.pixel(x, y), colour, tolerance)) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}
