#include "app/CommandLine.h"

#include "app/CalcFrm.h"
#include "app/Inet.h"
#include "app/Numb.h"
#include "app/Ptr.h"
#include "platform/Application.h"
#include "platform/HelpViewer.h"
#include "platform/Console.h"
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
TCommandLine Invalid(const QString& error) {
  TCommandLine command;
  command.Action = TCommandAction::Invalid;
  command.Error = error;
  return command;
}

void WriteError(const QString& message) { WriteErrorLine(QStringLiteral("quenary"), message); }

bool SaveScreenshot(QWidget& window, const QString& path) {
  try {
    SaveWindowPicture(window, path);
    return true;
  } catch (const std::exception& error) {
    WriteError(QString::fromUtf8(error.what()));
    return false;
  }
}
}  // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
  TCommandLine command;
  bool total = false;
  bool entry = false;
  bool print = false;
  bool preview = false;
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
    if (TakeOptionValue(arguments, index, QStringLiteral("--total"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Entry = value;
      total = true;
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--print"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Entry = value;
      print = true;
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--preview"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Entry = value;
      preview = true;
    } else if (TakePrintOption(arguments, index, command.Print, error)) {
      if (!error.isEmpty()) return Invalid(error);
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--entry"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Entry = value;
      entry = true;
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--screenshot-help"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      if (value.isEmpty()) return Invalid(QStringLiteral("--screenshot-help needs a file name"));
      command.HelpScreenshot = value;
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--screenshot-links"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      if (value.isEmpty()) return Invalid(QStringLiteral("--screenshot-links needs a file name"));
      command.LinksScreenshot = value;
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--screenshot"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      if (value.isEmpty()) return Invalid(QStringLiteral("--screenshot needs a file name"));
      command.MainScreenshot = value;
    } else if (argument.startsWith(QLatin1Char('-'))) {
      return Invalid(QStringLiteral("unknown option \"%1\"").arg(EscapedForTerminal(argument)));
    } else {
      return Invalid(QStringLiteral("unexpected argument \"%1\"").arg(EscapedForTerminal(argument)));
    }
  }
  const bool screenshot = !command.MainScreenshot.isEmpty() || !command.LinksScreenshot.isEmpty() ||
                          !command.HelpScreenshot.isEmpty();
  const bool destination = command.Print.HasDestination();
  if (total && (entry || screenshot || print || preview || destination))
    return Invalid(QStringLiteral("--total goes alone"));
  if (preview && (entry || print || destination || !command.LinksScreenshot.isEmpty() ||
                  !command.HelpScreenshot.isEmpty()))
    return Invalid(QStringLiteral("--preview goes with --screenshot only"));
  if (print && (entry || screenshot))
    return Invalid(QStringLiteral("--print goes with --pdf or --printer only"));
  if (const QString problem = command.Print.Problem(print); !problem.isEmpty()) return Invalid(problem);
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
      "       quenary --print TEXT (--pdf FILE [--dpi N] [--pdf-a] [--untagged] | --printer NAME)\n"
      "                    [--copies N [--collate]] [--duplex long|short|none]\n"
      "                    [--paper A4|Letter|Legal|A5] [--landscape]\n"
      "       quenary --preview TEXT [--screenshot FILE]\n"
      "       quenary [--entry TEXT] [--screenshot FILE] [--screenshot-links FILE] [--screenshot-help FILE]\n"
      "       quenary --help | --version\n"
      "\n"
      "Quenary Oracle, a numerology calculator. Without options it opens the main window.\n"
      "\n"
      "  --total TEXT             print the total of TEXT on the first line and each line of its\n"
      "                           reading on a line of its own, then exit\n"
      "  --print TEXT             print the report of TEXT without any dialog, then exit\n"
      "  --pdf FILE               ... into the PDF file FILE (relative to the current folder)\n"
      "  --dpi N                  ... at N dots per inch (72 to 2400, default 600)\n"
      "  --pdf-a                  ... as an archival PDF/A-2u file\n"
      "  --untagged               ... without the structure screen readers follow (tagged by default)\n"
      "  --printer NAME           ... on the printer (CUPS queue) NAME\n"
      "  --copies N               ... N copies (1 to 999), each page its copies unless --collate\n"
      "  --collate                ... whole sets one after the other\n"
      "  --duplex SIDES           ... on both sides, turned on the long or the short edge, or none\n"
      "  --paper SIZE             ... on A4, Letter, Legal or A5 paper\n"
      "  --landscape              ... in landscape\n"
      "  --preview TEXT           show the report of TEXT in the print preview; with --screenshot FILE\n"
      "                           save a picture of the preview at Whole Page as a PNG file, then exit\n"
      "  --entry TEXT             start with TEXT in the entry field\n"
      "  --screenshot FILE        save a picture of the main window as a PNG file, then exit\n"
      "  --screenshot-links FILE  save a picture of the links window as a PNG file, then exit\n"
      "  --screenshot-help FILE   save a picture of the help window, opened at its contents, then exit\n"
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

int PrintReportCommand(const TCommandLine& command) {
  TCalcFrm calculator;
  TInternetFrm links;
  calculator.Data->SetText(CutToEntryLength(command.Entry));
  QString error;
  QStringList warnings;
  const bool printed =
      SelectCommandPrinter(command.Print, error) && RunUnattendedPrint(
                                                        [] {
                                                          TPrintFrm report;
                                                          return !report.DBPrintWin1->Cancelled;
                                                        },
                                                        error, warnings);
  // What did not stop the print is said, and the print still counts: a script must not print it again.
  for (const QString& warning : warnings) WriteError(warning);
  if (printed) return 0;
  WriteError(error);
  return ExitFailure;
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
        try {
          if (firstPageWhole) SavePngPicture(preview->grab().toImage(), screenshot);
          saved = firstPageWhole;
        } catch (const std::exception& error) {
          messages.append(QString::fromUtf8(error.what()));
        }
        preview->CloseButtonClick();
      }
    });
  }
  try {
    TPrintFrm report(nullptr, poViewer);
  } catch (const std::exception& error) {
    WriteError(QString::fromUtf8(error.what()));
    return ExitFailure;
  }
  if (screenshot.isEmpty()) return 0;
  if (!messages.isEmpty()) {
    WriteError(messages.first());
    return ExitFailure;
  }
  if (!shown) {
    WriteError(QStringLiteral("the preview did not open"));
    return ExitFailure;
  }
  if (!saved) {
    WriteError(
        QStringLiteral("the preview did not open at its first page, whole; no screenshot was written"));
    return ExitFailure;
  }
  return 0;
}

QIcon ProgramIcon() { return SvgIcon(QStringLiteral(":/icons/quenary.svg")); }

int RunWindowCommand(const TCommandLine& command) {
  Application().SetTitle(QStringLiteral("Quenary Oracle"));
  // The PDFs it writes name the program and its version as their creator.
  QCoreApplication::setApplicationVersion(QStringLiteral(QUENARY_VERSION));
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
    if (!command.HelpScreenshot.isEmpty()) {
      calculator.show();
      calculator.HelpBtn->Click();
      saved = Application().HelpViewer() != nullptr &&
              SaveScreenshot(*Application().HelpViewer(), command.HelpScreenshot) && saved;
    }
    return saved ? 0 : ExitFailure;
  }
  calculator.show();
  return Application().Run();
}
