#pragma once

#include "platform/Forms.h"
#include "print/device/QV_PageFiles.h"

#include <memory>

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
 * The ledger: a SQLite file's entries (date, payee, category, note, amount) in a scrolling grid, with buttons
 * to print them, preview them and open the Letter. The printout is a sheet of its own, never shown: a
 * heading, a grid over the same entries in the same order as on the screen, and under it the page total, the
 * running total and the page number; the grid runs over as many pages as the entries need.
 */
class TLedgerFrm : public TForm {
  Q_OBJECT
public:
  /** Opens the ledger file; fails with EDatabaseError when it cannot be read as a ledger. */
  explicit TLedgerFrm(const QString& ledgerFile, QWidget* parent = nullptr);
  ~TLedgerFrm() override;

  TTable* Table1;
  TDataSource* DataSource1;
  TPanel* ToolBar;
  TButton* PrintBtn;
  TButton* PreviewBtn;
  TButton* LetterBtn;
  TButton* CloseBtn;
  TDBGrid* DBGrid1;
  TDBNavigator* DBNavigator1;
  TLabel* StatusLabel;

  /** The printed sheet and what it holds. */
  TPanel* Sheet;
  TLabel* SheetTitle;
  TLabel* SheetSubtitle;
  TDBGrid* SheetGrid;
  TLabel* PageTotalCaption;
  TShowTotal* PageTotal;
  TLabel* RunningTotalCaption;
  TShowTotal* RunningTotal;
  TShowTotal* Continued;
  TLabel* PageNumberCaption;
  TShowTotal* PageNumber;
  TDBPrintWin* DBPrintWin1;

  /** Prints the entries on the selected printer (poPrinter) or into the preview (poViewer), without a dialog.
   */
  void PrintLedger(TSendTo target);

private:
  void SetUpFields();
  void PrintBtnClick();
  void PreviewBtnClick();
  void LetterBtnClick();
  void UpdateStatus();

  /** Holds the sheet off the screen: the sheet is a page to print, not part of the window. */
  std::unique_ptr<QWidget> sheetHolder_;
};
