#include "print/controls/QVRchCon.h"
#include "tests/print/controls/RichTextTestSupport.h"

namespace {

using ContinuationTest = RichTextPageTest;

TEST_F(ContinuationTest, PrintsTheNextPortionOfItsEditIntoItsOwnBox) {
  FillParagraphs(4);
  auto* continuation = new TQVRichContinue(&form_);
  EXPECT_EQ(continuation->Color(), clWhite);
  continuation->SetParentRichEditE(edit_);
  TQVPrint own = Box(100, 300);
  TQVPrint continued = Box(600, 1200);
  EXPECT_EQ(edit_->PrintMessage(own), qpMore);
  EXPECT_TRUE(continuation->QVTextRemains());
  EXPECT_EQ(continuation->PrintMessage(continued), qpDone);
  EXPECT_FALSE(continuation->QVTextRemains());
  EXPECT_TRUE(HasInk(Page(), Area(continued)));
}

TEST_F(ContinuationTest, WithoutAnEditItPrintsNothingAndAnswersZero) {
  FillParagraphs(1);
  auto* continuation = new TQVRichContinue(&form_);
  TQVPrint box = Box(100, 600);
  EXPECT_EQ(continuation->PrintMessage(box), qpNothing);
  EXPECT_FALSE(continuation->QVTextRemains());

  continuation->SetParentRichEditE(edit_);
  delete edit_;
  edit_ = nullptr;
  EXPECT_EQ(continuation->ParentRichEditE(), nullptr) << "a destroyed edit is no longer referred to";
  EXPECT_EQ(continuation->PrintMessage(box), qpNothing);
  EXPECT_FALSE(HasInk(Page(), Area(box)));
}

}  // namespace
