#include "app/CalcFrm.h"
#include "platform/Printers.h"
#include "app/Inet.h"
#include "app/Numb.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/HelpViewer.h"
#include "platform/StdCtrls.h"
#include "tests/platform/PrinterTestSupport.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
class CalcFrmTest : public ::testing::Test {
protected:
  void SetUp() override {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  // Types one key into the entry field, as a user would.
  void Type(QChar character) { QTest::keyClicks(form.Data, QString(character)); }

  QString Reading() const { return form.Memo1->Text(); }

  TCalcFrm form;
  TInternetFrm links;
};

// Each caption pair: the white label, then the black one two pixels lower right, drawn over it.
void ExpectCaptionPair(const TLabel* white, const TLabel* black, const QString& caption, QPoint at) {
  SCOPED_TRACE(caption.toStdString());
  EXPECT_EQ(white->Caption(), caption);
  EXPECT_EQ(black->Caption(), caption);
  EXPECT_EQ(white->pos(), at);
  EXPECT_EQ(black->pos(), at + QPoint(2, 2));
  EXPECT_EQ(white->Font().Color(), clWhite);
  EXPECT_EQ(black->Font().Color(), clBlack);
  EXPECT_TRUE(white->Transparent());
  EXPECT_TRUE(black->Transparent());
  const QObjectList siblings = white->parent()->children();
  EXPECT_LT(siblings.indexOf(white), siblings.indexOf(black)) << "black is drawn last, on top";
}
}  // namespace

TEST_F(CalcFrmTest, LayoutOfTheMainWindow) {
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Quenary Calculator Ver. 1.1"));
  EXPECT_EQ(form.size(), QSize(514, 232));
  EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed border";
  EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_EQ(form.Position(), poScreenCenter);
  EXPECT_EQ(Application().MainForm(), &form);

  EXPECT_EQ(form.Image1->geometry(), QRect(0, 0, 514, 232));
  EXPECT_EQ(form.Image1->Picture().size(), QSize(522, 259)) << "the built-in background, decoded";
  ExpectCaptionPair(form.Label2, form.Label5, QStringLiteral("Data Entry"), QPoint(20, 18));
  ExpectCaptionPair(form.Label3, form.Label6, QStringLiteral("Total"), QPoint(436, 18));
  ExpectCaptionPair(form.Label1, form.Label4, QStringLiteral("Quenary Oracle"), QPoint(20, 86));

  const TFont entryFont = form.Data->Font();
  EXPECT_EQ(entryFont.Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(entryFont.Height(), -19);
  EXPECT_TRUE(entryFont.HasStyle(fsBold));
  EXPECT_EQ(form.Data->MaxLength(), 35);
  EXPECT_EQ(form.Total->Font(), entryFont);
  EXPECT_EQ(form.Total->Width(), 61);
  EXPECT_EQ(form.Total->Text(), QStringLiteral("0"));
  EXPECT_EQ(form.Memo1->Font().Height(), -15);
  EXPECT_EQ(form.Memo1->Font().Style(), 0u);
  EXPECT_EQ(form.Memo1->parentWidget(), form.Panel1);
  EXPECT_EQ(form.Memo1->geometry(), form.Panel1->InnerRect());
  EXPECT_EQ(form.Panel1->Color(), clWhite);
  EXPECT_EQ(form.Panel1->BevelOuter(), bvLowered);
  EXPECT_EQ(form.Panel1->BevelWidth(), 3);

  const QList<TButton*> buttons = {form.ClearBtn, form.HelpBtn, form.InternetBtn, form.PrintBtn,
                                   form.ExitBtn};
  const QStringList captions = {QStringLiteral("Clear"), QStringLiteral("Help"), QStringLiteral("Internet"),
                                QStringLiteral("Print"), QStringLiteral("Exit")};
  for (qsizetype index = 0; index < buttons.size(); ++index) {
    EXPECT_EQ(buttons.at(index)->Caption(), captions.at(index));
    if (index > 0) {
      EXPECT_GT(buttons.at(index)->Left(), buttons.at(index - 1)->Left());
    }
    EXPECT_EQ(buttons.at(index)->Top(), form.ClearBtn->Top());
  }
  EXPECT_EQ(form.focusWidget(), form.Data) << "the entry has the focus when the window opens";
}

TEST_F(CalcFrmTest, EveryKeyRecomputesTotalAndReading) {
  Type(QLatin1Char('H'));
  EXPECT_EQ(form.Total->Text(), QStringLiteral("8"));
  EXPECT_EQ(Reading(), QStringLiteral("  8. LOVE OF JUSTICE, HONESTY"));
  Type(QLatin1Char('u'));
  EXPECT_EQ(form.Total->Text(), QStringLiteral("900"));
  EXPECT_EQ(Reading(), QStringLiteral("900. VALIANT, WARRIOR, CROSS, DECORATIONS"));
  Type(QLatin1Char('i'));
  EXPECT_EQ(form.Total->Text(), QStringLiteral("909"));
  EXPECT_EQ(NameTotal, 909);
  EXPECT_EQ(form.Memo1->Lines(),
            QStringList({QStringLiteral("900. VALIANT, WARRIOR, CROSS, DECORATIONS"),
                         QStringLiteral("  9. IMPERFECTIONS, PAIN, SORROW, MURDER ATTEMPT")}));
  Type(QLatin1Char(' '));
  Type(QLatin1Char('1'));
  EXPECT_EQ(form.Total->Text(), QStringLiteral("909"));
  for (int key = 0; key < 5; ++key) QTest::keyClick(form.Data, Qt::Key_Backspace);
  EXPECT_EQ(form.Total->Text(), QStringLiteral("0"));
  EXPECT_EQ(Reading(), QString());
  EXPECT_EQ(NameTotal, 0);
}

TEST_F(CalcFrmTest, EntryTakesAtMost35Characters) {
  QTest::keyClicks(form.Data, QString(40, QLatin1Char('a')));
  EXPECT_EQ(form.Data->Text(), QString(35, QLatin1Char('a')));
  EXPECT_EQ(form.Total->Text(), QStringLiteral("35"));

  form.Data->SetText(QString());
  QGuiApplication::clipboard()->setText(QString(50, QLatin1Char('V')));
  QTest::keyClick(form.Data, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.Data->Text(), QString(35, QLatin1Char('V')));
  EXPECT_EQ(form.Total->Text(), QStringLiteral("24500"));
  EXPECT_EQ(Reading(), QStringLiteral("500. ELECTION, HONORS, STATURE"));
}

TEST_F(CalcFrmTest, ClearReturnsToTheStartState) {
  QTest::keyClicks(form.Data, QStringLiteral("Quenary"));
  ASSERT_NE(form.Total->Text(), QStringLiteral("0"));
  QTest::mouseClick(form.ClearBtn, Qt::LeftButton);
  EXPECT_EQ(form.Data->Text(), QString());
  EXPECT_EQ(form.Total->Text(), QStringLiteral("0"));
  EXPECT_EQ(Reading(), QString());
  EXPECT_EQ(NameTotal, 0);
  EXPECT_EQ(form.focusWidget(), form.Data);
  QTest::mouseClick(form.ClearBtn, Qt::LeftButton);
  EXPECT_EQ(form.Total->Text(), QStringLiteral("0"));
  EXPECT_EQ(Reading(), QString());
}

TEST_F(CalcFrmTest, TabGoesThroughEntryAndButtonsOnly) {
  form.Data->setFocus();
  const QList<QWidget*> expected = {form.ClearBtn, form.HelpBtn, form.InternetBtn,
                                    form.PrintBtn, form.ExitBtn, form.Data};
  for (QWidget* next : expected) {
    QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form.focusWidget(), next) << next->metaObject()->className();
  }
}

// Keys as a user presses them, on a real X server: the keyboard starts in the name, which follows the keys;
// Return and Escape there open no dialog, print nothing and leave the window as it is.
TEST_F(CalcFrmTest, OnAScreenReturnAndEscapeInTheNamePrintNothingAndCloseNothing) {
  if (!UnderVirtualX()) {
    RunCurrentTestUnderX();
    return;
  }
  EXPECT_EQ(QApplication::focusWidget(), form.Data) << "the keyboard starts in the name";
  QStringList opened;
  const ModalObserverScope watch([&opened](QWidget& window) {
    opened << QString::fromLatin1(window.metaObject()->className());
    window.close();
  });
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ada"));
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
    QTest::keyClick(QApplication::focusWidget(), key);
  QTest::qWait(300);  // a button clicked by a key clicks a moment later
  EXPECT_EQ(opened, QStringList());
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(Printer().Printing());
  EXPECT_EQ(form.Total->Text(), QStringLiteral("6"));
}

TEST_F(CalcFrmTest, TotalAndReadingCannotBeEdited) {
  QTest::keyClicks(form.Data, QStringLiteral("Ada"));
  QTest::mouseClick(form.Total, Qt::LeftButton);
  QTest::keyClicks(form.Total, QStringLiteral("77"));
  QTest::keyClick(form.Total, Qt::Key_Backspace);
  QTest::mouseClick(form.Memo1->viewport(), Qt::LeftButton);
  QTest::keyClicks(form.Memo1, QStringLiteral("edit"));
  QTest::keyClick(form.Memo1, Qt::Key_Return);
  EXPECT_EQ(form.Total->Text(), QStringLiteral("6"));
  EXPECT_EQ(Reading(), QStringLiteral("  6. PERFECTION, WORK"));
}

TEST_F(CalcFrmTest, HelpOpensTheBuiltInHelpAtItsContents) {
  EXPECT_EQ(Application().HelpFile(), QStringLiteral("qnynumb.html"));
  QTest::mouseClick(form.HelpBtn, Qt::LeftButton);
  THelpViewer* viewer = Application().HelpViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_EQ(viewer->Topic(), QStringLiteral("IDH_CONTENTS"));
  EXPECT_TRUE(Application().HelpFilePath().startsWith(QLatin1String(":/help/")));
  Application().DestroyHelpViewer();
}

TEST_F(CalcFrmTest, InternetShowsTheLinksWindowModally) {
  int shown = 0;
  ModalObserverScope scope([&](QWidget& window) {
    ++shown;
    EXPECT_EQ(&window, &links);
    EXPECT_TRUE(links.Modal());
    QTest::keyClick(&links, Qt::Key_Escape);
  });
  QTest::mouseClick(form.InternetBtn, Qt::LeftButton);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(links.isVisible());
  EXPECT_TRUE(form.isVisible());
}

TEST_F(CalcFrmTest, PrintDialogCancelledOrConfirmedLeavesTheWindowAsItWas) {
  QTest::keyClicks(form.Data, QStringLiteral("Quenary"));
  const QString total = form.Total->Text();
  const QString reading = Reading();
  ScratchDirectory scratch;
  for (const bool confirm : {false, true}) {
    int shown = 0;
    ModalObserverScope scope([&](QWidget& window) {
      auto* dialog = qobject_cast<QPrintDialog*>(&window);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->printer(), &::Printer().QtPrinter()) << "the choice goes to the program-wide printer";
      ++shown;
      // A confirmed dialog prints the report: into a PDF file the user names in the dialog.
      auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
      auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
      ASSERT_TRUE(printers != nullptr && fileName != nullptr);
      printers->setCurrentIndex(printers->count() - 1);  // the dialog's last entry writes a PDF file
      fileName->setText(scratch.File(QStringLiteral("report.pdf")));
      confirm ? dialog->accept() : dialog->reject();
    });

    QTest::mouseClick(form.PrintBtn, Qt::LeftButton);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(form.Data->Text(), QStringLiteral("Quenary"));
    EXPECT_EQ(form.Total->Text(), total);
    EXPECT_EQ(Reading(), reading);
    EXPECT_EQ(QFile::exists(scratch.File(QStringLiteral("report.pdf"))), confirm);
  }
}

TEST_F(CalcFrmTest, TheCopiesChosenInThePrintDialogArePrinted) {
  QTest::keyClicks(form.Data, QStringLiteral("Quenary"));
  ScratchDirectory scratch;
  const QString pdf = scratch.File(QStringLiteral("copies.pdf"));
  PrintDialogChoices choices;
  choices.PdfFile = pdf;
  choices.Copies = 2;
  const ModalObserverScope answer([&](QWidget& window) { AnswerPrintDialog(window, choices); });
  QTest::mouseClick(form.PrintBtn, Qt::LeftButton);
  EXPECT_EQ(PdfReader(pdf).PageCount(), 2);
  EXPECT_EQ(PdfReader(pdf).Text(1), PdfReader(pdf).Text(0)) << "the report twice";
  Printer().RefreshPrinters();
}

TEST_F(CalcFrmTest, ExitEndsTheMessageLoop) {
  QTimer::singleShot(0, form.ExitBtn, [this] { QTest::mouseClick(form.ExitBtn, Qt::LeftButton); });
  // Should Exit fail to end the loop, this ends it with a code the test rejects.
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  watchdog.start(60000);
  EXPECT_EQ(Application().Run(), 0);
  EXPECT_TRUE(Application().Terminated());
}

TEST_F(CalcFrmTest, TheHelpPageFitsItsWindowAndDescribesPrinting) {
  QTest::mouseClick(form.HelpBtn, Qt::LeftButton);
  THelpViewer* viewer = Application().HelpViewer();
  ASSERT_NE(viewer, nullptr);
  QCoreApplication::processEvents();
  const QTextBrowser& browser = viewer->Browser();
  EXPECT_EQ(browser.horizontalScrollBar()->maximum(), 0) << "nothing reaches past the window's width";
  const QString text = browser.toPlainText();
  EXPECT_TRUE(text.contains(QStringLiteral("--print TEXT --pdf FILE")));
  EXPECT_FALSE(text.contains(QStringLiteral("does not print"))) << "printing works now";
  EXPECT_TRUE(text.contains(QStringLiteral("2000, keeps nothing to read and gives no")))
      << "what 2000 gives, truly";
  Application().DestroyHelpViewer();
}

// In the program's help the terminal's commands stand in a column of their own, each clear of the words
// that tell what it does, however narrow the window.
TEST(HelpViewer, NoCommandOfTheProgramsHelpRunsIntoItsDescription) {
  for (const int width : {640, 420}) {
    THelpViewer viewer;
    viewer.resize(width, 480);
    EXPECT_EQ(viewer.ShowTopic(QStringLiteral(":/help/qnynumb.html"), QStringLiteral("command")), QString());
    viewer.show();
    QTextDocument& document = *viewer.Browser().document();
    document.setTextWidth(viewer.Browser().viewport()->width());
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    int rows = 0;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
      auto* table = qobject_cast<QTextTable*>(frame);
      if (table == nullptr || table->columns() != 2) continue;
      for (int row = 0; row < table->rows(); ++row) {
        const QTextBlock command = table->cellAt(row, 0).firstCursorPosition().block();
        const QTextBlock description = table->cellAt(row, 1).firstCursorPosition().block();
        if (!command.text().startsWith(QLatin1String("quenary"))) continue;
        ++rows;
        const QRectF commandBox = layout.blockBoundingRect(command);
        double commandRight = commandBox.left();
        for (int line = 0; line < command.layout()->lineCount(); ++line) {
          const QTextLine text = command.layout()->lineAt(line);
          commandRight = std::max(commandRight, commandBox.left() + text.x() + text.naturalTextWidth());
        }
        EXPECT_LT(commandRight, layout.blockBoundingRect(description).left())
            << command.text().toStdString() << " at " << width;
      }
    }
    EXPECT_EQ(rows, 6);
  }
}
