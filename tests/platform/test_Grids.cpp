#include "platform/Forms.h"
#include "platform/Grids.h"
#include "tests/support/TestSupport.h"

#include <QScrollBar>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class StringGridTest : public ::testing::Test {
protected:
  void SetUp() override {
    grid_ = new TStringGrid(&form_);
    grid_->SetBounds(0, 0, 300, 200);
    form_.SetClientSize(300, 200);
    form_.show();
  }
  QImage Painted() { return grid_->viewport()->grab().toImage(); }

  TForm form_;
  TStringGrid* grid_ = nullptr;
};

TEST_F(StringGridTest, CellsLiveInsideTheGridAndGoWithShrinking) {
  EXPECT_EQ(grid_->ColCount(), 5);
  EXPECT_EQ(grid_->RowCount(), 5);
  grid_->SetCells(4, 4, QStringLiteral("corner"));
  grid_->SetCells(1, 2, QStringLiteral("kept"));
  grid_->SetCells(9, 9, QStringLiteral("outside"));
  EXPECT_EQ(grid_->Cells(9, 9), QString());
  grid_->SetColCount(3);
  grid_->SetColCount(5);
  EXPECT_EQ(grid_->Cells(4, 4), QString()) << "a dropped column takes its cells along";
  EXPECT_EQ(grid_->Cells(1, 2), QStringLiteral("kept"));
  grid_->SetFixedCols(7);
  EXPECT_EQ(grid_->FixedCols(), 4) << "one column always scrolls";
  EXPECT_EQ(grid_->Col(), 4);
}

TEST_F(StringGridTest, CellRectsAddTheLinesTheOptionsAskFor) {
  grid_->SetDefaultColWidth(50);
  grid_->SetDefaultRowHeight(20);
  EXPECT_EQ(grid_->CellRect(0, 0), QRect(0, 0, 50, 20));
  EXPECT_EQ(grid_->CellRect(2, 3), QRect(102, 63, 50, 20));
  grid_->SetOptions(goFixedVertLine | goFixedHorzLine);
  EXPECT_EQ(grid_->CellRect(2, 3), QRect(101, 61, 50, 20)) << "only the title cells keep their lines";
  grid_->SetColWidths(1, 10);
  EXPECT_EQ(grid_->CellRect(2, 3), QRect(61, 61, 50, 20));

  const QColor cellLine = ToQColor(clBtnFace);
  ASSERT_NE(cellLine, grid_->palette().color(QPalette::Base));
  EXPECT_NE(Painted().pixelColor(111, 30), cellLine);
  grid_->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine);
  const QRect cell = grid_->CellRect(2, 1);
  EXPECT_EQ(Painted().pixelColor(cell.right() + 1, cell.center().y()), cellLine)
      << "a line right of the cell";
}

TEST_F(StringGridTest, TitleCellsStayWhileTheRestScrolls) {
  grid_->SetRowCount(100);
  grid_->SetColCount(20);
  grid_->SetCells(0, 0, QStringLiteral("title"));
  const QRect title = grid_->CellRect(0, 0);
  const QRect firstRow = grid_->CellRect(1, 1);
  grid_->SetTopRow(50);
  grid_->SetLeftCol(10);
  EXPECT_EQ(grid_->TopRow(), 50);
  EXPECT_EQ(grid_->verticalScrollBar()->value(), 49);
  EXPECT_EQ(grid_->CellRect(0, 0), title);
  EXPECT_TRUE(grid_->CellRect(1, 1).isEmpty());
  EXPECT_EQ(grid_->CellRect(10, 50), firstRow) << "the first row shown sits where row 1 was";
  grid_->SetTopRow(1000);
  EXPECT_LT(grid_->TopRow(), 100);
  const QRect last = grid_->CellRect(10, 99);
  EXPECT_FALSE(last.isEmpty());
  EXPECT_LE(last.bottom(), grid_->viewport()->height()) << "scrolled just as far as the last row is shown";
}

TEST_F(StringGridTest, KeysAndClicksMoveTheCurrentCellOnlyOverScrollingCells) {
  grid_->SetRowCount(50);
  EXPECT_EQ(grid_->Col(), 1);
  EXPECT_EQ(grid_->Row(), 1);
  QTest::keyClick(grid_, Qt::Key_Up);
  QTest::keyClick(grid_, Qt::Key_Left);
  EXPECT_EQ(grid_->Row(), 1) << "the title row is never current";
  EXPECT_EQ(grid_->Col(), 1);
  QTest::keyClick(grid_, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(grid_->Row(), 49);
  EXPECT_GE(grid_->CellRect(4, 49).top(), 0) << "the current cell is scrolled into view";
  grid_->SetTopRow(1);
  const QRect target = grid_->CellRect(2, 3);
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, target.center());
  EXPECT_EQ(grid_->Col(), 2);
  EXPECT_EQ(grid_->Row(), 3);
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, grid_->CellRect(0, 0).center());
  EXPECT_EQ(grid_->Row(), 3);
}

TEST_F(StringGridTest, EditingNeedsTheOptionAndEnterKeepsWhatEscapeDrops) {
  grid_->SetCells(1, 1, QStringLiteral("old"));
  grid_->setFocus();
  QTest::keyClicks(grid_, QStringLiteral("x"));
  EXPECT_EQ(grid_->Cells(1, 1), QStringLiteral("old")) << "no editing without goEditing";
  grid_->SetOptions(grid_->Options() | goEditing);
  QTest::keyClicks(grid_, QStringLiteral("n"));
  auto* editor = grid_->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, QStringLiteral("ew"));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(grid_->Cells(1, 1), QStringLiteral("new"));
  QTest::keyClick(grid_, Qt::Key_F2);
  editor = grid_->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, QStringLiteral("gone"));
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(grid_->Cells(1, 1), QStringLiteral("new"));
}

TEST_F(StringGridTest, TitleBordersAreDraggedOnlyWithTheSizingOptions) {
  const QRect title = grid_->CellRect(1, 0);
  const QPoint border(title.right() + 1, title.center().y());
  QTest::mousePress(grid_->viewport(), Qt::LeftButton, {}, border);
  QTest::mouseMove(grid_->viewport(), border + QPoint(30, 0));
  QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
  EXPECT_EQ(grid_->ColWidths(1), 64);
  grid_->SetOptions(grid_->Options() | goColSizing | goRowSizing);
  QTest::mousePress(grid_->viewport(), Qt::LeftButton, {}, border);
  QTest::mouseMove(grid_->viewport(), border + QPoint(30, 0));
  QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
  EXPECT_EQ(grid_->ColWidths(1), 94);
  const QRect rowTitle = grid_->CellRect(0, 2);
  const QPoint rowBorder(rowTitle.center().x(), rowTitle.bottom() + 1);
  QTest::mousePress(grid_->viewport(), Qt::LeftButton, {}, rowBorder);
  QTest::mouseMove(grid_->viewport(), rowBorder + QPoint(0, 16));
  QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, rowBorder + QPoint(0, 16));
  EXPECT_EQ(grid_->RowHeights(2), 40);
}

}  // namespace
