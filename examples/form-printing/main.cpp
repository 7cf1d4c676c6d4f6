// Prints a small order form, a few controls and a grid of order lines from a SQLite file, into a PDF file
// (form-printing FILE.pdf) or into the print preview (form-printing --preview).
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
#include <QDir>
#include <QFile>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  RegisterFontSubstitutions();
  const QString target = application.arguments().value(1);
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
  if (target == QLatin1String("--preview")) {
    printer.OutputTo = poViewer;
  } else {
    Printer().SetPrinterIndex(static_cast<int>(Printer().Printers().indexOf(TPrinter::PdfPrinterName())));
    Printer().SetPdfOutput(QDir::current().absoluteFilePath(target), 300);
    printer.OutputTo = poPrinter;
  }
  TPrintJobScope job(printer);
  printer.PrintControlPages(sheet, 0.5, 0.5);
  job.Finish();
  QFile::remove(database);
  return printer.PagesPrinted > 0 || printer.OutputTo == poViewer ? 0 : 1;
}
