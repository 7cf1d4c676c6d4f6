#include "ledger/Ledger.h"
#include "ledger/LedgerFile.h"
#include "platform/Printers.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBNavigator.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "print/device/QV_PageFiles.h"
#include "print/controls/Qv_grid.h"
#include "print/controls/Totals.h"
#include "print/engine/DBPrnWin.h"
#include "platform/Dialogs.h"
#include "tests/ledger/LedgerPrintout.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/platform/PrinterTestSupport.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"

#include <QSet>
#include <QLocale>
#include <QDate>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

class LedgerTest : public ::testing::Test {
protected:
  void SetUp() override {
    UseTestPrinter({TPrinter::PdfPrinterName()}, 0, 300, PdfFile());
    LedgerFile::MakeSample(LedgerPath(), 120);
  }
  void TearDown() override { Printer().RefreshPrinters(); }

  QString LedgerPath() const { return scratch_.File(QStringLiteral("ledger.sqlite")); }
  QString PdfFile() const { return scratch_.File(QStringLiteral("ledger.pdf")); }

  /** The amounts of the entries in their current order, as the printout formats them. */
  static QStringList Amounts(TDataSet& entries) {
    QStringList amounts;
    for (entries.First(); !entries.Eof(); entries.Next())
      amounts << FormatFloat(QStringLiteral("#,##0.00"),
                             entries.FieldByName(QStringLiteral("amount"))->AsFloat());
    return amounts;
  }

  /** The values of a field of the entries in their current order. */
  static QList<QVariant> Values(TDataSet& entries, const QString& field) {
    QList<QVariant> values;
    for (entries.First(); !entries.Eof(); entries.Next()) values << entries.FieldByName(field)->Value();
    return values;
  }

  /** The grid's amounts of every printed page, in print order. */
  QStringList PrintedAmounts() const {
    QStringList amounts;
    for (const LedgerPage& page : ReadLedgerPrintout(PdfFile())) amounts << page.Amounts;
    return amounts;
  }

  ScratchDirectory scratch_;
};

TEST_F(LedgerTest, ThePrintoutHoldsEveryEntryOnceInTheScreensOrderWithTotalsRightOnEveryPage) {
  TLedgerFrm ledger(LedgerPath());
  ledger.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&ledger));
  // A click on the left third of a title sorts by that column ascending, on the right third descending, in
  // the middle back to the file's order, as the user would click.
  const auto click = [&ledger](int column, int sixth) {
    QHeaderView& titles = ledger.DBGrid1->TitleBar();
    const QPoint point(titles.sectionViewportPosition(column) + titles.sectionSize(column) * sixth / 6,
                       ledger.DBGrid1->TitleRowHeight() / 2);
    QTest::mouseClick(titles.viewport(), Qt::LeftButton, {}, point);
  };
  const char* fields[] = {"posted", "payee", "note", "amount"};
  for (int column = 0; column < 4; ++column) {
    for (const int sixth : {1, 5, 3}) {
      const QString field = QString::fromLatin1(fields[column]);
      SCOPED_TRACE(QStringLiteral("%1, sixth %2").arg(field).arg(sixth).toStdString());
      click(column, sixth);
      // On screen: sorted by the column, or in the file's order (by the entries' identities).
      const QList<QVariant> values = Values(*ledger.Query1, sixth == 3 ? QStringLiteral("id") : field);
      for (qsizetype row = 1; row < values.size(); ++row) {
        const auto order = QVariant::compare(values[row - 1], values[row]);
        EXPECT_NE(order, sixth == 5 ? QPartialOrdering::Less : QPartialOrdering::Greater) << "row " << row;
      }
      ledger.Query1->SetRecNo(11);
      ledger.PrintLedger(poPrinter);
      EXPECT_EQ(ledger.Query1->RecNo(), 11) << "the screen stays on its entry";

      const QList<LedgerPage> pages = ReadLedgerPrintout(PdfFile());
      ASSERT_GE(pages.size(), 2);
      QStringList printed;
      for (qsizetype page = 0; page < pages.size(); ++page) {
        printed << pages[page].Amounts;
        EXPECT_EQ(pages[page].PageTotal, LedgerMoney(pages[page].Amounts)) << "page " << page + 1;
        EXPECT_EQ(pages[page].RunningTotal, LedgerMoney(printed)) << "page " << page + 1;
      }
      EXPECT_EQ(printed, Amounts(*ledger.Query1)) << "every entry once, in the order of the screen";
    }
  }
  EXPECT_TRUE(QDir(PageDirectory()).entryList({QStringLiteral("PRN*")}, QDir::Files).isEmpty());
  EXPECT_EQ(PdfReader(PdfFile()).Information(QStringLiteral("Title")), QStringLiteral("Quenary Ledger"))
      << "the PDF is titled as the ledger's heading";
}

// The outline holds the ledger and under it each month, leading to the row of the month's first entry.
TEST_F(LedgerTest, TheOutlineLeadsToEachMonthsFirstEntry) {
  const QString file = scratch_.File(QStringLiteral("months.sqlite"));
  LedgerFile::MakeSample(file, 400);
  TLedgerFrm ledger(file);
  ledger.PrintLedger(poPrinter);
  const PdfReader pdf(PdfFile());
  const QList<PdfOutlineEntry> outline = pdf.Outline();
  ASSERT_GE(outline.size(), 4);
  EXPECT_EQ(outline[0].Title, QStringLiteral("Quenary Ledger"));
  EXPECT_EQ(outline[0].Level, 0);
  EXPECT_EQ(outline[0].Page, 0);
  QSet<QString> months;
  for (int page = 0; page < pdf.PageCount(); ++page) {
    for (const PdfWord& word : pdf.Words(page)) {
      const QDate date = QDate::fromString(word.Text, Qt::ISODate);
      if (!date.isValid() || months.contains(QLocale().toString(date, QStringLiteral("MMMM yyyy")))) continue;
      const QString month = QLocale().toString(date, QStringLiteral("MMMM yyyy"));
      months.insert(month);
      SCOPED_TRACE(month.toStdString());
      const qsizetype index = months.size();
      ASSERT_LT(index, outline.size());
      EXPECT_EQ(outline[index].Title, month);
      EXPECT_EQ(outline[index].Level, 1);
      EXPECT_EQ(outline[index].Page, page);
      EXPECT_NEAR(outline[index].Top, word.Box.top(), 6) << "at the row of the month's first entry";
    }
  }
  EXPECT_EQ(outline.size(), months.size() + 1) << "one entry a month";
}

// A ledger over three pages reads as its heading and one table: the title row once, with the scope of its
// cells, and every entry a row of cells; the title rows repeated on later pages are the paper's.
TEST_F(LedgerTest, AThreePageLedgerReadsAsItsHeadingAndOneTableOfEveryEntry) {
  const QString file = scratch_.File(QStringLiteral("three.sqlite"));
  LedgerFile::MakeSample(file, 120);
  TLedgerFrm ledger(file);
  ledger.PrintLedger(poPrinter);
  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 3);
  EXPECT_FALSE(pdf.FindPhrase(1, QStringLiteral("Page 2 of 3")).isEmpty()) << pdf.Text(1).toStdString();
  EXPECT_EQ(TaggingProblems(PdfFile()), QString());
  const QStringList read = StructureText(PdfFile());
  ASSERT_GE(read.size(), 20);
  EXPECT_EQ(read.mid(0, 14), (QStringList{"Document", "Div", "H1 (block)", "\"Quenary Ledger\"",
                                          "Table (block)", "TR", "TH:", "/Scope /Column", "\"Date\"",
                                          "TH:", "/Scope /Column", "\"Payee\"", "TH:", "/Scope /Column"}));
  EXPECT_EQ(read.count(QStringLiteral("Table (block)")), 1);
  EXPECT_EQ(read.count(QStringLiteral("TH:")), 4);
  EXPECT_EQ(read.count(QStringLiteral("TR")), 121);
  EXPECT_EQ(read.count(QStringLiteral("TD")), 4 * 120);
  // The last entry is the table's last row, its amount the last cell.
  const qsizetype lastCell = read.lastIndexOf(QStringLiteral("TD"));
  const qsizetype table = read.indexOf(QStringLiteral("Table (block)"));
  EXPECT_GT(lastCell, table);
  EXPECT_FALSE(read.mid(table + 1, lastCell - table).join(' ').contains(QStringLiteral("P (block)")))
      << "no paragraph inside the table";
}

// A page holds the same entries whatever the resolution of the same paper: the rows' height comes from the
// paper, not from rounding at one resolution.
TEST_F(LedgerTest, TheSameLedgerBreaksAtTheSameEntriesAtEveryResolution) {
  TLedgerFrm ledger(LedgerPath());
  QList<QStringList> expected;
  for (const int dpi : {300, 72, 150, 600}) {
    SCOPED_TRACE(dpi);
    UseTestPrinter({TPrinter::PdfPrinterName()}, 0, dpi, PdfFile());
    ledger.PrintLedger(poPrinter);
    QList<QStringList> pages;
    for (const LedgerPage& page : ReadLedgerPrintout(PdfFile())) pages << page.Amounts;
    if (expected.isEmpty()) {
      ASSERT_GE(pages.size(), 3);
      expected = pages;
    }
    EXPECT_EQ(pages, expected);
  }
}

// The printed table ends with its last row: one right edge, nothing framed below the last entry, and the
// totals' values on the line of the words beside them.
TEST_F(LedgerTest, TheTableEndsAfterItsLastRowWithOneRightEdgeAndTotalsOnTheirWordsLine) {
  TLedgerFrm ledger(LedgerPath());
  ledger.PrintLedger(poPrinter);
  const PdfReader pdf(PdfFile());
  const QList<LedgerPage> pages = ReadLedgerPrintout(PdfFile());
  ASSERT_EQ(pdf.PageCount(), pages.size());
  constexpr double Resolution = 150;
  const double scale = Resolution / 72;
  double footerEnd = 0;
  for (int page = 0; page < pdf.PageCount(); ++page) {
    SCOPED_TRACE(page + 1);
    // The footer counts the pages, each recorded before the count was known, and ends where the others do.
    const QRectF footer =
        pdf.FindPhrase(page, QStringLiteral("Page %1 of %2").arg(page + 1).arg(pdf.PageCount()));
    ASSERT_FALSE(footer.isEmpty()) << pdf.Text(page).toStdString();
    if (page == 0) footerEnd = footer.right();
    EXPECT_NEAR(footer.right(), footerEnd, 0.5);
    const QImage image = pdf.Render(page, Resolution);
    const QRectF lastAmount = pages[page].AmountBoxes.last();
    const QRectF pageTotal = pdf.Find(page, QStringLiteral("Page"));
    ASSERT_FALSE(pageTotal.isEmpty());
    // Below the last entry's row line, down to the totals: no ink at all.
    const int clearFrom = static_cast<int>((lastAmount.bottom() + 6) * scale);
    const int clearTo = static_cast<int>((pageTotal.top() - 8) * scale);
    const QRect below(0, clearFrom, image.width(), std::max(0, clearTo - clearFrom));
    EXPECT_EQ(InkBounds(image, below), QRect()) << "ink between the last row and the totals";
    // Across the last row, right of its amount: one dark run, the table's right edge.
    const int y = static_cast<int>(lastAmount.center().y() * scale);
    int runs = 0;
    bool dark = false;
    for (int x = static_cast<int>(lastAmount.right() * scale) + 1; x < image.width(); ++x) {
      const bool here = qGray(image.pixel(x, y)) < 160;
      if (here && !dark) ++runs;
      dark = here;
    }
    EXPECT_EQ(runs, 1) << "right edges beside the last amount";
    // The value of the page's total stands on the line of its words.
    const QString value = pages[page].PageTotal;
    const QRectF valueBox = pdf.Find(page, value);
    ASSERT_FALSE(valueBox.isEmpty()) << value.toStdString();
    EXPECT_NEAR(valueBox.bottom(), pageTotal.bottom(), 1.0);
  }
}

// Keys as a user presses them, on a real X server: Tab leaves the grid after one press and goes round the
// navigator and the buttons back to it; the arrows move among the entries; Return and Escape there open and
// close nothing; Alt+P opens the print dialog.
TEST_F(LedgerTest, TabLeavesTheGridForTheButtonsArrowsMoveWithinItAndAltPOpensThePrintDialog) {
  if (!UnderVirtualX()) {
    RunCurrentTestUnderX();
    return;
  }
  TLedgerFrm ledger(LedgerPath());
  ledger.show();
  // Xvfb runs no window manager to hand the new window the keyboard.
  ledger.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&ledger));
  ledger.DBGrid1->setFocus(Qt::OtherFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), ledger.DBGrid1);
  const int entry = ledger.Query1->RecNo();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(ledger.Query1->RecNo(), entry + 1) << "Down moves to the next entry";
  QList<QWidget*> visited;
  for (int step = 0; step < 20; ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (QApplication::focusWidget() == ledger.DBGrid1) break;
    visited << QApplication::focusWidget();
  }
  EXPECT_EQ(QApplication::focusWidget(), ledger.DBGrid1) << "Tab comes round to the grid again";
  ASSERT_FALSE(visited.isEmpty()) << "Tab never left the grid";
  for (QWidget* button : {static_cast<QWidget*>(ledger.PrintBtn), static_cast<QWidget*>(ledger.PreviewBtn),
                          static_cast<QWidget*>(ledger.LetterBtn), static_cast<QWidget*>(ledger.CloseBtn)})
    EXPECT_TRUE(visited.contains(button)) << button->objectName().toStdString();
  EXPECT_TRUE(std::any_of(visited.begin(), visited.end(), [&ledger](QWidget* widget) {
    return ledger.DBNavigator1->isAncestorOf(widget);
  })) << "a navigator button takes the keyboard";

  QStringList opened;
  const ModalObserverScope answer([&opened](QWidget& window) {
    opened << QString::fromLatin1(window.metaObject()->className());
    if (auto* dialog = qobject_cast<QDialog*>(&window)) dialog->reject();
  });
  // Return and Escape on the list open and close nothing.
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape})
    QTest::keyClick(QApplication::focusWidget(), key);
  QTest::qWait(300);
  EXPECT_EQ(opened, QStringList());
  EXPECT_TRUE(ledger.isVisible());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
  // A mnemonic clicks its button a moment later, as the button shows itself pressed.
  for (int wait = 0; wait < 40 && opened.isEmpty(); ++wait) QTest::qWait(50);
  EXPECT_EQ(opened, QStringList{QStringLiteral("QPrintDialog")})
      << "the print dialog opened from the keyboard";
}

// On the screen the ledger says what it holds; the page's words and totals are for paper only.
TEST_F(LedgerTest, TheScreenShowsTheLedgersTotalAndThePaperItsPagesTotals) {
  TLedgerFrm ledger(LedgerPath());
  double all = 0;
  for (const QString& amount : Amounts(*ledger.Query1))
    all += QString(amount).remove(QLatin1Char(',')).toDouble();
  EXPECT_EQ(ledger.SummaryLabel->Caption(),
            QStringLiteral("120 entries, total %1").arg(FormatFloat(QStringLiteral("#,##0.00"), all)));
  EXPECT_TRUE(ledger.findChildren<TShowTotal*>().isEmpty()) << "no page words or totals on the screen";
  ledger.PrintLedger(poPrinter);
  const QString page = PdfReader(PdfFile()).Text(0);
  for (const char* words : {"Page total:", "Running total:", "Page 1"})
    EXPECT_TRUE(page.contains(QString::fromLatin1(words))) << words << " in " << page.toStdString();
  EXPECT_FALSE(page.contains(QStringLiteral("entries, total"))) << "the summary is the screen's";
}

// Counts of entries are grouped by thousands as the total beside them is.
TEST_F(LedgerTest, TheWindowsCountsOfEntriesAreGroupedByThousands) {
  const QString large = scratch_.File(QStringLiteral("large.sqlite"));
  LedgerFile::MakeSample(large, 1234);
  TLedgerFrm ledger(large);
  EXPECT_TRUE(ledger.SummaryLabel->Caption().startsWith(QStringLiteral("1,234 entries, total ")))
      << ledger.SummaryLabel->Caption().toStdString();
  ledger.Query1->Last();
  EXPECT_EQ(ledger.StatusLabel->Caption(), QStringLiteral("Entry 1,234 of 1,234"));
}

// Maximised or made small, the window's controls keep their places against its edges and the grid takes
// what is left; below its minimum size the window does not go.
TEST_F(LedgerTest, TheWindowLaysItselfOutAtAnySizeWithTheGridTakingTheRoom) {
  TLedgerFrm ledger(LedgerPath());
  ledger.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&ledger));
  const auto placed = [&ledger](const QWidget* control) {
    return QRect(control->mapTo(&ledger, QPoint(0, 0)), control->size());
  };
  const QSize startSize = ledger.size();
  const QRect startNavigator = placed(ledger.DBNavigator1);
  const QRect startClose = placed(ledger.CloseBtn);
  for (const QSize& size : {QSize(1600, 1000), QSize(1366, 728), QSize(300, 200)}) {
    SCOPED_TRACE(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
    ledger.resize(size);
    QCoreApplication::processEvents();
    const QSize shown = ledger.size();
    EXPECT_EQ(shown, size.expandedTo(ledger.minimumSize()));
    const QRect grid = placed(ledger.DBGrid1);
    const QRect navigator = placed(ledger.DBNavigator1);
    EXPECT_EQ(grid.left(), 8);
    EXPECT_EQ(shown.width() - 1 - grid.right(), 8) << "the grid takes the width";
    EXPECT_LT(grid.bottom(), placed(ledger.SummaryLabel).top());
    EXPECT_LT(placed(ledger.SummaryLabel).bottom(), navigator.top());
    EXPECT_GT(grid.height(), shown.height() - 160) << "the grid takes the height";
    EXPECT_EQ(shown.height() - navigator.bottom(), startSize.height() - startNavigator.bottom())
        << "the navigator stays at the bottom";
    EXPECT_EQ(shown.width() - placed(ledger.CloseBtn).right(), startSize.width() - startClose.right())
        << "Close stays at the right";
    EXPECT_LT(placed(ledger.LetterBtn).right(), placed(ledger.CloseBtn).left());
    EXPECT_LT(placed(ledger.StatusLabel).left(), shown.width());
    // The columns fill the grid where it is wider than they are: Payee and Note take the width.
    const QHeaderView& titles = ledger.DBGrid1->TitleBar();
    const int viewport = ledger.DBGrid1->viewport()->width();
    if (viewport > 700) {
      EXPECT_EQ(titles.length(), viewport) << "no empty grid beside the columns";
      EXPECT_GT(titles.sectionSize(1), 210);
      EXPECT_GT(titles.sectionSize(2), 290);
      EXPECT_EQ(titles.sectionSize(0), 90);
    }
  }
}

TEST_F(LedgerTest, TitleClicksAndReordersWaitWhileTheEntriesPrint) {
  TLedgerFrm ledger(LedgerPath());
  ledger.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&ledger));
  const QStringList before = Amounts(*ledger.Query1);
  const QStringList statement = ledger.Query1->SQL();
  ledger.Query1->First();
  // While the second page is made, the user clicks the Payee title and a handler tries to reorder.
  bool tried = false;
  ledger.DBPrintWin1->OnNewPage = [&](QObject*) {
    if (tried) return;
    tried = true;
    QHeaderView& titles = ledger.DBGrid1->TitleBar();
    QTest::mouseClick(titles.viewport(), Qt::LeftButton, {},
                      QPoint(titles.sectionViewportPosition(1) + 4, ledger.DBGrid1->TitleRowHeight() / 2));
    EXPECT_THROW(ledger.Query1->SetSQL({QStringLiteral("SELECT * FROM ledger ORDER BY payee")}),
                 EDatabaseError);
    EXPECT_THROW(ledger.Query1->Refresh(), EDatabaseError);
  };
  ledger.PrintLedger(poPrinter);
  ASSERT_TRUE(tried);
  EXPECT_EQ(ledger.Query1->SQL(), statement) << "the click sorted nothing";
  EXPECT_EQ(PrintedAmounts(), before) << "each entry once, in the order the job began with";
  ledger.Query1->Refresh();
  EXPECT_EQ(Amounts(*ledger.Query1), before) << "free again once the job is done";
}

TEST_F(LedgerTest, ThePrintDialogsCopiesPagesAndColourReachThePrintout) {
  TLedgerFrm ledger(LedgerPath());
  const ModalObserverScope answer([&](QWidget& window) {
    AnswerPrintDialog(window, {PdfFile(), 2, false, 2, 3, false, true});
  });
  ledger.PrintBtn->Click();
  const PdfReader pdf(PdfFile());
  QStringList pages;
  for (int page = 0; page < pdf.PageCount(); ++page)
    pages << QRegularExpression(QStringLiteral("Page (\\d+ of \\d+)")).match(pdf.Text(page)).captured(1);
  // A page printed on its own still counts the pages of the whole job.
  EXPECT_EQ(pages, (QStringList{"2 of 3", "2 of 3", "3 of 3", "3 of 3"})) << "pages 2 and 3, each twice";
  EXPECT_FALSE(Printer().Color());
}

TEST_F(LedgerTest, ASampleNeverReplacesAFileAndABadLedgerIsRefusedWithItsName) {
  EXPECT_THROW(LedgerFile::MakeSample(LedgerPath(), 5), Exception) << "the ledger made in SetUp stays";
  TTable table;
  table.SetDatabaseName(LedgerPath());
  table.SetTableName(LedgerFile::Table);
  table.Open();
  EXPECT_EQ(table.RecordCount(), 120);

  const QString notLedger = scratch_.File(QStringLiteral("notes.txt"));
  QFile file(notLedger);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a database");
  file.close();
  try {
    TLedgerFrm ledger(notLedger);
    ADD_FAILURE() << "a text file opened as a ledger";
  } catch (const Exception& error) {
    EXPECT_TRUE(error.Message().contains(notLedger)) << error.Message().toStdString();
  }
}

}  // namespace
