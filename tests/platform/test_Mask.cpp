#include "platform/Forms.h"
#include "platform/Mask.h"
#include "tests/support/TestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(TEditMask, ReadsItsThreePartsAndTranslatesTheMaskCharacters) {
  const TEditMask phone = TEditMask::Parse(QStringLiteral("(999) 000-0000;0;*"));
  EXPECT_EQ(phone.Mask, QStringLiteral("(999) 000-0000"));
  EXPECT_FALSE(phone.SaveLiterals);
  EXPECT_EQ(phone.Blank, QLatin1Char('*'));
  EXPECT_EQ(phone.ToInputMask(), QStringLiteral("(000) 999-9999;*"));

  const TEditMask plain = TEditMask::Parse(QStringLiteral(">LL-aa\\;c"));
  EXPECT_EQ(plain.Mask, QStringLiteral(">LL-aa\\;c")) << "an escaped semicolon belongs to the mask";
  EXPECT_TRUE(plain.SaveLiterals) << "literals are kept unless the mask says 0";
  EXPECT_EQ(plain.Blank, QLatin1Char('_'));
  EXPECT_EQ(plain.ToInputMask(), QStringLiteral(">AA-nn\\;x;_"));
  EXPECT_EQ(TEditMask::Parse(QStringLiteral("<>CN_X")).ToInputMask(), QStringLiteral("!X\\N \\X;_"))
      << "Qt's own mask letters as literals are escaped";
  EXPECT_EQ(TEditMask::Parse(QString()).ToInputMask(), QString());
}

struct TypingCase {
  const char* mask;
  const char* typed;
  const char* editText;
  const char* text;
};

class MaskEditTyping : public ::testing::TestWithParam<TypingCase> {};

TEST_P(MaskEditTyping, ReportsTheTextAsTheFrameworkDoes) {
  TForm form;
  auto* edit = new TMaskEdit(&form);
  edit->SetEditMask(QString::fromUtf8(GetParam().mask));
  form.show();
  edit->setFocus();
  edit->setCursorPosition(0);
  QTest::keyClicks(edit, QString::fromUtf8(GetParam().typed));
  EXPECT_EQ(edit->EditText(), QString::fromUtf8(GetParam().editText));
  EXPECT_EQ(edit->Text(), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskEditTyping,
    ::testing::Values(TypingCase{"(999) 000-0000;1;_", "5551234567", "(555) 123-4567", "(555) 123-4567"},
                      TypingCase{"(999) 000-0000;0;_", "5551234567", "(555) 123-4567", "5551234567"},
                      TypingCase{"(999) 000-0000;1;_", "55512", "(555) 12_-____", "(555) 12 -    "},
                      TypingCase{"000;1;_", "1a2b3", "123", "123"},
                      TypingCase{">LL-00;1;_", "ab12", "AB-12", "AB-12"},
                      TypingCase{"LL;1;_", "1x", "x_", "x "},
                      TypingCase{"", "free text", "free text", "free text"}));

TEST(TMaskEdit, TheTextIsKeptWhenTheMaskChanges) {
  TForm form;
  auto* edit = new TMaskEdit(&form);
  edit->SetText(QStringLiteral("12345"));
  EXPECT_FALSE(edit->IsMasked());
  edit->SetEditMask(QStringLiteral("00-000;1;_"));
  EXPECT_EQ(edit->Text(), QStringLiteral("12-345"));
  edit->SetEditMask(QString());
  EXPECT_EQ(edit->Text(), QStringLiteral("12-345"));
}

}  // namespace
