#include "platform/Printers.h"

#include "platform/Application.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/FontShaper.h"
#include "platform/PagePicture.h"
#include "platform/PageRecording.h"
#include "platform/SysUtils.h"
#include "platform/TempDirectory.h"
#include "platform/pdf/PdfDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPdfWriter>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <cups/cups.h>

namespace {
constexpr int DefaultPdfResolution = 300;

QPageSize DefaultPdfPageSize() {
  return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                            : QPageSize(QPageSize::A4);
}

// The queue's own default resolution: Qt would otherwise lay every CUPS printer out at 1200 dots per inch,
// on which the library's one-pixel rules come out too thin to see.
int CupsDefaultResolution(const QString& name) {
  int result = 0;
  const QByteArray queue = name.toUtf8();
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
  if (dest != nullptr) {
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (info != nullptr) {
      ipp_attribute_t* attribute = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution");
      if (attribute != nullptr && ippGetValueTag(attribute) == IPP_TAG_RESOLUTION) {
        int vertical = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        const int horizontal = ippGetResolution(attribute, 0, &vertical, &units);
        result = units == IPP_RES_PER_CM ? static_cast<int>(std::lround(horizontal * 2.54)) : horizontal;
      }
      cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
  }
  return result > 0 ? result : DefaultPdfResolution;
}

QString NotPrinting() { return QStringLiteral("Printer is not currently printing"); }

// Whether the queue's printer is stopped (disabled): jobs wait in the queue until it is started again.
bool QueueStopped(const QByteArray& queue) {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
  if (dest == nullptr) return false;
  const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
  const bool stopped = state != nullptr && std::atoi(state) == IPP_PSTATE_STOPPED;
  cupsFreeDests(1, dest);
  return stopped;
}

// The program that made a document, by the name it shows (its title, else its executable's name), with its
// version when it has one.
QString CreatorName() {
  const QString title = Application().Title();
  const QString name = title.isEmpty() ? QCoreApplication::applicationName() : title;
  const QString version = QCoreApplication::applicationVersion();
  return version.isEmpty() ? name : name + QLatin1Char(' ') + version;
}

// A file name for a PDF that was given none: the title in the documents folder, never over an existing file.
QString NewPdfFileName(const QString& title) {
  // Where a user looks for documents, made when it is not there yet; never a guess elsewhere in the home.
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty()) folder = QDir::home().filePath(QStringLiteral("Documents"));
  QDir().mkpath(folder);
  QString base = title;
  base.replace(QLatin1Char('/'), QLatin1Char('_'));
  if (base.trimmed().isEmpty()) base = QStringLiteral("Document");
  QString candidate = QDir(folder).filePath(base + QStringLiteral(".pdf"));
  for (int number = 2; QFileInfo::exists(candidate); ++number) {
    candidate = QDir(folder).filePath(QStringLiteral("%1 (%2).pdf").arg(base).arg(number));
  }
  return candidate;
}

// The file a document is painted into: the PDF itself beside its target, so the target is replaced in one
// step when the document is complete, or a private spool file for a queue. A name made up for a document
// that was given none never takes the place of a file already there.
std::unique_ptr<TAtomicFile> DocumentOutput(bool pdf, const QString& pdfFile, const QString& title) {
  if (pdf && !pdfFile.isEmpty()) return std::make_unique<TAtomicFile>(pdfFile);
  if (pdf) return std::make_unique<TAtomicFile>(NewPdfFileName(title), TAtomicFile::TMode::NoReplace);
  const QString folder = ProcessTempDirectory();
  return std::make_unique<TAtomicFile>(folder.isEmpty()
                                           ? QDir::temp().filePath(QStringLiteral("quenary-print.pdf"))
                                           : QDir(folder).filePath(QStringLiteral("print-spool.pdf")));
}

QPrinter::DuplexMode QtDuplex(TDuplex duplex) {
  switch (duplex) {
    case TDuplex::LongEdge: return QPrinter::DuplexLongSide;
    case TDuplex::ShortEdge: return QPrinter::DuplexShortSide;
    case TDuplex::None: break;
  }
  return QPrinter::DuplexNone;
}

// The options a document goes to a queue with, freed with it.
class TQueueOptions {
public:
  TQueueOptions() = default;
  ~TQueueOptions() { cupsFreeOptions(count_, options_); }
  TQueueOptions(const TQueueOptions&) = delete;
  TQueueOptions& operator=(const TQueueOptions&) = delete;

  void Add(const char* name, const QByteArray& value) {
    count_ = cupsAddOption(name, value.constData(), count_, &options_);
  }
  int Count() const { return count_; }
  cups_option_t* Options() const { return options_; }

private:
  int count_ = 0;
  cups_option_t* options_ = nullptr;
};

Exception PdfFailure(const QString& target, const QString& reason) {
  return Exception(QStringLiteral("Cannot write the PDF file \"%1\": %2").arg(ShownName(target), reason));
}
}  // namespace

class TPrinter::Private {
public:
  QStringList names;
  QStringList cupsNames;
  QString defaultName;
  int index = -1;
  TPrinterOrientation orientation = poPortrait;
  QString pdfFileName;
  int pdfResolution = DefaultPdfResolution;
  QString title;
  TDocumentInformation information;
  bool archival = false;
  bool tagged = true;

  // The user's choices beyond the printer: paper (when chosen), sides, colour, copies and pages.
  std::optional<QPageSize> paper;
  bool orientationChosen = false;
  TDuplex duplex = TDuplex::None;
  bool color = true;
  TPrintJobOptions jobOptions;
  QString lastPdfFile;

  // Page layout and resolution of the selected printer, made again when the selection changes.
  std::unique_ptr<QPrinter> setup;
  QString setupName;
  bool setupValid = false;

  // The open document: painted into its output file and delivered by EndDoc, by Qt's writer (document and
  // painter) or the program's own (own, and a sheet drawn on the canvas recorded until the sheet ends).
  std::unique_ptr<TAtomicFile> output;
  std::unique_ptr<QPdfWriter> document;
  std::unique_ptr<QPainter> painter;
  TPdfWriterKind writer =
      qEnvironmentVariable("QUENARY_PDF_WRITER").compare(QLatin1String("qt"), Qt::CaseInsensitive) == 0
          ? TPdfWriterKind::Qt
          : TPdfWriterKind::Own;
  std::unique_ptr<TPdfDocument> own;
  std::unique_ptr<TPageRecorder> sheetRecorder;
  std::unique_ptr<QPainter> sheetPainter;
  // The printer's metrics the own writer lays texts out for.
  QPaintDevice* layoutDevice = nullptr;
  QString documentPrinter;
  QString documentTitle;
  TPrintJobOptions documentQueueOptions;
  bool documentIsPdf = false;
  bool aborted = false;
  bool documentOpen = false;

  // A print action: while one is open, the documents sent to the PDF destination are painted one after the
  // other into one file, which takes the chosen file's place once, when the action ends.
  int actionDepth = 0;
  bool documentInAction = false;
  bool actionFileOpen = false;
  bool actionAborted = false;
  int actionDocuments = 0;
  QString actionTitle;
  // A queue the action's documents went to while its printer was stopped: said once, when the action ends.
  QString stoppedQueue;

  bool IsPdf(const QString& name) const { return !cupsNames.contains(name); }

  // Plays what was drawn on the canvas of the current sheet into the own writer's page. The canvas's painter
  // goes on to the next sheet in the state it is in, as a painter on Qt's writer does; at the end of the
  // document it ends.
  void FlushSheet(bool ending = false) {
    if (!sheetPainter) return;
    bool writable = true;
    QByteArray recording;
    if (ending) {
      sheetPainter->end();
      sheetPainter.reset();
      recording = sheetRecorder->TakeRecording(&writable);
      sheetRecorder.reset();
    } else {
      recording = sheetRecorder->TakeSheet(&writable);
    }
    PlayOnSheet(recording, writable, 0);
  }

  // A recording on the own writer's page; one it cannot draw is drawn by Qt onto a picture of the sheet.
  void PlayOnSheet(const QByteArray& recording, bool writable, int pageCount) {
    if (writable && own->Play(recording, layoutDevice, pageCount)) return;
    const int resolution = layoutDevice->logicalDpiX();
    QImage sheet(layoutDevice->width(), layoutDevice->height(), QImage::Format_ARGB32_Premultiplied);
    if (sheet.isNull()) throw Exception(QStringLiteral("Not enough memory to draw a picture of the sheet."));
    sheet.setDotsPerMeterX(qRound(resolution / 0.0254));
    sheet.setDotsPerMeterY(qRound(layoutDevice->logicalDpiY() / 0.0254));
    sheet.fill(Qt::transparent);
    {
      QPainter picture(&sheet);
      PlayRecording(picture, recording, pageCount);
    }
    own->DrawPicture(sheet);
  }

  // Ends the painting; false when the PDF engine could not complete the file.
  bool CloseDocument() {
    bool ended = true;
    if (painter && painter->isActive()) {
      painter->restore();  // the initial state saved when the document began
      ended = painter->end();
    }
    painter.reset();
    document.reset();
    if (own) {
      FlushSheet(true);
      ended = own->Finish() && ended;
      own.reset();
    }
    documentOpen = false;
    documentInAction = false;
    return ended;
  }

  // Completes the open document's file: the PDF takes its target's place, a spool file stays for the queue.
  // Fails with the reason in the words of what was being written; nothing half-written is left.
  std::unique_ptr<TAtomicFile> CompleteOutput() {
    const bool ended = CloseDocument();
    std::unique_ptr<TAtomicFile> file = std::move(output);
    if (!file) return file;
    const bool complete = ended && (documentIsPdf ? file->Commit() : file->Complete());
    if (complete && documentIsPdf) lastPdfFile = file->Target();
    if (complete) return file;
    const QString reason =
        !ended && !file->Failed() ? QStringLiteral("The PDF could not be completed.") : file->errorString();
    const QString target = file->Target();
    file->Discard();
    if (documentIsPdf) {
      throw PdfFailure(target, reason);
    }
    throw Exception(QStringLiteral("Cannot write the print spool file in \"%1\": %2")
                        .arg(ShownName(QFileInfo(target).absolutePath()), reason));
  }

  void ResetAction() {
    CloseDocument();
    output.reset();
    actionFileOpen = false;
    actionAborted = false;
    actionDocuments = 0;
  }
};

TPrinter::TPrinter() : d_(std::make_unique<Private>()), canvas_(*this) { RefreshPrinters(); }

TPrinter::~TPrinter() { d_->ResetAction(); }

QString TPrinter::PdfPrinterName() { return QStringLiteral("Print to PDF"); }

QStringList TPrinter::Printers() const { return d_->names; }

void TPrinter::SetPrinters(const QStringList& names) {
  d_->names = names;
  d_->index = -1;
  d_->setupValid = false;
}

void TPrinter::RefreshPrinters() {
  d_->cupsNames = QPrinterInfo::availablePrinterNames();
  d_->defaultName = QPrinterInfo::defaultPrinterName();
  d_->names = d_->cupsNames;
  d_->names.append(PdfPrinterName());
  d_->index = -1;
  d_->setupValid = false;
}

int TPrinter::PrinterIndex() const {
  if (d_->names.isEmpty()) return -1;
  if (d_->index >= 0 && d_->index < d_->names.size()) return d_->index;
  int index = d_->defaultName.isEmpty() ? -1 : static_cast<int>(d_->names.indexOf(d_->defaultName));
  if (index < 0) index = static_cast<int>(d_->names.indexOf(PdfPrinterName()));
  return index < 0 ? 0 : index;
}

void TPrinter::SetPrinterIndex(int index) {
  if (index != -1 && (index < 0 || index >= d_->names.size())) {
    throw Exception(QStringLiteral("Printer index out of range: %1 (%2 printers are installed)")
                        .arg(index)
                        .arg(d_->names.size()));
  }
  if (index != d_->index) d_->setupValid = false;
  d_->index = index;
}

QString TPrinter::PrinterName() const {
  const int index = PrinterIndex();
  return index < 0 ? QString() : d_->names.at(index);
}

TPrinterOrientation TPrinter::Orientation() const { return d_->orientation; }

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  d_->orientation = orientation;
  if (d_->setup) {
    d_->setup->setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
  }
}

void TPrinter::ChooseOrientation(TPrinterOrientation orientation) {
  SetOrientation(orientation);
  d_->orientationChosen = true;
}

bool TPrinter::OrientationChosen() const { return d_->orientationChosen; }

QPrinter& TPrinter::QtPrinter() {
  const QString name = PrinterName();
  if (!d_->setup || !d_->setupValid || d_->setupName != name) {
    if (!d_->IsPdf(name)) {
      d_->setup = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
      d_->setup->setResolution(CupsDefaultResolution(name));
      if (d_->paper) d_->setup->setPageSize(*d_->paper);
    } else {
      // "Print to PDF", and any name that is no CUPS queue, lay out on a PDF page without unprintable
      // margins.
      d_->setup = std::make_unique<QPrinter>(QPrinter::HighResolution);
      d_->setup->setOutputFormat(QPrinter::PdfFormat);
      d_->setup->setPageSize(d_->paper.value_or(DefaultPdfPageSize()));
      d_->setup->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
      d_->setup->setResolution(d_->pdfResolution);
      if (!d_->pdfFileName.isEmpty()) d_->setup->setOutputFileName(d_->pdfFileName);
    }
    d_->setup->setFullPage(false);
    d_->setup->setPageOrientation(d_->orientation == poLandscape ? QPageLayout::Landscape
                                                                 : QPageLayout::Portrait);
    // The print dialog opens on the choices already made.
    d_->setup->setDuplex(QtDuplex(d_->duplex));
    d_->setup->setColorMode(d_->color ? QPrinter::Color : QPrinter::GrayScale);
    d_->setup->setCopyCount(d_->jobOptions.Copies);
    d_->setup->setCollateCopies(d_->jobOptions.Collate);
    d_->setupName = name;
    d_->setupValid = true;
  }
  return *d_->setup;
}

void TPrinter::TakeQtPrinterSettings() {
  QPrinter& printer = QtPrinter();
  int index = -1;
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    index = static_cast<int>(d_->names.indexOf(PdfPrinterName()));
    if (!printer.outputFileName().isEmpty()) d_->pdfFileName = printer.outputFileName();
  } else {
    index = static_cast<int>(d_->names.indexOf(printer.printerName()));
  }
  const QPageLayout layout = printer.pageLayout();
  d_->orientation = layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
  d_->orientationChosen = true;
  d_->paper = layout.pageSize();
  switch (printer.duplex()) {
    case QPrinter::DuplexNone: d_->duplex = TDuplex::None; break;
    case QPrinter::DuplexLongSide: d_->duplex = TDuplex::LongEdge; break;
    case QPrinter::DuplexShortSide: d_->duplex = TDuplex::ShortEdge; break;
    // "Automatic" turns the sheet the way the page is read: on the long edge for a portrait page.
    case QPrinter::DuplexAuto:
      d_->duplex = d_->orientation == poPortrait ? TDuplex::LongEdge : TDuplex::ShortEdge;
      break;
  }
  d_->color = printer.colorMode() == QPrinter::Color;
  TPrintJobOptions options;
  options.Copies = std::max(1, printer.copyCount());
  options.Collate = printer.collateCopies();
  if (printer.printRange() == QPrinter::PageRange) {
    options.PageRanges = printer.pageRanges().toString();
    if (options.PageRanges.isEmpty() && printer.fromPage() > 0)
      options.PageRanges =
          QStringLiteral("%1-%2").arg(printer.fromPage()).arg(std::max(printer.fromPage(), printer.toPage()));
  }
  d_->jobOptions = options;
  if (index >= 0) {
    d_->index = index;
    // The dialog's printer already carries the chosen page layout; keep it rather than make it again.
    d_->setupName = d_->names.at(index);
  }
}

QPageSize TPrinter::PaperSize() const {
  return const_cast<TPrinter*>(this)->QtPrinter().pageLayout().pageSize();
}

void TPrinter::SetPaperSize(const QPageSize& paper) {
  d_->paper = paper;
  d_->setupValid = false;
}

TDuplex TPrinter::Duplex() const { return d_->duplex; }

void TPrinter::SetDuplex(TDuplex duplex) {
  d_->duplex = duplex;
  d_->setupValid = false;
}

bool TPrinter::Color() const { return d_->color; }

void TPrinter::SetColor(bool color) {
  d_->color = color;
  d_->setupValid = false;
}

TPrintJobOptions TPrinter::JobOptions() const { return d_->jobOptions; }

void TPrinter::SetJobOptions(const TPrintJobOptions& options) {
  d_->jobOptions = options;
  d_->jobOptions.Copies = std::max(1, options.Copies);
  d_->setupValid = false;
}

bool TPrinter::IsQueue() const { return !d_->IsPdf(PrinterName()); }

QString TPrinter::LastPdfFile() const { return d_->lastPdfFile; }

int TPrinter::PageWidth() const { return const_cast<TPrinter*>(this)->QtPrinter().width(); }
int TPrinter::PageHeight() const { return const_cast<TPrinter*>(this)->QtPrinter().height(); }
int TPrinter::ResolutionX() const { return const_cast<TPrinter*>(this)->QtPrinter().resolution(); }
int TPrinter::ResolutionY() const { return const_cast<TPrinter*>(this)->QtPrinter().resolution(); }

TPrinterCanvas& TPrinter::Canvas() {
  TFont& font = canvas_.Font();
  const int resolution = ResolutionY();
  if (resolution > 0 && font.PixelsPerInch() != resolution) {
    const int points = font.Size();
    font.SetPixelsPerInch(resolution);
    font.SetSize(points);
  }
  return canvas_;
}

QString TPrinter::PdfFileName() const { return d_->pdfFileName; }

void TPrinter::SetPdfOutput(const QString& fileName, int dotsPerInch) {
  d_->pdfFileName = fileName;
  d_->pdfResolution = dotsPerInch > 0 ? dotsPerInch : DefaultPdfResolution;
  d_->setupValid = false;
}

void TPrinter::PrintToPdf(const QString& fileName, int dotsPerInch) {
  if (!d_->names.contains(PdfPrinterName())) d_->names.append(PdfPrinterName());
  SetPrinterIndex(static_cast<int>(d_->names.indexOf(PdfPrinterName())));
  SetPdfOutput(fileName, dotsPerInch);
}

QString TPrinter::Title() const { return d_->title; }
void TPrinter::SetTitle(const QString& title) { d_->title = title; }
bool TPrinter::PdfArchival() const { return d_->archival; }
void TPrinter::SetPdfArchival(bool archival) { d_->archival = archival; }
bool TPrinter::PdfTagged() const { return d_->tagged; }
void TPrinter::SetPdfTagged(bool tagged) { d_->tagged = tagged; }

TDocumentInformation TPrinter::DocumentInformation() const { return d_->information; }
void TPrinter::SetDocumentInformation(const TDocumentInformation& information) {
  d_->information = information;
}

QPaintDevice* TPrinter::MeasuringDevice() const {
  if (d_->document && d_->documentOpen) return d_->document.get();
  return &const_cast<TPrinter*>(this)->QtPrinter();
}

void TPrinter::BeginDoc(const QString& title, const TPrintJobOptions& queueOptions) {
  if (Printing()) throw Exception(QStringLiteral("Printing in progress"));
  QPrinter& setup = QtPrinter();
  QString documentTitle = title;
  if (documentTitle.isEmpty()) documentTitle = d_->title;
  if (documentTitle.isEmpty()) documentTitle = QCoreApplication::applicationName();
  const QString printerName = PrinterName();
  const bool pdf = d_->IsPdf(printerName);

  // A further document of an action on the PDF destination continues the action's file on a new sheet,
  // from a painter in its initial state; a document for another destination first completes that file.
  if (d_->actionFileOpen && !pdf) FinishActionFile(true);
  if (pdf && d_->actionFileOpen) {
    if (d_->own) {
      d_->FlushSheet();
      d_->layoutDevice = &setup;
      d_->own->BeginPage(setup.pageLayout(), setup.resolution());
    } else {
      d_->painter->restore();
      d_->painter->save();
      d_->document->setPageLayout(setup.pageLayout());
      d_->document->newPage();
    }
    d_->documentOpen = true;
    d_->documentInAction = true;
    d_->aborted = false;
    return;
  }

  auto output =
      DocumentOutput(pdf, d_->pdfFileName,
                     d_->actionDepth > 0 && !d_->actionTitle.isEmpty() ? d_->actionTitle : documentTitle);
  if (!output->Open()) {
    if (pdf) {
      throw PdfFailure(output->Target(), output->errorString());
    }
    throw Exception(QStringLiteral("Cannot create the print spool file: %1").arg(output->errorString()));
  }
  if (d_->writer == TPdfWriterKind::Own) {
    const TDocumentInformation& chosen = d_->information;
    TPdfDocument::TInformation information;
    information.Title = chosen.Title.isEmpty() ? documentTitle : chosen.Title;
    information.Author = chosen.Author;
    information.Subject = chosen.Subject;
    information.Language = chosen.Language.isEmpty() ? QLocale().bcp47Name() : chosen.Language;
    information.Creator = CreatorName();
    information.Producer = QStringLiteral("Quenary Print");
    information.Archival = d_->archival;
    information.Tagged = d_->tagged;
    d_->own = std::make_unique<TPdfDocument>(*output, information);
    d_->layoutDevice = &setup;
    d_->own->BeginPage(setup.pageLayout(), setup.resolution());
  } else {
    auto document = std::make_unique<QPdfWriter>(output.get());
    document->setResolution(setup.resolution());
    document->setPageLayout(setup.pageLayout());
    document->setTitle(d_->information.Title.isEmpty() ? documentTitle : d_->information.Title);
    document->setCreator(CreatorName());
    if (d_->archival) document->setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(document.get())) {
      throw Exception(
          QStringLiteral("Cannot start a print document for \"%1\".").arg(ShownName(printerName)));
    }
    painter->save();
    d_->document = std::move(document);
    d_->painter = std::move(painter);
  }
  d_->output = std::move(output);
  d_->documentPrinter = printerName;
  d_->documentTitle = documentTitle;
  d_->documentQueueOptions = queueOptions;
  d_->documentIsPdf = pdf;
  d_->aborted = false;
  d_->documentOpen = true;
  d_->documentInAction = pdf && d_->actionDepth > 0;
  d_->actionFileOpen = d_->documentInAction;
}

void TPrinter::NewPage() {
  if (!Printing()) throw Exception(NotPrinting());
  if (d_->own) {
    d_->FlushSheet();
    d_->own->BeginPage(QtPrinter().pageLayout(), QtPrinter().resolution());
    return;
  }
  d_->document->newPage();
}

void TPrinter::DrawPage(const PagePicture& page) {
  if (!Printing()) throw Exception(NotPrinting());
  if (d_->own) {
    d_->FlushSheet();
    d_->PlayOnSheet(page.DisplayList(), page.PdfWritable(), page.PageCount());
    return;
  }
  page.Play(*d_->painter);
}

TPdfWriterKind TPrinter::PdfWriter() const { return d_->writer; }

void TPrinter::SetPdfWriter(TPdfWriterKind writer) { d_->writer = writer; }

void TPrinter::EndDoc() {
  if (!Printing()) throw Exception(NotPrinting());
  if (d_->documentInAction) {
    // The sheets stay in the action's file, which EndPrintAction delivers; the next document's painter starts
    // afresh, as on Qt's writer.
    if (d_->own) d_->FlushSheet(true);
    d_->documentOpen = false;
    ++d_->actionDocuments;
    return;
  }
  // The spool file goes away when this function leaves, sent or not.
  const std::unique_ptr<TAtomicFile> file = d_->CompleteOutput();
  if (d_->documentIsPdf) return;
  const QByteArray queue = d_->documentPrinter.toUtf8();
  const QByteArray spool = QFile::encodeName(file->TemporaryFileName());
  const QByteArray title = d_->documentTitle.toUtf8();
  TQueueOptions options;
  options.Add("media", QtPrinter().pageLayout().pageSize().key().toUtf8());
  options.Add("orientation-requested", d_->orientation == poLandscape ? "4" : "3");
  options.Add("sides", d_->duplex == TDuplex::LongEdge    ? "two-sided-long-edge"
                       : d_->duplex == TDuplex::ShortEdge ? "two-sided-short-edge"
                                                          : "one-sided");
  options.Add("print-color-mode", d_->color ? "color" : "monochrome");
  const TPrintJobOptions& copies = d_->documentQueueOptions;
  if (copies.Copies > 1) {
    options.Add("copies", QByteArray::number(copies.Copies));
    options.Add("collate", copies.Collate ? "true" : "false");
  }
  if (!copies.PageRanges.isEmpty()) options.Add("page-ranges", copies.PageRanges.toUtf8());
  if (cupsPrintFile(queue.constData(), spool.constData(), title.constData(), options.Count(),
                    options.Options()) == 0) {
    throw Exception(QStringLiteral("The printer \"%1\" did not accept the document: %2")
                        .arg(ShownName(d_->documentPrinter), QString::fromUtf8(cupsLastErrorString())));
  }
  // A stopped printer's queue takes the job and keeps it; the user would wait at an idle printer.
  if (QueueStopped(queue)) {
    d_->stoppedQueue = d_->documentPrinter;
    if (d_->actionDepth == 0) TellStoppedQueue();
  }
}

void TPrinter::TellStoppedQueue() {
  const QString queue = std::exchange(d_->stoppedQueue, QString());
  if (queue.isEmpty()) return;
  MessageDlg(
      QStringLiteral("The printer \"%1\" is stopped: the print waits in its queue until the printer is "
                     "started again.")
          .arg(ShownName(queue)),
      mtWarning, mbOK);
}

void TPrinter::Abort() {
  if (!Printing()) return;
  d_->aborted = true;
  if (d_->documentInAction) {
    // Sheets of the abandoned document are already in the action's file: the whole file is dropped.
    d_->documentOpen = false;
    d_->actionAborted = true;
    return;
  }
  d_->CloseDocument();
  d_->output.reset();
}

void TPrinter::BeginPrintAction(const QString& title) {
  if (d_->actionDepth++ == 0) d_->actionTitle = title;
}

void TPrinter::EndPrintAction(bool deliver) {
  if (d_->actionDepth == 0) return;
  if (--d_->actionDepth > 0) return;
  FinishActionFile(deliver);
  TellStoppedQueue();
}

void TPrinter::FinishActionFile(bool deliver) {
  if (!d_->actionFileOpen) {
    d_->actionAborted = false;
    d_->actionDocuments = 0;
    return;
  }
  // A document still open is one that broke off.
  if (d_->documentOpen) d_->actionAborted = d_->aborted = true;
  const bool write = deliver && !d_->actionAborted && d_->actionDocuments > 0;
  if (!write) {
    d_->ResetAction();
    return;
  }
  d_->documentIsPdf = true;
  try {
    d_->CompleteOutput();
  } catch (...) {
    d_->ResetAction();
    throw;
  }
  d_->ResetAction();
}

bool TPrinter::InPrintAction() const { return d_->actionDepth > 0; }

bool TPrinter::Printing() const { return d_->documentOpen; }

bool TPrinter::Aborted() const { return d_->aborted; }

void TPrinter::ProcessAbortProcedure() { Application().ProcessMessages(); }

TPrinterCanvas::MeasuredFont& TPrinterCanvas::Measured() const {
  const QPaintDevice* device = printer_.MeasuringDevice();
  if (device != measuredDevice_) {
    measured_.clear();
    measuredDevice_ = device;
  }
  const auto same = [this](const MeasuredFont& font) {
    return font.Name == font_.Name() && font.Height == font_.Height() && font.Style == font_.Style();
  };
  if (!measured_.empty() && same(measured_.front())) return measured_.front();
  auto found = std::find_if(measured_.begin(), measured_.end(), same);
  if (found == measured_.end()) {
    if (measured_.size() >= MeasuredFontsKept) measured_.pop_back();
    measured_.push_back(
        {font_.Name(), font_.Height(), font_.Style(), QFontMetrics(font_.ToQFont(), device), {}, {}, {}, {}});
    found = measured_.end() - 1;
    if (device != nullptr) {
      found->Font = QFont(font_.ToQFont(), device);
      found->Raw = QRawFont::fromFont(found->Font);
      if (found->Raw.isValid()) found->Shaper = TFontShaper::Kept(found->Raw);
    }
  }
  std::rotate(measured_.begin(), found, found + 1);
  return measured_.front();
}

const QFontMetrics& TPrinterCanvas::Metrics() const { return Measured().Metrics; }

int TPrinterCanvas::TextWidth(const QString& text) const {
  MeasuredFont& font = Measured();
  // A grid measures every cell, and a column repeats its texts (days, payees, notes); laying a text out is
  // the dear part of measuring it.
  const auto known = font.Widths.constFind(text);
  if (known != font.Widths.constEnd()) return known.value();
  if (font.Widths.size() >= MeasuredTextsKept) font.Widths.clear();
  int width = -1;
  if (font.Shaper && TFontShaper::Shapeable(font.Font, text))
    width = font.Shaper->Width(font.Raw, text, font.Font.kerning());
  if (width < 0) width = font.Metrics.horizontalAdvance(text);
  font.Widths.insert(text, width);
  return width;
}

QString TPrinterCanvas::ElidedText(const QString& text, int width) const {
  return Metrics().elidedText(text, Qt::ElideRight, std::max(0, width));
}

int TPrinterCanvas::TextHeight(const QString& text) const {
  Q_UNUSED(text);
  return Metrics().ascent() + Metrics().descent();
}

QPainter* TPrinterCanvas::Painter() const {
  if (!printer_.Printing()) return nullptr;
  TPrinter::Private& d = *printer_.d_;
  if (!d.own) return d.painter.get();
  if (!d.sheetPainter) {
    d.sheetRecorder = std::make_unique<TPageRecorder>();
    d.sheetPainter = std::make_unique<QPainter>(d.sheetRecorder.get());
  }
  return d.sheetPainter.get();
}

TPrinter& Printer() {
  static std::unique_ptr<TPrinter> printer;
  if (!printer) {
    printer = std::make_unique<TPrinter>();
    // Qt's printers must go before the application object does.
    qAddPostRoutine([] { printer.reset(); });
  }
  return *printer;
}
