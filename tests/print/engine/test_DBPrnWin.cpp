#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/data/DBCtrls.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBNavigator.h"
#include "platform/data/DBTables.h"
#include "platform/data/DatabaseWriter.h"
#include "print/controls/QVRich.h"
#include "print/controls/Qv_grid.h"
#include "print/engine/DBPrnWin.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/platform/data/DataTestSupport.h"
#include "tests/print/engine/EngineTestSupport.h"

#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QTreeView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <functional>

namespace {

// The renderer prints a window built on a never-shown host into a PDF at 300 dpi; each test reads the area
// it cares about back as pixels or words.
class RendererTest : public RendererJobTest {};

TEST_F(RendererTest, AChildLandsAtItsScreenPositionScaledToThePrinter) {
  Printer().SetPdfOutput(PdfFile(), 600);
  TPanel* root = Panel(QRect(0, 0, 300, 200), clWhite);
  SolidPanel(root, QRect(96, 48, 20, 10), clBlack);
  renderer_.StartJob();
  renderer_.PrintControlAt(root, 1.0, 1.0);
  renderer_.FinishJob();
  const QImage page = PdfReader(PdfFile()).Render(0, 600, QRect(1000, 800, 600, 400));
  const QRect ink = InkBounds(page);
  EXPECT_EQ(ink.topLeft() + QPoint(1000, 800), QPoint(1200, 900))
      << "1 inch + 96 px, 1 inch + 48 px at 600 dpi";
  EXPECT_EQ(ink.size(), QSize(125, 62))
      << "20 x 10 screen pixels, 6.25 printer pixels each, edges rounded to even";
}

TEST_F(RendererTest, TheObjectFrameGoesByClassAndSetting) {
  struct Case {
    const char* what;
    std::function<QWidget*(QWidget*)> make;
    bool frameObjects;
    bool framed;
  };
  const auto panel = [](TBorderStyle border) {
    return [border](QWidget* host) {
      TPanel* made = SolidPanel(host, QRect(0, 0, 96, 48), clWhite);
      made->SetBorderStyle(border);
      return made;
    };
  };
  const auto memo = [](QWidget* host) {
    auto* made = new TMemo(host);
    made->SetBorderStyle(bsNone);
    made->SetBounds(0, 0, 96, 48);
    return made;
  };
  const auto form = [](QWidget* host) {
    auto* made = new TForm(host);
    made->SetColor(clWhite);
    made->SetBounds(0, 0, 96, 48);
    return made;
  };
  const auto checkBox = [](QWidget* host) {
    auto* made = new TCheckBox(host);
    made->SetColor(clWhite);
    made->SetBounds(0, 0, 96, 48);
    return made;
  };
  const auto radioGroup = [](QWidget* host) {
    auto* made = new TRadioGroup(host);
    made->SetColor(clWhite);
    made->SetBounds(0, 0, 96, 48);
    return made;
  };
  const Case cases[] = {
      {"check box", checkBox, true, true},
      {"check box without FrameObjects", checkBox, false, false},
      {"radio group", radioGroup, true, false},
      {"borderless panel", panel(bsNone), true, false},
      {"single panel without FrameObjects", panel(bsSingle), false, true},
      {"memo", memo, true, false},
      {"form", form, true, false},
  };
  for (const Case& test : cases) {
    renderer_.FrameObjects = test.frameObjects;
    QWidget* control = test.make(&host_);
    const QImage page = Print(control);
    // The object frame is two lines deep; a control's own one-pixel outline never reaches the second.
    EXPECT_EQ(IsInk(page, 1, 60), test.framed) << test.what << ": left edge";
    EXPECT_EQ(IsInk(page, 100, 1), test.framed) << test.what << ": top edge";
    delete control;
  }
}

TEST_F(RendererTest, HiddenSubtreesAndTransparentLabelsLeaveThePageAlone) {
  TPanel* root = Panel(QRect(0, 0, 192, 96), clBlack);
  TPanel* hidden = SolidPanel(root, QRect(0, 0, 48, 48), clWhite);
  SolidPanel(hidden, QRect(0, 0, 24, 24), clRed);
  hidden->SetVisible(false);
  for (const bool transparent : {true, false}) {
    auto* label = new TLabel(root);
    label->SetAutoSize(false);
    label->SetBounds(96, 0, 48, 48);
    label->SetColor(clWhite);
    label->SetTransparent(transparent);
    const QImage page = Print(root);
    EXPECT_EQ(page.pixelColor(30, 30), QColor(Qt::black)) << "the hidden panel and its child print nothing";
    EXPECT_EQ(page.pixelColor(96 * 3 + 70, 70), transparent ? QColor(Qt::black) : QColor(Qt::white))
        << (transparent ? "a transparent label keeps what lies under it" : "an opaque label fills its box");
    delete label;
  }
}

TEST_F(RendererTest, ShapesPrintSquareCornersAndAlwaysAnOutline) {
  struct Case {
    TShapeType kind;
    TPenStyle pen;
    QPoint corner;  // inside the printed rectangle, printer pixels from its top-left
    QColor expected;
  };
  const Case cases[] = {
      {stRoundSquare, psSolid, QPoint(0, 0), QColor(Qt::black)},  // square corners, black fill
      {stRoundRect, psSolid, QPoint(0, 0), QColor(Qt::white)},    // rounded: the corner stays blank
      {stRectangle, psClear, QPoint(0, 100), QColor(Qt::red)},    // a clear pen still outlines
      {stCircle, psSolid, QPoint(20, 20), QColor(Qt::white)},     // squared and round
  };
  for (const Case& test : cases) {
    TPanel* root = Panel(QRect(0, 0, 96, 96), clWhite);
    auto* shape = new TShape(root);
    shape->SetBounds(0, 0, 96, 96);
    shape->SetShape(test.kind);
    shape->SetBrush(TBrush{bsSolid, test.pen == psClear ? clWhite : clBlack});
    shape->SetPen(TPen{test.pen, 1, test.pen == psClear ? clRed : clBlack});
    const QImage page = Print(root);
    EXPECT_EQ(page.pixelColor(test.corner), test.expected) << "shape kind " << test.kind;
    delete root;
  }
}

TEST_F(RendererTest, LabelsWrapAtWordsToTheirPrintedWidth) {
  TPanel* root = Panel(QRect(0, 0, 192, 96), clWhite);
  auto* label = new TLabel(root);
  label->SetAutoSize(false);
  label->SetWordWrap(false);
  label->SetBounds(0, 0, 40, 90);
  label->SetCaption(QStringLiteral("alpha beta gamma"));
  Print(root);
  const PdfReader pdf(PdfFile());
  const QRectF alpha = pdf.Find(0, QStringLiteral("alpha"));
  const QRectF beta = pdf.Find(0, QStringLiteral("beta"));
  const QRectF gamma = pdf.Find(0, QStringLiteral("gamma"));
  ASSERT_FALSE(alpha.isEmpty() || beta.isEmpty() || gamma.isEmpty()) << pdf.Text(0).toStdString();
  EXPECT_LT(alpha.top(), beta.top());
  EXPECT_LT(beta.top(), gamma.top());
  EXPECT_NEAR(alpha.left(), beta.left(), 0.5) << "each line starts at the label's inset";
}

// A word never prints in pieces (a five-digit total in a narrow label), and a line keeps its descenders
// even when the label is no taller than its font.
TEST_F(RendererTest, ALabelPrintsAWordWholeEachLineWithItsDescendersAndNoAcceleratorMark) {
  TPanel* root = Panel(QRect(0, 0, 192, 96), clWhite);
  const auto label = [root](const QRect& bounds, const QString& caption) {
    auto* made = new TLabel(root);
    made->SetAutoSize(false);
    made->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    made->SetFont(MakeFont(QStringLiteral("Arial"), -16));
    made->SetCaption(caption);
  };
  label(QRect(0, 0, 20, 20), QStringLiteral("24500"));
  label(QRect(0, 40, 90, 16), QStringLiteral("gjpqy"));
  label(QRect(100, 40, 90, 16), QStringLiteral("HKLMN"));
  // The accelerator's mark is the screen's; paper shows the text as it reads.
  label(QRect(0, 70, 190, 20), QStringLiteral("&File && Co"));
  const QImage page = Print(root);
  EXPECT_FALSE(PdfReader(PdfFile()).Find(0, QStringLiteral("24500")).isEmpty())
      << PdfReader(PdfFile()).Text(0).toStdString();
  EXPECT_TRUE(PdfReader(PdfFile()).Text(0).contains(QStringLiteral(" File & Co ")))
      << PdfReader(PdfFile()).Text(0).toStdString();
  // Printed at 300 dpi from 96: both labels end 56 screen pixels down; the descenders reach below that.
  const int labelBottom = 56 * Dpi / 96;
  const QRect descenders = InkBounds(page, QRect(0, 0, 90 * Dpi / 96, Dpi));
  const QRect capitals = InkBounds(page, QRect(100 * Dpi / 96, 0, 90 * Dpi / 96, Dpi));
  EXPECT_GT(descenders.bottom(), labelBottom + 4) << "the bottoms of g, j, p, q and y are printed";
  EXPECT_LT(capitals.bottom(), descenders.bottom() - 4);
}

// The grid's frame is all the ink on the page, so its left, top and right say where the grid landed; its
// bottom is where its three rows end, inside the placed rectangle.
TEST_F(RendererTest, ASortGridWithAllFourPrintItValuesPrintsThereWhereverItsWindowIs) {
  const QString database = scratch_.File(QStringLiteral("ledger.db"));
  WriteNumberedLedger(database, 3);
  TPanel* root = Panel(QRect(0, 0, 400, 300), clWhite);
  TTable table;
  table.SetDatabaseName(database);
  table.SetTableName(QStringLiteral("ledger"));
  TDataSource source;
  source.SetDataSet(&table);
  auto* grid = new TQV_SortGrid(root);
  grid->SetBounds(48, 24, 192, 96);
  grid->SetDataSource(&source);
  table.Open();
  struct Case {
    const char* what;
    double printIt[4];  // left, top, width, height in inches
    QWidget* printed;
    QPointF at;  // where the printed control goes, in inches
    QRect expected;
  };
  const QRect fixed(2 * Dpi, 3 * Dpi, Dpi * 5 / 2, Dpi * 3 / 2);
  const Case cases[] = {
      {"its window at half an inch", {2.0, 3.0, 2.5, 1.5}, root, {0.5, 0.5}, fixed},
      {"its window elsewhere", {2.0, 3.0, 2.5, 1.5}, root, {1.5, 1.0}, fixed},
      {"the grid itself", {2.0, 3.0, 2.5, 1.5}, grid, {1.0, 1.0}, fixed},
      // 48 and 24 screen pixels are half and a quarter inch; 192 by 96 two inches by one.
      {"one value 0", {2.0, 3.0, 2.5, 0.0}, root, {0.5, 0.5}, QRect(Dpi, Dpi * 3 / 4, 2 * Dpi, Dpi)},
  };
  for (const Case& test : cases) {
    grid->PrintItLeft = test.printIt[0];
    grid->PrintItTop = test.printIt[1];
    grid->PrintItWidth = test.printIt[2];
    grid->PrintItHeight = test.printIt[3];
    renderer_.StartJob();
    renderer_.PrintControlAt(test.printed, test.at.x(), test.at.y());
    renderer_.FinishJob();
    const QRect ink = InkBounds(PdfReader(PdfFile()).Render(0, Dpi, QRect(0, 0, 6 * Dpi, 6 * Dpi)));
    EXPECT_NEAR(ink.left(), test.expected.left(), 2) << test.what;
    EXPECT_NEAR(ink.top(), test.expected.top(), 2) << test.what;
    EXPECT_NEAR(ink.right(), test.expected.right(), 3) << test.what;
    EXPECT_LE(ink.bottom(), test.expected.bottom() + 3) << test.what;
    EXPECT_GT(ink.bottom(), test.expected.top() + Dpi / 4) << test.what << ": the rows' room";
  }
  EXPECT_EQ(table.RecNo(), 1) << "the job puts the table back where it stood";
}

}  // namespace

namespace {

TEST_F(RendererTest, PicturesFillTheirControlAndIconsPrintNothing) {
  QImage dot(4, 4, QImage::Format_RGB32);
  dot.fill(Qt::blue);
  QImage iconImage(16, 16, QImage::Format_RGB32);
  iconImage.fill(Qt::red);
  struct Case {
    const char* what;
    TPicture picture;
    QColor middle;
  };
  const Case cases[] = {
      {"a small bitmap is enlarged", TPicture(dot), QColor(Qt::blue)},
      {"an icon is left out", TPicture::FromIcon(QIcon(QPixmap::fromImage(iconImage))), QColor(Qt::white)}};
  for (const Case& test : cases) {
    TPanel* root = Panel(QRect(0, 0, 96, 96), clWhite);
    auto* image = new TImage(root);
    image->SetBounds(0, 0, 96, 96);
    image->SetPicture(test.picture);
    const QImage page = Print(root);
    // The PDF keeps the bitmap compressed: its colours come back within a step or two.
    const auto near = [](const QColor& a, const QColor& b) {
      return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <
             12;
    };
    EXPECT_TRUE(near(page.pixelColor(Dpi / 2, Dpi / 2), test.middle)) << test.what;
    EXPECT_TRUE(near(page.pixelColor(Dpi - 3, Dpi - 3), test.middle)) << test.what << ", to its far corner";
    delete root;
  }
}

TEST_F(RendererTest, DataControlsPrintTheirFieldOnlyWhenTheyHaveDataToRead) {
  ScratchDirectory folder;
  const QString file = folder.File(QStringLiteral("people.sqlite"));
  {
    TDatabaseWriter writer(file);
    writer.Execute(QStringLiteral("CREATE TABLE people (name VARCHAR(20), town VARCHAR(20))"));
    writer.Execute(QStringLiteral("INSERT INTO people VALUES ('Ada', 'Ealing')"));
    writer.Commit();
  }
  TTable table;
  table.SetDatabaseName(file);
  table.SetTableName(QStringLiteral("people"));
  table.Open();
  TDataSource withData;
  withData.SetDataSet(&table);
  TDataSource empty;
  TPanel* root = Panel(QRect(0, 0, 300, 120), clWhite);
  auto* edit = new TDBEdit(root);
  edit->SetBounds(0, 0, 140, 24);
  edit->SetDataField(QStringLiteral("name"));
  auto* text = new TDBText(root);
  text->SetBounds(0, 40, 140, 24);
  text->SetDataField(QStringLiteral("town"));
  auto* navigator = new TDBNavigator(root);
  navigator->SetBounds(150, 0, 140, 24);
  for (TDataSource* source : {&empty, &withData}) {
    edit->SetDataSource(source);
    text->SetDataSource(source);
    navigator->SetDataSource(source);
    Print(root);
    const QString printed = PdfReader(PdfFile()).Text(0);
    EXPECT_EQ(printed.contains(QStringLiteral("Ada")), source == &withData) << printed.toStdString();
    EXPECT_EQ(printed.contains(QStringLiteral("Ealing")), source == &withData) << printed.toStdString();
  }
  const QImage page = PdfReader(PdfFile()).Render(0, Dpi, QRect(Dpi + 160 * 3, Dpi, 120 * 3, 20 * 3));
  EXPECT_TRUE(InkBounds(page).isNull()) << "the navigator is for the screen only";
}

// A widget of the program's own made from a plain widget, as a form class is.
class Chart : public QWidget {
public:
  using QWidget::QWidget;
};

TEST(ChildRuleTable,
     EachClassTakesTheFirstRuleItPassesTheProgramsControlsBeforeTheStockWidgetsTheyAreMadeOf) {
  QWidget host;
  struct Case {
    const char* what;
    std::function<QWidget*()> make;
    TChildRule rule;
  };
  const Case cases[] = {
      {"TLabel", [&] { return new TLabel(&host); }, TChildRule::Label},
      {"QLabel", [&] { return new QLabel(&host); }, TChildRule::StockLabel},
      {"TEdit", [&] { return new TEdit(&host); }, TChildRule::Edit},
      {"QLineEdit", [&] { return new QLineEdit(&host); }, TChildRule::StockEdit},
      {"QDoubleSpinBox", [&] { return new QDoubleSpinBox(&host); }, TChildRule::StockEdit},
      {"QDateEdit", [&] { return new QDateEdit(&host); }, TChildRule::StockEdit},
      {"TMemo", [&] { return new TMemo(&host); }, TChildRule::Memo},
      {"QPlainTextEdit", [&] { return new QPlainTextEdit(&host); }, TChildRule::StockPlainText},
      {"TRichEditE", [&] { return new TRichEditE(&host); }, TChildRule::Window},
      {"QTextEdit", [&] { return new QTextEdit(&host); }, TChildRule::StockRichText},
      {"TCheckBox", [&] { return new TCheckBox(&host); }, TChildRule::CheckBox},
      {"QCheckBox", [&] { return new QCheckBox(&host); }, TChildRule::StockCheckBox},
      {"QRadioButton", [&] { return new QRadioButton(&host); }, TChildRule::StockRadioButton},
      {"QComboBox", [&] { return new QComboBox(&host); }, TChildRule::StockComboBox},
      {"TDBGrid", [&] { return new TDBGrid(&host); }, TChildRule::DataGrid},
      {"QTableView", [&] { return new QTableView(&host); }, TChildRule::StockItemView},
      {"QTreeView", [&] { return new QTreeView(&host); }, TChildRule::StockItemView},
      {"QListView", [&] { return new QListView(&host); }, TChildRule::StockItemView},
      {"QProgressBar", [&] { return new QProgressBar(&host); }, TChildRule::StockProgressBar},
      {"QFrame line",
       [&] {
         auto* line = new QFrame(&host);
         line->setFrameShape(QFrame::HLine);
         return line;
       },
       TChildRule::StockLine},
      {"QFrame box", [&] { return new QFrame(&host); }, TChildRule::StockContainer},
      {"QGroupBox", [&] { return new QGroupBox(&host); }, TChildRule::StockContainer},
      {"QTabWidget", [&] { return new QTabWidget(&host); }, TChildRule::StockContainer},
      {"QScrollArea", [&] { return new QScrollArea(&host); }, TChildRule::StockContainer},
      {"a form class holding widgets",
       [&] {
         auto* form = new Chart(&host);
         new QLabel(form);
         return form;
       },
       TChildRule::StockContainer},
      {"a form class that paints itself", [&] { return new Chart(&host); }, TChildRule::Window},
      {"QPushButton", [&] { return new QPushButton(&host); }, TChildRule::Window},
      {"TButton", [&] { return new TButton(&host); }, TChildRule::Window},
      {"QSlider", [&] { return new QSlider(&host); }, TChildRule::Window},
      {"QScrollBar", [&] { return new QScrollBar(&host); }, TChildRule::NotPrinted},
      {"QHeaderView", [&] { return new QHeaderView(Qt::Horizontal, &host); }, TChildRule::NotPrinted},
  };
  for (const Case& test : cases) EXPECT_EQ(TDBPrintWin::ChildRuleOf(test.make()), test.rule) << test.what;
}

}  // namespace
