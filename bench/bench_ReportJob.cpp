// A whole reading-report job (StartJob to FinishJob into a PDF file at 600 dpi: settings store, page file,
// replay; on the offscreen platform no status dialog, as no one would see it) against drawing the same texts
// and rules straight into a QPdfWriter, the two in turn so a slower moment of the machine falls on both.
// Prints both and their ratio (the goal: the job, whose PDF the program's own writer makes, no slower than
// the direct drawing through Qt's).

#include "app/CalcFrm.h"
#include "app/Inet.h"
#include "app/Ptr.h"
#include "bench/BenchSupport.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Dpi = 600;

QString OutputFile() {
  return QDir::temp().filePath(
      QStringLiteral("quenary-report-bench-%1.pdf").arg(QCoreApplication::applicationPid()));
}

void ReportJob() {
  const auto report = std::make_unique<TPrintFrm>();
  benchmark::DoNotOptimize(report.get());
}

QFont PixelFont(const QString& name, int pixels, bool bold = false) {
  QFont font(name);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// The report's page as a hand-written program would draw it: same places, fonts, texts and rules.
void DirectDrawing() {
  const double scale = Dpi / 96.0;
  const auto at = [scale](int screen) { return static_cast<int>(Dpi / 2 + screen * scale); };
  const auto text = [&](QPainter& painter, int x, int y, const QFont& font, const QString& words) {
    painter.setFont(font);
    painter.drawText(QPoint(at(x) + 20, at(y) + 20 + QFontMetrics(font).ascent()), words);
  };
  const QFont heading = PixelFont(QStringLiteral("Arial"), static_cast<int>(27 * scale));
  const QFont caption = PixelFont(QStringLiteral("Arial"), static_cast<int>(16 * scale), true);
  const QFont fixed = PixelFont(QStringLiteral("Courier New"), static_cast<int>(19 * scale));
  const QFont footer = PixelFont(QStringLiteral("Arial"), static_cast<int>(12 * scale));
  {
    QPdfWriter writer(OutputFile());
    writer.setResolution(Dpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    painter.setPen(Qt::black);
    text(painter, 24, 12, heading, QStringLiteral("Marie Curie"));
    painter.fillRect(QRect(at(20), at(44), static_cast<int>(665 * scale), static_cast<int>(2 * scale)),
                     Qt::black);
    text(painter, 44, 80, caption, QStringLiteral("Data:"));
    text(painter, 96, 80, fixed, QStringLiteral("MARIE CURIE"));
    text(painter, 552, 80, caption, QStringLiteral("Total:"));
    text(painter, 607, 80, fixed, QStringLiteral("422"));
    text(painter, 44, 134, caption, QStringLiteral("Quenary Oracle"));
    text(painter, 56, 160, fixed, QStringLiteral("+ 400. ART, LOVE, PASSION"));
    text(painter, 56, 186, fixed, QStringLiteral("+  22. INVENTION, PRUDENCE, MYSTERY"));
    text(painter, 56, 210, fixed, QStringLiteral("+ "));
    text(painter, 25, 308, caption, QStringLiteral("Notes:  "));
    painter.setPen(QPen(Qt::gray, 1));
    painter.setBrush(Qt::black);
    painter.drawRect(QRect(at(88), at(322), static_cast<int>(587 * scale), static_cast<int>(scale)));
    for (int line = 0; line < 13; ++line)
      painter.drawRect(
          QRect(at(25), at(362 + 40 * line), static_cast<int>(650 * scale), static_cast<int>(scale)));
    painter.setPen(Qt::black);
    painter.setFont(footer);
    painter.drawText(QPoint(Dpi / 2, writer.height() * 19 / 20),
                     QStringLiteral("Printed on 8 Dec 2026 at 12:00:00"));
    painter.drawText(
        QPoint(writer.width() / 2, writer.height() * 19 / 20),
        QStringLiteral("http://www.example.com/quenary/          http://www.example.org/calculator/"));
    painter.end();
  }
}

std::vector<double> directTimes;
std::vector<double> jobTimes;
std::vector<double> ratios;

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One direct drawing, then one whole job: the ratio is taken pair by pair.
void DirectAndJobInTurn(benchmark::State& state) {
  Printer().SetPrinters({TPrinter::PdfPrinterName()});
  Printer().SetPrinterIndex(0);
  Printer().SetPdfOutput(OutputFile(), Dpi);
  TCalcFrm calculator;
  TInternetFrm links;
  calculator.Data->SetText(QStringLiteral("Marie Curie"));
  QElapsedTimer clock;
  for (auto _ : state) {
    clock.start();
    DirectDrawing();
    const double direct = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    clock.start();
    ReportJob();
    const double job = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    directTimes.push_back(direct);
    jobTimes.push_back(job);
    ratios.push_back(job / direct);
    state.SetIterationTime((direct + job) / 1e3);
  }
}

BENCHMARK(DirectAndJobInTurn)->Unit(benchmark::kMillisecond)->MinTime(4.0)->UseManualTime();

void PrintSummary(const RatioReporter&) {
  if (ratios.empty()) return;
  std::printf("\nreport page: direct drawing %.2f ms, whole job %.2f ms (medians of %zu pairs)\n",
              Median(directTimes), Median(jobTimes), ratios.size());
  std::printf("whole job / direct drawing = %.2f (goal: at most 1.00; the median of the pairs' ratios)\n",
              Median(ratios));
}

}  // namespace

int main(int argc, char** argv) {
  const int result = RunBenchmarks(argc, argv, PrintSummary);
  QFile::remove(OutputFile());
  return result;
}
