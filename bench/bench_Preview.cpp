// Flipping through a 1000-page job in the preview, and changing its zoom, against a 10-page job in the same
// run: prints the median time per flip and per zoom change for each, their ratio (the goal: about 1, the
// preview holding only the pages around the one shown), and the peak memory after each job. A flip is timed
// from the click to the painted page, with the reading pause a user leaves between flips untimed (the preview
// prepares the next page then); a jump to a far page, which nothing prepared, is timed as well.

#include "platform/PagePicture.h"
#include "print/device/PagewickIni.h"
#include "print/device/QV_PageFiles.h"
#include "print/preview/Drawscrn.h"
#include "print/preview/Qv_view.h"

#include "bench/BenchSupport.h"

#include <QComboBox>
#include <QPainter>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

// One page of a report: a heading, thirty lines of text and ruled lines.
void RecordJob(int pages) {
  DeletePageFiles(poViewer);
  QFont heading(QStringLiteral("Arial"));
  heading.setPixelSize(80);
  QFont body(QStringLiteral("Arial"));
  body.setPixelSize(45);
  for (int number = 1; number <= pages; ++number) {
    PagePicture page;
    QPainter& painter = page.BeginRecording();
    painter.setFont(heading);
    painter.drawText(300, 300, QStringLiteral("Quenary Oracle, page %1").arg(number));
    painter.setFont(body);
    for (int row = 0; row < 30; ++row) {
      painter.drawText(300, 500 + row * 90,
                       QStringLiteral("Line %1 of the reading on page %2").arg(row + 1).arg(number));
      painter.fillRect(300, 520 + row * 90, 1800, 2, Qt::gray);
    }
    page.EndRecording();
    page.Save(PageFileNameFor(number, poViewer));
  }
}

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The preview of a job, shown and painted as it is on the desktop.
struct Preview {
  explicit Preview(int pages) {
    RecordJob(pages);
    window = std::make_unique<TQV_Prev>();
    window->show();
    QCoreApplication::processEvents();
  }
  ~Preview() { window.reset(); }
  void Paint() { window->DrawIt1->repaint(); }
  std::unique_ptr<TQV_Prev> window;
};

long peakSmall = 0;
long peakLarge = 0;

void Flip(benchmark::State& state, int pages) {
  ResetPeak();
  Preview preview(pages);
  int page = 1;
  for (auto _ : state) {
    // Next page until the last, then back to the first: each flip reads and paints one page.
    if (page < pages) {
      preview.window->NextPageClick();
      ++page;
    } else {
      preview.window->DrawIt1->GoToPage(1);
      page = 1;
    }
    preview.Paint();
    state.PauseTiming();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  (pages > 100 ? peakLarge : peakSmall) = PeakKilobytes();
}

// Jumps between pages far apart, as typing a page number does: each page is read and drawn on the spot.
void Jump(benchmark::State& state, int pages) {
  Preview preview(pages);
  int page = 1;
  for (auto _ : state) {
    page = page + pages / 2 > pages ? page + pages / 2 - pages + 1 : page + pages / 2;
    preview.window->DrawIt1->GoToPage(page);
    preview.Paint();
  }
}

void Zoom(benchmark::State& state, int pages) {
  Preview preview(pages);
  preview.window->DrawIt1->GoToPage(pages / 2);
  for (auto _ : state) {
    preview.window->ZoomInClick();  // walks all ten entries, 250 % to Whole Page, and round again
    preview.Paint();
  }
}

void FlipSmall(benchmark::State& state) { Flip(state, 10); }
void FlipLarge(benchmark::State& state) { Flip(state, 1000); }
void JumpSmall(benchmark::State& state) { Jump(state, 10); }
void JumpLarge(benchmark::State& state) { Jump(state, 1000); }
void ZoomSmall(benchmark::State& state) { Zoom(state, 10); }
void ZoomLarge(benchmark::State& state) { Zoom(state, 1000); }

// The median of repeated runs, so one slow moment of a shared machine does not decide the result.
void Repeated(benchmark::internal::Benchmark* run) {
  run->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(FlipSmall)->Iterations(40)->Apply(Repeated);
BENCHMARK(FlipLarge)->Iterations(40)->Apply(Repeated);
BENCHMARK(JumpSmall)->Iterations(20)->Apply(Repeated);
BENCHMARK(JumpLarge)->Iterations(20)->Apply(Repeated);
BENCHMARK(ZoomSmall)->Iterations(20)->Apply(Repeated);
BENCHMARK(ZoomLarge)->Iterations(20)->Apply(Repeated);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv, [](const RatioReporter& reporter) {
    const auto median = [&reporter](const char* name) { return reporter.FindMedian(name); };
    const double flipSmall = median("FlipSmall");
    const double flipLarge = median("FlipLarge");
    const double jumpSmall = median("JumpSmall");
    const double jumpLarge = median("JumpLarge");
    const double zoomSmall = median("ZoomSmall");
    const double zoomLarge = median("ZoomLarge");
    std::printf(
        "\nMedian per flip:        10 pages %.2f ms, 1000 pages %.2f ms, ratio %.2f (goal: at most "
        "16 ms, one frame, and a ratio of about 1)\n",
        flipSmall, flipLarge, flipSmall > 0 ? flipLarge / flipSmall : 0.0);
    std::printf("Median per jump:        10 pages %.2f ms, 1000 pages %.2f ms, ratio %.2f\n", jumpSmall,
                jumpLarge, jumpSmall > 0 ? jumpLarge / jumpSmall : 0.0);
    std::printf("Median per zoom change: 10 pages %.2f ms, 1000 pages %.2f ms, ratio %.2f\n", zoomSmall,
                zoomLarge, zoomSmall > 0 ? zoomLarge / zoomSmall : 0.0);
    std::printf("Peak memory while flipping: 10 pages %ld KiB, 1000 pages %ld KiB, ratio %.2f\n", peakSmall,
                peakLarge, peakSmall > 0 ? static_cast<double>(peakLarge) / peakSmall : 0.0);
  });
}
