// The print job of the printing component: its pages, bands and delivery.
#include "print/engine/PrnWin.h"

#include "platform/Dialogs.h"
#include "platform/DrawingContext.h"
#include "platform/Grids.h"
#include "platform/PageRecording.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"
#include "print/device/QV_Gdi.h"
#include "print/device/RecordedPages.h"
#include "print/device/QV_Units.h"
#include "print/dialogs/Pagewick.h"
#include "print/engine/StockWidgets.h"
#include "print/preview/Qv_view.h"

#include <QAbstractItemView>
#include <QLayout>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// The framework's fixed-point text with 7 significant digits and 2 decimals, read back.
double RoundedToTwoDecimals(double value) {
  const double significant = QString::number(value, 'g', 7).toDouble();
  return QString::number(significant, 'f', 2).toDouble();
}

QString PageText(int page) { return QString::asprintf("%d", page); }
}  // namespace

void TPrintWin::ReleaseStatusDialog() {
  if (!statusDialog_) return;
  if (PrintDialog1 == statusDialog_.get()) PrintDialog1 = nullptr;
  statusDialog_.reset();
}

void TPrintWin::SelectFooterTextFont() { pageDevice_->SelectFont(footerTextFont_); }

void TPrintWin::SetBandBrush() {
  pageDevice_->SetBrush(0, Brush.Color, 0);
  if (Brush.Color != clWhite) pageDevice_->SetTextColor(clWhite);
}

void TPrintWin::DrawHeader() {
  // The device takes its texts as left, centre, right; they go by meaning, so the left text prints left.
  pageDevice_->DrawHeaderBand(HeaderEnabled, headerFont_, ToDevice(false, BorderLeft),
                              ToDevice(false, BorderRight), HeaderStringLeft, HeaderStringCenter,
                              HeaderStringRight, ToDevice(true, HeaderTop), HeaderFilled, HeaderOutlined);
}

void TPrintWin::DrawFooterAndCorners() {
  const int left = ToDevice(false, BorderLeft);
  const int right = ToDevice(false, BorderRight);
  const int top = ToDevice(true, FooterTop);
  pageDevice_->DrawFooterBand(footerTextFont_, left, right, FooterString, top, FooterFilled, FooterOutlined,
                              Brush);
  pageDevice_->DrawFooterCornerText(left, top, FooterStringLeft, false);
  pageDevice_->DrawFooterCornerText(right, top, FooterStringRight, true);
}

void TPrintWin::StartJob() {
  Cancelled = false;
  PagesPrinted = 0;
  PageComplete = true;
  BoxTextEnabled = true;
  // A job its caller never finished is dropped, so this one starts from nothing.
  ReleaseStatusDialog();
  pageDevice_.reset();

  // An orientation the user chose for this print (in the print dialog) wins over the form's own; the new
  // device starts the printer in portrait, so it is taken first.
  const TPrinterOrientation orientation =
      Printer().OrientationChosen() ? Printer().Orientation() : Orientation;
  // Where no one sees windows (a script on the offscreen platform) the dialog would only cost time.
  if (ShowCancelDialog && WindowsCanBeSeen()) statusDialog_ = std::make_unique<TPrintDialog1>();
  ProcessMessages();
  pageDevice_ = std::make_unique<TGdi>(OutputTo);
  if (NoPrinterAvailable()) {
    pageDevice_.reset();
    // Nothing of this job follows, so its status dialog goes with it.
    ReleaseStatusDialog();
    return;
  }
  pageDevice_->SetOrientation(orientation);
  pageDevice_->ClearPages();

  CurrentPage = 1;
  if (statusDialog_) {
    statusDialog_->SetPageText(PageText(CurrentPage));
    statusDialog_->show();
  }
  ProcessMessages();

  TFont& canvasFont = Printer().Canvas().Font();
  canvasFont.SetName(headerFont_.Name());
  canvasFont.SetHeight(headerFont_.Height());
  const int points = canvasFont.Size();
  canvasFont.SetPixelsPerInch(Printer().ResolutionY());
  canvasFont.SetSize(points);

  PrinterDpiX = Printer().ResolutionX();
  PrinterDpiY = Printer().ResolutionY();
  SetUnits(Units == poCentimetres);
  ScaleX = static_cast<double>(PrinterDpiX) / ScreenPixelsPerInch();
  ScaleY = static_cast<double>(PrinterDpiY) / ScreenPixelsPerInch();
  LineSpacing = ScaleY;

  canvasFont.SetName(footerTextFont_.Name());
  canvasFont.SetHeight(footerTextFont_.Height());

  const int pageHeight = Printer().PageHeight();
  FooterTop = RoundedToTwoDecimals(FromDevice(pageHeight - pageHeight / 20, true));

  // The pages are marked as they are recorded when both the job and the program (the printer's switch) want
  // a tagged PDF.
  pageDevice_->SetTagged(Tagged && Printer().PdfTagged());
  pageDevice_->BeginDocument(ViewBkColor, ViewHeading, QString(), ZoomPercentage);

  pageDevice_->SetTextColor(clBlack);
  pageDevice_->SetPen(0, 1, Pen.Color);
  // The header font goes in by its pixel height, as on every later page, so page 1 matches the rest.
  pageDevice_->SetFontStyled(headerFont_.Name(), std::abs(headerFont_.Height()), false, false, false);
  pageDevice_->SetBrushFrom(Brush);
  pageDevice_->SetTextColor(clBlack);

  RightEdge = Printer().PageWidth() - ToDevice(false, BorderRight);

  Fire(OnBeforePrint);
  if (GridBackDrop) DrawBackdrop();
  Fire(OnPrintHeader);
  SetBandBrush();
  DrawHeader();
  pageDevice_->SetFontStyled(footerTextFont_.Name(), 40, false, false, false);
  pageDevice_->SetTextColor(clBlack);
}

TPrintWin::ControlPrintScope::ControlPrintScope(TPrintWin& component) : component_(component) {
  ++component_.controlPrintDepth_;
}

TPrintWin::ControlPrintScope::~ControlPrintScope() {
  if (--component_.controlPrintDepth_ > 0) return;
  for (const QPointer<QWidget>& control : component_.printMessaged_) {
    const auto* receiver = dynamic_cast<const TQVPrintMessageReceiver*>(control.data());
    if (receiver != nullptr && receiver->QVTextRemains()) component_.PageComplete = false;
  }
  component_.printMessaged_.clear();
}

void TPrintWin::CaptureWindow(QWidget* control, int left, int top, int right, int bottom,
                              TQVChildControls childControls) {
  DrawingContext* context = pageDevice_->Handle();
  if (context == nullptr) return;
  const int width = right - left;
  const int height = bottom - top;
  context->SetMapMode(TMappingMode::Anisotropic);
  context->SetWindowExtent(width, height);
  context->SetViewportExtent(ScreenToDeviceX(width), ScreenToDeviceY(height));
  context->SetWindowOrigin(0, 0);
  context->SetViewportOrigin(left, top);
  for (QWidget* messaged :
       PaintWindowTree(control, *context, 0, 0, control->width(), control->height(), childControls))
    printMessaged_.append(messaged);
  ProcessMessages();
  ProcessMessages();

  const int pageWidth = Printer().PageWidth();
  const int pageHeight = Printer().PageHeight();
  context->SetWindowExtent(pageWidth, pageHeight);
  context->SetViewportExtent(pageWidth, pageHeight);
  context->SetWindowOrigin(0, 0);
  context->SetViewportOrigin(0, 0);
  context->SetMapMode(TMappingMode::Text);
}

void TPrintWin::PrintControlAt(QWidget* control, double left, double top) {
  const ControlPrintScope scope(*this);
  if (!pageDevice_ || control == nullptr || control->isHidden()) return;
  CurrentControl = control;
  Fire(OnBeforePrintControl);
  Printer().Canvas().Font().SetStyle(0);
  const double x = ToDeviceF(false, left);
  const double y = ToDeviceF(true, top);
  const double right = x + control->width() * ScaleX;
  const double bottom = y + control->height() * LineSpacing;
  const auto round = [](double value) { return static_cast<int>(RoundHalfEven(value)); };
  CaptureWindow(control, round(x), round(y), round(right), round(bottom));
}

void TPrintWin::PrintControlPages(QWidget* control, double left, double top) {
  PrintControlPages(control, left, top, top);
}

double TPrintWin::PrintControlPages(QWidget* control, double left, double top, double laterTop) {
  if (!pageDevice_) return top;
  const TFitToPageScope fit(*this, FitToPage ? control : nullptr);
  PagePass = 1;
  for (;;) {
    PageComplete = true;
    StartPass();
    Fire(OnPrintHeader);
    ProcessMessages();
    const double passTop = PagePass == 1 ? top : laterTop;
    fit.LayOut(left, passTop);
    PrintControlAt(control, left, passTop);
    if (!pageDevice_) return passTop;  // a handler ended the job
    if (PageComplete) {
      Fire(OnNewPage);
      return Below(control, passTop);
    }
    StartNewPage();
    ++PagePass;
  }
}

void TPrintWin::AddOutlineEntry(const QString& title, int level, double top) {
  if (!pageDevice_ || title.isEmpty()) return;
  const auto round = [](double value) { return static_cast<int>(RoundHalfEven(value)); };
  pageDevice_->OutlineEntry(round(ToDeviceF(false, BorderLeft)),
                            round(ToDeviceF(true, top < 0 ? BelowHeader() : top)),
                            std::clamp(level, 0, MaximumOutlineLevel), title);
}

double TPrintWin::Below(const QWidget* control, double top) const {
  if (control == nullptr || control->isHidden()) return top;
  return top + control->height() * UnitsPerInch() / ScreenPixelsPerInch();
}

double TPrintWin::BelowHeader() const {
  if (!HeaderEnabled) return HeaderTop;
  // The band is two lines of its font high; a tenth of an inch parts it from what follows.
  const double inches = 2.0 * std::abs(headerFont_.Height()) / ScreenPixelsPerInch() + 0.1;
  return HeaderTop + inches * UnitsPerInch();
}

TPrintWin::TFitToPageScope::TFitToPageScope(const TPrintWin& component, QWidget* control)
    : component_(component) {
  if (control == nullptr || control->layout() == nullptr) return;
  control_ = control;
  screenSize_ = control->size();
  // A table takes the page's height and continues on the next; a form without one keeps the height its
  // layout gives it at the page's width rather than spreading its lines down the page.
  holdsTable_ = !control->findChildren<QAbstractItemView*>().isEmpty() ||
                !control->findChildren<TStringGrid*>().isEmpty();
  laidOut_ = std::make_unique<TLaidOutScope>(*control);
}

TPrintWin::TFitToPageScope::~TFitToPageScope() {
  if (control_ != nullptr && control_->size() != screenSize_) control_->resize(screenSize_);
}

void TPrintWin::TFitToPageScope::LayOut(double left, double top) const {
  if (control_ == nullptr) return;
  QSize room = component_.RoomAt(left, top);
  if (room.isEmpty()) return;
  if (!holdsTable_) {
    const QLayout& layout = *control_->layout();
    room.setHeight(layout.hasHeightForWidth()
                       ? layout.totalHeightForWidth(room.width())
                       : std::max(control_->height(), layout.totalMinimumSize().height()));
  }
  room = room.expandedTo(control_->minimumSizeHint()).boundedTo(control_->maximumSize());
  if (room == control_->size()) return;
  control_->resize(room);
  control_->layout()->activate();
}

QSize TPrintWin::RoomAt(double left, double top) const {
  if (!pageDevice_) return {};
  const double bottom = FooterEnabled ? ToDeviceF(true, FooterTop) - PrinterDpiY / 10.0
                                      : Printer().PageHeight() - ToDeviceF(true, BorderRight);
  const double width = (RightEdge - ToDeviceF(false, left)) / ScaleX;
  const double height = (bottom - ToDeviceF(true, top)) / LineSpacing;
  return {std::max(0, static_cast<int>(std::floor(width))),
          std::max(0, static_cast<int>(std::floor(height)))};
}

void TPrintWin::StartNewPage() {
  if (!pageDevice_) return;
  Fire(OnNewPage);
  Fire(OnPrintPage);
  Fire(OnPrintFooter);
  DrawFooterAndCorners();
  SelectFooterTextFont();
  pageDevice_->NewPage();

  ++CurrentPage;
  if (statusDialog_) statusDialog_->SetPageText(PageText(CurrentPage));
  if (GridBackDrop) DrawBackdrop();
  SetBandBrush();
  Fire(OnPrintHeader);
  pageDevice_->SetFont(headerFont_.Name(), std::abs(headerFont_.Height()));
  DrawHeader();
  // The footer of this page is drawn when it closes, as on the first page. Drawing its texts here as well
  // would put the same text two and three times on the page, which prints it heavier on every page but the
  // first.
  SelectFooterTextFont();
  pageDevice_->SetTextColor(clBlack);
}

void TPrintWin::FinishJob() {
  if (!pageDevice_) return;
  // The job's page files go, and its device with them, however the delivery ends.
  struct JobEnd {
    std::unique_ptr<TGdi>& device;
    ~JobEnd() {
      try {
        if (device) device->ClearPages();
      } catch (const std::exception&) {
        // Without a page folder there are no pages to delete.
      }
      device.reset();
    }
  } jobEnd{pageDevice_};

  SelectFooterTextFont();
  pageDevice_->SetBrush(0, Brush.Color, 0);
  DrawFooterAndCorners();
  pageDevice_->EndPage();

  const bool dialogShown = statusDialog_ != nullptr;
  if (dialogShown && statusDialog_->AbortRequested()) Cancelled = true;
  ReleaseStatusDialog();

  Fire(OnAfterPrint);
  if (Cancelled) return;
  // The job's PDF, and any the preview prints from its pages, says what the job set of itself.
  struct InformationScope {
    TDocumentInformation previous = Printer().DocumentInformation();
    bool previousTagged = Printer().PdfTagged();
    ~InformationScope() {
      Printer().SetDocumentInformation(previous);
      Printer().SetPdfTagged(previousTagged);
    }
  } informationScope;
  Printer().SetDocumentInformation({DocumentTitle, DocumentAuthor, DocumentSubject, DocumentLanguage});
  // Pages recorded without marks make no tagged PDF.
  Printer().SetPdfTagged(pageDevice_->Tagged());
  // The pages print (or show) by the job's own settings either way; the user learns that the next preview
  // or print of recorded pages will not find them in the store.
  const QString settingsProblem = pageDevice_->SettingsProblem();
  const auto reportSettings = [&settingsProblem] {
    if (!settingsProblem.isEmpty())
      MessageDlg(QStringLiteral("The settings of this print job were not saved. %1").arg(settingsProblem),
                 mtWarning, mbOK);
  };
  if (OutputTo == poViewer) {
    reportSettings();
    ShowPreview();
  } else {
    DeliverToPrinter(dialogShown);
    reportSettings();
  }
}

void TPrintWin::AbandonJob() {
  ReleaseStatusDialog();
  if (!pageDevice_) return;
  Cancelled = true;
  try {
    pageDevice_->ClearPages();
  } catch (const std::exception&) {
    // Nothing to tidy when there is no page folder; the process's own folder goes at its end anyway.
  }
  pageDevice_.reset();
}

void TPrintWin::DeliverToPrinter(bool showStatus) {
  // Copies or pages the user chose (in the print dialog, on a command line) go with one delivery, which a
  // queue repeats itself; without such a choice the document goes Copies times, as the component always
  // sent it. The two never multiply.
  const TPrintJobOptions chosen = Printer().JobOptions();
  const bool userChose = chosen.Copies > 1 || !chosen.PageRanges.isEmpty();
  const int deliveries = userChose ? 1 : Copies;
  // All copies are one print action: into a PDF file they land one after the other in the one file.
  TPrintAction action;
  for (int copy = 0; copy < deliveries; ++copy) {
    PagesPrinted = pageDevice_->PrintPages(showStatus, userChose ? chosen : TPrintJobOptions());
    if (Printer().Aborted()) {
      // The user stopped the printing: no further copy goes out either.
      Cancelled = true;
      return;
    }
  }
  action.Finish();
  // A page range that holds none of the pages prints nothing; the user learns why no paper came.
  const auto recorded = pageDevice_->RecordedPages();
  if (PagesPrinted == 0 && !chosen.PageRanges.isEmpty() && recorded && recorded->Count() > 0) {
    const int count = recorded->Count();
    MessageDlg(QStringLiteral("The page range \"%1\" selects none of the %2; nothing was printed.")
                   .arg(chosen.PageRanges,
                        count == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(count)),
               mtInformation, mbOK);
  }
}

void TPrintWin::ShowPreview() {
  // The preview belongs to the application, not to the form being printed; freeing it deletes the pages.
  const auto preview = std::make_unique<TQV_Prev>(nullptr, pageDevice_->RecordedPages());
  QV_Prev = preview.get();
  preview->ShowModal();
}
