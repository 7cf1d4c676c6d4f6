#pragma once

// The sortable data grid: a click on a column title sorts its records, and the printout follows that order.

#include "platform/Classes.h"
#include "platform/Screen.h"
#include "platform/data/DBGrids.h"

#include <QCursor>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <map>
#include <utility>

class TField;
class TQuery;
class TTable;

/** Where in a column title the mouse is: which way a click there sorts, if at all. */
enum TTitleZone { tzNone = 0, tzAscending = 1, tzUnsorted = 2, tzDescending = 3 };

/**
 * The zone of a point `offset` pixels into a title `width` pixels wide: the left third sorts ascending, the
 * middle third takes the order away, the right third sorts descending; the outer tenth on the left and
 * twentieth on the right are left to resizing the column and sort nothing.
 */
TTitleZone TitleZoneAt(int offset, int width);

/**
 * A query's lines with their ordering clause replaced by one on `fieldName`: ascending or descending, or
 * none for tzUnsorted. A line holding "ORDER BY " keeps the text before it as a line of its own and loses the
 * rest; the new clause takes the old one's place, or goes last when there was none. Empty lines are dropped.
 */
QStringList RewriteOrderBy(const QStringList& lines, const QString& fieldName, TTitleZone zone);

/**
 * Why a query cannot be sorted on a field, as the message the user is shown; empty when it can. A field
 * whose name is anything but a plain identifier is refused, as its name goes into the query's text.
 */
QString SortRefusal(const TField& field);

/**
 * A data grid whose rows a click on a column title sorts: a table by its index on that field, a query by
 * rewriting its ordering clause. Memo fields show their text and picture fields their pictures in the cells;
 * a row the user makes higher or lower makes every row so; and a form printer may place it at a fixed spot
 * on the page (PrintItLeft, PrintItTop, PrintItWidth, PrintItHeight, in the printing component's units, all
 * four non-zero).
 */
class TQV_SortGrid : public TDBGrid {
  Q_OBJECT
public:
  explicit TQV_SortGrid(QWidget* parent);
  ~TQV_SortGrid() override;

  /** Memo fields drawn as word-wrapped text in their cells (else "(Memo)"). */
  bool DisplayDBMemo() const { return displayDBMemo_; }
  void SetDisplayDBMemo(bool display);
  /** Picture fields drawn stretched to their cells (else "(Graphic)"). */
  bool DisplayDBImage() const { return displayDBImage_; }
  void SetDisplayDBImage(bool display);
  /** Whether a click on a title sorts. */
  bool AllowSort = true;
  /** Kept for the forms that set it; nothing reads it. */
  bool AutoAlign = false;

  /**
   * The height of every data row, kept through font and column changes. Setting it also makes the title row
   * as high as a "W" of TitleFont plus 4 pixels while titles are shown.
   */
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int height);

  /** Fired on a double click in the title row. */
  TNotifyEvent OnTitleDblClicked;
  /** Fired before a query is sorted anew. */
  TNotifyEvent OnBeforeSort;
  /** Fired once a sort of a query (or of a data set the grid cannot sort) is over. */
  TNotifyEvent OnAfterSort;

  /** Fixed page position and size for printing, in the printing component's Units; 0 leaves it off. */
  double PrintItLeft = 0.0;
  double PrintItTop = 0.0;
  double PrintItHeight = 0.0;
  double PrintItWidth = 0.0;

  /** Whether a sort is running (the mouse then does only what a plain grid does). */
  bool Sorting() const { return sorting_; }
  /** Whether the mouse went down on the grid and has not come up yet. */
  bool TitlePressed() const { return titlePressed_; }
  /** Whether the mouse is held down on the title row: the titles then look pressed. */
  bool TitleRowHeldDown() const;
  /** The title zone under a point in grid coordinates (tzNone over no column). */
  TTitleZone ZoneAt(int x) const;
  /**
   * The cursor a title zone shows, drawn for the screen's pixel ratio; the blank cursor when its picture
   * cannot be read, and the title bar's own for tzNone.
   */
  QCursor TitleCursor(TTitleZone zone, qreal devicePixelRatio);

protected:
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) override;
  void MouseMove(Qt::KeyboardModifiers modifiers, int x, int y) override;
  void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) override;
  void DblClick() override;
  void DrawColumnCell(QPainter& painter, const QRect& rect, TColumn& column,
                      const QStyleOptionViewItem& option) override;
  void RowHeightsChanged() override;
  void LayoutChanged() override;
  void paintEvent(QPaintEvent* event) override;

private:
  bool InTitleRow(int x, int y) const;
  bool AtColumnBorder(int x) const;
  void Sort(int column, TTitleZone zone);
  void SortTable(TTable& table, int column, int leftCol, const QString& name);
  void SortQuery(TQuery& query, int column, int leftCol, const QString& name, TTitleZone zone);
  void SetGridCursor(TCursor number);
  void Fire(const TNotifyEvent& event);

  bool displayDBMemo_ = true;
  bool displayDBImage_ = true;
  int defaultRowHeight_ = 20;
  bool sorting_ = false;
  bool titlePressed_ = false;
  bool pressedAgain_ = false;
  QPoint downPoint_;
  TCursor gridCursor_ = crDefault;
  std::map<std::pair<int, qreal>, QCursor> titleCursors_;
};
