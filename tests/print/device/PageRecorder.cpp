// A print job of its own process, for the tests that run several at once: records pages through the page
// device and prints them to the PDF destination, as the program does.
//
//   page_recorder --pdf FILE --marker TEXT --pages N [--meet FOLDER NAME PEER] [--throw]
//
// Each page carries "<marker> page <n>". First writes "folder <page folder>" to standard output. With
// --meet, it waits for the recorder PEER (with the same FOLDER) after the job has begun and again once every
// page is recorded, so both jobs are surely under way together. With --throw, an exception nobody catches
// ends the process once the pages are recorded. Exit codes: 0 printed, 1 the job failed, 2 usage, 3 the peer
// never came.

#include "platform/Printers.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"
#include "print/device/QV_Gdi.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <stdexcept>

namespace {

struct Meeting {
  QString folder;
  QString name;
  QString peer;
};

bool Meet(const Meeting& meeting, const QString& stage) {
  if (meeting.folder.isEmpty()) return true;
  const QDir folder(meeting.folder);
  QFile(folder.filePath(meeting.name + QLatin1Char('.') + stage)).open(QIODevice::WriteOnly);
  QElapsedTimer waited;
  for (waited.start(); waited.elapsed() < 60000; QThread::msleep(5)) {
    if (QFile::exists(folder.filePath(meeting.peer + QLatin1Char('.') + stage))) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  RegisterFontSubstitutions();

  QString pdf;
  QString marker;
  int pages = 0;
  Meeting meeting;
  bool throwOut = false;
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype index = 1; index < arguments.size(); ++index) {
    const QString& argument = arguments.at(index);
    const auto next = [&]() { return index + 1 < arguments.size() ? arguments.at(++index) : QString(); };
    if (argument == QLatin1String("--pdf")) {
      pdf = next();
    } else if (argument == QLatin1String("--marker")) {
      marker = next();
    } else if (argument == QLatin1String("--pages")) {
      pages = StrToIntDef(next(), 0);
    } else if (argument == QLatin1String("--meet")) {
      meeting.folder = next();
      meeting.name = next();
      meeting.peer = next();
    } else if (argument == QLatin1String("--throw")) {
      throwOut = true;
    } else {
      pages = 0;
      break;
    }
  }
  if (pdf.isEmpty() || marker.isEmpty() || pages <= 0 ||
      (!meeting.folder.isEmpty() && meeting.peer.isEmpty())) {
    std::fprintf(stderr,
                 "usage: page_recorder --pdf FILE --marker TEXT --pages N [--meet FOLDER NAME PEER] "
                 "[--throw]\n");
    return 2;
  }

  try {
    Printer().SetPrinters({TPrinter::PdfPrinterName()});
    Printer().SetPrinterIndex(0);
    Printer().SetPdfOutput(pdf, 150);
    Printer().SetOrientation(poPortrait);
    TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetPixelsPerInch(Printer().ResolutionY());
    font.SetHeight(-40);
    font.SetColor(clBlack);
    Printer().Canvas().Font() = font;

    TGdi device(poPrinter);
    device.ClearPages();
    std::printf("folder %s\n", qUtf8Printable(PageDirectory()));
    std::fflush(stdout);
    device.BeginDocument(clWhite, QStringLiteral("Recorder ") + marker, QString(), 100.0);
    if (!Meet(meeting, QStringLiteral("begun"))) return 3;
    for (int page = 1; page <= pages; ++page) {
      if (page > 1) device.NewPage();
      device.TextAt(150, 150, QStringLiteral("%1 page %2").arg(marker).arg(page));
    }
    device.EndPage();
    if (!Meet(meeting, QStringLiteral("recorded"))) return 3;
    if (throwOut) throw std::runtime_error("the recorder was asked to end through an exception");
    device.PrintPages(false);
    device.ClearPages();
  } catch (const Exception& error) {
    std::fprintf(stderr, "page_recorder: %s\n", error.what());
    return 1;
  }
  return 0;
}
