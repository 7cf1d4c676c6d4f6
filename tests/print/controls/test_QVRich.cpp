#include "tests/print/controls/RichTextTestSupport.h"

namespace {

using RichEditTest = RichTextPageTest;

TEST_F(RichEditTest, TextThatFitsAnswersOneAndLeavesNothingForALaterBox) {
  edit_->SetText(QStringLiteral("A short letter."));
  TQVPrint own = Box(100, 600);
  EXPECT_EQ(edit_->PrintMessage(own), qpDone);
  EXPECT_EQ(edit_->PrintPosition(), edit_->TextLength());
  EXPECT_FALSE(edit_->QVTextRemains());
  TQVPrint later = Box(800, 600);
  EXPECT_EQ(edit_->PrintInto(later, form_), qpDone) << "the range starts at the end";
  const QImage& page = Page();
  EXPECT_TRUE(HasInk(page, Area(own)));
  EXPECT_FALSE(HasInk(page, Area(later)));
}

// Box heights are no multiple of the line height, so a box that took a part of a line would show it cut at
// its bottom edge.
TEST_F(RichEditTest, TextLongerThanTwoBoxesGoesOnInWholeLinesUntilTheBoxThatReachesTheEnd) {
  FillParagraphs(6);
  TQVPrint boxes[] = {Box(100, 517), Box(700, 503), Box(1300, 1000)};
  const QObject first;
  const QObject second;
  const QObject* owners[] = {edit_, &first, &second};
  const TQVPrintAnswer expected[] = {qpMore, qpMore, qpDone};
  int position = 0;
  for (int index = 0; index < 3; ++index) {
    EXPECT_EQ(index == 0 ? edit_->PrintMessage(boxes[index]) : edit_->PrintInto(boxes[index], *owners[index]),
              expected[index])
        << "box " << index;
    EXPECT_GT(edit_->PrintPosition(), position) << "box " << index;
    position = edit_->PrintPosition();
  }
  EXPECT_EQ(position, edit_->TextLength());
  const QImage& page = Page();
  for (const TQVPrint& box : boxes) {
    const QRect area = Area(box);
    EXPECT_TRUE(HasInk(page, area));
    EXPECT_FALSE(HasInk(page, QRect(area.left(), area.bottom() - 1, area.width(), 2)))
        << "no line is cut at the box's bottom edge (box at " << box.Top << ")";
    EXPECT_FALSE(HasInk(page, QRect(area.left(), area.bottom() + 1, area.width(), 80))) << "nothing below it";
  }
}

TEST_F(RichEditTest, ALineThatDoesNotFitWaitsForTheNextBox) {
  FillParagraphs(1);
  TQVPrint tiny = Box(100, 30);
  EXPECT_EQ(edit_->PrintMessage(tiny), qpMore);
  EXPECT_EQ(edit_->PrintPosition(), 0);
  TQVPrint roomy = Box(400, 1000);
  EXPECT_EQ(edit_->PrintInto(roomy, form_), qpDone);
  const QImage& page = Page();
  EXPECT_FALSE(HasInk(page, Area(tiny)));
  EXPECT_TRUE(HasInk(page, Area(roomy)));
}

// Otherwise a job of boxes that are all too small would open pages without end.
TEST_F(RichEditTest, ALineNoBoxCanTakeGoesCutIntoTheBoxThatComesRoundAgain) {
  FillParagraphs(2);
  TQVPrint own = Box(100, 30);
  TQVPrint other = Box(400, 30);
  EXPECT_EQ(edit_->PrintMessage(own), qpMore);
  EXPECT_EQ(edit_->PrintInto(other, form_), qpMore);
  EXPECT_EQ(edit_->PrintPosition(), 0) << "each box was offered the line once";
  EXPECT_EQ(edit_->PrintMessage(own), qpMore);
  EXPECT_GT(edit_->PrintPosition(), 0) << "the box that came round again took it, cut";
  EXPECT_TRUE(HasInk(Page(), Area(own)));

  own = Box(100, 30);  // the page has a new context now
  other = Box(400, 30);
  int rounds = 0;
  while (edit_->QVTextRemains() && rounds < 1000) {
    edit_->PrintMessage(own);
    edit_->PrintInto(other, form_);
    ++rounds;
  }
  EXPECT_FALSE(edit_->QVTextRemains()) << "printing ends";
}

}  // namespace
