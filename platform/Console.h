#pragma once

// What both programs' command lines share, down to printing where no one is there to answer a dialog.

#include "platform/Printers.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>

class QImage;
class QWidget;

/**
 * What the programs' command lines share: reading option values, writing to the terminal safely, running
 * without a display, photographing a window, and printing where nobody is there to answer a dialog.
 */

/**
 * The value of "--name VALUE" or "--name=VALUE" standing at arguments[index] (index moves past a separate
 * value); false when the argument is another option. A missing value is told in error.
 */
bool TakeOptionValue(const QStringList& arguments, qsizetype& index, const QString& name, QString& value,
                     QString& error);

/**
 * The whole number an option's value gives; when error is still empty and the value is no whole number from
 * lowest to highest, error says so: "<name> takes a whole number from <lowest> to <highest>, not "<value>"".
 */
int WholeNumberOption(const QString& name, const QString& value, int lowest, int highest, QString& error);

/**
 * Where a command prints, and what the print dialog would otherwise ask: a PDF file at a resolution or a
 * named printer; copies and their order, both sides, paper and orientation.
 */
struct TPrintOptions {
  /** Absolute, taken from the folder the program was started in. */
  QString PdfFile;
  QString PrinterName;
  /** Dots per inch of the PDF file. */
  int Dpi = 600;
  bool DpiGiven = false;
  /** --pdf-a: the PDF file is archival, PDF/A-2u (TPrinter::SetPdfArchival). */
  bool PdfA = false;
  /** --untagged: the PDF file has no structure for screen readers (TPrinter::SetPdfTagged). */
  bool Untagged = false;
  int Copies = 1;
  /** Whole sets one after the other (1 2 3 1 2 3); without it each page its copies (1 1 2 2 3 3). */
  bool Collate = false;
  TDuplex Duplex = TDuplex::None;
  /** "A4", "Letter", "Legal" or "A5"; empty for the printer's own. */
  QString Paper;
  bool Landscape = false;
  /** Whether any of copies, collate, duplex, paper or landscape was given. */
  bool DialogChoices = false;

  bool HasDestination() const { return !PdfFile.isEmpty() || !PrinterName.isEmpty(); }
  /**
   * What is wrong with the options of a command that prints (printing) or does not: printing needs exactly
   * one of --pdf and --printer, those and the dialog's choices need printing, --dpi, --pdf-a and --untagged
   * need --pdf.
   * Empty when nothing is wrong.
   */
  QString Problem(bool printing) const;
};

/**
 * Reads "--pdf FILE", "--printer NAME", "--dpi N" (72 to 2400), "--pdf-a", "--untagged", "--copies N" (1 to
 * 999),
 * "--collate", "--duplex long|short|none", "--paper A4|Letter|Legal|A5" or "--landscape" standing at
 * arguments[index] into the options; true when the argument was one of them (then error tells a missing or
 * bad value).
 */
bool TakePrintOption(const QStringList& arguments, qsizetype& index, TPrintOptions& options, QString& error);

/**
 * The text with everything a terminal would act on rather than show (control characters, line and
 * paragraph separators, direction marks) written as escapes, and backslashes and quotes escaped; cut with
 * "…" after MaximumShownLength characters, as ShownName does.
 */
QString EscapedForTerminal(const QString& text);

/** Writes the text as UTF-8 and flushes. */
void WriteText(std::FILE* stream, const QString& text);

/**
 * Writes "<program>: <message>" as one line on standard error. Whatever in the message a terminal would act
 * on (control characters from a file name, a line break) is written as an escape, so one failure is one
 * line and no outside text can reach the terminal as a command.
 */
void WriteErrorLine(const QString& program, const QString& message);

/**
 * Picks Qt's offscreen platform when there is no display (neither DISPLAY nor WAYLAND_DISPLAY) and no
 * platform was chosen (QT_QPA_PLATFORM), so the programs also run on a machine without a desktop.
 */
void UseOffscreenWithoutDisplay();

/**
 * Keeps Qt's notes about the platform (no runtime folder, no raise() offscreen) off standard error, so a
 * scripted print says nothing when it works and one line when it fails. Serious errors still go through.
 */
void KeepQtNotesQuiet();

/** Shows the window and lets it reach the screen, so a picture of it is what a user would see. */
void ShowAndSettle(QWidget& window);

/**
 * Saves the picture as a PNG file that takes the file's name in one step (TAtomicFile). Fails with an
 * Exception "cannot write the screenshot "<file>": <reason>", leaving a file of that name as it was.
 */
void SavePngPicture(const QImage& picture, const QString& fileName);

/** Saves a PNG picture of the window as a user would see it, then hides it; fails like SavePngPicture. */
void SaveWindowPicture(QWidget& window, const QString& fileName);

/**
 * Selects the printer a command asks for: the PDF destination writing its PDF file at its resolution when a
 * file is given, else the printer (CUPS queue) of that name, with the command's copies, their order, both
 * sides, paper and orientation as the print dialog would set them (the pages of `pages`, a selection as the
 * preview takes it); false, with the reason, when there is no such printer.
 */
bool SelectCommandPrinter(const TPrintOptions& options, QString& error, const QString& pages = QString());

/**
 * Runs a print job where nobody is there to answer: every message box is answered with OK. The text of an
 * error or information box, the message of an exception or an aborted job (the job answers false) becomes
 * the one line of error, and the job counts as failed. A warning box tells of something that did not stop
 * the print (settings that could not be saved, a queue that holds the job): its text goes to warnings, and
 * the print still counts. True when the job printed.
 */
bool RunUnattendedPrint(const std::function<bool()>& job, QString& error, QStringList& warnings);
