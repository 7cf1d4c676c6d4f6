#include "platform/PagePicture.h"

#include "platform/PageRecording.h"
#include "platform/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QPainter>
#include <QRandomGenerator>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A page file is the page's display list behind a signature, a format number and a keyed digest of the
// list. The player checks every record's bounds, and on top of that only a list this process wrote itself is
// ever played. Page files live from recording to printing or preview within one run. Format 1 was Qt's
// picture stream.
const QByteArray Signature = QByteArrayLiteral("QNRYPAGE");
constexpr char FormatVersion = 3;
// The byte after the format number: what the page needs of the writer it is printed by.
constexpr char PdfWritableFlag = 1;
constexpr int DigestLength = 32;

const QByteArray& SessionKey() {
  static const QByteArray key = [] {
    std::array<quint32, 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), static_cast<qsizetype>(words.size()));
    return QByteArray(reinterpret_cast<const char*>(words.data()), static_cast<qsizetype>(sizeof(words)));
  }();
  return key;
}

// The digest covers the flags and the display list.
QByteArray KeyedDigest(char flags, QByteArrayView stream) {
  QMessageAuthenticationCode code(QCryptographicHash::Blake2b_256, SessionKey());
  code.addData(&flags, 1);
  code.addData(stream.constData(), stream.size());
  return code.result();
}
}  // namespace

PagePicture::PagePicture() = default;

PagePicture::~PagePicture() {
  if (painter_) painter_->end();
}

QPainter& PagePicture::BeginRecording() {
  if (painter_) painter_->end();
  painter_.reset();
  recording_.clear();
  recorder_ = std::make_unique<TPageRecorder>();
  painter_ = std::make_unique<QPainter>(recorder_.get());
  return *painter_;
}

void PagePicture::EndRecording() {
  if (!painter_) return;
  painter_->end();
  painter_.reset();
  recording_ = recorder_->TakeRecording(&pdfWritable_);
  recorder_.reset();
}

qint64 PagePicture::Save(const QString& fileName) const {
  return SaveRecording(fileName, recording_, pdfWritable_, digest_);
}

qint64 PagePicture::SaveRecording(const QString& fileName, const QByteArray& recording, bool pdfWritable,
                                  QByteArray& digest) {
  const auto failed = [&fileName](const QString& reason) {
    return Exception(QStringLiteral("Cannot create file \"%1\". %2")
                         .arg(ShownName(QDir::toNativeSeparators(fileName)), reason));
  };
  const auto systemError = [] { return SystemErrorText(errno); };
  // The head is written before the display list, which is not copied: the file is made while the next page
  // is drawn, and a copy of every page would only grow that thread's memory.
  QByteArray head;
  head.reserve(Signature.size() + 2 + DigestLength);
  head += Signature;
  head += FormatVersion;
  const char flags = pdfWritable ? PdfWritableFlag : 0;
  head += flags;
  digest = KeyedDigest(flags, recording);
  head += digest;
  const qint64 size = head.size() + recording.size();
  // A page that could be written but never read again would print as an empty sheet without a word.
  if (size > MaximumFileSize) {
    throw failed(QStringLiteral("The page is larger than %1 MiB.").arg(MaximumFileSize / (1024 * 1024)));
  }

  // Whatever has the name goes (a link goes itself, its target is left alone), and the file is made new:
  // nothing is ever written through a name someone else prepared.
  const QByteArray path = QFile::encodeName(fileName);
  if (::unlink(path.constData()) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM) {
    throw failed(systemError());
  }
  const int descriptor =
      ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
  if (descriptor < 0) throw failed(systemError());
  // Written in place: a page that breaks off half-way no longer matches its digest and is refused when read.
  const auto writeAll = [&](const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype remaining = bytes.size();
    while (remaining > 0) {
      const ssize_t written = ::write(descriptor, data, static_cast<size_t>(remaining));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        const QString reason = written < 0 ? systemError() : QStringLiteral("Nothing could be written.");
        ::close(descriptor);
        ::unlink(path.constData());
        throw failed(reason);
      }
      data += written;
      remaining -= written;
    }
  };
  writeAll(head);
  writeAll(recording);
  if (::close(descriptor) != 0) {
    const QString reason = systemError();
    ::unlink(path.constData());
    throw failed(reason);
  }
  return size;
}

bool PagePicture::Load(const QString& fileName, QString* error) {
  recording_.clear();
  digest_.clear();
  pdfWritable_ = true;
  const auto fail = [error](const QString& reason) {
    if (error != nullptr) *error = reason;
    return false;
  };
  const QString shownName = ShownName(QDir::toNativeSeparators(fileName));
  QByteArray data;
  QString reason;
  switch (ReadRegularFile(fileName, MaximumFileSize, data, &reason)) {
    case TFileRead::Read: break;
    case TFileRead::Missing: return fail(QStringLiteral("\"%1\" does not exist.").arg(shownName));
    case TFileRead::NotRegular:
      return fail(QStringLiteral("\"%1\" is not a page file: it is not a plain file.").arg(shownName));
    case TFileRead::TooLarge:
      return fail(QStringLiteral("\"%1\" is not a page file: it is larger than %2 MiB.")
                      .arg(shownName, QString::number(MaximumFileSize / (1024 * 1024))));
    case TFileRead::Failed: return fail(QStringLiteral("\"%1\" cannot be read. %2").arg(shownName, reason));
  }
  const qsizetype headerLength = Signature.size() + 2 + DigestLength;
  if (data.size() < headerLength || !data.startsWith(Signature) ||
      data.at(Signature.size()) != FormatVersion) {
    return fail(QStringLiteral("\"%1\" is not a page file.").arg(shownName));
  }
  const char flags = data.at(Signature.size() + 1);
  const QByteArrayView stream = QByteArrayView(data).sliced(headerLength);
  if (KeyedDigest(flags, stream) != QByteArrayView(data).sliced(Signature.size() + 2, DigestLength)) {
    return fail(QStringLiteral("\"%1\" is damaged or was not recorded by this program.").arg(shownName));
  }
  pdfWritable_ = (flags & PdfWritableFlag) != 0;
  digest_ = data.mid(Signature.size() + 2, DigestLength);
  data.remove(0, headerLength);
  recording_ = std::move(data);
  return true;
}

QByteArray PagePicture::FileDigest(const QString& fileName, qint64& size, QString* error) {
  size = 0;
  const auto fail = [error](const QString& reason) {
    if (error != nullptr) *error = reason;
    return QByteArray();
  };
  const QString shownName = ShownName(QDir::toNativeSeparators(fileName));
  // Non-blocking, so a pipe put in a page's place answers at once.
  const int descriptor =
      ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) {
    if (errno == ENOENT) return fail(QStringLiteral("\"%1\" does not exist.").arg(shownName));
    return fail(QStringLiteral("\"%1\" cannot be read. %2").arg(shownName, SystemErrorText(errno)));
  }
  struct Closer {
    int descriptor;
    ~Closer() { ::close(descriptor); }
  } closer{descriptor};
  struct stat status {};
  if (::fstat(descriptor, &status) != 0)
    return fail(QStringLiteral("\"%1\" cannot be read. %2").arg(shownName, SystemErrorText(errno)));
  if (!S_ISREG(status.st_mode))
    return fail(QStringLiteral("\"%1\" is not a page file: it is not a plain file.").arg(shownName));
  const qsizetype headerLength = Signature.size() + 2 + DigestLength;
  QByteArray head(headerLength, Qt::Uninitialized);
  qsizetype filled = 0;
  while (filled < headerLength) {
    const ssize_t count =
        ::read(descriptor, head.data() + filled, static_cast<size_t>(headerLength - filled));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0)
      return fail(QStringLiteral("\"%1\" cannot be read. %2").arg(shownName, SystemErrorText(errno)));
    if (count == 0) break;
    filled += count;
  }
  if (filled < headerLength || !head.startsWith(Signature) || head.at(Signature.size()) != FormatVersion)
    return fail(QStringLiteral("\"%1\" is not a page file.").arg(shownName));
  size = static_cast<qint64>(status.st_size);
  return head.mid(Signature.size() + 2, DigestLength);
}

void PagePicture::Play(QPainter& painter) const { PlayRecording(painter, recording_, pageCount_); }

void PagePicture::PlayInto(QPainter& painter, const QRectF& target, const QSizeF& pageSize) const {
  if (pageSize.width() <= 0 || pageSize.height() <= 0) return;
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(target.width() / pageSize.width(), target.height() / pageSize.height());
  PlayRecording(painter, recording_, pageCount_);
  painter.restore();
}
