#include "platform/ShapedTexts.h"

#include "tests/platform/PixelTestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

QFont Font(const QString& family, int pixels) {
  QFont font(family);
  font.setPixelSize(pixels);
  return font;
}

// A text drawn the first time by the painter, then from its kept layout, looks as the painter draws it, in
// kerned, mixed and right-to-left texts alike.
TEST(ShapedTexts, ATextDrawnFromItsLayoutLooksAsThePainterDrawsIt) {
  const QStringList texts = {QStringLiteral("AVAWAY To 1,234.50"), QStringLiteral("Marie Curie, 7 Nov 1867"),
                             QStringLiteral("שלום 42 abc"), QStringLiteral("Ünïcødé ﬁne")};
  for (const QFont& font :
       {Font(QStringLiteral("Liberation Sans"), 22), Font(QStringLiteral("DejaVu Serif"), 15)}) {
    QImage expected = WhiteImage(420, 400);
    QImage drawn = WhiteImage(420, 400);
    QPainter direct(&expected);
    QPainter shaped(&drawn);
    direct.setFont(font);
    shaped.setFont(font);
    TShapedTexts kept;
    const int number = kept.FontNumber(font, &drawn);
    for (int time = 0; time < 3; ++time) {
      for (int index = 0; index < texts.size(); ++index) {
        const QPointF at(10 + time * 3, 30 + (time * texts.size() + index) * 30);
        direct.drawText(at, texts[index]);
        kept.Draw(shaped, number, at, texts[index]);
        EXPECT_EQ(kept.IsLaidOut(number, texts[index]), time > 0) << texts[index].toStdString();
      }
    }
    direct.end();
    shaped.end();
    EXPECT_EQ(drawn, expected) << font.family().toStdString();
  }
}

// What is kept is what was met lately: a text met again within a turn stays, one not met for a whole turn
// goes, and a text with a tab or as long as a paragraph is always the painter's.
TEST(ShapedTexts, TextsMetLatelyStayLaidOutAndTheRestGo) {
  QImage image = WhiteImage(200, 50);
  QPainter painter(&image);
  TShapedTexts kept;
  const int number = kept.FontNumber(painter.font(), &image);
  const auto meet = [&](const QString& text) { kept.Draw(painter, number, QPointF(5, 30), text); };
  const auto meetOthers = [&](int count, int from) {
    for (int other = 0; other < count; ++other) meet(QString::number(from + other));
  };
  meet(QStringLiteral("Payee"));
  meet(QStringLiteral("Payee"));
  meetOthers(TShapedTexts::MaximumKept, 0);
  ASSERT_TRUE(kept.IsLaidOut(number, QStringLiteral("Payee"))) << "one turn back";
  meet(QStringLiteral("Payee"));
  meetOthers(TShapedTexts::MaximumKept, 100000);
  EXPECT_TRUE(kept.IsLaidOut(number, QStringLiteral("Payee"))) << "met again in the last turn";
  meetOthers(2 * TShapedTexts::MaximumKept, 200000);
  EXPECT_FALSE(kept.IsLaidOut(number, QStringLiteral("Payee"))) << "not met for two turns";
  const QString paragraph(TShapedTexts::MaximumKeptLength + 1, QLatin1Char('x'));
  for (const QString& text : {QStringLiteral("a\tb"), paragraph}) {
    meet(text);
    meet(text);
    EXPECT_FALSE(kept.IsLaidOut(number, text)) << text.size();
  }
  EXPECT_EQ(kept.FontNumber(painter.font(), &image), number);
}

}  // namespace
