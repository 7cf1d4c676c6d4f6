#pragma once

// The preview's page surface: one recorded page shown sharp at any zoom, and the pages printed from there.

#include "platform/Graphics.h"
#include "print/preview/PageCache.h"

#include <QEvent>
#include <QString>
#include <QWidget>
#include <memory>

class QTimer;
class TPageCache;
class TRecordedPages;

/**
 * The window message the page surface sends the window that holds it when the user clicks to zoom; its
 * first parameter is the new zoom percentage. It is the desktop's first user message number plus 51.
 */
constexpr int ZoomMessage = 1024 + 51;

/** A numbered window message with its two parameters, delivered as an event of that number. */
class TWindowMessage : public QEvent {
public:
  TWindowMessage(int message, long long wParam, long long lParam)
      : QEvent(static_cast<QEvent::Type>(message)), WParam(wParam), LParam(lParam) {}
  long long WParam;
  long long LParam;
};

/**
 * The preview's page surface: shows one recorded page at a time on a white sheet with a thin border, the
 * page's area (PageWidth by PageHeight printer pixels, from the settings store) mapped onto the sheet with
 * both axes at one scale. The page is replayed as vectors for the zoom and screen it is shown on, so it is
 * sharp at any zoom and on any screen scale. Only the page shown and the pages next to it are held, read and
 * drawn while the user reads, so turning a page only paints.
 *
 * The surface also moves between pages, sizes the sheet for a zoom percentage, turns a left click into a
 * smaller and a right click into a larger zoom (told to its window as ZoomMessage), prints recorded pages,
 * and deletes the page files when it is destroyed.
 *
 * Given the pages of a job, the surface shows and prints exactly those pages by the settings they were
 * recorded with, and a page gone or damaged since fails a print naming it before anything is sent. Without
 * them it shows the page files it finds in the page folder by the settings store, as they are when read.
 *
 * Creation fails with EConvertError when the stored page size is not a whole number, and with ETarnvale when
 * it is not a positive one.
 */
class TDrawIt : public QWidget {
  Q_OBJECT
public:
  explicit TDrawIt(QWidget* owner, std::shared_ptr<const TRecordedPages> pages = nullptr);
  ~TDrawIt() override;

  /** Outline (black, one pixel) and fill (white) of the sheet. */
  const TPen& BkPen() const { return bkPen_; }
  const TBrush& BkBrush() const { return bkBrush_; }
  /** Kept with the surface for whoever draws data on it; the surface itself does not use them. */
  const TPen& DataPen() const { return dataPen_; }
  const TBrush& DataBrush() const { return dataBrush_; }

  /** The page shown, from 1. */
  int ShownPage() const { return shownPage_; }
  /** The last zoom percentage, from 100. */
  int ZoomLevel() const { return zoomLevel_; }
  int PageWidth() const { return pageWidth_; }
  int PageHeight() const { return pageHeight_; }

  /** One page forward when that page was recorded. */
  void ShowNextPage();
  /** One page back unless on page 1. */
  void ShowPriorPage();
  /**
   * The number of recorded pages: those of the job, or without one, those from page 1 up to the first
   * missing file, however many.
   */
  int CountPages() const;
  /** Shows the last recorded page at or below the number (page 1 for 0 or less) and returns it. */
  int GoToPage(int pageNumber);
  /**
   * Sizes the sheet for the percentage (at 100 % a page 2400 pixels wide is 850 pixels) and centres it in
   * the reference width, or puts it 35 pixels in when it is wider.
   */
  void SetZoom(int referenceWidth, double percentage);

  /**
   * Prints recorded pages on the printer of the settings store, each page as a printer document of its own,
   * all in one print action (so on the PDF destination they land in the one file, in order): mode 0 all, 1
   * odd, 2 even pages, and of those only the pages in a non-empty selection ("1,2,5,7-14,21"). The print
   * status dialog shows each page and its Abort abandons the page spooling and stops. Does nothing while the
   * printer is printing. A selection entry that is no whole number fails with EConvertError once that entry
   * is reached; pages printed before it stay printed. With copies, whole sets one after the other when
   * collated (1 2 3 1 2 3), each page its copies when not (1 1 2 2 3 3).
   */
  void PrintFromPreview(int mode, const QString& selection, int copies = 1, bool collate = true);

  /** Whether the last PrintFromPreview was stopped with the status dialog's Abort. */
  bool PrintAborted() const { return printAborted_; }
  /** How many pages the last PrintFromPreview sent to the printer. */
  int PagesPrinted() const { return pagesPrinted_; }

  /** Makes the job's (or the store's) "Directory" the current directory; a folder that is gone is ignored. */
  void EnterPageDirectory() const;

  /** The settings the pages print by: the job's, or the store's as it is now. */
  QString Heading() const;
  int PrinterIndex() const;
  bool Portrait() const;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  bool PageExists(int pageNumber) const;
  /** Draws the pages next to the one shown for the view last painted, one page a call, while the user reads.
   */
  void PrepareNeighbours();
  void ShowPage(int pageNumber);
  void PrintPage(int pageNumber);

  TPen bkPen_;
  TBrush bkBrush_;
  TPen dataPen_;
  TBrush dataBrush_;
  int shownPage_ = 1;
  /** The folder's pages as last counted (CountPages), when the viewer shows a folder rather than a job. */
  mutable int countedPages_ = 0;
  /** The page shown when the folder's pages were last counted for painting; 0 before. */
  int countedFor_ = 0;
  int zoomLevel_ = 100;
  int pageHeight_ = 3112;
  int pageWidth_ = 2400;
  double pageRatio_ = 3112.0 / 2400.0;
  std::shared_ptr<const TRecordedPages> recorded_;
  std::unique_ptr<TPageCache> pages_;
  TPageView shownView_;
  QTimer* prepareTimer_ = nullptr;
  bool printAborted_ = false;
  int pagesPrinted_ = 0;
};
