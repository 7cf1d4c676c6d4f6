#pragma once

// The pictures of the program's PDFs, each written once however many pages draw it.

#include <QByteArray>
#include <QHash>
#include <QImage>

class TPdfFile;

/**
 * The pictures of one document, each written once however often the pages draw it: its pixels deflated,
 * in grey or colour, with its alpha as a soft mask; a one-bit picture as a stencil painted in the fill
 * colour where its bits are set.
 */
class TPdfImages {
public:
  /** The object of the image as a picture, written at its first use. */
  int Picture(const QImage& image, TPdfFile& file);
  /** The object of a one-bit image as a stencil: painted where a pixel is dark, in the current fill colour.
   */
  int Stencil(const QImage& image, TPdfFile& file);

private:
  static QByteArray Key(char kind, const QImage& image);
  QHash<QByteArray, int> written_;
};
