#include "platform/Printers.h"
#include "platform/StringTable.h"
#include "print/dialogs/Pagewick.h"
#include "tests/support/TestSupport.h"

#include "platform/Screen.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

class PrintStatusDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    Printer().SetPrinters({QStringLiteral("Office Laser"), TPrinter::PdfPrinterName()});
    Printer().SetPrinterIndex(1);
    Printer().SetPdfOutput(scratch_.File(QStringLiteral("job.pdf")), 300);
  }
  void TearDown() override {
    if (Printer().Printing()) Printer().Abort();
    Printer().RefreshPrinters();
    Printer().SetPrinterIndex(-1);
  }

  static void Activate(QWidget* window) {
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(window, &activation);
  }

  ScratchDirectory scratch_;
};

TEST_F(PrintStatusDialogTest, OpensVisibleWithItsCaptionsAndThePrinterInUse) {
  auto dialog = std::make_unique<TPrintDialog1>();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(PrintDialog1, dialog.get());
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Print Status"));
  EXPECT_EQ(dialog->Label2->text(), QStringLiteral("Formatting for"));
  EXPECT_EQ(dialog->Label3->text(), QStringLiteral("Page"));
  EXPECT_EQ(dialog->Label1->text(), QStringLiteral("Status"));
  EXPECT_EQ(dialog->CancelBtn->text(), QStringLiteral("&Abort"));
  EXPECT_EQ(dialog->ToPrinter->text(), TPrinter::PdfPrinterName());
  EXPECT_EQ(dialog->Status->text(), QStringLiteral("Preparing Page"));
  EXPECT_FALSE(dialog->AbortRequested());
  dialog.reset();
  EXPECT_EQ(PrintDialog1, nullptr) << "the program-wide reference does not outlive the dialog";
}

TEST_F(PrintStatusDialogTest, CaptionsComeFromTheStringTableWhenItHasThem) {
  SetStringTable({{17041, QStringLiteral("&Stop")}, {17044, QStringLiteral("Working")}});
  const TPrintDialog1 dialog;
  SetStringTable({});
  EXPECT_EQ(dialog.CancelBtn->text(), QStringLiteral("&Stop"));
  EXPECT_EQ(dialog.Status->text(), QStringLiteral("Working"));
}

TEST_F(PrintStatusDialogTest, IsLaidOutFor120PixelsPerInchAndScaledToTheScreen) {
  const TPrintDialog1 dialog;
  // The test screen has 96 pixels per inch: everything comes out at four fifths of its design size.
  EXPECT_EQ(dialog.width(), 240);
  EXPECT_EQ(dialog.height(), 181);
  EXPECT_LE(dialog.CancelBtn->geometry().bottom(), dialog.height());
  EXPECT_LE(dialog.Status->geometry().right(), dialog.width());
}

TEST_F(PrintStatusDialogTest, AbortAndEscapeSetTheFlagAndHideTheDialog) {
  for (const bool useEscape : {false, true}) {
    SCOPED_TRACE(useEscape ? "Escape" : "Abort button");
    TPrintDialog1 dialog;
    if (useEscape)
      QTest::keyClick(&dialog, Qt::Key_Escape);
    else
      QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
    EXPECT_TRUE(dialog.AbortRequested());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Status->text(), QStringLiteral("Interrupted...Please Wait"));
  }
}

TEST_F(PrintStatusDialogTest, ActivationResetsTheFlagAndTheStatus) {
  TPrintDialog1 dialog;
  dialog.CancelBtnClick();
  ASSERT_TRUE(dialog.AbortRequested());
  Printer().SetPrinterIndex(0);
  dialog.show();
  Activate(&dialog);
  EXPECT_FALSE(dialog.AbortRequested());
  EXPECT_EQ(dialog.Status->text(), QStringLiteral("Preparing Page"));
  EXPECT_EQ(dialog.ToPrinter->text(), QStringLiteral("Office Laser"));
}

TEST_F(PrintStatusDialogTest, AbortAbandonsADocumentBeingSpooled) {
  const QString output = scratch_.File(QStringLiteral("job.pdf"));
  Printer().BeginDoc(QStringLiteral("abandoned"));
  ASSERT_TRUE(Printer().Printing());
  Printer().Canvas().Painter()->drawText(100, 100, QStringLiteral("page one"));
  Printer().NewPage();
  TPrintDialog1 dialog;
  QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
  EXPECT_FALSE(Printer().Printing());
  EXPECT_TRUE(Printer().Aborted());
  EXPECT_FALSE(QFileInfo::exists(output)) << "nothing of an aborted document is delivered";
}

TEST_F(PrintStatusDialogTest, AbortWithoutADocumentOnlySetsTheFlag) {
  TPrintDialog1 dialog;
  dialog.CancelBtnClick();
  EXPECT_TRUE(dialog.AbortRequested());
  EXPECT_FALSE(Printer().Printing());
}

// Room for text in a field: its width less the frame and the field's own margins on both sides.
int TextRoom(const QLineEdit* field) {
  const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
  const QMargins margins = field->textMargins();
  return field->width() - 2 * frame - 4 - margins.left() - margins.right();
}

// The dialog at a given screen resolution. This test program's screen has 96 pixels per inch; for another,
// the test runs again in a program of its own whose screen Qt's offscreen platform is told to give it.
class PrintStatusDialogLayout : public PrintStatusDialogTest, public ::testing::WithParamInterface<int> {
protected:
  /** True when this program's screen has the resolution under test; otherwise runs the test in one that has.
   */
  bool OnTheRightScreen() {
    const int wanted = GetParam();
    if (ScreenPixelsPerInch() == wanted) return true;
    if (qEnvironmentVariableIsSet("QUENARY_TEST_SCREEN_PPI")) {
      ADD_FAILURE() << "the screen was to have " << wanted << " pixels per inch, it has "
                    << ScreenPixelsPerInch();
      return false;
    }
    RunCurrentTestOnScreen(
        scratch_.File(QStringLiteral("screen.json")),
        QStringLiteral("{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": 1920, "
                       "\"height\": 1200, \"logicalDpi\": %1, \"logicalBaseDpi\": %1, \"dpr\": 1}]}")
            .arg(wanted)
            .toUtf8(),
        // Qt would otherwise turn the resolution into a scale factor and report 96 again.
        {{QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"), QStringLiteral("0")},
         {QStringLiteral("QUENARY_TEST_SCREEN_PPI"), QString::number(wanted)}});
    return false;
  }
};

TEST_P(PrintStatusDialogLayout, OnlyTheDialogsSizeFollowsTheScreenAndEveryCaptionAndFieldShowsWhole) {
  if (!OnTheRightScreen()) return;
  const int ppi = GetParam();
  TPrintDialog1 dialog;
  EXPECT_EQ(dialog.width(), std::lround(300.0 * ppi / 120));
  EXPECT_EQ(dialog.height(), std::lround(226.0 * ppi / 120));
  EXPECT_EQ(dialog.font().pixelSize(), 13) << "the text keeps its size";

  const QFontMetrics metrics(dialog.font());
  const QRect inside = dialog.Bevel1->geometry().adjusted(1, 1, -1, -1);
  ASSERT_TRUE(dialog.rect().contains(dialog.Bevel1->geometry()));
  QList<QWidget*> children;
  for (QLabel* caption : {dialog.Label2, dialog.Label3, dialog.Label1}) {
    SCOPED_TRACE(caption->text().toStdString());
    EXPECT_GE(caption->width(), metrics.horizontalAdvance(caption->text()));
    EXPECT_GE(caption->height(), metrics.height());
    EXPECT_TRUE(inside.contains(caption->geometry()));
    children << caption;
  }
  for (QLineEdit* field : {dialog.ToPrinter, dialog.Page, dialog.Status}) {
    EXPECT_GE(field->height(), field->minimumSizeHint().height());
    EXPECT_TRUE(inside.contains(field->geometry()));
    children << field;
  }
  EXPECT_GE(TextRoom(dialog.Page), metrics.horizontalAdvance(QStringLiteral("1001")));
  for (const QString& status : {QStringLiteral("Preparing Page"), QStringLiteral("Printing..."),
                                QStringLiteral("Interrupted...Please Wait")}) {
    EXPECT_GE(TextRoom(dialog.Status), metrics.horizontalAdvance(status)) << status.toStdString();
  }
  EXPECT_GE(dialog.CancelBtn->width(), dialog.CancelBtn->sizeHint().width());
  EXPECT_GE(dialog.CancelBtn->height(), dialog.CancelBtn->minimumSizeHint().height());
  EXPECT_TRUE(dialog.rect().contains(dialog.CancelBtn->geometry()));
  EXPECT_GT(dialog.CancelBtn->y(), dialog.Bevel1->geometry().bottom());
  // Top to bottom: "Formatting for", the printer, "Page", the page, "Status", the status; none overlaps.
  const QList<QWidget*> order = {dialog.Label2, dialog.ToPrinter, dialog.Label3,
                                 dialog.Page,   dialog.Label1,    dialog.Status};
  for (qsizetype index = 1; index < order.size(); ++index) {
    EXPECT_GT(order.at(index)->y(), order.at(index - 1)->geometry().bottom()) << index;
  }
}

INSTANTIATE_TEST_SUITE_P(PixelsPerInch, PrintStatusDialogLayout, ::testing::Values(96, 120, 192),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param);
                         });

// A long printer name is known by its beginning: the field shows the start of it, whatever the field's width.
TEST_F(PrintStatusDialogTest, ALongPrinterNameShowsItsBeginning) {
  const QString name = QStringLiteral("Accounts Laser on the third floor beside the kitchen, second queue");
  Printer().SetPrinters({name, TPrinter::PdfPrinterName()});
  Printer().SetPrinterIndex(0);
  TPrintDialog1 dialog;
  ASSERT_GT(QFontMetrics(dialog.font()).horizontalAdvance(name), TextRoom(dialog.ToPrinter))
      << "the name is long";
  EXPECT_EQ(dialog.ToPrinter->cursorPosition(), 0);
  const QImage shown = dialog.ToPrinter->grab().toImage();
  // The same field showing only the name's first word, which surely fits: its left part must look the same.
  dialog.ToPrinter->setText(QStringLiteral("Accounts"));
  dialog.ToPrinter->setCursorPosition(0);
  const QImage start = dialog.ToPrinter->grab().toImage();
  const int wordWidth = QFontMetrics(dialog.font()).horizontalAdvance(QStringLiteral("Accounts"));
  EXPECT_EQ(shown.copy(0, 0, wordWidth, shown.height()), start.copy(0, 0, wordWidth, start.height()));
  Activate(&dialog);
  EXPECT_EQ(dialog.ToPrinter->text(), name);
  EXPECT_EQ(dialog.ToPrinter->cursorPosition(), 0) << "also after the dialog is activated again";
}

}  // namespace
