// The Qt-style entry point: a form of stock widgets into a PDF file in one call, a first-page heading, the
// progress it reports, and failures returned rather than shown.
#include "print/engine/FormPrinter.h"

#include "platform/Printers.h"
#include "platform/pdf/PdfFile.h"
#include "print/engine/PrnWin.h"

#include "tests/print/engine/EngineTestSupport.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

class FormPrinterTest : public PrintJobTest {
protected:
  /** A window of a heading label above a body: a label and a table of that many rows. */
  void MakeForm(int rows) {
    auto* layout = new QVBoxLayout(&window_);
    heading_ = new QLabel(QStringLiteral("Letterhead of the firm"), &window_);
    layout->addWidget(heading_);
    body_ = new QWidget(&window_);
    auto* column = new QVBoxLayout(body_);
    column->addWidget(new QLabel(QStringLiteral("Lines below"), body_));
    auto* table = new QTableWidget(rows, 1, body_);
    table->setHorizontalHeaderLabels({QStringLiteral("Item")});
    for (int row = 0; row < rows; ++row)
      table->setItem(row, 0, new QTableWidgetItem(QStringLiteral("row%1").arg(row + 1)));
    column->addWidget(table, 1);
    layout->addWidget(body_, 1);
  }

  QWidget window_;
  QLabel* heading_ = nullptr;
  QWidget* body_ = nullptr;
};

TEST_F(FormPrinterTest, OneCallPrintsTheHeadingOnTheFirstPageAndTheFormOnFromTheTopOfTheNext) {
  MakeForm(150);
  window_.setWindowTitle(QStringLiteral("Invoice 7"));
  body_->setLocale(QLocale(QLocale::German, QLocale::Germany));
  Quenary::FormPrinter printer;
  printer.setProgressDialogEnabled(false);
  printer.setFirstPageHeading(heading_);
  QList<int> progress;
  QObject::connect(&printer, &Quenary::FormPrinter::progress,
                   [&progress](int pages) { progress.append(pages); });
  const MessageRecorder messages;
  const QString file = scratch_.File(QStringLiteral("form.pdf"));
  printer.setOutputFileName(file);
  // An item view's rows lead outline entries by their groups: fifty rows a group.
  printer.setRowOutline(body_->findChild<QTableWidget*>(), [](const QModelIndex& row) {
    const int first = row.row() / 50 * 50 + 1;
    return QStringLiteral("Rows %1 to %2").arg(first).arg(first + 49);
  });
  // A window never shown is laid out off the screen without a word from Qt.
  static QStringList warnings;
  warnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& message) { warnings << message; });
  const bool printed = printer.print(body_);
  qInstallMessageHandler(previous);
  ASSERT_TRUE(printed) << printer.errorString().toStdString();
  EXPECT_EQ(warnings, QStringList());

  EXPECT_TRUE(printer.errorString().isEmpty());
  EXPECT_TRUE(messages.Texts().isEmpty());
  const PdfReader pdf(file);
  ASSERT_GE(pdf.PageCount(), 3);
  EXPECT_EQ(printer.pageCount(), pdf.PageCount());
  // The PDF is titled as the form's window and speaks the form's language.
  EXPECT_EQ(pdf.Information(QStringLiteral("Title")), QStringLiteral("Invoice 7"));
  QFile raw(file);
  ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
  EXPECT_TRUE(raw.readAll().contains("/Lang (de)"));
  QList<int> expected;
  for (int page = 1; page <= pdf.PageCount(); ++page) expected.append(page);
  EXPECT_EQ(progress, expected);
  // Every row once, the heading on page 1 only, and the body at the same place on every later page, higher
  // than on the first.
  int rows = 0;
  for (int page = 0; page < pdf.PageCount(); ++page) {
    rows += pdf.Text(page).count(QRegularExpression(QStringLiteral("\\brow\\d+\\b")));
    EXPECT_EQ(!pdf.Find(page, QStringLiteral("Letterhead")).isEmpty(), page == 0) << page;
  }
  EXPECT_EQ(rows, 150);
  const double firstTop = pdf.Find(0, QStringLiteral("Lines")).top();
  EXPECT_GT(firstTop, pdf.Find(0, QStringLiteral("Letterhead")).bottom());
  EXPECT_LT(pdf.Find(1, QStringLiteral("Lines")).top(), firstTop - 10);
  EXPECT_DOUBLE_EQ(pdf.Find(1, QStringLiteral("Lines")).top(), pdf.Find(2, QStringLiteral("Lines")).top());
  const QList<PdfOutlineEntry> outline = pdf.Outline();
  ASSERT_EQ(outline.size(), 3);
  for (int group = 0; group < 3; ++group) {
    EXPECT_EQ(outline[group].Title, QStringLiteral("Rows %1 to %2").arg(group * 50 + 1).arg(group * 50 + 50));
    const QString first = QStringLiteral("row%1").arg(group * 50 + 1);
    ASSERT_FALSE(pdf.Find(outline[group].Page, first).isEmpty()) << first.toStdString();
    EXPECT_NEAR(outline[group].Top, pdf.Find(outline[group].Page, first).top(), 6) << first.toStdString();
  }
  // The table took the page's height: a page holds more rows than the screen showed.
  EXPECT_LT(pdf.PageCount(), 6);

  // A window on the screen gets its layout back after the print.
  window_.resize(300, 240);
  window_.show();
  const QSize screenSize = body_->size();
  ASSERT_TRUE(printer.print(body_));
  EXPECT_EQ(body_->size(), screenSize);
}

TEST_F(FormPrinterTest, AFailureComesBackAsAnErrorAndNoMessageBoxShows) {
  MakeForm(3);
  const MessageRecorder messages;
  Quenary::FormPrinter printer;
  printer.setProgressDialogEnabled(false);
  const QString missing = scratch_.File(QStringLiteral("no such folder/form.pdf"));
  printer.setOutputFileName(missing);
  EXPECT_FALSE(printer.print(body_));
  EXPECT_TRUE(printer.errorString().contains(QStringLiteral("form.pdf")))
      << printer.errorString().toStdString();
  EXPECT_FALSE(QFile::exists(missing));

  printer.setOutputFileName(QString());
  printer.setPrinterName(QStringLiteral("Nowhere"));
  EXPECT_FALSE(printer.print(body_));
  EXPECT_EQ(printer.errorString(), QStringLiteral("There is no printer named \"Nowhere\"."));
  EXPECT_FALSE(printer.print(nullptr));
  EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(QLatin1Char('|')).toStdString();
}

// What a form shows as a link opens from its PDF: a rich label's anchors and a plain label's web and mail
// addresses, each a link over its words, and nothing else.
TEST_F(FormPrinterTest, AFormsLinksAndAddressesOpenFromThePdfOverTheirWords) {
  QWidget form;
  auto* layout = new QVBoxLayout(&form);
  layout->addWidget(new QLabel(QStringLiteral("Read <a href=\"https://example.org/terms\">our terms</a> or "
                                              "<a href=\"mailto:desk@example.org\">write</a> to us."),
                               &form));
  layout->addWidget(new QLabel(QStringLiteral("Orders: orders@example.com, www.example.net"), &form));
  layout->addWidget(new QLabel(QStringLiteral("No address here: 12 @ 3.50"), &form));
  const QString file = scratch_.File(QStringLiteral("links.pdf"));
  Quenary::FormPrinter printer;
  printer.setProgressDialogEnabled(false);
  printer.setOutputFileName(file);
  ASSERT_TRUE(printer.print(&form)) << printer.errorString().toStdString();
  EXPECT_EQ(QpdfProblems(file), QString());
  const PdfReader pdf(file);
  const struct {
    QString Target;
    QString Words;
  } expected[] = {{"https://example.org/terms", "our terms"},
                  {"mailto:desk@example.org", "write"},
                  {"mailto:orders@example.com", "orders@example.com,"},
                  {"https://www.example.net", "www.example.net"}};
  const QList<PdfLink> links = pdf.Links(0);
  ASSERT_EQ(links.size(), std::size(expected));
  for (std::size_t index = 0; index < std::size(expected); ++index) {
    const PdfLink& link = links[static_cast<qsizetype>(index)];
    SCOPED_TRACE(link.Target.toStdString());
    EXPECT_EQ(link.Target, expected[index].Target);
    const QRectF words = pdf.FindPhrase(0, expected[index].Words);
    ASSERT_FALSE(words.isEmpty());
    EXPECT_NEAR(link.Box.left(), words.left(), 1.5);
    // A mail address ends before the comma that follows it.
    EXPECT_NEAR(link.Box.right(), words.right(), expected[index].Words.endsWith(',') ? 4 : 1.5);
    EXPECT_TRUE(link.Box.contains(words.center()));
  }
}

// A form of Qt's own widgets reads as what each widget is: a heading the form names, paragraphs, a check
// box's and a radio button's state in words, a picture's name as its alternate text, a table with its
// title cells, a rich text's heading and list, and its link; turned off, the PDF has no structure.
TEST_F(FormPrinterTest, AStockWidgetFormReadsAsWhatEachWidgetIsAndTaggingTurnsOff) {
  QWidget form;
  auto* layout = new QVBoxLayout(&form);
  auto* heading = new QLabel(QStringLiteral("Statement"), &form);
  heading->setProperty(HeadingLevelProperty, 1);
  layout->addWidget(heading);
  layout->addWidget(new QLineEdit(QStringLiteral("Ada Lovelace"), &form));
  auto* paid = new QCheckBox(QStringLiteral("&Paid"), &form);
  paid->setChecked(true);
  layout->addWidget(paid);
  layout->addWidget(new QRadioButton(QStringLiteral("By post"), &form));
  QImage logo(40, 20, QImage::Format_RGB32);
  logo.fill(Qt::darkBlue);
  auto* picture = new QLabel(&form);
  picture->setPixmap(QPixmap::fromImage(logo));
  picture->setAccessibleName(QStringLiteral("Company logo"));
  layout->addWidget(picture);
  auto* table = new QTableWidget(2, 2, &form);
  table->setHorizontalHeaderLabels({QStringLiteral("Item"), QStringLiteral("Price")});
  for (int row = 0; row < 2; ++row) {
    table->setItem(row, 0, new QTableWidgetItem(QStringLiteral("Item %1").arg(row + 1)));
    table->setItem(row, 1, new QTableWidgetItem(QStringLiteral("%1.00").arg(row + 1)));
  }
  layout->addWidget(table);
  layout->addWidget(
      new QLabel(QStringLiteral("<h2>Terms</h2><ul><li>Net 30</li><li>In euros</li></ul>"
                                "<p>See <a href=\"https://example.org/terms\">our terms</a>.</p>"),
                 &form));
  const QString file = scratch_.File(QStringLiteral("tagged.pdf"));
  Quenary::FormPrinter printer;
  printer.setProgressDialogEnabled(false);
  printer.setOutputFileName(file);
  printer.setDocumentLanguage(QStringLiteral("en-GB"));
  ASSERT_TRUE(printer.print(&form)) << printer.errorString().toStdString();
  EXPECT_EQ(TaggingProblems(file), QString());
  const QStringList read =
      StructureText(file).filter(QRegularExpression(QStringLiteral("^(?!Object \\d+ 0$)")));
  EXPECT_EQ(read, (QStringList{"Document",
                               "Div",
                               "H1 (block)",
                               "\"Statement\"",
                               "P (block)",
                               "\"Ada Lovelace\"",
                               "P (block)",
                               "\"Paid\"",
                               "P (block)",
                               "\"By post\"",
                               "Figure",
                               "\"\"",
                               "Table (block)",
                               "TR",
                               "TH:",
                               "/Scope /Column",
                               "\"Item\"",
                               "TH:",
                               "/Scope /Column",
                               "\"Price\"",
                               "TR",
                               "TD",
                               "\"Item 1\"",
                               "TD",
                               "\"1.00\"",
                               "TR",
                               "TD",
                               "\"Item 2\"",
                               "TD",
                               "\"2.00\"",
                               "H2 (block)",
                               "\"Terms\"",
                               "L (block)",
                               "LI (block)",
                               "LBody (block)",
                               "\"Net 30\"",
                               "LI (block)",
                               "LBody (block)",
                               "\"In euros\"",
                               "P (block)",
                               "\"See our terms.\"",
                               "Link (inline)"}))
      << read.join('\n').toStdString();
  const QByteArray decoded = QpdfDecoded(file);
  for (const QString& words : {QStringLiteral("Paid: checked"), QStringLiteral("By post: not selected")})
    EXPECT_TRUE(decoded.contains("/ActualText " + Pdf::TextString(words).toLower())) << words.toStdString();
  EXPECT_TRUE(decoded.contains("/Alt " + Pdf::TextString(QStringLiteral("Company logo")).toLower()));
  EXPECT_TRUE(decoded.contains("/Lang (en-GB)"));

  printer.setTagged(false);
  ASSERT_TRUE(printer.print(&form)) << printer.errorString().toStdString();
  EXPECT_EQ(QpdfProblems(file), QString());
  EXPECT_FALSE(QpdfDecoded(file).contains("/StructTreeRoot"));
  EXPECT_TRUE(Printer().PdfTagged()) << "the form's switch is its own, not the program's";
}

// A table inside a group box goes on over its pages as one table, though the box is printed again around it.
TEST_F(FormPrinterTest, ATableInAGroupBoxReadsAsOneTableOverItsPages) {
  QWidget form;
  auto* layout = new QVBoxLayout(&form);
  auto* box = new QGroupBox(QStringLiteral("Entries"), &form);
  auto* inside = new QVBoxLayout(box);
  auto* table = new QTableWidget(150, 1, box);
  for (int row = 0; row < 150; ++row) table->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
  inside->addWidget(table);
  layout->addWidget(box);
  const QString file = scratch_.File(QStringLiteral("boxed.pdf"));
  Quenary::FormPrinter printer;
  printer.setProgressDialogEnabled(false);
  printer.setOutputFileName(file);
  ASSERT_TRUE(printer.print(&form)) << printer.errorString().toStdString();
  ASSERT_GE(printer.pageCount(), 2);
  EXPECT_EQ(TaggingProblems(file), QString());
  const QStringList read = StructureText(file);
  EXPECT_EQ(read.count(QStringLiteral("Table (block)")), 1);
  EXPECT_EQ(read.count(QStringLiteral("TR")), 151) << "the title row and every row once";
  EXPECT_EQ(read.filter(QStringLiteral("\"150\"")).size(), 1);
}

// A rich text with a table prints tagged as untagged, each word once, and reads as one division.
TEST_F(FormPrinterTest, ARichTextTableLooksTheSameTaggedAndReadsOnceAsADivision) {
  QWidget form;
  auto* layout = new QVBoxLayout(&form);
  layout->addWidget(new QLabel(QStringLiteral("<table border=2 cellpadding=6 style=\"background:#eee\">"
                                              "<tr><td>Net</td><td>30 days</td></tr>"
                                              "<tr><td>Currency</td><td>euro</td></tr></table>"),
                               &form));
  Quenary::FormPrinter printer;
  printer.setProgressDialogEnabled(false);
  QList<QImage> pages;
  for (const bool tagged : {true, false}) {
    const QString file = scratch_.File(tagged ? QStringLiteral("table.pdf") : QStringLiteral("plain.pdf"));
    printer.setTagged(tagged);
    printer.setOutputFileName(file);
    ASSERT_TRUE(printer.print(&form)) << printer.errorString().toStdString();
    pages << PdfReader(file).Render(0, 100);
    if (tagged) {
      EXPECT_EQ(TaggingProblems(file), QString());
      EXPECT_EQ(StructureText(file), (QStringList{"Document", "Div", "Div", "\"Net30 daysCurrencyeuro\""}));
    }
  }
  EXPECT_EQ(pages[0], pages[1]);
}

}  // namespace
