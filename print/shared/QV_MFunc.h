#pragma once

#include "platform/SysUtils.h"

#include <QObject>
#include <QString>

class QWidget;
class DrawingContext;

/** The print library's exception: a message for the user. */
class ETarnvale : public Exception {
public:
  using Exception::Exception;
};

/** The common root of the library's non-visual components. */
class TQVComponent : public QObject {
  Q_OBJECT
public:
  explicit TQVComponent(QObject* owner = nullptr);

  /** Always the constructor's version text; writing it changes nothing visible. */
  QString About() const { return about_; }
  void SetAbout(const QString& text) { aboutWritten_ = text; }

  /** Runs the component's main action; does nothing here. */
  virtual void Execute();
  /** A one-line description of the component's class; empty here. */
  virtual QString ComponentDescription() const;

private:
  QString about_;
  QString aboutWritten_;
};

/** Where a control that prints itself must draw on the page, and through which context. */
struct TQVPrint {
  int Left = 0;
  int Top = 0;
  int OriginLeft = 0;
  int OriginTop = 0;
  int Right = 0;
  int Bottom = 0;
  DrawingContext* Context = nullptr;
};

/** On which pages a printed extra (a totals control) appears. */
enum TShow {
  tFirstPage,
  tLastPage,
  tAllPages,
  tAllButFirst,
  tAllButLast,
  tFirstAndlast,
  tAllButFirstAndLast
};

/** The caption texts the library looks up in the program's string table. */
enum TQVTextId {
  QVTextClose = 17020,
  QVTextAddNl = 17021,
  QVTextAll = 17022,
  QVTextOdd = 17023,
  QVTextEven = 17024,
  QVTextCurrent = 17025,
  QVTextPage = 17026,
  QVTextOf = 17027,
  QVTextPrintOptions = 17028,
  QVTextAllPages = 17029,
  QVTextCurrentPage = 17030,
  QVTextPageRange = 17031,
  QVTextEnterPages = 17032,
  QVTextPagesExample = 17033,
  QVTextPageSelection = 17034,
  QVTextPrintAllPages = 17035,
  QVTextPrintOddPages = 17036,
  QVTextPrintEvenPages = 17037,
  QVTextPrintStatus = 17038,
  QVTextStatus = 17040,
  QVTextAbort = 17041,
  QVTextPrint = 17042,
  QVTextFormattingFor = 17043,
  QVTextPreparingPage = 17044,
  QVTextInterrupted = 17045,
  QVTextCopies = 17046,
  QVTextNoPrinter = 17047,
  QVTextPageWidth = 17049,
  QVTextWholePage = 17050,
};

/** True, after telling the user "Error: No Printer Available", when the system has no printer. */
bool NoPrinterAvailable();

/** The program's string table text of that number, or the fallback when the table has none. */
QString LoadTextOr(int identifier, const QString& fallback);

/**
 * Paints a window and its visible child windows into a drawing context: the window's point (0, 0) lands
 * at (x, y) of the context's current coordinates, clipped to width by height.
 */
void PaintWindowTree(QWidget* control, DrawingContext& context, int x, int y, int width, int height);

/** Fills a self-printing control's record with its rectangle and context. */
void FillPrintRecord(int left, int top, int right, int bottom, TQVPrint& record, DrawingContext* context);

/** Whether an extra with that page rule is drawn on the page of that pass (1 = first) and last-page flag. */
bool ShowOnPage(TShow kind, int pass, bool last);

/** Remove the run of spaces at the end or start; a text of spaces only is left as it is. */
void TrimTrailingSpaces(QString& text);
void TrimLeadingSpaces(QString& text);

/** True when every character is a digit or "." (so also for the empty text). */
bool IsNumberText(const QString& text);

/** a / b rounded to the nearest integer, ties to even. */
long long RoundDiv(double a, double b);
/** The integer part of a / b, computed in floating point. */
long long TruncDiv(int a, int b);

/** Background mode transparent on the context. */
void SetTransparent(DrawingContext& context);
