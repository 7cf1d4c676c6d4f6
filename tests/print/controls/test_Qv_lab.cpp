#include "platform/Forms.h"
#include "print/controls/Qv_lab.h"
#include "tests/print/controls/ControlTestSupport.h"

#include <QFontMetrics>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ShadowLabelTest : public ::testing::Test {
protected:
  TQV_Label* MakeLabel(TStyle style, const QString& caption = QStringLiteral("HH")) {
    auto* label = new TQV_Label(&form_);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 120, 60);
    label->SetFont(MakeFont(QStringLiteral("Arial"), -40, fsBold, clBlack));
    label->SetCaption(caption);
    label->SetStyle(style);
    label->SetShadowColor(clRed);
    label->SetShadowOffset(3);
    label->SetColor(clYellow);
    return label;
  }
  QImage PaintedLabel(TStyle style) {
    std::unique_ptr<TQV_Label> label(MakeLabel(style));
    return Painted(*label, QColor(0x40, 0x80, 0x40));
  }

  TForm form_;
};

TEST_F(ShadowLabelTest, ANewLabelIsSunkenArialAndTransparentWithAThreePixelShadow) {
  TQV_Label label(&form_);
  EXPECT_EQ(label.Style(), stSunken);
  EXPECT_EQ(label.ShadowOffset(), 3);
  EXPECT_EQ(label.ShadowColor(), clBtnShadow);
  EXPECT_EQ(label.PrintBkColor(), clWhite);
  EXPECT_EQ(label.Font().Name(), QStringLiteral("Arial"));
  EXPECT_TRUE(label.Transparent());
}

// Each copy of the caption stands out of the one drawn last (in the font colour) by its offset, at the bottom
// right where the later copy does not cover it.
TEST_F(ShadowLabelTest, ShadowRaisedAndSunkenDrawTheirCopiesAtTheirOffsetsInTheirColours) {
  struct Case {
    TStyle style;
    QColor under;  // the colour of the copy drawn first
    int offset;    // how far it lies right of and below the copy in the font colour
  };
  const Case cases[] = {
      {stShadow, Qt::red, 3},
      {stRaised, Qt::red, 2},
      {stSunken, ToQColor(clBtnHighlight), 2},
  };
  for (const Case& test : cases) {
    const QImage image = PaintedLabel(test.style);
    const QRect text = ColourBounds(image, Qt::black);
    const QRect under = ColourBounds(image, test.under);
    ASSERT_FALSE(text.isNull() || under.isNull()) << "style " << test.style;
    EXPECT_EQ(under.right() - text.right(), test.offset) << "style " << test.style;
    EXPECT_EQ(under.bottom() - text.bottom(), test.offset) << "style " << test.style;
    EXPECT_FALSE(ColourBounds(image, Qt::yellow, 10).isValid()) << "a transparent label fills no background";
  }
  const QImage normal = PaintedLabel(stNormal);
  EXPECT_TRUE(ColourBounds(normal, Qt::red).isNull()) << "a normal caption has no shadow";
  EXPECT_EQ(ColourBounds(normal, Qt::black).left() - ColourBounds(PaintedLabel(stRaised), Qt::black).left(),
            1)
      << "the raised caption in the font colour sits a pixel up and left of where a normal one does";

  std::unique_ptr<TQV_Label> disabled(MakeLabel(stShadow));
  disabled->SetEnabled(false);
  const QImage grey = Painted(*disabled, QColor(0x40, 0x80, 0x40));
  EXPECT_TRUE(ColourBounds(grey, Qt::black).isNull());
  EXPECT_FALSE(ColourBounds(grey, ToQColor(clGrayText), 10).isNull()) << "a disabled caption is grey";
}

TEST_F(ShadowLabelTest, TheBlockShadowLiesBelowTheBoxAndTheBoxIsOutlinedInGrey) {
  const QImage image = PaintedLabel(stBlockShadow);
  const QRgb grey = qRgb(0x80, 0x80, 0x80);
  EXPECT_EQ(image.pixel(118, 58), qRgb(255, 0, 0)) << "shadow at the bottom right";
  EXPECT_EQ(image.pixel(2, 58), qRgb(0x40, 0x80, 0x40)) << "the shadow starts ShadowOffset pixels in";
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 0)) << "the box in the label's colour";
  EXPECT_EQ(image.pixel(0, 30), grey) << "outline, left";
  EXPECT_EQ(image.pixel(117, 30), grey) << "outline, on the box's right edge";
  EXPECT_EQ(image.pixel(60, 57), grey) << "outline, on the box's bottom edge";
  const QRect text = ColourBounds(image, Qt::black);
  const QFontMetrics metrics(MakeFont(QStringLiteral("Arial"), -40, fsBold).ToQFont());
  EXPECT_NEAR(text.left(), metrics.horizontalAdvance(QLatin1Char(' ')), 4) << "a blank before the caption";
  EXPECT_LT(text.bottom(), 57) << "the caption stays in the box";
}

TEST_F(ShadowLabelTest, TheButtonStyleFillsTheLabelAndDrawsABevelInsideTheOutline) {
  std::unique_ptr<TQV_Label> label(MakeLabel(stButton));
  label->SetAlignment(taCenter);
  const QImage image = Painted(*label, QColor(0x40, 0x80, 0x40));
  const QRgb grey = qRgb(0x80, 0x80, 0x80);
  const QRgb white = qRgb(255, 255, 255);
  EXPECT_EQ(image.pixel(119, 30), grey) << "outline on the last column";
  EXPECT_EQ(image.pixel(60, 59), grey) << "outline on the last row";
  EXPECT_EQ(image.pixel(1, 30), white) << "bevel, left";
  EXPECT_EQ(image.pixel(60, 1), white) << "bevel, top";
  EXPECT_EQ(image.pixel(118, 30), grey) << "bevel, right";
  EXPECT_EQ(image.pixel(60, 58), grey) << "bevel, bottom";
  EXPECT_EQ(image.pixel(4, 4), qRgb(255, 255, 0)) << "the face in the label's colour";
  EXPECT_NEAR(ColourBounds(image, Qt::black).center().x(), 60, 3) << "centred caption";
}

TEST_F(ShadowLabelTest, ABlockOrButtonCaptionWiderThanTheLabelWidensItWhenPainted) {
  for (const TStyle style : {stBlockShadow, stButton}) {
    std::unique_ptr<TQV_Label> label(MakeLabel(style, QStringLiteral("HHHHHHHH")));
    const int padded = label->fontMetrics().horizontalAdvance(label->PaddedCaption());
    ASSERT_GT(padded, 120);
    Painted(*label);
    EXPECT_EQ(label->Width(), padded) << "style " << style;
  }
  std::unique_ptr<TQV_Label> shadow(MakeLabel(stShadow, QStringLiteral("HHHHHHHH")));
  Painted(*shadow);
  EXPECT_EQ(shadow->Width(), 120) << "the other styles keep their width";
}

// "&" marks the accelerator in every style: the caption shows without it, as wide as the plain text, and
// "&&" shows one "&".
TEST_F(ShadowLabelTest, EveryStyleShowsItsCaptionWithoutTheAcceleratorMark) {
  for (const TStyle style : {stNormal, stShadow, stRaised, stBlockShadow, stButton}) {
    SCOPED_TRACE(style);
    std::unique_ptr<TQV_Label> marked(MakeLabel(style, QStringLiteral("&HH")));
    std::unique_ptr<TQV_Label> plain(MakeLabel(style, QStringLiteral("HH")));
    const QRect markedInk = ColourBounds(Painted(*marked), Qt::black);
    const QRect plainInk = ColourBounds(Painted(*plain), Qt::black);
    EXPECT_NEAR(markedInk.right(), plainInk.right(), 1) << "no \"&\" drawn before the text";
    EXPECT_GT(markedInk.bottom(), plainInk.bottom()) << "the H is underlined";
    EXPECT_EQ(marked->Width(), plain->Width());
  }
  std::unique_ptr<TQV_Label> ampersand(MakeLabel(stNormal, QStringLiteral("&&")));
  std::unique_ptr<TQV_Label> shown(MakeLabel(stNormal, QStringLiteral("&")));
  shown->SetShowAccelChar(false);
  EXPECT_EQ(ColourBounds(Painted(*ampersand), Qt::black), ColourBounds(Painted(*shown), Qt::black));
}

}  // namespace
