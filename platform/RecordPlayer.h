#pragma once

// What a recorded page plays to when it goes somewhere other than a painter, such as a PDF page.

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QTransform>
#include <vector>

class QPaintDevice;
class TShapedTexts;

/** What an image of a recorded page was drawn as: a pixmap, a one-bit pixmap (in the pen's colour), an image.
 */
enum class TRecordedImageKind : quint8 { Pixmap = 0, Bitmap = 1, Image = 2 };

/**
 * What a part of a page is to someone who reads the page rather than looks at it: an element of the
 * document's structure (a heading, a paragraph, a table's cell, a figure) by its standard PDF role, or an
 * artifact that belongs to the paper only. Elements nest; an element's text is read in the order it is drawn.
 */
struct TStructureMark {
  /** The standard role: "H1", "P", "Table", "TR", "TH", "TD", "Figure", "L", "LI", "Lbl", "LBody", "Span". */
  QString Role;
  /** What a figure shows, in words (its alternate text); empty for none. */
  QString Alt;
  /** The words that stand for the element's content when they differ from its text; empty for none. */
  QString ActualText;
  /** A title cell's reach: 0 none, 1 its column, 2 its row. */
  quint8 Scope = 0;
  /**
   * What names the element among those of the document that go on over a page's end (a grid's table, a
   * paragraph cut by the page); 0 for one that ends on its page.
   */
  quint32 Key = 0;
  /** Whether it goes on with the element of the same key that ended on an earlier page. */
  bool Continued = false;

  /** An element of the role and nothing more. */
  static TStructureMark Of(const QString& role) {
    TStructureMark mark;
    mark.Role = role;
    return mark;
  }
};

/** What an artifact is: the page's layout (a frame, a rule, a fill), its pagination (a header, a footer). */
enum class TArtifactKind : quint8 { Layout = 0, Pagination = 1 };

/**
 * What a recorded page is played to: the painter's state and drawing calls of the page, in their order, as
 * the painter handed them to the recording. Fonts and images come once, numbered in the order they come;
 * the calls after name them by that number. A player that cannot draw a record says so by Stopped(), and
 * playing ends there.
 */
class TRecordPlayer {
public:
  virtual ~TRecordPlayer() = default;

  virtual void DefineFont(const QFont& font, double ascent) = 0;
  virtual void DefineImage(TRecordedImageKind kind, const QImage& image) = 0;

  virtual void SetPen(const QPen& pen) = 0;
  virtual void SetBrush(const QBrush& brush) = 0;
  virtual void SetBrushOrigin(const QPointF& origin) = 0;
  virtual void SetBackground(const QBrush& brush) = 0;
  virtual void SetBackgroundMode(Qt::BGMode mode) = 0;
  /** The painter's transform as recorded, before the player's own placement of the page. */
  virtual void SetTransform(const QTransform& transform) = 0;
  virtual void SetClipping(bool enabled) = 0;
  virtual void SetClipRegion(const QRegion& region, Qt::ClipOperation operation) = 0;
  virtual void SetClipPath(const QPainterPath& path, Qt::ClipOperation operation) = 0;
  virtual void SetRenderHints(QPainter::RenderHints hints) = 0;
  virtual void SetComposition(QPainter::CompositionMode mode) = 0;
  virtual void SetOpacity(double opacity) = 0;

  virtual void DrawRects(const QRectF* rects, int count) = 0;
  virtual void DrawLines(const QLineF* lines, int count) = 0;
  virtual void DrawEllipse(const QRectF& rect) = 0;
  virtual void DrawPath(const QPainterPath& path) = 0;
  virtual void DrawPoints(const QPointF* points, int count) = 0;
  /** mode is QPaintEngine::PolygonDrawMode: odd-even, winding, convex or a polyline. */
  virtual void DrawPolygon(const QPointF* points, int count, int mode) = 0;
  virtual void DrawPixmap(int image, const QRectF& target, const QRectF& source) = 0;
  virtual void DrawTiledPixmap(int image, const QRectF& target, const QPointF& offset) = 0;
  virtual void DrawImage(int image, const QRectF& target, const QRectF& source,
                         Qt::ImageConversionFlags flags) = 0;
  /**
   * One line of text in the numbered font with its baseline starting at the point; a width above 0 is the
   * width of a justified line the text is spread over.
   */
  virtual void DrawText(int font, const QPointF& baselineStart, double width, const QString& text) = 0;

  /** An entry of the document's outline leading to the point (RecordOutlineEntry); nothing to draw. */
  virtual void OutlineEntry(int /*level*/, const QPointF& /*at*/, const QString& /*title*/) {}
  /** An area that links to a target (RecordLink); nothing to draw. */
  virtual void Link(const QRectF& /*area*/, const QString& /*target*/) {}

  /** An element of the document's structure begins; what is drawn until its end belongs to it. */
  virtual void BeginStructure(const TStructureMark& /*mark*/) {}
  virtual void EndStructure() {}
  /** An artifact begins: what is drawn until its end is no part of the document's content. */
  virtual void BeginArtifact(TArtifactKind /*kind*/) {}
  virtual void EndArtifact() {}

  /** Whether the player met a record it cannot draw; playing stops there. */
  virtual bool Stopped() const { return false; }
};

/**
 * The fonts a recording defines, made ready for the device it is played on: a font sized in points takes its
 * size in the recording's pixels whatever the device, and each is numbered among the texts this thread keeps
 * laid out (TShapedTexts), when it keeps them.
 */
class TPlayedFonts {
public:
  explicit TPlayedFonts(const QPaintDevice* device);

  struct TFont {
    QFont Font;
    /** The ascent the font had where it was recorded: a justified line is placed from the top of it. */
    double Ascent = 0;
    /** The font's number among the kept layouts; -1 when none are kept. */
    int Shaped = -1;
  };
  void Define(const QFont& recorded, double ascent);
  const TFont& operator[](int number) const { return fonts_[static_cast<std::size_t>(number)]; }
  /** The layouts kept in this thread, or none. */
  TShapedTexts* Texts() const { return texts_; }

private:
  const QPaintDevice* device_;
  double scale_ = 1.0;
  TShapedTexts* texts_ = nullptr;
  std::vector<TFont> fonts_;
};
