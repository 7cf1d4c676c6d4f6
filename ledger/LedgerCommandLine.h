#pragma once

// The ledger program's command line: what a start is asked to do, and doing it, with or without windows.

#include "platform/Console.h"

#include <QSize>
#include <QString>
#include <QStringList>

/** Entries of a sample ledger unless --entries says otherwise. */
constexpr int DefaultSampleEntries = 250;

/** What a start of the ledger program is asked to do, with the ledger window or (Letter) the Letter window.
 */
enum class TLedgerAction { Open, Print, Preview, Screenshot, MakeSample, ShowUsage, ShowVersion, Invalid };

/** The ledger program's command line, parsed. */
struct TLedgerCommandLine {
  TLedgerAction Action = TLedgerAction::Open;
  /** The action is the Letter window's rather than the ledger's. */
  bool Letter = false;
  /** The ledger file (absolute); empty for the user's own ledger. For --make-sample, the file to make. */
  QString LedgerFile;
  int Entries = DefaultSampleEntries;
  /**
   * Which pages --print prints: a page selection ("1,3-4"), as the print dialog's page range takes it, and
   * odd or even pages (PageMode 1 or 2; 0 all), which go the preview's way (with Print.Copies, collated or
   * each page its copies as Print.Collate says).
   */
  QString Pages;
  int PageMode = 0;
  /** Whether --pages, --odd or --even was given. */
  bool PageOptions = false;
  /**
   * Where --print sends the ledger or the letter, a PDF file (600 dpi unless --dpi) or a named printer, and
   * the print dialog's other choices (copies, collate, both sides, paper, landscape).
   */
  TPrintOptions Print;
  /** The PNG file of --screenshot. */
  QString Screenshot;
  /** The window's size for --screenshot (--size WIDTHxHEIGHT, kept within the window's limits); empty: its
   * own. */
  QSize ScreenshotSize;
  /** Why the command line is Invalid. */
  QString Error;
};

/**
 * Exit codes: 0 done, 1 the action failed, 2 a command line the program does not understand, a page selection
 * that is no page selection, or a file that is no ledger.
 */
constexpr int LedgerExitFailure = 1;
constexpr int LedgerExitUsage = 2;

/** Parses the arguments that follow the program name. */
TLedgerCommandLine ParseLedgerCommandLine(const QStringList& arguments);

QString LedgerUsageText();
QString LedgerVersionText();

/** True for the actions that need windows (and so a QApplication). */
bool LedgerNeedsWindowSystem(const TLedgerCommandLine& command);

/**
 * Runs an action under a running QApplication: opens the ledger or the Letter window, prints either without
 * any dialog (messages the printing would show go to standard error as one line, and the exit code says it
 * failed), shows it in the preview, saves a picture of the window, or makes a sample ledger file. The user's
 * own ledger is made with sample entries the first time it is opened. Returns the exit code.
 */
int RunLedgerCommand(const TLedgerCommandLine& command);
