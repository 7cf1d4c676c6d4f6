#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "print/controls/Qv_grid.h"
#include "tests/platform/data/DataTestSupport.h"
#include "tests/print/controls/ControlTestSupport.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QTest>
#include <functional>

namespace {

// A sortable grid over a real ledger file, each column 100 pixels wide, driven with the mouse.
class SortGridTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteDatabase(file_, {
                             QStringLiteral("CREATE TABLE ledger(id INTEGER PRIMARY KEY, payee VARCHAR(40), "
                                            "amount CURRENCY, note MEMO, receipt GRAPHIC)"),
                             QStringLiteral("INSERT INTO ledger VALUES(1, 'Carol', 700, "
                                            "'rent for the month of May and the first week of June', x'%1')")
                                 .arg(MagentaPngHex()),
                             QStringLiteral("INSERT INTO ledger VALUES(2, 'Bob', 12.5, NULL, x'0102')"),
                             QStringLiteral("INSERT INTO ledger VALUES(3, 'Alice', 3, 'tea', NULL)"),
                             QStringLiteral("INSERT INTO ledger VALUES(4, 'Dave', 45, NULL, NULL)"),
                             QStringLiteral("CREATE INDEX by_payee ON ledger(payee)"),
                         });
    source_ = new TDataSource(&form_);
    grid_ = new TQV_SortGrid(&form_);
    grid_->SetBounds(0, 0, 700, 300);
    grid_->SetDataSource(source_);
    grid_->OnBeforeSort = [this](QObject* sender) {
      events_.append(sender == grid_ ? QStringLiteral("before") : QString());
    };
    grid_->OnAfterSort = [this](QObject* sender) {
      events_.append(sender == grid_ ? QStringLiteral("after") : QString());
    };
    grid_->OnTitleDblClicked = [this](QObject* sender) {
      events_.append(sender == grid_ ? QStringLiteral("title") : QString());
    };
    form_.SetClientSize(700, 300);
  }

  void Show(TDataSet* dataSet) {
    source_->SetDataSet(dataSet);
    dataSet->Open();
    for (int column = 0; column < grid_->Columns().Count(); ++column)
      grid_->Columns().Items(column).SetWidth(100);
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  TQuery* ShowQuery(const QStringList& sql) {
    auto* query = new TQuery(&form_);
    query->SetDatabaseName(file_);
    query->SetSQL(sql);
    Show(query);
    return query;
  }
  TTable* ShowTable() {
    auto* table = new TTable(&form_);
    table->SetDatabaseName(file_);
    table->SetTableName(QStringLiteral("ledger"));
    Show(table);
    return table;
  }

  QWidget* Titles() { return grid_->TitleBar().viewport(); }
  /** A point of a column's title, a fraction of its width from its left edge, in title bar coordinates. */
  QPoint Title(int column, double fraction) {
    const QHeaderView& titles = grid_->TitleBar();
    return QPoint(titles.sectionViewportPosition(column) + qRound(fraction * titles.sectionSize(column)),
                  grid_->TitleRowHeight() / 2);
  }
  void Click(QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(Titles(), button, {}, point);
  }
  /** Clicks the point and gives the texts of the message boxes it showed ("error: " marks an error box). */
  QStringList MessagesOfClick(QPoint point) {
    QStringList texts;
    const ModalObserverScope answer([&](QWidget& window) {
      if (auto* box = qobject_cast<QMessageBox*>(&window)) {
        texts.append((box->icon() == QMessageBox::Information ? QString() : QStringLiteral("error: ")) +
                     box->text());
        box->accept();
      }
    });
    Click(point);
    return texts;
  }
  /** The column as the grid shows it, from the top row down. */
  QStringList Shown(int column) {
    QStringList values;
    for (int row = 0; row < grid_->model()->rowCount(); ++row)
      values.append(grid_->model()->data(grid_->model()->index(row, column)).toString());
    return values;
  }

  ScratchDirectory directory_;
  QString file_ = directory_.File(QStringLiteral("ledger.db"));
  TForm form_;
  TDataSource* source_ = nullptr;
  TQV_SortGrid* grid_ = nullptr;
  QStringList events_;
};

const QStringList ById = {QStringLiteral("Carol"), QStringLiteral("Bob"), QStringLiteral("Alice"),
                          QStringLiteral("Dave")};
const QStringList ByPayee = {QStringLiteral("Alice"), QStringLiteral("Bob"), QStringLiteral("Carol"),
                             QStringLiteral("Dave")};
const QStringList ByPayeeDown = {QStringLiteral("Dave"), QStringLiteral("Carol"), QStringLiteral("Bob"),
                                 QStringLiteral("Alice")};

TEST_F(SortGridTest, ATitleClickSortsTheQueryByItsZoneAndTheEdgesLeaveItAlone) {
  const QString select = QStringLiteral("SELECT id, payee, amount FROM ledger ");
  const QStringList original = {select + QStringLiteral("ORDER BY id")};
  struct Case {
    double fraction;
    QStringList sql;
    QStringList shown;
  };
  const Case cases[] = {
      {0.2, {select, QStringLiteral("Order by payee ASCENDING ")}, ByPayee},
      {0.8, {select, QStringLiteral("Order by payee DESCENDING ")}, ByPayeeDown},
      {0.5, {select}, ById},
      {0.05, original, ById},
      {0.97, original, ById},
  };
  TQuery* query = ShowQuery(original);
  for (const Case& test : cases) {
    query->SetSQL(original);
    query->Open();
    events_.clear();
    Click(Title(1, test.fraction));
    EXPECT_EQ(query->SQL(), test.sql) << test.fraction;
    EXPECT_TRUE(query->Active());
    EXPECT_EQ(Shown(1), test.shown) << test.fraction;
    const bool sorts = test.sql != original;
    EXPECT_EQ(events_,
              sorts ? QStringList({QStringLiteral("before"), QStringLiteral("after")}) : QStringList())
        << test.fraction;
    if (sorts) {
      EXPECT_EQ(grid_->SelectedIndex(), 1);
    }
    EXPECT_FALSE(grid_->Sorting());
  }
}

TEST_F(SortGridTest, TheRewriteReplacesAppendsOrRemovesTheOrderingClause) {
  struct Case {
    const char* what;
    QStringList lines;
    TTitleZone zone;
    QStringList expected;
  };
  const Case cases[] = {
      {"the text before the clause stays as its own line",
       {QStringLiteral("SELECT * FROM ledger ORDER BY amount DESC")},
       tzAscending,
       {QStringLiteral("SELECT * FROM ledger "), QStringLiteral("Order by B ASCENDING ")}},
      {"a clause on a line of its own is replaced in place",
       {QStringLiteral("SELECT *"), QStringLiteral("order by id"), QStringLiteral("LIMIT 5")},
       tzDescending,
       {QStringLiteral("SELECT *"), QStringLiteral("Order by B DESCENDING "), QStringLiteral("LIMIT 5")}},
      {"without a clause one is appended, empty lines dropped",
       {QStringLiteral("SELECT *"), QString(), QStringLiteral("FROM ledger")},
       tzDescending,
       {QStringLiteral("SELECT *"), QStringLiteral("FROM ledger"), QStringLiteral("Order by B DESCENDING ")}},
      {"the middle zone removes the clause",
       {QStringLiteral("SELECT * FROM ledger Order By id")},
       tzUnsorted,
       {QStringLiteral("SELECT * FROM ledger ")}},
      {"the middle zone leaves a query without a clause as it was",
       {QStringLiteral("SELECT *"), QStringLiteral("FROM ledger")},
       tzUnsorted,
       {QStringLiteral("SELECT *"), QStringLiteral("FROM ledger")}},
  };
  for (const Case& test : cases)
    EXPECT_EQ(RewriteOrderBy(test.lines, QStringLiteral("B"), test.zone), test.expected) << test.what;
}

TEST_F(SortGridTest, FieldsAQueryCannotSortOnAreRefusedAndTheQueryStays) {
  const QStringList sql = {QStringLiteral(
      "SELECT id, payee AS \"pay ee\", note, receipt, payee AS \"payee--\", amount FROM ledger")};
  TQuery* query = ShowQuery(sql);
  query->FieldByName(QStringLiteral("id"))->SetCalculated(true);
  const QString messages[] = {
      QStringLiteral("Cannot sort on a calculated field"),
      QStringLiteral("Cannot sort on a field that contains spaces"),
      QStringLiteral("Cannot sort on a TMemoField"),
      QStringLiteral("Cannot sort on a TGraphicField"),
      QStringLiteral("Cannot sort on a field whose name is not a plain identifier"),
  };
  for (int column = 0; column < 5; ++column) {
    EXPECT_EQ(MessagesOfClick(Title(column, 0.2)), QStringList({messages[column]}));
    EXPECT_EQ(query->SQL(), sql);
    EXPECT_TRUE(query->Active());
    EXPECT_TRUE(events_.isEmpty()) << "a refused sort fires no event";
    EXPECT_FALSE(grid_->Sorting());
  }
  Click(Title(5, 0.8));
  EXPECT_EQ(query->SQL().last(), QStringLiteral("Order by amount DESCENDING ")) << "the grid is idle again";
}

TEST_F(SortGridTest, AQueryTheRewriteBreaksIsPutBackAndTheErrorTold) {
  // The ordering words inside the quotes are taken for the clause, and the rewrite cuts the text in two.
  const QStringList sql = {QStringLiteral("SELECT id, payee FROM ledger WHERE payee <> 'x ORDER BY y'")};
  TQuery* query = ShowQuery(sql);
  const QStringList rows = Shown(1);
  const QStringList shown = MessagesOfClick(Title(1, 0.2));
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown.front().startsWith(QStringLiteral("error: ")) &&
              shown.front().contains(QStringLiteral("unrecognized token")))
      << shown.front().toStdString();
  EXPECT_EQ(query->SQL(), sql);
  EXPECT_TRUE(query->Active());
  EXPECT_EQ(Shown(1), rows);
  EXPECT_EQ(rows.size(), 4);
  EXPECT_EQ(events_, QStringList({QStringLiteral("before"), QStringLiteral("after")}));
  EXPECT_FALSE(grid_->Sorting());
}

TEST_F(SortGridTest, ATableSortsByItsIndexWhateverTheZoneOrSaysThereIsNone) {
  TTable* table = ShowTable();
  for (int column = 0; column < grid_->Columns().Count(); ++column)
    grid_->Columns().Items(column).SetWidth(250);
  grid_->SetLeftCol(1);
  ASSERT_EQ(grid_->LeftCol(), 1);
  EXPECT_EQ(MessagesOfClick(Title(2, 0.8)),
            QStringList({QStringLiteral("Index for Field amount does not exist")}));
  EXPECT_EQ(Shown(1), ById);
  EXPECT_TRUE(MessagesOfClick(Title(1, 0.8)).isEmpty());
  EXPECT_EQ(table->IndexFieldNames(), QStringLiteral("payee"));
  EXPECT_EQ(Shown(1), ByPayee) << "the index's own order, whatever the zone";
  EXPECT_EQ(grid_->LeftCol(), 1) << "the view stays where it was";
  EXPECT_EQ(grid_->SelectedIndex(), 1);
  EXPECT_TRUE(events_.isEmpty()) << "a table fires no sort events";
}

TEST_F(SortGridTest, OnlyAPressAndReleaseAtOnePointSorts) {
  const QStringList sql = {QStringLiteral("SELECT id, payee FROM ledger")};
  TQuery* query = ShowQuery(sql);
  const QPoint here = Title(1, 0.2);
  struct Case {
    const char* what;
    std::function<void()> mouse;
  };
  const Case cases[] = {
      {"released elsewhere",
       [&] {
         QTest::mousePress(Titles(), Qt::LeftButton, {}, here);
         QTest::mouseRelease(Titles(), Qt::LeftButton, {}, here + QPoint(4, 0));
       }},
      {"pressed again before the release",
       [&] {
         QTest::mousePress(Titles(), Qt::LeftButton, {}, here);
         QTest::mousePress(Titles(), Qt::RightButton, {}, here);
         QTest::mouseRelease(Titles(), Qt::RightButton, {}, here);
         QTest::mouseRelease(Titles(), Qt::LeftButton, {}, here);
       }},
      {"the right button", [&] { Click(here, Qt::RightButton); }},
      {"sorting not allowed",
       [&] {
         grid_->AllowSort = false;
         Click(here);
         grid_->AllowSort = true;
       }},
  };
  for (const Case& test : cases) {
    test.mouse();
    EXPECT_EQ(query->SQL(), sql) << test.what;
    EXPECT_FALSE(grid_->TitlePressed()) << test.what;
  }
  Click(here);
  EXPECT_EQ(Shown(1), ByPayee) << "a plain click sorts after all of them";
}

TEST_F(SortGridTest, DoubleClicksOnTheTitleRowAloneAreTold) {
  ShowTable();
  QTest::mouseDClick(grid_->viewport(), Qt::LeftButton, {}, QPoint(50, 5));
  EXPECT_TRUE(events_.isEmpty()) << "a cell";
  QTest::mouseDClick(Titles(), Qt::LeftButton, {}, Title(0, 0.5));
  EXPECT_EQ(events_, QStringList({QStringLiteral("title")}));
}

TEST_F(SortGridTest, TitlesLookPressedWhileTheMouseIsHeldOnThem) {
  ShowTable();
  const QRect inside(Title(1, 0.05).x(), 2, 90, grid_->TitleRowHeight() - 6);
  const QImage before = Titles()->grab().toImage();
  QTest::mousePress(grid_->viewport(), Qt::LeftButton, {}, QPoint(50, 5));
  EXPECT_EQ(Titles()->grab().toImage(), before) << "a press on a cell";
  QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, QPoint(50, 5));
  QTest::mousePress(Titles(), Qt::LeftButton, {}, Title(1, 0.5));
  const QImage pressed = Titles()->grab().toImage();
  QTest::mouseRelease(Titles(), Qt::LeftButton, {}, Title(1, 0.5));
  EXPECT_NE(pressed.copy(inside), before.copy(inside));
  EXPECT_EQ(pressed.copy(inside.translated(1, 1)), before.copy(inside)) << "one pixel right and down";
}

TEST_F(SortGridTest, EachZoneShowsItsOwnSharpCursorAndBordersKeepTheResizeCursor) {
  ShowTable();
  const TTitleZone zones[] = {tzAscending, tzUnsorted, tzDescending};
  const double fractions[] = {0.2, 0.5, 0.8};
  std::vector<QImage> pictures;
  for (int index = 0; index < 3; ++index) {
    QTest::mouseMove(Titles(), Title(1, fractions[index]));
    ASSERT_TRUE(Titles()->testAttribute(Qt::WA_SetCursor));
    const QCursor expected = grid_->TitleCursor(zones[index], Titles()->devicePixelRatioF());
    EXPECT_EQ(Titles()->cursor().pixmap().cacheKey(), expected.pixmap().cacheKey());
    const QImage drawn = grid_->TitleCursor(zones[index], 2.0).pixmap().toImage();
    EXPECT_EQ(drawn.size(), QSize(64, 64)) << "drawn at twice the pixels for a screen of scale 2";
    EXPECT_FALSE(ColourBounds(drawn, Qt::black).isNull());
    pictures.push_back(drawn);
  }
  EXPECT_TRUE(pictures[0] != pictures[1] && pictures[1] != pictures[2] && pictures[0] != pictures[2]);
  // Right of the middle of a narrow title, yet on the border the title bar drags.
  grid_->Columns().Items(1).SetWidth(30);
  QTest::mouseMove(Titles(), Title(1, 28.0 / 30));
  ASSERT_EQ(grid_->ZoneAt(grid_->IndicatorWidth() + Title(1, 28.0 / 30).x()), tzDescending);
  EXPECT_FALSE(Titles()->testAttribute(Qt::WA_SetCursor)) << "the resize cursor stays";
  EXPECT_EQ(grid_->TitleBar().cursor().shape(), Qt::SplitHCursor);
  QTest::mouseMove(Titles(), Title(2, 0.5));
  grid_->AllowSort = false;
  QTest::mouseMove(Titles(), Title(1, 0.2));
  EXPECT_FALSE(Titles()->testAttribute(Qt::WA_SetCursor)) << "a grid that does not sort";
}

TEST_F(SortGridTest, DraggingOneRowSetsTheHeightOfEveryRowAndItSurvivesAFontChange) {
  ShowTable();
  ASSERT_EQ(grid_->DefaultRowHeight(), 20);
  QHeaderView* rows = grid_->verticalHeader();
  const int border = rows->sectionViewportPosition(1) + rows->sectionSize(1) - 1;
  const int x = rows->width() / 2;
  QTest::mousePress(rows->viewport(), Qt::LeftButton, {}, QPoint(x, border));
  QTest::mouseMove(rows->viewport(), QPoint(x, border + 10));
  QTest::mouseRelease(rows->viewport(), Qt::LeftButton, {}, QPoint(x, border + 10));
  EXPECT_EQ(grid_->DefaultRowHeight(), 30);
  for (int row = 0; row < 4; ++row) EXPECT_EQ(grid_->RowHeight(row), 30) << row;
  const int titleHeight = QFontMetrics(grid_->TitleFont().ToQFont()).height() + 4;
  EXPECT_EQ(grid_->TitleRowHeight(), titleHeight);

  grid_->SetFont(MakeFont(QStringLiteral("Arial"), -30));
  EXPECT_EQ(grid_->RowHeight(2), 30) << "a layout change keeps the grid's row height";
}

TEST_F(SortGridTest, MemoAndPictureCellsShowTheirContentUnlessTurnedOff) {
  ShowTable();
  grid_->SetDefaultRowHeight(60);
  const auto cell = [this](int row, int column) {
    const QRect rect = grid_->visualRect(grid_->model()->index(row, column));
    return grid_->viewport()->grab(rect).toImage();
  };
  const int line = QFontMetrics(grid_->Font().ToQFont()).height();
  EXPECT_GT(ColourBounds(cell(0, 3), Qt::black, 120).height(), 2 * line) << "the memo wraps at words";
  const QImage receipt = cell(0, 4);
  EXPECT_GE(ColourBounds(receipt, Qt::magenta).width(), receipt.width() - 2) << "the picture fills its cell";
  EXPECT_GE(ColourBounds(receipt, Qt::magenta).height(), receipt.height() - 2);
  EXPECT_TRUE(ColourBounds(cell(1, 4), Qt::magenta).isNull()) << "bytes that are no picture: an empty cell";

  grid_->SetDisplayDBMemo(false);
  grid_->SetDisplayDBImage(false);
  EXPECT_LE(ColourBounds(cell(0, 3), Qt::black, 120).height(), line) << "\"(Memo)\" on one line";
  EXPECT_TRUE(ColourBounds(cell(0, 4), Qt::magenta).isNull());
}

}  // namespace
