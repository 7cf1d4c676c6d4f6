#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <functional>
#include <vector>

// Pixel and PDF inspection shared by the drawing and page tests.

/** A recorded metafile that fills `square` with `color`. */
inline QPicture RecordedSquare(const QRect& square, const QColor& color) {
  QPicture picture;
  QPainter painter(&picture);
  painter.fillRect(square, color);
  painter.end();
  return picture;
}

inline QImage WhiteImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

inline bool IsInk(const QImage& image, int x, int y) { return image.pixel(x, y) != qRgb(255, 255, 255); }

/** The smallest rectangle holding every non-white pixel of the area (null when there is none). */
inline QRect InkBounds(const QImage& image, QRect area = QRect()) {
  area = area.isNull() ? image.rect() : area & image.rect();
  QRect bounds;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (IsInk(image, x, y)) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

/** The numbers from..to (inclusive) for which the test holds. */
inline std::vector<int> Where(int from, int to, const std::function<bool(int)>& test) {
  std::vector<int> found;
  for (int number = from; number <= to; ++number) {
    if (test(number)) found.push_back(number);
  }
  return found;
}

/** Rows of column x (columns of row y) holding ink, or exactly the colour given. */
inline std::vector<int> InkRows(const QImage& image, int x, int from = 0, int to = -1) {
  return Where(from, to < 0 ? image.height() - 1 : to, [&](int y) { return IsInk(image, x, y); });
}
inline std::vector<int> InkColumns(const QImage& image, int y, int from = 0, int to = -1) {
  return Where(from, to < 0 ? image.width() - 1 : to, [&](int x) { return IsInk(image, x, y); });
}
inline std::vector<int> ColourRows(const QImage& image, int x, QRgb colour, int from, int to) {
  return Where(from, to, [&](int y) { return image.pixel(x, y) == colour; });
}
inline std::vector<int> ColourColumns(const QImage& image, int y, QRgb colour, int from, int to) {
  return Where(from, to, [&](int x) { return image.pixel(x, y) == colour; });
}

/** Whether any pixel of the area has exactly that colour. */
inline bool ContainsColour(const QImage& image, const QRect& area, QRgb colour) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    if (!Where(area.left(), area.right(), [&](int x) { return image.pixel(x, y) == colour; }).empty())
      return true;
  }
  return false;
}

/** Consecutive numbers first..last, and runs joined into one list. */
inline std::vector<int> Span(int first, int last) {
  return Where(first, last, [](int) { return true; });
}
inline std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
  std::vector<int> joined;
  for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

/** What a poppler tool prints for a PDF file; empty when it did not run. */
inline QString PdfTool(const QString& program, QStringList arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PdfPageCount(const QString& fileName) {
  const auto match =
      QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(PdfTool("pdfinfo", {fileName}));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

/** Size of the first page in points. */
inline QSizeF PdfPageSize(const QString& fileName) {
  const auto match = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                         .match(PdfTool("pdfinfo", {fileName}));
  return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

/** Text of one page (1-based). */
inline QString PdfPageText(const QString& fileName, int page) {
  const QString number = QString::number(page);
  return PdfTool("pdftotext", {"-f", number, "-l", number, "-layout", fileName, "-"});
}
