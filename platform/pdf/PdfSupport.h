#pragma once

// Which pages the program's own PDF writer can draw; a document with a page it cannot goes through Qt's.

#include <QPainter>

class QBrush;
class QPen;
class QTransform;

/**
 * What the program's own PDF writer draws. A page recorded with anything else (a gradient pen, a
 * composition mode PDF lacks, a perspective) is told when it is recorded, and a document of such pages goes
 * through Qt's writer: nothing the writer cannot draw is ever drawn wrong.
 */
namespace PdfSupport {
bool Pen(const QPen& pen);
bool Brush(const QBrush& brush);
bool Composition(QPainter::CompositionMode mode);
bool Transform(const QTransform& transform);
bool BackgroundMode(Qt::BGMode mode);
}  // namespace PdfSupport
