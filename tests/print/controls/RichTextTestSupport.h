#pragma once

#include "platform/DrawingContext.h"
#include "platform/Forms.h"
#include "platform/Printers.h"
#include "print/controls/QVRich.h"
#include "print/shared/QV_MFunc.h"
#include "tests/platform/PrinterTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <memory>

// Rich text is printed onto a page surface that records at the screen's resolution, as page files do, with
// boxes given in the pixels of a 300-dpi printer; the page is then read back pixel by pixel.
class RichTextPageTest : public ::testing::Test {
protected:
  static constexpr int Dpi = 300;

  void SetUp() override {
    Printer().RefreshPrinters();
    UseTestPrinter({TPrinter::PdfPrinterName()}, 0, Dpi, scratch_.File(QStringLiteral("unused.pdf")));
    edit_ = new TRichEditE(&form_);
    edit_->SetBounds(0, 0, 640, 200);
    edit_->SetFont(MakeFont(QStringLiteral("Times New Roman"), -15));
    NewPage();
  }
  void TearDown() override {
    context_.reset();
    painter_.reset();
    Printer().RefreshPrinters();
  }

  /** A fresh white page surface of 96 dots per inch, 8 by 8 inches of the printer. */
  void NewPage() {
    context_.reset();
    painter_.reset();
    page_ = QImage(8 * Dpi, 8 * Dpi, QImage::Format_RGB32);
    page_.setDotsPerMeterX(3780);
    page_.setDotsPerMeterY(3780);
    page_.fill(Qt::white);
    painter_ = std::make_unique<QPainter>(&page_);
    context_ = std::make_unique<DrawingContext>(*painter_);
  }
  /** The page as drawn so far; boxes made before it name the page's old context and must be made again. */
  const QImage& Page() {
    painter_->end();
    painter_->begin(&page_);
    context_ = std::make_unique<DrawingContext>(*painter_);
    return page_;
  }
  /** A box 2000 printer pixels wide (640 screen pixels) from the top, of that height. */
  TQVPrint Box(int top, int height) {
    TQVPrint record;
    FillPrintRecord(100, top, 2100, top + height, record, context_.get());
    return record;
  }
  static QRect Area(const TQVPrint& record) {
    return QRect(QPoint(record.Left, record.Top), QPoint(record.Right - 1, record.Bottom - 1));
  }
  /** Paragraphs of numbered sentences, each paragraph about four lines long in a 640-pixel box. */
  void FillParagraphs(int count) {
    QTextCursor cursor(&edit_->Document());
    for (int paragraph = 0; paragraph < count; ++paragraph) {
      if (paragraph > 0) cursor.insertBlock();
      QString text;
      for (int sentence = 1; sentence <= 6; ++sentence)
        text += QStringLiteral("Sentence %1 of paragraph %2 counts its letters once. ")
                    .arg(sentence)
                    .arg(paragraph);
      cursor.insertText(text.trimmed());
    }
  }

  ScratchDirectory scratch_;
  TForm form_;
  TRichEditE* edit_ = nullptr;
  QImage page_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<DrawingContext> context_;
};

/** Whether any pixel of the area is not white. */
inline bool HasInk(const QImage& image, const QRect& area) {
  const QRect inside = area & image.rect();
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) return true;
    }
  }
  return false;
}
