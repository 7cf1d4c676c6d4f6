#include "print/device/QV_Gdi.h"

#include "platform/Application.h"
#include "platform/AtomicFile.h"
#include "platform/DrawingContext.h"
#include "platform/PagePicture.h"
#include "print/device/PagewickIni.h"
#include "print/dialogs/Pagewick.h"
#include "print/shared/QV_MFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QStringEncoder>
#include <cstdlib>

namespace {
void ProcessMessages() { Application().ProcessMessages(); }

// Blanks and control characters at either end do not make a file name.
QString TrimControls(const QString& text) {
  qsizetype start = 0;
  qsizetype end = text.size();
  while (start < end && text.at(start).unicode() <= u' ') ++start;
  while (end > start && text.at(end - 1).unicode() <= u' ') --end;
  return text.mid(start, end - start);
}

Exception HtmlFileFailure(const QString& fileName, const QString& reason) {
  return Exception(QStringLiteral("Cannot create file \"%1\". %2")
                       .arg(ShownName(QDir::toNativeSeparators(fileName)), reason));
}

// Frees the status dialog and clears the program-wide reference, also when printing fails.
class StatusDialogScope {
public:
  explicit StatusDialogScope(bool show) {
    if (!show) return;
    dialog_ = std::make_unique<TPrintDialog1>();
    PrintDialog1 = dialog_.get();
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
    // Activation resets the status text; let it happen before the status is written.
    ProcessMessages();
    dialog_->SetStatusText(QStringLiteral("Printing..."));
  }
  ~StatusDialogScope() {
    if (dialog_ && PrintDialog1 == dialog_.get()) PrintDialog1 = nullptr;
  }
  StatusDialogScope(const StatusDialogScope&) = delete;
  StatusDialogScope& operator=(const StatusDialogScope&) = delete;

  TPrintDialog1* Dialog() const { return dialog_.get(); }

private:
  std::unique_ptr<TPrintDialog1> dialog_;
};
}  // namespace

QString HtmlEscape(const QString& text) {
  QString escaped;
  escaped.reserve(text.size());
  for (qsizetype index = 0; index < text.size(); ++index) {
    const QChar character = text.at(index);
    switch (character.unicode()) {
      case u'&': escaped += QStringLiteral("&amp;"); break;
      case u'<': escaped += QStringLiteral("&lt;"); break;
      case u'>': escaped += QStringLiteral("&gt;"); break;
      case u'"': escaped += QStringLiteral("&quot;"); break;
      default:
        if (character.unicode() >= 0x20 && character.unicode() < 0x80) {
          escaped += character;
        } else if (character.isHighSurrogate() && index + 1 < text.size() &&
                   text.at(index + 1).isLowSurrogate()) {
          escaped += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(character, text.at(index + 1)));
          ++index;
        } else {
          escaped += QStringLiteral("&#%1;").arg(character.unicode());
        }
    }
  }
  return escaped;
}

void WriteHtmlLine(QIODevice* stream, const QString& text) {
  if (stream == nullptr) return;
  // The file carries no character set, so it is written in the desktop's single-byte code page.
  QStringEncoder encoder("windows-1252");
  const QByteArray bytes = encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toLatin1();
  stream->write(bytes);
  stream->write("\r\n", 2);
}

void TGdi::WriteHtmlCell(const QString& text) {
  if (htmlStream_) WriteHtmlLine(htmlStream_.get(), QStringLiteral("<TD>") + HtmlEscape(text));
}

void TGdi::ClearPages() {
  DeletePageFiles(target_);
  pageCount_ = 0;
}

void TGdi::SetUpSurface() {
  brush_ = QBrush(Qt::white);
  if (!context_) return;
  context_->SetBackgroundMode(TBackgroundMode::Transparent);
  context_->SetBackgroundColor(QColor(0xC0, 0xC0, 0xC0));
}

void TGdi::OpenPage() {
  context_.reset();
  page_ = std::make_unique<PagePicture>();
  context_ = std::make_unique<DrawingContext>(page_->BeginRecording());
}

void TGdi::BeginDocument(TColor backgroundColor, const QString& heading, const QString& htmlFileName,
                         double zoomFactor) {
  penWidth_ = 1;
  penColor_ = clBlack;
  ++pageCount_;
  pageFileName_ = PageFileNameFor(pageCount_, target_);

  if (target_ == poHTML) {
    if (TrimControls(htmlFileName).isEmpty()) {
      throw ETarnvale(QStringLiteral("HTML filename not specified ") + htmlFileName);
    }
    // The file takes its name when the page ends, whole; a file of that name stays as it was until then.
    auto stream = std::make_unique<TAtomicFile>(htmlFileName);
    if (!stream->Open()) throw HtmlFileFailure(htmlFileName, stream->errorString());
    htmlStream_ = std::move(stream);
    WriteHtmlLine(htmlStream_.get(), QStringLiteral("<HTML><HEAD>"));
    WriteHtmlLine(htmlStream_.get(), QStringLiteral("<TITLE><CENTER>") + HtmlEscape(heading) +
                                         QStringLiteral("</CENTER></TITLE></HEAD>"));
    WriteHtmlLine(htmlStream_.get(), QStringLiteral("<BODY BGCOLOR=\"#FFFFFF\"><HR> </BODY>"));
  } else {
    OpenPage();
  }
  SetUpSurface();

  bold_ = false;
  underline_ = false;
  italic_ = false;
  fontName_ = QStringLiteral("Arial");
  const int canvasHeight = Printer().Canvas().Font().Height();
  fontHeight_ = std::abs(canvasHeight);
  SetFont(QStringLiteral("Arial"), canvasHeight);

  PagewickIni::JobSettings settings;
  settings.PageHeight = Printer().PageHeight();
  settings.PageWidth = Printer().PageWidth();
  settings.Landscape = Printer().Orientation() == poLandscape;
  settings.ViewBackground = ColorToRGB(backgroundColor);
  settings.PreviewHeading = heading;
  settings.PrinterName = Printer().PrinterName();
  settings.PrinterIndex = Printer().PrinterIndex();
  settings.ZoomFactor = zoomFactor;
  settings.Directory = QDir::currentPath();
  settingsProblem_.clear();
  try {
    PagewickIni::WriteJob(settings);
  } catch (const Exception& problem) {
    settingsProblem_ = problem.Message();
  }
  ProcessMessages();
}

void TGdi::NewPage() {
  ProcessMessages();
  if (target_ == poHTML) return;
  EndPage();
  ++pageCount_;
  pageFileName_ = PageFileNameFor(pageCount_, target_);
  OpenPage();
  SetUpSurface();
  SetFont(fontName_, Printer().Canvas().Font().Height());
  ProcessMessages();
}

void TGdi::EndPage() {
  // Releasing the context drops the page's pen, brush and font; the next page starts from the defaults.
  context_.reset();
  if (htmlStream_) WriteHtmlLine(htmlStream_.get(), QStringLiteral("</HTML>"));
  if (target_ == poHTML) {
    const std::unique_ptr<TAtomicFile> stream = std::move(htmlStream_);
    if (stream && !stream->Commit()) throw HtmlFileFailure(stream->Target(), stream->errorString());
  } else if (page_) {
    const std::unique_ptr<PagePicture> page = std::move(page_);
    page->EndRecording();
    page->Save(pageFileName_);
  }
  // The page file was made with the owner's read and write rights only; nothing is changed through its name.
  ProcessMessages();
}

void TGdi::PrintPages(bool showStatus) {
  TPrinter& printer = Printer();
  if (printer.Printing()) return;
  // Without a single recorded page there is nothing to send, not even a blank sheet.
  if (!QFileInfo::exists(PageFileNameFor(1, target_))) return;

  StatusDialogScope status(showStatus);
  printer.SetOrientation(PagewickIni::IsPortrait() ? poPortrait : poLandscape);
  printer.BeginDoc();
  try {
    PlayPagesToPrinter(status.Dialog());
  } catch (...) {
    // A printer left printing would make every later PrintPages do nothing.
    printer.Abort();
    throw;
  }
  if (status.Dialog() != nullptr && status.Dialog()->AbortRequested()) printer.Abort();
  if (printer.Printing()) printer.EndDoc();
}

void TGdi::PlayPagesToPrinter(TPrintDialog1* status) {
  TPrinter& printer = Printer();
  for (int number = 1;; ++number) {
    if (status != nullptr) status->SetPageText(QString::asprintf("%d", number));
    const QString fileName = PageFileNameFor(number, target_);
    if (!QFileInfo::exists(fileName)) break;
    PagePicture page;
    QPainter* painter = printer.Canvas().Painter();
    // A page file that cannot be read prints as an empty sheet.
    if (painter != nullptr && page.Load(fileName)) page.Play(*painter);
    printer.ProcessAbortProcedure();
    if (!printer.Printing()) break;
    if (!QFileInfo::exists(PageFileNameFor(number + 1, target_))) break;
    if (status != nullptr && status->AbortRequested()) break;
    printer.NewPage();
  }
}
