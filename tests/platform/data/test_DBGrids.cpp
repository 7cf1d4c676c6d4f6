#include "platform/Forms.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "tests/platform/data/DataTestSupport.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QSet>
#include <set>

namespace {

// A grid as a subclass sees it: every mouse event in grid coordinates, and each cell drawn with its record.
class WatchingGrid : public TDBGrid {
public:
  using TDBGrid::TDBGrid;
  std::vector<QPoint> downs;
  std::vector<QPoint> ups;
  int doubleClicks = 0;
  int rowHeightChanges = 0;
  std::set<int> drawnIds;

protected:
  void MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) override { downs.emplace_back(x, y); }
  void MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) override { ups.emplace_back(x, y); }
  void DblClick() override { ++doubleClicks; }
  void RowHeightsChanged() override { ++rowHeightChanges; }
  void DrawColumnCell(QPainter& painter, const QRect& rect, TColumn& column,
                      const QStyleOptionViewItem& option) override {
    if (TDataSet* dataSet = DataSet())
      drawnIds.insert(dataSet->FieldByName(QStringLiteral("id"))->AsInteger());
    DefaultDrawColumnCell(painter, rect, column, option);
  }
};

class DataGridTest : public ::testing::Test {
protected:
  /** Opens a numbered ledger of that many rows, changed by the statements. */
  void Open(int rows, const QStringList& changes = {}, bool show = true) {
    WriteNumberedLedger(file_, rows);
    if (!changes.isEmpty()) WriteDatabase(file_, changes);
    table_ = new TTable(&form_);
    table_->SetDatabaseName(file_);
    table_->SetTableName(QStringLiteral("ledger"));
    source_ = new TDataSource(&form_);
    source_->SetDataSet(table_);
    grid_ = new WatchingGrid(&form_);
    grid_->SetBounds(0, 0, 400, 300);
    grid_->SetDataSource(source_);
    form_.SetClientSize(400, 300);
    table_->Open();
    if (show) form_.show();
  }
  QString Shown(int row, int column) {
    return grid_->model()->data(grid_->model()->index(row, column)).toString();
  }
  int CurrentRow() { return grid_->currentIndex().row(); }

  ScratchDirectory directory_;
  QString file_ = directory_.File(QStringLiteral("ledger.db"));
  TForm form_;
  TTable* table_ = nullptr;
  TDataSource* source_ = nullptr;
  WatchingGrid* grid_ = nullptr;
};

TEST_F(DataGridTest, DefaultColumnsFollowTheFieldsAndKeepWhatTheProgramSets) {
  Open(3);
  ASSERT_EQ(grid_->Columns().Count(), 3);
  EXPECT_EQ(grid_->Columns().State(), csDefault);
  TColumn& amount = grid_->Columns().Items(2);
  EXPECT_EQ(amount.Field(), table_->FieldByName(QStringLiteral("amount")));
  EXPECT_EQ(amount.Alignment(), taRightJustify);
  table_->FieldByName(QStringLiteral("payee"))->SetVisible(false);
  table_->FieldByName(QStringLiteral("amount"))->SetDisplayLabel(QStringLiteral("Amount"));
  static_cast<TNumericField*>(table_->FieldByName(QStringLiteral("amount")))
      ->SetDisplayFormat(QStringLiteral("0.000"));
  table_->Refresh();
  EXPECT_FALSE(grid_->Columns().Items(1).Visible()) << "an invisible field keeps an invisible column";
  EXPECT_TRUE(grid_->isColumnHidden(1));
  EXPECT_EQ(grid_->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Amount"));
  EXPECT_EQ(Shown(1, 2), QStringLiteral("2.500"));

  amount.SetWidth(123);
  EXPECT_EQ(grid_->columnWidth(2), 123);
  grid_->horizontalHeader()->resizeSection(2, 77);  // as the user drags it
  EXPECT_EQ(amount.Width(), 77);
  table_->Close();
  table_->Open();
  EXPECT_EQ(grid_->Columns().Items(2).Width(), 77) << "the same fields keep their columns";

  TColumn& only = grid_->Columns().Add();
  only.SetFieldName(QStringLiteral("payee"));
  only.SetTitle(QStringLiteral("Payee"));
  EXPECT_EQ(grid_->Columns().State(), csCustomized);
  ASSERT_EQ(grid_->Columns().Count(), 1);
  EXPECT_EQ(Shown(0, 0), QStringLiteral("payee 000002"));
  grid_->Columns().Clear();
  EXPECT_EQ(grid_->Columns().Count(), 3);
}

TEST_F(DataGridTest, TheCurrentRowFollowsTheDataSetWhileItsControlsAreEnabled) {
  Open(50);
  EXPECT_EQ(CurrentRow(), 0);
  table_->SetRecNo(30);
  EXPECT_EQ(CurrentRow(), 29);
  EXPECT_EQ(grid_->model()->headerData(29, Qt::Vertical).toString(), QStringLiteral("\u25B6"));
  EXPECT_EQ(grid_->model()->headerData(0, Qt::Vertical).toString(), QString());

  grid_->setCurrentIndex(grid_->model()->index(4, 1));  // as a click or an arrow key does
  EXPECT_EQ(table_->RecNo(), 5);

  table_->DisableControls();
  table_->Last();
  EXPECT_EQ(CurrentRow(), 4) << "disabled controls do not follow";
  grid_->setCurrentIndex(grid_->model()->index(10, 1));
  EXPECT_EQ(table_->RecNo(), 50) << "nor does a click move a data set that is being walked";
  EXPECT_EQ(CurrentRow(), 4);
  table_->EnableControls();
  EXPECT_EQ(CurrentRow(), 49);
}

// A cell hands the view no more than its column could show, however long its text: the view elides that, and
// a note of megabytes costs what a short one does.
TEST_F(DataGridTest, ACellShowsWhatItsColumnHoldsHoweverLongItsText) {
  Open(3, {QStringLiteral("UPDATE ledger SET payee = '%1' WHERE id = 2")
               .arg(QString(5000000, QLatin1Char('W')))});
  const int width = grid_->Columns().Items(1).Width();
  const QString shown = Shown(1, 1);
  EXPECT_LE(shown.size(), 2 * width + 65);
  EXPECT_TRUE(shown.startsWith(QStringLiteral("WWWW")) && shown.endsWith(QChar(0x2026)));
  EXPECT_EQ(Shown(0, 1), QStringLiteral("payee 000002")) << "a text that fits is shown as it is";
  EXPECT_FALSE(grid_->viewport()->grab().isNull());
}

TEST_F(DataGridTest, HundredThousandRecordsAreReadOnlyAsTheyComeIntoView) {
  Open(100000);
  EXPECT_EQ(grid_->model()->rowCount(), 100000);
  table_->Last();
  EXPECT_EQ(CurrentRow(), 99999);
  grid_->viewport()->grab();
  EXPECT_TRUE(grid_->drawnIds.count(100000));
  EXPECT_FALSE(grid_->drawnIds.count(1)) << "the first rows are out of view";
  EXPECT_LT(grid_->drawnIds.size(), 100u);
  EXPECT_EQ(table_->RecNo(), 100000) << "drawing reads other records without moving";
  // The last record's payee is drawn as text: its cell holds more than the background.
  const QRect cell = grid_->visualRect(grid_->model()->index(99999, 1)).adjusted(2, 2, -2, -2);
  const QImage drawn = grid_->viewport()->grab(cell).toImage();
  QSet<QRgb> colours;
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) colours.insert(drawn.pixel(x, y));
  EXPECT_GT(colours.size(), 2) << "no text in the cell";
  EXPECT_EQ(Shown(54320, 0), QStringLiteral("54321"));
}

// A grid only printed from (a report form's, never shown) gives Qt's view no rows, which would keep a height
// for each; shown, it has every record, the current one current.
TEST_F(DataGridTest, AGridNeverShownHoldsNoRowsUntilItIsShown) {
  Open(5000, {}, false);
  table_->MoveBy(41);
  EXPECT_EQ(grid_->model()->rowCount(), 0);
  EXPECT_EQ(grid_->verticalHeader()->count(), 0);
  EXPECT_EQ(grid_->Columns().Count(), 3) << "its columns are there to be printed";
  form_.show();
  EXPECT_EQ(grid_->model()->rowCount(), 5000);
  EXPECT_EQ(CurrentRow(), 41);
  EXPECT_EQ(Shown(4999, 0), QStringLiteral("5000"));
}

TEST_F(DataGridTest, MouseHooksGetGridCoordinatesWithTheTitleRowOnTop) {
  Open(20);
  const int titleHeight = grid_->TitleRowHeight();
  ASSERT_GT(titleHeight, 0);
  ASSERT_GT(grid_->IndicatorWidth(), 0);
  const int left = grid_->ColumnLeft(1);
  EXPECT_EQ(left, grid_->IndicatorWidth() + grid_->columnWidth(0));
  QHeaderView& titles = grid_->TitleBar();
  const QPoint inTitle(titles.sectionViewportPosition(1) + 5, titleHeight / 2);
  QTest::mouseClick(titles.viewport(), Qt::LeftButton, {}, inTitle);  // where the mouse reaches the titles
  ASSERT_EQ(grid_->downs.size(), 1u);
  const QPoint down = grid_->downs.front();
  EXPECT_EQ(down, QPoint(left + 5, titleHeight / 2));
  EXPECT_EQ(grid_->ColumnAt(down.x()), 1);
  EXPECT_EQ(grid_->ups.front(), down);
  EXPECT_EQ(grid_->ColumnAt(2), -1) << "over the indicator";
  EXPECT_EQ(grid_->ColumnAt(399), -1) << "beyond the last column";

  const QRect cell = grid_->visualRect(grid_->model()->index(2, 0));
  QTest::mouseDClick(grid_->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(grid_->doubleClicks, 1);
  EXPECT_GT(grid_->downs.back().y(), titleHeight);
  EXPECT_EQ(grid_->downs.back().x(), grid_->IndicatorWidth() + cell.center().x());
}

TEST_F(DataGridTest, RowHeightsResetToTheDefaultAndUserDragsAreTold) {
  Open(30);
  grid_->SetRowSizing(true);
  grid_->SetRowHeight(3, 40);
  grid_->SetDefaultRowHeight(30);
  EXPECT_EQ(grid_->RowHeight(3), 30) << "every row takes the default";
  EXPECT_EQ(grid_->RowHeight(29), 30);
  const int before = grid_->rowHeightChanges;
  grid_->verticalHeader()->resizeSection(2, 45);  // as the user drags it
  EXPECT_GT(grid_->rowHeightChanges, before);
  grid_->SetTitleRowHeight(33);
  EXPECT_EQ(grid_->TitleRowHeight(), 33);
  grid_->SetOptions(grid_->Options() & ~(dgTitles | dgIndicator));
  EXPECT_EQ(grid_->TitleRowHeight(), 0);
  EXPECT_EQ(grid_->IndicatorWidth(), 0);
  EXPECT_TRUE(grid_->TitleBar().isHidden());
}

TEST_F(DataGridTest, ColumnAndRowLinesFollowTheOptions) {
  Open(5);
  const QRect cell = grid_->visualRect(grid_->model()->index(1, 1));
  const auto pixel = [this](QPoint point) { return grid_->viewport()->grab().toImage().pixelColor(point); };
  const QPoint right(cell.right(), cell.center().y());
  const QPoint bottom(cell.center().x() + 20, cell.bottom());
  const QColor line(0xC0, 0xC0, 0xC0);
  EXPECT_EQ(pixel(right), line);
  EXPECT_EQ(pixel(bottom), line);
  grid_->SetOptions(grid_->Options() & ~dgColLines);
  EXPECT_NE(pixel(right), line);
  EXPECT_EQ(pixel(bottom), line);
  grid_->SetOptions(grid_->Options() & ~dgRowLines);
  EXPECT_NE(pixel(bottom), line);
}

TEST_F(DataGridTest, LeftColAndSelectedIndexMoveTheView) {
  Open(5);
  grid_->Columns().Items(0).SetWidth(300);
  grid_->Columns().Items(1).SetWidth(300);
  grid_->Columns().Items(2).SetWidth(300);
  grid_->SetSelectedIndex(2);
  EXPECT_EQ(grid_->SelectedIndex(), 2);
  grid_->SetLeftCol(1);
  EXPECT_EQ(grid_->LeftCol(), 1);
  grid_->SetLeftCol(0);
  EXPECT_EQ(grid_->LeftCol(), 0);
}

}  // namespace
