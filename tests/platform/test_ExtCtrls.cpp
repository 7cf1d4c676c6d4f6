#include "platform/ExtCtrls.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <QPicture>
#include <QSignalSpy>
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

TEST(TPanel, SingleBorderDrawsAFrameOutsideTheBevels) {
  TPanel panel(nullptr);
  panel.resize(40, 30);
  panel.SetColor(clWhite);
  panel.SetBevelOuter(bvNone);
  EXPECT_EQ(At(Painted(panel), 0, 15), QColor(Qt::white));
  panel.SetBorderStyle(bsSingle);
  EXPECT_EQ(panel.InnerRect(), QRect(1, 1, 38, 28));
  const QImage framed = Painted(panel);
  const QColor frame = ToQColor(clWindowFrame);
  EXPECT_EQ(At(framed, 0, 15), frame);
  EXPECT_EQ(At(framed, 39, 15), frame);
  EXPECT_EQ(At(framed, 20, 29), frame);
  EXPECT_EQ(At(framed, 1, 15), QColor(Qt::white));
  panel.SetBevelOuter(bvRaised);
  EXPECT_EQ(At(Painted(panel), 1, 15), ToQColor(clBtnHighlight)) << "the bevel lies inside the frame";
}

TEST(TImage, MetafilesAndIconsFillTheirRectangleToo) {
  TImage image(nullptr);
  image.setAutoFillBackground(true);
  image.setPalette(QPalette(Qt::white));
  image.resize(80, 40);
  image.SetStretch(true);
  // A metafile whose drawing starts away from its origin still lands exactly on the control.
  image.SetPicture(TPicture::FromMetafile(RecordedSquare(QRect(10, 10, 20, 20), Qt::blue)));
  QImage painted = Painted(image);
  EXPECT_EQ(At(painted, 1, 1), QColor(Qt::blue));
  EXPECT_EQ(At(painted, 78, 38), QColor(Qt::blue));
  image.SetStretch(false);
  painted = Painted(image);
  EXPECT_EQ(At(painted, 19, 19), QColor(Qt::blue));
  EXPECT_EQ(At(painted, 21, 5), QColor(Qt::white)) << "unstretched it keeps its own size";

  QImage green(16, 16, QImage::Format_ARGB32);
  green.fill(Qt::green);
  image.SetPicture(TPicture::FromIcon(QIcon(QPixmap::fromImage(green))));
  EXPECT_EQ(image.Picture().Kind(), gkIcon);
  EXPECT_EQ(image.PictureRect(), QRect(0, 0, 16, 16));
  EXPECT_EQ(At(Painted(image), 8, 8), QColor(Qt::green));
}

TEST(TRadioGroup, ItemsAreButtonsInColumnsThatAreNoControlsOfTheForm) {
  TRadioGroup group(nullptr);
  group.resize(200, 120);
  group.SetItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                  QStringLiteral("e")});
  group.SetColumns(2);
  ASSERT_NE(group.Button(4), nullptr);
  EXPECT_EQ(group.Button(5), nullptr);
  // Three rows: a, b, c go down the first column, d and e the second.
  EXPECT_EQ(group.Button(1)->x(), group.Button(0)->x());
  EXPECT_GT(group.Button(1)->y(), group.Button(0)->y());
  EXPECT_GT(group.Button(3)->x(), group.Button(2)->x());
  EXPECT_EQ(group.Button(3)->y(), group.Button(0)->y());
  for (QObject* child : group.children()) {
    EXPECT_EQ(dynamic_cast<TControl*>(child), nullptr) << "the renderer must not print the buttons again";
  }

  QSignalSpy clicks(&group, &TRadioGroup::Click);
  group.SetItemIndex(2);
  EXPECT_TRUE(group.Button(2)->isChecked());
  group.SetItemIndex(-1);
  EXPECT_FALSE(group.Button(2)->isChecked());
  group.Button(3)->click();
  EXPECT_EQ(group.ItemIndex(), 3);
  EXPECT_EQ(clicks.count(), 1);
  group.SetItems({QStringLiteral("x")});
  EXPECT_EQ(group.ItemIndex(), -1);
}
