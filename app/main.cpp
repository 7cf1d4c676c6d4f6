#include "app/CommandLine.h"
#include "platform/Screen.h"

#include <QApplication>
#include <cstdio>

namespace {
void Write(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
  std::fflush(stream);
}
}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int index = 1; index < argc; ++index) arguments.append(QString::fromLocal8Bit(argv[index]));
  const TCommandLine command = ParseCommandLine(arguments);
  // Console commands run without a window system, so they also work where no display can be reached.
  if (!NeedsWindowSystem(command)) {
    const TCommandOutput output = RunConsoleCommand(command);
    Write(stdout, output.Out);
    Write(stderr, output.Error);
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
  return RunWindowCommand(command);
}
