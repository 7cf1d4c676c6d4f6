// Page selections: what each entry selects, what fails to convert, and a million random selections against a
// plain model.
#include "platform/SysUtils.h"
#include "print/shared/PageRange.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

// What PageInRange answers: selected or not, or the text that failed to convert.
struct Outcome {
  bool Selected = false;
  std::optional<std::string> Failed;
  bool operator==(const Outcome& other) const { return Selected == other.Selected && Failed == other.Failed; }
};

Outcome Evaluate(int page, const QString& selection) {
  try {
    return Outcome{PageInRange(page, selection), std::nullopt};
  } catch (const EConvertError& error) {
    return Outcome{false, error.Message().toStdString()};
  }
}

void PrintTo(const Outcome& outcome, std::ostream* stream) {
  *stream << (outcome.Failed     ? "fails with " + *outcome.Failed
              : outcome.Selected ? "selected"
                                 : "not selected");
}

TEST(PageInRange, SelectsTheListedPagesAndRanges) {
  struct Case {
    const char* selection;
    std::vector<int> pages;  // of 1..30
  };
  const Case cases[] = {
      {"1,2,5,7-14,21", {1, 2, 5, 7, 8, 9, 10, 11, 12, 13, 14, 21}},
      {"21,7-9,1", {1, 7, 8, 9, 21}},
      {" 3", {3}},
      {"9-3", {}},
      {"14-7", {}},
      {"+4,$A", {4, 10}},
      {"", {}},
  };
  for (const Case& test : cases) {
    std::vector<int> selected;
    for (int page = 1; page <= 30; ++page) {
      if (PageInRange(page, QString::fromLatin1(test.selection))) selected.push_back(page);
    }
    EXPECT_EQ(selected, test.pages) << test.selection;
  }
}

TEST(PageInRange, ABadNumberFailsWithTheConversionMessageOnceItsEntryIsReached) {
  struct Case {
    const char* selection;
    int page;
    const char* failed;  // nullptr: no failure
  };
  const Case cases[] = {
      {"3 ", 3, "'3 ' is not a valid integer value"},
      {"-5", 5, "'' is not a valid integer value"},
      {"5-", 5, "'' is not a valid integer value"},
      {"99999999999", 1, "'99999999999' is not a valid integer value"},
      {"1-99999999999", 1, "'99999999999' is not a valid integer value"},
      {"2147483648", 1, "'2147483648' is not a valid integer value"},
      {"1,,3", 3, "'' is not a valid integer value"},
      {"5,x", 5, nullptr},
      {"5,x", 6, "'x' is not a valid integer value"},
      {"1-123456789012345678901234", 1, "'12345678901234567890' is not a valid integer value"},
  };
  for (const Case& test : cases) {
    const Outcome outcome = Evaluate(test.page, QString::fromLatin1(test.selection));
    if (test.failed == nullptr) {
      EXPECT_FALSE(outcome.Failed) << test.selection;
    } else {
      EXPECT_EQ(outcome.Failed, std::optional<std::string>(test.failed)) << test.selection;
    }
  }
  EXPECT_TRUE(PageInRange(2147483647, QStringLiteral("2147483600-2147483647")));
  EXPECT_TRUE(PageInRange(3, QStringLiteral("+1-+5"))) << "each bound may carry its sign";
}

TEST(NextRangeEntry, TakesOneEntryOffTheSelectionEachCall) {
  QString remaining = QStringLiteral("4,7-9,");
  EXPECT_EQ(NextRangeEntry(8, remaining), reNotInEntry);
  EXPECT_EQ(remaining, QStringLiteral("7-9,"));
  EXPECT_EQ(NextRangeEntry(8, remaining), reInEntry);
  EXPECT_EQ(remaining, QString());
  EXPECT_EQ(NextRangeEntry(8, remaining), reNothingLeft);
}

// A plain model of the selection rules, written apart from the code under test: entries split at commas (a
// trailing comma ends the list), an entry cut to 255 characters, the high bound to 20, numbers with leading
// blanks, one sign, "$" hexadecimal and nothing after the digits, within 32 bits.
std::optional<long long> ModelNumber(const std::string& text) {
  size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int base = 10;
  if (at < text.size() && text[at] == '$') {
    base = 16;
    ++at;
  }
  if (at >= text.size()) return std::nullopt;
  unsigned long long value = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  long long result = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
  if (base == 16 && !negative && result > 2147483647LL) result -= 0x100000000LL;
  if (result < -2147483648LL || result > 2147483647LL) return std::nullopt;
  return result;
}

Outcome Model(int page, const std::string& selection) {
  std::string rest = selection;
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    std::string entry = comma == std::string::npos ? rest : rest.substr(0, comma);
    rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
    entry = entry.substr(0, 255);
    const size_t dash = entry.find('-');
    const std::string lowText = dash == std::string::npos ? entry : entry.substr(0, dash);
    const std::optional<long long> low = ModelNumber(lowText);
    if (!low) return Outcome{false, "'" + lowText + "' is not a valid integer value"};
    std::optional<long long> high = low;
    if (dash != std::string::npos) {
      const std::string highText = entry.substr(dash + 1, 20);
      high = ModelNumber(highText);
      if (!high) return Outcome{false, "'" + highText + "' is not a valid integer value"};
    }
    if (*low <= page && page <= *high) return Outcome{true, std::nullopt};
  }
  return Outcome{false, std::nullopt};
}

TEST(PageInRange, AMillionRandomSelectionsNeverCrashAndAgreeWithThePlainModel) {
  QRandomGenerator random(20240917);
  const std::string alphabet = "0123456789,,---   ++$AF";
  int selectedCount = 0;
  int failedCount = 0;
  for (int round = 0; round < 1000000; ++round) {
    // Mostly short selections; now and then one long enough to be cut.
    const int length = random.bounded(100) == 0 ? static_cast<int>(random.bounded(320))
                                                : static_cast<int>(random.bounded(16));
    std::string selection;
    for (int index = 0; index < length; ++index)
      selection += alphabet[random.bounded(static_cast<int>(alphabet.size()))];
    const int page = static_cast<int>(random.bounded(41)) - 5;
    const Outcome expected = Model(page, selection);
    const Outcome actual = Evaluate(page, QString::fromStdString(selection));
    ASSERT_EQ(actual, expected) << "page " << page << " in \"" << selection << "\"";
    selectedCount += actual.Selected ? 1 : 0;
    failedCount += actual.Failed ? 1 : 0;
  }
  // The draw reaches every outcome often, so the agreement above means something.
  EXPECT_GT(selectedCount, 3000);
  EXPECT_GT(failedCount, 10000);
  EXPECT_GT(1000000 - selectedCount - failedCount, 10000);
}

}  // namespace
