#pragma once

#include "platform/PagePicture.h"
#include "platform/Printers.h"
#include "platform/Registry.h"
#include "print/device/PagewickIni.h"
#include "print/device/QV_PageFiles.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <gtest/gtest.h>

// Preview tests record real page files (as the page device does, in printer pixels) and a real settings
// store, and print to the PDF destination at 300 dpi unless they print through the CUPS queue.

/** Records page `number`: "Page n" in 100-pixel Arial at (300, 400) and a black box. */
inline void RecordPage(PagePicture& page, int number) {
  QPainter& painter = page.BeginRecording();
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(100);
  painter.setFont(font);
  painter.drawText(300, 400, QStringLiteral("Page %1").arg(number));
  painter.fillRect(600, 1200, 800, 400, Qt::black);
  page.EndRecording();
}

/** Records pages first..last (RecordPage) into their files in the page folder. */
inline void RecordPages(int first, int last) {
  for (int number = first; number <= last; ++number) {
    PagePicture page;
    RecordPage(page, number);
    page.Save(PageFileNameFor(number, poViewer));
  }
}

inline int PageFilesLeft() {
  return static_cast<int>(QDir(PageDirectory()).entryList({QStringLiteral("PRN*.EMF")}, QDir::Files).size());
}

inline QString StorePath() { return TRegIniFile::ConfigurationFolder() + QStringLiteral("/Pagewick.Ini"); }

/** An empty store, the PDF destination, no page files; everything put back afterwards. */
class PreviewTest : public ::testing::Test {
protected:
  static constexpr int Dpi = 300;

  void SetUp() override {
    QFile::remove(StorePath());
    DeletePageFiles(poViewer);
    Printer().SetPrinters({TPrinter::PdfPrinterName()});
    Printer().SetPrinterIndex(0);
    Printer().SetPdfOutput(PdfFile(), Dpi);
    Printer().SetOrientation(poPortrait);
    PagewickIni::WriteString(QStringLiteral("PrinterIndex"), QStringLiteral("0"));
  }
  void TearDown() override {
    if (Printer().Printing()) Printer().Abort();
    Printer().RefreshPrinters();
    DeletePageFiles(poViewer);
    QFile::remove(StorePath());
  }

  QString PdfFile() const { return scratch_.File(QStringLiteral("preview.pdf")); }

  ScratchDirectory scratch_;
};
