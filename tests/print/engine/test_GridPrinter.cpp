// The grid printer on real SQLite files: rows across pages, cell texts, sums and the totals control.
#include "platform/Grids.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBTables.h"
#include "platform/data/DatabaseWriter.h"
#include "platform/data/Fields.h"
#include "print/controls/Totals.h"
#include "print/engine/DBPrnWin.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/print/engine/EngineTestSupport.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace {

class GridPrintTest : public RendererJobTest {
protected:
  /** A table "items" of that many rows: name "item<n>", qty n, price n + 0.25. */
  void MakeItems(int rows, const QString& extraColumns = QString(), const QVariantList& extraValues = {}) {
    TDatabaseWriter writer(DatabaseFile());
    writer.Execute(
        QStringLiteral("CREATE TABLE items (id INTEGER PRIMARY KEY, name VARCHAR(20), qty INTEGER, "
                       "price FLOAT%1)")
            .arg(extraColumns.isEmpty() ? QString() : QStringLiteral(", ") + extraColumns));
    for (int row = 1; row <= rows; ++row) {
      QVariantList values{QStringLiteral("item%1").arg(row, 3, 10, QLatin1Char('0')), row, row + 0.25};
      values << extraValues;
      QString marks = QStringLiteral("?, ?, ?");
      for (int extra = 0; extra < extraValues.size(); ++extra) marks += QStringLiteral(", ?");
      QString names = QStringLiteral("name, qty, price");
      if (!extraColumns.isEmpty()) {
        for (const QString& column : extraColumns.split(QLatin1Char(',')))
          names += QStringLiteral(", ") + column.trimmed().section(QLatin1Char(' '), 0, 0);
      }
      writer.Execute(QStringLiteral("INSERT INTO items (%1) VALUES (%2)").arg(names, marks), values);
    }
    writer.Commit();
    table_.SetDatabaseName(DatabaseFile());
    table_.SetTableName(QStringLiteral("items"));
    table_.Open();
    source_.SetDataSet(&table_);
  }

  /** A sheet holding a grid over the table, the given screen height, and room below it. */
  TDBGrid* MakeGrid(int height) {
    sheet_ = Panel(QRect(0, 0, 600, height + 160), clWhite);
    auto* grid = new TDBGrid(sheet_);
    grid->SetBounds(0, 0, 600, height);
    grid->SetDataSource(&source_);
    grid->SetOptions(dgTitles | dgColLines | dgRowLines);
    grid->SetBorderStyle(bsNone);
    return grid;
  }

  TShowTotal* AddTotal(TDBGrid* grid, TTotals type, TShow showOn, int top) {
    auto* total = new TShowTotal(sheet_);
    total->SetBounds(400, top, 190, 20);
    total->SetTotalType(type);
    total->SetSourceGrid(grid);
    total->SetSourceField(QStringLiteral("QTY"));  // labels compare without regard to case
    total->SetShowOn(showOn);
    total->SetColor(clWhite);
    return total;
  }

  void PrintSheet() { PrintControlPages(sheet_); }

  /** The words of a page that match a pattern, top to bottom. */
  static QStringList WordsMatching(const PdfReader& pdf, int page, const QString& pattern) {
    QList<PdfWord> words;
    for (const PdfWord& word : pdf.Words(page)) {
      if (QRegularExpression(QStringLiteral("^") + pattern + QStringLiteral("$")).match(word.Text).hasMatch())
        words.append(word);
    }
    std::sort(words.begin(), words.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.Box.top() < b.Box.top(); });
    QStringList texts;
    for (const PdfWord& word : words) texts.append(word.Text);
    return texts;
  }

  QString DatabaseFile() const { return scratch_.File(QStringLiteral("items.sqlite")); }

  TTable table_;
  TDataSource source_;
  TPanel* sheet_ = nullptr;
};

// Whether a row fits is counted in rows of the exact pitch: a page that holds its rows exactly holds them
// whatever last digits one resolution computes, and one that lacks any part of a row does not.
TEST(GridRowFit, ARowFitsWhenItEndsAboveTheBottomAtEveryResolution) {
  const struct {
    double Top, Pitch;
    int Row;
    double Bottom;
    bool Fits;
  } cases[] = {
      {100, 16.5, 0, 116.5, true}, {100, 16.5, 1, 133.0, true}, {100, 16.5, 1, 132.9, false},
      {0, 0.1, 9, 1.0, true},      {0, 3.0 / 7, 6, 3.0, true},  {50, 12, 0, 61, false},
      {50, 12, 4, 1000, true},     {50, 0, 0, 1000, false},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(RowFits(test.Top, test.Pitch, test.Row, test.Bottom), test.Fits)
        << test.Top << " + (" << test.Row << " + 1) x " << test.Pitch << " against " << test.Bottom;
  }
  // The same paper at 72, 150, 300 and 600 dpi: 49 rows of a 9.75-point pitch fit a 480-point grid, a 50th
  // not.
  for (const int dpi : {72, 150, 300, 600}) {
    const double scale = dpi / 72.0;
    EXPECT_TRUE(RowFits(10 * scale, 9.75 * scale, 48, (10 + 49 * 9.75) * scale)) << dpi;
    EXPECT_FALSE(RowFits(10 * scale, 9.75 * scale, 49, (10 + 49 * 9.75) * scale)) << dpi;
  }
}

TEST_F(GridPrintTest, RowsRunOnOverPagesWholeOnceEachInOrderUnderRepeatedTitles) {
  MakeItems(50);
  TDBGrid* grid = MakeGrid(300);
  table_.SetRecNo(7);
  PrintSheet();
  const PdfReader pdf(PdfFile());
  ASSERT_GE(pdf.PageCount(), 3);
  QStringList printed;
  for (int page = 0; page < pdf.PageCount(); ++page) {
    EXPECT_FALSE(pdf.Find(page, QStringLiteral("name")).isEmpty()) << "titles on page " << page + 1;
    const QStringList names = WordsMatching(pdf, page, QStringLiteral("item\\d+"));
    EXPECT_FALSE(names.isEmpty()) << "page " << page + 1 << " has rows";
    printed << names;
  }
  QStringList expected;
  for (int row = 1; row <= 50; ++row) expected << QStringLiteral("item%1").arg(row, 3, 10, QLatin1Char('0'));
  EXPECT_EQ(printed, expected) << "no row lost, split or printed twice";
  EXPECT_EQ(table_.RecNo(), 7) << "the data set is back where it stood";
  EXPECT_FALSE(table_.ControlsDisabled()) << "its screen controls follow it again";
  EXPECT_TRUE(renderer_.TrackedControls().empty());
  EXPECT_TRUE(PageFilesLeft().isEmpty());
  (void)grid;
}

TEST_F(GridPrintTest, CellsAreFormattedByTheKindOfTheirField) {
  MakeItems(1, QStringLiteral("cost CURRENCY, notes MEMO, pic GRAPHIC, big INTEGER"),
            {1234.5, QStringLiteral("a long note"), QByteArray("\x89PNG"), 123456789});
  TDBGrid* grid = MakeGrid(120);
  dynamic_cast<TNumericField*>(table_.FieldByName(QStringLiteral("qty")))
      ->SetDisplayFormat(QStringLiteral("0000"));
  dynamic_cast<TFloatField*>(table_.FieldByName(QStringLiteral("price")))->SetCurrency(true);
  table_.FieldByName(QStringLiteral("name"))
      ->SetOnGetText([](const TField&, QString& text, bool displayText) {
        if (!displayText) text = QStringLiteral("renamed-") + text;
      });
  table_.FieldByName(QStringLiteral("id"))->SetVisible(false);
  grid->Columns().Clear();
  for (const char* field : {"name", "qty", "price", "cost", "notes", "pic", "big"}) {
    TColumn& column = grid->Columns().Add();
    column.SetFieldName(QString::fromLatin1(field));
    column.SetWidth(QByteArray(field) == "big" ? 30 : QByteArray(field) == "name" ? 120 : 80);
  }
  PrintSheet();
  const QString text = PdfReader(PdfFile()).Text(0);
  for (const QString& expected :
       {QStringLiteral("renamed-item001"), QStringLiteral("0001"), QStringLiteral("1.25"),
        QStringLiteral("(Memo)"), QStringLiteral("(Graphic)"),
        FormatMoney(1234.5).split(QLatin1Char(' ')).first()}) {
    EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in " << text.toStdString();
  }
  EXPECT_FALSE(text.contains(QStringLiteral("123456789"))) << "too wide for its column";
  EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("(^| )#+( |$)")))) << text.toStdString();
}

// As on the screen, a text too long for its column ends in "…" at the column's edge, however long it is: a
// payee of two million letters costs what the column shows.
TEST_F(GridPrintTest, ATextLongerThanItsColumnEndsInAnEllipsisAtTheColumnsEdge) {
  MakeItems(3, QStringLiteral("payee VARCHAR(40)"), {QString(2000000, QLatin1Char('W'))});
  TDBGrid* grid = MakeGrid(120);
  grid->SetOptions(dgTitles);
  grid->Columns().Clear();
  for (const auto& [field, width] : {std::pair{"payee", 60}, std::pair{"qty", 120}}) {
    TColumn& column = grid->Columns().Add();
    column.SetFieldName(QString::fromLatin1(field));
    column.SetWidth(width);
  }
  PrintSheet();
  // The qty column's left part, below the titles: its numbers stand at its right, so any ink here would be
  // the payee running over.
  const QImage page = PdfReader(PdfFile()).Render(0, Dpi);
  const int left = Dpi / 2 + 64 * Dpi / 96;
  const QRect qtyLeftPart(left, Dpi / 2 + 30 * Dpi / 96, 50 * Dpi / 96, 80 * Dpi / 96);
  EXPECT_TRUE(InkBounds(page, qtyLeftPart).isEmpty()) << "ink at " << InkBounds(page, qtyLeftPart).x();
  EXPECT_FALSE(
      InkBounds(page, QRect(Dpi / 2, qtyLeftPart.top(), 55 * Dpi / 96, qtyLeftPart.height())).isEmpty())
      << "the payee prints in its own column";
  const QStringList payees = WordsMatching(PdfReader(PdfFile()), 0, QStringLiteral("W+\u2026"));
  ASSERT_EQ(payees.size(), 3) << PdfReader(PdfFile()).Text(0).left(200).toStdString();
  EXPECT_LT(payees.first().size(), 12) << "what a column of 60 screen pixels holds";
}

// Only a text that may leave its column is clipped to it; the texts after it, in the next columns and rows,
// print whole in theirs.
TEST_F(GridPrintTest, TextsAfterOneClippedToItsColumnPrintWholeInTheirOwn) {
  MakeItems(3, QStringLiteral("payee VARCHAR(40)"), {QString(40, QLatin1Char('W'))});
  TDBGrid* grid = MakeGrid(120);
  grid->SetOptions(dgTitles);
  grid->Columns().Clear();
  for (const auto& [field, width] : {std::pair{"payee", 60}, std::pair{"name", 80}, std::pair{"qty", 60}}) {
    TColumn& column = grid->Columns().Add();
    column.SetFieldName(QString::fromLatin1(field));
    column.SetWidth(width);
  }
  PrintSheet();
  // Below the titles, each of the two later columns has ink of its own: a clip left on the payee's column
  // would hide them (the words would still be in the file, under the clip).
  const QImage page = PdfReader(PdfFile()).Render(0, Dpi);
  const auto column = [](int left, int width) {
    return QRect(Dpi / 2 + (left + 4) * Dpi / 96, Dpi / 2 + 30 * Dpi / 96, (width - 8) * Dpi / 96,
                 80 * Dpi / 96);
  };
  EXPECT_FALSE(InkBounds(page, column(60, 80)).isEmpty()) << "the names";
  EXPECT_FALSE(InkBounds(page, column(140, 60)).isEmpty()) << "the quantities";
}

TEST_F(GridPrintTest, TotalsFollowTheGridOnThePagesTheirRuleSelects) {
  MakeItems(40);
  TDBGrid* grid = MakeGrid(250);
  struct Case {
    TTotals type;
    TShow showOn;
  };
  const Case cases[] = {{tPageTotal, tAllPages},
                        {tAccTotal, tAllPages},
                        {tPageNumber, tAllButFirstAndLast},
                        {tText, tLastPage},
                        {tText, tFirstPage}};
  std::vector<TShowTotal*> totals;
  int top = 255;
  for (const Case& test : cases) {
    totals.push_back(AddTotal(grid, test.type, test.showOn, top));
    top += 25;
  }
  // Each fixed text says which one printed.
  totals[3]->SetText(QStringLiteral("last-only"));
  totals[4]->SetText(QStringLiteral("first-only"));
  table_.FieldByName(QStringLiteral("id"))->SetVisible(false);
  PrintSheet();
  const PdfReader pdf(PdfFile());
  ASSERT_GE(pdf.PageCount(), 3);
  const int last = pdf.PageCount() - 1;
  double running = 0;
  for (int page = 0; page <= last; ++page) {
    const QString text = pdf.Text(page);
    double pageSum = 0;
    for (const QString& name : WordsMatching(pdf, page, QStringLiteral("item\\d+")))
      pageSum += name.mid(4).toInt();
    running += pageSum;
    EXPECT_TRUE(text.contains(FormatFloat(QStringLiteral("#,##0.00"), pageSum)))
        << "page total, page " << page + 1;
    EXPECT_TRUE(text.contains(FormatFloat(QStringLiteral("#,##0.00"), running)))
        << "running total, page " << page + 1;
    EXPECT_EQ(text.contains(QStringLiteral("last-only")), page == last) << page + 1;
    EXPECT_EQ(text.contains(QStringLiteral("first-only")), page == 0) << page + 1;
    // The page number's box: right of the grid's columns' numbers, at its own height on the sheet.
    const QRectF box(36 + 400 * 0.75, 36 + (255 + 2 * 25) * 0.75, 190 * 0.75, 20 * 0.75);
    bool numbered = false;
    for (const PdfWord& word : pdf.Words(page))
      numbered |= box.contains(word.Box.center()) && word.Text == QString::number(page + 1);
    EXPECT_EQ(numbered, page != 0 && page != last) << "page number on " << page + 1;
  }
}

TEST_F(GridPrintTest, TotalsWithoutASourceOrAMatchingColumnPrintTheirFallbacks) {
  MakeItems(3);
  TDBGrid* grid = MakeGrid(200);
  TShowTotal* noGrid = AddTotal(nullptr, tPageTotal, tAllPages, 205);
  noGrid->SetText(QStringLiteral("no-source"));
  TShowTotal* noField = AddTotal(grid, tAccTotal, tAllPages, 230);
  noField->SetSourceField(QStringLiteral("nothing"));
  noField->SetDisplayFormat(QString());
  PrintSheet();
  const QString text = PdfReader(PdfFile()).Text(0);
  EXPECT_TRUE(text.contains(QStringLiteral("no-source")));
  EXPECT_TRUE(text.contains(QStringLiteral("0.00")));

  auto deletedGrid = std::make_unique<TDBGrid>(nullptr);
  noField->SetSourceGrid(deletedGrid.get());
  deletedGrid.reset();
  EXPECT_EQ(noField->SourceGrid(), nullptr) << "a removed source grid is forgotten";
}

TEST_F(GridPrintTest, AStringGridPrintsWhatFitsAndNeverAsksForAnotherPage) {
  sheet_ = Panel(QRect(0, 0, 400, 120), clWhite);
  auto* grid = new TStringGrid(sheet_);
  grid->SetBounds(0, 0, 400, 100);
  grid->SetColCount(2);
  grid->SetRowCount(40);
  for (int row = 0; row < 40; ++row)
    grid->SetCells(0, row, QStringLiteral("cell%1").arg(row, 2, 10, QLatin1Char('0')));
  PrintSheet();
  const PdfReader pdf(PdfFile());
  EXPECT_EQ(pdf.PageCount(), 1);
  const QStringList cells = WordsMatching(pdf, 0, QStringLiteral("cell\\d+"));
  ASSERT_FALSE(cells.isEmpty());
  EXPECT_EQ(cells.first(), QStringLiteral("cell00"));
  EXPECT_LT(cells.size(), 40) << "the rows below the grid's box are left off";
}

}  // namespace
