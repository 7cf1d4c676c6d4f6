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

// A file being written has no name at all, so a process killed meanwhile leaves nothing; a named one is
// there for a writer that opens it by its name, and either kind takes the target's name only whole.
TEST(AtomicFile, AFileBeingWrittenHasNoNameUnlessAWriterNeedsOne) {
  ScratchDirectory scratch;
  struct Case {
    TAtomicFile::TMode mode;
    TAtomicFile::TTemporary temporary;
  };
  for (const Case& test : {Case{TAtomicFile::TMode::Replace, TAtomicFile::TTemporary::Unnamed},
                           Case{TAtomicFile::TMode::NoReplace, TAtomicFile::TTemporary::Unnamed},
                           Case{TAtomicFile::TMode::NoReplace, TAtomicFile::TTemporary::Named}}) {
    const bool named = test.temporary == TAtomicFile::TTemporary::Named;
    const QString target = scratch.File(QStringLiteral("new.pdf"));
    QFile::remove(target);
    TAtomicFile file(target, test.mode, test.temporary);
    ASSERT_TRUE(file.Open());
    file.write("whole");
    EXPECT_EQ(FilesBelow(scratch.Path()).size(), named ? 1 : 0);
    EXPECT_EQ(file.TemporaryFileName().isEmpty(), !named);
    ASSERT_TRUE(file.Commit()) << file.errorString().toStdString();
    EXPECT_EQ(FilesBelow(scratch.Path()), QStringList{QStringLiteral("new.pdf")});
    EXPECT_EQ(FileBytes(target), QByteArray("whole"));
  }
  // Completed without a commit, an unnamed file gets a name for whoever it is handed to.
  TAtomicFile spool(scratch.File(QStringLiteral("spool.pdf")));
  ASSERT_TRUE(spool.Open());
  spool.write("spooled");
  ASSERT_TRUE(spool.Complete());
  EXPECT_EQ(FileBytes(spool.TemporaryFileName()), QByteArray("spooled"));
  QFile::remove(scratch.File(QStringLiteral("new.pdf")));
  TAtomicFile late(scratch.File(QStringLiteral("new.pdf")), TAtomicFile::TMode::NoReplace);
  ASSERT_TRUE(late.Open()) << "the target did not exist when it opened";
  WriteBytes(scratch.File(QStringLiteral("new.pdf")), "appeared meanwhile");
  EXPECT_FALSE(late.Commit()) << "a file that appeared meanwhile is not written over";
  EXPECT_EQ(FileBytes(scratch.File(QStringLiteral("new.pdf"))), QByteArray("appeared meanwhile"));
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
