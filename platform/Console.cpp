#include "platform/Console.h"

#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QPageSize>
#include <QMessageBox>
#include <QImage>
#include <QPixmap>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace {
// The papers a command line names, as the print dialog offers them.
const QHash<QString, QPageSize::PageSizeId>& Papers() {
  static const QHash<QString, QPageSize::PageSizeId> papers = {{QStringLiteral("A4"), QPageSize::A4},
                                                               {QStringLiteral("Letter"), QPageSize::Letter},
                                                               {QStringLiteral("Legal"), QPageSize::Legal},
                                                               {QStringLiteral("A5"), QPageSize::A5}};
  return papers;
}
}  // namespace

int WholeNumberOption(const QString& name, const QString& value, int lowest, int highest, QString& error) {
  bool number = false;
  const int result = value.toInt(&number);
  if (error.isEmpty() && (!number || result < lowest || result > highest))
    error = QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\"")
                .arg(name, QString::number(lowest), QString::number(highest), EscapedForTerminal(value));
  return result;
}

bool TakeOptionValue(const QStringList& arguments, qsizetype& index, const QString& name, QString& value,
                     QString& error) {
  const QString& argument = arguments.at(index);
  if (argument.startsWith(name + QLatin1Char('='))) {
    value = argument.mid(name.size() + 1);
    return true;
  }
  if (argument != name) return false;
  if (index + 1 >= arguments.size()) {
    error = QStringLiteral("%1 needs a value").arg(name);
    return true;
  }
  value = arguments.at(++index);
  return true;
}

bool TakePrintOption(const QStringList& arguments, qsizetype& index, TPrintOptions& options, QString& error) {
  QString value;
  if (TakeOptionValue(arguments, index, QStringLiteral("--pdf"), value, error)) {
    if (error.isEmpty() && value.isEmpty()) error = QStringLiteral("--pdf needs a file name");
    options.PdfFile = QFileInfo(value).absoluteFilePath();
    return true;
  }
  if (TakeOptionValue(arguments, index, QStringLiteral("--printer"), value, error)) {
    if (error.isEmpty() && value.isEmpty()) error = QStringLiteral("--printer needs a printer name");
    options.PrinterName = value;
    return true;
  }
  if (TakeOptionValue(arguments, index, QStringLiteral("--copies"), value, error)) {
    options.Copies = WholeNumberOption(QStringLiteral("--copies"), value, 1, 999, error);
    options.DialogChoices = true;
    return true;
  }
  if (TakeOptionValue(arguments, index, QStringLiteral("--duplex"), value, error)) {
    static const QHash<QString, TDuplex> sides = {{QStringLiteral("none"), TDuplex::None},
                                                  {QStringLiteral("long"), TDuplex::LongEdge},
                                                  {QStringLiteral("short"), TDuplex::ShortEdge}};
    options.Duplex = sides.value(value, TDuplex::None);
    if (error.isEmpty() && !sides.contains(value))
      error = QStringLiteral("--duplex takes long, short or none, not \"%1\"").arg(EscapedForTerminal(value));
    options.DialogChoices = true;
    return true;
  }
  if (TakeOptionValue(arguments, index, QStringLiteral("--paper"), value, error)) {
    options.Paper = value;
    if (error.isEmpty() && !Papers().contains(value))
      error =
          QStringLiteral("--paper takes A4, Letter, Legal or A5, not \"%1\"").arg(EscapedForTerminal(value));
    options.DialogChoices = true;
    return true;
  }
  if (arguments.at(index) == QLatin1String("--collate") ||
      arguments.at(index) == QLatin1String("--landscape")) {
    (arguments.at(index) == QLatin1String("--collate") ? options.Collate : options.Landscape) = true;
    options.DialogChoices = true;
    return true;
  }
  if (arguments.at(index) == QLatin1String("--pdf-a") || arguments.at(index) == QLatin1String("--untagged")) {
    (arguments.at(index) == QLatin1String("--pdf-a") ? options.PdfA : options.Untagged) = true;
    return true;
  }
  if (TakeOptionValue(arguments, index, QStringLiteral("--dpi"), value, error)) {
    options.Dpi = WholeNumberOption(QStringLiteral("--dpi"), value, 72, 2400, error);
    options.DpiGiven = true;
    return true;
  }
  return false;
}

QString EscapedForTerminal(const QString& text) {
  QString escaped;
  escaped.reserve(text.size());
  qsizetype characters = 0;
  for (const char32_t code : text.toUcs4()) {
    if (++characters > MaximumShownLength) {
      escaped += QChar(0x2026);
      break;
    }
    switch (code) {
      case u'\\': escaped += QStringLiteral("\\\\"); break;
      case u'"': escaped += QStringLiteral("\\\""); break;
      case u'\n': escaped += QStringLiteral("\\n"); break;
      case u'\r': escaped += QStringLiteral("\\r"); break;
      case u'\t': escaped += QStringLiteral("\\t"); break;
      default: escaped += ActsOnTerminal(code) ? ControlEscape(code) : QString::fromUcs4(&code, 1);
    }
  }
  return escaped;
}

void WriteText(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
  std::fflush(stream);
}

void WriteErrorLine(const QString& program, const QString& message) {
  QString line = program + QStringLiteral(": ");
  for (const char32_t code : message.toUcs4())
    line += ActsOnTerminal(code) ? ControlEscape(code) : QString::fromUcs4(&code, 1);
  WriteText(stderr, line + QLatin1Char('\n'));
}

void UseOffscreenWithoutDisplay() {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
}

void KeepQtNotesQuiet() {
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) WriteText(stderr, message + QLatin1Char('\n'));
  });
}

void ShowAndSettle(QWidget& window) {
  window.show();
  QCoreApplication::processEvents();
  if (QWindow* handle = window.windowHandle()) {
    for (int attempt = 0; attempt < 200 && !handle->isExposed(); ++attempt) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(10);
    }
  }
  QCoreApplication::processEvents();
}

void SavePngPicture(const QImage& picture, const QString& fileName) {
  const QString what = QStringLiteral("cannot write the screenshot");
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
    throw Exception(
        QStringLiteral("%1 \"%2\": the picture could not be made").arg(what, EscapedForTerminal(fileName)));
  }
  WriteFileAtomically(fileName, bytes, what);
}

void SaveWindowPicture(QWidget& window, const QString& fileName) {
  ShowAndSettle(window);
  const QImage picture = window.grab().toImage();
  window.hide();
  SavePngPicture(picture, fileName);
}

QString TPrintOptions::Problem(bool printing) const {
  if (printing && PdfFile.isEmpty() == PrinterName.isEmpty())
    return QStringLiteral("--print needs either --pdf FILE or --printer NAME");
  if (!printing && HasDestination()) return QStringLiteral("--pdf and --printer go with --print");
  if (!printing && DialogChoices)
    return QStringLiteral("--copies, --collate, --duplex, --paper and --landscape go with --print");
  if (DpiGiven && PdfFile.isEmpty()) return QStringLiteral("--dpi goes with --pdf");
  if (PdfA && PdfFile.isEmpty()) return QStringLiteral("--pdf-a goes with --pdf");
  if (Untagged && PdfFile.isEmpty()) return QStringLiteral("--untagged goes with --pdf");
  return QString();
}

bool SelectCommandPrinter(const TPrintOptions& options, QString& error, const QString& pages) {
  TPrinter& printer = Printer();
  const QString name = options.PdfFile.isEmpty() ? options.PrinterName : TPrinter::PdfPrinterName();
  const int index = static_cast<int>(printer.Printers().indexOf(name));
  if (index < 0) {
    error = QStringLiteral("there is no printer named \"%1\"").arg(EscapedForTerminal(name));
    return false;
  }
  printer.SetPrinterIndex(index);
  if (!options.PdfFile.isEmpty()) printer.SetPdfOutput(options.PdfFile, options.Dpi);
  printer.SetPdfArchival(options.PdfA);
  printer.SetPdfTagged(!options.Untagged);
  // What the print dialog would have asked: only what was given replaces the printer's own.
  if (!options.Paper.isEmpty()) printer.SetPaperSize(QPageSize(Papers().value(options.Paper)));
  if (options.Landscape) printer.ChooseOrientation(poLandscape);
  printer.SetDuplex(options.Duplex);
  TPrintJobOptions job;
  job.Copies = options.Copies;
  job.Collate = options.Collate;
  job.PageRanges = pages;
  printer.SetJobOptions(job);
  return true;
}

bool RunUnattendedPrint(const std::function<bool()>& job, QString& error, QStringList& warnings) {
  QStringList messages;
  warnings.clear();
  const ModalObserverScope answer([&messages, &warnings](QWidget& window) {
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
      (box->icon() == QMessageBox::Warning ? warnings : messages).append(box->text());
      box->accept();
    }
  });
  bool printed = false;
  try {
    printed = job();
  } catch (const std::exception& failure) {
    error = QString::fromUtf8(failure.what());
    return false;
  }
  if (!messages.isEmpty()) {
    error = messages.first();
    return false;
  }
  if (!printed) {
    error = QStringLiteral("the print job was aborted; nothing was printed");
    return false;
  }
  return true;
}
