// The calculator's command line against a hostile environment: full disks, a failing queue spool, names a
// terminal would act on, signals. The program runs as a user's script would run it.
#include "tests/support/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <cstring>

namespace {

const QString Program = QStringLiteral(QUENARY_PROGRAM);
const QString NoSpace = QString::fromLocal8Bit(std::strerror(ENOSPC));
const QByteArray OldPdf = QByteArrayLiteral("%PDF-1.4 the user's own report\n%%EOF\n");
const QByteArray OldStore =
    QByteArrayLiteral("; kept by hand\n[Mine]\nColour=green\n\n[Printer]\nZoomFactor=80\n");

bool IsWholePdf(const QByteArray& bytes) {
  return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
}

// Page folders left by runs under a runtime folder: the private folder itself stays, a run's own goes.
QStringList PageFoldersLeft(const QString& runtime) {
  return FilesBelow(runtime).filter(QStringLiteral("process-"));
}

enum class TFullFolder { PageFolder, PdfDestination, ConfigFolder };

struct FullDiskCase {
  const char* Name;
  TFullFolder Full;
};

class FullDiskTest : public ::testing::TestWithParam<FullDiskCase> {};

// The report into a PDF with one of its folders on a full disk: one line, exit 1, nothing of the user's lost.
TEST_P(FullDiskTest, TheRunFailsLoudlyAndLeavesWhatWasThere) {
  SmallDisk disk(256);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Problem().toStdString();
  ScratchDirectory scratch;
  const TFullFolder full = GetParam().Full;
  const auto place = [&](TFullFolder folder, const QString& name) {
    return full == folder ? disk.File(name) : scratch.File(name);
  };
  const QString runtime = MakeRuntimeFolder(place(TFullFolder::PageFolder, QStringLiteral("runtime")));
  const QString config = place(TFullFolder::ConfigFolder, QStringLiteral("config"));
  QDir().mkpath(config);
  WriteBytes(config + QStringLiteral("/Pagewick.Ini"), OldStore);
  const QString pdf = place(TFullFolder::PdfDestination, QStringLiteral("report.pdf"));
  WriteBytes(pdf, OldPdf);
  disk.Fill();

  const ProgramRun run = RunProgram(Program, {"--print", "Ada Lovelace", "--pdf", pdf},
                                    {{"XDG_RUNTIME_DIR", runtime}, {"XDG_CONFIG_HOME", config}});
  ASSERT_FALSE(run.Crashed) << run.Error.toStdString();
  // Settings that could not be saved are said, but the report went out: a script must not print it again.
  EXPECT_EQ(run.ExitCode, full == TFullFolder::ConfigFolder ? 0 : 1);
  ASSERT_EQ(run.ErrorLines().size(), 1) << run.Error.toStdString();
  EXPECT_TRUE(run.Error.contains(NoSpace)) << run.Error.toStdString();
  // A job writes its settings as it starts; where that write could not be made, the store is as it was.
  const QByteArray store = FileBytes(config + QStringLiteral("/Pagewick.Ini"));
  if (full == TFullFolder::ConfigFolder) {
    EXPECT_EQ(store, OldStore);
    EXPECT_TRUE(run.Error.contains(QLatin1String("settings of this print job were not saved")));
    EXPECT_TRUE(IsWholePdf(FileBytes(pdf))) << "the report still prints";
  } else {
    EXPECT_TRUE(store.startsWith(OldStore.left(OldStore.indexOf("\n\n")))) << "the user's own lines stay";
    EXPECT_EQ(FileBytes(pdf), OldPdf);
  }
  EXPECT_TRUE(PageFoldersLeft(runtime).isEmpty());
  EXPECT_EQ(FilesBelow(QFileInfo(pdf).path()).filter(QStringLiteral("report.pdf.")), QStringList())
      << "no half-written file beside the target";
}

INSTANTIATE_TEST_SUITE_P(CommandLineFaults, FullDiskTest,
                         ::testing::Values(FullDiskCase{"PageFolder", TFullFolder::PageFolder},
                                           FullDiskCase{"PdfDestination", TFullFolder::PdfDestination},
                                           FullDiskCase{"ConfigFolder", TFullFolder::ConfigFolder}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The page folder and the PDF on one disk with a little room: whatever of the job fits, the run either writes
// a whole PDF or fails with one line and leaves the old one; never a cut-off PDF with exit code 0.
TEST(CommandLineFaults, ALittleRoomForPagesAndPdfNeverGivesAHalfPdf) {
  bool pdfFailed = false;
  for (const int freeKibibytes : {8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 96}) {
    SmallDisk disk(256);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Problem().toStdString();
    const QString runtime = MakeRuntimeFolder(disk.File(QStringLiteral("runtime")));
    const QString pdf = disk.File(QStringLiteral("report.pdf"));
    WriteBytes(pdf, OldPdf);
    disk.Fill(freeKibibytes * 1024);
    const ProgramRun run =
        RunProgram(Program, {"--print", "Ada", "--pdf", pdf}, {{"XDG_RUNTIME_DIR", runtime}});
    SCOPED_TRACE(freeKibibytes);
    ASSERT_FALSE(run.Crashed) << run.Error.toStdString();
    EXPECT_TRUE(PageFoldersLeft(runtime).isEmpty());
    if (run.ExitCode == 0) {
      EXPECT_TRUE(IsWholePdf(FileBytes(pdf)));
      continue;
    }
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.ErrorLines().size(), 1) << run.Error.toStdString();
    EXPECT_EQ(FileBytes(pdf), OldPdf);
    pdfFailed = pdfFailed ||
                run.Error.contains(QStringLiteral("Cannot write the PDF file \"%1\": %2").arg(pdf, NoSpace));
  }
  EXPECT_TRUE(pdfFailed) << "no room left the page written but not the PDF";
}

TEST(CommandLineFaults, ASpoolThatDoesNotFitIsToldAndNothingReachesTheQueue) {
  const QString queue = qEnvironmentVariable("QUENARY_CUPS_PRINTER");
  if (queue.isEmpty())
    GTEST_SKIP() << "QUENARY_CUPS_PRINTER is not set; run under scripts/with-print-queue.sh";
  // The page must fit and the spool must not: the sizes that do that depend on the fonts, so they are found.
  bool spoolFailed = false;
  for (int kibibytes = 24; kibibytes <= 160 && !spoolFailed; kibibytes += 8) {
    SmallDisk disk(kibibytes);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Problem().toStdString();
    const QString runtime = MakeRuntimeFolder(disk.File(QStringLiteral("runtime")));
    const ProgramRun run =
        RunProgram(Program, {"--print", "Ada", "--printer", queue}, {{"XDG_RUNTIME_DIR", runtime}});
    ASSERT_FALSE(run.Crashed) << run.Error.toStdString();
    if (run.ExitCode == 0) break;
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.ErrorLines().size(), 1) << run.Error.toStdString();
    EXPECT_TRUE(run.Error.contains(NoSpace)) << run.Error.toStdString();
    EXPECT_TRUE(PageFoldersLeft(runtime).isEmpty());
    spoolFailed = run.Error.contains(QLatin1String("print spool file"));
  }
  EXPECT_TRUE(spoolFailed) << "no disk size let the page be written but not the spool";
}

TEST(CommandLineFaults, AScreenshotOnAFullDiskIsToldAndTheOldPictureStays) {
  SmallDisk disk(128);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Problem().toStdString();
  const QString picture = disk.File(QStringLiteral("window.png"));
  WriteBytes(picture, "old picture");
  disk.Fill();
  for (const QStringList& arguments :
       {QStringList{"--screenshot", picture}, QStringList{"--preview", "Ada", "--screenshot", picture}}) {
    const ProgramRun run = RunProgram(Program, arguments);
    ASSERT_FALSE(run.Crashed) << run.Error.toStdString();
    EXPECT_EQ(run.ExitCode, 1) << arguments.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(
        run.ErrorLines(),
        QStringList{QStringLiteral("quenary: cannot write the screenshot \"%1\": %2").arg(picture, NoSpace)});
    EXPECT_EQ(FileBytes(picture), QByteArray("old picture"));
  }
}

TEST(CommandLineFaults, AnEmptyScreenshotNameIsRefusedInsteadOfOpeningTheWindow) {
  const QList<QStringList> commands = {{"--screenshot", ""},
                                       {"--preview", "Ada", "--screenshot", ""},
                                       {"--screenshot-links", ""},
                                       {"--screenshot="}};
  for (const QStringList& arguments : commands) {
    const ProgramRun run = RunProgram(Program, arguments, {}, 60000);
    ASSERT_FALSE(run.Crashed) << "still running: " << arguments.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Error.startsWith(QLatin1String("quenary: --screenshot"))) << run.Error.toStdString();
  }
}

TEST(CommandLineFaults, NamesInMessagesReachTheTerminalEscapedAndCut) {
  ScratchDirectory scratch;
  const QString hostile = QStringLiteral("no\x1b]0;owned\x07such\x1b[2J");
  const QString longName = QString(300, QLatin1Char('n'));
  const QList<QStringList> commands = {
      {"--print", "Ada", "--pdf", scratch.File(hostile + QStringLiteral("/r.pdf"))},
      {"--print", "Ada", "--pdf", scratch.File(longName + QStringLiteral("/r.pdf"))},
      {"--print", "Ada", "--printer", hostile},
      {"--print", "Ada", "--printer", longName},
      {"--screenshot", scratch.File(hostile + QStringLiteral("/w.png"))}};
  for (const QStringList& arguments : commands) {
    const ProgramRun run = RunProgram(Program, arguments);
    const std::string shown = run.Error.toStdString();
    EXPECT_EQ(run.ExitCode, 1) << shown;
    EXPECT_EQ(run.ErrorLines().size(), 1) << shown;
    for (const QChar control : {QChar(0x1b), QChar(0x07)}) EXPECT_FALSE(run.Error.contains(control)) << shown;
    if (arguments.join(QString()).contains(hostile))
      EXPECT_TRUE(run.Error.contains(QLatin1String("\\x1b]0;owned\\x07"))) << shown;
    else
      EXPECT_TRUE(run.Error.contains(QChar(0x2026)) && run.Error.size() < 400) << shown;
  }
}

// A signal ends the program the way its own Exit would: loops end, the page folder goes, the status says why.
TEST(CommandLineFaults, StopSignalsEndTheWindowsInOrder) {
  ScratchDirectory scratch;
  const QString runtime = MakeRuntimeFolder(scratch.File(QStringLiteral("runtime")));
  const struct {
    QStringList Arguments;
    int Signal;
  } cases[] = {{{}, SIGTERM}, {{"--preview", "Ada"}, SIGINT}, {{"--entry", "Ada"}, SIGHUP}};
  for (const auto& [arguments, signal] : cases) {
    QProcess process;
    ASSERT_TRUE(StartProgram(process, Program, arguments, {{"XDG_RUNTIME_DIR", runtime}}));
    const bool preview = !arguments.isEmpty() && arguments.first() == QLatin1String("--preview");
    // The preview's page files show that its window is up; the main window needs only a moment.
    for (int wait = 0; preview && wait < 200 && FilesBelow(runtime).filter(QStringLiteral("PRN")).isEmpty();
         ++wait)
      QThread::msleep(50);
    QThread::msleep(500);
    ::kill(static_cast<pid_t>(process.processId()), signal);
    ASSERT_TRUE(process.waitForFinished(30000)) << "still running after signal " << signal;
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "ended by its own path, not by the signal";
    EXPECT_EQ(process.exitCode(), 128 + signal);
    EXPECT_TRUE(PageFoldersLeft(runtime).isEmpty()) << signal;
  }
}

}  // namespace
