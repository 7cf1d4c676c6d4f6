#include "platform/Dialogs.h"
#include "platform/DrawingContext.h"
#include "platform/ExtCtrls.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "print/shared/QV_MFunc.h"

#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

TPanel* ColouredPanel(QWidget* parent, const QRect& bounds, TColor color) {
  auto* panel = new TPanel(parent);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(color);
  panel->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  return panel;
}

class PaintWindowTreeTest : public ::testing::Test {
protected:
  // A white 200 x 120 panel holding a red panel, a hidden panel with a visible blue panel inside, and a
  // green panel that reaches past the right edge.
  void SetUp() override {
    root_ = std::make_unique<TPanel>(nullptr);
    root_->SetBevelOuter(bvNone);
    root_->SetColor(clWhite);
    root_->SetBounds(0, 0, 200, 120);
    ColouredPanel(root_.get(), QRect(10, 10, 30, 20), clRed);
    hidden_ = ColouredPanel(root_.get(), QRect(60, 10, 40, 40), clSilver);
    ColouredPanel(hidden_, QRect(5, 5, 20, 20), clBlue);
    hidden_->SetVisible(false);
    ColouredPanel(root_.get(), QRect(180, 80, 50, 30), clLime);
  }

  QImage Capture(int x, int y, int width, int height) {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    DrawingContext context(painter);
    PaintWindowTree(root_.get(), context, x, y, width, height);
    painter.end();
    return image;
  }

  std::unique_ptr<TPanel> root_;
  TPanel* hidden_ = nullptr;
};

TEST_F(PaintWindowTreeTest, PaintsTheWindowAndItsVisibleChildrenAtTheGivenPlace) {
  const QImage page = Capture(50, 40, 200, 120);
  EXPECT_EQ(page.pixelColor(49, 40), QColor(Qt::black)) << "nothing left of the window";
  EXPECT_EQ(page.pixelColor(50, 40), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(60, 50), QColor(Qt::red)) << "the red child at its own offset";
  EXPECT_EQ(page.pixelColor(89, 69), QColor(Qt::red));
  EXPECT_EQ(page.pixelColor(90, 70), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(235, 125), QColor(Qt::green));
}

TEST_F(PaintWindowTreeTest, AHiddenChildIsLeftOutWithItsChildren) {
  const QImage page = Capture(0, 0, 200, 120);
  EXPECT_EQ(page.pixelColor(60 + 10, 10 + 10), QColor(Qt::white)) << "no blue from the hidden panel's child";
  EXPECT_EQ(page.pixelColor(100 - 1, 50 - 1), QColor(Qt::white)) << "no silver from the hidden panel";
}

TEST_F(PaintWindowTreeTest, TheControlOfANeverShownFormIsPaintedWhenItsOwnFlagSaysVisible) {
  ASSERT_FALSE(root_->isVisible());
  const QImage page = Capture(0, 0, 200, 120);
  EXPECT_EQ(page.pixelColor(15, 15), QColor(Qt::red));
}

TEST_F(PaintWindowTreeTest, EachWindowIsClippedToItsOwnSize) {
  const QImage narrow = Capture(0, 0, 25, 120);
  EXPECT_EQ(narrow.pixelColor(24, 60), QColor(Qt::white));
  EXPECT_EQ(narrow.pixelColor(25, 60), QColor(Qt::black)) << "the window is cut at the given width";
  // Child windows paint themselves with their own clip, as they do on the desktop the layouts come from.
  EXPECT_EQ(narrow.pixelColor(39, 15), QColor(Qt::red));
  EXPECT_EQ(narrow.pixelColor(40, 15), QColor(Qt::black));
  const QImage page = Capture(0, 0, 200, 120);
  EXPECT_EQ(page.pixelColor(229, 109), QColor(Qt::green));
  EXPECT_EQ(page.pixelColor(230, 109), QColor(Qt::black));
}

TEST_F(PaintWindowTreeTest, ASingleBorderIsDrawnAsASunkenEdgeAroundTheControl) {
  auto* edit = new TEdit(root_.get());
  edit->SetBounds(20, 60, 100, 24);
  edit->SetBorderStyle(bsSingle);
  const QImage page = Capture(0, 0, 200, 120);
  EXPECT_EQ(page.pixelColor(20, 70), ToQColor(clBtnShadow)) << "outer left line";
  EXPECT_EQ(page.pixelColor(21, 70), ToQColor(cl3DDkShadow)) << "inner left line";
  EXPECT_EQ(page.pixelColor(119, 70), ToQColor(clBtnHighlight)) << "outer right line";
  EXPECT_EQ(page.pixelColor(22, 70), QColor(Qt::black)) << "the outline inside the edge";
}

TEST_F(PaintWindowTreeTest, LeavesTheContextAsItFoundIt) {
  QImage image(50, 50, QImage::Format_RGB32);
  QPainter painter(&image);
  DrawingContext context(painter);
  context.SetTextColor(Qt::red);
  PaintWindowTree(root_.get(), context, 5, 5, 20, 20);
  EXPECT_EQ(context.TextColor(), QColor(Qt::red));
  EXPECT_EQ(context.WindowOrigin(), QPoint(0, 0));
  EXPECT_FALSE(context.RestoreState()) << "every saved state was restored";
}

TEST(NoPrinterAvailable, TellsTheUserOnceWhenThereIsNoPrinter) {
  QStringList shown;
  const ModalObserverScope answer([&shown](QWidget& window) {
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
      shown.append(box->text());
      box->accept();
    }
  });
  Printer().SetPrinters({});
  EXPECT_TRUE(NoPrinterAvailable());
  EXPECT_EQ(shown, QStringList{QStringLiteral("Error: No Printer Available")});

  shown.clear();
  Printer().SetPrinters({TPrinter::PdfPrinterName()});
  EXPECT_FALSE(NoPrinterAvailable());
  EXPECT_TRUE(shown.isEmpty());
  Printer().RefreshPrinters();
}

}  // namespace

namespace {

// Stand-ins for the library's rich-text and titled controls, which live in a layer above this one.
class PrintingPanel : public TPanel, public TQVPrintMessageReceiver {
public:
  using TPanel::TPanel;
  TQVPrintAnswer PrintMessage(TQVPrint& record) override {
    records.push_back(record);
    return qpMore;
  }
  bool QVTextRemains() const override { return true; }
  std::vector<TQVPrint> records;
};

class TitledPanel : public TPanel, public TQVTitledControl {
public:
  using TPanel::TPanel;
  int TitleBarHeight() const override { return 20; }
};

class CaptureSeamTest : public ::testing::Test {
protected:
  void SetUp() override {
    root_ = std::make_unique<TPanel>(nullptr);
    root_->SetBevelOuter(bvNone);
    root_->SetColor(clWhite);
    root_->SetBounds(0, 0, 100, 80);
  }
  // Screen pixels become three device pixels each, as the job's mapping makes them printer pixels.
  QImage Capture(TQVChildControls children, QList<QWidget*>* messaged = nullptr) {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    DrawingContext context(painter);
    context_ = &context;
    context.SetMapMode(TMappingMode::Anisotropic);
    context.SetWindowExtent(100, 100);
    context.SetViewportExtent(300, 300);
    const QList<QWidget*> sent = PaintWindowTree(root_.get(), context, 5, 5, 100, 80, children);
    if (messaged != nullptr) *messaged = sent;
    painter.end();
    return image;
  }

  std::unique_ptr<TPanel> root_;
  DrawingContext* context_ = nullptr;
};

TEST_F(CaptureSeamTest, ARichTextControlGetsThePrintMessageWithItsPageRectangleInsteadOfPainting) {
  auto* printing = new PrintingPanel(root_.get());
  printing->SetBevelOuter(bvNone);
  printing->SetColor(clRed);
  printing->SetBounds(10, 20, 30, 40);
  QList<QWidget*> messaged;
  const QImage page = Capture(TQVChildControls::Painted, &messaged);
  EXPECT_EQ(messaged, QList<QWidget*>{printing});
  ASSERT_EQ(printing->records.size(), 1u);
  const TQVPrint& record = printing->records.front();
  EXPECT_EQ(QRect(QPoint(record.Left, record.Top), QPoint(record.Right, record.Bottom)),
            QRect(QPoint(45, 75), QPoint(135, 195)))
      << "(5 + 10, 5 + 20) to (5 + 40, 5 + 60), three device pixels per screen pixel";
  EXPECT_EQ(record.OriginLeft, record.Left);
  EXPECT_EQ(record.OriginTop, record.Top);
  EXPECT_EQ(record.Context, context_);
  EXPECT_EQ(page.pixelColor(90, 135), QColor(Qt::white)) << "the control did not paint itself";
}

TEST_F(CaptureSeamTest, LeftOutChildControlsAreNeitherPaintedNorSentTheMessage) {
  auto* printing = new PrintingPanel(root_.get());
  printing->SetBounds(10, 20, 30, 40);
  auto* red = new TPanel(root_.get());
  red->SetBevelOuter(bvNone);
  red->SetColor(clRed);
  red->SetBounds(50, 10, 20, 20);
  auto* shape = new TShape(root_.get());
  shape->SetBrush(TBrush{bsSolid, clBlue});
  shape->SetBounds(50, 40, 20, 20);
  QList<QWidget*> messaged;
  const QImage page = Capture(TQVChildControls::LeftOut, &messaged);
  EXPECT_TRUE(messaged.isEmpty());
  EXPECT_TRUE(printing->records.empty());
  EXPECT_EQ(page.pixelColor(3 * 60, 3 * 20), QColor(Qt::white)) << "no child window";
  EXPECT_EQ(page.pixelColor(3 * 60, 3 * 50), QColor(Qt::white)) << "no graphic control";
  EXPECT_EQ(Capture(TQVChildControls::Painted).pixelColor(3 * 60, 3 * 20), QColor(Qt::red));
}

TEST_F(CaptureSeamTest, ATitledControlsBorderGoesAroundItsClientAreaBelowTheTitleBar) {
  auto* titled = new TitledPanel(root_.get());
  titled->SetBevelOuter(bvNone);
  titled->SetColor(clWhite);
  titled->SetBorderStyle(bsSingle);
  titled->SetBounds(10, 10, 60, 60);
  const QImage page = Capture(TQVChildControls::Painted);
  const int left = 3 * (5 + 10);
  EXPECT_EQ(page.pixelColor(left, 3 * (5 + 10 + 20) + 6), ToQColor(clBtnShadow))
      << "the edge below the title";
  // The panel paints its own one-pixel frame; the capture's sunken edge starts only below the title bar.
  EXPECT_NE(page.pixelColor(left, 3 * (5 + 10) + 30), ToQColor(clBtnShadow))
      << "no edge beside the title bar";
}

}  // namespace
