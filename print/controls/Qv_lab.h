#pragma once

// The library's decorative label: a caption shadowed, raised, sunken, on a block or on a button face.

#include "platform/StdCtrls.h"

/** The looks of a library label's caption. */
enum TStyle { stNormal, stShadow, stRaised, stSunken, stBlockShadow, stButton };

/**
 * A label whose caption stands out of the form: with a shadow, raised, sunken, on a block with a shadow or
 * on a button face. A new label is sunken, in Arial, transparent, with a shadow of 3 pixels in the button
 * shadow colour.
 */
class TQV_Label : public TLabel {
  Q_OBJECT
public:
  explicit TQV_Label(QWidget* parent);

  TStyle Style() const { return style_; }
  void SetStyle(TStyle style);
  /** Shadow distance in pixels for stShadow and stBlockShadow. */
  int ShadowOffset() const { return shadowOffset_; }
  void SetShadowOffset(int offset);
  /** Colour of the shadow, on screen and in print. */
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor color);
  /** Kept with the label for the forms that set it; neither painting nor printing reads it. */
  TColor PrintBkColor() const { return printBkColor_; }
  void SetPrintBkColor(TColor color);

  /** The caption with a blank before and after it, as the block and button styles show it. */
  QString PaddedCaption() const;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  TStyle style_ = stSunken;
  int shadowOffset_ = 3;
  TColor shadowColor_ = clBtnShadow;
  TColor printBkColor_ = clWhite;
};
