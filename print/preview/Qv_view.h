#pragma once

// The print preview window: pages shown whole or zoomed, turned page by page, printed from there.

#include "platform/Forms.h"

#include <QString>
#include <memory>

class QComboBox;
class TButton;
class TDrawIt;
class TEdit;
class TLabel;
class TPanel;
class TRecordedPages;

/**
 * The preview window: the recorded pages of a job one at a time on the page surface DrawIt1, zoomed from
 * the list PrintPreview (250 % down to 10 %, then Page Width and Whole Page), paged with the buttons or a
 * number typed into PageNo, and printed all, odd, even, the current page, or with the print options dialog.
 * It opens maximized at Whole Page on page 1 with the caption, background colour, printer and orientation of
 * the job whose pages it is given (of the settings store when it is given none). Keys: Page Up and Page Down
 * scroll, Enter in PageNo goes to that page, Escape closes.
 *
 * Handlers raise what goes wrong (a page number that is no whole number, a bad settings value); when the
 * user triggers them, the application's handler shows the message and the action stops. Freeing the window
 * frees the surface, which deletes the page files.
 */
class TQV_Prev : public TForm {
  Q_OBJECT
public:
  /**
   * The preview of a job's pages; without them, of the page files in the page folder by the settings store.
   * Fails with the conversion message when the store's background colour or page size is no whole number.
   */
  explicit TQV_Prev(QWidget* owner = nullptr, std::shared_ptr<const TRecordedPages> pages = nullptr);
  ~TQV_Prev() override;

  /** The entries of the zoom list, by index. */
  enum TZoomEntry { zo250, zo200, zo150, zo100, zo75, zo50, zo25, zo10, zoPageWidth, zoWholePage };

  TPanel* Panel1 = nullptr;
  TButton* Print = nullptr;
  TButton* Odd = nullptr;
  TButton* Even = nullptr;
  TButton* Current = nullptr;
  TButton* Additional = nullptr;
  TPanel* Panel2 = nullptr;
  TButton* CloseButton = nullptr;
  TButton* ZoomIn = nullptr;
  TButton* ZoomOut = nullptr;
  QComboBox* PrintPreview = nullptr;
  TButton* PageWidthButton = nullptr;
  TButton* WholePageButton = nullptr;
  TScrollBox* ScrollBox1 = nullptr;
  TDrawIt* DrawIt1 = nullptr;
  TPanel* Panel3 = nullptr;
  TLabel* PageCaption = nullptr;
  TEdit* PageNo = nullptr;
  TLabel* OfCaption = nullptr;
  TEdit* PageTot = nullptr;
  TButton* PrevPage = nullptr;
  TButton* NextPage = nullptr;
  /** Where the last print from the preview went ("Printed 12 pages to /home/ann/Documents/Sales.pdf"). */
  TLabel* PrintedCaption = nullptr;

  /** The words PrintedCaption shows after a print of that many pages on the selected printer. */
  static QString WherePrinted(int pages);
  /** Prints the pages of the mode and selection (PrintFromPreview) and says where they went. */
  void PrintFromButton(int mode, const QString& selection);

  void FormActivate();
  void CloseButtonClick();
  void ZoomInClick();
  void ZoomOutClick();
  void PrintPreviewClick();
  void PageWidthButtonClick();
  void WholePageButtonClick();
  void NextPageClick();
  void PrevPageClick();
  /** Enter: shows the page whose number PageNo holds (or the nearest recorded one) and writes it back. */
  void PageNoKeyUp(int key);
  /** Page Up and Page Down scroll by a twentieth of the sheet; true when the key was one of them. */
  bool FormKeyDown(int key);
  void PrintClick();
  void OddClick();
  void EvenClick();
  void CurrentClick();
  /** The print options dialog, again after every print, until the user closes it. */
  void AdditionalClick();
  /** Sizes the sheet and the scroll ranges for the selected zoom entry. */
  void Zoomfinish();

  /** The surface's size before the first zoom: 553 x 717 for a portrait page, 717 x 553 for a landscape one.
   */
  QSize DesignedSurfaceSize() const { return designedSurfaceSize_; }

protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void FormCreate();
  void LayOut();
  void FitWholePage();
  TButton* GlyphButton(QWidget* parent, const QString& glyph, const QString& hint);

  std::shared_ptr<const TRecordedPages> pages_;
  bool activated_ = false;
  QSize designedSurfaceSize_;
};

/** The program-wide reference to the preview window while one is open (nullptr otherwise). */
extern TQV_Prev* QV_Prev;
