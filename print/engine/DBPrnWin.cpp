#include "print/engine/DBPrnWin.h"

#include "platform/Controls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "print/device/QV_Gdi.h"
#include "print/controls/QV3Party.h"
#include "print/controls/Qv_lab.h"
#include "print/device/QV_Units.h"

#include <QWidget>

namespace {
int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }
}  // namespace

TDBPrintWin::TDBPrintWin(QObject* owner, TCreation creation) : TPrintWin(owner, creation) {}

QString TDBPrintWin::ComponentDescription() const { return QStringLiteral("TDBPrintWin component"); }

void TDBPrintWin::PrintEditBox(QWidget* control, const TRect& rect, int textX, int textY) {
  TPrintWin::PrintEditBox(control, rect, textX, textY);
}

void TDBPrintWin::PrintControlAt(QWidget* control, double left, double top) {
  const ControlPrintScope scope(*this);
  TControl* own = AsControl(control);
  if (PageDevice() == nullptr || control == nullptr || control->isHidden()) return;
  Printer().Canvas().Font().SetStyle(0);
  bool frame = FrameObjects;

  const double x0 = ToDeviceF(false, left);
  const double y0 = ToDeviceF(true, top);
  const double x1 = x0 + control->width() * ScaleX;
  const double y1 = y0 + control->height() * LineSpacing;
  CurrentControl = control;
  Fire(OnBeforePrintControl);

  Placement where;
  where.L = Round(x0);
  where.T = Round(y0);
  where.R = Round(x1);
  where.B = Round(y1);
  where.Rect = Rect(where.L, where.T, where.R, where.B);
  where.CallLeft = left;

  const bool handled = own != nullptr && PrintTopLevel(control, where, frame);
  if (frame && handled && ObjectFrameAllowed)
    PageDevice()->FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
  if (!handled) {
    ObjectFrameAllowed = false;
    CaptureWindow(control, where.L, where.T, where.R, where.B, TQVChildControls::LeftOut);
  }
  ObjectFrameAllowed = true;
  CurrentControl = control;
  Fire(OnAfterPrintControl);

  for (QWidget* child : ChildControls(*control)) {
    if (PageDevice() == nullptr) return;  // a handler ended the job
    if (child->isHidden()) continue;
    Placement place;
    place.CallLeft = left;
    const double childX0 = x0 + child->x() * ScaleX;
    const double childY0 = y0 + child->y() * LineSpacing;
    place.L = Round(childX0);
    place.T = Round(childY0);
    place.R = Round(childX0 + child->width() * ScaleX);
    place.B = Round(childY0 + child->height() * LineSpacing);
    place.Rect = Rect(place.L, place.T, place.R, place.B);
    PrintChild(child, place);
  }
}

bool TDBPrintWin::PrintTopLevel(QWidget* control, const Placement& where, bool& frame) {
  bool handled = false;
  if (dynamic_cast<TForm*>(control) != nullptr) {
    PrintForm(control, where);
    frame = false;
    handled = true;
  }
  if (dynamic_cast<TMemo*>(control) != nullptr) {
    PrintMemo(control, where);
    frame = false;
    handled = true;
  }
  if (TakesPanelRule(control)) {
    PrintPanel(control, where, false);
    frame = AsControl(control)->BorderStyle() == bsSingle;
    handled = true;
  }
  return handled;
}

void TDBPrintWin::PrintChild(QWidget* child, const Placement& where) {
  TControl* control = AsControl(child);
  if (control == nullptr) return;
  if (control->Windowed()) {
    CurrentControl = child;
    Fire(OnBeforePrintControl);
  }
  const int textX = OffsetX(where.L, 10);
  const int textY = OffsetY(where.T, 10);

  if (dynamic_cast<TEdit*>(child) != nullptr) {
    PrintEditBox(child, where.Rect, textX, textY);
  } else if (dynamic_cast<TQV_Label*>(child) != nullptr) {
    PrintShadowLabel(child, where);
  } else if (dynamic_cast<TLabel*>(child) != nullptr) {
    PrintLabel(child, where);
  } else if (auto* graphic = dynamic_cast<TQVGraphicControl*>(child)) {
    PrintGraphicControl(*graphic, where);
  } else if (dynamic_cast<TMemo*>(child) != nullptr) {
    PrintMemo(child, where);
  } else if (dynamic_cast<TImage*>(child) != nullptr) {
    PrintPicture(child, where);
  } else if (dynamic_cast<TBevel*>(child) != nullptr) {
    PrintBevel(child, where);
  } else if (TakesPanelRule(child)) {
    PrintPanel(child, where, true);
  } else if (dynamic_cast<TShape*>(child) != nullptr) {
    PrintShape(child, where);
  } else if (control->Windowed()) {
    if (ChildControls(*child).isEmpty()) {
      CaptureWindow(child, where.L, where.T, where.R, where.B, TQVChildControls::LeftOut);
    } else {
      PrintNested(child, where);
    }
  }
}

// Rules --------------------------------------------------------------------------------------------------

void TDBPrintWin::TextBoxAt(const TControl& control, const TFont* font, const Placement& where, int x, int y,
                            const QString& text, int alignment, bool border) {
  PageDevice()->TextBox(0, PrintColor(control.Color()), 0, font, border, x, y, where.R, where.B, where.Rect,
                        font != nullptr ? font->Color() : clBlack, text, alignment, BoxTextEnabled, FillBoxes,
                        FrameBoxes);
}

void TDBPrintWin::TextBoxStandard(const TControl& control, const TFont* font, const Placement& where,
                                  const QString& text, int alignment, bool border) {
  TextBoxAt(control, font, where, OffsetX(where.L, 10), OffsetY(where.T, 10), text, alignment, border);
}

void TDBPrintWin::PrintNested(QWidget* container, const Placement& where) {
  PrintControlAt(container, FromDevice(where.L, false), FromDevice(where.T, true));
}

void TDBPrintWin::PrintForm(QWidget* form, const Placement& where) {
  const TControl& control = *AsControl(form);
  const TFont font = control.Font();
  TextBoxStandard(control, &font, where, QString(), 0, false);
}

void TDBPrintWin::PrintLabel(QWidget* widget, const Placement& where) {
  auto& label = *dynamic_cast<TLabel*>(widget);
  TGdi& device = *PageDevice();
  device.ClipRect(where.L, where.T, where.R + 50, where.B);
  if (label.Transparent()) BoxTextEnabled = false;
  const TFont font = label.Font();
  TextBoxStandard(label, &font, where, QString(), label.Alignment(), false);
  BoxTextEnabled = true;
  // The caption is wrapped to its printed width whatever the label's own word wrap says, so a caption that
  // the printer's font makes wider than the screen's never runs out of its box.
  device.WrapText(OffsetX(where.L, 10), OffsetY(where.T, 10), std::abs(Printer().Canvas().Font().Height()),
                  where.Rect, label.Caption(), label.Alignment(), false);
  device.ResetClip();
}

void TDBPrintWin::PrintMemo(QWidget* widget, const Placement& where) {
  auto& memo = *dynamic_cast<TMemo*>(widget);
  TMemoContent content;
  content.Lines = memo.Lines();
  content.Alignment = memo.Alignment();
  content.Font = memo.Font();
  content.SingleBorder = memo.BorderStyle() == bsSingle;
  PageDevice()->MemoBox(content, where.L, where.T, where.R, where.B, where.Rect, BoxTextEnabled, FillBoxes,
                        FrameBoxes);
}

void TDBPrintWin::PrintPicture(QWidget* widget, const Placement& where) {
  auto& image = *dynamic_cast<TImage*>(widget);
  TPictureContent picture;
  picture.Kind = TPictureKind::Bitmap;
  picture.Bitmap = image.Picture();
  if (picture.Bitmap.isNull()) return;
  PageDevice()->DrawPicture(picture, where.L, where.T, where.R, where.B, where.Rect);
}

void TDBPrintWin::PrintBevel(QWidget* widget, const Placement& where) {
  // The fill is the bevel's own colour, not whatever brush the control before it left selected.
  PageDevice()->SetBrush(0, PrintColor(AsControl(widget)->Color()), 0);
  PageDevice()->FillAndFrame(where.L, where.T, where.R, where.B, FillBoxes, where.Rect);
}

void TDBPrintWin::PrintPanel(QWidget* widget, const Placement& where, bool nested) {
  const TControl& panel = *AsControl(widget);
  TGdi& device = *PageDevice();
  const TColor color = PrintColor(panel.Color());
  const bool single = panel.BorderStyle() == bsSingle;
  device.SetBrush(0, color, 0);
  const TFont font = panel.Font();
  TextBoxStandard(panel, &font, where, QString(), 0, single);
  device.FillBox(where.Rect);
  if (single) device.FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
  if (nested) PrintNested(widget, where);
}

void TDBPrintWin::PrintShape(QWidget* widget, const Placement& where) {
  auto& shape = *dynamic_cast<TShape*>(widget);
  TGdi& device = *PageDevice();
  const int leftEdge = where.L < 0 ? ToDevice(false, where.CallLeft) : where.L;
  device.SetBrush(0, PrintColor(shape.Brush().Color), 0);

  int left = where.L;
  int top = where.T;
  int right = where.R;
  int bottom = where.B;
  const TShapeType kind = shape.Shape();
  if (kind == stSquare || kind == stRoundSquare || kind == stCircle) {
    const int width = right - left;
    const int height = bottom - top;
    if (width <= height) {
      top = top + height / 2 - width / 2;
      bottom = top + width;
    } else {
      left = left + width / 2 - height / 2;
      right = left + height;
    }
  }
  device.ClipRect(leftEdge, where.T, OffsetX(right, 10), OffsetY(bottom, 10));
  device.SetBrushFrom(shape.Brush());
  Printer().Canvas().Pen().Style = shape.Pen().Style;
  device.SetPen(shape.Pen().Style, 1, shape.Pen().Color);
  switch (kind) {
    case stRectangle:
    case stSquare:
    case stRoundSquare: device.Rectangle(left, top, right, bottom); break;
    case stRoundRect: device.RoundRect(left, top, right, bottom, 20, 20); break;
    case stEllipse:
    case stCircle: device.Ellipse(left, top, right, bottom); break;
  }
  device.SetBrush(0, clWhite, 0);
  device.ResetClip();
  Printer().Canvas().Pen().Style = psSolid;
  device.SetPen(psSolid, 1, shape.Pen().Color);
}
