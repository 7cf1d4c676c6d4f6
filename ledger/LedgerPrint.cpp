#include "ledger/LedgerPrint.h"

#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/data/DBGrids.h"
#include "print/controls/Totals.h"
#include "print/engine/PrnWin.h"

#include <algorithm>

namespace {
// Screen pixels of the sheet's parts.
constexpr int HeadingHeight = 32;
constexpr int TotalsHeight = 64;
constexpr int TotalBoxWidth = 160;
constexpr int TotalWordsWidth = 140;
constexpr int DateWidth = 90;
// Room for "99,999,999.99" with its margins.
constexpr int AmountWidth = 110;
// The payee takes two fifths of what the date and the amount leave, the note the rest.
constexpr int PayeeShare = 2;
constexpr int Shares = 5;

TShowTotal* MakeTotal(QWidget* parent, TTotals type, TDBGrid* grid) {
  auto* total = new TShowTotal(parent);
  total->SetTotalType(type);
  total->SetSourceGrid(grid);
  total->SetSourceField(QStringLiteral("Amount"));
  total->SetColor(clWhite);
  total->SetBorderStyle(bsSingle);
  return total;
}

TShowTotal* MakeWords(QWidget* parent, const QString& text, const TFont& font) {
  auto* words = new TShowTotal(parent);
  words->SetTotalType(tText);
  words->SetText(text);
  words->SetFont(font);
  words->SetColor(clWhite);
  words->SetAlignment(taLeftJustify);
  return words;
}
}  // namespace

TLedgerPrintFrm::TLedgerPrintFrm(TDataSource& entries) {
  SetName(QStringLiteral("LedgerPrintFrm"));
  SetCaption(QStringLiteral("Ledger Print Format"));
  const TFont plain = MakeFont(QStringLiteral("Arial"), -12);
  const TFont bold = MakeFont(QStringLiteral("Arial"), -12, fsBold);
  SetFont(plain);

  Sheet = new TPanel(this);
  Sheet->SetBevelOuter(bvNone);
  Sheet->SetColor(clWhite);
  Heading = new TLabel(Sheet);
  Heading->SetAutoSize(false);
  Heading->SetFont(MakeFont(QStringLiteral("Arial"), -20, fsBold));
  Heading->SetCaption(QStringLiteral("Quenary Ledger"));
  // A screen reader tells the printed ledger's heading as one.
  Heading->setProperty(HeadingLevelProperty, 1);
  Grid = new TDBGrid(Sheet);
  Grid->SetDataSource(&entries);
  Grid->SetTitleFont(bold);
  for (const char* field : {"posted", "payee", "note", "amount"})
    Grid->Columns().Add().SetFieldName(QString::fromLatin1(field));
  // The totals follow the grid in the sheet's child order, so each shows the sums of the rows printed on
  // its page and knows whether the grid has finished.
  Continued = MakeWords(Sheet, QStringLiteral("continued on the next page"), plain);
  Continued->SetShowOn(tAllButLast);
  PageTotalLabel = MakeWords(Sheet, QStringLiteral("Page total:"), bold);
  PageTotal = MakeTotal(Sheet, tPageTotal, Grid);
  RunningTotalLabel = MakeWords(Sheet, QStringLiteral("Running total:"), bold);
  RunningTotal = MakeTotal(Sheet, tAccTotal, Grid);
}

TLedgerPrintFrm::~TLedgerPrintFrm() = default;

void TLedgerPrintFrm::LayOut(const QSize& room) {
  if (room.isEmpty()) return;
  const int width = room.width();
  SetClientSize(width, room.height());
  Sheet->SetBounds(0, 0, width, room.height());
  Heading->SetBounds(0, 0, width, HeadingHeight - 6);
  const int gridHeight = std::max(0, room.height() - HeadingHeight - TotalsHeight);
  Grid->SetBounds(0, HeadingHeight, width, gridHeight);
  // Two pixels for the grid's frame.
  const int shared = std::max(0, width - 2 - DateWidth - AmountWidth);
  const int widths[] = {DateWidth, shared * PayeeShare / Shares, shared - shared * PayeeShare / Shares,
                        AmountWidth};
  for (int column = 0; column < Grid->Columns().Count(); ++column)
    Grid->Columns().Items(column).SetWidth(widths[column]);

  const int firstLine = HeadingHeight + gridHeight + 8;
  const int secondLine = firstLine + 30;
  const int boxLeft = width - TotalBoxWidth;
  const int wordsLeft = boxLeft - 12 - TotalWordsWidth;
  Continued->SetBounds(0, firstLine, std::max(0, wordsLeft - 8), 24);
  PageTotalLabel->SetBounds(wordsLeft, firstLine, TotalWordsWidth, 24);
  PageTotal->SetBounds(boxLeft, firstLine, TotalBoxWidth, 24);
  RunningTotalLabel->SetBounds(wordsLeft, secondLine, TotalWordsWidth, 24);
  RunningTotal->SetBounds(boxLeft, secondLine, TotalBoxWidth, 24);
}
