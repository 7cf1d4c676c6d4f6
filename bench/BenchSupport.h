#pragma once

// What every benchmark program of the project shares: a private settings and page folder like a desktop
// session's, and a reporter that keeps each benchmark's time so ratios can be printed after the run.

#include "platform/Screen.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <string>

/** Keeps each benchmark's real time per iteration, in its display unit, by name. */
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        times_[run.benchmark_name()] = run.GetAdjustedRealTime();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred)
        medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  /** The time of a benchmark by its name without options ("Direct", not "Direct/min_time:2.000"); 0 if none
   * ran. */
  double Find(const std::string& name) const {
    for (const auto& [fullName, time] : times_) {
      if (fullName.substr(0, fullName.find('/')) == name) return time;
    }
    return 0.0;
  }

  /** The median of a repeated benchmark by its function name; 0 if it did not run repeated. */
  double FindMedian(const std::string& name) const {
    const auto found = medians_.find(name);
    return found == medians_.end() ? 0.0 : found->second;
  }

private:
  std::map<std::string, double> times_;
  std::map<std::string, double> medians_;
};

/**
 * Runs the registered benchmarks under a QApplication with settings and page files of their own (kept off the
 * user's), page files on a memory file system as a desktop session's runtime folder is, then the summary.
 */
inline int RunBenchmarks(int argc, char** argv, RatioReporter& reporter,
                         const std::function<void(const RatioReporter&)>& summary) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  const QString memoryFolder = QStringLiteral("/dev/shm");
  const QString runtimeFolder = QFileInfo(memoryFolder).isWritable() ? memoryFolder : QDir::tempPath();
  QTemporaryDir runtime(runtimeFolder + QStringLiteral("/quenary-bench-XXXXXX"));
  if (!home.isValid() || !runtime.isValid()) return 1;
  QDir(home.path()).mkpath(QStringLiteral("config"));
  QFile::setPermissions(runtime.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  QApplication application(argc, argv);
  RegisterFontSubstitutions();

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  summary(reporter);
  benchmark::Shutdown();
  return 0;
}

/** RunBenchmarks with the plain reporter. */
inline int RunBenchmarks(int argc, char** argv, const std::function<void(const RatioReporter&)>& summary) {
  RatioReporter reporter;
  return RunBenchmarks(argc, argv, reporter, summary);
}
