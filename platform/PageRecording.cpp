#include "platform/PageRecording.h"

#include "platform/RecordPlayer.h"
#include "platform/ShapedTexts.h"
#include "platform/pdf/PdfSupport.h"

#include <QBitmap>
#include <QDataStream>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QPixmap>
#include <QRegion>
#include <QTextItem>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// The records of a page. A Define record adds a pen, brush, font or image to its table, in the order of
// first use; the records after it name that entry by its number. The numbers stay as they are once pages
// exist: a page file is read by the run that wrote it, but an old page must never play as something else.
enum class Op : quint8 {
  DefinePen = 1,
  DefineBrush = 2,
  DefineFont = 3,
  DefineImage = 4,
  Pen = 10,
  Brush = 11,
  BrushOrigin = 12,
  BackgroundBrush = 13,
  BackgroundMode = 14,
  Transform = 15,
  ClipEnabled = 16,
  ClipRegion = 17,
  ClipPath = 18,
  Hints = 19,
  Composition = 20,
  Opacity = 21,
  Rects = 30,
  Lines = 31,
  Ellipse = 32,
  Path = 33,
  Points = 34,
  Polygon = 35,
  Pixmap = 36,
  TiledPixmap = 37,
  Image = 38,
  Text = 39,
  // A text holding PageCountMark, placed by its anchor once the mark is the document's page count.
  CountedText = 40,
  // Where a document's outline entry leads to; a link's area and where it goes. Neither draws anything.
  OutlineEntry = 41,
  Link = 42,
  // What the content between them is to a reader: an element of the structure, or an artifact.
  StructureStart = 43,
  StructureEnd = 44,
  ArtifactStart = 45,
  ArtifactEnd = 46,
  // An element of a standard role and nothing more (a table's row or cell), by the role's number.
  StructureRole = 47,
};

// The roles an element of nothing but its role is recorded by number as: a long table has one for each
// cell, and a number is read back without making a text.
const QString& StandardRole(quint8 number) {
  static const QString roles[] = {
      QStringLiteral("P"),      QStringLiteral("H1"),   QStringLiteral("H2"),    QStringLiteral("H3"),
      QStringLiteral("H4"),     QStringLiteral("H5"),   QStringLiteral("H6"),    QStringLiteral("Table"),
      QStringLiteral("TR"),     QStringLiteral("TH"),   QStringLiteral("TD"),    QStringLiteral("L"),
      QStringLiteral("LI"),     QStringLiteral("Lbl"),  QStringLiteral("LBody"), QStringLiteral("Div"),
      QStringLiteral("Figure"), QStringLiteral("Span"), QStringLiteral("Link")};
  static const QString none;
  return number < std::size(roles) ? roles[number] : none;
}

// The role's number among the standard ones; -1 for another. Asked for every table cell recorded.
int StandardRoleNumber(const QString& role) {
  static const QHash<QString, int> numbers = [] {
    QHash<QString, int> byRole;
    for (quint8 number = 0; !StandardRole(number).isEmpty(); ++number)
      byRole.insert(StandardRole(number), number);
    return byRole;
  }();
  return numbers.value(role, -1);
}

constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;
// The largest coordinate a record holds, hundreds of times any page's size in printer pixels; larger ones
// are written as this, which changes nothing on a page, and the painter's own integer arithmetic never
// overflows on what is played.
constexpr double Limit = 1 << 26;
constexpr qint32 IntegerLimit = 1 << 26;
// Widths closer than this are one width: a 64th of a pixel is the finest step of Qt's text layout.
constexpr double Tolerance = 1.0 / 64;

// What a picture measures: Qt's pictures have the screen's logical resolution, asked once.
const QPicture& ReferencePicture() {
  static const QPicture picture;
  return picture;
}

class Writer {
public:
  explicit Writer(QByteArray& out) : out_(out) {}
  void Code(Op op) { out_.append(static_cast<char>(op)); }
  void Byte(quint8 value) { out_.append(static_cast<char>(value)); }
  template <typename Value>
  void Plain(const Value& value) {
    static_assert(std::is_trivially_copyable_v<Value>);
    out_.append(reinterpret_cast<const char*>(&value), static_cast<qsizetype>(sizeof value));
  }
  void Number(quint32 value) { Plain(value); }
  void Real(double value) { Plain(std::clamp(value, -Limit, Limit)); }
  void Point(const QPointF& point) {
    Real(point.x());
    Real(point.y());
  }
  // A rectangle is its edges, so one reaching far beyond the page still covers it once its edges are held
  // to the limit.
  void Rect(const QRectF& rect) {
    Real(rect.left());
    Real(rect.top());
    Real(rect.right());
    Real(rect.bottom());
  }
  void Rect(const QRect& rect) {
    for (const qint64 edge : {qint64(rect.x()), qint64(rect.y()), qint64(rect.x()) + rect.width(),
                              qint64(rect.y()) + rect.height()}) {
      Plain(static_cast<qint32>(std::clamp<qint64>(edge, -IntegerLimit, IntegerLimit)));
    }
  }
  void Text(const QString& text) {
    Number(static_cast<quint32>(text.size()));
    out_.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  }
  template <typename Value>
  void Streamed(const Value& value) {
    QByteArray blob;
    {
      QDataStream stream(&blob, QIODevice::WriteOnly);
      stream.setVersion(StreamVersion);
      stream << value;
    }
    Number(static_cast<quint32>(blob.size()));
    out_.append(blob);
  }

private:
  QByteArray& out_;
};

// Reads what Writer wrote; every read is checked against what is left, and the first that does not fit
// fails the reader for good (each later read then gives a zero value).
class Reader {
public:
  explicit Reader(const QByteArray& data) : data_(data.constData()), size_(data.size()) {}
  bool Ok() const { return ok_; }
  bool AtEnd() const { return position_ >= size_; }

  template <typename Value>
  Value Plain() {
    static_assert(std::is_trivially_copyable_v<Value>);
    Value value{};
    if (const char* bytes = Take(static_cast<qsizetype>(sizeof value)))
      std::memcpy(&value, bytes, sizeof value);
    return value;
  }
  quint8 Byte() { return Plain<quint8>(); }
  quint32 Number() { return Plain<quint32>(); }
  /** A number within the limit; anything else fails the reader, so no drawing is ever given one. */
  double Real() {
    const double value = Plain<double>();
    if (std::isfinite(value) && std::abs(value) <= Limit) return value;
    ok_ = false;
    return 0.0;
  }
  int Integer() {
    const qint32 value = Plain<qint32>();
    if (std::abs(value) <= IntegerLimit) return value;
    ok_ = false;
    return 0;
  }
  QPointF Point() {
    const double x = Real();
    return {x, Real()};
  }
  QRectF Rect() {
    const double left = Real();
    const double top = Real();
    const double right = Real();
    return {QPointF(left, top), QPointF(right, Real())};
  }
  /** Whole-pixel edges within the limit, the right and bottom ones at or after the left and top. */
  QRect PixelRect() {
    const int left = Integer();
    const int top = Integer();
    const int right = Integer();
    const int bottom = Integer();
    if (right < left || bottom < top) ok_ = false;
    return ok_ ? QRect(left, top, right - left, bottom - top) : QRect();
  }
  /** A count of items of the given size each, refused when the items could not all be there. */
  qsizetype Count(qsizetype itemSize) {
    const quint32 count = Number();
    if (!ok_ || static_cast<qsizetype>(count) > (size_ - position_) / itemSize) {
      ok_ = false;
      return 0;
    }
    return static_cast<qsizetype>(count);
  }
  QString Text() {
    const qsizetype length = Count(2);
    const char* bytes = Take(length * 2);
    if (bytes == nullptr) return {};
    QString text(length, Qt::Uninitialized);
    std::memcpy(text.data(), bytes, static_cast<size_t>(length) * 2);
    return text;
  }
  template <typename Value>
  Value Streamed() {
    Value value;
    const qsizetype length = Count(1);
    const char* bytes = Take(length);
    if (bytes == nullptr) return value;
    QDataStream stream(QByteArray::fromRawData(bytes, length));
    stream.setVersion(StreamVersion);
    stream >> value;
    if (stream.status() != QDataStream::Ok) ok_ = false;
    return value;
  }
  void Fail() { ok_ = false; }

private:
  const char* Take(qsizetype length) {
    if (!ok_ || length < 0 || length > size_ - position_) {
      ok_ = false;
      return nullptr;
    }
    const char* bytes = data_ + position_;
    position_ += length;
    return bytes;
  }

  const char* data_;
  qsizetype size_;
  qsizetype position_ = 0;
  bool ok_ = true;
};

void WritePath(Writer& out, const QPainterPath& path) {
  out.Byte(static_cast<quint8>(path.fillRule()));
  out.Number(static_cast<quint32>(path.elementCount()));
  for (int index = 0; index < path.elementCount(); ++index) {
    const QPainterPath::Element& element = path.elementAt(index);
    out.Byte(static_cast<quint8>(element.type));
    out.Real(element.x);
    out.Real(element.y);
  }
}

QPainterPath ReadPath(Reader& in) {
  QPainterPath path;
  path.setFillRule(in.Byte() == Qt::WindingFill ? Qt::WindingFill : Qt::OddEvenFill);
  const qsizetype count = in.Count(1 + 2 * sizeof(double));
  for (qsizetype index = 0; index < count && in.Ok(); ++index) {
    const quint8 type = in.Byte();
    const QPointF point = in.Point();
    switch (type) {
      case QPainterPath::MoveToElement: path.moveTo(point); break;
      case QPainterPath::LineToElement: path.lineTo(point); break;
      case QPainterPath::CurveToElement: {
        // A curve is its first control point and two data elements: the second control point and the end.
        if (index + 2 >= count || in.Byte() != QPainterPath::CurveToDataElement) return in.Fail(), path;
        const QPointF second = in.Point();
        if (in.Byte() != QPainterPath::CurveToDataElement) return in.Fail(), path;
        const QPointF end = in.Point();
        path.cubicTo(point, second, end);
        index += 2;
        break;
      }
      default: in.Fail(); return path;
    }
  }
  return path;
}

void WriteColor(Writer& out, const QColor& color) { out.Plain(color.rgba64()); }

QColor ReadColor(Reader& in) { return QColor::fromRgba64(in.Plain<QRgba64>()); }

void WriteTransform(Writer& out, const QTransform& transform) {
  for (const double value :
       {transform.m11(), transform.m12(), transform.m13(), transform.m21(), transform.m22(), transform.m23(),
        transform.m31(), transform.m32(), transform.m33()}) {
    out.Real(value);
  }
}

QTransform ReadTransform(Reader& in) {
  double values[9];
  for (double& value : values) value = in.Real();
  return {values[0], values[1], values[2], values[3], values[4], values[5], values[6], values[7], values[8]};
}

// Brushes, pens and fonts are written field by field: Qt's own stream format allocates what a damaged
// length asks for before it finds the data is not there.
void WriteBrush(Writer& out, const QBrush& brush) {
  out.Byte(static_cast<quint8>(brush.style()));
  WriteColor(out, brush.color());
  WriteTransform(out, brush.transform());
  if (brush.style() == Qt::TexturePattern) {
    out.Streamed(brush.textureImage());
    return;
  }
  const QGradient* gradient = brush.gradient();
  if (gradient == nullptr) return;
  out.Byte(static_cast<quint8>(gradient->spread()));
  out.Byte(static_cast<quint8>(gradient->coordinateMode()));
  out.Byte(static_cast<quint8>(gradient->interpolationMode()));
  const QGradientStops stops = gradient->stops();
  out.Number(static_cast<quint32>(stops.size()));
  for (const QGradientStop& stop : stops) {
    out.Real(stop.first);
    WriteColor(out, stop.second);
  }
  if (gradient->type() == QGradient::LinearGradient) {
    const auto* linear = static_cast<const QLinearGradient*>(gradient);
    out.Point(linear->start());
    out.Point(linear->finalStop());
  } else if (gradient->type() == QGradient::RadialGradient) {
    const auto* radial = static_cast<const QRadialGradient*>(gradient);
    out.Point(radial->center());
    out.Real(radial->centerRadius());
    out.Point(radial->focalPoint());
    out.Real(radial->focalRadius());
  } else if (gradient->type() == QGradient::ConicalGradient) {
    const auto* conical = static_cast<const QConicalGradient*>(gradient);
    out.Point(conical->center());
    out.Real(conical->angle());
  }
}

QBrush ReadBrush(Reader& in) {
  const quint8 style = in.Byte();
  const QColor color = ReadColor(in);
  const QTransform transform = ReadTransform(in);
  QBrush brush;
  if (style == Qt::TexturePattern) {
    brush = QBrush(in.Streamed<QImage>());
  } else if (style == Qt::LinearGradientPattern || style == Qt::RadialGradientPattern ||
             style == Qt::ConicalGradientPattern) {
    const quint8 spread = in.Byte();
    const quint8 mode = in.Byte();
    const quint8 interpolation = in.Byte();
    QGradientStops stops;
    const qsizetype count = in.Count(sizeof(double) + sizeof(QRgba64));
    for (qsizetype index = 0; index < count; ++index) {
      const double at = in.Real();
      stops.append({at, ReadColor(in)});
    }
    const auto fill = [&](QGradient& gradient) {
      if (spread > QGradient::RepeatSpread || mode > QGradient::ObjectMode ||
          interpolation > QGradient::ComponentInterpolation) {
        return in.Fail();
      }
      gradient.setSpread(static_cast<QGradient::Spread>(spread));
      gradient.setCoordinateMode(static_cast<QGradient::CoordinateMode>(mode));
      gradient.setInterpolationMode(static_cast<QGradient::InterpolationMode>(interpolation));
      for (const QGradientStop& stop : stops) {
        if (stop.first < 0 || stop.first > 1) return in.Fail();
      }
      gradient.setStops(stops);
      brush = QBrush(gradient);
    };
    if (style == Qt::LinearGradientPattern) {
      const QPointF start = in.Point();
      QLinearGradient gradient(start, in.Point());
      fill(gradient);
    } else if (style == Qt::RadialGradientPattern) {
      const QPointF center = in.Point();
      const double radius = in.Real();
      const QPointF focal = in.Point();
      QRadialGradient gradient(center, radius, focal, in.Real());
      fill(gradient);
    } else {
      const QPointF center = in.Point();
      QConicalGradient gradient(center, in.Real());
      fill(gradient);
    }
  } else if (style <= Qt::DiagCrossPattern) {
    brush = QBrush(color, static_cast<Qt::BrushStyle>(style));
  } else {
    in.Fail();
  }
  brush.setColor(color);
  brush.setTransform(transform);
  return brush;
}

void WritePen(Writer& out, const QPen& pen) {
  out.Byte(static_cast<quint8>(pen.style()));
  out.Byte(static_cast<quint8>(pen.capStyle() >> 4));
  out.Byte(static_cast<quint8>(pen.joinStyle() >> 6));
  out.Byte(pen.isCosmetic() ? 1 : 0);
  out.Real(pen.widthF());
  out.Real(pen.miterLimit());
  out.Real(pen.dashOffset());
  const QList<qreal> dashes = pen.style() == Qt::CustomDashLine ? pen.dashPattern() : QList<qreal>();
  out.Number(static_cast<quint32>(dashes.size()));
  for (const qreal dash : dashes) out.Real(dash);
  WriteBrush(out, pen.brush());
}

QPen ReadPen(Reader& in) {
  const quint8 style = in.Byte();
  const quint8 cap = in.Byte();
  const quint8 join = in.Byte();
  const bool cosmetic = in.Byte() != 0;
  const double width = in.Real();
  const double miterLimit = in.Real();
  const double dashOffset = in.Real();
  QList<qreal> dashes;
  const qsizetype count = in.Count(sizeof(double));
  for (qsizetype index = 0; index < count; ++index) dashes.append(in.Real());
  const QBrush brush = ReadBrush(in);
  // Caps are 0x00, 0x10 and 0x20; joins 0x00, 0x40, 0x80 and 0x100.
  if (style > Qt::CustomDashLine || cap > 2 || (join > 2 && join != 4) || width < 0) {
    in.Fail();
    return {};
  }
  QPen pen(brush, width, static_cast<Qt::PenStyle>(style), static_cast<Qt::PenCapStyle>(cap << 4),
           static_cast<Qt::PenJoinStyle>(join << 6));
  pen.setCosmetic(cosmetic);
  pen.setMiterLimit(miterLimit);
  if (style == Qt::CustomDashLine) {
    // A pattern is pairs of positive lengths.
    if (dashes.isEmpty() || dashes.size() % 2 != 0 ||
        std::any_of(dashes.begin(), dashes.end(), [](qreal dash) { return dash <= 0; })) {
      in.Fail();
      return {};
    }
    pen.setDashPattern(dashes);
  }
  pen.setDashOffset(dashOffset);
  return pen;
}

// A font is its description as Qt writes it out, and the two settings that description leaves out.
void WriteFont(Writer& out, const QFont& font) {
  out.Text(font.toString());
  out.Byte(font.kerning() ? 1 : 0);
  out.Byte(static_cast<quint8>(font.hintingPreference()));
}

QFont ReadFont(Reader& in) {
  QFont font;
  const QString description = in.Text();
  const bool kerning = in.Byte() != 0;
  const quint8 hinting = in.Byte();
  if (!in.Ok() || !font.fromString(description) || hinting > QFont::PreferFullHinting) {
    in.Fail();
    return font;
  }
  font.setKerning(kerning);
  font.setHintingPreference(static_cast<QFont::HintingPreference>(hinting));
  return font;
}

template <typename Item, typename Write>
void WriteArray(Writer& out, const Item* items, int count, Write write) {
  out.Number(static_cast<quint32>(std::max(count, 0)));
  for (int index = 0; index < count; ++index) write(items[index]);
}

}  // namespace

// Records the painter's calls as they reach the engine: every state change the painter flushes before a
// drawing, and every drawing in the painter's logical units.
class PageRecordEngine : public QPaintEngine {
public:
  PageRecordEngine() : QPaintEngine(AllFeatures) {}

  bool begin(QPaintDevice* device) override {
    device_ = device;
    return true;
  }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }

  QByteArray Take(bool* pdfWritable) {
    if (pdfWritable != nullptr) *pdfWritable = pdfWritable_;
    pdfWritable_ = true;
    QByteArray taken = std::move(list_);
    list_ = QByteArray();
    pens_.clear();
    brushes_.clear();
    fonts_.clear();
    images_.clear();
    return taken;
  }

  void updateState(const QPaintEngineState& state) override {
    Writer out(list_);
    const DirtyFlags flags = state.state();
    const QTransform transform = StateTransform(state);
    // What the program's PDF writer cannot draw sends the page's document through Qt's writer.
    if (((flags & DirtyPen) && !PdfSupport::Pen(state.pen())) ||
        ((flags & DirtyBrush) && !PdfSupport::Brush(state.brush())) ||
        ((flags & DirtyBackgroundMode) && !PdfSupport::BackgroundMode(state.backgroundMode())) ||
        ((flags & DirtyTransform) && !PdfSupport::Transform(transform)) ||
        ((flags & DirtyCompositionMode) && !PdfSupport::Composition(state.compositionMode()))) {
      pdfWritable_ = false;
    }
    if (flags & DirtyPen) WritePenState(state.pen());
    if (flags & DirtyBrush) WriteBrushState(Op::Brush, state.brush());
    if (flags & DirtyBrushOrigin) {
      out.Code(Op::BrushOrigin);
      out.Point(state.brushOrigin());
      current_.BrushOrigin = state.brushOrigin();
    }
    if (flags & DirtyBackground) WriteBrushState(Op::BackgroundBrush, state.backgroundBrush());
    if (flags & DirtyBackgroundMode) {
      out.Code(Op::BackgroundMode);
      out.Byte(static_cast<quint8>(state.backgroundMode()));
      current_.BackgroundMode = state.backgroundMode();
    }
    if (flags & DirtyTransform) {
      out.Code(Op::Transform);
      WriteTransform(out, transform);
      current_.Transform = transform;
    }
    if (flags & DirtyClipEnabled) {
      out.Code(Op::ClipEnabled);
      out.Byte(state.isClipEnabled() ? 1 : 0);
      current_.ClipEnabled = state.isClipEnabled();
    }
    if (flags & (DirtyClipRegion | DirtyClipPath)) {
      // A clip is played under the transform it came with; the clips since the last one that replaced the
      // others make the clip of now.
      QByteArray record;
      Writer clip(record);
      if (flags & DirtyClipRegion) {
        const QRegion region = state.clipRegion();
        clip.Code(Op::ClipRegion);
        clip.Byte(static_cast<quint8>(state.clipOperation()));
        clip.Number(static_cast<quint32>(region.rectCount()));
        for (const QRect& rect : region) clip.Rect(rect);
      } else {
        clip.Code(Op::ClipPath);
        clip.Byte(static_cast<quint8>(state.clipOperation()));
        WritePath(clip, state.clipPath());
      }
      list_.append(record);
      if (state.clipOperation() != Qt::IntersectClip) current_.Clips.clear();
      current_.Clips.push_back({current_.Transform, record});
    }
    if (flags & DirtyHints) {
      out.Code(Op::Hints);
      out.Number(static_cast<quint32>(state.renderHints().toInt()));
      current_.Hints = static_cast<quint32>(state.renderHints().toInt());
    }
    if (flags & DirtyCompositionMode) {
      out.Code(Op::Composition);
      out.Number(static_cast<quint32>(state.compositionMode()));
      current_.Composition = static_cast<quint32>(state.compositionMode());
    }
    if (flags & DirtyOpacity) {
      out.Code(Op::Opacity);
      out.Real(state.opacity());
      current_.Opacity = state.opacity();
    }
  }

  // The transform the state comes with. QPainter::restore hands an engine like this one each clip of the
  // restored state again, first clearing the clip, then each clip with the transform it was set under; that
  // transform already holds the painter's redirection, and Qt multiplies the redirection in once more. A
  // widget rendered into the page (QWidget::render, whose painter is redirected to the page's scale and
  // place) would find every clip after a restore moved and scaled twice, and its drawing clipped away.
  QTransform StateTransform(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    const bool clipAgain =
        flags == (DirtyTransform | DirtyClipRegion) || flags == (DirtyTransform | DirtyClipPath);
    if (flags == DirtyClipPath && state.clipOperation() == Qt::NoClip)
      replayingClips_ = true;
    else if (!clipAgain)
      replayingClips_ = false;
    if (!replayingClips_ || !clipAgain || painter() == nullptr) return state.transform();
    bool invertible = false;
    const QTransform logical = painter()->combinedTransform().inverted(&invertible);
    if (!invertible) return state.transform();
    const QTransform redirection = logical * painter()->deviceTransform();
    const QTransform undone = redirection.inverted(&invertible);
    return invertible ? state.transform() * undone : state.transform();
  }

  // Takes the recording and begins the next one with the painter's state as it stands, so a painter that goes
  // on drawing on the next sheet draws as it did (the painter hands over only what changes).
  QByteArray TakeSheet(bool* pdfWritable) {
    const State state = current_;
    QByteArray taken = Take(pdfWritable);
    Writer out(list_);
    if (state.Pen) WritePenState(*state.Pen);
    if (state.Brush) WriteBrushState(Op::Brush, *state.Brush);
    if (state.Background) WriteBrushState(Op::BackgroundBrush, *state.Background);
    out.Code(Op::BrushOrigin);
    out.Point(state.BrushOrigin);
    out.Code(Op::BackgroundMode);
    out.Byte(static_cast<quint8>(state.BackgroundMode));
    for (const auto& [transform, record] : state.Clips) {
      out.Code(Op::Transform);
      WriteTransform(out, transform);
      list_.append(record);
    }
    out.Code(Op::ClipEnabled);
    out.Byte(state.ClipEnabled ? 1 : 0);
    out.Code(Op::Transform);
    WriteTransform(out, state.Transform);
    out.Code(Op::Hints);
    out.Number(state.Hints);
    out.Code(Op::Composition);
    out.Number(state.Composition);
    out.Code(Op::Opacity);
    out.Real(state.Opacity);
    current_ = state;
    return taken;
  }

  // Qt's engine hands the whole-pixel forms of these to the ones below.
  using QPaintEngine::drawEllipse;
  using QPaintEngine::drawLines;
  using QPaintEngine::drawPoints;
  using QPaintEngine::drawPolygon;
  using QPaintEngine::drawRects;

  void drawRects(const QRectF* rects, int count) override {
    Writer out(list_);
    out.Code(Op::Rects);
    WriteArray(out, rects, count, [&out](const QRectF& rect) { out.Rect(rect); });
  }
  void drawLines(const QLineF* lines, int count) override {
    Writer out(list_);
    out.Code(Op::Lines);
    WriteArray(out, lines, count, [&out](const QLineF& line) {
      out.Point(line.p1());
      out.Point(line.p2());
    });
  }
  void drawEllipse(const QRectF& rect) override {
    Writer out(list_);
    out.Code(Op::Ellipse);
    out.Rect(rect);
  }
  void drawPath(const QPainterPath& path) override {
    Writer out(list_);
    out.Code(Op::Path);
    WritePath(out, path);
  }
  // Records a text as it stands, with the painter's state made current first: the painter hands the engine
  // its state before any drawing, so the text rides on a drawing of one point, which is not recorded.
  bool RecordText(QPainter& painter, const QPointF& point, const QString& text,
                  std::optional<Qt::Alignment> counted = std::nullopt) {
    return Through(painter, point, [&](const QPointF& at) {
      if (counted) {
        WriteCountedText(at, painter.font(), *counted, text);
      } else {
        WriteText(at, painter.font(), 0, text);
      }
    });
  }

  bool RecordOutlineEntry(QPainter& painter, const QPointF& point, int level, const QString& title) {
    return Through(painter, point, [&](const QPointF& at) {
      Writer out(list_);
      out.Code(Op::OutlineEntry);
      out.Number(static_cast<quint32>(level));
      out.Point(at);
      out.Text(title);
    });
  }

  bool RecordLink(QPainter& painter, const QRectF& area, const QString& target) {
    return Through(painter, area.topLeft(), [&](const QPointF&) {
      Writer out(list_);
      out.Code(Op::Link);
      out.Rect(area);
      out.Text(target);
    });
  }

  // A mark draws nothing and needs none of the painter's state: it goes straight into the list.
  void RecordStructureStart(const TStructureMark& mark) {
    Writer out(list_);
    const int standard = StandardRoleNumber(mark.Role);
    if (standard >= 0 && mark.Alt.isEmpty() && mark.ActualText.isEmpty() && mark.Scope == 0 &&
        mark.Key == 0) {
      out.Code(Op::StructureRole);
      out.Byte(static_cast<quint8>(standard));
      return;
    }
    out.Code(Op::StructureStart);
    out.Text(mark.Role);
    out.Text(mark.Alt);
    out.Text(mark.ActualText);
    out.Byte(mark.Scope);
    out.Number(mark.Key);
    out.Byte(mark.Continued ? 1 : 0);
  }
  void RecordArtifactStart(TArtifactKind kind) {
    Writer out(list_);
    out.Code(Op::ArtifactStart);
    out.Byte(static_cast<quint8>(kind));
  }
  void RecordEnd(Op op) { Writer(list_).Code(op); }

  void drawPoints(const QPointF* points, int count) override {
    if (pending_ && count == 1 && painter() != nullptr) {
      writePending_(std::exchange(pending_, nullptr), points[0]);
      return;
    }
    Writer out(list_);
    out.Code(Op::Points);
    WriteArray(out, points, count, [&out](const QPointF& point) { out.Point(point); });
  }
  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    Writer out(list_);
    out.Code(Op::Polygon);
    out.Byte(static_cast<quint8>(mode));
    WriteArray(out, points, count, [&out](const QPointF& point) { out.Point(point); });
  }
  void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override {
    const quint32 number = PixmapNumber(pixmap);
    Writer out(list_);
    out.Code(Op::Pixmap);
    out.Number(number);
    out.Rect(target);
    out.Rect(source);
  }
  void drawTiledPixmap(const QRectF& target, const QPixmap& pixmap, const QPointF& offset) override {
    const quint32 number = PixmapNumber(pixmap);
    Writer out(list_);
    out.Code(Op::TiledPixmap);
    out.Number(number);
    out.Rect(target);
    out.Point(offset);
  }
  void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                 Qt::ImageConversionFlags flags) override {
    const quint32 number = ImageNumber(image.cacheKey(), TRecordedImageKind::Image, image);
    Writer out(list_);
    out.Code(Op::Image);
    out.Number(number);
    out.Rect(target);
    out.Rect(source);
    out.Number(static_cast<quint32>(flags.toInt()));
  }

  void drawTextItem(const QPointF& point, const QTextItem& item) override {
    const QString text = item.text();
    // A run of glyphs without its characters (a glyph run, a static text) is drawn as its outlines.
    if (text.isEmpty()) {
      QPaintEngine::drawTextItem(point, item);
      return;
    }
    // Underline, overline and strike-out reach the engine as lines of their own.
    QFont font = item.font();
    font.setUnderline(false);
    font.setOverline(false);
    font.setStrikeOut(false);
    const FontEntry& entry = fonts_[FontNumber(font)];
    // A justified line is wider than its text laid out on its own, and is played at its width. Most text is
    // as wide as its characters' advances, which are quick to add up; only text that is not (kerned, or
    // justified) is laid out to tell the two apart.
    double widthPlayed = 0;
    if (text.contains(QLatin1Char(' '))) {
      double advances = 0;
      for (const QChar character : text) advances += entry.Metrics.horizontalAdvance(character);
      if (std::abs(item.width() - advances) > Tolerance &&
          std::abs(item.width() - entry.Metrics.horizontalAdvance(text)) > Tolerance) {
        widthPlayed = item.width();
      }
    }
    WriteText(point, font, widthPlayed, text);
  }

private:
  void WritePenState(const QPen& pen) {
    const quint32 number = PenNumber(pen);
    Writer out(list_);
    out.Code(Op::Pen);
    out.Number(number);
    current_.Pen = pen;
  }
  void WriteBrushState(Op op, const QBrush& brush) {
    const quint32 number = BrushNumber(brush);
    Writer out(list_);
    out.Code(op);
    out.Number(number);
    (op == Op::Brush ? current_.Brush : current_.Background) = brush;
  }

  void WriteText(const QPointF& point, const QFont& font, double widthPlayed, const QString& text) {
    const quint32 number = FontNumber(font);
    Writer out(list_);
    out.Code(Op::Text);
    out.Number(number);
    out.Point(point);
    out.Real(widthPlayed);
    out.Text(text);
  }

  // Hands the painter one point, so that it gives the engine its state first, and writes the record at it
  // in the painter's units; false when the painter drew the point some other way.
  template <typename Write>
  bool Through(QPainter& painter, const QPointF& point, const Write& write) {
    // Called for every text of a page: the record's writer is named, not wrapped, so nothing is allocated.
    pending_ = &write;
    writePending_ = [](const void* writer, const QPointF& at) { (*static_cast<const Write*>(writer))(at); };
    painter.drawPoints(&point, 1);
    const bool recorded = pending_ == nullptr;
    pending_ = nullptr;
    return recorded;
  }

  void WriteCountedText(const QPointF& anchor, const QFont& font, Qt::Alignment alignment,
                        const QString& text) {
    const quint32 number = FontNumber(font);
    Writer out(list_);
    out.Code(Op::CountedText);
    out.Number(number);
    out.Point(anchor);
    out.Byte(alignment & Qt::AlignRight ? 1 : alignment & Qt::AlignHCenter ? 2 : 0);
    out.Text(text);
  }

  struct FontEntry {
    QFont Font;
    QFontMetricsF Metrics;
  };

  // The entry's number in its table, the entry defined in the list at its first use.
  template <typename Entry, typename Write>
  quint32 EntryNumber(std::vector<Entry>& table, const Entry& entry, Op define, Write write) {
    for (std::size_t index = table.size(); index-- > 0;) {
      if (table[index] == entry) return static_cast<quint32>(index);
    }
    Writer out(list_);
    out.Code(define);
    write(out, entry);
    table.push_back(entry);
    return static_cast<quint32>(table.size() - 1);
  }
  quint32 PenNumber(const QPen& pen) { return EntryNumber(pens_, pen, Op::DefinePen, WritePen); }
  quint32 BrushNumber(const QBrush& brush) {
    return EntryNumber(brushes_, brush, Op::DefineBrush, WriteBrush);
  }

  quint32 FontNumber(const QFont& font) {
    if (lastFont_ < fonts_.size() && fonts_[lastFont_].Font == font) return static_cast<quint32>(lastFont_);
    for (std::size_t index = 0; index < fonts_.size(); ++index) {
      if (fonts_[index].Font == font) return static_cast<quint32>(lastFont_ = index);
    }
    // Text plays as a line from the top of its ascent, so the ascent puts its baseline back where it was.
    const QFontMetricsF metrics(font, device_);
    Writer out(list_);
    out.Code(Op::DefineFont);
    WriteFont(out, font);
    out.Real(metrics.ascent());
    fonts_.push_back({font, metrics});
    return static_cast<quint32>(lastFont_ = fonts_.size() - 1);
  }

  quint32 PixmapNumber(const QPixmap& pixmap) {
    const bool bitmap = pixmap.depth() == 1;
    return ImageNumber(pixmap.cacheKey(), bitmap ? TRecordedImageKind::Bitmap : TRecordedImageKind::Pixmap,
                       pixmap.toImage());
  }

  quint32 ImageNumber(qint64 key, TRecordedImageKind kind, const QImage& image) {
    const auto found = images_.constFind(key);
    if (found != images_.constEnd()) return found.value();
    Writer out(list_);
    out.Code(Op::DefineImage);
    out.Byte(static_cast<quint8>(kind));
    out.Streamed(image);
    const auto number = static_cast<quint32>(images_.size());
    images_.insert(key, number);
    return number;
  }

  // The painter's state as the records so far leave it.
  struct State {
    std::optional<QPen> Pen;
    std::optional<QBrush> Brush;
    std::optional<QBrush> Background;
    QPointF BrushOrigin;
    Qt::BGMode BackgroundMode = Qt::TransparentMode;
    QTransform Transform;
    bool ClipEnabled = false;
    std::vector<std::pair<QTransform, QByteArray>> Clips;
    quint32 Hints = 0;
    quint32 Composition = QPainter::CompositionMode_SourceOver;
    double Opacity = 1.0;
  };

  QPaintDevice* device_ = nullptr;
  State current_;
  bool pdfWritable_ = true;
  // What a record that goes through the painter as one point writes (RecordText), until it has.
  const void* pending_ = nullptr;
  void (*writePending_)(const void* writer, const QPointF& at) = nullptr;
  // Between the clearing of the clip that begins a restore and the last clip Qt hands again.
  bool replayingClips_ = false;
  QByteArray list_;
  std::vector<QPen> pens_;
  std::vector<QBrush> brushes_;
  std::vector<FontEntry> fonts_;
  std::size_t lastFont_ = 0;
  QHash<qint64, quint32> images_;
};

TPageRecorder::TPageRecorder() : engine_(std::make_unique<PageRecordEngine>()) {}

TPageRecorder::~TPageRecorder() = default;

QPaintEngine* TPageRecorder::paintEngine() const { return engine_.get(); }

QByteArray TPageRecorder::TakeRecording(bool* pdfWritable) { return engine_->Take(pdfWritable); }

QByteArray TPageRecorder::TakeSheet(bool* pdfWritable) { return engine_->TakeSheet(pdfWritable); }

int TPageRecorder::metric(PaintDeviceMetric metric) const {
  const QPicture& picture = ReferencePicture();
  switch (metric) {
    case PdmWidth:
    case PdmHeight:
    case PdmWidthMM:
    case PdmHeightMM: return 0;
    case PdmNumColors: return picture.colorCount();
    case PdmDepth: return picture.depth();
    case PdmDpiX: return picture.logicalDpiX();
    case PdmDpiY: return picture.logicalDpiY();
    case PdmPhysicalDpiX: return picture.physicalDpiX();
    case PdmPhysicalDpiY: return picture.physicalDpiY();
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
  }
  return 0;
}

namespace {

template <typename Item, typename ReadItem>
QVarLengthArray<Item, 64> ReadArray(Reader& in, qsizetype itemSize, ReadItem read) {
  QVarLengthArray<Item, 64> items;
  const qsizetype count = in.Count(itemSize);
  items.reserve(count);
  for (qsizetype index = 0; index < count; ++index) items.append(read());
  return items;
}

// Reads a recording record by record and hands each to the player; checks everything a player relies on
// (numbers naming defined entries, an image of the kind its drawing wants), so a player meets only whole,
// sound records.
class Decoder {
public:
  Decoder(const QByteArray& recording, TRecordPlayer& player, int pageCount)
      : in_(recording), player_(player), pageCount_(pageCount) {}

  bool Play() {
    while (!in_.AtEnd()) {
      if (!Record() || !in_.Ok() || player_.Stopped()) return false;
    }
    return true;
  }

private:
  // A number naming an entry of a table of that many entries; -1, the reader failed, when it names none.
  int Named(std::size_t entries) {
    const quint32 number = in_.Number();
    if (!in_.Ok() || number >= entries) {
      in_.Fail();
      return -1;
    }
    return static_cast<int>(number);
  }

  // An end without its start is damage: the player's marks always nest.
  void BeginStructure(const TStructureMark& mark) {
    ++openStructures_;
    player_.BeginStructure(mark);
  }

  static bool Close(int& open) {
    if (open == 0) return false;
    --open;
    return true;
  }

  bool Record() {
    const auto op = static_cast<Op>(in_.Byte());
    if (!in_.Ok()) return false;
    constexpr qsizetype PointSize = 2 * sizeof(double);
    switch (op) {
      case Op::DefinePen: pens_.push_back(ReadPen(in_)); break;
      case Op::DefineBrush: brushes_.push_back(ReadBrush(in_)); break;
      case Op::DefineFont: {
        const QFont font = ReadFont(in_);
        const double ascent = in_.Real();
        if (!in_.Ok()) return false;
        fonts_.push_back(font);
        player_.DefineFont(font, ascent);
        break;
      }
      case Op::DefineImage: {
        const auto kind = static_cast<TRecordedImageKind>(in_.Byte());
        const QImage image = in_.Streamed<QImage>();
        if (kind != TRecordedImageKind::Pixmap && kind != TRecordedImageKind::Bitmap &&
            kind != TRecordedImageKind::Image) {
          return false;
        }
        if (!in_.Ok()) return false;
        images_.push_back(kind);
        player_.DefineImage(kind, image);
        break;
      }
      case Op::Pen: {
        const int pen = Named(pens_.size());
        if (pen < 0) return false;
        player_.SetPen(pens_[static_cast<std::size_t>(pen)]);
        break;
      }
      case Op::Brush:
      case Op::BackgroundBrush: {
        const int brush = Named(brushes_.size());
        if (brush < 0) return false;
        if (op == Op::Brush)
          player_.SetBrush(brushes_[static_cast<std::size_t>(brush)]);
        else
          player_.SetBackground(brushes_[static_cast<std::size_t>(brush)]);
        break;
      }
      case Op::BrushOrigin: player_.SetBrushOrigin(in_.Point()); break;
      case Op::BackgroundMode:
        player_.SetBackgroundMode(in_.Byte() == Qt::OpaqueMode ? Qt::OpaqueMode : Qt::TransparentMode);
        break;
      case Op::Transform: {
        const QTransform transform = ReadTransform(in_);
        if (!in_.Ok()) return false;
        player_.SetTransform(transform);
        break;
      }
      case Op::ClipEnabled: player_.SetClipping(in_.Byte() != 0); break;
      case Op::ClipRegion: {
        const quint8 operation = in_.Byte();
        // Joined rectangle by rectangle: a region made straight from its rectangles trusts them to be sorted.
        QRegion region;
        const qsizetype count = in_.Count(4 * sizeof(qint32));
        for (qsizetype index = 0; index < count && in_.Ok(); ++index) region += in_.PixelRect();
        if (operation > Qt::IntersectClip || !in_.Ok()) return false;
        player_.SetClipRegion(region, static_cast<Qt::ClipOperation>(operation));
        break;
      }
      case Op::ClipPath: {
        const quint8 operation = in_.Byte();
        const QPainterPath path = ReadPath(in_);
        if (operation > Qt::IntersectClip || !in_.Ok()) return false;
        player_.SetClipPath(path, static_cast<Qt::ClipOperation>(operation));
        break;
      }
      case Op::Hints:
        player_.SetRenderHints(QPainter::RenderHints::fromInt(static_cast<int>(in_.Number())));
        break;
      case Op::Composition: {
        const quint32 mode = in_.Number();
        if (mode > QPainter::RasterOp_NotDestination) return false;
        player_.SetComposition(static_cast<QPainter::CompositionMode>(mode));
        break;
      }
      case Op::Opacity: player_.SetOpacity(in_.Real()); break;
      case Op::Rects: {
        const auto rects = ReadArray<QRectF>(in_, 2 * PointSize, [this] { return in_.Rect(); });
        if (!in_.Ok()) return false;
        player_.DrawRects(rects.constData(), static_cast<int>(rects.size()));
        break;
      }
      case Op::Lines: {
        const auto lines = ReadArray<QLineF>(in_, 2 * PointSize, [this] {
          const QPointF start = in_.Point();
          return QLineF(start, in_.Point());
        });
        if (!in_.Ok()) return false;
        player_.DrawLines(lines.constData(), static_cast<int>(lines.size()));
        break;
      }
      case Op::Ellipse: {
        const QRectF rect = in_.Rect();
        if (!in_.Ok()) return false;
        player_.DrawEllipse(rect);
        break;
      }
      case Op::Path: {
        const QPainterPath path = ReadPath(in_);
        if (!in_.Ok()) return false;
        player_.DrawPath(path);
        break;
      }
      case Op::Points: {
        const auto points = ReadArray<QPointF>(in_, PointSize, [this] { return in_.Point(); });
        if (!in_.Ok()) return false;
        player_.DrawPoints(points.constData(), static_cast<int>(points.size()));
        break;
      }
      case Op::Polygon: {
        const quint8 mode = in_.Byte();
        const auto points = ReadArray<QPointF>(in_, PointSize, [this] { return in_.Point(); });
        if (!in_.Ok() || mode > QPaintEngine::PolylineMode) return false;
        player_.DrawPolygon(points.constData(), static_cast<int>(points.size()), mode);
        break;
      }
      case Op::Pixmap:
      case Op::TiledPixmap:
      case Op::Image: {
        const int image = Named(images_.size());
        if (image < 0) return false;
        const bool isImage = images_[static_cast<std::size_t>(image)] == TRecordedImageKind::Image;
        const QRectF target = in_.Rect();
        if (op == Op::TiledPixmap) {
          const QPointF offset = in_.Point();
          if (isImage || !in_.Ok()) return false;
          player_.DrawTiledPixmap(image, target, offset);
          break;
        }
        const QRectF source = in_.Rect();
        if (op == Op::Pixmap) {
          if (isImage || !in_.Ok()) return false;
          player_.DrawPixmap(image, target, source);
        } else {
          const auto flags = Qt::ImageConversionFlags::fromInt(static_cast<int>(in_.Number()));
          if (!isImage || !in_.Ok()) return false;
          player_.DrawImage(image, target, source, flags);
        }
        break;
      }
      case Op::Text: {
        const int font = Named(fonts_.size());
        const QPointF point = in_.Point();
        const double width = in_.Real();
        const QString text = in_.Text();
        if (font < 0 || !in_.Ok()) return false;
        player_.DrawText(font, point, width, text);
        break;
      }
      case Op::CountedText: {
        const int font = Named(fonts_.size());
        QPointF point = in_.Point();
        const quint8 alignment = in_.Byte();
        QString text = in_.Text();
        if (font < 0 || alignment > 2 || !in_.Ok()) return false;
        text.replace(PageCountMark, pageCount_ > 0 ? QString::number(pageCount_) : QString());
        if (alignment != 0) {
          // Measured on the device it was recorded on, in whole units, as an aligned text of the drawing
          // context is: the count lands where the number written out would have.
          const int width = QFontMetrics(fonts_[static_cast<std::size_t>(font)], &ReferencePicture())
                                .horizontalAdvance(text);
          point.rx() -= alignment == 1 ? width : width / 2;
        }
        if (!text.isEmpty()) player_.DrawText(font, point, 0, text);
        break;
      }
      case Op::OutlineEntry: {
        const quint32 level = in_.Number();
        const QPointF point = in_.Point();
        const QString title = in_.Text();
        if (!in_.Ok() || level > MaximumOutlineLevel) return false;
        player_.OutlineEntry(static_cast<int>(level), point, title);
        break;
      }
      case Op::StructureStart: {
        TStructureMark mark;
        mark.Role = in_.Text();
        mark.Alt = in_.Text();
        mark.ActualText = in_.Text();
        mark.Scope = in_.Byte();
        mark.Key = in_.Number();
        const quint8 continued = in_.Byte();
        if (!in_.Ok() || mark.Role.isEmpty() || mark.Scope > 2 || continued > 1) return false;
        mark.Continued = continued == 1;
        BeginStructure(mark);
        break;
      }
      case Op::StructureRole: {
        TStructureMark mark;
        mark.Role = StandardRole(in_.Byte());
        if (!in_.Ok() || mark.Role.isEmpty()) return false;
        BeginStructure(mark);
        break;
      }
      case Op::StructureEnd:
        if (!Close(openStructures_)) return false;
        player_.EndStructure();
        break;
      case Op::ArtifactStart: {
        const quint8 kind = in_.Byte();
        if (!in_.Ok() || kind > static_cast<quint8>(TArtifactKind::Pagination)) return false;
        ++openArtifacts_;
        player_.BeginArtifact(static_cast<TArtifactKind>(kind));
        break;
      }
      case Op::ArtifactEnd:
        if (!Close(openArtifacts_)) return false;
        player_.EndArtifact();
        break;
      case Op::Link: {
        const QRectF area = in_.Rect();
        const QString target = in_.Text();
        if (!in_.Ok()) return false;
        player_.Link(area, target);
        break;
      }
      default: return false;
    }
    return in_.Ok();
  }

  Reader in_;
  TRecordPlayer& player_;
  std::vector<QPen> pens_;
  std::vector<QBrush> brushes_;
  const int pageCount_;
  int openStructures_ = 0;
  int openArtifacts_ = 0;
  // The fonts as recorded: a counted text is measured in its font once its number is known.
  std::vector<QFont> fonts_;
  std::vector<TRecordedImageKind> images_;
};

}  // namespace

TPlayedFonts::TPlayedFonts(const QPaintDevice* device)
    : device_(device), texts_(TShapedTexts::ForThisThread()) {
  if (device != nullptr && device->logicalDpiY() > 0)
    scale_ = static_cast<double>(ReferencePicture().logicalDpiY()) / device->logicalDpiY();
}

void TPlayedFonts::Define(const QFont& recorded, double ascent) {
  QFont font = recorded;
  if (font.pixelSize() <= 0 && font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * scale_);
  const int shaped = texts_ != nullptr ? texts_->FontNumber(font, device_) : -1;
  fonts_.push_back({font, ascent, shaped});
}

namespace {

// Plays the records onto a painter, each recorded unit one logical unit of the painter as it stood.
class PainterPlayer : public TRecordPlayer {
public:
  explicit PainterPlayer(QPainter& painter)
      : painter_(painter), base_(painter.transform()), fonts_(painter.device()) {}

  void DefineFont(const QFont& recorded, double ascent) override { fonts_.Define(recorded, ascent); }
  void DefineImage(TRecordedImageKind kind, const QImage& image) override {
    Image entry;
    entry.Image = image;
    if (kind == TRecordedImageKind::Bitmap) {
      entry.Pixmap = QBitmap::fromImage(image);
    } else if (kind == TRecordedImageKind::Pixmap) {
      entry.Pixmap = QPixmap::fromImage(image);
    }
    images_.push_back(std::move(entry));
  }

  void SetPen(const QPen& pen) override { painter_.setPen(pen); }
  void SetBrush(const QBrush& brush) override { painter_.setBrush(brush); }
  void SetBrushOrigin(const QPointF& origin) override { painter_.setBrushOrigin(origin); }
  void SetBackground(const QBrush& brush) override { painter_.setBackground(brush); }
  void SetBackgroundMode(Qt::BGMode mode) override { painter_.setBackgroundMode(mode); }
  void SetTransform(const QTransform& transform) override { painter_.setTransform(transform * base_); }
  void SetClipping(bool enabled) override { painter_.setClipping(enabled); }
  void SetClipRegion(const QRegion& region, Qt::ClipOperation operation) override {
    painter_.setClipRegion(region, operation);
  }
  void SetClipPath(const QPainterPath& path, Qt::ClipOperation operation) override {
    painter_.setClipPath(path, operation);
  }
  void SetRenderHints(QPainter::RenderHints hints) override {
    painter_.setRenderHints(QPainter::RenderHints::fromInt(~0), false);
    painter_.setRenderHints(hints, true);
  }
  void SetComposition(QPainter::CompositionMode mode) override { painter_.setCompositionMode(mode); }
  void SetOpacity(double opacity) override { painter_.setOpacity(opacity); }

  void DrawRects(const QRectF* rects, int count) override { painter_.drawRects(rects, count); }
  void DrawLines(const QLineF* lines, int count) override { painter_.drawLines(lines, count); }
  void DrawEllipse(const QRectF& rect) override { painter_.drawEllipse(rect); }
  void DrawPath(const QPainterPath& path) override { painter_.drawPath(path); }
  void DrawPoints(const QPointF* points, int count) override { painter_.drawPoints(points, count); }
  void DrawPolygon(const QPointF* points, int count, int mode) override {
    switch (mode) {
      case QPaintEngine::OddEvenMode: painter_.drawPolygon(points, count, Qt::OddEvenFill); break;
      case QPaintEngine::WindingMode: painter_.drawPolygon(points, count, Qt::WindingFill); break;
      case QPaintEngine::ConvexMode: painter_.drawConvexPolygon(points, count); break;
      default: painter_.drawPolyline(points, count); break;
    }
  }
  void DrawPixmap(int image, const QRectF& target, const QRectF& source) override {
    painter_.drawPixmap(target, images_[static_cast<std::size_t>(image)].Pixmap, source);
  }
  void DrawTiledPixmap(int image, const QRectF& target, const QPointF& offset) override {
    painter_.drawTiledPixmap(target, images_[static_cast<std::size_t>(image)].Pixmap, offset);
  }
  void DrawImage(int image, const QRectF& target, const QRectF& source,
                 Qt::ImageConversionFlags flags) override {
    painter_.drawImage(target, images_[static_cast<std::size_t>(image)].Image, source, flags);
  }
  void DrawText(int fontNumber, const QPointF& point, double width, const QString& text) override {
    const TPlayedFonts::TFont& font = fonts_[fontNumber];
    // Setting a font resolves it for the device again; a page's texts mostly share a few.
    if (fontSet_ != fontNumber) painter_.setFont(font.Font);
    fontSet_ = fontNumber;
    if (width <= 0) {
      if (TShapedTexts* texts = fonts_.Texts()) {
        texts->Draw(painter_, font.Shaped, point, text);
      } else {
        painter_.drawText(point, text);
      }
      return;
    }
    // A justified line is laid out again at its width, from the top of the font's ascent.
    painter_.drawText(QRectF(QPointF(point.x(), point.y() - font.Ascent), QSizeF(width, 1)),
                      Qt::TextSingleLine | Qt::TextDontClip | Qt::TextForceLeftToRight |
                          Qt::TextJustificationForced | Qt::AlignJustify,
                      text);
  }

private:
  struct Image {
    QImage Image;
    QPixmap Pixmap;
  };

  QPainter& painter_;
  const QTransform base_;
  TPlayedFonts fonts_;
  std::vector<Image> images_;
  /** The number of the font the last text set on the painter (only a text sets one), or none. */
  int fontSet_ = -1;
};

}  // namespace

namespace {
// The engine of the painter when it records; null otherwise.
PageRecordEngine* RecordingEngine(QPainter& painter) {
  return painter.isActive() ? dynamic_cast<PageRecordEngine*>(painter.paintEngine()) : nullptr;
}

// The engine that can take the text as characters alone: the painter records, and the text needs none of its
// own drawing (a decoration, right to left, more than one plain line). Null otherwise.
PageRecordEngine* TextEngine(QPainter& painter, const QString& text) {
  const QFont& font = painter.font();
  if (painter.pen().style() == Qt::NoPen || text.isEmpty() || font.underline() || font.overline() ||
      font.strikeOut() || painter.layoutDirection() == Qt::RightToLeft || !TShapedTexts::IsPlainLine(text)) {
    return nullptr;
  }
  return RecordingEngine(painter);
}
}  // namespace

bool RecordText(QPainter& painter, const QPointF& baselineStart, const QString& text) {
  PageRecordEngine* engine = TextEngine(painter, text);
  return engine != nullptr && engine->RecordText(painter, baselineStart, text);
}

bool RecordPageCountText(QPainter& painter, const QPointF& anchor, Qt::Alignment alignment,
                         const QString& text) {
  PageRecordEngine* engine = TextEngine(painter, text);
  return engine != nullptr && engine->RecordText(painter, anchor, text, alignment);
}

bool RecordOutlineEntry(QPainter& painter, const QPointF& at, int level, const QString& title) {
  PageRecordEngine* engine = RecordingEngine(painter);
  return engine != nullptr && level >= 0 && level <= MaximumOutlineLevel &&
         engine->RecordOutlineEntry(painter, at, level, title);
}

bool RecordLink(QPainter& painter, const QRectF& area, const QString& target) {
  PageRecordEngine* engine = RecordingEngine(painter);
  return engine != nullptr && !target.isEmpty() && area.isValid() &&
         engine->RecordLink(painter, area, target);
}

bool RecordStructureStart(QPainter& painter, const TStructureMark& mark) {
  PageRecordEngine* engine = RecordingEngine(painter);
  if (engine == nullptr || mark.Role.isEmpty() || mark.Scope > 2) return false;
  engine->RecordStructureStart(mark);
  return true;
}

bool RecordStructureEnd(QPainter& painter) {
  PageRecordEngine* engine = RecordingEngine(painter);
  if (engine != nullptr) engine->RecordEnd(Op::StructureEnd);
  return engine != nullptr;
}

bool RecordArtifactStart(QPainter& painter, TArtifactKind kind) {
  PageRecordEngine* engine = RecordingEngine(painter);
  if (engine != nullptr) engine->RecordArtifactStart(kind);
  return engine != nullptr;
}

bool RecordArtifactEnd(QPainter& painter) {
  PageRecordEngine* engine = RecordingEngine(painter);
  if (engine != nullptr) engine->RecordEnd(Op::ArtifactEnd);
  return engine != nullptr;
}

bool PlayRecording(QPainter& painter, const QByteArray& recording, int pageCount) {
  if (recording.isEmpty()) return true;
  painter.save();
  bool whole = false;
  {
    PainterPlayer player(painter);
    whole = Decoder(recording, player, pageCount).Play();
  }
  painter.restore();
  return whole;
}

bool PlayRecording(TRecordPlayer& player, const QByteArray& recording, int pageCount) {
  return Decoder(recording, player, pageCount).Play();
}
