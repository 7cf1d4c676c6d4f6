#include "print/device/QV_PageFiles.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {

TEST(PageFiles, NamesCarryAtLeastThreeDigitsAfterOneSeparator) {
  EXPECT_EQ(PageFileNameIn("/t", 7, poPrinter), QStringLiteral("/t/PRN007.EMF"));
  EXPECT_EQ(PageFileNameIn("/t/", 1234, poViewer), QStringLiteral("/t/PRN1234.EMF"));
  EXPECT_EQ(PageFileNameIn("/t", 1, poHTML), QStringLiteral("/t/PRN001.HTM"));
  EXPECT_EQ(PageFileNameIn(QString(), 3, poViewer), QStringLiteral("PRN003.EMF"));
}

TEST(PageFiles, PagesLiveInThePrivateFolderAndDeletingTakesEveryPageOfTheKindOnly) {
  const QDir folder(PageDirectory());
  EXPECT_TRUE(folder.path().startsWith(TestHomeDirectory())) << "not the shared temporary folder";
  EXPECT_EQ(PageFileNameFor(5, poPrinter), folder.filePath("PRN005.EMF"));
  EXPECT_EQ(QFileInfo(folder.path()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);

  const QStringList pages = {"PRN001.EMF", "PRN003.EMF", "PRN1500.EMF"};
  const QStringList others = {"PRN001.HTM",     "PRN01.EMF",  "prn002.emf",
                              "PRN002.EMF.bak", "PRNabc.EMF", "notes.txt"};
  for (const QString& name : pages + others) QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
  DeletePageFiles(poViewer);
  for (const QString& name : pages) EXPECT_FALSE(folder.exists(name)) << name.toStdString();
  for (const QString& name : others) EXPECT_TRUE(folder.exists(name)) << name.toStdString();
  DeletePageFiles(poHTML);
  EXPECT_FALSE(folder.exists("PRN001.HTM"));
  for (const QString& name : others) QFile::remove(folder.filePath(name));
}

// The page recorder: a job of its own process that records pages and prints them to a PDF file.
class Recorder {
public:
  Recorder(const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
           const QString& workingFolder = QString()) {
    process_.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty()) process_.setWorkingDirectory(workingFolder);
    process_.start(QStringLiteral(PAGE_RECORDER), arguments);
  }
  ~Recorder() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }
  /** Waits for the end; true when the job printed. */
  bool Printed() {
    Finish();
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
  }
  void Finish() {
    if (!finished_) {
      process_.waitForFinished(240000);
      output_ = QString::fromUtf8(process_.readAllStandardOutput());
      errors_ = QString::fromUtf8(process_.readAllStandardError());
      finished_ = true;
    }
  }
  bool Crashed() {
    Finish();
    return process_.exitStatus() == QProcess::CrashExit;
  }
  /** The page folder the recorder used. */
  QString Folder() {
    Finish();
    return QRegularExpression(QStringLiteral("^folder (.*)$"), QRegularExpression::MultilineOption)
        .match(output_)
        .captured(1);
  }
  QString Errors() {
    Finish();
    return errors_;
  }

private:
  QProcess process_;
  bool finished_ = false;
  QString output_;
  QString errors_;
};

/** The text of each page of a PDF file, read back; empty when the file cannot be read. */
QStringList PdfPages(const QString& fileName) {
  const PdfReader pdf(fileName);
  QStringList pages;
  for (int index = 0; index < pdf.PageCount(); ++index) pages << pdf.Text(index);
  return pages;
}

QStringList ExpectedPages(const QString& marker, int count) {
  QStringList pages;
  for (int page = 1; page <= count; ++page) pages << QStringLiteral("%1 page %2").arg(marker).arg(page);
  return pages;
}

// Two instances of the program print at the same time, each recording while the other does: every output
// holds exactly its own pages. The recorders meet after starting their jobs and again once all pages are
// recorded, so the two jobs surely overlap; they share the user's folders as two instances would.
TEST(PageFilesOfProcesses, TwoJobsAtTheSameTimeEachPrintExactlyTheirOwnPages) {
  constexpr int Rounds = 10;
  constexpr int Pages = 20;
  ScratchDirectory scratch;
  for (int round = 1; round <= Rounds; ++round) {
    SCOPED_TRACE(round);
    const QString meeting = scratch.File(QStringLiteral("meeting-%1").arg(round));
    ASSERT_TRUE(QDir().mkpath(meeting));
    const QString markers[] = {QStringLiteral("Alpha%1").arg(round), QStringLiteral("Bravo%1").arg(round)};
    const QString outputs[] = {scratch.File(QStringLiteral("alpha-%1.pdf").arg(round)),
                               scratch.File(QStringLiteral("bravo-%1.pdf").arg(round))};
    Recorder alpha({"--pdf", outputs[0], "--marker", markers[0], "--pages", QString::number(Pages), "--meet",
                    meeting, "alpha", "bravo"});
    Recorder bravo({"--pdf", outputs[1], "--marker", markers[1], "--pages", QString::number(Pages), "--meet",
                    meeting, "bravo", "alpha"});
    ASSERT_TRUE(alpha.Printed()) << alpha.Errors().toStdString();
    ASSERT_TRUE(bravo.Printed()) << bravo.Errors().toStdString();
    EXPECT_NE(alpha.Folder(), bravo.Folder());
    EXPECT_EQ(PdfPages(outputs[0]), ExpectedPages(markers[0], Pages));
    EXPECT_EQ(PdfPages(outputs[1]), ExpectedPages(markers[1], Pages));
    for (Recorder* recorder : {&alpha, &bravo}) {
      EXPECT_FALSE(recorder->Folder().isEmpty());
      EXPECT_FALSE(QFileInfo::exists(recorder->Folder())) << "the page folder goes with its process";
    }
  }
}

// No private per-user folder can be had (no runtime folder, and the per-user folder in the temporary folder
// was made by someone else) and the current folder holds a planted link under a page file's name: the job
// still prints, into a fresh folder of its own, and nothing is written through the link or into the other
// user's folder or the current folder.
TEST(PageFilesOfProcesses, WithoutAPrivateFolderNothingIsWrittenThroughALinkOrIntoAnotherUsersFolder) {
  ScratchDirectory scratch;
  const QString temporary = scratch.File(QStringLiteral("tmp"));
  const QString current = scratch.File(QStringLiteral("current"));
  const QString taken = temporary + QStringLiteral("/quenary-%1").arg(::getuid());
  const QString victim = scratch.File(QStringLiteral("victim"));
  ASSERT_TRUE(QDir().mkpath(taken));
  ASSERT_TRUE(QDir().mkpath(current));
  {
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("precious");
  }
  ASSERT_TRUE(QFile::link(victim, current + QStringLiteral("/PRN001.EMF")));
  ASSERT_TRUE(QFile::link(victim, taken + QStringLiteral("/PRN001.EMF")));
  {
    QFile leftover(current + QStringLiteral("/PRN002.EMF"));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write("a file of the user's own");
  }
  QFile::setPermissions(taken, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                   QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
  // A test run by root gives the folder to another user. Anyone else plants a link in its place, to a folder
  // holding the same planted link, which makes the private folder just as unusable.
  QString takenContents = taken;
  const bool givenAway = ::chown(QFile::encodeName(taken).constData(), 65534, 65534) == 0 &&
                         QFileInfo(taken).ownerId() != ::getuid();
  if (!givenAway) {
    takenContents = taken + QStringLiteral("-elsewhere");
    ASSERT_TRUE(QDir().rename(taken, takenContents));
    ASSERT_TRUE(QFile::link(takenContents, taken));
  }

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  environment.insert(QStringLiteral("TMPDIR"), temporary);
  const QString output = scratch.File(QStringLiteral("out.pdf"));
  Recorder recorder({"--pdf", output, "--marker", "Lonely", "--pages", "3"}, environment, current);
  ASSERT_TRUE(recorder.Printed()) << recorder.Errors().toStdString();

  EXPECT_EQ(PdfPages(output), ExpectedPages(QStringLiteral("Lonely"), 3));
  EXPECT_TRUE(recorder.Folder().startsWith(temporary + QStringLiteral("/quenary-process-")))
      << recorder.Folder().toStdString();
  QFile file(victim);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("precious"));
  EXPECT_TRUE(QFileInfo(current + QStringLiteral("/PRN001.EMF")).isSymLink());
  EXPECT_EQ(QFileInfo(current + QStringLiteral("/PRN002.EMF")).size(), 24)
      << "the current folder is not swept";
  const QDir::Filters everything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
  EXPECT_EQ(QDir(current).entryList(everything), (QStringList{"PRN001.EMF", "PRN002.EMF"}));
  EXPECT_EQ(QDir(takenContents).entryList(everything), QStringList{"PRN001.EMF"});
  EXPECT_TRUE(QFileInfo(takenContents + QStringLiteral("/PRN001.EMF")).isSymLink());
  EXPECT_TRUE(QDir(temporary).entryList({QStringLiteral("quenary-process-*")}, everything).isEmpty())
      << "the job's own folder went with it";
}

TEST(PageFilesOfProcesses, ThePageFolderGoesAlsoWhenTheProcessEndsThroughAnException) {
  ScratchDirectory scratch;
  Recorder recorder(
      {"--pdf", scratch.File(QStringLiteral("never.pdf")), "--marker", "Thrown", "--pages", "2", "--throw"});
  EXPECT_TRUE(recorder.Crashed());
  EXPECT_TRUE(recorder.Errors().contains(QLatin1String("asked to end through an exception")))
      << recorder.Errors().toStdString();
  ASSERT_FALSE(recorder.Folder().isEmpty());
  EXPECT_FALSE(QFileInfo::exists(recorder.Folder()));
  EXPECT_FALSE(QFileInfo::exists(scratch.File(QStringLiteral("never.pdf"))));
}

}  // namespace
