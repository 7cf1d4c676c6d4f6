// The print rules of the plain controls: each draws one kind of control on the page from its properties.
#include "print/engine/DBPrnWin.h"

#include "platform/Controls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Grids.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "print/device/QV_Gdi.h"
#include "print/device/QV_Units.h"

#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace {
int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }
}  // namespace

void TDBPrintWin::TextBoxAt(TColor color, const TFont* font, const Placement& where, int x, int y,
                            const QString& text, int alignment, bool border) {
  PageDevice()->TextBox(0, PrintColor(color), 0, font, border, x, y, where.R, where.B, where.Rect,
                        font != nullptr ? font->Color() : clBlack, text, alignment, BoxTextEnabled, FillBoxes,
                        FrameBoxes);
}

void TDBPrintWin::TextBoxStandard(TColor color, const TFont* font, const Placement& where,
                                  const QString& text, int alignment, bool border) {
  TextBoxAt(color, font, where, OffsetX(where.L, 10), OffsetY(where.T, 10), text, alignment, border);
}

void TDBPrintWin::TextBoxStandard(const TControl& control, const TFont* font, const Placement& where,
                                  const QString& text, int alignment, bool border) {
  TextBoxStandard(control.Color(), font, where, text, alignment, border);
}

void TDBPrintWin::TextBoxCentred(TColor color, const TFont& font, const Placement& where, const QString& text,
                                 int alignment, bool border) {
  PageDevice()->SelectFont(font);
  // Never above where a box's text starts, so a box lower than its font keeps the text's top in view.
  const int y = std::max(OffsetY(where.T, 10), (where.T + where.B - Printer().Canvas().TextHeight(text)) / 2);
  TextBoxAt(color, &font, where, OffsetX(where.L, 10), y, text, alignment, border);
}

void TDBPrintWin::SelectFontOf(TControl& control) {
  TFont font = control.Font();
  const QString name = font.Name();
  SelectControlFont(font);
  // The face the page uses becomes the control's own, as on the desktop this library was made for.
  if (font.Name() != name) control.SetFont(font);
}

// The height of a capital in the printer font, in 1/300 inch: check marks and radio circles scale with it.
int TDBPrintWin::MarkSize() const {
  const double perUnit = Printer().ResolutionY() / 300.0;
  return Round(Printer().Canvas().TextHeight(QStringLiteral("W")) / perUnit);
}

void TDBPrintWin::PrintForm(QWidget* form, const Placement& where) {
  const TControl& control = *AsControl(form);
  const TFont font = control.Font();
  TextBoxStandard(control, &font, where, QString(), 0, false);
}

void TDBPrintWin::PrintLabel(QWidget* widget, const Placement& where) {
  auto& label = *dynamic_cast<TCustomLabel*>(widget);
  PrintLabelText(label.Font(), label.Color(), label.Transparent(), label.Alignment(), label.ShownCaption(),
                 where);
}

void TDBPrintWin::PrintLabelText(const TFont& font, TColor color, bool transparent, int alignment,
                                 const QString& text, const Placement& where) {
  TGdi& device = *PageDevice();
  if (transparent) BoxTextEnabled = false;
  TextBoxStandard(color, &font, where, QString(), alignment, false);
  BoxTextEnabled = true;
  // The text starts a little below the label's top: every line that starts inside the label keeps its
  // whole height, descenders included, rather than being cut at the label's bottom edge.
  const int textTop = OffsetY(where.T, 10);
  const int lineHeight = std::max(1, std::abs(Printer().Canvas().Font().Height()));
  const int lastLineTop = textTop + std::max(0, (where.B - 1 - textTop) / lineHeight) * lineHeight;
  const int clipBottom = std::max(where.B, lastLineTop + Printer().Canvas().TextHeight(text));
  device.ClipRect(where.L, where.T, where.R + 50, clipBottom);
  // The caption is wrapped to its printed width whatever the label's own word wrap says, so a caption that
  // the printer's font makes wider than the screen's never runs out of its box; a single word that does not
  // fit (a five-digit total) prints whole rather than in pieces.
  device.WrapText(OffsetX(where.L, 10), textTop, lineHeight, where.Rect, text, alignment, false,
                  TLongWord::Whole);
  device.ResetClip();
}

void TDBPrintWin::PrintMemo(const TMemoContent& memo, const Placement& where) {
  PageDevice()->MemoBox(memo, where.L, where.T, where.R, where.B, where.Rect, BoxTextEnabled, FillBoxes,
                        FrameBoxes);
}

void TDBPrintWin::PrintGroupOutline(const TFont& font, const QString& caption, const Placement& where) {
  TGdi& device = *PageDevice();
  device.SelectFont(font);
  const int top = OffsetY(where.T, 20);
  const int captionLeft = OffsetX(where.L, 10);
  const int captionWidth = Printer().Canvas().TextWidth(caption);
  device.Line(where.L, top, OffsetX(where.L, 5), top);
  device.Line(where.L, top, where.L, where.B);
  device.Line(where.L, where.B, where.R, where.B);
  device.Line(where.R, where.B, where.R, top);
  // The top line resumes as far after the caption as it stopped before it, so it never runs into the text.
  const int resume = caption.isEmpty() ? OffsetX(where.L, 5) : OffsetX(captionLeft + captionWidth, 5);
  if (resume < where.R) device.Line(resume, top, where.R, top);
  device.TextAt(captionLeft, where.T, caption);
}

void TDBPrintWin::PrintGroupBox(QWidget* widget, const Placement& where, bool nested) {
  const TControl& group = *AsControl(widget);
  const TFont font = group.Font();
  TextBoxStandard(group, &font, where, QString(), 0, false);
  ObjectFrameAllowed = false;
  if (nested) PrintNested(widget, where);
  if (PageDevice() != nullptr) PrintGroupOutline(font, group.Caption(), where);
}

void TDBPrintWin::PrintGroupBox(TColor color, const TFont& font, const QString& caption,
                                const Placement& where) {
  TextBoxStandard(color, &font, where, QString(), 0, false);
  ObjectFrameAllowed = false;
  PrintGroupOutline(font, caption, where);
}

void TDBPrintWin::PrintRadioGroup(QWidget* widget, const Placement& where) {
  auto& group = *dynamic_cast<TCustomRadioGroup*>(widget);
  TGdi& device = *PageDevice();
  const TFont font = group.Font();
  TextBoxAt(group.Color(), &font, where, OffsetX(where.L, 10), OffsetY(where.T, 5), QString(), 0, false);
  PrintGroupOutline(font, group.Caption(), where);
  const QStringList items = group.Items();
  if (items.isEmpty()) return;
  const int spacing = (where.B - where.T) / (static_cast<int>(items.size()) + 1);
  const TColor color = PrintColor(group.Color());
  for (int item = 0; item < items.size(); ++item) {
    const int y = where.T + item * spacing + spacing / 2;
    const int x = OffsetX(where.L, 10);
    SelectFontOf(group);
    const int size = MarkSize();
    device.TextAt(OffsetX(x, 50), OffsetY(y, 5), items.at(item));
    device.SetBrush(0, clWhite, 0);
    device.Ellipse(OffsetX(x, 13), OffsetY(y, 13), OffsetX(x, size), OffsetY(y, size));
    if (item == group.ItemIndex()) {
      device.SetBrush(0, clBlack, 0);
      device.Ellipse(OffsetX(x, 18), OffsetY(y, 18), OffsetX(x, size - 5), OffsetY(y, size - 5));
    }
    device.SetBrush(0, color, 0);
  }
}

void TDBPrintWin::PrintCheckBox(QWidget* widget, const Placement& where, bool checked, bool round) {
  TControl& box = *AsControl(widget);
  TFont font = box.Font();
  const QString name = font.Name();
  PrintCheckMark(font, box.Color(), box.Alignment(), box.Caption(), checked, round, where);
  // The face the page uses becomes the control's own, as on the desktop this library was made for.
  if (font.Name() != name) box.SetFont(font);
}

void TDBPrintWin::PrintCheckMark(TFont& font, TColor color, TAlignment alignment, const QString& caption,
                                 bool checked, bool round, const Placement& where) {
  TGdi& device = *PageDevice();
  SelectControlFont(font);
  const TColor mapped = PrintColor(color);
  device.SetBrush(0, mapped, 0);
  device.SetTextColor(font.Color());
  const int size = MarkSize();
  int captionX = 0;
  int boxX = 0;
  if (alignment == taRightJustify) {  // the box at the left, its caption to the right
    captionX = OffsetX(where.L, size + 10);
    boxX = where.L;
  } else {
    captionX = OffsetX(where.L, 10);
    boxX = OffsetX(where.R, -(size + 10));
  }
  device.AlignedText(captionX, OffsetY(where.T, 5), where.R, where.B, false, where.Rect, caption, 0, false,
                     false);
  const int boxY = OffsetY(where.T, -5);
  device.SetBrush(0, clWhite, 0);
  const int left = OffsetX(boxX, 13);
  const int top = OffsetY(boxY, 13);
  const int right = OffsetX(boxX, size);
  const int bottom = OffsetY(boxY, size);
  if (round) {
    device.Ellipse(left, top, right, bottom);
    if (checked) {
      device.SetBrush(0, clBlack, 0);
      device.Ellipse(OffsetX(boxX, 18), OffsetY(boxY, 18), OffsetX(boxX, size - 5), OffsetY(boxY, size - 5));
    }
  } else {
    device.Rectangle(left, top, right, bottom);
    if (checked) {
      device.Line(left, top, right, bottom);
      device.Line(left, bottom, right, top);
    }
  }
  device.SetBrush(0, mapped, 0);
}

void TDBPrintWin::PrintComboBox(QWidget* widget, const Placement& where) {
  auto& combo = *dynamic_cast<TCustomComboBox*>(widget);
  TFont font = combo.Font();
  const QString name = font.Name();
  PrintComboText(font, combo.Color(), combo.Text(), where);
  if (font.Name() != name) combo.SetFont(font);
}

void TDBPrintWin::PrintComboText(TFont& font, TColor color, const QString& text, const Placement& where) {
  TGdi& device = *PageDevice();
  SelectControlFont(font);
  device.SetBrush(0, PrintColor(color), 0);
  device.FillBox(where.Rect);
  device.AlignedText(OffsetX(where.L, 10), OffsetY(where.T, 10), where.R, where.B, false, where.Rect, text, 0,
                     false, false);
  device.FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
}

void TDBPrintWin::PrintPicture(const TPicture& picture, const Placement& where) {
  TPictureContent content;
  switch (picture.Kind()) {
    case gkNone: return;
    case gkBitmap:
      content.Kind = TPictureKind::Bitmap;
      content.Bitmap = picture.Bitmap();
      break;
    case gkMetafile:
      content.Kind = TPictureKind::Metafile;
      content.Metafile = picture.Metafile();
      break;
    case gkIcon: content.Kind = TPictureKind::Icon; break;
  }
  PrintPicture(content, where);
}

void TDBPrintWin::PrintPicture(const TPictureContent& picture, const Placement& where) {
  PageDevice()->DrawPicture(picture, where.L, where.T, where.R, where.B, where.Rect);
}

void TDBPrintWin::PrintBevel(TColor color, bool fill, const Placement& where) {
  // The fill is the bevel's own colour, not whatever brush the control before it left selected.
  PageDevice()->SetBrush(0, PrintColor(color), 0);
  PageDevice()->FillAndFrame(where.L, where.T, where.R, where.B, fill && FillBoxes, where.Rect);
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

void TDBPrintWin::PrintScrollBox(QWidget* widget, const Placement& where) {
  const TControl& box = *AsControl(widget);
  const TFont font = box.Font();
  TextBoxStandard(box, &font, where, QString(), 0, box.BorderStyle() == bsSingle);
  if (FillBoxes && box.Color() != clBtnFace) PageDevice()->FillBox(where.Rect);
  PrintNested(widget, where);
}

void TDBPrintWin::PrintShape(QWidget* widget, const Placement& where) {
  auto& shape = *dynamic_cast<TShape*>(widget);
  PrintShape(shape.Shape(), shape.Brush(), shape.Pen(), where);
}

void TDBPrintWin::PrintShape(TShapeType kind, const TBrush& brush, const TPen& pen, const Placement& where) {
  TGdi& device = *PageDevice();
  const int leftEdge = where.L < 0 ? ToDevice(false, where.CallLeft) : where.L;
  device.SetBrush(0, PrintColor(brush.Color), 0);

  int left = where.L;
  int top = where.T;
  int right = where.R;
  int bottom = where.B;
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
  device.SetBrushFrom(brush);
  Printer().Canvas().Pen().Style = pen.Style;
  device.SetPen(pen.Style, 1, pen.Color);
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
  device.SetPen(psSolid, 1, pen.Color);
}

void TDBPrintWin::PrintStringGridRule(QWidget* widget, const Placement& where) {
  auto& grid = *dynamic_cast<TStringGrid*>(widget);
  const TFont font = grid.Font();
  const bool single = grid.BorderStyle() == bsSingle;
  TextBoxStandard(grid, &font, where, QString(), 0, single);
  Placement inner = where;
  inner.L = OffsetX(where.L, 30);
  inner.Rect.Left = inner.L;
  gridPrinter_.PrintStringGrid(*PageDevice(), grid, GridBoxOf(inner));
  if (PageDevice() != nullptr && single)
    PageDevice()->FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
}
