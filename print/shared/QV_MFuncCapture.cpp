// The window capture of the shared routines: a control and its child windows painting themselves into a page.
#include "print/shared/QV_MFunc.h"

#include "platform/Dialogs.h"
#include "platform/DrawingContext.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace {

bool IsGraphicControl(QWidget* widget) {
  const TControl* control = AsControl(widget);
  return control != nullptr && !control->Windowed();
}

bool OwnFlagVisible(const QWidget* widget) { return !widget->isHidden(); }

QList<QWidget*> ChildControls(const QWidget* widget) { return ::ChildControls(*widget); }

// A window's own paint: its background only where it fills one (a transparent control shows what is under
// it), and its inner parts unless it holds controls of its own, which paint themselves.
void PaintItself(QWidget* widget, QPainter& painter, const QPoint& offset, bool withParts) {
  QWidget::RenderFlags flags;
  if (widget->autoFillBackground()) flags |= QWidget::DrawWindowBackground;
  if (withParts) flags |= QWidget::DrawChildren;
  widget->render(&painter, offset, QRegion(), flags);
}

// A single border of the desktop this was designed for becomes the sunken client edge: two lines in the
// shadow colours at the top and left, two in the light colours at the bottom and right, then an outline.
void DrawClientEdge(DrawingContext& context, int width, int height) {
  QRect area(0, 0, width, height);
  const auto edge = [&context, &area](TColor topLeft, TColor bottomRight) {
    const int right = area.x() + area.width() - 1;
    const int bottom = area.y() + area.height() - 1;
    context.SelectPen(QPen(ToQColor(topLeft), 1));
    context.MoveTo(area.x(), bottom);
    context.LineTo(area.x(), area.y());
    context.LineTo(right + 1, area.y());
    context.SelectPen(QPen(ToQColor(bottomRight), 1));
    context.MoveTo(area.x(), bottom);
    context.LineTo(right, bottom);
    context.LineTo(right, area.y() - 1);
    area.adjust(1, 1, -1, -1);
  };
  edge(clBtnShadow, clBtnHighlight);
  edge(cl3DDkShadow, cl3DLight);
  context.SelectPen(QPen(Qt::black, 1));
  context.SelectBrush(Qt::NoBrush);
  context.Rectangle(area.x(), area.y(), area.x() + area.width(), area.y() + area.height());
}

// The record names the control's rectangle in the page's printer pixels, where the capture's mapping puts it.
void SendPrintMessage(TQVPrintMessageReceiver& receiver, DrawingContext& context, int width, int height) {
  const QPointF topLeft = context.LogicalToDevice(QPointF(0, 0));
  const QPointF bottomRight = context.LogicalToDevice(QPointF(width, height));
  const auto round = [](double value) { return static_cast<int>(RoundHalfEven(value)); };
  TQVPrint record;
  FillPrintRecord(round(topLeft.x()), round(topLeft.y()), round(bottomRight.x()), round(bottomRight.y()),
                  record, &context);
  receiver.PrintMessage(record);
}

bool HasSingleBorder(const QWidget* widget) {
  if (dynamic_cast<const TForm*>(widget) != nullptr) return false;
  const auto* control = dynamic_cast<const TControl*>(widget);
  return control != nullptr && control->BorderStyle() == bsSingle;
}

}  // namespace

bool NoPrinterAvailable() {
  if (!Printer().Printers().isEmpty()) return false;
  MessageDlg(LoadTextOr(QVTextNoPrinter, QStringLiteral("Error: No Printer Available")), mtInformation, mbOK);
  return true;
}

QList<QWidget*> PaintWindowTree(QWidget* control, DrawingContext& context, int x, int y, int width,
                                int height, TQVChildControls childControls) {
  QList<QWidget*> messaged;
  if (control == nullptr) return messaged;
  context.SaveState();
  context.SelectClipRect(0, 0, 32000, 32000);
  context.OffsetWindowOrigin(-x, -y);
  context.IntersectClipRect(0, 0, width, height);

  const QList<QWidget*> children = ChildControls(control);
  const bool withChildren = childControls == TQVChildControls::Painted;
  if (auto* receiver = dynamic_cast<TQVPrintMessageReceiver*>(control)) {
    SendPrintMessage(*receiver, context, width, height);
    messaged.append(control);
  } else {
    PaintItself(control, context.Painter(), QPoint(0, 0), children.isEmpty());
    for (QWidget* child : children) {
      if (withChildren && OwnFlagVisible(child) && IsGraphicControl(child))
        PaintItself(child, context.Painter(), child->pos(), true);
    }
  }
  if (withChildren) {
    for (QWidget* child : children) {
      if (OwnFlagVisible(child) && !IsGraphicControl(child))
        messaged += PaintWindowTree(child, context, child->x(), child->y(), child->width(), child->height());
    }
  }

  context.SelectClipRect(0, 0, 32000, 32000);
  if (HasSingleBorder(control)) {
    // A title bar is no part of the client area the border goes around.
    const auto* titled = dynamic_cast<const TQVTitledControl*>(control);
    const int title = titled != nullptr ? std::clamp(titled->TitleBarHeight(), 0, height) : 0;
    context.OffsetWindowOrigin(0, -title);
    DrawClientEdge(context, width, height - title);
  }
  context.RestoreState();
  return messaged;
}

void SetTransparent(DrawingContext& context) { context.SetBackgroundMode(TBackgroundMode::Transparent); }
