#pragma once

// Keeps the texts a job draws again and again laid out, so later pages draw them straight from their glyphs.

#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QString>
#include <vector>

class QFont;
class QPaintDevice;
class QPainter;

/**
 * Texts laid out once and drawn again from their glyphs. Laying a text out (finding its glyphs and their
 * places) is most of what drawing it costs, and the pages of one job draw the same texts again and again: a
 * ledger's dates, payees and titles, a report's captions on every page. A text met a second time is laid out
 * and kept, and from then on drawn straight from its glyphs, exactly where and as the painter would have
 * drawn it; a text met once (an amount) is drawn by the painter, as laying it out to keep would cost more.
 *
 * A layout belongs to a font at a device's resolution. The texts kept are those met most recently: when
 * MaximumKept are kept, the older ones go as soon as they are not met again.
 */
class TShapedTexts {
public:
  /** The number standing for the font on devices of the device's resolution, from now on. */
  int FontNumber(const QFont& font, const QPaintDevice* device);

  /**
   * Draws the text on one line with its baseline starting at the point, as QPainter::drawText(point, text)
   * does in the painter's font, which must be the numbered font.
   */
  void Draw(QPainter& painter, int font, const QPointF& baselineStart, const QString& text);

  /** A text laid out as one line: its glyph runs, placed from the top of the line, and the line's ascent. */
  struct TLine {
    QList<QGlyphRun> Runs;
    double Ascent = 0;
  };
  /** The text laid out on one line in the font for the device, as Draw would draw it, and not kept. */
  static TLine LayOutOnce(const QString& text, const QFont& font, const QPaintDevice* device,
                          Qt::LayoutDirection direction);

  /** Whether the text is kept laid out in the numbered font. */
  bool IsLaidOut(int font, const QString& text) const;

  /** Texts met since the last turn; at this many, those not met since the turn before are let go. */
  static constexpr qsizetype MaximumKept = 4096;
  /** Longer texts (a paragraph, not a cell or a line) are the painter's: they seldom repeat. */
  static constexpr qsizetype MaximumKeptLength = 256;

  /**
   * The texts kept for the calling thread: those of the application's own thread, let go with the
   * application; none for any other thread or without an application.
   */
  static TShapedTexts* ForThisThread();

  /** Whether the text is one line of characters, with no tab, break or other control of its own rules. */
  static bool IsPlainLine(const QString& text);

private:
  struct Layout {
    bool LaidOut = false;
    QList<QGlyphRun> Runs;
    double Ascent = 0;
  };
  struct Texts {
    QHash<QString, Layout> Recent;
    QHash<QString, Layout> Older;
  };
  static Layout LayOut(const QString& text, const QFont& font, const QPaintDevice* device,
                       Qt::LayoutDirection direction);
  /** The text's entry, kept among the recent ones, or none if it was not met lately. */
  Layout* Met(Texts& texts, const QString& text);
  Layout& Keep(Texts& texts, const QString& text, Layout layout);

  std::vector<Texts> fonts_;
  QHash<QString, int> numbers_;
  qsizetype kept_ = 0;
};
