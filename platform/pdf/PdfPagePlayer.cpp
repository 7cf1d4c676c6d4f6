#include "platform/pdf/PdfPagePlayer.h"

#include "platform/ShapedTexts.h"
#include "platform/pdf/PdfFile.h"
#include "platform/pdf/PdfFonts.h"
#include "platform/pdf/PdfSupport.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPicture>
#include <QRawFont>
#include <algorithm>
#include <cmath>

namespace {
// How far, in device pixels, a glyph may stand from where Qt placed it: a twentieth of a pixel, far below
// what any printer or screen shows.
constexpr double DriftAllowed = 0.05;

// More than any page's device pixels: a clip around it clips nothing.
const QRectF EverythingDrawn(0, 0, 30000, 30000);

// A tiled picture is drawn as one picture of its target's size, up to this many pixels; a larger one is left
// to Qt's writer.
constexpr qint64 MostTiledPixels = 16 * 1024 * 1024;

void Append(QByteArray& out, double value) {
  Pdf::AppendNumber(out, value);
  out.append(' ');
}

void AppendColour(QByteArray& out, const QColor& colour, const char* op) {
  Append(out, colour.redF());
  Append(out, colour.greenF());
  Append(out, colour.blueF());
  out.append(op);
  out.append('\n');
}

// The matrix that maps a rectangle's unit square, its top row at 1 as in an image's space, onto the target
// in device pixels.
QTransform UnitSquareOnto(const QRectF& target, const QTransform& transform) {
  return QTransform(target.width(), 0, 0, -target.height(), target.left(), target.top() + target.height()) *
         transform;
}

void AppendMatrix(QByteArray& out, const QTransform& matrix, const char* op) {
  for (const double value :
       {matrix.m11(), matrix.m12(), matrix.m21(), matrix.m22(), matrix.dx(), matrix.dy()})
    Append(out, value);
  out.append(op);
  out.append('\n');
}

// A glyph's number as a string of a text's show operator: "<002A>".
void AppendGlyph(QByteArray& out, quint32 glyph) {
  static const char digits[] = "0123456789ABCDEF";
  const char hex[6] = {'<',
                       digits[(glyph >> 12) & 0xF],
                       digits[(glyph >> 8) & 0xF],
                       digits[(glyph >> 4) & 0xF],
                       digits[glyph & 0xF],
                       '>'};
  out.append(hex, 6);
}
// The rectangle a figure of a path is, when it is one with upright edges: a move and four lines back to its
// start, or three lines and a close.
bool UprightRectangle(const QPainterPath& path, int first, int count, QRectF& rect) {
  if (count != 5 && count != 4) return false;
  QPointF corners[5];
  for (int index = 0; index < count; ++index) {
    const QPainterPath::Element& element = path.elementAt(first + index);
    if ((index == 0) != (element.type == QPainterPath::MoveToElement)) return false;
    if (index > 0 && element.type != QPainterPath::LineToElement) return false;
    corners[index] = element;
  }
  if (count == 5 && corners[4] != corners[0]) return false;
  for (int index = 0; index < 4; ++index) {
    const QPointF& from = corners[index];
    const QPointF& to = corners[(index + 1) % 4];
    if (from.x() != to.x() && from.y() != to.y()) return false;
  }
  rect = QRectF(corners[0], corners[2]).normalized();
  // Two corners across from each other, each edge upright: a rectangle unless it folds onto a line.
  return corners[1] != corners[0] && corners[1] != corners[2];
}

}  // namespace

TPdfPagePlayer::TPdfPagePlayer(TPdfResources& resources, QByteArray& content,
                               const QPaintDevice* layoutDevice)
    : resources_(resources), out_(content), layoutDevice_(layoutDevice), fonts_(layoutDevice) {}

TPdfPagePlayer::~TPdfPagePlayer() = default;

void TPdfPagePlayer::Finish() {
  CloseMarked();
  while (!marks_.empty()) {
    if (marks_.back().Structure && !marks_.back().Artifact) resources_.EndStructure();
    marks_.pop_back();
  }
  if (groupOpen_) out_.append("Q\n");
  groupOpen_ = false;
}

void TPdfPagePlayer::DefineFont(const QFont& recorded, double ascent) { fonts_.Define(recorded, ascent); }

void TPdfPagePlayer::DefineImage(TRecordedImageKind kind, const QImage& image) {
  images_.push_back({kind, image});
}

void TPdfPagePlayer::SetPen(const QPen& pen) {
  if (!PdfSupport::Pen(pen)) Stop();
  pen_ = pen;
}

void TPdfPagePlayer::SetBrush(const QBrush& brush) {
  if (!PdfSupport::Brush(brush)) Stop();
  brush_ = brush;
}

void TPdfPagePlayer::SetBackgroundMode(Qt::BGMode mode) {
  if (!PdfSupport::BackgroundMode(mode)) Stop();
  backgroundMode_ = mode;
}

void TPdfPagePlayer::SetTransform(const QTransform& transform) {
  if (!PdfSupport::Transform(transform)) Stop();
  transform_ = transform;
}

void TPdfPagePlayer::SetComposition(QPainter::CompositionMode mode) {
  if (!PdfSupport::Composition(mode)) Stop();
}

void TPdfPagePlayer::SetClipping(bool enabled) {
  clipEnabled_ = enabled;
  clipChanged_ = true;
}

void TPdfPagePlayer::SetClipRegion(const QRegion& region, Qt::ClipOperation operation) {
  QPainterPath path;
  for (const QRect& rect : region) path.addRect(rect);
  SetClipPath(path, operation);
}

void TPdfPagePlayer::SetClipPath(const QPainterPath& path, Qt::ClipOperation operation) {
  clipChanged_ = true;
  if (operation == Qt::NoClip) {
    clip_.clear();
    clipEnabled_ = false;
    return;
  }
  // The clip is in the units of the transform it was set under.
  if (operation == Qt::ReplaceClip) clip_.clear();
  clip_.push_back({transform_.map(path)});
  clipEnabled_ = true;
}

void TPdfPagePlayer::BeginStructure(const TStructureMark& mark) {
  if (!resources_.Tagged()) return;
  // Inside an artifact nothing is content: the element goes on as part of the artifact, and so does its end.
  const auto artifact =
      std::find_if(marks_.rbegin(), marks_.rend(), [](const Mark& open) { return open.Artifact; });
  if (artifact != marks_.rend()) {
    marks_.push_back({artifact->Serial, true, artifact->Kind, QByteArray(), true});
    return;
  }
  resources_.BeginStructure(mark);
  marks_.push_back({++markSerial_, false, TArtifactKind::Layout, Pdf::RoleName(mark.Role), true});
}

void TPdfPagePlayer::EndStructure() {
  if (!resources_.Tagged() || marks_.empty() || !marks_.back().Structure) return;
  if (!marks_.back().Artifact) resources_.EndStructure();
  marks_.pop_back();
}

void TPdfPagePlayer::BeginArtifact(TArtifactKind kind) {
  if (resources_.Tagged()) marks_.push_back({++markSerial_, true, kind, QByteArray(), false});
}

void TPdfPagePlayer::EndArtifact() {
  if (resources_.Tagged() && !marks_.empty() && marks_.back().Artifact && !marks_.back().Structure)
    marks_.pop_back();
}

void TPdfPagePlayer::EnsureMarked() {
  if (!resources_.Tagged()) return;
  const int wanted = marks_.empty() ? 0 : marks_.back().Serial;
  if (markedOpen_ == wanted) return;
  CloseMarked();
  markedOpen_ = wanted;
  if (marks_.empty()) {
    out_.append("/Artifact BMC\n");
  } else if (marks_.back().Artifact) {
    out_.append(marks_.back().Kind == TArtifactKind::Pagination ? "/Artifact << /Type /Pagination >> BDC\n"
                                                                : "/Artifact << /Type /Layout >> BDC\n");
  } else {
    out_.append(marks_.back().Role + " << /MCID ");
    Pdf::AppendInteger(out_, resources_.MarkedContent());
    out_.append(" >> BDC\n");
  }
}

void TPdfPagePlayer::CloseMarked() {
  if (markedOpen_ < 0) return;
  out_.append("EMC\n");
  markedOpen_ = -1;
}

void TPdfPagePlayer::WriteClip() {
  // Marked content nests within the clip's group, never across its end.
  CloseMarked();
  if (groupOpen_) out_.append("Q\n");
  out_.append("q\n");
  groupOpen_ = true;
  fillKnown_ = strokeKnown_ = false;
  lineStyleWritten_.clear();
  alphaWritten_.clear();
  clipChanged_ = false;
  if (!clipEnabled_) return;
  for (const ClipPiece& piece : clip_) {
    // A clip around all there is to draw (the device's "whole page" rectangle) clips nothing.
    QRectF all;
    if (UprightRectangle(piece.Path, 0, piece.Path.elementCount(), all) && all.contains(EverythingDrawn))
      continue;
    if (piece.Path.isEmpty()) {
      out_.append("0 0 0 0 re W n\n");
      continue;
    }
    AppendPath(piece.Path);
    out_.append(piece.Path.fillRule() == Qt::OddEvenFill ? "W* n\n" : "W n\n");
  }
}

void TPdfPagePlayer::AlphaFor(double fill, double stroke) {
  fill = std::clamp(fill, 0.0, 1.0);
  stroke = std::clamp(stroke, 0.0, 1.0);
  QByteArray name;
  if (fill < 1.0 || stroke < 1.0 || !alphaWritten_.isEmpty()) name = resources_.Alpha(fill, stroke);
  if (name == alphaWritten_) return;
  out_.append(name + " gs\n");
  alphaWritten_ = name;
}

void TPdfPagePlayer::FillColour(const QColor& colour) {
  const QRgb rgb = colour.rgb();
  if (fillKnown_ && fillWritten_ == rgb) return;
  AppendColour(out_, colour, "rg");
  fillWritten_ = rgb;
  fillKnown_ = true;
}

double TPdfPagePlayer::DeviceWidth() const {
  const double width = pen_.widthF();
  // A cosmetic pen is as wide on the device whatever the transform; a pen of no width is one pixel.
  if (pen_.isCosmetic() || width <= 0) return width > 0 ? width : 1.0;
  const QTransform& t = transform_;
  const double across = std::hypot(t.m11(), t.m12());
  const double down = std::hypot(t.m21(), t.m22());
  const bool even = std::abs(across - down) < 1e-6 * std::max(across, down) &&
                    std::abs(t.m11() * t.m21() + t.m12() * t.m22()) < 1e-9 * across * down;
  return even ? width * across : -1.0;
}

void TPdfPagePlayer::StrokeStyle() {
  const QColor colour = pen_.color();
  if (!strokeKnown_ || strokeWritten_ != colour.rgb()) {
    AppendColour(out_, colour, "RG");
    strokeWritten_ = colour.rgb();
    strokeKnown_ = true;
  }
  double width = DeviceWidth();
  if (width < 0) width = pen_.widthF();  // stroked under the transform itself
  QByteArray style;
  Append(style, width);
  style.append("w ");
  const Qt::PenCapStyle cap = pen_.capStyle();
  style.append(cap == Qt::RoundCap ? "1 J " : cap == Qt::SquareCap ? "2 J " : "0 J ");
  const Qt::PenJoinStyle join = pen_.joinStyle();
  style.append(join == Qt::RoundJoin ? "1 j " : join == Qt::BevelJoin ? "2 j " : "0 j ");
  Append(style, std::max(1.0, pen_.miterLimit()));
  style.append("M ");
  if (pen_.style() == Qt::SolidLine) {
    style.append("[] 0 d\n");
  } else {
    // Dashes are in pen widths, and a pen of less than a pixel dashes as one of a pixel.
    const double unit = std::max(width, 1.0);
    style.append('[');
    for (const qreal dash : pen_.dashPattern()) Append(style, dash * unit);
    style.append("] ");
    Append(style, pen_.dashOffset() * unit);
    style.append("d\n");
  }
  if (style == lineStyleWritten_) return;
  out_.append(style);
  lineStyleWritten_ = style;
}

void TPdfPagePlayer::Prepare(bool fill, bool stroke) {
  if (clipChanged_ || !groupOpen_) WriteClip();
  EnsureMarked();
  const double fillAlpha = fill ? brush_.color().alphaF() * opacity_ : 1.0;
  const double strokeAlpha = stroke ? pen_.color().alphaF() * opacity_ : 1.0;
  AlphaFor(fillAlpha, strokeAlpha);
  if (fill) FillColour(brush_.color());
  if (stroke) StrokeStyle();
}

void TPdfPagePlayer::AppendPoint(const QPointF& point) {
  Append(out_, point.x());
  Append(out_, point.y());
}

void TPdfPagePlayer::AppendPath(const QPainterPath& path) {
  const int elements = path.elementCount();
  for (int index = 0; index < elements;) {
    // A figure runs from its move to the next move.
    int end = index + 1;
    while (end < elements && path.elementAt(end).type != QPainterPath::MoveToElement) ++end;
    QRectF rect;
    if (UprightRectangle(path, index, end - index, rect)) {
      // As a rectangle: shorter, and a viewer snaps it to its pixels as it does Qt's writer's.
      AppendPoint(rect.topLeft());
      Append(out_, rect.width());
      Append(out_, rect.height());
      out_.append("re\n");
      index = end;
      continue;
    }
    for (; index < end; ++index) {
      const QPainterPath::Element& element = path.elementAt(index);
      switch (element.type) {
        case QPainterPath::MoveToElement:
          AppendPoint(element);
          out_.append("m\n");
          break;
        case QPainterPath::LineToElement:
          AppendPoint(element);
          out_.append("l\n");
          break;
        case QPainterPath::CurveToElement:
          if (index + 2 < end) {
            AppendPoint(element);
            AppendPoint(path.elementAt(index + 1));
            AppendPoint(path.elementAt(index + 2));
            out_.append("c\n");
            index += 2;
          }
          break;
        case QPainterPath::CurveToDataElement: break;
      }
    }
  }
}

void TPdfPagePlayer::Operator(const char* fillOnly, const char* strokeOnly, const char* both, bool fill,
                              bool stroke) {
  out_.append(fill && stroke ? both : fill ? fillOnly : strokeOnly);
  out_.append('\n');
}

void TPdfPagePlayer::PaintShape(const QPainterPath& logical, bool closed) {
  const bool fill = closed && Fills();
  const bool stroke = Strokes();
  if (!fill && !stroke) return;
  if (stroke && pen_.style() != Qt::SolidLine && !PdfSupport::BackgroundMode(backgroundMode_)) return Stop();
  Prepare(fill, stroke);
  const bool oddEven = logical.fillRule() == Qt::OddEvenFill;
  if (stroke && DeviceWidth() < 0) {
    // A pen stretched unevenly by the transform: the shape is stroked in its own units under the transform.
    out_.append("q\n");
    AppendMatrix(out_, transform_, "cm");
    AppendPath(logical);
    Operator(oddEven ? "f*" : "f", "S", oddEven ? "B*" : "B", fill, stroke);
    out_.append("Q\n");
    lineStyleWritten_.clear();
    return;
  }
  AppendPath(transform_.map(logical));
  Operator(oddEven ? "f*" : "f", "S", oddEven ? "B*" : "B", fill, stroke);
}

void TPdfPagePlayer::DrawRects(const QRectF* rects, int count) {
  const QTransform& t = transform_;
  const bool upright = t.m12() == 0 && t.m21() == 0 && t.m11() > 0 && t.m22() > 0;
  if (!upright || (Strokes() && DeviceWidth() < 0)) {
    QPainterPath path;
    for (int index = 0; index < count; ++index) path.addRect(rects[index]);
    return PaintShape(path, true);
  }
  // Rectangles as rectangles: a viewer snaps them to its pixels, so a rule thinner than a pixel still shows.
  if (!Fills() && !Strokes()) return;
  Prepare(Fills(), Strokes());
  for (int index = 0; index < count; ++index) {
    const QRectF rect = t.mapRect(rects[index]);
    AppendPoint(rect.topLeft());
    Append(out_, rect.width());
    Append(out_, rect.height());
    out_.append("re\n");
  }
  Operator("f", "S", "B", Fills(), Strokes());
}

void TPdfPagePlayer::DrawLines(const QLineF* lines, int count) {
  QPainterPath path;
  for (int index = 0; index < count; ++index) {
    path.moveTo(lines[index].p1());
    path.lineTo(lines[index].p2());
  }
  PaintShape(path, false);
}

void TPdfPagePlayer::DrawEllipse(const QRectF& rect) {
  QPainterPath path;
  path.addEllipse(rect);
  PaintShape(path, true);
}

void TPdfPagePlayer::DrawPath(const QPainterPath& path) { PaintShape(path, true); }

void TPdfPagePlayer::DrawPoints(const QPointF* points, int count) {
  if (!Strokes() || count <= 0) return;
  // A point is a dot of the pen's width, round for a round pen and square otherwise, filled in its colour.
  const double width = DeviceWidth() > 0 ? DeviceWidth() : std::max(1.0, pen_.widthF());
  const bool round = pen_.capStyle() == Qt::RoundCap;
  QPainterPath dots;
  for (int index = 0; index < count; ++index) {
    const QPointF centre = transform_.map(points[index]);
    const QRectF dot(centre.x() - width / 2, centre.y() - width / 2, width, width);
    if (round)
      dots.addEllipse(dot);
    else
      dots.addRect(dot);
  }
  Prepare(false, false);
  AlphaFor(pen_.color().alphaF() * opacity_, 1.0);
  FillColour(pen_.color());
  AppendPath(dots);
  out_.append("f\n");
}

void TPdfPagePlayer::DrawPolygon(const QPointF* points, int count, int mode) {
  if (count <= 0) return;
  QPainterPath path;
  path.setFillRule(mode == QPaintEngine::OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
  path.moveTo(points[0]);
  for (int index = 1; index < count; ++index) path.lineTo(points[index]);
  const bool polyline = mode == QPaintEngine::PolylineMode;
  if (!polyline) path.closeSubpath();
  PaintShape(path, !polyline);
}

void TPdfPagePlayer::DrawPicture(const Image& image, const QRectF& target, const QRectF& source) {
  const QRect whole = image.Image.rect();
  const QRect part = source.toAlignedRect() & whole;
  if (part.isEmpty() || target.isEmpty()) return;
  const QImage picture = part == whole ? image.Image : image.Image.copy(part);
  const bool stencil = image.Kind == TRecordedImageKind::Bitmap;
  if (stencil && !PdfSupport::BackgroundMode(backgroundMode_)) return Stop();
  if (clipChanged_ || !groupOpen_) WriteClip();
  EnsureMarked();
  const QByteArray name = stencil ? resources_.Stencil(picture) : resources_.Picture(picture);
  AlphaFor(opacity_ * (stencil ? pen_.color().alphaF() : 1.0), 1.0);
  out_.append("q\n");
  if (stencil) AppendColour(out_, pen_.color(), "rg");
  AppendMatrix(out_, UnitSquareOnto(target, transform_), "cm");
  out_.append(name + " Do\nQ\n");
}

void TPdfPagePlayer::DrawPixmap(int image, const QRectF& target, const QRectF& source) {
  DrawPicture(images_[static_cast<std::size_t>(image)], target, source);
}

void TPdfPagePlayer::DrawImage(int image, const QRectF& target, const QRectF& source,
                               Qt::ImageConversionFlags) {
  DrawPicture(images_[static_cast<std::size_t>(image)], target, source);
}

void TPdfPagePlayer::DrawTiledPixmap(int number, const QRectF& target, const QPointF& offset) {
  const Image& image = images_[static_cast<std::size_t>(number)];
  if (image.Image.isNull() || target.isEmpty()) return;
  // A one-bit picture tiled is a stencil of tiles in the pen's colour, which is left to Qt's writer.
  if (image.Kind == TRecordedImageKind::Bitmap) return Stop();
  // The tiles become one picture of the target's size, so no seam shows between them where their edges
  // would be smoothed twice.
  const QSize size = target.size().toSize().expandedTo(QSize(1, 1));
  if (static_cast<qint64>(size.width()) * size.height() > MostTiledPixels) return Stop();
  QImage tiled(size, QImage::Format_ARGB32_Premultiplied);
  tiled.fill(Qt::transparent);
  {
    QPainter painter(&tiled);
    painter.drawTiledPixmap(QRectF(QPointF(0, 0), size), QPixmap::fromImage(image.Image), offset);
  }
  DrawPicture({image.Kind, tiled}, QRectF(target.topLeft(), size), tiled.rect());
}

void TPdfPagePlayer::OutlineEntry(int level, const QPointF& at, const QString& title) {
  resources_.OutlineEntry(level, transform_.map(at), title);
}

void TPdfPagePlayer::Link(const QRectF& area, const QString& target) {
  resources_.Link(transform_.mapRect(area), target);
}

void TPdfPagePlayer::DrawText(int fontNumber, const QPointF& point, double width, const QString& text) {
  if (!Strokes() || text.isEmpty()) return;
  if (!PdfSupport::BackgroundMode(backgroundMode_)) return Stop();
  const TPlayedFonts::TFont& font = fonts_[fontNumber];
  // A text written before in the same font is written again from what was kept of it, without laying it out.
  TShownText* shown = width <= 0 && font.Shaped >= 0 ? resources_.Shown(font.Shaped, text) : nullptr;
  if (shown != nullptr && !shown->Pieces.empty()) return WriteShown(*shown, point, text);

  TShownText made;
  if (width <= 0 && ShapeDirectly(fontNumber, text, made)) {
    if (shown != nullptr) *shown = made;
    return WriteShown(made, point, text);
  }

  TShapedTexts::TLine line =
      TShapedTexts::LayOutOnce(text, font.Font, layoutDevice_, QGuiApplication::layoutDirection());
  if (width > 0) Justify(line, width);
  // The glyphs' places are kept from the baseline's start, where the text is drawn.
  const QPointF origin(0, -line.Ascent);
  // Whether the glyphs can say which characters they are; if not, the text says so around them.
  made.Actual = line.Runs.size() != 1;
  bool keep = shown != nullptr;
  for (const QGlyphRun& run : line.Runs) {
    TShownPiece piece;
    if (DrawGlyphRun(run, origin, line.Runs.size() == 1 ? text : QString(), made.Actual, piece)) {
      made.Pieces.push_back(std::move(piece));
    } else {
      keep = false;
    }
  }
  if (keep) *shown = std::move(made);
  if (!made.Pieces.empty() || keep) WriteShown(keep ? *shown : made, point, text);
}

bool TPdfPagePlayer::ShapeDirectly(int fontNumber, const QString& text, TShownText& made) {
  const QFont& font = fonts_[fontNumber].Font;
  if (layoutDevice_ == nullptr || !TFontShaper::Shapeable(font, text)) return false;
  // The font file and size Qt's layout takes for Latin lines in this font on the device, as the printer
  // canvas measures them.
  const std::size_t number = static_cast<std::size_t>(fontNumber);
  if (laidOutIn_.size() <= number) laidOutIn_.resize(number + 1);
  if (!laidOutIn_[number].isValid()) laidOutIn_[number] = QRawFont::fromFont(QFont(font, layoutDevice_));
  const QRawFont& raw = laidOutIn_[number];
  if (!raw.isValid()) return false;
  TPdfFont& pdfFont = resources_.Font(raw);
  if (!pdfFont.Embeddable()) return false;
  QList<quint32> glyphs;
  QList<QPointF> positions;
  if (!pdfFont.Shaper().Shape(raw, text, font.kerning(), glyphs, positions) || glyphs.isEmpty()) return false;
  QGlyphRun run;
  run.setRawFont(raw);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  TShownPiece piece;
  bool actual = false;
  if (!DrawGlyphRun(run, QPointF(), text, actual, piece)) return false;
  made.Actual = actual;
  made.Pieces.push_back(std::move(piece));
  return true;
}

void TPdfPagePlayer::Justify(TShapedTexts::TLine& line, double width) {
  // A justified line: the room it lacks goes to its spaces, in equal parts, as Qt spreads it.
  double natural = 0;
  int spaces = 0;
  for (const QGlyphRun& run : line.Runs) {
    const QList<quint32> blank = run.rawFont().glyphIndexesForString(QStringLiteral(" "));
    if (!run.positions().isEmpty()) natural = std::max(natural, run.boundingRect().right());
    for (const quint32 glyph : run.glyphIndexes())
      if (!blank.isEmpty() && glyph == blank.first()) ++spaces;
  }
  if (spaces == 0 || width <= natural) return;
  const double extra = (width - natural) / spaces;
  int passed = 0;
  for (QGlyphRun& run : line.Runs) {
    const QList<quint32> blank = run.rawFont().glyphIndexesForString(QStringLiteral(" "));
    const QList<quint32> glyphs = run.glyphIndexes();
    QList<QPointF> positions = run.positions();
    for (qsizetype index = 0; index < glyphs.size() && index < positions.size(); ++index) {
      positions[index].rx() += passed * extra;
      if (!blank.isEmpty() && glyphs[index] == blank.first()) ++passed;
    }
    run.setPositions(positions);
  }
}

void TPdfPagePlayer::WriteShown(const TShownText& shown, const QPointF& point, const QString& text) {
  Prepare(false, false);
  AlphaFor(pen_.color().alphaF() * opacity_, 1.0);
  FillColour(pen_.color());
  if (shown.Actual) out_.append("/Span << /ActualText " + Pdf::TextString(text) + " >> BDC\n");
  const QTransform flip(1, 0, 0, -1, 0, 0);
  const QTransform linear =
      flip * QTransform(transform_.m11(), transform_.m12(), transform_.m21(), transform_.m22(), 0, 0);
  for (const TShownPiece& piece : shown.Pieces) {
    if (piece.Font == nullptr) {
      // Glyphs drawn as their shapes, from the baseline's start.
      AppendPath(transform_.map(piece.Shapes.translated(point)));
      out_.append("f\n");
      continue;
    }
    resources_.Use(*piece.Font);
    out_.append("BT\n/" + piece.Font->ResourceName() + ' ');
    Append(out_, piece.Size);
    out_.append("Tf\n");
    const QPointF at = transform_.map(point + piece.Start);
    AppendMatrix(out_, QTransform(linear.m11(), linear.m12(), linear.m21(), linear.m22(), at.x(), at.y()),
                 "Tm");
    out_.append(piece.Show);
    out_.append("ET\n");
  }
  if (shown.Actual) out_.append("EMC\n");
}

bool TPdfPagePlayer::MapCharacters(TPdfFont& font, const QList<quint32>& glyphs, const QString& text) {
  // Each glyph stands for the characters from its own up to the next glyph's, where the font's glyph for a
  // character on its own tells them apart (a ligature stands for several).
  const QList<uint> codes = text.toUcs4();
  const QList<quint32> nominal = font.NominalGlyphs(text);
  if (nominal.size() != codes.size()) return false;
  std::vector<std::pair<quint32, QString>> mapping;
  qsizetype character = 0;
  for (qsizetype index = 0; index < glyphs.size(); ++index) {
    if (character >= codes.size()) return false;
    qsizetype end = character + 1;
    if (glyphs[index] != nominal[character]) {
      if (index + 1 < glyphs.size()) {
        while (end < codes.size() && nominal[end] != glyphs[index + 1]) ++end;
      } else {
        end = codes.size();
      }
    }
    QString characters;
    for (qsizetype code = character; code < end; ++code) {
      const char32_t unit = codes[code];
      characters += QString::fromUcs4(&unit, 1);
    }
    if (!font.CanMap(glyphs[index], characters)) return false;
    mapping.emplace_back(glyphs[index], characters);
    character = end;
  }
  if (character != codes.size()) return false;
  for (const auto& [glyph, characters] : mapping) font.Map(glyph, characters);
  return true;
}

bool TPdfPagePlayer::DrawGlyphRun(const QGlyphRun& run, const QPointF& origin, const QString& text,
                                  bool& actual, TShownPiece& piece) {
  const QRawFont raw = run.rawFont();
  const double size = raw.pixelSize();
  const QList<quint32> glyphs = run.glyphIndexes();
  const QList<QPointF> positions = run.positions();
  // A font Qt could not load (a size no font engine takes) draws nothing, on any painter.
  if (!raw.isValid() || size <= 0 || glyphs.isEmpty() || positions.size() != glyphs.size()) return false;
  TPdfFont& font = resources_.Font(raw);
  if (!font.Embeddable()) {
    // A font whose outlines cannot be embedded: its glyphs are drawn as their shapes, in the text's colour.
    actual = true;
    for (qsizetype index = 0; index < glyphs.size(); ++index)
      piece.Shapes.addPath(raw.pathForGlyph(glyphs[index]).translated(origin + positions[index]));
    // Kept from the baseline's start, where the text is drawn again.
    piece.Shapes.setFillRule(Qt::WindingFill);
    piece.Font = nullptr;
    return true;
  }
  for (const quint32 glyph : glyphs) font.Use(glyph);
  // Right to left, the glyphs stand in another order than their characters: the text says what they are.
  if (text.isEmpty() || run.isRightToLeft() || !MapCharacters(font, glyphs, text)) actual = true;

  piece.Font = &font;
  piece.Size = size;
  piece.Start = origin + positions.first();
  // Where the text space's next glyph would stand by the last one's advance, in the text's own units.
  double expected = positions.first().x();
  QPointF lineStart = positions.first();
  QByteArray& show = piece.Show;
  show.append('[');
  for (qsizetype index = 0; index < glyphs.size(); ++index) {
    const QPointF& place = positions[index];
    if (std::abs(place.y() - lineStart.y()) > 1e-6) {
      // A glyph off the line (a mark placed above its letter): a new line from where the last one began,
      // upwards in text space where the page's y runs down.
      show.append("] TJ\n");
      Append(show, place.x() - lineStart.x());
      Append(show, lineStart.y() - place.y());
      show.append("Td\n[");
      lineStart = place;
      expected = place.x();
    } else if (std::abs(expected - place.x()) > DriftAllowed) {
      // Qt places glyphs on its own grid of advances; a glyph strays from it only as far as this before
      // it is set right, which spares the string a number between most glyphs.
      Append(show, (expected - place.x()) * 1000.0 / size);
      expected = place.x();
    }
    AppendGlyph(show, glyphs[index]);
    expected += font.Advance(glyphs[index]) * size / 1000.0;
  }
  show.append("] TJ\n");
  return true;
}
