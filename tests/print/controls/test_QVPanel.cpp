#include "platform/Forms.h"
#include "print/controls/QVPanel.h"
#include "tests/print/controls/ControlTestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <utility>

namespace {

// A 32 x 32 tile, blue but for one red pixel at its top-left corner that marks where each tile lands.
QImage MarkedTile() {
  QImage tile(32, 32, QImage::Format_RGB32);
  tile.fill(Qt::blue);
  tile.setPixel(0, 0, qRgb(255, 0, 0));
  return tile;
}

std::set<std::pair<int, int>> RedPixels(const QImage& image) {
  std::set<std::pair<int, int>> found;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == qRgb(255, 0, 0)) found.insert({x, y});
    }
  }
  return found;
}

class ImagePanelTest : public ::testing::Test {
protected:
  void SetUp() override {
    image_ = new TImage(&form_);
    image_->SetPicture(MarkedTile());
    panel_ = new TQVPanel(&form_);
    panel_->SetBounds(0, 0, 100, 50);
  }

  TForm form_;
  TImage* image_ = nullptr;
  TQVPanel* panel_ = nullptr;
};

TEST_F(ImagePanelTest, TilesStartInsideTheEdgeAndAdvanceByTheirSizeAndTheGaps) {
  EXPECT_EQ(panel_->Color(), clSilver) << "a new panel";
  EXPECT_EQ(panel_->BorderStyle(), bsSingle);
  EXPECT_TRUE(panel_->ClearScreen());
  EXPECT_EQ(panel_->PixelsBetweenX() + panel_->PixelsBetweenY(), 0);
  panel_->SetImage(image_);
  panel_->SetPixelsBetweenX(4);
  panel_->SetPixelsBetweenY(0);
  const std::set<std::pair<int, int>> expected = {{1, 1}, {37, 1}, {73, 1}, {1, 33}, {37, 33}, {73, 33}};
  EXPECT_EQ(RedPixels(Painted(*panel_)), expected);

  panel_->SetBorderWidth(2);
  const QImage inset = Painted(*panel_);
  EXPECT_EQ(RedPixels(inset).begin()->first, 3) << "the inset is bevel width plus border width";
  EXPECT_NE(inset.pixel(2, 20), qRgb(0, 0, 255)) << "nothing is tiled over the edge";
  EXPECT_NE(inset.pixel(97, 20), qRgb(0, 0, 255));
}

TEST_F(ImagePanelTest, ADestroyedImageLeavesAPlainPanel) {
  panel_->SetImage(image_);
  delete image_;
  EXPECT_EQ(panel_->Image(), nullptr);
  const QImage image = Painted(*panel_);
  EXPECT_TRUE(RedPixels(image).empty());
  EXPECT_EQ(image.pixel(50, 25), ToQColor(clSilver).rgb());
}

TEST_F(ImagePanelTest, AGapThatSwallowsTheTileStillEndsThePainting) {
  panel_->SetImage(image_);
  panel_->SetPixelsBetweenX(-32);
  panel_->SetPixelsBetweenY(-40);
  const QImage image = Painted(*panel_);
  EXPECT_EQ(RedPixels(image).size(), 98u * 48u) << "a tile at every pixel inside the edge";
}

}  // namespace
