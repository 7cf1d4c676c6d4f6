#include "platform/ExtCtrls.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {
QImage Painted(QWidget& widget) { return widget.grab().toImage(); }
QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }
}  // namespace

TEST(TPanel, LoweredBevelDarkensOutwardAboveAndIsHighlightBelow) {
  TPanel panel(nullptr);
  panel.resize(40, 30);
  panel.SetColor(clWhite);
  panel.SetBevelOuter(bvLowered);
  panel.SetBevelWidth(3);
  EXPECT_EQ(panel.InnerRect(), QRect(3, 3, 34, 24));
  const QImage image = Painted(panel);
  const QColor shadow = ToQColor(clBtnShadow);
  const QColor highlight = ToQColor(clBtnHighlight);
  ASSERT_NE(shadow, highlight);
  // A wide sunken edge runs from the darkest shadow outside towards the button shadow inside, so it shows on
  // light surfaces too.
  EXPECT_EQ(At(image, 0, 15), ToQColor(cl3DDkShadow));
  ASSERT_LT(ToQColor(cl3DDkShadow).lightness(), shadow.lightness());
  for (int ring = 0; ring < 3; ++ring) {
    EXPECT_EQ(At(image, ring, 15), At(image, 20, ring)) << "left and top alike, ring " << ring;
    if (ring > 0) {
      EXPECT_GT(At(image, ring, 15).lightness(), At(image, ring - 1, 15).lightness()) << ring;
    }
    EXPECT_LE(At(image, ring, 15).lightness(), shadow.lightness()) << "ring " << ring;
    EXPECT_EQ(At(image, 39 - ring, 15), highlight) << "right edge, ring " << ring;
    EXPECT_EQ(At(image, 20, 29 - ring), highlight) << "bottom edge, ring " << ring;
  }
  EXPECT_EQ(At(image, 39, 0), highlight) << "the top right corner belongs to the lower edge";
  EXPECT_EQ(At(image, 0, 29), highlight) << "the bottom left corner belongs to the lower edge";
  EXPECT_EQ(At(image, 3, 3), QColor(Qt::white));

  panel.SetBevelOuter(bvRaised);
  panel.SetBevelInner(bvLowered);
  panel.SetBorderWidth(2);
  EXPECT_EQ(panel.InnerRect(), QRect(8, 8, 24, 14));
  EXPECT_EQ(At(Painted(panel), 0, 15), highlight);
}

TEST(TImage, PictureIsDrawnAtTheCornerCutOffStretchedOrCentred) {
  QImage picture(30, 20, QImage::Format_RGB32);
  picture.fill(Qt::green);
  picture.setPixelColor(0, 0, Qt::red);
  TImage image(nullptr);
  image.setAutoFillBackground(true);
  image.setPalette(QPalette(Qt::black));
  image.resize(20, 10);
  image.SetPicture(picture);
  EXPECT_EQ(image.PictureRect(), QRect(0, 0, 30, 20));
  EXPECT_EQ(At(Painted(image), 0, 0), QColor(Qt::red));
  EXPECT_EQ(At(Painted(image), 19, 9), QColor(Qt::green));

  image.resize(50, 40);
  image.SetCenter(true);
  EXPECT_EQ(image.PictureRect(), QRect(10, 10, 30, 20));
  EXPECT_EQ(At(Painted(image), 10, 10), QColor(Qt::red));
  image.SetStretch(true);
  EXPECT_EQ(image.PictureRect(), QRect(0, 0, 50, 40));
  EXPECT_EQ(At(Painted(image), 49, 39), QColor(Qt::green));
}

TEST(TShape, RectangleOutlineCoversTheEdgePixelsAndTheBrushTheInside) {
  TShape shape(nullptr);
  shape.setAutoFillBackground(true);
  shape.setPalette(QPalette(Qt::yellow));
  shape.resize(20, 10);
  shape.SetPen(TPen{psSolid, 1, clBlack});
  shape.SetBrush(TBrush{bsSolid, clBlue});
  EXPECT_EQ(shape.FigureRect(), QRect(0, 0, 20, 10));
  QImage image = Painted(shape);
  EXPECT_EQ(At(image, 0, 0), QColor(Qt::black));
  EXPECT_EQ(At(image, 19, 9), QColor(Qt::black));
  EXPECT_EQ(At(image, 10, 5), QColor(Qt::blue));

  shape.SetPen(TPen{psSolid, 3, clBlack});
  image = Painted(shape);
  EXPECT_EQ(At(image, 2, 5), QColor(Qt::black));
  EXPECT_EQ(At(image, 3, 5), QColor(Qt::blue));
  EXPECT_EQ(At(image, 17, 5), QColor(Qt::black));

  shape.SetBrush(TBrush{bsClear, clBlue});
  EXPECT_EQ(At(Painted(shape), 10, 5), QColor(Qt::yellow)) << "a clear brush leaves what is under the shape";
}

TEST(TShape, SquareAndCircleAreCentredSquares) {
  TShape shape(nullptr);
  shape.resize(40, 20);
  shape.SetShape(stCircle);
  EXPECT_EQ(shape.FigureRect(), QRect(10, 0, 20, 20));
  shape.SetShape(stSquare);
  shape.SetPen(TPen{psSolid, 2, clBlack});
  EXPECT_EQ(shape.FigureRect(), QRect(11, 1, 19, 19));
}

TEST(TBevel, LinesUseShadowThenHighlightWhenLowered) {
  TBevel bevel(nullptr);
  bevel.resize(30, 10);
  bevel.SetShape(bsTopLine);
  const QImage lowered = Painted(bevel);
  EXPECT_EQ(At(lowered, 15, 0), ToQColor(clBtnShadow));
  EXPECT_EQ(At(lowered, 15, 1), ToQColor(clBtnHighlight));
  bevel.SetStyle(bsRaised);
  bevel.SetShape(bsRightLine);
  const QImage raised = Painted(bevel);
  EXPECT_EQ(At(raised, 28, 5), ToQColor(clBtnHighlight));
  EXPECT_EQ(At(raised, 29, 5), ToQColor(clBtnShadow));
}
