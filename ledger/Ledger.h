#pragma once

#include "platform/Forms.h"
#include "print/device/QV_PageFiles.h"

class TButton;
class TDBGrid;
class TDBNavigator;
class TDBPrintWin;
class TDataSource;
class TLabel;
class TPanel;
class TShowTotal;
class TTable;

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

  TTable* Table1;
  TDataSource* DataSource1;
  TPanel* ToolBar;
  TButton* PrintBtn;
  TButton* PreviewBtn;
  TButton* LetterBtn;
  TButton* CloseBtn;
  /** What is printed: the heading, the grid and the totals under it. */
  TPanel* LedgerPanel;
  TLabel* Heading;
  TDBGrid* DBGrid1;
  TLabel* PageTotalLabel;
  TShowTotal* PageTotal;
  TLabel* RunningTotalLabel;
  TShowTotal* RunningTotal;
  TLabel* PageNumberLabel;
  TShowTotal* PageNumber;
  TShowTotal* Continued;
  TDBNavigator* DBNavigator1;
  TLabel* StatusLabel;
  TDBPrintWin* DBPrintWin1;

  /** Prints the ledger panel on the selected printer (poPrinter) or into the preview (poViewer), no dialog.
   */
  void PrintLedger(TSendTo target);

private:
  void SetUpFields();
  void PrintBtnClick();
  void PreviewBtnClick();
  void LetterBtnClick();
  void UpdateStatus();
};
