// The print options dialog: its captions, its scaling and how it ends.
#include "platform/Dialogs.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "print/dialogs/Addit.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLayout>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

namespace {

class AdditionTest : public ::testing::Test {
protected:
  TAddition dialog_;
};

TEST_F(AdditionTest, OpensWithItsCaptionsAllPagesOneCopyAndScaledFor120PixelsPerInch) {
  EXPECT_EQ(dialog_.windowTitle(), QStringLiteral("Print Options"));
  EXPECT_EQ(dialog_.PageRange->title(), QStringLiteral("Page Range"));
  EXPECT_EQ(dialog_.Range->text(), QStringLiteral("Range"));
  EXPECT_EQ(dialog_.Label3->Caption(), QStringLiteral("separated by commas e.g. 1,2,5,7-14,21"));
  EXPECT_EQ(dialog_.CancelBtn->text(), QStringLiteral("&Close"));
  EXPECT_TRUE(dialog_.All->isChecked());
  EXPECT_EQ(dialog_.Copies->Text(), QStringLiteral("1"));
  ASSERT_EQ(dialog_.ComboBox1->count(), 3);
  EXPECT_EQ(dialog_.ComboBox1->itemText(2), QStringLiteral("Print Even Pages"));
  EXPECT_EQ(dialog_.ComboBox1->currentIndex(), 0);
  // 440 x 330 at 120 pixels per inch is 352 x 264 on the 96 pixels-per-inch test screen, unless the
  // captions need more.
  EXPECT_GE(dialog_.width(), 352);
  EXPECT_GE(dialog_.height(), 264);
  EXPECT_GE(dialog_.width(), dialog_.layout()->minimumSize().width());
}

TEST_F(AdditionTest, OnlyRangeEnablesTheSelectionAndLeavingItEmptiesIt) {
  EXPECT_FALSE(dialog_.Edit1->isEnabled());
  dialog_.Range->setChecked(true);
  EXPECT_TRUE(dialog_.Edit1->isEnabled() && dialog_.Label1->isEnabled() && dialog_.Label3->isEnabled());
  dialog_.Edit1->SetText(QStringLiteral("2-3"));
  dialog_.All->setChecked(true);
  EXPECT_EQ(dialog_.Edit1->Text(), QString());
  EXPECT_FALSE(dialog_.Edit1->isEnabled() || dialog_.Label1->isEnabled());
  dialog_.Range->setChecked(true);
  EXPECT_EQ(dialog_.Edit1->Text(), QString()) << "switching back shows an empty selection";
}

TEST_F(AdditionTest, PrintEndsWithOkAndCloseEscapeOrTheCloseBoxWithCancel) {
  struct Case {
    const char* answer;
    TModalResult expected;
  };
  for (const Case& test :
       {Case{"print", mrOk}, Case{"close", mrCancel}, Case{"escape", mrCancel}, Case{"box", mrCancel}}) {
    const std::string answer = test.answer;
    const ModalObserverScope scope([&answer, this](QWidget&) {
      if (answer == "print") dialog_.Print->Click();
      if (answer == "close") dialog_.CancelBtn->Click();
      if (answer == "escape") QTest::keyClick(&dialog_, Qt::Key_Escape);
      if (answer == "box") dialog_.close();
    });
    EXPECT_EQ(dialog_.ShowModal(), test.expected) << answer;
  }
}

}  // namespace
