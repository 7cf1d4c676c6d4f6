#include "print/device/QV_Gdi.h"

#include "platform/DrawingContext.h"
#include "platform/PageRecording.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"
#include "print/device/AddressLinks.h"
#include "print/device/PageMacros.h"
#include "print/device/QV_Units.h"
#include "print/device/WordWrap.h"

#include <cstdlib>

namespace {
constexpr int MaximumTextLength = 255;

int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }

// Alignment 1 is right, 2 centre, anything else left; the offset places the reference point in the box.
int AlignInBox(DrawingContext* context, int alignment, int boxWidth) {
  TTextAlign align = TTextAlign::Left;
  int offset = 0;
  if (alignment == 1) {
    align = TTextAlign::Right;
    offset = boxWidth - 20;
  } else if (alignment == 2) {
    align = TTextAlign::Center;
    offset = boxWidth / 2;
  }
  if (context != nullptr) context->SetTextAlign(align);
  return offset;
}
}  // namespace

int TGdi::CanvasTextWidth(const QString& text) const { return Printer().Canvas().TextWidth(text); }

double TGdi::CanvasFontScale() const {
  return static_cast<double>(Printer().Canvas().Font().PixelsPerInch()) / ScreenPixelsPerInch();
}

void TGdi::TextAt(int x, int y, const QString& text) {
  if (!context_) return;
  const QString shown = text.left(MaximumTextLength);
  context_->TextOut(x, y, shown);
  LinkAddresses(x, y, shown);
}

void TGdi::LinkAddresses(int x, int y, const QString& text) {
  const std::vector<TAddressSpan> spans = FindAddresses(text);
  // A count's width is known only when the page plays, and a turned text's words do not lie along the page.
  if (spans.empty() || text.contains(PageCountMark) || context_->Escapement() % 3600 != 0) return;
  int left = x;
  if (context_->TextAlign() == TTextAlign::Right) {
    left = x - context_->TextWidth(text);
  } else if (context_->TextAlign() == TTextAlign::Center) {
    left = x - context_->TextWidth(text) / 2;
  }
  const int height = context_->TextHeight();
  for (const TAddressSpan& span : spans) {
    const int start = left + context_->TextWidth(text.left(span.Start));
    const int end = left + context_->TextWidth(text.left(span.Start + span.Length));
    context_->Link(QRect(start, y, end - start, height), span.Target);
  }
}

void TGdi::OutlineEntry(int x, int y, int level, const QString& title) {
  if (context_) context_->OutlineEntry(x, y, level, title);
}

void TGdi::WrapText(int x, int y, int lineHeight, const TRect& rect, const QString& text, int alignment,
                    bool singleLine, TLongWord longWord) {
  SetTextBox(rect.Left, rect.Top, rect.Right, rect.Bottom);
  const int boxWidth = rect.Right - rect.Left;
  const int offset = AlignInBox(context_.get(), alignment, boxWidth);
  const TextWidthMeasure measure = [this](const QString& part) { return CanvasTextWidth(part); };
  QString remaining = text;
  int lineTop = y;
  while (!remaining.isEmpty()) {
    const QString line = TrimBlanks(TakeWrappedLine(remaining, boxWidth, measure, longWord));
    SetTransparent();
    TextAt(x + offset, lineTop, line);
    lineTop += lineHeight;
    if (singleLine) break;
  }
  if (context_) context_->SetTextAlign(TTextAlign::Left);
}

void TGdi::MemoLines(int x, int y, int lineHeight, const TRect& rect, const TMemoContent& memo) {
  const int offset = AlignInBox(context_.get(), memo.Alignment, rect.Right - rect.Left);
  int lineTop = y;
  for (const QString& line : memo.Lines) {
    TextAt(x + offset, lineTop, ExpandTabs(line));
    lineTop += lineHeight;
  }
  if (context_) context_->SetTextAlign(TTextAlign::Left);
}

void TGdi::AlignedText(int x, int y, int right, int bottom, bool colon, const TRect& rect,
                       const QString& text, int alignment, bool fill, bool frame) {
  const int width = CanvasTextWidth(text);
  if (fill) FillBox(rect);
  if (frame && colon) FrameBox(OffsetX(x, -10), OffsetY(y, -10), right, bottom, 2, 2, 2, 2);
  if (!frame && !fill && colon) TextAt(OffsetX(x, 20), OffsetY(y, 10), QStringLiteral(":"));
  if (alignment == 1) {
    TextAt(OffsetX(right - width, -10), y, text);
  } else if (alignment == 2) {
    const int gap = right - x - width;
    TextAt(right - width - gap / 2, y, text);
  } else {
    TextAt(x, y, text);
  }
  if (fill) Printer().Canvas().Brush().Color = clWhite;
}

void TGdi::TextBox(int brushKind, TColor brushColor, int hatch, const TFont* font, bool colon, int x, int y,
                   int right, int bottom, const TRect& rect, TColor textColor, const QString& text,
                   int alignment, bool printText, bool fill, bool frame) {
  SetBrush(brushKind, brushColor, hatch);
  if (font == nullptr) return;
  SetTextColor(textColor);
  SelectFont(*font);
  if (printText) AlignedText(x, y, right, bottom, colon, rect, text, alignment, fill, frame);
}

void TGdi::MemoBox(const TMemoContent& memo, int left, int top, int right, int bottom, const TRect& rect,
                   bool printText, bool fill, bool frame) {
  ClipRect(left, top, right, bottom);
  TextBox(0, clWhite, 3, &memo.Font, false, left, top, right, bottom, rect, memo.Font.Color(), QString(),
          memo.Alignment, printText, fill, frame);
  FillBox(rect);
  MemoLines(OffsetX(left, 10), OffsetY(top, 10), std::abs(Printer().Canvas().Font().Height()), rect, memo);
  ResetClip();
  if (memo.SingleBorder) FrameBox(left, top, right, bottom, 2, 2, 2, 2);
}

void TGdi::DrawCentredBandText(int leftBorder, int right, int top, int height, const QString& text) {
  const int middle = Round((right - leftBorder) / 2.0) + leftBorder;
  if (CountedTextAt(middle, top + Round(height / 2.0), text, TTextAlign::Center)) return;
  TextAt(middle - Round(CanvasTextWidth(text) / 2.0), top + Round(height / 2.0), text);
}

bool TGdi::CountedTextAt(int x, int y, const QString& text, TTextAlign align) {
  if (!text.contains(PageCountMark)) return false;
  if (context_) {
    context_->SetTextAlign(align);
    TextAt(x, y, text);
    context_->SetTextAlign(TTextAlign::Left);
  }
  return true;
}

void TGdi::DrawHeaderBand(bool enabled, const TFont& font, int leftBorder, int rightBorder,
                          const QString& leftText, const QString& centerText, const QString& rightText,
                          int top, bool filled, bool outlined) {
  SetTextColor(font.Color());
  if (!enabled) return;
  const TMarked pagination(this, TArtifactKind::Pagination);
  const int scaledHeight = Round(font.Height() * CanvasFontScale());
  SetFont(font.Name(), scaledHeight);
  TFont& canvasFont = Printer().Canvas().Font();
  canvasFont.SetHeight(scaledHeight);
  canvasFont.SetStyle(font.Style());
  canvasFont.SetName(font.Name());
  const int height = std::abs(canvasFont.Height());

  const int pageWidth = Printer().PageWidth();
  const int right = pageWidth - rightBorder;
  const TRect band = Rect(leftBorder, top, right, top + 2 * height);
  const QString centre = ExpandPageMacrosNow(centerText, PageNumber());
  const int centreWidth = CanvasTextWidth(centre);
  if (filled) FillBox(band);
  SetSolidPen(1, clBlack);
  if (outlined) FrameBox(band.Left, band.Top, band.Right, band.Bottom, 2, 2, 2, 2);

  const int textTop = top + Round(height / 2.0);
  TextAt(leftBorder + 20, textTop, ExpandPageMacrosNow(leftText, PageNumber()));
  const int middle = Round((right - leftBorder) / 2.0) + leftBorder;
  if (!CountedTextAt(middle, textTop, centre, TTextAlign::Center))
    TextAt(middle - Round(centreWidth / 2.0), textTop, centre);
  const QString rightExpanded = ExpandPageMacrosNow(rightText, PageNumber());
  const int rightEnd = pageWidth - rightBorder - CanvasTextWidth(QStringLiteral("00"));
  if (!CountedTextAt(rightEnd, textTop, rightExpanded, TTextAlign::Right))
    TextAt(rightEnd - CanvasTextWidth(rightExpanded), textTop, rightExpanded);
}

void TGdi::DrawFooterBand(const TFont& font, int leftBorder, int rightBorder, const QString& text, int top,
                          bool filled, bool outlined, const TBrush& brush) {
  const TMarked pagination(this, TArtifactKind::Pagination);
  const int scaledHeight = Round(std::abs(font.Height()) * CanvasFontScale());
  TFont& canvasFont = Printer().Canvas().Font();
  canvasFont.Assign(font);  // keeps the canvas's pixels per inch, which later scales depend on
  canvasFont.SetHeight(scaledHeight);
  SetFont(font.Name(), scaledHeight);
  SetBold(true);
  const int height = std::abs(canvasFont.Height());

  const QString expanded = ExpandPageMacrosNow(text, PageNumber());
  SetTextColor(font.Color());
  const int right = Printer().PageWidth() - rightBorder;
  const TRect band = Rect(leftBorder, top, right, top + 2 * height);
  if (filled && !IsTextOnlyPrinter()) {
    SetBrushFrom(brush);
    FillBox(band);
  }
  SetSolidPen(1, clBlack);
  if (outlined) FrameBox(band.Left, band.Top, band.Right, band.Bottom, 2, 2, 2, 2);
  DrawCentredBandText(leftBorder, right, top, height, expanded);
  SetTextColor(clBlack);
}

void TGdi::DrawFooterCornerText(int border, int top, const QString& text, bool rightSide) {
  TFont& canvasFont = Printer().Canvas().Font();
  const int rememberedHeight = canvasFont.Height();
  const double scale = CanvasFontScale();
  const int cornerHeight = Round(12 * scale);
  canvasFont.SetName(QStringLiteral("Arial"));
  canvasFont.SetHeight(cornerHeight);
  canvasFont.SetStyle(0);
  const int height = std::abs(canvasFont.Height());
  CreatePageFont(QStringLiteral("Arial"), cornerHeight, false, false, false, 0);
  if (text.isEmpty()) return;

  const QString expanded = ExpandPageMacrosNow(text, PageNumber());
  const TMarked corner(this, TArtifactKind::Pagination);
  const int y = top + Round(height / 2.0);
  const int inset = Round(5 * scale);
  const int rightEnd = Printer().PageWidth() - border - inset;
  if (!rightSide) {
    TextAt(border + inset, y, expanded);
  } else if (!CountedTextAt(rightEnd, y, expanded, TTextAlign::Right)) {
    TextAt(rightEnd - CanvasTextWidth(expanded), y, expanded);
  }

  canvasFont.SetHeight(rememberedHeight);
  CreatePageFont(canvasFont.Name(), canvasFont.Height(), false, false, false, 0);
}
