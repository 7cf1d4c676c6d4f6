#include "platform/Graphics.h"
#include "tests/platform/PixelTestSupport.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#include <QPicture>
#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(TFont, SizeAndHeightAreTwoViewsOfOneValue) {
  TFont font;
  font.SetPixelsPerInch(96);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -16);
  font.SetHeight(-13);
  EXPECT_EQ(font.Size(), 10);
  font.SetPixelsPerInch(600);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -100);
}

TEST(TFont, AssignKeepsItsOwnPixelsPerInchAndCarriesThePointSize) {
  TFont screen;
  screen.SetPixelsPerInch(96);
  screen.SetName(QStringLiteral("Courier New"));
  screen.SetHeight(-16);  // 12 points
  screen.SetStyle(fsBold | fsUnderline);
  screen.SetColor(clNavy);

  TFont printer;
  printer.SetPixelsPerInch(600);
  printer.Assign(screen);
  EXPECT_EQ(printer.PixelsPerInch(), 600);
  EXPECT_EQ(printer.Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(printer.Size(), 12);
  EXPECT_EQ(printer.Height(), -100);
  EXPECT_EQ(printer.Style(), fsBold | fsUnderline);
  EXPECT_EQ(printer.Color(), clNavy);

  TFont same;
  same.SetPixelsPerInch(96);
  same.Assign(screen);
  EXPECT_EQ(same, screen) << "between fonts of one resolution the assignment is a copy";
}

TEST(FontOfHeight, NegativeIsTheCharacterHeightPositiveTheWholeCell) {
  const QFont character = FontOfHeight(QStringLiteral("Arial"), -40, fsItalic);
  EXPECT_EQ(character.pixelSize(), 40);
  EXPECT_TRUE(character.italic());
  const QFont cell = FontOfHeight(QStringLiteral("Arial"), 40, 0);
  const QFontMetrics metrics(cell);
  EXPECT_LT(cell.pixelSize(), 40);
  EXPECT_NEAR(metrics.ascent() + metrics.descent(), 40, 1);
}

TEST(Colours, PlainColoursPassAndSystemColoursFollowThePalette) {
  EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
  EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
  EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), 0x563412);
  EXPECT_TRUE(IsSystemColor(clBtnFace));
  EXPECT_FALSE(IsSystemColor(clWhite));
  EXPECT_EQ(ToQColor(clWindow), QGuiApplication::palette().color(QPalette::Base));
  EXPECT_EQ(ToQColor(clBtnFace), QGuiApplication::palette().color(QPalette::Button));
}

}  // namespace

namespace {

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}
}  // namespace

TEST(TPicture, BitmapMetafileAndIconAreToldApartFromTheirBytes) {
  QImage red(8, 4, QImage::Format_RGB32);
  red.fill(Qt::red);
  TPicture picture;
  ASSERT_TRUE(picture.LoadFromData(Encoded(red, "PNG")));
  EXPECT_EQ(picture.Kind(), gkBitmap);
  EXPECT_EQ(picture.size(), QSize(8, 4));

  QByteArray recorded;
  {
    QBuffer buffer(&recorded);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(RecordedSquare(QRect(10, 10, 20, 20), Qt::blue).save(&buffer));
  }
  ASSERT_TRUE(picture.LoadFromData(recorded));
  EXPECT_EQ(picture.Kind(), gkMetafile);
  EXPECT_EQ(picture.size(), QSize(20, 20));

  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(Qt::green);
  ASSERT_TRUE(picture.LoadFromData(Encoded(icon, "ICO")));
  EXPECT_EQ(picture.Kind(), gkIcon);
  EXPECT_EQ(picture.size(), QSize(16, 16));

  EXPECT_FALSE(picture.LoadFromData(QByteArray("not a picture at all")));
  EXPECT_TRUE(picture.Empty());
  EXPECT_FALSE(picture.LoadFromFile(QStringLiteral("/nonexistent/picture.png")));
}
