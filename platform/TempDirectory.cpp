#include "platform/TempDirectory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A folder is safe when it is a real folder (not a link) owned by us that no one else may enter.
bool IsPrivateFolder(const QByteArray& path, bool tighten) {
  struct stat status {};
  if (::lstat(path.constData(), &status) != 0) return false;
  if (!S_ISDIR(status.st_mode) || status.st_uid != ::getuid()) return false;
  if ((status.st_mode & 077) != 0) {
    // Our own folder opened up to others is closed again rather than refused; any other is refused.
    if (!tighten || ::chmod(path.constData(), 0700) != 0) return false;
  }
  return true;
}

QString EnsurePrivateFolder(const QString& path) {
  const QByteArray native = QFile::encodeName(path);
  if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return QString();
  return IsPrivateFolder(native, true) ? path : QString();
}

QString TemporaryBase() {
  const QString base = qEnvironmentVariable("TMPDIR");
  return base.isEmpty() || !QDir::isAbsolutePath(base) ? QStringLiteral("/tmp") : QDir::cleanPath(base);
}

const QString ProcessFolderPrefix = QStringLiteral("process-");

int OpenFolder(const QString& path) {
  return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool Lock(int descriptor, int operation) {
  int result = 0;
  do {
    result = ::flock(descriptor, operation);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

// Folders of processes that ended without removing them (killed, crashed) are unlocked: the lock of a
// process goes with it. A folder still locked belongs to a process that runs.
void RemoveAbandonedFolders(const QString& privateFolder, const QString& own) {
  const QDir folder(privateFolder);
  const QStringList names = folder.entryList({ProcessFolderPrefix + QStringLiteral("??????")},
                                             QDir::Dirs | QDir::NoSymLinks | QDir::Hidden | QDir::System);
  for (const QString& name : names) {
    const QString path = folder.filePath(name);
    if (path == own || !IsPrivateFolder(QFile::encodeName(path), false)) continue;
    const int descriptor = OpenFolder(path);
    if (descriptor < 0) continue;
    if (Lock(descriptor, LOCK_EX | LOCK_NB)) QDir(path).removeRecursively();
    ::close(descriptor);
  }
}

// Plain values that are never destroyed, so the end of the process can still be told after the owner of
// the process's folder is gone. The folder is held by whoever works in it; processFolder is the one new work
// gets, and the one an uncaught exception removes.
bool processEnded = false;
TProcessTempDirectory* processFolder = nullptr;

struct ProcessFolderOwner {
  std::shared_ptr<TProcessTempDirectory> Folder;
  ~ProcessFolderOwner() {
    processEnded = true;
    processFolder = nullptr;
    Folder.reset();
  }
};

std::terminate_handler previousTerminateHandler = nullptr;

// An exception nobody caught ends the process without destroying static objects; the folder goes first.
[[noreturn]] void RemoveFolderAndTerminate() {
  if (processFolder != nullptr) processFolder->Remove();
  if (previousTerminateHandler != nullptr) previousTerminateHandler();
  std::abort();
}
}  // namespace

QString PrivateTempDirectory() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) &&
      IsPrivateFolder(QFile::encodeName(runtime), false)) {
    const QString folder = EnsurePrivateFolder(QDir::cleanPath(runtime) + QStringLiteral("/quenary"));
    if (!folder.isEmpty()) return folder;
  }
  return EnsurePrivateFolder(TemporaryBase() + QStringLiteral("/quenary-") + QString::number(::getuid()));
}

TProcessTempDirectory::TProcessTempDirectory() {
  const QString privateFolder = PrivateTempDirectory();
  if (!privateFolder.isEmpty()) {
    // Making a folder and locking it is one step for every process of the user, so none can take a folder
    // that is not locked yet for an abandoned one.
    const int guard = OpenFolder(privateFolder);
    const bool guarded = guard >= 0 && Lock(guard, LOCK_EX);
    if (Make(QDir(privateFolder).filePath(ProcessFolderPrefix + QStringLiteral("XXXXXX"))) && guarded) {
      RemoveAbandonedFolders(privateFolder, Path());
    }
    if (guard >= 0) ::close(guard);
  }
  // No private folder: a fresh folder in the shared temporary folder, never the current one.
  if (!IsValid())
    Make(TemporaryBase() + QStringLiteral("/quenary-") + ProcessFolderPrefix + QStringLiteral("XXXXXX"));
}

TProcessTempDirectory::~TProcessTempDirectory() { Remove(); }

bool TProcessTempDirectory::Make(const QString& pathTemplate) {
  auto folder = std::make_unique<QTemporaryDir>(pathTemplate);
  if (!folder->isValid()) return false;
  // QTemporaryDir makes its folder like mkdtemp; a folder that came out any other way is not used.
  if (!IsPrivateFolder(QFile::encodeName(folder->path()), true)) return false;
  // Removed by Remove() only, and only while it is still our folder.
  folder->setAutoRemove(false);
  descriptor_ = OpenFolder(folder->path());
  // A folder that cannot be locked is still used; only its tidy-up by the next process is not guarded.
  if (descriptor_ >= 0) Lock(descriptor_, LOCK_EX | LOCK_NB);
  const QString throughDescriptor = QStringLiteral("/proc/self/fd/%1").arg(descriptor_);
  struct stat held {};
  struct stat reached {};
  heldPath_ = descriptor_ >= 0 && ::fstat(descriptor_, &held) == 0 &&
                      ::stat(QFile::encodeName(throughDescriptor).constData(), &reached) == 0 &&
                      held.st_dev == reached.st_dev && held.st_ino == reached.st_ino
                  ? throughDescriptor
                  : folder->path();
  folder_ = std::move(folder);
  return true;
}

bool TProcessTempDirectory::IsValid() const { return folder_ != nullptr; }

QString TProcessTempDirectory::Path() const { return folder_ ? folder_->path() : QString(); }

QString TProcessTempDirectory::HeldPath() const { return folder_ ? heldPath_ : QString(); }

bool TProcessTempDirectory::StillThere() const {
  if (!folder_ || !IsPrivateFolder(QFile::encodeName(folder_->path()), false)) return false;
  if (descriptor_ < 0) return true;
  // The folder at the path must be the one made, and not removed (a removed folder has no links left).
  struct stat held {};
  struct stat atPath {};
  return ::fstat(descriptor_, &held) == 0 && held.st_nlink > 0 &&
         ::lstat(QFile::encodeName(folder_->path()).constData(), &atPath) == 0 &&
         held.st_dev == atPath.st_dev && held.st_ino == atPath.st_ino;
}

void TProcessTempDirectory::Remove() {
  if (folder_) {
    // Only the folder made here goes: whatever another put at its path since is left alone.
    struct stat status {};
    struct stat held {};
    const QByteArray path = QFile::encodeName(folder_->path());
    const bool same =
        descriptor_ < 0 || (::fstat(descriptor_, &held) == 0 && ::lstat(path.constData(), &status) == 0 &&
                            held.st_dev == status.st_dev && held.st_ino == status.st_ino);
    if (same && ::lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
        status.st_uid == ::getuid()) {
      folder_->remove();
    }
    folder_.reset();
  }
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    descriptor_ = -1;
  }
  heldPath_.clear();
}

std::shared_ptr<TProcessTempDirectory> ProcessTempFolder() {
  if (processEnded) return nullptr;
  static ProcessFolderOwner owner;
  if (owner.Folder && !owner.Folder->StillThere()) {
    // Whoever still holds the vanished folder keeps it and finds it gone; new work gets a new one.
    owner.Folder.reset();
    processFolder = nullptr;
  }
  if (!owner.Folder) {
    auto folder = std::make_shared<TProcessTempDirectory>();
    if (!folder->IsValid()) return nullptr;
    owner.Folder = std::move(folder);
    processFolder = owner.Folder.get();
    static const bool hooked = [] {
      previousTerminateHandler = std::set_terminate(RemoveFolderAndTerminate);
      return true;
    }();
    (void)hooked;
  }
  return owner.Folder;
}

QString ProcessTempDirectory() {
  const std::shared_ptr<TProcessTempDirectory> folder = ProcessTempFolder();
  return folder ? folder->Path() : QString();
}
