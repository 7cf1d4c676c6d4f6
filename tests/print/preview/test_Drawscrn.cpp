#include "platform/DrawingContext.h"
#include "platform/PageRecording.h"
#include "platform/SysUtils.h"
#include "print/dialogs/Pagewick.h"
#include "print/preview/Drawscrn.h"
#include "print/shared/QV_MFunc.h"
#include "print/device/RecordedPages.h"
#include "tests/print/device/PageTampering.h"
#include "tests/print/preview/PreviewTestSupport.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/support/PdfReader.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cups/cups.h>
#include <memory>

namespace {

/** The window around a surface: keeps the numbered messages it is sent. */
class MessageWindow : public QWidget {
public:
  bool event(QEvent* event) override {
    if (event->type() == static_cast<QEvent::Type>(ZoomMessage))
      zooms.push_back(static_cast<int>(static_cast<TWindowMessage*>(event)->WParam));
    return QWidget::event(event);
  }
  std::vector<int> zooms;  // a std::vector: Qt 6.4 compares two empty lists through a null pointer
};

class SurfaceTest : public PreviewTest {
protected:
  std::unique_ptr<TDrawIt> Surface() { return std::make_unique<TDrawIt>(&window_); }
  static QImage Render(QWidget& surface, double ratio) {
    QImage image((QSizeF(surface.size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::red);
    surface.render(&image);
    return image;
  }
  MessageWindow window_;
};

TEST_F(SurfaceTest, CountsEveryRecordedPageUpToTheFirstGap) {
  const auto surface = Surface();
  EXPECT_EQ(surface->CountPages(), 0);
  RecordPages(1, 3);
  EXPECT_EQ(surface->CountPages(), 3);
  RecordPages(5, 5);
  EXPECT_EQ(surface->CountPages(), 3) << "page 5 lies behind a gap";
  RecordPages(4, 1005);
  EXPECT_EQ(surface->CountPages(), 1005) << "no limit at 1000 pages";
}

TEST_F(SurfaceTest, GoesToTheNearestRecordedPageAndStaysPutAtTheEnds) {
  RecordPages(1, 3);
  const auto surface = Surface();
  struct Case {
    int asked;
    int shown;
  };
  for (const Case& test :
       {Case{9, 3}, Case{2, 2}, Case{0, 1}, Case{-4, 1}, Case{2147483647, 3}, Case{-2147483647 - 1, 1}}) {
    EXPECT_EQ(surface->GoToPage(test.asked), test.shown) << test.asked;
    EXPECT_EQ(surface->ShownPage(), test.shown);
  }
  surface->GoToPage(3);
  surface->ShowNextPage();
  EXPECT_EQ(surface->ShownPage(), 3) << "next on the last page";
  surface->GoToPage(1);
  surface->ShowPriorPage();
  EXPECT_EQ(surface->ShownPage(), 1) << "previous on page 1";
  surface->ShowNextPage();
  EXPECT_EQ(surface->ShownPage(), 2);
}

TEST_F(SurfaceTest, ZoomSizesTheSheetFromTheStoredPageAndCentresIt) {
  const auto surface = Surface();
  EXPECT_EQ(surface->size(), QSize(850, 1102)) << "850 wide, tall as the page's ratio";
  struct Case {
    int reference;
    double percentage;
    QRect geometry;
  };
  // 2400 x 3112 pixels: 850 x 1122 at 100 %; centred in the reference width less 10, else 35 in.
  for (const Case& test : {Case{1000, 100, QRect(70, 0, 850, 1122)}, Case{500, 100, QRect(35, 0, 850, 1122)},
                           Case{1000, 50, QRect(282, 0, 425, 571)}, Case{2000, 250, QRect(35, 0, 2125, 2775)},
                           Case{300, 10, QRect(102, 0, 85, 130)}}) {
    surface->SetZoom(test.reference, test.percentage);
    EXPECT_EQ(surface->geometry(), test.geometry) << test.percentage << "% in " << test.reference;
    EXPECT_EQ(surface->ZoomLevel(), static_cast<int>(test.percentage));
  }
}

TEST_F(SurfaceTest, AStoredPageSizeThatIsNoPositiveWholeNumberStopsTheCreation) {
  struct Case {
    const char* width;
    const char* message;
  };
  for (const Case& test : {Case{"wide", "'wide' is not a valid integer value"},
                           Case{" 2400", "' 2400' is not a valid integer value"},
                           Case{"0", "The settings store gives a page of 0 by 3112 pixels"}}) {
    PagewickIni::WriteString(QStringLiteral("PageWidth"), QString::fromLatin1(test.width));
    try {
      Surface();
      ADD_FAILURE() << "created with PageWidth " << test.width;
    } catch (const Exception& error) {
      EXPECT_TRUE(error.Message().startsWith(QString::fromLatin1(test.message)))
          << error.Message().toStdString();
    }
  }
}

TEST_F(SurfaceTest, ClicksStepTheZoomAndTellTheWindowWhichSizeToApply) {
  const auto surface = Surface();
  struct Case {
    double from;
    Qt::MouseButton button;
    int to;
    bool told;
  };
  for (const Case& test : {Case{100, Qt::LeftButton, 75, true}, Case{100, Qt::RightButton, 150, true},
                           Case{300, Qt::RightButton, 300, true}, Case{10, Qt::LeftButton, 10, true},
                           Case{250, Qt::RightButton, 300, true}, Case{33, Qt::LeftButton, 33, true},
                           Case{100, Qt::MiddleButton, 100, false}}) {
    surface->SetZoom(1000, test.from);
    window_.zooms.clear();
    QTest::mouseClick(surface.get(), test.button, Qt::NoModifier, QPoint(40, 40));
    EXPECT_EQ(surface->ZoomLevel(), test.to) << test.from << " button " << test.button;
    EXPECT_EQ(window_.zooms, test.told ? std::vector<int>{test.to} : std::vector<int>{}) << test.from;
  }
}

TEST_F(SurfaceTest, PaintsTheSheetAndMapsThePageOntoItAtOneScale) {
  const auto surface = Surface();
  surface->resize(850, 1122);
  const QImage empty = Render(*surface, 1);
  EXPECT_EQ(empty.pixelColor(400, 500), QColor(Qt::white)) << "no page file: the empty sheet";
  EXPECT_EQ(empty.pixelColor(0, 500), QColor(Qt::black));
  for (const int x : {847, 848, 849}) EXPECT_EQ(empty.pixelColor(x, 500), QColor(Qt::black)) << x;
  EXPECT_EQ(empty.pixelColor(1, 500), QColor(Qt::white)) << "a thin edge left and top, a heavier one right";

  RecordPages(1, 1);
  const QImage page = Render(*surface, 1);
  // The box (600..1400, 1200..1600) at the scale min(820 / 2400, 1092 / 3112) from (5, 5).
  const double scale = 820.0 / 2400;
  EXPECT_EQ(page.pixelColor(5 + int(1000 * scale), 5 + int(1400 * scale)), QColor(Qt::black));
  EXPECT_EQ(page.pixelColor(5 + int(560 * scale), 5 + int(1400 * scale)), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(5 + int(1000 * scale), 5 + int(1160 * scale)), QColor(Qt::white));
}

// The surface prepares the pages next to the one shown while the user reads; a page turned to must still be
// that page as recorded, also when it was recorded anew after it was prepared.
TEST_F(SurfaceTest, EachPageTurnedToShowsItsOwnRecordingEvenWhenRecordedAnewAfterItWasPrepared) {
  const auto recordBox = [](int number, int left) {
    PagePicture page;
    page.BeginRecording().fillRect(left, 1200, 400, 400, Qt::black);
    page.EndRecording();
    page.Save(PageFileNameFor(number, poViewer));
  };
  for (int number = 1; number <= 3; ++number) recordBox(number, 400 * number);
  const auto surface = Surface();
  surface->resize(850, 1122);
  const double scale = 820.0 / 2400;
  const auto boxShownAt = [&](int left) {
    const QImage shown = Render(*surface, 1);
    QCoreApplication::processEvents();  // the reading pause, in which the neighbours are prepared
    return shown.pixelColor(5 + int((left + 200) * scale), 5 + int(1400 * scale)) == QColor(Qt::black);
  };
  EXPECT_TRUE(boxShownAt(400));
  surface->ShowNextPage();
  EXPECT_TRUE(boxShownAt(800));
  EXPECT_FALSE(boxShownAt(400));
  recordBox(3, 1600);
  surface->ShowNextPage();
  EXPECT_TRUE(boxShownAt(1600)) << "page 3 as recorded last";
  EXPECT_FALSE(boxShownAt(1200));
  surface->ShowPriorPage();
  EXPECT_TRUE(boxShownAt(800));
}

// A page shows the count of the pages it is shown among, in a job's preview and in a folder of pages alike,
// where the number written out would stand.
TEST_F(SurfaceTest, APageShowsTheCountOfThePagesItIsShownAmong) {
  const auto record = [](int number, const QString& count) {
    PagePicture page;
    {
      DrawingContext context(page.BeginRecording());
      QFont font(QStringLiteral("Arial"));
      font.setPixelSize(100);
      context.SelectFont(font);
      context.SetTextAlign(TTextAlign::Right);
      context.TextOut(2200, 400, QStringLiteral("Page %1 of %2").arg(number).arg(count));
    }
    page.EndRecording();
    page.Save(PageFileNameFor(number, poViewer));
  };
  const auto secondPage = [this] {
    const auto surface = Surface();
    surface->resize(850, 1122);
    surface->ShowNextPage();
    return Render(*surface, 1);
  };
  for (int number = 1; number <= 3; ++number) record(number, QStringLiteral("3"));
  const QImage written = secondPage();
  for (int number = 1; number <= 3; ++number) record(number, QString(QChar(PageCountMark)));
  EXPECT_EQ(secondPage(), written);
  record(4, QString(QChar(PageCountMark)));
  EXPECT_NE(secondPage(), written) << "a fourth page makes it \"of 4\"";
}

// Runs the current test again in a program of its own whose screen has twice the pixels of its points, as a
// high-resolution desktop has; true there, false (after checking the run passed) here.
bool OnADoubledScreen(const ScratchDirectory& scratch) {
  if (qEnvironmentVariableIsSet("QUENARY_TEST_SCREEN_DPR")) return true;
  RunCurrentTestOnScreen(
      scratch.File(QStringLiteral("screen.json")),
      "{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": 1600, \"height\": 1200, "
      "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 2}]}",
      {{QStringLiteral("QUENARY_TEST_SCREEN_DPR"), QStringLiteral("2")}});
  return false;
}

TEST_F(SurfaceTest, APageIsDrawnAtTheScreensOwnResolutionWithEveryThinRuleShown) {
  // A 1000 x 1000 page on a 530 x 530 sheet: half a screen point per printer pixel.
  PagewickIni::WriteString(QStringLiteral("PageWidth"), QStringLiteral("1000"));
  PagewickIni::WriteString(QStringLiteral("PageHeight"), QStringLiteral("1000"));
  PagePicture rule;
  QPainter& painter = rule.BeginRecording();
  painter.fillRect(200, 0, 1, 1000, Qt::black);  // a one-printer-pixel rule at x = 200
  painter.fillRect(400, 0, 2, 1000, Qt::black);  // and a two-pixel one at x = 400
  rule.EndRecording();
  rule.Save(PageFileNameFor(1, poViewer));
  const auto surface = Surface();
  surface->resize(530, 530);
  window_.resize(600, 600);
  window_.show();
  const bool doubled = qEnvironmentVariableIsSet("QUENARY_TEST_SCREEN_DPR");
  const QImage shown = surface->grab().toImage();
  ASSERT_EQ(shown.size(), doubled ? QSize(1060, 1060) : QSize(530, 530));
  if (!doubled) {
    EXPECT_LT(shown.pixelColor(105, 300).lightness(), 250) << "a rule thinner than a pixel still shows";
    EXPECT_GT(shown.pixelColor(105, 300).lightness(), 60) << "as a share of grey";
    EXPECT_LT(shown.pixelColor(205, 300).lightness(), 40);
  } else {
    // Twice the pixels: the one-pixel rule is one whole screen pixel and the two-pixel rule two, with
    // nothing beside them touched. The page was drawn for this screen, not enlarged from a picture.
    EXPECT_LT(shown.pixelColor(210, 600).lightness(), 40);
    for (const int x : {209, 211, 409, 412}) EXPECT_GT(shown.pixelColor(x, 600).lightness(), 215) << x;
    for (const int x : {410, 411}) EXPECT_LT(shown.pixelColor(x, 600).lightness(), 40) << x;
  }
  if (!doubled) OnADoubledScreen(scratch_);
}

TEST_F(SurfaceTest, FreeingTheSurfaceDeletesThePageFiles) {
  RecordPages(1, 4);
  Surface().reset();
  EXPECT_EQ(PageFilesLeft(), 0);
}

class PrintFromPreviewTest : public SurfaceTest {
protected:
  /** The page numbers printed on each page of the PDF, in order. */
  QStringList PrintedPages() const {
    const PdfReader pdf(PdfFile());
    QStringList pages;
    for (int index = 0; index < pdf.PageCount(); ++index) pages.append(pdf.Text(index));
    return pages;
  }
};

TEST_F(PrintFromPreviewTest, PrintsTheChosenPagesInOrderIntoTheOnePdfFile) {
  const WindowsSeen seen;
  RecordPages(1, 4);
  const auto surface = Surface();
  struct Case {
    int mode;
    const char* selection;
    QStringList printed;
  };
  const Case cases[] = {
      {0, "", {"Page 1", "Page 2", "Page 3", "Page 4"}},
      {1, "", {"Page 1", "Page 3"}},
      {2, "", {"Page 2", "Page 4"}},
      {0, "3,2-3", {"Page 2", "Page 3"}},
      {1, "2", {}},
      {0, "14-7", {}},
  };
  for (const Case& test : cases) {
    QFile::remove(PdfFile());
    surface->PrintFromPreview(test.mode, QString::fromLatin1(test.selection));
    EXPECT_EQ(PrintedPages(), test.printed) << "mode " << test.mode << " \"" << test.selection << "\"";
    EXPECT_EQ(PrintDialog1, nullptr) << "the status dialog goes when the print ends";
    EXPECT_FALSE(Printer().Printing());
  }
  EXPECT_EQ(PageFilesLeft(), 4) << "printing keeps the pages for the preview";
}

TEST_F(PrintFromPreviewTest, ABadSelectionEntryStopsThePrintWithTheConversionMessage) {
  RecordPages(1, 3);
  const auto surface = Surface();
  try {
    surface->PrintFromPreview(0, QStringLiteral("1,3 "));
    ADD_FAILURE() << "printed a selection with a trailing blank";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("'3 ' is not a valid integer value"));
  }
  EXPECT_EQ(PrintDialog1, nullptr);
  EXPECT_FALSE(Printer().Printing());
  EXPECT_FALSE(QFile::exists(PdfFile())) << "into a PDF file a broken print action writes nothing";
}

// The preview a job opens shows and prints that job's pages by that job's settings, whatever the folder and
// the store hold by then.
class JobPreviewTest : public PrintFromPreviewTest {
protected:
  std::shared_ptr<TRecordedPages> RecordJob(int pages) {
    PagewickIni::JobSettings settings;
    settings.PageWidth = 2400;
    settings.PageHeight = 3112;
    settings.PreviewHeading = QStringLiteral("The job");
    settings.PrinterIndex = 0;
    settings.Directory = QDir::currentPath();
    auto job = std::make_shared<TRecordedPages>(poViewer, settings);
    for (int number = 1; number <= pages; ++number) {
      PagePicture page;
      RecordPage(page, number);
      job->Add(page);
    }
    return job;
  }
};

TEST_F(JobPreviewTest, ShowsAndPrintsTheJobsPagesByTheJobsSettings) {
  const auto job = RecordJob(3);
  RecordPages(4, 4);  // a file in the folder that is no page of the job
  PagewickIni::WriteString(QStringLiteral("Orientation"), QStringLiteral("Landscape"));
  PagewickIni::WriteString(QStringLiteral("PageWidth"), QStringLiteral("3300"));
  PagewickIni::WriteString(QStringLiteral("Preview Heading"), QStringLiteral("Another instance"));
  const auto surface = std::make_unique<TDrawIt>(&window_, job);
  EXPECT_EQ(surface->CountPages(), 3);
  EXPECT_EQ(surface->PageWidth(), 2400);
  EXPECT_EQ(surface->Heading(), QStringLiteral("The job"));
  surface->PrintFromPreview(0, QString());
  EXPECT_EQ(PrintedPages(), (QStringList{"Page 1", "Page 2", "Page 3"}));
  EXPECT_LT(PdfPageSize(PdfFile()).width(), PdfPageSize(PdfFile()).height()) << "recorded in portrait";
}

TEST_F(JobPreviewTest, APageGoneOrChangedFailsThePrintBeforeAnyPageIsSent) {
  for (const PageTampering& tampering : PageTamperings()) {
    const auto job = RecordJob(3);
    const auto surface = std::make_unique<TDrawIt>(&window_, job);
    tampering.Apply(job->Folder(), 3);
    QFile::remove(PdfFile());
    try {
      surface->PrintFromPreview(0, QString());
      ADD_FAILURE() << tampering.Name << ": printed";
    } catch (const ETarnvale& error) {
      const int first = tampering.FolderGone ? 1 : 3;
      EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Page %1 of 3 cannot be printed: ").arg(first)))
          << tampering.Name << ": " << error.Message().toStdString();
    }
    EXPECT_EQ(surface->PagesPrinted(), 0) << tampering.Name << ": pages went out one document each";
    EXPECT_FALSE(QFile::exists(PdfFile())) << tampering.Name;
    EXPECT_FALSE(Printer().Printing());
  }
}

TEST_F(PrintFromPreviewTest, DoesNothingWhileThePrinterIsPrinting) {
  RecordPages(1, 2);
  const auto surface = Surface();
  Printer().BeginDoc(QStringLiteral("busy"));
  surface->PrintFromPreview(0, QString());
  EXPECT_EQ(PrintDialog1, nullptr) << "not even the status dialog";
  Printer().Abort();
  EXPECT_FALSE(QFile::exists(PdfFile()));
}

// Prints through the real CUPS queue named in QUENARY_CUPS_PRINTER (scripts/with-print-queue.sh sets one
// up), where each page printed from the preview must be a job of its own.
class PreviewQueueTest : public SurfaceTest {
protected:
  void SetUp() override {
    SurfaceTest::SetUp();
    queue_ = qEnvironmentVariable("QUENARY_CUPS_PRINTER");
    if (queue_.isEmpty())
      GTEST_SKIP() << "QUENARY_CUPS_PRINTER is not set; run under scripts/with-print-queue.sh";
    Printer().RefreshPrinters();
    const int index = static_cast<int>(Printer().Printers().indexOf(queue_));
    ASSERT_GE(index, 0);
    PagewickIni::WriteString(QStringLiteral("PrinterIndex"), QString::number(index));
    heading_ = QStringLiteral("QuenaryPreview%1").arg(QDateTime::currentMSecsSinceEpoch());
    PagewickIni::WriteString(QStringLiteral("Preview Heading"), heading_);
    outputFolder_ = QDir(QDir::homePath()).filePath(QStringLiteral("PDF"));
  }
  void TearDown() override {
    // A set-up that skipped before naming the jobs leaves nothing of its own to remove: an empty heading
    // and folder would name every file of the current folder.
    if (!heading_.isEmpty() && !outputFolder_.isEmpty()) {
      for (const QString& name : QDir(outputFolder_).entryList({heading_ + QStringLiteral("*")}, QDir::Files))
        QFile::remove(QDir(outputFolder_).filePath(name));
    }
    SurfaceTest::TearDown();
  }

  /** The titles of the jobs the queue has been given for this test, in the order they came. */
  QStringList JobTitles() const {
    cups_job_t* jobs = nullptr;
    const QByteArray queue = queue_.toUtf8();
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.constData(), 0, CUPS_WHICHJOBS_ALL);
    QList<std::pair<int, QString>> found;
    for (int index = 0; index < count; ++index) {
      const QString title = QString::fromUtf8(jobs[index].title);
      if (title.startsWith(heading_)) found.append({jobs[index].id, title});
    }
    cupsFreeJobs(count, jobs);
    std::sort(found.begin(), found.end());
    QStringList titles;
    for (const auto& job : found) titles.append(job.second);
    return titles;
  }

  /** Page count of the PDF cups-pdf wrote for a job of that title, once it is there (0 after a minute). */
  int WaitForPages(const QString& title) const {
    QElapsedTimer waited;
    for (waited.start(); waited.elapsed() < 60000; QThread::msleep(250)) {
      for (const QString& name : QDir(outputFolder_).entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
        // cups-pdf writes blanks as "_" and may add to the name; "page 1" must not match "page 12".
        QString base = name;
        base.replace(QLatin1Char('_'), QLatin1Char(' '));
        if (!base.startsWith(title) || base.size() == title.size() || base.at(title.size()).isDigit())
          continue;
        const PdfReader pdf(QDir(outputFolder_).filePath(name));
        if (pdf.PageCount() > 0) return pdf.PageCount();
      }
    }
    return 0;
  }

  QString queue_;
  QString heading_;
  QString outputFolder_;
};

TEST_F(PreviewQueueTest, EachSelectedPageIsAJobOfItsOwn) {
  RecordPages(1, 4);
  const auto surface = Surface();
  surface->PrintFromPreview(0, QStringLiteral("2-3"));
  const QStringList expected{heading_ + QStringLiteral(" page 2"), heading_ + QStringLiteral(" page 3")};
  EXPECT_EQ(JobTitles(), expected);
  for (const QString& title : expected) EXPECT_EQ(WaitForPages(title), 1) << title.toStdString();
}

TEST_F(PreviewQueueTest, AbortWhileAPageSpoolsDropsThatPageAndPrintsNoLaterOne) {
  const WindowsSeen seen;
  RecordPages(1, 4);
  const auto surface = Surface();
  // Abort is pressed while page 2 spools, when the printer lets the status dialog take clicks.
  bool armed = false;
  QMetaObject::Connection watch;
  const auto arm = [&] {
    if (PrintDialog1 == nullptr || armed) return;
    armed = true;
    watch =
        QObject::connect(PrintDialog1->Page, &QLineEdit::textChanged, PrintDialog1, [](const QString& page) {
          if (page == QStringLiteral("2"))
            QMetaObject::invokeMethod(PrintDialog1->CancelBtn, "click", Qt::QueuedConnection);
        });
  };
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, arm);
  poll.start(0);
  // The dialog is made inside the print; the first event processing (page 1 spooling) arms the watch.
  surface->PrintFromPreview(0, QString());
  poll.stop();
  EXPECT_TRUE(surface->PrintAborted());
  EXPECT_EQ(JobTitles(), QStringList{heading_ + QStringLiteral(" page 1")});
  EXPECT_FALSE(Printer().Printing());
  EXPECT_EQ(PrintDialog1, nullptr);
}

}  // namespace
