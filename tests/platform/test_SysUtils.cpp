#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace {

struct IntegerCase {
  const char* text;
  int value;
};

class StrToIntAccepts : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(StrToIntAccepts, TheFrameworksSpellings) {
  EXPECT_EQ(StrToInt(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToIntAccepts,
    ::testing::Values(IntegerCase{"0", 0}, IntegerCase{"2400", 2400}, IntegerCase{"-1", -1},
                      IntegerCase{"+7", 7}, IntegerCase{"   3", 3}, IntegerCase{"$FF", 255},
                      IntegerCase{"0x10", 16}, IntegerCase{"-$10", -16}, IntegerCase{"$FFFFFFFF", -1},
                      IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", -2147483647 - 1}));

class StrToIntRejects : public ::testing::TestWithParam<const char*> {};

TEST_P(StrToIntRejects, WithTheConversionMessage) {
  const QString text = QString::fromUtf8(GetParam());
  try {
    StrToInt(text);
    FAIL() << "accepted " << GetParam();
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, StrToIntRejects,
                         ::testing::Values("", " ", "3 ", "1.5", "1,5", "abc", "-", "+-1", "$", "0x", "12a",
                                           "2147483648", "-2147483649", "$100000000", "\xC2\xBD"));

TEST(StrToIntDef, GivesTheFallbackInsteadOfFailing) {
  EXPECT_EQ(StrToIntDef(QStringLiteral("x"), 42), 42);
  EXPECT_EQ(StrToIntDef(QStringLiteral("12"), 42), 12);
  EXPECT_EQ(StrToIntDef(QStringLiteral("$10"), 42, TIntegerSyntax::StrictDecimal), 42);
}

// The strict decimal syntax takes digits and a leading "-" only; what the framework's syntax adds fails.
TEST(StrToIntStrictDecimal, TakesOnlyDigitsAndAMinusSign) {
  const auto strict = [](const char* text) {
    return StrToInt(QString::fromUtf8(text), TIntegerSyntax::StrictDecimal);
  };
  EXPECT_EQ(strict("0"), 0);
  EXPECT_EQ(strict("3112"), 3112);
  EXPECT_EQ(strict("-1"), -1);
  EXPECT_EQ(strict("007"), 7);
  EXPECT_EQ(strict("2147483647"), 2147483647);
  EXPECT_EQ(strict("-2147483648"), -2147483647 - 1);
  for (const char* text :
       {"$960", "0x960", "+5", " 12", "12 ", "", "-", "--1", "1e3", "$FFFFFFFF", "2147483648", "-2147483649",
        "4294967296", "99999999999999999999999999", "\xD9\xA3"}) {
    try {
      strict(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(),
                QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(text)));
    }
  }
  EXPECT_EQ(StrToInt(QStringLiteral(" +$3C0")), 960)
      << "the framework's syntax is still there for its callers";
}

TEST(FloatToStr, WritesGeneralTextWithoutNeedlessDigits) {
  EXPECT_EQ(FloatToStr(100.0), QStringLiteral("100"));
  EXPECT_EQ(FloatToStr(12.5), QStringLiteral("12.5"));
  EXPECT_EQ(FloatToStr(0.1), QStringLiteral("0.1"));
  EXPECT_EQ(FloatToStr(-3.25), QStringLiteral("-3.25"));
  EXPECT_EQ(FloatToStr(1e15), QStringLiteral("1E15"));
  EXPECT_EQ(FloatToStr(1e-5), QStringLiteral("1E-5"));
  EXPECT_EQ(FloatToStr(-2.5e20), QStringLiteral("-2.5E20"));
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
  EXPECT_EQ(RoundHalfEven(7.0 / 2.0), 4);
}

TEST(RoundHalfEven, SaturatesInsteadOfOverflowing) {
  EXPECT_GT(RoundHalfEven(1e300), 9000000000000000000LL);
  EXPECT_LT(RoundHalfEven(-1e300), -9000000000000000000LL);
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

}  // namespace
