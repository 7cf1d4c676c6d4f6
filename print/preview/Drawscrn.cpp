#include "print/preview/Drawscrn.h"

#include "platform/PagePicture.h"
#include "platform/Printers.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"
#include "print/device/PagewickIni.h"
#include "print/device/QV_PageFiles.h"
#include "print/device/QV_Units.h"
#include "print/device/RecordedPages.h"
#include "print/shared/PageRange.h"
#include "print/dialogs/Pagewick.h"
#include "print/shared/QV_MFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <exception>
#include <iterator>
#include <limits>
#include <vector>

namespace {
// The zoom steps a click moves along.
constexpr int ZoomSteps[] = {10, 25, 50, 75, 100, 150, 200, 250, 300};
// However the store's page size and the zoom combine, the sheet stays a size a window can have.
constexpr long long LargestExtent = QWIDGETSIZE_MAX;
// The number of pages the print loop always looks at, so a selection that reaches no recorded page still
// has each of its entries tried (and a mistyped one reported).
constexpr int PagesAlwaysTried = 5001;

int Extent(double value) {
  return static_cast<int>(std::clamp<long long>(RoundHalfEven(value), 0, LargestExtent));
}

// The desktop's rectangle: filled with the brush, outlined by the pen on its outermost pixels, the right
// column and the bottom row outside it.
void DrawRectangle(QPainter& painter, int right, int bottom, const QBrush& brush) {
  if (right <= 0 || bottom <= 0) return;
  painter.fillRect(QRect(0, 0, right, bottom), brush);
  painter.drawRect(QRect(0, 0, right - 1, bottom - 1));
}

QString DocumentTitle(const QString& heading, int pageNumber) {
  return QStringLiteral("%1 page %2").arg(heading).arg(pageNumber);
}
}  // namespace

TDrawIt::TDrawIt(QWidget* owner, std::shared_ptr<const TRecordedPages> pages)
    : QWidget(owner), recorded_(std::move(pages)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The page takes the keyboard when the preview opens: Page Up and Page Down scroll it, and Return, which
  // would click a focused print button, does nothing.
  setFocusPolicy(Qt::StrongFocus);
  // The job's last pages may still be on their way into their files.
  if (recorded_) recorded_->Settle();
  pageHeight_ = recorded_ ? recorded_->Settings().PageHeight : PagewickIni::PageHeight();
  pageWidth_ = recorded_ ? recorded_->Settings().PageWidth : PagewickIni::PageWidth();
  // A size of nothing (or less) would make the page ratio meaningless and every sheet size undefined.
  if (pageHeight_ <= 0 || pageWidth_ <= 0) {
    throw ETarnvale(QStringLiteral("The settings store gives a page of %1 by %2 pixels; "
                                   "a page needs a positive width and height.")
                        .arg(pageWidth_)
                        .arg(pageHeight_));
  }
  EnterPageDirectory();
  pages_ = std::make_unique<TPageCache>([this](int page) {
    if (recorded_) return page >= 1 && page <= recorded_->Count() ? recorded_->FileName(page) : QString();
    try {
      return PageFileNameFor(page, poViewer);
    } catch (const std::exception&) {
      return QString();
    }
  });
  prepareTimer_ = new QTimer(this);
  prepareTimer_->setSingleShot(true);
  connect(prepareTimer_, &QTimer::timeout, this, &TDrawIt::PrepareNeighbours);
  pageRatio_ = static_cast<double>(pageHeight_) / pageWidth_;
  resize(850, Extent(850 * pageRatio_));
  bkPen_ = TPen();
  bkBrush_ = TBrush();
  shownPage_ = 1;
  zoomLevel_ = 100;
  QCoreApplication::processEvents();
  Printer().SetOrientation(poPortrait);
}

TDrawIt::~TDrawIt() {
  // The preview's pages go with it.
  try {
    if (recorded_) recorded_->Delete();
    DeletePageFiles(poViewer);
  } catch (const std::exception&) {
    // Without a page folder there are no pages to delete.
  }
}

void TDrawIt::EnterPageDirectory() const {
  const QString folder = recorded_ ? recorded_->Settings().Directory : PagewickIni::Directory();
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) QDir::setCurrent(folder);
}

QString TDrawIt::Heading() const {
  return recorded_ ? recorded_->Settings().PreviewHeading : PagewickIni::PreviewHeading();
}

int TDrawIt::PrinterIndex() const {
  return recorded_ ? recorded_->Settings().PrinterIndex : PagewickIni::PrinterIndex();
}

bool TDrawIt::Portrait() const {
  return recorded_ ? recorded_->Portrait() : PagewickIni::Orientation() == QLatin1String("Portrait");
}

bool TDrawIt::PageExists(int pageNumber) const {
  if (pageNumber < 1) return false;
  if (recorded_) return pageNumber <= recorded_->Count();
  try {
    return QFileInfo::exists(PageFileNameFor(pageNumber, poViewer));
  } catch (const std::exception&) {
    return false;
  }
}

void TDrawIt::ShowPage(int pageNumber) {
  shownPage_ = pageNumber;
  update();
}

void TDrawIt::ShowNextPage() {
  EnterPageDirectory();
  if (shownPage_ < std::numeric_limits<int>::max() && PageExists(shownPage_ + 1)) ++shownPage_;
  update();
}

void TDrawIt::ShowPriorPage() {
  if (shownPage_ > 1) --shownPage_;
  update();
}

int TDrawIt::CountPages() const {
  if (recorded_) return recorded_->Count();
  EnterPageDirectory();
  int count = 0;
  while (count < std::numeric_limits<int>::max() && PageExists(count + 1)) ++count;
  countedPages_ = count;
  return count;
}

int TDrawIt::GoToPage(int pageNumber) {
  EnterPageDirectory();
  // Pages are numbered without gaps, so no page above the count can be shown; starting there keeps a large
  // number from probing for billions of files.
  int page = std::min(pageNumber, CountPages());
  while (page > 1 && !PageExists(page)) --page;
  ShowPage(std::max(page, 1));
  return shownPage_;
}

void TDrawIt::SetZoom(int referenceWidth, double percentage) {
  const int newWidth = Extent(pageWidth_ * percentage * 0.01 * 17.0 / 48.0);
  const long long room = static_cast<long long>(referenceWidth) - 10;
  const int left = room > newWidth ? static_cast<int>((room - newWidth) / 2) : 35;
  const int newHeight =
      static_cast<int>(std::min<long long>(Extent(newWidth * pageRatio_) + 20LL, LargestExtent));
  setGeometry(left, y(), newWidth, newHeight);
  update();
  zoomLevel_ = static_cast<int>(std::clamp<long long>(
      RoundHalfEven(percentage), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void TDrawIt::paintEvent(QPaintEvent* event) {
  EnterPageDirectory();
  QPainter painter(this);
  const QBrush sheet(ToQColor(bkBrush_.Color));
  QPen outline(ToQColor(bkPen_.Color));
  outline.setWidth(bkPen_.Width);
  painter.setPen(outline);
  QFont font(QStringLiteral("Arial"));
  painter.setFont(font);
  for (int inset = 0; inset < 3; ++inset) DrawRectangle(painter, width() - inset, height() - inset, sheet);

  // A page without a file (or one refused) shows as the empty sheet: the cache gives no drawing for it.
  QRectF target;
  if (IsTextOnlyPrinter()) {
    // A text-only printer's page fills the sheet, each axis on its own scale.
    target = QRectF(0, 0, width() - 5, height() - 5);
  } else {
    const double across = static_cast<double>(width() - 30) / pageWidth_;
    const double down = static_cast<double>(height() - 30) / pageHeight_;
    const double scale = std::min(across, down);
    if (scale <= 0) return;
    target = QRectF(5, 5, pageWidth_ * scale, pageHeight_ * scale);
  }
  if (target.isEmpty()) return;
  // What is drawn is the part in view (the whole of it, so scrolling within it only paints), at the scale of
  // the device painted on: the screen's, or that of an image the surface is rendered into.
  TPageView view;
  view.Target = target;
  view.PageSize = QSizeF(pageWidth_, pageHeight_);
  view.Ratio = painter.device()->devicePixelRatioF();
  // A folder's pages are counted again when another page is shown, not on every paint.
  if (!recorded_ && countedFor_ != shownPage_) {
    CountPages();
    countedFor_ = shownPage_;
  }
  view.PageCount = recorded_ ? recorded_->Count() : countedPages_;
  view.Area = (visibleRegion().boundingRect() | event->rect()) & target.toAlignedRect();
  if (view.Area.isEmpty()) return;
  pages_->KeepOnly(shownPage_ - 1, shownPage_ + 1);
  const TPageCache::TDrawn* drawn = pages_->Drawn(shownPage_, view);
  if (drawn == nullptr) return;
  painter.drawImage(drawn->Area.topLeft(), drawn->Image);
  shownView_ = view;
  if (!pages_->Ready(shownPage_ + 1, view) || !pages_->Ready(shownPage_ - 1, view)) prepareTimer_->start(0);
}

void TDrawIt::PrepareNeighbours() {
  pages_->KeepOnly(shownPage_ - 1, shownPage_ + 1);
  EnterPageDirectory();
  for (const int page : {shownPage_ + 1, shownPage_ - 1}) {
    if (!PageExists(page) || pages_->Ready(page, shownView_)) continue;
    pages_->Drawn(page, shownView_);
    // One page a turn of the event loop, so a key pressed meanwhile is not kept waiting for both.
    prepareTimer_->start(0);
    return;
  }
}

void TDrawIt::mousePressEvent(QMouseEvent* event) {
  const int* const first = std::begin(ZoomSteps);
  const int* const last = std::end(ZoomSteps);
  const int* step = std::find(first, last, zoomLevel_);
  if (event->button() == Qt::LeftButton) {
    if (step != last && step != first) zoomLevel_ = *(step - 1);
  } else if (event->button() == Qt::RightButton) {
    if (step != last && step + 1 != last) zoomLevel_ = *(step + 1);
  } else {
    return;
  }
  event->accept();
  TWindowMessage message(ZoomMessage, zoomLevel_, 0);
  QCoreApplication::sendEvent(window(), &message);
}

// A double click is no gesture of the surface.
void TDrawIt::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void TDrawIt::PrintFromPreview(int mode, const QString& selection, int copies, bool collate) {
  TPrinter& printer = Printer();
  if (printer.Printing()) return;
  printAborted_ = false;
  pagesPrinted_ = 0;
  const bool portrait = Portrait();
  printer.SetPrinterIndex(-1);
  printer.SetPrinterIndex(PrinterIndex());
  printer.SetOrientation(portrait ? poPortrait : poLandscape);

  EnterPageDirectory();
  // Owned by the preview's window, so its Abort takes clicks while the preview runs modally; none where
  // no one sees windows.
  const auto status = WindowsCanBeSeen() ? std::make_unique<TPrintDialog1>(window()) : nullptr;
  EnterPageDirectory();
  // The pages are chosen first: each page goes as a document of its own, so a page gone or damaged is found
  // before any of them reaches a queue. A selection entry that is no number stops the choice where it is
  // met; the pages chosen before it still print, and the error follows.
  const int lastPage = std::max(PagesAlwaysTried, CountPages());
  std::vector<int> chosen;
  std::exception_ptr badEntry;
  try {
    for (int page = 1; page <= lastPage; ++page) {
      const bool odd = (page - 1) % 2 == 0;
      if ((mode == 1 && !odd) || (mode == 2 && odd)) continue;
      if (!selection.isEmpty() && !PageInRange(page, selection)) continue;
      if (!PageExists(page)) break;
      chosen.push_back(page);
    }
  } catch (const EConvertError&) {
    badEntry = std::current_exception();
  }
  if (recorded_) recorded_->Check(chosen);
  const std::vector<int> plan = PagesWithCopies(chosen, copies, collate);
  // Pages the program's PDF writer cannot draw all go through Qt's, the whole document.
  const TPdfWriterScope writer(!recorded_ || recorded_->PdfWritable() ? printer.PdfWriter()
                                                                      : TPdfWriterKind::Qt);
  // Into a PDF file without a name the pages go as one file named after the job, not after its first page.
  TPrintAction action(Heading());
  for (const int page : plan) {
    if (status) status->SetPageText(QString::asprintf("%d", page));
    PrintPage(page);
    ++pagesPrinted_;
    if (status && status->AbortRequested()) {
      printAborted_ = true;
      break;
    }
  }
  // A selection that broke off leaves no PDF file of part of it.
  if (badEntry) std::rethrow_exception(badEntry);
  action.Finish();
}

void TDrawIt::PrintPage(int pageNumber) {
  TPrinter& printer = Printer();
  printer.BeginDoc(DocumentTitle(Heading(), pageNumber));
  try {
    PagePicture page;
    if (recorded_) {
      recorded_->Load(pageNumber, page);
      printer.DrawPage(page);
    } else if (page.Load(PageFileNameFor(pageNumber, poViewer))) {
      page.SetPageCount(CountPages());
      // A page found in the folder that cannot be read prints as an empty sheet.
      printer.DrawPage(page);
    }
    printer.ProcessAbortProcedure();
    if (printer.Printing()) printer.EndDoc();
  } catch (...) {
    printer.Abort();
    throw;
  }
}
