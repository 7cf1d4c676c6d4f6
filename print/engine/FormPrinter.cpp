// The Qt-style way into the library: a form printed or previewed in a few lines, errors returned.
#include "print/engine/FormPrinter.h"

#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"
#include "print/engine/DBPrnWin.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QWidget>
#include <algorithm>
#include <exception>
#include <functional>

namespace Quenary {
namespace {
// Where the form's left edge stands, in inches from the printable area's: the bands' own border.
constexpr double FormLeftInches = 0.5;

// Puts an action before a component event's handler for the scope's life, and the handler back after.
class HandlerScope {
public:
  HandlerScope(TNotifyEvent& event, std::function<void()> action) : event_(event), previous_(event) {
    event_ = [action = std::move(action), previous = previous_](QObject* sender) {
      action();
      if (previous) previous(sender);
    };
  }
  ~HandlerScope() { event_ = previous_; }
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;

private:
  TNotifyEvent& event_;
  TNotifyEvent previous_;
};
}  // namespace

FormPrinter::FormPrinter(QObject* parent)
    : QObject(parent), component_(std::make_unique<TDBPrintWin>(nullptr)) {
  component_->FitToPage = true;
  component_->HeaderStringLeft.clear();
  component_->HeaderStringCenter.clear();
  component_->HeaderStringRight.clear();
}

FormPrinter::~FormPrinter() = default;

void FormPrinter::setOutputFileName(const QString& fileName) { outputFileName_ = fileName; }
void FormPrinter::setPrinterName(const QString& name) { printerName_ = name; }
void FormPrinter::setPageSize(const QPageSize& size) { pageSize_ = size; }
void FormPrinter::setPageOrientation(QPageLayout::Orientation orientation) { orientation_ = orientation; }

void FormPrinter::setHeader(const QString& left, const QString& center, const QString& right) {
  component_->HeaderStringLeft = left;
  component_->HeaderStringCenter = center;
  component_->HeaderStringRight = right;
}

void FormPrinter::setFooter(const QString& left, const QString& right) {
  component_->FooterStringLeft = left;
  component_->FooterStringRight = right;
}

void FormPrinter::setDocumentAuthor(const QString& author) { component_->DocumentAuthor = author; }
void FormPrinter::setDocumentSubject(const QString& subject) { component_->DocumentSubject = subject; }
void FormPrinter::setCopies(int copies) { component_->Copies = std::max(1, copies); }
int FormPrinter::copies() const { return component_->Copies; }
void FormPrinter::setFirstPageHeading(QWidget* heading) { heading_ = heading; }
void FormPrinter::setFitToPage(bool fit) { component_->FitToPage = fit; }
bool FormPrinter::fitToPage() const { return component_->FitToPage; }
void FormPrinter::setProgressDialogEnabled(bool enabled) { component_->ShowCancelDialog = enabled; }
void FormPrinter::setTagged(bool tagged) { component_->Tagged = tagged; }
bool FormPrinter::tagged() const { return component_->Tagged; }

bool FormPrinter::progressDialogEnabled() const { return component_->ShowCancelDialog; }

void FormPrinter::setRowOutline(QAbstractItemView* view, std::function<QString(const QModelIndex&)> groupOf,
                                int level) {
  component_->GridPrinter().SetRowOutline(view, std::move(groupOf), level);
}

bool FormPrinter::print(QWidget* form) { return run(form, false); }
bool FormPrinter::preview(QWidget* form) { return run(form, true); }

void FormPrinter::chooseDestination() {
  TPrinter& printer = Printer();
  if (!outputFileName_.isEmpty()) {
    printer.PrintToPdf(QFileInfo(outputFileName_).absoluteFilePath());
  } else if (!printerName_.isEmpty()) {
    const int index = printer.Printers().indexOf(printerName_);
    if (index < 0) throw Exception(QStringLiteral("There is no printer named \"%1\".").arg(printerName_));
    printer.SetPrinterIndex(index);
  } else {
    printer.SetPrinterIndex(-1);
  }
  if (pageSize_.isValid()) printer.SetPaperSize(pageSize_);
}

void FormPrinter::printForm(QWidget* form) {
  TDBPrintWin& component = *component_;
  component.Orientation = orientation_ == QPageLayout::Landscape ? poLandscape : poPortrait;
  // The component's own units stay as the program set them; the form's edge is the same half inch in either.
  const double left = FormLeftInches * component.UnitsPerInch();
  component.DocumentTitle = documentTitle_.isEmpty() ? form->window()->windowTitle() : documentTitle_;
  component.DocumentLanguage = documentLanguage_.isEmpty() ? form->locale().bcp47Name() : documentLanguage_;
  TPrintJobScope job(component);
  const double top = component.BelowHeader();
  double formTop = top;
  if (heading_ != nullptr && !heading_->isHidden()) {
    // The heading takes the page's width as the form does; its height is what its layout needs for it.
    formTop = component.PrintControlPages(heading_, left, top, top);
  }
  component.PrintControlPages(form, left, formTop, top);
  pageCount_ = component.CurrentPage;
  Q_EMIT progress(pageCount_);
  job.Finish();
}

bool FormPrinter::run(QWidget* form, bool toPreview) {
  errorString_.clear();
  pageCount_ = 0;
  if (form == nullptr) {
    errorString_ = QStringLiteral("There is no form to print.");
    return false;
  }
  // What the job would say in a message box comes back to the caller: the last error, and warnings as they
  // come. Once the preview is up, the user works in it and its messages show as boxes again.
  bool interactive = false;
  QString reported;
  const MessageSinkScope sink(
      [this, &interactive, &reported](const QString& message, TMsgDlgType type, TMsgDlgButtons buttons) {
        if (interactive) {
          const MessageSinkScope none(nullptr);
          return MessageDlg(message, type, buttons);
        }
        if (type == mtWarning) {
          Q_EMIT warning(message);
        } else {
          reported = message;
        }
        return (buttons & mbCancel) != 0 ? mrCancel : mrOk;
      });
  // The component's own handlers of these events still run, after what this class does there.
  const HandlerScope pagePrinted(component_->OnPrintPage,
                                 [this] { Q_EMIT progress(component_->CurrentPage); });
  const HandlerScope printed(component_->OnAfterPrint,
                             [&interactive, toPreview] { interactive = toPreview; });
  component_->OutputTo = toPreview ? poViewer : poPrinter;
  component_->Cancelled = false;
  try {
    if (!toPreview) chooseDestination();
    printForm(form);
  } catch (const std::exception& error) {
    errorString_ = QString::fromUtf8(error.what());
    return false;
  }
  if (component_->Cancelled) {
    errorString_ = QStringLiteral("The printing was cancelled.");
  } else if (!toPreview && component_->PagesPrinted == 0) {
    errorString_ = reported.isEmpty() ? QStringLiteral("No page was printed.") : reported;
  }
  return errorString_.isEmpty();
}

}  // namespace Quenary
