#include "platform/StringTable.h"
#include "print/shared/QV_MFunc.h"

#include <gtest/gtest.h>

namespace {

TEST(ShowOnPage, FollowsEachPageRule) {
  // Pages of a three-page job: (pass, last) = (1, false), (2, false), (3, true).
  struct Row {
    TShow kind;
    bool first, middle, last;
  };
  const Row rows[] = {
      {tFirstPage, true, false, false},
      {tLastPage, false, false, true},
      {tAllPages, true, true, true},
      {tAllButFirst, false, true, true},
      {tAllButLast, true, true, false},
      {tFirstAndlast, true, false, true},
      {tAllButFirstAndLast, false, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.kind));
    EXPECT_EQ(ShowOnPage(row.kind, 1, false), row.first);
    EXPECT_EQ(ShowOnPage(row.kind, 2, false), row.middle);
    EXPECT_EQ(ShowOnPage(row.kind, 3, true), row.last);
  }
  // A one-page job is first and last at once.
  EXPECT_FALSE(ShowOnPage(tAllButFirstAndLast, 1, true));
  EXPECT_TRUE(ShowOnPage(tFirstAndlast, 1, true));
  EXPECT_FALSE(ShowOnPage(tAllButLast, 1, true));
}

TEST(TrimSpaces, RemovesOneEndAndLeavesBlankTextsAlone) {
  QString text = QStringLiteral("  total  ");
  TrimTrailingSpaces(text);
  EXPECT_EQ(text, QStringLiteral("  total"));
  TrimLeadingSpaces(text);
  EXPECT_EQ(text, QStringLiteral("total"));

  QString blank = QStringLiteral("   ");
  TrimTrailingSpaces(blank);
  EXPECT_EQ(blank, QStringLiteral("   "));
  TrimLeadingSpaces(blank);
  EXPECT_EQ(blank, QStringLiteral("   "));

  QString tabbed = QStringLiteral("\tx\t");
  TrimTrailingSpaces(tabbed);
  TrimLeadingSpaces(tabbed);
  EXPECT_EQ(tabbed, QStringLiteral("\tx\t")) << "only spaces are trimmed";
}

TEST(IsNumberText, AcceptsDigitsAndPointsOnly) {
  EXPECT_TRUE(IsNumberText(QString()));
  EXPECT_TRUE(IsNumberText(QStringLiteral("1234.50")));
  EXPECT_FALSE(IsNumberText(QStringLiteral("1234,50")));
  EXPECT_FALSE(IsNumberText(QStringLiteral("-5")));
  EXPECT_FALSE(IsNumberText(QStringLiteral("12 ")));
  EXPECT_FALSE(IsNumberText(QStringLiteral("\u0661")));  // a digit of another script
}

TEST(Division, RoundsToEvenAndTruncatesTowardZero) {
  EXPECT_EQ(RoundDiv(5, 2), 2);
  EXPECT_EQ(RoundDiv(7, 2), 4);
  EXPECT_EQ(RoundDiv(-7, 2), -4);
  EXPECT_EQ(RoundDiv(10, 3), 3);
  EXPECT_EQ(TruncDiv(7, 2), 3);
  EXPECT_EQ(TruncDiv(-7, 2), -3);
  EXPECT_THROW(RoundDiv(1, 0), Exception);
  EXPECT_THROW(TruncDiv(1, 0), Exception);
}

TEST(LoadTextOr, PrefersTheProgramsStringTable) {
  SetStringTable({{17038, QStringLiteral("Druckstatus")}, {17040, QString()}});
  EXPECT_EQ(LoadTextOr(17038, QStringLiteral("Print Status")), QStringLiteral("Druckstatus"));
  EXPECT_EQ(LoadTextOr(17040, QStringLiteral("Status")), QStringLiteral("Status"))
      << "an empty entry falls back";
  EXPECT_EQ(LoadTextOr(17041, QStringLiteral("&Abort")), QStringLiteral("&Abort"));
  SetStringTable({});
  EXPECT_EQ(LoadTextOr(17038, QStringLiteral("Print Status")), QStringLiteral("Print Status"));
}

TEST(TQVComponent, AboutAlwaysReadsTheVersion) {
  TQVComponent component;
  component.SetAbout(QStringLiteral("something else"));
  EXPECT_EQ(component.About(), QStringLiteral("Version 7.5"));
  EXPECT_TRUE(component.ComponentDescription().isEmpty());
}

TEST(FillPrintRecord, StoresTheRectangleInFieldOrder) {
  TQVPrint record;
  FillPrintRecord(10, 20, 300, 400, record, nullptr);
  EXPECT_EQ(record.Left, 10);
  EXPECT_EQ(record.Top, 20);
  EXPECT_EQ(record.OriginLeft, 10);
  EXPECT_EQ(record.OriginTop, 20);
  EXPECT_EQ(record.Right, 300);
  EXPECT_EQ(record.Bottom, 400);
  EXPECT_EQ(record.Context, nullptr);
}

}  // namespace
