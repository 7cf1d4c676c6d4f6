#pragma once

// One printed page as a recording: drawn once, kept in a page file, played to printer, PDF or preview.

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>

class QPainter;
class TPageRecorder;

/**
 * One recorded page: drawn in printer pixels, saved to and loaded from a page file, and played back either
 * 1:1 (each recorded unit one printer pixel) or scaled into a rectangle (the preview). The page is recorded
 * as the program's own display list (TPageRecorder), which writes, reads and plays in a fraction of the time
 * a QPicture takes.
 *
 * A page file holds the recording with a digest keyed to the running program, so a page is read back only by
 * the run that recorded it; any other file under a page file's name (damaged, foreign, left from an earlier
 * run) is refused rather than played.
 */
class PagePicture {
public:
  PagePicture();
  ~PagePicture();
  PagePicture(const PagePicture&) = delete;
  PagePicture& operator=(const PagePicture&) = delete;

  /** Starts recording and returns the painter that records; it stays valid until EndRecording. */
  QPainter& BeginRecording();
  /** Completes the page. */
  void EndRecording();
  bool Recording() const { return painter_ != nullptr; }

  /** Whether nothing is recorded (a new page, or one whose file was refused). */
  bool IsEmpty() const { return recording_.isEmpty(); }
  /** The page's display list, as TPageRecorder wrote it. */
  const QByteArray& DisplayList() const { return recording_; }
  /** Whether the program's own PDF writer draws everything on the page (PdfSupport). */
  bool PdfWritable() const { return pdfWritable_; }

  /** The largest page file there can be: far more than any page draws, and bounds what reading one costs. */
  static constexpr qint64 MaximumFileSize = 64 * 1024 * 1024;

  /**
   * Writes the page to a new file of mode 0600, replacing one of that name. The file is created afresh,
   * never through a symbolic link (a link of that name is replaced, not followed). Fails with an Exception
   * "Cannot create file "<name>". <reason>" when the file cannot be written or the page would be larger than
   * MaximumFileSize; a file that broke off is removed. Returns the file's size.
   */
  qint64 Save(const QString& fileName) const;
  /**
   * Save for a display list held apart from its page (a thread of its own can write it while the next page
   * is drawn): writes it as Save does and gives its digest.
   */
  static qint64 SaveRecording(const QString& fileName, const QByteArray& recording, bool pdfWritable,
                              QByteArray& digest);

  /**
   * Reads a page file. Returns false, leaving the page empty and the reason in error, when the file is
   * missing, unreadable, not a plain file (a folder, a pipe, a device), larger than MaximumFileSize, damaged,
   * or was not saved by this run of the program. At most MaximumFileSize bytes are ever read.
   */
  bool Load(const QString& fileName, QString* error = nullptr);

  /**
   * The page's keyed digest as its last Save wrote it or its last Load read it; empty before either. Two
   * page files hold the same page exactly when their digests agree.
   */
  const QByteArray& Digest() const { return digest_; }

  /**
   * The digest a page file carries, read from its head alone, and the file's size: enough to tell a file
   * that is missing, no plain file, shortened or another page's, without reading the page. Empty, with the
   * reason in error, when the file is missing, no plain file or no page file.
   */
  static QByteArray FileDigest(const QString& fileName, qint64& size, QString* error = nullptr);

  /**
   * The number of pages of the document the page plays in, for the texts on it that show it; 0, unknown,
   * until the one who loads the page as part of a document says.
   */
  int PageCount() const { return pageCount_; }
  void SetPageCount(int count) { pageCount_ = count; }

  /** Plays the page with each recorded unit as one logical unit of the painter. */
  void Play(QPainter& painter) const;
  /** Plays the page area (0, 0)-(pageSize) stretched onto the target rectangle. */
  void PlayInto(QPainter& painter, const QRectF& target, const QSizeF& pageSize) const;

private:
  QByteArray recording_;
  bool pdfWritable_ = true;
  int pageCount_ = 0;
  mutable QByteArray digest_;
  std::unique_ptr<TPageRecorder> recorder_;
  std::unique_ptr<QPainter> painter_;
};
