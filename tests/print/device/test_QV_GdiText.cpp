#include "print/device/QV_Gdi.h"
#include "tests/print/device/PageTestSupport.h"

#include <gtest/gtest.h>

namespace {

const QRgb Black = qRgb(0, 0, 0);

// Text in Arial 40 printer pixels at 300 dpi unless a test says otherwise.
class TextTest : public RecordingTest {
protected:
  void SetUp() override {
    RecordingTest::SetUp();
    Begin();
    gdi_->SetFont(QStringLiteral("Arial"), 40);
  }

  static int Width(const QString& text) { return Printer().Canvas().TextWidth(text); }

  /** Top rows of the separate lines of text in the area. */
  static std::vector<int> LineTops(const QImage& page, const QRect& area) {
    const auto inked = [&](int y) {
      return !InkBounds(page, QRect(area.left(), y, area.width(), 1)).isNull();
    };
    return Where(area.top(), area.bottom(),
                 [&](int y) { return inked(y) && (y == area.top() || !inked(y - 1)); });
  }
};

TEST_F(TextTest, TextAtHangsFromItsReferencePointAndDrawsAtMost255Characters) {
  gdi_->TextAt(100, 100, QStringLiteral("Hello"));
  gdi_->SetFont(QStringLiteral("Arial"), 10);
  const QString kept(255, QLatin1Char('l'));
  gdi_->TextAt(0, 300, kept + QString(40, QLatin1Char('W')));
  gdi_->TextAt(0, 400, kept);
  const QImage page = Finish(QRect(0, 0, 2400, 500));
  const QRect hello = InkBounds(page, QRect(0, 0, 2400, 250));
  EXPECT_GE(hello.left(), 100);
  EXPECT_LE(hello.left(), 106);
  EXPECT_GT(hello.top(), 100) << "the top of the text cell is at y, not the baseline";
  EXPECT_LT(hello.bottom(), 100 + 46);
  gdi_->SetFont(QStringLiteral("Arial"), 40);
  EXPECT_NEAR(hello.right(), 100 + Width(QStringLiteral("Hello")), 6) << "measured and drawn widths agree";
  EXPECT_EQ(InkBounds(page, QRect(0, 290, 2400, 50)),
            InkBounds(page, QRect(0, 390, 2400, 50)).translated(0, -100));
}

TEST_F(TextTest, WrapTextBreaksBetweenWordsOneLineHeightApart) {
  const QString text = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta");
  const int boxWidth = Width(QStringLiteral("alpha beta gamma")) + 5;
  gdi_->WrapText(100, 100, 60, Rect(100, 100, 100 + boxWidth, 1000), text, 0, false);
  EXPECT_EQ(gdi_->TextBox(), Rect(100, 100, 100 + boxWidth, 1000));
  const QImage page = Finish(QRect(0, 0, 1200, 600));
  const std::vector<int> tops = LineTops(page, QRect(0, 0, 1200, 600));
  ASSERT_EQ(tops.size(), 3u) << "alpha beta gamma / delta epsilon zeta / eta theta";
  EXPECT_EQ(tops[1] - tops[0], 60);
  EXPECT_EQ(tops[2] - tops[1], 60);
  for (int top : tops) EXPECT_LE(InkBounds(page, QRect(0, top, 1200, 45)).right(), 100 + boxWidth);
}

TEST_F(TextTest, WrapTextCutsAWordTooWideForTheBoxAndSingleLineKeepsOnlyTheFirstLine) {
  const QString word = QStringLiteral("Incomprehensibilities");
  const int boxWidth = Width(word) / 2;
  gdi_->WrapText(100, 100, 60, Rect(100, 100, 100 + boxWidth, 1000), word, 0, false);
  gdi_->WrapText(100, 400, 60, Rect(100, 400, 100 + boxWidth, 1000), word, 0, true);
  const QImage page = Finish(QRect(0, 0, 1200, 600));
  const std::vector<int> tops = LineTops(page, QRect(0, 0, 1200, 350));
  EXPECT_GE(tops.size(), 2u);
  EXPECT_LE(tops.size(), 3u);
  for (int top : tops) EXPECT_LE(InkBounds(page, QRect(0, top, 1200, 45)).right(), 100 + boxWidth - 10 + 2);
  EXPECT_EQ(LineTops(page, QRect(0, 350, 1200, 250)).size(), 1u);
}

TEST_F(TextTest, WrapAndMemoLinesAlignRightLessTwentyOrOnTheMiddleThenLeftAgain) {
  gdi_->WrapText(100, 100, 60, Rect(100, 100, 700, 400), QStringLiteral("right"), 1, false);
  TMemoContent memo;
  memo.Alignment = 2;
  memo.Lines = {QStringLiteral("TILE"), QStringLiteral("\tTEN"), QString(), QStringLiteral("THE")};
  gdi_->MemoLines(100, 200, 50, Rect(100, 200, 700, 400), memo);
  gdi_->TextAt(100, 500, QStringLiteral("left again"));
  const QImage page = Finish(QRect(0, 0, 1000, 600));
  EXPECT_NEAR(InkBounds(page, QRect(0, 90, 1000, 60)).right(), 100 + 600 - 20, 4);
  const std::vector<int> tops = LineTops(page, QRect(0, 190, 1000, 250));
  ASSERT_EQ(tops.size(), 3u);
  EXPECT_EQ(tops[1] - tops[0], 50);
  EXPECT_EQ(tops[2] - tops[0], 150) << "the empty line keeps its place";
  const QRect centre = InkBounds(page, QRect(0, tops[0], 1000, 40));
  EXPECT_NEAR((centre.left() + centre.right()) / 2.0, 100 + 300, 4);
  const QRect tabbed = InkBounds(page, QRect(0, tops[1], 1000, 40));
  EXPECT_NEAR((tabbed.left() + tabbed.right()) / 2.0, 400 + Width(QString(8, QLatin1Char(' '))) / 2.0, 6);
  EXPECT_NEAR(InkBounds(page, QRect(0, 490, 1000, 60)).left(), 100, 4);
}

TEST_F(TextTest, AlignedTextPlacesTextColonFillAndFrame) {
  const QString text = QStringLiteral("Total");
  gdi_->AlignedText(100, 100, 600, 150, true, Rect(0, 0, 0, 0), text, 0, false, false);
  gdi_->AlignedText(100, 200, 600, 250, false, Rect(0, 0, 0, 0), text, 1, false, false);
  gdi_->AlignedText(100, 300, 600, 350, false, Rect(0, 0, 0, 0), text, 2, false, false);
  gdi_->SetBrush(0, clYellow, 0);
  gdi_->SetSolidPen(1, clBlack);
  gdi_->AlignedText(100, 500, 400, 600, true, Rect(80, 480, 420, 620), QStringLiteral("x"), 0, true, true);
  EXPECT_EQ(Printer().Canvas().Brush().Color, clWhite) << "the canvas brush is white again after a fill";
  const QImage page = Finish(QRect(0, 0, 800, 700));
  const QRect left = InkBounds(page, QRect(95, 95, 300, 60));
  EXPECT_NEAR(left.left(), 100, 4);
  EXPECT_LT(left.right(), 100 + Width(text) + 4) << "the colon at x + 20/300 inch falls inside the word";
  EXPECT_NEAR(InkBounds(page, QRect(0, 190, 800, 60)).right(), 600 - 10, 5) << "10/300 inch from the right";
  const QRect centre = InkBounds(page, QRect(0, 290, 800, 60));
  EXPECT_NEAR((centre.left() + centre.right()) / 2.0, 350, 4);
  EXPECT_EQ(page.pixel(85, 485), qRgb(255, 255, 0));
  EXPECT_EQ(ColourRows(page, 300, Black, 485, 615), (std::vector<int>{490, 491, 599, 600}))
      << "from y - 10/300 inch";
  EXPECT_EQ(ColourColumns(page, 550, Black, 85, 415), (std::vector<int>{90, 91, 399, 400}));
}

TEST_F(TextTest, MemoBoxClipsItsLinesFillsWhiteAndFramesASingleBorder) {
  gdi_->SetBrush(0, clBlack, 0);
  gdi_->FillBox(Rect(0, 0, 800, 400));
  TMemoContent memo;
  memo.Lines = {QStringLiteral("A line far too long for its memo box")};
  memo.Font.SetName(QStringLiteral("Arial"));
  memo.Font.SetColor(clBlack);
  memo.SingleBorder = true;
  gdi_->SetSolidPen(1, clRed);
  gdi_->MemoBox(memo, 100, 100, 400, 300, Rect(100, 100, 400, 300), true, false, false);
  gdi_->SetBrush(0, clBlue, 0);
  gdi_->FillBox(Rect(500, 350, 510, 360));
  const QImage page = Finish(QRect(0, 0, 800, 400));
  EXPECT_EQ(page.pixel(395, 290), qRgb(255, 255, 255)) << "white inside";
  EXPECT_EQ(page.pixel(450, 150), Black) << "text beyond the box is clipped away";
  EXPECT_EQ(page.pixel(505, 355), qRgb(0, 0, 255)) << "the clip is lifted afterwards";
  EXPECT_EQ(ColourRows(page, 250, qRgb(255, 0, 0), 95, 305), (std::vector<int>{100, 101, 299, 300}))
      << "a kind-2 frame with the current pen";
  EXPECT_NEAR(InkBounds(page, QRect(102, 102, 296, 100)).left(), 110, 4) << "lines start 10/300 inch inside";
}

class BandTest : public TextTest {
protected:
  static TFont BandFont(int height, TColor color = clBlack) {
    TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(height);
    font.SetColor(color);
    return font;
  }
};

TEST_F(BandTest, HeaderBandFillsFramesAndPlacesItsThreeTexts) {
  const int pageWidth = Printer().PageWidth(), right = pageWidth - 150;
  gdi_->SetBrush(0, clSilver, 0);
  gdi_->DrawHeaderBand(true, BandFont(-16, clBlue), 150, 150, QStringLiteral("Left"),
                       QStringLiteral("Centre"), QStringLiteral("Right"), 100, true, true);
  EXPECT_EQ(std::abs(Printer().Canvas().Font().Height()), 50) << "16 screen pixels at 300 dpi: band 100 high";
  const int centreWidth = Width(QStringLiteral("Centre")), rightWidth = Width(QStringLiteral("Right"));
  const int zeroes = Width(QStringLiteral("00"));
  const QImage page = Finish(QRect(0, 0, pageWidth, 300));
  EXPECT_EQ(InkBounds(page), QRect(QPoint(150, 100), QPoint(right, 200)));
  EXPECT_EQ(ColourRows(page, 400, Black, 90, 220), (std::vector<int>{100, 101, 199, 200}));
  EXPECT_EQ(ColourColumns(page, 110, Black, 140, pageWidth - 1),
            (std::vector<int>{150, 151, right - 1, right}));
  EXPECT_EQ(page.pixel(300, 104), qRgb(0xC0, 0xC0, 0xC0)) << "filled with the selected brush";
  // The texts are the blue pixels inside the band, hanging from y = top + 25.
  QImage texts = WhiteImage(pageWidth, 300);
  for (int y = 102; y < 198; ++y) {
    for (int x = 152; x < right - 1; ++x) {
      if (qBlue(page.pixel(x, y)) > qRed(page.pixel(x, y))) texts.setPixel(x, y, page.pixel(x, y));
    }
  }
  const QRect leftText = InkBounds(texts, QRect(0, 0, 600, 300));
  EXPECT_NEAR(leftText.left(), 150 + 20, 4);
  EXPECT_GT(leftText.top(), 125);
  const int centreX = (right - 150) / 2 + 150 - centreWidth / 2;
  EXPECT_NEAR(InkBounds(texts, QRect(centreX - 20, 0, centreWidth + 40, 300)).left(), centreX, 4);
  const QRect rightText = InkBounds(texts, QRect(right - 600, 0, 600, 300));
  EXPECT_NEAR(rightText.right(), right - zeroes, 4);
  EXPECT_NEAR(rightText.left(), right - zeroes - rightWidth, 6);
}

TEST_F(BandTest, DisabledHeaderOnlySetsTheTextColour) {
  gdi_->DrawHeaderBand(false, BandFont(-16, clGreen), 150, 150, "L", "C", "R", 100, true, true);
  EXPECT_EQ(gdi_->TextColor(), clGreen);
  EXPECT_EQ(InkBounds(Finish(QRect(0, 0, 600, 400))), QRect());
}

TEST_F(BandTest, FooterBandIsBoldCentredFilledFromItsBrushAndEndsWithBlackText) {
  const int pageWidth = Printer().PageWidth(), right = pageWidth - 150;
  gdi_->DrawFooterBand(BandFont(12, clRed), 150, 150, QStringLiteral("Footer"), 1000, true, true,
                       TBrush{bsSolid, clYellow});
  EXPECT_TRUE(gdi_->Bold());
  EXPECT_EQ(gdi_->TextColor(), clBlack);
  EXPECT_EQ(Printer().Canvas().Font().PixelsPerInch(), 300)
      << "the canvas keeps the printer's pixels per inch";
  EXPECT_EQ(std::abs(Printer().Canvas().Font().Height()), 38) << "12 screen pixels at 300 dpi: 37.5 to 38";
  const QImage page = Finish(QRect(0, 1000, pageWidth, 100));
  EXPECT_EQ(ColourRows(page, 400, Black, 0, 99), (std::vector<int>{0, 1, 75, 76}));
  EXPECT_EQ(page.pixel(300, 5), qRgb(255, 255, 0));
  QRect text;  // the red on the yellow
  for (int y = 3; y < 74; ++y) {
    for (int x = 152; x < right - 2; ++x) {
      if (qRed(page.pixel(x, y)) > 200 && qGreen(page.pixel(x, y)) < 100) text |= QRect(x, y, 1, 1);
    }
  }
  EXPECT_NEAR((text.left() + text.right()) / 2.0, (150 + right) / 2.0, 4);
}

TEST_F(BandTest, CornerTextsStandFiveScreenPixelsInsideTheBorders) {
  const int pageWidth = Printer().PageWidth();
  gdi_->DrawFooterCornerText(150, 1000, QStringLiteral("Left corner"), false);
  gdi_->DrawFooterCornerText(150, 1200, QStringLiteral("Right corner"), true);
  EXPECT_EQ(Printer().Canvas().Font().Height(), 40) << "the canvas height is put back";
  gdi_->DrawFooterCornerText(150, 1400, QString(), true);
  EXPECT_EQ(Printer().Canvas().Font().Height(), 38) << "an empty text returns before the height is put back";
  const QImage page = Finish(QRect(0, 1000, pageWidth, 600));
  const QRect left = InkBounds(page, QRect(0, 0, pageWidth, 200));
  EXPECT_NEAR(left.left(), 150 + 16, 4) << "5 x 300/96 = 15.6";
  EXPECT_GT(left.top(), 19) << "y = top + half the 38-pixel height";
  EXPECT_NEAR(InkBounds(page, QRect(0, 200, pageWidth, 200)).right(), pageWidth - 150 - 16, 4);
  EXPECT_EQ(InkBounds(page, QRect(0, 400, pageWidth, 200)), QRect());
}

TEST_F(BandTest, BandTextsExpandTheirMacrosWithTheRecordedPageNumber) {
  gdi_->NewPage();
  gdi_->DrawFooterBand(BandFont(12), 150, 150, "Page @page of two", 100, false, false,
                       TBrush{bsClear, clWhite});
  gdi_->EndPage();
  gdi_->PrintPages(false);
  EXPECT_TRUE(PdfPageText(PdfFile(), 2).contains(QStringLiteral("Page 2 of two")));
}

TEST_F(BandTest, TextOnlyPrintersGetTheBandTextsWithoutFillOrFrame) {
  UseTestPrinter({QStringLiteral("Generic / Text Only")}, 0, 300);
  gdi_ = std::make_unique<TGdi>(poPrinter);
  Begin();
  gdi_->SetBrush(0, clBlack, 0);
  gdi_->DrawHeaderBand(true, BandFont(-16), 150, 150, QString(), QStringLiteral("Heading"), QString(), 100,
                       true, true);
  gdi_->DrawFooterBand(BandFont(12), 150, 150, QStringLiteral("Footer"), 400, true, true,
                       TBrush{bsSolid, clBlack});
  const QImage page = Finish(QRect(0, 0, Printer().PageWidth(), 600));
  EXPECT_TRUE(InkRows(page, 200).empty()) << "no fill, no frame";
  EXPECT_FALSE(InkBounds(page, QRect(0, 90, Printer().PageWidth(), 120)).isNull());
  EXPECT_FALSE(InkBounds(page, QRect(0, 390, Printer().PageWidth(), 120)).isNull());
}

}  // namespace
