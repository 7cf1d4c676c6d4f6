#include "platform/AtomicFile.h"
#include "platform/SysUtils.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// What a folder holds besides the file a test writes: nothing may be left behind.
QStringList Others(const QString& folder, const QString& name) {
  QStringList others = FilesBelow(folder);
  others.removeAll(name);
  others.removeAll(QStringLiteral(".filler"));
  return others;
}

TEST(AtomicFile, ANewFileAppearsOnlyWholeAndAReplacedOneKeepsItsPermissions) {
  ScratchDirectory scratch;
  const QString target = scratch.File(QStringLiteral("report.pdf"));
  WriteFileAtomically(target, "first", QStringLiteral("Cannot write"));
  EXPECT_EQ(FileBytes(target), QByteArray("first"));
  ::chmod(QFile::encodeName(target).constData(), 0640);

  TAtomicFile file(target);
  ASSERT_TRUE(file.Open());
  ASSERT_EQ(file.write(QByteArray(600 * 1024, 'a')), 600 * 1024) << "more than the buffer holds";
  EXPECT_EQ(FileBytes(target), QByteArray("first")) << "the old file until the commit";
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(FileBytes(target), QByteArray(600 * 1024, 'a'));
  struct stat status {};
  ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  EXPECT_TRUE(Others(scratch.Path(), QStringLiteral("report.pdf")).isEmpty());
}

TEST(AtomicFile, AnAbandonedOrRefusedWriteLeavesTheTargetAndNoTemporaryFile) {
  ScratchDirectory scratch;
  const QString target = scratch.File(QStringLiteral("kept.txt"));
  WriteBytes(target, "kept");
  {
    TAtomicFile file(target);
    ASSERT_TRUE(file.Open());
    file.write("never seen");
  }
  EXPECT_EQ(FileBytes(target), QByteArray("kept"));
  TAtomicFile noReplace(target, TAtomicFile::TMode::NoReplace);
  EXPECT_FALSE(noReplace.Open()) << "an existing file is never written over";
  QDir(scratch.Path()).mkdir(QStringLiteral("folder"));
  TAtomicFile onFolder(scratch.File(QStringLiteral("folder")));
  EXPECT_FALSE(onFolder.Open());
  EXPECT_TRUE(onFolder.errorString().contains(QLatin1String("not a plain file")));
  EXPECT_EQ(Others(scratch.Path(), QStringLiteral("kept.txt")), QStringList{QStringLiteral("folder")});
}

TEST(AtomicFile, ALinkIsFollowedToTheFileItNames) {
  ScratchDirectory scratch;
  const QString real = scratch.File(QStringLiteral("real.ini"));
  WriteBytes(real, "old");
  QFile::link(real, scratch.File(QStringLiteral("link.ini")));
  WriteFileAtomically(scratch.File(QStringLiteral("link.ini")), "new", QStringLiteral("Cannot write"));
  EXPECT_TRUE(QFileInfo(scratch.File(QStringLiteral("link.ini"))).isSymLink());
  EXPECT_EQ(FileBytes(real), QByteArray("new"));
}

TEST(AtomicFile, AFullDiskFailsTheWriteAndLeavesTheOldFileByteForByte) {
  SmallDisk disk(64);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Problem().toStdString();
  const QString target = disk.File(QStringLiteral("settings.ini"));
  const QByteArray old(10000, 'o');
  WriteBytes(target, old);
  for (const qint64 size : {qint64(100), qint64(40000), qint64(300000)}) {
    disk.Fill();
    try {
      WriteFileAtomically(target, QByteArray(size, 'n'), QStringLiteral("Cannot write the settings file"));
      ADD_FAILURE() << size << " bytes fit into a full disk";
    } catch (const Exception& error) {
      EXPECT_EQ(
          error.Message(),
          QStringLiteral("Cannot write the settings file \"%1\": %2").arg(target, SystemErrorText(ENOSPC)))
          << size;
    }
    EXPECT_EQ(FileBytes(target), old) << size;
    EXPECT_TRUE(Others(disk.Path(), QStringLiteral("settings.ini")).isEmpty()) << size;
    disk.Empty();
  }
}

}  // namespace
