#include "app/CommandLine.h"

#include "app/CalcFrm.h"
#include "app/Inet.h"
#include "app/Numb.h"
#include "app/Ptr.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "platform/SvgIcon.h"
#include "print/engine/DBPrnWin.h"
#include "print/preview/Drawscrn.h"
#include "print/preview/Qv_view.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QThread>
#include <QWindow>
#include <cstdio>

#ifndef QUENARY_VERSION
#define QUENARY_VERSION "unknown"
#endif

namespace {
// Takes the value of an option given as "--name VALUE" or "--name=VALUE"; false when it is another option.
bool TakeValue(const QStringList& arguments, qsizetype& index, const QString& name, QString& value,
               QString& error) {
  const QString& argument = arguments.at(index);
  if (argument.startsWith(name + QLatin1Char('='))) {
    value = argument.mid(name.size() + 1);
    return true;
  }
  if (argument != name) return false;
  if (index + 1 >= arguments.size()) {
    error = QStringLiteral("%1 needs a value").arg(name);
    return true;
  }
  value = arguments.at(++index);
  return true;
}

// Characters a terminal would act on rather than show: controls (an escape sequence could recolour, move or
// retitle the terminal), line and paragraph separators, and the marks that turn the direction of text.
bool ActsOnTerminal(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) || code == 0x200E ||
         code == 0x200F || code == 0x061C;
}

TCommandLine Invalid(const QString& error) {
  TCommandLine command;
  command.Action = TCommandAction::Invalid;
  command.Error = error;
  return command;
}

// Lets the window reach the screen before it is photographed, so what is saved is what a user would see.
void ShowAndSettle(QWidget& window) {
  window.show();
  QCoreApplication::processEvents();
  if (QWindow* handle = window.windowHandle()) {
    for (int attempt = 0; attempt < 200 && !handle->isExposed(); ++attempt) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(10);
    }
  }
  QCoreApplication::processEvents();
}

void WriteError(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
  std::fflush(stderr);
}

bool SaveScreenshot(QWidget& window, const QString& path) {
  ShowAndSettle(window);
  const QPixmap picture = window.grab();
  window.hide();
  if (picture.isNull() || !picture.save(path, "PNG")) {
    std::fprintf(stderr, "quenary: cannot write the screenshot \"%s\"\n",
                 qUtf8Printable(EscapedForTerminal(path)));
    return false;
  }
  return true;
}
}  // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
  TCommandLine command;
  bool total = false;
  bool entry = false;
  bool print = false;
  bool preview = false;
  bool dpi = false;
  for (qsizetype index = 0; index < arguments.size(); ++index) {
    const QString& argument = arguments.at(index);
    QString value;
    QString error;
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      command.Action = TCommandAction::ShowUsage;
      return command;
    }
    if (argument == QLatin1String("--version")) {
      command.Action = TCommandAction::ShowVersion;
      return command;
    }
    if (TakeValue(arguments, index, QStringLiteral("--total"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Entry = value;
      total = true;
    } else if (TakeValue(arguments, index, QStringLiteral("--print"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Entry = value;
      print = true;
    } else if (TakeValue(arguments, index, QStringLiteral("--preview"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Entry = value;
      preview = true;
    } else if (TakeValue(arguments, index, QStringLiteral("--pdf"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      if (value.isEmpty()) return Invalid(QStringLiteral("--pdf needs a file name"));
      command.PdfFile = QFileInfo(value).absoluteFilePath();
    } else if (TakeValue(arguments, index, QStringLiteral("--printer"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      if (value.isEmpty()) return Invalid(QStringLiteral("--printer needs a printer name"));
      command.PrinterName = value;
    } else if (TakeValue(arguments, index, QStringLiteral("--dpi"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      bool number = false;
      command.Dpi = value.toInt(&number);
      if (!number || command.Dpi < 72 || command.Dpi > 2400)
        return Invalid(QStringLiteral("--dpi takes a whole number from 72 to 2400, not \"%1\"").arg(value));
      dpi = true;
    } else if (TakeValue(arguments, index, QStringLiteral("--entry"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Entry = value;
      entry = true;
    } else if (TakeValue(arguments, index, QStringLiteral("--screenshot-links"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.LinksScreenshot = value;
    } else if (TakeValue(arguments, index, QStringLiteral("--screenshot"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.MainScreenshot = value;
    } else if (argument.startsWith(QLatin1Char('-'))) {
      return Invalid(QStringLiteral("unknown option \"%1\"").arg(EscapedForTerminal(argument)));
    } else {
      return Invalid(QStringLiteral("unexpected argument \"%1\"").arg(EscapedForTerminal(argument)));
    }
  }
  const bool screenshot = !command.MainScreenshot.isEmpty() || !command.LinksScreenshot.isEmpty();
  const bool destination = !command.PdfFile.isEmpty() || !command.PrinterName.isEmpty();
  if (total && (entry || screenshot || print || preview || destination))
    return Invalid(QStringLiteral("--total goes alone"));
  if (preview && (entry || print || destination || !command.LinksScreenshot.isEmpty()))
    return Invalid(QStringLiteral("--preview goes with --screenshot only"));
  if (print && (entry || screenshot))
    return Invalid(QStringLiteral("--print goes with --pdf or --printer only"));
  if (print && command.PdfFile.isEmpty() == command.PrinterName.isEmpty())
    return Invalid(QStringLiteral("--print needs either --pdf FILE or --printer NAME"));
  if (!print && destination) return Invalid(QStringLiteral("--pdf and --printer go with --print"));
  if (dpi && command.PdfFile.isEmpty()) return Invalid(QStringLiteral("--dpi goes with --pdf"));
  if (total)
    command.Action = TCommandAction::PrintTotal;
  else if (print)
    command.Action = TCommandAction::PrintReport;
  else if (preview)
    command.Action = TCommandAction::PreviewReport;
  else if (screenshot)
    command.Action = TCommandAction::Screenshot;
  return command;
}

QString EscapedForTerminal(const QString& text) {
  QString escaped;
  escaped.reserve(text.size());
  for (const char32_t code : text.toUcs4()) {
    switch (code) {
      case u'\\': escaped += QStringLiteral("\\\\"); break;
      case u'"': escaped += QStringLiteral("\\\""); break;
      case u'\n': escaped += QStringLiteral("\\n"); break;
      case u'\r': escaped += QStringLiteral("\\r"); break;
      case u'\t': escaped += QStringLiteral("\\t"); break;
      default:
        if (!ActsOnTerminal(code))
          escaped += QString::fromUcs4(&code, 1);
        else if (code < 0x100)
          escaped += QStringLiteral("\\x%1").arg(static_cast<uint>(code), 2, 16, QLatin1Char('0'));
        else
          escaped += QStringLiteral("\\u%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0'));
    }
  }
  return escaped;
}

QString CutToEntryLength(const QString& text) {
  if (text.size() <= EntryMaxLength) return text;
  qsizetype length = EntryMaxLength;
  if (text.at(length - 1).isHighSurrogate()) --length;
  return text.left(length);
}

QString TotalReport(const QString& entry) {
  const int total = TotalOfText(CutToEntryLength(entry));
  QString report = QString::number(total) + QLatin1Char('\n');
  const QString reading = ReadingOfTotal(total);
  if (!reading.isEmpty())
    report += reading.split(QStringLiteral("\r\n")).join(QLatin1Char('\n')) + QLatin1Char('\n');
  return report;
}

QString UsageText() {
  return QStringLiteral(
      "Usage: quenary [--entry TEXT]\n"
      "       quenary --total TEXT\n"
      "       quenary --print TEXT --pdf FILE [--dpi N]\n"
      "       quenary --print TEXT --printer NAME\n"
      "       quenary --preview TEXT [--screenshot FILE]\n"
      "       quenary [--entry TEXT] [--screenshot FILE] [--screenshot-links FILE]\n"
      "       quenary --help | --version\n"
      "\n"
      "Quenary Oracle, a numerology calculator. Without options it opens the main window.\n"
      "\n"
      "  --total TEXT             print the total of TEXT on the first line and each line of its\n"
      "                           reading on a line of its own, then exit\n"
      "  --print TEXT             print the report of TEXT without any dialog, then exit\n"
      "  --pdf FILE               ... into the PDF file FILE (relative to the current folder)\n"
      "  --dpi N                  ... at N dots per inch (72 to 2400, default 600)\n"
      "  --printer NAME           ... on the printer (CUPS queue) NAME\n"
      "  --preview TEXT           show the report of TEXT in the print preview; with --screenshot FILE\n"
      "                           save a picture of the preview at Whole Page as a PNG file, then exit\n"
      "  --entry TEXT             start with TEXT in the entry field\n"
      "  --screenshot FILE        save a picture of the main window as a PNG file, then exit\n"
      "  --screenshot-links FILE  save a picture of the links window as a PNG file, then exit\n"
      "  --help                   show this help, then exit\n"
      "  --version                show the version, then exit\n"
      "\n"
      "A TEXT longer than 35 characters is cut to 35, as the entry field cuts a paste.\n"
      "Without a display the program uses Qt's offscreen platform.\n");
}

QString VersionText() { return QStringLiteral("Quenary Oracle " QUENARY_VERSION "\n"); }

bool NeedsWindowSystem(const TCommandLine& command) {
  return command.Action == TCommandAction::OpenWindow || command.Action == TCommandAction::Screenshot ||
         command.Action == TCommandAction::PrintReport || command.Action == TCommandAction::PreviewReport;
}

TCommandOutput RunConsoleCommand(const TCommandLine& command) {
  TCommandOutput output;
  switch (command.Action) {
    case TCommandAction::PrintTotal: output.Out = TotalReport(command.Entry); break;
    case TCommandAction::ShowUsage: output.Out = UsageText(); break;
    case TCommandAction::ShowVersion: output.Out = VersionText(); break;
    case TCommandAction::Invalid:
      output.ExitCode = ExitUsage;
      output.Error = QStringLiteral("quenary: %1\n\n").arg(command.Error) + UsageText();
      break;
    case TCommandAction::OpenWindow:
    case TCommandAction::Screenshot:
    case TCommandAction::PrintReport:
    case TCommandAction::PreviewReport:
      output.ExitCode = ExitUsage;
      output.Error = QStringLiteral("quenary: this command needs the window system\n");
      break;
  }
  return output;
}

void UseOffscreenWithoutDisplay() {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
}

void KeepQtNotesQuiet() {
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) WriteError(message + QLatin1Char('\n'));
  });
}

int PrintReportCommand(const TCommandLine& command) {
  TCalcFrm calculator;
  TInternetFrm links;
  calculator.Data->SetText(CutToEntryLength(command.Entry));
  TPrinter& printer = ::Printer();
  const QString name = command.PdfFile.isEmpty() ? command.PrinterName : TPrinter::PdfPrinterName();
  const int index = static_cast<int>(printer.Printers().indexOf(name));
  if (index < 0) {
    WriteError(QStringLiteral("quenary: there is no printer named \"%1\"\n").arg(name));
    return ExitFailure;
  }
  printer.SetPrinterIndex(index);
  if (!command.PdfFile.isEmpty()) printer.SetPdfOutput(command.PdfFile, command.Dpi);

  // Nobody is there to answer a message box: its text becomes the error line.
  QStringList messages;
  const ModalObserverScope answer([&messages](QWidget& window) {
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
      messages.append(box->text());
      box->accept();
    }
  });
  bool cancelled = false;
  try {
    TPrintFrm report;
    cancelled = report.DBPrintWin1->Cancelled;
  } catch (const std::exception& error) {
    WriteError(QStringLiteral("quenary: %1\n").arg(QString::fromUtf8(error.what())));
    return ExitFailure;
  }
  if (!messages.isEmpty()) {
    WriteError(QStringLiteral("quenary: %1\n").arg(messages.first()));
    return ExitFailure;
  }
  if (cancelled) {
    WriteError(QStringLiteral("quenary: the print job was aborted; nothing was printed\n"));
    return ExitFailure;
  }
  return 0;
}

int PreviewReportCommand(const TCommandLine& command) {
  TCalcFrm calculator;
  TInternetFrm links;
  calculator.Data->SetText(CutToEntryLength(command.Entry));
  const QString screenshot = command.MainScreenshot;
  QStringList messages;
  bool shown = false;
  bool saved = false;
  // With a screenshot to take nobody is there to answer: the preview is photographed as it opens, then
  // closed, and a message box's text becomes the error line.
  std::unique_ptr<ModalObserverScope> answer;
  if (!screenshot.isEmpty()) {
    answer = std::make_unique<ModalObserverScope>([&](QWidget& window) {
      if (auto* box = qobject_cast<QMessageBox*>(&window)) {
        messages.append(box->text());
        box->accept();
      } else if (auto* preview = qobject_cast<TQV_Prev*>(&window)) {
        shown = true;
        ShowAndSettle(*preview);
        const bool firstPageWhole = preview->DrawIt1->ShownPage() == 1 &&
                                    preview->PrintPreview->currentIndex() == TQV_Prev::zoWholePage;
        const QPixmap picture = preview->grab();
        saved = firstPageWhole && !picture.isNull() && picture.save(screenshot, "PNG");
        preview->CloseButtonClick();
      }
    });
  }
  try {
    TPrintFrm report(nullptr, poViewer);
  } catch (const std::exception& error) {
    WriteError(QStringLiteral("quenary: %1\n").arg(QString::fromUtf8(error.what())));
    return ExitFailure;
  }
  if (screenshot.isEmpty()) return 0;
  if (!messages.isEmpty()) {
    WriteError(QStringLiteral("quenary: %1\n").arg(messages.first()));
    return ExitFailure;
  }
  if (!shown) {
    WriteError(QStringLiteral("quenary: the preview did not open\n"));
    return ExitFailure;
  }
  if (!saved) {
    std::fprintf(stderr, "quenary: cannot write the screenshot \"%s\"\n",
                 qUtf8Printable(EscapedForTerminal(screenshot)));
    return ExitFailure;
  }
  return 0;
}

QIcon ProgramIcon() { return SvgIcon(QStringLiteral(":/icons/quenary.svg")); }

int RunWindowCommand(const TCommandLine& command) {
  Application().SetTitle(QStringLiteral("Quenary Oracle"));
  // The desktop matches the windows to the installed entry (quenary.desktop) and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("quenary"));
  QApplication::setWindowIcon(ProgramIcon());
  if (command.Action == TCommandAction::PrintReport) return PrintReportCommand(command);
  if (command.Action == TCommandAction::PreviewReport) return PreviewReportCommand(command);
  TCalcFrm calculator;
  TInternetFrm links;
  if (!command.Entry.isEmpty()) calculator.Data->SetText(CutToEntryLength(command.Entry));
  if (command.Action == TCommandAction::Screenshot) {
    bool saved = true;
    if (!command.MainScreenshot.isEmpty())
      saved = SaveScreenshot(calculator, command.MainScreenshot) && saved;
    if (!command.LinksScreenshot.isEmpty()) saved = SaveScreenshot(links, command.LinksScreenshot) && saved;
    return saved ? 0 : ExitFailure;
  }
  calculator.show();
  return Application().Run();
}
