#include "platform/SysUtils.h"

#include <cmath>
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

namespace {

TFormatSettings PointAndComma() {
  TFormatSettings settings;
  settings.DecimalSeparator = QLatin1Char('.');
  settings.ThousandSeparator = QLatin1Char(',');
  settings.CurrencyLocale = QLocale(QLocale::English, QLocale::UnitedStates);
  return settings;
}

struct PatternCase {
  const char* pattern;
  double value;
  const char* text;
};

class FormatFloatWrites : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FormatFloatWrites, ThePatternsText) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(FormatFloat(QString::fromUtf8(c.pattern), c.value, PointAndComma()), QString::fromUtf8(c.text))
      << "pattern " << c.pattern << " value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatFloatWrites,
    ::testing::Values(
        // the general format when no pattern is given
        PatternCase{"", 1234, "1234"}, PatternCase{"", -1234.5, "-1234.5"}, PatternCase{"", 0.5, "0.5"},
        // required and optional digits
        PatternCase{"0", 1234, "1234"}, PatternCase{"0", 0.5, "1"}, PatternCase{"0", -0.4, "0"},
        PatternCase{"0.00", 1234, "1234.00"}, PatternCase{"0.00", -1234, "-1234.00"},
        PatternCase{"0.00", 0, "0.00"}, PatternCase{"#.##", 1234, "1234"}, PatternCase{"#.##", 0.5, ".5"},
        PatternCase{"#.##", 0, ""}, PatternCase{"#", 0, ""}, PatternCase{"#", 42.6, "43"},
        PatternCase{"000", 7, "007"}, PatternCase{"0.0#", 2.5, "2.5"}, PatternCase{"0.0#", 2.505, "2.51"},
        // rounding at 15 significant digits, half away from zero, carrying over
        PatternCase{"0.00", 1.005, "1.01"}, PatternCase{"0.00", 0.1 + 0.2, "0.30"},
        PatternCase{"0.00", 9.999, "10.00"}, PatternCase{"0.00", -2.675, "-2.68"},
        PatternCase{"0.00", -0.001, "0.00"},
        // thousands separators, wherever the comma stands in the integer part
        PatternCase{"#,##0.00", 1234, "1,234.00"}, PatternCase{"#,##0.00", -1234567.891, "-1,234,567.89"},
        PatternCase{"#,##0.00", 0.5, "0.50"}, PatternCase{"#,##0.00", 999.999, "1,000.00"},
        PatternCase{"#,##0", 1e15, "1,000,000,000,000,000"}, PatternCase{"0,0", 1234, "1,234"},
        // sections for positive; negative; zero, and their fallbacks
        PatternCase{"#,##0.00;(#,##0.00)", -1234, "(1,234.00)"},
        PatternCase{"#,##0.00;(#,##0.00)", 1234, "1,234.00"}, PatternCase{"#,##0.00;;Zero", 0, "Zero"},
        PatternCase{"#,##0.00;;Zero", -5, "-5.00"}, PatternCase{"0.00;-0.00;nil", 0.001, "nil"},
        PatternCase{"0;neg;zero", -3, "neg"},
        // literal text, quoted or not, and a semicolon inside quotes
        PatternCase{"0.00' kg'", 2, "2.00 kg"}, PatternCase{"\"$\"#,##0.00", 1234.5, "$1,234.50"},
        PatternCase{"0 'a;b'", 1, "1 a;b"}, PatternCase{"#-##", 12345, "123-45"},
        // scientific notation
        PatternCase{"0.000E+00", 1234, "1.234E+03"}, PatternCase{"0.000E+00", -1234, "-1.234E+03"},
        PatternCase{"0.000E+00", 0.5, "5.000E-01"}, PatternCase{"0.000E+00", 0, "0.000E+00"},
        PatternCase{"#.###E-0", 1234, "1.234E3"}, PatternCase{"#.###E-0", 0.5, "5E-1"},
        PatternCase{"#.###E-0", 0, "0E0"}));

TEST(FormatFloat, UsesTheSettingsSeparatorsAndSpellsNonNumbers) {
  TFormatSettings german = PointAndComma();
  german.DecimalSeparator = QLatin1Char(',');
  german.ThousandSeparator = QLatin1Char('.');
  EXPECT_EQ(FormatFloat(QStringLiteral("#,##0.00"), 1234567.5, german), QStringLiteral("1.234.567,50"));
  EXPECT_EQ(FormatFloat(QString(), 2.5, german), QStringLiteral("2,5"));
  EXPECT_EQ(FormatFloat(QStringLiteral("0.00"), std::nan(""), german), QStringLiteral("NAN"));
  EXPECT_EQ(FormatFloat(QStringLiteral("0.00"), -HUGE_VAL, german), QStringLiteral("-INF"));
}

TEST(FormatMoney, FollowsTheCurrencyLocaleWithTwoDecimals) {
  const TFormatSettings us = PointAndComma();
  EXPECT_EQ(FormatMoney(1234.5, us), QStringLiteral("$1,234.50"));
  EXPECT_EQ(FormatMoney(-1234.5, us), QStringLiteral("($1,234.50)"));
  EXPECT_EQ(FormatMoney(-0.001, us), QStringLiteral("$0.00")) << "no negative zero";
  TFormatSettings german = TFormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(german.DecimalSeparator, QLatin1Char(','));
  EXPECT_EQ(FormatMoney(1234.5, german), QStringLiteral("1.234,50\u00A0\u20AC"));
}

TEST(FormatSettings, ProgramWideSettingsCanBeReplaced) {
  const TFormatSettings saved = FormatSettings();
  TFormatSettings changed = PointAndComma();
  changed.ThousandSeparator = QLatin1Char('\'');
  SetFormatSettings(changed);
  EXPECT_EQ(FormatFloat(QStringLiteral("#,##0"), 1234567), QStringLiteral("1'234'567"));
  SetFormatSettings(saved);
}

}  // namespace
