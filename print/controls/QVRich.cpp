#include "print/controls/QVRich.h"

#include "platform/DrawingContext.h"
#include "platform/PageRecording.h"
#include "platform/RecordPlayer.h"
#include "platform/Printers.h"
#include "platform/Screen.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <algorithm>
#include <limits>
#include <memory>

namespace {
// Line bottoms are sums of fractional heights; a line that ends this close to the box's edge still fits.
constexpr double FitTolerance = 0.01;

void RemoveRange(QTextDocument& document, int from, int to) {
  if (to <= from) return;
  QTextCursor cursor(&document);
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
}

// Takes off the text before start. The paragraph it starts in merges into the first one, so it gets its own
// formats back; the rest of a paragraph begun in an earlier box goes on without a first-line indent, space
// above or a second list bullet.
void RemoveHead(QTextDocument& document, int start) {
  if (start <= 0) return;
  const QTextBlock first = document.findBlock(start);
  QTextBlockFormat blockFormat = first.blockFormat();
  const QTextCharFormat blockCharFormat = first.charFormat();
  const bool midParagraph = start != first.position();
  RemoveRange(document, 0, start);
  QTextCursor cursor(&document);
  if (midParagraph) {
    blockFormat.setTextIndent(0);
    blockFormat.setTopMargin(0);
  }
  cursor.setBlockFormat(blockFormat);
  cursor.setBlockCharFormat(blockCharFormat);
  if (QTextList* list = cursor.block().textList(); list != nullptr && midParagraph) {
    const int indent = list->format().indent();
    list->remove(cursor.block());
    QTextBlockFormat unlisted = cursor.blockFormat();
    unlisted.setIndent(indent);
    cursor.setBlockFormat(unlisted);
  }
}

// The characters from the start of the document that fill whole lines no lower than height.
int FittingLength(QTextDocument& document, double height) {
  QAbstractTextDocumentLayout* layout = document.documentLayout();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    layout->blockBoundingRect(block);  // lays the block out
    const QTextLayout* lines = block.layout();
    const double top = lines->position().y();
    for (int index = 0; index < lines->lineCount(); ++index) {
      const QTextLine line = lines->lineAt(index);
      if (top + line.y() + line.height() > height + FitTolerance) return block.position() + line.textStart();
    }
  }
  return document.characterCount() - 1;
}

int FirstLineLength(QTextDocument& document) {
  const QTextBlock block = document.begin();
  document.documentLayout()->blockBoundingRect(block);
  const QTextLayout* lines = block.layout();
  if (lines->lineCount() > 1) return lines->lineAt(1).textStart();
  return block.next().isValid() ? block.next().position() : document.characterCount() - 1;
}

// Takes off the text from length on. A cut inside a paragraph keeps the rest of that paragraph, so the last
// line of the box is laid out as the inner line it is (justified, when the paragraph is) and the lines after
// it are left undrawn (UndrawnTop); at a paragraph's start the paragraph end before it goes too, so no empty
// paragraph (or lone list bullet) is left at the bottom.
void RemoveTail(QTextDocument& document, int length) {
  const int end = document.characterCount() - 1;
  if (length >= end) return;
  const QTextBlock block = document.findBlock(length);
  if (length > 0 && block.position() != length) {
    RemoveRange(document, block.position() + block.length() - 1, end);
    return;
  }
  RemoveRange(document, length > 0 ? length - 1 : 0, end);
}

// Where the line that starts at that position begins, in the laid-out document; past the end, no line does.
double UndrawnTop(QTextDocument& document, int position) {
  if (position >= document.characterCount() - 1) return std::numeric_limits<double>::max();
  const QTextBlock block = document.findBlock(position);
  const QTextLayout* lines = block.layout();
  for (int index = 0; index < lines->lineCount(); ++index) {
    const QTextLine line = lines->lineAt(index);
    if (block.position() + line.textStart() == position) return lines->position().y() + line.y();
  }
  return std::numeric_limits<double>::max();
}

/** What of the text goes into one box: a document of just those characters, laid out, and where it ends. */
struct Portion {
  std::unique_ptr<QTextDocument> Document;
  int End = 0;
  /** Where the lines that belong to the next box begin; nothing from there down is drawn. */
  double Bottom = std::numeric_limits<double>::max();
};

Portion LayOutPortion(const QTextDocument& source, int start, const QSizeF& box, QPaintDevice* surface,
                      bool atLeastOneLine) {
  Portion portion;
  portion.Document.reset(source.clone());
  QTextDocument& document = *portion.Document;
  document.setDocumentMargin(0);
  document.setUseDesignMetrics(true);
  document.documentLayout()->setPaintDevice(surface);
  document.setTextWidth(box.width());
  RemoveHead(document, start);
  int length = FittingLength(document, box.height());
  if (length == 0 && atLeastOneLine) length = FirstLineLength(document);
  RemoveTail(document, length);
  // What the cuts left is laid out once more, whole, before it is drawn (a cut leaves blocks unlaid).
  document.markContentsDirty(0, document.characterCount());
  document.documentLayout()->documentSize();
  portion.End = start + length;
  portion.Bottom = UndrawnTop(document, length);
  return portion;
}

// Each anchor of the portion's lines above the bottom becomes a link over its words (a PDF keeps them).
void LinkAnchors(QPainter& painter, const QTextDocument& document, double bottom) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    if (layout == nullptr) continue;
    const QPointF origin = document.documentLayout()->blockBoundingRect(block).topLeft();
    for (auto fragments = block.begin(); !fragments.atEnd(); ++fragments) {
      const QTextFragment fragment = fragments.fragment();
      const QTextCharFormat format = fragment.charFormat();
      if (!fragment.isValid() || !format.isAnchor() || format.anchorHref().isEmpty()) continue;
      const int from = fragment.position() - block.position();
      const int to = from + fragment.length();
      for (int index = 0; index < layout->lineCount(); ++index) {
        const QTextLine line = layout->lineAt(index);
        const int start = std::max(from, line.textStart());
        const int end = std::min(to, line.textStart() + line.textLength());
        if (start >= end) continue;
        if (origin.y() + line.y() >= bottom) break;
        const QRectF area(origin + QPointF(line.cursorToX(start), line.y()),
                          origin + QPointF(line.cursorToX(end), line.y() + line.height()));
        RecordLink(painter, area.normalized(), format.anchorHref());
      }
    }
  }
}

// A key for a paragraph cut by a box's end, unlike any other of the document's (the print device's keys
// count up from 1).
quint32 NewParagraphKey() {
  static quint32 keys = 0;
  return 0x80000000u | (++keys & 0x7FFFFFFFu);
}

// Draws the portion's paragraphs one by one, each marked as what it is: a heading, a list's item, a
// paragraph. A paragraph the portion begins in the middle of goes on with the one cut before (continued);
// the one it ends in the middle of is cut (its key returned).
quint32 DrawMarkedBlocks(QPainter& painter, const QTextDocument& document,
                         QAbstractTextDocumentLayout::PaintContext paint, bool beginsCut, quint32 continued,
                         bool endsCut) {
  const QRectF portionClip = paint.clip;
  QAbstractTextDocumentLayout* layout = document.documentLayout();
  const QTextList* openList = nullptr;
  quint32 cut = 0;
  const auto endList = [&] {
    if (openList != nullptr) RecordStructureEnd(painter);
    openList = nullptr;
  };
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const QRectF area = layout->blockBoundingRect(block);
    if (area.top() >= portionClip.bottom()) break;
    const QTextList* list = block.textList();
    if (list != openList) {
      endList();
      if (list != nullptr) RecordStructureStart(painter, TStructureMark::Of(QStringLiteral("L")));
      openList = list;
    }
    TStructureMark mark;
    const int heading = block.blockFormat().headingLevel();
    mark.Role = list != nullptr                ? QStringLiteral("LBody")
                : heading >= 1 && heading <= 6 ? QStringLiteral("H%1").arg(heading)
                                               : QStringLiteral("P");
    if (list == nullptr && block == document.begin() && beginsCut && continued != 0) {
      mark.Key = continued;
      mark.Continued = true;
    }
    if (list == nullptr && !block.next().isValid() && endsCut) {
      if (mark.Key == 0) mark.Key = NewParagraphKey();
      cut = mark.Key;
    }
    if (list != nullptr) RecordStructureStart(painter, TStructureMark::Of(QStringLiteral("LI")));
    RecordStructureStart(painter, mark);
    // Only this paragraph's lines: the clip stops short of the lines of the paragraphs above and below.
    paint.clip = portionClip.intersected(area.adjusted(-1.0e6, 0.25, 1.0e6, -0.25));
    if (!paint.clip.isEmpty()) layout->draw(&painter, paint);
    RecordStructureEnd(painter);
    if (list != nullptr) RecordStructureEnd(painter);
  }
  endList();
  return cut;
}

// Draws the portion with its top-left at the box's, scaled from the surface's pixels to the printer's.
quint32 DrawPortion(DrawingContext& context, const Portion& portion, const QRectF& box, const QSizeF& scale,
                    const QSizeF& layoutSize, const QColor& textColor, bool beginsCut, quint32 continued) {
  context.SaveState();
  context.SetMapMode(TMappingMode::Text);
  context.SetWindowOrigin(0, 0);
  context.SetViewportOrigin(0, 0);
  QPainter& painter = context.Painter();
  painter.save();
  painter.translate(box.topLeft());
  painter.scale(scale.width(), scale.height());
  const QRectF drawn(0, 0, layoutSize.width(), std::min(layoutSize.height(), portion.Bottom));
  painter.setClipRect(drawn, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  QAbstractTextDocumentLayout::PaintContext paint;
  paint.palette.setColor(QPalette::Text, textColor);
  // A line is left out once its top is below the clip, so the next box's first line, which starts just
  // where this box's lines end, is not drawn here too.
  paint.clip = drawn.adjusted(0, 0, 0, -0.5);
  quint32 cut = 0;
  const bool tagged = Printer().PdfTagged();
  if (tagged && portion.Document->rootFrame()->childFrames().isEmpty()) {
    cut = DrawMarkedBlocks(painter, *portion.Document, paint, beginsCut, continued,
                           portion.Bottom < std::numeric_limits<double>::max());
  } else if (tagged) {
    // A table's cells are laid out in frames of their own, where clipping paragraph by paragraph would draw
    // a row's words once for each of its paragraphs: text with tables is drawn whole, read as one division.
    RecordStructureStart(painter, TStructureMark::Of(QStringLiteral("Div")));
    portion.Document->documentLayout()->draw(&painter, paint);
    RecordStructureEnd(painter);
  } else {
    portion.Document->documentLayout()->draw(&painter, paint);
  }
  LinkAnchors(painter, *portion.Document, drawn.bottom());
  painter.restore();
  context.RestoreState();
  return cut;
}
}  // namespace

TRichEditE::TRichEditE(QWidget* parent) : TRichEdit(parent) {}

void TRichEditE::ResetPrintPosition() {
  printPosition_ = 0;
  cutParagraph_ = 0;
  boxesWithoutRoom_.clear();
}

TQVPrintAnswer TRichEditE::PrintMessage(TQVPrint& record) { return PrintInto(record, *this); }

TQVPrintAnswer TRichEditE::PrintInto(TQVPrint& record, const QObject& box) {
  const int length = TextLength();
  if (printPosition_ < 0 || printPosition_ >= length) return qpDone;
  if (record.Context == nullptr) return qpMore;

  const QRectF target =
      QRectF(QPointF(record.Left, record.Top), QPointF(record.Right, record.Bottom)).normalized();
  const QColor color = ToQColor(Font().Color());
  quint32 cut = cutParagraph_;
  int end = PrintDocumentPortion(*record.Context, Document(), printPosition_, target, color, false, &cut);
  if (end == printPosition_) {
    if (std::find(boxesWithoutRoom_.begin(), boxesWithoutRoom_.end(), &box) == boxesWithoutRoom_.end()) {
      boxesWithoutRoom_.push_back(&box);
      return qpMore;
    }
    // Every box has been offered this line once and none could take it whole: it goes in cut, or the job
    // would open page after page without end.
    end = PrintDocumentPortion(*record.Context, Document(), printPosition_, target, color, true, &cut);
  }
  cutParagraph_ = cut;
  boxesWithoutRoom_.clear();
  printPosition_ = end;
  return printPosition_ >= length ? qpDone : qpMore;
}

int PrintDocumentPortion(DrawingContext& context, const QTextDocument& document, int start, const QRectF& box,
                         const QColor& textColor, bool atLeastOneLine, quint32* cutParagraph) {
  QPaintDevice* surface = context.Painter().device();
  const int surfaceX = surface != nullptr ? surface->logicalDpiX() : ScreenPixelsPerInch();
  const int surfaceY = surface != nullptr ? surface->logicalDpiY() : ScreenPixelsPerInch();
  const int printerX = std::max(1, Printer().ResolutionX());
  const int printerY = std::max(1, Printer().ResolutionY());
  // The box's edges stand on whole printer pixels, rounded from the screen's; a line that ends less than one
  // printer pixel below the bottom belongs in the box, or a coarse printer would leave a gap in a sentence.
  const QSizeF layoutSize(box.width() * surfaceX / printerX, (box.height() + 1) * surfaceY / printerY);
  const Portion portion = LayOutPortion(document, start, layoutSize, surface, atLeastOneLine);
  if (portion.End == start) return start;
  const bool beginsCut = start > 0 && document.findBlock(start).position() != start;
  const quint32 cut =
      DrawPortion(context, portion, box,
                  QSizeF(static_cast<double>(printerX) / surfaceX, static_cast<double>(printerY) / surfaceY),
                  layoutSize, textColor, beginsCut, cutParagraph != nullptr ? *cutParagraph : 0);
  if (cutParagraph != nullptr) *cutParagraph = cut;
  return portion.End;
}
