// Page files as the preview and the printer read them back: any file under a page file's name, a page this
// run recorded with bytes changed, cut off or added, and a page's display list so changed played as it is
// (the digest keeps such a list from ever being loaded; the player must stand it all the same), onto a
// painter and into the program's PDF writer, whose every file qpdf must find sound.
#include "platform/PagePicture.h"
#include "platform/PageRecording.h"
#include "platform/RecordPlayer.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QImage>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QProcess>
#include <algorithm>

namespace {
QString PageFileName() { return FuzzFolder() + QStringLiteral("/PRN001.EMF"); }

// A file that did not come from this run. Random bytes never carry the digest, so Load refuses them early.
void LoadForeignFile(const QByteArray& input) {
  WriteFuzzFile(PageFileName(), input);
  PagePicture page;
  QString error;
  if (!page.Load(PageFileName(), &error)) FuzzCheck(!error.isEmpty(), "a refused page says why");
}

// Plays the list into a PDF file of the program's writer; the file must be sound whatever the list held.
void WritePdf(const QByteArray& list) {
  static QImage layoutDevice = [] {
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(11811);  // 300 dots per inch
    device.setDotsPerMeterY(11811);
    return device;
  }();
  const QString fileName = FuzzFolder() + QStringLiteral("/page.pdf");
  {
    QFile file(fileName);
    FuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the PDF file opens");
    TPdfDocument::TInformation information;
    information.Title = QStringLiteral("Fuzzed");
    information.Creator = QStringLiteral("fuzz");
    information.Producer = QStringLiteral("fuzz");
    // Tagged, so that the structure's records are written, whatever they became.
    information.Tagged = true;
    TPdfDocument document(file, information);
    document.BeginPage(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()), 300);
    document.Play(list, &layoutDevice);
    FuzzCheck(document.Finish(), "the PDF is written whole");
  }
  QProcess check;
  check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), fileName});
  FuzzCheck(
      check.waitForFinished(60000) && check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0,
      "qpdf finds the written PDF sound");
}

// A page with text, a box, a line, a clip and a turn, the page's count, an outline entry, a link and the
// structure's marks: most kinds of record.
void DrawPage(QPainter& painter, const QByteArray& text) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(40);
  painter.setFont(font);
  TStructureMark table = TStructureMark::Of(QStringLiteral("Table"));
  table.Key = 7;
  table.Continued = true;
  RecordStructureStart(painter, table);
  RecordStructureStart(painter, TStructureMark::Of(QStringLiteral("TD")));
  painter.drawText(20, 60, QString::fromUtf8(text));
  RecordLink(painter, QRectF(20, 20, 100, 40), QStringLiteral("https://example.org/a b"));
  RecordStructureEnd(painter);
  RecordStructureEnd(painter);
  RecordOutlineEntry(painter, QPointF(10, 10), 1, QStringLiteral("Entry"));
  RecordArtifactStart(painter, TArtifactKind::Pagination);
  RecordPageCountText(painter, QPointF(300, 110), Qt::AlignRight,
                      QStringLiteral("Page 1 of ") + PageCountMark);
  RecordArtifactEnd(painter);
  TStructureMark figure = TStructureMark::Of(QStringLiteral("Figure"));
  figure.Alt = QStringLiteral("A box");
  RecordStructureStart(painter, figure);
  painter.drawRect(10, 10, 300, 80);
  RecordStructureEnd(painter);
  painter.setClipRect(0, 0, 200, 200);
  painter.rotate(10);
  painter.drawLine(10, 100, 310, 100);
}

// Changes bytes as the input says: the first byte cuts them short (when odd) or appends to them, each
// following three bytes (a 16-bit offset and a mask) flip bits.
void Change(QByteArray& bytes, QByteArray changes) {
  if (!changes.isEmpty()) {
    const quint8 length = static_cast<quint8>(changes.at(0));
    if (length % 2 == 1)
      bytes.truncate(std::max<qsizetype>(0, bytes.size() - 1 - length / 2));
    else
      bytes.append(changes.mid(1, length / 2));
    changes.remove(0, 1);
  }
  for (qsizetype at = 0; at + 3 <= changes.size() && !bytes.isEmpty(); at += 3) {
    const auto offset = static_cast<qsizetype>(static_cast<quint8>(changes.at(at)) |
                                               static_cast<quint8>(changes.at(at + 1)) << 8);
    bytes[offset % bytes.size()] = static_cast<char>(bytes.at(offset % bytes.size()) ^ changes.at(at + 2));
  }
}

// The page's text is taken from the input (its first byte the length), the changes from the rest.
QByteArray PageText(const QByteArray& input) {
  const qsizetype textLength = input.isEmpty() ? 0 : static_cast<quint8>(input.at(0)) % 48;
  return input.mid(1, textLength);
}

QByteArray PageChanges(const QByteArray& input) { return input.mid(1 + PageText(input).size()); }

// A page of this run, changed. Only the page exactly as saved may load, and a loaded page plays.
void LoadChangedPage(const QByteArray& input) {
  PagePicture page;
  DrawPage(page.BeginRecording(), PageText(input));
  page.EndRecording();
  page.Save(PageFileName());

  const QByteArray saved = ReadFuzzFile(PageFileName());
  QByteArray changed = saved;
  Change(changed, PageChanges(input));
  WriteFuzzFile(PageFileName(), changed);

  PagePicture loaded;
  QString error;
  const bool read = loaded.Load(PageFileName(), &error);
  FuzzCheck(read == (changed == saved), "a page loads exactly when it is the page as saved");
  if (!read) {
    FuzzCheck(!error.isEmpty(), "a refused page says why");
    return;
  }
  QImage image(320, 120, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter player(&image);
  loaded.Play(player);
  loaded.PlayInto(player, QRectF(0, 0, 160, 60), QSizeF(320, 120));
  WritePdf(loaded.DisplayList());
}

// A page's display list, changed, played straight: the player reads no byte outside the list, draws
// nothing that is not a number, and stops at the first record that is not whole.
void PlayChangedList(const QByteArray& input) {
  TPageRecorder recorder;
  {
    QPainter painter(&recorder);
    DrawPage(painter, PageText(input));
  }
  QByteArray list = recorder.TakeRecording();
  const QByteArray recorded = list;
  Change(list, PageChanges(input));
  QImage image(320, 120, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter player(&image);
  const bool whole = PlayRecording(player, list);
  if (list == recorded) FuzzCheck(whole, "an unchanged list plays whole");
  WritePdf(list);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const QByteArray input = InputBytes(data + 1, size - 1);
  switch (data[0] % 3) {
    case 0: LoadForeignFile(input); break;
    case 1: LoadChangedPage(input); break;
    default: PlayChangedList(input); break;
  }
  return 0;
}
