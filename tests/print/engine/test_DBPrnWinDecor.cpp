// The renderer's rules for the library's decorative controls, and rich text flowing across boxes and pages.
#include "platform/DrawingContext.h"
#include "platform/StdCtrls.h"
#include "print/controls/QV3Party.h"
#include "print/device/QV_Gdi.h"
#include "print/controls/QVPanel.h"
#include "print/controls/QVRchCon.h"
#include "print/controls/QVRich.h"
#include "print/controls/Qv_Types.h"
#include "print/controls/Qv_lab.h"
#include "print/engine/DBPrnWin.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/print/engine/EngineTestSupport.h"

#include <QRegularExpression>
#include <algorithm>
#include <QTextCursor>
#include <functional>
#include <vector>

namespace {

QRect ColourBounds(const QImage& image, QRgb colour) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == colour) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

class DecorRendererTest : public RendererJobTest {};

// Offsets are in 1/300 inch, so at 300 dpi one unit is one printer pixel: the caption in the font colour
// stands at 10 units, a shadow at 10 + ShadowOffset, the raised and sunken copies 2 units either side of it.
TEST_F(DecorRendererTest, EachLabelStylePrintsItsCopiesAtTheirOffsetsInTheirColours) {
  const QRgb black = qRgb(0, 0, 0);
  const QRgb red = qRgb(255, 0, 0);
  const QRgb silver = qRgb(192, 192, 192);
  const QRgb buttonShadow = ToQColor(clBtnShadow).rgb();
  struct Copy {
    QRgb colour;
    int offset;  // right of and below the caption in the font colour (negative: left of and above)
  };
  struct Case {
    const char* what;
    std::function<void(TQV_Label&)> set;
    std::vector<Copy> copies;
  };
  const auto redShadow = [](TStyle style, int offset) {
    return [style, offset](TQV_Label& label) {
      label.SetStyle(style);
      label.SetShadowOffset(offset);
      label.SetShadowColor(clRed);
    };
  };
  const Case cases[] = {
      {"a new label: sunken, in the button shadow colour",
       [](TQV_Label&) {},
       {{silver, 2}, {buttonShadow, -2}}},
      {"shadow", redShadow(stShadow, 3), {{red, 3}}},
      {"shadow of 6", redShadow(stShadow, 6), {{red, 6}}},
      {"raised", redShadow(stRaised, 3), {{red, 2}, {silver, -2}}},
      {"sunken", redShadow(stSunken, 3), {{silver, 2}, {red, -2}}},
      {"normal", redShadow(stNormal, 3), {}},
      {"block shadow", redShadow(stBlockShadow, 3), {}},
      {"button", redShadow(stButton, 3), {}},
  };
  for (const Case& test : cases) {
    TPanel* root = Panel(QRect(0, 0, 192, 96), clYellow);
    auto* label = new TQV_Label(root);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 180, 60);
    TFont font = label->Font();
    font.SetHeight(-30);
    font.SetStyle(fsBold);
    label->SetFont(font);
    label->SetCaption(QStringLiteral("HH"));
    test.set(*label);
    const QImage page = Print(root);
    const QRect caption = ColourBounds(page, black);
    ASSERT_TRUE(caption.isValid()) << test.what;
    for (const QRgb colour : {red, silver, buttonShadow}) {
      const auto copy = std::find_if(test.copies.begin(), test.copies.end(),
                                     [colour](const Copy& made) { return made.colour == colour; });
      const QRect found = ColourBounds(page, colour);
      if (copy == test.copies.end()) {
        EXPECT_FALSE(found.isValid()) << test.what << ": no copy in " << std::hex << colour;
      } else if (copy->offset > 0) {
        ASSERT_TRUE(found.isValid()) << test.what;
        EXPECT_EQ(found.right() - caption.right(), copy->offset) << test.what;
        EXPECT_EQ(found.bottom() - caption.bottom(), copy->offset) << test.what;
      } else {
        ASSERT_TRUE(found.isValid()) << test.what;
        EXPECT_EQ(found.left() - caption.left(), copy->offset) << test.what;
        EXPECT_EQ(found.top() - caption.top(), copy->offset) << test.what;
      }
    }
    EXPECT_EQ(page.pixel(500, 150), qRgb(255, 255, 0)) << test.what << ": a transparent label fills nothing";
    delete root;
  }
}

// A graphic control that prints a blue block reaching well past its rectangle, and keeps its record.
class BlockControl : public TQVGraphicControl {
public:
  using TQVGraphicControl::TQVGraphicControl;
  void PrintTo(TQVPrint& record) override {
    printed = record;
    if (record.Context != nullptr) {
      record.Context->FillRect(record.Left - 100, record.Top - 100, record.Right + 100, record.Bottom + 100,
                               QBrush(Qt::blue));
      record.Context->SelectPen(QPen(Qt::red, 9));
    }
  }
  TQVPrint printed;
};

TEST_F(DecorRendererTest, AGraphicControlPrintsItselfIntoItsRectangleClippedJustBeyondIt) {
  TPanel* root = Panel(QRect(0, 0, 300, 150), clWhite);
  auto* block = new BlockControl(root);
  block->SetBounds(96, 48, 48, 24);
  renderer_.StartJob();
  renderer_.PrintControlAt(root, 1.0, 1.0);
  const DrawingContext* context = renderer_.PageDevice()->Handle();
  const QPen penAfter = context->Pen();
  renderer_.FinishJob();
  const TQVPrint& record = block->printed;
  EXPECT_EQ(QRect(QPoint(record.Left, record.Top), QPoint(record.Right, record.Bottom)),
            QRect(QPoint(600, 450), QPoint(750, 525)))
      << "1 inch + 96 px, 1 inch + 48 px, 48 x 24 px at 300 dpi";
  EXPECT_EQ(record.OriginLeft, 600);
  EXPECT_EQ(record.OriginTop, 450);
  EXPECT_EQ(record.Context, context);
  EXPECT_NE(penAfter.color(), QColor(Qt::red)) << "what the control selected stays its own";
  const QImage page = PdfReader(PdfFile()).Render(0, Dpi);
  // The clip ends 5 and 10 units (printer pixels at 300 dpi) beyond the right and bottom edges; the raster of
  // the PDF may take the pixel on the clip's edge in.
  const QRect blue = ColourBounds(page, qRgb(0, 0, 255));
  EXPECT_EQ(blue.topLeft(), QPoint(600, 450));
  EXPECT_NEAR(blue.right(), 750 + 5 - 1, 1);
  EXPECT_NEAR(blue.bottom(), 525 + 10 - 1, 1);
}

TEST_F(DecorRendererTest, TheImagePanelTakesThePanelRuleAndTheTitledContainerIsCapturedOnce) {
  renderer_.FrameObjects = false;
  auto* image = new TImage(&host_);
  QImage tile(8, 8, QImage::Format_RGB32);
  tile.fill(Qt::red);
  image->SetPicture(tile);
  image->SetVisible(false);
  auto* panel = new TQVPanel(&host_);
  panel->SetImage(image);
  panel->SetBounds(0, 0, 96, 48);
  const QImage framed = Print(panel);
  EXPECT_TRUE(IsInk(framed, 0, 60) && IsInk(framed, 100, 0)) << "framed by its single border";
  EXPECT_EQ(framed.pixel(100, 60), ToQColor(clSilver).rgb()) << "filled in its colour; no tiles are printed";

  TPanel* root = Panel(QRect(0, 0, 300, 150), clWhite);
  auto* container = new TQVCustom(root);
  container->SetColor(clWhite);
  container->SetBounds(0, 0, 200, 120);
  auto* inside = new TLabel(container);
  inside->SetCaption(QStringLiteral("Inside"));
  inside->SetAlign(alTop);
  const QImage page = Print(root);
  EXPECT_EQ(page.pixel(300, 30), ToQColor(clSilver).rgb()) << "the title strip, as the container paints it";
  const PdfReader pdf(PdfFile());
  int found = 0;
  QRectF word;
  for (const PdfWord& printed : pdf.Words(0)) {
    if (printed.Text == QLatin1String("Inside")) {
      ++found;
      word = printed.Box;
    }
  }
  EXPECT_EQ(found, 1) << "the label prints by its own rule only, not once more with its container";
  EXPECT_GT(word.top(), (Dpi + 19 * 3.125) * 72.0 / Dpi) << "below the title bar";
}

// A letter-like window: a rich-text edit filling a titled container, then two continuation panels below it.
class RichTextFlowTest : public PrintJobTest {
protected:
  struct Window {
    TPanel* Root;
    TRichEditE* Edit;
  };
  Window MakeWindow(int paragraphs) {
    TPanel* root = Panel(QRect(0, 0, 640, 680), clWhite);
    auto* container = new TQVCustom(root);
    container->SetColor(clWhite);
    container->SetBevelOuter(bvNone);
    container->SetBounds(0, 0, 640, 260);
    auto* edit = new TRichEditE(container);
    edit->SetBorderStyle(bsNone);
    edit->SetFont(MakeFont(QStringLiteral("Times New Roman"), -15));
    edit->SetAlign(alClient);
    for (int index = 0; index < 2; ++index) {
      auto* continuation = new TQVRichContinue(root);
      continuation->SetBevelOuter(bvNone);
      continuation->SetBounds(0, 280 + 200 * index, 640, 180);
      continuation->SetCaption(QStringLiteral("shown on screen only"));
      continuation->SetParentRichEditE(edit);
    }
    QTextCursor cursor(&edit->Document());
    for (int paragraph = 0; paragraph < paragraphs; ++paragraph) {
      if (paragraph > 0) cursor.insertBlock();
      QTextCharFormat format;
      format.setFontWeight(paragraph % 3 == 0 ? QFont::Bold : QFont::Normal);
      format.setFontItalic(paragraph % 4 == 1);
      format.setFontPointSize(paragraph % 5 == 0 ? 14 : 11);
      QString text;
      for (int word = 0; word < 60; ++word) text += QStringLiteral("w%1p%2 ").arg(word).arg(paragraph);
      cursor.insertText(text.trimmed(), format);
    }
    return Window{root, edit};
  }

  /** The words of every page, in reading order, and the number of pages. */
  QStringList PrintedWords(int& pages) {
    const PdfReader pdf(PdfFile());
    pages = pdf.PageCount();
    QStringList words;
    for (int page = 0; page < pages; ++page) {
      for (const PdfWord& word : pdf.Words(page))
        words.append(word.Text.normalized(QString::NormalizationForm_KC));
    }
    return words;
  }
};

TEST_F(RichTextFlowTest, NoCharacterIsLostOrPrintedTwiceAcrossBoxesAndPages) {
  struct Case {
    const char* what;
    int paragraphs;
    int minimumPages;
    int maximumPages;
  };
  const Case cases[] = {
      {"text that ends in the first continuation needs no second page", 4, 1, 1},
      {"text for several pages", 30, 3, 8},
  };
  for (const bool controlByControl : {true, false}) {
    for (const Case& test : cases) {
      const Window window = MakeWindow(test.paragraphs);
      std::unique_ptr<TPrintWin> renderer =
          controlByControl ? std::make_unique<TDBPrintWin>() : std::make_unique<TPrintWin>();
      renderer->OutputTo = poPrinter;
      renderer->ShowCancelDialog = false;
      renderer->StartJob();
      renderer->PrintControlPages(window.Root, 0.5, 0.5);
      renderer->FinishJob();
      const std::string what =
          std::string(test.what) + (controlByControl ? ", control by control" : ", captured");

      int pages = 0;
      const QStringList printed = PrintedWords(pages);
      EXPECT_GE(pages, test.minimumPages) << what;
      EXPECT_LE(pages, test.maximumPages) << what;
      EXPECT_FALSE(PdfReader(PdfFile()).Words(pages - 1).isEmpty()) << what << ": the last page has text";
      const QStringList source =
          window.Edit->Text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
      EXPECT_EQ(printed, source) << what;
      EXPECT_FALSE(window.Edit->QVTextRemains()) << what;
      delete window.Root;
    }
  }
}

}  // namespace
