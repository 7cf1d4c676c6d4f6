#include "platform/DrawingContext.h"
#include "platform/Registry.h"
#include "print/device/PagewickIni.h"
#include "print/device/QV_Gdi.h"
#include "print/dialogs/Pagewick.h"
#include "print/shared/QV_MFunc.h"
#include "tests/print/device/PageTampering.h"
#include "tests/print/device/PageTestSupport.h"
#include "print/device/RecordedPages.h"
#include "tests/support/PdfReader.h"
#include "tests/support/ProgramRun.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using PageLifeTest = RecordingTest;

TEST_F(PageLifeTest, PagesReachTheirFilesWhenTheyCloseAndStartTransparentWithTheLastFont) {
  EXPECT_EQ(gdi_->PageNumber(), 0);
  Begin();
  EXPECT_EQ(gdi_->PageNumber(), 1);
  EXPECT_EQ(gdi_->FontHeight(), 40) << "Arial at the canvas font's height";
  EXPECT_FALSE(QFile::exists(PageFileNameFor(1, poPrinter))) << "a page is on disk only once it is closed";
  gdi_->TextAt(100, 100, QStringLiteral("one"));
  gdi_->SetFontStyled(QStringLiteral("Courier New"), 30, true, false, false);
  gdi_->NewPage();
  EXPECT_EQ(gdi_->PageNumber(), 2);
  EXPECT_EQ(gdi_->PageFileName(), PageFileNameFor(2, poPrinter));
  EXPECT_EQ(gdi_->FontName(), QStringLiteral("Courier New"));
  EXPECT_TRUE(gdi_->Bold());
  ASSERT_NE(gdi_->Handle(), nullptr);
  EXPECT_EQ(gdi_->Handle()->BackgroundMode(), TBackgroundMode::Transparent);
  EXPECT_EQ(gdi_->Handle()->BackgroundColor(), QColor(0xC0, 0xC0, 0xC0));
  gdi_->EndPage();
  EXPECT_EQ(gdi_->Handle(), nullptr);
  // A closed page's file may be written while the next one is drawn; the job's end waits for them all.
  EXPECT_TRUE(QFile::exists(PageFileNameFor(1, poPrinter)));
  EXPECT_EQ(
      QFile::permissions(PageFileNameFor(2, poPrinter)) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
      0);
  EXPECT_FALSE(InkBounds(RenderPage(1, QRect(0, 0, 400, 200))).isNull());
  EXPECT_TRUE(InkBounds(RenderPage(2, QRect(0, 0, 400, 200))).isNull());
}

TEST_F(PageLifeTest, ClearPagesRemovesEveryLeftoverPageAlsoBehindAGap) {
  for (int page : {1, 3, 4}) QFile(PageFileNameFor(page, poPrinter)).open(QIODevice::WriteOnly);
  gdi_->ClearPages();
  EXPECT_EQ(gdi_->PageNumber(), 0);
  for (int page : {1, 3, 4}) EXPECT_FALSE(QFile::exists(PageFileNameFor(page, poPrinter))) << page;
}

// Page 1's file is written while later pages are drawn: its failure stops the job at a later page's close
// at the latest, naming page 1, and no later page gets a file.
TEST_F(PageLifeTest, APageFileThatCannotBeWrittenFailsTheJobWithItsNameByItsEnd) {
  for (const int pagesAfter : {0, 1, 5}) {
    gdi_->ClearPages();
    Begin();
    QDir().mkpath(PageFileNameFor(1, poPrinter));  // a folder where the file should go
    try {
      for (int page = 0; page < pagesAfter; ++page) {
        gdi_->TextAt(100, 100, QStringLiteral("page"));
        gdi_->NewPage();
      }
      gdi_->EndPage();
      ADD_FAILURE() << pagesAfter << ": page 1 cannot be saved";
    } catch (const Exception& error) {
      EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Cannot create file"))) << error.what();
      EXPECT_TRUE(error.Message().contains(QStringLiteral("PRN001.EMF"))) << error.what();
    }
    EXPECT_EQ(gdi_->Handle(), nullptr) << pagesAfter;
    for (int page = 2; page <= pagesAfter + 1; ++page)
      EXPECT_FALSE(QFile::exists(PageFileNameFor(page, poPrinter))) << pagesAfter << ": page " << page;
    QDir().rmdir(PageFileNameFor(1, poPrinter));
  }
}

TEST_F(PageLifeTest, BeginDocumentWritesTheNineSettingsOfTheJob) {
  Printer().SetPrinters({QStringLiteral("Generic / Text Only"), TPrinter::PdfPrinterName()});
  gdi_ = std::make_unique<TGdi>(poViewer);
  gdi_->SetOrientation(poLandscape);
  gdi_->BeginDocument(clBtnFace, QStringLiteral("My heading"), QString(), 100.0);
  EXPECT_EQ(PagewickIni::PageWidth(), Printer().PageWidth());
  EXPECT_EQ(PagewickIni::PageHeight(), Printer().PageHeight());
  EXPECT_GT(PagewickIni::PageWidth(), PagewickIni::PageHeight());
  EXPECT_EQ(PagewickIni::Orientation(), QStringLiteral("Landscape"));
  EXPECT_EQ(PagewickIni::ViewBackground(), ColorToRGB(clBtnFace));
  EXPECT_EQ(PagewickIni::PreviewHeading(), QStringLiteral("My heading"));
  EXPECT_EQ(PagewickIni::ReadString(QStringLiteral("PrinterName"), QString()), TPrinter::PdfPrinterName());
  EXPECT_EQ(PagewickIni::PrinterIndex(), 1) << "no printer chosen: the default's own index, never -1";
  EXPECT_EQ(PagewickIni::ZoomFactor(), QStringLiteral("100"));
  EXPECT_EQ(PagewickIni::Directory(), QDir::currentPath());
  gdi_->EndPage();
  gdi_->SetOrientation(poPortrait);
  Printer().SetPrinterIndex(0);
  gdi_->BeginDocument(clWhite, QStringLiteral("Again"), QString(), 75.5);
  EXPECT_EQ(PagewickIni::ReadString(QStringLiteral("PrinterName"), QString()),
            QStringLiteral("Generic / Text Only"));
  EXPECT_EQ(PagewickIni::PrinterIndex(), 0);
  EXPECT_EQ(PagewickIni::Orientation(), QStringLiteral("Portrait"));
  EXPECT_EQ(PagewickIni::ZoomFactor(), QStringLiteral("75.5"));
}

// The user keeps notes in the store by hand; a job rewrites its nine settings and leaves everything else.
TEST_F(PageLifeTest, AJobKeepsTheHandEditedLinesOfTheStoreAndWritesItsNineIdentifiersInOrder) {
  const QString store = TRegIniFile::ConfigurationFolder() + QStringLiteral("/Pagewick.Ini");
  {
    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("; my printer notes\n[Printer]\nPrinterName=Old\nstray words\n[Other]\nkey=value\n");
  }
  Begin();
  gdi_->EndPage();
  QFile file(store);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()), QStringLiteral("; my printer notes\n"
                                                              "[Printer]\n"
                                                              "PrinterName=%1\n"
                                                              "PageHeight=%2\n"
                                                              "PageWidth=%3\n"
                                                              "Orientation=Portrait\n"
                                                              "View Background=16777215\n"
                                                              "Preview Heading=Test pages\n"
                                                              "PrinterIndex=0\n"
                                                              "ZoomFactor=100\n"
                                                              "Directory=%4\n"
                                                              "stray words\n"
                                                              "[Other]\n"
                                                              "key=value\n")
                                                   .arg(TPrinter::PdfPrinterName())
                                                   .arg(Printer().PageHeight())
                                                   .arg(Printer().PageWidth())
                                                   .arg(QDir::currentPath()))
      << "the identifier already there keeps its place, the new ones follow in the job's order";
  QFile::remove(store);
}

using HtmlTest = RecordingTest;

TEST_F(HtmlTest, TheHtmlTargetWritesOneFileWithEscapedHeadingAndCells) {
  const QString fileName = scratch_.File(QStringLiteral("export.html"));
  TGdi gdi(poHTML);
  gdi.BeginDocument(clWhite, QStringLiteral("Sales <2024> & \"more\""), fileName, 100.0);
  EXPECT_EQ(gdi.Handle(), nullptr) << "nothing drawn reaches the HTML file";
  gdi.TextAt(10, 10, QStringLiteral("not exported"));
  gdi.WriteHtmlCell(QStringLiteral("12.50"));
  gdi.NewPage();
  EXPECT_EQ(gdi.PageNumber(), 1) << "HTML output has one page";
  gdi.WriteHtmlCell(QStringLiteral("a<b & c>d café"));
  gdi.EndPage();
  gdi.WriteHtmlCell(QStringLiteral("after the end"));
  QFile file(fileName);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(),
            QByteArray("<HTML><HEAD>\r\n"
                       "<TITLE><CENTER>Sales &lt;2024&gt; &amp; &quot;more&quot;</CENTER></TITLE></HEAD>\r\n"
                       "<BODY BGCOLOR=\"#FFFFFF\"><HR> </BODY>\r\n"
                       "<TD>12.50\r\n"
                       "<TD>a&lt;b &amp; c&gt;d caf&#233;\r\n"
                       "</HTML>\r\n"));
  EXPECT_FALSE(QFile::exists(PageFileNameFor(1, poHTML)));
  EXPECT_FALSE(QFile::exists(PageFileNameFor(1, poPrinter)));

  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  WriteHtmlLine(&buffer, QStringLiteral("<TD>x"));
  WriteHtmlLine(nullptr, QStringLiteral("lost"));
  EXPECT_EQ(bytes, QByteArray("<TD>x\r\n"));
}

TEST_F(HtmlTest, ABlankFileNameFailsAndCreatesNothing) {
  TGdi gdi(poHTML);
  for (const QString& name : {QString(), QStringLiteral("  \t ")}) {
    try {
      gdi.BeginDocument(clWhite, QStringLiteral("Heading"), name, 100.0);
      FAIL() << "a blank file name must fail";
    } catch (const ETarnvale& error) {
      EXPECT_EQ(error.Message(), QStringLiteral("HTML filename not specified ") + name);
    }
  }
  EXPECT_TRUE(QDir(scratch_.Path()).entryList(QDir::Files).isEmpty());
}

TEST_F(HtmlTest, AnExportThatCannotBeWrittenWholeFailsAndLeavesTheOldFile) {
  SmallDisk disk(64);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Problem().toStdString();
  const QString fileName = disk.File(QStringLiteral("export.html"));
  WriteBytes(fileName, "last week's export");
  disk.Fill();
  TGdi gdi(poHTML);
  gdi.BeginDocument(clWhite, QStringLiteral("Heading"), fileName, 100.0);
  for (int cell = 0; cell < 2000; ++cell) gdi.WriteHtmlCell(QStringLiteral("cell %1").arg(cell));
  try {
    gdi.EndPage();
    ADD_FAILURE() << "the export fitted on a full disk";
  } catch (const Exception& error) {
    EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Cannot create file \"%1\".").arg(fileName)));
  }
  EXPECT_EQ(FileBytes(fileName), QByteArray("last week's export"));
  EXPECT_EQ(FilesBelow(disk.Path()), (QStringList{".filler", "export.html"}));
}

class PrintPagesTest : public RecordingTest {
protected:
  void RecordPages(int count) {
    Begin();
    for (int page = 1; page <= count; ++page) {
      if (page > 1) gdi_->NewPage();
      gdi_->TextAt(300, 300, QStringLiteral("Recorded page %1").arg(page));
    }
    gdi_->EndPage();
  }
};

TEST_F(PrintPagesTest, FourRecordedPagesBecomeOneDocumentOfFourSheets) {
  RecordPages(4);
  gdi_->PrintPages(false);
  EXPECT_FALSE(Printer().Printing());
  ASSERT_EQ(PdfPageCount(PdfFile()), 4) << "no sheet follows the last page";
  for (int page = 1; page <= 4; ++page) {
    EXPECT_TRUE(PdfPageText(PdfFile(), page).contains(QStringLiteral("Recorded page %1").arg(page))) << page;
  }
}

TEST_F(PrintPagesTest, EveryPageIsPrintedAlsoBeyondAThousandAndOne) {
  RecordPages(1003);
  gdi_->PrintPages(false);
  EXPECT_EQ(PdfPageCount(PdfFile()), 1003);
  EXPECT_TRUE(PdfPageText(PdfFile(), 1003).contains(QStringLiteral("Recorded page 1003")));
}

TEST_F(PrintPagesTest, AnotherInstanceRewritingTheStoreDoesNotTurnTheJobsPaper) {
  RecordPages(2);
  PagewickIni::WriteString(QStringLiteral("Orientation"), QStringLiteral("Landscape"));
  PagewickIni::WriteString(QStringLiteral("PrinterIndex"), QStringLiteral("7"));
  Printer().SetOrientation(poLandscape);
  gdi_->PrintPages(false);
  EXPECT_LT(PdfPageSize(PdfFile()).width(), PdfPageSize(PdfFile()).height()) << "recorded in portrait";
  EXPECT_EQ(PdfPageCount(PdfFile()), 2);
}

// A page gone or spoiled before or while the pages play fails the print with one sentence naming the page;
// no sheet of the document is written, short or blank.
TEST_F(PrintPagesTest, APageGoneOrChangedFailsThePrintNamingItAndNothingIsWritten) {
  const WindowsSeen seen;
  for (const bool whilePlaying : {false, true}) {
    for (const PageTampering& tampering : PageTamperings()) {
      const std::string what = std::string(tampering.Name) + (whilePlaying ? " while playing" : " before");
      gdi_->ClearPages();
      RecordPages(3);
      const QString folder = gdi_->RecordedPages()->Folder();
      // While playing, page 3 is spoiled once page 2 is being played (the status dialog shows it).
      const int spoiled = whilePlaying ? 3 : 2;
      QTimer probe;
      QObject::connect(&probe, &QTimer::timeout, [&] {
        if (PrintDialog1 != nullptr && PrintDialog1->Page->text() == QStringLiteral("2")) {
          probe.stop();
          tampering.Apply(folder, spoiled);
        }
      });
      if (whilePlaying)
        probe.start(0);
      else
        tampering.Apply(folder, spoiled);
      try {
        gdi_->PrintPages(whilePlaying);
        ADD_FAILURE() << what << ": printed";
      } catch (const ETarnvale& error) {
        // Without its folder, no page of the job is left to play.
        const int first = tampering.FolderGone && !whilePlaying ? 1 : spoiled;
        EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Page %1 of 3 cannot be printed: ").arg(first)))
            << what << ": " << error.Message().toStdString();
        EXPECT_EQ(error.Message().contains(QStringLiteral("was removed")), tampering.FolderGone) << what;
        EXPECT_FALSE(error.Message().contains(QStringLiteral("/proc/"))) << "named by the folder's own path";
      }
      EXPECT_FALSE(Printer().Printing()) << what;
      EXPECT_FALSE(QFile::exists(PdfFile())) << what;
    }
  }
}

TEST_F(PrintPagesTest, APageFolderRemovedWhilePagesAreRecordedIsNotMadeAnew) {
  Begin();
  gdi_->NewPage();
  const QString folder = gdi_->RecordedPages()->Folder();
  gdi_->RecordedPages()->Settle();  // page 1's file is made before the folder goes
  QDir(folder).removeRecursively();
  try {
    gdi_->NewPage();
    ADD_FAILURE() << "page 2 was recorded into a folder that is gone";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Page 2 cannot be recorded: the page folder \"%1\" was removed "
                                              "while the job ran; nothing was printed.")
                                   .arg(folder));
  }
  EXPECT_FALSE(QFileInfo::exists(folder)) << "not made again under the job";
}

// A page the program's PDF writer cannot draw (a composition mode PDF lacks) sends the whole document
// through Qt's writer, never a page drawn wrong; pages it can draw go through its own.
TEST_F(PrintPagesTest, PagesThePdfWriterCannotDrawSendTheWholeDocumentThroughQts) {
  for (const bool plain : {true, false}) {
    gdi_->ClearPages();
    Begin();
    gdi_->TextAt(300, 300, QStringLiteral("Recorded page 1"));
    gdi_->NewPage();
    if (!plain) gdi_->Handle()->Painter().setCompositionMode(QPainter::CompositionMode_Multiply);
    gdi_->Handle()->Painter().fillRect(QRect(300, 600, 400, 200), Qt::darkGray);
    gdi_->TextAt(300, 300, QStringLiteral("Recorded page 2"));
    gdi_->EndPage();
    QFile::remove(PdfFile());
    EXPECT_EQ(Printer().PdfWriter(), TPdfWriterKind::Own);
    gdi_->PrintPages(false);
    const PdfReader pdf(PdfFile());
    ASSERT_EQ(pdf.PageCount(), 2) << plain;
    EXPECT_EQ(pdf.Information(QStringLiteral("Producer")).startsWith(QLatin1String("Qt")), !plain);
    EXPECT_TRUE(pdf.Text(0).contains(QStringLiteral("Recorded page 1"))) << plain;
    EXPECT_EQ(Printer().PdfWriter(), TPdfWriterKind::Own) << "the choice was this document's alone";
  }
}

TEST_F(PrintPagesTest, NothingIsSentWhileThePrinterIsBusyOrWhenNoPageWasRecorded) {
  gdi_->PrintPages(false);
  EXPECT_FALSE(QFile::exists(PdfFile())) << "no pages, not even a blank sheet";
  RecordPages(2);
  Printer().BeginDoc();
  gdi_->PrintPages(false);
  EXPECT_TRUE(Printer().Printing());
  Printer().Abort();
  EXPECT_FALSE(QFile::exists(PdfFile()));
}

TEST_F(PrintPagesTest, TheStatusDialogShowsPrintingAndEachPageAndItsAbortSendsNothing) {
  const WindowsSeen seen;
  RecordPages(3);
  QStringList pages;
  QString status;
  bool abort = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (PrintDialog1 == nullptr || !Printer().Printing()) return;
    status = PrintDialog1->Status->text();
    if (pages.isEmpty() || pages.last() != PrintDialog1->Page->text()) pages << PrintDialog1->Page->text();
    if (abort && pages.last() == QStringLiteral("2")) PrintDialog1->CancelBtn->click();
  });
  probe.start(0);
  gdi_->PrintPages(true);
  EXPECT_EQ(PrintDialog1, nullptr);
  EXPECT_EQ(status, QStringLiteral("Printing..."));
  EXPECT_EQ(pages, (QStringList{"1", "2", "3"}));
  EXPECT_EQ(PdfPageCount(PdfFile()), 3);

  QFile::remove(PdfFile());
  pages.clear();
  abort = true;
  gdi_->PrintPages(true);
  probe.stop();
  EXPECT_EQ(pages, (QStringList{"1", "2"})) << "no page after the abort";
  EXPECT_FALSE(Printer().Printing());
  EXPECT_TRUE(Printer().Aborted());
  EXPECT_EQ(PrintDialog1, nullptr);
  EXPECT_FALSE(QFile::exists(PdfFile()));
}

}  // namespace
