#include "print/device/QV_Gdi.h"

#include "platform/Application.h"
#include "platform/AtomicFile.h"
#include "platform/DrawingContext.h"
#include "platform/PagePicture.h"
#include "platform/Screen.h"
#include "print/device/PagewickIni.h"
#include "print/device/RecordedPages.h"
#include "print/shared/PageRange.h"
#include "print/dialogs/Pagewick.h"
#include "print/shared/QV_MFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QStringEncoder>
#include <algorithm>
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
    if (!show || !WindowsCanBeSeen()) return;
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

QString TGdi::PageFileName() const {
  return recorded_ ? PageFileNameIn(recorded_->Folder(), pageCount_, target_)
                   : PageFileNameFor(pageCount_, target_);
}

void TGdi::ClearPages() {
  if (recorded_) recorded_->Delete();
  recorded_.reset();
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
  elementKeys_ = 0;
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
  // The pages keep the folder they are recorded in and the settings they are recorded by; the store only
  // tells the next job what this one was.
  if (target_ != poHTML) recorded_ = std::make_shared<TRecordedPages>(target_, settings);
  ++pageCount_;

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
  ClosePage();
  ++pageCount_;
  OpenPage();
  SetUpSurface();
  SetFont(fontName_, Printer().Canvas().Font().Height());
  ProcessMessages();
}

void TGdi::EndPage() {
  ClosePage();
  // The job's pages are all in their files before anything reads them.
  if (recorded_) recorded_->Settle();
}

void TGdi::ClosePage() {
  // A page's marks end on it, the innermost (a frame's artifact) first: what goes on over pages begins
  // again, continued, on the next.
  while (openArtifacts_ > 0) EndArtifact();
  while (!openElements_.empty()) EndElement();
  // Releasing the context drops the page's pen, brush and font; the next page starts from the defaults.
  context_.reset();
  if (htmlStream_) WriteHtmlLine(htmlStream_.get(), QStringLiteral("</HTML>"));
  if (target_ == poHTML) {
    const std::unique_ptr<TAtomicFile> stream = std::move(htmlStream_);
    if (stream && !stream->Commit()) throw HtmlFileFailure(stream->Target(), stream->errorString());
  } else if (page_) {
    const std::unique_ptr<PagePicture> page = std::move(page_);
    page->EndRecording();
    recorded_->Add(*page);
  }
  // The page file was made with the owner's read and write rights only; nothing is changed through its name.
  ProcessMessages();
}

namespace {
// The recorded pages a selection takes, in order; all of them for an empty selection.
std::vector<int> SelectedPages(int recorded, const QString& selection) {
  std::vector<int> pages;
  for (int page = 1; page <= recorded; ++page) {
    if (selection.isEmpty() || PageInRange(page, selection)) pages.push_back(page);
  }
  return pages;
}

// Pages as a queue takes a range: "1-3,5".
QString RangesText(const std::vector<int>& pages) {
  QStringList ranges;
  for (std::size_t first = 0; first < pages.size();) {
    std::size_t last = first;
    while (last + 1 < pages.size() && pages[last + 1] == pages[last] + 1) ++last;
    ranges << (first == last ? QString::number(pages[first])
                             : QStringLiteral("%1-%2").arg(pages[first]).arg(pages[last]));
    first = last + 1;
  }
  return ranges.join(QLatin1Char(','));
}
}  // namespace

int TGdi::PrintPages(bool showStatus, const TPrintJobOptions& options) {
  TPrinter& printer = Printer();
  if (printer.Printing() || !recorded_) return 0;
  const int recorded = recorded_->Count();
  const std::vector<int> selected = SelectedPages(recorded, options.PageRanges);
  // Without a single page to print there is nothing to send, not even a blank sheet.
  if (selected.empty()) return 0;

  std::vector<int> plan;
  TPrintJobOptions queueOptions;
  const int copies = std::max(1, options.Copies);
  if (printer.IsQueue()) {
    plan = SelectedPages(recorded, QString());
    queueOptions.Copies = copies;
    queueOptions.Collate = options.Collate;
    if (static_cast<int>(selected.size()) < recorded) queueOptions.PageRanges = RangesText(selected);
  } else {
    plan = PagesWithCopies(selected, copies, options.Collate);
  }

  // A page that went missing or changed is found before anything is sent.
  recorded_->Check(selected);
  StatusDialogScope status(showStatus);
  printer.SetOrientation(recorded_->Portrait() ? poPortrait : poLandscape);
  // Pages the program's PDF writer cannot draw all go through Qt's, the whole document.
  const TPdfWriterScope writer(recorded_->PdfWritable() ? printer.PdfWriter() : TPdfWriterKind::Qt);
  printer.BeginDoc(QString(), queueOptions);
  try {
    PlayPagesToPrinter(plan, status.Dialog());
  } catch (...) {
    // A printer left printing would make every later PrintPages do nothing.
    printer.Abort();
    throw;
  }
  if (status.Dialog() != nullptr && status.Dialog()->AbortRequested()) printer.Abort();
  if (!printer.Printing()) return 0;
  printer.EndDoc();
  return static_cast<int>(selected.size());
}

void TGdi::PlayPagesToPrinter(const std::vector<int>& pages, TPrintDialog1* status) {
  TPrinter& printer = Printer();
  for (std::size_t index = 0; index < pages.size(); ++index) {
    const int number = pages[index];
    if (status != nullptr) status->SetPageText(QString::asprintf("%d", number));
    PagePicture page;
    recorded_->Load(number, page);
    printer.DrawPage(page);
    printer.ProcessAbortProcedure();
    if (!printer.Printing()) break;
    if (index + 1 == pages.size()) break;
    if (status != nullptr && status->AbortRequested()) break;
    printer.NewPage();
  }
}
