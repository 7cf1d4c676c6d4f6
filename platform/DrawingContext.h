#pragma once

// The desktop-style drawing context over a QPainter that the page device and the print rules draw through.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPen>
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QTransform>
#include <optional>
#include <vector>

class QImage;
class QPainter;
class QPicture;

/** How logical coordinates map to device pixels: one to one (origins only), or scaled by the extents. */
enum class TMappingMode { Text, Isotropic, Anisotropic };

/** Where a text's reference point lies horizontally; vertically it is always the top of the text cell. */
enum class TTextAlign { Left, Right, Center };

/** Whether text cells and hatch gaps are filled with the background colour. */
enum class TBackgroundMode { Transparent, Opaque };

/**
 * A GDI-style drawing context over a QPainter: a mapping mode with window and viewport origins and extents,
 * clip regions, a stack of saved states, text alignment with the reference point at the top-left of the
 * text cell, background mode and colour, text colour, selected pen, brush and font, and a current
 * position for MoveTo/LineTo.
 *
 * Rectangles are given as left, top, right, bottom with right and bottom excluded, and lines leave out
 * their end pixel, as on the desktop this program was designed for. A fresh context has the defaults of a
 * fresh device context: identity mapping, no clip, left alignment, opaque white background, black text,
 * a black one-pixel pen and a white brush.
 *
 * The painter stays the caller's; the context only changes its state. Whatever world transform the painter
 * has when the context is created is the context's "device" space.
 */
class DrawingContext {
public:
  explicit DrawingContext(QPainter& painter);
  ~DrawingContext();
  DrawingContext(const DrawingContext&) = delete;
  DrawingContext& operator=(const DrawingContext&) = delete;

  /** The painter underneath, for painting a widget into the page (QWidget::render). */
  /** The painter, its pen the one selected (not the text colour a text was drawn in). */
  QPainter& Painter();

  /** Mapping: device = (logical - window origin) * viewport extent / window extent + viewport origin. */
  void SetMapMode(TMappingMode mode);
  TMappingMode MapMode() const { return state_.mode; }
  void SetWindowExtent(int width, int height);
  void SetViewportExtent(int width, int height);
  void SetWindowOrigin(int x, int y);
  void SetViewportOrigin(int x, int y);
  /** Moves the viewport origin by device pixels. */
  void OffsetViewportOrigin(int dx, int dy);
  /** Moves the window origin by logical units. */
  void OffsetWindowOrigin(int dx, int dy);
  QSize WindowExtent() const { return state_.windowExtent; }
  QSize ViewportExtent() const { return state_.viewportExtent; }
  QPoint WindowOrigin() const { return state_.windowOrigin; }
  QPoint ViewportOrigin() const { return state_.viewportOrigin; }
  QPointF LogicalToDevice(const QPointF& point) const;
  QPointF DeviceToLogical(const QPointF& point) const;

  /** Narrows the clip region to a rectangle in logical coordinates. */
  void IntersectClipRect(int left, int top, int right, int bottom);
  /** Replaces the clip region by a rectangle in device pixels. */
  void SelectClipRect(int left, int top, int right, int bottom);
  /** No clipping at all. */
  void RemoveClip();

  /**
   * Pushes mapping, clip, colours, alignment, selected objects and current position; RestoreState pops them.
   */
  void SaveState();
  /** Returns false (and changes nothing) when nothing was saved. */
  bool RestoreState();

  void SetTextAlign(TTextAlign align) { state_.textAlign = align; }
  TTextAlign TextAlign() const { return state_.textAlign; }
  /** The selected font's turn, in tenths of a degree anticlockwise (SelectFont). */
  int Escapement() const { return state_.escapement; }
  void SetBackgroundMode(TBackgroundMode mode);
  TBackgroundMode BackgroundMode() const { return state_.backgroundMode; }
  void SetBackgroundColor(const QColor& color);
  QColor BackgroundColor() const { return state_.backgroundColor; }
  void SetTextColor(const QColor& color) { state_.textColor = color; }
  QColor TextColor() const { return state_.textColor; }

  void SelectPen(const QPen& pen);
  const QPen& Pen() const { return state_.pen; }
  void SelectBrush(const QBrush& brush);
  const QBrush& Brush() const { return state_.brush; }
  /** Selects a font; escapement turns the text counter-clockwise in tenths of a degree. */
  void SelectFont(const QFont& font, int escapement = 0);
  const QFont& Font() const { return state_.font; }

  void MoveTo(int x, int y) { state_.position = QPoint(x, y); }
  QPoint CurrentPosition() const { return state_.position; }
  /**
   * Draws from the current position to (x, y), leaving out (x, y) itself, which becomes the current
   * position.
   */
  void LineTo(int x, int y);

  /**
   * Outline with the pen on the edge pixels, inside filled with the brush; covers left..right-1,
   * top..bottom-1.
   */
  void Rectangle(int left, int top, int right, int bottom);
  /** A rectangle whose corners are quarter ellipses cornerWidth by cornerHeight. */
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  /** The ellipse inscribed in the rectangle, outlined with the pen and filled with the brush. */
  void Ellipse(int left, int top, int right, int bottom);
  /** Fills left..right-1, top..bottom-1 with a brush, no outline. */
  void FillRect(int left, int top, int right, int bottom, const QBrush& brush);

  /**
   * Draws text in the selected font and text colour with (x, y) as reference point (see TTextAlign). A text
   * holding PageCountMark shows the page count of the document its page is played in (RecordPageCountText),
   * placed by the reference point once the count is in; drawn on no recorded page, the mark is left out.
   */
  void TextOut(int x, int y, const QString& text);
  /**
   * Leads an entry of the document's outline to (x, y), nested at the level; drawn nowhere but on a recorded
   * page, it is nothing (RecordOutlineEntry).
   */
  void OutlineEntry(int x, int y, int level, const QString& title);
  /** Makes the area a link to the target on a recorded page (RecordLink); elsewhere it is nothing. */
  void Link(const QRect& area, const QString& target);
  /** Advance width of the text in the selected font, in logical units. */
  int TextWidth(const QString& text) const;
  /** Height of a text cell (ascent + descent) in the selected font. */
  int TextHeight() const;

  /** Stretches an image onto (x, y, width, height); a negative width or height mirrors it on that axis. */
  void StretchDraw(int x, int y, int width, int height, const QImage& image);
  /** Plays a recorded picture with its bounding rectangle stretched onto the rectangle. */
  void DrawPicture(const QPicture& picture, int left, int top, int right, int bottom);

private:
  void DrawPageCountText(const QPointF& anchor, const QString& text);

  struct State {
    TMappingMode mode = TMappingMode::Text;
    QSize windowExtent{1, 1};
    QSize viewportExtent{1, 1};
    QPoint windowOrigin;
    QPoint viewportOrigin;
    TTextAlign textAlign = TTextAlign::Left;
    TBackgroundMode backgroundMode = TBackgroundMode::Opaque;
    QColor backgroundColor = Qt::white;
    QColor textColor = Qt::black;
    QPen pen;
    QBrush brush;
    QFont font;
    int escapement = 0;
    QPoint position;
  };

  QTransform MappingTransform() const;
  void ApplyMapping();
  /** True when a pen paints whole pixel cells: solid, one logical unit wide (or cosmetic with no scaling). */
  bool PaintsPixelCells(const QPen& pen) const;
  const QFontMetrics& Metrics() const;
  static QRectF CurveFrame(int left, int top, int right, int bottom);
  /** Runs a drawing with the clip narrowed to the figure's rectangle. */
  template <typename Draw>
  void DrawInside(int left, int top, int right, int bottom, Draw draw);
  /** Puts the selected pen back on the painter after a text left its own there. */
  void UseStrokePen();

  QPainter& painter_;
  QTransform deviceTransform_;
  State state_;
  std::vector<State> saved_;
  mutable std::optional<QFontMetrics> metrics_;
  bool textPenSet_ = false;
};
