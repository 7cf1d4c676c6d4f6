#pragma once

// The rich-text edit whose printed text flows on into continuation boxes and pages, never cutting a line.

#include "platform/ComCtrls.h"
#include "print/shared/QV_MFunc.h"

#include <QColor>
#include <QRectF>
#include <vector>

class DrawingContext;
class QTextDocument;

/**
 * Draws a document's text from position start into a box of printer pixels: the lines that fit whole (at
 * least the first, cut at the box's edge, when atLeastOneLine is set), laid out at the resolution of the
 * context's surface and scaled to the printer's. Returns where the drawn text ends: start when no line fit.
 *
 * With the printer's PDF tagged, each paragraph is marked as one (a heading as H1 to H6, a list's items as
 * L, LI and LBody). A paragraph cut at the box's end goes on in the next box as the same paragraph when
 * cutParagraph carries its key from one call to the next (0 for none).
 */
int PrintDocumentPortion(DrawingContext& context, const QTextDocument& document, int start, const QRectF& box,
                         const QColor& textColor, bool atLeastOneLine, quint32* cutParagraph = nullptr);

/**
 * A rich-text edit whose text may continue, when printed, into further boxes: each print message prints as
 * many whole lines as fit the box, from PrintPosition on, and PrintPosition moves past them. Continuation
 * panels (TQVRichContinue) naming this edit print the next portions into their own boxes, and further pages
 * continue where the last box stopped. Printing never resets PrintPosition; ResetPrintPosition does.
 */
class TRichEditE : public TRichEdit, public TQVPrintMessageReceiver {
  Q_OBJECT
public:
  explicit TRichEditE(QWidget* parent);

  /** The index of the first character not yet printed. */
  int PrintPosition() const { return printPosition_; }
  /** Starts the next printing from the beginning of the text. */
  void ResetPrintPosition();

  /** Prints the next portion into this edit's own box. */
  TQVPrintAnswer PrintMessage(TQVPrint& record) override;
  bool QVTextRemains() const override { return printPosition_ < TextLength(); }

  /**
   * Prints the next portion into the record's rectangle on behalf of a box (this edit or one of its
   * continuation panels): the lines that fit whole, laid out at the resolution of the record's drawing
   * surface and scaled to the printer's pixels. A line that does not fit waits for the next box; one that
   * no box of a whole round can take goes, cut at the box's edge, into the box that comes round again, so
   * printing always ends. Answers qpDone when the text is printed to its end, qpMore while text remains.
   */
  TQVPrintAnswer PrintInto(TQVPrint& record, const QObject& box);

private:
  int printPosition_ = 0;
  /** The key of the paragraph the last box cut, which the next goes on with. */
  quint32 cutParagraph_ = 0;
  /** The boxes offered since the last portion was printed that had no room for the next line. */
  std::vector<const QObject*> boxesWithoutRoom_;
};
