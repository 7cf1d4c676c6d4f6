#pragma once

// What the grid printer reads a grid through, whatever holds its rows.

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/Types.h"

#include <QModelIndex>
#include <QString>

struct TTrackedColumn;

/** How a grid's box and lines look on the page, taken from the grid it prints. */
struct TGridLook {
  TFont Font;
  /** The box's fill. */
  TColor Color = clWhite;
  /** The titles' text colour. */
  TColor TitleColor = clBlack;
  bool Titles = true;
  bool RowLines = false;
  bool ColumnLines = false;
  bool SingleBorder = false;
};

/**
 * What the grid printer prints a grid from: its columns, and its rows read on from where the last page
 * stopped. A data grid reads its data set, an item view its model; page breaking, cells, sums and lines are
 * the grid printer's, the same for both.
 */
class TGridRows {
public:
  virtual ~TGridRows() = default;

  virtual int ColumnCount() const = 0;
  /** A column's width on the screen in pixels; 0 leaves the column out. */
  virtual int ColumnWidth(int column) const = 0;
  virtual QString Title(int column) const = 0;
  virtual TAlignment TitleAlignment(int column) const = 0;

  /** Goes to the first row not yet printed; false when every row has been printed already. */
  virtual bool Resume() = 0;
  virtual bool AtEnd() const = 0;
  /**
   * The text of the current row's cell in a column, how it is aligned and how far in it starts (screen
   * pixels: a tree's levels). A cell holding a number adds it to the column's sums.
   */
  virtual QString CellText(int column, TTrackedColumn& sums, TAlignment& alignment, int& indent) = 0;
  virtual void Next() = 0;
  /** The current row of an item view; invalid for rows that are no model's (a data set's). */
  virtual QModelIndex CurrentIndex() const { return {}; }
  /** Keeps the current row as where the next page starts and gives the rows back as the screen had them. */
  virtual void Suspend() = 0;
};
