#include "print/preview/PageCache.h"

#include "platform/PagePicture.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <set>

namespace {

class PageCacheTest : public ::testing::Test {
protected:
  QString FileOf(int page) const { return scratch_.File(QStringLiteral("page-%1").arg(page)); }

  /** Records a 1000 x 1000 printer-pixel page: a black box at (left, 100), 200 pixels square. */
  void Record(int page, int left) const {
    PagePicture picture;
    picture.BeginRecording().fillRect(left, 100, 200, 200, Qt::black);
    picture.EndRecording();
    picture.Save(FileOf(page));
  }

  static TPageView View(double points, const QRect& area) {
    TPageView view;
    view.Target = QRectF(0, 0, points, points);
    view.PageSize = QSizeF(1000, 1000);
    view.Area = area;
    return view;
  }

  static bool InkAt(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) > 128; }

  ScratchDirectory scratch_;
  TPageCache cache_{[this](int page) { return FileOf(page); }};
};

TEST_F(PageCacheTest, APageIsDrawnOnceForItsViewAndAgainForAnotherScaleALargerAreaOrANewRecording) {
  Record(1, 100);
  const TPageView whole = View(500, QRect(0, 0, 500, 500));
  const TPageCache::TDrawn* first = cache_.Drawn(1, whole);
  ASSERT_NE(first, nullptr);
  const QImage firstImage = first->Image;
  EXPECT_TRUE(InkAt(firstImage, 100, 100)) << "the box at (50, 50)..(150, 150) on a half-size sheet";
  EXPECT_FALSE(InkAt(firstImage, 200, 100));
  EXPECT_TRUE(cache_.Ready(1, whole));
  EXPECT_EQ(cache_.Drawn(1, View(500, QRect(10, 10, 100, 100)))->Image.cacheKey(), firstImage.cacheKey())
      << "a part of the drawn area is painted from the drawing";

  EXPECT_FALSE(cache_.Ready(1, View(250, QRect(0, 0, 250, 250)))) << "another zoom";
  EXPECT_FALSE(cache_.Ready(1, View(500, QRect(0, 0, 600, 500)))) << "more in view than was drawn";
  EXPECT_FALSE(cache_.Ready(2, whole)) << "a page never drawn";

  // The same page recorded again, its box moved: the new recording shows, not the one drawn before.
  Record(1, 600);
  const TPageCache::TDrawn* again = cache_.Drawn(1, whole);
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(InkAt(again->Image, 100, 100));
  EXPECT_TRUE(InkAt(again->Image, 350, 100));

  EXPECT_EQ(cache_.Drawn(3, whole), nullptr) << "a page without a file";
  QFile::remove(FileOf(1));
  EXPECT_EQ(cache_.Drawn(1, whole), nullptr) << "a page whose file is gone";
}

TEST_F(PageCacheTest, OnlyThePagesKeptStayReady) {
  for (int page = 1; page <= 4; ++page) Record(page, 100);
  const TPageView view = View(500, QRect(0, 0, 500, 500));
  for (int page = 1; page <= 4; ++page) cache_.Drawn(page, view);
  cache_.KeepOnly(2, 3);
  std::set<int> ready;
  for (int page = 1; page <= 4; ++page) {
    if (cache_.Ready(page, view)) ready.insert(page);
  }
  EXPECT_EQ(ready, (std::set<int>{2, 3}));
}

// A page far smaller than the screen's pixels is drawn in detail a band at a time: the bands must join
// without a seam, and a one-pixel rule must keep its share of grey wherever it falls.
TEST_F(PageCacheTest, ADetailedDrawingJoinsItsBandsWithoutASeamAndKeepsEveryThinRule) {
  PagePicture page;
  QPainter& painter = page.BeginRecording();
  painter.fillRect(0, 0, 2000, 20000, Qt::black);  // a tall column, left half
  for (int y = 50; y < 20000; y += 997) painter.fillRect(2000, y, 2000, 1, Qt::black);  // rules, right half
  page.EndRecording();
  // 4000 x 20000 printer pixels onto 1000 x 5000 points: a quarter of a screen pixel each, drawn at four
  // times the pixels, which takes several bands.
  TPageView view;
  view.Target = QRectF(0, 0, 1000, 5000);
  view.PageSize = QSizeF(4000, 20000);
  view.Area = QRect(0, 0, 1000, 5000);
  const QImage image = DrawPageArea(page, view);
  ASSERT_EQ(image.size(), QSize(1000, 5000));
  for (int y = 0; y < image.height(); ++y) ASSERT_EQ(qAlpha(image.pixel(250, y)), 255) << "row " << y;
  int rules = 0;
  for (int y = 0; y < image.height(); ++y) {
    const int alpha = qAlpha(image.pixel(750, y));
    if (alpha == 0) continue;
    ++rules;
    EXPECT_GT(alpha, 40) << "row " << y;
    EXPECT_LT(alpha, 90) << "a quarter of a pixel's ink, row " << y;
  }
  EXPECT_EQ(rules, 21);
}

}  // namespace
