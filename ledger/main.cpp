#include "ledger/LedgerCommandLine.h"
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
  const TLedgerCommandLine command = ParseLedgerCommandLine(arguments);
  switch (command.Action) {
    case TLedgerAction::ShowUsage: Write(stdout, LedgerUsageText()); return 0;
    case TLedgerAction::ShowVersion: Write(stdout, LedgerVersionText()); return 0;
    case TLedgerAction::Invalid:
      Write(stderr, QStringLiteral("quenary-ledger: %1\n\n").arg(command.Error) + LedgerUsageText());
      return LedgerExitUsage;
    default: break;
  }
  // Without a display the program still prints and photographs its windows, on Qt's offscreen platform.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  if (command.Action == TLedgerAction::Print || command.Action == TLedgerAction::MakeSample) {
    // A scripted print says nothing when it works and one line when it fails; Qt's notes stay out of it.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
      if (type == QtCriticalMsg || type == QtFatalMsg) Write(stderr, message + QLatin1Char('\n'));
    });
  }
  int qtArgumentCount = 1;
  QApplication application(qtArgumentCount, argv);
  RegisterFontSubstitutions();
  return RunLedgerCommand(command);
}
