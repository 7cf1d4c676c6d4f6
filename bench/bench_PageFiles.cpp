// Cost of recording pages into page files and playing them to the printer, against drawing the same pages
// straight onto the printer, both printing to a PDF file at 600 dpi, in turn. Prints their ratio (the goal:
// the page-file round trip at most 1.1 times the direct drawing).

#include "platform/DrawingContext.h"
#include "platform/Printers.h"
#include "platform/Screen.h"
#include "print/device/QV_Gdi.h"
#include "print/device/WordWrap.h"

#include "bench/BenchSupport.h"

#include <QElapsedTimer>
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

// One document drawn straight onto the printer; returns the nanoseconds it took.
qint64 DirectDocument() {
  QElapsedTimer timer;
  timer.start();
  Printer().BeginDoc(QStringLiteral("Bench"));
  DrawingContext context(*Printer().Canvas().Painter());
  for (int page = 1; page <= PagesPerDocument; ++page) {
    if (page > 1) Printer().NewPage();
    DrawPage(context, page);
  }
  Printer().EndDoc();
  return timer.nsecsElapsed();
}

// The pages of a job: recorded into page files, then played to the printer as one document; returns the
// nanoseconds that took. The start of the job (its settings store writes) is measured apart, as JobStart.
qint64 RoundTripDocument() {
  TGdi device(poPrinter);
  device.ClearPages();
  device.BeginDocument(clWhite, QStringLiteral("Bench"), QString(), 100.0);
  QElapsedTimer timer;
  timer.start();
  for (int page = 1; page <= PagesPerDocument; ++page) {
    if (page > 1) device.NewPage();
    DrawPage(*device.Handle(), page);
  }
  device.EndPage();
  device.PrintPages(false);
  const qint64 elapsed = timer.nsecsElapsed();
  device.ClearPages();
  return elapsed;
}

// The two in turn, document by document, so a slower moment of a shared machine falls on both alike; the
// benchmark's time is the pair's.
qint64 pairedDirect = 0;
qint64 pairedRoundTrip = 0;

void DirectAndRoundTripInTurn(benchmark::State& state) {
  UsePdfPrinter();
  for (auto _ : state) {
    const qint64 direct = DirectDocument();
    const qint64 roundTrip = RoundTripDocument();
    pairedDirect += direct;
    pairedRoundTrip += roundTrip;
    state.SetIterationTime(static_cast<double>(direct + roundTrip) / 1e9);
  }
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

BENCHMARK(DirectAndRoundTripInTurn)->Unit(benchmark::kMillisecond)->MinTime(4.0)->UseManualTime();
BENCHMARK(JobStart)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void PrintSummary(const RatioReporter& reporter) {
  const double jobStart = reporter.Find("JobStart");
  if (pairedDirect <= 0 || pairedRoundTrip <= 0) return;
  const double ratio = static_cast<double>(pairedRoundTrip) / pairedDirect;
  std::printf(
      "\npage-file round trip / direct = %.2f (goal: at most 1.10; the two in turn, document by document)\n",
      ratio);
  if (jobStart > 0) std::printf("job start (settings store) %.2f ms once per job\n", jobStart);
}

}  // namespace

int main(int argc, char** argv) {
  const int result = RunBenchmarks(argc, argv, PrintSummary);
  QFile::remove(OutputFile());
  return result;
}
