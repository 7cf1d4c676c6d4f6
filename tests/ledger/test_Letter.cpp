#include "ledger/Letter.h"
#include "platform/Printers.h"
#include "print/controls/QV3Party.h"
#include "print/controls/Qv_Types.h"
#include "print/controls/QVRchCon.h"
#include "print/controls/Qv_lab.h"
#include "print/controls/QVRich.h"
#include "print/device/QV_PageFiles.h"
#include "print/engine/DBPrnWin.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "tests/platform/PrinterTestSupport.h"
#include "platform/pdf/PdfFile.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <gtest/gtest.h>

namespace {

class LetterTest : public ::testing::Test {
protected:
  static constexpr int Dpi = 150;

  void SetUp() override {
    Printer().RefreshPrinters();
    UseTestPrinter({TPrinter::PdfPrinterName()}, 0, Dpi, PdfFile());
  }
  void TearDown() override { Printer().RefreshPrinters(); }
  QString PdfFile() const { return scratch_.File(QStringLiteral("letter.pdf")); }

  ScratchDirectory scratch_;
};

// At every resolution: the boxes' edges fall on whole printer pixels, which must not leave a line out.
TEST_F(LetterTest, TheBodyFlowsThroughItsThreeBoxesOntoASecondPageWithoutALostOrRepeatedWord) {
  for (const int dpi : {Dpi, 300, 600}) {
    SCOPED_TRACE(dpi);
    UseTestPrinter({TPrinter::PdfPrinterName()}, 0, dpi, PdfFile());
    TLetterFrm letter;
    ASSERT_EQ(letter.BodyContinued->ParentRichEditE(), letter.Body);
    ASSERT_EQ(letter.BodyConcluded->ParentRichEditE(), letter.Body);
    letter.PrintLetter();
    const PdfReader pdf(PdfFile());
    ASSERT_EQ(pdf.PageCount(), 2);
    QStringList outline;
    for (const PdfOutlineEntry& entry : pdf.Outline())
      outline << QStringLiteral("%1 %2 on %3").arg(entry.Level).arg(entry.Title).arg(entry.Page + 1);
    EXPECT_EQ(outline, (QStringList{"0 Page 1 on 1", "0 Page 2 on 2"}));

    // The boxes span the sheet from the edit's top to the second continuation's bottom. The sheet is printed
    // three quarters of an inch from the top of the printable area; a screen pixel is 3/4 of a point.
    const double sheetTop = 0.75 * 72;
    const double top = sheetTop + letter.Body->Top() * 0.75;
    const double bottom = sheetTop + (letter.BodyConcluded->Top() + letter.BodyConcluded->Height()) * 0.75;
    QStringList printed;
    for (int page = 0; page < pdf.PageCount(); ++page) {
      EXPECT_FALSE(pdf.FindPhrase(page, QStringLiteral("Page %1 of 2").arg(page + 1)).isEmpty())
          << "the footer counts the letter's pages: " << pdf.Text(page).toStdString();
      // The body's lines by their tops: where each stands and its last word.
      struct Line {
        QRectF Box;
        PdfWord Last;
      };
      QMap<int, Line> lines;
      QRectF body;
      for (const PdfWord& word : pdf.Words(page)) {
        const double middle = word.Box.center().y();
        if (middle <= top || middle >= bottom) continue;
        printed.append(word.Text.normalized(QString::NormalizationForm_KC));
        Line& line = lines[qRound(word.Box.top())];
        line.Box = line.Box.united(word.Box);
        if (line.Last.Text.isEmpty() || line.Last.Box.right() < word.Box.right()) line.Last = word;
        body = body.united(word.Box);
      }
      // A sentence that goes on in the next box reads on at the body's line pitch, no gap opening inside it,
      // and a justified paragraph's line before the box's end is justified as its other inner lines are.
      const QList<int> tops = lines.keys();
      int pitch = std::numeric_limits<int>::max();
      for (qsizetype line = 1; line < tops.size(); ++line)
        pitch = std::min(pitch, tops[line] - tops[line - 1]);
      for (qsizetype line = 1; line < tops.size(); ++line) {
        const Line& above = lines[tops[line - 1]];
        const QString ending = above.Last.Text;
        // The salutation, a heading, is set larger and stands apart.
        const bool sameFace = std::abs(above.Last.Box.height() - lines[tops[line]].Last.Box.height()) < 0.5;
        if (!sameFace || (!ending.back().isLetter() && !ending.endsWith(QLatin1Char(',')))) continue;
        EXPECT_LE(tops[line] - tops[line - 1], pitch + 2)
            << "after \"" << ending.toStdString() << "\" on page " << page + 1;
        // Paragraphs of text start at the body's left edge; the list and the quotation are indented.
        if (std::abs(above.Box.left() - body.left()) < 1) {
          EXPECT_GT(above.Box.right(), body.right() - 1)
              << "the line ending \"" << ending.toStdString() << "\" on page " << page + 1;
        }
      }
    }
    const QStringList source =
        letter.Body->Text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    EXPECT_EQ(printed, source);
    EXPECT_TRUE(QDir(PageDirectory()).entryList({QStringLiteral("PRN*")}, QDir::Files).isEmpty());

    letter.PrintLetter();
    EXPECT_EQ(PdfReader(PdfFile()).PageCount(), 2) << "a second print starts the body from its beginning";
  }
}

TEST_F(LetterTest, EveryDecorativeControlOfTheSheetReachesThePaperAndTheSignOffOnlyTheLastPage) {
  TLetterFrm letter;
  letter.PrintLetter();
  const PdfReader pdf(PdfFile());
  for (int page = 0; page < 2; ++page) {
    for (const char* word :
         {"Quenary", "Private", "reading", "speak", "voices", "Addressee", "Ninefold,", "Page"}) {
      EXPECT_FALSE(pdf.Find(page, QString::fromLatin1(word)).isEmpty()) << word << " on page " << page + 1;
    }
    // The sign-off and the seal ("QO") close the letter, after its text.
    for (const char* word : {"regards,", "QO"})
      EXPECT_EQ(pdf.Find(page, QString::fromLatin1(word)).isEmpty(), page == 0)
          << word << " on page " << page + 1;
  }
  EXPECT_FALSE(letter.Closing->isHidden()) << "the window shows them again";
  EXPECT_TRUE(pdf.Find(0, QStringLiteral("printed.")).isEmpty())
      << "the continuations' screen captions stay off";
}

// The seal prints what it shows: its letters' ink inside its circle, not an empty disc with the letters
// only in the text layer.
TEST_F(LetterTest, TheSealPrintsItsLettersInsideItsCircle) {
  TLetterFrm letter;
  letter.PrintLetter();
  const PdfReader pdf(PdfFile());
  const QRectF letters = pdf.Find(1, QStringLiteral("QO"));
  ASSERT_FALSE(letters.isEmpty());
  // The seal's place on the sheet in points: the sheet stands half an inch from the left and three quarters
  // from the top of the printable area, and a screen pixel is 3/4 of a point.
  const QRectF seal(0.5 * 72 + letter.Seal->x() * 0.75, 0.75 * 72 + letter.Seal->y() * 0.75,
                    letter.Seal->width() * 0.75, letter.Seal->height() * 0.75);
  EXPECT_TRUE(seal.contains(letters.center()));
  constexpr double Resolution = 100;
  const double scale = Resolution / 72;
  const QRect area(QPointF(letters.topLeft() * scale).toPoint(),
                   QPointF(letters.bottomRight() * scale).toPoint());
  const QImage page = pdf.Render(1, Resolution, area);
  int maroon = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      const QColor pixel = page.pixelColor(x, y);
      if (pixel.red() > 90 && pixel.green() < 80 && pixel.blue() < 80) ++maroon;
    }
  }
  EXPECT_GT(maroon, page.width() * page.height() / 8)
      << "the letters' ink over " << page.width() << " x " << page.height() << " pixels";
}

// The Addressee's container keeps its border at both sides along its lines, on the screen and on paper.
TEST_F(LetterTest, TheAddresseeBoxHasItsSideBordersOnScreenAndOnPaper) {
  TLetterFrm letter;
  const QWidget& box = *letter.Addressee;
  const QImage screen = letter.Addressee->grab().toImage();
  const auto dark = [](const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 96; };
  for (int y = 20; y < box.height(); ++y) {
    EXPECT_TRUE(dark(screen, 0, y)) << "left, screen row " << y;
    EXPECT_TRUE(dark(screen, box.width() - 1, y)) << "right, screen row " << y;
  }
  letter.PrintLetter();
  // On paper at 100 dpi: the sheet stands half an inch from the left and three quarters from the top of the
  // printable area; a screen pixel is 100/96 of a pixel there. A border may fall on either pixel of its edge.
  const QImage page = PdfReader(PdfFile()).Render(0, 100);
  const auto at = [](double inches, int pixels) {
    return static_cast<int>(inches * 100 + pixels * 100.0 / 96);
  };
  const auto border = [&](int screenX, int y) {
    const int x = at(0.5, screenX);
    return dark(page, x - 1, y) || dark(page, x, y) || dark(page, x + 1, y);
  };
  for (int y = at(0.75, box.y() + 22); y < at(0.75, box.y() + box.height() - 2); ++y) {
    EXPECT_TRUE(border(box.x(), y)) << "left, page row " << y;
    EXPECT_TRUE(border(box.x() + box.width() - 1, y)) << "right, page row " << y;
  }
}

// Keys as a user presses them, on a real X server: Return where the keyboard starts prints nothing, and
// Escape closes the Letter.
TEST_F(LetterTest, OnAScreenReturnPrintsNothingAndEscapeClosesTheLetter) {
  if (!UnderVirtualX()) {
    RunCurrentTestUnderX();
    return;
  }
  TLetterFrm letter;
  QStringList others;
  bool closedByEscape = false;
  const ModalObserverScope keys([&](QWidget& window) {
    if (&window != &letter) {
      others << QString::fromLatin1(window.metaObject()->className());
      if (auto* dialog = qobject_cast<QDialog*>(&window)) dialog->reject();
      return;
    }
    letter.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&letter));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::qWait(300);  // a button clicked by a key clicks a moment later
    QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &letter,
                    Qt::Key_Escape);
    closedByEscape = !letter.isVisible();
    if (!closedByEscape) letter.Close();
  });
  letter.ShowModal();
  EXPECT_TRUE(closedByEscape);
  EXPECT_FALSE(QFile::exists(PdfFile())) << "nothing printed";
  EXPECT_TRUE(others.isEmpty()) << others.join(u',').toStdString();
}

// On a laptop's 1366 x 768 screen the Letter fits, its buttons in view; the sheet scrolls above them, and
// what prints is the same.
TEST_F(LetterTest, OnALaptopScreenTheWindowFitsWithItsButtonsInViewAndTheSheetScrolls) {
  if (!qEnvironmentVariableIsSet("QUENARY_TEST_LAPTOP")) {
    RunCurrentTestOnScreen(scratch_.File(QStringLiteral("screen.json")),
                           "{\"screens\": [{\"name\": \"laptop\", \"x\": 0, \"y\": 0, \"width\": 1366, "
                           "\"height\": 768, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}",
                           {{QStringLiteral("QUENARY_TEST_LAPTOP"), QStringLiteral("1")}});
    return;
  }
  TLetterFrm letter;
  letter.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&letter));
  EXPECT_LE(letter.height(), 768 - 40) << "room for the title bar";
  for (const QWidget* button :
       {static_cast<QWidget*>(letter.PrintBtn), static_cast<QWidget*>(letter.CloseBtn)})
    EXPECT_TRUE(letter.rect().contains(QRect(button->mapTo(&letter, QPoint(0, 0)), button->size())));
  EXPECT_GT(letter.SheetBox->VertScrollBar().maximum(), 0) << "the rest of the sheet is a scroll away";
  letter.SheetBox->VertScrollBar().setValue(letter.SheetBox->VertScrollBar().maximum());
  const QPoint sheetBottom = letter.Sheet->mapTo(&letter, QPoint(0, letter.Sheet->height()));
  EXPECT_LE(sheetBottom.y(), letter.PrintBtn->mapTo(&letter, QPoint(0, 0)).y()) << "the sheet's end in view";

  letter.PrintLetter();
  const PdfReader pdf(PdfFile());
  EXPECT_EQ(pdf.PageCount(), 2);
  EXPECT_FALSE(pdf.Find(0, QStringLiteral("Dear")).isEmpty());
  EXPECT_FALSE(pdf.Find(1, QStringLiteral("regards,")).isEmpty());
}

// The letter reads as it is laid out: its title and subtitle as headings, each paragraph of the body once
// however the boxes and pages cut it (the same structure at every resolution), the list as a list, and the
// seal as a figure with words for it.
TEST_F(LetterTest, TheLettersPdfReadsAsHeadingsParagraphsAListAndAFigureAtEveryResolution) {
  const QStringList expected = {
      "Document",      "Div",        "Div",           "H1 (block)", "P (block)",     "H2 (block)",
      "P (block)",     "P (block)",  "P (block)",     "Div",        "P (block)",     "P (block)",
      "P (block)",     "P (block)",  "P (block)",     "P (block)",  "P (block)",     "P (block)",
      "L (block)",     "LI (block)", "LBody (block)", "LI (block)", "LBody (block)", "LI (block)",
      "LBody (block)", "LI (block)", "LBody (block)", "P (block)",  "P (block)",     "P (block)",
      "P (block)",     "P (block)",  "P (block)",     "Figure"};
  for (const int dpi : {Dpi, 600}) {
    SCOPED_TRACE(dpi);
    UseTestPrinter({TPrinter::PdfPrinterName()}, 0, dpi, PdfFile());
    TLetterFrm letter;
    letter.PrintLetter();
    EXPECT_EQ(TaggingProblems(PdfFile()), QString());
    const QStringList read = StructureText(PdfFile());
    QStringList roles;
    for (const QString& line : read) {
      if (!line.startsWith(QLatin1Char('"'))) roles << line;
    }
    EXPECT_EQ(roles, expected) << read.join('\n').toStdString();
    EXPECT_TRUE(QpdfDecoded(PdfFile()).contains(
        "/Alt " +
        Pdf::TextString(QStringLiteral("The Oracle's seal, a ring around the initials QO")).toLower()));
  }
}

}  // namespace
