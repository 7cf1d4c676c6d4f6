#pragma once

// The root of the library's graphic controls that draw themselves onto the printed page.

#include "platform/Controls.h"
#include "print/shared/QV_MFunc.h"

/**
 * The root of the library's graphic controls that print themselves: the renderer hands each one the
 * rectangle it occupies on the page and the page's drawing context through PrintTo.
 */
class TQVGraphicControl : public TGraphicControl {
  Q_OBJECT
public:
  explicit TQVGraphicControl(QWidget* parent);

  /**
   * Draws the control onto the page described by the record (its rectangle in printer pixels, clipped a
   * little beyond it); the context may be nullptr when the page has no drawing surface. Does nothing here.
   */
  virtual void PrintTo(TQVPrint& record);
};
