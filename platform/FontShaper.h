#pragma once

// Plain Latin lines shaped by HarfBuzz alone, so measuring and writing a job's texts skip Qt's layout cost.

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <map>
#include <memory>

class QFont;
struct hb_blob_t;
struct hb_buffer_t;
struct hb_face_t;
struct hb_font_t;

/**
 * A font file as HarfBuzz reads it, from the tables of Qt's raw font, and the plain lines Qt's own layout
 * would shape in it, shaped without that layout. Laying a short text out through QTextLayout is most of what
 * measuring or writing it costs; for a line of one font and one simple script the same glyphs in the same
 * places come from HarfBuzz alone, with Qt's advances and Qt's rounding of the font's adjustments.
 */
class TFontShaper {
public:
  explicit TFontShaper(const QRawFont& font);
  ~TFontShaper();
  TFontShaper(const TFontShaper&) = delete;
  TFontShaper& operator=(const TFontShaper&) = delete;

  /**
   * The shaper of the raw font's file, kept in the application's thread while the application lives (a new
   * one elsewhere): a job measures in a few fonts, and reading their tables again for every job would cost a
   * short job more than its texts.
   */
  static std::shared_ptr<TFontShaper> Kept(const QRawFont& font);
  /** What tells the raw font's file from others: its names and style, not its size. */
  static QString FileKey(const QRawFont& font);

  /** The face, its tables read as they are needed and kept until ReleaseTables. */
  hb_face_t* Face() const { return face_; }
  /** The face at the scale of its own design units. */
  hb_font_t* Font() const { return font_; }
  unsigned int UnitsPerEm() const { return unitsPerEm_; }
  /** One of the font's tables, read afresh from Qt's font. */
  QByteArray Table(const char* tag) const { return raw_.fontTable(tag); }
  /** Lets go of the tables read so far; they are read again when needed. */
  void ReleaseTables();

  /**
   * Whether a text in the font is shaped here as Qt's layout shapes it: the font adds no spacing or capitals
   * of Qt's own, the application is laid out left to right, and the text is Latin letters, digits and
   * punctuation on one line (no marks, controls or soft hyphens).
   */
  static bool Shapeable(const QFont& font, const QString& text);

  /**
   * The glyphs of the text in this font file at the raw font's size and their places from the start of the
   * baseline, as Qt's layout gives them. False when a character has no glyph here (Qt would take another
   * font for it).
   */
  bool Shape(const QRawFont& sized, const QString& text, bool kerning, QList<quint32>& glyphs,
             QList<QPointF>& positions);
  /** The text's width in whole pixels as QFontMetrics gives it; -1 when Shape would fail. */
  int Width(const QRawFont& sized, const QString& text, bool kerning);

private:
  /** Shapes into the buffer; the number of glyphs, or -1 when a character has no glyph. */
  int ShapeIntoBuffer(const QString& text, bool kerning);
  static hb_blob_t* Reference(hb_face_t*, unsigned int tag, void* data);

  QRawFont raw_;
  hb_face_t* face_ = nullptr;
  hb_font_t* font_ = nullptr;
  hb_buffer_t* buffer_ = nullptr;
  unsigned int unitsPerEm_ = 1000;
  /** Where the line Shape laid out last ends. */
  double end_ = 0;
  std::map<quint32, QByteArray> tables_;
};
