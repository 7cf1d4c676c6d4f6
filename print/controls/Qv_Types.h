#pragma once

// The library's container panel with a title bar of its own above the controls it holds.

#include "platform/ExtCtrls.h"
#include "print/shared/QV_MFunc.h"

/**
 * A container panel with a title bar: a silver strip 20 pixels high with the control's name and a small
 * arrow. Its client rectangle starts below the strip, at y = 19, so aligned children stay out of it.
 */
class TQVCustom : public TCustomPanel, public TQVTitledControl {
  Q_OBJECT
public:
  explicit TQVCustom(QWidget* parent);

  /** Height of the title strip. */
  static constexpr int TitleHeight = 20;

  /** (0, 19, Width, Height). */
  QRect ClientRect() const;
  QRect AlignRect() const override { return ClientRect(); }
  int TitleBarHeight() const override { return TitleHeight; }

protected:
  void paintEvent(QPaintEvent* event) override;
};
