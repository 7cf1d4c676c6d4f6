#pragma once

// Fonts in the program's PDFs: each embedded once as a subset, so copying and searching give what printed.

#include "platform/FontShaper.h"

#include <QByteArray>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class TPdfFile;

/**
 * One font file of a document's texts: embedded once, at the end, as the subset of the glyphs the texts
 * used (HarfBuzz's subsetter, glyph numbers kept, so a page's text is written before the subset is known),
 * with each glyph's width and a map from glyphs back to the characters they stand for.
 */
class TPdfFont {
public:
  /** The font's object number is given by SetObject, once it is known to be embedded. */
  TPdfFont(const QRawFont& font, QByteArray resourceName, int tagNumber);
  ~TPdfFont();
  TPdfFont(const TPdfFont&) = delete;
  TPdfFont& operator=(const TPdfFont&) = delete;

  /** Whether the font's tables can be embedded (TrueType outlines); otherwise its glyphs are drawn as paths.
   */
  bool Embeddable() const { return embeddable_; }
  int Object() const { return object_; }
  void SetObject(int object) { object_ = object; }
  const QByteArray& ResourceName() const { return resourceName_; }
  /** A glyph's advance in thousandths of the font's size. */
  double Advance(quint32 glyph);
  void Use(quint32 glyph) { used_[glyph]; }
  /**
   * Says which characters a glyph stands for. False when it was said to stand for others before: the text
   * then needs its characters said another way.
   */
  bool Map(quint32 glyph, const QString& characters);
  /** Whether Map would say true. */
  bool CanMap(quint32 glyph, const QString& characters) const;
  /** The glyph each character (each code point) of the text would have on its own, 0 where the font has none.
   */
  QList<quint32> NominalGlyphs(const QString& text) const { return font_.glyphIndexesForString(text); }

  /** The font file as HarfBuzz reads it, which also lays plain lines out in it. */
  TFontShaper& Shaper() { return shaper_; }

  /**
   * Writes the font: the subset font file, its descriptor, widths and map to characters. everyGlyphMapped
   * maps a glyph whose characters could not be told (its text says them as actual text) to U+FFFD, as an
   * archival file needs every glyph mapped.
   */
  void Write(TPdfFile& file, bool everyGlyphMapped = false);

private:
  QByteArray Table(const char* tag) const;
  QByteArray ToUnicode(bool everyGlyphMapped) const;
  QByteArray Widths();

  QRawFont font_;
  TFontShaper shaper_;
  int object_ = -1;
  QByteArray resourceName_;
  QByteArray baseName_;
  bool embeddable_ = false;
  /** The glyphs used, each with the characters it stands for (empty when none was said). */
  std::map<quint32, QString> used_;
  QHash<quint32, double> advances_;
};

/** The fonts of one document, one per font file however many sizes it is used in. */
class TPdfFonts {
public:
  TPdfFonts();
  ~TPdfFonts();
  TPdfFonts(const TPdfFonts&) = delete;
  TPdfFonts& operator=(const TPdfFonts&) = delete;

  /** The document's font for the raw font's file, made at its first use with an object number of the file. */
  TPdfFont& FontFor(const QRawFont& font, TPdfFile& file);
  /** Writes every font used (TPdfFont::Write). */
  void WriteAll(TPdfFile& file, bool everyGlyphMapped = false);

private:
  std::vector<std::unique_ptr<TPdfFont>> fonts_;
  QHash<QString, TPdfFont*> byKey_;
  /** The fonts by the raw fonts met so far, one for each size a file is used in. */
  QHash<QRawFont, TPdfFont*> byRawFont_;
};
