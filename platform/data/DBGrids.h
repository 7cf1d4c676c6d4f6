#pragma once

// The scrolling data grid of a form, reading records only as they come into view.

#include "platform/Controls.h"
#include "platform/data/DB.h"

#include <QPointer>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <memory>
#include <optional>
#include <vector>

class QHeaderView;
class TDBGrid;
class TDBGridDelegate;
class TDBGridModel;
class TField;

/** Options of a data grid. Editing options are kept but have no effect: data grids show, they do not edit. */
enum TDBGridOption : unsigned {
  dgEditing = 1u << 0,
  dgAlwaysShowEditor = 1u << 1,
  dgTitles = 1u << 2,
  dgIndicator = 1u << 3,
  dgColumnResize = 1u << 4,
  dgColLines = 1u << 5,
  dgRowLines = 1u << 6,
  dgTabs = 1u << 7,
  dgRowSelect = 1u << 8,
  dgAlwaysShowSelection = 1u << 9,
  dgConfirmDelete = 1u << 10,
  dgCancelOnExit = 1u << 11,
  dgMultiSelect = 1u << 12
};
/** A set of TDBGridOption flags. */
using TDBGridOptions = unsigned;

/**
 * A column of a data grid, showing the field named FieldName. Until the program sets them, Visible, Title
 * and Alignment are the field's (Visible, DisplayLabel, Alignment) and Width comes from the field's
 * DisplayWidth in the grid's font; a width the user drags is the column's own from then on.
 */
class TColumn {
public:
  TColumn(const TColumn&) = delete;
  TColumn& operator=(const TColumn&) = delete;

  int Index() const { return index_; }
  QString FieldName() const { return fieldName_; }
  void SetFieldName(const QString& fieldName);
  /** The field of the grid's open data set with that name, or nullptr. */
  TField* Field() const;
  /** Width in screen pixels. */
  int Width() const;
  void SetWidth(int width);
  bool Visible() const;
  void SetVisible(bool visible);
  QString Title() const;
  void SetTitle(const QString& title);
  TAlignment Alignment() const;
  void SetAlignment(TAlignment alignment);

private:
  friend class TDBGrid;
  friend class TDBGridColumns;
  TColumn(TDBGrid& grid, int index) : grid_(grid), index_(index) {}

  TDBGrid& grid_;
  int index_;
  QString fieldName_;
  std::optional<int> width_;
  std::optional<bool> visible_;
  std::optional<QString> title_;
  std::optional<TAlignment> alignment_;
};

/** Whether a grid's columns follow its data set's fields (csDefault) or are the program's (csCustomized). */
enum TDBGridColumnsState { csDefault, csCustomized };

/**
 * The columns of a data grid. In the default state there is one column per field of the data set, column i
 * showing field i (invisible fields too, as invisible columns), made anew when the fields change; adding a
 * column makes the list the program's own.
 */
class TDBGridColumns {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TColumn& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  /** Adds a column of the program's own (the list is then customized). */
  TColumn& Add();
  /** Removes every column and goes back to the default state. */
  void Clear();
  TDBGridColumnsState State() const { return state_; }

private:
  friend class TDBGrid;
  explicit TDBGridColumns(TDBGrid& grid) : grid_(grid) {}
  /** Makes the default columns anew when the fields changed; true when it did. */
  bool Rebuild();

  TDBGrid& grid_;
  std::vector<std::unique_ptr<TColumn>> items_;
  TDBGridColumnsState state_ = csDefault;
};

/**
 * A scrolling grid over the data set of a data source: a title row (dgTitles), an indicator column marking
 * the current record (dgIndicator), lines between columns (dgColLines) and rows (dgRowLines). Records are
 * read as they come into view, so a grid over 100 000 records opens at once. The current row follows the
 * data set while its controls are enabled, and picking a row moves the data set there.
 *
 * For a grid that does more (the sortable grid): the mouse hooks get every press, move, release and double
 * click over the titles, the indicator and the cells, in grid coordinates (the title row from y = 0 to
 * TitleRowHeight, the first column from x = IndicatorWidth), before the grid handles them itself;
 * DrawColumnCell draws each data cell while the data set's fields read that cell's record.
 */
class TDBGrid : public QTableView, public TControl {
  Q_OBJECT
public:
  explicit TDBGrid(QWidget* parent);
  ~TDBGrid() override;

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  TDataSource* DataSource() const { return source_; }
  void SetDataSource(TDataSource* source);
  /** The data set of the data source, or nullptr. */
  TDataSet* DataSet() const;
  TDBGridColumns& Columns() { return columns_; }
  const TDBGridColumns& Columns() const { return columns_; }
  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions options);
  TFont TitleFont() const { return titleFont_; }
  void SetTitleFont(const TFont& font);

  int DefaultRowHeight() const;
  /** Sets the height of every data row. */
  void SetDefaultRowHeight(int height);
  int RowHeight(int row) const { return rowHeight(row); }
  void SetRowHeight(int row, int height) { setRowHeight(row, height); }
  /** Whether the user may drag the border between rows (in the indicator column). */
  bool RowSizing() const { return rowSizing_; }
  void SetRowSizing(bool rowSizing);
  /** Height of the title row; 0 without dgTitles. */
  int TitleRowHeight() const;
  void SetTitleRowHeight(int height);
  /** Width of the indicator column; 0 without dgIndicator. */
  int IndicatorWidth() const;

  /** The current column's index. */
  int SelectedIndex() const;
  void SetSelectedIndex(int column);
  /** The leftmost column in view. */
  int LeftCol() const;
  void SetLeftCol(int column);
  /** The column under x (grid coordinates), or -1 over the indicator or beyond the last column. */
  int ColumnAt(int x) const;
  /** A column's left edge in grid coordinates (-1 when hidden). */
  int ColumnLeft(int column) const;
  /** The widget that shows the title row, for a cursor of its own over the titles. */
  QHeaderView& TitleBar() const;
  /** A widget point in grid coordinates. */
  QPoint GridPoint(const QWidget& widget, const QPoint& point) const;

Q_SIGNALS:
  /** The user clicked a column title. */
  void TitleClick(int column);

protected:
  virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
  virtual void MouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
  virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
  virtual void DblClick();
  /**
   * Draws the cell of `column` at `rect`, the data set's fields reading the cell's record (`option.index`
   * is the cell). The default draws the field's display text with the column's alignment (a memo "(Memo)",
   * a picture "(Graphic)").
   */
  virtual void DrawColumnCell(QPainter& painter, const QRect& rect, TColumn& column,
                              const QStyleOptionViewItem& option);
  void DefaultDrawColumnCell(QPainter& painter, const QRect& rect, TColumn& column,
                             const QStyleOptionViewItem& option);
  /** Called after the user dragged a row border. */
  virtual void RowHeightsChanged() {}
  /** Called after the columns were laid out anew (fields, widths, fonts). */
  virtual void LayoutChanged() {}

  bool eventFilter(QObject* watched, QEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }
  void BorderStyleChanged() override;
  void FontChanged() override;

private:
  friend class TColumn;
  friend class TDBGridColumns;
  friend class TDBGridModel;
  friend class TDBGridDelegate;

  void DataSetChanged();
  void ColumnsChanged();
  void RecordChanged();
  void ApplyColumns();
  void ApplyOptions();
  int DefaultColumnWidth(const TColumn& column) const;
  void PaintCell(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index);

  QPointer<TDataSource> source_;
  std::vector<QMetaObject::Connection> connections_;
  TDBGridColumns columns_;
  std::unique_ptr<TDBGridModel> model_;
  TDBGridDelegate* delegate_;
  TDBGridOptions options_ = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines |
                            dgTabs | dgConfirmDelete | dgCancelOnExit;
  TFont titleFont_;
  bool rowSizing_ = false;
  bool syncing_ = false;
  /**
   * Whether the grid was ever shown. Until then its view has no rows: Qt's view keeps a height for every row
   * it has, 8 MiB for a million records, which a grid only printed from never needs.
   */
  bool everShown_ = false;
  qint64 indicatorRow_ = -1;
};
