#include "print/device/RecordedPages.h"

#include "platform/PagePicture.h"
#include "platform/SysUtils.h"
#include "platform/TempDirectory.h"
#include "print/shared/QV_MFunc.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <sys/stat.h>
#include <thread>

// Making a file is the slowest part of saving a page on some file systems (ext4 without a journal looks at
// every inode deleted in the last minutes before it gives one out), and it needs nothing of the drawing: a
// thread of its own makes the files while the next pages are drawn.
class TRecordedPages::Writer {
public:
  explicit Writer(TRecordedPages& pages) : pages_(pages), thread_([this] { Run(); }) {}
  ~Writer() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  void Put(int number, QByteArray recording, bool pdfWritable) {
    std::unique_lock lock(mutex_);
    // A page or two wait for their files at most: memory stays that of a few pages, however long the job.
    changed_.wait(lock, [this] { return waiting_.size() < MostWaiting || failure_; });
    if (failure_) std::rethrow_exception(failure_);
    waiting_.push_back({number, std::move(recording), pdfWritable});
    changed_.notify_all();
  }

  void Wait(bool rethrow) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && !busy_; });
    if (rethrow && failure_) std::rethrow_exception(failure_);
  }

private:
  struct Page {
    int Number;
    QByteArray Recording;
    bool PdfWritable;
  };
  static constexpr std::size_t MostWaiting = 2;

  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      const Page page = std::move(waiting_.front());
      waiting_.pop_front();
      busy_ = true;
      const bool skip = failure_ != nullptr;
      lock.unlock();
      QByteArray digest;
      qint64 size = 0;
      std::exception_ptr failure;
      // Pages after one that failed are not written: the job stops at the first.
      if (!skip) {
        try {
          size = PagePicture::SaveRecording(pages_.FileName(page.Number), page.Recording, page.PdfWritable,
                                            digest);
        } catch (const Exception& error) {
          failure = std::make_exception_ptr(pages_.RecordingFailure(page.Number, error.Message()));
        }
      }
      lock.lock();
      busy_ = false;
      if (failure) {
        failure_ = failure;
      } else if (!skip) {
        Saved saved{};
        std::copy_n(digest.constData(), std::min<qsizetype>(digest.size(), saved.Digest.size()),
                    saved.Digest.begin());
        saved.Size = size;
        pages_.saved_.push_back(saved);
      }
      changed_.notify_all();
    }
  }

  TRecordedPages& pages_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Page> waiting_;
  bool busy_ = false;
  bool stopping_ = false;
  std::exception_ptr failure_;
  // Last, so that everything it uses exists before it starts.
  std::thread thread_;
};

TRecordedPages::TRecordedPages(TSendTo target, PagewickIni::JobSettings settings)
    : target_(target), settings_(std::move(settings)), folder_(ProcessTempFolder()) {
  if (!folder_) {
    throw Exception(
        QStringLiteral("No private folder for the page files can be made: neither the runtime "
                       "folder nor $TMPDIR or /tmp can take one."));
  }
}

TRecordedPages::~TRecordedPages() {
  // The writer stops before the pages it writes for go.
  writer_.reset();
}

QString TRecordedPages::Folder() const { return folder_->Path(); }

QString TRecordedPages::FileName(int page) const {
  return PageFileNameIn(folder_->HeldPath(), page, target_);
}

bool TRecordedPages::FolderGone() const {
  struct stat status {};
  return ::stat(QFile::encodeName(folder_->HeldPath()).constData(), &status) != 0 || status.st_nlink == 0;
}

QString TRecordedPages::Shown(const QString& reason) const {
  const QString held = ShownName(QDir::toNativeSeparators(folder_->HeldPath()));
  const QString path = ShownName(QDir::toNativeSeparators(folder_->Path()));
  return held == path ? reason : QString(reason).replace(held, path);
}

Exception TRecordedPages::RecordingFailure(int page, const QString& reason) const {
  if (!FolderGone()) return Exception(Shown(reason));
  return Exception(QStringLiteral("Page %1 cannot be recorded: the page folder \"%2\" was removed while the "
                                  "job ran; nothing was printed.")
                       .arg(page)
                       .arg(ShownName(Folder())));
}

void TRecordedPages::Add(const PagePicture& page) {
  const int number = Count() + 1;
  if (FolderGone()) throw RecordingFailure(number, QString());
  if (!writer_) writer_ = std::make_unique<Writer>(*this);
  writer_->Put(number, page.DisplayList(), page.PdfWritable());
  ++added_;
  pdfWritable_ = pdfWritable_ && page.PdfWritable();
}

void TRecordedPages::Settle() const { Wait(true); }

void TRecordedPages::Wait(bool rethrow) const {
  if (writer_) writer_->Wait(rethrow);
}

void TRecordedPages::Fail(int page, const QString& reason) const {
  const QString why =
      FolderGone()
          ? QStringLiteral("the page folder \"%1\" was removed while the job ran.").arg(ShownName(Folder()))
          : Shown(reason);
  throw ETarnvale(QStringLiteral("Page %1 of %2 cannot be printed: %3 Nothing was printed.")
                      .arg(page)
                      .arg(Count())
                      .arg(why));
}

void TRecordedPages::Load(int page, PagePicture& picture) const {
  Settle();
  if (page < 1 || page > Count()) Fail(page, QStringLiteral("the job recorded no such page."));
  QString error;
  if (!picture.Load(FileName(page), &error)) Fail(page, error);
  picture.SetPageCount(Count());
  if (QByteArrayView(picture.Digest()) != DigestOf(page)) {
    Fail(page, QStringLiteral("its page file \"%1\" holds another page than the one recorded.")
                   .arg(ShownName(QDir::toNativeSeparators(FileName(page)))));
  }
}

void TRecordedPages::Check(const std::vector<int>& pages) const {
  Settle();
  for (const int page : pages) {
    if (page < 1 || page > Count()) Fail(page, QStringLiteral("the job recorded no such page."));
    qint64 size = 0;
    QString error;
    const QByteArray digest = PagePicture::FileDigest(FileName(page), size, &error);
    if (digest.isEmpty()) Fail(page, error);
    if (QByteArrayView(digest) != DigestOf(page) || size != saved_[static_cast<std::size_t>(page - 1)].Size) {
      Fail(page, QStringLiteral("its page file \"%1\" is not the page that was recorded.")
                     .arg(ShownName(QDir::toNativeSeparators(FileName(page)))));
    }
  }
}

QByteArrayView TRecordedPages::DigestOf(int page) const {
  const std::array<char, 32>& digest = saved_[static_cast<std::size_t>(page - 1)].Digest;
  return QByteArrayView(digest.data(), static_cast<qsizetype>(digest.size()));
}

void TRecordedPages::Delete() const {
  Wait(false);
  DeletePageFilesIn(folder_->HeldPath(), target_);
}
