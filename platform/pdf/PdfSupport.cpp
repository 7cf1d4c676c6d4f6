#include "platform/pdf/PdfSupport.h"

#include <QBrush>
#include <QPen>
#include <QTransform>

bool PdfSupport::Brush(const QBrush& brush) {
  return brush.style() == Qt::NoBrush || brush.style() == Qt::SolidPattern;
}

bool PdfSupport::Pen(const QPen& pen) {
  return pen.style() == Qt::NoPen || pen.brush().style() == Qt::SolidPattern;
}

bool PdfSupport::Composition(QPainter::CompositionMode mode) {
  return mode == QPainter::CompositionMode_SourceOver;
}

bool PdfSupport::Transform(const QTransform& transform) { return transform.isAffine(); }

// An opaque background shows in the gaps of dashes, hatches and one-bit pictures; the program's pages are
// drawn on a transparent background.
bool PdfSupport::BackgroundMode(Qt::BGMode mode) { return mode == Qt::TransparentMode; }
