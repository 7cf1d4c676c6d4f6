#include "platform/Console.h"

#include "platform/Dialogs.h"
#include "platform/Printers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace {
// Characters a terminal would act on rather than show: controls (an escape sequence could recolour, move or
// retitle the terminal), line and paragraph separators, and the marks that turn the direction of text.
bool ActsOnTerminal(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) || code == 0x200E ||
         code == 0x200F || code == 0x061C;
}
}  // namespace

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
  if (TakeOptionValue(arguments, index, QStringLiteral("--dpi"), value, error)) {
    bool number = false;
    options.Dpi = value.toInt(&number);
    if (error.isEmpty() && (!number || options.Dpi < 72 || options.Dpi > 2400))
      error = QStringLiteral("--dpi takes a whole number from 72 to 2400, not \"%1\"")
                  .arg(EscapedForTerminal(value));
    options.DpiGiven = true;
    return true;
  }
  return false;
}

QString EscapedForTerminal(const QString& text) {
  QString escaped;
  escaped.reserve(text.size());
  for (const char32_t code : text.toUcs4()) {
    switch (code) {
      case u'\\': escaped += QStringLiteral("\\\\"); break;
      case u'"': escaped += QStringLiteral("\\\""); break;
      case u'\n': escaped += QStringLiteral("\\n"); break;
      case u'\r': escaped += QStringLiteral("\\r"); break;
      case u'\t': escaped += QStringLiteral("\\t"); break;
      default:
        if (!ActsOnTerminal(code))
          escaped += QString::fromUcs4(&code, 1);
        else if (code < 0x100)
          escaped += QStringLiteral("\\x%1").arg(static_cast<uint>(code), 2, 16, QLatin1Char('0'));
        else
          escaped += QStringLiteral("\\u%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0'));
    }
  }
  return escaped;
}

void WriteText(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
  std::fflush(stream);
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

bool SaveWindowPicture(QWidget& window, const QString& fileName) {
  ShowAndSettle(window);
  const QPixmap picture = window.grab();
  window.hide();
  return !picture.isNull() && picture.save(fileName, "PNG");
}

QString TPrintOptions::Problem(bool printing) const {
  if (printing && PdfFile.isEmpty() == PrinterName.isEmpty())
    return QStringLiteral("--print needs either --pdf FILE or --printer NAME");
  if (!printing && HasDestination()) return QStringLiteral("--pdf and --printer go with --print");
  if (DpiGiven && PdfFile.isEmpty()) return QStringLiteral("--dpi goes with --pdf");
  return QString();
}

bool SelectCommandPrinter(const TPrintOptions& options, QString& error) {
  TPrinter& printer = Printer();
  const QString name = options.PdfFile.isEmpty() ? options.PrinterName : TPrinter::PdfPrinterName();
  const int index = static_cast<int>(printer.Printers().indexOf(name));
  if (index < 0) {
    error = QStringLiteral("there is no printer named \"%1\"").arg(EscapedForTerminal(name));
    return false;
  }
  printer.SetPrinterIndex(index);
  if (!options.PdfFile.isEmpty()) printer.SetPdfOutput(options.PdfFile, options.Dpi);
  return true;
}

bool RunUnattendedPrint(const std::function<bool()>& job, QString& error) {
  QStringList messages;
  const ModalObserverScope answer([&messages](QWidget& window) {
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
      messages.append(box->text());
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
