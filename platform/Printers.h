#pragma once

// The program-wide printer: where the next print goes, on which paper, with which choices.

#include "platform/Graphics.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPageSize;
class TFontShaper;
class QPainter;
class QPaintDevice;
class QPrinter;

enum TPrinterOrientation { poPortrait, poLandscape };

/**
 * Which writer makes PDF documents (a PDF file, a queue's spool): the program's own, which plays recorded
 * pages straight into PDF, or Qt's, the reference it is compared with.
 */
enum class TPdfWriterKind { Own, Qt };

/** Printing on both sides of the sheet: not at all, turned on the long edge, or on the short edge. */
enum class TDuplex { None, LongEdge, ShortEdge };

/**
 * What a PDF says of itself: its title (a viewer shows it as the window's title), author, subject and
 * language (a BCP 47 tag such as "en-GB", read by screen readers). Empty entries are left out, an empty title
 * gives the document's name instead, and an empty language the program's locale.
 */
struct TDocumentInformation {
  QString Title;
  QString Author;
  QString Subject;
  QString Language;
};

/**
 * What the user chose for the pages of the next print, beyond the printer and its paper: how many copies, in
 * which order, and which pages (a selection as the preview's print options take it, "1,3-4"; empty for all).
 */
struct TPrintJobOptions {
  int Copies = 1;
  /** Copies one whole set after the other (1 2 3 1 2 3) rather than each page its copies (1 1 2 2 3 3). */
  bool Collate = true;
  QString PageRanges;

  bool operator==(const TPrintJobOptions& other) const {
    return Copies == other.Copies && Collate == other.Collate && PageRanges == other.PageRanges;
  }
};

/**
 * The printer's canvas: the font, brush and pen the printing code keeps in step with what it draws, and
 * text measured on the printer's own paint device, so measuring and drawing agree.
 */
class TPrinterCanvas {
public:
  explicit TPrinterCanvas(class TPrinter& printer) : printer_(printer) {}

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  TBrush& Brush() { return brush_; }
  TPen& Pen() { return pen_; }

  /** Width in printer pixels of the text in the canvas font. */
  int TextWidth(const QString& text) const;
  /** Height in printer pixels of a line of text in the canvas font. */
  int TextHeight(const QString& text) const;
  /** The text cut at its end with "…" to fit the width in the canvas font; the whole text when it fits. */
  QString ElidedText(const QString& text, int width) const;

  /**
   * The painter drawing on the current sheet while a document is open, else nullptr. With the program's own
   * PDF writer, what it draws is recorded and written when the sheet ends.
   */
  QPainter* Painter() const;

private:
  /** Metrics of the canvas font on the measuring device, made again only when the font or device changes. */
  const QFontMetrics& Metrics() const;

  TPrinter& printer_;
  TFont font_;
  TBrush brush_;
  TPen pen_;
  /**
   * A font's metrics on the measuring device and the widths measured in it, a few thousand at most. A page
   * turns between a few fonts (a grid's titles and cells, the header and footer bands), so the last few
   * fonts keep theirs; all go when the device changes.
   */
  struct MeasuredFont {
    QString Name;
    int Height = 0;
    TFontStyles Style = 0;
    QFontMetrics Metrics;
    QHash<QString, int> Widths;
    /** The font at the device's resolution, and its file as plain lines are measured in without Qt's layout.
     */
    QFont Font;
    QRawFont Raw;
    std::shared_ptr<TFontShaper> Shaper;
  };
  static constexpr qsizetype MeasuredTextsKept = 4096;
  static constexpr std::size_t MeasuredFontsKept = 8;
  MeasuredFont& Measured() const;
  /** The fonts measured on the device, the current one first. */
  mutable std::vector<MeasuredFont> measured_;
  mutable const QPaintDevice* measuredDevice_ = nullptr;
};

/**
 * The program-wide printer object: the list of printers (the CUPS queues and a "Print to PDF" destination),
 * the selected one (index -1 = the default printer), orientation, printable page size and resolution, the
 * canvas, and the life of one print document (begin, new sheet, end, abort).
 */
class TPrinter {
public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  /** Name of the destination that writes a PDF file instead of printing. */
  static QString PdfPrinterName();

  /** Printer names: the CUPS queues, then "Print to PDF". */
  QStringList Printers() const;
  /**
   * Replaces the list of printer names (tests use it, also to empty the list). Names that are no queue of the
   * system lay out and print like "Print to PDF".
   */
  void SetPrinters(const QStringList& names);
  /** Reads the system's printers again. */
  void RefreshPrinters();

  /**
   * The selected printer's index; when none was chosen, the default printer's own index (-1 only without
   * printers).
   */
  int PrinterIndex() const;
  /**
   * Selects a printer by index; -1 selects the default printer. Fails with an Exception for any other index
   * out of range.
   */
  void SetPrinterIndex(int index);
  /** Name of the selected printer, or an empty text when there are no printers. */
  QString PrinterName() const;

  TPrinterOrientation Orientation() const;
  void SetOrientation(TPrinterOrientation orientation);
  /**
   * The orientation the user chose (in the print dialog, on a command line): it is set, and from then on
   * OrientationChosen() tells a print job to keep it rather than lay out its own.
   */
  void ChooseOrientation(TPrinterOrientation orientation);
  bool OrientationChosen() const;

  /**
   * The paper every printer lays out on, once chosen (in the print dialog, on a command line); until then
   * each printer's own (a queue's default, A4 or Letter by the locale for a PDF file).
   */
  QPageSize PaperSize() const;
  void SetPaperSize(const QPageSize& paper);
  TDuplex Duplex() const;
  void SetDuplex(TDuplex duplex);
  /** Colour, or shades of grey (monochrome). */
  bool Color() const;
  void SetColor(bool color);

  /**
   * Copies, their order and the pages of the next print, as chosen. A print job plans its pages by them
   * (TGdi::PrintPages); a system queue is given them with the document and does the work itself.
   */
  TPrintJobOptions JobOptions() const;
  void SetJobOptions(const TPrintJobOptions& options);

  /**
   * The writer the next documents are made by: the program's own unless set otherwise, or unless the
   * environment variable QUENARY_PDF_WRITER is "qt" when the program starts.
   */
  TPdfWriterKind PdfWriter() const;
  void SetPdfWriter(TPdfWriterKind writer);

  /** Whether the selected printer is a system (CUPS) queue rather than the PDF destination. */
  bool IsQueue() const;
  /** The PDF file the last completed document or print action went to; empty when none did. */
  QString LastPdfFile() const;

  /** Printable width and height of a sheet in device pixels, for the current orientation. */
  int PageWidth() const;
  int PageHeight() const;
  /** Pixels per inch, horizontally and vertically. */
  int ResolutionX() const;
  int ResolutionY() const;

  /**
   * Where "Print to PDF" writes, and at which resolution (300 dots per inch unless set). Without a file
   * name the document goes to a new file named after its title in the user's documents folder.
   */
  QString PdfFileName() const;
  void SetPdfOutput(const QString& fileName, int dotsPerInch);
  /**
   * Selects "Print to PDF" (adding it to a list set without it) and its file and resolution in one call: the
   * next documents go into that file (a new file in the documents folder without a name; 300 dots per inch
   * unless given).
   */
  void PrintToPdf(const QString& fileName, int dotsPerInch = 0);

  /**
   * The name documents are sent under when BeginDoc is given none (the queue shows it; cups-pdf names its
   * file after it).
   */
  QString Title() const;
  void SetTitle(const QString& title);
  /**
   * Whether the next PDF files are archival, PDF/A-2u (ISO 19005-2): an sRGB output intent, metadata that
   * names the standard, every font embedded with every glyph mapped to characters. A document whose pages
   * the program's own writer cannot draw goes through Qt's, which makes PDF/A-1b. Off by default.
   */
  bool PdfArchival() const;
  void SetPdfArchival(bool archival);
  /**
   * Whether the next PDF files are tagged: what the pages mark as the document's structure becomes its
   * structure tree, and everything else drawn is marked as an artifact. On by default.
   */
  bool PdfTagged() const;
  void SetPdfTagged(bool tagged);
  /** What the next PDF files say of themselves (TDocumentInformation). */
  TDocumentInformation DocumentInformation() const;
  void SetDocumentInformation(const TDocumentInformation& information);

  /**
   * Takes over everything chosen on QtPrinter() in the print dialog: the printer or PDF file, the paper and
   * its orientation, both sides and colour, and the copies, their order and the pages (JobOptions).
   */
  void TakeQtPrinterSettings();

  /**
   * The canvas of the selected printer. Its font's pixels per inch is the printer's vertical resolution, as
   * on a printer's own canvas; when the printer or its resolution changes, the font keeps its size in points.
   */
  TPrinterCanvas& Canvas();

  /** A paint device with the printer's metrics, for measuring text outside a document. */
  QPaintDevice* MeasuringDevice() const;

  /**
   * Opens a print document; Printing() is true until EndDoc or Abort. The sheets are collected in a private
   * spool file and nothing reaches the printer before EndDoc. On a system queue the document goes with
   * the paper, orientation, both sides and colour of the printer and with the copies, order and pages of
   * queueOptions, which the queue makes itself; into a PDF file every sheet painted is one page, once.
   * Fails with an Exception while a document is open or when the spool file cannot be made.
   */
  void BeginDoc(const QString& title = QString(), const TPrintJobOptions& queueOptions = TPrintJobOptions());
  /** Starts a new sheet of the open document. */
  void NewPage();
  /**
   * Draws a recorded page on the current sheet, one recorded unit a device pixel. The program's own writer
   * takes the page's display list as it is; a page it cannot draw is drawn by Qt onto a picture of the sheet
   * at the printer's resolution, so nothing is drawn wrong.
   */
  void DrawPage(const class PagePicture& page);
  /**
   * Closes the document and sends it to the printer (or writes the PDF). Fails with an Exception naming the
   * printer or file when it cannot be delivered; the document is closed either way. A queue whose printer is
   * stopped takes the document to wait there: a warning box says so, once the print action ends.
   */
  void EndDoc();
  /** Abandons the open document: nothing of it is sent. */
  void Abort();
  bool Printing() const;
  /** Whether the last document was abandoned. */
  bool Aborted() const;

  /**
   * Brackets the documents of one print action (every copy of a job, every page printed from a preview).
   * On a CUPS queue each document stays its own job. On the PDF destination all documents of the action go
   * into the one chosen file, in order, written when the outermost action ends with deliver set; an action
   * in which a document was aborted, or that ends without deliver, writes no file at all (a file already
   * there stays as it was). Fails like EndDoc when the file cannot be written. Use TPrintAction. A PDF
   * that was given no file name is named after the outermost action's title, else its first document's.
   */
  void BeginPrintAction(const QString& title = QString());
  void EndPrintAction(bool deliver);
  bool InPrintAction() const;

  /** Lets pending window messages run while pages spool (the abort procedure), so an Abort button works. */
  void ProcessAbortProcedure();

  /** The Qt printer behind this object, for the platform's print dialog. */
  QPrinter& QtPrinter();

private:
  friend class TPrinterCanvas;
  void FinishActionFile(bool deliver);
  /** A warning box naming the stopped printer a document just went to, once. */
  void TellStoppedQueue();
  class Private;
  std::unique_ptr<Private> d_;
  TPrinterCanvas canvas_;
};

/** The program-wide printer object. */
TPrinter& Printer();

/** The writer of the program-wide printer's PDF documents set for the scope's lifetime. */
class TPdfWriterScope {
public:
  explicit TPdfWriterScope(TPdfWriterKind writer) : previous_(Printer().PdfWriter()) {
    Printer().SetPdfWriter(writer);
  }
  ~TPdfWriterScope() { Printer().SetPdfWriter(previous_); }
  TPdfWriterScope(const TPdfWriterScope&) = delete;
  TPdfWriterScope& operator=(const TPdfWriterScope&) = delete;

private:
  TPdfWriterKind previous_;
};

/**
 * One print action on the program-wide printer for the scope's lifetime. Finish delivers it (and may fail
 * like EndDoc); a scope left without Finish, by an exception for instance, writes no PDF file.
 */
class TPrintAction {
public:
  explicit TPrintAction(const QString& title = QString()) { Printer().BeginPrintAction(title); }
  ~TPrintAction() {
    if (!finished_) Printer().EndPrintAction(false);
  }
  TPrintAction(const TPrintAction&) = delete;
  TPrintAction& operator=(const TPrintAction&) = delete;

  void Finish() {
    finished_ = true;
    Printer().EndPrintAction(true);
  }

private:
  bool finished_ = false;
};
