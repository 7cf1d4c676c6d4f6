#include "platform/TempDirectory.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Points XDG_RUNTIME_DIR and TMPDIR somewhere for one test and puts them back afterwards.
class EnvironmentOverride {
public:
  EnvironmentOverride(const QByteArray& runtime, const QByteArray& temporary)
      : runtime_(qgetenv("XDG_RUNTIME_DIR")), temporary_(qgetenv("TMPDIR")) {
    Set("XDG_RUNTIME_DIR", runtime);
    Set("TMPDIR", temporary);
  }
  ~EnvironmentOverride() {
    Set("XDG_RUNTIME_DIR", runtime_);
    Set("TMPDIR", temporary_);
  }

private:
  static void Set(const char* name, const QByteArray& value) {
    if (value.isEmpty())
      qunsetenv(name);
    else
      qputenv(name, value);
  }
  QByteArray runtime_;
  QByteArray temporary_;
};

mode_t ModeOf(const QString& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &status), 0);
  return status.st_mode & 07777;
}

TEST(PrivateTempDirectory, LivesInTheRuntimeFolderWithNoAccessForOthers) {
  ScratchDirectory runtime;
  ::chmod(QFile::encodeName(runtime.Path()).constData(), 0700);
  const EnvironmentOverride environment(runtime.Path().toLocal8Bit(), QByteArray());
  const QString folder = PrivateTempDirectory();
  EXPECT_EQ(folder, runtime.File(QStringLiteral("quenary")));
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_EQ(PrivateTempDirectory(), folder) << "a second call uses the same folder";
}

TEST(PrivateTempDirectory, FallsBackToAPerUserFolderInTheTemporaryFolder) {
  ScratchDirectory temporary;
  const EnvironmentOverride environment(QByteArray(), temporary.Path().toLocal8Bit());
  const QString folder = PrivateTempDirectory();
  EXPECT_EQ(folder, temporary.File(QStringLiteral("quenary-%1").arg(::getuid())));
  EXPECT_EQ(ModeOf(folder), 0700u);
}

TEST(PrivateTempDirectory, AnOpenRuntimeFolderIsNotUsed) {
  ScratchDirectory runtime;
  ScratchDirectory temporary;
  ::chmod(QFile::encodeName(runtime.Path()).constData(), 0777);
  const EnvironmentOverride environment(runtime.Path().toLocal8Bit(), temporary.Path().toLocal8Bit());
  EXPECT_EQ(PrivateTempDirectory(), temporary.File(QStringLiteral("quenary-%1").arg(::getuid())));
  EXPECT_EQ(ModeOf(runtime.Path()), 0777u) << "the user's own runtime folder is left as it was";
}

TEST(PrivateTempDirectory, IsNeverFollowedThroughASymbolicLink) {
  ScratchDirectory temporary;
  ScratchDirectory elsewhere;
  const QString planted = temporary.File(QStringLiteral("quenary-%1").arg(::getuid()));
  ASSERT_TRUE(QFile::link(elsewhere.Path(), planted));
  const EnvironmentOverride environment(QByteArray(), temporary.Path().toLocal8Bit());
  EXPECT_TRUE(PrivateTempDirectory().isEmpty());
}

TEST(PrivateTempDirectory, AFolderOfOursLeftOpenIsClosedAgain) {
  ScratchDirectory temporary;
  const QString folder = temporary.File(QStringLiteral("quenary-%1").arg(::getuid()));
  ASSERT_TRUE(QDir().mkpath(folder));
  ::chmod(QFile::encodeName(folder).constData(), 0755);
  const EnvironmentOverride environment(QByteArray(), temporary.Path().toLocal8Bit());
  EXPECT_EQ(PrivateTempDirectory(), folder);
  EXPECT_EQ(ModeOf(folder), 0700u);
}

TEST(PrivateTempDirectory, APlainFileInTheWayIsRefused) {
  ScratchDirectory temporary;
  QFile file(temporary.File(QStringLiteral("quenary-%1").arg(::getuid())));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  const EnvironmentOverride environment(QByteArray(), temporary.Path().toLocal8Bit());
  EXPECT_TRUE(PrivateTempDirectory().isEmpty());
}

}  // namespace
