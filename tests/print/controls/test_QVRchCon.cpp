#include "print/controls/QVRchCon.h"
#include "tests/print/controls/RichTextTestSupport.h"

namespace {

using ContinuationTest = RichTextPageTest;

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
