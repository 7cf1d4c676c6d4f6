#include "platform/TempDirectory.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
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

TEST(ProcessTempDirectory, IsAFreshPrivateFolderInThePrivateOneRemovedWithEverythingInIt) {
  ScratchDirectory runtime;
  ::chmod(QFile::encodeName(runtime.Path()).constData(), 0700);
  const EnvironmentOverride environment(runtime.Path().toLocal8Bit(), QByteArray());
  QString path;
  {
    const TProcessTempDirectory folder;
    const TProcessTempDirectory another;
    ASSERT_TRUE(folder.IsValid());
    path = folder.Path();
    EXPECT_EQ(QFileInfo(path).absolutePath(), runtime.File(QStringLiteral("quenary")));
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral("process-")));
    EXPECT_EQ(ModeOf(path), 0700u);
    EXPECT_NE(another.Path(), path) << "every one is new";
    EXPECT_TRUE(QFileInfo::exists(path)) << "making another leaves the live one alone";
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inner")));
    QFile file(path + QStringLiteral("/inner/PRN001.EMF"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  EXPECT_FALSE(QFileInfo::exists(path));
}

// The private per-user folder cannot be had: a folder of that name belongs to someone else (or is a link).
// Nothing is ever written into it; a fresh folder in the temporary folder is taken instead.
TEST(ProcessTempDirectory, APrivateFolderTakenByAnotherUserOrALinkIsNeverWrittenThrough) {
  for (const bool link : {true, false}) {
    SCOPED_TRACE(link ? "a planted link" : "another user's folder");
    ScratchDirectory temporary;
    ScratchDirectory elsewhere;
    const QString planted = temporary.File(QStringLiteral("quenary-%1").arg(::getuid()));
    if (link) {
      ASSERT_TRUE(QFile::link(elsewhere.Path(), planted));
    } else {
      ASSERT_TRUE(QDir().mkdir(planted));
      ::chmod(QFile::encodeName(planted).constData(), 0777);
      if (::chown(QFile::encodeName(planted).constData(), 65534, 65534) != 0 ||
          QFileInfo(planted).ownerId() == ::getuid()) {
        GTEST_SKIP() << "only a test run by root can give a folder to another user";
      }
    }
    const EnvironmentOverride environment(QByteArray(), temporary.Path().toLocal8Bit());
    const TProcessTempDirectory folder;
    ASSERT_TRUE(folder.IsValid());
    EXPECT_EQ(QFileInfo(folder.Path()).absolutePath(), temporary.Path());
    EXPECT_TRUE(QFileInfo(folder.Path()).fileName().startsWith(QStringLiteral("quenary-process-")));
    EXPECT_EQ(ModeOf(folder.Path()), 0700u);
    EXPECT_EQ(QFileInfo(folder.Path()).ownerId(), ::getuid());
    const QDir::Filters everything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    EXPECT_TRUE(QDir(link ? elsewhere.Path() : planted).entryList(everything).isEmpty());
    if (link)
      EXPECT_EQ(QFileInfo(planted).symLinkTarget(), elsewhere.Path()) << "left as it was";
    else
      EXPECT_EQ(ModeOf(planted), 0777u) << "left as it was";
  }
}

TEST(ProcessTempDirectory, FoldersOfProcessesThatDiedAreRemovedAndThoseOfLiveOnesKept) {
  ScratchDirectory runtime;
  ::chmod(QFile::encodeName(runtime.Path()).constData(), 0700);
  const EnvironmentOverride environment(runtime.Path().toLocal8Bit(), QByteArray());
  const QString privateFolder = PrivateTempDirectory();
  const QString abandoned = privateFolder + QStringLiteral("/process-Abc123");
  const QString live = privateFolder + QStringLiteral("/process-Live99");
  const QString other = privateFolder + QStringLiteral("/notes");
  ScratchDirectory elsewhere;
  const QString linked = privateFolder + QStringLiteral("/process-Linked");
  for (const QString& path : {abandoned, live, other}) {
    ASSERT_TRUE(QDir().mkpath(path));
    ::chmod(QFile::encodeName(path).constData(), 0700);
    QFile(path + QStringLiteral("/PRN001.EMF")).open(QIODevice::WriteOnly);
  }
  QFile(elsewhere.File(QStringLiteral("PRN001.EMF"))).open(QIODevice::WriteOnly);
  ASSERT_TRUE(QFile::link(elsewhere.Path(), linked));
  // A running process holds the lock of its folder as long as it lives.
  const int lock = ::open(QFile::encodeName(live).constData(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);

  const TProcessTempDirectory folder;
  ASSERT_TRUE(folder.IsValid());
  EXPECT_FALSE(QFileInfo::exists(abandoned));
  EXPECT_TRUE(QFileInfo::exists(live + QStringLiteral("/PRN001.EMF")));
  EXPECT_TRUE(QFileInfo::exists(other + QStringLiteral("/PRN001.EMF")));
  EXPECT_TRUE(QFileInfo(linked).isSymLink());
  EXPECT_TRUE(QFileInfo::exists(elsewhere.File(QStringLiteral("PRN001.EMF"))));
  ::close(lock);
}

TEST(ProcessTempDirectory, TheProcessKeepsOneFolderAndMakesItAgainWhenItVanished) {
  const QString folder = ProcessTempDirectory();
  ASSERT_FALSE(folder.isEmpty());
  EXPECT_TRUE(folder.startsWith(TestHomeDirectory()));
  EXPECT_EQ(ProcessTempDirectory(), folder);
  ASSERT_TRUE(QDir(folder).removeRecursively());
  const QString again = ProcessTempDirectory();
  EXPECT_NE(again, folder);
  EXPECT_TRUE(QFileInfo(again).isDir());
  EXPECT_EQ(ModeOf(again), 0700u);
}

}  // namespace
