#pragma once

// Fonts, colours, pens, brushes and pictures as the forms and the print rules describe them.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPicture>
#include <QString>
#include <cstdint>

class QPainter;

/** A colour as the program stores it: 0x00BBGGRR for plain colours, 0x80000000 + n for system colour n. */
using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

/** System colours: their value depends on the desktop's current palette (see ColorToRGB). */
constexpr TColor SystemColor(int index) {
  return static_cast<TColor>(0x80000000u | static_cast<std::uint32_t>(index));
}
const TColor clScrollBar = SystemColor(0);
const TColor clBackground = SystemColor(1);
const TColor clActiveCaption = SystemColor(2);
const TColor clInactiveCaption = SystemColor(3);
const TColor clMenu = SystemColor(4);
const TColor clWindow = SystemColor(5);
const TColor clWindowFrame = SystemColor(6);
const TColor clMenuText = SystemColor(7);
const TColor clWindowText = SystemColor(8);
const TColor clCaptionText = SystemColor(9);
const TColor clActiveBorder = SystemColor(10);
const TColor clInactiveBorder = SystemColor(11);
const TColor clAppWorkSpace = SystemColor(12);
const TColor clHighlight = SystemColor(13);
const TColor clHighlightText = SystemColor(14);
const TColor clBtnFace = SystemColor(15);
const TColor clBtnShadow = SystemColor(16);
const TColor clGrayText = SystemColor(17);
const TColor clBtnText = SystemColor(18);
const TColor clInactiveCaptionText = SystemColor(19);
const TColor clBtnHighlight = SystemColor(20);
const TColor cl3DDkShadow = SystemColor(21);
const TColor cl3DLight = SystemColor(22);
const TColor clInfoText = SystemColor(23);
const TColor clInfoBk = SystemColor(24);

/** True for the system colour range 0x80000000..0x800000FF. */
bool IsSystemColor(TColor color);

/** The RGB value (0x00BBGGRR) of a colour; system colours are read from the application's current palette. */
TColor ColorToRGB(TColor color);

/** A QColor for a colour value (system colours resolved through ColorToRGB). */
QColor ToQColor(TColor color);

/** The colour value (0x00BBGGRR) of a QColor. */
TColor FromQColor(const QColor& color);

enum TFontStyle : unsigned { fsBold = 1u, fsItalic = 2u, fsUnderline = 4u, fsStrikeOut = 8u };
/** A set of TFontStyle flags. */
using TFontStyles = unsigned;

/**
 * A font as the program describes it: face name, height in pixels (negative: character height,
 * positive: cell height), size in points, style set, colour and the pixels per inch its size refers to.
 * Height and Size are two views of one value: setting one recomputes the other through PixelsPerInch.
 */
class TFont {
public:
  TFont();

  QString Name() const { return name_; }
  void SetName(const QString& name) { name_ = name; }
  int Height() const { return height_; }
  void SetHeight(int height) { height_ = height; }
  /** Points: -Height * 72 / PixelsPerInch, rounded. */
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style) { style_ = style; }
  bool HasStyle(TFontStyle flag) const { return (style_ & flag) != 0; }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int ppi) { pixelsPerInch_ = ppi; }

  /**
   * The framework's font assignment: copies name, height, style and colour but keeps this font's pixels per
   * inch; where the two differ, the size in points is what carries over (the height is recomputed).
   */
  void Assign(const TFont& other);

  /**
   * The Qt font for this description: the face name as given (substitutions map Windows faces to
   * metric-compatible ones) at a pixel size, so heights are the same on every paint device.
   */
  QFont ToQFont() const;

  bool operator==(const TFont& other) const;
  bool operator!=(const TFont& other) const { return !(*this == other); }

private:
  QString name_;
  int height_;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  int pixelsPerInch_;
};

/** A Qt font of a face and a GDI-style height (negative: character height, positive: cell height). */
QFont FontOfHeight(const QString& name, int height, TFontStyles style);
/** The face, character height and styles of a Qt font as a control's font (its colour is left black). */
TFont FromQFont(const QFont& font);

enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

/** A fill description: style and colour; the framework's default is solid white. */
struct TBrush {
  TBrushStyle Style = bsSolid;
  TColor Color = clWhite;
  bool operator==(const TBrush& other) const { return Style == other.Style && Color == other.Color; }
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

/** A line description: style, width in pixels and colour; the framework's default is a solid black 1-pixel
 * pen. */
struct TPen {
  TPenStyle Style = psSolid;
  int Width = 1;
  TColor Color = clBlack;
  bool operator==(const TPen& other) const {
    return Style == other.Style && Width == other.Width && Color == other.Color;
  }
};

/** What a picture holds: nothing, a bitmap, a recorded metafile or an icon. */
enum TGraphicKind { gkNone, gkBitmap, gkMetafile, gkIcon };

/**
 * A picture as image controls hold it: a bitmap (QImage), a recorded metafile (QPicture) or an icon (QIcon).
 * Printing tells them apart: a bitmap is stretched to its rectangle, a metafile played into it, an icon left
 * out; on screen Draw shows each.
 */
class TPicture {
public:
  TPicture() = default;
  /** A bitmap picture; a null image gives an empty picture. */
  explicit TPicture(const QImage& bitmap);

  static TPicture FromMetafile(const QPicture& metafile);
  /** An icon shown at `size` (its largest available size when `size` is empty). */
  static TPicture FromIcon(const QIcon& icon, QSize size = QSize());
  /**
   * Reads picture bytes (a file's or a graphic field's): a recorded QPicture as a metafile, ICO data as an
   * icon, any other format Qt reads as a bitmap. False, and the picture empty, when the bytes are none of
   * them.
   */
  bool LoadFromData(const QByteArray& data);
  /** LoadFromData of a file's contents; false when the file cannot be read or holds no picture. */
  bool LoadFromFile(const QString& fileName);
  void Clear() { *this = TPicture(); }

  TGraphicKind Kind() const { return kind_; }
  bool Empty() const { return kind_ == gkNone; }
  const QImage& Bitmap() const { return bitmap_; }
  const QPicture& Metafile() const { return metafile_; }
  const QIcon& Icon() const { return icon_; }
  int Width() const { return size().width(); }
  int Height() const { return size().height(); }
  /** Width and height in pixels (Qt's spelling, as code written against a QImage picture asks). */
  QSize size() const;

  /**
   * Where an image control shows the picture in `area`: all of it when stretched, else at its own size,
   * centred or at the top left; empty for an empty picture.
   */
  QRect PlacedIn(const QRect& area, bool stretch, bool center) const;
  /** Draws the picture filling `target`: a bitmap or metafile stretched to it, an icon at its own size. */
  void Draw(QPainter& painter, const QRect& target) const;

private:
  TGraphicKind kind_ = gkNone;
  QImage bitmap_;
  QPicture metafile_;
  QIcon icon_;
  QSize iconSize_;
};
