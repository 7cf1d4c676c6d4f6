#pragma once

// The ledger as it prints: laid out anew for each job's paper, its grid and totals filling every page.

#include "platform/Forms.h"

#include <QSize>

class TDataSource;
class TDBGrid;
class TLabel;
class TPanel;
class TShowTotal;

/**
 * The ledger as it prints: a sheet with the heading, the entries' grid and under it the page total and the
 * running total, laid out anew for each job to the room its paper gives (LayOut), so the grid takes the
 * page's width and height on any paper and in either orientation. It shows the entries of the ledger
 * window's data source, so the printout follows the order the user sorted them in. The form itself is
 * never shown; the page number is the footer band's.
 */
class TLedgerPrintFrm : public TForm {
  Q_OBJECT
public:
  explicit TLedgerPrintFrm(TDataSource& entries);
  ~TLedgerPrintFrm() override;

  /** What prints. */
  TPanel* Sheet;
  TLabel* Heading;
  TDBGrid* Grid;
  TShowTotal* Continued;
  TShowTotal* PageTotalLabel;
  TShowTotal* PageTotal;
  TShowTotal* RunningTotalLabel;
  TShowTotal* RunningTotal;

  /**
   * Sizes the sheet to the room (screen pixels, as TPrintWin::RoomAt gives it): the grid fills what the
   * heading and the totals leave, the date and amount columns keep their widths and the payee and note
   * columns share the rest. An empty room changes nothing.
   */
  void LayOut(const QSize& room);
};
