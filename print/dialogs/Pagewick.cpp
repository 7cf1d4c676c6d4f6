#include "print/dialogs/Pagewick.h"

#include "platform/Printers.h"
#include "platform/Screen.h"
#include "print/shared/QV_MFunc.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <iterator>

TPrintDialog1* PrintDialog1 = nullptr;

namespace {
// The dialog is laid out for a 120 pixels-per-inch screen; its width and height follow the real one.
constexpr int DesignPixelsPerInch = 120;
constexpr int DesignWidth = 300;
constexpr int DesignHeight = 226;

QLineEdit* MakeField(QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
  field->setPalette(palette);
  return field;
}

// A field shows the start of its text (a long printer name is known by its beginning).
void ShowFromStart(QLineEdit* field, const QString& text) {
  field->setText(text);
  field->setCursorPosition(0);
}

QString PrinterNameText() { return Printer().PrinterName(); }
}  // namespace

TPrintDialog1::TPrintDialog1(QWidget* owner) : QDialog(owner) {
  setModal(false);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(13);
  setFont(font);

  Bevel1 = new QFrame(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setFrameShape(QFrame::Box);
  Bevel1->setFrameShadow(QFrame::Sunken);

  Label2 = new QLabel(this);
  ToPrinter = MakeField(this);
  Label3 = new QLabel(this);
  Page = MakeField(this);
  Label1 = new QLabel(this);
  Status = MakeField(this);

  CancelBtn = new QPushButton(this);
  CancelBtn->setDefault(true);
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });

  resize(DesignWidth, DesignHeight);
  FormCreate();

  PrintDialog1 = this;
  show();
  raise();
  activateWindow();
  CancelBtn->setFocus();
}

TPrintDialog1::~TPrintDialog1() {
  if (PrintDialog1 == this) PrintDialog1 = nullptr;
}

void TPrintDialog1::FormCreate() {
  ShowFromStart(ToPrinter, PrinterNameText());
  setWindowTitle(LoadTextOr(QVTextPrintStatus, QStringLiteral("Print Status")));
  Label2->setText(LoadTextOr(QVTextFormattingFor, QStringLiteral("Formatting for")));
  Label1->setText(LoadTextOr(QVTextStatus, QStringLiteral("Status")));
  Label3->setText(LoadTextOr(QVTextPage, QStringLiteral("Page")));
  CancelBtn->setText(LoadTextOr(QVTextAbort, QStringLiteral("&Abort")));
  abortRequested_ = false;
  ShowFromStart(Status, LoadTextOr(QVTextPreparingPage, QStringLiteral("Preparing Page")));

  const double factor = static_cast<double>(ScreenPixelsPerInch()) / DesignPixelsPerInch;
  setFixedSize(static_cast<int>(std::lround(width() * factor)),
               static_cast<int>(std::lround(height() * factor)));
  LayOut();

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

// Only the dialog's own size follows the screen; its text keeps its size. So the children are placed from
// what the text needs (captions, fields and the button at their natural height) and the room left over is
// shared out between the gaps, in the proportions of the design.
void TPrintDialog1::LayOut() {
  const QFontMetrics metrics(font());
  const double across = static_cast<double>(width()) / DesignWidth;
  const auto horizontal = [across](int designed) { return static_cast<int>(std::lround(designed * across)); };

  const int captionHeight = metrics.height();
  const int fieldHeight = std::max(ToPrinter->sizeHint().height(), ToPrinter->minimumSizeHint().height());
  const int buttonHeight = std::max(CancelBtn->sizeHint().height(), CancelBtn->minimumSizeHint().height());
  // Gaps of the design, top to bottom: margin, inside the bevel, caption to field (three times), between the
  // groups (twice), inside the bevel, bevel to button, margin.
  const int designedGaps[] = {8, 6, 2, 2, 2, 6, 6, 6, 12, 10};
  const int content = 3 * (captionHeight + fieldHeight) + buttonHeight;
  int designedTotal = 0;
  for (const int gap : designedGaps) designedTotal += gap;
  const double share = std::max(0.0, static_cast<double>(height() - content) / designedTotal);
  int gaps[std::size(designedGaps)];
  for (std::size_t index = 0; index < std::size(designedGaps); ++index) {
    gaps[index] = static_cast<int>(std::floor(designedGaps[index] * share));
  }

  const int bevelLeft = horizontal(10);
  const int bevelWidth = width() - 2 * bevelLeft;
  const int fieldLeft = horizontal(22);
  const int fieldWidth = width() - 2 * fieldLeft;
  const int pageWidth =
      std::min(fieldWidth, std::max(horizontal(100), Page->minimumSizeHint().width() +
                                                         metrics.horizontalAdvance(QStringLiteral("00000"))));

  int y = gaps[0];
  const int bevelTop = y;
  y += gaps[1];
  QLabel* const captions[] = {Label2, Label3, Label1};
  QLineEdit* const fields[] = {ToPrinter, Page, Status};
  for (int group = 0; group < 3; ++group) {
    if (group > 0) y += gaps[4 + group];
    captions[group]->setGeometry(fieldLeft, y, fieldWidth, captionHeight);
    y += captionHeight + gaps[2 + group];
    fields[group]->setGeometry(fieldLeft, y, fields[group] == Page ? pageWidth : fieldWidth, fieldHeight);
    y += fieldHeight;
  }
  y += gaps[7];
  Bevel1->setGeometry(bevelLeft, bevelTop, bevelWidth, y - bevelTop);
  // The gap below the button takes what rounding left over.
  y += gaps[8];
  const int buttonWidth =
      std::min(width() - 2 * bevelLeft, std::max(horizontal(90), CancelBtn->sizeHint().width()));
  CancelBtn->setGeometry((width() - buttonWidth) / 2, y, buttonWidth, buttonHeight);
}

void TPrintDialog1::FormActivate() {
  ShowFromStart(ToPrinter, PrinterNameText());
  abortRequested_ = false;
  ShowFromStart(Status, LoadTextOr(QVTextPreparingPage, QStringLiteral("Preparing Page")));
}

void TPrintDialog1::SetPageText(const QString& text) { ShowFromStart(Page, text); }

void TPrintDialog1::SetStatusText(const QString& text) { ShowFromStart(Status, text); }

void TPrintDialog1::CancelBtnClick() {
  if (Printer().Printing()) Printer().Abort();
  abortRequested_ = true;
  ShowFromStart(Status, LoadTextOr(QVTextInterrupted, QStringLiteral("Interrupted...Please Wait")));
  hide();
}

bool TPrintDialog1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

// Escape and the window's close box act as Abort.
void TPrintDialog1::reject() { CancelBtnClick(); }
