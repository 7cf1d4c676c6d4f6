// The ledger program's command line: any arguments parse into one action with values in their ranges, or
// into an error that is safe to show on a terminal.
#include "ledger/LedgerCommandLine.h"
#include "tests/fuzz/FuzzArguments.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QDir>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TLedgerCommandLine command = ParseLedgerCommandLine(InputArguments(data, size));
  const bool invalid = command.Action == TLedgerAction::Invalid;
  FuzzCheck(invalid == !command.Error.isEmpty(), "a command line is refused exactly when it has an error");
  FuzzCheck(ShowsAsIs(command.Error), "an error holds nothing a terminal would act on");
  // The usage and the version leave off reading at once, so the rest of the line is not looked at.
  if (invalid || command.Action == TLedgerAction::ShowUsage || command.Action == TLedgerAction::ShowVersion)
    return 0;
  FuzzCheck(command.Print.Copies >= 1 && command.Print.Copies <= 999, "copies are from 1 to 999");
  FuzzCheck(command.Entries >= 0 && command.Entries <= 1000000, "entries are from 0 to 1000000");
  FuzzCheck(command.PageMode >= 0 && command.PageMode <= 2, "the page mode is all, odd or even");
  if (command.Print.DpiGiven)
    FuzzCheck(command.Print.Dpi >= 72 && command.Print.Dpi <= 2400, "a resolution is from 72 to 2400 dpi");
  if (command.PageOptions) FuzzCheck(command.Action == TLedgerAction::Print, "page options go with printing");
  if (command.Action == TLedgerAction::Print)
    FuzzCheck(command.Print.PdfFile.isEmpty() != command.Print.PrinterName.isEmpty(),
              "the ledger prints to one destination");
  if (command.Action == TLedgerAction::MakeSample)
    FuzzCheck(!command.LedgerFile.isEmpty(), "a sample is made into a named file");
  if (!command.LedgerFile.isEmpty())
    FuzzCheck(QDir::isAbsolutePath(command.LedgerFile), "a ledger file is named in full");
  return 0;
}
