// The ledger program's command line against a hostile environment: full disks, a job that fails part-way,
// outputs that are the ledger itself, selections of nothing, busy, damaged and unreadable ledgers, names a
// terminal would act on, signals. The program runs as a user's script would run it.
#include "tests/platform/PixelTestSupport.h"
#include "tests/platform/data/DataTestSupport.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <csignal>
#include <cups/cups.h>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString Program = QStringLiteral(QUENARY_LEDGER_PROGRAM);
const QString NoSpace = QString::fromLocal8Bit(std::strerror(ENOSPC));
const QByteArray OldPdf = QByteArrayLiteral("%PDF-1.4 last month's ledger\n%%EOF\n");

// A sample ledger made by the program itself.
QString MakeLedger(const QString& fileName, int entries) {
  const ProgramRun run =
      RunProgram(Program, {"--make-sample", fileName, "--entries", QString::number(entries)});
  EXPECT_EQ(run.ExitCode, 0) << run.Error.toStdString();
  return fileName;
}

QStringList PageFoldersLeft(const QString& runtime) {
  return FilesBelow(runtime).filter(QStringLiteral("process-"));
}

// One failure: not a crash, exit code, one line that holds the words, and no page folder left behind.
void ExpectOneLine(const ProgramRun& run, int exitCode, const QString& words,
                   const QString& runtime = QString()) {
  const std::string shown = run.Error.toStdString();
  ASSERT_FALSE(run.Crashed) << shown;
  EXPECT_EQ(run.ExitCode, exitCode) << shown;
  EXPECT_EQ(run.ErrorLines().size(), 1) << shown;
  EXPECT_TRUE(run.Error.startsWith(QLatin1String("quenary-ledger: ")) && run.Error.contains(words))
      << shown << " should say " << words.toStdString();
  if (!runtime.isEmpty()) {
    EXPECT_TRUE(PageFoldersLeft(runtime).isEmpty());
  }
}

class LedgerFaults : public ::testing::Test {
protected:
  QString Runtime() { return MakeRuntimeFolder(scratch_.File(QStringLiteral("runtime"))); }
  ScratchDirectory scratch_;
};

TEST_F(LedgerFaults, FullDisksAndAJobThatFailsPartWayAreToldAndLoseNothing) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("ledger.sqlite")), 1500);
  const QByteArray ledgerBytes = FileBytes(ledger);
  // A full page folder fails the first page; one that holds a page or two fails the job part-way.
  for (const int kibibytes : {256, 64, 128}) {
    SmallDisk disk(kibibytes);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Problem().toStdString();
    const QString runtime = MakeRuntimeFolder(disk.File(QStringLiteral("runtime")));
    if (kibibytes == 256) disk.Fill();
    const QString pdf = scratch_.File(QStringLiteral("ledger.pdf"));
    WriteBytes(pdf, OldPdf);
    const ProgramRun run =
        RunProgram(Program, {"--database", ledger, "--print", "--pdf", pdf}, {{"XDG_RUNTIME_DIR", runtime}});
    ExpectOneLine(run, 1, QStringLiteral("Cannot create file"), runtime);
    EXPECT_TRUE(run.Error.contains(NoSpace)) << kibibytes;
    EXPECT_EQ(FileBytes(pdf), OldPdf) << kibibytes;
  }
  SmallDisk disk(512);
  const QString pdf = disk.File(QStringLiteral("ledger.pdf"));
  WriteBytes(pdf, OldPdf);
  const QString picture = disk.File(QStringLiteral("ledger.png"));
  WriteBytes(picture, "old picture");
  disk.Fill();
  const QString runtime = Runtime();
  ExpectOneLine(
      RunProgram(Program, {"--database", ledger, "--print", "--pdf", pdf}, {{"XDG_RUNTIME_DIR", runtime}}), 1,
      QStringLiteral("Cannot write the PDF file \"%1\": %2").arg(pdf, NoSpace), runtime);
  ExpectOneLine(RunProgram(Program, {"--database", ledger, "--screenshot", picture}), 1,
                QStringLiteral("cannot write the screenshot \"%1\": %2").arg(picture, NoSpace));
  ExpectOneLine(RunProgram(Program, {"--make-sample", disk.File(QStringLiteral("new.sqlite"))}), 1, NoSpace);
  EXPECT_EQ(FileBytes(pdf), OldPdf);
  EXPECT_EQ(FileBytes(picture), QByteArray("old picture"));
  EXPECT_EQ(FilesBelow(disk.Path()), (QStringList{".filler", "ledger.pdf", "ledger.png"}))
      << "neither a half-made ledger nor a temporary file is left";
  EXPECT_EQ(FileBytes(ledger), ledgerBytes);
}

TEST_F(LedgerFaults, AnOutputThatIsTheLedgerItselfIsRefusedAndTheLedgerStays) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("l.db")), 30);
  const QByteArray before = FileBytes(ledger);
  ASSERT_EQ(
      ::link(QFile::encodeName(ledger).constData(), QFile::encodeName(scratch_.File("hard.db")).constData()),
      0);
  QFile::link(ledger, scratch_.File(QStringLiteral("soft.db")));
  const QString dotted = scratch_.Path() + QStringLiteral("/./l.db");
  const QList<QStringList> commands = {{"--database", ledger, "--print", "--pdf", ledger},
                                       {"--database", ledger, "--print", "--pdf", dotted},
                                       {"--database", ledger, "--print", "--pdf", scratch_.File("hard.db")},
                                       {"--database", scratch_.File("soft.db"), "--print", "--pdf", ledger},
                                       {"--database", ledger, "--print", "--pdf", ledger, "--pages", "1"},
                                       {"--database", ledger, "--screenshot", scratch_.File("hard.db")}};
  for (const QStringList& arguments : commands) {
    ExpectOneLine(RunProgram(Program, arguments), 2, QStringLiteral("is the ledger file itself"));
    EXPECT_EQ(FileBytes(ledger), before) << arguments.join(QLatin1Char(' ')).toStdString();
  }
}

TEST_F(LedgerFaults, ASelectionOfNoPageIsToldAndTheOldFileIsNotTakenForNew) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("ledger.sqlite")), 200);
  const QString pdf = scratch_.File(QStringLiteral("o.pdf"));
  WriteBytes(pdf, OldPdf);
  const QList<QStringList> selections = {{"--pages", "99"}, {"--pages", "0"}, {"--pages", "5-1"}};
  for (const QStringList& selection : selections) {
    ExpectOneLine(RunProgram(Program, QStringList{"--database", ledger, "--print", "--pdf", pdf} + selection),
                  2, QStringLiteral("selects none of the"));
    EXPECT_EQ(FileBytes(pdf), OldPdf);
  }
  const QString single = MakeLedger(scratch_.File(QStringLiteral("short.sqlite")), 3);
  ExpectOneLine(RunProgram(Program, {"--database", single, "--print", "--pdf", pdf, "--even"}), 2,
                QStringLiteral("--even selects none of the 1 pages"));
  EXPECT_EQ(FileBytes(pdf), OldPdf);
}

TEST_F(LedgerFaults, BusyDamagedAndUnreadableLedgersAreToldForWhatTheyAre) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("busy.sqlite")), 20);
  const QString pdf = scratch_.File(QStringLiteral("out.pdf"));
  {
    // Another program in the middle of a write holds the ledger for longer than the reader waits.
    QSqlDatabase writer =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-writer"));
    writer.setDatabaseName(ledger);
    ASSERT_TRUE(writer.open());
    QSqlQuery hold(writer);
    ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    ASSERT_TRUE(hold.exec(QStringLiteral("UPDATE ledger SET payee = 'Someone else' WHERE id = 1")));
    ExpectOneLine(RunProgram(Program, {"--database", ledger, "--print", "--pdf", pdf}), 1,
                  QStringLiteral("\"%1\" is busy: another program is writing to it").arg(ledger));
    hold.exec(QStringLiteral("ROLLBACK"));
    hold.finish();
    writer.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("other-writer"));

  // An entry that is no number, not-a-number and the infinities among them, is refused, never summed.
  struct Damage {
    const char* amount;
    const char* shown;
  };
  for (const Damage& damage : {Damage{"'abc'", "'abc'"}, Damage{"'NaN'", "'NaN'"}, Damage{"'inf'", "'inf'"},
                               Damage{"'-Infinity'", "'-Infinity'"},
                               Damage{"'12' || char(0) || ' 3'", "'12\\x00 3'"}, Damage{"9e999", nullptr}}) {
    const QString damaged = MakeLedger(scratch_.File(QStringLiteral("damaged.sqlite")), 20);
    {
      QSqlDatabase editor = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("editor"));
      editor.setDatabaseName(damaged);
      ASSERT_TRUE(editor.open());
      QSqlQuery(editor).exec(QStringLiteral("UPDATE ledger SET amount = %1 WHERE id = 7").arg(damage.amount));
      editor.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("editor"));
    const ProgramRun run = RunProgram(Program, {"--database", damaged, "--print", "--pdf", pdf},
                                      {{"XDG_RUNTIME_DIR", Runtime()}});
    // An infinity stored as a number already spoils the ledger's total, which its window shows.
    ExpectOneLine(run, 1,
                  damage.shown == nullptr
                      ? QStringLiteral("is not a valid floating point value")
                      : QStringLiteral("the query on \"%1\", record 7 (id 7), field \"amount\": %2 is not a "
                                       "valid floating point value")
                            .arg(damaged, QLatin1String(damage.shown)));
    EXPECT_FALSE(QFile::exists(pdf)) << damage.amount;
    QFile::remove(damaged);
  }

  // Amounts another program stored in a TEXT column would print, but their totals would not add up.
  const QString text = scratch_.File(QStringLiteral("text.sqlite"));
  {
    QSqlDatabase maker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
    maker.setDatabaseName(text);
    ASSERT_TRUE(maker.open());
    QSqlQuery(maker).exec(QStringLiteral(
        "CREATE TABLE ledger (id INTEGER PRIMARY KEY, posted DATE, payee TEXT, note TEXT, amount TEXT)"));
    QSqlQuery(maker).exec(
        QStringLiteral("INSERT INTO ledger VALUES (1, '2026-01-02', 'Aster', 'x', '12.50')"));
    maker.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("maker"));
  ExpectOneLine(RunProgram(Program, {"--database", text, "--print", "--pdf", pdf}), 2,
                QStringLiteral("is no ledger file: its column \"amount\" is declared as TEXT, so its amounts "
                               "could not be added up"));
  EXPECT_FALSE(QFile::exists(pdf));

  // Root reads every file, so the program runs as nobody there; the folder lets nobody in, the file does not.
  ScratchDirectory open;
  QFile::setPermissions(open.Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ExeOwner | QFileDevice::ExeOther |
                                         QFileDevice::ExeGroup);
  const QString locked = open.File(QStringLiteral("locked.sqlite"));
  QFile::copy(ledger, locked);
  QFile::setPermissions(locked, QFileDevice::Permissions());
  const bool root = ::geteuid() == 0;
  const QStringList arguments{"--database", locked, "--print", "--pdf",
                              open.File(QStringLiteral("never.pdf"))};
  const ProgramRun run =
      root ? RunProgram(QStringLiteral("setpriv"),
                        QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", Program} + arguments,
                        {{"HOME", QStringLiteral("/nonexistent")}, {"XDG_RUNTIME_DIR", QString()}})
           : RunProgram(Program, arguments);
  ExpectOneLine(
      run, 1,
      QStringLiteral("\"%1\" cannot be read: %2").arg(locked, QString::fromLocal8Bit(std::strerror(EACCES))));
}

TEST_F(LedgerFaults, NamesAndSelectionsInMessagesReachTheTerminalEscapedAndCut) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("ledger.sqlite")), 20);
  const QString hostile = QStringLiteral("\x1b]0;owned\x07\x1b[2J");
  const QString longName = QString(300, QLatin1Char('n'));
  const QList<QStringList> commands = {
      {"--database", scratch_.File(hostile), "--print", "--pdf", scratch_.File("a.pdf")},
      {"--database", scratch_.File(longName), "--preview"},
      {"--database", ledger, "--print", "--pdf", scratch_.File("a.pdf"), "--pages", "1" + hostile},
      {"--database", ledger, "--print", "--pdf", scratch_.File(hostile + "/a.pdf")},
      {"--make-sample", ledger + hostile.left(1) + QStringLiteral("/x/") + longName}};
  for (const QStringList& arguments : commands) {
    const ProgramRun run = RunProgram(Program, arguments, {{"XDG_RUNTIME_DIR", Runtime()}});
    const std::string shown = run.Error.toStdString();
    EXPECT_EQ(run.ErrorLines().size(), 1) << shown;
    EXPECT_NE(run.ExitCode, 0) << shown;
    for (const QChar control : {QChar(0x1b), QChar(0x07)}) EXPECT_FALSE(run.Error.contains(control)) << shown;
    if (arguments.join(QString()).contains(longName)) {
      EXPECT_TRUE(run.Error.contains(QChar(0x2026))) << shown;
    } else {
      EXPECT_TRUE(run.Error.contains(QLatin1String("\\x1b"))) << shown;
    }
  }
}

// A store that cannot take the job's settings does not stop the print: it is said on standard error, and the
// exit code says the print went out, so a script that retries on failure does not print it twice.
TEST_F(LedgerFaults, SettingsThatCannotBeSavedAreSaidAndThePrintCounts) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("ledger.sqlite")), 120);
  const QString config = scratch_.File(QStringLiteral("config"));
  QDir().mkpath(config + QStringLiteral("/Pagewick.Ini"));  // a folder where the store should be
  for (const QStringList& extra : {QStringList(), QStringList{"--odd"}}) {
    const QString pdf = scratch_.File(QStringLiteral("ledger.pdf"));
    QFile::remove(pdf);
    const ProgramRun run =
        RunProgram(Program, QStringList{"--database", ledger, "--print", "--pdf", pdf} + extra,
                   {{"XDG_CONFIG_HOME", config}});
    ExpectOneLine(run, 0, QStringLiteral("The settings of this print job were not saved"));
    EXPECT_EQ(PdfPageCount(pdf), extra.isEmpty() ? 3 : 2) << extra.join(QLatin1Char(' ')).toStdString();
  }
}

// A ledger whose table is a view without end, and one another program keeps busy: a stop signal ends the
// program at once, as everywhere else, instead of after the query (never) or the wait for the file.
TEST_F(LedgerFaults, AStopSignalEndsAQueryWithoutEndAndTheWaitForABusyLedger) {
  const QString endless = scratch_.File(QStringLiteral("endless.sqlite"));
  WriteDatabase(endless,
                {QStringLiteral("CREATE VIEW ledger AS WITH RECURSIVE r(id, posted, payee, note, amount) AS "
                                "(SELECT 1, '2026-01-01', 'p', 'n', 1.0 UNION ALL "
                                "SELECT id + 1, posted, payee, note, amount FROM r) SELECT * FROM r")});
  const QString busy = MakeLedger(scratch_.File(QStringLiteral("busy.sqlite")), 20);
  QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
  writer.setDatabaseName(busy);
  ASSERT_TRUE(writer.open());
  QSqlQuery hold(writer);
  ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
  for (const QString& ledger : {endless, busy}) {
    QProcess process;
    ASSERT_TRUE(
        StartProgram(process, Program,
                     {"--database", ledger, "--print", "--pdf", scratch_.File(QStringLiteral("o.pdf"))}));
    // Well into the query or the wait (which would last 5 s), also when the program starts slowly.
    QThread::msleep(3000);
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(60000)) << ledger.toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 128 + SIGTERM);
    // Told as an interruption, not as a file still busy once the wait ran out.
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
              QStringLiteral("quenary-ledger: interrupted by SIGTERM; the work in progress was dropped\n"));
  }
  hold.exec(QStringLiteral("ROLLBACK"));
  hold.finish();
  writer.close();
  writer = QSqlDatabase();
  QSqlDatabase::removeDatabase(QStringLiteral("holder"));
}

// A ledger whose writer was killed in the middle of a change, its journal left hot beside it: a program that
// only reads may not play that back, so the ledger is told to need recovery, and both files stay as they are.
TEST_F(LedgerFaults, ALedgerLeftWithAHotJournalIsToldToNeedRecoveryAndLeftAlone) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("changing.sqlite")), 3000);
  const QString crashed = scratch_.File(QStringLiteral("crashed.sqlite"));
  {
    // The files as a writer killed half-way leaves them: copied while its change is under way.
    QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("changer"));
    writer.setDatabaseName(ledger);
    ASSERT_TRUE(writer.open());
    QSqlQuery change(writer);
    ASSERT_TRUE(change.exec(QStringLiteral("PRAGMA cache_size = 1")));
    ASSERT_TRUE(change.exec(QStringLiteral("BEGIN")));
    ASSERT_TRUE(change.exec(QStringLiteral("UPDATE ledger SET note = note || ' changed'")));
    ASSERT_TRUE(QFile::copy(ledger, crashed));
    ASSERT_TRUE(QFile::copy(ledger + QStringLiteral("-journal"), crashed + QStringLiteral("-journal")));
    change.exec(QStringLiteral("ROLLBACK"));
    change.finish();
    writer.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("changer"));
  const QByteArray file = FileBytes(crashed);
  const QByteArray journal = FileBytes(crashed + QStringLiteral("-journal"));
  ASSERT_FALSE(journal.isEmpty());
  ExpectOneLine(RunProgram(Program, {"--database", crashed, "--print", "--pdf", scratch_.File("o.pdf")}), 1,
                QStringLiteral("\"%1\" needs recovery").arg(crashed));
  EXPECT_EQ(FileBytes(crashed), file);
  EXPECT_EQ(FileBytes(crashed + QStringLiteral("-journal")), journal);
}

// A queue whose printer is stopped takes the print and keeps it: that is how the print system works, and the
// print counts, but the user learns that it waits.
TEST_F(LedgerFaults, APrintToAStoppedQueueIsToldToWait) {
  const QString queue = qEnvironmentVariable("QUENARY_CUPS_STOPPED_PRINTER");
  if (queue.isEmpty())
    GTEST_SKIP() << "QUENARY_CUPS_STOPPED_PRINTER is not set; run under scripts/with-print-queue.sh";
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("ledger.sqlite")), 60);
  for (const QStringList& extra : {QStringList(), QStringList{"--even"}}) {
    const ProgramRun run =
        RunProgram(Program, QStringList{"--database", ledger, "--print", "--printer", queue} + extra);
    ExpectOneLine(run, 0,
                  QStringLiteral("The printer \"%1\" is stopped: the print waits in its queue until the "
                                 "printer is started again.")
                      .arg(queue));
  }
  // Nothing of it is ever printed.
  cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), CUPS_JOBID_ALL, 1);
}

// The page folder of a print, once it is there.
QString PageFolderOf(const QString& runtime) {
  const QStringList folders = PageFoldersLeft(runtime);
  return folders.isEmpty() ? QString() : runtime + QLatin1Char('/') + folders.first();
}

// Waits (up to a minute) until the page's file appears in the print's page folder; its path, or empty.
QString WhenPageAppears(const QString& runtime, int page) {
  const QString name = QString::asprintf("PRN%.3d.EMF", page);
  for (int wait = 0; wait < 60000; ++wait) {
    const QString folder = PageFolderOf(runtime);
    if (!folder.isEmpty() && QFileInfo::exists(folder + QLatin1Char('/') + name))
      return folder + QLatin1Char('/') + name;
    QThread::msleep(1);
  }
  return QString();
}

// A desktop tidying the runtime folder under a scripted print: the print fails naming the page, exit 1, and
// the old PDF keeps its name.
TEST_F(LedgerFaults, PagesLostUnderAPrintFailItNamingThePageAndNoPdfTakesTheName) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("long.sqlite")), 5000);
  const QString pdf = scratch_.File(QStringLiteral("ledger.pdf"));
  const ProgramRun whole = RunProgram(Program, {"--database", ledger, "--print", "--pdf", pdf});
  ASSERT_EQ(whole.ExitCode, 0) << whole.Error.toStdString();
  const int lastPage = PdfPageCount(pdf);
  WriteBytes(pdf, OldPdf);
  struct Case {
    const char* what;
    int page;
    bool wholeFolder;
    const char* words;
  };
  const Case cases[] = {
      // Removed as a desktop's tidy-up would, again and again until the folder itself is gone.
      {"the folder removed while pages are recorded", 10, true, "was removed while the job ran"},
      // Deleted as it appears, long before its turn comes to be played.
      {"the last page deleted while pages are played", lastPage, false, "does not exist"},
  };
  for (const Case& test : cases) {
    const QString runtime = Runtime();
    QProcess process;
    ASSERT_TRUE(StartProgram(process, Program, {"--database", ledger, "--print", "--pdf", pdf},
                             {{"XDG_RUNTIME_DIR", runtime}}));
    const QString page = WhenPageAppears(runtime, test.page);
    ASSERT_FALSE(page.isEmpty()) << test.what;
    if (test.wholeFolder) {
      const QString folder = QFileInfo(page).absolutePath();
      while (QFileInfo::exists(folder)) QDir(folder).removeRecursively();
    } else {
      QFile::remove(page);
    }
    ASSERT_TRUE(process.waitForFinished(60000));
    ProgramRun run;
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Crashed = process.exitStatus() != QProcess::NormalExit;
    run.Error = QString::fromUtf8(process.readAllStandardError());
    ExpectOneLine(run, 1, QLatin1String(test.words));
    EXPECT_TRUE(run.Error.contains(QRegularExpression(QStringLiteral("Page [0-9]+ "))))
        << test.what << ": " << run.Error.toStdString();
    if (!test.wholeFolder) {
      EXPECT_TRUE(run.Error.contains(QStringLiteral("Page %1 of %1 cannot be printed").arg(lastPage)))
          << run.Error.toStdString();
    }
    EXPECT_EQ(FileBytes(pdf), OldPdf) << test.what;
    EXPECT_EQ(FilesBelow(scratch_.Path()).filter(QStringLiteral("ledger.pdf.")), QStringList()) << test.what;
  }
}

// Waits (up to a minute) until the process holds a file open in the folder; false if it never does.
bool WhenWritingIn(pid_t process, const QString& folder) {
  const QString descriptors = QStringLiteral("/proc/%1/fd").arg(process);
  for (int wait = 0; wait < 60000; ++wait) {
    for (const QString& name : QDir(descriptors).entryList(QDir::AllEntries | QDir::System)) {
      if (QFile::symLinkTarget(descriptors + QLatin1Char('/') + name).startsWith(folder + QLatin1Char('/')))
        return true;
    }
    QThread::msleep(1);
  }
  return false;
}

// What a folder holds beside the file a run was to make (nothing may be left there, under any name).
QStringList BesideTheTarget(const QString& folder, const QString& name) {
  return FilesBelow(folder).filter(name + QLatin1Char('.'));
}

// A sample ledger that is stopped part-way is dropped at the next batch, said in one line, and leaves no
// file; one killed outright leaves nothing beside the user's files, and what it left in its own private
// folder goes with the next run.
TEST_F(LedgerFaults, ASampleStoppedPartWayLeavesNoFileAndSaysSo) {
  const QString folder = scratch_.File(QStringLiteral("samples"));
  QDir().mkpath(folder);
  const QString target = folder + QStringLiteral("/big.sqlite");
  struct Case {
    const char* what;
    int signal;
  };
  // A second stop signal ends the program as SIGKILL does; the first now takes effect within a batch.
  const Case cases[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}, {"SIGKILL", SIGKILL}};
  for (const Case& test : cases) {
    const QString runtime = Runtime();
    QProcess process;
    ASSERT_TRUE(StartProgram(process, Program, {"--make-sample", target, "--entries", "1000000"},
                             {{"XDG_RUNTIME_DIR", runtime}}));
    // Stopped once the sample is well under way in the program's own folder.
    for (int wait = 0; wait < 6000; ++wait) {
      const QStringList work = FilesBelow(runtime).filter(QStringLiteral("sample-ledger.sqlite"));
      if (!work.isEmpty() && QFileInfo(runtime + QLatin1Char('/') + work.first()).size() > 256 * 1024) break;
      QThread::msleep(10);
    }
    ::kill(static_cast<pid_t>(process.processId()), test.signal);
    ASSERT_TRUE(process.waitForFinished(60000)) << test.what;
    EXPECT_FALSE(QFile::exists(target)) << test.what;
    EXPECT_EQ(BesideTheTarget(folder, QStringLiteral("big.sqlite")), QStringList()) << test.what;
    if (test.signal != SIGKILL) {
      EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << test.what;
      EXPECT_EQ(process.exitCode(), 128 + test.signal) << test.what;
      const QString error = QString::fromUtf8(process.readAllStandardError());
      EXPECT_EQ(error, QStringLiteral("quenary-ledger: interrupted by %1; the work in progress was dropped\n")
                           .arg(QLatin1String(test.what)));
      EXPECT_TRUE(PageFoldersLeft(runtime).isEmpty()) << test.what;
    } else {
      // Ended by the signal itself: the half-made ledger is in the program's own folder alone, until the
      // next run there tidies it away.
      EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << test.what;
      const QString small = folder + QStringLiteral("/small.sqlite");
      const ProgramRun next =
          RunProgram(Program, {"--make-sample", small, "--entries", "10"}, {{"XDG_RUNTIME_DIR", runtime}});
      EXPECT_EQ(next.ExitCode, 0) << next.Error.toStdString();
      QFile::remove(small);
      EXPECT_TRUE(PageFoldersLeft(runtime).isEmpty()) << test.what;
    }
  }
}

// A print killed outright, while its pages are played into the PDF, leaves the old PDF and nothing beside it.
TEST_F(LedgerFaults, APrintKilledWhileThePdfIsWrittenLeavesNothingBesideIt) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("long.sqlite")), 5000);
  const QString folder = scratch_.File(QStringLiteral("out"));
  QDir().mkpath(folder);
  const QString pdf = folder + QStringLiteral("/ledger.pdf");
  ASSERT_EQ(RunProgram(Program, {"--database", ledger, "--print", "--pdf", pdf}).ExitCode, 0);
  const int lastPage = PdfPageCount(pdf);
  WriteBytes(pdf, OldPdf);
  // Killed while pages are recorded, and once the program has its new PDF open beside the old one (named or
  // not, the process holds a file in that folder): while the pages are played into it.
  for (const bool playing : {false, true}) {
    const QString runtime = Runtime();
    QProcess process;
    ASSERT_TRUE(StartProgram(process, Program, {"--database", ledger, "--print", "--pdf", pdf},
                             {{"XDG_RUNTIME_DIR", runtime}}));
    ASSERT_FALSE(WhenPageAppears(runtime, playing ? lastPage : 2).isEmpty());
    if (playing) {
      ASSERT_TRUE(WhenWritingIn(static_cast<pid_t>(process.processId()), folder));
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(FileBytes(pdf), OldPdf) << playing;
    EXPECT_EQ(FilesBelow(folder), QStringList{QStringLiteral("ledger.pdf")}) << playing;
  }
}

TEST_F(LedgerFaults, StopSignalsDropThePrintLeavingTheOldPdfAndNoPageFiles) {
  const QString ledger = MakeLedger(scratch_.File(QStringLiteral("long.sqlite")), 8000);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const QString runtime = Runtime();
    const QString pdf = scratch_.File(QStringLiteral("ledger.pdf"));
    WriteBytes(pdf, OldPdf);
    QProcess process;
    ASSERT_TRUE(StartProgram(process, Program, {"--database", ledger, "--print", "--pdf", pdf},
                             {{"XDG_RUNTIME_DIR", runtime}}));
    // Signalled while it prints: once its second page is written.
    for (int wait = 0; wait < 600 && FilesBelow(runtime).filter(QStringLiteral("PRN002")).isEmpty(); ++wait)
      QThread::msleep(50);
    ::kill(static_cast<pid_t>(process.processId()), signal);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "ended by its own path, not by the signal";
    EXPECT_EQ(process.exitCode(), 128 + signal);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .startsWith(QLatin1String("quenary-ledger: interrupted")));
    EXPECT_EQ(FileBytes(pdf), OldPdf) << signal;
    EXPECT_TRUE(PageFoldersLeft(runtime).isEmpty()) << signal;
    EXPECT_EQ(FilesBelow(scratch_.Path()).filter(QStringLiteral("ledger.pdf.")), QStringList()) << signal;
  }
}

}  // namespace
