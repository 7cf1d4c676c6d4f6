// What a job puts on paper: bands, backdrop, the captured window, and the copies.
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/print/engine/EngineTestSupport.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

namespace {

TEST_F(PrintJobTest, BandTextsStandLeftCentreAndRightWithTheirMacrosOnEveryPage) {
  PassesWin& win = *win_;
  win.HeaderStringLeft = QStringLiteral("HeadLeft");
  win.HeaderStringCenter = QStringLiteral("HeadCentre");
  win.HeaderStringRight = QStringLiteral("HeadRight@page");
  win.FooterString = QStringLiteral("Foot@PAGE @page");
  win.FooterStringLeft = QStringLiteral("Corner@Page");
  win.FooterStringRight = QStringLiteral("Side@pAgE");
  PrintPages(2);

  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 2);
  const double pageWidth = Points(Printer().PageWidth());
  const double border = 36.0;  // half an inch
  QRectF firstHeader;
  for (int page = 0; page < 2; ++page) {
    const QString number = QString::number(page + 1);
    const QRectF left = pdf.Find(page, QStringLiteral("HeadLeft"));
    const QRectF centre = pdf.Find(page, QStringLiteral("HeadCentre"));
    const QRectF right = pdf.Find(page, QStringLiteral("HeadRight") + number);
    ASSERT_FALSE(left.isEmpty() || centre.isEmpty() || right.isEmpty()) << pdf.Text(page).toStdString();
    EXPECT_NEAR(left.left(), border + Points(20), 1.5);
    EXPECT_NEAR(centre.center().x(), (border + pageWidth - border) / 2, 1.5);
    EXPECT_GT(right.right(), pageWidth - border - 20);
    EXPECT_LT(right.right(), pageWidth - border);
    if (page == 0) firstHeader = left;
    EXPECT_NEAR(left.height(), firstHeader.height(), 0.01) << "the header is one size on every page";

    EXPECT_FALSE(pdf.Find(page, QStringLiteral("Foot") + number).isEmpty()) << "only the first macro";
    EXPECT_FALSE(pdf.Find(page, QStringLiteral("@page")).isEmpty());
    const QRectF corner = pdf.Find(page, QStringLiteral("Corner") + number);
    const QRectF side = pdf.Find(page, QStringLiteral("Side") + number);
    ASSERT_FALSE(corner.isEmpty() || side.isEmpty()) << pdf.Text(page).toStdString();
    EXPECT_LT(corner.left(), border + 10);
    EXPECT_GT(side.right(), pageWidth - border - 10);
    EXPECT_GT(corner.top(), Points(Printer().PageHeight()) * 0.9) << "the footer sits at the bottom";
  }
}

TEST_F(PrintJobTest, ADisabledHeaderLeavesNoTraceWhileTheFooterStays) {
  win_->HeaderEnabled = false;
  win_->HeaderFilled = true;
  win_->HeaderOutlined = true;
  win_->Brush.Color = clRed;
  win_->HeaderStringLeft = QStringLiteral("Hidden");
  win_->FooterString = QStringLiteral("Shown");
  PrintPages(2);
  const PdfReader pdf(PdfFile());
  EXPECT_TRUE(pdf.Find(0, QStringLiteral("Hidden")).isEmpty());
  EXPECT_FALSE(pdf.Find(0, QStringLiteral("Shown")).isEmpty());
  const QImage page = pdf.Render(0, Dpi);
  EXPECT_FALSE(ContainsColour(page, QRect(0, 0, page.width(), Dpi), qRgb(255, 0, 0)));
}

struct BackdropCase {
  TUnits units;
  double perUnit;  // printer pixels per unit at 300 dpi
};

class BackdropTest : public PrintJobTest, public ::testing::WithParamInterface<BackdropCase> {};

TEST_P(BackdropTest, LabelsAndTicksStandAtTheirUnitsWithOnePhysicalLength) {
  const BackdropCase unit = GetParam();
  win_->GridBackDrop = true;
  win_->GridBackDropUnits = unit.units;
  PrintPages(2);
  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 2);
  for (int page = 0; page < 2; ++page) {
    const QRectF one = pdf.Find(page, QStringLiteral("1"));
    ASSERT_FALSE(one.isEmpty()) << "page " << page;
    EXPECT_NEAR(one.left(), Points(1.05 * unit.perUnit), 2.0);
    const QImage image = pdf.Render(page, Dpi);
    const int band = Dpi / 4;  // a quarter inch in both units
    const auto x = [&unit](double units) { return static_cast<int>(std::lround(units * unit.perUnit)); };
    EXPECT_EQ(InkRows(image, x(2), 0, band + 10), Span(0, band)) << "whole-unit tick from the edge";
    EXPECT_EQ(InkRows(image, x(2.25), band / 2, band + 10), Span(3 * Dpi / 16, band)) << "quarter tick";
    EXPECT_EQ(InkRows(image, x(2.5), band / 4, band + 10), Span(std::lround(Dpi / 8.0), band)) << "half tick";
    const int y = static_cast<int>(std::lround(3 * unit.perUnit));
    EXPECT_EQ(InkColumns(image, y, 0, band + 10), Span(0, band)) << "left edge, whole-unit tick";
  }
}

INSTANTIATE_TEST_SUITE_P(Units, BackdropTest,
                         ::testing::Values(BackdropCase{poInches, 300.0},
                                           BackdropCase{poCentimetres, 300 / 2.54}));

TEST_F(PrintJobTest, ExecuteCapturesAFormOneInchFromTheCornerAtPrinterScale) {
  TForm form;
  form.SetColor(clWhite);
  form.SetClientSize(192, 96);
  SolidPanel(&form, QRect(48, 24, 96, 48), clBlack);
  auto* caption = new TLabel(&form);
  caption->SetCaption(QStringLiteral("Captured"));
  caption->SetLeft(4);
  caption->SetTop(78);
  form.show();
  win_->SetExecuteWinControl(&form);
  win_->Execute();

  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 1);
  const QImage page = pdf.Render(0, Dpi);
  const double scale = Dpi / 96.0;
  const QRect black = InkBounds(page, QRect(Dpi, Dpi, 192 * 3, 76 * 3));
  EXPECT_NEAR(black.left(), Dpi + 48 * scale, 2);
  EXPECT_NEAR(black.top(), Dpi + 24 * scale, 2);
  EXPECT_NEAR(black.width(), 96 * scale, 2);
  EXPECT_NEAR(black.height(), 48 * scale, 2);
  const QRectF text = pdf.Find(0, QStringLiteral("Captured"));
  ASSERT_FALSE(text.isEmpty()) << pdf.Text(0).toStdString();
  EXPECT_NEAR(text.left(), Points(Dpi + 4 * scale), 3);
}

TEST_F(PrintJobTest, ThreeCopiesLandOneAfterTheOtherInTheOnePdf) {
  PassesWin& win = *win_;
  win.Copies = 3;
  win.FooterStringRight = QStringLiteral("Sheet @Page");
  PrintPages(2);
  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 6);
  for (int page = 0; page < 6; ++page)
    EXPECT_FALSE(pdf.Find(page, QStringLiteral("%1").arg(page % 2 + 1)).isEmpty()) << "page " << page;

  win.Copies = 0;
  QFile::remove(PdfFile());
  PrintPages(2);
  EXPECT_FALSE(QFile::exists(PdfFile())) << "no copies, nothing sent";
  EXPECT_TRUE(PageFilesLeft().isEmpty());
}

TEST_F(PrintJobTest, ThreeCopiesOnACupsQueueAreThreeJobs) {
  const QString queue = qEnvironmentVariable("QUENARY_CUPS_PRINTER");
  if (queue.isEmpty())
    GTEST_SKIP() << "QUENARY_CUPS_PRINTER is not set; run under scripts/with-print-queue.sh";
  Printer().RefreshPrinters();
  const int index = static_cast<int>(Printer().Printers().indexOf(queue));
  ASSERT_GE(index, 0);
  Printer().SetPrinterIndex(index);
  const QString title = QStringLiteral("QuenaryCopies%1").arg(QDateTime::currentMSecsSinceEpoch());
  Printer().SetTitle(title);
  win_->Copies = 3;
  PrintPages(1);
  Printer().SetTitle(QString());
  // cups-pdf writes each job to a file of its own named after the title, a few seconds later: three files
  // are three jobs (one job of three copies would be one file). The queue's own count says nothing: other
  // test programs print on it meanwhile, and the scheduler keeps only its latest 500 jobs.
  const QDir output(QDir(QDir::homePath()).filePath(QStringLiteral("PDF")));
  const QStringList pattern{title + QStringLiteral("*.pdf")};
  QElapsedTimer waited;
  for (waited.start(); output.entryList(pattern, QDir::Files).size() < 3 && waited.elapsed() < 60000;)
    QThread::msleep(250);
  const QStringList files = output.entryList(pattern, QDir::Files);
  EXPECT_EQ(files.size(), 3);
  for (const QString& file : files) QFile::remove(output.filePath(file));
}

}  // namespace
