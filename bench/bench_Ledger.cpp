// Printing a ledger through the grid printer against the same rows drawn straight into Qt's QPdfWriter (the
// floor of any program that prints through Qt's PDF writer), and against the same rows as an HTML table
// printed by Qt's rich-text engine (QTextDocument::print), all into a PDF file at 300 dpi. Each print runs
// in a process of its own so its peak memory is its own: the grid printer for 1 000 up to a million rows,
// whose peak memory must not grow with the pages printed. Prints the times, the ratios and every peak.

#include "bench/BenchSupport.h"
#include "ledger/Ledger.h"
#include "ledger/LedgerFile.h"
#include "platform/Printers.h"
#include "platform/data/DBTables.h"
#include "platform/data/DatabaseWriter.h"
#include "platform/data/Fields.h"
#include "print/engine/DBPrnWin.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>

namespace {

constexpr int Dpi = 300;

long peakBeforeJob = 0;
int pagesPrinted = 0;
long long heapAtFifthPage = 0;
long long heapMost = 0;

// The process's own peak resident memory. The kernel's rusage figure would keep the parent's peak across the
// exec of a child run; the memory map's high-water mark starts afresh with it.
long PeakKilobytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (status.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

QFont PixelFont(int pixels, bool bold = false) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// The ledger's pages as a hand-written program would draw them straight into Qt's PDF writer: the heading,
// the titles on grey, fifty rows a page with their rules, the totals and the footer, each text where the
// ledger puts it. Returns the pages drawn.
int DrawRowsStraightIntoQt(const QString& ledgerFile, const QString& pdfFile) {
  TTable table;
  table.SetDatabaseName(ledgerFile);
  table.SetTableName(LedgerFile::Table);
  table.SetIndexFieldNames(QStringLiteral("posted"));
  table.Open();
  const TField* posted = table.FieldByName(QStringLiteral("posted"));
  const TField* payee = table.FieldByName(QStringLiteral("payee"));
  const TField* note = table.FieldByName(QStringLiteral("note"));
  const TField* amount = table.FieldByName(QStringLiteral("amount"));
  QPdfWriter writer(pdfFile);
  writer.setResolution(Dpi);
  writer.setPageSize(QPageSize(QPageSize::A4));
  QPainter painter(&writer);
  const double scale = Dpi / 96.0;
  const int left = Dpi / 2;
  const int width = writer.width() - Dpi;
  const int rowHeight = static_cast<int>(20 * scale);
  const int columns[] = {left, left + static_cast<int>(90 * scale), left + static_cast<int>(300 * scale),
                         left + static_cast<int>(590 * scale), left + width};
  const QFont heading = PixelFont(static_cast<int>(20 * scale), true);
  const QFont cell = PixelFont(static_cast<int>(12 * scale));
  const QFont bold = PixelFont(static_cast<int>(12 * scale), true);
  const QFontMetrics cellMetrics(cell, &writer);
  constexpr int RowsPerPage = 50;
  double running = 0;
  int pages = 0;
  table.First();
  while (!table.Eof()) {
    if (pages++ > 0) writer.newPage();
    painter.setPen(Qt::black);
    painter.setFont(heading);
    painter.drawText(left, Dpi / 2 + static_cast<int>(24 * scale), QStringLiteral("Quenary Ledger"));
    int y = Dpi / 2 + static_cast<int>(36 * scale);
    painter.fillRect(QRect(left, y, width, rowHeight), QColor(192, 192, 192));
    painter.setFont(bold);
    const char* titles[] = {"Date", "Payee", "Note", "Amount"};
    for (int column = 0; column < 4; ++column)
      painter.drawText(columns[column] + 20, y + rowHeight - 15, QString::fromLatin1(titles[column]));
    painter.setFont(cell);
    double pageTotal = 0;
    for (int row = 0; row < RowsPerPage && !table.Eof(); ++row, table.Next()) {
      y += rowHeight;
      const double value = amount->AsFloat();
      pageTotal += value;
      const QString money = FormatFloat(QStringLiteral("#,##0.00"), value);
      painter.drawText(columns[0] + 20, y + rowHeight - 15, posted->AsString());
      painter.drawText(columns[1] + 20, y + rowHeight - 15, payee->AsString());
      painter.drawText(columns[2] + 20, y + rowHeight - 15, note->AsString());
      painter.drawText(columns[4] - 20 - cellMetrics.horizontalAdvance(money), y + rowHeight - 15, money);
      painter.drawLine(left, y + rowHeight, left + width, y + rowHeight);
    }
    for (const int x : columns) painter.drawLine(x, Dpi / 2 + static_cast<int>(36 * scale), x, y + rowHeight);
    running += pageTotal;
    painter.setFont(bold);
    painter.drawText(left + width / 2, y + 2 * rowHeight, QStringLiteral("Page total:"));
    painter.drawText(columns[3], y + 2 * rowHeight, FormatFloat(QStringLiteral("#,##0.00"), pageTotal));
    painter.drawText(left + width / 2, y + 3 * rowHeight, QStringLiteral("Running total:"));
    painter.drawText(columns[3], y + 3 * rowHeight, FormatFloat(QStringLiteral("#,##0.00"), running));
    painter.setFont(cell);
    painter.drawText(left, writer.height() - Dpi / 3, QStringLiteral("Quenary Ledger, printed by hand"));
    painter.drawText(left + width - static_cast<int>(60 * scale), writer.height() - Dpi / 3,
                     QStringLiteral("Page %1").arg(pages));
  }
  return pages;
}

// One case in this process: a print ("grid" or "html") or the ledger's window shown ("window"), of a ledger
// file made beforehand (so making it counts in neither the time nor the peak memory).
int RunCase(const QString& kind, const QString& ledgerFile) {
  QTemporaryDir folder;
  const QString pdfFile = folder.filePath(QStringLiteral("out.pdf"));
  QElapsedTimer timer;
  if (kind == QLatin1String("direct")) {
    peakBeforeJob = PeakKilobytes();
    timer.start();
    pagesPrinted = DrawRowsStraightIntoQt(ledgerFile, pdfFile);
  } else if (kind == QLatin1String("window")) {
    peakBeforeJob = PeakKilobytes();
    timer.start();
    TLedgerFrm ledger(ledgerFile);
    // Painted as the screen would paint it: every row in view read and drawn.
    const QImage picture = ledger.grab().toImage();
    if (picture.isNull()) return 1;
  } else if (kind == QLatin1String("grid") || kind == QLatin1String("tagged")) {
    Printer().SetPrinters({TPrinter::PdfPrinterName()});
    Printer().SetPrinterIndex(0);
    Printer().SetPdfOutput(pdfFile, Dpi);
    TLedgerFrm ledger(ledgerFile);
    ledger.DBPrintWin1->ShowCancelDialog = false;
    // Measured against Qt's writer, which cannot tag, the job is untagged; tagging is measured on its own.
    ledger.DBPrintWin1->Tagged = kind == QLatin1String("tagged");
    // The heap in use while the pages are recorded, from the fifth page on: the grid printer's own memory.
    ledger.DBPrintWin1->OnNewPage = [](QObject*) {
      const long long heap = static_cast<long long>(mallinfo2().uordblks);
      if (++pagesPrinted == 5) heapAtFifthPage = heap;
      if (pagesPrinted >= 5) heapMost = std::max(heapMost, heap);
    };
    peakBeforeJob = PeakKilobytes();
    timer.start();
    ledger.PrintLedger(poPrinter);
  } else {
    timer.start();
    TTable table;
    table.SetDatabaseName(ledgerFile);
    table.SetTableName(LedgerFile::Table);
    table.SetIndexFieldNames(QStringLiteral("posted"));
    table.Open();
    QString html = QStringLiteral(
        "<h2>Quenary Ledger</h2><table border=1 cellspacing=0 cellpadding=2 width=100%>"
        "<tr><th>Date</th><th>Payee</th><th>Note</th><th>Amount</th></tr>");
    for (table.First(); !table.Eof(); table.Next()) {
      html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td align=right>%4</td></tr>")
                  .arg(table.FieldByName(QStringLiteral("posted"))->AsString().toHtmlEscaped(),
                       table.FieldByName(QStringLiteral("payee"))->AsString().toHtmlEscaped(),
                       table.FieldByName(QStringLiteral("note"))->AsString().toHtmlEscaped(),
                       FormatFloat(QStringLiteral("#,##0.00"),
                                   table.FieldByName(QStringLiteral("amount"))->AsFloat()));
    }
    html += QStringLiteral("</table>");
    QTextDocument document;
    document.setHtml(html);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfFile);
    printer.setResolution(Dpi);
    document.print(&printer);
  }
  const qint64 elapsed = timer.elapsed();
  std::printf("%lld %ld %lld %ld %d %lld\n", static_cast<long long>(elapsed), PeakKilobytes(),
              (heapMost - heapAtFifthPage) / 1024, peakBeforeJob, pagesPrinted,
              static_cast<long long>(QFileInfo(pdfFile).size() / 1024));
  return 0;
}

// The note of one entry of a ledger with a huge cell: ten megabytes of words no column can show.
constexpr int HugeNoteBytes = 10 * 1024 * 1024;

// Runs one case in a child process and reports its time (as the benchmark's time) and peak memory.
void Case(benchmark::State& state, const char* kind, bool hugeCell = false) {
  const int rows = static_cast<int>(state.range(0));
  static QTemporaryDir ledgers;
  const QString ledgerFile =
      ledgers.filePath(QStringLiteral("ledger-%1%2.sqlite").arg(rows).arg(hugeCell ? "-huge" : ""));
  if (!QFileInfo::exists(ledgerFile)) {
    LedgerFile::MakeSample(ledgerFile, rows);
    if (hugeCell) {
      TDatabaseWriter writer(ledgerFile);
      writer.Execute(QStringLiteral("UPDATE ledger SET note = ? WHERE id = 5"),
                     {QString(QStringLiteral("word ")).repeated(HugeNoteBytes / 5)});
      writer.Commit();
    }
  }
  for (auto _ : state) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--case"), QString::fromLatin1(kind), ledgerFile});
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
      state.SkipWithError("the child run failed");
      return;
    }
    const QStringList figures =
        QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    state.SetIterationTime(figures.value(0).toDouble() / 1000.0);
    state.counters["peak_MiB"] = figures.value(1).toDouble() / 1024.0;
    state.counters["heap_growth_kB"] = figures.value(2).toDouble();
    state.counters["before_job_MiB"] = figures.value(3).toDouble() / 1024.0;
    state.counters["pages"] = figures.value(4).toDouble();
    state.counters["pdf_kB"] = figures.value(5).toDouble();
  }
}

void GridPrinter(benchmark::State& state) { Case(state, "grid"); }
// The same job as a tagged PDF: every row and cell an element of the document's structure.
void GridPrinterTagged(benchmark::State& state) { Case(state, "tagged"); }
// The same job through Qt's PDF writer, the reference the program's own is measured against.
void GridPrinterQtWriter(benchmark::State& state) {
  qputenv("QUENARY_PDF_WRITER", "qt");
  Case(state, "grid");
  qunsetenv("QUENARY_PDF_WRITER");
}
void DirectIntoQt(benchmark::State& state) { Case(state, "direct"); }
void RichTextTable(benchmark::State& state) { Case(state, "html"); }
void GridPrinterHugeCell(benchmark::State& state) { Case(state, "grid", true); }
void LedgerWindow(benchmark::State& state) { Case(state, "window"); }
void LedgerWindowHugeCell(benchmark::State& state) { Case(state, "window", true); }

BENCHMARK(GridPrinter)
    ->Arg(60)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(GridPrinterTagged)->Arg(100000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GridPrinterQtWriter)->Arg(100000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DirectIntoQt)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(RichTextTable)->Arg(10000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GridPrinterHugeCell)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LedgerWindow)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LedgerWindowHugeCell)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

class LedgerReporter : public RatioReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto peak = run.counters.find("peak_MiB");
      if (peak != run.counters.end() && !run.error_occurred)
        figures_[run.benchmark_name()] = {run.GetAdjustedRealTime(),
                                          peak->second.value,
                                          run.counters.at("heap_growth_kB").value,
                                          run.counters.at("before_job_MiB").value,
                                          run.counters.at("pages").value,
                                          run.counters.at("pdf_kB").value};
    }
    RatioReporter::ReportRuns(runs);
  }
  void Summary() const {
    const auto find = [this](const std::string& prefix) {
      for (const auto& [name, figure] : figures_) {
        if (name.rfind(prefix, 0) == 0) return figure;
      }
      return Figure{};
    };
    const Figure plainPrint = find("GridPrinter/60/");
    const Figure hugePrint = find("GridPrinterHugeCell/60/");
    const Figure plainWindow = find("LedgerWindow/60/");
    const Figure hugeWindow = find("LedgerWindowHugeCell/60/");
    if (plainPrint.ms > 0 && hugePrint.ms > 0 && plainWindow.ms > 0 && hugeWindow.ms > 0) {
      // The note is read and held once; nothing else may grow with it.
      std::printf("\n60 entries, one with a note of 10 MiB, against 60 ordinary ones:\n");
      std::printf("  window: %.0f ms (peak %.1f MiB) against %.0f ms (peak %.1f MiB), time ratio %.2f\n",
                  hugeWindow.ms, hugeWindow.peak, plainWindow.ms, plainWindow.peak,
                  hugeWindow.ms / plainWindow.ms);
      std::printf("  print:  %.0f ms (peak %.1f MiB) against %.0f ms (peak %.1f MiB), time ratio %.2f\n",
                  hugePrint.ms, hugePrint.peak, plainPrint.ms, plainPrint.peak, hugePrint.ms / plainPrint.ms);
      const double mebibytes = HugeNoteBytes / (1024.0 * 1024.0);
      std::printf(
          "  per MiB of note: window %.1f ms and %.1f MiB, print %.1f ms and %.1f MiB more "
          "(goal: at most 10 ms and 6 MiB, what reading it costs: SQLite's bytes, their UTF-16 copy and Qt's "
          "text)\n",
          (hugeWindow.ms - plainWindow.ms) / mebibytes, (hugeWindow.peak - plainWindow.peak) / mebibytes,
          (hugePrint.ms - plainPrint.ms) / mebibytes, (hugePrint.peak - plainPrint.peak) / mebibytes);
    }
    const Figure job = find("GridPrinter/100000/");
    const Figure jobQt = find("GridPrinterQtWriter/100000/");
    const Figure floor = find("DirectIntoQt/100000/");
    const Figure million = find("GridPrinter/1000000/");
    if (job.ms > 0 && floor.ms > 0) {
      std::printf(
          "\n100 000 rows: the job %.0f ms, through Qt's writer %.0f ms, drawn straight into Qt's writer "
          "%.0f ms\n",
          job.ms, jobQt.ms, floor.ms);
      std::printf("job / drawn straight into Qt's writer = %.2f (goal: at most 0.60)\n", job.ms / floor.ms);
      std::printf("PDF: %.0f kB, through Qt's writer %.0f kB (goal: no larger)\n", job.pdfKilobytes,
                  jobQt.pdfKilobytes);
    }
    const Figure tagged = find("GridPrinterTagged/100000/");
    if (job.ms > 0 && tagged.ms > 0) {
      std::printf(
          "tagged / untagged = %.2f (goal: at most 1.33); PDF %.0f kB against %.0f kB, peak %.1f MiB "
          "against %.1f MiB\n",
          tagged.ms / job.ms, tagged.pdfKilobytes, job.pdfKilobytes, tagged.peak, job.peak);
    }
    if (million.ms > 0)
      std::printf("a million rows: %.1f s, %.0f pages, peak %.1f MiB (goal: at most 45 MiB)\n",
                  million.ms / 1000.0, million.pages, million.peak);
    const Figure grid = find("GridPrinter/10000/");
    const Figure html = find("RichTextTable/10000/");
    const Figure small = find("GridPrinter/1000/");
    const Figure large = find("GridPrinter/100000/");
    if (grid.ms <= 0 || html.ms <= 0) return;
    std::printf(
        "\n10 000 rows: grid printer %.0f ms (peak %.1f MiB), rich-text table %.0f ms (peak %.1f MiB)\n",
        grid.ms, grid.peak, html.ms, html.peak);
    std::printf("rich-text table / grid printer = %.2f (goal: at least 2.00)\n", html.ms / grid.ms);
    std::printf("grid printer peak memory: %.1f MiB for 1 000 rows, %.1f MiB for 100 000 rows (ratio %.2f)\n",
                small.peak, large.peak, small.peak > 0 ? large.peak / small.peak : 0.0);
    std::printf(
        "heap grown while recording, after page 5: %.0f kB for 1 000 rows, %.0f kB for 100 000 rows\n",
        small.heapGrowth, large.heapGrowth);
    if (large.pages > 0 && grid.pages > 0) {
      const double perPage = large.ms / large.pages;
      std::printf(
          "100 000 rows: %.1f s, %.0f pages, %.2f ms per page (10 000 rows: %.2f ms per page, ratio "
          "%.2f), peak %.1f MiB\n",
          large.ms / 1000.0, large.pages, perPage, grid.ms / grid.pages, perPage / (grid.ms / grid.pages),
          large.peak);
    }
  }

private:
  struct Figure {
    double ms = 0;
    double peak = 0;
    double heapGrowth = 0;
    double beforeJob = 0;
    double pages = 0;
    double pdfKilobytes = 0;
  };
  std::map<std::string, Figure> figures_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && QByteArray(argv[1]) == "--case") {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgumentCount = 1;
    QApplication application(qtArgumentCount, argv);
    RegisterFontSubstitutions();
    return RunCase(QString::fromLatin1(argv[2]), QString::fromLocal8Bit(argv[3]));
  }
  LedgerReporter reporter;
  return RunBenchmarks(argc, argv, reporter, [&reporter](const RatioReporter&) { reporter.Summary(); });
}
