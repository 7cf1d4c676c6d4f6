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
#include <cmath>

TPrintDialog1* PrintDialog1 = nullptr;

namespace {
// The dialog is laid out for a 120 pixels-per-inch screen and scaled to the real one.
constexpr int DesignPixelsPerInch = 120;
constexpr int DesignWidth = 300;
constexpr int DesignHeight = 226;

QLineEdit* MakeField(QWidget* parent, const QRect& geometry) {
  auto* field = new QLineEdit(parent);
  field->setGeometry(geometry);
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
  field->setPalette(palette);
  return field;
}

QLabel* MakeCaption(QWidget* parent, const QPoint& position) {
  auto* caption = new QLabel(parent);
  caption->move(position);
  return caption;
}

QString PrinterNameText() { return Printer().PrinterName(); }
}  // namespace

TPrintDialog1::TPrintDialog1(QWidget* owner) : QDialog(owner) {
  setModal(false);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(13);
  setFont(font);

  auto* bevel = new QFrame(this);
  bevel->setObjectName(QStringLiteral("Bevel1"));
  bevel->setFrameShape(QFrame::Box);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setGeometry(10, 8, 280, 164);

  Label2 = MakeCaption(this, QPoint(22, 16));
  ToPrinter = MakeField(this, QRect(22, 34, 256, 24));
  Label3 = MakeCaption(this, QPoint(22, 66));
  Page = MakeField(this, QRect(22, 84, 100, 24));
  Label1 = MakeCaption(this, QPoint(22, 116));
  Status = MakeField(this, QRect(22, 134, 256, 24));

  CancelBtn = new QPushButton(this);
  CancelBtn->setGeometry(105, 184, 90, 30);
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
  ToPrinter->setText(PrinterNameText());
  setWindowTitle(LoadTextOr(QVTextPrintStatus, QStringLiteral("Print Status")));
  Label2->setText(LoadTextOr(QVTextFormattingFor, QStringLiteral("Formatting for")));
  Label1->setText(LoadTextOr(QVTextStatus, QStringLiteral("Status")));
  Label3->setText(LoadTextOr(QVTextPage, QStringLiteral("Page")));
  for (QLabel* caption : {Label1, Label2, Label3}) caption->adjustSize();
  CancelBtn->setText(LoadTextOr(QVTextAbort, QStringLiteral("&Abort")));
  abortRequested_ = false;
  Status->setText(LoadTextOr(QVTextPreparingPage, QStringLiteral("Preparing Page")));

  // Scale the whole layout, not only the outer size, so nothing is cut off on a smaller screen.
  const double factor = static_cast<double>(ScreenPixelsPerInch()) / DesignPixelsPerInch;
  const auto scaled = [factor](int value) { return static_cast<int>(std::lround(value * factor)); };
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    const QRect area = child->geometry();
    child->setGeometry(scaled(area.x()), scaled(area.y()), scaled(area.width()), scaled(area.height()));
  }
  setFixedSize(scaled(width()), scaled(height()));

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TPrintDialog1::FormActivate() {
  ToPrinter->setText(PrinterNameText());
  abortRequested_ = false;
  Status->setText(LoadTextOr(QVTextPreparingPage, QStringLiteral("Preparing Page")));
}

void TPrintDialog1::SetPageText(const QString& text) { Page->setText(text); }

void TPrintDialog1::SetStatusText(const QString& text) { Status->setText(text); }

void TPrintDialog1::CancelBtnClick() {
  if (Printer().Printing()) Printer().Abort();
  abortRequested_ = true;
  Status->setText(LoadTextOr(QVTextInterrupted, QStringLiteral("Interrupted...Please Wait")));
  hide();
}

bool TPrintDialog1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

// Escape and the window's close box act as Abort.
void TPrintDialog1::reject() { CancelBtnClick(); }
