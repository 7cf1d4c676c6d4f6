#include "platform/Printers.h"
#include "platform/StringTable.h"
#include "print/dialogs/Pagewick.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
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

}  // namespace
