#include "platform/DrawingContext.h"
#include "tests/platform/PixelTestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Draws on a white 200 x 200 image through a fresh context.
class DrawingContextTest : public ::testing::Test {
protected:
  DrawingContextTest() : image_(WhiteImage(200, 200)), painter_(&image_), context_(painter_) {}

  const QImage& Result() {
    painter_.end();
    return image_;
  }

  QImage image_;
  QPainter painter_;
  DrawingContext context_;
};

TEST_F(DrawingContextTest, LinesLeaveOutTheirEndPixelInEveryDirectionAndMoveTheCurrentPosition) {
  const QPoint lines[][2] = {{{10, 20}, {30, 20}},   {{60, 40}, {50, 40}},   {{100, 10}, {100, 15}},
                             {{120, 15}, {120, 10}}, {{10, 100}, {20, 110}}, {{5, 5}, {5, 5}}};
  for (const auto& line : lines) {
    context_.MoveTo(line[0].x(), line[0].y());
    context_.LineTo(line[1].x(), line[1].y());
  }
  EXPECT_EQ(context_.CurrentPosition(), QPoint(5, 5));
  context_.SelectPen(QPen(Qt::black, 1, Qt::DashLine));
  context_.MoveTo(10, 150);
  context_.LineTo(150, 150);
  const QImage& image = Result();
  EXPECT_EQ(InkColumns(image, 20), Span(10, 29));
  EXPECT_EQ(InkColumns(image, 40), Span(51, 60));
  EXPECT_EQ(InkRows(image, 100, 0, 50), Span(10, 14));
  EXPECT_EQ(InkRows(image, 120, 0, 100), Span(11, 15));
  EXPECT_EQ(InkBounds(image, QRect(0, 90, 50, 50)), QRect(10, 100, 10, 10));
  EXPECT_FALSE(IsInk(image, 5, 5)) << "a line to its own start draws nothing";
  const std::vector<int> dashes = InkColumns(image, 150);
  EXPECT_EQ(dashes.front(), 10);
  EXPECT_LE(dashes.back(), 149);
  EXPECT_LT(dashes.size(), 140u) << "a dashed line has gaps";
}

TEST_F(DrawingContextTest, RectanglesCoverLeftToRightMinusOneOutlinedWithThePen) {
  context_.SelectPen(QPen(QColor(Qt::red), 1));
  context_.SelectBrush(QBrush(Qt::blue));
  context_.Rectangle(10, 20, 50, 40);
  context_.SelectPen(QPen(Qt::NoPen));
  context_.Rectangle(100, 10, 110, 20);
  context_.FillRect(10, 100, 30, 110, QBrush(Qt::black));
  context_.FillRect(40, 100, 60, 110, QBrush(Qt::NoBrush));
  const QImage& image = Result();
  EXPECT_EQ(InkBounds(image, QRect(0, 0, 90, 90)), QRect(10, 20, 40, 20));
  for (const QPoint edge : {QPoint(10, 30), QPoint(49, 30), QPoint(30, 20), QPoint(30, 39)}) {
    EXPECT_EQ(image.pixel(edge), qRgb(255, 0, 0));
  }
  EXPECT_EQ(image.pixel(11, 21), qRgb(0, 0, 255));
  EXPECT_EQ(InkBounds(image, QRect(90, 0, 100, 90)), QRect(100, 10, 9, 9))
      << "without a pen one pixel smaller";
  EXPECT_EQ(InkBounds(image, QRect(0, 90, 200, 100)), QRect(10, 100, 20, 10));
}

TEST(DrawingContextCurves, EllipsesAndRoundRectsOfManySizesFillExactlyTheirRectangle) {
  for (int width = 2; width < 60; width += 3) {
    for (int height = 2; height < 50; height += 5) {
      for (bool rounded : {false, true}) {
        QImage image = WhiteImage(100, 100);
        {
          QPainter painter(&image);
          DrawingContext context(painter);
          if (rounded) {
            context.RoundRect(10, 10, 10 + width, 10 + height, 10, 10);
          } else {
            context.Ellipse(10, 10, 10 + width, 10 + height);
          }
        }
        EXPECT_EQ(InkBounds(image), QRect(10, 10, width, height))
            << width << " x " << height << " " << rounded;
        if (rounded && width > 20 && height > 20) {
          EXPECT_FALSE(IsInk(image, 10, 10)) << "rounded corner";
        }
      }
    }
  }
}

TEST_F(DrawingContextTest, MappingScalesAndShiftsAndIsotropicKeepsTheSmallerScale) {
  context_.SetMapMode(TMappingMode::Anisotropic);
  context_.SetWindowExtent(100, 100);
  context_.SetViewportExtent(300, 200);
  context_.SetViewportOrigin(10, 20);
  EXPECT_EQ(context_.LogicalToDevice(QPointF(10, 10)), QPointF(40, 40));
  context_.FillRect(0, 0, 10, 10, QBrush(Qt::black));
  context_.SetMapMode(TMappingMode::Isotropic);
  context_.SetWindowExtent(100, 100);
  context_.SetViewportExtent(300, 200);
  EXPECT_EQ(context_.LogicalToDevice(QPointF(10, 10)), QPointF(30, 40));
  context_.SetMapMode(TMappingMode::Text);
  context_.SetViewportOrigin(0, 0);
  context_.SetWindowOrigin(-150, -150);
  context_.FillRect(0, 0, 5, 5, QBrush(Qt::black));
  const QImage& image = Result();
  EXPECT_EQ(InkBounds(image, QRect(0, 0, 100, 100)), QRect(10, 20, 30, 20));
  EXPECT_EQ(InkBounds(image, QRect(100, 100, 100, 100)), QRect(150, 150, 5, 5));
}

TEST_F(DrawingContextTest, ClipsAndSavedStates) {
  EXPECT_FALSE(context_.RestoreState()) << "nothing saved yet";
  context_.SelectBrush(QBrush(Qt::red));
  context_.SaveState();
  context_.SetViewportOrigin(100, 0);
  context_.SetTextAlign(TTextAlign::Right);
  context_.IntersectClipRect(0, 0, 10, 10);  // logical: device 100..109
  context_.FillRect(-100, 0, 50, 50, QBrush(Qt::black));
  context_.SelectClipRect(0, 100, 10, 110);  // device, whatever the mapping
  context_.FillRect(-100, 0, 100, 200, QBrush(Qt::black));
  ASSERT_TRUE(context_.RestoreState());
  EXPECT_EQ(context_.ViewportOrigin(), QPoint(0, 0));
  EXPECT_EQ(context_.TextAlign(), TTextAlign::Left);
  context_.Rectangle(150, 150, 170, 170);  // no clip, no shift, red brush again
  const QImage& image = Result();
  EXPECT_EQ(InkBounds(image, QRect(0, 0, 200, 50)), QRect(100, 0, 10, 10));
  EXPECT_EQ(InkBounds(image, QRect(0, 50, 140, 100)), QRect(0, 100, 10, 10));
  EXPECT_EQ(image.pixel(160, 160), qRgb(255, 0, 0));
}

TEST_F(DrawingContextTest, TextHangsFromTheTopOfItsCellInEachAlignmentAndOpaqueFillsTheCell) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(20);
  context_.SelectFont(font);
  context_.SetBackgroundMode(TBackgroundMode::Transparent);
  context_.SetTextColor(Qt::blue);
  context_.TextOut(20, 10, QStringLiteral("HHH"));
  context_.SetTextAlign(TTextAlign::Right);
  context_.TextOut(180, 50, QStringLiteral("HHH"));
  context_.SetTextAlign(TTextAlign::Center);
  context_.TextOut(100, 90, QStringLiteral("HHH"));
  context_.SetTextAlign(TTextAlign::Left);
  context_.SetBackgroundMode(TBackgroundMode::Opaque);
  context_.SetBackgroundColor(QColor(0xC0, 0xC0, 0xC0));
  context_.TextOut(10, 150, QStringLiteral("Ab"));
  const int width = context_.TextWidth(QStringLiteral("Ab"));
  const int cell = context_.TextHeight();
  const QImage& image = Result();
  const QRect left = InkBounds(image, QRect(0, 0, 200, 40));
  EXPECT_GE(left.left(), 20);
  EXPECT_LE(left.left(), 23);
  EXPECT_GT(left.top(), 10) << "the top of the cell, not the baseline, is at y";
  EXPECT_LT(left.bottom(), 10 + cell);
  EXPECT_TRUE(ContainsColour(image, left, qRgb(0, 0, 255)));
  const QRect right = InkBounds(image, QRect(0, 40, 200, 40));
  EXPECT_LE(right.right(), 180);
  EXPECT_GE(right.right(), 176);
  EXPECT_EQ(right.top() - 50, left.top() - 10);
  const QRect centre = InkBounds(image, QRect(0, 80, 200, 40));
  EXPECT_NEAR((centre.left() + centre.right()) / 2.0, 100, 2);
  EXPECT_EQ(InkBounds(image, QRect(0, 140, 200, 60)), QRect(10, 150, width, cell));
  EXPECT_EQ(image.pixel(10, 150), qRgb(0xC0, 0xC0, 0xC0));
}

}  // namespace
