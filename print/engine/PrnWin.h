#pragma once

// The printing component: a window printed as a job of pages with header and footer bands.

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Printers.h"
#include "platform/Types.h"
#include "print/device/QV_PageFiles.h"
#include "print/shared/QV_MFunc.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class TGdi;
class TLaidOutScope;
class TPrintDialog1;

/** The unit of a printing component's distances. */
enum TUnits { poInches, poCentimetres };

/** Edge styles a component may frame its objects with. */
enum TQVFrameStyle { frThin, frThinThin, frThinThick, frThickThin, frThickThick };

/** How a component came to be: dropped on a form in the designer, or made by the program while it runs. */
enum class TCreation { RunTime, Designer };

/**
 * The printing component: prints a live window as a job of recorded pages with a header and a footer band,
 * then sends the pages to the printer once per copy or shows them in the preview.
 *
 * A job is StartJob, one or more PrintControlAt (one page) or PrintControlPages (as many pages as the
 * content needs), then FinishJob; Execute runs that for ExecuteWinControl. Every event is called with the
 * component as sender. Distances are in Units from the top-left corner of the printable area.
 *
 * Settings are plain fields, as on a form; the three fonts are owned objects that setting copies into.
 */
/**
 * The dynamic property by which a form names a control a heading of its printed document: 1 to 6 for H1 to
 * H6 in a tagged PDF (control->setProperty(HeadingLevelProperty, 1)).
 */
inline constexpr const char* HeadingLevelProperty = "headingLevel";

class TPrintWin : public TQVComponent {
  Q_OBJECT
public:
  explicit TPrintWin(QObject* owner = nullptr, TCreation creation = TCreation::RunTime);
  ~TPrintWin() override;

  // Settings
  // -------------------------------------------------------------------------------------------------

  /** Font of the header band. */
  TFont& HeaderFont() { return headerFont_; }
  void SetHeaderFont(const TFont& font) { headerFont_.Assign(font); }
  TFont& Font() { return font_; }
  void SetFont(const TFont& font) { font_.Assign(font); }
  TFont& FooterFont() { return footerFont_; }
  void SetFooterFont(const TFont& font) { footerFont_.Assign(font); }

  bool FrameObjects = true;
  bool clBtnFaceAsWhite = true;
  /** poPrinter or poViewer. */
  TSendTo OutputTo = poViewer;
  TPrinterOrientation Orientation = poPortrait;
  TUnits Units = poInches;
  QString ViewButtonCaption;
  bool ViewButtonVisible = false;
  bool ShowCancelDialog = true;
  /**
   * What the job's PDF says of itself: its title (shown as a viewer's window title; empty: the document's
   * name), author, subject and language (a BCP 47 tag such as "en-GB"; empty: the program's locale).
   */
  QString DocumentTitle;
  QString DocumentAuthor;
  QString DocumentSubject;
  QString DocumentLanguage;
  /**
   * Whether the job's PDF is tagged: headings, paragraphs, tables, figures and links in a structure a screen
   * reader follows, the page bands and frames marked as the paper's. On by default.
   */
  bool Tagged = true;
  /**
   * PrintControlPages lays a control that a Qt layout arranges out to the room it has on each page
   * (RoomAt), and gives it back its size afterwards: a form made for the screen fills the paper, and its
   * table takes the whole height of each page, more of it on pages that begin higher.
   */
  bool FitToPage = false;

  TNotifyEvent OnAfterPrint;
  TNotifyEvent OnBeforePrint;
  TNotifyEvent OnBeforePrintControl;
  TNotifyEvent OnAfterPrintControl;
  TNotifyEvent OnNewColumn;
  TNotifyEvent OnNewPage;
  TNotifyEvent OnPrint;
  TNotifyEvent OnPrintHeader;
  TNotifyEvent OnPrintFooter;
  TNotifyEvent OnPrintPage;
  TNotifyEvent OnViewButtonClicked;

  int LineWidth = 0;
  /** How many times the recorded pages go to the printer; 0 or less sends nothing. */
  int Copies = 1;
  bool GridBackDrop = false;
  TUnits GridBackDropUnits = poInches;
  double ZoomPercentage = 100.0;
  double HeaderTop = 0.5;
  double HeaderLeft = 0.5;
  QString HeaderStringLeft = Blanks(34);
  QString HeaderStringCenter = Blanks(34);
  QString HeaderStringRight = Blanks(34);
  bool HeaderEnabled = true;
  bool HeaderOutlined = false;
  bool HeaderFilled = false;
  /** Page background and band fill; assigning copies style and colour. */
  TBrush Brush;
  /** Its colour is the page pen's at the start of a job. */
  TPen Pen;
  TColor TextColor = clBlack;
  TColor ViewBkColor = 11234567;
  QString ViewHeading = QStringLiteral("Quillora Viewer");
  TColor HeadingColor = clSilver;
  TQVFrameStyle FrameStyle = frThin;
  /** Top of the footer band; every job sets it to the printable height less its twentieth. */
  double FooterTop = 0.0;
  QString FooterString = Blanks(50);
  bool FooterEnabled = true;
  bool FooterOutlined = false;
  bool FooterFilled = false;
  bool FixSansSerif = true;
  QString FooterStringLeft;
  QString FooterStringRight;
  double BorderLeft = 0.5;
  /** A distance from the right edge of the printable area. */
  double BorderRight = 0.5;
  /** Printer pixels per screen pixel, vertically; every job sets it. */
  double LineSpacing = 2.8;

  /** The control Execute prints; cleared when that control is destroyed. */
  QWidget* ExecuteWinControl() const { return executeWinControl_; }
  void SetExecuteWinControl(QWidget* control);

  // Run-time state
  // -------------------------------------------------------------------------------------------

  TFont& FooterTextFont() { return footerTextFont_; }
  TFont& SpareTextFont() { return spareTextFont_; }
  double ScaleX = 2.8;
  double ScaleY = 2.8;
  int PrinterDpiX = 0;
  int PrinterDpiY = 0;
  /** The job's page device, from StartJob to FinishJob; nullptr outside a job. */
  TGdi* PageDevice() const { return pageDevice_.get(); }
  int RightEdge = 0;
  int CurrentPage = 0;
  bool Cancelled = false;
  /**
   * The recorded pages the last job sent to the printer, once for all its copies; 0 when it sent none (a
   * page selection that took no page, a job only previewed or aborted).
   */
  int PagesPrinted = 0;
  int PagePass = 0;
  bool PageComplete = true;
  QWidget* CurrentControl = nullptr;
  bool BoxTextEnabled = true;
  bool ObjectFrameAllowed = true;
  bool FrameBoxes = true;
  bool FillBoxes = true;
  TQVPrint& GraphicPrintRecord() { return graphicPrintRecord_; }

  // Operations
  // -----------------------------------------------------------------------------------------------

  /** Prints ExecuteWinControl at (1, 1) as a whole job; tells the user when there is none. */
  void Execute() override;
  QString ComponentDescription() const override;
  /** Draws an edit control as a text box at the text position (the edit rule). */
  virtual void PrintEditBox(QWidget* control, const TRect& rect, int textX, int textY);
  /** Opens the job and its first page (with the status dialog when ShowCancelDialog is set). */
  virtual void StartJob();
  /** Closes the last page and delivers the job to the printer or the preview. */
  virtual void FinishJob();
  /**
   * Drops a job its caller cannot finish (a page that could not be written, an interruption): nothing is
   * delivered, its pages and its status dialog go, and whatever it held for the job is let go. Nothing
   * happens outside a job. TPrintJobScope calls it for a job left by an exception.
   */
  virtual void AbandonJob();
  /** Renders the control and its children on the current page with its top-left at (left, top). */
  virtual void PrintControlAt(QWidget* control, double left, double top);
  /** Renders the control page after page while a renderer reports that content remains. */
  virtual void PrintControlPages(QWidget* control, double left, double top);
  /**
   * The same, with the control's top at laterTop on the pages after the first: a form whose first page
   * carries a heading printed above it runs on from the top of the later pages. Returns where the control
   * ended on its last page, in Units: the top of whatever prints below it there.
   */
  double PrintControlPages(QWidget* control, double left, double top, double laterTop);
  /**
   * Where a control printed with its top at top ends, in Units: the top of whatever prints below it. A
   * control's screen pixels print at ScreenPixelsPerInch() (96) to the inch.
   */
  double Below(const QWidget* control, double top) const;
  /**
   * Adds an entry to the document's outline (a PDF's bookmarks) leading to the page being printed, at top
   * (Units; below the header band when negative), nested under the entry before it of a lower level. Outside
   * a job it does nothing.
   */
  void AddOutlineEntry(const QString& title, int level = 0, double top = -1);
  /** How many Units make an inch: 1, or 2.54 in centimetres. */
  double UnitsPerInch() const { return Units == poCentimetres ? 2.54 : 1.0; }
  /** The top, in Units, of a control that prints just below the header band (HeaderTop without one). */
  double BelowHeader() const;
  /**
   * The room, in screen pixels, that a control printed at (left, top) has on the job's paper: up to the right
   * border and to a tenth of an inch above the footer band (or, without a footer, as far from the bottom as
   * the right border is from the right). A form laid out to it between StartJob and its printing fills the
   * paper the user chose, whatever its size and orientation. Empty outside a job.
   */
  QSize RoomAt(double left, double top) const;

  /**
   * ProcessMessages for work that asks very often (each cell of a grid): the events run at most sixty times
   * a second, and a signal to stop is seen at every call.
   */
  static void ProcessMessagesNowAndThen();

  /** A text of that many blanks (the defaults of the band texts). */
  static QString Blanks(int count) { return QString(count, QLatin1Char(' ')); }

protected:
  /** Calls a handler with this component as sender, when it has one. */
  void Fire(const TNotifyEvent& event) {
    if (event) event(this);
  }
  /** Closes the current page and opens the next, with the bands. */
  void StartNewPage();
  /** Called as each pass of PrintControlPages begins, before its page is printed. */
  virtual void StartPass() {}
  /**
   * Captures the control as its own window paints it, onto the rectangle (printer pixels); a renderer that
   * prints the child controls by their own rules leaves them out.
   */
  void CaptureWindow(QWidget* control, int left, int top, int right, int bottom,
                     TQVChildControls childControls = TQVChildControls::Painted);
  /**
   * Brackets one PrintControlAt call. When the outermost call of a pass ends with text left in a rich-text
   * control it reached, PageComplete is cleared, so PrintControlPages goes on to a further page; text that a
   * later box of the same pass printed to its end needs no page more.
   */
  class ControlPrintScope {
  public:
    explicit ControlPrintScope(TPrintWin& component);
    ~ControlPrintScope();
    ControlPrintScope(const ControlPrintScope&) = delete;
    ControlPrintScope& operator=(const ControlPrintScope&) = delete;

  private:
    TPrintWin& component_;
  };
  /**
   * Selects a control's font for its text: the printer canvas takes it in points, the page font follows
   * (with "MS Sans Serif" and "System" renamed "Arial" in the font itself when FixSansSerif is set).
   */
  void SelectControlFont(TFont& font);
  /** Lets waiting window events run, so the status dialog stays live. */
  static void ProcessMessages();

private:
  /** Lays a control out to its room on each page of PrintControlPages, and gives its size back at the end. */
  class TFitToPageScope {
  public:
    TFitToPageScope(const TPrintWin& component, QWidget* control);
    ~TFitToPageScope();
    TFitToPageScope(const TFitToPageScope&) = delete;
    TFitToPageScope& operator=(const TFitToPageScope&) = delete;
    void LayOut(double left, double top) const;

  private:
    const TPrintWin& component_;
    QPointer<QWidget> control_;
    QSize screenSize_;
    bool holdsTable_ = false;
    /** A window never shown is shown off the screen for the run, so its layouts follow the new sizes. */
    std::unique_ptr<TLaidOutScope> laidOut_;
  };

  void DrawHeader();
  void DrawFooterAndCorners();
  void DrawBackdrop();
  void SelectFooterTextFont();
  void SetBandBrush();
  void ShowPreview();
  void ReleaseStatusDialog();
  void DeliverToPrinter(bool showStatus);

  TFont headerFont_;
  TFont font_;
  TFont footerFont_;
  TFont footerTextFont_;
  TFont spareTextFont_;
  QPointer<QWidget> executeWinControl_;
  QMetaObject::Connection executeWinControlWatch_;
  TQVPrint graphicPrintRecord_;
  /** The rich-text controls the window captures of the current pass sent the print message. */
  QList<QPointer<QWidget>> printMessaged_;
  int controlPrintDepth_ = 0;
  std::unique_ptr<TGdi> pageDevice_;
  std::unique_ptr<TPrintDialog1> statusDialog_;
};

/**
 * One job of a printing component for the scope's life: the constructor starts it (StartJob), Finish
 * finishes it (FinishJob), and a scope left without Finish, by an exception, abandons it (AbandonJob), so a
 * failure half-way leaves no pages, no open dialog and no data set held.
 */
class TPrintJobScope {
public:
  explicit TPrintJobScope(TPrintWin& component) : component_(component) {
    try {
      component_.StartJob();
    } catch (...) {
      component_.AbandonJob();
      throw;
    }
  }
  ~TPrintJobScope() {
    if (!finished_) component_.AbandonJob();
  }
  TPrintJobScope(const TPrintJobScope&) = delete;
  TPrintJobScope& operator=(const TPrintJobScope&) = delete;

  void Finish() {
    finished_ = true;
    component_.FinishJob();
  }

private:
  TPrintWin& component_;
  bool finished_ = false;
};
