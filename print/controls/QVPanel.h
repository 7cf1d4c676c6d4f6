#pragma once

// The library's panel that tiles a picture behind its controls, on screen and on paper.

#include "platform/ExtCtrls.h"

#include <QPointer>

/**
 * A panel that tiles the picture of an image control over itself, row by row from the inside of its edge,
 * with gaps between the tiles. The image is only referred to: when it is destroyed the panel shows as a
 * plain panel. A new panel is silver, single-bordered, without caption, with ClearScreen set and no gaps.
 */
class TQVPanel : public TCustomPanel {
  Q_OBJECT
public:
  explicit TQVPanel(QWidget* parent);

  /** The image whose picture is tiled; nullptr for none. */
  TImage* Image() const { return image_; }
  void SetImage(TImage* image);
  /** Whether the ordinary panel (background and bevels) is painted under the tiles. */
  bool ClearScreen() const { return clearScreen_; }
  void SetClearScreen(bool clearScreen);
  int PixelsBetweenX() const { return pixelsBetweenX_; }
  void SetPixelsBetweenX(int pixels);
  int PixelsBetweenY() const { return pixelsBetweenY_; }
  void SetPixelsBetweenY(int pixels);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  /** Repaints the panel and every control on it, as the tiles lie under them. */
  void Changed();

  QPointer<TImage> image_;
  bool clearScreen_ = true;
  int pixelsBetweenX_ = 0;
  int pixelsBetweenY_ = 0;
};
