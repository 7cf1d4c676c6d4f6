// Printing a ledger of 10 000 and of 100 000 entries into a PDF file: the time per printed page and how much
// the heap grows between the fifth page and the last. Memory must not grow with the pages already printed,
// so the growth of the long job should be no larger than that of the short one.

#include "bench/BenchSupport.h"
#include "ledger/Ledger.h"
#include "ledger/LedgerFile.h"
#include "platform/Printers.h"
#include "print/engine/DBPrnWin.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <malloc.h>

namespace {

long long HeapInUse() { return static_cast<long long>(mallinfo2().uordblks); }

void PrintLedger(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  QTemporaryDir folder;
  const QString ledgerFile = folder.filePath(QStringLiteral("ledger.sqlite"));
  LedgerFile::MakeSample(ledgerFile, entries);
  Printer().SetPrinters({TPrinter::PdfPrinterName()});
  Printer().SetPrinterIndex(0);
  Printer().SetPdfOutput(folder.filePath(QStringLiteral("ledger.pdf")), 150);
  TLedgerFrm ledger(ledgerFile);
  ledger.DBPrintWin1->ShowCancelDialog = false;
  int pages = 0;
  long long heapAtFifth = 0;
  long long heapMost = 0;
  ledger.DBPrintWin1->OnNewPage = [&](QObject*) {
    ++pages;
    const long long heap = HeapInUse();
    if (pages == 5) heapAtFifth = heap;
    if (pages >= 5) heapMost = std::max(heapMost, heap);
  };
  for (auto _ : state) ledger.PrintLedger(poPrinter);
  state.counters["pages"] = pages;
  state.counters["heap_growth_kB"] = static_cast<double>(heapMost - heapAtFifth) / 1024.0;
}

BENCHMARK(PrintLedger)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

class LedgerReporter : public RatioReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto pages = run.counters.find("pages");
      const auto growth = run.counters.find("heap_growth_kB");
      if (pages != run.counters.end() && growth != run.counters.end())
        figures_.push_back({run.GetAdjustedRealTime() / std::max(1.0, pages->second.value),
                            growth->second.value, pages->second.value});
    }
    RatioReporter::ReportRuns(runs);
  }
  void Summary() const {
    if (figures_.size() != 2) return;
    const Figures& small = figures_[0];
    const Figures& large = figures_[1];
    std::printf("\n10 000 entries: %.0f pages, %.2f ms a page, heap grew %.0f kB after page 5\n", small.pages,
                small.perPage, small.growth);
    std::printf("100 000 entries: %.0f pages, %.2f ms a page, heap grew %.0f kB after page 5\n", large.pages,
                large.perPage, large.growth);
    std::printf("time per page, long / short = %.2f; heap growth, long - short = %.0f kB (goal: about 0)\n",
                large.perPage / small.perPage, large.growth - small.growth);
  }

private:
  struct Figures {
    double perPage;
    double growth;
    double pages;
  };
  std::vector<Figures> figures_;
};

}  // namespace

int main(int argc, char** argv) {
  LedgerReporter reporter;
  return RunBenchmarks(argc, argv, reporter, [&reporter](const RatioReporter&) { reporter.Summary(); });
}
