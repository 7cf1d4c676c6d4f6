#include "app/CalcFrm.h"
#include "app/Inet.h"
#include "app/Ptr.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "print/device/QV_PageFiles.h"
#include "print/engine/DBPrnWin.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr int Dpi = 300;
// Screen pixels of the report panel to points of the page: the panel stands half an inch in, its texts
// 10/300 inch further.
double X(int screen) { return 36.0 + screen * 0.75 + 2.4; }

class ReportTest : public ::testing::Test {
protected:
  void SetUp() override {
    Printer().RefreshPrinters();
    Printer().SetPrinterIndex(static_cast<int>(Printer().Printers().indexOf(TPrinter::PdfPrinterName())));
    Printer().SetPdfOutput(PdfFile(), Dpi);
    Printer().SetOrientation(poPortrait);
  }
  void TearDown() override { Printer().RefreshPrinters(); }

  QString PdfFile() const { return scratch_.File(QStringLiteral("report.pdf")); }
  void Print(const QString& entry) {
    calculator_.Data->SetText(entry);
    const std::unique_ptr<TPrintFrm> report = std::make_unique<TPrintFrm>();
    EXPECT_FALSE(report->isVisible()) << "the report form is never shown";
    EXPECT_FALSE(report->DBPrintWin1->Cancelled);
    EXPECT_EQ(report->DBPrintWin1->OutputTo, poViewer) << "back to the viewer after the job";
  }
  /** The words of the line whose top lies near the screen row (panel pixels). */
  static QStringList LineAt(const PdfReader& pdf, int screenTop) {
    QStringList words;
    QList<PdfWord> line;
    for (const PdfWord& word : pdf.Words(0)) {
      if (std::abs(word.Box.top() - (36.0 + screenTop * 0.75)) < 6) line.append(word);
    }
    std::sort(line.begin(), line.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.Box.left() < b.Box.left(); });
    for (const PdfWord& word : line) words.append(word.Text);
    return words;
  }

  ScratchDirectory scratch_;
  TCalcFrm calculator_;
  TInternetFrm links_;
};

TEST_F(ReportTest, ThePrintedReportHoldsTheReadingInItsPlaces) {
  Print(QStringLiteral("Marie Curie"));
  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 1);
  EXPECT_EQ(pdf.Information(QStringLiteral("Title")), QStringLiteral("Quenary reading for Marie Curie"));
  const QList<PdfOutlineEntry> outline = pdf.Outline();
  ASSERT_EQ(outline.size(), 1);
  EXPECT_EQ(outline[0].Title, QStringLiteral("Quenary reading for Marie Curie"));
  EXPECT_EQ(outline[0].Page, 0);
  // The footer's web addresses open from the PDF: a link over each address's words.
  const QList<PdfLink> links = pdf.Links(0);
  ASSERT_EQ(links.size(), 2);
  for (const PdfLink& link : links) {
    SCOPED_TRACE(link.Target.toStdString());
    const QRectF printed = pdf.Find(0, link.Target);
    ASSERT_FALSE(printed.isEmpty()) << "the link opens the address printed under it";
    EXPECT_NEAR(link.Box.left(), printed.left(), 1.5);
    EXPECT_NEAR(link.Box.right(), printed.right(), 1.5);
    EXPECT_LT(link.Box.top(), printed.center().y());
    EXPECT_GT(link.Box.bottom(), printed.center().y());
  }
  struct Expected {
    const char* word;
    int screenLeft;
  };
  for (const Expected& item :
       {Expected{"Marie", 24}, Expected{"Data:", 44}, Expected{"MARIE", 96}, Expected{"Total:", 552},
        Expected{"422", 607}, Expected{"Quenary", 44}, Expected{"Notes:", 25}}) {
    const QRectF box = pdf.Find(0, QString::fromLatin1(item.word));
    ASSERT_FALSE(box.isEmpty()) << item.word << " in " << pdf.Text(0).toStdString();
    EXPECT_NEAR(box.left(), X(item.screenLeft), 1.5) << item.word;
  }
  EXPECT_EQ(LineAt(pdf, 160), (QStringList{"+", "400.", "ART,", "LOVE,", "PASSION"}));
  EXPECT_EQ(LineAt(pdf, 186), (QStringList{"+", "22.", "INVENTION,", "PRUDENCE,", "MYSTERY"}));
  EXPECT_EQ(LineAt(pdf, 210), QStringList{"+"});
  EXPECT_NEAR(pdf.Find(0, QStringLiteral("+")).left(), X(56), 1.5);

  // The footer: date and time on the left, the two web sites on the right.
  const QString text = pdf.Text(0);
  const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
  EXPECT_TRUE(text.contains(QStringLiteral("Printed on ") + date + QStringLiteral(" at ")))
      << text.toStdString();
  const QRectF first = pdf.Find(0, QStringLiteral("http://www.example.com/quenary/"));
  const QRectF second = pdf.Find(0, QStringLiteral("http://www.example.org/calculator/"));
  ASSERT_FALSE(first.isEmpty() || second.isEmpty()) << text.toStdString();
  const double pageWidth = Printer().PageWidth() * 72.0 / Dpi;
  EXPECT_LT(first.right(), second.left());
  EXPECT_NEAR(second.right(), pageWidth - 36 - 5 * 0.75, 2.0);
  EXPECT_GT(first.top(), Printer().PageHeight() * 72.0 / Dpi * 0.9);

  // The rules: black bars about a screen pixel high, outlined in grey; the heading's twice that.
  const QImage page = pdf.Render(0, Dpi);
  const double scale = Dpi / 96.0;
  const int column = static_cast<int>(Dpi / 2 + 665 * scale);  // right of every text
  std::vector<std::pair<int, int>> bars;                       // first row, height
  for (int row : InkRows(page, column, Dpi / 2, Dpi / 2 + static_cast<int>(861 * scale))) {
    if (!bars.empty() && bars.back().first + bars.back().second == row)
      ++bars.back().second;
    else
      bars.emplace_back(row, 1);
  }
  ASSERT_EQ(bars.size(), 15u) << "heading rule, notes rule and thirteen note lines";
  EXPECT_NEAR(bars.front().first, Dpi / 2 + 44 * scale, 1);
  EXPECT_NEAR(bars.front().second, 2 * scale, 1);
  EXPECT_EQ(page.pixelColor(column, bars.front().first + 2), QColor(Qt::black));
  for (std::size_t line = 2; line < bars.size(); ++line) {
    EXPECT_NEAR(bars[line].first, Dpi / 2 + (362 + 40 * (line - 2)) * scale, 1) << "note line " << line - 1;
    EXPECT_NEAR(bars[line].second, scale, 1);
  }
  EXPECT_EQ(page.pixelColor(column, bars[2].first), QColor(0x80, 0x80, 0x80)) << "grey outline";
  EXPECT_TRUE(QDir(PageDirectory()).entryList({QStringLiteral("PRN*")}, QDir::Files).isEmpty());
}

// The report reads aloud as it looks: the name and the reading's title as headings, each printed line a
// paragraph, the footer's addresses as links; the page is drawn exactly as without the structure.
TEST_F(ReportTest, TheReportsPdfReadsAsHeadingsAndParagraphsAndLooksAsAnUntaggedOne) {
  Print(QStringLiteral("Marie Curie"));
  EXPECT_EQ(TaggingProblems(PdfFile()), QString());
  // A link names its annotation by the object's number, which is the writer's business.
  const QStringList read =
      StructureText(PdfFile()).filter(QRegularExpression(QStringLiteral("^(?!Object \\d+ 0$)")));
  EXPECT_EQ(read, (QStringList{"Document",      "Div",
                               "H1 (block)",    "\"Marie Curie\"",
                               "P (block)",     "\"Data:\"",
                               "P (block)",     "\"MARIE CURIE\"",
                               "P (block)",     "\"Total:\"",
                               "P (block)",     "\"422\"",
                               "H2 (block)",    "\"Quenary Oracle\"",
                               "P (block)",     "\"+ 400. ART, LOVE, PASSION\"",
                               "P (block)",     "\"+ 22. INVENTION, PRUDENCE, MYSTERY\"",
                               "P (block)",     "\"+\"",
                               "P (block)",     "\"Notes:\"",
                               "Link (inline)", "Link (inline)"}));
  const QImage tagged = PdfReader(PdfFile()).Render(0, 100);
  Printer().SetPdfTagged(false);
  Print(QStringLiteral("Marie Curie"));
  Printer().SetPdfTagged(true);
  EXPECT_FALSE(QpdfDecoded(PdfFile()).contains("/StructTreeRoot"));
  // The footer prints the time, which may have moved on a second.
  const QImage untagged = PdfReader(PdfFile()).Render(0, 100);
  const QRect aboveFooter(0, 0, tagged.width(), tagged.height() * 9 / 10);
  EXPECT_EQ(tagged.copy(aboveFooter), untagged.copy(aboveFooter));
}

TEST_F(ReportTest, ShortReadingsEmptyEntriesAccentsAndFiveDigitTotalsPrintAsTheyAre) {
  struct Case {
    QString entry;
    QStringList heading;
    QStringList capitals;
    QString total;
    QStringList firstLine;
  };
  const Case cases[] = {
      {QStringLiteral("g"),
       {"g"},
       {"G"},
       QStringLiteral("7"),
       {"+", "7.", "PURITY", "OF", "FEELINGS,", "CONTEMPLATION"}},
      {QString(), {}, {}, QStringLiteral("0"), {"+"}},
      {QStringLiteral("Renée ça"), {"Renée", "ça"}, {"RENéE", "çA"}, QString(), {}},
      // An "&" in a name is the user's, not an accelerator mark.
      {QStringLiteral("Tom && Jerry&"), {"Tom", "&&", "Jerry&"}, {"TOM", "&&", "JERRY&"}, QString(), {}},
      // Five digits fill the total's label and more: they print whole, never as four.
      {QString(25, QLatin1Char('Y')),
       {QString(25, QLatin1Char('Y'))},
       {QString(25, QLatin1Char('Y'))},
       QStringLiteral("10000"),
       {}},
      {QString(35, QLatin1Char('V')),
       {QString(35, QLatin1Char('V'))},
       {QString(35, QLatin1Char('V'))},
       QStringLiteral("24500"),
       {}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.entry.toStdString());
    Print(test.entry);
    const PdfReader pdf(PdfFile());
    EXPECT_EQ(LineAt(pdf, 12), test.heading);
    QStringList dataLine = LineAt(pdf, 80);
    ASSERT_GE(dataLine.size(), 3);
    EXPECT_EQ(dataLine.mid(1, dataLine.size() - 3), test.capitals);
    if (!test.total.isEmpty()) {
      EXPECT_EQ(dataLine.last(), test.total);
    }
    if (!test.firstLine.isEmpty()) {
      EXPECT_EQ(LineAt(pdf, 160), test.firstLine);
    }
    EXPECT_EQ(LineAt(pdf, 186).value(0), QStringLiteral("+"));
    EXPECT_EQ(LineAt(pdf, 210), QStringList{"+"});
  }
}

// Print on the main window, confirmed in its print dialog; with a file name, the user picks the dialog's
// PDF file entry and types the name.
void PrintFromTheMainWindow(TCalcFrm& calculator, const QString& pdfFile = QString()) {
  int shown = 0;
  ModalObserverScope scope([&](QWidget& window) {
    auto* dialog = qobject_cast<QPrintDialog*>(&window);
    ASSERT_NE(dialog, nullptr);
    ++shown;
    if (!pdfFile.isEmpty()) {
      auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
      auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
      ASSERT_TRUE(printers != nullptr && fileName != nullptr);
      // The dialog's last entry writes a PDF file.
      printers->setCurrentIndex(printers->count() - 1);
      ASSERT_TRUE(printers->currentText().contains(QStringLiteral("File")));
      fileName->setText(pdfFile);
    }
    dialog->accept();
  });
  QTest::mouseClick(calculator.PrintBtn, Qt::LeftButton);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(PrintFrm, nullptr) << "the report form is gone once Print returns";
}

TEST_F(ReportTest, PrintOnTheMainWindowPrintsTheReportWhereTheDialogSays) {
  calculator_.Data->SetText(QStringLiteral("Quenary"));
  const QString chosen = scratch_.File(QStringLiteral("chosen.pdf"));
  PrintFromTheMainWindow(calculator_, chosen);
  const PdfReader pdf(chosen);
  ASSERT_EQ(pdf.PageCount(), 1);
  EXPECT_FALSE(pdf.Find(0, QStringLiteral("QUENARY")).isEmpty());
  EXPECT_EQ(calculator_.Data->Text(), QStringLiteral("Quenary")) << "the main window is left as it was";
}

// The page above the footer, from its top-left ink on. The rasterizer may leave a hairline along the paper's
// edge, which is no ink of the page.
QImage ContentAbove(const QImage& page, double inches, int dpi) {
  const QRect ink = InkBounds(page, page.rect().adjusted(dpi / 10, dpi / 10, -dpi / 10, -dpi / 10));
  return page.copy(ink.left(), ink.top(), static_cast<int>(7.0 * dpi), static_cast<int>(inches * dpi));
}

TEST_F(ReportTest, PrintThroughACupsQueueGivesTheSamePageAsThePdfFile) {
  const QString queue = qEnvironmentVariable("QUENARY_CUPS_PRINTER");
  if (queue.isEmpty())
    GTEST_SKIP() << "QUENARY_CUPS_PRINTER is not set; run under scripts/with-print-queue.sh";
  calculator_.Data->SetText(QStringLiteral("Marie Curie"));
  const QString title = QStringLiteral("QuenaryReport%1").arg(QDateTime::currentMSecsSinceEpoch());
  Printer().SetTitle(title);
  Printer().SetPrinterIndex(static_cast<int>(Printer().Printers().indexOf(queue)));
  PrintFromTheMainWindow(calculator_);
  Printer().SetTitle(QString());
  ASSERT_EQ(Printer().PrinterName(), queue);
  const int queueDpi = Printer().ResolutionX();

  const QDir output(QDir(QDir::homePath()).filePath(QStringLiteral("PDF")));
  QString cupsFile;
  QElapsedTimer waited;
  for (waited.start(); cupsFile.isEmpty() && waited.elapsed() < 60000; QThread::msleep(250)) {
    const QStringList found = output.entryList({title + QStringLiteral("*.pdf")}, QDir::Files);
    if (!found.isEmpty() && PdfReader(output.filePath(found.first())).PageCount() > 0)
      cupsFile = output.filePath(found.first());
  }
  ASSERT_FALSE(cupsFile.isEmpty()) << "no PDF from the queue within a minute";

  Printer().SetPrinterIndex(static_cast<int>(Printer().Printers().indexOf(TPrinter::PdfPrinterName())));
  Printer().SetPdfOutput(PdfFile(), queueDpi);
  Print(QStringLiteral("Marie Curie"));

  const int dpi = 100;
  const QImage queued = ContentAbove(PdfReader(cupsFile).Render(0, dpi), 8.5, dpi);
  const QImage direct = ContentAbove(PdfReader(PdfFile()).Render(0, dpi), 8.5, dpi);
  QFile::remove(cupsFile);
  ASSERT_EQ(queued.size(), direct.size());
  // Two rasterizers draw glyphs a little differently, so the pages are compared by their layout: the bands
  // of rows that hold ink (each text line, each rule) and how far each band reaches left and right.
  const auto bands = [](const QImage& image) {
    std::vector<QRect> found;
    for (int y = 0; y < image.height(); ++y) {
      const std::vector<int> columns = InkColumns(image, y);
      if (columns.empty()) continue;
      const QRect row(columns.front(), y, columns.back() - columns.front() + 1, 1);
      if (!found.empty() && found.back().bottom() == y - 1)
        found.back() = found.back().united(row);
      else
        found.push_back(row);
    }
    return found;
  };
  const std::vector<QRect> queuedBands = bands(queued);
  const std::vector<QRect> directBands = bands(direct);
  ASSERT_EQ(queuedBands.size(), directBands.size());
  EXPECT_GE(directBands.size(), 20u) << "heading, data line, three reading lines, notes and its lines";
  for (std::size_t band = 0; band < directBands.size(); ++band) {
    const QRect& a = queuedBands[band];
    const QRect& b = directBands[band];
    EXPECT_LE(std::abs(a.top() - b.top()), 1) << "band " << band;
    EXPECT_LE(std::abs(a.bottom() - b.bottom()), 1) << "band " << band;
    EXPECT_LE(std::abs(a.left() - b.left()), 2) << "band " << band;
    EXPECT_LE(std::abs(a.right() - b.right()), 2) << "band " << band;
  }
}

}  // namespace
