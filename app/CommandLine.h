#pragma once

// The calculator's command line: what a start is asked to do, done without windows where none are needed.

#include <QIcon>
#include <QString>
#include <QStringList>

#include "platform/Console.h"

/** What a start of the program is asked to do. */
enum class TCommandAction {
  OpenWindow,
  PrintTotal,
  PrintReport,
  PreviewReport,
  ShowUsage,
  ShowVersion,
  Screenshot,
  Invalid
};

/** The program's command line, parsed. */
struct TCommandLine {
  TCommandAction Action = TCommandAction::OpenWindow;
  /** The text of --total, --print or --preview, or of --entry for the window. */
  QString Entry;
  /** Where --print sends the report: a PDF file (600 dpi unless --dpi says otherwise) or a named printer. */
  TPrintOptions Print;
  /** PNG files for --screenshot (of the main window, or with --preview of the preview) and --screenshot-links
   * (either may be empty). */
  QString MainScreenshot;
  QString LinksScreenshot;
  /** PNG file for --screenshot-help: the help window as the Help button opens it. */
  QString HelpScreenshot;
  /** Why the command line is Invalid. */
  QString Error;
};

/** What a console command writes and the exit code it ends with. */
struct TCommandOutput {
  int ExitCode = 0;
  QString Out;
  QString Error;
};

/** Exit codes: 0 done, 1 a file could not be written, 2 a command line the program does not understand. */
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

/** Parses the arguments that follow the program name. */
TCommandLine ParseCommandLine(const QStringList& arguments);

/** Cuts a text to the entry's 35 characters, as the entry field cuts a paste, never inside a surrogate pair.
 */
QString CutToEntryLength(const QString& text);

/** The total of an entry on the first line and each line of its reading on its own line after it. */
QString TotalReport(const QString& entry);

QString UsageText();
QString VersionText();

/** True for the actions that need windows (and so a QApplication). */
bool NeedsWindowSystem(const TCommandLine& command);

/** Runs an action that needs no windows: the total, the usage, the version or a command-line error. */
TCommandOutput RunConsoleCommand(const TCommandLine& command);

/**
 * Prints the report of the command's entry into its PDF file or on its printer, without any dialog; any
 * message the printing would show goes to standard error instead. Returns the exit code.
 */
int PrintReportCommand(const TCommandLine& command);

/**
 * Shows the report of the command's entry in the preview, as a job for the viewer; with a screenshot file,
 * saves a picture of the preview window as it opens (the first page at Whole Page) and closes it, any message
 * going to standard error. Returns the exit code.
 */
int PreviewReportCommand(const TCommandLine& command);

/** The program's icon, drawn from its vector picture. */
QIcon ProgramIcon();

/**
 * Starts the program proper under a running QApplication: titles the application, creates the main window and
 * the hidden links window, and either saves the requested screenshots or runs the message loop.
 * Returns the exit code; problems are written to standard error.
 */
int RunWindowCommand(const TCommandLine& command);
