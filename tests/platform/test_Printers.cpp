#include "platform/DrawingContext.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"
#include "platform/TempDirectory.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <gtest/gtest.h>

namespace {

// The PDF destination writing into a scratch folder at 300 dpi.
class PrintersTest : public ::testing::Test {
protected:
  void SetUp() override {
    Printer().RefreshPrinters();
    Printer().SetPrinterIndex(static_cast<int>(Printer().Printers().indexOf(TPrinter::PdfPrinterName())));
    Printer().SetPdfOutput(Target(), 300);
    Printer().SetOrientation(poPortrait);
  }
  void TearDown() override {
    Printer().Abort();
    Printer().RefreshPrinters();
  }

  QString Target() const { return scratch_.File(QStringLiteral("out.pdf")); }
  /** Files a document is painted into: a queue's spool in the page folder, a PDF's new file beside it. */
  QStringList SpoolFiles() const {
    return QDir(ProcessTempDirectory()).entryList({QStringLiteral("print-*")}, QDir::Files) +
           QDir(scratch_.Path()).entryList({QStringLiteral("out.pdf.*")}, QDir::Files);
  }

  ScratchDirectory scratch_;
};

TEST_F(PrintersTest, TheListEndsWithPdfAndIndexesSelectDefaultsAndRefuseTheOutOfRange) {
  const QStringList names = Printer().Printers();
  EXPECT_EQ(names, QPrinterInfo::availablePrinterNames() << TPrinter::PdfPrinterName());
  Printer().SetPrinterIndex(-1);
  const QString systemDefault = QPrinterInfo::defaultPrinterName();
  EXPECT_EQ(Printer().PrinterName(), systemDefault.isEmpty() ? TPrinter::PdfPrinterName() : systemDefault);
  EXPECT_EQ(Printer().PrinterIndex(), names.indexOf(Printer().PrinterName())) << "-1 is never reported";

  Printer().SetPrinters({QStringLiteral("Generic / Text Only"), QStringLiteral("Office")});
  EXPECT_EQ(Printer().PrinterIndex(), 0) << "no default among them: the first";
  Printer().SetPrinterIndex(1);
  EXPECT_THROW(Printer().SetPrinterIndex(2), Exception);
  EXPECT_THROW(Printer().SetPrinterIndex(-2), Exception);
  EXPECT_EQ(Printer().PrinterName(), QStringLiteral("Office")) << "a refused index changes nothing";
  Printer().SetPrinters({});
  EXPECT_EQ(Printer().PrinterIndex(), -1);
  EXPECT_EQ(Printer().PrinterName(), QString());
}

// One call takes a program from whatever printer it had, or a list without the PDF destination, to a file.
TEST_F(PrintersTest, PrintToPdfSelectsTheDestinationAndItsFileInOneCall) {
  for (const QStringList& names : {QStringList{QStringLiteral("Office")},
                                   QStringList{TPrinter::PdfPrinterName(), QStringLiteral("Office")}}) {
    QFile::remove(Target());
    Printer().SetPrinters(names);
    Printer().SetPrinterIndex(static_cast<int>(names.indexOf(QStringLiteral("Office"))));
    Printer().PrintToPdf(Target(), 150);
    EXPECT_EQ(Printer().PrinterName(), TPrinter::PdfPrinterName());
    EXPECT_EQ(Printer().Printers().count(TPrinter::PdfPrinterName()), 1);
    EXPECT_EQ(Printer().ResolutionX(), 150);
    Printer().BeginDoc(QStringLiteral("one call"));
    Printer().EndDoc();
    EXPECT_TRUE(QFile::exists(Target())) << names.join(u',').toStdString();
  }
  Printer().PrintToPdf(Target());
  EXPECT_EQ(Printer().ResolutionX(), 300) << "the resolution it has without one given";
}

TEST_F(PrintersTest, PdfPageSizeFollowsResolutionAndOrientation) {
  const int width = Printer().PageWidth();
  const int height = Printer().PageHeight();
  EXPECT_EQ(Printer().ResolutionX(), 300);
  EXPECT_NEAR(width, 2480, 80) << "A4 or Letter at 300 dpi, no unprintable margin";
  Printer().SetPdfOutput(Target(), 600);
  Printer().SetOrientation(poLandscape);
  EXPECT_EQ(Printer().ResolutionY(), 600);
  EXPECT_NEAR(Printer().PageWidth(), 2 * height, 2);
  EXPECT_NEAR(Printer().PageHeight(), 2 * width, 2);
}

TEST_F(PrintersTest, ADocumentIsDeliveredWholeAtEndDocAndAbortSendsNothing) {
  Printer().BeginDoc(QStringLiteral("Two sheets"));
  EXPECT_TRUE(SpoolFiles().isEmpty()) << "the document being painted has no name until it is whole";
  EXPECT_THROW(Printer().BeginDoc(), Exception);
  DrawingContext context(*Printer().Canvas().Painter());
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(50);
  context.SelectFont(font);
  context.TextOut(300, 300, QStringLiteral("FirstSheet"));
  Printer().NewPage();
  context.TextOut(300, 300, QStringLiteral("SecondSheet"));
  EXPECT_FALSE(QFile::exists(Target())) << "nothing is delivered before EndDoc";
  Printer().EndDoc();
  EXPECT_FALSE(Printer().Printing());
  EXPECT_EQ(PdfPageCount(Target()), 2);
  EXPECT_TRUE(PdfPageText(Target(), 2).contains(QStringLiteral("SecondSheet")));
  EXPECT_NEAR(PdfPageSize(Target()).width(), Printer().PageWidth() * 72.0 / 300, 1.0);
  EXPECT_TRUE(SpoolFiles().isEmpty());

  QFile::remove(Target());
  Printer().BeginDoc();
  Printer().NewPage();
  Printer().Abort();
  EXPECT_FALSE(Printer().Printing());
  EXPECT_TRUE(Printer().Aborted());
  EXPECT_EQ(Printer().Canvas().Painter(), nullptr);
  EXPECT_FALSE(QFile::exists(Target()));
  EXPECT_TRUE(SpoolFiles().isEmpty());
  EXPECT_THROW(Printer().NewPage(), Exception);
  EXPECT_THROW(Printer().EndDoc(), Exception);
}

TEST_F(PrintersTest, AnUndeliverablePdfIsReportedWithItsNameAndNoDocumentOpens) {
  const QString missingFolder = scratch_.File(QStringLiteral("no-such-folder/out.pdf"));
  Printer().SetPdfOutput(missingFolder, 300);
  try {
    Printer().BeginDoc();
    FAIL() << "a PDF in a missing folder cannot be written";
  } catch (const Exception& error) {
    EXPECT_TRUE(error.Message().contains(missingFolder)) << error.what();
  }
  EXPECT_FALSE(Printer().Printing());
  EXPECT_TRUE(SpoolFiles().isEmpty());
}

TEST_F(PrintersTest, NamesThatAreNoSystemQueuePrintToThePdfDestination) {
  Printer().SetPrinters({QStringLiteral("Generic / Text Only")});
  Printer().BeginDoc();
  Printer().EndDoc();
  EXPECT_EQ(PdfPageCount(Target()), 1);
}

TEST_F(PrintersTest, SettingsChosenOnTheQtPrinterAreTakenOver) {
  Printer().SetPrinters({QStringLiteral("Office"), TPrinter::PdfPrinterName()});
  QPrinter& qtPrinter = Printer().QtPrinter();
  const QString chosen = scratch_.File(QStringLiteral("chosen.pdf"));
  qtPrinter.setOutputFileName(chosen);
  qtPrinter.setPageOrientation(QPageLayout::Landscape);
  Printer().TakeQtPrinterSettings();
  EXPECT_EQ(Printer().PrinterName(), TPrinter::PdfPrinterName());
  EXPECT_EQ(Printer().PdfFileName(), chosen);
  EXPECT_EQ(Printer().Orientation(), poLandscape);
  EXPECT_GT(Printer().PageWidth(), Printer().PageHeight());
}

TEST_F(PrintersTest, TheCanvasMeasuresTextAsTheDrawingContextDrawsIt) {
  TFont& font = Printer().Canvas().Font();
  font.SetName(QStringLiteral("Arial"));
  font.SetHeight(-40);
  const int width40 = Printer().Canvas().TextWidth(QStringLiteral("Measured text"));
  font.SetHeight(-80);
  const int width80 = Printer().Canvas().TextWidth(QStringLiteral("Measured text"));
  EXPECT_NEAR(width80, 2 * width40, 2);
  // Measured again in each font: a width kept from the last font would be wrong.
  font.SetStyle(fsBold);
  EXPECT_GT(Printer().Canvas().TextWidth(QStringLiteral("Measured text")), width80);
  font.SetStyle(0);
  // Fonts taken up again keep their own widths, whichever was measured last.
  for (const int height : {-40, -80, -40}) {
    font.SetHeight(height);
    EXPECT_EQ(Printer().Canvas().TextWidth(QStringLiteral("Measured text")),
              height == -40 ? width40 : width80);
  }
  font.SetHeight(-80);
  QImage image = WhiteImage(10, 10);
  QPainter painter(&image);
  DrawingContext context(painter);
  context.SelectFont(font.ToQFont());
  EXPECT_EQ(context.TextWidth(QStringLiteral("Measured text")), width80);
  EXPECT_EQ(Printer().Canvas().TextHeight(QStringLiteral("Hg")), context.TextHeight());
}

TEST_F(PrintersTest, TheCanvasFontIsAtThePrintersResolutionAndKeepsItsPointSize) {
  TFont& font = Printer().Canvas().Font();
  EXPECT_EQ(font.PixelsPerInch(), 300);
  font.SetName(QStringLiteral("Arial"));
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -50);
  Printer().SetPdfOutput(Target(), 600);
  EXPECT_EQ(Printer().Canvas().Font().PixelsPerInch(), 600);
  EXPECT_EQ(Printer().Canvas().Font().Size(), 12);
  EXPECT_EQ(Printer().Canvas().Font().Height(), -100);
}

}  // namespace

namespace {

// Documents of one print action on the PDF destination: sheets carry "Document d sheet s".
void PrintDocument(int number, int sheets) {
  Printer().BeginDoc(QStringLiteral("Action"));
  for (int sheet = 1; sheet <= sheets; ++sheet) {
    if (sheet > 1) Printer().NewPage();
    Printer().Canvas().Painter()->drawText(100, 200,
                                           QStringLiteral("Document %1 sheet %2").arg(number).arg(sheet));
  }
  Printer().EndDoc();
}

TEST_F(PrintersTest, EveryDocumentOfAnActionLandsInTheOnePdfInOrder) {
  {
    TPrintAction action;
    for (int document = 1; document <= 3; ++document) PrintDocument(document, 2);
    EXPECT_FALSE(QFile::exists(Target())) << "the file is written when the action ends";
    action.Finish();
  }
  ASSERT_EQ(PdfPageCount(Target()), 6);
  for (int page = 1; page <= 6; ++page) {
    EXPECT_TRUE(PdfPageText(Target(), page)
                    .contains(QStringLiteral("Document %1 sheet %2").arg((page + 1) / 2).arg(2 - page % 2)))
        << "page " << page;
  }
  EXPECT_TRUE(SpoolFiles().isEmpty());
}

TEST_F(PrintersTest, AnActionWithAnAbortedDocumentOrLeftUnfinishedWritesNoFile) {
  QFile existing(Target());
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("what the user had");
  existing.close();
  for (const bool abortOne : {true, false}) {
    TPrintAction action;
    PrintDocument(1, 1);
    Printer().BeginDoc();
    if (abortOne) {
      Printer().Abort();
      EXPECT_TRUE(Printer().Aborted());
      PrintDocument(3, 1);
      action.Finish();
    }
    // Without Finish the action ends as an exception would end it.
  }
  ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
  EXPECT_EQ(existing.readAll(), QByteArray("what the user had"));
  EXPECT_FALSE(Printer().Printing());
  EXPECT_TRUE(SpoolFiles().isEmpty());
}

}  // namespace
