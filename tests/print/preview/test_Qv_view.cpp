#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "print/dialogs/Addit.h"
#include "print/device/RecordedPages.h"
#include "print/preview/Drawscrn.h"
#include "print/preview/Qv_view.h"
#include "tests/print/preview/PreviewTestSupport.h"
#include "tests/support/PdfReader.h"

#include <QComboBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>

namespace {

class PreviewWindowTest : public PreviewTest {
protected:
  void SetUp() override {
    PreviewTest::SetUp();
    RecordPages(1, 3);
  }
  /** A preview shown (not modally) as the job driver would show it, activated once. */
  std::unique_ptr<TQV_Prev> Open() {
    auto preview = std::make_unique<TQV_Prev>();
    preview->show();
    QCoreApplication::processEvents();
    return preview;
  }
  static void Type(QWidget* field, const QString& text, Qt::Key key = Qt::Key_Return) {
    static_cast<QLineEdit*>(field)->clear();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, key);
  }
};

/** Answers every message box with OK and keeps its text. */
class Messages {
public:
  Messages()
      : scope_([this](QWidget& window) {
          if (auto* box = qobject_cast<QMessageBox*>(&window)) {
            texts.append(box->text());
            box->accept();
          }
        }) {}
  QStringList texts;

private:
  ModalObserverScope scope_;
};

TEST_F(PreviewWindowTest, OpensMaximizedAtWholePageOnPageOneWithTheStoredLook) {
  const auto preview = Open();
  EXPECT_TRUE(preview->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(preview->PrintPreview->currentIndex(), TQV_Prev::zoWholePage);
  EXPECT_EQ(preview->PageNo->Text(), QStringLiteral("1"));
  EXPECT_EQ(preview->PageTot->Text(), QStringLiteral("3"));
  EXPECT_EQ(preview->windowTitle(), QStringLiteral("Tarnvale Preview"));
  EXPECT_EQ(preview->ScrollBox1->Color(), 1234) << "red 210, green 4";
  EXPECT_EQ(preview->DrawIt1->height(), preview->ScrollBox1->height() - 40);
  EXPECT_EQ(preview->Print->text(), QStringLiteral("&All"));
  EXPECT_EQ(preview->Additional->text(), QStringLiteral("&Add nl"));
  EXPECT_EQ(preview->OfCaption->Caption(), QStringLiteral("of"));
  QStringList entries;
  for (int index = 0; index < preview->PrintPreview->count(); ++index)
    entries.append(preview->PrintPreview->itemText(index));
  EXPECT_EQ(entries, QStringList({"250%", "200%", "150%", "100%", "75%", "50%", "25%", "10%", "Page Width",
                                  "Whole Page"}));
}

TEST_F(PreviewWindowTest, TheStoredOrientationTurnsPrinterAndSurface) {
  struct Case {
    const char* orientation;
    TPrinterOrientation printer;
    QSize designed;
  };
  for (const Case& test :
       {Case{"Portrait", poPortrait, QSize(553, 717)}, Case{"Landscape", poLandscape, QSize(717, 553)},
        Case{"portrait", poLandscape, QSize(717, 553)}}) {
    PagewickIni::WriteString(QStringLiteral("Orientation"), QString::fromLatin1(test.orientation));
    PagewickIni::WriteString(QStringLiteral("Preview Heading"), QStringLiteral("Turned"));
    const TQV_Prev preview;
    EXPECT_EQ(preview.DesignedSurfaceSize(), test.designed) << test.orientation;
    EXPECT_EQ(Printer().Orientation(), test.printer) << test.orientation;
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Turned"));
    // Whole Page follows the printer's page: wider than high when turned.
    EXPECT_EQ(preview.DrawIt1->width() > preview.DrawIt1->height(), test.printer == poLandscape);
  }
}

TEST_F(PreviewWindowTest, AJobsPreviewOpensWithTheJobsLookWhateverAnotherInstanceStoredSince) {
  PagewickIni::JobSettings settings;
  settings.PageWidth = 3300;
  settings.PageHeight = 2550;
  settings.Landscape = true;
  settings.ViewBackground = 0x00FF00;
  settings.PreviewHeading = QStringLiteral("The job's own");
  settings.PrinterIndex = 0;
  const auto job = std::make_shared<TRecordedPages>(poViewer, settings);
  PagePicture page;
  page.BeginRecording();
  page.EndRecording();
  job->Add(page);
  PagewickIni::WriteString(QStringLiteral("Orientation"), QStringLiteral("Portrait"));
  PagewickIni::WriteString(QStringLiteral("View Background"), QStringLiteral("blue"));
  const TQV_Prev preview(nullptr, job);
  EXPECT_EQ(preview.DesignedSurfaceSize(), QSize(717, 553));
  EXPECT_EQ(Printer().Orientation(), poLandscape);
  EXPECT_EQ(preview.windowTitle(), QStringLiteral("The job's own"));
  EXPECT_EQ(preview.ScrollBox1->Color(), 0x00FF00);
  EXPECT_EQ(preview.DrawIt1->CountPages(), 1) << "the job's page, not the three files in the folder";
}

TEST_F(PreviewWindowTest, ABackgroundThatIsNoWholeNumberStopsTheCreation) {
  PagewickIni::WriteString(QStringLiteral("View Background"), QStringLiteral("blue"));
  try {
    TQV_Prev preview;
    ADD_FAILURE() << "opened with a background of blue";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("'blue' is not a valid integer value"));
  }
  EXPECT_EQ(PageFilesLeft(), 3) << "nothing was shown, nothing freed the pages";
}

TEST_F(PreviewWindowTest, TheZoomButtonsWalkTheListAndWrapBothWays) {
  const auto preview = Open();
  preview->ZoomIn->click();
  EXPECT_EQ(preview->PrintPreview->currentIndex(), TQV_Prev::zo250) << "one past Whole Page is 250 %";
  EXPECT_EQ(preview->DrawIt1->width(), 2125);
  preview->ZoomOut->click();
  EXPECT_EQ(preview->PrintPreview->currentIndex(), TQV_Prev::zoWholePage) << "one before 250 % is Whole Page";
  preview->ZoomOut->click();
  EXPECT_EQ(preview->PrintPreview->currentIndex(), TQV_Prev::zoPageWidth);
  EXPECT_EQ(preview->DrawIt1->width(), preview->ScrollBox1->width() - 40);
  EXPECT_EQ(preview->ScrollBox1->HorzRange(), preview->DrawIt1->width() + 40);
  EXPECT_EQ(preview->ScrollBox1->VertIncrement(), preview->DrawIt1->height() / 10);
  preview->WholePageButton->click();
  EXPECT_EQ(preview->PrintPreview->currentIndex(), TQV_Prev::zoWholePage);
  EXPECT_TRUE(preview->ScrollBox1->VertScrollBar().isHidden()) << "a whole page scrolls nothing";
  EXPECT_TRUE(preview->ScrollBox1->HorzScrollBar().isHidden());
}

// The bars speak in one font: captions, buttons, the page boxes and the zoom list alike.
TEST_F(PreviewWindowTest, EveryTextOfTheBarsIsInOneFont) {
  const auto preview = Open();
  const QFont font = preview->Print->font();
  for (QWidget* bar : {static_cast<QWidget*>(preview->Panel1), static_cast<QWidget*>(preview->Panel2),
                       static_cast<QWidget*>(preview->Panel3)}) {
    for (const QWidget* control : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      EXPECT_EQ(control->font().family(), font.family()) << control->objectName().toStdString();
      EXPECT_EQ(control->font().pixelSize(), font.pixelSize()) << control->objectName().toStdString();
      EXPECT_EQ(control->font().bold(), font.bold()) << control->objectName().toStdString();
    }
  }
}

TEST_F(PreviewWindowTest, TheSurfacesZoomMessageSelectsItsEntryAndUnknownSizesChangeNothing) {
  const auto preview = Open();
  struct Case {
    int percentage;
    int entry;
  };
  for (const Case& test : {Case{10, 7}, Case{25, 6}, Case{50, 5}, Case{75, 4}, Case{100, 3}, Case{150, 2},
                           Case{200, 1}, Case{250, 0}, Case{300, 0}, Case{33, 0}}) {
    TWindowMessage message(ZoomMessage, test.percentage, 0);
    QCoreApplication::sendEvent(preview.get(), &message);
    EXPECT_EQ(preview->PrintPreview->currentIndex(), test.entry) << test.percentage;
  }
  // A right click at 250 % asks for 300 %, which the list does not have: the window applies 250 % again.
  QTest::mouseClick(preview->DrawIt1, Qt::RightButton);
  EXPECT_EQ(preview->PrintPreview->currentIndex(), 0);
  EXPECT_EQ(preview->DrawIt1->ZoomLevel(), 250);
  QTest::mouseClick(preview->DrawIt1, Qt::LeftButton);
  EXPECT_EQ(preview->PrintPreview->currentIndex(), 1);
  EXPECT_EQ(preview->DrawIt1->width(), 1700);
}

TEST_F(PreviewWindowTest, TheKeyboardPagesScrollsAndCloses) {
  const auto preview = Open();
  Messages messages;
  struct Case {
    const char* typed;
    const char* shown;
  };
  for (const Case& test :
       {Case{"9", "3"}, Case{"0", "1"}, Case{" 2", "2"}, Case{"-4", "1"}, Case{"$3", "3"}}) {
    Type(preview->PageNo, QString::fromLatin1(test.typed));
    EXPECT_EQ(preview->PageNo->Text(), QString::fromLatin1(test.shown)) << test.typed;
    EXPECT_EQ(preview->DrawIt1->ShownPage(), QString::fromLatin1(test.shown).toInt());
  }
  Type(preview->PageNo, QStringLiteral("two"));
  EXPECT_EQ(messages.texts, QStringList{QStringLiteral("'two' is not a valid integer value")});
  EXPECT_EQ(preview->DrawIt1->ShownPage(), 3) << "the page does not change";

  preview->NextPage->click();
  EXPECT_EQ(preview->PageNo->Text(), QStringLiteral("3")) << "next on the last page";
  preview->PrevPage->click();
  EXPECT_EQ(preview->PageNo->Text(), QStringLiteral("2"));

  // Page Up and Page Down move by a twentieth of the sheet, whichever control has the focus.
  preview->PrintPreview->setCurrentIndex(TQV_Prev::zo150);
  preview->Zoomfinish();
  const int step = preview->DrawIt1->height() / 20;
  preview->ScrollBox1->SetVertPosition(0);
  QTest::keyClick(preview->PageNo, Qt::Key_PageDown);
  QTest::keyClick(preview->PrintPreview, Qt::Key_PageDown);
  EXPECT_EQ(preview->ScrollBox1->VertPosition(), 2 * step);
  QTest::keyClick(preview->PageNo, Qt::Key_PageUp);
  EXPECT_EQ(preview->ScrollBox1->VertPosition(), step);
  QTest::keyClick(preview->PageNo, Qt::Key_PageUp);
  QTest::keyClick(preview->PageNo, Qt::Key_PageUp);
  EXPECT_EQ(preview->ScrollBox1->VertPosition(), 0) << "never above the top";

  preview->hide();
  const ModalObserverScope escape([](QWidget& window) {
    QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key_Escape);
  });
  preview->ShowModal();
  EXPECT_FALSE(preview->isVisible()) << "Escape closed the modal preview";
}

TEST_F(PreviewWindowTest, ThePrintButtonsPrintAllOddEvenAndTheCurrentPage) {
  RecordPages(4, 4);
  const auto preview = Open();
  preview->DrawIt1->GoToPage(2);
  struct Case {
    TButton* button;
    int pages;
    const char* first;
  };
  for (const Case& test : {Case{preview->Print, 4, "Page 1"}, Case{preview->Odd, 2, "Page 1"},
                           Case{preview->Even, 2, "Page 2"}, Case{preview->Current, 1, "Page 2"}}) {
    QFile::remove(PdfFile());
    const QSize size = preview->DrawIt1->size();
    test.button->click();
    const PdfReader pdf(PdfFile());
    EXPECT_EQ(pdf.PageCount(), test.pages) << test.button->text().toStdString();
    EXPECT_EQ(pdf.Text(0), QString::fromLatin1(test.first));
    EXPECT_EQ(preview->DrawIt1->size(), size);
    EXPECT_EQ(
        preview->PrintedCaption->Caption(),
        QStringLiteral("Printed %1 pages to %2").arg(test.pages).arg(PdfFile()).replace("1 pages", "1 page"))
        << "the user learns where the file went";
  }
}

// Keys as a user presses them, on a real X server (only there has a widget the keyboard): the preview opens
// with the keyboard on its page, so Return prints nothing and Escape closes; a user who moves to the All
// button with Tab prints with Return.
TEST_F(PreviewWindowTest, ReturnInAFreshlyOpenedPreviewPrintsNothingUntilTheUserMovesToAPrintButton) {
  if (!UnderVirtualX()) {
    RunCurrentTestUnderX();
    return;
  }
  for (const bool tabToAll : {false, true}) {
    QFile::remove(PdfFile());
    RecordPages(1, 3);  // a preview's pages go with it
    QWidget* focused = nullptr;
    const ModalObserverScope keys([&](QWidget& window) {
      if (!qobject_cast<TQV_Prev*>(&window)) return;
      ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
      focused = QApplication::focusWidget();
      auto* preview = static_cast<TQV_Prev*>(&window);
      if (tabToAll) {
        for (int step = 0; step < 20 && QApplication::focusWidget() != preview->Print; ++step)
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &window,
                      Qt::Key_Escape);
    });
    const auto preview = std::make_unique<TQV_Prev>();
    preview->ShowModal();
    EXPECT_EQ(focused, preview->DrawIt1) << "the keyboard starts on the page";
    EXPECT_EQ(QFile::exists(PdfFile()), tabToAll) << tabToAll;
    EXPECT_EQ(preview->DrawIt1->PagesPrinted(), tabToAll ? 3 : 0);
  }
}

class PrintOptionsTest : public PreviewWindowTest {
protected:
  /** Answers the print options dialog with each step in turn, then closes it; keeps message texts. */
  void Answer(std::function<void(TAddition&)> fill) {
    observer_.reset();  // scopes restore their predecessor, so the old one must end first
    observer_ = std::make_unique<ModalObserverScope>([this, fill](QWidget& window) {
      if (auto* box = qobject_cast<QMessageBox*>(&window)) {
        messages_.append(box->text());
        box->accept();
      } else if (auto* dialog = qobject_cast<TAddition*>(&window)) {
        ++shown_;
        if (shown_ == 1) {
          fill(*dialog);
          dialog->Print->Click();
        } else {
          dialog->CancelBtn->Click();
        }
      }
    });
  }
  std::unique_ptr<ModalObserverScope> observer_;
  QStringList messages_;
  int shown_ = 0;
};

TEST_F(PrintOptionsTest, TwoCopiesOfAllPrintTheJobTwiceIntoTheOneFileAndTheDialogComesBack) {
  const auto preview = Open();
  Answer([](TAddition& dialog) { dialog.Copies->SetText(QStringLiteral("2")); });
  preview->Additional->click();
  EXPECT_EQ(shown_, 2) << "the dialog came back after the print and was closed";
  const PdfReader pdf(PdfFile());
  ASSERT_EQ(pdf.PageCount(), 6);
  EXPECT_EQ(pdf.Text(3), QStringLiteral("Page 1")) << "the second copy follows the first";
}

TEST_F(PrintOptionsTest, ARangeOfOddPagesAndTheCurrentPageOnTheWrongSidePrintWhatTheyChoose) {
  struct Case {
    std::function<void(TAddition&)> fill;
    QStringList pages;
  };
  const Case cases[] = {
      {[](TAddition& dialog) {
         dialog.Range->setChecked(true);
         dialog.Edit1->SetText(QStringLiteral("2-3"));
         dialog.ComboBox1->setCurrentIndex(1);
       },
       {"Page 3"}},
      {[](TAddition& dialog) {
         dialog.Current->setChecked(true);
         dialog.ComboBox1->setCurrentIndex(1);
       },
       {}},
      {[](TAddition& dialog) { dialog.Copies->SetText(QStringLiteral("0")); }, {}},
  };
  for (const Case& test : cases) {
    QFile::remove(PdfFile());
    const auto preview = Open();
    preview->NextPageClick();  // the current page is 2
    shown_ = 0;
    Answer(test.fill);
    preview->Additional->click();
    const PdfReader pdf(PdfFile());
    QStringList printed;
    for (int index = 0; index < pdf.PageCount(); ++index) printed.append(pdf.Text(index));
    EXPECT_EQ(printed, test.pages);
    EXPECT_TRUE(messages_.isEmpty());
  }
}

TEST_F(PrintOptionsTest, CopiesThatAreNoNumberSayWhyAndEndTheDialog) {
  const auto preview = Open();
  Answer([](TAddition& dialog) { dialog.Copies->SetText(QStringLiteral("two")); });
  preview->Additional->click();
  EXPECT_EQ(messages_, QStringList{QStringLiteral("'two' is not a valid integer value")});
  EXPECT_EQ(shown_, 1);
  EXPECT_FALSE(QFile::exists(PdfFile()));
}

}  // namespace
