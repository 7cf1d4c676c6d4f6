#include "platform/DrawingContext.h"

#include "platform/PageRecording.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {
// Plays a recorded picture so that one recorded unit becomes one logical unit of the painter, whatever the
// resolution of the painter's device (QPicture on its own scales by the ratio of the two resolutions).
void PlayPicture(QPainter& painter, const QPicture& picture) {
  // Every picture records at the same resolution; asking a loaded one makes Qt walk its whole recording.
  static const QSize pictureDpi = [] {
    const QPicture empty;
    return QSize(empty.logicalDpiX(), empty.logicalDpiY());
  }();
  const QPaintDevice* device = painter.device();
  painter.save();
  if (device != nullptr && device->logicalDpiX() > 0 && device->logicalDpiY() > 0) {
    painter.scale(static_cast<double>(pictureDpi.width()) / device->logicalDpiX(),
                  static_cast<double>(pictureDpi.height()) / device->logicalDpiY());
  }
  QPicture playable(picture);  // shares the recording; play() is not const
  playable.play(&painter);
  painter.restore();
}

// Outlines are stroked with flat caps: a stroke then ends exactly at its end point, which is what keeps the
// end pixel of a line out on every device (square caps would paint it).
QPen StrokePen(const QPen& pen) {
  QPen stroke = pen;
  stroke.setCapStyle(Qt::FlatCap);
  stroke.setJoinStyle(Qt::MiterJoin);
  return stroke;
}

void Normalize(int& left, int& top, int& right, int& bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}
}  // namespace

DrawingContext::DrawingContext(QPainter& painter)
    : painter_(painter), deviceTransform_(painter.worldTransform()) {
  state_.pen = QPen(QColor(Qt::black), 1);
  state_.brush = QBrush(Qt::white);
  state_.font = QFont(QStringLiteral("System"));
  state_.font.setPixelSize(16);
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setPen(StrokePen(state_.pen));
  painter_.setBrush(state_.brush);
  painter_.setFont(state_.font);
  painter_.setBackgroundMode(Qt::OpaqueMode);
  painter_.setBackground(QBrush(state_.backgroundColor));
}

DrawingContext::~DrawingContext() = default;

QTransform DrawingContext::MappingTransform() const {
  double scaleX = 1.0;
  double scaleY = 1.0;
  if (state_.mode != TMappingMode::Text) {
    const QSize& window = state_.windowExtent;
    const QSize& viewport = state_.viewportExtent;
    scaleX = window.width() != 0 ? static_cast<double>(viewport.width()) / window.width() : 1.0;
    scaleY = window.height() != 0 ? static_cast<double>(viewport.height()) / window.height() : 1.0;
    if (state_.mode == TMappingMode::Isotropic) {
      // Both axes take the smaller scale, each keeping its own direction.
      const double magnitude = std::min(std::fabs(scaleX), std::fabs(scaleY));
      scaleX = std::copysign(magnitude, scaleX);
      scaleY = std::copysign(magnitude, scaleY);
    }
  }
  const double dx = state_.viewportOrigin.x() - state_.windowOrigin.x() * scaleX;
  const double dy = state_.viewportOrigin.y() - state_.windowOrigin.y() * scaleY;
  return QTransform(scaleX, 0.0, 0.0, scaleY, dx, dy);
}

void DrawingContext::ApplyMapping() { painter_.setWorldTransform(MappingTransform() * deviceTransform_); }

void DrawingContext::SetMapMode(TMappingMode mode) {
  if (mode == TMappingMode::Text) {
    state_.windowExtent = QSize(1, 1);
    state_.viewportExtent = QSize(1, 1);
  }
  state_.mode = mode;
  ApplyMapping();
}

void DrawingContext::SetWindowExtent(int width, int height) {
  if (state_.mode == TMappingMode::Text || width == 0 || height == 0) return;
  state_.windowExtent = QSize(width, height);
  ApplyMapping();
}

void DrawingContext::SetViewportExtent(int width, int height) {
  if (state_.mode == TMappingMode::Text || width == 0 || height == 0) return;
  state_.viewportExtent = QSize(width, height);
  ApplyMapping();
}

void DrawingContext::SetWindowOrigin(int x, int y) {
  state_.windowOrigin = QPoint(x, y);
  ApplyMapping();
}

void DrawingContext::SetViewportOrigin(int x, int y) {
  state_.viewportOrigin = QPoint(x, y);
  ApplyMapping();
}

void DrawingContext::OffsetViewportOrigin(int dx, int dy) {
  state_.viewportOrigin += QPoint(dx, dy);
  ApplyMapping();
}

void DrawingContext::OffsetWindowOrigin(int dx, int dy) {
  state_.windowOrigin += QPoint(dx, dy);
  ApplyMapping();
}

QPointF DrawingContext::LogicalToDevice(const QPointF& point) const { return MappingTransform().map(point); }

QPointF DrawingContext::DeviceToLogical(const QPointF& point) const {
  return MappingTransform().inverted().map(point);
}

void DrawingContext::IntersectClipRect(int left, int top, int right, int bottom) {
  const QRect rect(left, top, std::max(0, right - left), std::max(0, bottom - top));
  painter_.setClipRect(rect, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void DrawingContext::SelectClipRect(int left, int top, int right, int bottom) {
  const QRect rect(left, top, std::max(0, right - left), std::max(0, bottom - top));
  painter_.setWorldTransform(deviceTransform_);
  painter_.setClipRect(rect, Qt::ReplaceClip);
  ApplyMapping();
}

void DrawingContext::RemoveClip() { painter_.setClipping(false); }

void DrawingContext::SaveState() {
  saved_.push_back(state_);
  painter_.save();
}

bool DrawingContext::RestoreState() {
  if (saved_.empty()) return false;
  painter_.restore();
  state_ = std::move(saved_.back());
  saved_.pop_back();
  metrics_.reset();
  // The painter's own restore brings back the same values; setting them again keeps the two in step even when
  // someone painted through Painter() in between.
  ApplyMapping();
  painter_.setPen(StrokePen(state_.pen));
  textPenSet_ = false;
  painter_.setBrush(state_.brush);
  painter_.setFont(state_.font);
  SetBackgroundMode(state_.backgroundMode);
  SetBackgroundColor(state_.backgroundColor);
  return true;
}

void DrawingContext::SetBackgroundMode(TBackgroundMode mode) {
  state_.backgroundMode = mode;
  painter_.setBackgroundMode(mode == TBackgroundMode::Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
}

void DrawingContext::SetBackgroundColor(const QColor& color) {
  state_.backgroundColor = color;
  painter_.setBackground(QBrush(color));
}

void DrawingContext::SelectPen(const QPen& pen) {
  state_.pen = pen;
  painter_.setPen(StrokePen(pen));
  textPenSet_ = false;
}

void DrawingContext::UseStrokePen() {
  if (!textPenSet_) return;
  painter_.setPen(StrokePen(state_.pen));
  textPenSet_ = false;
}

QPainter& DrawingContext::Painter() {
  UseStrokePen();
  return painter_;
}

void DrawingContext::SelectBrush(const QBrush& brush) {
  state_.brush = brush;
  painter_.setBrush(brush);
}

void DrawingContext::SelectFont(const QFont& font, int escapement) {
  state_.font = font;
  state_.escapement = escapement;
  painter_.setFont(font);
  metrics_.reset();
}

bool DrawingContext::PaintsPixelCells(const QPen& pen) const {
  if (pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern) return false;
  if (!pen.isCosmetic()) return pen.widthF() == 1.0;
  return painter_.worldTransform().type() <= QTransform::TxTranslate;
}

void DrawingContext::LineTo(int x, int y) {
  const QPoint from = state_.position;
  const QPoint to(x, y);
  state_.position = to;
  if (from == to || state_.pen.style() == Qt::NoPen) return;
  if (PaintsPixelCells(state_.pen) && (from.x() == to.x() || from.y() == to.y())) {
    // A straight line of whole pixel cells, the end cell left out; exact on raster and vector devices alike.
    QRectF cells;
    if (from.y() == to.y()) {
      const int left = from.x() < to.x() ? from.x() : to.x() + 1;
      cells = QRectF(left, from.y(), std::abs(to.x() - from.x()), 1);
    } else {
      const int top = from.y() < to.y() ? from.y() : to.y() + 1;
      cells = QRectF(from.x(), top, 1, std::abs(to.y() - from.y()));
    }
    painter_.fillRect(cells, state_.pen.brush());
    return;
  }
  UseStrokePen();
  painter_.drawLine(from, to);
}

void DrawingContext::Rectangle(int left, int top, int right, int bottom) {
  Normalize(left, top, right, bottom);
  const int width = right - left;
  const int height = bottom - top;
  if (width <= 0 || height <= 0) return;
  if (state_.pen.style() == Qt::NoPen) {
    // Without an outline the figure is one pixel smaller on the right and at the bottom.
    if (width > 1 && height > 1) painter_.fillRect(QRectF(left, top, width - 1, height - 1), state_.brush);
    return;
  }
  if (PaintsPixelCells(state_.pen)) {
    if (width > 2 && height > 2)
      painter_.fillRect(QRectF(left + 1, top + 1, width - 2, height - 2), state_.brush);
    const QBrush edge = state_.pen.brush();
    painter_.fillRect(QRectF(left, top, width, 1), edge);
    if (height > 1) painter_.fillRect(QRectF(left, bottom - 1, width, 1), edge);
    if (height > 2) {
      painter_.fillRect(QRectF(left, top + 1, 1, height - 2), edge);
      if (width > 1) painter_.fillRect(QRectF(right - 1, top + 1, 1, height - 2), edge);
    }
    return;
  }
  UseStrokePen();
  painter_.drawRect(QRectF(left, top, width - 1, height - 1));
}

void DrawingContext::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  Normalize(left, top, right, bottom);
  if (right - left <= 0 || bottom - top <= 0) return;
  const QRectF shape = CurveFrame(left, top, right, bottom);
  const double radiusX = std::min(std::abs(cornerWidth) / 2.0, shape.width() / 2.0);
  const double radiusY = std::min(std::abs(cornerHeight) / 2.0, shape.height() / 2.0);
  DrawInside(left, top, right, bottom, [&] {
    UseStrokePen();
    painter_.drawRoundedRect(shape, radiusX, radiusY, Qt::AbsoluteSize);
  });
}

void DrawingContext::Ellipse(int left, int top, int right, int bottom) {
  Normalize(left, top, right, bottom);
  if (right - left <= 0 || bottom - top <= 0) return;
  const QRectF shape = CurveFrame(left, top, right, bottom);
  DrawInside(left, top, right, bottom, [&] {
    UseStrokePen();
    painter_.drawEllipse(shape);
  });
}

QRectF DrawingContext::CurveFrame(int left, int top, int right, int bottom) {
  // Measured on Qt's aliased rasterizer: a frame half a pixel inside right and bottom puts the outline's
  // outermost pixels on left..right-1 and top..bottom-1 for nearly every size; the clip takes care of the
  // rest.
  return QRectF(left, top, right - left - 0.5, bottom - top - 0.5);
}

template <typename Draw>
void DrawingContext::DrawInside(int left, int top, int right, int bottom, Draw draw) {
  painter_.save();
  painter_.setClipRect(QRect(left, top, right - left, bottom - top),
                       painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  draw();
  painter_.restore();
}

void DrawingContext::FillRect(int left, int top, int right, int bottom, const QBrush& brush) {
  if (right <= left || bottom <= top || brush.style() == Qt::NoBrush) return;
  painter_.fillRect(QRectF(left, top, right - left, bottom - top), brush);
}

const QFontMetrics& DrawingContext::Metrics() const {
  if (!metrics_) metrics_.emplace(state_.font, painter_.device());
  return *metrics_;
}

int DrawingContext::TextWidth(const QString& text) const { return Metrics().horizontalAdvance(text); }

int DrawingContext::TextHeight() const { return Metrics().ascent() + Metrics().descent(); }

void DrawingContext::TextOut(int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  const QFontMetrics& metrics = Metrics();
  const bool opaque = state_.backgroundMode == TBackgroundMode::Opaque;
  // Left-aligned transparent text, the common case, needs no measuring.
  const int width = opaque || state_.textAlign != TTextAlign::Left ? metrics.horizontalAdvance(text) : 0;
  int left = 0;
  switch (state_.textAlign) {
    case TTextAlign::Left: left = 0; break;
    case TTextAlign::Right: left = -width; break;
    case TTextAlign::Center: left = -(width / 2); break;
  }
  const bool turned = state_.escapement % 3600 != 0;
  QPointF origin(x + left, y);
  if (turned) {
    painter_.save();
    painter_.translate(x, y);
    painter_.rotate(-state_.escapement / 10.0);
    origin = QPointF(left, 0);
  }
  if (opaque) {
    painter_.fillRect(QRectF(origin.x(), origin.y(), width, metrics.ascent() + metrics.descent()),
                      state_.backgroundColor);
  }
  // The text's pen stays until a line is drawn: a page of text then changes pens once, not twice a text,
  // and each change costs the printer's document its own graphics state.
  const bool textPenWasSet = textPenSet_;
  painter_.setPen(QPen(state_.textColor));
  textPenSet_ = true;
  const QPointF baselineStart(origin.x(), origin.y() + metrics.ascent());
  if (text.contains(PageCountMark)) {
    DrawPageCountText(turned ? QPointF(0, metrics.ascent()) : QPointF(x, y + metrics.ascent()), text);
  } else if (!RecordText(painter_, baselineStart, text)) {
    painter_.drawText(baselineStart, text);
  }
  if (turned) {
    painter_.restore();
    textPenSet_ = textPenWasSet;
  }
}

void DrawingContext::OutlineEntry(int x, int y, int level, const QString& title) {
  RecordOutlineEntry(painter_, QPointF(x, y), level, title);
}

void DrawingContext::Link(const QRect& area, const QString& target) { RecordLink(painter_, area, target); }

void DrawingContext::DrawPageCountText(const QPointF& anchor, const QString& text) {
  const Qt::Alignment alignment = state_.textAlign == TTextAlign::Right    ? Qt::AlignRight
                                  : state_.textAlign == TTextAlign::Center ? Qt::AlignHCenter
                                                                           : Qt::AlignLeft;
  if (RecordPageCountText(painter_, anchor, alignment, text)) return;
  // Drawn anywhere but on a recorded page, there is no document to count.
  QString shown = text;
  shown.remove(PageCountMark);
  const double width = Metrics().horizontalAdvance(shown);
  const double left = alignment == Qt::AlignRight ? width : alignment == Qt::AlignHCenter ? width / 2 : 0;
  painter_.drawText(anchor - QPointF(left, 0), shown);
}

void DrawingContext::StretchDraw(int x, int y, int width, int height, const QImage& image) {
  if (image.isNull() || width == 0 || height == 0) return;
  const QRectF target(width > 0 ? x : x + width, height > 0 ? y : y + height, std::abs(width),
                      std::abs(height));
  if (width < 0 || height < 0) {
    painter_.drawImage(target, image.mirrored(width < 0, height < 0));
  } else {
    painter_.drawImage(target, image);
  }
}

void DrawingContext::DrawPicture(const QPicture& picture, int left, int top, int right, int bottom) {
  const QRect frame = picture.boundingRect();
  if (frame.isEmpty() || right == left || bottom == top) return;
  painter_.save();
  painter_.translate(left, top);
  painter_.scale(static_cast<double>(right - left) / frame.width(),
                 static_cast<double>(bottom - top) / frame.height());
  painter_.translate(-frame.left(), -frame.top());
  PlayPicture(painter_, picture);
  painter_.restore();
}
