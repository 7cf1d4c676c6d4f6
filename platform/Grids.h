#pragma once

// The string grid of a form: text cells under fixed titles, which the grid printer also prints.

#include "platform/Controls.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QString>
#include <vector>

class QLineEdit;

/** Options of a grid: which lines it draws and what the user may do. */
enum TGridOption : unsigned {
  goFixedVertLine = 1u << 0,
  goFixedHorzLine = 1u << 1,
  goVertLine = 1u << 2,
  goHorzLine = 1u << 3,
  goRangeSelect = 1u << 4,
  goDrawFocusSelected = 1u << 5,
  goRowSizing = 1u << 6,
  goColSizing = 1u << 7,
  goRowMoving = 1u << 8,
  goColMoving = 1u << 9,
  goEditing = 1u << 10,
  goTabs = 1u << 11,
  goRowSelect = 1u << 12,
  goAlwaysShowEditor = 1u << 13,
  goThumbTracking = 1u << 14
};
/** A set of TGridOption flags. */
using TGridOptions = unsigned;

/**
 * A grid of text cells, Cells(col, row), as the framework's string grid: the first FixedRows rows and
 * FixedCols columns are title cells that stay in place while the rest scrolls by whole rows and columns.
 * Lines between cells follow Options (goVertLine and goHorzLine for the cells, goFixedVertLine and
 * goFixedHorzLine for the titles); each line is GridLineWidth pixels. With goColSizing and goRowSizing the
 * user drags title borders; with goEditing the user edits a cell (Enter, F2, a double click or typing; Enter
 * keeps the text, Escape drops it).
 */
class TStringGrid : public QAbstractScrollArea, public TControl {
  Q_OBJECT
public:
  explicit TStringGrid(QWidget* parent);
  ~TStringGrid() override;

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  int ColCount() const { return colCount_; }
  /** Changes the number of columns; cells beyond it are dropped. */
  void SetColCount(int count);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int count);
  int FixedCols() const { return fixedCols_; }
  /** At least one column always scrolls: FixedCols stays below ColCount. */
  void SetFixedCols(int count);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int count);

  /** The text of a cell; empty outside the grid. */
  QString Cells(int col, int row) const;
  /** Sets a cell's text; cells outside the grid are ignored. */
  void SetCells(int col, int row, const QString& text);

  int DefaultColWidth() const { return defaultColWidth_; }
  /** Sets the width of every column. */
  void SetDefaultColWidth(int width);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  /** Sets the height of every row. */
  void SetDefaultRowHeight(int height);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);
  int GridLineWidth() const { return 1; }

  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions options);

  /** The current cell, always a scrolling (not fixed) cell. */
  int Col() const { return col_; }
  int Row() const { return row_; }
  void SetCol(int col);
  void SetRow(int row);
  /** The first scrolling column and row shown. */
  int LeftCol() const { return leftCol_; }
  int TopRow() const { return topRow_; }
  void SetLeftCol(int col);
  void SetTopRow(int row);

  /** Where a cell is drawn, in the grid's viewport; empty when it is scrolled out of view. */
  QRect CellRect(int col, int row) const;
  /** The cell under a viewport point; false when there is none. */
  bool MouseToCell(const QPoint& point, int& col, int& row) const;

Q_SIGNALS:
  /** The current cell moved. */
  void SelectCell(int col, int row);

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }
  void BorderStyleChanged() override;

private:
  int VerticalLine(int col) const;
  int HorizontalLine(int row) const;
  /** The left edge of a column in the viewport, or -1 when it is scrolled away. */
  int ColumnLeft(int col) const;
  int RowTop(int row) const;
  int FixedWidth() const;
  int FixedHeight() const;
  int LastTopRow() const;
  int LastLeftCol() const;
  void UpdateScrollBars();
  void MoveTo(int col, int row);
  void ScrollInView(int col, int row);
  void StartEditing(const QString& text, bool replace);
  void FinishEditing(bool keep);
  /** The column whose right border lies under x in the title rows (-1: none), for sizing. */
  int ColumnBorderAt(const QPoint& point) const;
  int RowBorderAt(const QPoint& point) const;
  void DrawCell(QPainter& painter, int col, int row, const QRect& rect) const;

  int colCount_ = 5;
  int rowCount_ = 5;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  std::vector<int> colWidths_;
  std::vector<int> rowHeights_;
  QHash<quint64, QString> cells_;
  TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  int col_ = 1;
  int row_ = 1;
  int leftCol_ = 1;
  int topRow_ = 1;
  int sizingCol_ = -1;
  int sizingRow_ = -1;
  QLineEdit* editor_ = nullptr;
  bool syncing_ = false;
};
