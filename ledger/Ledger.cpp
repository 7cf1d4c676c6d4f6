#include "ledger/Ledger.h"

#include "ledger/LedgerFile.h"
#include "ledger/Letter.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBNavigator.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "print/controls/Totals.h"
#include "print/engine/DBPrnWin.h"

#include <QFileInfo>
#include <QPrintDialog>

namespace {
struct ColumnLayout {
  const char* field;
  const char* label;
  int screenWidth;
  int sheetWidth;
};
// The sheet is 720 pixels wide: its columns fill it exactly.
const ColumnLayout Columns[] = {{"entry_date", "Date", 90, 90},
                                {"payee", "Payee", 180, 210},
                                {"category", "Category", 100, 110},
                                {"note", "Note", 170, 200},
                                {"amount", "Amount", 100, 110}};

TButton* MakeButton(QWidget* parent, const QString& caption, int left) {
  auto* button = new TButton(parent);
  button->SetCaption(caption);
  button->SetBounds(left, 6, 84, 26);
  return button;
}

TLabel* MakeSheetLabel(QWidget* parent, const QRect& bounds, const QString& caption, const TFont& font) {
  auto* label = new TLabel(parent);
  label->SetAutoSize(false);
  label->SetFont(font);
  label->SetCaption(caption);
  label->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  return label;
}

TShowTotal* MakeTotal(QWidget* parent, const QRect& bounds, TTotals type, TDBGrid* grid, const TFont& font) {
  auto* total = new TShowTotal(parent);
  total->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  total->SetTotalType(type);
  total->SetSourceGrid(grid);
  total->SetSourceField(QStringLiteral("Amount"));
  total->SetColor(clWhite);
  total->SetFont(font);
  return total;
}

void LayOutColumns(TDBGrid& grid, bool sheet) {
  TDBGridColumns& columns = grid.Columns();
  columns.Clear();
  for (const ColumnLayout& layout : Columns) {
    TColumn& column = columns.Add();
    column.SetFieldName(QString::fromLatin1(layout.field));
    column.SetWidth(sheet ? layout.sheetWidth : layout.screenWidth);
  }
}
}  // namespace

TLedgerFrm::TLedgerFrm(const QString& ledgerFile, QWidget* parent) : TForm(parent) {
  SetName(QStringLiteral("LedgerFrm"));
  SetCaption(QStringLiteral("Quenary Ledger - %1").arg(QFileInfo(ledgerFile).fileName()));
  SetFont(MakeFont(QStringLiteral("Arial"), -12));
  SetClientSize(700, 480);

  Table1 = new TTable(this);
  Table1->SetDatabaseName(ledgerFile);
  Table1->SetTableName(LedgerFile::Table);
  Table1->SetIndexFieldNames(QStringLiteral("entry_date"));
  DataSource1 = new TDataSource(this);
  DataSource1->SetDataSet(Table1);

  ToolBar = new TPanel(this);
  ToolBar->SetBounds(0, 0, 700, 38);
  ToolBar->SetBevelOuter(bvRaised);
  PrintBtn = MakeButton(ToolBar, QStringLiteral("&Print..."), 8);
  PreviewBtn = MakeButton(ToolBar, QStringLiteral("Pre&view"), 98);
  LetterBtn = MakeButton(ToolBar, QStringLiteral("&Letter"), 188);
  CloseBtn = MakeButton(ToolBar, QStringLiteral("Close"), 608);

  DBGrid1 = new TDBGrid(this);
  DBGrid1->SetBounds(8, 46, 684, 388);
  DBGrid1->SetDataSource(DataSource1);
  DBNavigator1 = new TDBNavigator(this);
  DBNavigator1->SetBounds(8, 442, 200, 28);
  DBNavigator1->SetDataSource(DataSource1);
  StatusLabel = new TLabel(this);
  StatusLabel->SetBounds(220, 448, 470, 20);

  // The printed sheet, off the screen.
  sheetHolder_ = std::make_unique<QWidget>();
  Sheet = new TPanel(sheetHolder_.get());
  Sheet->SetBevelOuter(bvNone);
  Sheet->SetColor(clWhite);
  Sheet->SetBounds(0, 0, 720, 930);
  const TFont sheetFont = MakeFont(QStringLiteral("Arial"), -12);
  const TFont boldFont = MakeFont(QStringLiteral("Arial"), -12, fsBold);
  SheetTitle = MakeSheetLabel(Sheet, QRect(0, 0, 720, 30), QStringLiteral("Quenary Ledger"),
                              MakeFont(QStringLiteral("Arial"), -22, fsBold));
  SheetSubtitle = MakeSheetLabel(Sheet, QRect(0, 32, 720, 18), QString(), sheetFont);
  SheetGrid = new TDBGrid(Sheet);
  SheetGrid->SetBounds(0, 60, 720, 800);
  SheetGrid->SetDataSource(DataSource1);
  SheetGrid->SetOptions(dgTitles | dgColLines | dgRowLines);
  SheetGrid->SetFont(sheetFont);
  SheetGrid->SetTitleFont(boldFont);
  SheetGrid->SetBorderStyle(bsNone);
  // The totals come after the grid, so they show the sums of the rows printed on their page.
  Continued = MakeTotal(Sheet, QRect(0, 870, 200, 22), tText, nullptr, sheetFont);
  Continued->SetText(QStringLiteral("continued on the next page"));
  Continued->SetAlignment(taLeftJustify);
  Continued->SetShowOn(tAllButLast);
  PageTotalCaption =
      MakeSheetLabel(Sheet, QRect(380, 872, 170, 20), QStringLiteral("Total of this page"), boldFont);
  PageTotal = MakeTotal(Sheet, QRect(560, 868, 160, 24), tPageTotal, SheetGrid, sheetFont);
  PageTotal->SetBorderStyle(bsSingle);
  RunningTotalCaption =
      MakeSheetLabel(Sheet, QRect(380, 900, 170, 20), QStringLiteral("Running total"), boldFont);
  RunningTotal = MakeTotal(Sheet, QRect(560, 896, 160, 24), tAccTotal, SheetGrid, boldFont);
  RunningTotal->SetBorderStyle(bsSingle);
  PageNumberCaption = MakeSheetLabel(Sheet, QRect(0, 900, 50, 20), QStringLiteral("Sheet"), boldFont);
  PageNumber = MakeTotal(Sheet, QRect(50, 898, 60, 22), tPageNumber, nullptr, sheetFont);
  PageNumber->SetAlignment(taLeftJustify);

  DBPrintWin1 = new TDBPrintWin(this, TCreation::Designer);
  DBPrintWin1->FrameObjects = false;
  DBPrintWin1->FooterStringLeft = QStringLiteral("Quenary Ledger, printed on @Date at @Time");

  Table1->Open();
  SetUpFields();
  LayOutColumns(*DBGrid1, false);
  LayOutColumns(*SheetGrid, true);
  connect(DataSource1, &TDataSource::DataChange, this, [this] { UpdateStatus(); });
  UpdateStatus();

  connect(PrintBtn, &TButton::clicked, this, &TLedgerFrm::PrintBtnClick);
  connect(PreviewBtn, &TButton::clicked, this, &TLedgerFrm::PreviewBtnClick);
  connect(LetterBtn, &TButton::clicked, this, &TLedgerFrm::LetterBtnClick);
  connect(CloseBtn, &TButton::clicked, this, [this] { Close(); });
  SetActiveControl(DBGrid1);
}

TLedgerFrm::~TLedgerFrm() = default;

void TLedgerFrm::SetUpFields() {
  for (const ColumnLayout& layout : Columns) {
    TField* field = Table1->FieldByName(QString::fromLatin1(layout.field));
    field->SetDisplayLabel(QString::fromLatin1(layout.label));
  }
  if (auto* amount = dynamic_cast<TNumericField*>(Table1->FieldByName(QStringLiteral("amount"))))
    amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
  Table1->FieldByName(QStringLiteral("id"))->SetVisible(false);
}

void TLedgerFrm::UpdateStatus() {
  StatusLabel->SetCaption(QStringLiteral("Entry %1 of %2").arg(Table1->RecNo()).arg(Table1->RecordCount()));
}

void TLedgerFrm::PrintLedger(TSendTo target) {
  SheetSubtitle->SetCaption(
      QStringLiteral("%1 entries, by %2")
          .arg(Table1->RecordCount())
          .arg(Table1->IndexFieldNames().isEmpty() ? QStringLiteral("entry") : Table1->IndexFieldNames()));
  DBPrintWin1->OutputTo = target;
  DBPrintWin1->StartJob();
  DBPrintWin1->PrintControlPages(Sheet, 0.5, 0.5);
  DBPrintWin1->FinishJob();
  DBPrintWin1->OutputTo = poViewer;
}

void TLedgerFrm::PrintBtnClick() {
  QPrintDialog dialog(&::Printer().QtPrinter(), this);
  if (ExecuteDialog(dialog) != QDialog::Accepted) return;
  ::Printer().TakeQtPrinterSettings();
  try {
    PrintLedger(poPrinter);
  } catch (const std::exception& error) {
    Application().HandleException(error);
  }
}

void TLedgerFrm::PreviewBtnClick() {
  try {
    PrintLedger(poViewer);
  } catch (const std::exception& error) {
    Application().HandleException(error);
  }
}

void TLedgerFrm::LetterBtnClick() {
  TLetterFrm letter(this);
  letter.ShowModal();
}
