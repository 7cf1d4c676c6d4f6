#pragma once

// Turns one recorded page into a PDF page's content, its text as the glyphs Qt lays it out in.

#include "platform/RecordPlayer.h"
#include "platform/ShapedTexts.h"

#include <QByteArray>
#include <vector>

class QPaintDevice;
class QRawFont;
class TPdfFont;

/** A run of a text's glyphs as written: a string of glyphs in a font at a size, from its place. */
struct TShownPiece {
  /** None for glyphs drawn as their shapes (a font whose outlines cannot be embedded). */
  TPdfFont* Font = nullptr;
  double Size = 0;
  /** Where the first glyph stands, from the start of the text's baseline, in the page's units. */
  QPointF Start;
  /** "[<0041>12<0042>] TJ", with a move to each new line of glyphs. */
  QByteArray Show;
  /** The glyphs' shapes, from the start of the baseline, when they have no font. */
  QPainterPath Shapes;
};

/** A text as written once, to be written again without laying it out. */
struct TShownText {
  std::vector<TShownPiece> Pieces;
  /** The glyphs cannot say which characters they stand for: the text says so around them. */
  bool Actual = false;
};

/** What a page's content names: fonts, pictures and transparency, each registered with the page it is on. */
class TPdfResources {
public:
  virtual ~TPdfResources() = default;
  /** The document's font of the raw font's file, named on the page. */
  virtual TPdfFont& Font(const QRawFont& font) = 0;
  /** Names a font of the document on the page. */
  virtual void Use(TPdfFont& font) = 0;
  /**
   * What was kept of a text written before in the numbered font (a TShapedTexts number): its pieces, or
   * an entry with none, for the player to fill. Null when no more are kept.
   */
  virtual TShownText* Shown(int font, const QString& text) = 0;
  /** The name of the image's picture ("/I3"). */
  virtual QByteArray Picture(const QImage& image) = 0;
  /** The name of a one-bit image's stencil. */
  virtual QByteArray Stencil(const QImage& image) = 0;
  /** The name of a graphics state with these alphas for filling and stroking. */
  virtual QByteArray Alpha(double fill, double stroke) = 0;
  /** An outline entry leading to the point of the page, in its device pixels. */
  virtual void OutlineEntry(int level, const QPointF& device, const QString& title) = 0;
  /** A link over the area of the page, in its device pixels. */
  virtual void Link(const QRectF& device, const QString& target) = 0;
  /** Whether the document is tagged: its content marked as structure or as artifacts. */
  virtual bool Tagged() const = 0;
  /** An element of the structure begins on the page, in the elements begun before; and the innermost ends. */
  virtual void BeginStructure(const TStructureMark& mark) = 0;
  virtual void EndStructure() = 0;
  /** The number of the next marked content of the page, made a part of the innermost element. */
  virtual int MarkedContent() = 0;
};

/**
 * Plays a recorded page into a PDF content stream, in the page's device pixels (the stream's base matrix
 * maps them onto the paper). The painter's state is written only where a drawing needs it: colours, line
 * style and transparency once per change, the clip as a group of its own. Text is written as the glyphs Qt
 * lays it out in (kept laid out between texts and pages, so a text met again is not laid out again), in the
 * fonts' own glyph numbers, with each glyph's characters told to the font or, where a glyph's characters
 * cannot be told apart (right to left, several fonts, shaped forms), as the text's actual characters.
 */
class TPdfPagePlayer : public TRecordPlayer {
public:
  /** layoutDevice: the printer's metrics, which texts are laid out for. */
  TPdfPagePlayer(TPdfResources& resources, QByteArray& content, const QPaintDevice* layoutDevice);
  ~TPdfPagePlayer() override;

  void DefineFont(const QFont& font, double ascent) override;
  void DefineImage(TRecordedImageKind kind, const QImage& image) override;

  void SetPen(const QPen& pen) override;
  void SetBrush(const QBrush& brush) override;
  void SetBrushOrigin(const QPointF&) override {}
  void SetBackground(const QBrush&) override {}
  void SetBackgroundMode(Qt::BGMode mode) override;
  void SetTransform(const QTransform& transform) override;
  void SetClipping(bool enabled) override;
  void SetClipRegion(const QRegion& region, Qt::ClipOperation operation) override;
  void SetClipPath(const QPainterPath& path, Qt::ClipOperation operation) override;
  void SetRenderHints(QPainter::RenderHints) override {}
  void SetComposition(QPainter::CompositionMode mode) override;
  void SetOpacity(double opacity) override { opacity_ = opacity; }

  void DrawRects(const QRectF* rects, int count) override;
  void DrawLines(const QLineF* lines, int count) override;
  void DrawEllipse(const QRectF& rect) override;
  void DrawPath(const QPainterPath& path) override;
  void DrawPoints(const QPointF* points, int count) override;
  void DrawPolygon(const QPointF* points, int count, int mode) override;
  void DrawPixmap(int image, const QRectF& target, const QRectF& source) override;
  void DrawTiledPixmap(int image, const QRectF& target, const QPointF& offset) override;
  void DrawImage(int image, const QRectF& target, const QRectF& source, Qt::ImageConversionFlags) override;
  void DrawText(int font, const QPointF& baselineStart, double width, const QString& text) override;
  void OutlineEntry(int level, const QPointF& at, const QString& title) override;
  void Link(const QRectF& area, const QString& target) override;
  void BeginStructure(const TStructureMark& mark) override;
  void EndStructure() override;
  void BeginArtifact(TArtifactKind kind) override;
  void EndArtifact() override;

  bool Stopped() const override { return stopped_; }
  /** Closes what the stream opened; the content is whole afterwards. */
  void Finish();

private:
  struct Image {
    TRecordedImageKind Kind = TRecordedImageKind::Image;
    QImage Image;
  };
  enum class Paint { Fill, Stroke, FillAndStroke };

  void Stop() { stopped_ = true; }
  /**
   * In a tagged document, opens the marked content that what is drawn next belongs to: the innermost
   * element's, the innermost artifact's, or, outside both, a layout artifact's.
   */
  void EnsureMarked();
  void CloseMarked();
  bool Fills() const { return brush_.style() != Qt::NoBrush; }
  bool Strokes() const { return pen_.style() != Qt::NoPen; }
  /** Writes the clip again when it changed, and the graphics state for what the drawing paints. */
  void Prepare(bool fill, bool stroke);
  void WriteClip();
  void FillColour(const QColor& colour);
  void StrokeStyle();
  void AlphaFor(double fill, double stroke);
  /** The width of a stroke in device pixels, or -1 when the transform stretches it unevenly. */
  double DeviceWidth() const;
  void AppendPoint(const QPointF& point);
  void AppendPath(const QPainterPath& devicePath);
  /** Fills and strokes a shape given in the page's logical units, as the painter paints it. */
  void PaintShape(const QPainterPath& logical, bool closed);
  void Operator(const char* fillOnly, const char* strokeOnly, const char* both, bool fill, bool stroke);
  void DrawPicture(const Image& image, const QRectF& target, const QRectF& source);
  /**
   * Makes the piece that shows a run of glyphs placed from the origin (the pieces of a text are kept from the
   * start of its baseline); false when the run draws nothing.
   */
  bool DrawGlyphRun(const class QGlyphRun& run, const QPointF& origin, const QString& text, bool& actual,
                    TShownPiece& piece);
  /**
   * Lays a plain line of Latin text out with HarfBuzz in the font Qt took for that font before, as Qt's own
   * layout would; false when Qt's layout is needed (another script, a font's features Qt applies itself, a
   * character the font lacks).
   */
  bool ShapeDirectly(int fontNumber, const QString& text, TShownText& made);
  void WriteShown(const TShownText& shown, const QPointF& baselineStart, const QString& text);
  static void Justify(TShapedTexts::TLine& line, double width);
  /** Tells the font which characters each glyph of the text stands for; false when that cannot be told. */
  static bool MapCharacters(TPdfFont& font, const QList<quint32>& glyphs, const QString& text);

  TPdfResources& resources_;
  QByteArray& out_;
  const QPaintDevice* layoutDevice_;
  TPlayedFonts fonts_;
  /** The font file and size Qt lays each recorded font's Latin lines out in on the device, once looked up. */
  std::vector<QRawFont> laidOutIn_;
  std::vector<Image> images_;

  // The state as the page set it.
  QPen pen_;
  QBrush brush_;
  QTransform transform_;
  double opacity_ = 1.0;
  Qt::BGMode backgroundMode_ = Qt::TransparentMode;
  bool clipEnabled_ = false;
  struct ClipPiece {
    QPainterPath Path;
  };
  std::vector<ClipPiece> clip_;
  bool clipChanged_ = true;
  bool stopped_ = false;

  // The marks open on the page, innermost last, each by the number it was begun with; and the one whose
  // marked content is open in the stream (0: a layout artifact outside every mark; -1: none open).
  struct Mark {
    int Serial = 0;
    bool Artifact = false;
    TArtifactKind Kind = TArtifactKind::Layout;
    QByteArray Role;
    /** Begun as an element: one begun inside an artifact stays part of it (Artifact set, same serial). */
    bool Structure = false;
  };
  std::vector<Mark> marks_;
  int markSerial_ = 0;
  int markedOpen_ = -1;

  // The state as the stream has it inside the current clip group; unknown (written anew) after the group.
  bool groupOpen_ = false;
  QRgb fillWritten_ = 0;
  bool fillKnown_ = false;
  QRgb strokeWritten_ = 0;
  bool strokeKnown_ = false;
  QByteArray lineStyleWritten_;
  QByteArray alphaWritten_;
};
