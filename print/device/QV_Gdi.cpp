#include "print/device/QV_Gdi.h"

#include "platform/AtomicFile.h"
#include "platform/DrawingContext.h"
#include "platform/PageRecording.h"
#include "platform/PagePicture.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"
#include "print/device/QV_Units.h"

#include <QFile>
#include <algorithm>
#include <cstdlib>

namespace {
constexpr int FaceNameLength = 31;

TFontStyles StyleOf(bool bold, bool italic, bool underline) {
  return (bold ? fsBold : 0u) | (italic ? fsItalic : 0u) | (underline ? fsUnderline : 0u);
}

Qt::PenStyle PenStyleOf(int style) {
  switch (style) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
  }
}

const Qt::BrushStyle HatchPatterns[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                        Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
const TBrushStyle HatchStyles[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
constexpr int HatchCount = 6;

// Line offsets of one frame edge from its base line, and how far the base of a bottom or right edge lies
// inside the box so that the edge's last line falls on the box's bottom or right.
struct EdgePattern {
  int horizontal[12];
  int horizontalCount;
  int vertical[12];
  int verticalCount;
  int depth;
};

const EdgePattern EdgePatterns[] = {
    {{0, 1, 2, 3, 4, 5}, 6, {0, 1, 2, 3, 4, 5}, 6, 5},
    {{0, 1}, 2, {0, 1}, 2, 1},
    {{0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 14}, 12, {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 14}, 12, 14},
    {{0, 5, 6}, 3, {0, 1, 5, 6}, 4, 6},
    {{0, 1, 2, 3, 4, 5, 9, 10}, 8, {0, 1, 2, 3, 4, 5, 9, 10}, 8, 10},
    {{0, 1, 5, 6, 7, 8, 9, 10}, 8, {0, 1, 5, 6, 7, 8, 9, 10}, 8, 10},
};
constexpr int EdgeKindCount = 6;
}  // namespace

TColor PrintColor(TColor color) {
  if (color == clBtnFace) return clWhite;
  const auto bits = static_cast<std::uint32_t>(color);
  if (bits >= 0x80000000u && bits <= 0x80000014u) return ColorToRGB(color);
  return static_cast<TColor>(std::llabs(static_cast<long long>(color)));
}

void ResetClip(DrawingContext& context) { context.SelectClipRect(0, 0, 32000, 32000); }

TGdi::TGdi(TSendTo target) : target_(target) {
  Printer().SetOrientation(poPortrait);
  boxRight_ = Printer().PageWidth();
  scaleX_ = static_cast<double>(Printer().ResolutionX()) / ScreenPixelsPerInch();
  scaleY_ = static_cast<double>(Printer().ResolutionY()) / ScreenPixelsPerInch();
}

TGdi::~TGdi() {
  // A device dropped in the middle of a page (an exception in the job) leaves no half-written file behind.
  context_.reset();
  if (page_) page_->EndRecording();
}

void TGdi::SetOrientation(TPrinterOrientation orientation) { Printer().SetOrientation(orientation); }

// Objects --------------------------------------------------------------------------------------------------

void TGdi::CreatePageFont(const QString& name, int height, bool bold, bool italic, bool underline,
                          int escapement) {
  fontSpec_ = TFontSpec();
  fontSpec_.Height = height;
  fontSpec_.Escapement = escapement;
  fontSpec_.Weight = bold ? boldWeight_ : normalWeight_;
  fontSpec_.Italic = italic ? 1 : 0;
  fontSpec_.Underline = underline ? 1 : 0;
  fontSpec_.FaceName = name.left(FaceNameLength);
  fontHeight_ = std::abs(height);
  bold_ = bold;
  italic_ = italic;
  underline_ = underline;
  fontName_ = name;

  TFont& canvasFont = Printer().Canvas().Font();
  canvasFont.SetName(name);
  canvasFont.SetHeight(std::abs(height));
  canvasFont.SetStyle(StyleOf(bold, italic, underline));

  // The whole face name is used, not the record's 31 characters, so that the canvas measures the same face.
  if (context_)
    context_->SelectFont(FontOfHeight(name, height, StyleOf(bold, italic, underline)), escapement);
}

void TGdi::SetFont(const QString& name, int height) {
  CreatePageFont(name, height, bold_, italic_, underline_, 0);
}

void TGdi::SetFontStyled(const QString& name, int height, bool bold, bool italic, bool underline) {
  CreatePageFont(name, height, bold, italic, underline, 0);
}

void TGdi::SetBold(bool bold) { CreatePageFont(fontName_, fontHeight_, bold, italic_, underline_, 0); }

void TGdi::SelectFont(const TFont& font) {
  const int height = static_cast<int>(RoundHalfEven(std::abs(font.Height()) * scaleX_));
  CreatePageFont(font.Name(), height, font.HasStyle(fsBold), font.HasStyle(fsItalic),
                 font.HasStyle(fsUnderline), 0);
  Printer().Canvas().Font().SetColor(font.Color());
  SetTextColor(font.Color());
}

void TGdi::SetPrinterFont(const QString& name, int height, int& actualHeight, bool bold, bool italic,
                          bool underline) {
  TFont& canvasFont = Printer().Canvas().Font();
  canvasFont.SetHeight(height);
  canvasFont.SetName(name);
  canvasFont.SetStyle(StyleOf(bold, italic, underline));
  actualHeight = std::abs(canvasFont.Height());
  CreatePageFont(canvasFont.Name(), canvasFont.Height(), bold, italic, underline, 0);
}

void TGdi::SelectMappedFont(const TFont& font, bool bold, bool italic, bool underline) {
  QString name = font.Name();
  if (name == QLatin1String("MS Sans Serif") || name == QLatin1String("System"))
    name = QStringLiteral("Arial");
  const double scale = static_cast<double>(Printer().Canvas().Font().PixelsPerInch()) / ScreenPixelsPerInch();
  const int height = static_cast<int>(RoundHalfEven(std::abs(font.Height()) * scale));
  int actualHeight = 0;
  SetPrinterFont(name, height, actualHeight, bold, italic, underline);
}

void TGdi::SetTextColor(TColor color) {
  if (color < 0) color = clBlack;
  textColor_ = color;
  Printer().Canvas().Font().SetColor(color);
  if (context_) context_->SetTextColor(ToQColor(color));
}

void TGdi::SetPen(int style, int width, TColor color) {
  if (!context_) return;
  QPen pen(ToQColor(color));
  pen.setStyle(PenStyleOf(style));
  pen.setWidth(std::max(0, width));
  context_->SelectPen(pen);
}

void TGdi::SetSolidPen(int width, TColor color) { SetPen(0, width, color); }

void TGdi::SetPenColor(TColor color) {
  SetPen(0, penWidth_, color);
  penColor_ = color;
}

void TGdi::SetBrush(int kind, TColor color, int hatch) {
  TBrush& canvasBrush = Printer().Canvas().Brush();
  canvasBrush.Color = color;
  const bool knownHatch = hatch >= 0 && hatch < HatchCount;
  switch (kind) {
    case 0:
      brush_ = QBrush(ToQColor(color));
      canvasBrush.Style = bsSolid;
      break;
    case 1:
      brush_ = QBrush(Qt::NoBrush);
      canvasBrush.Style = bsClear;
      break;
    case 2:
      // A hatch the desktop does not know paints nothing; the canvas keeps its style.
      brush_ = knownHatch ? QBrush(ToQColor(color), HatchPatterns[hatch]) : QBrush(Qt::NoBrush);
      if (knownHatch) canvasBrush.Style = HatchStyles[hatch];
      break;
    default: brush_ = QBrush(Qt::NoBrush); break;
  }
  if (context_) context_->SelectBrush(brush_);
}

void TGdi::SetBrushFrom(const TBrush& brush) {
  switch (brush.Style) {
    case bsSolid: SetBrush(0, brush.Color, 4); break;
    case bsClear: SetBrush(1, brush.Color, 4); break;
    default: SetBrush(2, brush.Color, static_cast<int>(brush.Style) - static_cast<int>(bsHorizontal)); break;
  }
}

void TGdi::SetTransparent() {
  if (context_) context_->SetBackgroundMode(TBackgroundMode::Transparent);
}

void TGdi::SetTextBox(int left, int top, int right, int bottom) {
  boxLeft_ = left;
  boxTop_ = top;
  boxRight_ = right;
  boxBottom_ = bottom;
}

// Structure
// ----------------------------------------------------------------------------------------

void TGdi::BeginElement(const TStructureMark& mark) {
  if (!tagged_ || !context_) return;
  // Inside an artifact (a form's controls printed again on a later page) nothing is content: the element
  // is left out, and so is its end.
  if (openArtifacts_ > 0) {
    openElements_.push_back(TOpenElement::LeftOut);
    return;
  }
  RecordStructureStart(context_->Painter(), mark);
  const bool figure = mark.Role == QLatin1String("Figure");
  openElements_.push_back(figure ? TOpenElement::Figure : TOpenElement::Recorded);
  if (figure) ++openFigures_;
}

void TGdi::EndElement() {
  if (!tagged_ || !context_ || openElements_.empty()) return;
  if (openElements_.back() != TOpenElement::LeftOut) RecordStructureEnd(context_->Painter());
  if (openElements_.back() == TOpenElement::Figure) --openFigures_;
  openElements_.pop_back();
}

void TGdi::BeginArtifact(TArtifactKind kind) {
  if (!tagged_ || !context_) return;
  RecordArtifactStart(context_->Painter(), kind);
  ++openArtifacts_;
}

void TGdi::EndArtifact() {
  if (!tagged_ || !context_ || openArtifacts_ == 0) return;
  RecordArtifactEnd(context_->Painter());
  --openArtifacts_;
}

bool TGdi::ShapesNeedMarking() const {
  // Outside every element whatever is drawn is the paper's already; a figure's shapes are its picture.
  return tagged_ && openArtifacts_ == 0 && openFigures_ == 0 && !openElements_.empty() && context_;
}

TMarked::TMarked(TGdi* device, const TStructureMark& mark)
    : device_(device != nullptr && device->Tagged() ? device : nullptr), element_(true) {
  if (device_ != nullptr) device_->BeginElement(mark);
}

TMarked::TMarked(TGdi* device, TArtifactKind kind)
    : device_(device != nullptr && device->Tagged() ? device : nullptr), element_(false) {
  if (device_ != nullptr) device_->BeginArtifact(kind);
}

TMarked::~TMarked() {
  if (device_ == nullptr) return;
  if (element_) {
    device_->EndElement();
  } else {
    device_->EndArtifact();
  }
}

// Shapes and pictures
// ----------------------------------------------------------------------------------------

void TGdi::ClipRect(int left, int top, int right, int bottom) {
  if (context_ && !IsTextOnlyPrinter()) context_->IntersectClipRect(left, top, right, bottom);
}

void TGdi::ResetClip() {
  if (context_) ::ResetClip(*context_);
}

void TGdi::FillBox(const TRect& rect) {
  const TMarked paper(ShapesNeedMarking() ? this : nullptr, TArtifactKind::Layout);
  if (context_ && !IsTextOnlyPrinter())
    context_->FillRect(rect.Left, rect.Top, rect.Right, rect.Bottom, brush_);
}

void TGdi::Rectangle(int left, int top, int right, int bottom) {
  const TMarked paper(ShapesNeedMarking() ? this : nullptr, TArtifactKind::Layout);
  if (context_ && !IsTextOnlyPrinter()) context_->Rectangle(left, top, right, bottom);
}

void TGdi::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  const TMarked paper(ShapesNeedMarking() ? this : nullptr, TArtifactKind::Layout);
  if (context_ && !IsTextOnlyPrinter())
    context_->RoundRect(left, top, right, bottom, cornerWidth, cornerHeight);
}

void TGdi::Ellipse(int left, int top, int right, int bottom) {
  const TMarked paper(ShapesNeedMarking() ? this : nullptr, TArtifactKind::Layout);
  if (context_) context_->Ellipse(left, top, right, bottom);
}

void TGdi::Line(int x1, int y1, int x2, int y2) {
  const TMarked paper(ShapesNeedMarking() ? this : nullptr, TArtifactKind::Layout);
  if (!context_ || IsTextOnlyPrinter()) return;
  context_->MoveTo(x1, y1);
  context_->LineTo(x2, y2);
}

void TGdi::MoveTo(int x, int y) {
  if (context_) context_->MoveTo(x, y);
}

void TGdi::LineTo(int x, int y) {
  const TMarked paper(ShapesNeedMarking() ? this : nullptr, TArtifactKind::Layout);
  if (context_ && !IsTextOnlyPrinter()) context_->LineTo(x, y);
}

void TGdi::FrameEdge(bool horizontal, int base, int from, int to, int kind, bool farSide) {
  if (kind <= 0 || kind > EdgeKindCount) return;
  const EdgePattern& pattern = EdgePatterns[kind - 1];
  const int* offsets = horizontal ? pattern.horizontal : pattern.vertical;
  const int count = horizontal ? pattern.horizontalCount : pattern.verticalCount;
  const int start = farSide ? base - pattern.depth : base;
  for (int index = 0; index < count; ++index) {
    const int position = start + offsets[index];
    if (horizontal) {
      Line(from, position, to, position);
    } else {
      Line(position, from, position, to);
    }
  }
}

void TGdi::FrameBox(int left, int top, int right, int bottom, int leftKind, int topKind, int rightKind,
                    int bottomKind) {
  const TMarked paper(ShapesNeedMarking() ? this : nullptr, TArtifactKind::Layout);
  if (!context_ || IsTextOnlyPrinter()) return;
  FrameEdge(true, top, left, right, topKind, false);
  FrameEdge(true, bottom, left, right, bottomKind, true);
  FrameEdge(false, left, top, bottom, leftKind, false);
  FrameEdge(false, right, top, bottom, rightKind, true);
}

void TGdi::FillAndFrame(int left, int top, int right, int bottom, bool fill, const TRect& rect) {
  const TMarked paper(ShapesNeedMarking() ? this : nullptr, TArtifactKind::Layout);
  if (!context_ || IsTextOnlyPrinter()) return;
  if (fill) FillBox(rect);
  FrameBox(left, top, right, bottom, 2, 2, 2, 2);
}

void TGdi::PlayMetafile(const QPicture& metafile, const TRect& rect) {
  if (context_) context_->DrawPicture(metafile, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TGdi::DrawPicture(const TPictureContent& picture, int left, int top, int right, int bottom,
                       const TRect& rect) {
  if (!context_ || IsTextOnlyPrinter()) return;
  switch (picture.Kind) {
    case TPictureKind::Icon: break;
    case TPictureKind::Metafile: PlayMetafile(picture.Metafile, rect); break;
    case TPictureKind::Bitmap: DrawBitmap(picture.Bitmap, left, top, right - left, bottom - top); break;
  }
}

void TGdi::DrawBitmap(const QImage& bitmap, int x, int y, int width, int height) {
  if (!context_ || bitmap.isNull()) return;
  if (width == 0 && height == 0) {
    width = ScreenToDeviceX(bitmap.width());
    height = ScreenToDeviceY(bitmap.height());
  }
  context_->StretchDraw(x, y, width, height, bitmap);
}
