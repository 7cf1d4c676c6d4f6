#pragma once

#include "platform/Types.h"
#include "print/engine/PrnWin.h"

class QWidget;
class TControl;
class TQVGraphicControl;

/**
 * The printing component that draws a window control by control: every recognised control is drawn on the
 * page by a rule of its class (labels wrapped to their printed width, shapes, panels, memos, edits, check
 * boxes, images, the library's shadow labels and graphic controls, ...), scaled from screen pixels to printer
 * pixels; containers nest; any other window paints itself into the page (the library's rich-text controls
 * print their next portion there).
 */
class TDBPrintWin : public TPrintWin {
  Q_OBJECT
public:
  explicit TDBPrintWin(QObject* owner = nullptr, TCreation creation = TCreation::RunTime);

  QString ComponentDescription() const override;
  void PrintEditBox(QWidget* control, const TRect& rect, int textX, int textY) override;
  /** Renders the control at (left, top) by the rules of its class, then each of its visible children. */
  void PrintControlAt(QWidget* control, double left, double top) override;

private:
  /** Where a control lands on the page, in printer pixels, with the rectangle record of the same edges. */
  struct Placement {
    int L = 0;
    int T = 0;
    int R = 0;
    int B = 0;
    TRect Rect;
    /** Left of the call the control was printed in, for clipping shapes that begin left of the page. */
    double CallLeft = 0.0;
  };

  /** Draws the control passed to PrintControlAt by the rules of its class; true when one applied. */
  bool PrintTopLevel(QWidget* control, const Placement& where, bool& frame);
  /** Prints one child by the first rule of its class. */
  void PrintChild(QWidget* child, const Placement& where);

  // The rules, one per kind of control.
  void TextBoxAt(const TControl& control, const TFont* font, const Placement& where, int x, int y,
                 const QString& text, int alignment, bool border);
  void TextBoxStandard(const TControl& control, const TFont* font, const Placement& where,
                       const QString& text, int alignment, bool border);
  void PrintForm(QWidget* form, const Placement& where);
  void PrintLabel(QWidget* label, const Placement& where);
  void PrintMemo(QWidget* memo, const Placement& where);
  void PrintPicture(QWidget* image, const Placement& where);
  void PrintBevel(QWidget* bevel, const Placement& where);
  void PrintPanel(QWidget* panel, const Placement& where, bool nested);
  void PrintShape(QWidget* shape, const Placement& where);
  void PrintNested(QWidget* container, const Placement& where);

  // The rules of the library's decorative controls (DBPrnWinDecor.cpp).
  /** Plain and library panels share the panel rule; the library's other panels are captured. */
  static bool TakesPanelRule(QWidget* control);
  void PrintShadowLabel(QWidget* label, const Placement& where);
  void PrintGraphicControl(TQVGraphicControl& control, const Placement& where);
};
