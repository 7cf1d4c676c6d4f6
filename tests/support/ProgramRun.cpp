#include "tests/support/ProgramRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <cerrno>
#include <stdexcept>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
bool& PrivateMounts() {
  static bool entered = false;
  return entered;
}

constexpr const char* FillerName = ".filler";
}  // namespace

void EnterPrivateMountNamespace() {
  if (::geteuid() != 0) return;
  // Mounts made from here on are this program's and its children's alone, and go when it ends.
  if (::unshare(CLONE_NEWNS) != 0) return;
  PrivateMounts() = ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

SmallDisk::SmallDisk(int kibibytes) {
  if (!PrivateMounts()) {
    problem_ = QStringLiteral("mounting a small file system needs root (as CI runs)");
    return;
  }
  const QByteArray options = QStringLiteral("size=%1k,mode=0777").arg(kibibytes).toLatin1();
  if (::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
    problem_ = QStringLiteral("cannot mount a small file system: %1")
                   .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return;
  }
  mounted_ = true;
}

SmallDisk::~SmallDisk() {
  if (mounted_) ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
}

void SmallDisk::Fill(qint64 free) {
  const QByteArray path = QFile::encodeName(File(QString::fromLatin1(FillerName)));
  const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (descriptor < 0) return;
  const QByteArray block(4096, 'x');
  while (::write(descriptor, block.constData(), static_cast<size_t>(block.size())) > 0) {
  }
  // A last write of less than a block takes the rest.
  while (::write(descriptor, block.constData(), 1) > 0) {
  }
  if (free > 0) {
    const off_t size = ::lseek(descriptor, 0, SEEK_END);
    if (::ftruncate(descriptor, size > free ? size - free : 0) != 0) {
      // The disk stays full; the test then sees less room than it asked for.
    }
  }
  ::close(descriptor);
}

void SmallDisk::Empty() { QFile::remove(File(QString::fromLatin1(FillerName))); }

QStringList ProgramRun::ErrorLines() const { return Error.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

QList<QPair<QString, QString>> ProgramEnvironment(const QList<QPair<QString, QString>>& variables) {
  QList<QPair<QString, QString>> environment{
      {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")}};
  environment += variables;
  return environment;
}

bool StartProgram(QProcess& process, const QString& program, const QStringList& arguments,
                  const QList<QPair<QString, QString>>& variables) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : ProgramEnvironment(variables)) environment.insert(name, value);
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  return process.waitForStarted();
}

ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QList<QPair<QString, QString>>& variables, int timeoutMilliseconds) {
  QProcess process;
  ProgramRun run;
  if (!StartProgram(process, program, arguments, variables)) {
    run.Error = process.errorString();
    return run;
  }
  process.closeWriteChannel();
  if (!process.waitForFinished(timeoutMilliseconds)) {
    process.kill();
    process.waitForFinished();
    run.TimedOut = true;
  }
  run.Crashed = run.TimedOut || process.exitStatus() == QProcess::CrashExit;
  run.ExitCode = process.exitCode();
  run.Out = QString::fromUtf8(process.readAllStandardOutput());
  run.Error = QString::fromUtf8(process.readAllStandardError());
  return run;
}

QByteArray FileBytes(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& fileName, const QByteArray& bytes) {
  QFile file(fileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
      !file.flush())
    throw std::runtime_error("cannot write a test file");
}

QStringList FilesBelow(const QString& folder) {
  QStringList found;
  QDirIterator walk(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
  while (walk.hasNext()) found.append(QDir(folder).relativeFilePath(walk.next()));
  found.sort();
  return found;
}

QString MakeRuntimeFolder(const QString& path) {
  QDir().mkpath(path);
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  return path;
}
