#pragma once

// The print library's shared groundwork, from its exception to how a window is captured onto a page.

#include "platform/SysUtils.h"

#include <QList>
#include <QObject>
#include <QString>
#include <vector>

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

/**
 * Where a control that prints itself must draw on the page, and through which context. The rectangle is in
 * the context's device pixels, the printer pixels of the page.
 */
struct TQVPrint {
  int Left = 0;
  int Top = 0;
  int OriginLeft = 0;
  int OriginTop = 0;
  int Right = 0;
  int Bottom = 0;
  DrawingContext* Context = nullptr;
};

/** The first window message number the platform leaves to programs. */
constexpr int UserMessage = 0x0400;
/** The message that asks a library rich-text control to print its next portion (1223). */
constexpr int QVPrintMessage = UserMessage + 199;

/** What a rich-text control answers the print message with. */
enum TQVPrintAnswer {
  /** It has no text to print (a continuation box that continues no edit); taken as "done". */
  qpNothing = 0,
  /** Its text is printed to the end. */
  qpDone = 1,
  /** Text remains for a further box. */
  qpMore = 2,
};

/**
 * A control the window capture does not ask to paint but sends the print message QVPrintMessage: it prints
 * the next portion of its text into the record's rectangle and answers how far it got.
 */
class TQVPrintMessageReceiver {
public:
  virtual ~TQVPrintMessageReceiver() = default;
  /** Handles the print message for the record's rectangle and context. */
  virtual TQVPrintAnswer PrintMessage(TQVPrint& record) = 0;
  /** True while text is left for a further box, so the job knows whether another page must follow. */
  virtual bool QVTextRemains() const = 0;
};

/**
 * A container that draws a title bar of its own above its client area; the window capture draws such a
 * control's border around the client area only.
 */
class TQVTitledControl {
public:
  virtual ~TQVTitledControl() = default;
  /** Height of the title bar in screen pixels. */
  virtual int TitleBarHeight() const = 0;
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

/** Whether a window capture paints the child controls too, or leaves them to a renderer that prints them. */
enum class TQVChildControls { Painted, LeftOut };

/**
 * Paints a window and its visible child windows into a drawing context: the window's point (0, 0) lands
 * at (x, y) of the context's current coordinates, clipped to width by height. A rich-text control of the
 * library gets the print message instead of painting. Returns the controls that got the print message, in
 * the order they got it. With the child controls left out, only the control itself is painted.
 */
QList<QWidget*> PaintWindowTree(QWidget* control, DrawingContext& context, int x, int y, int width,
                                int height, TQVChildControls childControls = TQVChildControls::Painted);

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

/**
 * The pages in the order they print with that many copies: whole sets one after the other when collated
 * (1 2 3 1 2 3), each page its copies when not (1 1 2 2 3 3); fewer than one copy is one.
 */
std::vector<int> PagesWithCopies(const std::vector<int>& pages, int copies, bool collate);

/** Background mode transparent on the context. */
void SetTransparent(DrawingContext& context);
