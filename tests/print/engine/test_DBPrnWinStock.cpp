// Forms made of Qt's stock widgets, printed to PDF and read back: text as text where the layout put it, and
// item views through the grid printer, every row of the model once across pages with their totals.
#include "print/controls/Totals.h"
#include "print/engine/DBPrnWin.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/print/engine/EngineTestSupport.h"
#include "tests/support/WriterComparison.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>
#include <functional>
#include <map>

namespace {

// A totals box on the sheet summing the view's column of that title, printed in that pattern.
void AddTotal(QWidget& sheet, const QRect& bounds, TTotals type, QAbstractItemView* view,
              const QString& title, const QString& pattern) {
  auto* total = new TShowTotal(&sheet);
  total->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  total->SetTotalType(type);
  total->SetSourceGrid(view);
  total->SetSourceField(title);
  total->SetDisplayFormat(pattern);
}

class StockFormTest : public RendererJobTest {
protected:
  /** The words of a page that match a pattern, top to bottom. */
  static QList<PdfWord> WordsMatching(const PdfReader& pdf, int page, const QString& pattern) {
    const QRegularExpression whole(QStringLiteral("^(") + pattern + QStringLiteral(")$"));
    QList<PdfWord> words;
    for (const PdfWord& word : pdf.Words(page)) {
      if (whole.match(word.Text).hasMatch()) words.append(word);
    }
    std::sort(words.begin(), words.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.Box.top() < b.Box.top(); });
    return words;
  }
};

// A form as a Qt developer writes one: widgets in layouts, never shown, printed whole.
TEST_F(StockFormTest, AFormOfStockWidgetsInLayoutsPrintsItsTextsWhereTheLayoutPutThem) {
  QWidget form;
  form.resize(480, 560);
  auto* column = new QVBoxLayout(&form);
  auto* title = new QLabel(QStringLiteral("Delivery note"), &form);
  QFont big = title->font();
  big.setPixelSize(22);
  title->setFont(big);
  column->addWidget(title);
  auto* fields = new QFormLayout;
  column->addLayout(fields);
  auto* name = new QLineEdit(QStringLiteral("Ada Lovelace"), &form);
  name->setMinimumHeight(40);  // tall enough that a text at its top would be plain to see
  auto* nameLabel = new QLabel(QStringLiteral("&Name:"), &form);
  nameLabel->setBuddy(name);
  fields->addRow(nameLabel, name);
  auto* amount = new QDoubleSpinBox(&form);
  amount->setRange(0, 100000);
  amount->setPrefix(QStringLiteral("EUR "));
  amount->setValue(12345.5);
  fields->addRow(QStringLiteral("Amount:"), amount);
  auto* pin = new QLineEdit(QStringLiteral("hunter2"), &form);
  pin->setEchoMode(QLineEdit::Password);
  fields->addRow(QStringLiteral("PIN:"), pin);
  auto* service = new QComboBox(&form);
  service->addItems({QStringLiteral("Standard"), QStringLiteral("Express")});
  service->setEditable(true);  // its editor is a part of it, not a second field
  service->setCurrentIndex(1);
  fields->addRow(QStringLiteral("Service:"), service);
  auto* paid = new QCheckBox(QStringLiteral("&Paid"), &form);
  paid->setChecked(true);
  column->addWidget(paid);
  auto* notesBox = new QGroupBox(QStringLiteral("Notes"), &form);
  auto* notesLayout = new QVBoxLayout(notesBox);
  notesLayout->addWidget(new QPlainTextEdit(QStringLiteral("Leave at door\nRing twice"), notesBox));
  column->addWidget(notesBox);
  auto* tabs = new QTabWidget(&form);
  auto* shown = new QWidget;
  (new QVBoxLayout(shown))->addWidget(new QLabel(QStringLiteral("<b>Fragile</b> goods"), shown));
  auto* other = new QWidget;
  (new QVBoxLayout(other))->addWidget(new QLabel(QStringLiteral("Unseen"), other));
  tabs->addTab(shown, QStringLiteral("Handling"));
  tabs->addTab(other, QStringLiteral("Other"));
  column->addWidget(tabs);
  // A rich label sized to its text, at the right.
  auto* numberRow = new QHBoxLayout;
  numberRow->addStretch(1);
  auto* number = new QLabel(QStringLiteral("<b>No. 2027-0042</b>"), &form);
  number->setAlignment(Qt::AlignRight);
  numberRow->addWidget(number);
  column->addLayout(numberRow);

  PrintControlPages(&form);
  EXPECT_FALSE(form.isVisible()) << "laid out off screen and hidden again";
  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 1);
  const auto find = [&pdf](const QString& text) { return pdf.Find(0, text); };
  for (const char* text : {"Delivery", "Name:", "Ada", "Lovelace", "Amount:", "EUR", "Express", "Paid",
                           "Notes", "Leave", "Ring", "twice", "Fragile", "goods"})
    EXPECT_FALSE(find(QString::fromUtf8(text)).isEmpty()) << text << " prints as text";
  const QString all = pdf.Text(0);
  EXPECT_TRUE(all.contains(QStringLiteral("12,345.50")) || all.contains(QStringLiteral("12345.50")))
      << "the spin box's shown value: " << all.toStdString();
  EXPECT_FALSE(all.contains(QStringLiteral("hunter2"))) << "a password prints masked";
  EXPECT_FALSE(all.contains(QStringLiteral("Unseen"))) << "only the tab page shown";
  EXPECT_FALSE(all.contains(QStringLiteral("Standard"))) << "a combo prints its current text only";
  EXPECT_EQ(WordsMatching(pdf, 0, QStringLiteral("Express")).size(), 1) << "and once";
  EXPECT_FALSE(all.contains(QStringLiteral("&"))) << "shortcut marks are not printed";

  // Where the layout put them, relative to each other.
  const QRectF label = find(QStringLiteral("Name:"));
  const QRectF value = find(QStringLiteral("Ada"));
  EXPECT_LT(label.right(), value.left()) << "a form row's label left of its field";
  EXPECT_LT(std::abs(label.center().y() - value.center().y()), label.height()) << "on one line";
  // A line edit's text stands on its middle line, as the screen shows it (the form prints half an inch from
  // the top; a screen pixel is 3/4 of a point).
  EXPECT_NEAR(value.center().y(), 36 + (name->mapTo(&form, QPoint(0, 0)).y() + name->height() / 2.0) * 0.75,
              1.5);
  const double tops[] = {find(QStringLiteral("Delivery")).top(), label.top(),
                         find(QStringLiteral("Amount:")).top(),  find(QStringLiteral("Service:")).top(),
                         find(QStringLiteral("Paid")).top(),     find(QStringLiteral("Notes")).top(),
                         find(QStringLiteral("Leave")).top(),    find(QStringLiteral("Ring")).top(),
                         find(QStringLiteral("Fragile")).top()};
  for (std::size_t at = 1; at < std::size(tops); ++at) EXPECT_LT(tops[at - 1], tops[at]) << "row " << at;
  // The form is 480 x 560 screen pixels from half an inch: everything lies inside it.
  const QRectF page(36, 36, 480 * 0.75, 560 * 0.75);
  for (const PdfWord& word : pdf.Words(0)) EXPECT_TRUE(page.contains(word.Box)) << word.Text.toStdString();
  // The rich label's last letter prints whole: the ink reaches the end of the word.
  const QRectF numberBox = find(QStringLiteral("2027-0042"));
  const double pixels = Dpi / 72.0;
  const QRect numberArea(QPoint(numberBox.left() * pixels, numberBox.top() * pixels),
                         QPoint((numberBox.right() + 12) * pixels, numberBox.bottom() * pixels));
  EXPECT_GE(InkBounds(pdf.Render(0, Dpi), numberArea).right(), (numberBox.right() - 1) * pixels);

  // The program's PDF writer makes the page Qt's writer makes.
  const QStringList problems = PrintThroughBothWriters(scratch_.Path(), [&](const QString& file) {
    Printer().SetPdfOutput(file, Dpi);
    PrintControlPages(&form);
  });
  EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

// The model's rows, not the screen's: a thousand rows across pages, each once, with their sums.
TEST_F(StockFormTest, ATableViewPrintsEveryRowOfItsModelOnceAcrossPagesWithPageAndRunningTotals) {
  QStandardItemModel model(1000, 2);
  model.setHorizontalHeaderLabels({QStringLiteral("Item"), QStringLiteral("Qty")});
  for (int row = 0; row < 1000; ++row) {
    model.setItem(row, 0, new QStandardItem(QStringLiteral("row%1").arg(row + 1, 4, 10, QLatin1Char('0'))));
    auto* quantity = new QStandardItem;
    quantity->setData(row % 9 + 1, Qt::DisplayRole);
    quantity->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    model.setItem(row, 1, quantity);
  }
  QWidget sheet;
  sheet.resize(400, 700);
  auto* view = new QTableView(&sheet);
  view->setModel(&model);
  view->setGeometry(0, 0, 400, 600);
  view->setRowHidden(4, true);  // a filtered row stays out of the printout too
  AddTotal(sheet, QRect(200, 610, 190, 20), tPageTotal, view, QStringLiteral("qty"), QStringLiteral("'P'0"));
  AddTotal(sheet, QRect(200, 640, 190, 20), tAccTotal, view, QStringLiteral("Qty"), QStringLiteral("'R'0"));

  PrintControlPages(&sheet);
  const PdfReader pdf(PdfFile());
  ASSERT_GE(pdf.PageCount(), 10) << pdf.Text(0).toStdString() << "\n----\n" << pdf.Text(1).toStdString();
  QStringList printed;
  int running = 0;
  for (int page = 0; page < pdf.PageCount(); ++page) {
    EXPECT_FALSE(pdf.Find(page, QStringLiteral("Qty")).isEmpty()) << "titles on page " << page + 1;
    const QList<PdfWord> names = WordsMatching(pdf, page, QStringLiteral("row\\d+"));
    ASSERT_FALSE(names.isEmpty()) << "page " << page + 1;
    int sum = 0;
    for (const PdfWord& name : names) {
      printed << name.Text;
      const int quantity = (name.Text.mid(3).toInt() - 1) % 9 + 1;
      sum += quantity;
      // The quantity stands on the name's line, right-aligned in its column.
      const QList<PdfWord> numbers = WordsMatching(pdf, page, QString::number(quantity));
      const bool onLine = std::any_of(numbers.begin(), numbers.end(), [&name](const PdfWord& number) {
        return std::abs(number.Box.center().y() - name.Box.center().y()) < 2 &&
               number.Box.left() > name.Box.right();
      });
      EXPECT_TRUE(onLine) << name.Text.toStdString();
    }
    running += sum;
    const QString text = pdf.Text(page);
    EXPECT_TRUE(text.contains(QStringLiteral("P%1").arg(sum))) << "page total on page " << page + 1;
    EXPECT_TRUE(text.contains(QStringLiteral("R%1").arg(running))) << "running total on page " << page + 1;
  }
  QStringList expected;
  for (int row = 1; row <= 1000; ++row) {
    if (row != 5) expected << QStringLiteral("row%1").arg(row, 4, 10, QLatin1Char('0'));
  }
  EXPECT_EQ(printed, expected) << "every shown row once, in order";
  EXPECT_TRUE(renderer_.TrackedControls().empty());
}

// Amounts a model holds as text add up as the numbers they read as, in the view's locale or the C locale; an
// empty cell or a word adds nothing.
TEST_F(StockFormTest, AmountsHeldAsTextAddUpAsTheNumbersTheyRead) {
  const struct {
    QLocale::Language Language;
    QStringList Cells;
    const char* Total;
  } cases[] = {
      {QLocale::English, {"12.50", " 1,234.50 ", "3", "", "n/a", "2026-01-02", "-0.25"}, "1249.75"},
      {QLocale::German, {"12,50", "1.234,50", "0.25", "x"}, "1247.25"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(QLocale::languageToString(test.Language).toStdString());
    QWidget sheet;
    sheet.resize(300, 400);
    auto* table = new QTableWidget(static_cast<int>(test.Cells.size()), 1, &sheet);
    table->setHorizontalHeaderLabels({QStringLiteral("Amount")});
    table->setLocale(QLocale(test.Language));
    for (int row = 0; row < table->rowCount(); ++row)
      table->setItem(row, 0, new QTableWidgetItem(test.Cells.at(row)));
    table->setGeometry(0, 0, 300, 300);
    AddTotal(sheet, QRect(100, 320, 190, 24), tPageTotal, table, QStringLiteral("Amount"),
             QStringLiteral("'T'0.00"));
    PrintControlPages(&sheet);
    EXPECT_TRUE(PdfReader(PdfFile()).Text(0).contains(QStringLiteral("T") + QString::fromLatin1(test.Total)))
        << PdfReader(PdfFile()).Text(0).toStdString();
  }
}

// A table whose columns fill it on the screen fills its frame on paper: the room of the row numbers and the
// scroll bar, which paper does not show, goes to the last column, whose amounts end at the frame.
TEST_F(StockFormTest, ATableFillsItsFrameOnPaperAsItsColumnsFillItOnTheScreen) {
  QWidget sheet;
  sheet.resize(400, 400);
  auto* table = new QTableWidget(60, 2, &sheet);
  table->setGeometry(0, 0, 400, 300);
  table->setHorizontalHeaderLabels({QStringLiteral("Item"), QStringLiteral("Amount")});
  table->horizontalHeader()->setStretchLastSection(true);
  for (int row = 0; row < table->rowCount(); ++row) {
    table->setItem(row, 0, new QTableWidgetItem(QStringLiteral("item%1").arg(row)));
    auto* amount = new QTableWidgetItem(QStringLiteral("%1.00").arg(row + 100));
    amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->setItem(row, 1, amount);
  }
  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  ASSERT_GT(table->verticalHeader()->width(), 0);
  PrintControlPages(&sheet);
  // The sheet prints half an inch from the left; a screen pixel is 3/4 of a point.
  const double frameRight = 36 + table->width() * 0.75;
  const QList<PdfWord> amounts = WordsMatching(PdfReader(PdfFile()), 0, QStringLiteral("\\d+\\.00"));
  ASSERT_FALSE(amounts.isEmpty());
  for (const PdfWord& amount : amounts)
    EXPECT_NEAR(amount.Box.right(), frameRight, 4) << amount.Text.toStdString();
}

// A tree prints flattened: each parent, then its children indented one level, collapsed or not.
TEST_F(StockFormTest, ATreeViewPrintsItsRowsFlattenedUnderTheirParentsIndentedByLevel) {
  QStandardItemModel model;
  model.setHorizontalHeaderLabels({QStringLiteral("Account")});
  for (const char* parentName : {"Assets", "Debts"}) {
    auto* parent = new QStandardItem(QString::fromUtf8(parentName));
    for (int child = 1; child <= 2; ++child)
      parent->appendRow(
          new QStandardItem(QStringLiteral("%1Sub%2").arg(QString::fromUtf8(parentName)).arg(child)));
    model.appendRow(parent);
  }
  QWidget sheet;
  sheet.resize(300, 300);
  auto* view = new QTreeView(&sheet);
  view->setModel(&model);
  view->setGeometry(0, 0, 300, 300);
  PrintControlPages(&sheet);
  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 1);
  const QList<PdfWord> rows = WordsMatching(pdf, 0, QStringLiteral("Assets|Debts|\\w+Sub\\d"));
  QStringList order;
  for (const PdfWord& row : rows) order << row.Text;
  EXPECT_EQ(order,
            (QStringList{QStringLiteral("Assets"), QStringLiteral("AssetsSub1"), QStringLiteral("AssetsSub2"),
                         QStringLiteral("Debts"), QStringLiteral("DebtsSub1"), QStringLiteral("DebtsSub2")}));
  ASSERT_EQ(rows.size(), 6);
  EXPECT_GT(rows[1].Box.left(), rows[0].Box.left() + 5) << "a child is indented";
  EXPECT_NEAR(rows[3].Box.left(), rows[0].Box.left(), 0.5) << "parents share the first level";
}

// A frame's line, a bar's progress, a label's picture and a scroll area's contents: where and how much the
// screen shows.
TEST_F(StockFormTest, LinesBarsAndPicturesPrintAsShapesAndPicturesAndAScrollAreaItsContentsFromTheTop) {
  QWidget sheet;
  sheet.resize(400, 300);
  QPixmap red(40, 20);
  red.fill(QColor(255, 0, 0));
  auto* picture = new QLabel(&sheet);
  picture->setPixmap(red);
  picture->setGeometry(300, 60, 40, 20);
  auto* line = new QFrame(&sheet);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Plain);
  line->setGeometry(0, 20, 400, 3);
  auto* bar = new QProgressBar(&sheet);
  bar->setRange(0, 200);
  bar->setValue(80);
  QPalette blue = bar->palette();
  blue.setColor(QPalette::Highlight, QColor(0, 0, 255));
  bar->setPalette(blue);
  bar->setGeometry(0, 60, 200, 20);
  auto* area = new QScrollArea(&sheet);
  area->setGeometry(0, 120, 200, 80);
  auto* contents = new QWidget;
  contents->resize(180, 400);
  (new QLabel(QStringLiteral("Topmost"), contents))->move(0, 4);
  area->setWidget(contents);
  contents->move(0, -300);  // scrolled down on the screen

  Print(&sheet);
  const PdfReader pdf(PdfFile());
  const QImage page = pdf.Render(0, Dpi);
  const double scale = Dpi / 96.0;
  const auto y = [scale](double screen) { return static_cast<int>(Dpi + screen * scale); };
  const auto x = [scale](double screen) { return static_cast<int>(Dpi + screen * scale); };

  const std::vector<int> lineRows = InkRows(page, x(200), y(0), y(50));
  ASSERT_FALSE(lineRows.empty()) << "the line prints";
  EXPECT_GE(lineRows.front(), y(20) - 1);
  EXPECT_LE(lineRows.back(), y(23) + 1) << "across the middle of its frame, one screen pixel thick";
  const std::vector<int> lineColumns = InkColumns(page, y(21.5), x(-10), x(410));
  ASSERT_FALSE(lineColumns.empty());
  EXPECT_NEAR(lineColumns.front(), x(0), 2);
  EXPECT_NEAR(lineColumns.back(), x(400), 2) << "the whole width of its frame";

  const std::vector<int> done = ColourColumns(page, y(70), qRgb(0, 0, 255), x(-10), x(210));
  ASSERT_FALSE(done.empty()) << "the part done is filled";
  EXPECT_NEAR(done.front(), x(0), 3);
  EXPECT_NEAR(done.back(), x(80), 3) << "80 of 200 is 40 % of the bar's 200 pixels";
  // A picture's colours may come back a step off, as the PDF keeps images.
  const std::vector<int> pictured = Where(x(250), x(390), [&page, &y](int column) {
    const QRgb pixel = page.pixel(column, y(70));
    return qRed(pixel) > 240 && qGreen(pixel) < 16 && qBlue(pixel) < 16;
  });
  ASSERT_FALSE(pictured.empty()) << "the label's pixmap prints";
  EXPECT_NEAR(pictured.front(), x(300), 3);
  EXPECT_NEAR(pictured.back(), x(340), 3) << "over the label's width";

  const QRectF topmost = pdf.Find(0, QStringLiteral("Topmost"));
  ASSERT_FALSE(topmost.isEmpty()) << "the contents print";
  EXPECT_NEAR(topmost.top(), 72 + (120 + 4) * 0.75, 6) << "as scrolled to the start, inside the area's frame";
}

// An item view handed to the component by itself: every row of a list across pages, each visible as ink.
TEST_F(StockFormTest, AnItemViewPrintedByItselfRunsItsRowsOverPages) {
  QStandardItemModel model;
  for (int row = 1; row <= 120; ++row) model.appendRow(new QStandardItem(QStringLiteral("entry%1").arg(row)));
  QListView view;
  view.setModel(&model);
  view.resize(200, 300);
  PrintControlPages(&view);
  const PdfReader pdf(PdfFile());
  ASSERT_GE(pdf.PageCount(), 2);
  QStringList printed;
  for (int page = 0; page < pdf.PageCount(); ++page) {
    const QList<PdfWord> words = WordsMatching(pdf, page, QStringLiteral("entry\\d+"));
    ASSERT_FALSE(words.isEmpty()) << "page " << page + 1;
    for (const PdfWord& word : words) printed << word.Text;
    // Text under a fill is still in the file: the row must show as ink.
    const QRectF first = words.front().Box;
    const QImage image = pdf.Render(page, 72);
    EXPECT_FALSE(InkBounds(image, first.toAlignedRect()).isEmpty()) << "page " << page + 1;
  }
  QStringList expected;
  for (int row = 1; row <= 120; ++row) expected << QStringLiteral("entry%1").arg(row);
  EXPECT_EQ(printed, expected);
}

}  // namespace
