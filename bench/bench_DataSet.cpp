// Cost of walking a table record by record through the data access layer (TTable: First, Next, a field's
// value and its formatted text), against walking the same records with a bare forward-only Qt query that
// reads and formats the same values, in the same run, for 1 000 and 100 000 records. Prints the time per
// 1 000 records of each, their ratio, and the most heap each walk held live at once (glibc's count of bytes
// in use, sampled while walking, less what was in use before): the data set keeps a fixed number of records,
// so its figure must not grow with the records walked.

#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"

#include "platform/SysUtils.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <map>
#include <string>

namespace {

constexpr int LargestTable = 100000;

QString& DatabaseFile() {
  static QString file;
  return file;
}

bool WriteLedger(const QString& file, int rows) {
  {
    QSqlDatabase database =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-writer"));
    database.setDatabaseName(file);
    if (!database.open()) return false;
    QSqlQuery query(database);
    query.exec(
        QStringLiteral("CREATE TABLE ledger(id INTEGER PRIMARY KEY, posted DATE, payee VARCHAR(40), "
                       "note TEXT, amount CURRENCY)"));
    database.transaction();
    query.prepare(QStringLiteral("INSERT INTO ledger VALUES(?, ?, ?, ?, ?)"));
    for (int row = 1; row <= rows; ++row) {
      query.addBindValue(row);
      query.addBindValue(QStringLiteral("2024-%1-%2")
                             .arg(row % 12 + 1, 2, 10, QLatin1Char('0'))
                             .arg(row % 28 + 1, 2, 10, QLatin1Char('0')));
      query.addBindValue(QStringLiteral("Payee number %1").arg(row % 977));
      query.addBindValue(QStringLiteral("A note of some length for record %1").arg(row));
      query.addBindValue(row * 1.25);
      query.exec();
    }
    database.commit();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("bench-writer"));
  return true;
}

// Bytes of heap in use now, and the most seen while a walk samples it.
long long HeapInUse() { return static_cast<long long>(mallinfo2().uordblks); }

class HeapPeak {
public:
  HeapPeak() : before_(HeapInUse()), peak_(before_) {}
  void Sample() { peak_ = std::max(peak_, HeapInUse()); }
  double RiseKilobytes() const { return static_cast<double>(peak_ - before_) / 1024.0; }

private:
  long long before_;
  long long peak_;
};

constexpr int SampleEvery = 256;

// Walks the first `rows` records with a bare query, reading every column and formatting the amount as the
// data set's walk does; samples the heap when asked.
double BareWalk(qint64 rows, HeapPeak* peak) {
  double rise = 0;
  {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-raw"));
    database.setDatabaseName(DatabaseFile());
    database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    database.open();
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.exec(QStringLiteral("SELECT _rowid_, * FROM ledger ORDER BY _rowid_ LIMIT %1").arg(rows));
    double sum = 0;
    qint64 length = 0;
    qint64 walked = 0;
    while (query.next()) {
      QVariant values[6];
      for (int column = 0; column < 6; ++column) values[column] = query.value(column);
      length +=
          values[3].toString().size() + FormatFloat(QStringLiteral("#,##0.00"), values[5].toDouble()).size();
      sum += values[5].toDouble();
      if (peak != nullptr && ++walked % SampleEvery == 0) peak->Sample();
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(length);
    if (peak != nullptr) rise = peak->RiseKilobytes();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("bench-raw"));
  return rise;
}

double DataSetWalk(qint64 rows, HeapPeak* peak) {
  TTable table;
  table.SetDatabaseName(DatabaseFile());
  table.SetTableName(QStringLiteral("ledger"));
  table.Open();
  TField* payee = table.FieldByName(QStringLiteral("payee"));
  auto* amount = static_cast<TNumericField*>(table.FieldByName(QStringLiteral("amount")));
  amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
  double sum = 0;
  qint64 length = 0;
  qint64 walked = 0;
  for (table.First(); !table.Eof() && walked < rows; table.Next()) {
    length += payee->AsString().size() + amount->DisplayText().size();
    sum += amount->AsFloat();
    if (peak != nullptr && ++walked % SampleEvery == 0) peak->Sample();
    if (peak == nullptr) ++walked;
  }
  benchmark::DoNotOptimize(sum);
  benchmark::DoNotOptimize(length);
  return peak != nullptr ? peak->RiseKilobytes() : 0.0;
}

void RawQueryWalk(benchmark::State& state) {
  for (auto _ : state) BareWalk(state.range(0), nullptr);
  HeapPeak peak;
  state.counters["heap_peak_kB"] = BareWalk(state.range(0), &peak);
}

void TableWalk(benchmark::State& state) {
  for (auto _ : state) DataSetWalk(state.range(0), nullptr);
  HeapPeak peak;
  state.counters["heap_peak_kB"] = DataSetWalk(state.range(0), &peak);
}

BENCHMARK(RawQueryWalk)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(LargestTable)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK(TableWalk)->Arg(1000)->Arg(10000)->Arg(LargestTable)->Unit(benchmark::kMillisecond)->MinTime(1.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        const std::string name = run.benchmark_name();
        milliseconds_[name.substr(0, name.find("/min_time"))] = run.GetAdjustedRealTime();
        const auto rise = run.counters.find("heap_peak_kB");
        if (rise != run.counters.end()) rises_[name.substr(0, name.find("/min_time"))] = rise->second.value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintSummary() {
    for (const int rows : {1000, 10000, LargestTable}) {
      const std::string suffix = "/" + std::to_string(rows);
      const double raw = milliseconds_["RawQueryWalk" + suffix];
      const double table = milliseconds_["TableWalk" + suffix];
      if (raw <= 0 || table <= 0) continue;
      std::printf(
          "\n%d records: bare query %.3f ms, data set %.3f ms per 1 000 records; data set / bare = %.2f\n",
          rows, raw * 1000.0 / rows, table * 1000.0 / rows, table / raw);
      std::printf("  most heap held during one walk: bare query %.0f kB, data set %.0f kB\n",
                  rises_["RawQueryWalk" + suffix], rises_["TableWalk" + suffix]);
    }
    // Both walks hold SQLite's page cache (at most 2 MB by default) once enough of the file was read; the
    // data set adds its fixed block of records.
    const double middle = rises_["TableWalk/10000"];
    const double large = rises_["TableWalk/" + std::to_string(LargestTable)];
    std::printf(
        "\ndata set heap, %d records / 10 000 records = %.2f (goal: no growth with the records walked)\n",
        LargestTable, middle > 0 ? large / middle : 0.0);
  }

private:
  std::map<std::string, double> milliseconds_;
  std::map<std::string, double> rises_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QTemporaryDir folder;
  if (!folder.isValid()) return 1;
  DatabaseFile() = folder.filePath(QStringLiteral("ledger.db"));
  if (!WriteLedger(DatabaseFile(), LargestTable)) return 1;

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
