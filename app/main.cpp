#include "app/CommandLine.h"
#include "platform/Application.h"
#include "platform/Console.h"
#include "platform/FocusFrame.h"
#include "platform/Screen.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QStringList arguments;
  for (int index = 1; index < argc; ++index) arguments.append(QString::fromLocal8Bit(argv[index]));
  const TCommandLine command = ParseCommandLine(arguments);
  // Console commands run without a window system, so they also work where no display can be reached.
  if (!NeedsWindowSystem(command)) {
    const TCommandOutput output = RunConsoleCommand(command);
    WriteText(stdout, output.Out);
    WriteText(stderr, output.Error);
    return output.ExitCode;
  }
  UseOffscreenWithoutDisplay();
  if (command.Action == TCommandAction::PrintReport ||
      (command.Action == TCommandAction::PreviewReport && !command.MainScreenshot.isEmpty()))
    KeepQtNotesQuiet();
  // The program has read its own arguments; Qt gets none of them to read as its own options.
  int qtArgumentCount = 1;
  QApplication application(qtArgumentCount, argv);
  RegisterFontSubstitutions();
  UseClearFocusFrames();
  Application().QuitOnSignals();
  return Application().ExitCode(RunWindowCommand(command));
}
