#include "print/device/QV_Gdi.h"
#include "tests/print/device/PageTestSupport.h"

#include <QPainter>
#include <QPicture>
#include <gtest/gtest.h>

namespace {

using FrameTest = RecordingTest;

std::vector<int> Shifted(const std::vector<int>& offsets, int base) {
  std::vector<int> positions;
  for (int offset : offsets) positions.push_back(base + offset);
  return positions;
}

TEST_F(FrameTest, EveryEdgeKindDrawsItsLinesOnEachSideOfTheBox) {
  const struct {
    int kind;
    std::vector<int> horizontal;  // line offsets from the base of a top or bottom edge
    std::vector<int> vertical;    // from the base of a left or right edge
    int depth;                    // bottom and right edges have their base this far inside
  } kinds[] = {
      {1, Span(0, 5), Span(0, 5), 5},
      {2, Span(0, 1), Span(0, 1), 1},
      {3, Join({Span(0, 5), Span(9, 14)}), Join({Span(0, 5), Span(9, 14)}), 14},
      {4, {0, 5, 6}, {0, 1, 5, 6}, 6},
      {5, Join({Span(0, 5), Span(9, 10)}), Join({Span(0, 5), Span(9, 10)}), 10},
      {6, Join({Span(0, 1), Span(5, 10)}), Join({Span(0, 1), Span(5, 10)}), 10},
  };
  for (const auto& edge : kinds) {
    gdi_->ClearPages();
    Begin();
    for (int side = 0; side < 4; ++side) {  // one page each: top, bottom, left, right
      if (side > 0) gdi_->NewPage();
      gdi_->SetSolidPen(1, clBlack);
      gdi_->FrameBox(100, 100, 300, 250, side == 2 ? edge.kind : 0, side == 0 ? edge.kind : 0,
                     side == 3 ? edge.kind : 0, side == 1 ? edge.kind : 0);
    }
    gdi_->EndPage();
    const QRect area(0, 0, 400, 400);
    const QImage top = RenderPage(1, area), bottom = RenderPage(2, area);
    const QImage left = RenderPage(3, area), right = RenderPage(4, area);
    EXPECT_EQ(InkRows(top, 200), Shifted(edge.horizontal, 100)) << "kind " << edge.kind;
    EXPECT_EQ(InkRows(bottom, 200), Shifted(edge.horizontal, 250 - edge.depth)) << "kind " << edge.kind;
    EXPECT_EQ(InkColumns(left, 175), Shifted(edge.vertical, 100)) << "kind " << edge.kind;
    EXPECT_EQ(InkColumns(right, 175), Shifted(edge.vertical, 300 - edge.depth)) << "kind " << edge.kind;
    // Horizontal lines run from left to right - 1, vertical ones from top to bottom - 1.
    EXPECT_EQ(InkColumns(top, 100), Span(100, 299)) << "kind " << edge.kind;
    EXPECT_EQ(InkRows(left, 100), Span(100, 249)) << "kind " << edge.kind;
  }
}

TEST_F(FrameTest, KindTwoOnTheExampleBoxSkippedEdgesAndFillAndFrame) {
  Begin();
  gdi_->SetSolidPen(1, clBlack);
  gdi_->FrameBox(100, 100, 200, 150, 2, 2, 2, 2);
  gdi_->FrameBox(300, 100, 400, 150, 0, -1, 7, 0);  // none, negative and unknown kinds
  gdi_->SetBrush(0, clRed, 0);
  gdi_->FillAndFrame(100, 300, 200, 400, true, Rect(110, 310, 190, 390));
  const QImage page = Finish(QRect(0, 0, 500, 500));
  EXPECT_EQ(InkRows(page, 150, 0, 250), (std::vector<int>{100, 101, 149, 150}));
  EXPECT_EQ(InkColumns(page, 125), (std::vector<int>{100, 101, 199, 200}));
  EXPECT_FALSE(IsInk(page, 200, 150)) << "each line leaves out its end pixel";
  EXPECT_EQ(InkBounds(page, QRect(250, 0, 250, 250)), QRect());
  EXPECT_EQ(page.pixel(150, 350), qRgb(255, 0, 0));
  EXPECT_EQ(InkRows(page, 105, 250, 450), (std::vector<int>{300, 301, 399, 400}));
}

using ShapeTest = RecordingTest;

TEST_F(ShapeTest, FillsUseTheFillBrushWhichEveryPageStartsWhite) {
  Begin();
  EXPECT_EQ(gdi_->FillBrush().color(), QColor(Qt::white));
  gdi_->SetBrush(0, clBlue, 0);
  gdi_->FillBox(Rect(10, 20, 50, 40));
  gdi_->SetBrush(2, clBlack, 0);  // horizontal hatch
  gdi_->FillBox(Rect(100, 100, 200, 200));
  gdi_->SetBrush(1, clBlack, 0);  // hollow
  gdi_->FillBox(Rect(300, 100, 400, 200));
  gdi_->ClipRect(50, 250, 100, 300);
  gdi_->SetBrush(0, clBlack, 0);
  gdi_->FillBox(Rect(0, 200, 200, 400));
  gdi_->ResetClip();
  gdi_->FillBox(Rect(150, 350, 160, 360));
  gdi_->NewPage();
  EXPECT_EQ(gdi_->FillBrush().color(), QColor(Qt::white));
  gdi_->EndPage();
  const QImage page = RenderPage(1, QRect(0, 0, 500, 400));
  EXPECT_EQ(InkBounds(page, QRect(0, 0, 90, 90)), QRect(10, 20, 40, 20));
  EXPECT_EQ(page.pixel(10, 20), qRgb(0, 0, 255));
  const size_t hatchRows = InkRows(page, 150, 100, 199).size();
  EXPECT_GT(hatchRows, 5u);
  EXPECT_LT(hatchRows, 50u) << "a hatch paints lines with gaps between";
  EXPECT_EQ(InkBounds(page, QRect(290, 90, 120, 120)), QRect());
  EXPECT_EQ(InkBounds(page, QRect(0, 220, 140, 100)), QRect(50, 250, 50, 50)) << "clipped";
  EXPECT_EQ(InkBounds(page, QRect(140, 340, 40, 40)), QRect(150, 350, 10, 10)) << "clip lifted";
}

TEST_F(ShapeTest, LinesAndRectanglesFollowThePenAndPensDoNotOutliveTheirPage) {
  Begin();
  gdi_->SetSolidPen(1, clRed);
  gdi_->Line(10, 10, 60, 10);
  gdi_->MoveTo(10, 20);
  gdi_->LineTo(10, 60);
  gdi_->SetBrush(0, clBlue, 0);
  gdi_->Rectangle(100, 100, 150, 130);
  gdi_->SetPenColor(clLime);
  gdi_->Line(10, 80, 20, 80);
  gdi_->NewPage();
  gdi_->Line(10, 10, 60, 10);
  gdi_->EndPage();
  const QImage first = RenderPage(1, QRect(0, 0, 200, 200));
  EXPECT_EQ(InkColumns(first, 10), Span(10, 59));
  EXPECT_EQ(InkRows(first, 10, 15, 70), Span(20, 59));
  EXPECT_EQ(first.pixel(30, 10), qRgb(255, 0, 0));
  EXPECT_EQ(InkBounds(first, QRect(90, 90, 100, 100)), QRect(100, 100, 50, 30));
  EXPECT_EQ(first.pixel(125, 115), qRgb(0, 0, 255));
  EXPECT_EQ(first.pixel(15, 80), qRgb(0, 255, 0));
  EXPECT_EQ(RenderPage(2, QRect(0, 0, 200, 200)).pixel(30, 10), qRgb(0, 0, 0))
      << "a new page has a black pen";
}

TEST_F(ShapeTest, BitmapsPicturesAndIcons) {
  QImage bitmap(2, 2, QImage::Format_RGB32);
  bitmap.fill(qRgb(0, 0, 255));
  QPicture metafile;
  {
    QPainter painter(&metafile);
    painter.fillRect(QRect(0, 0, 10, 10), Qt::red);
  }
  Begin();
  gdi_->DrawBitmap(bitmap, 10, 10, 0, 0);  // its screen size: 2 screen pixels are 6 printer pixels
  TPictureContent picture;
  picture.Bitmap = bitmap;
  gdi_->DrawPicture(picture, 10, 100, 30, 150, Rect(0, 0, 1, 1));
  picture.Kind = TPictureKind::Metafile;
  picture.Metafile = metafile;
  gdi_->DrawPicture(picture, 0, 0, 0, 0, Rect(100, 100, 150, 120));
  picture.Kind = TPictureKind::Icon;
  gdi_->DrawPicture(picture, 200, 100, 250, 150, Rect(200, 100, 250, 150));
  const QImage page = Finish(QRect(0, 0, 300, 200));
  EXPECT_EQ(InkBounds(page, QRect(0, 0, 50, 50)), QRect(10, 10, 6, 6));
  EXPECT_EQ(InkBounds(page, QRect(0, 90, 50, 100)), QRect(10, 100, 20, 50));
  EXPECT_EQ(InkBounds(page, QRect(90, 90, 100, 50)), QRect(100, 100, 50, 20));
  EXPECT_EQ(page.pixel(120, 110), qRgb(255, 0, 0));
  EXPECT_EQ(InkBounds(page, QRect(190, 90, 100, 100)), QRect()) << "icons are not printed";
}

TEST_F(ShapeTest, TextOnlyPrintersGetTextAndEllipsesButNoFillsFramesLinesOrPictures) {
  UseTestPrinter({QStringLiteral("Generic / Text Only")}, 0, 300);
  gdi_ = std::make_unique<TGdi>(poPrinter);
  Begin();
  gdi_->SetBrush(0, clBlack, 0);
  gdi_->ClipRect(0, 0, 10, 10);  // left out, so the text below stays visible
  gdi_->FillBox(Rect(0, 0, 100, 100));
  gdi_->Rectangle(0, 0, 100, 100);
  gdi_->RoundRect(0, 0, 100, 100, 20, 20);
  gdi_->Line(0, 50, 100, 50);
  gdi_->MoveTo(0, 60);
  gdi_->LineTo(100, 60);
  gdi_->FrameBox(0, 0, 100, 100, 2, 2, 2, 2);
  gdi_->FillAndFrame(0, 0, 100, 100, true, Rect(0, 0, 100, 100));
  TPictureContent picture;
  picture.Bitmap = QImage(4, 4, QImage::Format_RGB32);
  picture.Bitmap.fill(Qt::black);
  gdi_->DrawPicture(picture, 0, 0, 100, 100, Rect(0, 0, 100, 100));
  gdi_->Ellipse(200, 0, 300, 100);
  gdi_->TextAt(0, 200, QStringLiteral("Still printed"));
  const QImage page = Finish(QRect(0, 0, 400, 300));
  EXPECT_EQ(InkBounds(page, QRect(0, 0, 150, 150)), QRect());
  EXPECT_EQ(InkBounds(page, QRect(150, 0, 200, 150)), QRect(200, 0, 100, 100));
  EXPECT_FALSE(InkBounds(page, QRect(0, 180, 400, 120)).isNull());
}

TEST(PrintColor, ButtonFacePrintsWhiteSystemColoursResolveAndOthersPassAsAbsoluteValues) {
  EXPECT_EQ(PrintColor(clBtnFace), clWhite);
  EXPECT_EQ(PrintColor(clWindow), ColorToRGB(clWindow));
  EXPECT_EQ(PrintColor(SystemColor(20)), ColorToRGB(SystemColor(20)));
  EXPECT_EQ(PrintColor(0x123456), 0x123456);
  EXPECT_EQ(PrintColor(-5), 5);
  EXPECT_EQ(PrintColor(SystemColor(21)), 0x7FFFFFEB) << "beyond the converted range only the sign goes";
}

using DeviceObjectsTest = RecordingTest;

TEST_F(DeviceObjectsTest, ConstructionForcesPortraitAndScalesFromTheScreen) {
  Printer().SetOrientation(poLandscape);
  TGdi gdi(poViewer);
  EXPECT_EQ(Printer().Orientation(), poPortrait);
  EXPECT_EQ(gdi.PageNumber(), 0);
  EXPECT_EQ(gdi.Handle(), nullptr);
  EXPECT_EQ(gdi.TextBox(), Rect(0, 0, Printer().PageWidth(), 0));
  EXPECT_DOUBLE_EQ(gdi.ScaleX(), 300.0 / 96.0);
}

TEST_F(DeviceObjectsTest, BrushesKeepThePrinterCanvasInStep) {
  const TBrush& canvas = Printer().Canvas().Brush();
  gdi_->SetBrush(0, clRed, 3);
  EXPECT_EQ(canvas, (TBrush{bsSolid, clRed}));
  gdi_->SetBrush(1, clBlue, 3);
  EXPECT_EQ(canvas, (TBrush{bsClear, clBlue}));
  gdi_->SetBrush(2, clLime, 3);
  EXPECT_EQ(canvas, (TBrush{bsBDiagonal, clLime}));
  gdi_->SetBrush(2, clYellow, 9);
  EXPECT_EQ(canvas, (TBrush{bsBDiagonal, clYellow})) << "an unknown hatch keeps the canvas style";
  for (TBrushStyle style :
       {bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross}) {
    gdi_->SetBrushFrom(TBrush{style, clNavy});
    EXPECT_EQ(canvas, (TBrush{style, clNavy}));
  }
}

TEST_F(DeviceObjectsTest, FontsKeepThePrinterCanvasInStepAndScaleFromTheScreen) {
  const TFont& canvas = Printer().Canvas().Font();
  gdi_->SetFontStyled(QStringLiteral("Times New Roman"), -50, true, false, true);
  EXPECT_EQ(gdi_->FontSpec().Weight, 700);
  EXPECT_EQ(gdi_->FontSpec().Height, -50);
  EXPECT_EQ(gdi_->FontHeight(), 50);
  EXPECT_EQ(canvas.Height(), 50);
  EXPECT_EQ(canvas.Style(), static_cast<TFontStyles>(fsBold | fsUnderline));
  gdi_->SetBold(false);
  EXPECT_EQ(gdi_->FontSpec().Weight, 400);

  TFont screenFont;
  screenFont.SetHeight(-11);
  screenFont.SetStyle(fsItalic);
  screenFont.SetColor(clMaroon);
  gdi_->SelectFont(screenFont);
  EXPECT_EQ(gdi_->FontHeight(), 34) << "11 x 300/96 = 34.375";
  EXPECT_TRUE(gdi_->Italic());
  EXPECT_EQ(gdi_->TextColor(), clMaroon);
  EXPECT_EQ(canvas.Color(), clMaroon);
  gdi_->SelectMappedFont(screenFont, true, false, false);
  EXPECT_EQ(canvas.Name(), QStringLiteral("Arial")) << "MS Sans Serif prints as Arial";
  screenFont.SetName(QStringLiteral("ms sans serif"));
  gdi_->SelectMappedFont(screenFont, false, false, false);
  EXPECT_EQ(gdi_->FontName(), QStringLiteral("ms sans serif")) << "the match is case-sensitive";
  int actual = 0;
  gdi_->SetPrinterFont(QStringLiteral("Courier New"), -30, actual, false, false, false);
  EXPECT_EQ(actual, 30);
  const QString longName(40, QLatin1Char('F'));
  gdi_->SetFont(longName, 20);
  EXPECT_EQ(gdi_->FontSpec().FaceName, longName.left(31));

  gdi_->SetTextColor(clWindowText);
  EXPECT_EQ(gdi_->TextColor(), clBlack) << "a negative colour becomes black";
  EXPECT_EQ(canvas.Color(), clBlack);
}

}  // namespace
