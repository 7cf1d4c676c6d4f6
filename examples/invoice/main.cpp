// Prints an invoice into a PDF file (invoice FILE.pdf) or shows it in the print preview (invoice --preview).
// The invoice is a window of Qt's stock widgets in layouts: a letterhead with a logo, the customer's fields,
// a note in rich text and 300 lines in a QTableWidget whose amounts are texts, with each page's total and
// the running total under the table. The letterhead prints on the first page only; the rest runs on from
// the top of the next pages.
#include <quenary/platform/Screen.h>
#include <quenary/print/controls/Totals.h>
#include <quenary/print/engine/FormPrinter.h>

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QTableWidget>
#include <QTextStream>
#include <QVBoxLayout>

namespace {
constexpr int Lines = 300;

// The firm's logo: its initials in a circle.
QPixmap Logo() {
  QPixmap logo(64, 64);
  logo.fill(Qt::white);
  QPainter painter(&logo);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0x80, 0, 0), 4));
  painter.drawEllipse(4, 4, 56, 56);
  painter.setFont(QFont(QStringLiteral("Liberation Serif"), 18, QFont::Bold));
  painter.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("CH"));
  return logo;
}

QWidget* Letterhead(QWidget* parent) {
  auto* heading = new QWidget(parent);
  auto* row = new QHBoxLayout(heading);
  auto* logo = new QLabel(heading);
  logo->setPixmap(Logo());
  row->addWidget(logo);
  row->addWidget(
      new QLabel(QStringLiteral("<b>Counting House Ltd.</b><br>12 Ledger Lane<br>Bristol BS1 4DJ"), heading),
      1);
  auto* number = new QLabel(QStringLiteral("<b>Invoice 2027-0042</b><br>Date: 2027-01-15"), heading);
  number->setAlignment(Qt::AlignRight | Qt::AlignTop);
  row->addWidget(number);
  return heading;
}

QTableWidget* InvoiceLines(QWidget* parent) {
  auto* table = new QTableWidget(Lines, 3, parent);
  table->setHorizontalHeaderLabels(
      {QStringLiteral("Description"), QStringLiteral("Quantity"), QStringLiteral("Amount")});
  for (int line = 1; line <= Lines; ++line) {
    table->setItem(line - 1, 0, new QTableWidgetItem(QStringLiteral("Line %1 of the order").arg(line)));
    const QStringList numbers{QString::number(line % 9 + 1), QString::number(line * 1.25, 'f', 2)};
    for (int column = 1; column <= 2; ++column) {
      auto* cell = new QTableWidgetItem(numbers.at(column - 1));
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(line - 1, column, cell);
    }
  }
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  return table;
}

// A total of the table's amounts with its words beside it.
void AddTotal(QHBoxLayout* row, QWidget* parent, QTableWidget* table, const QString& words, TTotals type) {
  row->addWidget(new QLabel(words, parent));
  auto* total = new TShowTotal(parent);
  total->SetTotalType(type);
  total->SetSourceGrid(table);
  total->SetSourceField(QStringLiteral("Amount"));
  total->SetAlignment(taRightJustify);
  row->addWidget(total);
}

// What only the first page carries: the letterhead, the customer's fields and the terms.
QWidget* FirstPagePart(QWidget* parent) {
  auto* part = new QWidget(parent);
  auto* column = new QVBoxLayout(part);
  column->addWidget(Letterhead(part));
  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Customer:"), new QLineEdit(QStringLiteral("Harbour Supplies plc"), part));
  fields->addRow(QStringLiteral("Your order:"), new QLineEdit(QStringLiteral("PO 88121"), part));
  column->addLayout(fields);
  auto* paid = new QCheckBox(QStringLiteral("Paid by bank transfer"), part);
  paid->setChecked(true);
  column->addWidget(paid);
  auto* terms =
      new QLabel(QStringLiteral("<p>Payment within <b>30 days</b>, quoting the invoice number.</p>"), part);
  terms->setWordWrap(true);
  column->addWidget(terms);
  return part;
}

// What every page carries: the lines that fit, and the totals under them.
QWidget* InvoiceBody(QWidget* parent) {
  auto* body = new QWidget(parent);
  auto* column = new QVBoxLayout(body);
  auto* table = InvoiceLines(body);
  column->addWidget(table, 1);
  auto* totals = new QHBoxLayout;
  totals->addStretch(1);
  AddTotal(totals, body, table, QStringLiteral("Page total:"), tPageTotal);
  AddTotal(totals, body, table, QStringLiteral("Running total:"), tAccTotal);
  column->addLayout(totals);
  return body;
}
}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  RegisterFontSubstitutions();
  const QString target = application.arguments().value(1);
  if (target.isEmpty()) {
    QTextStream(stderr) << "usage: invoice FILE.pdf | invoice --preview\n";
    return 2;
  }

  QWidget window;
  window.setWindowTitle(QStringLiteral("Invoice 2027-0042"));
  auto* layout = new QVBoxLayout(&window);
  QWidget* heading = FirstPagePart(&window);
  layout->addWidget(heading);
  QWidget* body = InvoiceBody(&window);
  layout->addWidget(body, 1);

  Quenary::FormPrinter printer;
  printer.setHeader(QStringLiteral("Invoice 2027-0042"), QString(), QStringLiteral("Page @Page of @Pages"));
  printer.setFooter(QStringLiteral("Counting House Ltd., registered in England, no. 0123456"));
  printer.setFirstPageHeading(heading);
  bool done = false;
  if (target == QLatin1String("--preview")) {
    done = printer.preview(body);
  } else {
    printer.setOutputFileName(target);
    done = printer.print(body);
  }
  if (!done) {
    QTextStream(stderr) << "invoice: " << printer.errorString() << '\n';
    return 1;
  }
  return 0;
}
