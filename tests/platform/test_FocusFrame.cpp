#include "platform/FocusFrame.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// Pixels of the picture within a little of the colour.
int PixelsNear(const QImage& picture, const QColor& colour) {
  int count = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QColor pixel = picture.pixelColor(x, y);
      if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
              std::abs(pixel.blue() - colour.blue()) <
          40)
        ++count;
    }
  }
  return count;
}

// The button the keyboard moved to is ringed in the highlight colour all round; a click gives no ring.
TEST(FocusFrame, TheControlReachedByTheKeyboardIsRingedClearlyAndAClickedOneIsNot) {
  UseClearFocusFrames();
  UseClearFocusFrames();
  TForm form;
  form.SetClientSize(240, 60);
  auto* first = new TButton(&form);
  first->SetCaption(QStringLiteral("&Print..."));
  first->SetBounds(8, 16, 100, 28);
  auto* second = new TButton(&form);
  second->SetCaption(QStringLiteral("&Close"));
  second->SetBounds(120, 16, 100, 28);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  const QColor highlight = second->palette().color(QPalette::Active, QPalette::Highlight);

  QTest::mouseClick(first, Qt::LeftButton);
  ASSERT_TRUE(first->hasFocus());
  const int clicked = PixelsNear(first->grab().toImage(), highlight);
  QTest::keyClick(&form, Qt::Key_Tab);
  ASSERT_TRUE(second->hasFocus());
  const int reached = PixelsNear(second->grab().toImage(), highlight);
  // Two pixels wide round a 100 x 28 button, less its rounded corners.
  EXPECT_GT(reached, 2 * (2 * (100 + 28) - 40)) << "clicked: " << clicked;
  EXPECT_LT(clicked, 20);
}
}  // namespace
