// The totals box as a Qt layout and the screen meet it.
#include "print/controls/Totals.h"

#include "tests/platform/PixelTestSupport.h"

#include <QHBoxLayout>
#include <gtest/gtest.h>

namespace {

// In a layout the words and the value stand side by side, each with room for its whole text: a page total
// gets the room of a seven-digit amount in its pattern, so its printed value never overprints its words.
TEST(ShowTotal, InALayoutWordsAndValueEachHoldTheirWholeText) {
  QWidget form;
  auto* layout = new QHBoxLayout(&form);
  auto* words = new TShowTotal(&form);
  words->SetTotalType(tText);
  words->SetText(QStringLiteral("Running total:"));
  auto* value = new TShowTotal(&form);
  value->SetTotalType(tAccTotal);
  value->SetDisplayFormat(QStringLiteral("#,##0.00 EUR"));
  value->SetBorderStyle(bsSingle);
  layout->addWidget(words);
  layout->addWidget(value);
  layout->addStretch();
  form.adjustSize();
  const QFontMetrics metrics(value->Font().ToQFont());
  EXPECT_GE(words->width(), QFontMetrics(words->Font().ToQFont()).horizontalAdvance(words->Text()) + 15);
  EXPECT_GE(value->width(), metrics.horizontalAdvance(QStringLiteral("9,999,999.99 EUR")) + 15);
  EXPECT_GE(value->height(), metrics.height() + 4);
  EXPECT_LE(words->geometry().right(), value->geometry().left());
}

// Among Qt's stock widgets a total takes the font of the form it stands on, as the labels beside it do; on a
// form of the library's own controls it keeps its Arial.
TEST(ShowTotal, AmongStockWidgetsItTakesTheFormsFont) {
  QWidget form;
  form.setFont(QFont(QStringLiteral("Liberation Serif"), 13, QFont::Bold));
  const TShowTotal onStock(&form);
  EXPECT_EQ(onStock.Font().Name(), QStringLiteral("Liberation Serif"));
  EXPECT_EQ(onStock.Font().ToQFont().pixelSize(), QFontInfo(form.font()).pixelSize());
  EXPECT_TRUE(onStock.Font().HasStyle(fsBold));
  const TShowTotal alone(nullptr);
  EXPECT_EQ(alone.Font().Name(), QStringLiteral("Arial"));
}

// The screen shows the text on the box's middle line, as paper does.
TEST(ShowTotal, TheTextStandsOnTheBoxsMiddleLine) {
  for (const int height : {24, 40, 64}) {
    TShowTotal total(nullptr);
    total.SetTotalType(tText);
    total.SetText(QStringLiteral("HHH"));
    total.SetColor(clWhite);
    total.resize(120, height);
    const QImage image = total.grab().toImage();
    const QRect ink = InkBounds(image);
    ASSERT_FALSE(ink.isEmpty()) << height;
    const QFontMetrics metrics(total.Font().ToQFont());
    const int top = (height - metrics.height()) / 2;
    EXPECT_NEAR(ink.bottom() + 1, top + metrics.ascent(), 1) << "the capitals' baseline in a box " << height;
  }
}

}  // namespace
