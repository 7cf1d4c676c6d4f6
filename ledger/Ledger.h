#pragma once

// The ledger window: the entries of a ledger file in a sortable grid, with their count and total.

#include "platform/Forms.h"
#include "print/device/QV_PageFiles.h"

#include <QImage>

class TButton;
class TQV_SortGrid;
class TDBNavigator;
class TDBPrintWin;
class TDataSource;
class TLabel;
class TPanel;
class TQuery;

/**
 * The ledger: the entries of a SQLite ledger file (date, payee, note, amount) in a scrolling grid, with
 * their count and total under it. Print and Preview print the entries in the order the grid shows them
 * through a print form of their own (TLedgerPrintFrm), laid out for the paper of each job, its grid running
 * over as many pages as the entries need with the totals of each page under it.
 */
class TLedgerFrm : public TForm {
  Q_OBJECT
public:
  /** Opens the ledger file; fails with EDatabaseError when it is no ledger (see LedgerFile::Check). */
  explicit TLedgerFrm(const QString& ledgerFile, QWidget* parent = nullptr);
  ~TLedgerFrm() override;

  /**
   * The entries, through a query (date order at first), so a click on any title sorts by that column
   * ascending (left third), descending (right third) or back to the file's order (middle).
   */
  TQuery* Query1;
  TDataSource* DataSource1;
  TPanel* ToolBar;
  TButton* PrintBtn;
  TButton* PreviewBtn;
  TButton* LetterBtn;
  TButton* CloseBtn;
  /** The heading and the grid. */
  TPanel* LedgerPanel;
  TLabel* Heading;
  /** A click on a title sorts the entries by that column. */
  TQV_SortGrid* DBGrid1;
  TDBNavigator* DBNavigator1;
  /** On the screen, under the grid: how many entries the ledger holds and the total of their amounts. */
  TLabel* SummaryLabel;
  TLabel* StatusLabel;
  TDBPrintWin* DBPrintWin1;

  /** Prints the entries on the selected printer (poPrinter) or into the preview (poViewer), no dialog. */
  void PrintLedger(TSendTo target);

  /**
   * A picture of the window with the mouse resting on the left third of a column's title, the sort cursor it
   * shows drawn in (a window's picture has no mouse pointer of its own). The window must be shown.
   */
  QImage PictureWithTitleCursor(int column);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void SetUpFields();
  /** Payee and Note share the grid's width beyond every column's own, as their widths share it. */
  void FitColumnsToGrid();
  void PrintBtnClick();
  void PreviewBtnClick();
  void LetterBtnClick();
  void UpdateStatus();
  void UpdateSummary(const QString& ledgerFile);
};
