#pragma once

// The grid printer: tables printed row by row across pages, with page and running totals per column.

#include "platform/data/DB.h"
#include "platform/data/Fields.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class TDBGrid;
class TGdi;
class TGridRows;
class TStringGrid;
struct TGridLook;

/**
 * Whether the grid printer adds a field of this kind to its column's sums: integer, word, float and
 * currency; a small integer, BCD or auto-increment field prints without sums.
 */
bool IsSummedFieldType(TFieldType type);

/**
 * Whether a grid's row of that number (0 the first) ends above the bottom, the rows standing pitch apart
 * from the first row's top, all in printer pixels before rounding: the answer is the same at every
 * resolution of the same paper.
 */
bool RowFits(double firstRowTop, double pitch, int row, double bottom);

/** What the grid printer keeps of one column of a printed grid for the whole job. */
struct TTrackedColumn {
  /** Printed width in printer pixels; 0 for an invisible column. */
  int WidthArray = 0;
  double SubTotal = 0.0;
  /** Running total over the job. */
  double MainTotal = 0.0;
  /** Sum over the page being printed. */
  double PageTotal = 0.0;
  bool ShowTotal = false;
};

/**
 * A grid met in a job: where its data set stood, where the next page continues, and its column sums. The
 * data set is held in its order for the job (TDataSet::HoldOrder); one that goes away during the job is
 * dropped here too, so the job never touches it again.
 */
struct TTrackedControl {
  QPointer<TDataSet> DataSet;
  TBookmark EntryPosition;
  TBookmark ContinuationPosition;
  /** Every row has been printed: a bookmark stands on a record, so the end needs a mark of its own. */
  bool AtEnd = false;
  /** An item view's first row not yet printed (its model has no bookmarks); invalid before the first page. */
  QPersistentModelIndex ContinuationIndex;
  /** An item view's printing has begun: a continuation that went invalid since means its row went away. */
  bool Begun = false;
  QPointer<QWidget> Control;
  std::vector<TTrackedColumn> Columns;
  /** The title of the outline entry the grid's rows last started in this job (SetRowOutline). */
  QString LastOutline;
  /**
   * The key of the grid's table in a tagged document, and whether the last page left rows for the next:
   * then the next page's rows go on in the same table.
   */
  quint32 TableKey = 0;
  bool TableGoesOn = false;
};

/**
 * Names the group a grid's row belongs to, for the document's outline: asked as each row prints, with the
 * row of an item view (its first column), or an invalid index with a data grid's data set on the row. A row
 * whose group differs from the row before starts an outline entry of that title; an empty title starts none.
 */
using TRowOutline = std::function<QString(const QModelIndex& row)>;

/** The column state the reset operation clears (or marks). */
enum class TColumnState { WidthArray, SubTotal, MainTotal, PageTotal, ShowTotal };

/**
 * Where a grid prints on its page, in printer pixels: its box, and its top and bottom before rounding (what
 * fits between them is the same at every resolution).
 */
struct TGridBox {
  int L = 0;
  int T = 0;
  int R = 0;
  int B = 0;
  double ExactT = 0.0;
  double ExactB = 0.0;
};

/**
 * The grid printer: prints a data grid, a string grid or any Qt item view as a table of text — titles,
 * cells, lines — continuing on the next page at the row where a page stopped, and keeps for the whole job
 * each column's page total and running total, which totals controls show. One lives in each printing
 * component, for one job at a time.
 */
class TGridPrinter {
public:
  TGridPrinter() = default;
  ~TGridPrinter() { Release(); }
  TGridPrinter(const TGridPrinter&) = delete;
  TGridPrinter& operator=(const TGridPrinter&) = delete;

  /**
   * Prints the rows that fit in the box, from where the grid's last page stopped; true while rows remain
   * for a further page. The box was filled already; the grid's frame ends after its last row.
   */
  bool PrintDataGrid(TGdi& device, TDBGrid& grid, const TGridBox& box);
  bool PrintItemView(TGdi& device, QWidget& view, const TGridBox& box);
  /** A string grid prints what fits in its box; it never continues. */
  void PrintStringGrid(TGdi& device, TStringGrid& grid, const TGridBox& box);

  /**
   * Gives the grid's rows outline entries at the level (TRowOutline), from the next job on; a null function
   * takes them away.
   */
  void SetRowOutline(QWidget* grid, TRowOutline outline, int level = 0);
  /** The grids met in this job. */
  const std::vector<std::unique_ptr<TTrackedControl>>& TrackedControls() const { return tracked_; }
  /** The record of a grid, made the first time; nullptr for a grid that cannot be tracked. */
  TTrackedControl* TrackGrid(QWidget* grid);
  /** Clears (or marks) one state of every column of a tracked grid. */
  void ResetColumns(QWidget* grid, TColumnState state);
  /** Sets the page totals of every tracked grid to 0, as a page begins. */
  void ClearPageTotals();
  /** The page total and the running total of the grid column whose field is labelled so (0 when none). */
  double PageTotal(QWidget* grid, const QString& displayLabel);
  double RunningTotal(QWidget* grid, const QString& displayLabel);
  /** Ends the job's tracking: every data set back on its record, its order and its controls. */
  void Release();

private:
  /** The rows of any grid on this page; false when none remain. Without rows the box is only framed. */
  bool PrintRows(TGdi& device, TGridRows* rows, const TGridLook& look, TTrackedControl* tracked,
                 const TGridBox& box);
  TTrackedColumn* ColumnOf(QWidget* grid, const QString& displayLabel);

  std::vector<std::unique_ptr<TTrackedControl>> tracked_;
  struct TOutlinedGrid {
    QPointer<QWidget> Grid;
    TRowOutline Outline;
    int Level = 0;
  };
  std::vector<TOutlinedGrid> outlined_;
};
