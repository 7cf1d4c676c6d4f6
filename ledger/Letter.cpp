#include "ledger/Letter.h"

#include "platform/Screen.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/DrawingContext.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "print/controls/QV3Party.h"
#include "print/controls/QVPanel.h"
#include "print/controls/QVRchCon.h"
#include "print/controls/QVRich.h"
#include "print/controls/Qv_Types.h"
#include "print/controls/Qv_lab.h"
#include "print/engine/DBPrnWin.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextListFormat>
#include <algorithm>

/** The seal at the foot of the letter: a ring with the oracle's initials, drawn alike on screen and paper. */
class TLetterSeal : public TQVGraphicControl {
public:
  explicit TLetterSeal(QWidget* parent) : TQVGraphicControl(parent) {}

  void PrintTo(TQVPrint& record) override {
    if (record.Context == nullptr) return;
    Draw(*record.Context,
         QRect(QPoint(record.Left, record.Top), QPoint(record.Right - 1, record.Bottom - 1)));
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    DrawingContext context(painter);
    Draw(context, rect());
  }

private:
  static void Draw(DrawingContext& context, const QRect& box) {
    const int side = std::min(box.width(), box.height());
    const QRect ring(box.x() + (box.width() - side) / 2, box.y() + (box.height() - side) / 2, side, side);
    const int pen = std::max(1, side / 16);
    context.SelectPen(QPen(ToQColor(clMaroon), pen));
    context.SelectBrush(QBrush(QColor(0xF6, 0xE7, 0xD0)));
    context.Ellipse(ring.left() + pen / 2, ring.top() + pen / 2, ring.right() + 1 - pen / 2,
                    ring.bottom() + 1 - pen / 2);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(std::max(1, side * 2 / 5));
    font.setBold(true);
    context.SelectFont(font);
    context.SetBackgroundMode(TBackgroundMode::Transparent);
    context.SetTextColor(ToQColor(clMaroon));
    context.SetTextAlign(TTextAlign::Center);
    context.TextOut(ring.center().x() + 1, ring.top() + (side - context.TextHeight()) / 2,
                    QStringLiteral("QO"));
    context.SetTextAlign(TTextAlign::Left);
  }
};

namespace {
TQV_Label* MakeLabel(QWidget* parent, TStyle style, const QRect& bounds, const QString& caption,
                     const TFont& font) {
  auto* label = new TQV_Label(parent);
  label->SetAutoSize(false);
  label->SetStyle(style);
  label->SetFont(font);
  label->SetCaption(caption);
  label->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  return label;
}

TLabel* MakeAddressLine(QWidget* parent, const QString& caption) {
  auto* label = new TLabel(parent);
  label->SetAutoSize(false);
  label->SetCaption(QStringLiteral("  ") + caption);
  label->SetFont(MakeFont(QStringLiteral("Arial"), -14));
  // Below the lines already there, so the lines stack in the order they are made.
  label->SetBounds(0, parent->height(), parent->width(), 22);
  label->SetAlign(alTop);
  // The lines take the container's whole width; without a background of their own they leave its border
  // standing at both sides, on the screen and on paper.
  label->SetTransparent(true);
  return label;
}

TQVRichContinue* MakeContinuation(QWidget* parent, const QRect& bounds, TRichEditE* edit) {
  auto* box = new TQVRichContinue(parent);
  box->SetBevelOuter(bvNone);
  box->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  box->SetFont(MakeFont(QStringLiteral("Arial"), -12, fsItalic, clGray));
  box->SetCaption(QStringLiteral("The letter continues here when it is printed."));
  box->SetParentRichEditE(edit);
  return box;
}

// A small diamond on a pale ground, the banner's tile.
QImage MotifPicture() {
  QImage picture(20, 20, QImage::Format_RGB32);
  picture.fill(QColor(0xDD, 0xE4, 0xEE));
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x9A, 0xAB, 0xC8));
  const QPointF diamond[] = {{10, 3}, {17, 10}, {10, 17}, {3, 10}};
  painter.drawPolygon(diamond, 4);
  return picture;
}

struct Paragraph {
  enum Kind { Heading, Text, Item, Quote } kind;
  const char* text;
};

// The body: a greeting, the letter values, a list, a quotation and a closing, long enough for two pages.
const Paragraph BodyText[] = {
    {Paragraph::Heading, "Dear friend of numbers,"},
    {Paragraph::Text,
     "thank you for the name you sent us last week. The Oracle has weighed every letter of it, and this "
     "letter "
     "tells you what was found, how it was found, and what the old tables make of it. Read it slowly, at a "
     "quiet hour; numbers are patient, and they prefer readers who are patient too."},
    {Paragraph::Text,
     "First, the method. Every letter of a name carries a value of its own. The letters A to I count one to "
     "nine, the letters K to S count ten to ninety, T counts one hundred and U two hundred. X brings three "
     "hundred, Y four hundred, Z five hundred, J six hundred and V seven hundred, while W, the quietest of "
     "all, "
     "counts for nothing. Two pairs are read as one sign: H followed by U counts nine hundred, and H "
     "followed "
     "by I counts eight hundred. The values are added from the first letter to the last, and their sum is "
     "the total of the name."},
    {Paragraph::Text,
     "Second, the reading. The total is looked up in the table of meanings as a whole. Then its hundreds, "
     "its "
     "tens and its units are looked up one after the other, each in its own column, so that a long total may "
     "speak in up to three voices. A total that the table knows as a whole needs no further voices; the "
     "Oracle never says more than the numbers allow."},
    {Paragraph::Text, "In your name the following signs stood out:"},
    {Paragraph::Item,
     "a strong opening letter, whose value alone passes one hundred and so sets the tone for all that "
     "follows;"},
    {Paragraph::Item, "a pair read as one sign in the middle, which the tables count among the rare ones;"},
    {Paragraph::Item, "two letters of the quiet kind, which add nothing to the sum but soften its sound;"},
    {Paragraph::Item, "and a closing letter that brings the total to a round and even number."},
    {Paragraph::Quote,
     "\"A name is a sum that was begun before us and is finished by the way we carry it.\" So the old "
     "tables put it, and the Oracle has found no better way of saying the same."},
    {Paragraph::Text,
     "Third, the meaning. The tables read your total as a number of steadiness: a house with deep cellars, "
     "a tree that grows slowly and stands long, a friend who answers letters. Its hundreds speak of "
     "patience rewarded, its tens of a journey that is taken more than once, and its units of a small "
     "surprise that arrives in the autumn. None of this binds you; the tables describe weather, not fate, "
     "and a wise traveller packs for the weather and then walks where he pleases."},
    {Paragraph::Text,
     "Should you wish to test the reading yourself, write the name in capitals and add the values letter by "
     "letter, as described above. Where your sum differs from ours, look first for the pairs: an H before a "
     "U or an I is easily counted twice, and a W is easily counted at all. Most disagreements end there, and "
     "the rest end with a second cup of tea."},
    {Paragraph::Text,
     "We keep a copy of this letter in the ledger of readings, under the date on which your name reached "
     "us. If you write again, name that date, and the Oracle will find its earlier words at once and can "
     "tell "
     "you whether the numbers have changed their minds. They seldom do; but the readers of numbers "
     "sometimes change theirs, and that, too, is worth a letter."},
    {Paragraph::Text,
     "With this the reading is complete. May your sums come out even, your pairs be counted once, and your "
     "letters, all of them, be answered in good time."},
};
}  // namespace

namespace {
// The whole letter: the sheet with its margin, and the buttons under it.
constexpr int FullWidth = 696;
constexpr int FullHeight = 920;
constexpr int ButtonBarHeight = 40;
constexpr int MinimumHeight = 240;
// What a window manager's title bar and frame take from the screen's available height, about.
constexpr int TitleBarAllowance = 40;
}  // namespace

TLetterFrm::TLetterFrm(QWidget* parent) : TForm(parent) {
  SetName(QStringLiteral("LetterFrm"));
  SetCaption(QStringLiteral("Letter"));
  SetFont(MakeFont(QStringLiteral("Arial"), -13));
  SetClientSize(FullWidth, FullHeight);

  // The buttons keep their place at the bottom right; the sheet scrolls above them when the window is
  // smaller than the whole letter.
  auto* buttonBar = new TPanel(this);
  buttonBar->SetBevelOuter(bvNone);
  buttonBar->SetBounds(0, FullHeight - ButtonBarHeight, FullWidth, ButtonBarHeight);
  buttonBar->SetAlign(alBottom);
  auto* buttons = new TPanel(buttonBar);
  buttons->SetBevelOuter(bvNone);
  buttons->SetBounds(FullWidth - 192, 0, 192, ButtonBarHeight);
  buttons->SetAlign(alRight);
  SheetBox = new TScrollBox(this);
  SheetBox->SetBorderStyle(bsNone);
  SheetBox->SetBounds(0, 0, FullWidth, FullHeight - ButtonBarHeight);
  SheetBox->SetAlign(alClient);
  SheetBox->SetHorzRange(FullWidth);
  SheetBox->SetVertRange(FullHeight - ButtonBarHeight);

  Sheet = new TPanel(SheetBox);
  Sheet->SetBevelOuter(bvNone);
  Sheet->SetColor(clWhite);
  Sheet->SetBounds(8, 8, 680, 864);

  Motif = new TImage(Sheet);
  Motif->SetPicture(MotifPicture());
  Motif->SetBounds(0, 0, 20, 20);
  Motif->SetVisible(false);

  Banner = new TQVPanel(Sheet);
  Banner->SetBounds(0, 0, 680, 64);
  Banner->SetImage(Motif);
  Banner->SetPixelsBetweenX(6);
  Banner->SetPixelsBetweenY(2);
  Title = MakeLabel(Banner, stBlockShadow, QRect(16, 10, 250, 44), QStringLiteral("Quenary Oracle"),
                    MakeFont(QStringLiteral("Arial"), -26, fsBold, clNavy));
  Title->SetColor(clWhite);
  Title->SetShadowColor(clNavy);
  Title->SetShadowOffset(4);
  Title->setProperty(HeadingLevelProperty, 1);
  Stamp = MakeLabel(Banner, stButton, QRect(560, 18, 100, 28), QStringLiteral("Private"),
                    MakeFont(QStringLiteral("Arial"), -14, fsBold, clMaroon));
  Stamp->SetAlignment(taCenter);
  Stamp->SetColor(clBtnFace);

  Subtitle = MakeLabel(Sheet, stShadow, QRect(16, 76, 380, 30), QStringLiteral("A letter of reading"),
                       MakeFont(QStringLiteral("Times New Roman"), -24, fsItalic, clNavy));
  Subtitle->SetShadowColor(clSilver);
  Subtitle->SetShadowOffset(2);
  Subtitle->setProperty(HeadingLevelProperty, 2);
  Raised = MakeLabel(Sheet, stRaised, QRect(16, 116, 170, 24), QStringLiteral("Numbers speak"),
                     MakeFont(QStringLiteral("Arial"), -17, fsBold, clTeal));
  Sunken = MakeLabel(Sheet, stSunken, QRect(186, 116, 180, 24), QStringLiteral("in quiet voices"),
                     MakeFont(QStringLiteral("Arial"), -17, fsBold, clGray));
  Sunken->SetShadowColor(clBlack);
  Plain =
      MakeLabel(Sheet, stNormal, QRect(16, 158, 380, 60),
                QStringLiteral("Written by the Oracle for the bearer of the name below, from the tables of "
                               "letters and meanings."),
                MakeFont(QStringLiteral("Arial"), -13));
  Plain->SetWordWrap(true);

  Addressee = new TQVCustom(Sheet);
  Addressee->SetName(QStringLiteral("Addressee"));
  Addressee->SetColor(clWhite);
  Addressee->SetBevelOuter(bvNone);
  Addressee->SetBounds(420, 84, 244, 92);
  AddresseeName = MakeAddressLine(Addressee, QStringLiteral("The bearer of the name"));
  AddresseeStreet = MakeAddressLine(Addressee, QStringLiteral("7 Counting House Lane"));
  AddresseeTown = MakeAddressLine(Addressee, QStringLiteral("Ninefold, NV 900"));

  Body = new TRichEditE(Sheet);
  Body->SetBorderStyle(bsNone);
  Body->SetBounds(16, 236, 648, 236);
  Body->SetFont(MakeFont(QStringLiteral("Times New Roman"), -15));
  Body->SetReadOnly(true);
  FillBody();
  // The boxes stand one under the other without space between them, and each ends where a line of its text
  // does (the body's lines are 18 pixels apart), so a sentence going on in the next box reads on without a
  // gap. The edit's box ends after the second paragraph's last line but one, the first continuation's after
  // the quotation.
  BodyContinued = MakeContinuation(Sheet, QRect(16, 472, 648, 196), Body);
  BodyConcluded = MakeContinuation(Sheet, QRect(16, 668, 648, 132), Body);

  Closing =
      MakeLabel(Sheet, stShadow, QRect(16, 820, 400, 30), QStringLiteral("With warm regards, the Oracle"),
                MakeFont(QStringLiteral("Times New Roman"), -20, fsItalic, clMaroon));
  Closing->SetShadowColor(clSilver);
  Closing->SetShadowOffset(2);
  Seal = new TLetterSeal(Sheet);
  Seal->SetBounds(600, 806, 56, 56);
  // What a screen reader says of the seal, in the words of the printed page's picture.
  Seal->setAccessibleName(QStringLiteral("The Oracle's seal, a ring around the initials QO"));

  PrintBtn = new TButton(buttons);
  PrintBtn->SetCaption(QStringLiteral("&Print..."));
  PrintBtn->SetBounds(8, 4, 84, 28);
  CloseBtn = new TButton(buttons);
  CloseBtn->SetCaption(QStringLiteral("&Close"));
  CloseBtn->SetBounds(100, 4, 84, 28);
  CloseBtn->SetCancel(true);
  connect(PrintBtn, &TButton::clicked, this, &TLetterFrm::PrintBtnClick);
  connect(CloseBtn, &TButton::clicked, this, [this] { Close(); });

  DBPrintWin1 = new TDBPrintWin(this, TCreation::Designer);
  DBPrintWin1->FooterStringLeft = QStringLiteral("        Quenary Oracle - letter of reading");
  DBPrintWin1->FooterStringRight = QStringLiteral("Page @Page of @Pages");

  // Never larger than the whole letter, and no taller than the screen leaves room for (a laptop's 768
  // pixels less its panel and the title bar).
  setMaximumSize(FullWidth + SheetBox->VertScrollBar().sizeHint().width(), FullHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const int room = screen->availableGeometry().height() - TitleBarAllowance;
    if (room < FullHeight)
      resize(FullWidth + SheetBox->VertScrollBar().sizeHint().width(), std::max(MinimumHeight, room));
  }
  setMinimumSize(FullWidth / 2, MinimumHeight);
}

TLetterFrm::~TLetterFrm() = default;

void TLetterFrm::FillBody() {
  QTextDocument& document = Body->Document();
  document.clear();
  QTextCursor cursor(&document);
  QTextCharFormat plain;
  plain.setFontFamilies({QStringLiteral("Times New Roman")});
  plain.setFontPointSize(11);
  bool first = true;
  for (const Paragraph& paragraph : BodyText) {
    QTextBlockFormat block;
    block.setBottomMargin(6);
    QTextCharFormat format = plain;
    switch (paragraph.kind) {
      case Paragraph::Heading:
        format.setFontWeight(QFont::Bold);
        format.setFontPointSize(13);
        format.setForeground(ToQColor(clNavy));
        break;
      case Paragraph::Text: block.setAlignment(Qt::AlignJustify); break;
      case Paragraph::Item: block.setBottomMargin(2); break;
      case Paragraph::Quote:
        block.setTopMargin(8);
        format.setFontItalic(true);
        format.setForeground(ToQColor(clMaroon));
        block.setLeftMargin(36);
        block.setRightMargin(36);
        break;
    }
    if (first) {
      cursor.setBlockFormat(block);
      cursor.setBlockCharFormat(format);
    } else {
      cursor.insertBlock(block, format);
    }
    if (paragraph.kind == Paragraph::Item) {
      QTextListFormat list;
      list.setStyle(QTextListFormat::ListDisc);
      list.setIndent(1);
      if (cursor.block().previous().textList() != nullptr)
        cursor.block().previous().textList()->add(cursor.block());
      else
        cursor.createList(list);
    }
    cursor.insertText(QString::fromUtf8(paragraph.text), format);
    first = false;
  }
  Body->moveCursor(QTextCursor::Start);
  Body->ResetPrintPosition();
}

void TLetterFrm::PrintLetter(TSendTo target) {
  DBPrintWin1->OutputTo = target;
  DBPrintWin1->DocumentTitle = windowTitle();
  Body->ResetPrintPosition();
  constexpr double SheetLeft = 0.5;
  constexpr double SheetTop = 0.75;
  // The sign-off and the seal close the letter: they print once, after the text, on its last page, so the
  // pages of the sheet go without them.
  const QList<QWidget*> closing = {Closing, Seal};
  struct Shown {
    const QList<QWidget*>& controls;
    ~Shown() {
      for (QWidget* control : controls) control->show();
    }
  } shownAgain{closing};
  for (QWidget* control : closing) control->hide();
  TPrintJobScope job(*DBPrintWin1);
  // An outline entry for each page of the letter, made as the page is done.
  const TNotifyEvent pageDone = DBPrintWin1->OnNewPage;
  DBPrintWin1->OnNewPage = [this, pageDone](QObject* sender) {
    DBPrintWin1->AddOutlineEntry(QStringLiteral("Page %1").arg(DBPrintWin1->CurrentPage), 0, SheetTop);
    if (pageDone) pageDone(sender);
  };
  struct Restore {
    TPrintWin& component;
    TNotifyEvent event;
    ~Restore() { component.OnNewPage = event; }
  } restore{*DBPrintWin1, pageDone};
  DBPrintWin1->PrintControlPages(Sheet, SheetLeft, SheetTop);
  for (QWidget* control : closing) {
    control->show();
    DBPrintWin1->PrintControlAt(control,
                                SheetLeft + static_cast<double>(control->x()) / ScreenPixelsPerInch(),
                                SheetTop + static_cast<double>(control->y()) / ScreenPixelsPerInch());
  }
  job.Finish();
  DBPrintWin1->OutputTo = poViewer;
}

void TLetterFrm::PrintBtnClick() {
  if (ExecutePrintDialog(this)) Application().Guarded([this] { PrintLetter(); });
}
