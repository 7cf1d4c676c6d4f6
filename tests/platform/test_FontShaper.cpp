#include "platform/FontShaper.h"

#include "platform/ShapedTexts.h"

#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

namespace {

// Plain Latin lines are laid out and measured without Qt's layout: each glyph must be the one Qt's layout
// takes and stand where it puts it, and each width be what QFontMetrics says (a kerning pair, a ligature, a
// size on no whole pixel), or printed pages would drift from what the preview shows and cells be cut where
// the screen would not cut them.
TEST(FontShaper, PlainLatinLinesGetQtsGlyphsPlacesAndWidths) {
  QImage device(1, 1, QImage::Format_RGB32);
  device.setDotsPerMeterX(qRound(300 / 0.0254));
  device.setDotsPerMeterY(qRound(300 / 0.0254));
  struct Case {
    const char* Family;
    double Pixels;
    bool Bold;
    bool Kerning;
  };
  const Case cases[] = {{"Arial", 37.5, false, true},
                        {"Arial", 50, true, true},
                        {"Arial", 37.5, false, false},
                        {"Times New Roman", 41, false, true},
                        {"Courier New", 37.5, false, true}};
  const QStringList lines = {QStringLiteral("AVATAR Wave To. Yes, LT 7/11"),
                             QStringLiteral("office fluffy fjord"),
                             QStringLiteral("1,234,567.89 -0.05"),
                             QStringLiteral("Brightwater Power & Light"),
                             QStringLiteral("Gr\u00F6\u00DFe \u00C4pfel \u0141\u00F3d\u017A"),
                             QStringLiteral("W"),
                             QString()};
  for (const Case& shape : cases) {
    QFont font(QString::fromLatin1(shape.Family));
    font.setPointSizeF(shape.Pixels * 72.0 / 300);
    font.setBold(shape.Bold);
    font.setKerning(shape.Kerning);
    const QFont sized(font, &device);
    const QRawFont raw = QRawFont::fromFont(sized);
    ASSERT_TRUE(raw.isValid()) << shape.Family;
    TFontShaper shaper(raw);
    const QFontMetrics metrics(font, &device);
    for (const QString& line : lines) {
      const std::string name = std::string(shape.Family) + " " + std::to_string(shape.Pixels) +
                               (shape.Kerning ? " kerned: " : " unkerned: ") + line.toStdString();
      ASSERT_TRUE(TFontShaper::Shapeable(font, line)) << name;
      EXPECT_EQ(shaper.Width(raw, line, shape.Kerning), metrics.horizontalAdvance(line)) << name;
      if (line.isEmpty()) continue;
      const TShapedTexts::TLine qt = TShapedTexts::LayOutOnce(line, font, &device, Qt::LeftToRight);
      ASSERT_EQ(qt.Runs.size(), 1) << name;
      EXPECT_EQ(qt.Runs.first().rawFont(), raw) << name << ": the font Qt lays the line out in";
      QList<quint32> glyphs;
      QList<QPointF> positions;
      ASSERT_TRUE(shaper.Shape(raw, line, shape.Kerning, glyphs, positions)) << name;
      EXPECT_EQ(glyphs, qt.Runs.first().glyphIndexes()) << name;
      const QList<QPointF> expected = qt.Runs.first().positions();
      ASSERT_EQ(positions.size(), expected.size()) << name;
      for (qsizetype index = 0; index < positions.size(); ++index) {
        EXPECT_NEAR(positions[index].x(), expected[index].x(), 1e-6) << name << " glyph " << index;
        EXPECT_NEAR(positions[index].y(), expected[index].y() - qt.Ascent, 1e-6)
            << name << " glyph " << index;
      }
    }
  }
}

// What Qt's layout does on its own (spacing, capitals, other scripts, marks, controls) is left to it.
TEST(FontShaper, LinesQtLaysOutByRulesOfItsOwnAreNotShapedHere) {
  QFont plain(QStringLiteral("Arial"));
  EXPECT_TRUE(TFontShaper::Shapeable(plain, QStringLiteral("Caf\u00E9 \u0142\u00F3d\u017A 12.50")));
  for (const QString& text :
       {QStringLiteral("Cafe\u0301"), QStringLiteral("tab\there"), QStringLiteral("soft\u00ADhyphen"),
        QStringLiteral("\u0395\u03BB\u03BB\u03AC\u03B4\u03B1"), QStringLiteral("\u05E9\u05DC\u05D5\u05DD"),
        QStringLiteral("\u4E2D\u6587"), QStringLiteral("line\nbreak")})
    EXPECT_FALSE(TFontShaper::Shapeable(plain, text)) << text.toStdString();
  QFont spaced = plain;
  spaced.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  QFont capitals = plain;
  capitals.setCapitalization(QFont::SmallCaps);
  QFont words = plain;
  words.setWordSpacing(3);
  for (const QFont& font : {spaced, capitals, words})
    EXPECT_FALSE(TFontShaper::Shapeable(font, QStringLiteral("plain"))) << font.toString().toStdString();
}

}  // namespace
