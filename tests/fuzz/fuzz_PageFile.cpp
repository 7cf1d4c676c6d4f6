// Page files as the preview and the printer read them back: any file under a page file's name, and a page
// this run recorded with bytes changed, cut off or added.
#include "platform/PagePicture.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

namespace {
QString PageFileName() { return FuzzFolder() + QStringLiteral("/PRN001.EMF"); }

// A file that did not come from this run. Random bytes never carry the digest, so Load refuses them early;
// a foreign page that loads anyway is not played, as Qt's picture reader trusts every record it is given.
void LoadForeignFile(const QByteArray& input) {
  WriteFuzzFile(PageFileName(), input);
  PagePicture page;
  QString error;
  if (!page.Load(PageFileName(), &error)) FuzzCheck(!error.isEmpty(), "a refused page says why");
}

// A page of this run, its text taken from the input, then changed as the rest of the input says: the first
// byte cuts the file short (when odd) or appends to it, each following three bytes (a 16-bit offset and a
// mask) flip bits. Only the page exactly as saved may load, and a loaded page plays.
void LoadChangedPage(const QByteArray& input) {
  const qsizetype textLength = input.isEmpty() ? 0 : static_cast<quint8>(input.at(0)) % 48;
  const QByteArray text = input.mid(1, textLength);
  QByteArray changes = input.mid(1 + textLength);

  PagePicture page;
  QPainter& painter = page.BeginRecording();
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(40);
  painter.setFont(font);
  painter.drawText(20, 60, QString::fromUtf8(text));
  painter.drawRect(10, 10, 300, 80);
  painter.drawLine(10, 100, 310, 100);
  page.EndRecording();
  page.Save(PageFileName());

  const QByteArray saved = ReadFuzzFile(PageFileName());
  QByteArray changed = saved;
  if (!changes.isEmpty()) {
    const quint8 length = static_cast<quint8>(changes.at(0));
    if (length % 2 == 1)
      changed.truncate(std::max<qsizetype>(0, changed.size() - 1 - length / 2));
    else
      changed.append(changes.mid(1, length / 2));
    changes.remove(0, 1);
  }
  for (qsizetype at = 0; at + 3 <= changes.size() && !changed.isEmpty(); at += 3) {
    const auto offset = static_cast<qsizetype>(static_cast<quint8>(changes.at(at)) |
                                               static_cast<quint8>(changes.at(at + 1)) << 8);
    changed[offset % changed.size()] =
        static_cast<char>(changed.at(offset % changed.size()) ^ changes.at(at + 2));
  }
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
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const QByteArray input = InputBytes(data + 1, size - 1);
  if (data[0] % 2 == 0)
    LoadForeignFile(input);
  else
    LoadChangedPage(input);
  return 0;
}
