#include "ledger/Ledger.h"

#include "ledger/LedgerFile.h"
#include "ledger/LedgerPrint.h"
#include "ledger/Letter.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBNavigator.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "print/controls/Qv_grid.h"
#include "print/engine/DBPrnWin.h"

#include <QDate>
#include <QLocale>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <iterator>

namespace {
struct ColumnLayout {
  const char* field;
  const char* label;
  int width;
};
const ColumnLayout Columns[] = {
    {"posted", "Date", 90}, {"payee", "Payee", 210}, {"note", "Note", 290}, {"amount", "Amount", 110}};

TButton* MakeButton(QWidget* parent, const QString& caption, int left) {
  auto* button = new TButton(parent);
  button->SetCaption(caption);
  button->SetBounds(left, 6, 84, 26);
  return button;
}

// Below this the buttons and the navigator would no longer fit side by side.
constexpr int MinimumWidth = 560;
constexpr int MinimumHeight = 320;

TLabel* MakeLabel(QWidget* parent, const QRect& bounds, const QString& caption, const TFont& font) {
  auto* label = new TLabel(parent);
  label->SetAutoSize(false);
  label->SetFont(font);
  label->SetCaption(caption);
  label->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  return label;
}
}  // namespace

TLedgerFrm::TLedgerFrm(const QString& ledgerFile, QWidget* parent) : TForm(parent) {
  LedgerFile::Check(ledgerFile);
  SetName(QStringLiteral("LedgerFrm"));
  SetCaption(QStringLiteral("Quenary Ledger - %1").arg(QFileInfo(ledgerFile).fileName()));
  SetFont(MakeFont(QStringLiteral("Arial"), -12));
  SetClientSize(760, 640);

  Query1 = new TQuery(this);
  Query1->SetDatabaseName(ledgerFile);
  Query1->SetSQL({QStringLiteral("SELECT id, posted, payee, note, amount FROM %1").arg(LedgerFile::Table),
                  QStringLiteral("ORDER BY posted ASCENDING")});
  DataSource1 = new TDataSource(this);
  DataSource1->SetDataSet(Query1);

  // The window lays itself out: the tool bar along the top (Close at its right end), the navigator along the
  // bottom, and the grid taking all that is left between them, at any size down to the minimum.
  ToolBar = new TPanel(this);
  ToolBar->SetBounds(0, 0, 760, 38);
  ToolBar->SetAlign(alTop);
  PrintBtn = MakeButton(ToolBar, QStringLiteral("&Print..."), 8);
  PreviewBtn = MakeButton(ToolBar, QStringLiteral("Pre&view"), 98);
  LetterBtn = MakeButton(ToolBar, QStringLiteral("&Letter"), 188);
  auto* closeArea = new TPanel(ToolBar);
  closeArea->SetBevelOuter(bvNone);
  closeArea->SetBounds(660, 0, 100, 38);
  closeArea->SetAlign(alRight);
  CloseBtn = MakeButton(closeArea, QStringLiteral("&Close"), 8);

  auto* bottomBar = new TPanel(this);
  bottomBar->SetBevelOuter(bvNone);
  bottomBar->SetBounds(0, 604, 760, 36);
  bottomBar->SetAlign(alBottom);
  DBNavigator1 = new TDBNavigator(bottomBar);
  DBNavigator1->SetBounds(8, 4, 200, 26);
  DBNavigator1->SetDataSource(DataSource1);
  const TFont plain = MakeFont(QStringLiteral("Arial"), -12);
  const TFont bold = MakeFont(QStringLiteral("Arial"), -12, fsBold);
  StatusLabel = MakeLabel(bottomBar, QRect(220, 8, 530, 20), QString(), plain);

  LedgerPanel = new TPanel(this);
  LedgerPanel->SetBevelOuter(bvNone);
  LedgerPanel->SetColor(clWhite);
  LedgerPanel->SetBorderWidth(8);
  LedgerPanel->SetBounds(0, 38, 760, 566);
  LedgerPanel->SetAlign(alClient);
  Heading = MakeLabel(LedgerPanel, QRect(8, 8, 744, 28), QStringLiteral("Quenary Ledger"),
                      MakeFont(QStringLiteral("Arial"), -20, fsBold));
  Heading->SetAlign(alTop);
  SummaryLabel = MakeLabel(LedgerPanel, QRect(8, 530, 744, 28), QString(), bold);
  SummaryLabel->SetLayout(tlCenter);
  SummaryLabel->SetAlign(alBottom);
  DBGrid1 = new TQV_SortGrid(LedgerPanel);
  DBGrid1->SetBounds(8, 36, 744, 490);
  DBGrid1->SetDataSource(DataSource1);
  DBGrid1->SetTitleFont(bold);
  DBGrid1->SetAlign(alClient);
  // A list to read: Tab goes on to the navigator and the buttons, the arrows move among the entries.
  DBGrid1->SetOptions(DBGrid1->Options() & ~TDBGridOptions(dgTabs));
  DBGrid1->viewport()->installEventFilter(this);
  setMinimumSize(MinimumWidth, MinimumHeight);

  DBPrintWin1 = new TDBPrintWin(this, TCreation::Designer);
  DBPrintWin1->FrameObjects = false;
  DBPrintWin1->FooterStringLeft = QStringLiteral("Quenary Ledger, printed on @Date at @Time");
  DBPrintWin1->FooterStringRight = QStringLiteral("Page @Page of @Pages");

  Query1->Open();
  SetUpFields();
  UpdateSummary(ledgerFile);
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
  TDBGridColumns& columns = DBGrid1->Columns();
  columns.Clear();
  for (const ColumnLayout& layout : Columns) {
    Query1->FieldByName(QString::fromLatin1(layout.field))
        ->SetDisplayLabel(QString::fromLatin1(layout.label));
    TColumn& column = columns.Add();
    column.SetFieldName(QString::fromLatin1(layout.field));
    column.SetWidth(layout.width);
  }
  if (auto* amount = dynamic_cast<TNumericField*>(Query1->FieldByName(QStringLiteral("amount"))))
    amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
  Query1->FieldByName(QStringLiteral("id"))->SetVisible(false);
}

bool TLedgerFrm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == DBGrid1->viewport() && event->type() == QEvent::Resize) FitColumnsToGrid();
  return TForm::eventFilter(watched, event);
}

void TLedgerFrm::FitColumnsToGrid() {
  TDBGridColumns& columns = DBGrid1->Columns();
  if (columns.Count() != static_cast<int>(std::size(Columns))) return;
  int designed = 0;
  for (const ColumnLayout& layout : Columns) designed += layout.width;
  const int extra = std::max(0, DBGrid1->viewport()->width() - designed);
  const int payee = Columns[1].width;
  const int note = Columns[2].width;
  const int payeeExtra = extra * payee / (payee + note);
  columns.Items(1).SetWidth(payee + payeeExtra);
  columns.Items(2).SetWidth(note + extra - payeeExtra);
}

void TLedgerFrm::UpdateSummary(const QString& ledgerFile) {
  TQuery sums;
  sums.SetDatabaseName(ledgerFile);
  sums.SetSQL({QStringLiteral("SELECT COUNT(*) AS entries, TOTAL(amount) AS amounts FROM %1")
                   .arg(LedgerFile::Table)});
  sums.Open();
  const int entries = sums.FieldByName(QStringLiteral("entries"))->AsInteger();
  SummaryLabel->SetCaption(QStringLiteral("%1 %2, total %3")
                               .arg(FormatFloat(QStringLiteral("#,##0"), entries))
                               .arg(entries == 1 ? QStringLiteral("entry") : QStringLiteral("entries"),
                                    FormatFloat(QStringLiteral("#,##0.00"),
                                                sums.FieldByName(QStringLiteral("amounts"))->AsFloat())));
}

void TLedgerFrm::UpdateStatus() {
  // Counts are grouped as the total beside them is: "Entry 1 of 100,000".
  StatusLabel->SetCaption(
      QStringLiteral("Entry %1 of %2")
          .arg(FormatFloat(QStringLiteral("#,##0"), static_cast<double>(Query1->RecNo())),
               FormatFloat(QStringLiteral("#,##0"), static_cast<double>(Query1->RecordCount()))));
}

void TLedgerFrm::PrintLedger(TSendTo target) {
  // Half an inch in from the printable area's corner, as the bands are.
  constexpr double Margin = 0.5;
  TLedgerPrintFrm sheet(*DataSource1);
  DBPrintWin1->OutputTo = target;
  DBPrintWin1->DocumentTitle = sheet.Heading->Caption();
  // The outline holds the ledger and under it each month of entries, from the entry that opens the month.
  // Asked for every row: the month's name is made only when the month ("2026-01") changes.
  TField* posted = Query1->FieldByName(QStringLiteral("posted"));
  DBPrintWin1->GridPrinter().SetRowOutline(
      sheet.Grid,
      [posted, month = QString(), title = QString()](const QModelIndex&) mutable {
        const QString date = posted->AsString();
        if (QStringView(date).left(7) != month) {
          month = date.left(7);
          const QDate first = QDate::fromString(month + QStringLiteral("-01"), Qt::ISODate);
          title = first.isValid() ? QLocale().toString(first, QStringLiteral("MMMM yyyy")) : QString();
        }
        return title;
      },
      1);
  TPrintJobScope job(*DBPrintWin1);
  // The paper is known once the job has started: the user may have chosen another size or orientation.
  sheet.LayOut(DBPrintWin1->RoomAt(Margin, Margin));
  DBPrintWin1->AddOutlineEntry(sheet.Heading->Caption(), 0, Margin);
  DBPrintWin1->PrintControlPages(sheet.Sheet, Margin, Margin);
  job.Finish();
  DBPrintWin1->OutputTo = poViewer;
}

void TLedgerFrm::PrintBtnClick() {
  if (ExecutePrintDialog(this)) Application().Guarded([this] { PrintLedger(poPrinter); });
}

void TLedgerFrm::PreviewBtnClick() {
  Application().Guarded([this] { PrintLedger(poViewer); });
}

void TLedgerFrm::LetterBtnClick() {
  TLetterFrm letter;
  letter.ShowModal();
}

QImage TLedgerFrm::PictureWithTitleCursor(int column) {
  QHeaderView& titles = DBGrid1->TitleBar();
  QWidget* viewport = titles.viewport();
  const QPoint point(titles.sectionViewportPosition(column) + titles.sectionSize(column) / 6,
                     DBGrid1->TitleRowHeight() / 2);
  QMouseEvent move(QEvent::MouseMove, point, viewport->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &move);
  QCoreApplication::processEvents();
  QImage picture = grab().toImage();
  const QCursor cursor = viewport->cursor();
  const QPixmap shape = cursor.pixmap();
  if (!shape.isNull()) {
    QPainter painter(&picture);
    const QPoint at = viewport->mapTo(this, point) - cursor.hotSpot() / shape.devicePixelRatio();
    painter.drawPixmap(at, shape);
  }
  return picture;
}
