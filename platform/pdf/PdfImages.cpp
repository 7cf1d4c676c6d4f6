#include "platform/pdf/PdfImages.h"

#include "platform/pdf/PdfFile.h"

#include <QCryptographicHash>

namespace {
QByteArray Size(const QImage& image) {
  QByteArray size(" /Width ");
  Pdf::AppendInteger(size, image.width());
  size.append(" /Height ");
  Pdf::AppendInteger(size, image.height());
  return size;
}

// The rows of an image, each of bytesPerRow bytes, without the padding Qt puts at their ends.
QByteArray Rows(const QImage& image, qsizetype bytesPerRow) {
  QByteArray rows;
  rows.reserve(bytesPerRow * image.height());
  for (int row = 0; row < image.height(); ++row)
    rows.append(reinterpret_cast<const char*>(image.constScanLine(row)), bytesPerRow);
  return rows;
}
}  // namespace

QByteArray TPdfImages::Key(char kind, const QImage& image) {
  QCryptographicHash hash(QCryptographicHash::Sha1);
  hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
  return kind + QByteArray::number(image.width()) + 'x' + QByteArray::number(image.height()) + ':' +
         QByteArray::number(static_cast<int>(image.format())) + hash.result();
}

int TPdfImages::Picture(const QImage& original, TPdfFile& file) {
  const QByteArray key = Key('P', original);
  const auto known = written_.constFind(key);
  if (known != written_.constEnd()) return known.value();
  const int object = file.Reserve();
  QByteArray entries = "/Type /XObject /Subtype /Image" + Size(original) + " /BitsPerComponent 8";
  if (original.hasAlphaChannel()) {
    const QImage alpha = original.convertToFormat(QImage::Format_Alpha8);
    const int mask = file.Reserve();
    file.Stream(
        mask,
        "/Type /XObject /Subtype /Image" + Size(original) + " /ColorSpace /DeviceGray /BitsPerComponent 8",
        Rows(alpha, alpha.width()));
    entries += " /SMask " + Pdf::Reference(mask);
  }
  if (original.isGrayscale()) {
    const QImage grey = original.convertToFormat(QImage::Format_Grayscale8);
    file.Stream(object, entries + " /ColorSpace /DeviceGray", Rows(grey, grey.width()));
  } else {
    // Colours as they are, not multiplied by their alpha: the soft mask applies that.
    const QImage colour =
        (original.hasAlphaChannel() ? original.convertToFormat(QImage::Format_ARGB32) : original)
            .convertToFormat(QImage::Format_RGB888);
    file.Stream(object, entries + " /ColorSpace /DeviceRGB", Rows(colour, 3 * qsizetype(colour.width())));
  }
  written_.insert(key, object);
  return object;
}

int TPdfImages::Stencil(const QImage& original, TPdfFile& file) {
  const QByteArray key = Key('S', original);
  const auto known = written_.constFind(key);
  if (known != written_.constEnd()) return known.value();
  const QImage grey = original.convertToFormat(QImage::Format_Grayscale8);
  const qsizetype bytesPerRow = (grey.width() + 7) / 8;
  QByteArray bits(bytesPerRow * grey.height(), '\0');
  for (int row = 0; row < grey.height(); ++row) {
    const uchar* pixels = grey.constScanLine(row);
    char* out = bits.data() + row * bytesPerRow;
    for (int column = 0; column < grey.width(); ++column) {
      // A bitmap's set pixels (Qt's colour 1) come out dark.
      if (pixels[column] < 128) out[column / 8] = static_cast<char>(out[column / 8] | (0x80 >> (column % 8)));
    }
  }
  const int object = file.Reserve();
  // A stencil paints where its samples are 0 unless decoded the other way round: here a set bit paints.
  file.Stream(
      object,
      "/Type /XObject /Subtype /Image" + Size(grey) + " /ImageMask true /BitsPerComponent 1 /Decode [1 0]",
      bits);
  written_.insert(key, object);
  return object;
}
