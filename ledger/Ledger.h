#pragma once

#include "platform/Forms.h"
#include "print/device/QV_PageFiles.h"

#include <QImage>
#include "print/device/QV_PageFiles.h"

class TButton;
class TQV_SortGrid;
class TDBNavigator;
class TDBPrintWin;
class TDataSource;
class TLabel;
class TPanel;
class TShowTotal;
class TQuery;

/**
 * The ledger: the entries of a SQLite ledger file (date, payee, note, amount) in a scrolling grid, and under
 * it the page total, the running total and the page number that its printout shows. Print and Preview print
 * the ledger panel of the window, its grid running over as many pages as the entries need with the totals of
 * each page under it; the buttons and the navigator are for the screen only.
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
  /** What is printed: the heading, the grid and the totals under it. */
  TPanel* LedgerPanel;
  TLabel* Heading;
  /** A click on a title sorts the entries by that column (the date, the payee or the amount). */
  TQV_SortGrid* DBGrid1;
  /** Words and totals of the printed page; blank on the screen, where they would mean nothing. */
  TShowTotal* PageTotalLabel;
  TShowTotal* PageTotal;
  TShowTotal* RunningTotalLabel;
  TShowTotal* RunningTotal;
  TShowTotal* PageNumberLabel;
  TShowTotal* PageNumber;
  TShowTotal* Continued;
  TDBNavigator* DBNavigator1;
  /** On the screen, under the grid: how many entries the ledger holds and the total of their amounts. */
  TLabel* SummaryLabel;
  TLabel* StatusLabel;
  TDBPrintWin* DBPrintWin1;

  /** Prints the ledger panel on the selected printer (poPrinter) or into the preview (poViewer), no dialog.
   */
  void PrintLedger(TSendTo target);

  /**
   * A picture of the window with the mouse resting on the left third of a column's title, the sort cursor it
   * shows drawn in (a window's picture has no mouse pointer of its own). The window must be shown.
   */
  QImage PictureWithTitleCursor(int column);

private:
  void SetUpFields();
  void PrintBtnClick();
  void PreviewBtnClick();
  void LetterBtnClick();
  void UpdateStatus();
  void UpdateSummary(const QString& ledgerFile);
};
