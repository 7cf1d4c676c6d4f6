#include "platform/AtomicFile.h"

#include "platform/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Small writes are gathered into pieces of this size before they reach the system.
constexpr qsizetype BufferSize = 256 * 1024;

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// The file a name leads to: a symbolic link is followed (also one whose file does not exist yet).
QString ResolvedTarget(const QString& target) {
  const QFileInfo info(QFileInfo(target).absoluteFilePath());
  if (!info.isSymLink()) return info.absoluteFilePath();
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

// A rename that fails when the target exists; file systems without it get a hard link, which fails the same.
bool MoveWithoutReplacing(const QByteArray& from, const QByteArray& to) {
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (::link(from.constData(), to.constData()) != 0) return false;
  ::unlink(from.constData());
  return true;
}

// A fresh random name beside the target, for the new file: "<target's name>.<six hex digits>".
QString NameBeside(const QFileInfo& target) {
  return QDir(target.absolutePath())
      .filePath(QStringLiteral("%1.%2")
                    .arg(target.fileName())
                    .arg(QRandomGenerator::system()->generate() & 0xFFFFFF, 6, 16, QLatin1Char('0')));
}

// The new name is in the folder once the folder itself is on disk; a folder that cannot be synced is no
// failure of the file.
void SyncFolder(const QString& folder) {
  const int descriptor = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}
}  // namespace

TAtomicFile::TAtomicFile(const QString& target, TMode mode, TTemporary temporary)
    : target_(ResolvedTarget(target)), mode_(mode), wanted_(temporary) {}

TAtomicFile::~TAtomicFile() { Discard(); }

bool TAtomicFile::Fail(const QString& reason) {
  if (failure_.isEmpty()) failure_ = reason;
  setErrorString(failure_);
  return false;
}

bool TAtomicFile::Open() {
  failure_.clear();
  struct stat existing {};
  if (::stat(Native(target_).constData(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) return Fail(QStringLiteral("It is not a plain file."));
    if (mode_ == TMode::NoReplace) return Fail(SystemErrorText(EEXIST));
    replacesFile_ = true;
    keptPermissions_ = existing.st_mode & 07777;
  }
  const QFileInfo info(target_);
  // A new file gets what the umask leaves of 0666, as any file the user makes; a replacement starts private
  // and takes the old file's bits when it is complete.
  const mode_t creationMode = replacesFile_ ? 0600 : 0666;
  if (wanted_ == TTemporary::Unnamed && OpenUnnamed(info.absolutePath(), creationMode)) return true;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString candidate = NameBeside(info);
    descriptor_ = ::open(Native(candidate).constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, creationMode);
    if (descriptor_ >= 0) {
      temporary_ = candidate;
      buffer_.clear();
      QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
      return true;
    }
    if (errno != EEXIST) return Fail(SystemErrorText(errno));
  }
  return Fail(SystemErrorText(EEXIST));
}

bool TAtomicFile::OpenUnnamed(const QString& folder, unsigned int creationMode) {
  const int descriptor =
      ::open(Native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, static_cast<mode_t>(creationMode));
  if (descriptor < 0) return false;
  // The file is linked into place through its descriptor's entry in /proc; without /proc it never could be.
  if (::access(QStringLiteral("/proc/self/fd/%1").arg(descriptor).toLatin1().constData(), F_OK) != 0) {
    ::close(descriptor);
    return false;
  }
  descriptor_ = descriptor;
  unnamed_ = true;
  temporary_.clear();
  buffer_.clear();
  QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  return true;
}

bool TAtomicFile::NameUnnamed() {
  const QByteArray self = QStringLiteral("/proc/self/fd/%1").arg(descriptor_).toLatin1();
  const QFileInfo info(target_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString candidate = NameBeside(info);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, Native(candidate).constData(), AT_SYMLINK_FOLLOW) ==
        0) {
      temporary_ = candidate;
      unnamed_ = false;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  errno = EEXIST;
  return false;
}

qint64 TAtomicFile::readData(char*, qint64) { return -1; }

qint64 TAtomicFile::writeData(const char* data, qint64 length) {
  if (Failed() || descriptor_ < 0) return -1;
  if (buffer_.size() + length > BufferSize) {
    if (!FlushBuffer()) return -1;
    if (length >= BufferSize) return WriteOut(data, length) ? length : -1;
  }
  buffer_.append(data, static_cast<qsizetype>(length));
  return length;
}

bool TAtomicFile::WriteOut(const char* data, qint64 length) {
  while (length > 0) {
    const ssize_t written = ::write(descriptor_, data, static_cast<size_t>(length));
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return Fail(SystemErrorText(errno));
    // A write that takes nothing on a plain file means the disk takes nothing more.
    if (written == 0) return Fail(SystemErrorText(ENOSPC));
    data += written;
    length -= written;
  }
  return true;
}

bool TAtomicFile::FlushBuffer() {
  if (buffer_.isEmpty()) return true;
  const bool written = WriteOut(buffer_.constData(), buffer_.size());
  buffer_.clear();
  return written;
}

void TAtomicFile::CloseDescriptor() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

bool TAtomicFile::Finish(TFinish finish) {
  if (descriptor_ < 0) {
    Fail(QStringLiteral("The file is not open."));
    Discard();
    return false;
  }
  bool complete = FlushBuffer() && !Failed();
  // Some file systems find out that the disk is full only when the data goes to it, at the sync or the close.
  if (complete && ::fsync(descriptor_) != 0 && errno != EINVAL && errno != EROFS) {
    complete = Fail(SystemErrorText(errno));
  }
  if (complete && replacesFile_ && ::fchmod(descriptor_, keptPermissions_) != 0) {
    complete = Fail(SystemErrorText(errno));
  }
  if (complete && unnamed_) {
    if (finish == TFinish::LinkToTarget) {
      // A file that must not replace anything takes the target's name straight away, or fails if it is taken.
      const QByteArray self = QStringLiteral("/proc/self/fd/%1").arg(descriptor_).toLatin1();
      if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, Native(target_).constData(), AT_SYMLINK_FOLLOW) == 0)
        unnamed_ = false;
      else
        complete = Fail(SystemErrorText(errno));
    } else if (!NameUnnamed()) {
      // Any other gets a name beside the target, and is moved into place from there; only a kill in the
      // moment between the two steps could leave it.
      complete = Fail(SystemErrorText(errno));
    }
  }
  const int closed = ::close(descriptor_);
  descriptor_ = -1;
  if (complete && closed != 0) {
    complete = Fail(SystemErrorText(errno));
    // Linked in place already, the file that failed its close goes again.
    if (finish == TFinish::LinkToTarget && !unnamed_ && temporary_.isEmpty())
      ::unlink(Native(target_).constData());
  }
  if (!complete) Discard();
  return complete;
}

bool TAtomicFile::Complete() { return Finish(TFinish::Name); }

bool TAtomicFile::Commit() {
  const bool straightIntoPlace = unnamed_ && mode_ == TMode::NoReplace;
  bool complete = Finish(straightIntoPlace ? TFinish::LinkToTarget : TFinish::Name);
  if (complete && !straightIntoPlace) {
    const QByteArray from = Native(temporary_);
    const QByteArray to = Native(target_);
    const bool moved = mode_ == TMode::NoReplace ? MoveWithoutReplacing(from, to)
                                                 : ::rename(from.constData(), to.constData()) == 0;
    if (!moved) complete = Fail(SystemErrorText(errno));
  }
  if (!complete) {
    Discard();
    return false;
  }
  temporary_.clear();
  QIODevice::close();
  SyncFolder(QFileInfo(target_).absolutePath());
  return true;
}

void TAtomicFile::Discard() {
  CloseDescriptor();
  unnamed_ = false;
  buffer_.clear();
  if (!temporary_.isEmpty()) ::unlink(Native(temporary_).constData());
  temporary_.clear();
  if (isOpen()) QIODevice::close();
}

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes, const QString& what) {
  TAtomicFile file(fileName);
  if (!file.Open() || file.write(bytes) != bytes.size() || !file.Commit()) {
    throw Exception(QStringLiteral("%1 \"%2\": %3").arg(what, ShownName(fileName), file.errorString()));
  }
}
