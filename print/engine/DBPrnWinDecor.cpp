// The renderer's rules for the library's decorative controls: shadow labels, graphic controls and panels.
#include "print/engine/DBPrnWin.h"

#include "platform/DrawingContext.h"
#include "platform/ExtCtrls.h"
#include "platform/SysUtils.h"
#include "print/controls/QV3Party.h"
#include "print/controls/QVPanel.h"
#include "print/controls/Qv_lab.h"
#include "print/device/QV_Gdi.h"
#include "print/device/QV_Units.h"

#include <cstdlib>

namespace {
int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }
}  // namespace

bool TDBPrintWin::TakesPanelRule(QWidget* control) {
  return dynamic_cast<TPanel*>(control) != nullptr || dynamic_cast<TQVPanel*>(control) != nullptr;
}

void TDBPrintWin::PrintShadowLabel(QWidget* widget, const Placement& where) {
  auto& label = *dynamic_cast<TQV_Label*>(widget);
  TGdi& device = *PageDevice();
  // Offsets in the fine unit (1/300 inch): screen pixels taken to the printer and back by its scale.
  const int shadowX = Round(ScreenToDeviceX(label.ShadowOffset()) / ScaleX);
  const int shadowY = Round(ScreenToDeviceY(label.ShadowOffset()) / ScaleY);
  const int edgeX = Round(ScreenToDeviceX(2) / ScaleX);
  const int edgeY = Round(ScreenToDeviceY(2) / ScaleY);
  const TColor shadow = PrintColor(label.ShadowColor());

  if (label.Transparent()) BoxTextEnabled = false;
  const TFont font = label.Font();
  device.TextBox(0, PrintColor(label.Color()), 0, &font, false, OffsetX(where.L, 10), OffsetY(where.T, 10),
                 where.R, where.B, where.Rect, shadow, QString(), label.Alignment(), BoxTextEnabled,
                 FillBoxes, FrameBoxes);
  BoxTextEnabled = true;

  const int lineHeight = std::abs(Printer().Canvas().Font().Height());
  const auto caption = [&](int insetX, int insetY, TColor color) {
    device.SetTextColor(color);
    device.WrapText(OffsetX(where.L, insetX), OffsetY(where.T, insetY), lineHeight, where.Rect,
                    label.ShownCaption(), label.Alignment(), false, TLongWord::Whole);
  };
  switch (label.Style()) {
    case stShadow: caption(shadowX + 10, shadowY + 10, shadow); break;
    case stRaised:
      caption(edgeX + 10, edgeY + 10, shadow);
      caption(10 - edgeX, 10 - edgeY, clSilver);
      break;
    case stSunken:
      caption(edgeX + 10, edgeY + 10, clSilver);
      caption(10 - edgeX, 10 - edgeY, shadow);
      break;
    case stNormal:
    case stBlockShadow:
    case stButton: break;
  }
  caption(10, 10, PrintColor(font.Color()));
  device.ResetClip();
}

void TDBPrintWin::PrintGraphicControl(TQVGraphicControl& control, const Placement& where) {
  TGdi& device = *PageDevice();
  TQVPrint& record = GraphicPrintRecord();
  DrawingContext* context = device.Handle();
  FillPrintRecord(where.L, where.T, where.R, where.B, record, context);
  device.ClipRect(where.L, where.T, OffsetX(where.R, 5), OffsetY(where.B, 10));
  // Whatever the control selects on the page stays its own; the controls after it draw as before.
  if (context != nullptr) context->SaveState();
  control.PrintTo(record);
  if (context != nullptr) context->RestoreState();
  device.ResetClip();
}
