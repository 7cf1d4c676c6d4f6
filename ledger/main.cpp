#include "ledger/LedgerCommandLine.h"
#include "platform/Application.h"
#include "platform/Console.h"
#include "platform/FocusFrame.h"
#include "platform/Screen.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QStringList arguments;
  for (int index = 1; index < argc; ++index) arguments.append(QString::fromLocal8Bit(argv[index]));
  const TLedgerCommandLine command = ParseLedgerCommandLine(arguments);
  switch (command.Action) {
    case TLedgerAction::ShowUsage: WriteText(stdout, LedgerUsageText()); return 0;
    case TLedgerAction::ShowVersion: WriteText(stdout, LedgerVersionText()); return 0;
    case TLedgerAction::Invalid:
      WriteText(stderr, QStringLiteral("quenary-ledger: %1\n\n").arg(command.Error) + LedgerUsageText());
      return LedgerExitUsage;
    default: break;
  }
  // Without a display the program still prints and photographs its windows, on Qt's offscreen platform.
  UseOffscreenWithoutDisplay();
  if (command.Action == TLedgerAction::Print || command.Action == TLedgerAction::MakeSample)
    KeepQtNotesQuiet();
  int qtArgumentCount = 1;
  QApplication application(qtArgumentCount, argv);
  RegisterFontSubstitutions();
  UseClearFocusFrames();
  Application().QuitOnSignals();
  return Application().ExitCode(RunLedgerCommand(command));
}
