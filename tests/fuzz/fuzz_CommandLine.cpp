// The calculator's command line: any arguments parse into one action or into an error that is safe to show
// on a terminal, and the actions that need no window run.
#include "app/CommandLine.h"
#include "tests/fuzz/FuzzArguments.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TCommandLine command = ParseCommandLine(InputArguments(data, size));
  const bool invalid = command.Action == TCommandAction::Invalid;
  FuzzCheck(invalid == !command.Error.isEmpty(), "a command line is refused exactly when it has an error");
  FuzzCheck(ShowsAsIs(command.Error), "an error holds nothing a terminal would act on");
  if (!invalid && command.Print.DpiGiven)
    FuzzCheck(command.Print.Dpi >= 72 && command.Print.Dpi <= 2400, "a resolution is from 72 to 2400 dpi");
  if (command.Action == TCommandAction::PrintReport)
    FuzzCheck(command.Print.PdfFile.isEmpty() != command.Print.PrinterName.isEmpty(),
              "a report prints to one destination");

  const QString entry = CutToEntryLength(command.Entry);
  FuzzCheck(entry.size() <= 35 && command.Entry.startsWith(entry),
            "an entry is cut to its first 35 characters");
  FuzzCheck(entry.isEmpty() || !entry.back().isHighSurrogate(), "an entry is never cut inside a character");

  if (!NeedsWindowSystem(command)) {
    const TCommandOutput output = RunConsoleCommand(command);
    FuzzCheck(output.ExitCode == (invalid ? ExitUsage : 0), "a console command ends with its exit code");
    if (command.Action == TCommandAction::PrintTotal) {
      bool number = false;
      output.Out.section(QLatin1Char('\n'), 0, 0).toInt(&number);
      FuzzCheck(number && output.Out.endsWith(QLatin1Char('\n')),
                "--total prints the total on a line of its own");
    }
  }
  return 0;
}
