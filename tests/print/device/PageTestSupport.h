#pragma once

#include "platform/PagePicture.h"
#include "platform/Printers.h"
#include "print/device/QV_Gdi.h"
#include "print/device/QV_Units.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/platform/PrinterTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

// Device tests draw for a printer that prints to a PDF file at a chosen resolution, so every geometry is
// known, and look at the recorded pages by replaying their files.

/** Page `number` replayed 1:1, showing the page area `area` (printer pixels). */
inline QImage RenderPage(int number, const QRect& area) {
  QImage image = WhiteImage(area.width(), area.height());
  PagePicture page;
  if (page.Load(PageFileNameFor(number, poPrinter))) {
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    page.Play(painter);
  }
  return image;
}

/** A device recording for the PDF destination at 300 dpi; the canvas font as a job leaves it: Arial 40. */
class RecordingTest : public ::testing::Test {
protected:
  void SetUp() override {
    UseTestPrinter({TPrinter::PdfPrinterName()}, 0, 300, PdfFile());
    SetUnits(false);
    TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetPixelsPerInch(Printer().ResolutionY());  // what the printer's canvas keeps anyway
    font.SetHeight(-40);
    font.SetColor(clBlack);
    Printer().Canvas().Font() = font;
    Printer().Canvas().Brush() = TBrush();
    gdi_ = std::make_unique<TGdi>(poPrinter);
    gdi_->ClearPages();
  }
  void TearDown() override {
    gdi_.reset();
    Printer().Abort();
    DeletePageFiles(poPrinter);
  }

  QString PdfFile() const { return scratch_.File(QStringLiteral("out.pdf")); }
  void Begin() { gdi_->BeginDocument(clWhite, QStringLiteral("Test pages"), QString(), 100.0); }
  /** Closes the page and shows the area of page 1. */
  QImage Finish(const QRect& area) {
    gdi_->EndPage();
    return RenderPage(1, area);
  }

  ScratchDirectory scratch_;
  std::unique_ptr<TGdi> gdi_;
};
