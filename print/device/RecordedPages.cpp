#include "print/device/RecordedPages.h"

#include "platform/PagePicture.h"
#include "platform/SysUtils.h"
#include "platform/TempDirectory.h"
#include "print/shared/QV_MFunc.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <sys/stat.h>

TRecordedPages::TRecordedPages(TSendTo target, PagewickIni::JobSettings settings)
    : target_(target), settings_(std::move(settings)), folder_(ProcessTempFolder()) {
  if (!folder_) {
    throw Exception(
        QStringLiteral("No private folder for the page files can be made: neither the runtime "
                       "folder nor $TMPDIR or /tmp can take one."));
  }
}

TRecordedPages::~TRecordedPages() = default;

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

void TRecordedPages::Add(const PagePicture& page) {
  const int number = Count() + 1;
  if (FolderGone()) {
    throw Exception(QStringLiteral("Page %1 cannot be recorded: the page folder \"%2\" was removed while the "
                                   "job ran; nothing was printed.")
                        .arg(number)
                        .arg(ShownName(Folder())));
  }
  try {
    const qint64 size = page.Save(FileName(number));
    digests_.append(page.Digest());
    sizes_.push_back(size);
    pdfWritable_ = pdfWritable_ && page.PdfWritable();
  } catch (const Exception& failure) {
    throw Exception(Shown(failure.Message()));
  }
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
  if (page < 1 || page > Count()) Fail(page, QStringLiteral("the job recorded no such page."));
  QString error;
  if (!picture.Load(FileName(page), &error)) Fail(page, error);
  if (QByteArrayView(picture.Digest()) != DigestOf(page)) {
    Fail(page, QStringLiteral("its page file \"%1\" holds another page than the one recorded.")
                   .arg(ShownName(QDir::toNativeSeparators(FileName(page)))));
  }
}

void TRecordedPages::Check(const std::vector<int>& pages) const {
  for (const int page : pages) {
    if (page < 1 || page > Count()) Fail(page, QStringLiteral("the job recorded no such page."));
    qint64 size = 0;
    QString error;
    const QByteArray digest = PagePicture::FileDigest(FileName(page), size, &error);
    if (digest.isEmpty()) Fail(page, error);
    if (QByteArrayView(digest) != DigestOf(page) || size != sizes_[static_cast<std::size_t>(page - 1)]) {
      Fail(page, QStringLiteral("its page file \"%1\" is not the page that was recorded.")
                     .arg(ShownName(QDir::toNativeSeparators(FileName(page)))));
    }
  }
}

QByteArrayView TRecordedPages::DigestOf(int page) const {
  const qsizetype length = digests_.size() / std::max<qsizetype>(1, static_cast<qsizetype>(sizes_.size()));
  return QByteArrayView(digests_).sliced((page - 1) * length, length);
}

void TRecordedPages::Delete() const { DeletePageFilesIn(folder_->HeldPath(), target_); }
