#include "platform/TempDirectory.h"

#include <QDir>
#include <QFile>
#include <cerrno>
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
}  // namespace

QString PrivateTempDirectory() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) &&
      IsPrivateFolder(QFile::encodeName(runtime), false)) {
    const QString folder = EnsurePrivateFolder(QDir::cleanPath(runtime) + QStringLiteral("/quenary"));
    if (!folder.isEmpty()) return folder;
  }
  QString base = qEnvironmentVariable("TMPDIR");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QStringLiteral("/tmp");
  return EnsurePrivateFolder(QDir::cleanPath(base) + QStringLiteral("/quenary-") +
                             QString::number(::getuid()));
}
