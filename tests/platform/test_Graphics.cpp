#include "platform/Graphics.h"

#include <QFontMetrics>
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
