#pragma once

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>

namespace Poppler {
class Document;
}

/** A word printed on a PDF page and where it stands, in points from the page's top-left corner. */
struct PdfWord {
  QString Text;
  QRectF Box;
};

/** A font a PDF file uses, as a viewer finds it. */
struct PdfFont {
  QString Name;
  bool Embedded = false;
  bool Subset = false;
};

/** An entry of a PDF's outline: its title, nesting (0 the top), and the page (0-based) it leads to. */
struct PdfOutlineEntry {
  QString Title;
  int Level = 0;
  int Page = -1;
  /** Where on the page it leads, in points from the page's top. */
  double Top = 0;
};

/** A link on a PDF page: its area in points from the page's top-left corner, and the URL it opens. */
struct PdfLink {
  QRectF Box;
  QString Target;
};

/** A PDF file read back in-process with Poppler, so tests check what was really printed. */
class PdfReader {
public:
  explicit PdfReader(const QString& fileName);
  ~PdfReader();
  PdfReader(const PdfReader&) = delete;
  PdfReader& operator=(const PdfReader&) = delete;

  /** False when the file is missing or not a PDF. */
  bool IsValid() const { return document_ != nullptr; }
  /** Number of pages; 0 for a file that is not valid. */
  int PageCount() const;
  /** A page's size in points; empty for a page that is not there. */
  QSizeF PageSize(int page) const;
  /** The words of a page (0-based) in reading order. */
  QList<PdfWord> Words(int page) const;
  /** All words of a page joined by blanks. */
  QString Text(int page) const;
  /** The first word of a page that equals text, or an empty box when there is none. */
  QRectF Find(int page, const QString& text) const;
  /** The box around the first run of words of a page that reads as the phrase, or an empty box. */
  QRectF FindPhrase(int page, const QString& phrase) const;
  /**
   * A page rendered at the resolution (pixels per inch), without smoothing, on white; with an area (pixels
   * at that resolution) only that part of the page.
   */
  QImage Render(int page, double dotsPerInch, const QRect& area = QRect()) const;
  /** The same, smoothed as a viewer shows it on the screen. */
  QImage RenderSmooth(int page, double dotsPerInch) const;
  /** Every font the document uses. */
  QList<PdfFont> Fonts() const;
  /** An entry of the document's information ("Title", "Producer"). */
  QString Information(const QString& key) const;
  /** The document's outline, each entry before its children. */
  QList<PdfOutlineEntry> Outline() const;
  /** The links of a page that open a URL. */
  QList<PdfLink> Links(int page) const;

private:
  std::unique_ptr<Poppler::Document> document_;
};

/** What "qpdf --check" finds wrong with the file: empty when it finds it sound. */
QString QpdfProblems(const QString& fileName);

/** The file as "qpdf --qdf" writes it: every stream decoded, every object on its own, no object streams. */
QByteArray QpdfDecoded(const QString& fileName);

/**
 * Each painting operator (a text, a path's fill or stroke, a picture) of the file's pages drawn outside all
 * marked content, so neither structure nor artifact to a reader: "S on page 2". Empty when none is.
 */
QStringList UnmarkedPainting(const QString& fileName);

/** What "pdfinfo -struct-text" reads of the structure, a line each, blanks simplified. */
QStringList StructureText(const QString& fileName);

/**
 * What keeps a tagged PDF from being read by a screen reader as the accessibility standard asks, as far as
 * these checks go: qpdf's check, painting outside marked content (UnmarkedPainting), a missing language,
 * structure root, MarkInfo, title shown as the window's, or claim of PDF/UA-1 in the metadata; a font not
 * embedded; a figure without alternate text; a link annotation that is not in the structure or has no
 * description. Empty when none.
 */
QString TaggingProblems(const QString& fileName);
