#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {
// Colour of a pixel of a widget as painted, with its children.
QColor PaintedColor(QWidget& widget, QPoint point) { return widget.grab().toImage().pixelColor(point); }
}  // namespace

TEST(TLabel, AutoSizeFollowsTextAndFont) {
  TForm form;
  auto* label = new TLabel(&form);
  label->SetCaption(QStringLiteral("Quenary"));
  const int narrow = label->Width();
  EXPECT_EQ(narrow, label->fontMetrics().horizontalAdvance(QStringLiteral("Quenary")));
  label->SetCaption(QStringLiteral("Quenary\nOracle Calculator"));
  EXPECT_GT(label->Width(), narrow);
  EXPECT_EQ(label->Height(), 2 * label->fontMetrics().height());
  const int smallHeight = label->Height();
  form.SetFont(MakeFont(QStringLiteral("Arial"), -30));
  EXPECT_GT(label->Height(), smallHeight) << "a label that takes its form's font resizes with it";

  label->SetAutoSize(false);
  label->SetBounds(0, 0, 10, 10);
  label->SetCaption(QStringLiteral("a much longer caption"));
  EXPECT_EQ(label->size(), QSize(10, 10));
}

// A caption is plain text, never markup; "&" marks the accelerator, shown underlined, unless the label is
// told to show every "&" (data texts, typed names).
TEST(TLabel, CaptionIsPlainTextWithItsAcceleratorMarked) {
  const struct {
    const char* Caption;
    const char* Shown;
  } cases[] = {{"&File", "File"},
               {"Fish && Chips", "Fish & Chips"},
               {"E-Mail: <someone@example.org> &<b>x</b>", "E-Mail: <someone@example.org> <b>x</b>"},
               {"&&&x &", "&x "},
               {"no marks", "no marks"}};
  TForm form;
  for (const auto& [caption, shown] : cases) {
    SCOPED_TRACE(caption);
    for (const bool marks : {true, false}) {
      auto* label = new TLabel(&form);
      if (!marks) label->SetShowAccelChar(false);
      label->SetCaption(QString::fromUtf8(caption));
      const QString expected = QString::fromUtf8(marks ? shown : caption);
      EXPECT_EQ(label->textFormat(), Qt::PlainText);
      EXPECT_EQ(label->ShownCaption(), expected);
      EXPECT_EQ(label->Width(), label->fontMetrics().horizontalAdvance(expected)) << "sized to what shows";
    }
  }
  // On the screen the marked letter is underlined, and no other.
  TPanel panel(nullptr);
  panel.resize(200, 40);
  auto* marked = new TLabel(&panel);
  marked->SetCaption(QStringLiteral("&File"));
  auto* plain = new TLabel(&panel);
  plain->SetCaption(QStringLiteral("File"));
  plain->SetTop(20);
  ASSERT_EQ(marked->size(), plain->size());
  const QImage withMark = marked->grab().toImage();
  const QImage without = plain->grab().toImage();
  const int firstLetter = marked->fontMetrics().horizontalAdvance(QStringLiteral("F"));
  int underlined = 0;
  // Below the baseline, where the letters leave the two pictures alike (above it their edges may be
  // smoothed a little differently).
  for (int y = marked->fontMetrics().ascent(); y < withMark.height(); ++y) {
    for (int x = 0; x < withMark.width(); ++x) {
      if (withMark.pixel(x, y) == without.pixel(x, y)) continue;
      EXPECT_LE(x, firstLetter + 1) << "only under the F";
      ++underlined;
    }
  }
  EXPECT_GE(underlined, firstLetter - 2) << "a line under the F";
}

TEST(TLabel, TransparentLabelPaintsNoBackground) {
  TPanel panel(nullptr);
  panel.SetBevelOuter(bvNone);
  panel.SetColor(clRed);
  panel.resize(100, 40);
  auto* label = new TLabel(&panel);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 60, 20);
  label->SetCaption(QStringLiteral("."));
  label->SetColor(clBlue);
  const QPoint blank(65, 27);  // inside the label, away from its text
  EXPECT_EQ(PaintedColor(panel, blank), QColor(Qt::blue));
  label->SetTransparent(true);
  EXPECT_EQ(PaintedColor(panel, blank), QColor(Qt::red));
}

TEST(TLabel, ClickNeedsPressAndReleaseOverTheLabel) {
  TForm form;
  auto* label = new TLabel(&form);
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 80, 20);
  QSignalSpy clicks(label, &TLabel::Click);
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks.count(), 1);
  QTest::mousePress(label, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(300, 10));
  EXPECT_EQ(clicks.count(), 1) << "releasing outside the label is no click";
  QTest::mouseClick(label, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks.count(), 1);
}

TEST(TEdit, MaxLengthRefusesTypingAndCutsPastes) {
  TForm form;
  auto* edit = new TEdit(&form);
  edit->SetMaxLength(5);
  QSignalSpy changes(edit, &TEdit::Change);
  QTest::keyClicks(edit, QStringLiteral("abcdefgh"));
  EXPECT_EQ(edit->Text(), QStringLiteral("abcde"));
  EXPECT_EQ(changes.count(), 5);

  edit->SetText(QString());
  QGuiApplication::clipboard()->setText(QStringLiteral("0123456789"));
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->Text(), QStringLiteral("01234"));

  // Twenty pasted faces are forty UTF-16 units: the limit keeps two whole faces, never half of a third.
  edit->SetText(QStringLiteral("a"));
  edit->end(false);
  changes.clear();
  const QString face = QStringLiteral("\U0001F600");
  QGuiApplication::clipboard()->setText(face.repeated(20));
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->Text(), QStringLiteral("a") + face + face);
  EXPECT_EQ(changes.count(), 1) << "the change is told once, with the whole characters";

  edit->SetMaxLength(0);
  edit->SetText(QString(1000, QLatin1Char('x')));
  EXPECT_EQ(edit->Text().size(), 1000) << "0 means no limit of the program's own";
}

TEST(TEdit, TabSkipsControlsWithoutTabStop) {
  TForm form;
  auto* first = new TEdit(&form);
  auto* skipped = new TEdit(&form);
  auto* memo = new TMemo(&form);
  auto* button = new TButton(&form);
  skipped->SetTabStop(false);
  memo->SetTabStop(false);
  form.show();
  first->setFocus();
  QTest::keyClick(first, Qt::Key_Tab);
  EXPECT_EQ(form.focusWidget(), button);
  EXPECT_FALSE(skipped->TabStop());
  EXPECT_EQ(skipped->focusPolicy(), Qt::ClickFocus) << "a field without a tab stop still takes a click";
}

TEST(TMemo, LinesAndCrLfText) {
  TForm form;
  auto* memo = new TMemo(&form);
  EXPECT_TRUE(memo->Lines().isEmpty());
  EXPECT_EQ(memo->Text(), QString());
  memo->SetText(QStringLiteral("one\r\ntwo\rthree\nfour"));
  EXPECT_EQ(memo->Lines(), QStringList({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"),
                                        QStringLiteral("four")}));
  EXPECT_EQ(memo->Text(), QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));
  memo->SetText(QStringLiteral("last line ends\r\n"));
  EXPECT_EQ(memo->Lines(), QStringList({QStringLiteral("last line ends")}));
  memo->Clear();
  EXPECT_TRUE(memo->Lines().isEmpty());
}

namespace {
// The columns of a painted control that differ from its background colour (where the box or text is).
std::pair<int, int> InkColumnsOf(QWidget& widget) {
  const QImage image = widget.grab().toImage();
  const QRgb background = image.pixel(image.width() / 2, 0);
  int first = image.width();
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
  return {first, last};
}
}  // namespace

TEST(TCheckBox, StateCheckedAndClickFollowEveryChange) {
  TForm form;
  auto* box = new TCheckBox(&form);
  QSignalSpy clicks(box, &TCheckBox::Click);
  EXPECT_FALSE(box->Checked());
  box->SetChecked(true);
  EXPECT_EQ(box->State(), cbChecked);
  box->SetState(cbGrayed);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks.count(), 2);
  box->SetState(cbUnchecked);
  box->SetCaption(QStringLiteral("Paid"));
  box->SetBounds(0, 0, 100, 20);
  form.show();
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(30, 10));
  EXPECT_TRUE(box->Checked()) << "a click checks it, even after the program grayed it once";
  box->SetAllowGrayed(true);
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(30, 10));
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(30, 10));
  EXPECT_EQ(box->State(), cbGrayed) << "checked, unchecked, then grayed";
}

TEST(TCheckBox, BoxStandsLeftOfTheCaptionUnlessAlignedLeft) {
  for (auto* box : std::initializer_list<TControl*>{new TCheckBox(nullptr), new TRadioButton(nullptr)}) {
    std::unique_ptr<QWidget> owner(&box->Widget());
    box->SetBounds(0, 0, 200, 24);
    box->SetColor(clWhite);
    EXPECT_EQ(box->Alignment(), taRightJustify) << "the caption right of the box by default";
    const auto boxAtLeft = InkColumnsOf(box->Widget());
    EXPECT_LT(boxAtLeft.second, 100) << "without a caption all ink is the box, at the left";
    box->SetAlignment(taLeftJustify);
    const auto boxAtRight = InkColumnsOf(box->Widget());
    EXPECT_GT(boxAtRight.first, 100) << "aligned left, the box moves to the right edge";
  }
}

TEST(TRadioButton, ButtonsOfOneParentExcludeEachOther) {
  TForm form;
  auto* first = new TRadioButton(&form);
  auto* second = new TRadioButton(&form);
  QSignalSpy clicks(second, &TRadioButton::Click);
  first->SetChecked(true);
  second->SetChecked(true);
  EXPECT_FALSE(first->Checked());
  EXPECT_EQ(clicks.count(), 1);
  first->SetChecked(true);
  EXPECT_EQ(clicks.count(), 1) << "Click tells of becoming checked only";
}

TEST(TComboBox, TextFollowsItsStyle) {
  TForm form;
  auto* combo = new TComboBox(&form);
  combo->SetItems({QStringLiteral("one"), QStringLiteral("two")});
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), QString());
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), QStringLiteral("two"));
  combo->SetText(QStringLiteral("typed"));
  EXPECT_EQ(combo->Text(), QStringLiteral("typed")) << "a drop-down takes any text";
  combo->SetItems({QStringLiteral("three")});
  EXPECT_EQ(combo->Text(), QStringLiteral("typed")) << "new items keep the typed text";
  EXPECT_EQ(combo->Items(), QStringList({QStringLiteral("three")}));

  combo->SetStyle(csDropDownList);
  EXPECT_EQ(combo->Text(), QString()) << "a list offers only its items";
  combo->SetText(QStringLiteral("three"));
  EXPECT_EQ(combo->ItemIndex(), 0);
  combo->SetText(QStringLiteral("four"));
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
}
