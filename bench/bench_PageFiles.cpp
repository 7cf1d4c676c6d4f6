// Cost of recording pages into page files and playing them to the printer, against drawing the same pages
// straight onto the printer, both printing to a PDF file at 600 dpi. Prints the cost per page of each and
// their ratio (the goal: the page-file round trip at most 1.1 times the direct drawing).

#include "platform/DrawingContext.h"
#include "platform/Printers.h"
#include "platform/Screen.h"
#include "print/device/QV_Gdi.h"
#include "print/device/WordWrap.h"

#include "bench/BenchSupport.h"

#include <cstdio>

namespace {

constexpr int PagesPerDocument = 20;

const QString Paragraph = QStringLiteral(
    "The numbers of a name are added letter by letter, and the total is read in its hundreds, tens and "
    "units; "
    "each part has a meaning of its own, and the reading joins them into a few numbered lines of text.");

QString OutputFile() {
  return QDir::temp().filePath(
      QStringLiteral("quenary-bench-%1.pdf").arg(QCoreApplication::applicationPid()));
}

void UsePdfPrinter() {
  Printer().SetPrinters({TPrinter::PdfPrinterName()});
  Printer().SetPrinterIndex(0);
  Printer().SetPdfOutput(OutputFile(), 600);
  Printer().SetOrientation(poPortrait);
}

// One page of a typical report: a filled and framed header, a table of ruled lines and text, a wrapped
// paragraph, boxes and an ellipse.
void DrawPage(DrawingContext& context, int page) {
  QFont heading(QStringLiteral("Arial"));
  heading.setPixelSize(80);
  heading.setBold(true);
  QFont body(QStringLiteral("Arial"));
  body.setPixelSize(50);
  context.SetBackgroundMode(TBackgroundMode::Transparent);
  context.FillRect(300, 300, 4500, 500, QBrush(QColor(0xC0, 0xC0, 0xC0)));
  context.SelectPen(QPen(QColor(Qt::black), 1));
  for (int offset = 0; offset < 2; ++offset) {
    context.MoveTo(300, 300 + offset);
    context.LineTo(4500, 300 + offset);
    context.MoveTo(300, 499 + offset);
    context.LineTo(4500, 499 + offset);
  }
  context.SelectFont(heading);
  context.TextOut(400, 350, QStringLiteral("Quenary Oracle reading, page %1").arg(page));
  context.SelectFont(body);
  for (int row = 0; row < 30; ++row) {
    const int top = 700 + row * 90;
    context.TextOut(400, top, QStringLiteral("Line %1").arg(row + 1));
    context.SetTextAlign(TTextAlign::Right);
    context.TextOut(4400, top, QString::number((row + 1) * 123.45, 'f', 2));
    context.SetTextAlign(TTextAlign::Left);
    context.MoveTo(300, top + 85);
    context.LineTo(4500, top + 85);
  }
  const TextWidthMeasure measure = [&context](const QString& text) { return context.TextWidth(text); };
  QString remaining = Paragraph + QLatin1Char(' ') + Paragraph;
  for (int top = 3600; !remaining.isEmpty(); top += 60) {
    context.TextOut(400, top, TrimBlanks(TakeWrappedLine(remaining, 4000, measure)));
  }
  context.SelectBrush(QBrush(QColor(Qt::yellow)));
  context.Rectangle(400, 4400, 1400, 5000);
  context.SelectBrush(QBrush(QColor(Qt::blue), Qt::DiagCrossPattern));
  context.Ellipse(1600, 4400, 2600, 5000);
  context.FillRect(2800, 4400, 3800, 5000, QBrush(QColor(Qt::red)));
}

void DirectToPrinter(benchmark::State& state) {
  UsePdfPrinter();
  for (auto _ : state) {
    Printer().BeginDoc(QStringLiteral("Bench"));
    DrawingContext context(*Printer().Canvas().Painter());
    for (int page = 1; page <= PagesPerDocument; ++page) {
      if (page > 1) Printer().NewPage();
      DrawPage(context, page);
    }
    Printer().EndDoc();
  }
  state.counters["pages"] = benchmark::Counter(PagesPerDocument, benchmark::Counter::kIsIterationInvariant);
}

// The pages of a job: recorded into page files, then played to the printer as one document. The start of
// the job (its settings store writes) is measured apart, as JobStart.
void PageFileRoundTrip(benchmark::State& state) {
  UsePdfPrinter();
  for (auto _ : state) {
    state.PauseTiming();
    TGdi device(poPrinter);
    device.ClearPages();
    device.BeginDocument(clWhite, QStringLiteral("Bench"), QString(), 100.0);
    state.ResumeTiming();
    for (int page = 1; page <= PagesPerDocument; ++page) {
      if (page > 1) device.NewPage();
      DrawPage(*device.Handle(), page);
    }
    device.EndPage();
    device.PrintPages(false);
    state.PauseTiming();
    device.ClearPages();
    state.ResumeTiming();
  }
  state.counters["pages"] = benchmark::Counter(PagesPerDocument, benchmark::Counter::kIsIterationInvariant);
}

// What a job costs once, whatever its pages: opening the device and writing the job's settings.
void JobStart(benchmark::State& state) {
  UsePdfPrinter();
  for (auto _ : state) {
    TGdi device(poPrinter);
    device.ClearPages();
    device.BeginDocument(clWhite, QStringLiteral("Bench"), QString(), 100.0);
    state.PauseTiming();
    device.EndPage();
    device.ClearPages();
    state.ResumeTiming();
  }
}

BENCHMARK(DirectToPrinter)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(PageFileRoundTrip)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(JobStart)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void PrintSummary(const RatioReporter& reporter) {
  const double direct = reporter.FindMedian("DirectToPrinter");
  const double roundTrip = reporter.FindMedian("PageFileRoundTrip");
  const double jobStart = reporter.Find("JobStart");
  if (direct <= 0 || roundTrip <= 0) return;
  std::printf("\nper page: direct %.2f ms, page-file round trip %.2f ms\n", direct / PagesPerDocument,
              roundTrip / PagesPerDocument);
  std::printf("page-file round trip / direct = %.2f (goal: at most 1.10; medians of 7 runs)\n",
              roundTrip / direct);
  if (jobStart > 0) {
    std::printf("job start (settings store) %.2f ms once per job; a whole %d-page job / direct = %.2f\n",
                jobStart, PagesPerDocument, (roundTrip + jobStart) / direct);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int result = RunBenchmarks(argc, argv, PrintSummary);
  QFile::remove(OutputFile());
  return result;
}
