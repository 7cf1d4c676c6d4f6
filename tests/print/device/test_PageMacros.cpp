#include "print/device/PageMacros.h"

#include "platform/PageRecording.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

QString Expand(const QString& text) { return ExpandPageMacros(text, 7, "12", "24/12/2024", "10:31:02"); }

TEST(PageMacros, TheFirstOccurrenceOfEachMacroIsReplacedInAnyLetterCase) {
  EXPECT_EQ(Expand("Page @Page of @Page"), QStringLiteral("Page 7 of @Page"));
  EXPECT_EQ(Expand("@dAtE @TIME @date"), QStringLiteral("24/12/2024 10:31:02 @date"));
  EXPECT_EQ(Expand("mIxEd @pAgE"), QStringLiteral("mIxEd 7"));
  EXPECT_EQ(Expand("@Dat @Pag @Tim   "), QStringLiteral("@Dat @Pag @Tim   ")) << "incomplete macros stay";
  // Upper-casing "ß" or "ﬁ" changes the length; positions must still fall on the macro.
  EXPECT_EQ(Expand("Straße ﬁ @Page!"), QStringLiteral("Straße ﬁ 7!"));
}

TEST(PageMacros, PagesIsTheCountAndNeverTakenForThePageNumber) {
  EXPECT_EQ(Expand("Page @Page of @Pages"), QStringLiteral("Page 7 of 12"));
  EXPECT_EQ(Expand("@PAGES pages, this is @page"), QStringLiteral("12 pages, this is 7"));
  EXPECT_EQ(Expand("@Pages @Pages @Page"), QStringLiteral("12 @Pages 7")) << "a later @Pages stays";
  EXPECT_EQ(Expand("@Pagesx"), QStringLiteral("12x"));
  // Recorded before the count is known, the count is a mark the page fills in when it plays.
  EXPECT_EQ(ExpandPageMacrosNow("@Page/@Pages", 3), QStringLiteral("3/") + QChar(PageCountMark));
}

TEST(PageMacros, NowUsesTodaysDateInTheSystemsShortFormat) {
  const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
  EXPECT_EQ(ExpandPageMacrosNow("[@Date] p@Page", 2), "[" + today + "] p2");
  EXPECT_FALSE(ExpandPageMacrosNow("@Time", 1).contains('@'));
}

TEST(PageMacros, TheLongTimeFormatHasNoTimeZone) {
  EXPECT_EQ(LongTimeFormat(QLocale::c()), QStringLiteral("HH:mm:ss"));
  EXPECT_EQ(LongTimeFormat(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("HH:mm:ss"));
  const QString american = LongTimeFormat(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_TRUE(american.startsWith(QStringLiteral("h:mm:ss"))) << american.toStdString();
  EXPECT_FALSE(american.contains(QLatin1Char('t'))) << american.toStdString();
  const QString now = ExpandPageMacrosNow("@Time", 1);
  EXPECT_EQ(now.count(QLatin1Char(':')), 2) << now.toStdString();
  EXPECT_FALSE(now.contains(QStringLiteral("UTC"))) << now.toStdString();
}

}  // namespace
