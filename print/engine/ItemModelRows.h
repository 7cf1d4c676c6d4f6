#pragma once

// Any Qt item view's model as rows for the grid printer.

#include "print/engine/GridRows.h"

#include <QLocale>
#include <QModelIndex>
#include <vector>

class QAbstractItemView;
struct TTrackedControl;

/**
 * The rows of any Qt item view as the grid printer reads them: every row of the view's model under the
 * view's root (not only the rows on screen), each once, a tree's rows flattened below their parents;
 * columns in the order and at the widths the view shows them, hidden columns and rows left out; titles from
 * the model's header data and each cell's text as the view's delegate shows it. Where a page stopped is kept
 * in the grid's tracked record.
 */
class TItemModelRows : public TGridRows {
public:
  TItemModelRows(QAbstractItemView& view, TTrackedControl& tracked);

  int ColumnCount() const override { return static_cast<int>(columns_.size()); }
  int ColumnWidth(int column) const override;
  QString Title(int column) const override;
  TAlignment TitleAlignment(int column) const override;
  bool Resume() override;
  bool AtEnd() const override { return !current_.isValid(); }
  QModelIndex CurrentIndex() const override { return current_; }
  QString CellText(int column, TTrackedColumn& sums, TAlignment& alignment, int& indent) override;
  void Next() override;
  void Suspend() override;

  /** The view's box, lines and fonts as the page shows them. */
  static TGridLook LookOf(const QAbstractItemView& view);
  /** The number of columns of the view's model under its root (0 without a model). */
  static int ModelColumnCount(const QAbstractItemView& view);

private:
  /** Gives the last column the room the view's row header and scroll bar take on the screen. */
  void FillViewWidth(const QAbstractItemView& view);
  /** The row after this one, a tree's children first; an invalid index after the last. */
  QModelIndex RowAfter(const QModelIndex& row, bool intoChildren) const;
  /** This row or the first after it the view shows. */
  QModelIndex ShownFrom(QModelIndex row) const;
  bool RowHidden(const QModelIndex& row) const;
  int Depth(const QModelIndex& row) const;

  struct Column {
    int Logical = 0;
    int Width = 0;
  };

  QAbstractItemView& view_;
  TTrackedControl& tracked_;
  std::vector<Column> columns_;
  QModelIndex current_;
  bool tree_ = false;
  /** What is looked up once per page rather than per cell: a tree's indented column, its step, the locale. */
  int treeColumn_ = -1;
  int indentation_ = 0;
  QLocale locale_;
};
