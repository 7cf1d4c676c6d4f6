#include "print/device/WordWrap.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Every character 10 pixels wide, so the breaks are plain arithmetic.
QStringList Wrap(const QString& text, int boxWidth) {
  QString remaining = text;
  QStringList lines;
  while (!remaining.isEmpty() && lines.size() < 100) {
    lines << TakeWrappedLine(remaining, boxWidth, [](const QString& part) { return 10 * int(part.size()); });
  }
  return lines;
}

TEST(WordWrap, WordsFillALineWhileItFitsAndTooWideWordsAreCutWhereTheyStopFitting) {
  EXPECT_EQ(Wrap("aaa bbb ccc", 110), (QStringList{"aaa bbb ccc"}));
  EXPECT_EQ(Wrap("aaa bbb ccc", 70), (QStringList{"aaa bbb", "ccc"})) << "exactly full fits";
  EXPECT_EQ(Wrap("aaa bbb ccc", 69), (QStringList{"aaa", "bbb", "ccc"}));
  // Words wider than the box less 10 are cut after the last character within it.
  EXPECT_EQ(Wrap("abcdefghij", 50), (QStringList{"abcd", "efgh", "ij"}));
  EXPECT_EQ(Wrap("ab abcdefghij", 60), (QStringList{"ab", "abcde", "fghij"}));
  EXPECT_EQ(Wrap("abcd ef", 50), (QStringList{"abcd", "ef"})) << "width W - 10 is not too wide";
  // A leading blank belongs to the following word; when not one character fits the rest goes whole.
  EXPECT_EQ(Wrap(" ab cd", 100), (QStringList{" ab cd"}));
  EXPECT_EQ(Wrap("ab  cd", 45), (QStringList{"ab", " cd"}));
  EXPECT_EQ(Wrap("abc def", 15), (QStringList{"abc def"}));
  EXPECT_EQ(TrimBlanks("  a b  "), QStringLiteral("a b"));
}

TEST(ExpandTabs, TabsAdvanceToTheNextOfTheStopsEveryEightColumnsUpToColumn73) {
  EXPECT_EQ(ExpandTabs("a\tb"), QStringLiteral("a       b"));
  EXPECT_EQ(ExpandTabs("\tb"), QStringLiteral("        b"));
  EXPECT_EQ(ExpandTabs("1234567\tx"), QStringLiteral("1234567 x"));
  EXPECT_EQ(ExpandTabs("12345678\tx"), QStringLiteral("12345678        x"));
  EXPECT_EQ(ExpandTabs("a\t\tb"), QStringLiteral("a") + QString(15, ' ') + "b");
  const QString before72(71, 'x'), before73(72, 'x');
  EXPECT_EQ(ExpandTabs(before72 + "\ty"), before72 + " y") << "column 72 advances to the stop at 73";
  EXPECT_EQ(ExpandTabs(before73 + "\t\t\ty"), before73 + "y") << "from column 73 tabs are dropped";
}

}  // namespace
