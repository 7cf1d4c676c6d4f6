#include "ledger/LedgerCommandLine.h"
#include "platform/Printers.h"
#include "print/device/QV_PageFiles.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

bool NoPageFilesLeft() {
  return QDir(PageDirectory()).entryList({QStringLiteral("PRN*")}, QDir::Files).isEmpty();
}

TEST(LedgerCommandLine, TheLedgerOrTheLetterOpensPrintsOrIsPhotographedAndMistakesAreRefused) {
  EXPECT_EQ(ParseLedgerCommandLine({}).Action, TLedgerAction::Open);
  EXPECT_FALSE(ParseLedgerCommandLine({}).Letter);
  EXPECT_TRUE(ParseLedgerCommandLine({"--letter"}).Letter);
  const TLedgerCommandLine ledger =
      ParseLedgerCommandLine({"--ledger", "books.sqlite", "--print", "--pdf", "a.pdf"});
  EXPECT_EQ(ledger.Action, TLedgerAction::Print);
  EXPECT_FALSE(ledger.Letter);
  EXPECT_EQ(ledger.LedgerFile, QDir::current().absoluteFilePath(QStringLiteral("books.sqlite")));
  const TLedgerCommandLine sample = ParseLedgerCommandLine({"--make-sample", "s.sqlite", "--entries", "12"});
  EXPECT_EQ(sample.Action, TLedgerAction::MakeSample);
  EXPECT_EQ(sample.Entries, 12);
  EXPECT_EQ(ParseLedgerCommandLine({"--preview"}).Action, TLedgerAction::Preview);
  const TLedgerCommandLine print = ParseLedgerCommandLine({"--letter", "--print", "--pdf", "out.pdf"});
  EXPECT_EQ(print.Action, TLedgerAction::Print);
  EXPECT_EQ(print.PdfFile, QDir::current().absoluteFilePath(QStringLiteral("out.pdf")));
  EXPECT_EQ(print.Dpi, DefaultLetterDpi);
  EXPECT_EQ(ParseLedgerCommandLine({"--print", "--letter", "--pdf=/tmp/a.pdf", "--dpi", "150"}).Dpi, 150);
  EXPECT_EQ(ParseLedgerCommandLine({"--letter", "--print", "--printer", "Office"}).PrinterName,
            QStringLiteral("Office"));
  EXPECT_EQ(ParseLedgerCommandLine({"--letter", "--screenshot", "a.png"}).Action, TLedgerAction::Screenshot);
  EXPECT_EQ(ParseLedgerCommandLine({"--letter", "--help"}).Action, TLedgerAction::ShowUsage);
  EXPECT_TRUE(LedgerUsageText().contains(QLatin1String("opens the ledger")));

  const QList<QStringList> mistakes = {{"--print"},
                                       {"--letter", "--print"},
                                       {"--letter", "--print", "--pdf", "a.pdf", "--printer", "Office"},
                                       {"--letter", "--pdf", "a.pdf"},
                                       {"--letter", "--print", "--printer", "Office", "--dpi", "300"},
                                       {"--letter", "--print", "--pdf", "a.pdf", "--dpi", "71"},
                                       {"--letter", "--print", "--pdf", "a.pdf", "--screenshot", "a.png"},
                                       {"--print", "--pdf", "a.pdf", "--preview"},
                                       {"--letter", "--ledger", "a.sqlite"},
                                       {"--make-sample", "a.sqlite", "--print"},
                                       {"--entries", "5"},
                                       {"--make-sample", "a.sqlite", "--entries", "-1"},
                                       {"--letter", "--screenshot"},
                                       {"--letter", "--bogus\x1b[31m"},
                                       {"letter"}};
  for (const QStringList& arguments : mistakes) {
    const TLedgerCommandLine command = ParseLedgerCommandLine(arguments);
    EXPECT_EQ(command.Action, TLedgerAction::Invalid) << arguments.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(command.Error.contains(QLatin1Char('\x1b'))) << "nothing reaches the terminal as a command";
  }
}

TEST(LedgerCommandLine, APrintThatFailsLeavesNeitherPageFilesNorAPdfAndOneThatWorksWritesBothPages) {
  ScratchDirectory scratch;
  const QString unwritable = scratch.File(QStringLiteral("missing/folder/letter.pdf"));
  const QList<QStringList> failures = {{"--letter", "--print", "--printer", "No Such Printer"},
                                       {"--letter", "--print", "--pdf", unwritable}};
  for (const QStringList& arguments : failures) {
    EXPECT_EQ(RunLedgerCommand(ParseLedgerCommandLine(arguments)), LedgerExitFailure)
        << arguments.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(NoPageFilesLeft());
  }
  EXPECT_FALSE(QFile::exists(unwritable));
  Printer().RefreshPrinters();

  const QString made = scratch.File(QStringLiteral("letter.pdf"));
  EXPECT_EQ(RunLedgerCommand(ParseLedgerCommandLine({"--letter", "--print", "--pdf", made, "--dpi", "100"})),
            0);
  EXPECT_EQ(PdfReader(made).PageCount(), 2);
  EXPECT_TRUE(NoPageFilesLeft());
  Printer().RefreshPrinters();
}

TEST(LedgerCommandLine, TheScreenshotIsTheLetterWindowAtItsSize) {
  ScratchDirectory scratch;
  const QString file = scratch.File(QStringLiteral("letter.png"));
  EXPECT_EQ(RunLedgerCommand(ParseLedgerCommandLine({"--letter", "--screenshot", file})), 0);
  const QImage picture(file);
  EXPECT_EQ(picture.size(), QSize(696, 920));
  EXPECT_EQ(picture.pixelColor(300, 200), QColor(Qt::white)) << "the sheet";
  EXPECT_EQ(RunLedgerCommand(ParseLedgerCommandLine(
                {"--letter", "--screenshot", scratch.File(QStringLiteral("missing/folder/letter.png"))})),
            LedgerExitFailure);
}

}  // namespace
