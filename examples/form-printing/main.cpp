// Prints a small order form into a PDF file (form-printing FILE.pdf) or into the print preview
// (form-printing --preview). The form is made of the library's controls, a grid of order lines read from a
// SQLite file; with --stock first (form-printing --stock FILE.pdf) it is a form of Qt's stock widgets in
// layouts, a QTableView over a QStandardItemModel, printed by the same component.
#include <quenary/platform/ExtCtrls.h>
#include <quenary/platform/Forms.h>
#include <quenary/platform/Printers.h>
#include <quenary/platform/Screen.h>
#include <quenary/platform/StdCtrls.h>
#include <quenary/platform/data/DBGrids.h>
#include <quenary/platform/data/DBTables.h>
#include <quenary/platform/data/DatabaseWriter.h>
#include <quenary/print/controls/Totals.h>
#include <quenary/print/engine/DBPrnWin.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// Sends the job to the PDF file or the preview, as the command line asks.
void ChooseTarget(TDBPrintWin& printer, const QString& target) {
  if (target == QLatin1String("--preview")) {
    printer.OutputTo = poViewer;
  } else {
    Printer().PrintToPdf(QDir::current().absoluteFilePath(target));
    printer.OutputTo = poPrinter;
  }
}

// The same order as a Qt developer would build it: stock widgets in layouts, the lines in a table view. The
// window is never shown; the component lays it out as showing would and prints it page after page while
// the table has rows left, with the page's and the running sum of the amounts.
int PrintStockForm(const QString& target) {
  QStandardItemModel lines(120, 3);
  lines.setHorizontalHeaderLabels(
      {QStringLiteral("Item"), QStringLiteral("Quantity"), QStringLiteral("Amount")});
  for (int line = 0; line < 120; ++line) {
    lines.setItem(line, 0, new QStandardItem(QStringLiteral("Item %1").arg(line + 1)));
    for (const auto& [column, value] :
         {std::pair{1, QVariant((line + 1) % 7 + 1)}, {2, QVariant((line + 1) * 1.25)}}) {
      auto* cell = new QStandardItem;
      cell->setData(value, Qt::DisplayRole);
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      lines.setItem(line, column, cell);
    }
  }

  QWidget form;
  form.resize(560, 720);
  auto* column = new QVBoxLayout(&form);
  auto* title = new QLabel(QStringLiteral("<b>Order 4712</b>"), &form);
  column->addWidget(title);
  auto* fields = new QFormLayout;
  column->addLayout(fields);
  fields->addRow(QStringLiteral("Customer:"), new QLineEdit(QStringLiteral("Counting House Ltd."), &form));
  auto* due = new QDateEdit(QDate(2027, 1, 15), &form);
  due->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  fields->addRow(QStringLiteral("Due:"), due);
  auto* express = new QCheckBox(QStringLiteral("Express delivery"), &form);
  express->setChecked(true);
  column->addWidget(express);
  auto* table = new QTableView(&form);
  table->setModel(&lines);
  table->verticalHeader()->hide();
  table->setColumnWidth(0, 200);
  column->addWidget(table, 1);
  auto* notes = new QGroupBox(QStringLiteral("Notes"), &form);
  (new QVBoxLayout(notes))->addWidget(new QPlainTextEdit(QStringLiteral("Deliver to the back door."), notes));
  column->addWidget(notes);
  // The totals control takes the table as its grid and the column by its title.
  auto* totals = new QWidget(&form);
  totals->setMinimumHeight(28);
  auto* pageTotal = new TShowTotal(totals);
  pageTotal->SetTotalType(tPageTotal);
  pageTotal->SetSourceGrid(table);
  pageTotal->SetSourceField(QStringLiteral("Amount"));
  pageTotal->SetBorderStyle(bsSingle);
  pageTotal->SetBounds(200, 2, 160, 24);
  auto* runningTotal = new TShowTotal(totals);
  runningTotal->SetTotalType(tAccTotal);
  runningTotal->SetSourceGrid(table);
  runningTotal->SetSourceField(QStringLiteral("Amount"));
  runningTotal->SetBorderStyle(bsSingle);
  runningTotal->SetBounds(370, 2, 160, 24);
  column->addWidget(totals);

  TDBPrintWin printer;
  printer.FooterStringLeft = QStringLiteral("Order 4712, printed on @Date");
  ChooseTarget(printer, target);
  TPrintJobScope job(printer);
  printer.PrintControlPages(&form, 0.5, 0.5);
  job.Finish();
  return printer.PagesPrinted > 0 || printer.OutputTo == poViewer ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  RegisterFontSubstitutions();
  const QString target = application.arguments().value(1);
  if (target == QLatin1String("--stock")) {
    const QString stockTarget = application.arguments().value(2);
    return stockTarget.isEmpty() ? 2 : PrintStockForm(stockTarget);
  }
  if (target.isEmpty()) return 2;

  // The order lines, in a SQLite file of their own.
  const QString database = QDir::temp().filePath(QStringLiteral("form-printing-orders.sqlite"));
  QFile::remove(database);
  {
    TDatabaseWriter writer(database);
    writer.Execute(QStringLiteral("CREATE TABLE lines (item TEXT, quantity INTEGER, price CURRENCY)"));
    for (int line = 1; line <= 120; ++line)
      writer.Execute(QStringLiteral("INSERT INTO lines VALUES (?, ?, ?)"),
                     {QStringLiteral("Item %1").arg(line), line % 7 + 1, line * 1.25});
    writer.Commit();
  }
  TTable lines;
  lines.SetDatabaseName(database);
  lines.SetTableName(QStringLiteral("lines"));
  lines.Open();
  TDataSource source;
  source.SetDataSet(&lines);

  // The form: a few controls and the grid, on a white panel that is what prints.
  TForm form;
  form.SetClientSize(640, 600);
  auto* sheet = new TPanel(&form);
  sheet->SetColor(clWhite);
  sheet->SetBounds(0, 0, 640, 600);
  auto* title = new TLabel(sheet);
  title->SetFont(MakeFont(QStringLiteral("Arial"), -20, fsBold));
  title->SetCaption(QStringLiteral("Order 4711"));
  title->SetBounds(8, 8, 300, 28);
  auto* customer = new TEdit(sheet);
  customer->SetText(QStringLiteral("Counting House Ltd."));
  customer->SetBounds(8, 44, 300, 24);
  auto* grid = new TDBGrid(sheet);
  grid->SetDataSource(&source);
  grid->SetBounds(8, 80, 330, 440);
  // After the grid, so it sums the prices printed on its own page.
  auto* pageTotal = new TShowTotal(sheet);
  pageTotal->SetTotalType(tPageTotal);
  pageTotal->SetSourceGrid(grid);
  pageTotal->SetSourceField(QStringLiteral("price"));
  pageTotal->SetBorderStyle(bsSingle);
  pageTotal->SetBounds(178, 530, 160, 24);

  // The printing component prints the panel page after page while the grid has rows left.
  TDBPrintWin printer(&form);
  printer.FooterStringLeft = QStringLiteral("Order 4711, printed on @Date");
  ChooseTarget(printer, target);
  TPrintJobScope job(printer);
  printer.PrintControlPages(sheet, 0.5, 0.5);
  job.Finish();
  QFile::remove(database);
  return printer.PagesPrinted > 0 || printer.OutputTo == poViewer ? 0 : 1;
}
