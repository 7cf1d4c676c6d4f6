#pragma once

// The pages one job recorded, so printing and the preview play exactly those, by that job's settings.

#include "print/device/PagewickIni.h"
#include "print/device/QV_PageFiles.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <deque>
#include <memory>
#include <vector>

class Exception;
class PagePicture;
class TProcessTempDirectory;

/**
 * The pages one job recorded: their files, how many there are, what each holds, and the settings the job
 * was recorded with. Printing and the preview play exactly these pages by these settings. A page file that
 * went missing, cannot be read or holds anything but what was recorded fails the print with one sentence
 * naming the page, instead of printing short or blank; another instance rewriting the settings store
 * meanwhile changes nothing here.
 *
 * The page folder is held open for as long as the pages live, so a folder removed or replaced at its path is
 * noticed, never followed into another folder or made anew under the job.
 */
class TRecordedPages {
public:
  /**
   * No pages yet, in this process's page folder as it is now. Fails with an Exception when no page folder
   * can be made.
   */
  TRecordedPages(TSendTo target, PagewickIni::JobSettings settings);
  ~TRecordedPages();
  TRecordedPages(const TRecordedPages&) = delete;
  TRecordedPages& operator=(const TRecordedPages&) = delete;

  TSendTo Target() const { return target_; }
  const PagewickIni::JobSettings& Settings() const { return settings_; }
  bool Portrait() const { return !settings_.Landscape; }
  int Count() const { return added_; }
  /** Whether the program's own PDF writer draws every page (else their document goes through Qt's). */
  bool PdfWritable() const { return pdfWritable_; }
  /** The page folder's path, as the user would look for it. */
  QString Folder() const;
  /** The file of a page, reached through the folder held open. */
  QString FileName(int page) const;

  /**
   * Saves the page as the next one. Its file is written by a thread of its own while the next page is drawn;
   * a file that cannot be written fails a later Add or Settle. Fails with an Exception naming the page when
   * a file cannot be written or the page folder is gone.
   */
  void Add(const PagePicture& page);
  /** Waits until every page added is in its file; fails as Add does when one could not be written. */
  void Settle() const;
  /**
   * Reads a page for playing. Fails with ETarnvale "Page n of m cannot be printed: <why>." when its file is
   * missing, cannot be read, is no page file, or is not the page that was recorded.
   */
  void Load(int page, PagePicture& picture) const;
  /**
   * Checks that the pages are there as recorded, from the heads of their files, before any of them goes to a
   * printer; fails as Load does.
   */
  void Check(const std::vector<int>& pages) const;
  /** Deletes the page files of the target's kind in the folder. */
  void Delete() const;

private:
  /** The digest page n was saved with. */
  QByteArrayView DigestOf(int page) const;
  [[noreturn]] void Fail(int page, const QString& reason) const;
  /** The reason as the user should read it: the file named by its folder's own path. */
  QString Shown(const QString& reason) const;
  bool FolderGone() const;
  /** Why page n could not be recorded: the folder gone, or the reason given. */
  Exception RecordingFailure(int page, const QString& reason) const;
  /** Writes the page files in the order they come, apart from the thread that draws the pages. */
  class Writer;
  /** Waits for the writer; fails with what broke a write when asked to. */
  void Wait(bool rethrow) const;

  TSendTo target_;
  PagewickIni::JobSettings settings_;
  std::shared_ptr<TProcessTempDirectory> folder_;
  /** What a page file should hold. */
  struct Saved {
    std::array<char, 32> Digest;
    qint64 Size;
  };
  // In blocks that never move: a job of a million entries has twenty thousand pages, and an array doubled
  // as it grows would hold half as much again, empty, at the job's end, when its memory peaks.
  std::deque<Saved> saved_;
  bool pdfWritable_ = true;
  int added_ = 0;
  std::unique_ptr<Writer> writer_;
};
