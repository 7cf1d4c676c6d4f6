#include "ledger/LedgerCommandLine.h"
#include "platform/Printers.h"
#include "print/device/QV_PageFiles.h"
#include "platform/SysUtils.h"
#include "platform/data/DBTables.h"
#include "platform/data/DatabaseWriter.h"
#include "platform/data/Fields.h"
#include "tests/ledger/LedgerPrintout.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WriterComparison.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QImage>
#include <QRegularExpression>
#include <QFile>
#include <algorithm>
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
      ParseLedgerCommandLine({"--database", "books.sqlite", "--print", "--pdf", "a.pdf"});
  EXPECT_EQ(ledger.Action, TLedgerAction::Print);
  EXPECT_FALSE(ledger.Letter);
  EXPECT_EQ(ledger.LedgerFile, QDir::current().absoluteFilePath(QStringLiteral("books.sqlite")));
  const TLedgerCommandLine sample = ParseLedgerCommandLine({"--make-sample", "s.sqlite", "--entries", "12"});
  EXPECT_EQ(sample.Action, TLedgerAction::MakeSample);
  EXPECT_EQ(sample.Entries, 12);
  EXPECT_EQ(ParseLedgerCommandLine({"--preview"}).Action, TLedgerAction::Preview);
  const TLedgerCommandLine print = ParseLedgerCommandLine({"--letter", "--print", "--pdf", "out.pdf"});
  EXPECT_EQ(print.Action, TLedgerAction::Print);
  EXPECT_EQ(print.Print.PdfFile, QDir::current().absoluteFilePath(QStringLiteral("out.pdf")));
  EXPECT_EQ(print.Print.Dpi, 600);
  EXPECT_EQ(ParseLedgerCommandLine({"--print", "--letter", "--pdf=/tmp/a.pdf", "--dpi", "150"}).Print.Dpi,
            150);
  EXPECT_EQ(ParseLedgerCommandLine({"--letter", "--print", "--printer", "Office"}).Print.PrinterName,
            QStringLiteral("Office"));
  EXPECT_EQ(ParseLedgerCommandLine({"--letter", "--screenshot", "a.png"}).Action, TLedgerAction::Screenshot);
  EXPECT_EQ(ParseLedgerCommandLine({"--screenshot", "a.png", "--size", "1366x768"}).ScreenshotSize,
            QSize(1366, 768));
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
                                       {"--letter", "--database", "a.sqlite"},
                                       {"--make-sample", "a.sqlite", "--print"},
                                       {"--make-sample", "a.sqlite", "--pages", "1"},
                                       {"--make-sample", "a.sqlite", "--copies", "2"},
                                       {"--entries", "5"},
                                       {"--make-sample", "a.sqlite", "--entries", "-1"},
                                       {"--letter", "--screenshot"},
                                       {"--screenshot", "a.png", "--size", "1366"},
                                       {"--screenshot", "a.png", "--size", "0x768"},
                                       {"--screenshot", "a.png", "--size", "1366x768x2"},
                                       {"--size", "800x600"},
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
  // The whole letter where the screen has room for it; the offscreen screen is 800 pixels high, so the
  // window takes what it leaves and the sheet scrolls.
  EXPECT_EQ(picture.width(), 696 + QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  EXPECT_EQ(picture.height(), QGuiApplication::primaryScreen()->availableGeometry().height() - 40);
  EXPECT_EQ(picture.pixelColor(300, 200), QColor(Qt::white)) << "the sheet";
  EXPECT_EQ(RunLedgerCommand(ParseLedgerCommandLine(
                {"--letter", "--screenshot", scratch.File(QStringLiteral("missing/folder/letter.png"))})),
            LedgerExitFailure);
}

}  // namespace

namespace {

// A ledger file made through the program's own command line.
QString MakeLedger(const ScratchDirectory& scratch, int entries) {
  const QString file = scratch.File(QStringLiteral("ledger.sqlite"));
  EXPECT_EQ(RunLedgerCommand(
                ParseLedgerCommandLine({"--make-sample", file, "--entries", QString::number(entries)})),
            0);
  return file;
}

QByteArray Contents(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The ledger prints as a ledger on any paper: the page's width and height used, nothing past its margins,
// every entry once with right totals, and the page number once.
TEST(LedgerCommandLine, TheLedgerFillsEveryPaperInEitherOrientationWithEveryEntryOnceAndRightTotals) {
  ScratchDirectory scratch;
  const QString ledger = MakeLedger(scratch, 250);
  TTable table;
  table.SetDatabaseName(ledger);
  table.SetTableName(QStringLiteral("ledger"));
  table.SetIndexFieldNames(QStringLiteral("posted"));
  table.Open();
  QStringList stored;
  for (table.First(); !table.Eof(); table.Next())
    stored << FormatFloat(QStringLiteral("#,##0.00"), table.FieldByName(QStringLiteral("amount"))->AsFloat());
  table.Close();

  const struct {
    QStringList Options;
    int RowsAtLeast;
  } papers[] = {{{"--paper", "A4"}, 40},
                {{"--paper", "Letter"}, 38},
                // A chosen orientation stays the printer's for the rest of the process.
                {{"--paper", "A4", "--landscape"}, 25},
                {{"--paper", "Letter", "--landscape"}, 25}};
  const QString pdfFile = scratch.File(QStringLiteral("ledger.pdf"));
  for (const auto& [options, rowsAtLeast] : papers) {
    SCOPED_TRACE(options.join(QLatin1Char(' ')).toStdString());
    ASSERT_EQ(RunLedgerCommand(ParseLedgerCommandLine(
                  QStringList{"--database", ledger, "--print", "--pdf", pdfFile, "--dpi", "150"} + options)),
              0);
    const QList<LedgerPage> pages = ReadLedgerPrintout(pdfFile);
    ASSERT_GE(pages.size(), 2);
    QStringList printed;
    for (qsizetype index = 0; index < pages.size(); ++index) {
      const LedgerPage& page = pages[index];
      SCOPED_TRACE(QStringLiteral("page %1").arg(index + 1).toStdString());
      // Half an inch is the job's border on every side.
      EXPECT_TRUE(QRectF(QPointF(35, 35), page.Size - QSizeF(70, 35)).contains(page.Ink))
          << "words within " << page.Size.width() << " x " << page.Size.height() << ", ink from "
          << page.Ink.left() << "," << page.Ink.top() << " to " << page.Ink.right() << ","
          << page.Ink.bottom();
      EXPECT_GT(page.Ink.right(), page.Size.width() - 72) << "the grid takes the page's width";
      if (index + 1 < pages.size()) {
        EXPECT_GE(page.Amounts.size(), rowsAtLeast);
      }
      for (const QRectF& amount : page.AmountBoxes)
        EXPECT_NEAR(amount.right(), page.AmountTitle.right(), 1.5) << "the title stands over its amounts";
      printed << page.Amounts;
      EXPECT_EQ(page.PageTotal, LedgerMoney(page.Amounts));
      EXPECT_EQ(page.RunningTotal, LedgerMoney(printed));
      EXPECT_EQ(page.Continued, index + 1 < pages.size());
      EXPECT_EQ(page.PageNumbers, QStringList{QString::number(index + 1)}) << "the page number once";
    }
    EXPECT_EQ(printed, stored) << "every entry once, in date order";
    Printer().RefreshPrinters();
  }
}

// The ledger and the Letter printed through the program's PDF writer are the pages Qt's writer makes of them
// (but for the footer's time of printing).
TEST(LedgerCommandLine, TheLedgerAndTheLetterPrintAlikeThroughBothPdfWriters) {
  ScratchDirectory scratch;
  const QString ledger = MakeLedger(scratch, 120);
  // A chosen orientation stays the printer's for the rest of the process: landscape comes last.
  const QList<QStringList> documents = {{"--database", ledger, "--print"},
                                        {"--letter", "--print"},
                                        {"--database", ledger, "--print", "--landscape"}};
  for (const QStringList& arguments : documents) {
    const QStringList problems = PrintThroughBothWriters(
        scratch.Path(),
        [&arguments](const QString& file) {
          EXPECT_EQ(RunLedgerCommand(ParseLedgerCommandLine(arguments + QStringList{"--pdf", file})), 0);
        },
        QStringLiteral("^[0-9]{1,2}:[0-9]{2}(:[0-9]{2})?$"));
    EXPECT_TRUE(problems.isEmpty()) << arguments.join(QLatin1Char(' ')).toStdString() << ":\n"
                                    << problems.join(QLatin1Char('\n')).toStdString();
  }
  Printer().RefreshPrinters();
}

// An archival, tagged print says so and looks as an ordinary, untagged one; qpdf finds both sound.
TEST(LedgerCommandLine, AnArchivalTaggedPrintLooksAsAnUntaggedOneAndBothAreSound) {
  ScratchDirectory scratch;
  const QString ledger = MakeLedger(scratch, 120);
  for (const QStringList& document :
       {QStringList{"--database", ledger, "--print"}, QStringList{"--letter", "--print"}}) {
    SCOPED_TRACE(document.join(QLatin1Char(' ')).toStdString());
    const QString ordinary = scratch.File(QStringLiteral("ordinary.pdf"));
    const QString archival = scratch.File(QStringLiteral("archival.pdf"));
    ASSERT_EQ(RunLedgerCommand(ParseLedgerCommandLine(
                  document + QStringList{"--pdf", ordinary, "--dpi", "150", "--untagged"})),
              0);
    ASSERT_EQ(RunLedgerCommand(ParseLedgerCommandLine(
                  document + QStringList{"--pdf", archival, "--dpi", "150", "--pdf-a"})),
              0);
    EXPECT_EQ(QpdfProblems(ordinary), QString());
    EXPECT_FALSE(QpdfDecoded(ordinary).contains("/StructTreeRoot"));
    EXPECT_EQ(TaggingProblems(archival), QString());
    QFile file(archival);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<pdfaid:part>2</pdfaid:part>"));
    const PdfReader before(ordinary);
    const PdfReader after(archival);
    ASSERT_EQ(after.PageCount(), before.PageCount());
    for (int page = 0; page < before.PageCount(); ++page) {
      // The footer's time of printing may have moved on a second; everything above it is the same.
      const QImage shown = before.Render(page, 50);
      const QRect aboveFooter(0, 0, shown.width(), shown.height() * 85 / 100);
      EXPECT_EQ(after.Render(page, 50).copy(aboveFooter), shown.copy(aboveFooter)) << "page " << page + 1;
    }
  }
}

// The print dialog's choices on the command line: copies collated or not, a page range, odd or even pages,
// paper and orientation, all into the one PDF file.
TEST(LedgerCommandLine, CopiesPagesAndPaperComeOutAsThePrintDialogWouldGiveThem) {
  ScratchDirectory scratch;
  const QString ledger = MakeLedger(scratch, 200);
  const QString pdfFile = scratch.File(QStringLiteral("pages.pdf"));
  const QRegularExpression number(QStringLiteral("Page (\\d+)"));
  const struct {
    QStringList Options;
    QStringList Pages;
  } cases[] = {{{"--pages", "1-3", "--copies", "2", "--collate"}, {"1", "2", "3", "1", "2", "3"}},
               {{"--pages", "1-3", "--copies", "2"}, {"1", "1", "2", "2", "3", "3"}},
               {{"--pages", "2-3"}, {"2", "3"}},
               {{"--pages", "1-4", "--odd", "--copies", "2"}, {"1", "1", "3", "3"}},
               {{"--pages", "1-4", "--odd", "--copies", "2", "--collate"}, {"1", "3", "1", "3"}},
               {{"--pages", "1,3-4", "--copies", "2", "--collate", "--paper", "Letter", "--landscape"},
                {"1", "3", "4", "1", "3", "4"}}};
  for (const auto& [options, expected] : cases) {
    SCOPED_TRACE(options.join(QLatin1Char(' ')).toStdString());
    ASSERT_EQ(RunLedgerCommand(ParseLedgerCommandLine(
                  QStringList{"--database", ledger, "--print", "--pdf", pdfFile, "--dpi", "100"} + options)),
              0);
    const PdfReader pdf(pdfFile);
    QStringList pages;
    for (int page = 0; page < pdf.PageCount(); ++page) pages << number.match(pdf.Text(page)).captured(1);
    EXPECT_EQ(pages, expected);
    // A further copy of a page adds no bookmarks: each leads to the page's first copy.
    QStringList titles;
    for (const PdfOutlineEntry& entry : pdf.Outline()) {
      titles << entry.Title;
      EXPECT_EQ(pages.indexOf(pages[entry.Page]), entry.Page) << entry.Title.toStdString();
    }
    EXPECT_FALSE(titles.isEmpty());
    EXPECT_EQ(titles.removeDuplicates(), 0) << titles.join(", ").toStdString();
  }
  const QSizeF letterLandscape = PdfPageSize(pdfFile);
  EXPECT_NEAR(letterLandscape.width(), 792, 0.5);
  EXPECT_NEAR(letterLandscape.height(), 612, 0.5);
  Printer().RefreshPrinters();

  const QString odd = scratch.File(QStringLiteral("odd.pdf"));
  ASSERT_EQ(
      RunLedgerCommand(ParseLedgerCommandLine({"--database", ledger, "--print", "--pdf", odd, "--odd"})), 0);
  EXPECT_EQ(number.match(PdfReader(odd).Text(1)).captured(1), QStringLiteral("3"));

  const QString bad = scratch.File(QStringLiteral("bad.pdf"));
  EXPECT_EQ(RunLedgerCommand(
                ParseLedgerCommandLine({"--database", ledger, "--print", "--pdf", bad, "--pages", "2 "})),
            LedgerExitUsage);
  EXPECT_FALSE(QFile::exists(bad));
  EXPECT_TRUE(NoPageFilesLeft());
}

TEST(LedgerCommandLine, AFileThatIsNoLedgerIsRefusedWithItsNameAndLeftAsItIs) {
  ScratchDirectory scratch;
  const QString other = scratch.File(QStringLiteral("other.sqlite"));
  {
    TDatabaseWriter writer(other);
    writer.Execute(QStringLiteral("CREATE TABLE ledger (id INTEGER PRIMARY KEY, posted DATE, payee TEXT)"));
    writer.Commit();
  }
  const QString text = scratch.File(QStringLiteral("notes.txt"));
  {
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("shopping: bread, milk");
  }
  for (const QString& file : {other, text, scratch.File(QStringLiteral("missing.sqlite"))}) {
    const QByteArray before = Contents(file);
    const QString pdfFile = scratch.File(QStringLiteral("out.pdf"));
    EXPECT_EQ(RunLedgerCommand(ParseLedgerCommandLine({"--database", file, "--print", "--pdf", pdfFile})),
              LedgerExitUsage)
        << file.toStdString();
    EXPECT_EQ(Contents(file), before) << "never modified";
    EXPECT_FALSE(QFile::exists(pdfFile));
  }
  EXPECT_FALSE(QFile::exists(scratch.File(QStringLiteral("missing.sqlite")))) << "never made";
}

}  // namespace
