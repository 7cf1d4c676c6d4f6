#include "ledger/LedgerCommandLine.h"

#include "ledger/Ledger.h"
#include "ledger/LedgerFile.h"
#include "ledger/Letter.h"
#include "platform/Application.h"
#include "platform/Console.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"
#include "platform/data/DB.h"
#include "print/shared/PageRange.h"
#include "print/engine/DBPrnWin.h"
#include "print/preview/Drawscrn.h"
#include "print/preview/Qv_view.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>
#include <QWindow>
#include <cstdio>

#ifndef QUENARY_VERSION
#define QUENARY_VERSION "unknown"
#endif

namespace {
TLedgerCommandLine Invalid(const QString& error) {
  TLedgerCommandLine command;
  command.Action = TLedgerAction::Invalid;
  command.Error = error;
  return command;
}

void WriteError(const QString& message) { WriteErrorLine(QStringLiteral("quenary-ledger"), message); }

// The ledger the command names, or the user's own, made with sample entries the first time.
QString LedgerFileOf(const TLedgerCommandLine& command) {
  if (!command.LedgerFile.isEmpty()) return command.LedgerFile;
  const QString file = LedgerFile::DefaultFile();
  if (!QFileInfo::exists(file)) LedgerFile::MakeSample(file, DefaultSampleEntries);
  return file;
}

// The ledger a command works on, checked: 0 when it is ready, else the exit code after telling why (a file
// that is no ledger is a usage mistake; one that cannot be read or is busy is a failure). The Letter needs
// none.
int LedgerReady(const TLedgerCommandLine& command) {
  if (command.Letter) return 0;
  try {
    LedgerFile::Check(LedgerFileOf(command));
    return 0;
  } catch (const EDatabaseUnavailable& error) {
    WriteError(error.Message());
    return LedgerExitFailure;
  } catch (const std::exception& error) {
    WriteError(QString::fromUtf8(error.what()));
    return LedgerExitUsage;
  }
}

// What a print came to: the recorded pages, those sent to the printer (0 when a selection took none), and a
// failure told by a message box.
struct TPagesPrinted {
  QString Failure;
  /** What the printing said that did not stop it. */
  QStringList Warnings;
  int Printed = 0;
  int Recorded = 0;
};

// Prints the ledger or the letter as the command says, into its target (the printer or the preview).
TPagesPrinted PrintDocument(const TLedgerCommandLine& command, TSendTo target) {
  const auto printed = [target](const TDBPrintWin& component) {
    if (target == poPrinter && component.Cancelled)
      throw Exception(QStringLiteral("the print job was aborted; nothing was printed"));
    TPagesPrinted pages;
    pages.Printed = component.PagesPrinted;
    pages.Recorded = component.CurrentPage;
    return pages;
  };
  if (command.Letter) {
    TLetterFrm letter;
    letter.PrintLetter(target);
    return printed(*letter.DBPrintWin1);
  }
  TLedgerFrm ledger(LedgerFileOf(command));
  ledger.PrintLedger(target);
  return printed(*ledger.DBPrintWin1);
}

// Prints odd or even pages the way the preview's print options do: the job goes to the preview, which prints
// them (of the selection) with their copies, collated or each page its copies, as one print action and
// closes again.
TPagesPrinted PrintPagesAsThePreviewDoes(const TLedgerCommandLine& command) {
  TPagesPrinted result;
  QString& failure = result.Failure;
  bool shown = false;
  bool aborted = false;
  const ModalObserverScope answer([&](QWidget& window) {
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
      if (box->icon() == QMessageBox::Warning)
        result.Warnings.append(box->text());
      else if (failure.isEmpty())
        failure = box->text();
      box->accept();
    } else if (auto* preview = qobject_cast<TQV_Prev*>(&window)) {
      shown = true;
      try {
        result.Recorded = preview->DrawIt1->CountPages();
        // An aborted print leaves no file of the pages before the abort.
        TPrintAction action;
        preview->DrawIt1->PrintFromPreview(command.PageMode, command.Pages, command.Print.Copies,
                                           command.Print.Collate);
        aborted = preview->DrawIt1->PrintAborted();
        result.Printed = preview->DrawIt1->PagesPrinted();
        if (!aborted) action.Finish();
      } catch (const std::exception& problem) {
        failure = QString::fromUtf8(problem.what());
      }
      preview->CloseButtonClick();
    }
  });
  PrintDocument(command, poViewer);
  if (failure.isEmpty() && !shown) failure = QStringLiteral("the preview did not open");
  if (failure.isEmpty() && aborted)
    failure = QStringLiteral("the print job was aborted; nothing was printed");
  return result;
}

// The pages a command selects, in its own words.
QString SelectionWords(const TLedgerCommandLine& command) {
  QStringList words;
  if (!command.Pages.isEmpty())
    words.append(QStringLiteral("the page selection \"%1\"").arg(EscapedForTerminal(command.Pages)));
  if (command.PageMode != 0)
    words.append(command.PageMode == 1 ? QStringLiteral("--odd") : QStringLiteral("--even"));
  return words.join(QStringLiteral(" with "));
}

// An output the command would write over its own ledger (the same file under any name) is refused before
// anything is written.
bool OutputIsTheLedger(const TLedgerCommandLine& command, const QString& output) {
  if (command.Letter || output.isEmpty() || !SameFile(output, LedgerFileOf(command))) return false;
  WriteError(QStringLiteral("\"%1\" is the ledger file itself; it is left as it is and nothing is written")
                 .arg(EscapedForTerminal(output)));
  return true;
}

int PrintCommand(const TLedgerCommandLine& command) {
  if (const int notReady = LedgerReady(command)) return notReady;
  if (OutputIsTheLedger(command, command.Print.PdfFile)) return LedgerExitUsage;
  QString error;
  if (command.PageOptions) {
    // A selection that is none is told before anything is printed.
    try {
      QString remaining = command.Pages;
      while (NextRangeEntry(0, remaining) != reNothingLeft) {
      }
    } catch (const EConvertError& bad) {
      WriteError(bad.Message());
      return LedgerExitUsage;
    }
  }
  // Odd or even pages are the preview's choice; a page selection, copies and the rest are the print dialog's.
  const bool throughPreview = command.PageMode != 0;
  bool nothingSelected = false;
  QStringList warnings;
  QStringList previewWarnings;
  const bool printed =
      SelectCommandPrinter(command.Print, error, throughPreview ? QString() : command.Pages) &&
      RunUnattendedPrint(
          [&command, &nothingSelected, &previewWarnings, throughPreview] {
            const TPagesPrinted pages =
                throughPreview ? PrintPagesAsThePreviewDoes(command) : PrintDocument(command, poPrinter);
            previewWarnings = pages.Warnings;
            if (!pages.Failure.isEmpty()) throw Exception(pages.Failure);
            if (command.PageOptions && pages.Printed == 0) {
              nothingSelected = true;
              throw Exception(
                  QStringLiteral("%1 selects none of the %2 pages of the ledger; nothing was printed")
                      .arg(SelectionWords(command), QString::number(pages.Recorded)));
            }
            return true;
          },
          error, warnings);
  // What did not stop the print is said, and the print still counts: a script must not print it again.
  for (const QString& warning : previewWarnings + warnings) WriteError(warning);
  if (printed) return 0;
  WriteError(error);
  return nothingSelected ? LedgerExitUsage : LedgerExitFailure;
}

int MakeSampleCommand(const TLedgerCommandLine& command) {
  try {
    LedgerFile::MakeSample(command.LedgerFile, command.Entries);
  } catch (const std::exception& error) {
    WriteError(QString::fromUtf8(error.what()));
    return LedgerExitFailure;
  }
  return 0;
}

int SaveScreenshot(QWidget& window, const QString& fileName) {
  try {
    SaveWindowPicture(window, fileName);
    return 0;
  } catch (const std::exception& error) {
    WriteError(QString::fromUtf8(error.what()));
    return LedgerExitFailure;
  }
}

int ScreenshotCommand(const TLedgerCommandLine& command) {
  if (const int notReady = LedgerReady(command)) return notReady;
  if (OutputIsTheLedger(command, QFileInfo(command.Screenshot).absoluteFilePath())) return LedgerExitUsage;
  // A size asked for is taken as a window manager would take it: within the window's least and most.
  const auto sized = [&command](QWidget& window) {
    if (command.ScreenshotSize.isValid())
      window.resize(command.ScreenshotSize.expandedTo(window.minimumSize()).boundedTo(window.maximumSize()));
  };
  if (command.Letter) {
    TLetterFrm letter;
    sized(letter);
    return SaveScreenshot(letter, command.Screenshot);
  }
  try {
    // The picture shows the mouse on the Payee title, with the cursor that tells how a click there sorts.
    TLedgerFrm ledger(LedgerFileOf(command));
    sized(ledger);
    ShowAndSettle(ledger);
    const QImage picture = ledger.PictureWithTitleCursor(1);
    ledger.hide();
    SavePngPicture(picture, command.Screenshot);
    return 0;
  } catch (const std::exception& error) {
    WriteError(QString::fromUtf8(error.what()));
    return LedgerExitFailure;
  }
}

int OpenCommand(const TLedgerCommandLine& command) {
  if (const int notReady = LedgerReady(command)) return notReady;
  if (command.Letter) {
    TLetterFrm letter;
    letter.show();
    return Application().Run();
  }
  try {
    TLedgerFrm ledger(LedgerFileOf(command));
    ledger.show();
    return Application().Run();
  } catch (const std::exception& error) {
    WriteError(QString::fromUtf8(error.what()));
    return LedgerExitFailure;
  }
}

int PreviewCommand(const TLedgerCommandLine& command) {
  if (const int notReady = LedgerReady(command)) return notReady;
  try {
    PrintDocument(command, poViewer);
  } catch (const std::exception& error) {
    WriteError(QString::fromUtf8(error.what()));
    return LedgerExitFailure;
  }
  return 0;
}
}  // namespace

TLedgerCommandLine ParseLedgerCommandLine(const QStringList& arguments) {
  TLedgerCommandLine command;
  bool print = false;
  bool preview = false;
  bool entries = false;
  QString sample;
  for (qsizetype index = 0; index < arguments.size(); ++index) {
    const QString& argument = arguments.at(index);
    QString value;
    QString error;
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      command.Action = TLedgerAction::ShowUsage;
      return command;
    }
    if (argument == QLatin1String("--version")) {
      command.Action = TLedgerAction::ShowVersion;
      return command;
    }
    if (argument == QLatin1String("--letter")) {
      command.Letter = true;
    } else if (argument == QLatin1String("--print")) {
      print = true;
    } else if (argument == QLatin1String("--preview")) {
      preview = true;
    } else if (argument == QLatin1String("--odd") || argument == QLatin1String("--even")) {
      if (command.PageMode != 0) return Invalid(QStringLiteral("--odd and --even go one at a time"));
      command.PageMode = argument == QLatin1String("--odd") ? 1 : 2;
      command.PageOptions = true;
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--pages"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      command.Pages = value;
      command.PageOptions = true;
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--database"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      if (value.isEmpty()) return Invalid(QStringLiteral("--database needs a file name"));
      command.LedgerFile = QFileInfo(value).absoluteFilePath();
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--make-sample"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      if (value.isEmpty()) return Invalid(QStringLiteral("--make-sample needs a file name"));
      sample = QFileInfo(value).absoluteFilePath();
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--entries"), value, error)) {
      command.Entries = WholeNumberOption(QStringLiteral("--entries"), value, 0, 1000000, error);
      if (!error.isEmpty()) return Invalid(error);
      entries = true;
    } else if (TakePrintOption(arguments, index, command.Print, error)) {
      if (!error.isEmpty()) return Invalid(error);
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--screenshot"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      if (value.isEmpty()) return Invalid(QStringLiteral("--screenshot needs a file name"));
      command.Screenshot = value;
    } else if (TakeOptionValue(arguments, index, QStringLiteral("--size"), value, error)) {
      if (!error.isEmpty()) return Invalid(error);
      const QStringList sides = value.split(QLatin1Char('x'));
      if (sides.size() != 2) return Invalid(QStringLiteral("--size takes WIDTHxHEIGHT, as 1366x768"));
      const int width = WholeNumberOption(QStringLiteral("--size"), sides[0], 1, 10000, error);
      const int height =
          error.isEmpty() ? WholeNumberOption(QStringLiteral("--size"), sides[1], 1, 10000, error) : 0;
      if (!error.isEmpty()) return Invalid(error);
      command.ScreenshotSize = QSize(width, height);
    } else if (argument.startsWith(QLatin1Char('-'))) {
      return Invalid(QStringLiteral("unknown option \"%1\"").arg(EscapedForTerminal(argument)));
    } else {
      return Invalid(QStringLiteral("unexpected argument \"%1\"").arg(EscapedForTerminal(argument)));
    }
  }
  const bool destination = command.Print.HasDestination();
  const bool screenshot = !command.Screenshot.isEmpty();
  if (!sample.isEmpty()) {
    if (command.Letter || print || preview || screenshot || destination || !command.LedgerFile.isEmpty() ||
        command.PageOptions || command.Print.DialogChoices || command.Print.DpiGiven)
      return Invalid(QStringLiteral("--make-sample goes with --entries only"));
    command.Action = TLedgerAction::MakeSample;
    command.LedgerFile = sample;
    return command;
  }
  if (entries) return Invalid(QStringLiteral("--entries goes with --make-sample"));
  if (command.Letter && !command.LedgerFile.isEmpty())
    return Invalid(QStringLiteral("--database names the ledger; the Letter has none"));
  if ((print ? 1 : 0) + (preview ? 1 : 0) + (screenshot ? 1 : 0) > 1)
    return Invalid(QStringLiteral("--print, --preview and --screenshot go one at a time"));
  if (const QString problem = command.Print.Problem(print); !problem.isEmpty()) return Invalid(problem);
  if (command.ScreenshotSize.isValid() && !screenshot)
    return Invalid(QStringLiteral("--size goes with --screenshot"));
  if (command.PageOptions && !print)
    return Invalid(QStringLiteral("--pages, --odd and --even go with --print"));
  if (print)
    command.Action = TLedgerAction::Print;
  else if (preview)
    command.Action = TLedgerAction::Preview;
  else if (screenshot)
    command.Action = TLedgerAction::Screenshot;
  return command;
}

QString LedgerUsageText() {
  return QStringLiteral(
      "Usage: quenary-ledger [--database FILE]\n"
      "       quenary-ledger [--database FILE] --print (--pdf FILE [--dpi N] [--pdf-a] [--untagged]\n"
      "                      | --printer NAME)\n"
      "                      [--pages SELECTION] [--odd | --even] [--copies N [--collate]]\n"
      "                      [--duplex long|short|none] [--paper A4|Letter|Legal|A5] [--landscape]\n"
      "       quenary-ledger [--database FILE] (--preview | --screenshot FILE [--size WxH])\n"
      "       quenary-ledger --letter [--print ... | --preview | --screenshot FILE [--size WxH]]\n"
      "       quenary-ledger --make-sample FILE [--entries N]\n"
      "       quenary-ledger --help | --version\n"
      "\n"
      "The ledger of the Quenary Oracle, the print library's showcase. Without options it opens the ledger\n"
      "window on your own ledger, which is made with sample entries the first time.\n"
      "\n"
      "  --database FILE      the ledger file (SQLite, table \"ledger\") to open instead of your own\n"
      "  --print              print the ledger (or the letter) without any dialog, then exit\n"
      "  --pdf FILE           ... into the PDF file FILE (relative to the current folder)\n"
      "  --dpi N              ... at N dots per inch (72 to 2400, default 600)\n"
      "  --pdf-a              ... as an archival PDF/A-2u file\n"
      "  --untagged           ... without the structure screen readers follow (tagged by default)\n"
      "  --printer NAME       ... on the printer (CUPS queue) NAME\n"
      "  --pages SELECTION    ... only these pages, as the print dialog's page range takes them (1,3-4)\n"
      "  --odd, --even        ... only the odd or the even pages, as the preview prints them\n"
      "  --copies N           ... N copies (1 to 999), each page its copies unless --collate\n"
      "  --collate            ... whole sets one after the other\n"
      "  --duplex SIDES       ... on both sides, turned on the long or the short edge, or none\n"
      "  --paper SIZE         ... on A4, Letter, Legal or A5 paper\n"
      "  --landscape          ... in landscape\n"
      "  --preview            show the printout in the print preview\n"
      "  --screenshot FILE    save a picture of the window as a PNG file, then exit (the ledger's shows the\n"
      "                       mouse on the Payee title, with the cursor that says how a click sorts)\n"
      "  --size WxH           ... with the window W pixels wide and H high, within its least and most size\n"
      "  --letter             the Letter window instead: a letter of reading that shows the print library's\n"
      "                       decorative controls and a long text continued across boxes and pages\n"
      "  --make-sample FILE   make a new ledger file with sample entries (250 unless --entries N)\n"
      "  --help               show this help, then exit\n"
      "  --version            show the version, then exit\n"
      "\n"
      "Exit codes: 0 done, 1 printing failed, 2 a mistake in the command line, a page selection that is "
      "none,\n"
      "or a file that is no ledger. Without a display the program uses Qt's offscreen platform.\n");
}

QString LedgerVersionText() { return QStringLiteral("Quenary Ledger " QUENARY_VERSION "\n"); }

bool LedgerNeedsWindowSystem(const TLedgerCommandLine& command) {
  switch (command.Action) {
    case TLedgerAction::ShowUsage:
    case TLedgerAction::ShowVersion:
    case TLedgerAction::Invalid: return false;
    default: return true;
  }
}

int RunLedgerCommand(const TLedgerCommandLine& command) {
  Application().SetTitle(QStringLiteral("Quenary Ledger"));
  // The PDFs it writes name the program and its version as their creator.
  QCoreApplication::setApplicationVersion(QStringLiteral(QUENARY_VERSION));
  switch (command.Action) {
    case TLedgerAction::Open: return OpenCommand(command);
    case TLedgerAction::Print: return PrintCommand(command);
    case TLedgerAction::Preview: return PreviewCommand(command);
    case TLedgerAction::Screenshot: return ScreenshotCommand(command);
    case TLedgerAction::MakeSample: return MakeSampleCommand(command);
    case TLedgerAction::ShowUsage:
    case TLedgerAction::ShowVersion:
    case TLedgerAction::Invalid: break;
  }
  WriteError(QStringLiteral("this command needs no window system"));
  return LedgerExitUsage;
}
