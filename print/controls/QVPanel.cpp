#include "print/controls/QVPanel.h"

#include <QPainter>
#include <algorithm>

namespace {
QSize GraphicSize(const TImage& image) { return image.Picture().size(); }

void DrawGraphic(QPainter& painter, const TImage& image, const QPoint& at) {
  const TPicture& picture = image.Picture();
  picture.Draw(painter, QRect(at, picture.size()));
}
}  // namespace

TQVPanel::TQVPanel(QWidget* parent) : TCustomPanel(parent) {
  SetBorderWidth(0);
  SetColor(clSilver);
  SetCaption(QString());
  SetBorderStyle(bsSingle);
}

void TQVPanel::SetImage(TImage* image) {
  image_ = image;
  Changed();
}

void TQVPanel::SetClearScreen(bool clearScreen) {
  clearScreen_ = clearScreen;
  Changed();
}

void TQVPanel::SetPixelsBetweenX(int pixels) {
  pixelsBetweenX_ = pixels;
  Changed();
}

void TQVPanel::SetPixelsBetweenY(int pixels) {
  pixelsBetweenY_ = pixels;
  Changed();
}

void TQVPanel::Changed() {
  update();
  for (QWidget* child : ChildControls(*this)) child->update();
}

void TQVPanel::paintEvent(QPaintEvent* event) {
  SetCaption(QString());
  if (clearScreen_) TCustomPanel::paintEvent(event);
  if (image_ == nullptr) return;
  const QSize tile = GraphicSize(*image_);
  if (tile.isEmpty()) return;

  QPainter painter(this);
  const int inset = BevelWidth() + BorderWidth();
  painter.setClipRect(QRect(QPoint(inset, inset), QPoint(width() - inset - 1, height() - inset - 1)));
  // A gap that swallows a whole tile would never move on; one pixel is the least step.
  const int stepX = std::max(1, tile.width() + pixelsBetweenX_);
  const int stepY = std::max(1, tile.height() + pixelsBetweenY_);
  for (int y = inset; y < height(); y += stepY) {
    for (int x = inset; x < width(); x += stepX) DrawGraphic(painter, *image_, QPoint(x, y));
  }
}
