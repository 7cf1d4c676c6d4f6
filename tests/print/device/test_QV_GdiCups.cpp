#include "print/device/QV_Gdi.h"
#include "tests/print/device/PageTestSupport.h"

#include <QDateTime>
#include <QHash>
#include <QPageSize>
#include <cups/cups.h>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Prints through the real CUPS queue named in QUENARY_CUPS_PRINTER (scripts/with-print-queue.sh sets one
// up with the cups-pdf backend, which writes each job as a PDF into $HOME/PDF).
class CupsQueueTest : public ::testing::Test {
protected:
  void SetUp() override {
    queue_ = qEnvironmentVariable("QUENARY_CUPS_PRINTER");
    if (queue_.isEmpty()) {
      GTEST_SKIP()
          << "QUENARY_CUPS_PRINTER is not set; run under scripts/with-print-queue.sh to print through CUPS";
    }
    Printer().RefreshPrinters();
    const int index = static_cast<int>(Printer().Printers().indexOf(queue_));
    ASSERT_GE(index, 0) << "the queue " << queue_.toStdString() << " is not listed";
    Printer().SetPrinterIndex(index);
    Printer().SetOrientation(poPortrait);
    outputFolder_ = QDir(QDir::homePath()).filePath(QStringLiteral("PDF"));
    before_ = QDir(outputFolder_).entryList({QStringLiteral("*.pdf")}, QDir::Files);
  }
  void TearDown() override {
    if (!created_.isEmpty()) QFile::remove(created_);
    Printer().SetTitle(QString());
    Printer().RefreshPrinters();
    DeletePageFiles(poPrinter);
  }

  /**
   * The PDF cups-pdf wrote for the job titled so, once pdfinfo can read it; empty after a minute without one.
   * Other suites print to the same queue at the same time, so only a file named after the title counts.
   */
  QString WaitForOutput(const QString& title) {
    QElapsedTimer waited;
    for (waited.start(); waited.elapsed() < 60000; QThread::msleep(250)) {
      for (const QString& name : QDir(outputFolder_).entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
        const QString path = QDir(outputFolder_).filePath(name);
        if (!before_.contains(name) && name.contains(title) && PdfPageCount(path) > 0) return created_ = path;
      }
    }
    return QString();
  }

  /** The attributes the scheduler keeps for the newest job titled so, as text by name; empty when none. */
  static QHash<QString, QString> JobAttributes(const QString& title) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    int id = 0;
    for (int index = 0; index < count; ++index) {
      if (QString::fromUtf8(jobs[index].title) == title) id = std::max(id, jobs[index].id);
    }
    cupsFreeJobs(count, jobs);
    QHash<QString, QString> attributes;
    if (id == 0) return attributes;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = QStringLiteral("ipp://localhost/jobs/%1").arg(id).toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute != nullptr;
         attribute = ippNextAttribute(response)) {
      if (ippGetName(attribute) == nullptr) continue;
      char text[1024];
      ippAttributeString(attribute, text, sizeof text);
      attributes.insert(QString::fromUtf8(ippGetName(attribute)), QString::fromUtf8(text));
    }
    ippDelete(response);
    return attributes;
  }

  QString queue_;
  QString outputFolder_;
  QStringList before_;
  QString created_;
};

TEST_F(CupsQueueTest, TheQueueLaysOutAtItsOwnResolution) {
  EXPECT_EQ(Printer().PrinterName(), queue_);
  EXPECT_GE(Printer().ResolutionX(), 150);
  EXPECT_LE(Printer().ResolutionX(), 600) << "the queue's default, not Qt's 1200 dpi";
  EXPECT_GT(Printer().PageHeight(), Printer().PageWidth());
}

TEST_F(CupsQueueTest, FourRecordedPagesArriveAsOneFourPageJob) {
  const QString title = QStringLiteral("QuenaryTest%1").arg(QDateTime::currentMSecsSinceEpoch());
  Printer().SetTitle(title);
  TGdi gdi(poPrinter);
  gdi.ClearPages();
  gdi.BeginDocument(clWhite, QStringLiteral("Queue test"), QString(), 100.0);
  for (int page = 1; page <= 4; ++page) {
    if (page > 1) gdi.NewPage();
    gdi.SetSolidPen(1, clBlack);
    gdi.FrameBox(100, 100, 1000, 600, 2, 2, 2, 2);
    gdi.TextAt(200, 300, QStringLiteral("Page %1 through CUPS").arg(page));
  }
  gdi.EndPage();
  gdi.PrintPages(false);
  EXPECT_FALSE(Printer().Printing());
  const QString output = WaitForOutput(title);
  ASSERT_FALSE(output.isEmpty()) << "no PDF appeared in " << outputFolder_.toStdString()
                                 << " within a minute";
  EXPECT_EQ(PdfPageCount(output), 4);
}

// What the print dialog chose goes with the document, so the printer makes the copies and picks the pages.
TEST_F(CupsQueueTest, CopiesPagesSidesAndPaperGoWithTheJob) {
  const QString title = QStringLiteral("QuenaryOptions%1").arg(QDateTime::currentMSecsSinceEpoch());
  Printer().SetTitle(title);
  Printer().SetPaperSize(QPageSize(QPageSize::Letter));
  Printer().SetDuplex(TDuplex::LongEdge);
  TGdi gdi(poPrinter);
  gdi.ClearPages();
  gdi.BeginDocument(clWhite, QStringLiteral("Queue options"), QString(), 100.0);
  for (int page = 1; page <= 3; ++page) {
    if (page > 1) gdi.NewPage();
    gdi.TextAt(200, 300, QStringLiteral("Page %1").arg(page));
  }
  gdi.EndPage();
  TPrintJobOptions options;
  options.Copies = 2;
  options.Collate = false;
  options.PageRanges = QStringLiteral("2-3");
  EXPECT_EQ(gdi.PrintPages(false, options), 2);
  const QHash<QString, QString> job = JobAttributes(title);
  QStringList shown;
  for (auto attribute = job.begin(); attribute != job.end(); ++attribute)
    shown << attribute.key() + QLatin1Char('=') + attribute.value();
  const std::string all = shown.join(QStringLiteral("; ")).toStdString();
  EXPECT_EQ(job.value(QStringLiteral("copies")), QStringLiteral("2")) << all;
  EXPECT_EQ(job.value(QStringLiteral("page-ranges")), QStringLiteral("2-3")) << all;
  EXPECT_EQ(job.value(QStringLiteral("sides")), QStringLiteral("two-sided-long-edge")) << all;
  // The queue names its paper in its own words (cups-pdf calls Letter "AnsiA").
  ASSERT_EQ(Printer().PaperSize().id(), QPageSize::Letter);
  EXPECT_EQ(job.value(QStringLiteral("media")), Printer().PaperSize().key()) << all;
  EXPECT_EQ(job.value(QStringLiteral("collate")), QStringLiteral("false")) << all;
  EXPECT_EQ(job.value(QStringLiteral("orientation-requested")), QStringLiteral("portrait")) << all;
  EXPECT_EQ(job.value(QStringLiteral("print-color-mode")), QStringLiteral("color")) << all;
  WaitForOutput(title);
}

}  // namespace
